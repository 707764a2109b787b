#pragma once

#include "system/app/DataFileProtection.h"

#include <QMainWindow>
#include <QTimer>

class QAction;
class QLineEdit;

// The utility window of quillock-utility. At load it asks for a password and checks it against the password
// check file, writing that file with the answer as its password when there is none (a password the setup editor
// can store), and rewriting one of the earlier Blowfish form in the derived-key form once the answer opens it. Encrypt
// and Decrypt run the field cipher over the test text (a second press undoes the first); Command3 runs it over the name
// and link of every stored website, in place (not in a protected data file). Its menus open the event type list, the
// main window (a start-up of it that fails, a wrong master password included, ends the program) and the about box,
// and protect the websites under the master password or remove the protection: each asks the master password and
// runs while no main window shows the websites. A data file whose websites are protected is opened by the master
// password at load, and the check file is not used. Its controls carry their names as
// object names and each has an accessible name.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);

    // Makes the shared field cipher, shows the window centred and asks for the password. Returns false, with
    // the window closed, on an empty answer, a wrong one, a check file that cannot be used (the message names the
    // cause) or written, or a new password that the setup editor could not store.
    bool Form_Load();

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void mnuExit_Click();
    void mnuEventType_Click();
    void mnuWebsite_Click();
    void mnuAbout_Click();
    void mnuProtect_Click();
    void mnuUnprotect_Click();
    void tmrWait_Timer();

private:
    void createControls();
    void createMenus();
    bool passwordAccepted();
    void encipherText1();
    std::optional<TextProtectionRow> dataFileProtection();
    void showProtection();

    QLineEdit* Text1;
    QAction* mnuProtect;
    QAction* mnuUnprotect;
    QTimer tmrWait{this};
};
