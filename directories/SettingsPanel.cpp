#include "directories/SettingsPanel.h"
#include "document/DocumentColumns.h"
#include "document/UserSettings.h"
#include "session/Session.h"
#include "store/Schema.h"
#include "widgets/CharacterLimit.h"
#include "widgets/ListKeys.h"
#include "widgets/PanelHider.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QString columnOf(int position)
{
    return QLatin1String(UserSettings().at(position).column);
}

int widthOf(const QString &column)
{
    return Schema::column(*Schema::table(QStringLiteral("PARAM")), column)->width;
}

} // namespace

QStringList SettingsPanel::noteLines()
{
    return {QStringLiteral("0 - видно все платежки"), QStringLiteral("1 - видно только свои")};
}

QString SettingsPanel::helpLine()
{
    return QStringLiteral("Enter-изменение, Esc-выход");
}

SettingsPanel::SettingsPanel(Session &session, QWidget *parent) : QFrame(parent), m_session(session)
{
    setObjectName(QStringLiteral("Panel_param"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lb_param"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setTabKeyNavigation(false);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont bold = m_list->font();
    bold.setBold(true);
    m_list->setFont(bold);
    m_list->installEventFilter(this);

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(8);
    const int rowHeight = QLineEdit().sizeHint().height() + 2;
    const QFontMetrics metrics(bold);
    int listWidth = 0;
    const QList<UserSetting> &settings = UserSettings();
    for (int i = 0; i < settings.size(); ++i) {
        const UserSetting &s = settings.at(i);
        auto *item = new QListWidgetItem(QString::fromUtf8(s.caption), m_list);
        listWidth = qMax(listWidth, metrics.horizontalAdvance(item->text()) + 24);
        QWidget *control = nullptr;
        if (s.checkBox) {
            control = new QCheckBox(QStringLiteral("да"), this);
        } else {
            auto *box = new QLineEdit(this);
            const int width = widthOf(QLatin1String(s.column));
            // Nothing typed is cut silently when stored.
            CharacterLimit::apply(box, width);
            box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(qMax(width, 2), QChar(u'Н'))) + 12);
            control = box;
        }
        control->setObjectName(QStringLiteral("p%1").arg(i));
        control->setFixedHeight(rowHeight);
        // Worked from the keyboard: a click must not change what the control shows.
        control->setAttribute(Qt::WA_TransparentForMouseEvents);
        control->installEventFilter(this);
        m_controls << control;
        grid->addWidget(control, i, 1, Qt::AlignLeft | Qt::AlignTop);
    }
    auto *note = new QLabel(noteLines().join(QLatin1Char('\n')), this);
    note->setObjectName(QStringLiteral("note_p6"));
    note->setFocusPolicy(Qt::NoFocus);
    const int last = int(settings.size()) - 1;
    grid->removeWidget(m_controls.at(last));
    auto *access = new QHBoxLayout;
    access->setSpacing(12);
    access->addWidget(m_controls.at(last), 0, Qt::AlignTop);
    access->addWidget(note, 1, Qt::AlignTop);
    grid->addLayout(access, last, 1, Qt::AlignLeft | Qt::AlignTop);
    // One entry per control row, so that each control stands beside its entry.
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setSizeHint(QSize(listWidth, rowHeight));
    m_list->setFixedSize(listWidth, rowHeight * int(settings.size()));
    grid->addWidget(m_list, 0, 0, int(settings.size()), 1, Qt::AlignTop);


    auto *help = new QLabel(helpLine(), this);
    help->setObjectName(QStringLiteral("help"));
    help->setFont(bold);
    help->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->addLayout(grid);
    layout->addSpacing(metrics.height());
    layout->addWidget(help);

    // Other parts change the row too (the number on Insert, the date at sign-in and in the editor).
    DataSet &user = m_session.user();
    connect(&user, &DataSet::reset, this, &SettingsPanel::loadAll);
    connect(&user, &DataSet::rowChanged, this, &SettingsPanel::loadAll);

    PanelHider::watch(this);
    adjustSize();
    hide();
}

