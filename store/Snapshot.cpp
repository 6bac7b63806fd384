#include "store/Snapshot.h"

#include "store/AppError.h"
#include "store/CellForm.h"
#include "store/Database.h"
#include "store/ResultReader.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

// What a statement the program built is read as: its own columns only, in the table's order.
struct Snapshot::Plan
{
    QString sql;
    int sortColumn = -1; // of the table, for an order made in memory
    bool descending = false;
};

namespace {

QString tableOfSql(const QString &sql)
{
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(sql);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Every distinct value judged once, in the order they are kept: a walk over the
// values in memory order costs less than judging them in the list's order.
std::vector<qint8> judgedValues(const RowStore &store, int slot, const std::function<bool(QByteArrayView)> &test)
{
    const quint32 count = store.valueCount(slot);
    std::vector<qint8> judged(count);
    for (quint32 value = 0; value < count; ++value)
        judged[value] = test(store.value(slot, value)) ? 1 : 0;
    return judged;
}

} // namespace

void Snapshot::clear()
{
    m_store.clear(0);
    m_order = {};
    m_view = {};
    m_slot.clear();
    m_wholeRecord = -1;
    m_whole.clear();
    m_names.clear();
    m_kinds.clear();
    m_widths.clear();
    m_table = nullptr;
    m_keyColumn = -1;
    m_storedColumns = 0;
}

void Snapshot::open(Database &db, const TableQuery &query, const QStringList &held)
{
    const SqlStatement statement = query.statement();
    m_table = Schema::table(query.table);
    if (held.isEmpty() || !m_table || !m_table->rowKey || m_table->hiddenRowKey) {
        load(db, statement.sql, statement.values, nullptr);
        return;
    }
    QStringList wanted = held;
    wanted << QLatin1String(m_table->rowKey);
    for (const auto &[column, value] : query.equal)
        wanted << column;
    Plan plan;
    plan.descending = query.descending;
    QString order;
    const ColumnDef *orderDef = query.orderBy.isEmpty() ? nullptr : Schema::column(*m_table, query.orderBy);
    if (!query.orderBy.isEmpty()) {
        if (!orderDef) {
            load(db, statement.sql, statement.values, nullptr);
            return;
        }
        wanted << query.orderBy;
        // Text order depends on the engine's collation: that one is left to the engine.
        if (orderDef->kind == ColumnKind::Text || orderDef->kind == ColumnKind::Logical)
            order = QStringLiteral(" order by ") + QLatin1String(orderDef->name) + (query.descending ? QStringLiteral(" desc") : QString());
    }
    QStringList columns; // in the table's order
    for (int c = 0; c < m_table->columns.size(); ++c) {
        const QString name = QLatin1String(m_table->columns.at(c).name);
        if (wanted.contains(name, Qt::CaseInsensitive))
            columns << name;
        if (order.isEmpty() && orderDef && qstrcmp(orderDef->name, m_table->columns.at(c).name) == 0)
            plan.sortColumn = c;
    }
    QStringList conditions;
    for (const auto &[column, value] : query.equal)
        conditions << column + QStringLiteral("=?");
    plan.sql = QStringLiteral("select %1 from %2").arg(columns.join(QLatin1Char(',')), QLatin1String(m_table->name))
               + (conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and ")))
               + order;
    load(db, statement.sql, statement.values, &plan);
}

void Snapshot::open(Database &db, const QString &sql, const QVariantList &values)
{
    m_table = Schema::table(tableOfSql(sql));
    load(db, sql, values, nullptr);
}

void Snapshot::load(Database &db, const QString &sql, const QVariantList &values, const Plan *plan)
{
    const TableDef *table = m_table;
    clear();
    m_table = table;
    m_db = &db;
    std::unique_ptr<ResultReader> reader;
    if (plan) {
        try {
            reader = ResultReader::open(db, plan->sql, values);
        } catch (const AppError &) {
            // A table made by an older version may lack a held column: read it whole, as asked.
            plan = nullptr;
        }
    }
    if (!reader)
        reader = ResultReader::open(db, sql, values);

    const int count = reader->columnCount();
    QVector<int> readerColumns; // per held column of m_store
    if (plan) {
        // Every column of the table is offered; those not read are fetched by key.
        for (const ColumnDef &def : m_table->columns) {
            m_names << QLatin1String(def.name);
            m_kinds << def.kind;
            m_widths << def.width;
            int at = -1;
            for (int i = 0; i < count && at < 0; ++i)
                if (reader->columnName(i).compare(QLatin1String(def.name), Qt::CaseInsensitive) == 0)
                    at = i;
            m_slot << (at < 0 ? -1 : int(readerColumns.size()));
            if (at >= 0)
                readerColumns << at;
        }
        m_storedColumns = m_names.size();
        m_keyColumn = m_names.indexOf(QLatin1String(m_table->rowKey));
    } else {
        QStringList names;
        QVector<ColumnKind> kinds;
        QVector<int> widths;
        int hiddenAt = -1;
        for (int i = 0; i < count; ++i) {
            const QString name = reader->columnName(i);
            const ColumnDef *def = m_table ? Schema::column(*m_table, name) : nullptr;
            if (def) {
                names << QLatin1String(def->name);
                kinds << def->kind;
                widths << def->width;
                if (m_table->hiddenRowKey && qstrcmp(def->name, m_table->rowKey) == 0)
                    hiddenAt = i;
            } else {
                names << name.toUpper();
                kinds << reader->reportedKind(i);
                widths << 0;
            }
        }
        // The hidden key is kept as the last stored column, out of the caller's sight.
        for (int i = 0; i < count; ++i)
            if (i != hiddenAt)
                readerColumns << i;
        if (hiddenAt >= 0)
            readerColumns << hiddenAt;
        for (int i : readerColumns) {
            m_slot << int(m_slot.size());
            m_kinds << kinds.at(i);
            m_widths << widths.at(i);
            if (i != hiddenAt)
                m_names << names.at(i);
        }
        m_storedColumns = readerColumns.size();
        if (m_table && m_table->rowKey) {
            if (hiddenAt >= 0)
                m_keyColumn = m_storedColumns - 1;
            else if (!m_table->hiddenRowKey)
                m_keyColumn = m_names.indexOf(QLatin1String(m_table->rowKey));
        }
    }

    const int held = readerColumns.size();
    QVector<ColumnKind> heldKinds(held);
    for (int c = 0; c < m_storedColumns; ++c)
        if (m_slot.at(c) >= 0)
            heldKinds[m_slot.at(c)] = m_kinds.at(c);
    m_store.clear(held);
    QByteArray cell;
    while (reader->next()) {
        const quint32 record = m_store.append();
        for (int h = 0; h < held; ++h) {
            // A null and an empty text both leave the cell without bytes.
            const QByteArrayView text = reader->text(readerColumns.at(h));
            if (text.isEmpty())
                continue;
            if (heldKinds.at(h) == ColumnKind::Text) {
                m_store.set(record, h, text);
                continue;
            }
            cell.resize(0); // keeps its buffer: no allocation per cell
            CellForm::appendFromEngine(cell, heldKinds.at(h), text);
            m_store.set(record, h, cell);
        }
    }
    reader.reset();
    m_order.resize(qsizetype(m_store.recordCount()));
    for (quint32 r = 0; r < m_store.recordCount(); ++r)
        m_order[r] = r;
    if (plan && plan->sortColumn >= 0)
        sortRows(db, plan->sortColumn, plan->descending);
    rebuildView();
}

void Snapshot::sortRows(Database &db, int c, bool descending)
{
    // Where the engines differ, the list follows its own: SQLite puts a null before
    // every value, PostgreSQL after. Rows of one value keep the order an index walk gives them:
    // as read when ascending, reversed when descending.
    const double null = db.dialect().engine() == Engine::PostgreSQL ? std::numeric_limits<double>::infinity()
                                                                     : -std::numeric_limits<double>::infinity();
    const int slot = m_slot.at(c);
    const ColumnKind kind = m_kinds.at(c);
    const quint32 values = m_store.valueCount(slot);
    const auto before = [descending](double a, double b) { return descending ? a > b : a < b; };
    if (values <= quint32(m_order.size()) / 4) {
        // Few distinct values (dates): rank them, then place the rows by rank in one pass.
        std::vector<double> keys(values);
        std::vector<quint32> byKey(values);
        for (quint32 v = 0; v < values; ++v) {
            keys[v] = CellForm::sortKey(kind, m_store.value(slot, v), null);
            byKey[v] = v;
        }
        std::sort(byKey.begin(), byKey.end(), [&](quint32 a, quint32 b) { return before(keys[a], keys[b]); });
        std::vector<quint32> rank(values);
        quint32 ranks = 0;
        for (quint32 i = 0; i < values; ++i) {
            if (i > 0 && keys[byKey[i]] != keys[byKey[i - 1]])
                ++ranks;
            rank[byKey[i]] = ranks;
        }
        std::vector<qsizetype> start(ranks + 2, 0);
        for (quint32 record : std::as_const(m_order))
            ++start[rank[m_store.valueOf(record, slot)] + 1];
        for (quint32 r = 1; r < ranks + 2; ++r)
            start[r] += start[r - 1];
        QVector<quint32> sorted(m_order.size());
        const qsizetype n = m_order.size();
        for (qsizetype i = 0; i < n; ++i) {
            const quint32 record = m_order.at(descending ? n - 1 - i : i);
            sorted[start[rank[m_store.valueOf(record, slot)]]++] = record;
        }
        m_order = sorted;
        return;
    }
    struct Entry
    {
        double key;
        quint32 record;
    };
    std::vector<Entry> entries;
    entries.reserve(m_order.size());
    for (quint32 record : std::as_const(m_order))
        entries.push_back({CellForm::sortKey(kind, m_store.cell(record, slot), null), record});
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        if (a.key != b.key)
            return before(a.key, b.key);
        return descending ? a.record > b.record : a.record < b.record;
    });
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i)
        m_order[i] = entries[i].record;
}

