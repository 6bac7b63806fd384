#include "register/DeleteDocumentsCommand.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "register/ListedDocuments.h"
#include "register/OpenDocumentCommand.h"
#include "session/Session.h"
#include "store/Database.h"
#include "store/IdChunks.h"
#include "store/WriteTransaction.h"

#include <QSqlQuery>

namespace {

bool deletable(const QString &state)
{
    return state == DocumentState::Saved || state == DocumentState::Completed;
}

// The row the selection moves to when the selected one goes: the next, else the one before.
QVariant neighbourKey(DataSet &documents)
{
    const int row = documents.recNo();
    const int other = row + 1 < documents.recordCount() ? row + 1 : row - 1;
    if (other < 0)
        return {};
    documents.setRecNo(other);
    const QVariant key = documents.rowKey();
    documents.setRecNo(row);
    return key;
}

} // namespace

int DeleteDocuments(Database &db, const QString &table, const QStringList &ids)
{
    const QString sql = QStringLiteral("delete from %1 where ID in (%2) and PRIZN_DK in (?,?)");
    int deleted = 0;
    WriteTransaction transaction(db);
    for (const QStringList &piece : IdChunks::split(ids)) {
        QVariantList values = IdChunks::values(piece);
        values << DocumentState::Saved << DocumentState::Completed;
        deleted += db.run(sql.arg(table, IdChunks::marks(piece)), values).numRowsAffected();
    }
    transaction.commit();
    return deleted;
}

void DeleteDocumentsCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    const Dialogs::Scope scope = session.dialogs().askScope();
    if (scope == Dialogs::Scope::Cancel)
        return;
    const QString table = session.documentTable();
    const QString lockedMessage = QStringLiteral("Документ блокирован с другого компьютера");
    if (scope == Dialogs::Scope::Current) {
        if (!deletable(documents.text(DocumentColumn::State))) {
            session.dialogs().message(lockedMessage);
            return;
        }
        const QString id = documents.text(DocumentColumn::Id);
        const QVariant next = neighbourKey(documents);
        if (DeleteDocuments(session.db(), table, {id}) == 0) {
            // Opened, moved or deleted by another computer since the list was loaded.
            session.dialogs().message(ReloadKeeping(session, id) ? lockedMessage : DocumentGoneMessage());
            return;
        }
        ReloadRegisterAt(session, next);
        return;
    }
    const QVariant selected = documents.rowKey();
    const QStringList ids = ListedDocumentIds(documents, scope, deletable);
    if (ids.isEmpty())
        return;
    DeleteDocuments(session.db(), table, ids);
    ReloadRegisterAt(session, selected);
}
