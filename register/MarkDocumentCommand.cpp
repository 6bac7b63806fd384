#include "register/MarkDocumentCommand.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "register/ListedDocuments.h"
#include "register/OpenDocumentCommand.h"
#include "session/Session.h"

namespace {
const QString &stateColumn = DocumentColumn::State;
const QString lockedMessage = QStringLiteral("Документ блокирован с другого компьютера!");
} // namespace

void MarkDocumentCommand(Session &session)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    const QString seen = documents.text(stateColumn);
    if (DocumentState::isLocked(seen)) {
        session.dialogs().message(lockedMessage);
        return;
    }
    const QString mark = documents.text(Mark::Column) == Mark::Set ? QString() : Mark::Set;
    documents.edit();
    // Written only while the state is still the one this list shows: another
    // computer may have opened the document since the list was loaded.
    const bool written = documents.changeOrDrop([&] {
        documents.setValue(Mark::Column, mark);
        return documents.postExpecting(stateColumn, seen);
    });
    if (written)
        return;
    const QString id = documents.text(DocumentColumn::Id);
    if (!ReloadKeeping(session, id))
        session.dialogs().message(DocumentGoneMessage());
    else if (DocumentState::isLocked(documents.text(stateColumn)))
        session.dialogs().message(lockedMessage);
    else
        session.dialogs().message(QStringLiteral("Документ изменён с другого компьютера: список обновлён"));
}