int Snapshot::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Snapshot::isTableColumn(int c) const
{
    return m_table && c < m_names.size() && c != m_keyColumn && Schema::column(*m_table, m_names.at(c));
}

int Snapshot::visibleRow(int stored) const
{
    return m_filtered ? int(m_view.indexOf(stored)) : stored;
}

QByteArrayView Snapshot::raw(int stored, int column) const
{
    const int slot = m_slot.at(column);
    if (slot >= 0)
        return m_store.cell(m_order.at(stored), slot);
    fetchWhole(m_order.at(stored));
    return m_whole.at(column);
}

QVariant Snapshot::typed(int stored, int column) const
{
    return CellForm::typed(m_kinds.at(column), QString::fromUtf8(raw(stored, column)));
}

QVector<QByteArray> Snapshot::wholeRow(int stored) const
{
    if (holdsEveryColumn())
        return {};
    fetchWhole(m_order.at(stored));
    return m_whole;
}

void Snapshot::fetchWhole(quint32 record) const
{
    if (m_wholeRecord == qint64(record))
        return;
    const ColumnKind keyKind = m_kinds.at(m_keyColumn);
    const QVariant key = m_db->dialect().toDb(
        keyKind, CellForm::typed(keyKind, QString::fromUtf8(m_store.cell(record, m_slot.at(m_keyColumn)))));
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        *m_db, QStringLiteral("select * from %1 where %2=?").arg(QLatin1String(m_table->name), QLatin1String(m_table->rowKey)),
        {key});
    QVector<QByteArray> whole(m_storedColumns);
    // A row deleted on another computer since the list was read shows empty here;
    // writing it is refused.
    if (reader->next()) {
        for (int i = 0; i < reader->columnCount(); ++i) {
            const int c = columnIndex(reader->columnName(i));
            const QByteArrayView text = reader->text(i);
            if (c >= 0 && !text.isEmpty())
                CellForm::appendFromEngine(whole[c], m_kinds.at(c), text);
        }
    }
    m_whole = whole;
    m_wholeRecord = record;
}

