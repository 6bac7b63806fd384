#pragma once

#include <QString>

#include <memory>
#include <optional>

// Every modal interaction goes through here, so that tests can answer them.
class Dialogs
{
public:
    // What the scope dialog returns: the selected document, the marked ones, all, or nothing.
    enum class Scope { Current, Marked, All, Cancel };

    // A progress box with a cancel button, shown over the window while the object lives.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        // What is being done now, over the bar.
        virtual void setLabel(const QString &text) = 0;
        // How far the work has got; false once the user has cancelled it.
        virtual bool report(qint64 done, qint64 total) = 0;
    };

    virtual ~Dialogs() = default;
    // A modal input box; cancelling gives the empty text.
    virtual QString askText(const QString &caption, const QString &prompt, const QString &defaultText) = 0;
    // A modal input box that shows what is typed; cancelling gives no value at all.
    virtual std::optional<QString> askPlainText(const QString &caption, const QString &prompt, const QString &defaultText) = 0;
    // The scope dialog Form3 over the main window.
    virtual Scope askScope() = 0;
    virtual void message(const QString &text) = 0;
    virtual bool askYesNo(const QString &caption, const QString &question) = 0;
    // The general error message for a failure no command catches.
    virtual void error(const QString &text) = 0;
    virtual std::unique_ptr<Progress> progress(const QString &caption, const QString &label) = 0;
};
