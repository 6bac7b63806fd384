#pragma once

class Database;

namespace ExistingTables {

// Refuses, before anything is changed, a database whose tables of our names the
// program could not use: a view in a table's place, a column of a type that would
// change or refuse our values, a text column narrower than ours, a row key that
// gives no key, document IDs that repeat. Throws AppError naming the table and the column.
void refuseUnusable(Database &db);

} // namespace ExistingTables
