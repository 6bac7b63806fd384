#include "support/Keys.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace Keys {

QWidget *focused()
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        QTest::qFail("no widget has the keyboard focus", __FILE__, __LINE__);
    return w;
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // The release goes to whichever widget has the focus after the press.
    QWidget *target = focused();
    if (!target)
        return;
    QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(), modifiers);
    if (QWidget *after = QApplication::focusWidget())
        QTest::sendKeyEvent(QTest::KeyAction::Release, after, key, QString(), modifiers);
}

static Qt::Key keyOf(QChar c)
{
    if (c.isDigit())
        return Qt::Key(Qt::Key_0 + c.digitValue());
    if (c.unicode() < 128 && c.isLetter())
        return Qt::Key(Qt::Key_A + (c.toUpper().unicode() - 'A'));
    switch (c.unicode()) {
    case ' ': return Qt::Key_Space;
    case ',': return Qt::Key_Comma;
    case '.': return Qt::Key_Period;
    case '-': return Qt::Key_Minus;
    case '\'': return Qt::Key_Apostrophe;
    case '"': return Qt::Key_QuoteDbl;
    default: return Qt::Key_unknown;
    }
}

void type(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        QWidget *target = focused();
        if (!target)
            return;
        // A character beyond the first plane comes as one key event with both halves, as an input method gives it.
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length - 1;
        const Qt::Key key = keyOf(character.at(0));
        QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, character, Qt::NoModifier);
        if (QWidget *after = QApplication::focusWidget())
            QTest::sendKeyEvent(QTest::KeyAction::Release, after, key, character, Qt::NoModifier);
    }
}

} // namespace Keys
