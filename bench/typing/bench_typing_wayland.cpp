// Types 1,000 characters of the field cipher's alphabet into a Qt line edit on a Wayland compositor of the
// benchmark's own (headless sway) with the program's Wayland key sender, one key string per character as a
// replay sends them, and then with Debian's wtype given the same text. Each starts without a keyboard on the seat,
// so each pays for making its virtual keyboard.
// Prints one line per figure: "<name> <value> <unit>".

#include "TypedText.h"
#include "domain/crypto/dsEncrypt.h"
#include "os/keys/WaylandKeySender.h"
#include "support/SwayServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <thread>

namespace {

constexpr int Characters = 1000;
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
    const auto typed = [&editor] { return editor.text(); };

    Typing quillock{};
    {
        Keys::WaylandKeySender sender;
        std::thread typist;
        quillock = measureTyping(text, typed, [&] { typist = typeWithQuillock(sender, text); });
        typist.join();
    } // the keyboard goes, so that wtype starts as Quillock did: with none on the seat
    printTyping("quillock", quillock);

    if (QStandardPaths::findExecutable(QStringLiteral("wtype")).isEmpty()) {
        std::fprintf(stderr, "wtype is missing: install it to compare (apt-get install wtype)\n");
        return 0;
    }
    QProcess wtype;
    editor.clear();
    const Typing other = measureTyping(text, typed, [&] { wtype.start(QStringLiteral("wtype"), {"--", text}); });
    wtype.waitForFinished();
    printTyping("wtype", other);
    std::printf("typing_ratio %.2f x\n", quillock.charactersPerSecond / std::max(other.charactersPerSecond, 1e-9));
    return 0;
}
