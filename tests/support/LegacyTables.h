#pragma once

#include <QStringList>

class Database;

// Tables laid out as another tool would make them, for the installer's mending.
namespace LegacyTables {

// Makes the table anew without the named columns (the hidden row key among
// them, say), keeping every row and the order of the other columns.
void dropColumns(Database &db, const QString &table, const QStringList &columns);

} // namespace LegacyTables
