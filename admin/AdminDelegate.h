#pragma once

#include <QStyledItemDelegate>

// The in-place editor of grid_admin: Enter takes the typed text at once and Esc
// drops it; a message box over the window does not end the editing.
class AdminDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;
};
