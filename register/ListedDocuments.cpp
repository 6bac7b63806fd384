#include "register/ListedDocuments.h"
#include "document/DocumentColumns.h"
#include "session/Session.h"
#include "store/DataSet.h"

QStringList ListedDocumentIds(DataSet &documents, Dialogs::Scope scope, bool (*qualifies)(const QString &state))
{
    QStringList ids;
    if (documents.isEmpty() || scope == Dialogs::Scope::Cancel)
        return ids;
    const int id = documents.columnIndex(DocumentColumn::Id);
    const int state = documents.columnIndex(DocumentColumn::State);
    const int mark = documents.columnIndex(Mark::Column);
    if (scope == Dialogs::Scope::Current) {
        if (qualifies(documents.text(state)))
            ids << documents.text(id);
        return ids;
    }
    const QVariant selected = documents.rowKey();
    for (documents.first(); !documents.eof(); documents.next()) {
        if (scope == Dialogs::Scope::Marked && documents.text(mark) != Mark::Set)
            continue;
        if (qualifies(documents.text(state)))
            ids << documents.text(id);
    }
    documents.findRowKey(selected);
    return ids;
}

void ReloadRegisterAt(Session &session, const QVariant &rowKey)
{
    session.ReloadRegister();
    if (rowKey.isValid())
        session.documents().findRowKey(rowKey);
}
