#include "app/Dialogs.h"
#include "app/ScopeDialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
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

// The widest a box may grow: three quarters of its screen.
int screenRoom(const QWidget &box)
{
    const QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().width() * 3 / 4 : 900;
}

// Makes a label wide enough for its text: each line whole where it fits the screen,
// every word whole, and the box's caption, which the title bar would otherwise cut.
void fitLabel(QLabel &label, const QWidget &box, const QString &caption)
{
    const QFontMetrics metrics(label.font());
    int widestLine = 0;
    int widestWord = 0;
    for (const QString &line : label.text().split(QLatin1Char('\n'))) {
        widestLine = qMax(widestLine, metrics.horizontalAdvance(line));
        for (const QString &word : line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widestWord = qMax(widestWord, metrics.horizontalAdvance(word));
    }
    const int titleRoom = QFontMetrics(box.font()).horizontalAdvance(caption) + 4 * metrics.height();
    const int width = qMin(screenRoom(box), std::max({qMin(widestLine, ProseWidth), widestWord, titleRoom}));
    label.setWordWrap(true);
    label.setMinimumWidth(width + 2);
}

void fitText(QMessageBox &box, const QString &caption)
{
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        fitLabel(*label, box, caption);
}

// A modal progress box: Esc, or Enter on its one button, cancels; the keyboard goes back
// to the window under it once it closes.
class QtProgress : public Dialogs::Progress
{
public:
    QtProgress(QWidget *parent, const QString &caption, const QString &label)
        : m_parent(parent), m_box(parent), m_label(new QLabel(label))
    {
        m_box.setObjectName(QStringLiteral("progress"));
        m_box.setWindowTitle(caption);
        m_box.setLabel(m_label);
        m_box.setCancelButtonText(QStringLiteral("Отмена"));
        m_box.setRange(0, Steps);
        m_box.setAutoClose(false);
        m_box.setAutoReset(false);
        m_box.setMinimumDuration(0);
        m_box.setWindowModality(Qt::ApplicationModal);
        setLabel(label);
        m_box.setValue(0);
        m_box.show();
        m_box.raise();
        m_box.activateWindow();
        QCoreApplication::processEvents();
    }

    ~QtProgress() override
    {
        m_box.hide();
        if (m_parent) {
            m_parent->window()->raise();
            m_parent->window()->activateWindow();
        }
    }

    void setLabel(const QString &text) override
    {
        m_label->setText(text);
        fitLabel(*m_label, m_box, m_box.windowTitle());
        m_box.adjustSize();
        QCoreApplication::processEvents();
    }

    bool report(qint64 done, qint64 total) override
    {
        const int value = total > 0 ? int(qBound(qint64(0), done * Steps / total, qint64(Steps))) : Steps;
        if (value != m_box.value())
            m_box.setValue(value);
        // The user's keys reach the box between reports.
        QCoreApplication::processEvents();
        return !m_box.wasCanceled();
    }

private:
    static constexpr int Steps = 1000;
    QWidget *m_parent;
    QProgressDialog m_box;
    QLabel *m_label; // owned by the box
};

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
    // A long default, such as a path, and the caption, which the title bar would cut, show whole where the screen has room.
    if (auto *edit = box.findChild<QLineEdit *>()) {
        const int text = edit->fontMetrics().horizontalAdvance(defaultText) + 4 * edit->fontMetrics().height();
        // A title bar draws the caption in bold beside its icon and three buttons.
        QFont bold = box.font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(caption) + 6 * edit->fontMetrics().height();
        edit->setMinimumWidth(qMin(screenRoom(box), qMax(text, title)));
    }
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

std::unique_ptr<Dialogs::Progress> QtDialogs::progress(const QString &caption, const QString &label)
{
    return std::make_unique<QtProgress>(m_parent, caption, label);
}
