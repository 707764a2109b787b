#pragma once

#include "ui/maintenance/RecordEditor.h"

class QLineEdit;
class RecordListWindow;

// The website editor: the name and link of a new website, or of the one the website list holds the key of, and its
// pause between keys (milliseconds, 0 to MaxKeyPauseMilliseconds; 0 types as fast as the desktop takes keys).
// A new website is written together with its first step, a ten-second wait.
class frmEditWebsite : public RecordEditor
{
    Q_OBJECT

public:
    frmEditWebsite(RecordListWindow& websites, QWidget* owner);

protected:
    bool loadRecord(UnitOfWork& work) override;
    QString recordGoneMessage() const override;
    bool checksPass() override;
    void saveRecord(UnitOfWork& work) override;

private:
    void insertWebsite(UnitOfWork& work);
    int writeBoxes(UnitOfWork& work, const QString& websiteId) const;

    RecordListWindow& m_websites;
    QLineEdit* txtWebsiteName;
    QLineEdit* txtWebsiteLink;
    QLineEdit* txtKeyPauseMilliseconds;
};
