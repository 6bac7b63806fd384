#include "store/DataSet.h"
#include "store/AppError.h"
#include "store/Clock.h"
#include "store/Database.h"
#include "store/ResultReader.h"
#include "store/DateText.h"
#include "store/SqlText.h"
#include "store/TextWidth.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>
#include <cmath>
#include <QRegularExpression>
#include <QSqlQuery>

struct DataSet::Filter
{
    QString columnName;
    int column = -1;
    bool numeric = false;
    bool valid = true;
    QString text;
    QByteArray bytes; // text as stored
    double number = 0;
};

struct DataSet::Plan
{
    QString sql;            // the statement to run; empty for m_sql itself
    int sortColumn = -1;    // of the table, for an order made in memory
    bool descending = false;
};

namespace {

QString rawOf(ColumnKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Text:
        return value.toString();
    case ColumnKind::Date: {
        const QDate d = value.toDate();
        return d.isValid() ? d.toString(Qt::ISODate) : QString();
    }
    case ColumnKind::Number:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case ColumnKind::Logical:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case ColumnKind::Integer:
        return QString::number(value.toLongLong());
    }
    return value.toString();
}

QVariant typedOf(ColumnKind kind, const QString &raw)
{
    if (kind == ColumnKind::Text)
        return raw;
    if (raw.isEmpty())
        return {};
    switch (kind) {
    case ColumnKind::Date:
        return QDate::fromString(raw, Qt::ISODate);
    case ColumnKind::Number:
        return raw.toDouble();
    case ColumnKind::Logical:
        return raw == QLatin1String("1");
    case ColumnKind::Integer:
        return raw.toLongLong();
    case ColumnKind::Text:
        break;
    }
    return raw;
}

// Brings an engine's text form to the snapshot's raw form: ISO dates, a point
// in numbers, "1" and "0" for logicals.
void appendRaw(QByteArray &row, ColumnKind kind, QByteArrayView text)
{
    switch (kind) {
    case ColumnKind::Date:
        row.append(text.first(qMin<qsizetype>(10, text.size())));
        return;
    case ColumnKind::Logical:
        row.append(!text.isEmpty() && QByteArrayView("1tTyY").contains(text.at(0)) ? '1' : '0');
        return;
    case ColumnKind::Number: {
        // One spelling for every engine: the shortest digits that read back the same.
        double value = 0;
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
        if (parsed.ec != std::errc()) {
            row.append(text);
            return;
        }
        char buffer[400];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        row.append(buffer, written.ptr - buffer);
        return;
    }
    default:
        row.append(text);
        return;
    }
}

// A number that orders like the cell: dates as yyyymmdd, numbers as they are.
double sortKey(ColumnKind kind, QByteArrayView raw, double null)
{
    if (raw.isEmpty())
        return null;
    if (kind == ColumnKind::Date) {
        int year = 0, month = 0, day = 0;
        const char *end = raw.data() + raw.size();
        auto p = std::from_chars(raw.data(), end, year);
        if (p.ptr < end)
            p = std::from_chars(p.ptr + 1, end, month);
        if (p.ptr < end)
            std::from_chars(p.ptr + 1, end, day);
        return year * 10000.0 + month * 100 + day;
    }
    double value = 0;
    std::from_chars(raw.data(), raw.data() + raw.size(), value);
    return value;
}

