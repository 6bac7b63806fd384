#include "directories/DirectoryPanel.h"
#include "directories/DefaultPayer.h"
#include "directories/DirectoryForm.h"
#include "session/Session.h"
#include "store/BankLookup.h"
#include "store/TextWidth.h"
#include "store/TimestampId.h"
#include "widgets/CharacterLimit.h"
#include "widgets/DirectoryModel.h"
#include "widgets/ListKeys.h"
#include "widgets/PanelHider.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using namespace DirectoryBoxes;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QLabel *barLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

} // namespace

DirectoryPanel::DirectoryPanel(Kind kind, Session &session, QWidget *parent)
    : QFrame(parent), m_kind(kind), m_form(kind == Kind::Payers ? payerForm() : recipientForm()),
      m_session(session), m_query(session.db()), m_general(session.db()), m_bank(session.db())
{
    setObjectName(QLatin1String(m_form.panel));
    m_query.setObjectName(QLatin1String(m_form.query));
    m_general.setObjectName(QStringLiteral("q"));
    m_bank.setObjectName(QStringLiteral("q_dbf"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    auto *title = barLabel(QString::fromUtf8(m_form.title), this);
    title->setAlignment(Qt::AlignCenter);

    m_list = new QTableView(this);
    m_list->setObjectName(QLatin1String(m_form.list));
    m_model = new DirectoryModel(m_query, m_form.columns, this);
    m_list->setModel(m_model);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->setWordWrap(false);
    m_list->horizontalHeader()->setMinimumSectionSize(1);
    m_list->horizontalHeader()->setStretchLastSection(false);
    for (int c = 0; c < m_form.columns.size(); ++c)
        m_list->setColumnWidth(c, m_form.columns.at(c).width);
    m_list->installEventFilter(this);

    auto *help = barLabel(QString::fromUtf8(m_form.help), this);
    help->setObjectName(QStringLiteral("help"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(title);
    layout->addWidget(m_list, 1);
    layout->addWidget(help);

    m_edit = new QFrame(this);
    m_edit->setObjectName(QLatin1String(m_form.editPanel));
    m_edit->setFrameShape(QFrame::Panel);
    m_edit->setFrameShadow(QFrame::Raised);
    m_edit->setAutoFillBackground(true);
    auto *grid = new QGridLayout(m_edit);
    m_bankName = new QLabel(m_edit);
    m_bankName->setObjectName(QLatin1String(m_form.bankLabel));
    m_bankError = new QLabel(m_edit);
    m_bankError->setObjectName(QLatin1String(m_form.errorLabel));
    m_bankError->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const DirectoryBox &b = m_form.boxes.at(i);
        auto *box = new QLineEdit(m_edit);
        box->setObjectName(QLatin1String(b.name));
        CharacterLimit::apply(box, b.maxLength);
        // Wide enough to show its longest input whole.
        box->setMinimumWidth(QFontMetrics(box->font()).horizontalAdvance(QString(b.maxLength, QChar(u'Н'))) + 12);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, i] { boxEdited(i); });
        m_boxes[i] = box;
        if (*b.caption)
            grid->addWidget(new QLabel(QString::fromUtf8(b.caption), m_edit), i, 0);
        grid->addWidget(box, i, 1);
    }
    grid->addWidget(m_bankName, bik, 2);
    grid->addWidget(m_bankError, int(m_boxes.size()), 1, 1, 2);
    grid->setColumnStretch(2, 1);
    m_edit->hide();

    connect(m_model, &QAbstractItemModel::modelReset, this, &DirectoryPanel::selectCurrentRow);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                // The move saves a row still in editing; a failed save keeps the cursor.
                m_session.run([&] {
                    if (current.isValid() && current.row() != m_query.recNo()) {
                        m_query.post();
                        m_query.setRecNo(current.row());
                    }
                });
                if (current.isValid() && current.row() != m_query.recNo())
                    selectCurrentRow();
            });

    if (parent)
        parent->installEventFilter(this);
    PanelHider::watch(m_edit);
    PanelHider::watch(this, [this] { m_edit->hide(); });
    hide();
}

void DirectoryPanel::setEditorShowing(std::function<bool()> editorShowing)
{
    m_editorShowing = std::move(editorShowing);
}

void DirectoryPanel::fitParent()
{
    if (parentWidget())
        setGeometry(parentWidget()->rect());
}

void DirectoryPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_edit->setGeometry(m_list->geometry());
}

void DirectoryPanel::open()
{
    m_edit->hide();
    fitParent();
    show();
    raise();
    m_session.run([this] {
        // A row left in editing when the panel hid is saved, not dropped by the reopening.
        m_query.post();
        m_query.close();
        m_query.setQuery({QLatin1String(m_form.table), {}, QStringLiteral("1")});
        m_query.open();
    });
    selectCurrentRow();
    m_list->setFocus();
}