void SettingsPanel::open()
{
    loadAll();
    if (parentWidget())
        move((parentWidget()->width() - width()) / 2, (parentWidget()->height() - height()) / 3);
    show();
    raise();
    m_list->setCurrentRow(0);
    m_list->setFocus();
}

void SettingsPanel::load(int position)
{
    const QString value = m_session.setting(columnOf(position));
    if (auto *check = qobject_cast<QCheckBox *>(m_controls.at(position)))
        check->setChecked(value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                          || value.trimmed() == QLatin1String("1"));
    else if (auto *box = qobject_cast<QLineEdit *>(m_controls.at(position)))
        box->setText(value);
}

void SettingsPanel::loadAll()
{
    for (int i = 0; i < m_controls.size(); ++i)
        if (i != m_editing)
            load(i);
}

bool SettingsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress)
        return listKey(static_cast<QKeyEvent *>(event)->key());
    const int position = m_controls.indexOf(static_cast<QWidget *>(watched));
    if (position >= 0) {
        if (event->type() == QEvent::KeyPress)
            return controlKey(position, static_cast<QKeyEvent *>(event)->key());
        if (event->type() == QEvent::FocusOut && position == m_editing) {
            // A message box over the window is no leaving of the control.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                discard(position);
                if (isVisible() && !m_list->hasFocus() && QApplication::focusWidget()
                    && isAncestorOf(QApplication::focusWidget()))
                    m_list->setFocus();
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

bool SettingsPanel::listKey(int key)
{
    if (IsListMovementKey(key))
        return false;
    if (isEnter(key))
        startEditing();
    else if (key == Qt::Key_Escape)
        emit closeRequested();
    // Any other key would jump the selection by its letters.
    return true;
}

bool SettingsPanel::controlKey(int position, int key)
{
    if (isEnter(key)) {
        save(position);
        return true;
    }
    if (key == Qt::Key_Escape) {
        discard(position);
        m_list->setFocus();
        return true;
    }
    // A check box takes Space only; its arrows would look for a neighbour button.
    return qobject_cast<QCheckBox *>(m_controls.at(position)) && key != Qt::Key_Space;
}

void SettingsPanel::startEditing()
{
    const int position = m_list->currentRow();
    if (position < 0 || position >= m_controls.size())
        return;
    bool editing = false;
    m_session.run([&] {
        m_session.user().edit();
        editing = true;
    });
    if (!editing)
        return;
    load(position);
    m_editing = position;
    QWidget *control = m_controls.at(position);
    control->setFocus();
    if (auto *box = qobject_cast<QLineEdit *>(control))
        box->selectAll();
}

void SettingsPanel::save(int position)
{
    const QString column = columnOf(position);
    const QString accessBefore = m_session.setting(QStringLiteral("P6"));
    QWidget *control = m_controls.at(position);
    const auto *check = qobject_cast<QCheckBox *>(control);
    const QString value = check ? QString::fromLatin1(check->isChecked() ? "True" : "False")
                                : static_cast<QLineEdit *>(control)->text();
    DataSet &user = m_session.user();
    bool saved = false;
    m_session.run([&] {
        user.edit();
        user.changeOrDrop([&] {
            user.setText(column, value);
            user.post();
        });
        saved = true;
    });
    // A refused save keeps the typed value in the control for another try or Esc.
    if (!saved)
        return;
    m_editing = -1;
    loadAll();
    if (m_session.setting(QStringLiteral("P6")) != accessBefore)
        reloadRegister();
    m_list->setFocus();
}

void SettingsPanel::discard(int position)
{
    if (m_editing != position)
        return;
    m_editing = -1;
    // A value typed and abandoned must not ride along with the row's next save.
    DataSet &user = m_session.user();
    if (user.state() == DataSet::State::Edit)
        user.cancel();
    load(position);
}

void SettingsPanel::reloadRegister()
{
    // The access rights decide which documents the register lists; it shows them at once.
    m_session.run([&] {
        DataSet &documents = m_session.documents();
        if (!documents.isOpen())
            return;
        const QString id = documents.isEmpty() ? QString() : documents.text(DocumentColumn::Id);
        m_session.ReloadRegister();
        if (!id.isEmpty())
            documents.find(DocumentColumn::Id, id);
    });
}