QString tableOfSql(const QString &sql)
{
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(sql);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

DataSet::DataSet(Database &db, QObject *parent) : QObject(parent), m_db(db) {}

DataSet::~DataSet()
{
    delete m_filter;
}

void DataSet::close()
{
    const bool wasOpen = m_state != State::Inactive;
    m_state = State::Inactive;
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
    m_current = -1;
    m_eof = true;
    m_buffer.clear();
    m_editWhole.clear();
    m_editRow = -1;
    if (wasOpen)
        emit reset();
}

void DataSet::setSql(const QString &sql, const QVariantList &values)
{
    if (m_state != State::Inactive)
        close();
    m_sql = sql;
    m_values = values;
}

QString DataSet::statementText() const
{
    return inlineValues(m_sql, m_values);
}

DataSet::Plan DataSet::plan() const
{
    Plan plan;
    if (m_held.isEmpty() || !m_table || !m_table->rowKey || m_table->hiddenRowKey)
        return plan;
    // The shape the program writes for its lists; anything else runs as it stands.
    static const QRegularExpression shape(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)((?:\\s+where\\s.*?)?)"
                       "(?:\\s+order\\s+by\\s+([A-Za-z_][A-Za-z0-9_]*)(\\s+desc|\\s+asc)?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = shape.match(m_sql);
    if (!match.hasMatch() || match.captured(1).compare(QLatin1String(m_table->name), Qt::CaseInsensitive) != 0)
        return plan;
    QStringList wanted = m_held;
    wanted << QLatin1String(m_table->rowKey);
    QString order;
    const QString orderName = match.captured(3);
    const bool descending = match.captured(4).trimmed().compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
    if (!orderName.isEmpty()) {
        const ColumnDef *def = Schema::column(*m_table, orderName);
        if (!def)
            return plan;
        wanted << orderName;
        // Text order depends on the engine's collation: that one is left to the engine.
        if (def->kind == ColumnKind::Text || def->kind == ColumnKind::Logical)
            order = QStringLiteral(" order by ") + orderName + (descending ? QStringLiteral(" desc") : QString());
    }
    for (const QString &name : wanted)
        if (!Schema::column(*m_table, name))
            return plan;
    QStringList columns; // in the table's order
    for (int c = 0; c < m_table->columns.size(); ++c) {
        const QString name = QLatin1String(m_table->columns.at(c).name);
        if (wanted.contains(name, Qt::CaseInsensitive))
            columns << name;
        if (order.isEmpty() && name.compare(orderName, Qt::CaseInsensitive) == 0)
            plan.sortColumn = c;
    }
    plan.descending = descending;
    plan.sql = QStringLiteral("select %1 from %2%3%4")
                   .arg(columns.join(QLatin1Char(',')), QLatin1String(m_table->name), match.captured(2), order);
    return plan;
}

void DataSet::open()
{
    if (m_state != State::Inactive)
        close();
    m_table = Schema::table(tableOfSql(m_sql));
    Plan plan = this->plan();
    std::unique_ptr<ResultReader> reader;
    if (!plan.sql.isEmpty()) {
        try {
            reader = ResultReader::open(m_db, plan.sql, m_values);
        } catch (const AppError &) {
            // A table made by an older version may lack a held column: read it whole, as asked.
            plan = Plan();
        }
    }
    if (!reader)
        reader = ResultReader::open(m_db, m_sql, m_values);

    const int count = reader->columnCount();
    m_names.clear();
    m_kinds.clear();
    m_widths.clear();
    m_slot.clear();
    QVector<int> readerColumns; // per held column of m_store
    m_keyColumn = -1;
    if (!plan.sql.isEmpty()) {
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
            appendRaw(cell, heldKinds.at(h), text);
            m_store.set(record, h, cell);
        }
    }
    reader.reset();
    m_order.resize(qsizetype(m_store.recordCount()));
    for (quint32 r = 0; r < m_store.recordCount(); ++r)
        m_order[r] = r;
    if (plan.sortColumn >= 0)
        sortRows(plan.sortColumn, plan.descending);

    m_state = State::Browse;
    rebuildView();
    m_current = recordCount() > 0 ? 0 : -1;
    m_eof = m_current < 0;
    emit reset();
}

void DataSet::sortRows(int c, bool descending)
{
    // Where the engines differ, the list follows its own: SQLite puts a null before
    // every value, PostgreSQL after. Rows of one value keep the order an index walk gives them:
    // as read when ascending, reversed when descending.
    const double null = m_db.dialect().engine() == Engine::PostgreSQL ? std::numeric_limits<double>::infinity()
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
            keys[v] = sortKey(kind, m_store.value(slot, v), null);
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
        entries.push_back({sortKey(kind, m_store.cell(record, slot), null), record});
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        if (a.key != b.key)
            return before(a.key, b.key);
        return descending ? a.record > b.record : a.record < b.record;
    });
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i)
        m_order[i] = entries[i].record;
}

int DataSet::recordCount() const
{
    return m_filtered ? m_view.size() : m_order.size();
}

int DataSet::storeRow(int visibleRow) const
{
    return m_filtered ? m_view.at(visibleRow) : visibleRow;
}

int DataSet::visibleRow(int stored) const
{
    return m_filtered ? int(m_view.indexOf(stored)) : stored;
}

void DataSet::postPending()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
}

void DataSet::setRecNo(int row)
{
    postPending();
    if (row < 0 || row >= recordCount())
        return;
    m_current = row;
    m_eof = false;
    emit currentMoved(row);
}

void DataSet::first()
{
    postPending();
    m_current = recordCount() > 0 ? 0 : -1;
    m_eof = m_current < 0;
}

