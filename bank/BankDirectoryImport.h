#pragma once

#include "bank/BankRecord.h"

class Database;

struct BankImportSummary
{
    int banks = 0;
    int revoked = 0;
    QStringList skipped;
    // Settlement types TNP does not know, with how many banks named them; stored empty.
    QStringList unknownTypes;
};

// Replaces every row of BANK by the file's banks in one transaction: all of them or,
// when any write fails, none, the old rows kept.
BankImportSummary ReplaceBankDirectory(Database &db, const BankFile &file, const BankProgress &progress = {});
