#include "ui/other/frmMain.h"

#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "domain/data/SetupStatements.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/error/AppError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Twips.h"
#include "system/app/DataFileLock.h"
#include "system/app/DataFileProtection.h"
#include "system/app/HandlerGuard.h"
#include "system/app/PasswordCheckFile.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/WaitMilliseconds.h"
#include "ui/ModalWindow.h"
#include "ui/StorableText.h"
#include "ui/main/frmWebsite.h"
#include "ui/maintenance/frmEventType.h"
#include "ui/other/frmAbout.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("DevivedIzurEdevi"));
    setCentralWidget(new QWidget(this));
    createControls();
    createMenus();
    resize(Twips::toPixels(4800), Twips::toPixels(1380) + menuBar()->sizeHint().height());
    tmrWait.setObjectName(QStringLiteral("tmrWait"));
    connect(&tmrWait, &QTimer::timeout, this, &frmMain::tmrWait_Timer);
}

void frmMain::createControls()
{
    Text1 = new QLineEdit(QStringLiteral("Text1"), centralWidget());
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Test Text"));
    FormSize::placeControlTwips(*Text1, 240, 240, 4320, 315);
    const struct
    {
        const char* name;
        QString caption;
        QString accessibleName;
        void (frmMain::*handler)();
    } buttons[] = {
        {"Command1", QStringLiteral("Encrypt"), QStringLiteral("Encrypt"), &frmMain::Command1_Click},
        {"Command2", QStringLiteral("Decrypt"), QStringLiteral("Decrypt"), &frmMain::Command2_Click},
        // The caption says nothing; the accessible name says what it does.
        {"Command3", QStringLiteral("Command3"), QStringLiteral("Re-encipher every website"), &frmMain::Command3_Click},
    };
    double leftTwips = 240;
    for (const auto& button : buttons) {
        auto* command = new QPushButton(button.caption, centralWidget());
        command->setObjectName(QString::fromLatin1(button.name));
        command->setAccessibleName(button.accessibleName);
        FormSize::placeControlTwips(*command, leftTwips, 780, 1320, 375);
        connect(command, &QPushButton::clicked, this, button.handler);
        leftTwips += 1500;
    }
}

void frmMain::createMenus()
{
    const auto addMenu = [this](const char* name, const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        menu->setAccessibleName(QString(title).remove(QLatin1Char('&')));
        return menu;
    };
    addMenu("mnuFile", QStringLiteral("&File"))
        ->addAction(QStringLiteral("&Exit"), this, &frmMain::mnuExit_Click)
        ->setObjectName(QStringLiteral("mnuExit"));
    QMenu* mnuTables = addMenu("mnuTables", QStringLiteral("&Tables"));
    mnuTables->addAction(QStringLiteral("EventType"), this, &frmMain::mnuEventType_Click)
        ->setObjectName(QStringLiteral("mnuEventType"));
    mnuTables->addAction(QStringLiteral("Website"), this, &frmMain::mnuWebsite_Click)
        ->setObjectName(QStringLiteral("mnuWebsite"));
    QMenu* mnuProtection = addMenu("mnuProtection", QStringLiteral("&Protection"));
    mnuProtect = mnuProtection->addAction(QStringLiteral("&Protect the Websites..."), this, &frmMain::mnuProtect_Click);
    mnuProtect->setObjectName(QStringLiteral("mnuProtect"));
    mnuUnprotect =
        mnuProtection->addAction(QStringLiteral("&Remove the Protection..."), this, &frmMain::mnuUnprotect_Click);
    mnuUnprotect->setObjectName(QStringLiteral("mnuUnprotect"));
    addMenu("mnuHelp", QStringLiteral("&Help"))
        ->addAction(QStringLiteral("&About"), this, &frmMain::mnuAbout_Click)
        ->setObjectName(QStringLiteral("mnuAbout"));
}

// ---- start-up ----

bool frmMain::Form_Load()
{
    gobjEncrypt = std::make_unique<dsEncrypt>();
    CenterForm(*this);
    show();
    gstrPassword = dialogs().inputBox(QStringLiteral("Enter Password: "), QString(), QString(), true);
    if (gstrPassword.isEmpty() || !passwordAccepted()) {
        close();
        return false;
    }
    gobjEncrypt->setKeyString(gstrPassword);
    showProtection();
    return true;
}

