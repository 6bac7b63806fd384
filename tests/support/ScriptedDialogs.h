#pragma once

#include "app/Dialogs.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Answers the program's modal questions from a script and records everything
// it was shown, so that no test ever waits on a dialog.
class ScriptedDialogs : public Dialogs
{
public:
    QQueue<QString> textAnswers;
    QQueue<bool> yesNoAnswers;
    // Answers of the plain input box; an empty optional is a cancel.
    QQueue<std::optional<QString>> plainTextAnswers;
    QQueue<Dialogs::Scope> scopeAnswers;
    // The progress report, counted from 1 over the test, at which the user cancels; 0: never.
    int cancelAtReport = 0;
    // Progress reports made so far, and the last one as done and total.
    int reports = 0;
    std::pair<qint64, qint64> lastReport{-1, -1};
    // Every interaction in order: "ask:caption|prompt", "message:text",
    // "yesno:caption|question", "error:text", "plain:caption|prompt|default", "scope",
    // "progress:caption|label", "progress label:label", "progress cancelled", "progress closed".
    QStringList log;
    // Questions that came with no scripted answer.
    int unanswered = 0;
    // Asked at every interaction, for what the window shows at that moment; the answers go to `observed`.
    std::function<QString()> observe;
    QStringList observed;

    QString askText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    std::optional<QString> askPlainText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    Scope askScope() override;
    void message(const QString &text) override;
    bool askYesNo(const QString &caption, const QString &question) override;
    void error(const QString &text) override;
    std::unique_ptr<Progress> progress(const QString &caption, const QString &label) override;

    QStringList messages() const;
    QStringList errors() const;

private:
    void seen();
};
