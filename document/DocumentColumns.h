#pragma once

#include <QString>

// The words of a document spelled once: its two tables and the columns the program's
// rules name. Each is a column of the schema; a test holds them against it.
namespace DocumentTable {
inline const QString Current = QStringLiteral("PL");
inline const QString Archive = QStringLiteral("PL_A");
} // namespace DocumentTable

namespace DocumentColumn {
inline const QString Id = QStringLiteral("ID");
inline const QString Number = QStringLiteral("NOM");
inline const QString Date = QStringLiteral("DATE");
inline const QString Amount = QStringLiteral("S");
inline const QString State = QStringLiteral("PRIZN_DK");
inline const QString Mark = QStringLiteral("CHEKED");
inline const QString Login = QStringLiteral("LOGIN");
inline const QString Tax = QStringLiteral("NALOG");
inline const QString PaymentKind = QStringLiteral("VID_PLAT");
inline const QString AmountInWords = QStringLiteral("PER1");
inline const QString RecipientAccount = QStringLiteral("SCH_KT");
inline const QString RecipientBik = QStringLiteral("MFOBANKPOL");
inline const QString VatRate = QStringLiteral("NDS");
inline const QString VatLine = QStringLiteral("NAZNACH5");
} // namespace DocumentColumn

// The mark of Space: "V" on a marked document, empty on the others.
namespace Mark {
inline const QString Column = DocumentColumn::Mark;
inline const QString Set = QStringLiteral("V");
} // namespace Mark
