#pragma once

#include "store/RowFilter.h"
#include "store/RowStore.h"
#include "store/Schema.h"
#include "store/TableQuery.h"

#include <QByteArray>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <functional>

class Database;

// The rows a statement gave, held in memory as they were read: their columns, the store
// of their cells, their order, the rows a filter lets through, and the cells of columns
// not held, read by key for the row that asks. Rows are addressed as stored rows (the
// list's order) or as visible rows (those the filter lets through).
class Snapshot
{
public:
    // Runs a statement the program built, keeping of every row only the held columns (and
    // the key and the order column) where the table has a visible key; an order by a date
    // or a number is then made in memory. Any other statement keeps every column.
    void open(Database &db, const TableQuery &query, const QStringList &held);
    // Runs a statement given as text, keeping every column it gives.
    void open(Database &db, const QString &sql, const QVariantList &values);
    void clear();

    const TableDef *table() const { return m_table; }
    const QStringList &names() const { return m_names; } // visible columns, canonical names
    int storedColumns() const { return m_storedColumns; } // visible, and a hidden key last
    ColumnKind kind(int column) const { return m_kinds.at(column); }
    int width(int column) const { return m_widths.at(column); }
    int keyColumn() const { return m_keyColumn; } // -1 when rows cannot be named
    int columnIndex(const QString &name) const;   // -1 when absent; any letter case
    // A column of the table itself that a write may name, the key excepted.
    bool isTableColumn(int column) const;
    bool holdsEveryColumn() const { return !m_slot.contains(-1); }
    bool isHeld(int column) const { return m_slot.at(column) >= 0; }

    int storedCount() const { return int(m_order.size()); }
    int visibleCount() const { return m_filtered ? int(m_view.size()) : storedCount(); }
    int storedRow(int visibleRow) const { return m_filtered ? m_view.at(visibleRow) : visibleRow; }
    int visibleRow(int storedRow) const; // -1 when filtered out

    // A cell in its raw form (CellForm); a column not held is read by key.
    QByteArrayView raw(int storedRow, int column) const;
    QVariant typed(int storedRow, int column) const;
    // Every cell of the columns not held, as read now, for an edit to compare with later.
    QVector<QByteArray> wholeRow(int storedRow) const;

    // A row's cells replaced by these typed values.
    void write(int storedRow, const QVector<QVariant> &values);
    // A new row at that place in the list's order, its cells these typed values.
    void insert(int storedRow, const QVector<QVariant> &values);
    void remove(int storedRow);

    // The first visible row, or every stored row, whose cell passes; a held column's
    // distinct values are judged once each.
    int firstVisibleMatch(int column, const std::function<bool(QByteArrayView)> &test) const;
    QVector<int> storedMatches(int column, const std::function<bool(QByteArrayView)> &test) const;

    void setFilter(const RowFilter &filter);
    const RowFilter &filter() const { return m_filter; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

private:
    struct Plan;
    void load(Database &db, const QString &sql, const QVariantList &values, const Plan *plan);
    void sortRows(Database &db, int column, bool descending);
    void rebuildView();
    void fetchWhole(quint32 record) const;

    const TableDef *m_table = nullptr;
    QStringList m_names;
    QVector<ColumnKind> m_kinds; // per stored column
    QVector<int> m_widths;       // text widths, 0 = unlimited
    int m_storedColumns = 0;
    QVector<int> m_slot;         // per stored column: its column in m_store, or -1 when read by key
    int m_keyColumn = -1;
    RowStore m_store;
    QVector<quint32> m_order;    // stored row -> record of m_store
    QVector<int> m_view;         // visible row -> stored row, while filtered
    bool m_filtered = false;
    RowFilter m_filter;

    Database *m_db = nullptr;
    mutable qint64 m_wholeRecord = -1;
    mutable QVector<QByteArray> m_whole;
};
