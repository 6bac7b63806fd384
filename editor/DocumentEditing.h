#pragma once

#include <QString>

class DataSet;
class Session;

// The editor's rules over the document being edited (q1's pending record), apart from keys
// and focus: the page calls them and shows what they answer.
namespace DocumentEditing {

// The date as typed, a comma for a point and read against today, into the document and as
// the user's last date P2. Gives the date's text as the box then shows it.
QString ConfirmDate(Session &session, const QString &typed);

// A simple payment or a tax payment; a simple one holds no tax fields.
void WritePaymentType(Session &session, bool tax);

// The amount confirmed twice, and its words.
void WriteAmount(Session &session, double amount);

// NAZNACH5 from the VAT rate, the amount and the user's text for no VAT.
void WriteVatLine(Session &session);

// What a look-up of the recipient brought.
struct LookupAnswer
{
    bool goesOn = true;     // false: the field is refused and keeps the focus
    bool bankUsable = true;  // false: the BIK found no bank that takes payments; the field's text is to be selected
    QString message;        // the red line's text, empty when there is nothing to say
};

// The recipient's account: refused unless it is digits; found in the recipient directory, the
// recipient's INN, KPP, names and BIK come into the document, and its bank's details.
LookupAnswer FillRecipientByAccount(Session &session, DataSet &general, DataSet &bank);

// The bank's details by the document's BIK; an unknown or revoked bank leaves them empty.
// A bank that exists lets a recipient account not yet in the directory join it.
LookupAnswer FillRecipientBank(Session &session, DataSet &general, DataSet &bank, DataSet &recipients);

// A recipient account not yet in the directory joins it with the document's recipient.
// True when a row was added.
bool RememberRecipient(Session &session, DataSet &recipients);

enum class Leaving
{
    Closed, // stored, or gone elsewhere and kept as new or dropped: the register is shown
    Stays,  // not stored: the editor stays with everything typed
};

// Leaves the editor: the document is stored Completed when finished or already past Open,
// else Saved. A row changed elsewhere keeps the editor; a row deleted elsewhere is kept
// as a new document or dropped, as the user answers.
Leaving Leave(Session &session, bool finished);

} // namespace DocumentEditing
