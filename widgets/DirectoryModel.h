#pragma once

#include <QAbstractTableModel>
#include <QList>

class DataSet;

struct DirectoryColumn
{
    const char *field;
    int width; // pixels
};

// A directory list's read-only view of its query's snapshot.
class DirectoryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    DirectoryModel(DataSet &rows, const QList<DirectoryColumn> &columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void resolveColumns();

    DataSet &m_rows;
    QList<DirectoryColumn> m_columns;
    QVector<int> m_fields; // data-set column per list column, -1 when the query lacks it
};
