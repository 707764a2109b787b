#include "ui/maintenance/frmEventType.h"

#include "domain/data/EventTypeStatements.h"
#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
#include "platform/db/Recordset.h"
#include "system/app/UnitOfWork.h"
#include "ui/ModalWindow.h"
#include "ui/main/RecordListGrid.h"
#include "ui/maintenance/frmEditEventType.h"

namespace {

RecordListSettings eventTypeListSettings()
{
    RecordListSettings settings;
    settings.fillStatement = EventTypeListQuery;
    settings.refreshStatement = EventTypeRowQuery;
    settings.newKeyStatement = NewestEventTypeKeyQuery();
    settings.hiddenColumns = {0};
    return settings;
}

} // namespace

frmEventType::frmEventType(QWidget* owner)
    : RecordListDialog(QStringLiteral("Event Type"), {.widthTwips = 8000, .heightTwips = 5500, .buttonsLeftTwips = 195},
                       eventTypeListSettings(), owner)
{}

void frmEventType::openEditor()
{
    ModalWindow<frmEditEventType>::Show(*this, this);
}

// Deleted at once, without a question; steps of that type stay in the data file.
QString frmEventType::deleteStatement(double key) const
{
    return DeleteEventTypeStatement(key);
}

// Steps left without their event type are listed as such, and a launch refuses their websites: the user is told.
QString frmEventType::deletedNotice(UnitOfWork& work, double key) const
{
    const double steps = NumberTextBeginsWith(work.read(InstructionsOfEventTypeQuery(key)).fields(0).text());
    if (steps == 0)
        return {};
    if (steps == 1)
        return QStringLiteral("1 step of this event type is kept. In the list of its website's steps it now shows the "
                              "event type \"%1\", and a launch refuses its website until it is given another event "
                              "type or deleted.")
            .arg(MissingEventTypeName);
    return QStringLiteral("%1 steps of this event type are kept. In the lists of their websites' steps they now show "
                          "the event type \"%2\", and a launch refuses their websites until each is given another "
                          "event type or deleted.")
        .arg(NumberToText(steps), MissingEventTypeName);
}

// An empty table opens the editor at once, to add the first event type.
void frmEventType::afterLoad()
{
    if (GridRows() == 1)
        cmdAdd_Click();
}
