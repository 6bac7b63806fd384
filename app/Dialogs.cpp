#include "app/Dialogs.h"
#include "app/ScopeDialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {

// The title of a box shown before the main window has one of its own.
const QString ProgramTitle = QStringLiteral("Платёжные поручения");

// Runs a box and gives the keyboard back to the window it was shown over:
// without a window manager nobody else does, and the fields get no focus events.
int execOver(QDialog &box, QWidget *parent)
{
    const int result = box.exec();
    if (parent) {
        parent->window()->raise();
        parent->window()->activateWindow();
    }
    return result;
}

// Prose wraps at this width; a single word or line up to the screen's width is never cut.
constexpr int ProseWidth = 520;

// Makes a box's label wide enough for its text: each line whole where it fits the screen,
// every word whole, and the caption, which the title bar would otherwise cut.
void fitText(QMessageBox &box, const QString &caption)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const QFontMetrics metrics(label->font());
    int widestLine = 0;
    int widestWord = 0;
    for (const QString &line : label->text().split(QLatin1Char('\n'))) {
        widestLine = qMax(widestLine, metrics.horizontalAdvance(line));
        for (const QString &word : line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widestWord = qMax(widestWord, metrics.horizontalAdvance(word));
    }
    const QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int screenRoom = screen ? screen->availableGeometry().width() * 3 / 4 : 900;
    const int titleRoom = QFontMetrics(box.font()).horizontalAdvance(caption) + 4 * metrics.height();
    const int width = qMin(screenRoom, std::max({qMin(widestLine, ProseWidth), widestWord, titleRoom}));
    label->setWordWrap(true);
    label->setMinimumWidth(width + 2);
}

} // namespace

QString QtDialogs::title() const
{
    const QString own = m_parent ? m_parent->window()->windowTitle() : QString();
    return own.isEmpty() ? ProgramTitle : own;
}

QString QtDialogs::askText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Password, defaultText, &ok);
    return ok ? text : QString();
}

std::optional<QString> QtDialogs::askPlainText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    QInputDialog box(m_parent);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (execOver(box, m_parent) != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

Dialogs::Scope QtDialogs::askScope()
{
    if (!m_scopeDialog)
        m_scopeDialog = new ScopeDialog(m_parent);
    const Scope scope = m_scopeDialog->choose();
    if (m_parent) {
        m_parent->window()->raise();
        m_parent->window()->activateWindow();
    }
    return scope;
}

void QtDialogs::message(const QString &text)
{
    QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Ok, m_parent);
    fitText(box, box.windowTitle());
    execOver(box, m_parent);
}

bool QtDialogs::askYesNo(const QString &caption, const QString &question)
{
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::Yes | QMessageBox::No, m_parent);
    fitText(box, caption);
    // Enter answers Yes and Esc answers No, as the keyboard user expects.
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return execOver(box, m_parent) == QMessageBox::Yes;
}

void QtDialogs::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, m_parent);
    fitText(box, box.windowTitle());
    execOver(box, m_parent);
}
