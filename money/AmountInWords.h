#pragma once

#include <QString>
#include <QtGlobal>

// Grammatical number class of a Russian count: 1 рубль, 2 рубля, 5 рублей.
enum class Plural { One, Few, Many };

// Class of n by its last two digits; zero and negative n are Many.
Plural PluralClass(int n);

// Words of a whole number of roubles, without the currency word: "Ноль" for 0,
// lower case otherwise ("одна тысяча два"). Five groups of three digits at most:
// 10^15 or more throws AppError with an empty message; a negative count throws too.
QString RoublesInWords(qint64 roubles);

// True for an amount in roubles that the words are written for: finite, not negative and, in
// whole kopecks (a half upwards), at most 999 999 999 999 999.99.
bool AmountHasWords(double amount);

// The amount, a count of ten-thousandths of a rouble, in Russian words with the
// kopecks in two digits: "Двенадцать рублей 34 копейки". The amount is first
// brought to whole kopecks (a half kopeck upwards). A negative amount throws AppError.
QString AmountInWords(qint64 amount);
