#include "widgets/CharacterLimit.h"

#include "store/TextWidth.h"

#include <QLineEdit>
#include <QPointer>

namespace {

const char *const limitProperty = "characterLimit";

// Keeps the text before each edit, so that an edit past the limit is undone whole.
class Limiter : public QObject
{
public:
    explicit Limiter(QLineEdit *box) : QObject(box), m_box(box), m_current(box->text())
    {
        connect(box, &QLineEdit::textChanged, this, &Limiter::changed);
        connect(box, &QLineEdit::textEdited, this, &Limiter::edited);
    }

private:
    void changed(const QString &text)
    {
        if (text == m_current)
            return;
        m_previous = m_current;
        m_current = text;
    }

    // Qt may tell of the edit before or after the change itself.
    void edited(const QString &text)
    {
        const QString before = text == m_current ? m_previous : m_current;
        const int limit = CharacterLimit::of(m_box);
        const int count = characterCount(text);
        if (limit <= 0 || count <= limit || count <= characterCount(before))
            return;
        const int cursor = m_box->cursorPosition() - int(text.size() - before.size());
        m_box->setText(before);
        m_box->setCursorPosition(qBound(0, cursor, int(before.size())));
    }

    QPointer<QLineEdit> m_box;
    QString m_current;
    QString m_previous;
};

} // namespace

namespace CharacterLimit {

void apply(QLineEdit *box, int limit)
{
    box->setMaxLength(32767); // QLineEdit's own limit would cut what the program puts in
    const bool watched = box->property(limitProperty).isValid();
    box->setProperty(limitProperty, limit);
    if (!watched)
        new Limiter(box);
}

int of(const QLineEdit *box)
{
    return box->property(limitProperty).toInt();
}

} // namespace CharacterLimit
