#include "store/ResultReader.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/SqlText.h"

#include <QDate>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <charconv>
#include <cmath>

namespace {

void requireCount(const QString &sql, int marks, const QVariantList &values)
{
    if (marks != values.size())
        throw AppError(QStringLiteral("В запросе %1 мест для значений, передано %2: %3")
                           .arg(marks).arg(values.size()).arg(sql));
}

double finiteOf(const QVariant &value)
{
    const double d = value.toDouble();
    if (!std::isfinite(d))
        throw AppError(QStringLiteral("Значение %1 не является конечным числом").arg(d));
    return d;
}

// A double as the shortest digits that read back the same.
QByteArray shortestText(double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, written.ptr - buffer);
}

// A bound value in PostgreSQL's text input form; a null stays null.
QByteArray postgresText(const QVariant &value, bool *isNull)
{
    *isNull = !value.isValid() || value.isNull();
    if (*isNull)
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? "true" : "false";
    case QMetaType::Double:
    case QMetaType::Float:
        return shortestText(finiteOf(value));
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
    default:
        return value.toString().toUtf8();
    }
}

class SqliteReader : public ResultReader
{
public:
    SqliteReader(sqlite3 *db, const QString &sql, const QVariantList &values)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
            const QString error = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(m_statement);
            throw AppError(error);
        }
        m_db = db;
        try {
            requireCount(sql, sqlite3_bind_parameter_count(m_statement), values);
            for (int i = 0; i < values.size(); ++i)
                bind(i + 1, values.at(i));
        } catch (...) {
            sqlite3_finalize(m_statement);
            throw;
        }
    }
    ~SqliteReader() override { sqlite3_finalize(m_statement); }

    int columnCount() const override { return sqlite3_column_count(m_statement); }
    QString columnName(int c) const override { return QString::fromUtf8(sqlite3_column_name(m_statement, c)); }
    ColumnKind reportedKind(int c) const override
    {
        const QByteArray declared = QByteArray(sqlite3_column_decltype(m_statement, c)).toUpper();
        if (declared.startsWith("DATE"))
            return ColumnKind::Date;
        if (declared.contains("DOUBLE") || declared.contains("REAL") || declared.contains("FLOAT"))
            return ColumnKind::Number;
        if (declared.startsWith("BOOL"))
            return ColumnKind::Logical;
        if (declared.contains("INT"))
            return ColumnKind::Integer;
        return ColumnKind::Text;
    }
    bool next() override
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw AppError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    }
    QByteArrayView text(int c) override
    {
        // SQLite's own text of a REAL keeps 15 digits only; format the double itself.
        switch (sqlite3_column_type(m_statement, c)) {
        case SQLITE_FLOAT: {
            const auto written = std::to_chars(m_number, m_number + sizeof m_number, sqlite3_column_double(m_statement, c));
            return QByteArrayView(m_number, written.ptr - m_number);
        }
        case SQLITE_INTEGER: {
            const auto written = std::to_chars(m_number, m_number + sizeof m_number, sqlite3_column_int64(m_statement, c));
            return QByteArrayView(m_number, written.ptr - m_number);
        }
        default: {
            const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, c));
            return QByteArrayView(data, sqlite3_column_bytes(m_statement, c));
        }
        }
    }

