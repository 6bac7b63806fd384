#include "editor/EditorPage.h"
#include "document/DocumentColumns.h"
#include "editor/AmountEntry.h"
#include "editor/DocumentEditing.h"
#include "editor/EditorForm.h"
#include "editor/RecipientLookup.h"
#include "editor/UnifiedTaxPayment.h"
#include "session/Session.h"
#include "store/DateText.h"
#include "widgets/CharacterLimit.h"
#include "widgets/PanelHider.h"
#include "widgets/PickList.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// The third item of l2: the unified tax payment in one choice.
constexpr int UnifiedTaxPaymentItem = 2;

QFont pageFont(int pixels)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

bool isDigitKey(int key)
{
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}

// The keys of the amount box that open the entry without a digit: the decimal
// keys wherever the layout puts their characters (X11 key codes of the comma,
// period, slash and keypad decimal keys), Backspace and Delete.
bool opensEmptyAmountEntry(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Comma:
    case Qt::Key_Period:
    case Qt::Key_Slash:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    const quint32 scan = event->nativeScanCode();
    return scan == 59 || scan == 60 || scan == 61 || scan == 91;
}

bool isText(const FormElement &e)
{
    return e.text && qstrcmp(e.text, "vid") != 0 && qstrcmp(e.text, "nal") != 0 && qstrcmp(e.text, "S") != 0;
}

} // namespace

