#include "tax/TaxPanel.h"
#include "document/DocumentColumns.h"
#include "document/TaxFields.h"
#include "session/Session.h"
#include "store/Schema.h"
#include "tax/TaxDetails.h"
#include "tax/TaxParamName.h"
#include "tax/TaxPeriodComposer.h"
#include "widgets/CharacterLimit.h"
#include "widgets/DirectoryModel.h"
#include "widgets/ListKeys.h"
#include "widgets/PanelHider.h"
#include "widgets/PickList.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

namespace {

// The panel's design size; it scales with the page like everything on it.
constexpr int DesignWidth = 561;
constexpr int DesignHeight = 357;
constexpr int ChooserLeft = 8;
constexpr int RowTop = 30;
constexpr int RowHeight = 27;
constexpr int BoxLeft = 188;
constexpr int BoxHeight = 23;
constexpr int NameLeft = 228;
constexpr int NameWidth = 325;
constexpr int NamePixels = 12;
constexpr int ListLeft = 330;
constexpr int ListWidth = 223;
constexpr int ListRowHeight = 24;
constexpr int ListMaxHeight = 318;

const QString basisColumn = QStringLiteral("P106_OSNOV");

const QList<DirectoryColumn> codeColumns = {{"KOD", 40}, {"NAME", NameWidth - 44}};

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

int columnWidth(const char *column)
{
    const ColumnDef *c = Schema::column(*Schema::table(DocumentTable::Current), QLatin1String(column));
    return c ? c->width : 0;
}

} // namespace

TaxPanel::TaxPanel(Session &session, QWidget *parent)
    : QFrame(parent), m_session(session), m_lookup(session.db()), m_codes(session.db())
{
    setObjectName(QStringLiteral("Panel3"));
    setFrameShape(QFrame::Panel);
    setAutoFillBackground(true);
    m_lookup.setObjectName(QStringLiteral("q"));
    m_codes.setObjectName(QStringLiteral("qn"));
    build();
    hide();
    PanelHider::watch(this);
    connect(qApp, &QApplication::focusChanged, this, &TaxPanel::focusChanged);
}

TaxPanel::~TaxPanel()
{
    // The children's destructors move the focus, and a half-destroyed panel must not hear of it.
    disconnect(qApp, &QApplication::focusChanged, this, &TaxPanel::focusChanged);
}

void TaxPanel::build()
{
    m_group = new QGroupBox(QStringLiteral("Параметры налогового платежа"), this);
    m_group->setObjectName(QStringLiteral("panel_nalog"));
    place(m_group, QRect(0, 0, DesignWidth, DesignHeight));

    QStringList captions;
    for (const TaxField &f : taxFields())
        captions << QString::fromUtf8(f.caption);
    m_chooser = new PickList(QStringLiteral("l3"), captions, 0, m_group);
    m_chooser->setFocusPolicy(Qt::ClickFocus);
    m_chooser->setFrameShape(QFrame::NoFrame);
    m_chooser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_chooser->installEventFilter(this);
    m_chooser->show();
    place(m_chooser, QRect(ChooserLeft, RowTop, BoxLeft - ChooserLeft - 4, RowHeight * int(captions.size())));

    for (int i = 0; i < taxFields().size(); ++i) {
        const TaxField &f = taxFields().at(i);
        const int top = RowTop + RowHeight * i + (RowHeight - BoxHeight) / 2;
        auto *box = new QLineEdit(m_group);
        box->setObjectName(QString::fromUtf8(f.box));
        CharacterLimit::apply(box, columnWidth(f.column));
        box->setFocusPolicy(Qt::ClickFocus);
        box->installEventFilter(this);
        place(box, QRect(BoxLeft, top, f.boxWidth, BoxHeight));
        m_boxes << box;
        if (f.nameBox) {
            auto *name = new QLineEdit(m_group);
            name->setObjectName(QString::fromUtf8(f.nameBox));
            name->setReadOnly(true);
            name->setFocusPolicy(Qt::NoFocus);
            place(name, QRect(NameLeft, top, NameWidth, BoxHeight));
            m_names.insert(i, name);
        }
    }

    const int footTop = RowTop + RowHeight * int(taxFields().size()) + 24;
    const struct { const char *name; const char *text; int x; } labels[] = {
        {"Label27", "F5 - контроль", ChooserLeft}, {"l_kon", "", 150}, {"Label34", "Page Down - дальше", 330}};
    for (const auto &l : labels) {
        auto *label = new QLabel(QString::fromUtf8(l.text), m_group);
        label->setObjectName(QString::fromUtf8(l.name));
        place(label, QRect(l.x, footTop, 170, BoxHeight));
    }
    m_controlState = m_group->findChild<QLabel *>(QStringLiteral("l_kon"));
    m_message = new QLabel(m_group);
    m_message->setObjectName(QStringLiteral("l_kod"));
    QPalette red = m_message->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_message->setPalette(red);
    place(m_message, QRect(ChooserLeft, footTop + BoxHeight + 4, DesignWidth - 2 * ChooserLeft, BoxHeight));

    m_picker = new QTableView(m_group);
    m_picker->setObjectName(QStringLiteral("gridn"));
    m_codesModel = new DirectoryModel(m_codes, codeColumns, m_picker);
    m_picker->setModel(m_codesModel);
    m_picker->horizontalHeader()->hide();
    m_picker->verticalHeader()->hide();
    m_picker->horizontalHeader()->setStretchLastSection(true);
    m_picker->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_picker->setSelectionMode(QAbstractItemView::SingleSelection);
    m_picker->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_picker->setTabKeyNavigation(false);
    m_picker->setFocusPolicy(Qt::ClickFocus);
    m_picker->setWordWrap(false);
    m_picker->installEventFilter(this);
    place(m_picker, QRect(NameLeft, RowTop, NameWidth, ListMaxHeight));
    m_picker->hide();
    // Leaving the picker keeps whatever the boxes hold.
    PanelHider::watch(m_picker, [this] { m_session.run([this] { storeBoxes(); }); });

    m_composer = new TaxPeriodComposer(m_session.documents(), m_group);
    for (PeriodList l : {PeriodList::Kind, PeriodList::Month, PeriodList::Quarter, PeriodList::HalfYear, PeriodList::Year}) {
        PickList *list = m_composer->list(l);
        const int rows = l == PeriodList::Year ? 99 : list->count();
        place(list, QRect(ListLeft, RowTop, ListWidth, qMin(ListMaxHeight, rows * ListRowHeight + 4)));
    }
    connect(m_composer, &TaxPeriodComposer::periodWritten, this, [this] {
        loadBox(TaxPeriodItem);
        emit fieldsChanged();
    });
    connect(m_composer, &TaxPeriodComposer::completed, this, [this] { focusBox(TaxDocumentNumberItem); });
    connect(m_composer, &TaxPeriodComposer::cancelled, this, &TaxPanel::toChooser);
    connect(m_composer, &TaxPeriodComposer::amountRequested, this, &TaxPanel::amountRequested);
}

