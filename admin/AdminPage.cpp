#include "admin/AdminPage.h"
#include "admin/AdminDelegate.h"
#include "admin/AdminModel.h"
#include "document/UserSettings.h"
#include "session/Session.h"
#include "store/Installer.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

QStringList AdminPage::noteLines()
{
    return {
        QStringLiteral("Введите пользователей: "),
        QStringLiteral("в поле LOGIN введите имя,"),
        QStringLiteral("в поле PAS - пароль из одного символа (%1 - пароль администратора),").arg(AdministratorCode),
        QStringLiteral("(у разных пользователей разные пароли),"),
        QStringLiteral("затем закройте программу,"),
        QStringLiteral("перезайдите с паролем пользователя "),
        QStringLiteral("и настройте параметры (F2 - Меню, \"Параметры\")"),
    };
}

QStringList AdminPage::buttonCaptions()
{
    return {QStringLiteral("Добавить"), QStringLiteral("Сохранить"), QStringLiteral("Удалить")};
}

AdminPage::AdminPage(Session &session, QWidget *parent) : QWidget(parent), m_session(session), m_users(session.db())
{
    m_users.setObjectName(QStringLiteral("q_admin"));

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grid_admin"));
    m_model = new AdminModel(session, m_users, this);
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new AdminDelegate(m_grid));
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                            | QAbstractItemView::EditKeyPressed);
    m_grid->setTabKeyNavigation(false);
    m_grid->setWordWrap(false);
    const QFontMetrics metrics(m_grid->font());
    m_grid->setColumnWidth(0, metrics.horizontalAdvance(QString(30, QChar(u'н'))) + 12);
    m_grid->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("PAS")) + 40);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    const QStringList names = {QStringLiteral("b_add"), QStringLiteral("b_save"), QStringLiteral("b_delete")};
    const QList<void (AdminPage::*)()> actions = {&AdminPage::add, &AdminPage::save, &AdminPage::removeCurrent};
    for (int i = 0; i < names.size(); ++i) {
        auto *b = new QPushButton(buttonCaptions().at(i), this);
        b->setObjectName(names.at(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, action = actions.at(i)] { (this->*action)(); });
        buttons->addWidget(b);
        m_buttons << b;
    }
    buttons->addStretch(1);

    auto *note = new QLabel(noteLines().join(QLatin1Char('\n')), this);
    note->setObjectName(QStringLiteral("Memo_admin"));
    note->setFocusPolicy(Qt::NoFocus);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note->setTextInteractionFlags(Qt::NoTextInteraction);

    auto *help = new QLabel(QStringLiteral("Enter-правка, Insert-добавить, Ctrl+S-сохранить, Ctrl+Delete-удалить, "
                                           "Esc-отменить правку строки"),
                            this);
    help->setObjectName(QStringLiteral("help"));
    help->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_grid, 0, 0);
    layout->addWidget(note, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->addWidget(help, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(16);
    // As wide as its two columns, so the note stands right beside the list.
    m_grid->setFixedWidth(m_grid->columnWidth(0) + m_grid->columnWidth(1) + 2 * m_grid->frameWidth()
                          + m_grid->verticalScrollBar()->sizeHint().width());

    connect(m_model, &QAbstractItemModel::modelReset, this, &AdminPage::selectCurrentRow);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                // The move saves the row being edited; a refused save keeps the cursor on it.
                m_session.run([&] {
                    if (current.isValid() && current.row() != m_users.recNo()) {
                        m_users.post();
                        m_users.setRecNo(current.row());
                    }
                });
                if (current.isValid() && current.row() != m_users.recNo())
                    selectCurrentRow();
            });
}

QPushButton *AdminPage::button(int position) const
{
    return m_buttons.value(position);
}

void AdminPage::open()
{
    m_session.run([this] {
        m_users.close();
        // A row with no password at all is a user too.
        m_users.setSql(QStringLiteral("select * from PARAM where coalesce(PAS,'')<>? order by RID"),
                       {AdministratorCode});
        m_users.open();
    });
    selectCurrentRow();
    m_grid->setFocus();
}

void AdminPage::selectCurrentRow()
{
    const int row = m_users.isOpen() ? m_users.recNo() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        m_grid->selectionModel()->clear();
        return;
    }
    const int column = qMax(0, m_grid->currentIndex().column());
    const QModelIndex index = m_model->index(row, column);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(index);
}

void AdminPage::add()
{
    m_session.run([this] {
        m_users.insert();
        // Stored at once with its defaults; a refused row is dropped.
        m_users.changeOrDrop([this] {
            FillNewUserDefaults(m_users);
            m_users.post();
        });
    });
    selectCurrentRow();
    m_grid->setCurrentIndex(m_model->index(m_users.recNo(), 0));
    m_grid->setFocus();
}

void AdminPage::save()
{
    if (m_users.state() != DataSet::State::Edit && m_users.state() != DataSet::State::Insert) {
        m_session.dialogs().message(QStringLiteral("Сохранять нечего: ни одна строка не изменена."));
    } else {
        m_session.run([this] { m_users.post(); });
    }
    m_grid->setFocus();
}

void AdminPage::removeCurrent()
{
    if (!m_users.isOpen() || m_users.isEmpty()) {
        m_session.dialogs().message(QStringLiteral("Список пользователей пуст: удалять нечего."));
    } else {
        m_session.run([this] { m_users.remove(); });
        selectCurrentRow();
    }
    m_grid->setFocus();
}

void AdminPage::cancelRow()
{
    if (m_users.state() != DataSet::State::Edit)
        return;
    m_users.cancel();
    const int row = m_users.recNo();
    emit m_model->dataChanged(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
}

bool AdminPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress)
        return gridKey(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

bool AdminPage::gridKey(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        if (m_grid->currentIndex().isValid())
            m_grid->edit(m_grid->currentIndex());
        return true;
    }
    if (key == Qt::Key_Insert && mods == Qt::NoModifier) {
        add();
        return true;
    }
    if (key == Qt::Key_S && mods == Qt::ControlModifier) {
        save();
        return true;
    }
    if (key == Qt::Key_Delete && mods == Qt::ControlModifier) {
        removeCurrent();
        return true;
    }
    if (key == Qt::Key_Escape) {
        cancelRow();
        return true;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return true;
    return false;
}
