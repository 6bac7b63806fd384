#pragma once

#include <QString>

class DataSet;

struct BankDetails
{
    bool found = false;
    QString name;              // NAMEP
    QString correspondent;     // KSNP
    QString settlement;        // NNP
    QString settlementType;    // short name of TNP's code
    bool revoked = false;      // OTZYV: the licence is revoked; the bank takes no payments

    bool usable() const { return found && !revoked; }
};

// The label's text for a bank that cannot be used: "Банка не существует" or "Лицензия Банка отозвана".
QString BankRefusal(const BankDetails &bank);

// The bank directory's first row for a BIK, through the bank query; the
// settlement-type name through the general query, which it replaces.
BankDetails LookupBank(DataSet &bankQuery, DataSet &generalQuery, const QString &bik);
QString LookupSettlementTypeName(DataSet &generalQuery, const QString &code);
