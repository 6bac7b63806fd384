#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Draws a register cell: the grid's background or the selection colour, and the
// row's text colour, 2 pixels in from the cell's corner.
class RegisterDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setBackground(const QColor &color) { m_background = color; }
    QColor background() const { return m_background; }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QColor m_background{128, 128, 128};
};
