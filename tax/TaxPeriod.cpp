#include "tax/TaxPeriod.h"

namespace {

constexpr int FirstYear = 2000;

QStringList twoDigits(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return items;
}

} // namespace

const QList<PeriodKind> &periodKinds()
{
    using L = PeriodList;
    static const QList<PeriodKind> kinds = {
        {"за 1 декаду месяца", "Д1.", L::Month},
        {"за 2 декаду месяца", "Д2.", L::Month},
        {"за 3 декаду месяца", "Д3.", L::Month},
        {"за месяц", "МС.", L::Month},
        {"за квартал", "КВ.", L::Quarter},
        {"за полугодие", "ПЛ.", L::HalfYear},
        {"за год", "ГД.00.", L::Year},
    };
    return kinds;
}

QString periodListName(PeriodList list)
{
    static const char *const names[] = {"Lp1", "Lp2", "Lp4", "Lp5", "Lp3"};
    return QLatin1String(names[int(list)]);
}

QStringList periodListItems(PeriodList list, const QDate &today)
{
    switch (list) {
    case PeriodList::Kind: {
        QStringList items;
        for (const PeriodKind &k : periodKinds())
            items << QString::fromUtf8(k.caption);
        return items;
    }
    case PeriodList::Month:
        return twoDigits(12);
    case PeriodList::Quarter:
        return twoDigits(4);
    case PeriodList::HalfYear:
        return twoDigits(2);
    case PeriodList::Year: {
        QStringList items;
        // A payment may be made ahead for the coming year.
        for (int year = FirstYear; year <= qMax(FirstYear, today.year() + 1); ++year)
            items << QString::number(year);
        return items;
    }
    }
    return {};
}

int periodOpeningItem(PeriodList list, const QDate &today)
{
    const int month = today.month();
    switch (list) {
    case PeriodList::Kind:
        return 0;
    case PeriodList::Month:
        return month - 1;
    case PeriodList::Quarter:
        return (month - 1) / 3;
    case PeriodList::HalfYear:
        return (month - 1) / 6;
    case PeriodList::Year:
        return qMax(0, today.year() - FirstYear);
    }
    return 0;
}
