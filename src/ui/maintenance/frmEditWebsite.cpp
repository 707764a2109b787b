#include "ui/maintenance/frmEditWebsite.h"

#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/steps/StepLimits.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayWebsite.h"
#include "ui/main/RecordListWindow.h"

#include <QLineEdit>

namespace {

// A stored text deciphered for its box. A stored empty text shows as the word Null; a Null shows as an empty box.
// A protected file's value that fails its check is not shown, and the editor does not open.
QString shownText(const Field& field, const StoredTextPlace& place, const QString& boxName)
{
    if (field.isNull())
        return {};
    const QString stored = field.text();
    if (stored.isEmpty())
        return QStringLiteral("Null");
    return RevealStoredTextOrRaise(place, stored, QStringLiteral("The %1 of this website").arg(boxName));
}

// The pause typed, when it is a whole number of milliseconds in range.
std::optional<int> keyPauseOf(const QString& text)
{
    bool whole = false;
    const int pause = text.trimmed().toInt(&whole);
    if (!whole || pause < 0 || pause > MaxKeyPauseMilliseconds)
        return std::nullopt;
    return pause;
}

} // namespace

frmEditWebsite::frmEditWebsite(RecordListWindow& websites, QWidget* owner)
    : RecordEditor(QStringLiteral("Website"), Activity::Counted, owner), m_websites(websites)
{
    txtWebsiteName =
        addTextBox("txtWebsiteName", "lblWebsiteName", QStringLiteral("Website Name"), Storage::Enciphered);
    txtWebsiteLink =
        addTextBox("txtWebsiteLink", "lblWebsiteLink", QStringLiteral("Website Link"), Storage::Enciphered);
    txtKeyPauseMilliseconds =
        addTextBox("txtKeyPauseMilliseconds", "lblKeyPauseMilliseconds", QStringLiteral("Pause Between Keys (ms)"));
    txtKeyPauseMilliseconds->setText(QStringLiteral("0"));
    addButtons(PrintButton::Shown);
}

bool frmEditWebsite::loadRecord(UnitOfWork& work)
{
    const Recordset& website = work.read(WebsiteEditorQuery(m_websites.RecordKey()));
    if (website.eof())
        return false;
    const QString key = website.fields(QStringLiteral("WebsiteID")).text();
    txtWebsiteName->setText(
        shownText(website.fields(QStringLiteral("WebsiteName")), WebsiteNamePlace(key), QStringLiteral("name")));
    txtWebsiteLink->setText(
        shownText(website.fields(QStringLiteral("WebsiteLink")), WebsiteLinkPlace(key), QStringLiteral("link")));
    txtKeyPauseMilliseconds->setText(StoredKeyPause(work, key));
    return true;
}

// Writes the boxes into the website's row, the texts enciphered for it; returns how many rows the name and link went
// into (0 when the website is gone).
int frmEditWebsite::writeBoxes(UnitOfWork& work, const QString& websiteId) const
{
    const QString name = EncipheredValue(txtWebsiteName->text(), ConcealingAt(WebsiteNamePlace(websiteId)));
    const QString link = EncipheredValue(txtWebsiteLink->text(), ConcealingAt(WebsiteLinkPlace(websiteId)));
    const int written = work.execute(UpdateWebsiteStatement(name, link, NumberTextBeginsWith(websiteId)));
    work.execute(WebsiteKeyPauseStatement(*keyPauseOf(txtKeyPauseMilliseconds->text()), websiteId));
    return written;
}

// A pause out of range is refused, and stays in its box for correcting.
bool frmEditWebsite::checksPass()
{
    if (keyPauseOf(txtKeyPauseMilliseconds->text()))
        return true;
    dialogs().msgBox(QStringLiteral("The Pause Between Keys (ms) must be a whole number of milliseconds from 0 to %1.")
                         .arg(MaxKeyPauseMilliseconds),
                     Dialogs::vbExclamation);
    txtKeyPauseMilliseconds->setFocus();
    return false;
}

QString frmEditWebsite::recordGoneMessage() const
{
    return QStringLiteral("This website was deleted in another window.");
}

void frmEditWebsite::saveRecord(UnitOfWork& work)
{
    if (!adding()) {
        const QString key = NumberToText(m_websites.RecordKey());
        work.beginTransaction();
        if (writeBoxes(work, key) == 0)
            throw RecordGone{recordGoneMessage()};
        work.commit();
        m_websites.UpdateGridRow();
        return;
    }
    insertWebsite(work);
    if (m_websites.GridRows() == 1)
        m_websites.FillGrid();
    else
        m_websites.AddGridRow();
}

// The website, its place at the end of the list and its first step are written together: a failure leaves none.
// The name and link are bound to the row's key, so a new website's are written once the row has its key.
void frmEditWebsite::insertWebsite(UnitOfWork& work)
{
    work.beginTransaction();
    work.execute(InsertWebsiteStatement(QStringLiteral("Null"), QStringLiteral("Null")));
    const QString key = work.read(IdentityQuery()).fields(0).text();
    writeBoxes(work, key);
    work.execute(NextListOrderStatement(key));
    work.execute(FirstInstructionStatement(key));
    work.commit();
}
