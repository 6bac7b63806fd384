#include "register/RegisterDelegate.h"

#include <QPainter>

void RegisterDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, selected ? option.palette.color(QPalette::Active, QPalette::Highlight) : m_background);
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    const QRect text = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->restore();
}
