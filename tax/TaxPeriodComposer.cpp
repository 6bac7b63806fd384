#include "tax/TaxPeriodComposer.h"
#include "store/Clock.h"
#include "store/DataSet.h"
#include "widgets/ListKeys.h"
#include "widgets/PanelHider.h"
#include "widgets/PickList.h"

#include <QKeyEvent>

namespace {

const QString periodColumn = QStringLiteral("P107_PERIO");

} // namespace

TaxPeriodComposer::TaxPeriodComposer(DataSet &document, QWidget *group) : QObject(group), m_document(document)
{
    for (PeriodList l : {PeriodList::Kind, PeriodList::Month, PeriodList::Year, PeriodList::Quarter, PeriodList::HalfYear}) {
        auto *list = new PickList(periodListName(l), periodListItems(l, Clock::today()), 0, group);
        list->setFocusPolicy(Qt::ClickFocus);
        list->installEventFilter(this);
        PanelHider::watch(list);
        m_lists.insert(l, list);
    }
}

void TaxPeriodComposer::open()
{
    openList(PeriodList::Kind);
}

void TaxPeriodComposer::openList(PeriodList l)
{
    PickList *list = m_lists.value(l);
    const QDate today = Clock::today();
    // The years follow today's date, which may have moved on since the last opening.
    if (l == PeriodList::Year) {
        list->clear();
        list->addItems(periodListItems(l, today));
    }
    list->open(periodOpeningItem(l, today));
}

bool TaxPeriodComposer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const PeriodList l = m_lists.key(static_cast<PickList *>(watched));
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm(l);
        return true;
    case Qt::Key_Escape:
        emit cancelled();
        return true;
    case Qt::Key_PageDown:
        if (l != PeriodList::Kind)
            return false;
        emit amountRequested();
        return true;
    default:
        // F5 and letters do nothing here; the arrows and pages move the choice.
        return !IsListMovementKey(key->key());
    }
}

void TaxPeriodComposer::confirm(PeriodList l)
{
    PickList *list = m_lists.value(l);
    const int row = list->currentRow();
    if (row < 0 || !list->currentItem())
        return;
    switch (l) {
    case PeriodList::Kind: {
        const PeriodKind &kind = periodKinds().at(row);
        write(QString::fromUtf8(kind.written));
        openList(kind.next);
        return;
    }
    case PeriodList::Month:
    case PeriodList::Quarter:
    case PeriodList::HalfYear:
        write(m_document.text(periodColumn) + list->chosenText() + QLatin1Char('.'));
        openList(PeriodList::Year);
        return;
    case PeriodList::Year:
        write(m_document.text(periodColumn) + list->chosenText());
        emit completed();
        return;
    }
}

void TaxPeriodComposer::write(const QString &period)
{
    m_document.edit();
    m_document.setValue(periodColumn, period);
    emit periodWritten();
}
