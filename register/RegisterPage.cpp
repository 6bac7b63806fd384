#include "register/RegisterPage.h"
#include "app/MainWindow.h"
#include "register/RegisterDelegate.h"
#include "register/RegisterModel.h"
#include "register/SearchBox.h"
#include "store/SqlText.h"

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

RegisterPage::RegisterPage(MainWindow &window, QWidget *parent) : QWidget(parent), m_window(window)
{
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(13);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grid_m"));
    m_model = new RegisterModel(window, window.q1(), this);
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
    // The number column holds the field's 7 characters in whatever font the system gives.
    const int numberWidth = QFontMetrics(bold).horizontalAdvance(QString(7, QLatin1Char('0'))) + 5;
    for (int c = 0; c < registerColumns().size(); ++c) {
        const RegisterColumn &column = registerColumns().at(c);
        const bool number = qstrcmp(column.field, "NOM") == 0;
        m_grid->setColumnWidth(c, number ? qMax(column.width, numberWidth) : column.width);
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
    connect(m_search, &SearchBox::confirmed, this, [this] { m_window.runCommand([this] { confirmSearch(); }); });
    connect(m_search, &SearchBox::leaveRequested, this, [this] { m_grid->setFocus(); });
    connect(m_search, &SearchBox::removeFilter, this, [this] { removeFilter(); });
    connect(m_search, &SearchBox::typed, this, [this] { m_window.runCommand([this] { searchTyped(); }); });

    connect(m_model, &QAbstractItemModel::modelReset, this, &RegisterPage::selectCurrentRow);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != m_window.q1().recNo())
                    m_window.q1().setRecNo(current.row());
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
    const QColor color = m_window.isArchive() ? archiveBackground : currentBackground;
    m_delegate->setBackground(color);
    QPalette palette = m_grid->palette();
    palette.setColor(QPalette::Base, color);
    m_grid->setPalette(palette);
    m_grid->viewport()->update();
}

void RegisterPage::selectCurrentRow()
{
    const int row = m_window.q1().recNo();
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
            m_window.runCommand([this, c = *command] { run(c); });
            return true;
        }
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
        m_search->openAt(SearchBox::Place::Number);
        break;
    case RegisterCommand::FindRecipient:
        m_search->openAt(SearchBox::Place::Recipient);
        break;
    case RegisterCommand::FindAmount:
        m_search->openAt(SearchBox::Place::Amount);
        break;
    case RegisterCommand::RemoveFilter:
        removeFilter();
        break;
    case RegisterCommand::Refresh:
        refresh();
        break;
    default:
        // The document commands come with the editor and the print run.
        break;
    }
}

void RegisterPage::quit()
{
    if (m_window.dialogs().askYesNo(QStringLiteral("Завершение программы"), QStringLiteral("Выйти из программы?")))
        m_window.close();
}

void RegisterPage::switchArchive()
{
    m_window.setArchive(!m_window.isArchive());
    applyBackground();
    m_window.ReloadRegister();
}

void RegisterPage::refresh()
{
    DataSet &q1 = m_window.q1();
    if (q1.isEmpty())
        return;
    const QString id = q1.text(QStringLiteral("ID"));
    m_window.ReloadRegister();
    q1.find(QStringLiteral("ID"), id);
    selectCurrentRow();
}

void RegisterPage::removeFilter()
{
    m_search->hide();
    m_window.q1().setFiltered(false);
    m_grid->setFocus();
}

void RegisterPage::confirmSearch()
{
    DataSet &q1 = m_window.q1();
    q1.setFiltered(false);
    const QString column = m_search->column();
    const QString value = q1.isEmpty() ? QString() : q1.text(column);
    m_search->setText(value);
    if (column == QLatin1String("S"))
        q1.setFilter(QStringLiteral("S=") + value);
    else
        q1.setFilter(column + QLatin1Char('=') + sqlQuote(value));
    q1.setFiltered(true);
    m_grid->setFocus();
}

void RegisterPage::searchTyped()
{
    const QString text = m_search->text();
    // The release of the F6 that opened the box arrives here with no text yet.
    if (text.isEmpty())
        return;
    if (m_window.q1().locate(m_search->column(), text))
        selectCurrentRow();
}
