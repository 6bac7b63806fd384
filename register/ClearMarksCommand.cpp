#include "register/ClearMarksCommand.h"
#include "document/DocumentState.h"
#include "register/ListedDocuments.h"
#include "session/Session.h"
#include "store/Database.h"
#include "store/IdChunks.h"
#include "store/WriteTransaction.h"

#include <QSqlQuery>

namespace {
bool unlocked(const QString &state)
{
    return !DocumentState::isLocked(state);
}
} // namespace

int ClearMarks(Database &db, const QString &table, const QStringList &ids)
{
    const QString sql = QStringLiteral("update %1 set CHEKED=? where ID in (%2) and coalesce(CHEKED,'')=? "
                                       "and coalesce(PRIZN_DK,'') not in (?,?)");
    int cleared = 0;
    WriteTransaction transaction(db);
    for (const QStringList &piece : IdChunks::split(ids)) {
        QVariantList values{QString(QLatin1String(""))};
        values << IdChunks::values(piece) << Mark::Set << DocumentState::Open << DocumentState::Reopened;
        cleared += db.run(sql.arg(table, IdChunks::marks(piece)), values).numRowsAffected();
    }
    transaction.commit();
    return cleared;
}

void ClearMarksCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    const QVariant selected = documents.rowKey();
    const QStringList ids = ListedDocumentIds(documents, Dialogs::Scope::Marked, unlocked);
    if (ids.isEmpty())
        return;
    ClearMarks(session.db(), session.documentTable(), ids);
    // The list shows what is stored now, marks that stayed on locked documents included.
    ReloadRegisterAt(session, selected);
}
