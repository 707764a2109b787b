#include "ui/maintenance/frmEditWebsiteInstructions.h"

#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/steps/OneTimeCode.h"
#include "domain/steps/StepLimits.h"
#include "domain/steps/StepTypes.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayClock.h"
#include "ui/main/RecordListWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

frmEditWebsiteInstructions::frmEditWebsiteInstructions(RecordListWindow& instructions, const RecordListWindow& websites,
                                                       QWidget* owner)
    : RecordEditor(QStringLiteral("Website Instructions"), Activity::Counted, owner), m_instructions(instructions),
      m_websites(websites)
{
    cboEventType = new QComboBox(this);
    cboEventType->setObjectName(QStringLiteral("cboEventType"));
    addRow(cboEventType, "lblEventType", QStringLiteral("Event Type"));
    txtNumberOfTimes = addTextBox("txtNumberOfTimes", "lblNumberOfTimes", QStringLiteral("Number Of Times"));
    lblNumberOfTimes = findChild<QLabel*>(QStringLiteral("lblNumberOfTimes"));
    txtTextToTypeIn =
        addTextBox("txtTextToTypeIn", "lblTextToTypeIn", QStringLiteral("Text To Type In"), Storage::Enciphered);
    // A one-time code step shows the code of the moment, for the user to compare with their authenticator.
    lblCodeNow = new QLabel(this);
    lblCodeNow->setObjectName(QStringLiteral("lblCodeNow"));
    lblCodeNow->setAccessibleName(QStringLiteral("Code Now"));
    addRow(lblCodeNow, "lblCodeNowCaption", QStringLiteral("Code Now"));
    tmrCodeNow.setInterval(1000);
    connect(&tmrCodeNow, &QTimer::timeout, this, &frmEditWebsiteInstructions::showCodeNow);
    connect(txtTextToTypeIn, &QLineEdit::textChanged, this, &frmEditWebsiteInstructions::showCodeNow);
    // Shown for orientation only: the step belongs to the website current in the list.
    txtWebsiteName = addTextBox("txtWebsiteName", "lblWebsiteName", QStringLiteral("Website Name"));
    txtWebsiteName->setReadOnly(true);
    addButtons();
    QWidget::setTabOrder(findChild<QPushButton*>(QStringLiteral("cmdCancel")), txtWebsiteName);
    connect(cboEventType, &QComboBox::currentIndexChanged, this, &frmEditWebsiteInstructions::cboEventType_Click);
}

QString frmEditWebsiteInstructions::websiteCell(int col) const
{
    return m_websites.GridTextMatrix(m_websites.GridRow(), col);
}

bool frmEditWebsiteInstructions::loadRecord(UnitOfWork& work)
{
    const Recordset& step = work.read(InstructionRowQuery(m_instructions.RecordKey()));
    if (step.eof())
        return false;
    m_eventTypeId = step.fields(QStringLiteral("EventTypeID")).text();
    if (m_eventTypeId.isEmpty()) // its event type was deleted: the user chooses another one
        cboEventType->setPlaceholderText(step.fields(QStringLiteral("EventType")).text());
    txtNumberOfTimes->setText(step.fields(QStringLiteral("NumberOfTimes")).text());
    txtTextToTypeIn->setText(RevealStoredTextOrRaise(
        StepTextPlace(step.fields(QStringLiteral("WebsiteInstructionsID")).text()),
        step.fields(QStringLiteral("TextToTypeIn")).text(), QStringLiteral("The text of this step")));
    return true;
}

QString frmEditWebsiteInstructions::recordGoneMessage() const
{
    return QStringLiteral("This step was deleted in another window.");
}

void frmEditWebsiteInstructions::loadCommon(UnitOfWork& work)
{
    txtWebsiteName->setText(websiteCell(1));
    fillEventTypes(work);
}

// Choosing the step's own type sets the captions and boxes for it, as a choice by the user does; a new step
// starts with no choice.
void frmEditWebsiteInstructions::fillEventTypes(UnitOfWork& work)
{
    int chosen = -1;
    {
        const QSignalBlocker quiet(cboEventType);
        for (Recordset& types = work.read(EventTypeChoicesQuery()); !types.eof(); types.moveNext()) {
            const double key = NumberTextBeginsWith(types.fields(0).text());
            cboEventType->addItem(types.fields(1).text(), static_cast<qlonglong>(key));
            if (!m_eventTypeId.isEmpty() && NumberTextBeginsWith(m_eventTypeId) == key)
                chosen = cboEventType->count() - 1;
        }
        cboEventType->setCurrentIndex(-1);
    }
    cboEventType->setCurrentIndex(chosen);
}

namespace {

void useBox(QLineEdit* box, BoxUse use)
{
    if (use == BoxUse::LeftAsItIs)
        return;
    box->setEnabled(use == BoxUse::Enabled);
    if (use == BoxUse::DisabledAndEmptied)
        box->clear();
}

} // namespace

// The step type chosen sets the boxes and the number's caption; a name of no known type changes nothing.
void frmEditWebsiteInstructions::cboEventType_Click()
{
    const StepType* type = findStepType(cboEventType->currentText());
    if (!type)
        return;
    useBox(txtNumberOfTimes, type->numberBox);
    useBox(txtTextToTypeIn, type->textBox);
    if (!type->numberCaption.isEmpty())
        lblNumberOfTimes->setText(type->numberCaption);
    showCodeNow();
}

bool frmEditWebsiteInstructions::typesOneTimeCode() const
{
    const StepType* type = findStepType(cboEventType->currentText());
    return type && type->action == StepAction::TypeOneTimeCode;
}

