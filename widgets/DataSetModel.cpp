#include "widgets/DataSetModel.h"
#include "store/DataSet.h"

DataSetModel::DataSetModel(DataSet &rows, QObject *parent) : QAbstractTableModel(parent), m_rows(rows)
{
    connect(&m_rows, &DataSet::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_rows, &DataSet::reset, this, [this] {
        rowsReplaced();
        endResetModel();
    });
    connect(&m_rows, &DataSet::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}
