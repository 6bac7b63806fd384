#include "widgets/DirectoryModel.h"
#include "store/DataSet.h"

DirectoryModel::DirectoryModel(DataSet &rows, const QList<DirectoryColumn> &columns, QObject *parent)
    : DataSetModel(rows, parent), m_columns(columns)
{
    resolveColumns();
}

void DirectoryModel::resolveColumns()
{
    m_fields.clear();
    for (const DirectoryColumn &c : m_columns)
        m_fields << m_rows.columnIndex(QLatin1String(c.field));
}

int DirectoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows.isOpen() ? 0 : m_rows.recordCount();
}

int DirectoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DirectoryModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const int c = m_fields.value(index.column(), -1);
    // Every directory column is text, shown as stored.
    return c < 0 ? QString() : m_rows.rawAt(index.row(), c);
}

QVariant DirectoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return QLatin1String(m_columns.at(section).field);
    return {};
}
