#pragma once

#include "platform/dialogs/Dialogs.h"

// The real dialogs: Qt's input and message boxes, modal over the whole program.
class QtDialogs : public Dialogs
{
public:
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked) override;
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString saveFileName(const QString& title, const QString& suggestedName, const QString& filter) override;
    void endProgram() override;
};
