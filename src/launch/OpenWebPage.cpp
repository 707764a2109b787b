#include "launch/OpenWebPage.h"

#include "app/basModule1.h"
#include "platform/app/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/shell/Shell.h"

#include <QFile>
#include <QWidget>

namespace {

// The scratch page's one line; the browser never reads it, only its name ending in .htm counts.
const QString ScratchPageLine = QStringLiteral("\"<HTML> <\\HTML>\"");

// The scratch page, written on construction and deleted however the look-up ends.
class ScratchPage
{
public:
    ScratchPage() : m_path(Application::fileInProgramFolder(QStringLiteral("test.htm")))
    {
        WriteTextFile(ScratchPageLine, m_path);
    }
    ~ScratchPage() { QFile::remove(m_path); }
    ScratchPage(const ScratchPage&) = delete;
    ScratchPage& operator=(const ScratchPage&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

std::uintptr_t nativeHandle(QWidget* window)
{
    return window ? static_cast<std::uintptr_t>(window->window()->winId()) : 0;
}

} // namespace

void OpenWebPage(const QString& link, QWidget* ownerWindow)
{
    if (link.isEmpty())
        return;
    const ScratchPage scratch;
    const std::optional<std::string> found =
        Desktop::shell().findExecutable(QFile::encodeName(scratch.path()).toStdString());
    const QString browser = found ? QString::fromLocal8Bit(*found).trimmed() : QString();
    if (browser.isEmpty()) {
        dialogs().msgBox(QStringLiteral("Could not find associated Browser"), Dialogs::vbExclamation,
                         QStringLiteral("Browser Not Found"));
        return;
    }
    const bool started = Desktop::shell().startMaximized(QFile::encodeName(browser).toStdString(),
                                                         link.toLocal8Bit().toStdString(), nativeHandle(ownerWindow));
    if (!started)
        dialogs().msgBox(QStringLiteral("Unable to open Web Page."), Dialogs::vbExclamation, Application::title());
}
