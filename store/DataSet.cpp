#include "store/DataSet.h"

#include "store/AppError.h"
#include "store/CellForm.h"
#include "store/Clock.h"
#include "store/Database.h"
#include "store/DateText.h"
#include "store/RowWriter.h"
#include "store/SqlText.h"
#include "store/TextWidth.h"

#include <cmath>
#include <optional>

DataSet::DataSet(Database &db, QObject *parent) : QObject(parent), m_db(db) {}

namespace {

// Views hear of a change of rows before it and after it, the second also when it throws.
class RowsReplaced
{
public:
    explicit RowsReplaced(DataSet &rows) : m_rows(rows) { emit m_rows.aboutToReset(); }
    ~RowsReplaced() { emit m_rows.reset(); }
    RowsReplaced(const RowsReplaced &) = delete;
    RowsReplaced &operator=(const RowsReplaced &) = delete;

private:
    DataSet &m_rows;
};

} // namespace

void DataSet::close()
{
    std::optional<RowsReplaced> notice;
    if (m_state != State::Inactive)
        notice.emplace(*this);
    m_state = State::Inactive;
    m_rows.clear();
    m_current = -1;
    m_eof = true;
    m_buffer.clear();
    m_editWhole.clear();
    m_editRow = -1;
}

void DataSet::setQuery(const TableQuery &query)
{
    if (m_state != State::Inactive)
        close();
    m_query = query;
    const SqlStatement statement = query.statement();
    m_sql = statement.sql;
    m_values = statement.values;
}

void DataSet::setSql(const QString &sql, const QVariantList &values)
{
    if (m_state != State::Inactive)
        close();
    m_query.reset();
    m_sql = sql;
    m_values = values;
}

QString DataSet::statementText() const
{
    return inlineValues(m_sql, m_values);
}

void DataSet::open()
{
    if (m_state != State::Inactive)
        close();
    RowsReplaced notice(*this);
    if (m_query)
        m_rows.open(m_db, *m_query, m_held);
    else
        m_rows.open(m_db, m_sql, m_values);
    m_state = State::Browse;
    m_current = recordCount() > 0 ? 0 : -1;
    m_eof = m_current < 0;
}

int DataSet::recordCount() const
{
    return m_rows.visibleCount();
}

void DataSet::beforeMove()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (!m_postsOnMove)
        throw AppError(QStringLiteral("Правка строки таблицы %1 не записана: запишите или отмените её, "
                                      "прежде чем перейти к другой строке")
                           .arg(m_rows.table() ? QLatin1String(m_rows.table()->name) : m_sql));
    post();
}

void DataSet::setRecNo(int row)
{
    beforeMove();
    if (row < 0 || row >= recordCount())
        return;
    m_current = row;
    m_eof = false;
    emit currentMoved(row);
}

void DataSet::first()
{
    beforeMove();
    m_current = recordCount() > 0 ? 0 : -1;
    m_eof = m_current < 0;
}

void DataSet::next()
{
    beforeMove();
    if (m_current + 1 < recordCount())
        ++m_current;
    else
        m_eof = true;
}

