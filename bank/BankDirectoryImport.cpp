#include "bank/BankDirectoryImport.h"

#include "store/AppError.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/TextWidth.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>

namespace {

const char *const columns[] = {"NEWNUM", "NAMEP", "KSNP", "NNP", "TNP", "OTZYV"};
constexpr int columnCount = 6;
// Rows per insert: well under SQLite's limit of bound values, and few round trips to a server.
constexpr int rowsPerInsert = 100;

// "г." and "г", "ПГТ" and "пгт" name one settlement type.
QString typeKey(const QString &name)
{
    QString key = name.trimmed().toLower();
    key.remove(QLatin1Char('.'));
    return key;
}

struct SettlementTypes
{
    QHash<QString, QString> codeByName;
    QSet<QString> codes;
};

SettlementTypes readSettlementTypes(Database &db)
{
    SettlementTypes types;
    QSqlQuery q = db.run(QStringLiteral("select KOD, NAME from TNP"));
    while (q.next()) {
        const QString code = q.value(0).toString().trimmed();
        types.codes.insert(code);
        types.codeByName.insert(typeKey(q.value(1).toString()), code);
    }
    return types;
}

QString insertSql(int rows)
{
    QStringList names;
    QStringList marks;
    for (const char *c : columns) {
        names << QLatin1String(c);
        marks << QStringLiteral("?");
    }
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << row;
    return QStringLiteral("insert into BANK (%1) values %2").arg(names.join(QLatin1Char(',')), all.join(QLatin1Char(',')));
}

} // namespace

BankImportSummary ReplaceBankDirectory(Database &db, const BankFile &file, const BankProgress &progress)
{
    const TableDef &bank = *Schema::table(QStringLiteral("BANK"));
    int widths[columnCount];
    for (int c = 0; c < columnCount; ++c)
        widths[c] = Schema::column(bank, QLatin1String(columns[c]))->width;
    const SettlementTypes types = readSettlementTypes(db);

    BankImportSummary summary;
    summary.skipped = file.skipped;
    QMap<QString, int> unknown;
    QVariantList values;
    values.reserve(rowsPerInsert * columnCount);
    // Prepared once: a statement prepared anew for every batch costs the server more than the rows.
    QSqlQuery fullInsert = db.query();
    const auto flush = [&] {
        const int rows = int(values.size()) / columnCount;
        if (rows == 0)
            return;
        if (rows < rowsPerInsert) {
            db.run(insertSql(rows), values);
        } else {
            for (int i = 0; i < values.size(); ++i)
                fullInsert.bindValue(i, values.at(i));
            if (!fullInsert.exec())
                throw AppError(Database::errorText(fullInsert.lastError()));
        }
        values.clear();
    };

    db.transaction();
    try {
        if (!fullInsert.prepare(insertSql(rowsPerInsert)))
            throw AppError(Database::errorText(fullInsert.lastError()));
        db.run(QStringLiteral("delete from BANK"));
        for (const BankRecord &b : file.banks) {
            QString type;
            if (!b.settlementType.trimmed().isEmpty()) {
                type = b.settlementTypeIsCode ? (types.codes.contains(b.settlementType.trimmed()) ? b.settlementType.trimmed() : QString())
                                              : types.codeByName.value(typeKey(b.settlementType));
                if (type.isEmpty())
                    ++unknown[b.settlementType.trimmed()];
            }
            const QString row[columnCount] = {b.bik, b.name.trimmed(), b.correspondent.trimmed(), b.settlement.trimmed(), type,
                                              b.revoked ? QStringLiteral("V") : QString()};
            for (int c = 0; c < columnCount; ++c)
                values << leftCharacters(row[c], widths[c]);
            if (b.revoked)
                ++summary.revoked;
            ++summary.banks;
            if (values.size() == rowsPerInsert * columnCount) {
                flush();
                if (progress)
                    progress(summary.banks, file.banks.size());
            }
        }
        flush();
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (progress)
        progress(summary.banks, file.banks.size());
    for (auto it = unknown.cbegin(); it != unknown.cend(); ++it)
        summary.unknownTypes << QStringLiteral("«%1» (%2)").arg(it.key()).arg(it.value());
    return summary;
}
