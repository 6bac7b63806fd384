#include "store/ExistingTables.h"

#include "store/AppError.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace ExistingTables {

namespace {

struct Column
{
    QString name;
    QString type;    // as declared; SQLite may have none
    bool key = false; // gives each row its own value by itself
};

// "table", another kind of object ("view", ...), or empty when the name is free.
QString kindOf(Database &db, const QString &name)
{
    QSqlQuery q = db.engine() == Engine::SQLite
                      ? db.run(QStringLiteral("select type from sqlite_master where lower(name)=lower(?) "
                                              "and type in ('table','view')"),
                               {name})
                      : db.run(QStringLiteral("select case when relkind in ('r','p') then 'table' else 'view' end "
                                              "from pg_class where lower(relname)=lower(?) and pg_table_is_visible(oid) "
                                              "and relkind in ('r','p','v','m','f')"),
                               {name});
    return q.next() ? q.value(0).toString() : QString();
}

QList<Column> columnsOf(Database &db, const QString &table)
{
    QSqlQuery q = db.engine() == Engine::SQLite
                      ? db.run(QStringLiteral("select name, type, pk>0 and upper(trim(type))='INTEGER' "
                                              "from pragma_table_info(?)"),
                               {table})
                      : db.run(QStringLiteral("select a.attname, format_type(a.atttypid, a.atttypmod), a.atthasdef and exists("
                                              "select 1 from pg_index i where i.indrelid=c.oid and (i.indisprimary or i.indisunique) "
                                              "and i.indnatts=1 and i.indkey[0]=a.attnum) "
                                              "from pg_attribute a join pg_class c on c.oid=a.attrelid "
                                              "where lower(c.relname)=lower(?) and pg_table_is_visible(c.oid) "
                                              "and a.attnum>0 and not a.attisdropped order by a.attnum"),
                               {table});
    QList<Column> columns;
    while (q.next())
        columns.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toBool()});
    return columns;
}

// SQLite's rules for the affinity of a declared type.
enum class Affinity { Integer, Text, Blob, Real, Numeric };

Affinity affinityOf(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB")))
        return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

bool startsWithAny(const QString &type, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (type.startsWith(QLatin1String(name)))
            return true;
    return false;
}

QString needed(const ColumnDef &c)
{
    switch (c.kind) {
    case ColumnKind::Text:
        return QStringLiteral("текст не короче %1 символов").arg(c.width);
    case ColumnKind::Number:
        return QStringLiteral("число");
    case ColumnKind::Date:
        return QStringLiteral("дата");
    case ColumnKind::Logical:
        return QStringLiteral("логическое значение");
    case ColumnKind::Integer:
        return QStringLiteral("целочисленный ключ записей");
    }
    return {};
}

// Whether values of our kind keep exactly what was written, on that engine.
bool holds(Engine engine, const ColumnDef &c, const Column &existing)
{
    if (engine == Engine::SQLite) {
        const Affinity a = affinityOf(existing.type);
        switch (c.kind) {
        case ColumnKind::Text: // a number affinity turns "0012" into 12
            return a == Affinity::Text || a == Affinity::Blob;
        case ColumnKind::Number: // text affinity stores 1500 as "1500.0", which compares as text
            return a != Affinity::Text;
        case ColumnKind::Date:
        case ColumnKind::Logical:
            return true;
        case ColumnKind::Integer:
            return existing.key;
        }
        return true;
    }
    const QString type = existing.type.toLower();
    switch (c.kind) {
    case ColumnKind::Text: {
        // A narrower varchar is widened in place, every value kept; a fixed width pads, and is refused.
        if (type == QLatin1String("text") || type.startsWith(QLatin1String("character varying")))
            return true;
        static const QRegularExpression sized(QStringLiteral("^character\\(([0-9]+)\\)$"));
        const auto m = sized.match(type);
        return m.hasMatch() && m.captured(1).toInt() >= c.width;
    }
    case ColumnKind::Number:
        return startsWithAny(type, {"double precision", "real", "numeric", "integer", "bigint", "smallint"});
    case ColumnKind::Date:
        return startsWithAny(type, {"date", "timestamp"});
    case ColumnKind::Logical:
        return type == QLatin1String("boolean");
    case ColumnKind::Integer:
        return startsWithAny(type, {"integer", "bigint", "smallint"}) && existing.key;
    }
    return true;
}

} // namespace

void refuseUnusable(Database &db)
{
    for (const TableDef &table : Schema::tables()) {
        const QString name = QLatin1String(table.name);
        const QString kind = kindOf(db, name);
        if (kind.isEmpty())
            continue;
        if (kind != QLatin1String("table"))
            throw AppError(QStringLiteral("%1 в базе данных не таблица, а представление: программа не может в него писать. "
                                          "Удалите или переименуйте его и повторите установку")
                               .arg(name));
        for (const Column &existing : columnsOf(db, name)) {
            const ColumnDef *c = Schema::column(table, existing.name);
            if (c && !holds(db.engine(), *c, existing))
                throw AppError(QStringLiteral("Таблица %1: столбец %2 типа «%3», а нужен %4. Исправьте столбец и повторите установку")
                                   .arg(name, QLatin1String(c->name), existing.type.isEmpty() ? QStringLiteral("без типа") : existing.type,
                                        needed(*c)));
        }
        if (!table.hiddenRowKey && Schema::column(table, QLatin1String(table.rowKey))) {
            // The unique index on ID cannot be made over repeats: say which one.
            QSqlQuery q = db.run(QStringLiteral("select %1 from %2 group by %1 having count(*)>1 limit 1")
                                     .arg(QLatin1String(table.rowKey), name));
            if (q.next())
                throw AppError(QStringLiteral("Таблица %1: %2 «%3» есть у нескольких документов, а должен быть у одного")
                                   .arg(name, QLatin1String(table.rowKey), q.value(0).toString()));
        }
    }
}

} // namespace ExistingTables
