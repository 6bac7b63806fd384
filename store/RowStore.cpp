#include "store/RowStore.h"
#include "store/AppError.h"

#include <QHashFunctions>

namespace {
// A column with more distinct values than this is taken for one of identifiers
// or amounts: looking for repeats would cost more than it saves.
constexpr quint32 poolLimit = 1u << 16;
}

void RowStore::clear(int columns)
{
    m_columns = QVector<Column>(columns);
    for (Column &c : m_columns)
        c.ends << 0; // value 0: the empty cell
    m_records = 0;
}

quint32 RowStore::append()
{
    for (Column &c : m_columns)
        c.cells.append(0);
    return m_records++;
}

QByteArrayView RowStore::bytesOf(const Column &c, quint32 number)
{
    const quint32 begin = number == 0 ? 0 : c.ends.at(number - 1);
    return QByteArrayView(c.bytes.constData() + begin, c.ends.at(number) - begin);
}

QByteArrayView RowStore::value(int column, quint32 number) const
{
    return bytesOf(m_columns.at(column), number);
}

void RowStore::set(quint32 record, int column, QByteArrayView bytes)
{
    Column &c = m_columns[column];
    if (bytes.isEmpty()) {
        c.cells[record] = 0;
        return;
    }
    if (c.pooling && c.last != 0 && bytesOf(c, c.last) == bytes) {
        c.cells[record] = c.last;
        return;
    }
    c.last = c.pooling ? pooledValue(c, bytes) : addValue(c, bytes);
    c.cells[record] = c.last;
}

quint32 RowStore::addValue(Column &column, QByteArrayView bytes)
{
    if (quint64(column.bytes.size()) + quint64(bytes.size()) > 0xffffffffu)
        throw AppError(QStringLiteral("Выборка не помещается в память: столбец длиннее 4 ГБ"));
    column.bytes.append(bytes);
    column.ends.append(quint32(column.bytes.size()));
    return quint32(column.ends.size() - 1);
}

quint32 RowStore::pooledValue(Column &column, QByteArrayView bytes)
{
    if (column.seen.isEmpty())
        rehash(column, 1024);
    const qsizetype mask = column.seen.size() - 1;
    qsizetype at = qsizetype(qHash(bytes)) & mask;
    for (; column.seen.at(at) != 0; at = (at + 1) & mask)
        if (bytesOf(column, column.seen.at(at) - 1) == bytes)
            return column.seen.at(at) - 1;
    const quint32 number = addValue(column, bytes);
    if (number >= poolLimit) {
        column.pooling = false;
        column.seen = {};
    } else if (2 * qsizetype(number) > column.seen.size()) {
        rehash(column, column.seen.size() * 2);
    } else {
        column.seen[at] = number + 1; // the free place the search ended on
    }
    return number;
}

void RowStore::rehash(Column &column, qsizetype size)
{
    column.seen = QVector<quint32>(size, 0);
    const qsizetype mask = size - 1;
    for (quint32 number = 1; number < quint32(column.ends.size()); ++number) {
        qsizetype at = qsizetype(qHash(bytesOf(column, number))) & mask;
        while (column.seen.at(at) != 0)
            at = (at + 1) & mask;
        column.seen[at] = number + 1;
    }
}
