#include "document/CheckDigits.h"

#include "store/AsciiDigits.h"

namespace {

int digit(const QString &text, int i)
{
    return text.at(i).unicode() - '0';
}

// (sum of digit times weight) mod 11 mod 10, over the first weights.size() digits.
template <std::size_t N>
int innDigit(const QString &inn, const int (&weights)[N])
{
    int sum = 0;
    for (std::size_t i = 0; i < N; ++i)
        sum += digit(inn, int(i)) * weights[i];
    return sum % 11 % 10;
}

// The sum of the last digits of digit times 7,1,3,... over the prefix and the account.
int weightedSum(const QString &digits)
{
    static const int weights[] = {7, 1, 3};
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i)
        sum += digit(digits, i) * weights[i % 3] % 10;
    return sum;
}

// An account held at the Bank of Russia itself takes "0" and BIK digits 5-6 as its prefix.
QString prefixFor(const QString &bik, const QString &account)
{
    const bool atBankOfRussia = account.startsWith(QLatin1String("30101")) || bik.endsWith(QLatin1String("000"));
    return atBankOfRussia ? QLatin1Char('0') + bik.mid(4, 2) : bik.right(3);
}

} // namespace

namespace CheckDigits {

bool isTreasuryAccount(const QString &bik, const QString &account)
{
    static const char *const biks[] = {"00", "01"};
    static const char *const accounts[] = {"03", "40102"};
    for (const char *start : biks)
        if (bik.startsWith(QLatin1String(start)))
            return true;
    for (const char *start : accounts)
        if (account.startsWith(QLatin1String(start)))
            return true;
    return false;
}

int accountKey(const QString &bik, const QString &account)
{
    if (!isBik(bik) || !isAccount(account))
        return -1;
    QString digits = prefixFor(bik, account) + account;
    digits[3 + 8] = QLatin1Char('0');
    return weightedSum(digits) % 10 * 3 % 10;
}

bool accountMatchesBik(const QString &bik, const QString &account)
{
    if (isTreasuryAccount(bik, account))
        return true;
    const int key = accountKey(bik, account);
    return key >= 0 && digit(account, 8) == key;
}

bool innIsValid(const QString &inn)
{
    static const int ten[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
    static const int eleven[] = {7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
    static const int twelve[] = {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
    if (isAsciiDigits(inn, 10))
        return innDigit(inn, ten) == digit(inn, 9);
    if (isAsciiDigits(inn, 12))
        return innDigit(inn, eleven) == digit(inn, 10) && innDigit(inn, twelve) == digit(inn, 11);
    return false;
}

bool isBik(const QString &text)
{
    return isAsciiDigits(text, 9);
}

bool isAccount(const QString &text)
{
    return isAsciiDigits(text, 20);
}

} // namespace CheckDigits
