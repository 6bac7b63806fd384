#include "support/LegacyTables.h"

#include "store/Database.h"
#include "store/Schema.h"

namespace LegacyTables {

void dropColumns(Database &db, const QString &table, const QStringList &columns)
{
    const TableDef &def = *Schema::table(table);
    const QByteArray copyName = (table + QStringLiteral("_OLD")).toLatin1();
    TableDef copy{copyName.constData(), {}, nullptr, false};
    QStringList kept;
    for (const ColumnDef &c : def.columns) {
        if (columns.contains(QLatin1String(c.name), Qt::CaseInsensitive))
            continue;
        copy.columns.append(c);
        kept << QLatin1String(c.name);
    }
    db.execute(db.dialect().createTable(copy));
    db.execute(QStringLiteral("insert into %1 (%2) select %2 from %3")
                   .arg(QLatin1String(copyName), kept.join(QLatin1Char(',')), table));
    db.execute(QStringLiteral("drop table %1").arg(table));
    db.execute(QStringLiteral("alter table %1 rename to %2").arg(QLatin1String(copyName), table));
}

} // namespace LegacyTables
