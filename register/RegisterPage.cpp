#include "register/RegisterPage.h"
#include "document/DocumentColumns.h"
#include "register/ArchiveMoveCommand.h"
#include "register/ClearMarksCommand.h"
#include "register/CopyDocumentCommand.h"
#include "register/DeleteDocumentsCommand.h"
#include "register/MarkDocumentCommand.h"
#include "register/NewDocumentCommand.h"
#include "register/OpenDocumentCommand.h"
#include "register/PrintCommand.h"
#include "register/RegisterDelegate.h"
#include "register/RegisterModel.h"
#include "register/SearchBox.h"
#include "register/UnlockDocumentCommand.h"
#include "session/Session.h"
#include "store/Installer.h"
#include "store/SqlText.h"
#include "widgets/ListKeys.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QColor currentBackground(128, 128, 128);
const QColor archiveBackground(0, 128, 0);
} // namespace

const QStringList &RegisterPage::legendLines()
{
    static const QStringList lines = {
        QStringLiteral("F1-помощь, Esc-выход,Enter-изменить,F2-меню,F4-Печать,F5-копировать,"),
        QStringLiteral("фильтры:F6-по сумме,Ctrl+F6-по номеру док,Alt+F6-по получателю,F9-Снять"),
        QStringLiteral("F7/Ins-создать,F8/Del-Удалить,F10-Убрать отметки, F11-Обновить,Space-Отметить"),
        QStringLiteral("Ctrl+Enter-просмотр,Ctrl+F3-снять блок, Alt+F5-Архив/текущие,F12-в архив/из архива"),
    };
    return lines;
}

RegisterPage::RegisterPage(Session &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_general(session.db()), m_bank(session.db())
{
    m_general.setObjectName(QStringLiteral("q"));
    m_bank.setObjectName(QStringLiteral("q_dbf"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(13);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grid_m"));
    session.documents().setHeldColumns(registerHeldColumns());
    m_model = new RegisterModel(session, session.documents(), this);
    m_delegate = new RegisterDelegate(this);
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(m_delegate);
    m_grid->setFont(bold);
    m_grid->horizontalHeader()->setFont(bold);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(bold).height() + 6);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setShowGrid(true);
    m_grid->setWordWrap(false);
    // The header's own minimum would widen the narrow "V" and "L" columns.
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    // The number column holds the field's 7 characters, the amount the largest amount in words,
    // in whatever font the system gives.
    const struct { const char *field; QString widest; } wholeTexts[] = {
        {"NOM", QString(7, QLatin1Char('0'))},
        {"S", QStringLiteral("999999999999999,99")},
    };
    for (int c = 0; c < registerColumns().size(); ++c) {
        const RegisterColumn &column = registerColumns().at(c);
        int width = column.width;
        for (const auto &whole : wholeTexts)
            if (qstrcmp(column.field, whole.field) == 0)
                width = qMax(width, QFontMetrics(bold).horizontalAdvance(whole.widest) + 5);
        m_grid->setColumnWidth(c, width);
    }
    m_grid->horizontalHeader()->setStretchLastSection(false);
    // The selection stays visible while the search box has the focus.
    QPalette palette = m_grid->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    m_grid->setPalette(palette);
    applyBackground();
    m_grid->installEventFilter(this);

    m_legend = new QPlainTextEdit(this);
    m_legend->setObjectName(QStringLiteral("Memo1"));
    m_legend->setPlainText(legendLines().join(QLatin1Char('\n')));
    m_legend->setReadOnly(true);
    m_legend->setFocusPolicy(Qt::NoFocus);
    m_legend->setFixedHeight(96);
    m_legend->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont legendFont = font();
    legendFont.setBold(true);
    legendFont.setPixelSize(16);
    m_legend->setFont(legendFont);
    m_legend->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(0, 128, 128); }"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_legend);

    m_search = new SearchBox(this);
    connect(m_search, &SearchBox::confirmed, this, [this] { m_session.run([this] { confirmSearch(); }); });
    connect(m_search, &SearchBox::leaveRequested, this, [this] { m_grid->setFocus(); });
    connect(m_search, &SearchBox::removeFilter, this, [this] { removeFilter(); });
    connect(m_search, &SearchBox::typed, this, [this] { m_session.run([this] { searchTyped(); }); });

    connect(m_model, &QAbstractItemModel::modelReset, this, &RegisterPage::selectCurrentRow);
    // A command that finds its document again shows it selected before it says anything.
    connect(&session.documents(), &DataSet::currentMoved, this, &RegisterPage::selectCurrentRow);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                // A move posts a pending edit, which may fail; nothing may escape the slot.
                m_session.run([&] {
                    if (current.isValid() && current.row() != m_session.documents().recNo())
                        m_session.documents().setRecNo(current.row());
                });
            });
}

void RegisterPage::enter()
{
    selectCurrentRow();
    m_grid->setFocus();
}

QColor RegisterPage::gridBackground() const
{
    return m_delegate->background();
}

