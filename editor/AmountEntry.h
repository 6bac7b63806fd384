#pragma once

#include <QString>
#include <QVariant>

// The amount as typed twice in the amount entry and as shown in the amount box.

// A text that reads as a decimal number (decimal comma) and can be stored with
// its words: not negative, finite, within the range the words are written for.
bool ReadsAsAmount(const QString &text);
// Its value; throws AppError when it does not read.
double ReadAmount(const QString &text);

// PER1 for an amount: the words of S x 10000 brought to a whole number, a half
// to the even neighbour.
QString AmountWordsOf(double amount);

// S in the form "#.00" with the decimal comma: 1234.5 as "1234,50", 0.5 as ",50";
// an empty text for no amount.
QString AmountDisplayText(const QVariant &amount);