namespace {

// A password the utility keeps is one the setup editor stores as well, by the same rule and with the same words.
bool canBeMasterPassword(const QString& password)
{
    const QString boxName = QStringLiteral("Master Password");
    return StoredTextFits(password, boxName) && FieldCipherCanStore(password, boxName);
}

// A check file of the earlier form gives its password away; once the right answer is known, it is replaced by one
// of the derived-key form. A failure leaves the old one, and the answer stands.
void rewriteInDerivedKeyForm(const QString& checkFile, const QString& password)
{
    try {
        RewritePasswordCheckFile(checkFile, password);
        dialogs().msgBox(QStringLiteral("The password check file was rewritten in a new form that does not reveal "
                                        "the password. Copies of the old file (in backups) still do."),
                         Dialogs::vbInformation);
    } catch (const AppError& error) {
        dialogs().msgBox(QStringLiteral("The password check file is still in its old form, which reveals the password "
                                        "to anyone who reads it; it could not be rewritten.\n") +
                             error.description(),
                         Dialogs::vbExclamation);
    }
}

bool checkFileOpens(const QString& checkFile, const QString& answer)
{
    const PasswordCheck check = ReadPasswordCheckFile(checkFile);
    if (!check.opensWith(answer)) {
        dialogs().msgBox(QStringLiteral("Incorrect Password."), Dialogs::vbOKOnly);
        return false;
    }
    if (check.form() == PasswordCheck::Form::Blowfish)
        rewriteInDerivedKeyForm(checkFile, answer);
    return true;
}

} // namespace

// A data file whose websites are protected is opened by the master password alone: the answer must unwrap its data
// key, and the check file is not used. Otherwise a check file that stands at its place must open with the answer;
// one that cannot be used is left as it is, and the message names the cause. Without one, the answer becomes the
// password of a new one.
bool frmMain::passwordAccepted()
{
    if (const std::optional<TextProtectionRow> protection = dataFileProtection()) {
        if (UnlockStoredTexts(*protection, gstrPassword))
            return true;
        dialogs().msgBox(QStringLiteral("Incorrect Password."), Dialogs::vbOKOnly);
        return false;
    }
    const QString checkFile = PasswordCheckFilePath();
    const QFileInfo standing(checkFile);
    const bool creating = !standing.exists() && !standing.isSymLink();
    try {
        if (!creating)
            return checkFileOpens(checkFile, gstrPassword);
        if (!canBeMasterPassword(gstrPassword))
            return false;
        WritePasswordCheckFile(checkFile, gstrPassword);
        return true;
    } catch (const AppError& error) {
        dialogs().msgBox(error.description() + (creating ? QStringLiteral("\nThe password check file was not written, "
                                                                          "so this password cannot be kept.")
                                                         : QStringLiteral("\nIt is left as it is.")),
                         Dialogs::vbCritical);
        return false;
    }
}

// The protection of the data file, when it can be read: a utility without its data file still tests texts.
std::optional<TextProtectionRow> frmMain::dataFileProtection()
{
    try {
        UnitOfWork work;
        std::optional<TextProtectionRow> protection = ReadTextProtection(work);
        if (protection)
            expectDataKey();
        return protection;
    } catch (const AppError&) {
        return std::nullopt;
    }
}

// ---- the test text ----

// The field cipher is its own inverse, so Encrypt and Decrypt are the same command. A character the cipher
// cannot store is named, and the text stays as typed.
void frmMain::encipherText1()
{
    RunHandler([this] {
        if (FieldCipherCanStore(Text1->text(), Text1->accessibleName()))
            Text1->setText(gobjEncrypt->Encrypt2(Text1->text()));
    });
}

void frmMain::Command1_Click()
{
    encipherText1();
}

void frmMain::Command2_Click()
{
    encipherText1();
}

// ---- the re-enciphering pass ----

namespace {

const QString ReencipherQuestion = QStringLiteral(
    "This runs the field cipher over the name and link of every website in the data file, in place: names and links "
    "stored as plain text become enciphered, and enciphered ones become plain text again. A second run undoes the "
    "first.\n\nEvery Quillock window on the data file must be closed first.\n\nDo you want to re-encipher every "
    "website now?");

// Runs the field cipher over the name and link of every website that has a name: a second pass undoes the
// first. A website without a link keeps it Null. The pass cannot tell enciphered rows from plain ones, so it is
// all or nothing: a failure part-way leaves every website as it was.
void reencipherWebsites()
{
    UnitOfWork work;
    work.beginTransaction();
    for (Recordset& websites = work.read(ReencipherWebsitesQuery()); !websites.eof(); websites.moveNext()) {
        const Field name = websites.fields(QStringLiteral("WebsiteName"));
        if (name.isNull())
            continue;
        const Field link = websites.fields(QStringLiteral("WebsiteLink"));
        gobjEncrypt->setKeyString(gstrPassword);
        const QString newName = gobjEncrypt->Encrypt2(name.text());
        const std::optional<QString> newLink =
            link.isNull() ? std::nullopt : std::optional(gobjEncrypt->Encrypt2(link.text()));
        work.execute(ReencipherWebsiteStatement(
            newName, newLink, NumberTextBeginsWith(websites.fields(QStringLiteral("WebsiteID")).text())));
    }
    work.commit();
}

} // namespace

// The pass changes every website, so the user is asked first; it runs only while no main window shows the websites.
void frmMain::Command3_Click()
{
    RunHandler([] {
        if (storedTextForm() != StoredTextForm::FieldCipher) {
            dialogs().msgBox(QStringLiteral("The websites are protected under the master password, so the field "
                                            "cipher is not run over them. Nothing was changed."),
                             Dialogs::vbExclamation);
            return;
        }
        if (dialogs().msgBox(ReencipherQuestion, Dialogs::vbYesNo + Dialogs::vbQuestion) != Dialogs::vbYes)
            return;
        try {
            const DataFileLock alone = DataFileLock::holdAlone();
            reencipherWebsites();
        } catch (const AppError& error) {
            // The unit of work has undone the pass by now.
            throw AppError(error.number(), error.description() + QStringLiteral("\nNo website was changed."));
        }
    });
}