void DataSet::next()
{
    postPending();
    if (m_current + 1 < recordCount())
        ++m_current;
    else
        m_eof = true;
}

bool DataSet::locate(const QString &columnName, const QString &prefix, Qt::CaseSensitivity cs)
{
    postPending();
    const int c = column(columnName);
    const ColumnKind kind = m_kinds.at(c);
    int row = -1;
    if (kind == ColumnKind::Date || kind == ColumnKind::Logical) {
        row = firstMatch(c, [&](QByteArrayView raw) {
            return textOf(kind, typedOf(kind, QString::fromUtf8(raw))).startsWith(prefix, cs);
        });
    } else {
        // Text and numbers are matched on the stored bytes: this runs after every
        // key typed into the search box, over the whole register.
        QString wanted = prefix;
        if (kind == ColumnKind::Number)
            wanted.replace(QLatin1Char(','), QLatin1Char('.'));
        const QByteArray bytes = wanted.toUtf8();
        bool letters = false;
        for (const QChar ch : wanted)
            letters = letters || ch.isLetter();
        const bool exact = cs == Qt::CaseSensitive || !letters;
        row = firstMatch(c, [&](QByteArrayView value) {
            // A letter and its other case may differ in UTF-8 length (ß and ẞ): compare characters, not bytes.
            return exact ? value.startsWith(bytes)
                         : QString::fromUtf8(value.first(qMin(value.size(), 4 * wanted.size()))).startsWith(wanted, cs);
        });
    }
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

namespace {

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

int DataSet::firstMatch(int c, const std::function<bool(QByteArrayView)> &test) const
{
    const int n = recordCount();
    const int slot = m_slot.at(c);
    if (slot < 0) {
        for (int row = 0; row < n; ++row)
            if (test(rawBytes(storeRow(row), c)))
                return row;
        return -1;
    }
    const std::vector<qint8> judged = judgedValues(m_store, slot, test);
    for (int row = 0; row < n; ++row)
        if (judged[m_store.valueOf(m_order.at(storeRow(row)), slot)])
            return row;
    return -1;
}

QVector<int> DataSet::storedMatches(int c, const std::function<bool(QByteArrayView)> &test) const
{
    QVector<int> rows;
    const int n = int(m_order.size());
    const int slot = m_slot.at(c);
    if (slot < 0) {
        for (int row = 0; row < n; ++row)
            if (test(rawBytes(row, c)))
                rows << row;
        return rows;
    }
    const std::vector<qint8> judged = judgedValues(m_store, slot, test);
    for (int row = 0; row < n; ++row)
        if (judged[m_store.valueOf(m_order.at(row), slot)])
            rows << row;
    return rows;
}

int DataSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSet::column(const QString &name) const
{
    const int c = columnIndex(name);
    if (c < 0)
        throw AppError(QStringLiteral("Поле %1 не найдено").arg(name));
    return c;
}

QByteArrayView DataSet::rawBytes(int stored, int columnIndex) const
{
    const int slot = m_slot.at(columnIndex);
    if (slot >= 0)
        return m_store.cell(m_order.at(stored), slot);
    return lazyBytes(stored, columnIndex);
}

QByteArrayView DataSet::lazyBytes(int stored, int columnIndex) const
{
    if (stored == m_editRow && !m_editWhole.isEmpty())
        return m_editWhole.at(columnIndex);
    fetchWhole(m_order.at(stored));
    return m_whole.at(columnIndex);
}

void DataSet::fetchWhole(quint32 record) const
{
    if (m_wholeRecord == qint64(record))
        return;
    const ColumnKind keyKind = m_kinds.at(m_keyColumn);
    const QVariant key = m_db.dialect().toDb(
        keyKind, typedOf(keyKind, QString::fromUtf8(m_store.cell(record, m_slot.at(m_keyColumn)))));
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        m_db, QStringLiteral("select * from %1 where %2=?").arg(QLatin1String(m_table->name), QLatin1String(m_table->rowKey)),
        {key});
    QVector<QByteArray> whole(m_storedColumns);
    // A row deleted on another computer since the list was read shows empty here;
    // writing it is refused.
    if (reader->next()) {
        for (int i = 0; i < reader->columnCount(); ++i) {
            const int c = columnIndex(reader->columnName(i));
            const QByteArrayView text = reader->text(i);
            if (c >= 0 && !text.isEmpty())
                appendRaw(whole[c], m_kinds.at(c), text);
        }
    }
    m_whole = whole;
    m_wholeRecord = record;
}

QString DataSet::rawAt(int row, int columnIndex) const
{
    return QString::fromUtf8(rawBytes(storeRow(row), columnIndex));
}

QVariant DataSet::decode(int stored, int columnIndex) const
{
    return typedOf(m_kinds.at(columnIndex), QString::fromUtf8(rawBytes(stored, columnIndex)));
}

QVariant DataSet::valueAt(int row, int columnIndex) const
{
    return decode(storeRow(row), columnIndex);
}

void DataSet::requireCurrent() const
{
    if (m_state == State::Inactive)
        throw AppError(QStringLiteral("Набор данных закрыт"));
    if (m_state != State::Insert && (m_current < 0 || m_current >= recordCount()))
        throw AppError(QStringLiteral("Нет текущей записи"));
}

QVariant DataSet::value(int c) const
{
    requireCurrent();
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.at(c);
    return decode(storeRow(m_current), c);
}

QVariant DataSet::value(const QString &name) const
{
    return value(column(name));
}

QString DataSet::textOf(ColumnKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Text:
        return value.toString();
    case ColumnKind::Date:
        return WriteDateText(value.toDate());
    case ColumnKind::Number:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest)
            .replace(QLatin1Char('.'), QLatin1Char(','));
    case ColumnKind::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnKind::Integer:
        return QString::number(value.toLongLong());
    }
    return value.toString();
}

