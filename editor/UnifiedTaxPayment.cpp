#include "editor/UnifiedTaxPayment.h"
#include "document/DocumentColumns.h"
#include "document/TaxFields.h"
#include "editor/RecipientLookup.h"
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
    // Read before the bank's look-up replaces the directory's row in lookup.
    RecipientLookup::ColumnValues values = RecipientLookup::RecipientOf(lookup);
    values.append({DocumentColumn::RecipientAccount, lookup.text(QStringLiteral("SCHET"))});
    const QString bik = lookup.text(QStringLiteral("BIK"));
    const BankDetails bank = LookupBank(bankQuery, lookup, bik);
    if (!bank.usable())
        return QStringLiteral("В справочнике банков нет действующего банка получателя ЕНП (БИК %1)").arg(bik);
    values += RecipientLookup::RecipientBankOf(bank);

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
