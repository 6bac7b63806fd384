#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>

// The cells of a snapshot, kept column by column. A cell is the number of one
// of its column's values, and a value is kept once however many rows repeat it
// (dates, names, states), until a column proves to hold mostly distinct values.
// Records are only appended; a changed record gets new values, the old bytes stay
// until the store is cleared.
class RowStore
{
public:
    explicit RowStore(int columns = 0) { clear(columns); }

    void clear(int columns);
    int columnCount() const { return int(m_columns.size()); }
    quint32 recordCount() const { return m_records; }

    // A new record with every cell empty.
    quint32 append();
    void set(quint32 record, int column, QByteArrayView bytes);
    QByteArrayView cell(quint32 record, int column) const { return value(column, valueOf(record, column)); }

    // The numbers behind the cells, for a walk that judges each distinct value once.
    quint32 valueOf(quint32 record, int column) const { return m_columns.at(column).cells.at(record); }
    quint32 valueCount(int column) const { return quint32(m_columns.at(column).ends.size()); }
    QByteArrayView value(int column, quint32 number) const;

private:
    struct Column
    {
        QVector<quint32> cells;  // value number per record; 0 is the empty value
        QByteArray bytes;        // the values' bytes, one after another
        QVector<quint32> ends;   // where each value ends in bytes
        QVector<quint32> seen;  // open-addressing set of value numbers + 1, while repeats are looked for
        quint32 last = 0;        // the value set last: neighbouring rows often repeat it
        bool pooling = true;
    };
    quint32 addValue(Column &column, QByteArrayView bytes);
    quint32 pooledValue(Column &column, QByteArrayView bytes);
    static QByteArrayView bytesOf(const Column &column, quint32 number);
    static void rehash(Column &column, qsizetype size);

    QVector<Column> m_columns;
    quint32 m_records = 0;
};