private:
    void bind(int index, const QVariant &value)
    {
        int rc = SQLITE_OK;
        if (!value.isValid() || value.isNull()) {
            rc = sqlite3_bind_null(m_statement, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(m_statement, index, value.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_statement, index, finiteOf(value));
                break;
            default: {
                const QByteArray text = value.typeId() == QMetaType::QDate
                                            ? value.toDate().toString(Qt::ISODate).toUtf8()
                                            : value.toString().toUtf8();
                rc = sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            throw AppError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    char m_number[32]; // the text of the last number read
};

// Rows arrive one at a time, so the client works while the server still sends
// and never holds the whole result twice.
class PostgresReader : public ResultReader
{
public:
    PostgresReader(PGconn *connection, const QString &sql, const QVariantList &values) : m_connection(connection)
    {
        bool sent = false;
        if (values.isEmpty()) {
            sent = PQsendQuery(connection, sql.toUtf8().constData());
        } else {
            requireCount(sql, placeholderCount(sql), values);
            // Text parameters: the server reads each value by the type its place wants.
            QList<QByteArray> texts;
            QVector<const char *> pointers;
            for (const QVariant &v : values) {
                bool null = false;
                texts << postgresText(v, &null);
                pointers << (null ? nullptr : texts.last().constData());
            }
            sent = PQsendQueryParams(connection, numberedPlaceholders(sql).toUtf8().constData(), int(values.size()),
                                     nullptr, pointers.constData(), nullptr, nullptr, 0);
        }
        if (!sent)
            throw AppError(QString::fromUtf8(PQerrorMessage(connection)).trimmed());
        PQsetSingleRowMode(connection);
        m_pending = fetch();
        if (!m_pending) {
            // A statement without rows and columns, such as an update.
            m_columns = PQmakeEmptyPGresult(connection, PGRES_TUPLES_OK);
        } else {
            m_columns = m_pending;
        }
    }
    ~PostgresReader() override
    {
        if (m_current != m_columns)
            PQclear(m_current);
        PQclear(m_columns);
        drain();
    }

    int columnCount() const override { return PQnfields(m_columns); }
    QString columnName(int c) const override { return QString::fromUtf8(PQfname(m_columns, c)); }
    ColumnKind reportedKind(int c) const override
    {
        switch (PQftype(m_columns, c)) {
        case 16: return ColumnKind::Logical;                       // bool
        case 1082: case 1114: case 1184: return ColumnKind::Date;  // date, timestamps
        case 700: case 701: case 1700: return ColumnKind::Number;  // float4, float8, numeric
        case 20: case 21: case 23: return ColumnKind::Integer;     // int8, int2, int4
        default: return ColumnKind::Text;
        }
    }
    bool next() override
    {
        if (m_current && m_current != m_columns)
            PQclear(m_current);
        m_current = nullptr;
        PGresult *result = m_pending ? m_pending : fetch();
        m_pending = nullptr;
        if (!result)
            return false;
        if (PQresultStatus(result) != PGRES_SINGLE_TUPLE) {
            if (result != m_columns)
                PQclear(result);
            return false;
        }
        m_current = result;
        return true;
    }
    QByteArrayView text(int c) override { return QByteArrayView(PQgetvalue(m_current, 0, c), PQgetlength(m_current, 0, c)); }

private:
    // The next result of the statement; throws with the server's text on failure.
    PGresult *fetch()
    {
        PGresult *result = PQgetResult(m_connection);
        if (!result)
            return nullptr;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
            return result;
        const QString error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        PQclear(result);
        drain();
        throw AppError(error.isEmpty() ? QString::fromUtf8(PQerrorMessage(m_connection)).trimmed() : error);
    }
    void drain()
    {
        while (PGresult *rest = PQgetResult(m_connection))
            PQclear(rest);
    }

    PGconn *m_connection;
    PGresult *m_columns = nullptr; // the first result: column names and types
    PGresult *m_pending = nullptr;
    PGresult *m_current = nullptr;
};

// Any other driver: through QSqlQuery, one QVariant per cell.
class QueryReader : public ResultReader
{
public:
    QueryReader(Database &db, const QString &sql, const QVariantList &values) : m_query(db.query())
    {
        m_query.setForwardOnly(true);
        bool done = false;
        if (values.isEmpty()) {
            done = m_query.exec(sql);
        } else {
            done = m_query.prepare(sql);
            for (const QVariant &v : values)
                m_query.addBindValue(v);
            done = done && m_query.exec();
        }
        if (!done)
            throw AppError(Database::errorText(m_query.lastError()));
        m_record = m_query.record();
        m_cells.resize(m_record.count());
    }
    int columnCount() const override { return m_record.count(); }
    QString columnName(int c) const override { return m_record.fieldName(c); }
    ColumnKind reportedKind(int c) const override
    {
        switch (m_record.field(c).metaType().id()) {
        case QMetaType::QDate: case QMetaType::QDateTime: return ColumnKind::Date;
        case QMetaType::Double: case QMetaType::Float: return ColumnKind::Number;
        case QMetaType::Int: case QMetaType::LongLong: return ColumnKind::Integer;
        case QMetaType::Bool: return ColumnKind::Logical;
        default: return ColumnKind::Text;
        }
    }
    bool next() override
    {
        if (!m_query.next()) {
            if (m_query.lastError().isValid())
                throw AppError(Database::errorText(m_query.lastError()));
            return false;
        }
        for (int c = 0; c < m_cells.size(); ++c) {
            const QVariant v = m_query.value(c);
            if (v.isNull())
                m_cells[c].clear();
            else if (v.typeId() == QMetaType::QDate)
                m_cells[c] = v.toDate().toString(Qt::ISODate).toUtf8();
            else if (v.typeId() == QMetaType::Bool)
                m_cells[c] = v.toBool() ? "1" : "0";
            else
                m_cells[c] = v.toString().toUtf8();
        }
        return true;
    }
    QByteArrayView text(int c) override { return m_cells.at(c); }

private:
    QSqlQuery m_query;
    QSqlRecord m_record;
    QVector<QByteArray> m_cells;
};

} // namespace

std::unique_ptr<ResultReader> ResultReader::open(Database &db, const QString &sql, const QVariantList &values)
{
    db.reopenIfBroken();
    try {
        return openOn(db, sql, values);
    } catch (const AppError &) {
        db.noteFailure();
        throw;
    }
}

std::unique_ptr<ResultReader> ResultReader::openOn(Database &db, const QString &sql, const QVariantList &values)
{
    const QVariant handle = db.connection().driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (auto *sqlite = *static_cast<sqlite3 *const *>(handle.data()))
            return std::make_unique<SqliteReader>(sqlite, sql, values);
    }
    // Qt names the type by libpq's struct tag or by its typedef, depending on the build.
    if (handle.isValid()
        && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0)) {
        if (auto *pg = *static_cast<PGconn *const *>(handle.data()))
            return std::make_unique<PostgresReader>(pg, sql, values);
    }
    return std::make_unique<QueryReader>(db, sql, values);
}
