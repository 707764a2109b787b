#include "system/launch/OpenWebPage.h"

#include "domain/error/AppError.h"
#include "platform/app/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/shell/DesktopShell.h"
#include "system/app/basModule1.h"

#include <QFile>

namespace {

// The scratch page's one line; the browser never reads it, only its name ending in .htm counts.
const QString ScratchPageLine = QStringLiteral("\"<HTML> <\\HTML>\"");

// The scratch page, written on construction when it can be, and then deleted however the look-up ends.
// A page that cannot be written (a read-only program folder, or a link, a FIFO or a folder of that name,
// which are left as they are) costs nothing where the look-up goes by the name alone, as on Linux; on
// Windows the look-up then finds no browser and says so.
class ScratchPage
{
public:
    ScratchPage() : m_path(Application::fileInProgramFolder(QStringLiteral("test.htm")))
    {
        try {
            m_written = WriteTextFile(ScratchPageLine, m_path);
        } catch (const AppError&) {
            m_written = false;
        }
    }
    ~ScratchPage()
    {
        if (m_written)
            QFile::remove(m_path);
    }
    ScratchPage(const ScratchPage&) = delete;
    ScratchPage& operator=(const ScratchPage&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_written = false;
};

// A browser takes an argument that begins with "-" for an option; a command line split at blanks (Windows)
// would take one after leading blanks too.
bool looksLikeAnOption(const QString& link)
{
    const QString text = link.trimmed();
    return text.startsWith(QLatin1Char('-'));
}

bool unableToOpen()
{
    dialogs().msgBox(QStringLiteral("Unable to open Web Page."), Dialogs::vbExclamation, Application::title());
    return false;
}

} // namespace

bool OpenWebPage(const QString& link, QWidget* ownerWindow, Desktop::StartedProgram* started)
{
    if (link.isEmpty())
        return true;
    if (looksLikeAnOption(link))
        return unableToOpen();
    const ScratchPage scratch;
    const QString browser = DesktopShell::findExecutable(scratch.path()).trimmed();
    if (browser.isEmpty()) {
        dialogs().msgBox(QStringLiteral("Could not find associated Browser"), Dialogs::vbExclamation,
                         QStringLiteral("Browser Not Found"));
        return false;
    }
    const std::optional<Desktop::StartedProgram> program = DesktopShell::startMaximized(browser, link, ownerWindow);
    if (!program)
        return unableToOpen();
    if (started)
        *started = *program;
    return true;
}
