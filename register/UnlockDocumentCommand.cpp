#include "register/UnlockDocumentCommand.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "register/OpenDocumentCommand.h"
#include "session/Session.h"

void UnlockDocumentCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty() || !DocumentState::isLocked(documents.text(DocumentColumn::State)))
        return;
    const QString question = QStringLiteral("Снять блокировку с документа N") + documents.text(DocumentColumn::Number)
                             + QStringLiteral(" ?");
    if (!session.dialogs().askYesNo(QStringLiteral("Разблокирование"), question))
        return;
    if (ReleaseDocumentLock(documents))
        return;
    // Another computer changed it after this list was loaded: show it as it is now.
    const bool stillThere = ReloadKeeping(session, documents.text(DocumentColumn::Id));
    session.dialogs().message(stillThere ? QStringLiteral("Документ изменён с другого компьютера: список обновлён")
                                         : DocumentGoneMessage());
}