void RegisterPage::applyBackground()
{
    const QColor color = m_session.isArchive() ? archiveBackground : currentBackground;
    m_delegate->setBackground(color);
    QPalette palette = m_grid->palette();
    palette.setColor(QPalette::Base, color);
    m_grid->setPalette(palette);
    m_grid->viewport()->update();
}

void RegisterPage::selectCurrentRow()
{
    const int row = m_session.documents().recNo();
    if (row < 0 || row >= m_model->rowCount()) {
        m_grid->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grid->scrollTo(index);
}

bool RegisterPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (const auto command = registerCommandFor(key->key(), key->modifiers())) {
            m_session.run([this, c = *command] { run(c); });
            return true;
        }
        // A letter typed here would jump the selection to another document (the
        // grid's own keyboard search), and the next command would act on it.
        return !IsListMovementKey(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

void RegisterPage::run(RegisterCommand command)
{
    switch (command) {
    case RegisterCommand::Quit:
        quit();
        break;
    case RegisterCommand::SwitchArchive:
        switchArchive();
        break;
    case RegisterCommand::FindNumber:
        openSearch(SearchBox::Place::Number);
        break;
    case RegisterCommand::FindRecipient:
        openSearch(SearchBox::Place::Recipient);
        break;
    case RegisterCommand::FindAmount:
        openSearch(SearchBox::Place::Amount);
        break;
    case RegisterCommand::RemoveFilter:
        removeFilter();
        break;
    case RegisterCommand::Refresh:
        refresh();
        break;
    case RegisterCommand::Open:
        if (OpenDocumentCommand(m_session))
            emit editorRequested();
        else
            selectCurrentRow();
        break;
    case RegisterCommand::NewDocument:
        if (NewDocumentCommand(m_session, m_general, m_bank))
            emit editorRequested();
        break;
    case RegisterCommand::Copy:
        CopyDocumentCommand(m_session, m_general);
        selectCurrentRow();
        break;
    case RegisterCommand::Unlock:
        UnlockDocumentCommand(m_session);
        selectCurrentRow();
        break;
    case RegisterCommand::Print:
        PrintCommand(m_session, m_general);
        break;
    case RegisterCommand::View:
        ViewCommand(m_session, m_general);
        selectCurrentRow();
        break;
    case RegisterCommand::Mark:
        MarkDocumentCommand(m_session);
        selectCurrentRow();
        break;
    case RegisterCommand::ClearMarks:
        ClearMarksCommand(m_session);
        selectCurrentRow();
        break;
    case RegisterCommand::Delete:
        DeleteDocumentsCommand(m_session);
        selectCurrentRow();
        break;
    case RegisterCommand::MoveArchive:
        ArchiveMoveCommand(m_session);
        selectCurrentRow();
        break;
    case RegisterCommand::Help:
        help();
        break;
    case RegisterCommand::Menu:
        emit menuRequested();
        break;
    case RegisterCommand::Nothing:
        break;
    }
}

void RegisterPage::help()
{
    m_session.dialogs().message(QStringLiteral("Обратитесь к разработчику: ") + Installer::contactAddress());
}

void RegisterPage::quit()
{
    if (m_session.dialogs().askYesNo(QStringLiteral("Завершение программы"), QStringLiteral("Выйти из программы?")))
        window()->close();
}

void RegisterPage::switchArchive()
{
    m_session.setArchive(!m_session.isArchive());
    applyBackground();
    m_session.ReloadRegister();
}

void RegisterPage::refresh()
{
    DataSet &q1 = m_session.documents();
    // An empty list is reloaded too: other computers may have made documents since.
    const QString id = q1.isEmpty() ? QString() : q1.text(DocumentColumn::Id);
    m_session.ReloadRegister();
    if (!id.isEmpty())
        q1.find(DocumentColumn::Id, id);
    selectCurrentRow();
}

void RegisterPage::openSearch(SearchBox::Place place)
{
    // Over its column as the grid draws it, whatever widths the columns took.
    int x = 0;
    for (int c = 0; c < registerColumns().size(); ++c) {
        if (qstrcmp(registerColumns().at(c).field, SearchBox::columnOf(place)) != 0)
            continue;
        QHeaderView *header = m_grid->horizontalHeader();
        x = header->mapTo(this, QPoint(header->sectionViewportPosition(c), 0)).x();
    }
    m_search->openAt(place, x);
}

void RegisterPage::removeFilter()
{
    m_search->hide();
    m_session.documents().setFiltered(false);
    m_grid->setFocus();
}

void RegisterPage::confirmSearch()
{
    DataSet &q1 = m_session.documents();
    q1.setFiltered(false);
    const QString column = m_search->column();
    const QString value = q1.isEmpty() ? QString() : q1.text(column);
    m_search->setText(value);
    q1.setFilter(RowFilter(column, value));
    q1.setFiltered(true);
    m_grid->setFocus();
}

void RegisterPage::searchTyped()
{
    const QString text = m_search->text();
    // The release of the F6 that opened the box arrives here with no text yet.
    if (text.isEmpty())
        return;
    if (m_session.documents().locate(m_search->column(), text))
        selectCurrentRow();
}
