#pragma once

#include <QString>

class DataSet;
class Session;

// The unified tax payment: one KBK, one recipient, the other tax fields "0".
namespace UnifiedTaxPayment {

inline constexpr const char *Kbk = "18201061201010000510";
inline constexpr const char *PayerStatus = "01";
// The treasury account that names the recipient's row in the recipient directory; the row
// holds the recipient's INN, KPP, name and BIK, the bank directory the bank's, so that
// the Treasury's changes are made there, without a new program.
inline constexpr const char *TreasuryAccount = "03100643000000018500";
inline constexpr const char *Purpose = "Единый налоговый платеж";

// Fills the document being edited (q1's pending record) as a unified tax payment, the
// recipient and its bank from the directories read through the two queries. Empty when
// done; otherwise the message saying what the directories lack, and nothing is changed.
QString Fill(Session &session, DataSet &lookup, DataSet &bankQuery);

} // namespace UnifiedTaxPayment
