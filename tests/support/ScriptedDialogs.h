#pragma once

#include "platform/dialogs/Dialogs.h"

#include <QList>
#include <QStringList>

// Dialogs for tests: input boxes take their answers from a script, messages are recorded, and ending
// the program is recorded instead of done. Installed for the object's lifetime.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString prompt;
        int style;
        QString title;
    };
    struct Prompt
    {
        QString prompt;
        QString title;
        bool masked;
    };

    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The answers the next input boxes give, in order; an input box with no answer left gives "".
    QStringList answers;
    QList<Prompt> prompts;
    QList<Message> messages;
    int endProgramCalls = 0;
    // The buttons the next Yes/No questions are answered with, in order; a question with none left gets Yes.
    QList<int> replies;
    // The paths the next save-file prompts give, in order; a prompt with none left is cancelled. The titles asked.
    QStringList savePaths;
    QStringList saveTitles;

    QString inputBox(const QString& prompt, const QString& title, const QString& /*defaultText*/, bool masked) override
    {
        prompts.append({prompt, title, masked});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    int msgBox(const QString& prompt, int style, const QString& title) override
    {
        messages.append({prompt, style, title});
        if ((style & 0x7) != vbYesNo)
            return vbOK;
        return replies.isEmpty() ? vbYes : replies.takeFirst();
    }

    QString saveFileName(const QString& title, const QString& /*suggestedName*/, const QString& /*filter*/) override
    {
        saveTitles.append(title);
        return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
    }

    void endProgram() override { ++endProgramCalls; }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Message& message : messages)
            texts << message.prompt;
        return texts;
    }
};
