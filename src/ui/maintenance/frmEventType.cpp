#include "ui/maintenance/frmEventType.h"

#include "domain/data/EventTypeStatements.h"
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

// Deleted at once, without a question; instructions of that type stay in the data file but are no longer
// listed or replayed.
QString frmEventType::deleteStatement(double key) const
{
    return DeleteEventTypeStatement(key);
}

// An empty table opens the editor at once, to add the first event type.
void frmEventType::afterLoad()
{
    if (GridRows() == 1)
        cmdAdd_Click();
}
