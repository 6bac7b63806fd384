#pragma once

#include <QDate>
#include <QString>

// Reads a date typed as day.month or day.month.year ("," counts as "."), each
// number of one or more digits. Without a year the year of today is taken; a
// year of one or two digits lands in the hundred years from today's year - 50
// to today's year + 49; a longer year is taken as written. Text that is empty
// or only blanks gives a null date; anything else that is not a valid date
// throws AppError naming the text.
QDate ReadDateText(const QString &text, const QDate &today);

// The date as "dd.mm.yy"; an empty text for a null date.
QString WriteDateText(const QDate &date);
