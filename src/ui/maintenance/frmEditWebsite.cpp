#include "ui/maintenance/frmEditWebsite.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/InstructionStatements.h"
#include "domain/data/WebsiteStatements.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "ui/main/RecordListWindow.h"

#include <QLineEdit>

namespace {

// A stored text deciphered for its box. A stored empty text shows as the word Null; a Null shows as an empty box.
QString shownText(const Field& field)
{
    if (field.isNull())
        return {};
    const QString stored = field.text();
    return stored.isEmpty() ? QStringLiteral("Null") : gobjEncrypt->Encrypt2(stored);
}

} // namespace

frmEditWebsite::frmEditWebsite(RecordListWindow& websites, QWidget* owner)
    : RecordEditor(QStringLiteral("Website"), Activity::Counted, owner), m_websites(websites)
{
    txtWebsiteName =
        addTextBox("txtWebsiteName", "lblWebsiteName", QStringLiteral("Website Name"), Storage::Enciphered);
    txtWebsiteLink =
        addTextBox("txtWebsiteLink", "lblWebsiteLink", QStringLiteral("Website Link"), Storage::Enciphered);
    addButtons(PrintButton::Shown);
}

bool frmEditWebsite::loadRecord(UnitOfWork& work)
{
    const Recordset& website = work.read(WebsiteEditorQuery(m_websites.RecordKey()));
    if (website.eof())
        return false;
    txtWebsiteName->setText(shownText(website.fields(QStringLiteral("WebsiteName"))));
    txtWebsiteLink->setText(shownText(website.fields(QStringLiteral("WebsiteLink"))));
    return true;
}

QString frmEditWebsite::recordGoneMessage() const
{
    return QStringLiteral("This website was deleted in another window.");
}

void frmEditWebsite::saveRecord(UnitOfWork& work)
{
    const QString name = EncipheredValue(txtWebsiteName->text(), *gobjEncrypt);
    const QString link = EncipheredValue(txtWebsiteLink->text(), *gobjEncrypt);
    if (!adding()) {
        if (work.execute(UpdateWebsiteStatement(name, link, m_websites.RecordKey())) == 0)
            throw RecordGone{recordGoneMessage()};
        m_websites.UpdateGridRow();
        return;
    }
    insertWebsite(work, name, link);
    if (m_websites.GridRows() == 1)
        m_websites.FillGrid();
    else
        m_websites.AddGridRow();
}

// The website, its place at the end of the list and its first step are written together: a failure leaves none.
void frmEditWebsite::insertWebsite(UnitOfWork& work, const QString& nameValue, const QString& linkValue)
{
    work.beginTransaction();
    work.execute(InsertWebsiteStatement(nameValue, linkValue));
    const QString key = work.read(IdentityQuery()).fields(0).text();
    work.execute(NextListOrderStatement(key));
    work.execute(FirstInstructionStatement(key));
    work.commit();
}
