#include "bank/BankDirectoryImport.h"

#include "store/AppError.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/TextWidth.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>

#include <array>

namespace {

const char *const columns[] = {"NEWNUM", "NAMEP", "KSNP", "NNP", "TNP", "OTZYV"};
constexpr int columnCount = 6;
using Row = std::array<QString, columnCount>;
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

QString columnList()
{
    QStringList names;
    for (const char *c : columns)
        names << QLatin1String(c);
    return names.join(QLatin1Char(','));
}

// Placeholders for a list of values: "?,?,?".
QString marks(int count)
{
    QStringList all;
    for (int i = 0; i < count; ++i)
        all << QStringLiteral("?");
    return all.join(QLatin1Char(','));
}

QString insertSql(int rows)
{
    const QString row = QLatin1Char('(') + marks(columnCount) + QLatin1Char(')');
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << row;
    return QStringLiteral("insert into BANK (%1) values %2").arg(columnList(), all.join(QLatin1Char(',')));
}

// Each BIK's rows in BANK as they stand, blanks aside, to tell added, changed and removed banks.
QHash<QString, QList<Row>> readRows(Database &db)
{
    QSqlQuery q = db.run(QStringLiteral("select %1 from BANK").arg(columnList()));
    QHash<QString, QList<Row>> rows;
    while (q.next()) {
        Row row;
        for (int c = 0; c < columnCount; ++c)
            row[c] = q.value(c).toString().trimmed();
        rows[row[0]] << row;
    }
    return rows;
}

bool sameRow(const Row &stored, const Row &written)
{
    for (int c = 0; c < columnCount; ++c)
        if (stored[c] != written[c].trimmed())
            return false;
    return true;
}

} // namespace

BankImportSummary ImportBankDirectory(Database &db, const BankFile &file, const BankProgress &progress)
{
    const QString name = file.source.isEmpty() ? file.format : file.source;
    // An empty table from a file cut or made wrongly would leave every payment without its bank.
    if (file.banks.isEmpty())
        throw AppError(QStringLiteral("В файле %1 нет ни одного банка (%2)").arg(name, file.format));
    const TableDef &bank = *Schema::table(QStringLiteral("BANK"));
    int widths[columnCount];
    for (int c = 0; c < columnCount; ++c)
        widths[c] = Schema::column(bank, QLatin1String(columns[c]))->width;
    const SettlementTypes types = readSettlementTypes(db);

    BankImportSummary summary;
    summary.format = file.format;
    summary.source = file.source;
    summary.fullReplacement = file.fullDirectory;
    summary.skipped = file.skipped;
    QMap<QString, int> unknown;
    QVariantList values;
    QVariantList biks;
    values.reserve(rowsPerInsert * columnCount);
    // Prepared once: a statement prepared anew for every batch costs the server more than the rows.
    QSqlQuery fullInsert = db.query();
    const auto flush = [&] {
        const int rows = int(values.size()) / columnCount;
        if (rows == 0)
            return;
        // A change list replaces a bank's rows, however many BANK held for its BIK.
        if (!file.fullDirectory)
            db.run(QStringLiteral("delete from BANK where NEWNUM in (%1)").arg(marks(rows)), biks);
        if (rows < rowsPerInsert) {
            db.run(insertSql(rows), values);
        } else {
            for (int i = 0; i < values.size(); ++i)
                fullInsert.bindValue(i, values.at(i));
            if (!fullInsert.exec())
                throw AppError(Database::errorText(fullInsert.lastError()));
        }
        values.clear();
        biks.clear();
    };

    db.transaction();
    try {
        if (!fullInsert.prepare(insertSql(rowsPerInsert)))
            throw AppError(Database::errorText(fullInsert.lastError()));
        const QHash<QString, QList<Row>> before = readRows(db);
        if (file.fullDirectory)
            db.run(QStringLiteral("delete from BANK"));
        QSet<QString> written;
        for (const BankRecord &b : file.banks) {
            if (written.contains(b.bik)) {
                summary.skipped << QStringLiteral("БИК %1 повторяется").arg(b.bik);
                continue;
            }
            written.insert(b.bik);
            QString type;
            if (!b.settlementType.trimmed().isEmpty()) {
                type = b.settlementTypeIsCode ? (types.codes.contains(b.settlementType.trimmed()) ? b.settlementType.trimmed() : QString())
                                              : types.codeByName.value(typeKey(b.settlementType));
                if (type.isEmpty())
                    ++unknown[b.settlementType.trimmed()];
            }
            Row row = {b.bik, b.name.trimmed(), b.correspondent.trimmed(), b.settlement.trimmed(), type,
                       b.revoked ? QStringLiteral("V") : QString()};
            for (int c = 0; c < columnCount; ++c) {
                row[c] = leftCharacters(row[c], widths[c]);
                values << row[c];
            }
            biks << b.bik;
            const QList<Row> old = before.value(b.bik);
            if (old.isEmpty())
                ++summary.added;
            else if (old.size() > 1 || !sameRow(old.first(), row))
                ++summary.changed;
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
        if (file.fullDirectory)
            for (auto it = before.cbegin(); it != before.cend(); ++it)
                if (!written.contains(it.key()))
                    ++summary.removed;
        // Reported before the commit: a cancel at the end still leaves BANK as it was.
        if (progress)
            progress(summary.banks, file.banks.size());
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
    for (auto it = unknown.cbegin(); it != unknown.cend(); ++it)
        summary.unknownTypes << QStringLiteral("«%1» (%2)").arg(it.key()).arg(it.value());
    return summary;
}

QStringList BankImportReport(const BankImportSummary &s)
{
    const QString from = s.source.isEmpty() ? s.format : QStringLiteral("%1 (%2)").arg(s.source, s.format);
    QStringList lines;
    if (s.fullReplacement)
        lines << QStringLiteral("Справочник банков заменён целиком полным справочником %1: банков в нём %2. "
                                "Изменилось банков: %3 (добавлено %4, изменено %5, удалено %6), без изменений %7")
                     .arg(from).arg(s.banks).arg(s.changedBanks()).arg(s.added).arg(s.changed).arg(s.removed).arg(s.unchanged());
    else
        lines << QStringLiteral("В справочник банков внесены изменения из %1: изменилось банков %2 (добавлено %3, заменено %4), "
                                "без изменений %5; остальные банки справочника не тронуты")
                     .arg(from).arg(s.changedBanks()).arg(s.added).arg(s.changed).arg(s.unchanged());
    lines << QStringLiteral("Из записанных банков с отозванной лицензией: %1; пропущено записей: %2").arg(s.revoked).arg(s.skipped.size());
    for (const QString &reason : s.skipped)
        lines << QStringLiteral("  пропущено: ") + reason;
    if (!s.unknownTypes.isEmpty())
        lines << QStringLiteral("  типы пунктов, которых нет в TNP (записаны пустыми): ") + s.unknownTypes.join(QStringLiteral(", "));
    return lines;
}
