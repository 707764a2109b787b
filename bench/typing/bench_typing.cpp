// Types 1,000 printable characters into a real Qt window with the program's keystroke facility, one key
// string per character as a replay sends them, and then with `xdotool type --delay 0`; measures a
// replay's "Wait 2" step. Needs an X display (bench/run-typing.sh starts one).
// Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/X11KeySender.h"
#include "platform/keys/SendKeys.h"
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

// The printable ASCII characters in a fixed random order, each of them many times.
QString printableText()
{
    QString characters;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        characters += QChar(c);
    return randomText(characters, Characters);
}

// Starts the typing, then lets the window take keys until all arrived or none came for a while; the
// rate counts from the start to the last character that arrived.
Typing measure(QPlainTextEdit& editor, const QString& text, const std::function<void()>& type)
{
    editor.clear();
    QElapsedTimer clock;
    clock.start();
    type();
    qint64 lastArrival = 0;
    qsizetype arrived = 0;
    while (arrived < text.size() && clock.elapsed() - lastArrival < QuietMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (editor.toPlainText().size() != arrived) {
            arrived = editor.toPlainText().size();
            lastArrival = clock.nsecsElapsed() / 1000000;
        }
    }
    const double seconds = std::max(static_cast<double>(lastArrival) / 1000.0, 1e-3);
    return {static_cast<double>(arrived) / seconds, charactersInOrder(text, editor.toPlainText())};
}

// Types on a thread of its own, so that the window takes the keys meanwhile, as a browser in another
// process does (and as the window takes xdotool's).
std::thread typeWithQuillock(Keys::KeySender& sender, const QString& text)
{
    return std::thread([&sender, text] {
        Keys::setKeySender(&sender);
        for (QChar c : text)
            sendKeys(literalKeyString(c));
        Keys::setKeySender(nullptr);
    });
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
    const QString text = printableText();

    Keys::X11KeySender sender;
    std::thread typist;
    const Typing quillock = measure(editor, text, [&] { typist = typeWithQuillock(sender, text); });
    typist.join();
    std::printf("typing_quillock %.0f cps\n", quillock.charactersPerSecond);
    std::printf("typing_quillock_correct %d chars\n", quillock.correct);

    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        std::fprintf(stderr, "xdotool is missing: install it to compare (apt-get install xdotool)\n");
    } else {
        QProcess xdotool;
        const Typing other = measure(editor, text, [&] {
            xdotool.start(QStringLiteral("xdotool"), {"type", "--delay", "0", "--", text});
        });
        xdotool.waitForFinished();
        std::printf("typing_xdotool %.0f cps\n", other.charactersPerSecond);
        std::printf("typing_xdotool_correct %d chars\n", other.correct);
        std::printf("typing_ratio %.2f x\n", quillock.charactersPerSecond / std::max(other.charactersPerSecond, 1e-9));
    }

    std::printf("wait_2s %.0f ms\n", replayedWaitMilliseconds());
    return 0;
}
