#include "store/AsciiDigits.h"

#include <algorithm>

bool isAsciiDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isAsciiDigit);
}

bool isAsciiDigits(QStringView text, qsizetype length)
{
    return text.size() == length && isAsciiDigits(text);
}
