#include "document/DocumentState.h"
#include "document/DocumentColumns.h"
#include "store/DataSet.h"

namespace DocumentState {

bool isLocked(const QString &state)
{
    return state == Open || state == Reopened;
}

QString openedFrom(const QString &state)
{
    return state == Saved ? Open : Reopened;
}

QString releasedFrom(const QString &state)
{
    if (state == Open)
        return Saved;
    if (state == Reopened)
        return Completed;
    return state;
}

} // namespace DocumentState

namespace {

const QString &stateColumn = DocumentColumn::State;

bool changeState(DataSet &documents, const QString &seen, const QString &next)
{
    documents.edit();
    // Left pending after a failure, the next row move would write it without the check.
    return documents.changeOrDrop([&] {
        documents.setValue(stateColumn, next);
        return documents.postExpecting(stateColumn, seen);
    });
}

} // namespace

bool TakeDocumentLock(DataSet &documents)
{
    const QString seen = documents.text(stateColumn);
    if (DocumentState::isLocked(seen))
        return false;
    return changeState(documents, seen, DocumentState::openedFrom(seen));
}

bool ReleaseDocumentLock(DataSet &documents)
{
    const QString seen = documents.text(stateColumn);
    if (!DocumentState::isLocked(seen))
        return false;
    return changeState(documents, seen, DocumentState::releasedFrom(seen));
}