void TaxPanel::place(QWidget *w, const QRect &design)
{
    m_design.insert(w, design);
}

void TaxPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const double scale = width() / double(DesignWidth);
    for (auto it = m_design.cbegin(); it != m_design.cend(); ++it) {
        const QRect r = it.value();
        it.key()->setGeometry(qRound(r.x() * scale), qRound(r.y() * scale), qRound(r.width() * scale),
                              qRound(r.height() * scale));
    }
    // Each caption level with its box.
    for (int i = 0; i < m_chooser->count(); ++i)
        m_chooser->item(i)->setSizeHint(QSize(m_chooser->width(), qRound(RowHeight * scale)));
    // Names are long; a smaller face shows more of them.
    QFont small = font();
    small.setPixelSize(qMax(8, qRound(NamePixels * scale)));
    for (QLineEdit *name : std::as_const(m_names))
        name->setFont(small);
    m_picker->setFont(small);
    m_picker->setColumnWidth(0, qRound(codeColumns.first().width * scale));
    m_picker->verticalHeader()->setDefaultSectionSize(qRound(20 * scale));
}

bool TaxPanel::control() const
{
    return TaxDetails::ControlOn(m_session);
}

void TaxPanel::showControlState()
{
    m_controlState->setText(control() ? QStringLiteral("включен") : QStringLiteral("выключен"));
}

void TaxPanel::focusChanged(QWidget *old, QWidget *now)
{
    // Every entry into the group shows the control's present state.
    if (now && m_group->isAncestorOf(now) && !(old && m_group->isAncestorOf(old)))
        showControlState();
}

void TaxPanel::open()
{
    TaxDetails::Open(m_session);
    for (int i = 0; i < m_boxes.size(); ++i)
        loadBox(i);
    m_message->clear();
    for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
        showName(it.key(), LookupTaxParamName(m_lookup, QLatin1String(taxFields().at(it.key()).codeList),
                                              m_boxes.at(it.key())->text()));
    emit fieldsChanged();
    m_picker->hide();
    show();
    raise();
    m_chooser->open(TaxStatusItem);
}

void TaxPanel::ToggleTaxControl()
{
    TaxDetails::ToggleControl(m_session);
    showControlState();
}

bool TaxPanel::eventFilter(QObject *watched, QEvent *event)
{
    const int field = m_boxes.indexOf(qobject_cast<QLineEdit *>(watched));
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        bool handled = false;
        m_session.run([&] {
            if (watched == m_chooser)
                handled = chooserKey(key);
            else if (watched == m_picker)
                handled = pickerKey(key);
            else if (field >= 0)
                handled = boxKey(field, key);
        });
        return handled;
    }
    case QEvent::FocusIn:
        if (field >= 0) {
            m_session.run([this] { editDocument(); });
            if (taxFields().at(field).selectsItem)
                m_chooser->setCurrentRow(field);
        }
        break;
    case QEvent::FocusOut:
        if (field >= 0)
            m_session.run([&] { storeBox(field); });
        if (field == TaxAccrualIdItem) {
            // A click elsewhere does not leave an identifier no bank takes; a message box or another window does not leave the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isVisible()
                && !accrualIdAccepted())
                QTimer::singleShot(0, m_boxes.at(field), [this, field] {
                    if (isVisible())
                        focusBox(field);
                });
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