EditorPage::EditorPage(Session &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_general(session.db()), m_bank(session.db()),
      m_recipients(session.db())
{
    m_general.setObjectName(QStringLiteral("q"));
    m_bank.setObjectName(QStringLiteral("q_dbf"));
    m_recipients.setObjectName(QStringLiteral("q_pol"));
    setAutoFillBackground(true);
    build();
    buildAmountEntry();
    buildPickLists();
}

void EditorPage::placeTaxPanel(QWidget *panel)
{
    panel->setParent(this);
    m_taxPanel = panel;
    m_design.insert(panel, QRect(56, 57, 561, 357));
    m_fontPixels.insert(panel, 16);
    m_controls.insert(panel->objectName(), panel);
    for (QWidget *w : panel->findChildren<QWidget *>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            m_controls.insert(w->objectName(), w);
    panel->hide();
}

void EditorPage::leaveTaxPanelForAmount()
{
    m_session.run([this] { moveToAmount(); });
}

void EditorPage::leaveTaxPanelForType()
{
    focusControl(QStringLiteral("edit_nalog"));
}

void EditorPage::build()
{
    for (const FormElement &e : editorForm()) {
        QWidget *w = nullptr;
        QRect rect = e.rect;
        switch (e.kind) {
        case FormKind::Caption: {
            auto *label = new QLabel(QString::fromUtf8(e.text), this);
            label->setFont(pageFont(16));
            rect.setSize(label->sizeHint());
            w = label;
            break;
        }
        case FormKind::Box: {
            auto *box = new QLineEdit(this);
            box->setFrame(!e.borderless);
            // A borderless line is ruled like a line of the paper form.
            if (e.borderless)
                box->setStyleSheet(QStringLiteral("QLineEdit { border: none; border-bottom: 1px solid rgb(190, 190, 190); }"));
            // Boxes that only show a value show all of it; the limit is for typing.
            if (e.limit > 0 && (e.use == BoxUse::Flow || e.use == BoxUse::MouseOnly))
                CharacterLimit::apply(box, e.limit);
            box->setReadOnly(e.use == BoxUse::ReadOnly || e.use == BoxUse::Opener);
            box->setEnabled(e.use != BoxUse::Disabled);
            rect.setHeight(e.borderless ? LineHeight : BoxHeight);
            w = box;
            break;
        }
        case FormKind::Memo: {
            auto *memo = new QPlainTextEdit(this);
            memo->setFrameShape(QFrame::NoFrame);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setTabChangesFocus(true);
            w = memo;
            break;
        }
        case FormKind::Message: {
            auto *label = new QLabel(this);
            label->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
            rect.setHeight(24);
            m_message = label;
            w = label;
            break;
        }
        case FormKind::Bar: {
            auto *bar = new QFrame(this);
            bar->setAutoFillBackground(true);
            QPalette p = bar->palette();
            p.setColor(QPalette::Window, QColor(128, 128, 128));
            bar->setPalette(p);
            w = bar;
            break;
        }
        case FormKind::Help: {
            auto *memo = new QPlainTextEdit(this);
            memo->setPlainText(editorHelpLines().join(QLatin1Char('\n')));
            memo->setReadOnly(true);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(0, 128, 128); }"));
            w = memo;
            break;
        }
        }
        if (e.name) {
            w->setObjectName(QString::fromUtf8(e.name));
            m_controls.insert(w->objectName(), w);
        }
        // Nothing on the page is a tab stop; the keyboard flow moves the focus.
        w->setFocusPolicy(e.kind == FormKind::Box || e.kind == FormKind::Memo ? Qt::ClickFocus : Qt::NoFocus);
        if (e.kind != FormKind::Caption)
            w->setFont(pageFont(e.kind == FormKind::Message ? 19 : 16));
        m_design.insert(w, rect);
        m_fontPixels.insert(w, e.kind == FormKind::Message ? 19 : 16);
        if (e.kind == FormKind::Box || e.kind == FormKind::Memo)
            w->installEventFilter(this);
    }
    m_date = qobject_cast<QLineEdit *>(control(QStringLiteral("edit_date")));
    m_amount = qobject_cast<QLineEdit *>(control(QStringLiteral("edit_s")));
}

void EditorPage::buildAmountEntry()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel_s"));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    m_amountPanel = panel;
    m_controls.insert(panel->objectName(), panel);
    m_design.insert(panel, QRect(586, 0, 196, BoxHeight + 2));
    const struct { const char *name; int x; int w; } boxes[] = {{"e_s2", 1, 97}, {"e_s3", 100, 96}};
    for (const auto &b : boxes) {
        auto *box = new QLineEdit(panel);
        box->setObjectName(QString::fromUtf8(b.name));
        box->setFocusPolicy(Qt::ClickFocus);
        box->setFont(pageFont(16));
        box->installEventFilter(this);
        m_controls.insert(box->objectName(), box);
        m_design.insert(box, QRect(b.x, 1, b.w, BoxHeight));
        m_fontPixels.insert(box, 16);
    }
    m_amountFirst = qobject_cast<QLineEdit *>(control(QStringLiteral("e_s2")));
    m_amountRepeat = qobject_cast<QLineEdit *>(control(QStringLiteral("e_s3")));
    panel->hide();
    // The entry closes emptied whenever the focus goes elsewhere.
    PanelHider::watch(panel, [this] {
        m_amountFirst->clear();
        m_amountRepeat->clear();
    });
}

void EditorPage::buildPickLists()
{
    const QStringList kinds = {QStringLiteral("<пусто>"), QStringLiteral("Электронно"), QStringLiteral("Почтой"),
                               QStringLiteral("Телеграфом")};
    m_kinds = new PickList(QStringLiteral("l1"), kinds, 5, this);
    m_design.insert(m_kinds, QRect(54, 56, 575, 25));
    m_taxTypes = new PickList(QStringLiteral("l2"), {QStringLiteral("ПРОСТ"), QStringLiteral("НАЛОГ"), QStringLiteral("ЕНП")}, 3, this);
    m_design.insert(m_taxTypes, QRect(420, 56, 233, 24));
    for (PickList *list : {m_kinds, m_taxTypes}) {
        list->setFont(pageFont(16));
        list->setFocusPolicy(Qt::ClickFocus);
        list->installEventFilter(this);
        m_fontPixels.insert(list, 16);
        m_controls.insert(list->objectName(), list);
        PanelHider::watch(list);
    }
}

QWidget *EditorPage::control(const QString &name) const
{
    return m_controls.value(name);
}

void EditorPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The form keeps its design proportions in whatever size the window has.
    const double scale = qMin(width() / double(EditorDesignWidth), height() / double(EditorDesignHeight));
    for (auto it = m_design.cbegin(); it != m_design.cend(); ++it) {
        const QRect r = it.value();
        it.key()->setGeometry(qRound(r.x() * scale), qRound(r.y() * scale), qRound(r.width() * scale),
                              qRound(r.height() * scale));
        if (m_fontPixels.contains(it.key()))
            it.key()->setFont(pageFont(qMax(8, qRound(m_fontPixels.value(it.key()) * scale))));
    }
    for (QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (!label->objectName().isEmpty())
            continue;
        label->setFont(pageFont(qMax(8, qRound(16 * scale))));
        label->resize(label->sizeHint());
    }
}

void EditorPage::open()
{
    m_amountPanel->hide();
    m_kinds->hide();
    m_taxTypes->hide();
    if (m_taxPanel)
        m_taxPanel->hide();
    m_message->clear();
    loadFields();
    m_date->setText(WriteDateText(m_session.documents().date(DocumentColumn::Date)));
    focusControl(QStringLiteral("edit_nom"));
}

void EditorPage::storeField(QWidget *box)
{
    if (const FormElement *e = formElement(box->objectName().toUtf8().constData()))
        storeElement(*e);
}

void EditorPage::storeFields()
{
    for (const FormElement &e : editorForm())
        storeElement(e);
}

void EditorPage::storeElement(const FormElement &e)
{
    // Only the boxes that edit a text column of the document; the others show values.
    if (!e.name || !isText(e) || (e.use != BoxUse::Flow && e.use != BoxUse::MouseOnly))
        return;
    DataSet &doc = m_session.documents();
    if (doc.state() != DataSet::State::Edit && doc.state() != DataSet::State::Insert)
        return;
    QWidget *box = control(QString::fromUtf8(e.name));
    QString text;
    if (auto *line = qobject_cast<QLineEdit *>(box))
        text = line->text();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(box))
        text = memo->toPlainText();
    const QString column = QString::fromUtf8(e.text);
    if (doc.text(column) != text)
        doc.setValue(column, text);
}

void EditorPage::loadFields()
{
    DataSet &doc = m_session.documents();
    for (const FormElement &e : editorForm()) {
        if (!e.name || !e.text || (e.kind != FormKind::Box && e.kind != FormKind::Memo))
            continue;
        QString text;
        if (qstrcmp(e.text, "vid") == 0)
            text = m_session.paymentKindName(doc.text(DocumentColumn::PaymentKind));
        else if (qstrcmp(e.text, "nal") == 0)
            text = m_session.taxName(doc.value(DocumentColumn::Tax));
        else if (qstrcmp(e.text, "S") == 0)
            text = AmountDisplayText(doc.value(DocumentColumn::Amount));
        else
            text = doc.text(QString::fromUtf8(e.text));
        QWidget *w = control(QString::fromUtf8(e.name));
        if (auto *line = qobject_cast<QLineEdit *>(w)) {
            if (line->text() != text) {
                line->setText(text);
                // A value wider than its box shows its start, as on paper, until the box is worked in.
                if (!line->hasFocus())
                    line->setCursorPosition(0);
            }
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
            if (memo->toPlainText() != text)
                memo->setPlainText(text);
        }
    }
}