QString DataSet::text(int c) const
{
    return textOf(m_kinds.at(c), value(c));
}

QString DataSet::text(const QString &name) const
{
    return text(column(name));
}

double DataSet::number(const QString &name) const
{
    const int c = column(name);
    if (isNull(name))
        throw AppError(QStringLiteral("Пустое значение не является числом: поле %1").arg(m_names.at(c)));
    const QVariant v = value(c);
    if (m_kinds.at(c) == ColumnKind::Number || m_kinds.at(c) == ColumnKind::Integer)
        return v.toDouble();
    bool ok = false;
    const QString t = v.toString().trimmed();
    const double d = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw AppError(QStringLiteral("\"%1\" не является числом: поле %2").arg(t, m_names.at(c)));
    return d;
}

bool DataSet::isNull(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (!v.isValid() || v.isNull())
        return true;
    return m_kinds.at(c) == ColumnKind::Text && v.toString().trimmed().isEmpty();
}

bool DataSet::logical(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (m_kinds.at(c) == ColumnKind::Logical)
        return v.toBool();
    const QString t = v.toString().trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("1");
}

QDate DataSet::date(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (m_kinds.at(c) == ColumnKind::Date)
        return v.toDate();
    return ReadDateText(v.toString(), Clock::today());
}

void DataSet::requireEditing() const
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw AppError(QStringLiteral("Запись не в режиме правки"));
}

void DataSet::requireRowKey() const
{
    if (m_keyColumn >= 0)
        return;
    if (m_table && m_table->hiddenRowKey)
        throw AppError(QStringLiteral("Строку таблицы %1 нельзя изменить: в выборке нет столбца %2. "
                                      "Если его нет и в таблице, выполните payorders init: "
                                      "он добавит столбец, сохранив все строки.")
                           .arg(QLatin1String(m_table->name), QLatin1String(m_table->rowKey)));
    throw AppError(QStringLiteral("Набор данных только для чтения: %1").arg(m_sql));
}

void DataSet::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    requireCurrent();
    requireRowKey();
    // The edit belongs to this stored row, wherever the cursor goes.
    m_editRow = storeRow(m_current);
    if (m_slot.contains(-1)) {
        // The columns not held are taken as read now, for the post to compare with.
        fetchWhole(m_order.at(m_editRow));
        m_editWhole = m_whole;
    }
    m_buffer.resize(m_storedColumns);
    for (int c = 0; c < m_storedColumns; ++c)
        m_buffer[c] = decode(m_editRow, c);
    m_changed = QBitArray(m_storedColumns);
    m_state = State::Edit;
}

void DataSet::insert()
{
    if (m_state == State::Inactive)
        throw AppError(QStringLiteral("Набор данных закрыт"));
    postPending();
    requireRowKey();
    m_buffer = QVector<QVariant>(m_storedColumns);
    for (int c = 0; c < m_storedColumns; ++c)
        if (m_kinds.at(c) == ColumnKind::Text)
            m_buffer[c] = QString();
    m_changed = QBitArray(m_storedColumns);
    m_insertAt = m_current < 0 ? 0 : storeRow(m_current);
    m_state = State::Insert;
}

