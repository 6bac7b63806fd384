#pragma once

#include <QListWidget>

// A small list that opens in place over a field: its items side by side in one
// row (Left and Right choose) or one under another. The keys that confirm or
// leave it belong to whoever opened it.
class PickList : public QListWidget
{
    Q_OBJECT

public:
    // columns > 0: the items side by side, each as wide as one of that many
    // columns; 0: one under another.
    PickList(const QString &name, const QStringList &items, int columns, QWidget *parent = nullptr);

    // Shows the list, gives it the focus and selects the item.
    void open(int item);
    QString chosenText() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int m_columns;
};
