// Types 1,000 characters of the field cipher's alphabet into a Qt line edit on a Wayland compositor of the
// benchmark's own (headless sway) with the program's Wayland key sender, one key string per character as a
// replay sends them, and then with Debian's wtype given the same text. Each starts without a keyboard on the seat,
// so each pays for making its virtual keyboard.
// Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/WaylandKeySender.h"
#include "platform/keys/SendKeys.h"
#include "support/SwayServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

constexpr int Characters = 1000;
// Typing is over when no character has arrived for this long.
constexpr qint64 QuietMs = 2000;

struct Typing
{
    double charactersPerSecond;
    int correct;
};

// The cipher's printable characters in a fixed random order, each of them many times: more than one keymap holds.
QString alphabetText()
{
    QString characters;
    const dsEncrypt cipher;
    for (QChar c : cipher.alphabet()) {
        if (c.isPrint())
            characters += c;
    }
    return randomText(characters, Characters);
}

// Starts the typing, then lets the window take keys until all arrived or none came for a while; the rate counts
// from the start to the last character that arrived.
Typing measure(QLineEdit& editor, const QString& text, const std::function<void()>& type)
{
    editor.clear();
    QElapsedTimer clock;
    clock.start();
    type();
    qint64 lastArrival = 0;
    qsizetype arrived = 0;
    while (arrived < text.size() && clock.elapsed() - lastArrival < QuietMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (editor.text().size() != arrived) {
            arrived = editor.text().size();
            lastArrival = clock.nsecsElapsed() / 1000000;
        }
    }
    const double seconds = std::max(static_cast<double>(lastArrival) / 1000.0, 1e-3);
    return {static_cast<double>(arrived) / seconds, charactersInOrder(text, editor.text())};
}

// Types on a thread of its own, so that the window takes the keys meanwhile, as a browser in another process does.
std::thread typeWithQuillock(Keys::KeySender& sender, const QString& text)
{
    return std::thread([&sender, text] {
        Keys::setKeySender(&sender);
        for (QChar c : text)
            sendKeys(literalKeyString(c));
        Keys::setKeySender(nullptr);
    });
}

void print(const char* name, const Typing& typing)
{
    std::printf("typing_%s %.0f cps\n", name, typing.charactersPerSecond);
    std::printf("typing_%s_correct %d chars\n", name, typing.correct);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    SwayServer compositor;
    if (!compositor.isRunning()) {
        std::fprintf(stderr, "sway did not start: is the sway package installed?\n");
        return 1;
    }
    qputenv("WAYLAND_DISPLAY", QByteArray::fromStdString(compositor.socket()));
    qunsetenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication app(argc, argv);
    QLineEdit editor;
    editor.setMaxLength(10 * Characters);
    editor.resize(800, 40);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) {
        std::fprintf(stderr, "the typing window was not shown\n");
        return 1;
    }
    const QString text = alphabetText();

    Typing quillock{};
    {
        Keys::WaylandKeySender sender;
        std::thread typist;
        quillock = measure(editor, text, [&] { typist = typeWithQuillock(sender, text); });
        typist.join();
    } // the keyboard goes, so that wtype starts as Quillock did: with none on the seat
    print("quillock", quillock);

    if (QStandardPaths::findExecutable(QStringLiteral("wtype")).isEmpty()) {
        std::fprintf(stderr, "wtype is missing: install it to compare (apt-get install wtype)\n");
        return 0;
    }
    QProcess wtype;
    const Typing other = measure(editor, text, [&] { wtype.start(QStringLiteral("wtype"), {"--", text}); });
    wtype.waitForFinished();
    print("wtype", other);
    std::printf("typing_ratio %.2f x\n", quillock.charactersPerSecond / std::max(other.charactersPerSecond, 1e-9));
    return 0;
}
