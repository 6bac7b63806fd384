#pragma once

#include <QList>
#include <QString>

enum class ColumnKind { Text, Date, Number, Logical, Integer };

struct ColumnDef
{
    const char *name;
    ColumnKind kind;
    int width; // characters, for Text; 0 otherwise
};

struct TableDef
{
    const char *name;
    QList<ColumnDef> columns;
    // The column that pins one row for post and delete. PL and PL_A use ID, made
    // unique by an index; other editable tables carry a hidden surrogate RID.
    const char *rowKey;
    bool hiddenRowKey;
};

namespace Schema {

// The ten tables, in the order they are created.
const QList<TableDef> &tables();
const TableDef *table(const QString &name);
const ColumnDef *column(const TableDef &table, const QString &name);

// Surrogate column added to PARAM, S_PLAT and S_POL; never shown to callers.
inline constexpr const char *hiddenKey = "RID";

} // namespace Schema
