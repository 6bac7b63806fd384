#include "money/MoneyText.h"

#include "store/AppError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// A non-negative decimal: digits[i] stands at the power of ten (exp - i).
// No digits means zero.
struct Decimal {
    std::string digits;
    int exp = 0;
};

// The shortest decimal that reads back as the same double.
Decimal toDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    d.exp = std::stoi(text.substr(e + 1));
    return d;
}

// Round half upwards so that no digit stands below 10^lowest.
void roundAt(Decimal &d, int lowest)
{
    if (d.digits.empty())
        return;
    const int keep = d.exp - lowest + 1;
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9')
            d.digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exp;
        }
    }
    const auto last = d.digits.find_last_not_of('0');
    if (last == std::string::npos)
        d.digits.clear();
    else
        d.digits.resize(last + 1);
}

char digitAt(const Decimal &d, int power)
{
    const int i = d.exp - power;
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
}

} // namespace

QString MoneyText(double amount)
{
    if (!std::isfinite(amount))
        throw AppError(QStringLiteral("Сумму нельзя записать цифрами: она не является числом"));

    Decimal d = toDecimal(std::fabs(amount));
    // A computed amount such as 1000*20/120 or 1.1*1.15 carries binary noise in
    // its 16th and 17th digits; 15 significant digits remove it before the
    // kopeck rounding, while large amounts keep at least three decimals.
    if (!d.digits.empty())
        roundAt(d, d.exp - std::max(15, d.exp + 4) + 1);
    roundAt(d, -2);

    std::string text;
    if (amount < 0 && !d.digits.empty())
        text += '-';
    for (int p = std::max(d.exp, 0); p >= 0; --p)
        text += digitAt(d, p);
    text += '-';
    text += digitAt(d, -1);
    text += digitAt(d, -2);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
