#pragma once

#include "store/Schema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

// The forms one value takes between the engines and the program. A snapshot keeps each
// cell as its raw form: a text as it is, ISO dates, numbers in the shortest digits that
// read back the same with a point, "1" and "0" for logicals, nothing for a null.
namespace CellForm {

// A typed value in its raw form.
QString raw(ColumnKind kind, const QVariant &value);
// The typed value of a raw form; a null for an empty one, but an empty text stays a text.
QVariant typed(ColumnKind kind, const QString &raw);
// An engine's text of a cell (any engine's spelling of a date, a number, a logical) in raw form.
void appendFromEngine(QByteArray &raw, ColumnKind kind, QByteArrayView engineText);
// A number that orders like the raw cell: dates as yyyymmdd, numbers as they are; `null` for none.
double sortKey(ColumnKind kind, QByteArrayView raw, double null);
// The program's own text of a typed value: dd.mm.yy dates, the decimal comma, True and False.
QString text(ColumnKind kind, const QVariant &value);

// Throws AppError naming the column where a typed value is one it cannot hold: a number
// that is not finite, a date outside the years 1 to 9999.
void check(ColumnKind kind, const QString &column, const QVariant &value);
// What the user typed, as the typed value of a column that holds no text: a date read
// against today, a number with a comma or a point, True/False or 1/0; a null for blanks.
// Throws AppError naming the text it cannot read.
QVariant fromTyping(ColumnKind kind, const QString &column, const QString &text);

} // namespace CellForm
