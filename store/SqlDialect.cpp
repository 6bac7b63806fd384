#include "store/SqlDialect.h"

#include <QDate>

QString SqlDialect::driverName() const
{
    return m_engine == Engine::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

QString SqlDialect::columnType(const ColumnDef &column) const
{
    const bool pg = m_engine == Engine::PostgreSQL;
    switch (column.kind) {
    case ColumnKind::Text:
        return QStringLiteral("VARCHAR(%1)").arg(column.width);
    case ColumnKind::Date:
        // SQLite keeps dates as ISO text, which sorts by date.
        return QStringLiteral("DATE");
    case ColumnKind::Number:
        return QStringLiteral("DOUBLE PRECISION");
    case ColumnKind::Logical:
        return QStringLiteral("BOOLEAN");
    case ColumnKind::Integer:
        return pg ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
    }
    return {};
}

QString SqlDialect::createTable(const TableDef &table) const
{
    QStringList columns;
    for (const ColumnDef &c : table.columns)
        columns << QStringLiteral("%1 %2").arg(QLatin1String(c.name), columnType(c));
    return QStringLiteral("create table %1 (%2)").arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
}

QVariant SqlDialect::toDb(ColumnKind kind, const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return kind == ColumnKind::Text ? QVariant(QString(QLatin1String(""))) : QVariant();
    switch (kind) {
    case ColumnKind::Date: {
        const QDate d = value.toDate();
        if (!d.isValid())
            return {};
        if (m_engine == Engine::SQLite)
            return d.toString(Qt::ISODate);
        return d;
    }
    case ColumnKind::Number:
        return value.toDouble();
    case ColumnKind::Logical:
        if (m_engine == Engine::SQLite)
            return value.toBool() ? 1 : 0;
        return value.toBool();
    case ColumnKind::Integer:
        return value.toLongLong();
    case ColumnKind::Text:
        return value.toString();
    }
    return value;
}

QString SqlDialect::returningKey(const QString &column) const
{
    return m_engine == Engine::PostgreSQL ? QStringLiteral(" returning ") + column : QString();
}

QString SqlDialect::beginWrite() const
{
    // A deferred SQLite transaction could find another writer between its statements.
    return m_engine == Engine::SQLite ? QStringLiteral("begin immediate") : QStringLiteral("begin");
}

QString SqlDialect::lockRows() const
{
    // SQLite's write lock already covers the whole file.
    return m_engine == Engine::PostgreSQL ? QStringLiteral(" for update") : QString();
}
