#pragma once

#include <QString>

class Database;

// Makes every write of one kind to a table fail with the database's own message,
// through a trigger, on either engine.
namespace FailingWrites {

// The message the refused writes carry.
QString message();
// event: "insert", "update" or "delete".
void refuse(Database &db, const QString &table, const QString &event);
void allow(Database &db, const QString &table);

} // namespace FailingWrites
