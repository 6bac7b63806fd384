#pragma once

#include "store/Schema.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

class Database;

// Writes single rows of one table, each named by its key, from the table's definition:
// an update that first makes sure the row is stored as it was read, an update that names
// the one value it expects (compare-and-set), an insert, a delete, and the row read again.
class RowWriter
{
public:
    // A column a write names: its name and kind.
    struct Column
    {
        QString name;
        ColumnKind kind;
    };

    RowWriter(Database &db, const TableDef &table);

    // The row's cells of these columns in raw form (CellForm), as stored now; none when it is gone.
    std::optional<QVector<QByteArray>> read(const QVariant &key, const QList<Column> &columns) const;

    enum class Outcome { Written, Changed, Gone };
    // Writes the values into the columns of the row named by key, provided every compared
    // column is still stored as `asRead` gives it. Compared and written under one lock, so
    // no other computer comes between.
    Outcome update(const QVariant &key, const QList<Column> &written, const QVariantList &values,
                   const QList<Column> &compared, const std::function<QByteArrayView(int compared)> &asRead);
    // Writes the values only if the stored column still holds expectedRaw ("" for empty or
    // null), in one statement: of two computers only one can win.
    bool updateExpecting(const QVariant &key, const QList<Column> &written, const QVariantList &values,
                         const Column &expected, const QString &expectedRaw);
    // Inserts a row; gives the hidden key the table made for it, or nothing.
    QVariant insert(const QList<Column> &written, const QVariantList &values);
    void remove(const QVariant &key);

private:
    Database &m_db;
    const TableDef &m_table;
};
