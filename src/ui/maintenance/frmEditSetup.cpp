#include "ui/maintenance/frmEditSetup.h"

#include "domain/crypto/StoredMasterPassword.h"
#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"
#include "domain/steps/StepLimits.h"
#include "platform/db/Recordset.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "ui/StorableText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

namespace {

constexpr double LabelWidthTwips = 4200;
// A character no one types and the field cipher never stores, so that the stand-in cannot mix with typing.
constexpr QChar StandInCharacter = QChar(0xE000);
constexpr int StandInLength = 8;

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
    txtMasterPassword = addTextBox("txtMasterPassword", "Label1", QStringLiteral("Master Password"));
    txtMasterPassword->setEchoMode(QLineEdit::Password);
    connect(txtMasterPassword, &QLineEdit::textEdited, this, &frmEditSetup::replaceStandIn);
    txtMasterPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42 }")); // "*"
    addButtons();
    // The focus goes from the minutes to the launcher switch and the buttons; the password comes last.
    QWidget::setTabOrder(findChild<QPushButton*>(QStringLiteral("cmdCancel")), txtMasterPassword);
}

void frmEditSetup::replaceStandIn(const QString& edited)
{
    if (!m_showsStoredPassword)
        return;
    m_showsStoredPassword = false;
    QString typed = edited;
    typed.remove(StandInCharacter);
    txtMasterPassword->setText(typed);
}

// The window opens only when the whole row was read, so that OK writes back nothing it did not read.
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
    m_storedPassword = settings.fields(QStringLiteral("MasterPassword")).text();
    m_showsStoredPassword = !m_storedPassword.isEmpty();
    txtMasterPassword->setText(m_showsStoredPassword ? QString(StandInLength, StandInCharacter) : QString());
    return true;
}

QString frmEditSetup::recordGoneMessage() const
{
    return QStringLiteral("The data file holds no settings row, so there are no settings to change.");
}

// Minutes typed in must be a period the re-lock counts; minutes left as they were read are kept, whatever they
// hold, so that a value stored by other means never stops the other settings from being saved.
// A new password must be one the password check file can be written for too, so that the utility takes it.
bool frmEditSetup::checksPass()
{
    const QString minutes = txtNumMinutesBeforeRequiringPasswordAgain->text();
    if (minutes != m_storedMinutes && !isRelockPeriod(minutes)) {
        dialogs().msgBox(QStringLiteral("The Number Minutes Before Requiring Password Again must be %1, such as 5.")
                             .arg(relockPeriodRule()),
                         Dialogs::vbExclamation);
        txtNumMinutesBeforeRequiringPasswordAgain->setFocus();
        return false;
    }
    if (!m_showsStoredPassword && txtMasterPassword->text().isEmpty() &&
        storedTextForm() != StoredTextForm::FieldCipher) {
        dialogs().msgBox(QStringLiteral("The websites are protected under the master password, so it cannot be "
                                        "removed. Remove the protection in the utility first."),
                         Dialogs::vbExclamation);
        txtMasterPassword->setFocus();
        return false;
    }
    if (m_showsStoredPassword || FieldCipherCanStore(txtMasterPassword->text(), txtMasterPassword->accessibleName()))
        return true;
    txtMasterPassword->setFocus();
    return false;
}

// A new password counts as typed, blanks and all. The settings in memory change only once the row is written.
void frmEditSetup::saveRecord(UnitOfWork& work)
{
    const QString minutes = txtNumMinutesBeforeRequiringPasswordAgain->text();
    const std::optional<QString> minutesValue =
        minutes == m_storedMinutes ? std::nullopt : std::optional(TextValue(minutes));
    const bool defaultToLauncher = chkDefaultToLauncher->isChecked();
    const QString password =
        m_showsStoredPassword ? m_storedPassword : StoredMasterPassword::verifierOf(txtMasterPassword->text());
    // a protected file's data key is wrapped under the new password in the same transaction
    work.beginTransaction();
    if (work.execute(UpdateSetupStatement(QuotedValue(password), minutesValue, defaultToLauncher, m_sizes)) == 0)
        throw RecordGone{recordGoneMessage()};
    if (!m_showsStoredPassword)
        RewrapDataKey(work, txtMasterPassword->text());
    work.commit();
    gblnDefaultToLauncher = defaultToLauncher;
    gdblRelockMinutes = NumberTextBeginsWith(minutes);
    gdblMinutesLeft = gdblRelockMinutes;
}
