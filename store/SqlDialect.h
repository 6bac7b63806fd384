#pragma once

#include "store/Schema.h"

#include <QVariant>

enum class Engine { SQLite, PostgreSQL };

// Every difference between the engines lives here: column types, how a value is
// bound and how it comes back.
class SqlDialect
{
public:
    explicit SqlDialect(Engine engine) : m_engine(engine) {}

    Engine engine() const { return m_engine; }
    QString driverName() const;
    QString columnType(const ColumnDef &column) const;
    QString createTable(const TableDef &table) const;
    // A typed value (QDate, double, bool, QString) made ready to bind.
    QVariant toDb(ColumnKind kind, const QVariant &value) const;
    // Suffix of an insert that hands back the new hidden key, empty where the
    // driver reports it on its own.
    QString returningKey(const QString &column) const;
    // Opens a transaction that holds the write lock from its first statement, so
    // that no other connection writes between its statements.
    QString beginWrite() const;
    // Suffix of a select that locks the rows it returns until the transaction ends.
    QString lockRows() const;

private:
    Engine m_engine;
};
