#pragma once

#include "tax/TaxPeriod.h"

#include <QHash>
#include <QObject>

class DataSet;
class PickList;
class QWidget;

// The period lists Lp1 to Lp5 of the tax panel: each pick writes its piece of
// P107_PERIO into the document at once, so what was composed so far is simply
// the field's content.
class TaxPeriodComposer : public QObject
{
    Q_OBJECT

public:
    TaxPeriodComposer(DataSet &document, QWidget *group);

    // Shows Lp1 on its first item with the focus.
    void open();
    PickList *list(PeriodList list) const { return m_lists.value(list); }

signals:
    // P107_PERIO holds a new piece.
    void periodWritten();
    // The year is written: on to the basis document's number.
    void completed();
    // Esc in a list: back to the field chooser, the partial text kept.
    void cancelled();
    // Page Down in Lp1.
    void amountRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void confirm(PeriodList list);
    void write(const QString &period);
    void openList(PeriodList list);

    DataSet &m_document;
    QHash<PeriodList, PickList *> m_lists;
};