void DataSet::setValue(int c, const QVariant &value)
{
    requireEditing();
    if (c < 0 || c >= m_names.size())
        throw AppError(QStringLiteral("Нет поля номер %1").arg(c));
    QVariant v = value;
    const ColumnKind kind = m_kinds.at(c);
    if (kind == ColumnKind::Text) {
        QString t = v.isNull() ? QString() : v.toString();
        if (m_widths.at(c) > 0)
            t = leftCharacters(t, m_widths.at(c));
        v = t;
    } else if (v.typeId() == QMetaType::QString) {
        setText(m_names.at(c), v.toString());
        return;
    }
    checkValue(c, v);
    m_buffer[c] = v;
    m_changed.setBit(c);
}

void DataSet::checkValue(int c, const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return;
    switch (m_kinds.at(c)) {
    case ColumnKind::Number:
    case ColumnKind::Integer:
        if (!std::isfinite(v.toDouble()))
            throw AppError(QStringLiteral("Поле %1 не принимает значение %2: нужно конечное число")
                               .arg(m_names.value(c), QString::number(v.toDouble())));
        return;
    case ColumnKind::Date: {
        const QDate d = v.toDate();
        if (d.isValid() && (d.year() < 1 || d.year() > 9999))
            throw AppError(QStringLiteral("Поле %1 не принимает дату %2: год должен быть от 1 до 9999")
                               .arg(m_names.value(c), d.toString(QStringLiteral("dd.MM.yyyy"))));
        return;
    }
    default:
        return;
    }
}

void DataSet::setValue(const QString &name, const QVariant &value)
{
    setValue(column(name), value);
}

void DataSet::setText(const QString &name, const QString &text)
{
    requireEditing();
    const int c = column(name);
    const ColumnKind kind = m_kinds.at(c);
    const QString t = text.trimmed();
    QVariant v;
    switch (kind) {
    case ColumnKind::Text:
        setValue(c, text);
        return;
    case ColumnKind::Date:
        if (!t.isEmpty())
            v = ReadDateText(t, Clock::today());
        break;
    case ColumnKind::Number:
    case ColumnKind::Integer:
        if (!t.isEmpty()) {
            bool ok = false;
            const double d = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (!ok)
                throw AppError(QStringLiteral("\"%1\" не является числом").arg(text));
            checkValue(c, d); // before an infinity is turned into a whole number
            v = kind == ColumnKind::Number ? QVariant(d) : QVariant(qint64(d));
        }
        break;
    case ColumnKind::Logical:
        if (!t.isEmpty()) {
            const QString l = t.toLower();
            if (l == QLatin1String("true") || l == QLatin1String("1"))
                v = true;
            else if (l == QLatin1String("false") || l == QLatin1String("0"))
                v = false;
            else
                throw AppError(QStringLiteral("\"%1\" не является логическим значением").arg(text));
        }
        break;
    }
    checkValue(c, v);
    m_buffer[c] = v;
    m_changed.setBit(c);
}

QVariant DataSet::keyValue(int stored) const
{
    return decode(stored, m_keyColumn);
}

void DataSet::writeRow(int stored, const QVector<QVariant> &values)
{
    const quint32 record = m_order.at(stored);
    QVector<QByteArray> whole(m_storedColumns);
    for (int c = 0; c < m_storedColumns; ++c) {
        const QByteArray raw = rawOf(m_kinds.at(c), values.at(c)).toUtf8();
        if (m_slot.at(c) >= 0)
            m_store.set(record, m_slot.at(c), raw);
        else
            whole[c] = raw;
    }
    if (!m_slot.contains(-1))
        return;
    m_whole = whole;
    m_wholeRecord = record;
    if (stored == m_editRow && !m_editWhole.isEmpty())
        m_editWhole = whole;
}

