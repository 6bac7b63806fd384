#pragma once

#include "bank/BankRecord.h"

// Reads a bank directory file of either kind the Bank of Russia has published:
// the XML ED807 or the dBASE table BNKSEEK.DBF. Throws AppError naming the place
// for anything else, a file cut short or a broken record.
BankFile ReadBankFile(const QString &path, const BankProgress &progress = {});

// The table BNKSEEK.DBF from its bytes, in the code page its header names or its names show.
BankFile ReadBnkseek(const QByteArray &data, const BankProgress &progress = {});
