#pragma once

#include <QString>

// A decimal number as typed in the amount entry: optional blanks, an optional
// sign, digits with at most one decimal comma among them (also first or last,
// ",5" and "5,"), an optional exponent (E or e, an optional sign, digits) and
// optional blanks. At least one digit is needed; "." is not a separator. A value
// too large for a double does not read; one too small reads as zero. Independent
// of the machine's locale.
bool ReadsAsDecimal(const QString &text);

// The value of such a text; throws AppError when the text does not read.
double ReadDecimal(const QString &text);
