#include "store/BankLookup.h"
#include "store/DataSet.h"

BankDetails LookupBank(DataSet &bankQuery, DataSet &generalQuery, const QString &bik)
{
    bankQuery.close();
    bankQuery.setQuery({QStringLiteral("BANK"), {{QStringLiteral("NEWNUM"), bik}}});
    bankQuery.open();
    BankDetails bank;
    if (bankQuery.isEmpty())
        return bank;
    bankQuery.first();
    bank.found = true;
    bank.name = bankQuery.text(QStringLiteral("NAMEP"));
    bank.correspondent = bankQuery.text(QStringLiteral("KSNP"));
    bank.settlement = bankQuery.text(QStringLiteral("NNP"));
    // A directory made before the column existed knows no revoked banks.
    bank.revoked = bankQuery.hasColumn(QStringLiteral("OTZYV")) && !bankQuery.text(QStringLiteral("OTZYV")).trimmed().isEmpty();
    bank.settlementType = LookupSettlementTypeName(generalQuery, bankQuery.text(QStringLiteral("TNP")));
    return bank;
}

QString LookupSettlementTypeName(DataSet &generalQuery, const QString &code)
{
    generalQuery.close();
    generalQuery.setQuery({QStringLiteral("TNP"), {{QStringLiteral("KOD"), code}}});
    generalQuery.open();
    if (generalQuery.isEmpty())
        return {};
    generalQuery.first();
    return generalQuery.text(QStringLiteral("NAME"));
}

QString BankRefusal(const BankDetails &bank)
{
    if (!bank.found)
        return QStringLiteral("Банка не существует");
    return bank.revoked ? QStringLiteral("Лицензия Банка отозвана") : QString();
}
