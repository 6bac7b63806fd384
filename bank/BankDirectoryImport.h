#pragma once

#include "bank/BankRecord.h"

class Database;

// What an import did to BANK, for the command's message and a window's dialog.
struct BankImportSummary
{
    QString format;                // "ED807" or "BNKSEEK.DBF"
    QString source;                // the file's path
    // True: every row of BANK replaced by a full directory; false: a change list applied to its own BIKs.
    bool fullReplacement = false;
    int banks = 0;                 // banks written, each BIK once
    int added = 0;                 // of them, BIKs BANK did not have
    int changed = 0;               // of them, BIKs BANK had with other values (or in several rows)
    int removed = 0;               // BIKs a full directory no longer lists, gone from BANK
    int revoked = 0;               // banks written with a revoked licence
    QStringList skipped;
    // Settlement types TNP does not know, with how many banks named them; stored empty.
    QStringList unknownTypes;

    int unchanged() const { return banks - added - changed; }
    // The banks whose row BANK gained, lost or saw altered.
    int changedBanks() const { return added + changed + removed; }
};

// Writes the file's banks to BANK in one transaction: all of them or, when any write fails,
// none, the old rows kept. A full directory replaces every row; a change list adds or replaces
// the rows of its own BIKs and leaves the others. A file without banks is refused, BANK unchanged.
BankImportSummary ImportBankDirectory(Database &db, const BankFile &file, const BankProgress &progress = {});

// The summary in words for the user: which of the two happened and how many banks changed.
QStringList BankImportReport(const BankImportSummary &summary);
