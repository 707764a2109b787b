#pragma once

#include <QString>

class QWidget;

// The input box, the message box and "end the program at once", behind one interface so that tests
// can answer prompts and read messages without a person. The program calls them through dialogs().
class Dialogs
{
public:
    // Message box buttons and icons, added together as one style value.
    static constexpr int vbOKOnly = 0;
    static constexpr int vbYesNo = 4;
    static constexpr int vbCritical = 16;
    static constexpr int vbQuestion = 32;
    static constexpr int vbExclamation = 48;
    static constexpr int vbInformation = 64;
    // What the message box returns.
    static constexpr int vbOK = 1;
    static constexpr int vbYes = 6;
    static constexpr int vbNo = 7;

    virtual ~Dialogs() = default;

    // Asks for one line of text; Cancel gives the empty text. A masked box shows each character as a
    // bullet. An empty title shows the application's title.
    virtual QString inputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {},
                             bool masked = false) = 0;
    // Shows a message and returns the button pressed. An empty title shows the application's title.
    virtual int msgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {}) = 0;
    // Asks where to save a file, suggesting a name and offering the files the filter names ("PDF files
    // (*.pdf)"); the path chosen, or the empty text when cancelled. The user is asked before a file is replaced.
    virtual QString saveFileName(const QString& title, const QString& suggestedName, const QString& filter) = 0;
    // Ends the program at once, with code 0: no window's closing handling runs, yet keys the program bound for
    // typing are given back to the keyboard. The caller returns right after.
    virtual void endProgram() = 0;
};

// The dialogs in use: the real ones unless a test has installed its own.
Dialogs& dialogs();
// Installs other dialogs (a test's); null restores the real ones. The caller keeps ownership.
void setDialogs(Dialogs* replacement);