void DataSet::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const SqlDialect &dialect = m_db.dialect();
    const QString table = QLatin1String(m_table->name);
    const QString key = QLatin1String(m_table->rowKey);
    const bool hiddenKey = m_table->hiddenRowKey;

    if (m_state == State::Edit) {
        QStringList sets;
        QVariantList values;
        changedColumns(&sets, &values);
        if (!sets.isEmpty()) {
            values << dialect.toDb(m_kinds.at(m_keyColumn), keyValue(m_editRow));
            // The row is compared and written under one lock, so that no other computer comes between.
            const bool ownTransaction = !m_db.inTransaction();
            if (ownTransaction)
                m_db.execute(dialect.beginWrite());
            try {
                if (!storedAsRead(m_editRow))
                    refuseChangedRow();
                QSqlQuery q = m_db.run(QStringLiteral("update %1 set %2 where %3=?").arg(table, sets.join(QLatin1Char(',')), key),
                                       values);
                if (q.numRowsAffected() != 1)
                    refuseChangedRow();
                if (ownTransaction)
                    m_db.commit();
            } catch (...) {
                if (ownTransaction && m_db.inTransaction())
                    m_db.rollback();
                throw;
            }
            writeRow(m_editRow, m_buffer);
        }
        finishEdit();
        return;
    }

    QStringList columns;
    QStringList marks;
    QVariantList values;
    for (int c = 0; c < m_names.size(); ++c) {
        columns << m_names.at(c);
        marks << QStringLiteral("?");
        values << dialect.toDb(m_kinds.at(c), m_buffer.at(c));
    }
    QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (hiddenKey)
        sql += dialect.returningKey(key);
    QSqlQuery q = m_db.run(sql, values);
    if (hiddenKey) {
        QVariant newKey = q.lastInsertId();
        if (q.isSelect() && q.next())
            newKey = q.value(0);
        m_buffer[m_keyColumn] = newKey.toLongLong();
    }
    const int at = qBound(0, m_insertAt, int(m_order.size()));
    m_order.insert(at, m_store.append());
    writeRow(at, m_buffer);
    m_state = State::Browse;
    m_buffer.clear();
    rebuildView();
    m_current = m_filtered ? qMax(0, int(m_view.indexOf(at))) : at;
    if (recordCount() == 0)
        m_current = -1;
    m_eof = m_current < 0;
    emit reset();
}

void DataSet::changedColumns(QStringList *sets, QVariantList *values) const
{
    // Every assigned column is written, even one equal to the snapshot: the snapshot may be stale.
    for (int c = 0; c < m_names.size(); ++c) {
        if (!m_changed.testBit(c))
            continue;
        *sets << m_names.at(c) + QStringLiteral("=?");
        *values << m_db.dialect().toDb(m_kinds.at(c), m_buffer.at(c));
    }
}

bool DataSet::isTableColumn(int c) const
{
    return c < m_names.size() && c != m_keyColumn && Schema::column(*m_table, m_names.at(c));
}

bool DataSet::storedAsRead(int stored) const
{
    QStringList columns;
    QVector<int> indexes;
    for (int c = 0; c < m_names.size(); ++c) {
        if (isTableColumn(c)) {
            columns << m_names.at(c);
            indexes << c;
        }
    }
    if (columns.isEmpty())
        columns << QLatin1String(m_table->rowKey); // a row that shows its key only
    const QVariant key = m_db.dialect().toDb(m_kinds.at(m_keyColumn), keyValue(stored));
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        m_db, QStringLiteral("select %1 from %2 where %3=?%4")
                  .arg(columns.join(QLatin1Char(',')), QLatin1String(m_table->name), QLatin1String(m_table->rowKey),
                       m_db.dialect().lockRows()),
        {key});
    if (!reader->next())
        return false;
    // Like with like: the stored value goes through the same reading as the list's, so a
    // logical kept as 'true' or a number kept as text is the value the list shows, not a change.
    QByteArray raw;
    for (int i = 0; i < indexes.size(); ++i) {
        const int c = indexes.at(i);
        raw.resize(0);
        const QByteArrayView cell = reader->text(i);
        if (!cell.isEmpty())
            appendRaw(raw, m_kinds.at(c), cell);
        if (QByteArrayView(raw) != rawBytes(stored, c))
            return false;
    }
    return true;
}

bool DataSet::rereadRow(int stored)
{
    QStringList columns;
    QVector<int> indexes;
    for (int c = 0; c < m_names.size(); ++c) {
        if (isTableColumn(c)) {
            columns << m_names.at(c);
            indexes << c;
        }
    }
    if (columns.isEmpty())
        columns << QLatin1String(m_table->rowKey); // a row that shows its key only
    const QVariant key = m_db.dialect().toDb(m_kinds.at(m_keyColumn), keyValue(stored));
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        m_db, QStringLiteral("select %1 from %2 where %3=?")
                  .arg(columns.join(QLatin1Char(',')), QLatin1String(m_table->name), QLatin1String(m_table->rowKey)),
        {key});
    if (!reader->next())
        return false;
    QVector<QVariant> row(m_storedColumns);
    for (int c = 0; c < m_storedColumns; ++c)
        if (!indexes.contains(c))
            row[c] = decode(stored, c);
    for (int i = 0; i < indexes.size(); ++i) {
        const int c = indexes.at(i);
        QByteArray raw;
        const QByteArrayView cell = reader->text(i);
        if (!cell.isEmpty())
            appendRaw(raw, m_kinds.at(c), cell);
        row[c] = typedOf(m_kinds.at(c), QString::fromUtf8(raw));
        // What the user assigned stays in the edit buffer; the rest shows the row as stored now.
        if (stored == m_editRow && !m_changed.testBit(c))
            m_buffer[c] = row.at(c);
    }
    writeRow(stored, row);
    return true;
}