void Snapshot::write(int stored, const QVector<QVariant> &values)
{
    const quint32 record = m_order.at(stored);
    QVector<QByteArray> whole(m_storedColumns);
    for (int c = 0; c < m_storedColumns; ++c) {
        const QByteArray raw = CellForm::raw(m_kinds.at(c), values.at(c)).toUtf8();
        if (m_slot.at(c) >= 0)
            m_store.set(record, m_slot.at(c), raw);
        else
            whole[c] = raw;
    }
    if (holdsEveryColumn())
        return;
    m_whole = whole;
    m_wholeRecord = record;
}

void Snapshot::insert(int stored, const QVector<QVariant> &values)
{
    const int at = qBound(0, stored, storedCount());
    m_order.insert(at, m_store.append());
    write(at, values);
    rebuildView();
}

void Snapshot::remove(int stored)
{
    if (m_wholeRecord == qint64(m_order.at(stored)))
        m_wholeRecord = -1;
    m_order.removeAt(stored);
    rebuildView();
}

int Snapshot::firstVisibleMatch(int c, const std::function<bool(QByteArrayView)> &test) const
{
    const int n = visibleCount();
    const int slot = m_slot.at(c);
    if (slot < 0) {
        for (int row = 0; row < n; ++row)
            if (test(raw(storedRow(row), c)))
                return row;
        return -1;
    }
    const std::vector<qint8> judged = judgedValues(m_store, slot, test);
    for (int row = 0; row < n; ++row)
        if (judged[m_store.valueOf(m_order.at(storedRow(row)), slot)])
            return row;
    return -1;
}

QVector<int> Snapshot::storedMatches(int c, const std::function<bool(QByteArrayView)> &test) const
{
    QVector<int> rows;
    const int n = storedCount();
    const int slot = m_slot.at(c);
    if (slot < 0) {
        for (int row = 0; row < n; ++row)
            if (test(raw(row, c)))
                rows << row;
        return rows;
    }
    const std::vector<qint8> judged = judgedValues(m_store, slot, test);
    for (int row = 0; row < n; ++row)
        if (judged[m_store.valueOf(m_order.at(row), slot)])
            rows << row;
    return rows;
}

void Snapshot::setFilter(const RowFilter &filter)
{
    m_filter = filter;
    rebuildView();
}

void Snapshot::setFiltered(bool on)
{
    m_filtered = on;
    rebuildView();
}

void Snapshot::rebuildView()
{
    m_view.clear();
    if (!m_filtered || m_filter.isEmpty())
        return;
    // Columns are resolved here: a reopened query may list them elsewhere.
    const int column = columnIndex(m_filter.column());
    if (column < 0)
        return;
    m_filter.prepare(m_kinds.at(column));
    m_view = storedMatches(column, [this](QByteArrayView raw) { return m_filter.passes(raw); });
}
