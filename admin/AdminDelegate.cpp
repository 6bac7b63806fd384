#include "admin/AdminDelegate.h"
#include "admin/AdminModel.h"
#include "store/Schema.h"
#include "widgets/CharacterLimit.h"

#include <QKeyEvent>
#include <QLineEdit>

QWidget *AdminDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *box = new QLineEdit(parent);
    const QString column = AdminModel::columns().value(index.column());
    box->setObjectName(QStringLiteral("edit_") + column);
    box->setFrame(false);
    // A longer password is refused with a message, not cut short unseen; a name keeps its column's width.
    if (column == QLatin1String("LOGIN"))
        CharacterLimit::apply(box, Schema::column(*Schema::table(QStringLiteral("PARAM")), column)->width);
    return box;
}

bool AdminDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (!editor)
        return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return true;
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
