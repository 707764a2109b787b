#include "ui/maintenance/frmWebsiteInstructions.h"

#include "domain/data/InstructionStatements.h"
#include "ui/ModalWindow.h"
#include "ui/main/RecordListGrid.h"
#include "ui/maintenance/frmEditWebsiteInstructions.h"

namespace {

RecordListSettings instructionListSettings(const RecordListWindow& websites)
{
    RecordListSettings settings;
    settings.fillStatement = [&websites] {
        return InstructionListQuery(websites.GridTextMatrix(websites.GridRow(), 0));
    };
    settings.refreshStatement = InstructionRowQuery;
    settings.newKeyStatement = NewestInstructionKeyQuery();
    settings.decipheredColumns = {{2, 1, WebsiteNamePlace}};
    settings.hiddenColumns = {0, 1, 3};
    return settings;
}

} // namespace

frmWebsiteInstructions::frmWebsiteInstructions(const RecordListWindow& websites, QWidget* owner)
    : RecordListDialog(QStringLiteral("Website Instructions"),
                       {.widthTwips = 9600, .heightTwips = 5400, .buttonsLeftTwips = 180},
                       instructionListSettings(websites), owner),
      m_websites(websites)
{}

void frmWebsiteInstructions::openEditor()
{
    ModalWindow<frmEditWebsiteInstructions>::Show(*this, m_websites, this);
}

QString frmWebsiteInstructions::deleteStatement(double key) const
{
    return DeleteInstructionStatement(key);
}
