#include "register/OpenDocumentCommand.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "session/Session.h"

namespace {
const QString &id = DocumentColumn::Id;
}

QString DocumentGoneMessage()
{
    return QStringLiteral("Документа больше нет в списке: его удалили или перенесли в архив с другого компьютера");
}

bool ReloadKeeping(Session &session, const QString &documentId)
{
    session.ReloadRegister();
    DataSet &documents = session.documents();
    if (documents.find(id, documentId))
        return true;
    if (!documents.isFiltered())
        return false;
    // Still in the table, but no longer what the user's own filter shows: it is found, not reported gone.
    documents.setFiltered(false);
    if (documents.find(id, documentId))
        return true;
    documents.setFiltered(true);
    return false;
}

bool OpenDocumentCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return false;
    const QString documentId = documents.text(id);
    // The list is a snapshot: the state is judged as stored now.
    if (!ReloadKeeping(session, documentId)) {
        session.dialogs().message(DocumentGoneMessage());
        return false;
    }
    if (session.isArchive())
        return false;
    const QString locked = QStringLiteral("Документ блокирован с другого компьютера!");
    if (DocumentState::isLocked(documents.text(DocumentColumn::State))) {
        session.dialogs().message(locked);
        return false;
    }
    if (!TakeDocumentLock(documents)) {
        // Another computer took it between the reload and the update.
        const bool stillThere = ReloadKeeping(session, documentId);
        session.dialogs().message(stillThere ? locked : DocumentGoneMessage());
        return false;
    }
    documents.edit();
    return true;
}
