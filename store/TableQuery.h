#pragma once

#include "store/SqlText.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

// A statement the program builds itself: every column of one table, the rows whose
// columns equal the given values, in the order of one column. A data set reads what it
// needs from it as it stands, never from SQL text parsed back.
struct TableQuery
{
    QString table = {};
    QList<std::pair<QString, QVariant>> equal = {}; // column = value, all of them
    QString orderBy = {};                            // a column, "1" for the first, empty for none
    bool descending = false;

    // The statement as SQL text with `?` marks, and its values in order.
    SqlStatement statement() const;
};