bool DataSet::refreshRow()
{
    const int stored = m_state == State::Edit ? m_editRow : (m_current >= 0 ? storeRow(m_current) : -1);
    if (stored < 0 || m_state == State::Insert)
        return false;
    requireRowKey();
    if (!rereadRow(stored))
        return false;
    const int row = visibleRow(stored);
    if (row >= 0)
        emit rowChanged(row);
    return true;
}

void DataSet::refuseChangedRow()
{
    const QString table = QLatin1String(m_table->name);
    if (!rereadRow(m_editRow)) {
        // The edit stays: what was typed is dropped only by a deliberate cancel, or written anew.
        throw RowDeletedError(QStringLiteral("Запись удалена с другого компьютера: таблица %1. Обновите список.").arg(table));
    }
    const int row = visibleRow(m_editRow);
    if (row >= 0)
        emit rowChanged(row);
    throw RowChangedError(QStringLiteral("Запись изменена с другого компьютера: таблица %1. Введённое вами "
                                         "не записано и осталось в форме; запишите ещё раз, чтобы заменить им "
                                         "чужие изменения, или отмените правку.").arg(table));
}

void DataSet::finishEdit()
{
    const int row = visibleRow(m_editRow);
    m_state = State::Browse;
    m_buffer.clear();
    m_editWhole.clear();
    m_editRow = -1;
    if (row >= 0)
        emit rowChanged(row);
}

bool DataSet::postExpecting(const QString &columnName, const QString &expectedRaw)
{
    if (m_state != State::Edit)
        throw AppError(QStringLiteral("Запись не в режиме правки"));
    const int c = column(columnName);
    const SqlDialect &dialect = m_db.dialect();
    const ColumnKind kind = m_kinds.at(c);
    QStringList sets;
    QVariantList values;
    changedColumns(&sets, &values);
    if (sets.isEmpty()) // nothing new to write, yet the check must still be made
        sets << m_names.at(c) + QLatin1Char('=') + m_names.at(c);
    values << dialect.toDb(m_kinds.at(m_keyColumn), keyValue(m_editRow));
    // One statement names the value it expects, so of two computers only one can win.
    QString condition;
    if (kind == ColumnKind::Text) {
        condition = QStringLiteral("coalesce(%1,'')=?").arg(m_names.at(c));
        values << expectedRaw;
    } else if (expectedRaw.isEmpty()) {
        condition = m_names.at(c) + QStringLiteral(" is null");
    } else {
        condition = m_names.at(c) + QStringLiteral("=?");
        values << dialect.toDb(kind, typedOf(kind, expectedRaw));
    }
    QSqlQuery q = m_db.run(QStringLiteral("update %1 set %2 where %3=? and %4")
                               .arg(QLatin1String(m_table->name), sets.join(QLatin1Char(',')),
                                    QLatin1String(m_table->rowKey), condition),
                           values);
    const bool won = q.numRowsAffected() == 1;
    if (won) {
        writeRow(m_editRow, m_buffer);
        // The row is read back, so that a later post compares with what is stored now; the
        // write has won even when the reading fails, and a later post then says so.
        try {
            rereadRow(m_editRow);
        } catch (const AppError &) {
        }
    }
    finishEdit();
    return won;
}

void DataSet::postAsNew()
{
    if (m_state != State::Edit)
        throw AppError(QStringLiteral("Запись не в режиме правки"));
    // The row read no longer exists: it leaves the list, and what was typed comes back as a new one.
    const int at = m_editRow;
    m_order.removeAt(at);
    m_editRow = -1;
    m_editWhole.clear();
    m_wholeRecord = -1;
    m_changed.fill(true);
    m_insertAt = at;
    m_state = State::Insert;
    post();
}

