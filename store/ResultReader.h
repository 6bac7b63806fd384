#pragma once

#include "store/Schema.h"

#include <QByteArrayView>
#include <QString>
#include <QVariantList>

#include <memory>

class Database;

// Walks the rows of a select as UTF-8 text straight from the engine's client
// library, without a QVariant per cell: opening a register of a hundred
// thousand documents is bound by this loop.
class ResultReader
{
public:
    virtual ~ResultReader() = default;
    // Runs the statement with its `?` marks bound to the values in order; throws
    // AppError with the database's text.
    static std::unique_ptr<ResultReader> open(Database &db, const QString &sql, const QVariantList &values = {});

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // The kind the engine reports, for tables the schema does not know.
    virtual ColumnKind reportedKind(int column) const = 0;
    virtual bool next() = 0;
    // The cell in the engine's text form (ISO dates, a point in numbers, the
    // shortest digits that read back as the same double); empty for a null.
    // Valid until the next call.
    virtual QByteArrayView text(int column) = 0;

private:
    static std::unique_ptr<ResultReader> openOn(Database &db, const QString &sql, const QVariantList &values);
};
