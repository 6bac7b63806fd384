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

namespace {

// Reports to the script's counters and cancels at the report it names.
class ScriptedProgress : public Dialogs::Progress
{
public:
    explicit ScriptedProgress(ScriptedDialogs &dialogs) : m_dialogs(dialogs) {}
    ~ScriptedProgress() override { m_dialogs.log << QStringLiteral("progress closed"); }

    void setLabel(const QString &text) override { m_dialogs.log << QStringLiteral("progress label:") + text; }

    bool report(qint64 done, qint64 total) override
    {
        m_dialogs.lastReport = {done, total};
        if (m_cancelled)
            return false;
        if (++m_dialogs.reports == m_dialogs.cancelAtReport) {
            m_cancelled = true;
            m_dialogs.log << QStringLiteral("progress cancelled");
        }
        return !m_cancelled;
    }

private:
    ScriptedDialogs &m_dialogs;
    bool m_cancelled = false;
};

} // namespace

std::unique_ptr<Dialogs::Progress> ScriptedDialogs::progress(const QString &caption, const QString &label)
{
    seen();
    log << QStringLiteral("progress:") + caption + QLatin1Char('|') + label;
    return std::make_unique<ScriptedProgress>(*this);
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