bool TaxPanel::chooserKey(int key)
{
    if (isEnter(key))
        actOn(m_chooser->currentRow());
    else if (key == Qt::Key_Escape)
        emit taxTypeRequested();
    else if (key == Qt::Key_PageDown)
        emit amountRequested();
    else if (key == Qt::Key_F5)
        ToggleTaxControl();
    else
        return !IsListMovementKey(key);
    return true;
}

bool TaxPanel::boxKey(int field, int key)
{
    // Field 22 is left only holding what a bank takes.
    const bool leaving = isEnter(key) || key == Qt::Key_Escape || (field == TaxAccrualIdItem && key == Qt::Key_PageDown);
    if (field == TaxAccrualIdItem && leaving && !accrualIdAccepted()) {
        m_boxes.at(field)->selectAll();
        return true;
    }
    if (isEnter(key) || (field == TaxAccrualIdItem && key == Qt::Key_PageDown)) {
        storeBox(field);
        advanceFrom(field);
    } else if (key == Qt::Key_Escape) {
        toChooser();
    } else if (key == Qt::Key_F5) {
        ToggleTaxControl();
    } else {
        return key == Qt::Key_Tab || key == Qt::Key_Backtab;
    }
    return true;
}

bool TaxPanel::pickerKey(int key)
{
    if (isEnter(key))
        pick();
    else if (key == Qt::Key_Escape)
        toChooser();
    else if (key == Qt::Key_PageDown)
        emit amountRequested();
    else if (key == Qt::Key_Home || key == Qt::Key_End)
        // Whole rows are picked, so Home and End go to the first and the last code.
        m_picker->selectRow(key == Qt::Key_Home ? 0 : m_codesModel->rowCount() - 1);
    else
        return !IsListMovementKey(key);
    return true;
}

void TaxPanel::actOn(int item)
{
    if (item < 0 || item >= taxFields().size())
        return;
    m_chooser->setCurrentRow(item);
    const TaxStep step = taxChooserStep(item, m_session.documents().text(basisColumn), control());
    switch (step.kind) {
    case TaxStep::FocusBox:
        focusBox(step.item);
        break;
    case TaxStep::OpenPicker:
        openPicker(step.item);
        break;
    case TaxStep::OpenComposer:
        m_composer->open();
        break;
    case TaxStep::ActOnItem:
        actOn(step.item);
        break;
    }
}

void TaxPanel::advanceFrom(int item)
{
    // Every field, typed or picked, leads to the next item; the last one out of the panel.
    if (item < TaxAccrualIdItem)
        actOn(item + 1);
    else
        emit amountRequested();
}

bool TaxPanel::accrualIdAccepted()
{
    if (IsAccrualId(m_boxes.at(TaxAccrualIdItem)->text())) {
        m_message->clear();
        return true;
    }
    m_message->setText(QString::fromUtf8(AccrualIdMessage));
    return false;
}

void TaxPanel::focusBox(int item)
{
    m_chooser->setCurrentRow(item);
    QLineEdit *box = m_boxes.at(item);
    box->setFocus();
    box->selectAll();
}

void TaxPanel::toChooser()
{
    m_chooser->setFocus();
}

void TaxPanel::openPicker(int item)
{
    TaxDetails::OpenCodes(m_session, m_codes, item);
    m_pickerItem = item;
    m_picker->show();
    m_picker->raise();
    if (!m_codes.isEmpty())
        m_picker->selectionModel()->setCurrentIndex(m_codesModel->index(m_codes.recNo(), 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_picker->setFocus();
}

void TaxPanel::pick()
{
    const int item = m_pickerItem;
    const int row = m_picker->currentIndex().row();
    QString code, name;
    // An empty list gives an empty code.
    if (row >= 0 && row < m_codes.recordCount()) {
        m_codes.setRecNo(row);
        code = m_codes.text(QStringLiteral("KOD"));
        name = m_codes.text(QStringLiteral("NAME"));
    }
    editDocument();
    TaxDetails::Write(m_session, item, code);
    loadBox(item);
    showName(item, name);
    emit fieldsChanged();
    advanceFrom(item);
}

void TaxPanel::showName(int item, const QString &name)
{
    QLineEdit *box = m_names.value(item);
    box->setText(name);
    // A long name shows from its beginning.
    box->setCursorPosition(0);
}

void TaxPanel::editDocument()
{
    m_session.documents().edit();
}

void TaxPanel::loadBox(int item)
{
    const QString text = m_session.documents().text(QLatin1String(taxFields().at(item).column));
    if (m_boxes.at(item)->text() != text)
        m_boxes.at(item)->setText(text);
}

void TaxPanel::storeBox(int item)
{
    if (TaxDetails::Write(m_session, item, m_boxes.at(item)->text()))
        emit fieldsChanged();
}

void TaxPanel::storeBoxes()
{
    for (int i = 0; i < m_boxes.size(); ++i)
        storeBox(i);
}
