#include "ui/maintenance/frmEditSetup.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"
#include "domain/steps/StepLimits.h"
#include "platform/db/Recordset.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

namespace {

constexpr double LabelWidthTwips = 4200;

std::optional<double> heldSizeTwips(const Field& field)
{
    if (field.isNull())
        return std::nullopt;
    return NumberTextBeginsWith(field.text());
}

} // namespace

frmEditSetup::frmEditSetup(QWidget* owner)
    : RecordEditor(QStringLiteral("Setup"), Activity::NotCounted, owner, LabelWidthTwips)
{
    txtNumMinutesBeforeRequiringPasswordAgain =
        addTextBox("txtNumMinutesBeforeRequiringPasswordAgain", "lblNumMinutesBeforeRequiringPasswordAgain",
                   QStringLiteral("Number Minutes Before Requiring Password Again"));
    chkDefaultToLauncher = new QCheckBox(QStringLiteral("Default To Launcher"));
    chkDefaultToLauncher->setObjectName(QStringLiteral("chkDefaultToLauncher"));
    addRow(chkDefaultToLauncher);
    auto* note = new QLabel(QStringLiteral("(Otherwise, default to Mainenance Screen)"));
    note->setObjectName(QStringLiteral("Label2"));
    addRow(note);
    txtMasterPassword =
        addTextBox("txtMasterPassword", "Label1", QStringLiteral("Master Password"), Storage::Enciphered);
    txtMasterPassword->setEchoMode(QLineEdit::Password);
    txtMasterPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42 }")); // "*"
    addButtons();
    // The focus goes from the minutes to the launcher switch and the buttons; the password comes last.
    QWidget::setTabOrder(findChild<QPushButton*>(QStringLiteral("cmdCancel")), txtMasterPassword);
}

// The window opens only when the whole row was read, the stored password deciphered included, so that OK writes
// back nothing it did not read.
bool frmEditSetup::loadRecord(UnitOfWork& work)
{
    Recordset& settings = work.read(SettingsQuery());
    if (settings.eof())
        return false;
    settings.moveFirst();
    m_sizes = {heldSizeTwips(settings.fields(QStringLiteral("LauncherHeight"))),
               heldSizeTwips(settings.fields(QStringLiteral("LauncherWidth"))),
               heldSizeTwips(settings.fields(QStringLiteral("FormHeight"))),
               heldSizeTwips(settings.fields(QStringLiteral("FormWidth")))};
    m_storedMinutes = settings.fields(QStringLiteral("NumMinutesBeforeRequiringPasswordAgain")).text();
    txtNumMinutesBeforeRequiringPasswordAgain->setText(m_storedMinutes);
    chkDefaultToLauncher->setChecked(BooleanFromText(settings.fields(QStringLiteral("DefaultToLauncher")).text()));
    const QString storedPassword = settings.fields(QStringLiteral("MasterPassword")).text();
    if (!storedPassword.isEmpty())
        txtMasterPassword->setText(gobjEncrypt->Encrypt2(storedPassword));
    return true;
}

QString frmEditSetup::recordGoneMessage() const
{
    return QStringLiteral("The data file holds no settings row, so there are no settings to change.");
}

// Minutes typed in must be a period the re-lock counts; minutes left as they were read are kept, whatever they
// hold, so that a value stored by other means never stops the other settings from being saved.
bool frmEditSetup::checksPass()
{
    const QString minutes = txtNumMinutesBeforeRequiringPasswordAgain->text();
    if (minutes == m_storedMinutes || isRelockPeriod(minutes))
        return true;
    dialogs().msgBox(QStringLiteral("The Number Minutes Before Requiring Password Again must be %1, such as 5.")
                         .arg(relockPeriodRule()),
                     Dialogs::vbExclamation);
    txtNumMinutesBeforeRequiringPasswordAgain->setFocus();
    return false;
}

// The password is stored as typed, blanks and all, and its enciphered form untrimmed: the cipher may put a blank
// at either end, and the next start deciphers exactly what is stored. The settings in memory change only once
// the row is written.
void frmEditSetup::saveRecord(UnitOfWork& work)
{
    const QString minutes = txtNumMinutesBeforeRequiringPasswordAgain->text();
    const std::optional<QString> minutesValue =
        minutes == m_storedMinutes ? std::nullopt : std::optional(TextValue(minutes));
    const bool defaultToLauncher = chkDefaultToLauncher->isChecked();
    if (work.execute(UpdateSetupStatement(EncipheredValueAsTyped(txtMasterPassword->text(), *gobjEncrypt), minutesValue,
                                          defaultToLauncher, m_sizes)) == 0)
        throw RecordGone{recordGoneMessage()};
    gblnDefaultToLauncher = defaultToLauncher;
    gdblRelockMinutes = NumberTextBeginsWith(minutes);
    gdblMinutesLeft = gdblRelockMinutes;
}