bool EditorPage::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field || !isVisible())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(field, static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        keyReleased(field, static_cast<QKeyEvent *>(event));
        break;
    case QEvent::FocusIn:
        if (const char *list = pickListOf(field->objectName())) {
            // A box that shows a name never keeps the focus: its list opens instead.
            DataSet &doc = m_session.documents();
            if (list == QByteArrayView("l1"))
                m_kinds->open(doc.text(DocumentColumn::PaymentKind).toInt());
            else
                m_taxTypes->open(doc.logical(DocumentColumn::Tax) ? 1 : 0);
        }
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        m_session.run([&] { storeField(field); });
        const QString name = field->objectName();
        if (name == QLatin1String("DBE_SCH_KT") || name == QLatin1String("DBE_bik"))
            m_message->clear();
        // A message box or the window losing activation does not leave the field.
        if (name == QLatin1String("DBE_nds") && reason != Qt::ActiveWindowFocusReason
            && reason != Qt::PopupFocusReason)
            m_session.run([this] { writeVatLine(); });
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool EditorPage::keyPressed(QWidget *field, QKeyEvent *event)
{
    const QString name = field->objectName();
    const int key = event->key();
    if (field == m_amount) {
        if (isDigitKey(key)) {
            openAmountEntry(QString(QChar(u'0' + (key - Qt::Key_0))));
            return true;
        }
        if (opensEmptyAmountEntry(event)) {
            openAmountEntry(QString());
            return true;
        }
    }
    if (name == QLatin1String("DBE_SCH_KT") && key == Qt::Key_F2) {
        m_session.run([&] { storeField(field); });
        emit recipientDirectoryRequested();
        return true;
    }
    const FieldRow *row = fieldRow(name);
    auto *line = qobject_cast<QLineEdit *>(field);
    if (row && line && row->advance == AutoAdvance::Priority && autoAdvances(*row, key, true, line->text())) {
        // The digit takes the place of the one character, and the field is done.
        line->setText(QString(QChar(u'0' + (key - Qt::Key_0))));
        follow(field, row->enter);
        return true;
    }
    FieldKey fieldKey;
    if (fieldKeyOf(key, &fieldKey) && (row || pickListOf(name))) {
        follow(field, fieldStepFor(name, fieldKey));
        return true;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return true;
    // Lists choose with Left and Right alone; the amount box takes no typing.
    if (qobject_cast<PickList *>(field))
        return key != Qt::Key_Left && key != Qt::Key_Right;
    return field == m_amount;
}

void EditorPage::keyReleased(QWidget *field, QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    const FieldRow *row = fieldRow(field->objectName());
    auto *line = qobject_cast<QLineEdit *>(field);
    if (row && line && QApplication::focusWidget() == field && autoAdvances(*row, event->key(), false, line->text()))
        follow(field, row->enter);
}

void EditorPage::follow(QWidget *field, const FieldStep &step)
{
    m_session.run([&] {
        storeField(field);
        if (!runWork(step.work))
            return;
        if (step.to)
            focusControl(QString::fromUtf8(step.to));
    });
}

void EditorPage::focusControl(const QString &name)
{
    if (name == QLatin1String(MoveToAmount)) {
        moveToAmount();
        return;
    }
    QWidget *w = control(name);
    if (!w)
        return;
    w->setFocus();
    // A box's text is selected on entry, so that typing replaces it.
    if (auto *line = qobject_cast<QLineEdit *>(w); line && !line->isReadOnly())
        line->selectAll();
}

void EditorPage::moveToAmount()
{
    if (m_session.documents().value(DocumentColumn::Amount).isNull())
        openAmountEntry(QString());
    else
        focusControl(QStringLiteral("edit_s"));
}

void EditorPage::openAmountEntry(const QString &text)
{
    m_amountPanel->show();
    m_amountPanel->raise();
    m_amountRepeat->clear();
    m_amountFirst->setText(text);
    m_amountFirst->setFocus();
    m_amountFirst->deselect();
    m_amountFirst->setCursorPosition(text.size());
}

bool EditorPage::runWork(FieldWork work)
{
    switch (work) {
    case FieldWork::None:
        return true;
    case FieldWork::ConfirmDate:
        return confirmDate();
    case FieldWork::WriteKind:
        writeKind();
        return true;
    case FieldWork::WriteTaxType:
        return writeTaxType();
    case FieldWork::FirstAmount:
        return checkFirstAmount();
    case FieldWork::ConfirmAmount:
        return confirmAmount();
    case FieldWork::AccountLookup:
        return handleAccount();
    case FieldWork::BankLookup:
        return handleBank();
    case FieldWork::LeaveUnfinished:
        return leave(false);
    case FieldWork::LeaveFinished:
        return leave(true);
    }
    return true;
}

bool EditorPage::confirmDate()
{
    m_date->setText(DocumentEditing::ConfirmDate(m_session, m_date->text()));
    storeFields();
    return true;
}

void EditorPage::writeKind()
{
    m_session.documents().setValue(DocumentColumn::PaymentKind, QString::number(m_kinds->currentRow()));
    loadFields();
}

bool EditorPage::writeTaxType()
{
    if (m_taxTypes->currentRow() == UnifiedTaxPaymentItem) {
        storeFields();
        const QString lacking = UnifiedTaxPayment::Fill(m_session, m_general, m_bank);
        if (!lacking.isEmpty()) {
            m_session.dialogs().message(lacking);
            return false;
        }
        loadFields();
        return true;
    }
    const bool tax = m_taxTypes->currentRow() == 1;
    DocumentEditing::WritePaymentType(m_session, tax);
    if (tax) {
        // The tax panel takes the focus and leads on to the amount itself.
        emit taxPanelRequested();
        return false;
    }
    loadFields();
    return true;
}

bool EditorPage::checkFirstAmount()
{
    QString text = m_amountFirst->text();
    if (text.isEmpty())
        return false;
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    m_amountFirst->setText(text);
    if (ReadsAsAmount(text))
        return true;
    m_amountFirst->clear();
    return false;
}

bool EditorPage::confirmAmount()
{
    QString text = m_amountRepeat->text();
    if (text.isEmpty())
        return false;
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    m_amountRepeat->setText(text);
    if (!ReadsAsAmount(text)) {
        m_amountFirst->clear();
        return false;
    }
    if (text != m_amountFirst->text()) {
        // Typed again differently: the next keys overwrite the repetition.
        m_amountRepeat->selectAll();
        return false;
    }
    DocumentEditing::WriteAmount(m_session, ReadAmount(m_amountFirst->text()));
    storeFields();
    loadFields();
    return true;
}

void EditorPage::writeVatLine()
{
    DataSet &doc = m_session.documents();
    if (doc.state() != DataSet::State::Edit && doc.state() != DataSet::State::Insert)
        return;
    storeFields();
    DocumentEditing::WriteVatLine(m_session);
    loadFields();
}

bool EditorPage::pickRecipient(const QString &account)
{
    bool handled = false;
    m_session.run([&] {
        m_session.documents().setValue(DocumentColumn::RecipientAccount, account);
        loadFields();
        handled = handleAccount();
        if (handled)
            focusControl(QStringLiteral("DBE_inn"));
    });
    // The directory lies over the editor and keeps the focus: the refusal is said where he looks.
    if (!handled && !m_message->text().isEmpty())
        m_session.dialogs().message(m_message->text());
    return handled;
}

bool EditorPage::handleAccount()
{
    storeFields();
    return showLookup(RecipientLookup::FillByAccount(m_session, m_general, m_bank),
                      QStringLiteral("DBE_SCH_KT"));
}

bool EditorPage::showLookup(const RecipientLookup::Answer &answer, const QString &field)
{
    loadFields();
    if (!answer.message.isEmpty())
        m_message->setText(answer.message);
    if (!answer.goesOn || !answer.bankUsable)
        qobject_cast<QLineEdit *>(control(field))->selectAll();
    return answer.goesOn;
}

bool EditorPage::handleBank()
{
    storeFields();
    return showLookup(RecipientLookup::FillBank(m_session, m_general, m_bank, m_recipients),
                      QStringLiteral("DBE_bik"));
}

bool EditorPage::leave(bool finished)
{
    storeFields();
    if (DocumentEditing::Leave(m_session, finished) == DocumentEditing::Leaving::Closed)
        emit closed();
    return false;
}