// ---- protection of the websites ----

namespace {

const QString ProtectQuestion = QStringLiteral(
    "This enciphers the name, link and steps of every website under the master password, so that the data file "
    "gives nothing away without it.\n\nWithout the master password the websites cannot be read, and nobody can "
    "recover them: not Quillock, not anyone else.\n\nEvery Quillock window on the data file must be closed "
    "first.\n\nDo you want to protect the websites now?");

const QString UnprotectQuestion = QStringLiteral(
    "This deciphers every website back to the form that Quillock reads without the master password: anyone who "
    "has the data file can then read the websites' names, links and steps.\n\nEvery Quillock window on the data "
    "file must be closed first.\n\nDo you want to remove the protection now?");

// The master password as the settings row keeps it: the websites are protected under it, so there must be one.
StoredMasterPassword storedMasterPassword()
{
    UnitOfWork work;
    Recordset& settings = work.read(SettingsQuery());
    if (settings.eof())
        return {};
    return StoredMasterPassword::fromStored(settings.fields(QStringLiteral("MasterPassword")).text(), *gobjEncrypt);
}

// The master password asked for again, checked by the check that the function makes; empty when it is wrong.
QString askedMasterPassword(const std::function<bool(const QString&)>& opens)
{
    const QString answer = dialogs().inputBox(QStringLiteral("Enter Master Password: "), QString(), QString(), true);
    if (answer.isEmpty())
        return {};
    if (opens(answer))
        return answer;
    dialogs().msgBox(QStringLiteral("Incorrect Password."), Dialogs::vbOKOnly);
    return {};
}

} // namespace

void frmMain::mnuProtect_Click()
{
    RunHandler([] {
        const StoredMasterPassword master = storedMasterPassword();
        if (!master.isSet())
            throw AppError(ErrorNumber::InvalidArgument,
                           QStringLiteral("The data file has no master password: set one in the main window's Setup "
                                          "first. The websites are protected under it."));
        if (dialogs().msgBox(ProtectQuestion, Dialogs::vbYesNo + Dialogs::vbQuestion) != Dialogs::vbYes)
            return;
        const QString password = askedMasterPassword([&](const QString& answer) { return master.opensWith(answer); });
        if (password.isEmpty())
            return;
        const DataFileLock alone = DataFileLock::holdAlone();
        ProtectStoredTexts(password);
        dialogs().msgBox(QStringLiteral("The websites are protected under the master password."),
                         Dialogs::vbInformation);
    });
    showProtection();
}

void frmMain::mnuUnprotect_Click()
{
    RunHandler([] {
        std::optional<TextProtectionRow> protection;
        {
            UnitOfWork work;
            protection = ReadTextProtection(work);
        }
        if (!protection)
            throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The websites are not protected."));
        if (dialogs().msgBox(UnprotectQuestion, Dialogs::vbYesNo + Dialogs::vbQuestion) != Dialogs::vbYes)
            return;
        if (askedMasterPassword([&](const QString& answer) {
                return UnlockStoredTexts(*protection, answer);
            }).isEmpty())
            return;
        const DataFileLock alone = DataFileLock::holdAlone();
        UnprotectStoredTexts();
        dialogs().msgBox(QStringLiteral("The protection was removed: the websites are kept as before it."),
                         Dialogs::vbInformation);
    });
    showProtection();
}

// Only the command that fits the data file's state can be chosen.
void frmMain::showProtection()
{
    const bool isProtected = storedTextForm() != StoredTextForm::FieldCipher;
    mnuProtect->setEnabled(!isProtected);
    mnuUnprotect->setEnabled(isProtected);
}

// ---- menus ----

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::mnuEventType_Click()
{
    RunHandler([this] { ModalWindow<frmEventType>::Show(this); });
}

// The main window over this one until it closes, after its own start-up (master password included). A start-up
// that fails (a wrong master password, a data file that cannot be read, already reported) ends the program here
// as it does when the main window is the program's first.
void frmMain::mnuWebsite_Click()
{
    RunHandler([this] {
        QPointer<frmWebsite> website = new frmWebsite(this);
        website->setAttribute(Qt::WA_DeleteOnClose);
        if (!website->Form_Load()) {
            delete website.data();
            dialogs().endProgram();
            return;
        }
        QEventLoop untilClosed;
        connect(website, &QObject::destroyed, &untilClosed, &QEventLoop::quit);
        website->setWindowModality(Qt::ApplicationModal);
        website->show();
        untilClosed.exec();
    });
}

void frmMain::mnuAbout_Click()
{
    RunHandler([this] { ModalWindow<frmAbout>::Show(this); });
}

void frmMain::tmrWait_Timer()
{
    ::tmrWait_Timer(tmrWait);
}
