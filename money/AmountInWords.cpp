#include "money/AmountInWords.h"

#include "store/AppError.h"

#include <QStringList>

#include <cmath>

namespace {

const char *const UnitsMasculine[10] = {
    "", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};
const char *const UnitsFeminine[10] = {
    "", "одна", "две", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};
const char *const Teens[10] = {
    "десять", "одиннадцать", "двенадцать", "тринадцать", "четырнадцать",
    "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
const char *const Tens[10] = {
    "", "", "двадцать", "тридцать", "сорок",
    "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
const char *const Hundreds[10] = {
    "", "сто", "двести", "триста", "четыреста",
    "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};

struct Group {
    const char *name;
    const char *endings[3]; // by Plural: One, Few, Many
};

// Index = group number from the right; group 0 (units) has no name.
const Group Groups[5] = {
    {"", {"", "", ""}},
    {"тысяч", {"а", "и", ""}},
    {"миллион", {"", "а", "ов"}},
    {"миллиард", {"", "а", "ов"}},
    {"триллион", {"", "а", "ов"}},
};

const char *const RoubleEndings[3] = {"ь", "я", "ей"};
const char *const KopeckEndings[3] = {"йка", "йки", "ек"};

constexpr qint64 GroupLimit = Q_INT64_C(1000000000000000); // 10^15: six groups

QString word(const char *utf8) { return QString::fromUtf8(utf8); }

QString ending(const char *const endings[3], int n)
{
    return word(endings[static_cast<int>(PluralClass(n))]);
}

void refuseNegative()
{
    throw AppError(QStringLiteral("Сумма прописью не пишется для отрицательной суммы"));
}

} // namespace

Plural PluralClass(int n)
{
    if ((n / 10) % 10 == 1)
        return Plural::Many;
    switch (n % 10) {
    case 1:
        return Plural::One;
    case 2:
    case 3:
    case 4:
        return Plural::Few;
    default:
        return Plural::Many;
    }
}

QString RoublesInWords(qint64 roubles)
{
    if (roubles < 0)
        refuseNegative();
    if (roubles >= GroupLimit)
        throw AppError(QString());
    if (roubles == 0)
        return QStringLiteral("Ноль");

    QStringList words;
    qint64 scale = GroupLimit / 1000; // 1000^4
    for (int k = 4; k >= 0; --k, scale /= 1000) {
        const int value = static_cast<int>(roubles / scale % 1000);
        if (value == 0)
            continue;
        const int h = value / 100, t = value / 10 % 10, u = value % 10;
        if (h != 0)
            words << word(Hundreds[h]);
        if (t == 1) {
            words << word(Teens[u]);
        } else {
            if (t != 0)
                words << word(Tens[t]);
            if (u != 0)
                words << word(k == 1 ? UnitsFeminine[u] : UnitsMasculine[u]);
        }
        if (k > 0)
            words << word(Groups[k].name) + ending(Groups[k].endings, value);
    }
    return words.join(QLatin1Char(' '));
}

bool AmountHasWords(double amount)
{
    if (!std::isfinite(amount) || amount < 0)
        return false;
    // Compared as a double: the kopecks of an amount far too large overflow any integer.
    return std::floor(amount * 100 + 0.5) < double(GroupLimit) * 100;
}

QString AmountInWords(qint64 amount)
{
    if (amount < 0)
        refuseNegative();
    // Whole kopecks first, so that 12.999 becomes 13 roubles; dividing before
    // adding the half keeps the largest input from overflowing.
    const qint64 kopecks = amount / 100 + (amount % 100 >= 50 ? 1 : 0);
    const qint64 roubles = kopecks / 100;
    const int kopeckFigure = static_cast<int>(kopecks % 100);
    const int lastGroup = static_cast<int>(roubles % 1000);

    QString text = RoublesInWords(roubles) + QLatin1Char(' ')
        + word("рубл") + ending(RoubleEndings, lastGroup) + QLatin1Char(' ')
        + QStringLiteral("%1").arg(kopeckFigure, 2, 10, QLatin1Char('0')) + QLatin1Char(' ')
        + word("копе") + ending(KopeckEndings, kopeckFigure);
    text[0] = text[0].toUpper();
    return text;
}
