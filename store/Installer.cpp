#include "store/Installer.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/ExistingTables.h"
#include "store/Schema.h"
#include "store/TextWidth.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

namespace Installer {

QString dataDir()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/data");
    if (QFileInfo::exists(beside + QStringLiteral("/TNP.tsv")))
        return beside;
    return QStringLiteral(PAYORDERS_DATA_DIR);
}

static bool tableExists(Database &db, const QString &name)
{
    const QStringList tables = db.connection().tables();
    for (const QString &t : tables)
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

namespace {

struct ExistingColumn
{
    QString name;
    QString type; // as declared; SQLite may have none
};

QList<ExistingColumn> existingColumns(Database &db, const QString &table)
{
    QSqlQuery q = db.engine() == Engine::SQLite
                      ? db.run(QStringLiteral("select name, type from pragma_table_info(?)"), {table})
                      : db.run(QStringLiteral("select a.attname, format_type(a.atttypid, a.atttypmod) "
                                              "from pg_attribute a join pg_class c on c.oid=a.attrelid "
                                              "where lower(c.relname)=lower(?) and pg_table_is_visible(c.oid) "
                                              "and a.attnum>0 and not a.attisdropped order by a.attnum"),
                               {table});
    QList<ExistingColumn> columns;
    while (q.next())
        columns.append({q.value(0).toString(), q.value(1).toString()});
    return columns;
}

bool hasColumn(const QList<ExistingColumn> &columns, const char *name)
{
    for (const ExistingColumn &c : columns)
        if (c.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The archive moves copy whole rows by position, so these keep the schema's order.
bool keepsColumnOrder(const TableDef &table)
{
    return qstrcmp(table.name, "PL") == 0 || qstrcmp(table.name, "PL_A") == 0;
}

// Makes the table anew with the schema's columns, then any others it had, and
// copies every row; all or nothing.
void rebuildTable(Database &db, const TableDef &table, const QList<ExistingColumn> &existing)
{
    const QString name = QLatin1String(table.name);
    const QString fresh = name + QStringLiteral("_MEND");
    QStringList definitions;
    QStringList copied;
    for (const ColumnDef &c : table.columns) {
        definitions << QLatin1String(c.name) + QLatin1Char(' ') + db.dialect().columnType(c);
        if (hasColumn(existing, c.name))
            copied << QLatin1String(c.name);
    }
    for (const ExistingColumn &c : existing) {
        if (Schema::column(table, c.name))
            continue;
        const QString quoted = QLatin1Char('"') + QString(c.name).replace(QLatin1Char('"'), QLatin1String("\"\""))
                               + QLatin1Char('"');
        definitions << (quoted + QLatin1Char(' ') + c.type).trimmed();
        copied << quoted;
    }
    db.transaction();
    try {
        db.execute(QStringLiteral("create table %1 (%2)").arg(fresh, definitions.join(QStringLiteral(", "))));
        db.execute(QStringLiteral("insert into %1 (%2) select %2 from %3")
                       .arg(fresh, copied.join(QLatin1Char(',')), name));
        db.execute(QStringLiteral("drop table %1").arg(name));
        db.execute(QStringLiteral("alter table %1 rename to %2").arg(fresh, name));
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
}

// The table holds the schema's first columns in the schema's order and nothing else:
// columns added at the end keep the order both document tables share.
bool holdsSchemaHead(const TableDef &table, const QList<ExistingColumn> &existing)
{
    if (existing.size() > table.columns.size())
        return false;
    for (int i = 0; i < existing.size(); ++i)
        if (existing.at(i).name.compare(QLatin1String(table.columns.at(i).name), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// A text column an earlier version made narrower than ours (SQLite keeps no declared width).
void widenNarrowText(Database &db, const TableDef &table, const QList<ExistingColumn> &existing)
{
    if (db.engine() != Engine::PostgreSQL)
        return;
    static const QRegularExpression varchar(QStringLiteral("^character varying\\(([0-9]+)\\)$"));
    for (const ExistingColumn &e : existing) {
        const ColumnDef *c = Schema::column(table, e.name);
        const auto m = varchar.match(e.type.toLower());
        if (c && c->kind == ColumnKind::Text && m.hasMatch() && m.captured(1).toInt() < c->width)
            db.execute(QStringLiteral("alter table %1 alter column %2 type %3")
                           .arg(QLatin1String(table.name), QLatin1String(c->name), db.dialect().columnType(*c)));
    }
}

// A table made by another tool or an earlier version gets the columns it lacks and
// its narrow text widened, its rows kept. SQLite cannot add an INTEGER PRIMARY KEY to
// a table, so there the row key means a rebuild.
void mendTable(Database &db, const TableDef &table)
{
    const QList<ExistingColumn> existing = existingColumns(db, QLatin1String(table.name));
    widenNarrowText(db, table, existing);
    QList<const ColumnDef *> missing;
    for (const ColumnDef &c : table.columns)
        if (!hasColumn(existing, c.name))
            missing << &c;
    if (missing.isEmpty())
        return;
    const bool keyMissing = table.hiddenRowKey && !hasColumn(existing, table.rowKey);
    if ((keyMissing && db.engine() == Engine::SQLite) || (keepsColumnOrder(table) && !holdsSchemaHead(table, existing))) {
        rebuildTable(db, table, existing);
        return;
    }
    for (const ColumnDef *c : missing)
        db.execute(QStringLiteral("alter table %1 add column %2 %3")
                       .arg(QLatin1String(table.name), QLatin1String(c->name), db.dialect().columnType(*c)));
}

} // namespace

void createSchema(Database &db)
{
    ExistingTables::refuseUnusable(db);
    for (const TableDef &table : Schema::tables()) {
        if (tableExists(db, QLatin1String(table.name)))
            mendTable(db, table);
        else
            db.execute(db.dialect().createTable(table));
    }
    // A document's ID is its only identity: never two alike in one table.
    const char *documentTables[] = {"PL", "PL_A"};
    for (const char *t : documentTables) {
        db.execute(QStringLiteral("create unique index if not exists %1_ID on %1 (ID)").arg(QLatin1String(t)));
        db.execute(QStringLiteral("create index if not exists %1_DATE on %1 (DATE)").arg(QLatin1String(t)));
    }
    db.execute(QStringLiteral("create index if not exists BANK_NEWNUM on BANK (NEWNUM)"));
    db.execute(QStringLiteral("create index if not exists PARAM_PAS on PARAM (PAS)"));
}

static QVariant fromText(const ColumnDef &column, const QString &text)
{
    switch (column.kind) {
    case ColumnKind::Logical:
        return text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    case ColumnKind::Number:
        return text.isEmpty() ? QVariant() : QVariant(text.toDouble());
    case ColumnKind::Integer:
        return text.toLongLong();
    case ColumnKind::Text:
        return column.width > 0 ? leftCharacters(text, column.width) : text;
    default:
        return text;
    }
}

// Loads the file's rows into the table; with a key column, only the rows whose key the table lacks.
static void loadTable(Database &db, const TableDef &table, const QString &path, const char *key = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw AppError(QStringLiteral("Не открывается файл %1: %2").arg(path, file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return;
    const QStringList header = lines.first().trimmed().split(QLatin1Char('\t'));
    QList<const ColumnDef *> columns;
    for (const QString &name : header) {
        const ColumnDef *c = Schema::column(table, name);
        if (!c)
            throw AppError(QStringLiteral("В файле %1 неизвестный столбец %2").arg(path, name));
        columns << c;
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(QLatin1String(table.name), header.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    const int keyAt = key ? int(header.indexOf(QLatin1String(key))) : -1;
    for (int i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (keyAt >= 0) {
            QSqlQuery there = db.run(QStringLiteral("select count(*) from %1 where %2=?").arg(QLatin1String(table.name), QLatin1String(key)),
                                     {cells.value(keyAt)});
            if (there.next() && there.value(0).toLongLong() > 0)
                continue;
        }
        QVariantList values;
        for (int c = 0; c < columns.size(); ++c)
            values << db.dialect().toDb(columns.at(c)->kind, fromText(*columns.at(c), cells.value(c)));
        db.run(sql, values);
    }
}

void loadInstallationData(Database &db, const QString &dir)
{
    const char *tables[] = {"TNP", "N_PARAM", "NALOG", "VID_PL", "BANK", "PARAM"};
    // Rows every installation carries, added to a table that lacks them: the unified tax payment's recipient.
    const std::pair<const char *, const char *> keptRows[] = {{"S_POL", "SCHET"}};
    db.transaction();
    try {
        for (const char *name : tables) {
            QSqlQuery count = db.run(QStringLiteral("select count(*) from %1").arg(QLatin1String(name)));
            if (count.next() && count.value(0).toLongLong() > 0)
                continue;
            loadTable(db, *Schema::table(QLatin1String(name)),
                      QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".tsv")));
        }
        for (const auto &[name, key] : keptRows)
            loadTable(db, *Schema::table(QLatin1String(name)),
                      QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".tsv")), key);
        // Statuses 09 to 12 were folded into 13 in October 2021: the list offers them no more.
        // Documents that hold one keep it.
        db.run(QStringLiteral("delete from N_PARAM where TIP=? and KOD in (?,?,?,?)"),
               {QStringLiteral("s"), QStringLiteral("09"), QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")});
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
}

bool writeDefaultDataLink(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("sql.udl"));
    if (QFileInfo::exists(path))
        return false;
    DataLink link;
    link.engine = Engine::SQLite;
    link.dataSource = QStringLiteral("payorders.db");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw AppError(QStringLiteral("Не записывается файл %1: %2").arg(path, file.errorString()));
    file.write(link.toText().toUtf8());
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

bool protectDataLink(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("sql.udl"));
    if (!QFileInfo(path).isFile() || DataLink::readFile(path).password.isEmpty())
        return false;
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QFile file(path);
    if (!(file.permissions() & others))
        return false;
    if (!file.setPermissions(file.permissions() & ~others))
        throw AppError(QStringLiteral("Не меняются права файла %1: %2").arg(path, file.errorString()));
    return true;
}

void createSqliteFileIfMissing(const QString &folder)
{
    const DataLink link = DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl")));
    if (link.engine != Engine::SQLite)
        return;
    const QString path = QDir(folder).absoluteFilePath(link.dataSource);
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Не создаётся файл %1: %2").arg(path, file.errorString()));
}

} // namespace Installer
