// Launches a website into Debian's chromium, as the program does (the desktop's application for web pages,
// started maximized under a window manager on a display of the benchmark's own), and types 1,000 printable
// characters into the page's text box the way a replay types a text: one key string per character. The
// characters are of every class: letters, digits, punctuation, the ones the key-string syntax reserves, and
// ones the keyboard map lacks, which the key sender types on borrowed keys. The page sends back what it holds.
// Usage: bench_typing_chromium [runs [characters outside the keymap]]; each run is a launch of its own, with a
// new browser. The ten characters outside the keymap by default are as many as the key sender borrows keys for
// at once; more make it bind keys again as it types, and wait for the keys to be free.
// Prints per run: "typing_chromium_correct <n> chars" and "typing_chromium <rate> cps".

#include "TypedText.h"
#include "TypingPage.h"
#include "X11Witness.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/XdgShell.h"
#include "platform/keys/SendKeys.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "support/XvfbServer.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayWebsite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int Characters = 1000;
// A browser start, or the page's report, that takes longer than this has failed.
constexpr qint64 TimeoutMs = 60000;
// The page reports every half second while keys come; typing is over when no report came for this long.
constexpr qint64 QuietMs = 4000;
// A website's first step is a wait for the page: typing starts this long after the page has the focus.
constexpr int SettleMs = 3000;

// Printable ASCII (letters, digits, blank, punctuation and the reserved + ^ % ~ ( ) { } [ ]) and characters
// that a US keyboard map lacks.
QString typingText(const QString& missingFromKeymap)
{
    QString characters = missingFromKeymap;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        characters += QChar(c);
    return randomText(characters, Characters);
}

bool waitFor(const std::function<bool()>& done, qint64 timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Each error costs one character: a character dropped or garbled, and one that arrived on top.
int correctCharacters(const QString& expected, const QString& typed)
{
    const int inOrder = charactersInOrder(expected, typed);
    return std::max(0, inOrder - static_cast<int>(typed.size() - inOrder));
}

// Where what the page holds first departs from the text, for the diagnosis of a run that went wrong.
void describeDifference(const QString& expected, const QString& typed)
{
    for (qsizetype i = 0; i < std::min(expected.size(), typed.size()); ++i) {
        if (expected[i] != typed[i]) {
            std::fprintf(stderr, "  first difference at %lld: expected \"%s\", got \"%s\" (%lld of %lld characters)\n",
                         static_cast<long long>(i), qPrintable(expected.mid(i, 12)), qPrintable(typed.mid(i, 12)),
                         static_cast<long long>(typed.size()), static_cast<long long>(expected.size()));
            return;
        }
    }
    std::fprintf(stderr, "  %lld of %lld characters arrived\n", static_cast<long long>(typed.size()),
                 static_cast<long long>(expected.size()));
}

// One launch: the page opened by a replay of a website without steps, the text typed once the page has the
// focus, what it holds read back. Returns false when the browser or the page did not come.
bool typeIntoChromium(BrowserHome& home, int run, const QString& text)
{
    if (!home.useChromium(QStringLiteral("profile-%1").arg(run)))
        return false;
    PageServer server(TypingPage);
    const TempDataFolder folder;
    folder.execute({"INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink) VALUES (1, Null, Null)"});
    // The key sender of a program just started: no keys borrowed yet.
    Keys::X11KeySender keys;
    Keys::setKeySender(&keys);
    QTimer tmrWait;
    ReplayWebsite(tmrWait, QStringLiteral("1"), server.url(), nullptr);

    X11Probe probe;
    std::optional<xcb_window_t> browser;
    const bool ready =
        waitFor([&] { return server.path == QLatin1String("/ready"); }, TimeoutMs) &&
        waitFor([&] { return (browser = probe.findWindow("Chromium")) && probe.isMaximized(*browser); }, TimeoutMs);
    if (ready) {
        QTest::qWait(SettleMs); // the browser is still being maximized meanwhile
        for (QChar c : text)
            sendKeys(literalKeyString(c));
        int reports = server.queries;
        QElapsedTimer quiet;
        quiet.start();
        waitFor(
            [&] {
                if (server.queries != std::exchange(reports, server.queries))
                    quiet.restart();
                return server.value(QStringLiteral("text")) == text || quiet.elapsed() > QuietMs;
            },
            TimeoutMs);
        const QString typed = server.value(QStringLiteral("text"));
        const double seconds = server.value(QStringLiteral("ms")).toDouble() / 1000;
        std::printf("typing_chromium_correct %d chars\n", correctCharacters(text, typed));
        std::printf("typing_chromium %.0f cps\n", seconds > 0 ? (typed.size() - 1) / seconds : 0.0);
        std::fflush(stdout);
        if (typed != text)
            describeDifference(text, typed);
    }
    if ((browser = probe.findWindow("Chromium")))
        BrowserHome::endBrowser(probe.process(*browser));
    waitFor([&] { return !probe.findWindow("Chromium"); }, 10000);
    Keys::setKeySender(nullptr);
    return ready;
}

} // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString missingFromKeymap = QString::fromUtf8(argc > 2 ? argv[2] : "éß€ñüøçΩж✓");
    XvfbServer display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start: is the xvfb package installed?\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY"); // the session is this display alone, even when run on a Wayland desktop
    QApplication app(argc, argv);
    Openbox windowManager;
    BrowserHome home;
    if (!windowManager.isRunning() || home.chromium().isEmpty()) {
        std::fprintf(stderr, "openbox or chromium is missing: run scripts/install-deps.sh --test\n");
        return 1;
    }
    gobjEncrypt = std::make_unique<dsEncrypt>();
    // The real shell, owned here so that it ends before the display does.
    Desktop::XdgShell shell;
    Desktop::setShell(&shell);
    ScriptedDialogs dialogs;

    const QString text = typingText(missingFromKeymap);
    for (int run = 1; run <= runs; ++run) {
        if (!typeIntoChromium(home, run, text))
            std::fprintf(stderr, "run %d: the page did not get the focus; messages: %s\n", run,
                         qPrintable(dialogs.messageTexts().join(" / ")));
    }
    Desktop::setShell(nullptr);
    gobjEncrypt.reset();
    return 0;
}
