// Types texts of the field cipher's alphabet on a Wayland compositor of the benchmark's own (headless sway) with the
// program's Wayland key sender, one key string per character as a replay sends them, into three windows: a Qt line
// edit, a GTK entry (in a process of its own, which the compositor disconnects when it falls behind) and a text box
// in Debian's chromium running natively on Wayland. Debian's wtype types each text into each too, to compare.
// Each window is opened anew for each typing, and each typing makes a virtual keyboard of its own; a keyboard of the
// benchmark's own stays on the seat throughout, as a desktop's does, so that windows get the focus when shown.
// Usage: bench_typing_wayland [characters...]: the lengths of the texts, by default 1,000 (a long login) and 8,000;
// 32,767 is the longest a text step holds. Prints one line per figure, "<name> <value> <unit>": per window and text
// "typing_<window>_<characters> <rate> cps" and "typing_<window>_<characters>_correct <n> chars", and the same
// with _wtype for wtype.

#include "TypingWindows.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/WaylandKeySender.h"
#include "support/BrowserHome.h"
#include "support/SwayServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

// wtype that has not ended this long after the window took its last key has failed.
constexpr int WtypeTimeoutMs = 60000;

// The cipher's printable characters in a fixed random order, each of them many times: more than one keymap holds.
QString alphabetText(int count)
{
    QString characters;
    const dsEncrypt cipher;
    for (QChar c : cipher.alphabet()) {
        if (c.isPrint())
            characters += c;
    }
    return randomText(characters, count);
}

// With a virtual keyboard of its own, which goes with it.
Typing typedByQuillock(TypingWindow& window, const QString& text)
{
    Keys::WaylandKeySender sender;
    return typedBy(sender, window, text);
}

Typing typedByWtype(TypingWindow& window, const QString& text)
{
    QProcess wtype;
    return measure(
        window, text,
        [&] {
            wtype.start(QStringLiteral("wtype"), {"--", text});
        },
        [&] {
            if (!wtype.waitForFinished(WtypeTimeoutMs))
                wtype.kill();
            wtype.waitForFinished();
        });
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
    const QTemporaryDir runtime; // GTK refuses to start without a runtime folder, as the tests have one
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication app(argc, argv);
    BrowserHome home;
    if (home.chromium().isEmpty() || QStandardPaths::findExecutable(QStringLiteral("wtype")).isEmpty()) {
        std::fprintf(stderr, "chromium or wtype is missing: run scripts/install-deps.sh --test\n");
        return 1;
    }
    QList<int> lengths;
    for (int i = 1; i < argc; ++i)
        lengths << std::max(1, std::atoi(argv[i]));
    if (lengths.isEmpty())
        lengths = {1000, 8000};
    Keys::WaylandKeySender seatKeyboard;
    seatKeyboard.send({{Keys::Key::Escape, 0, Keys::NoModifier}}); // into no window: none is open yet

    const std::vector<std::pair<const char*, std::function<std::unique_ptr<TypingWindow>()>>> windows{
        {"qt", [] { return std::make_unique<QtWindow>(); }},
        {"gtk", [] { return std::make_unique<GtkWindow>(); }},
        {"chromium", [&home] { return std::make_unique<ChromiumWindow>(home); }}};
    for (const auto& [name, open] : windows) {
        for (const int length : lengths) {
            const QString text = alphabetText(length);
            for (const bool wtype : {false, true}) {
                const QByteArray figure =
                    QStringLiteral("%1_%2%3").arg(name).arg(length).arg(wtype ? "_wtype" : "").toUtf8();
                const std::unique_ptr<TypingWindow> window = open();
                if (!window->open()) {
                    std::fprintf(stderr, "%s: the window did not get the focus\n", figure.constData());
                    continue;
                }
                printTyping(figure.constData(), wtype ? typedByWtype(*window, text) : typedByQuillock(*window, text));
                // The seat's keyboard is the desktop's again, as after a key of the user's: a chromium started
                // while the seat's last keyboard is one that went away shows no window.
                seatKeyboard.send({{Keys::Key::Escape, 0, Keys::NoModifier}});
            }
        }
    }
    return 0;
}
