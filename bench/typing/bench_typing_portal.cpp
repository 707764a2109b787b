// Types texts of printable ASCII on Wayland through the desktop portal's key sender, one key string per character as
// a replay sends them, on a headless desktop of its own (GNOME's mutter, or KDE's KWin with
// QUILLOCK_PORTAL_DESKTOP=KDE, and the portal, their dialog answered through the accessibility bus), into three
// windows: a Qt line edit, a GTK entry (in a process of its own, which the compositor disconnects when it falls behind)
// and a text box in Debian's chromium running natively on Wayland. Usage: bench_typing_portal [characters...]: the
// lengths of the texts, by default 1,000 and 8,000. Prints one line per figure, "<name> <value> <unit>": per window and
// text "typing_portal_<window>_<characters> <rate> cps" and "typing_portal_<window>_<characters>_correct <n> chars".

#include "TypingWindows.h"
#include "os/keys/PortalKeySender.h"
#include "support/BrowserHome.h"
#include "support/PortalDesktop.h"

#include <QApplication>
#include <QProcess>
#include <cstdio>

namespace {

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
    if (!session.isRunning() || !session.startAsFromTheMenu(true)) {
        std::fprintf(stderr, "the headless desktop did not start: %s\n", qPrintable(session.error()));
        return 1;
    }
    QApplication app(argc, argv);
    BrowserHome home;
    if (home.chromium().isEmpty()) {
        std::fprintf(stderr, "chromium is missing: run scripts/install-deps.sh --test\n");
        return 1;
    }
    QList<int> lengths;
    for (int i = 1; i < argc; ++i)
        lengths << std::max(1, std::atoi(argv[i]));
    if (lengths.isEmpty())
        lengths = {1000, 8000};
    Keys::PortalKeySender sender;
    if (!prepare(sender)) {
        std::fprintf(stderr, "the portal did not allow typing\n");
        return 1;
    }

    const std::vector<std::pair<const char*, std::function<std::unique_ptr<TypingWindow>()>>> windows{
        {"qt", [] { return std::make_unique<QtWindow>(); }},
        {"gtk", [] { return std::make_unique<GtkWindow>(); }},
        {"chromium", [&home] { return std::make_unique<ChromiumWindow>(home); }}};
    for (const auto& [name, open] : windows) {
        for (const int length : lengths) {
            const QByteArray figure = QStringLiteral("portal_%1_%2").arg(name).arg(length).toUtf8();
            const std::unique_ptr<TypingWindow> window = open();
            if (!window->open()) {
                std::fprintf(stderr, "%s: the window did not get the focus\n", figure.constData());
                continue;
            }
            printTyping(figure.constData(), typedBy(sender, *window, printableAsciiText(length)));
            sender.releaseIdleKeys(); // as the program does once typing has paused: the next text starts fast
        }
    }
    return 0;
}