// The code of the moment and how long it stays, or what is wrong with the secret; nothing for other types.
void frmEditWebsiteInstructions::showCodeNow()
{
    if (!typesOneTimeCode()) {
        tmrCodeNow.stop();
        lblCodeNow->clear();
        return;
    }
    tmrCodeNow.start();
    const auto parsed = OneTimeCode::fromText(txtTextToTypeIn->text());
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        lblCodeNow->setText(QStringLiteral("(the secret %1)").arg(*problem));
        return;
    }
    const OneTimeCode& code = std::get<OneTimeCode>(parsed);
    const qint64 now = replayClockMilliseconds();
    lblCodeNow->setText(
        QStringLiteral("%1 (%2 s left)").arg(code.codeAt(now / 1000)).arg((code.millisecondsLeftAt(now) + 999) / 1000));
}

// The number must read as a count the way the replay reads it, so that no stored count is passed over at
// launch. A refused number is emptied from its box, which gets the focus for retyping; the window stays open
// and the other boxes keep what was typed. It is not counted as activity; a missing event type is. An event type
// a launch does not know and a count beyond what a launch replays are refused too, the count kept for correcting,
// as is a step more than a website holds: what the editor accepts, a launch does.
bool frmEditWebsiteInstructions::checksPass()
{
    const QString number = txtNumberOfTimes->text();
    if (!number.isEmpty() && !CountValue(number)) {
        dialogs().msgBox(QStringLiteral("Number of Times/Seconds Field must be numeric."));
        txtNumberOfTimes->clear();
        txtNumberOfTimes->setFocus();
        return false;
    }
    gdblMinutesLeft = gdblRelockMinutes;
    if (cboEventType->currentIndex() < 0) {
        dialogs().msgBox(QStringLiteral("Select EventType first."));
        return false;
    }
    return knownToALaunch() && countWithinLimits() && secretGivesCodes() && roomForAnotherStep();
}

// A one-time code step's secret must give codes, as the launch's checks demand.
bool frmEditWebsiteInstructions::secretGivesCodes()
{
    if (!typesOneTimeCode())
        return true;
    const auto parsed = OneTimeCode::fromText(txtTextToTypeIn->text());
    const QString* problem = std::get_if<QString>(&parsed);
    if (!problem)
        return true;
    dialogs().msgBox(QStringLiteral("The one-time code secret ") + *problem, Dialogs::vbExclamation);
    txtTextToTypeIn->setFocus();
    return false;
}

bool frmEditWebsiteInstructions::knownToALaunch()
{
    const QString eventType = cboEventType->currentText();
    if (isKnownStepType(eventType))
        return true;
    dialogs().msgBox(QStringLiteral("This step is %1: a launch would refuse this website. Choose another event type.")
                         .arg(unknownStepTypeWords(eventType)),
                     Dialogs::vbExclamation);
    cboEventType->setFocus();
    return false;
}

bool frmEditWebsiteInstructions::countWithinLimits()
{
    const StepType* type = findStepType(cboEventType->currentText());
    const std::optional<QString> broken = type ? brokenCountRule(*type, txtNumberOfTimes->text()) : std::nullopt;
    if (!broken)
        return true;
    dialogs().msgBox(QStringLiteral("Number of Times/Seconds Field is out of range: %1.").arg(*broken));
    txtNumberOfTimes->setFocus();
    txtNumberOfTimes->selectAll();
    return false;
}

bool frmEditWebsiteInstructions::roomForAnotherStep()
{
    if (!adding())
        return true;
    double steps = 0;
    {
        UnitOfWork work;
        steps = NumberTextBeginsWith(work.read(InstructionCountQuery(websiteCell(0))).fields(0).text());
    }
    if (steps < MaxStepsPerWebsite)
        return true;
    dialogs().msgBox(
        QStringLiteral("A website has at most %1 steps, and this one has them all: the step was not added.")
            .arg(MaxStepsPerWebsite));
    return false;
}

// The box's text enciphered for the step's row, kept as typed.
QString frmEditWebsiteInstructions::textValue(const QString& instructionId) const
{
    return EncipheredValueAsTyped(txtTextToTypeIn->text(), ConcealingAt(StepTextPlace(instructionId)));
}

// The website is read again from the website list now; the list of steps is refreshed in this unit of work.
// A step is written only while its website is there: another program may have deleted it, and the check and
// the write are one transaction, so that no step is ever stored for a website that is gone. The text is stored
// as typed, blanks included: it is typed at launch as it stands.
void frmEditWebsiteInstructions::saveRecord(UnitOfWork& work)
{
    const QString website = websiteCell(0);
    const QString eventType = NumberToText(cboEventType->currentData().toDouble());
    const QString number = TextValue(txtNumberOfTimes->text());
    work.beginTransaction();
    if (NumberTextBeginsWith(work.read(WebsiteCountQuery(website)).fields(0).text()) == 0)
        throw RecordGone{QStringLiteral("This website was deleted in another window.")};
    if (!adding()) {
        const double key = m_instructions.RecordKey();
        if (work.execute(UpdateInstructionStatement(website, eventType, number, textValue(NumberToText(key)), key)) ==
            0)
            throw RecordGone{recordGoneMessage()};
        work.commit();
        m_instructions.UpdateGridRow();
        return;
    }
    // the text is bound to the step's key, so a new step's text is written once the row has its key
    work.execute(InsertInstructionStatement(website, eventType, number, QStringLiteral("Null")));
    const QString key = work.read(IdentityQuery()).fields(0).text();
    work.execute(UpdateInstructionStatement(website, eventType, number, textValue(key), NumberTextBeginsWith(key)));
    work.commit();
    if (m_instructions.GridRows() == 1)
        m_instructions.FillGrid();
    else
        m_instructions.AddGridRow();
}
