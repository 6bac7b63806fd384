#pragma once

class DataSet;
class Database;

// Makes the current row of payers (a query over S_PLAT) the one default payer.
// Clearing the other marks and setting this one is a single transaction that
// holds the table against the same change from another computer, so there are
// never two default payers nor none. A row already marked, or deleted meanwhile,
// changes nothing; the deleted one throws.
// Then payers is reopened with the same payer current.
void MakeDefaultPayer(Database &db, DataSet &payers);

// Whether the current row of payers is marked as the default payer.
bool IsDefaultPayer(const DataSet &payers);
