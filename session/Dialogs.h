#pragma once

#include <QString>

// Every modal interaction goes through here, so that tests can answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // A modal input box; cancelling gives the empty text.
    virtual QString askText(const QString &caption, const QString &prompt, const QString &defaultText) = 0;
    virtual void message(const QString &text) = 0;
    virtual bool askYesNo(const QString &caption, const QString &question) = 0;
    // The general error message for a failure no command catches.
    virtual void error(const QString &text) = 0;
};
