#include "platform/dialogs/QtDialogs.h"

#include "os/keys/KeySender.h"
#include "platform/app/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

Dialogs* replacementDialogs = nullptr;

QString titleOrApplication(const QString& title)
{
    return title.isEmpty() ? Application::title() : title;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case Dialogs::vbCritical:
        return QMessageBox::Critical;
    case Dialogs::vbQuestion:
        return QMessageBox::Question;
    case Dialogs::vbExclamation:
        return QMessageBox::Warning;
    case Dialogs::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

Dialogs& dialogs()
{
    static QtDialogs real;
    return replacementDialogs ? *replacementDialogs : real;
}

void setDialogs(Dialogs* replacement)
{
    replacementDialogs = replacement;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked)
{
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(titleOrApplication(title));
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    // Its box would cut a longer answer to 32,767 characters without a word; the caller judges the whole answer.
    if (auto* answer = box.findChild<QLineEdit*>())
        answer->setMaxLength(std::numeric_limits<int>::max());
    box.setWindowModality(Qt::ApplicationModal);
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.textValue();
}

int QtDialogs::msgBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(iconOf(style), titleOrApplication(title), prompt, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    if ((style & 0x7) == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return vbOK;
}

QString QtDialogs::saveFileName(const QString& title, const QString& suggestedName, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), titleOrApplication(title),
                                        QDir::home().filePath(suggestedName), filter);
}

void QtDialogs::endProgram()
{
    // Everything the program keeps is already in the data file; nothing is left to save. Keys bound for typing
    // are given back to the keyboard here, as no exit handler runs.
    Keys::releasePlatformKeySender();
    std::fflush(nullptr);
    std::_Exit(0);
}