void DataSet::cancel()
{
    if (m_state == State::Edit || m_state == State::Insert)
        m_state = State::Browse;
    m_buffer.clear();
    m_editWhole.clear();
    m_editRow = -1;
}

void DataSet::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    requireCurrent();
    requireRowKey();
    const QVariant key = m_db.dialect().toDb(m_kinds.at(m_keyColumn), keyValue(storeRow(m_current)));
    m_db.run(QStringLiteral("delete from %1 where %2=?")
                 .arg(QLatin1String(m_table->name), QLatin1String(m_table->rowKey)),
             {key});
    m_order.removeAt(storeRow(m_current));
    rebuildView();
    if (m_current >= recordCount())
        m_current = recordCount() - 1;
    m_eof = m_current < 0;
    emit reset();
}

void DataSet::setFilter(const QString &expression)
{
    // A value may hold line breaks: names are pasted from letters.
    static const QRegularExpression form(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*(.*?)\\s*$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const auto match = form.match(expression);
    if (!match.hasMatch())
        throw AppError(QStringLiteral("Неверное условие отбора: %1").arg(expression));
    if (m_filtered)
        postPending();
    auto *filter = new Filter;
    filter->columnName = match.captured(1);
    const QString value = match.captured(2);
    if (value.startsWith(QLatin1Char('\''))) {
        QString t = value.mid(1);
        if (t.endsWith(QLatin1Char('\'')))
            t.chop(1);
        filter->text = t.replace(QLatin1String("''"), QLatin1String("'"));
        filter->bytes = filter->text.toUtf8();
    } else {
        filter->numeric = true;
        filter->number = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&filter->valid);
    }
    delete m_filter;
    m_filter = filter;
    m_filterText = expression;
    if (m_filtered && m_state != State::Inactive) {
        const int keep = m_current >= 0 ? storeRow(m_current) : -1;
        rebuildView();
        keepRow(keep);
        emit reset();
    }
}

bool DataSet::passes(QByteArrayView raw) const
{
    const int c = m_filter->column;
    if (m_filter->numeric) {
        double value = 0;
        const auto parsed = std::from_chars(raw.data(), raw.data() + raw.size(), value);
        return parsed.ec == std::errc() && !raw.isEmpty() && value == m_filter->number;
    }
    if (m_kinds.at(c) == ColumnKind::Text)
        return raw == m_filter->bytes;
    const ColumnKind kind = m_kinds.at(c);
    return textOf(kind, typedOf(kind, QString::fromUtf8(raw))) == m_filter->text;
}

void DataSet::rebuildView()
{
    m_view.clear();
    if (!m_filtered)
        return;
    // Columns are resolved here: a reopened query may list them elsewhere.
    if (m_filter)
        m_filter->column = columnIndex(m_filter->columnName);
    if (!m_filter || m_filter->column < 0 || !m_filter->valid)
        return;
    m_view = storedMatches(m_filter->column, [this](QByteArrayView raw) { return passes(raw); });
}

void DataSet::setFiltered(bool on)
{
    postPending();
    if (on == m_filtered)
        return;
    const int keep = m_current >= 0 && m_state != State::Inactive ? storeRow(m_current) : -1;
    m_filtered = on;
    rebuildView();
    if (m_state != State::Inactive) {
        keepRow(keep);
        emit reset();
    }
}

void DataSet::keepRow(int stored)
{
    // The same row stays current when it is still visible, else the first row.
    const int visible = stored < 0 ? -1 : (m_filtered ? int(m_view.indexOf(stored)) : stored);
    if (visible >= 0) {
        m_current = visible;
        m_eof = false;
    } else {
        first();
    }
}

bool DataSet::find(const QString &columnName, const QString &value)
{
    postPending();
    const int c = column(columnName);
    // Compared as stored bytes: Enter and F11 look for one document among every row.
    const QByteArray wanted = value.toUtf8();
    const int row = firstMatch(c, [&](QByteArrayView raw) { return raw == wanted; });
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

QVariant DataSet::rowKey() const
{
    requireCurrent();
    requireRowKey();
    return keyValue(storeRow(m_current));
}

bool DataSet::findRowKey(const QVariant &key)
{
    postPending();
    if (m_keyColumn < 0)
        return false;
    const QByteArray wanted = rawOf(m_kinds.at(m_keyColumn), key).toUtf8();
    const int row = firstMatch(m_keyColumn, [&](QByteArrayView raw) { return raw == wanted; });
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

int DataSet::execute(const QString &sql)
{
    return m_db.execute(sql);
}
