// Types 1,000 printable characters into a real Qt window with the program's keystroke facility, one key
// string per run of characters as a replay sends them, each key checked to go into that window (and then one
// character at a time, unchecked), and then
// with `xdotool type --delay 0`; measures a
// replay's "Wait 2" step. Needs an X display (bench/run-typing.sh starts one).
// Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/X11KeySender.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <thread>

namespace {

constexpr int Characters = 1000;
// A replay of one website whose only instruction is "Wait 2", from the data file on.
double replayedWaitMilliseconds()
{
    TempDataFolder folder;
    folder.execute({"INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink) VALUES (1, Null, 'https://x.test/')",
                    "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes) VALUES (1, 4, 2)"});
    gobjEncrypt = std::make_unique<dsEncrypt>();
    Keys::RecordingKeySender keys;
    Desktop::RecordingShell shell;
    QTimer tmrWait;
    QObject::connect(&tmrWait, &QTimer::timeout, [&tmrWait] { tmrWait_Timer(tmrWait); });
    QElapsedTimer clock;
    clock.start();
    ReplayWebsite(tmrWait, QStringLiteral("1"), QStringLiteral("https://x.test/"), nullptr);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_typing needs an X display (run bench/run-typing.sh)\n");
        return 1;
    }
    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    editor.activateWindow();
    if (!QTest::qWaitForWindowActive(&editor)) {
        std::fprintf(stderr, "the typing window did not get the focus\n");
        return 1;
    }
    const QString text = printableAsciiText(Characters);
    const auto typed = [&editor] { return editor.toPlainText(); };

    // As a launch types: in runs, each key only while the window has the focus, asked of the X server for the run;
    // and a character at a time without that check, as typing went before it.
    Keys::X11KeySender sender;
    std::thread typist;
    const Typing quillock =
        measureTyping(text, typed, [&] { typist = typeWithQuillock(sender, text, editor.winId()); });
    typist.join();
    printTyping("quillock", quillock);
    editor.clear();
    const Typing unchecked = measureTyping(text, typed, [&] { typist = typeWithQuillock(sender, text); });
    typist.join();
    printTyping("quillock_unchecked", unchecked);

    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        std::fprintf(stderr, "xdotool is missing: install it to compare (apt-get install xdotool)\n");
    } else {
        QProcess xdotool;
        editor.clear();
        const Typing other = measureTyping(text, typed, [&] {
            xdotool.start(QStringLiteral("xdotool"), {"type", "--delay", "0", "--", text});
        });
        xdotool.waitForFinished();
        printTyping("xdotool", other);
        std::printf("typing_ratio %.2f x\n", quillock.charactersPerSecond / std::max(other.charactersPerSecond, 1e-9));
    }

    std::printf("wait_2s %.0f ms\n", replayedWaitMilliseconds());
    return 0;
}
