#include "store/SqlDialect.h"

#include <QDate>
#include <QDateTime>

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
        return pg ? QStringLiteral("DATE") : QStringLiteral("DATE");
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

static bool textToBool(const QString &text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("t");
}

QVariant SqlDialect::fromDb(ColumnKind kind, const QVariant &value) const
{
    if (value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Date: {
        if (value.typeId() == QMetaType::QDate)
            return value.toDate();
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QString text = value.toString();
        if (text.isEmpty())
            return {};
        QDate d = QDate::fromString(text.left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case ColumnKind::Number:
        return value.toDouble();
    case ColumnKind::Logical:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool();
        return textToBool(value.toString());
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
