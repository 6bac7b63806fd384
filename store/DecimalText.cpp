#include "store/DecimalText.h"

#include "store/AppError.h"
#include "store/AsciiDigits.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace {

std::optional<double> parse(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();

    bool negative = false;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');

    // Mantissa digits without the comma; point = how many stand before it.
    std::string mantissa;
    qsizetype point = -1;
    for (; i < n; ++i) {
        if (isAsciiDigit(t[i]))
            mantissa += char(t[i].unicode());
        else if (t[i] == QLatin1Char(',') && point < 0)
            point = static_cast<qsizetype>(mantissa.size());
        else
            break;
    }
    if (mantissa.empty())
        return std::nullopt;
    if (point < 0)
        point = static_cast<qsizetype>(mantissa.size());

    // Exponent, saturated: its digits may be arbitrarily many.
    constexpr long long ExpCap = 1000000000;
    long long exponent = 0;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            expNegative = t[i++] == QLatin1Char('-');
        const qsizetype start = i;
        for (; i < n && isAsciiDigit(t[i]); ++i)
            exponent = std::min(ExpCap, exponent * 10 + (t[i].unicode() - '0'));
        if (i == start)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    const double zero = negative ? -0.0 : 0.0;
    const auto first = mantissa.find_first_not_of('0');
    if (first == std::string::npos)
        return zero;

    // Rewrite as 0.DDD e(order) with a small order, so that neither a long
    // exponent nor many leading zeros reach the conversion.
    const long long order = static_cast<long long>(point) - static_cast<long long>(first) + exponent;
    if (order > 400)
        return std::nullopt;
    if (order < -400)
        return zero;
    const std::string normal = std::string(negative ? "-" : "") + "0." + mantissa.substr(first)
        + "e" + std::to_string(order);
    double value = 0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ec == std::errc::result_out_of_range)
        return order > 0 ? std::nullopt : std::optional<double>(zero);
    if (res.ec != std::errc() || res.ptr != normal.data() + normal.size())
        return std::nullopt;
    return value;
}

} // namespace

bool ReadsAsDecimal(const QString &text)
{
    return parse(text).has_value();
}

double ReadDecimal(const QString &text)
{
    const std::optional<double> value = parse(text);
    if (!value)
        throw AppError(QStringLiteral("Неверное число: %1").arg(text));
    return *value;
}
