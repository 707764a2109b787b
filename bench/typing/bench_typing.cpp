// Types 1,000 printable characters into real Qt windows (one that only notes its keys, then a text box) with the
// program's keystroke facility, in runs of characters as a replay sends them, each key checked to go into that window
// (and then one character at a time, unchecked), and then with `xdotool type --delay 0`, five rounds of each, medians
// printed; measures a replay's "Wait 2" step. Needs an X display (bench/run-typing.sh starts one).
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
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Characters = 1000;
constexpr int Rounds = 5;

// A window that keeps the text of the keys it receives and does nothing else.
struct KeyLog : QWidget
{
    QString text;
    void keyPressEvent(QKeyEvent* event) override { text += event->text(); }
};

// The typing of median rate, with the fewest characters right of all.
Typing median(std::vector<Typing> typings)
{
    std::sort(typings.begin(), typings.end(),
              [](const Typing& a, const Typing& b) { return a.charactersPerSecond < b.charactersPerSecond; });
    Typing middle = typings[typings.size() / 2];
    for (const Typing& typing : typings)
        middle.correct = std::min(middle.correct, typing.correct);
    return middle;
}
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

// Types the text into the window, which must have the focus, each way in turn, Rounds times, so that the load of the
// machine weighs on all alike, and prints the medians, named after the window: as a launch types (in runs, each key
// only while the window has the focus, asked of the X server for the run); a character at a time without that
// check, as typing went before it; and with xdotool.
void compareTyping(const char* window, QWidget& receiver, const std::function<QString()>& typed,
                   const std::function<void()>& clear)
{
    const QString text = printableAsciiText(Characters);
    const bool haveXdotool = !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
    Keys::X11KeySender sender;
    std::vector<Typing> checked, unchecked, xdotool;
    for (int round = 0; round < Rounds; ++round) {
        std::thread typist;
        clear();
        checked.push_back(
            measureTyping(text, typed, [&] { typist = typeWithQuillock(sender, text, receiver.winId()); }));
        typist.join();
        clear();
        unchecked.push_back(measureTyping(text, typed, [&] { typist = typeWithQuillock(sender, text); }));
        typist.join();
        if (!haveXdotool)
            continue;
        QProcess program;
        clear();
        xdotool.push_back(measureTyping(text, typed, [&] {
            program.start(QStringLiteral("xdotool"), {"type", "--delay", "0", "--", text});
        }));
        program.waitForFinished();
    }
    const std::string name = std::string(window) + '_';
    printTyping((name + "quillock").c_str(), median(checked));
    printTyping((name + "quillock_unchecked").c_str(), median(unchecked));
    if (!haveXdotool) {
        std::fprintf(stderr, "xdotool is missing: install it to compare (apt-get install xdotool)\n");
        return;
    }
    printTyping((name + "xdotool").c_str(), median(xdotool));
    std::printf("typing_%s_ratio %.2f x\n", window,
                median(checked).charactersPerSecond / std::max(median(xdotool).charactersPerSecond, 1e-9));
}

bool showActive(QWidget& window)
{
    window.resize(800, 600);
    window.show();
    window.activateWindow();
    if (QTest::qWaitForWindowActive(&window))
        return true;
    std::fprintf(stderr, "the typing window did not get the focus\n");
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_typing needs an X display (run bench/run-typing.sh)\n");
        return 1;
    }
    // A window that only notes the text of its keys shows how fast the keys come; a text box, how fast one takes
    // them in.
    KeyLog keys;
    if (!showActive(keys))
        return 1;
    compareTyping(
        "keys", keys, [&keys] { return keys.text; }, [&keys] { keys.text.clear(); });
    keys.hide();
    QPlainTextEdit editor;
    if (!showActive(editor))
        return 1;
    compareTyping(
        "textbox", editor, [&editor] { return editor.toPlainText(); }, [&editor] { editor.clear(); });

    std::printf("wait_2s %.0f ms\n", replayedWaitMilliseconds());
    return 0;
}
