#include "register/ArchiveMoveCommand.h"
#include "document/DocumentState.h"
#include "register/ListedDocuments.h"
#include "session/Session.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/IdChunks.h"
#include "store/WriteTransaction.h"

#include <QSqlQuery>

namespace {

struct MoveStatements
{
    const char *source;
    const char *insert;
    const char *remove;
};

// Insert into the target first, delete from the source second; each keeps only completed rows.
const MoveStatements toArchiveStatements{
    "PL", "insert into PL_A  select * from PL where id in ( %1 ) and PRIZN_DK=?",
    "delete from PL where id in (%1 ) and PRIZN_DK=?"};
const MoveStatements fromArchiveStatements{
    "PL_A", "insert into PL select * from PL_A where ID in ( %1 ) and PRIZN_DK=?",
    "delete from PL_A where ID in (%1 ) and PRIZN_DK=?"};

bool completed(const QString &state)
{
    return state == DocumentState::Completed;
}

QVariantList withState(const QStringList &ids)
{
    return IdChunks::values(ids) << DocumentState::Completed;
}

// The documents still completed now, locked against every other writer until the end.
QStringList takeCompleted(Database &db, const QString &source, const QStringList &ids)
{
    const QString sql = QStringLiteral("select ID from %1 where ID in (%2) and PRIZN_DK=? order by ID")
                        + db.dialect().lockRows();
    QStringList taken;
    for (const QStringList &piece : IdChunks::split(ids)) {
        QSqlQuery q = db.run(sql.arg(source, IdChunks::marks(piece)), withState(piece));
        while (q.next())
            taken << q.value(0).toString();
    }
    return taken;
}

} // namespace

int MoveDocuments(Database &db, bool toArchive, const QStringList &ids)
{
    const MoveStatements &statements = toArchive ? toArchiveStatements : fromArchiveStatements;
    WriteTransaction transaction(db);
    const QStringList taken = takeCompleted(db, QLatin1String(statements.source), ids);
    for (const QStringList &piece : IdChunks::split(taken)) {
        const QString marks = IdChunks::marks(piece);
        const int inserted = db.run(QLatin1String(statements.insert).arg(marks), withState(piece)).numRowsAffected();
        const int deleted = db.run(QLatin1String(statements.remove).arg(marks), withState(piece)).numRowsAffected();
        // The rows are locked, so this only fails if that lock does not hold.
        if (inserted != piece.size() || deleted != piece.size())
            throw AppError(QStringLiteral("Перенос отменён: документы изменены с другого компьютера во время переноса"));
    }
    transaction.commit();
    return taken.size();
}

void ArchiveMoveCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    const Dialogs::Scope scope = session.dialogs().askScope();
    if (scope == Dialogs::Scope::Cancel)
        return;
    const QStringList ids = ListedDocumentIds(documents, scope, completed);
    if (ids.isEmpty())
        return;
    MoveDocuments(session.db(), !session.isArchive(), ids);
    session.ReloadRegister();
}
