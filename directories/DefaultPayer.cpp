#include "directories/DefaultPayer.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataSet.h"

namespace {

const QString prior = QStringLiteral("PRIOR");
const QString mark = QStringLiteral("v");

// Takes the write lock at once: two computers changing the mark run one after the other.
void beginExclusive(Database &db)
{
    if (db.engine() == Engine::SQLite) {
        db.execute(QStringLiteral("begin immediate"));
        return;
    }
    db.transaction();
    try {
        // Blocks other writers of S_PLAT until commit; plain reads go on.
        db.execute(QStringLiteral("lock table S_PLAT in share row exclusive mode"));
    } catch (...) {
        db.rollback();
        throw;
    }
}

void commit(Database &db)
{
    if (db.engine() == Engine::SQLite)
        db.execute(QStringLiteral("commit"));
    else
        db.commit();
}

void rollback(Database &db)
{
    if (db.engine() == Engine::SQLite) {
        try {
            db.execute(QStringLiteral("rollback"));
        } catch (const AppError &) {
            // The engine already ended the transaction.
        }
    } else {
        db.rollback();
    }
}

} // namespace

bool IsDefaultPayer(const DataSet &payers)
{
    return payers.text(prior) == mark;
}

void MakeDefaultPayer(Database &db, DataSet &payers)
{
    // A row already marked would write nothing after the clearing, leaving no default.
    if (IsDefaultPayer(payers))
        return;
    beginExclusive(db);
    try {
        db.execute(QStringLiteral("update S_PLAT set PRIOR='' where coalesce(PRIOR,'')<>''"));
        // The clearing just changed this row too; its post compares with the row as it is now.
        if (!payers.refreshRow())
            throw AppError(QStringLiteral("Плательщик удалён с другого компьютера. Обновите список."));
        payers.edit();
        payers.setValue(prior, mark);
        // Writes by the row key and throws when no row has it: the clearing is then undone.
        payers.post();
        commit(db);
    } catch (...) {
        payers.cancel();
        rollback(db);
        throw;
    }
    const QVariant current = payers.rowKey();
    payers.close();
    payers.open();
    payers.findRowKey(current);
}
