#include "ui/maintenance/frmEditWebsite.h"

#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/error/AppError.h"
#include "domain/steps/StepLimits.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
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
    if (std::optional<QString> text = RevealStoredText(place, stored))
        return *text;
    throw AppError(ErrorNumber::InvalidArgument,
                   QStringLiteral("The %1 of this website cannot be read: %2.").arg(boxName, FailedCheckReason));
}

// A file of an older version that could not be brought up to date (read-only) keeps no pause: it types at once.
QString storedKeyPause(UnitOfWork& work, const QString& websiteId)
{
    try {
        return work.read(WebsiteKeyPauseQuery(websiteId)).fields(0).text();
    } catch (const AppError&) {
        return QStringLiteral("0");
    }
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
    txtKeyPauseMilliseconds->setText(storedKeyPause(work, key));
    return true;
}

// The boxes' texts enciphered for the website's row.
QString frmEditWebsite::updateStatement(const QString& websiteId) const
{
    const QString name = EncipheredValue(txtWebsiteName->text(), [&](const QString& text) {
        return ConcealStoredText(WebsiteNamePlace(websiteId), text);
    });
    const QString link = EncipheredValue(txtWebsiteLink->text(), [&](const QString& text) {
        return ConcealStoredText(WebsiteLinkPlace(websiteId), text);
    });
    return UpdateWebsiteStatement(name, link, NumberTextBeginsWith(websiteId));
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
        if (work.execute(updateStatement(key)) == 0)
            throw RecordGone{recordGoneMessage()};
        work.execute(WebsiteKeyPauseStatement(*keyPauseOf(txtKeyPauseMilliseconds->text()), key));
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
    work.execute(updateStatement(key));
    work.execute(WebsiteKeyPauseStatement(*keyPauseOf(txtKeyPauseMilliseconds->text()), key));
    work.execute(NextListOrderStatement(key));
    work.execute(FirstInstructionStatement(key));
    work.commit();
}
