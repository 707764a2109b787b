// Types 1,000 printable ASCII characters into a Qt line edit on Wayland through the desktop portal's key sender,
// one key string per character as a replay sends them, on a headless GNOME desktop of its own (mutter and the portal,
// their dialog answered through the accessibility bus). Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "os/keys/PortalKeySender.h"
#include "support/PortalDesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <cstdio>
#include <thread>

namespace {

constexpr int Characters = 1000;

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
    const PortalDesktop::Kind kind = PortalDesktop::kindOfThisTest();
    const QString missing = PortalDesktop::missingPrograms(kind);
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "the headless desktop is not installed: %s\n", qPrintable(missing));
        return 1;
    }
    PortalDesktop session(kind);
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

    const QString text = printableAsciiText(Characters);
    std::thread typist;
    const Typing portal = measureTyping(
        text, [&editor] { return editor.text(); }, [&] { typist = typeWithQuillock(sender, text); });
    typist.join();
    printTyping("portal", portal);
    return 0;
}
