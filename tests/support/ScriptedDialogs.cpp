#include "support/ScriptedDialogs.h"

void ScriptedDialogs::seen()
{
    if (observe)
        observed << observe();
}

QString ScriptedDialogs::askText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    seen();
    log << QStringLiteral("ask:") + caption + QLatin1Char('|') + prompt;
    if (textAnswers.isEmpty()) {
        ++unanswered;
        return defaultText;
    }
    return textAnswers.dequeue();
}

std::optional<QString> ScriptedDialogs::askPlainText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    seen();
    log << QStringLiteral("plain:") + caption + QLatin1Char('|') + prompt + QLatin1Char('|') + defaultText;
    if (plainTextAnswers.isEmpty()) {
        ++unanswered;
        return std::nullopt;
    }
    return plainTextAnswers.dequeue();
}

Dialogs::Scope ScriptedDialogs::askScope()
{
    seen();
    log << QStringLiteral("scope");
    if (scopeAnswers.isEmpty()) {
        ++unanswered;
        return Scope::Cancel;
    }
    return scopeAnswers.dequeue();
}

void ScriptedDialogs::message(const QString &text)
{
    seen();
    log << QStringLiteral("message:") + text;
}

bool ScriptedDialogs::askYesNo(const QString &caption, const QString &question)
{
    seen();
    log << QStringLiteral("yesno:") + caption + QLatin1Char('|') + question;
    if (yesNoAnswers.isEmpty()) {
        ++unanswered;
        return false;
    }
    return yesNoAnswers.dequeue();
}

void ScriptedDialogs::error(const QString &text)
{
    seen();
    log << QStringLiteral("error:") + text;
}

static QStringList withPrefix(const QStringList &log, const QString &prefix)
{
    QStringList out;
    for (const QString &entry : log)
        if (entry.startsWith(prefix))
            out << entry.mid(prefix.size());
    return out;
}

QStringList ScriptedDialogs::messages() const
{
    return withPrefix(log, QStringLiteral("message:"));
}

QStringList ScriptedDialogs::errors() const
{
    return withPrefix(log, QStringLiteral("error:"));
}
