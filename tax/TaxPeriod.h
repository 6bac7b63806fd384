#pragma once

#include <QDate>
#include <QList>
#include <QStringList>

// The tax period of field 107 composed from lists: a kind of period, then a
// month, quarter or half-year, then a year, each written into the field at once.

enum class PeriodList { Kind, Month, Quarter, HalfYear, Year };

struct PeriodKind
{
    const char *caption; // item of Lp1
    const char *written; // replaces the whole field
    PeriodList next;
};

// The items of Lp1, in order.
const QList<PeriodKind> &periodKinds();

// The objectName of a list: Lp1 to Lp5.
QString periodListName(PeriodList list);
// The items of a list; the years run from 2000 to the year after today's.
QStringList periodListItems(PeriodList list, const QDate &today);
// The item a list opens on: today's month, quarter, half-year or year; the
// first kind in Lp1.
int periodOpeningItem(PeriodList list, const QDate &today);
