#include "editor/RecipientLookup.h"
#include "document/DocumentColumns.h"
#include "editor/RecipientAccount.h"
#include "session/Session.h"
#include "store/DataSet.h"
#include "store/TextWidth.h"

namespace RecipientLookup {

namespace {

const QString recipientTable = QStringLiteral("S_POL");
const QString accountColumn = QStringLiteral("SCHET");

// The recipient's columns in the document and in the directory.
const struct
{
    const char *document;
    const char *directory;
} recipientColumns[] = {
    {"INN_POL", "INN"},     {"KPP_POL", "KPP"},     {"NAME_POL1", "NAME1"}, {"NAME_POL2", "NAME2"},
    {"NAME_POL3", "NAME3"}, {"NAME_POL4", "NAME4"}, {"MFOBANKPOL", "BIK"},
};

// The bank's details by the document's BIK; an unusable bank's go no further into the
// document than an unknown one's.
Answer fillBank(DataSet &doc, DataSet &general, DataSet &bank)
{
    BankDetails details = LookupBank(bank, general, doc.text(DocumentColumn::RecipientBik));
    Answer answer;
    answer.bankUsable = details.usable();
    if (!answer.bankUsable) {
        answer.message = BankRefusal(details);
        details = BankDetails{};
    }
    for (const auto &[column, value] : RecipientBankOf(details))
        doc.setValue(column, value);
    return answer;
}

} // namespace

ColumnValues RecipientOf(const DataSet &directory)
{
    ColumnValues values;
    for (const auto &c : recipientColumns)
        values.append({QLatin1String(c.document), directory.text(QLatin1String(c.directory))});
    return values;
}

ColumnValues RecipientBankOf(const BankDetails &bank)
{
    return {{QStringLiteral("BANK_POL1"), bank.name},
            {QStringLiteral("K_SBANK_KT"), bank.correspondent},
            {QStringLiteral("NNP_POL"), bank.settlement},
            {QStringLiteral("TNP_POL"), bank.settlementType}};
}

Answer FillByAccount(Session &session, DataSet &general, DataSet &bank)
{
    DataSet &doc = session.documents();
    if (!RecipientAccountPasses(doc.text(DocumentColumn::RecipientAccount)))
        return {false, true, QStringLiteral("счет должен состоять из цифр")};
    general.close();
    general.setQuery({recipientTable, {{accountColumn, doc.text(DocumentColumn::RecipientAccount)}}});
    general.open();
    if (general.isEmpty())
        return {};
    general.first();
    for (const auto &[column, value] : RecipientOf(general))
        doc.setValue(column, value);
    // Its bank is looked up too; whatever it finds, the editor goes on to the INN.
    return fillBank(doc, general, bank);
}

Answer FillBank(Session &session, DataSet &general, DataSet &bank, DataSet &recipients)
{
    DataSet &doc = session.documents();
    Answer answer = fillBank(doc, general, bank);
    answer.goesOn = answer.bankUsable;
    if (answer.goesOn)
        Remember(session, recipients);
    return answer;
}

bool Remember(Session &session, DataSet &recipients)
{
    DataSet &doc = session.documents();
    const QString account = doc.text(DocumentColumn::RecipientAccount);
    recipients.close();
    recipients.setQuery({recipientTable, {{accountColumn, account}}});
    recipients.open();
    if (!recipients.isEmpty())
        return false;
    // The directory grows from the documents: a new account joins it once its bank is known.
    recipients.insert();
    for (const auto &c : recipientColumns)
        recipients.setValue(QLatin1String(c.directory), doc.text(QLatin1String(c.document)));
    recipients.setValue(accountColumn, account);
    recipients.setValue(QStringLiteral("NAME"), leftCharacters(doc.text(QStringLiteral("NAME_POL1")), 20));
    recipients.post();
    return true;
}

} // namespace RecipientLookup
