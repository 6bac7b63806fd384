#pragma once

#include <QChar>
#include <QStringView>

// Identifiers (BIK, account, INN, KPP, KBK, OKATO, the code of field 22) and the numbers the
// program reads take the ASCII digits 0-9 only: QChar::isDigit and \d in a regular expression
// also take full-width and other scripts' digits, which no bank or database lookup matches.
inline bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// At least one character, every one an ASCII digit.
bool isAsciiDigits(QStringView text);
// The same, exactly `length` characters long.
bool isAsciiDigits(QStringView text, qsizetype length);