bool DataSet::locate(const QString &columnName, const QString &prefix, Qt::CaseSensitivity cs)
{
    beforeMove();
    const int c = column(columnName);
    const ColumnKind kind = m_rows.kind(c);
    int row = -1;
    if (kind == ColumnKind::Date || kind == ColumnKind::Logical) {
        row = m_rows.firstVisibleMatch(c, [&](QByteArrayView raw) {
            return CellForm::text(kind, CellForm::typed(kind, QString::fromUtf8(raw))).startsWith(prefix, cs);
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
        row = m_rows.firstVisibleMatch(c, [&](QByteArrayView value) {
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

bool DataSet::find(const QString &columnName, const QString &value)
{
    beforeMove();
    const int c = column(columnName);
    // Compared as stored bytes: Enter and F11 look for one document among every row.
    const QByteArray wanted = value.toUtf8();
    const int row = m_rows.firstVisibleMatch(c, [&](QByteArrayView raw) { return raw == wanted; });
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

QVariant DataSet::rowKey() const
{
    requireCurrent();
    requireRowKey();
    return keyValue(m_rows.storedRow(m_current));
}

bool DataSet::findRowKey(const QVariant &key)
{
    beforeMove();
    const int keyColumn = m_rows.keyColumn();
    if (keyColumn < 0)
        return false;
    const QByteArray wanted = CellForm::raw(m_rows.kind(keyColumn), key).toUtf8();
    const int row = m_rows.firstVisibleMatch(keyColumn, [&](QByteArrayView raw) { return raw == wanted; });
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

int DataSet::column(const QString &name) const
{
    const int c = columnIndex(name);
    if (c < 0)
        throw AppError(QStringLiteral("Поле %1 не найдено").arg(name));
    return c;
}

QByteArrayView DataSet::raw(int stored, int column) const
{
    // The edited row shows the columns not held as they were when the edit began.
    if (stored == m_editRow && !m_editWhole.isEmpty() && !m_rows.isHeld(column))
        return m_editWhole.at(column);
    return m_rows.raw(stored, column);
}

QVariant DataSet::decode(int stored, int column) const
{
    return CellForm::typed(m_rows.kind(column), QString::fromUtf8(raw(stored, column)));
}

QString DataSet::rawAt(int row, int column) const
{
    return QString::fromUtf8(raw(m_rows.storedRow(row), column));
}

QVariant DataSet::valueAt(int row, int column) const
{
    return decode(m_rows.storedRow(row), column);
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
    return decode(m_rows.storedRow(m_current), c);
}

QVariant DataSet::value(const QString &name) const
{
    return value(column(name));
}

QString DataSet::textOf(ColumnKind kind, const QVariant &value)
{
    return CellForm::text(kind, value);
}

QString DataSet::text(int c) const
{
    return CellForm::text(m_rows.kind(c), value(c));
}

QString DataSet::text(const QString &name) const
{
    return text(column(name));
}

double DataSet::number(const QString &name) const
{
    const int c = column(name);
    if (isNull(name))
        throw AppError(QStringLiteral("Пустое значение не является числом: поле %1").arg(m_rows.names().at(c)));
    const QVariant v = value(c);
    if (m_rows.kind(c) == ColumnKind::Number || m_rows.kind(c) == ColumnKind::Integer)
        return v.toDouble();
    bool ok = false;
    const QString t = v.toString().trimmed();
    const double d = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw AppError(QStringLiteral("\"%1\" не является числом: поле %2").arg(t, m_rows.names().at(c)));
    return d;
}

bool DataSet::isNull(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (!v.isValid() || v.isNull())
        return true;
    return m_rows.kind(c) == ColumnKind::Text && v.toString().trimmed().isEmpty();
}

bool DataSet::logical(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (m_rows.kind(c) == ColumnKind::Logical)
        return v.toBool();
    const QString t = v.toString().trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("1");
}

QDate DataSet::date(const QString &name) const
{
    const int c = column(name);
    const QVariant v = value(c);
    if (m_rows.kind(c) == ColumnKind::Date)
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
    if (m_rows.keyColumn() >= 0)
        return;
    const TableDef *table = m_rows.table();
    if (table && table->hiddenRowKey)
        throw AppError(QStringLiteral("Строку таблицы %1 нельзя изменить: в выборке нет столбца %2. "
                                      "Если его нет и в таблице, выполните payorders init: "
                                      "он добавит столбец, сохранив все строки.")
                           .arg(QLatin1String(table->name), QLatin1String(table->rowKey)));
    throw AppError(QStringLiteral("Набор данных только для чтения: %1").arg(m_sql));
}

void DataSet::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    requireCurrent();
    requireRowKey();
    // The edit belongs to this stored row, wherever the cursor goes.
    m_editRow = m_rows.storedRow(m_current);
    // The columns not held are taken as read now, for the post to compare with.
    m_editWhole = m_rows.wholeRow(m_editRow);
    m_buffer.resize(m_rows.storedColumns());
    for (int c = 0; c < m_rows.storedColumns(); ++c)
        m_buffer[c] = decode(m_editRow, c);
    m_changed = QBitArray(m_rows.storedColumns());
    m_state = State::Edit;
}

void DataSet::insert()
{
    if (m_state == State::Inactive)
        throw AppError(QStringLiteral("Набор данных закрыт"));
    beforeMove();
    requireRowKey();
    m_buffer = QVector<QVariant>(m_rows.storedColumns());
    for (int c = 0; c < m_rows.storedColumns(); ++c)
        if (m_rows.kind(c) == ColumnKind::Text)
            m_buffer[c] = QString();
    m_changed = QBitArray(m_rows.storedColumns());
    m_insertAt = m_current < 0 ? 0 : m_rows.storedRow(m_current);
    m_state = State::Insert;
}

void DataSet::setValue(int c, const QVariant &value)
{
    requireEditing();
    if (c < 0 || c >= m_rows.names().size())
        throw AppError(QStringLiteral("Нет поля номер %1").arg(c));
    QVariant v = value;
    const ColumnKind kind = m_rows.kind(c);
    if (kind == ColumnKind::Text) {
        QString t = v.isNull() ? QString() : v.toString();
        if (m_rows.width(c) > 0)
            t = leftCharacters(t, m_rows.width(c));
        v = t;
    } else if (v.typeId() == QMetaType::QString) {
        setText(m_rows.names().at(c), v.toString());
        return;
    }
    checkValue(c, v);
    m_buffer[c] = v;
    m_changed.setBit(c);
}

void DataSet::checkValue(int c, const QVariant &v) const
{
    CellForm::check(m_rows.kind(c), m_rows.names().value(c), v);
}

void DataSet::setValue(const QString &name, const QVariant &value)
{
    setValue(column(name), value);
}

void DataSet::setText(const QString &name, const QString &text)
{
    requireEditing();
    const int c = column(name);
    if (m_rows.kind(c) == ColumnKind::Text) {
        setValue(c, text);
        return;
    }
    const QVariant v = CellForm::fromTyping(m_rows.kind(c), m_rows.names().at(c), text);
    checkValue(c, v);
    m_buffer[c] = v;
    m_changed.setBit(c);
}

QVariant DataSet::keyValue(int stored) const
{
    return decode(stored, m_rows.keyColumn());
}

QList<std::pair<int, QVariant>> DataSet::assignedColumns() const
{
    // Every assigned column is written, even one equal to the snapshot: the snapshot may be stale.
    QList<std::pair<int, QVariant>> assigned;
    for (int c = 0; c < m_rows.names().size(); ++c)
        if (m_changed.testBit(c))
            assigned.append({c, m_db.dialect().toDb(m_rows.kind(c), m_buffer.at(c))});
    return assigned;
}

void DataSet::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const SqlDialect &dialect = m_db.dialect();
    RowWriter writer(m_db, *m_rows.table());

    if (m_state == State::Edit) {
        QList<RowWriter::Column> written;
        QVariantList values;
        for (const auto &[c, value] : assignedColumns()) {
            written.append({m_rows.names().at(c), m_rows.kind(c)});
            values << value;
        }
        if (!written.isEmpty()) {
            // The row as it was read: a change made since on another computer refuses this one.
            QList<RowWriter::Column> compared;
            QVector<int> comparedIndexes;
            for (int c = 0; c < m_rows.names().size(); ++c) {
                if (m_rows.isTableColumn(c)) {
                    compared.append({m_rows.names().at(c), m_rows.kind(c)});
                    comparedIndexes << c;
                }
            }
            const RowWriter::Outcome outcome =
                writer.update(dialect.toDb(m_rows.kind(m_rows.keyColumn()), keyValue(m_editRow)), written, values, compared,
                              [&](int i) { return raw(m_editRow, comparedIndexes.at(i)); });
            if (outcome != RowWriter::Outcome::Written)
                refuseChangedRow();
            m_rows.write(m_editRow, m_buffer);
        }
        finishEdit();
        return;
    }

    QList<RowWriter::Column> columns;
    QVariantList values;
    for (int c = 0; c < m_rows.names().size(); ++c) {
        columns.append({m_rows.names().at(c), m_rows.kind(c)});
        values << dialect.toDb(m_rows.kind(c), m_buffer.at(c));
    }
    const QVariant newKey = writer.insert(columns, values);
    if (m_rows.table()->hiddenRowKey)
        m_buffer[m_rows.keyColumn()] = newKey.toLongLong();
    const int at = qBound(0, m_insertAt, m_rows.storedCount());
    RowsReplaced notice(*this);
    m_rows.insert(at, m_buffer);
    m_state = State::Browse;
    m_buffer.clear();
    m_current = m_rows.isFiltered() ? qMax(0, m_rows.visibleRow(at)) : at;
    if (recordCount() == 0)
        m_current = -1;
    m_eof = m_current < 0;
}

bool DataSet::rereadRow(int stored)
{
    QList<RowWriter::Column> columns;
    QVector<int> indexes;
    for (int c = 0; c < m_rows.names().size(); ++c) {
        if (m_rows.isTableColumn(c)) {
            columns.append({m_rows.names().at(c), m_rows.kind(c)});
            indexes << c;
        }
    }
    const QVariant key = m_db.dialect().toDb(m_rows.kind(m_rows.keyColumn()), keyValue(stored));
    const std::optional<QVector<QByteArray>> cells = RowWriter(m_db, *m_rows.table()).read(key, columns);
    if (!cells)
        return false;
    QVector<QVariant> row(m_rows.storedColumns());
    for (int c = 0; c < m_rows.storedColumns(); ++c)
        if (!indexes.contains(c))
            row[c] = decode(stored, c);
    for (int i = 0; i < indexes.size(); ++i) {
        const int c = indexes.at(i);
        row[c] = CellForm::typed(m_rows.kind(c), QString::fromUtf8(cells->at(i)));
        // What the user assigned stays in the edit buffer; the rest shows the row as stored now.
        if (stored == m_editRow && !m_changed.testBit(c))
            m_buffer[c] = row.at(c);
    }
    m_rows.write(stored, row);
    if (stored == m_editRow && !m_editWhole.isEmpty())
        m_editWhole = m_rows.wholeRow(stored);
    return true;
}

bool DataSet::refreshRow()
{
    const int stored = m_state == State::Edit ? m_editRow : (m_current >= 0 ? m_rows.storedRow(m_current) : -1);
    if (stored < 0 || m_state == State::Insert)
        return false;
    requireRowKey();
    if (!rereadRow(stored))
        return false;
    const int row = m_rows.visibleRow(stored);
    if (row >= 0)
        emit rowChanged(row);
    return true;
}

void DataSet::refuseChangedRow()
{
    const QString table = QLatin1String(m_rows.table()->name);
    if (!rereadRow(m_editRow)) {
        // The edit stays: what was typed is dropped only by a deliberate cancel, or written anew.
        throw RowDeletedError(QStringLiteral("Запись удалена с другого компьютера: таблица %1. Обновите список.").arg(table));
    }
    const int row = m_rows.visibleRow(m_editRow);
    if (row >= 0)
        emit rowChanged(row);
    throw RowChangedError(QStringLiteral("Запись изменена с другого компьютера: таблица %1. Введённое вами "
                                         "не записано и осталось в форме; запишите ещё раз, чтобы заменить им "
                                         "чужие изменения, или отмените правку.").arg(table));
}

void DataSet::finishEdit()
{
    const int row = m_rows.visibleRow(m_editRow);
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
    QList<RowWriter::Column> written;
    QVariantList values;
    for (const auto &[assigned, value] : assignedColumns()) {
        written.append({m_rows.names().at(assigned), m_rows.kind(assigned)});
        values << value;
    }
    const QVariant key = m_db.dialect().toDb(m_rows.kind(m_rows.keyColumn()), keyValue(m_editRow));
    const bool won = RowWriter(m_db, *m_rows.table())
                         .updateExpecting(key, written, values, {m_rows.names().at(c), m_rows.kind(c)}, expectedRaw);
    if (won) {
        m_rows.write(m_editRow, m_buffer);
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
    m_rows.remove(at);
    m_editRow = -1;
    m_editWhole.clear();
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
    const int stored = m_rows.storedRow(m_current);
    RowWriter(m_db, *m_rows.table()).remove(m_db.dialect().toDb(m_rows.kind(m_rows.keyColumn()), keyValue(stored)));
    RowsReplaced notice(*this);
    m_rows.remove(stored);
    if (m_current >= recordCount())
        m_current = recordCount() - 1;
    m_eof = m_current < 0;
}

void DataSet::setFilter(const RowFilter &filter)
{
    if (m_rows.isFiltered())
        beforeMove();
    const int keep = m_state != State::Inactive && m_current >= 0 ? m_rows.storedRow(m_current) : -1;
    std::optional<RowsReplaced> notice;
    if (m_rows.isFiltered() && m_state != State::Inactive)
        notice.emplace(*this);
    m_rows.setFilter(filter);
    if (notice)
        keepRow(keep);
}

void DataSet::setFiltered(bool on)
{
    beforeMove();
    if (on == m_rows.isFiltered())
        return;
    const int keep = m_current >= 0 && m_state != State::Inactive ? m_rows.storedRow(m_current) : -1;
    std::optional<RowsReplaced> notice;
    if (m_state != State::Inactive)
        notice.emplace(*this);
    m_rows.setFiltered(on);
    if (notice)
        keepRow(keep);
}

void DataSet::keepRow(int stored)
{
    // The same row stays current when it is still visible, else the first row.
    const int visible = stored < 0 ? -1 : m_rows.visibleRow(stored);
    if (visible >= 0) {
        m_current = visible;
        m_eof = false;
    } else {
        m_current = recordCount() > 0 ? 0 : -1;
        m_eof = m_current < 0;
    }
}

int DataSet::execute(const QString &sql)
{
    return m_db.execute(sql);
}
