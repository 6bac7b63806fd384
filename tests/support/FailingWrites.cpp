#include "support/FailingWrites.h"

#include "store/Database.h"

namespace FailingWrites {

QString message()
{
    return QStringLiteral("запись запрещена");
}

void refuse(Database &db, const QString &table, const QString &event)
{
    if (db.engine() == Engine::SQLite) {
        db.execute(QStringLiteral("create trigger fail_%1 before %2 on %1 begin select raise(abort, '%3'); end")
                       .arg(table, event, message()));
        return;
    }
    db.execute(QStringLiteral("create or replace function fail_write() returns trigger language plpgsql as "
                              "$$ begin raise exception '%1'; end $$")
                   .arg(message()));
    db.execute(QStringLiteral("create trigger fail_%1 before %2 on %1 for each row execute procedure fail_write()")
                   .arg(table, event));
}

void allow(Database &db, const QString &table)
{
    if (db.engine() == Engine::SQLite)
        db.execute(QStringLiteral("drop trigger fail_%1").arg(table));
    else
        db.execute(QStringLiteral("drop trigger fail_%1 on %1").arg(table));
}

} // namespace FailingWrites
