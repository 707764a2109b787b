#include "platform/keys/SendKeys.h"

#include "domain/error/AppError.h"
#include "os/keys/KeySender.h"
#include "os/keys/KeyString.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace {

// Typing has paused for good when no keys came for this long; by then the window has taken them.
constexpr int IdleMilliseconds = 3000;

// Lets the backend give back what it borrowed for typing once typing has paused: a timer that every
// call restarts. Keys sent from another thread (a test's) leave it alone.
void releaseKeysWhenIdle()
{
    static QPointer<QTimer> timer;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return;
    if (!timer) {
        timer = new QTimer(application);
        timer->setSingleShot(true);
        timer->setInterval(IdleMilliseconds);
        QObject::connect(timer, &QTimer::timeout, [] { Keys::releaseIdleKeys(); });
    }
    timer->start();
}

// Runs the work on the key sender in use; what it cannot do is raised as the program's own error.
template <typename Work>
auto onKeySender(Work&& work)
{
    try {
        return work(Keys::keySender());
    } catch (const Keys::KeySendError& error) {
        throw AppError(ErrorNumber::PermissionDenied, QString::fromStdString(error.what()));
    }
}

std::u32string toUtf32(const QString& text)
{
    const QList<uint> codePoints = text.toUcs4();
    return std::u32string(codePoints.begin(), codePoints.end());
}

std::vector<Keys::KeyStroke> parsed(const QString& keyString)
{
    try {
        return Keys::parseKeyString(toUtf32(keyString));
    } catch (const Keys::KeyStringError& error) {
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The key string \"%1\" is not valid: %2.")
                                                         .arg(keyString, QString::fromStdString(error.what())));
    }
}

} // namespace

void sendKeys(const QString& keyString)
{
    const std::vector<Keys::KeyStroke> strokes = parsed(keyString);
    onKeySender([&strokes](Keys::KeySender& sender) { sender.send(strokes); });
    releaseKeysWhenIdle();
}

bool sendKeysOnlyInto(const QString& keyString, Focus::WindowId window)
{
    const std::vector<Keys::KeyStroke> strokes = parsed(keyString);
    const bool sent =
        onKeySender([&strokes, window](Keys::KeySender& sender) { return sender.sendOnlyInto(strokes, window); });
    releaseKeysWhenIdle();
    return sent;
}

void expectKeys(const QString& keyString)
{
    const std::vector<Keys::KeyStroke> strokes = parsed(keyString);
    onKeySender([&strokes](Keys::KeySender& sender) { sender.expect(strokes); });
}

bool keysAreCheckedAtTheWindow()
{
    return onKeySender([](Keys::KeySender& sender) { return sender.checksTheWindowAtTheKeys(); });
}

QString firstUntypableCharacter(const QString& text)
{
    std::vector<Keys::KeyStroke> strokes;
    for (const char32_t character : toUtf32(text))
        strokes.push_back({Keys::Key::Character, character, Keys::NoModifier});
    const std::optional<char32_t> untypable =
        onKeySender([&strokes](Keys::KeySender& sender) { return sender.firstUntypable(strokes); });
    return untypable ? QString::fromUcs4(&*untypable, 1) : QString();
}

void prepareKeys(const Keys::Preparation& preparation)
{
    onKeySender([&preparation](Keys::KeySender& sender) { sender.prepare(preparation); });
}

QString literalKeyString(QChar character)
{
    const std::u32string keys = Keys::literalKeyString(character.unicode());
    return QString::fromUcs4(keys.data(), static_cast<qsizetype>(keys.size()));
}

QString literalKeyString(QStringView text)
{
    QString keys;
    for (QChar character : text)
        keys += literalKeyString(character);
    return keys;
}
