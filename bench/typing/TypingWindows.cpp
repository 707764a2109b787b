#include "TypingWindows.h"

#include "TypingPage.h"
#include "os/keys/KeySender.h"
#include "os/shell/XdgShell.h"
#include "support/BrowserHome.h"

#include <QTest>
#include <thread>

namespace {

// Typing is over when nothing more arrived for this long.
constexpr qint64 QuietMs = 4000;
// A window that takes longer than this to show up with the focus has failed.
constexpr int OpenTimeoutMs = 60000;

} // namespace

bool QtWindow::open()
{
    m_editor.setMaxLength(1 << 20);
    m_editor.resize(800, 40);
    QObject::connect(&m_editor, &QLineEdit::textChanged, [this] {
        if (!m_clock.isValid())
            m_clock.start();
        m_lastChangeMs = m_clock.elapsed();
    });
    m_editor.show();
    return QTest::qWaitFor([this] { return m_editor.isActiveWindow(); }, OpenTimeoutMs);
}

Arrival QtWindow::arrival()
{
    return {m_editor.text(), static_cast<double>(m_lastChangeMs) / 1000};
}

bool GtkWindow::open()
{
    return m_witness.waitForFocus(OpenTimeoutMs);
}

Arrival GtkWindow::arrival()
{
    if (const std::optional<GtkWitness::State> state = m_witness.state())
        m_last = {state->text, state->milliseconds / 1000};
    return m_last;
}

ChromiumWindow::ChromiumWindow(BrowserHome& home) : m_home(home), m_server(TypingPage)
{}

ChromiumWindow::~ChromiumWindow()
{
    if (m_browser)
        BrowserHome::endBrowser(static_cast<pid_t>(m_browser));
    QTest::qWait(1000); // its windows go
}

bool ChromiumWindow::open()
{
    static int profiles = 0;
    Desktop::XdgShell shell;
    const std::optional<std::string> program =
        m_home.useChromium(QStringLiteral("profile-%1").arg(++profiles), QStringLiteral("--ozone-platform=wayland"))
            ? shell.findExecutable("page.htm")
            : std::nullopt;
    const std::optional<Desktop::StartedProgram> started =
        program ? shell.startMaximized(*program, m_server.url().toStdString(), 0) : std::nullopt;
    m_browser = started ? static_cast<std::int64_t>(started->process) : 0;
    return m_browser && QTest::qWaitFor([this] { return m_server.path == QLatin1String("/ready"); }, OpenTimeoutMs);
}

Arrival ChromiumWindow::arrival()
{
    return {m_server.value(QStringLiteral("text")), m_server.value(QStringLiteral("ms")).toDouble() / 1000};
}

Typing measure(TypingWindow& window, const QString& text, const std::function<void()>& start,
               const std::function<void()>& ended)
{
    start();
    Arrival last;
    QElapsedTimer quiet;
    quiet.start();
    while (last.text.size() < text.size() && quiet.elapsed() < QuietMs) {
        QTest::qWait(100);
        const Arrival now = window.arrival();
        if (now.text != last.text)
            quiet.restart();
        last = now;
    }
    ended();
    const double seconds = std::max(last.seconds, 1e-3);
    return {std::max<double>(static_cast<double>(last.text.size()) - 1, 0) / seconds,
            charactersInOrder(text, last.text)};
}

Typing typedBy(Keys::KeySender& sender, TypingWindow& window, const QString& text)
{
    std::thread typist;
    return measure(
        window, text, [&] { typist = typeWithQuillock(sender, text); }, [&] { typist.join(); });
}
