// Types 1,000 printable ASCII characters into a Qt line edit on Wayland through the desktop portal's key sender,
// one send per character as a replay sends them, on a headless GNOME desktop of its own (mutter and the portal,
// their dialog answered through the accessibility bus). Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "os/keys/PortalKeySender.h"
#include "support/MutterSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <cstdio>
#include <thread>

namespace {

constexpr int Characters = 1000;
// Typing is over when no character has arrived for this long.
constexpr qint64 QuietMs = 2000;

QString printableText()
{
    QString characters;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        characters += QChar(c);
    return randomText(characters, Characters);
}

// Prepares the sender, the desktop's dialog answered as a user would.
bool prepare(Keys::PortalKeySender& sender)
{
    QProcess answerer;
    answerer.setProcessChannelMode(QProcess::ForwardedChannels);
    answerer.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QUILLOCK_APPROVE_SCRIPT)});
    try {
        sender.prepare({[] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }, {}, {}});
    } catch (const Keys::KeySendError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
    return answerer.state() == QProcess::NotRunning || answerer.waitForFinished(30000);
}

} // namespace

int main(int argc, char* argv[])
{
    const QString missing = MutterSession::missingPrograms();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "the headless desktop is not installed: %s\n", qPrintable(missing));
        return 1;
    }
    MutterSession session;
    if (!session.isRunning()) {
        std::fprintf(stderr, "the headless desktop did not start: %s\n", qPrintable(session.error()));
        return 1;
    }
    QApplication app(argc, argv);
    QLineEdit editor;
    editor.resize(800, 40);
    editor.show();
    QElapsedTimer shown;
    shown.start();
    while (!editor.isActiveWindow() && !shown.hasExpired(10000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    Keys::PortalKeySender sender;
    if (!editor.isActiveWindow() || !prepare(sender)) {
        std::fprintf(stderr, "the line edit did not get the focus, or the portal did not allow typing\n");
        return 1;
    }

    // Types on a thread of its own, so that the window takes the keys meanwhile; the rate counts from the start
    // to the last character that arrived.
    const QString text = printableText();
    QElapsedTimer clock;
    clock.start();
    std::thread typist([&sender, text] {
        for (const char32_t c : text.toUcs4())
            sender.send({{Keys::Key::Character, c, Keys::NoModifier}});
    });
    qint64 lastArrival = 0;
    qsizetype arrived = 0;
    while (arrived < text.size() && clock.elapsed() - lastArrival < QuietMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (editor.text().size() != arrived) {
            arrived = editor.text().size();
            lastArrival = clock.elapsed();
        }
    }
    typist.join();
    const double seconds = std::max(static_cast<double>(lastArrival) / 1000.0, 1e-3);
    std::printf("typing_portal %.0f cps\n", static_cast<double>(arrived) / seconds);
    std::printf("typing_portal_correct %d chars\n", charactersInOrder(text, editor.text()));
    return 0;
}
