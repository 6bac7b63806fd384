#pragma once

#include <QHash>
#include <QString>
#include <QVector>

class DataSet;

// One document of the print source as the form reads it: every column's text in
// the program's own forms (dates dd.mm.yy) and the amount as a number.
struct PrintedDocument
{
    QHash<QString, QString> fields; // upper-case column names
    double amount = 0;              // an empty amount reads as 0

    QString field(const QString &column) const { return fields.value(column.toUpper()); }

    static PrintedDocument fromCurrentRow(const DataSet &source);
    // Every row of the print source, in its order.
    static QVector<PrintedDocument> allRows(DataSet &source);
};
