#pragma once

#include "store/BankLookup.h"

#include <QList>
#include <QString>

#include <utility>

class DataSet;
class Session;

// The recipient of the document being edited, looked up in the directories: by its account in
// the recipient directory, its bank by BIK in the bank directory; a new account joins the
// recipient directory.
namespace RecipientLookup {

// Columns of the document with the values they take.
using ColumnValues = QList<std::pair<QString, QString>>;

// The recipient of the recipient directory's current row, as the document's columns: INN,
// KPP, the four name lines and the BIK.
ColumnValues RecipientOf(const DataSet &directory);
// A bank's details as the document's columns of the recipient's bank.
ColumnValues RecipientBankOf(const BankDetails &bank);

// What a look-up of the recipient brought.
struct Answer
{
    bool goesOn = true;     // false: the field is refused and keeps the focus
    bool bankUsable = true;  // false: the BIK found no bank that takes payments; the field's text is to be selected
    QString message;        // the red line's text, empty when there is nothing to say
};

// The recipient's account: refused unless it is digits; found in the recipient directory, the
// recipient's INN, KPP, names and BIK come into the document, and its bank's details.
Answer FillByAccount(Session &session, DataSet &general, DataSet &bank);

// The bank's details by the document's BIK; an unknown or revoked bank leaves them empty.
// A bank that exists lets a recipient account not yet in the directory join it.
Answer FillBank(Session &session, DataSet &general, DataSet &bank, DataSet &recipients);

// A recipient account not yet in the directory joins it with the document's recipient.
// True when a row was added.
bool Remember(Session &session, DataSet &recipients);

} // namespace RecipientLookup
