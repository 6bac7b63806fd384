#pragma once

#include "widgets/DataSetModel.h"

#include <QList>

class DataSet;

struct DirectoryColumn
{
    const char *field;
    int width; // pixels
};

// A directory list's read-only view of its query's snapshot.
class DirectoryModel : public DataSetModel
{
    Q_OBJECT

public:
    DirectoryModel(DataSet &rows, const QList<DirectoryColumn> &columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void rowsReplaced() override { resolveColumns(); }
    void resolveColumns();

    QList<DirectoryColumn> m_columns;
    QVector<int> m_fields; // data-set column per list column, -1 when the query lacks it
};
