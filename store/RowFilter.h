#pragma once

#include "store/Schema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The rows a list shows while its filter is on: those whose column holds the value. The
// value is the program's own text form of the cell, as the user saw it: "1234,5" for an amount.
class RowFilter
{
public:
    RowFilter() = default;
    RowFilter(const QString &column, const QString &value) : m_column(column), m_value(value) {}

    QString column() const { return m_column; }
    QString value() const { return m_value; }
    bool isEmpty() const { return m_column.isEmpty(); }

    // Made ready for a column of this kind; a number that is none shows no row.
    void prepare(ColumnKind kind);
    // Whether a raw cell of that column passes.
    bool passes(QByteArrayView raw) const;

private:
    QString m_column;
    QString m_value;
    ColumnKind m_kind = ColumnKind::Text;
    QByteArray m_bytes;  // the value's raw form
    double m_number = 0;
    bool m_valid = true;
};