void DirectoryPanel::selectCurrentRow()
{
    const int row = m_query.isOpen() ? m_query.recNo() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        m_list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

bool DirectoryPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        fitParent();
        return false;
    }
    if (watched == m_list && event->type() == QEvent::KeyPress)
        return listKey(static_cast<QKeyEvent *>(event)->key());
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        if (watched != m_boxes.at(i))
            continue;
        if (event->type() == QEvent::KeyPress)
            return boxKey(i, static_cast<QKeyEvent *>(event)->key());
        if (event->type() == QEvent::FocusIn) {
            // The window coming back from a message box is no entering of the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                boxEntered(i);
        }
        else if (event->type() == QEvent::FocusOut)
            boxLeft(i);
        return false;
    }
    return QFrame::eventFilter(watched, event);
}

bool DirectoryPanel::listKey(int key)
{
    if (IsListMovementKey(key))
        return false;
    m_session.run([&] {
        if (isEnter(key)) {
            const bool picking = m_kind == Kind::Recipients && m_editorShowing && m_editorShowing();
            picking ? pick() : editCurrent();
        } else if (key == Qt::Key_Space && m_kind == Kind::Payers) {
            makeDefault();
        } else if (key == Qt::Key_F7) {
            create();
        } else if (key == Qt::Key_F8) {
            remove();
        } else if (key == Qt::Key_Escape) {
            close();
        }
    });
    // Any other key would jump the list to a row by its letters (the view's own search).
    return true;
}

void DirectoryPanel::editCurrent()
{
    if (m_query.isEmpty())
        return;
    showEditing();
    m_boxes[first]->setFocus();
}

void DirectoryPanel::create()
{
    m_query.insert();
    m_query.setValue(QStringLiteral("ID"), NewTimestampId());
    // A recipient is stored at once; a payer by the panel's first save.
    // Nothing was typed yet: a refused row is dropped, the list stays as it was.
    if (m_kind == Kind::Recipients)
        m_query.changeOrDrop([&] { m_query.post(); });
    showEditing();
    m_boxes[first]->setFocus();
}

void DirectoryPanel::remove()
{
    if (m_query.isEmpty())
        return;
    if (!m_session.dialogs().askYesNo(QStringLiteral("Удаление"), QString::fromUtf8(m_form.deleteQuestion)))
        return;
    m_query.remove();
    selectCurrentRow();
}

void DirectoryPanel::makeDefault()
{
    if (m_query.isEmpty() || IsDefaultPayer(m_query))
        return;
    MakeDefaultPayer(m_session.db(), m_query);
    selectCurrentRow();
}

void DirectoryPanel::pick()
{
    if (m_query.isEmpty())
        return;
    m_query.post();
    emit picked(m_query.text(QStringLiteral("SCHET")));
}

void DirectoryPanel::close()
{
    m_query.post();
    emit closeRequested();
}

void DirectoryPanel::showEditing()
{
    m_bankName->clear();
    m_bankError->clear();
    for (int i = 0; i < int(m_boxes.size()); ++i)
        loadBox(i);
    m_edit->setGeometry(m_list->geometry());
    m_edit->show();
    m_edit->raise();
}

void DirectoryPanel::loadBox(int position)
{
    const bool current = m_query.state() == DataSet::State::Insert || !m_query.isEmpty();
    m_boxes[position]->setText(current ? m_query.text(QLatin1String(m_form.boxes.at(position).column)) : QString());
}

void DirectoryPanel::ensureEditing()
{
    if (m_query.state() == DataSet::State::Browse && !m_query.isEmpty())
        m_query.edit();
}

void DirectoryPanel::takeText(int position)
{
    ensureEditing();
    m_query.setValue(QLatin1String(m_form.boxes.at(position).column), m_boxes.at(position)->text());
}

void DirectoryPanel::boxEdited(int position)
{
    m_session.run([&] { takeText(position); });
}

void DirectoryPanel::boxEntered(int position)
{
    m_session.run([&] {
        ensureEditing();
        if (position == shortName)
            fillShortName();
        loadBox(position);
    });
    m_boxes[position]->selectAll();
}

void DirectoryPanel::boxLeft(int position)
{
    if (position == bik)
        m_bankError->clear();
}

bool DirectoryPanel::boxKey(int position, int key)
{
    if (isEnter(key)) {
        m_session.run([&] {
            takeText(position);
            if (position == bik)
                checkBik();
            else if (position == shortName)
                save();
            else
                m_boxes[position + 1]->setFocus();
        });
        return true;
    }
    if (key == Qt::Key_Escape) {
        m_session.run([&] {
            takeText(position);
            if (position == first)
                save();
            else
                m_boxes[position - 1]->setFocus();
        });
        return true;
    }
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

bool DirectoryPanel::save()
{
    bool saved = false;
    m_session.run([&] {
        m_query.post();
        saved = true;
    });
    if (saved)
        m_list->setFocus();
    return saved;
}

void DirectoryPanel::checkBik()
{
    const BankDetails bank = LookupBank(m_bank, m_general, m_boxes.at(bik)->text());
    if (bank.usable()) {
        m_bankName->setText(bank.name);
        m_boxes[firstName]->setFocus();
        return;
    }
    m_bankError->setText(BankRefusal(bank));
    m_boxes[bik]->selectAll();
}

void DirectoryPanel::fillShortName()
{
    const QString name = QStringLiteral("NAME");
    m_query.setValue(name, leftCharacters(m_query.text(QStringLiteral("NAME1")), 20));
    m_query.post();
    m_query.edit();
}
