#include "widgets/PickList.h"

#include <QResizeEvent>

PickList::PickList(const QString &name, const QStringList &items, int columns, QWidget *parent)
    : QListWidget(parent), m_columns(columns)
{
    setObjectName(name);
    addItems(items);
    setFlow(columns > 0 ? QListView::LeftToRight : QListView::TopToBottom);
    setWrapping(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(columns > 0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setTabKeyNavigation(false);
    // The selection stays visible whatever has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    hide();
}

void PickList::open(int item)
{
    show();
    raise();
    setCurrentRow(qBound(0, item, count() - 1));
    setFocus();
}

QString PickList::chosenText() const
{
    return currentItem() ? currentItem()->text() : QString();
}

void PickList::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    if (m_columns > 0) {
        const QSize cell(viewport()->width() / m_columns, viewport()->height());
        for (int i = 0; i < count(); ++i)
            item(i)->setSizeHint(cell);
    }
}
