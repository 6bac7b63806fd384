#include "editor/UnifiedTaxPayment.h"
#include "document/DocumentColumns.h"

#include "document/TaxFields.h"
#include "session/Session.h"
#include "store/BankLookup.h"
#include "store/DataSet.h"

namespace UnifiedTaxPayment {

QString Fill(Session &session, DataSet &lookup, DataSet &bankQuery)
{
    const QString account = QLatin1String(TreasuryAccount);
    lookup.close();
    lookup.setQuery({QStringLiteral("S_POL"), {{QStringLiteral("SCHET"), account}}});
    lookup.open();
    if (lookup.isEmpty())
        return QStringLiteral("В справочнике получателей нет получателя ЕНП (счёт %1)").arg(account);
    lookup.first();
    const struct { const char *document; const char *directory; } recipient[] = {
        {"INN_POL", "INN"},     {"KPP_POL", "KPP"},     {"NAME_POL1", "NAME1"}, {"NAME_POL2", "NAME2"},
        {"NAME_POL3", "NAME3"}, {"NAME_POL4", "NAME4"}, {"SCH_KT", "SCHET"},    {"MFOBANKPOL", "BIK"},
    };
    QList<std::pair<QString, QString>> values;
    for (const auto &r : recipient)
        values.append({QLatin1String(r.document), lookup.text(QLatin1String(r.directory))});
    const QString bik = lookup.text(QStringLiteral("BIK"));
    const BankDetails bank = LookupBank(bankQuery, lookup, bik);
    if (!bank.usable())
        return QStringLiteral("В справочнике банков нет действующего банка получателя ЕНП (БИК %1)").arg(bik);
    values.append({QStringLiteral("BANK_POL1"), bank.name});
    values.append({QStringLiteral("K_SBANK_KT"), bank.correspondent});
    values.append({QStringLiteral("NNP_POL"), bank.settlement});
    values.append({QStringLiteral("TNP_POL"), bank.settlementType});

    // Fields 105 to 109 and 22 "0", the type empty; the payer's KPP "0" as the unified payment wants.
    for (const TaxField &field : taxFields())
        values.append({QLatin1String(field.column), QLatin1String(TaxNoValue)});
    values.append({QStringLiteral("P101_STATU"), QLatin1String(PayerStatus)});
    values.append({QStringLiteral("P104_KBK"), QLatin1String(Kbk)});
    values.append({QStringLiteral("P110_TIP"), QString()});
    values.append({QStringLiteral("KPP_PL"), QLatin1String(TaxNoValue)});
    values.append({QStringLiteral("NAZNACH1"), QString::fromUtf8(Purpose)});

    DataSet &doc = session.documents();
    doc.edit();
    doc.setValue(DocumentColumn::Tax, true);
    for (const auto &[column, value] : values)
        doc.setValue(column, value);
    return {};
}

} // namespace UnifiedTaxPayment
