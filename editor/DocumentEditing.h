#pragma once

#include <QString>

class DataSet;
class Session;

// The editor's rules over the document being edited (q1's pending record), apart from keys
// and focus: the page calls them and shows what they answer. The recipient's look-up is
// RecipientLookup's.
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
