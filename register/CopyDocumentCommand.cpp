#include "register/CopyDocumentCommand.h"
#include "document/DocumentColumns.h"
#include "register/OpenDocumentCommand.h"
#include "session/Session.h"
#include "store/TimestampId.h"

namespace {
// Columns 0 to 46 by position, then ID, CHEKED and LOGIN.
constexpr int idColumn = 47;
}

void CopyDocumentCommand(Session &session, DataSet &general)
{
    DataSet &documents = session.documents();
    if (session.isArchive() || documents.isEmpty())
        return;
    general.close();
    general.setQuery({DocumentTable::Current, {{DocumentColumn::Id, documents.text(DocumentColumn::Id)}}});
    general.open();
    if (general.isEmpty()) {
        session.dialogs().message(DocumentGoneMessage());
        return;
    }
    general.first();
    documents.insert();
    documents.changeOrDrop([&] {
        // Typed values, not their text forms: an amount or an old date must not move.
        for (int c = 0; c < general.columnNames().size(); ++c)
            documents.setValue(c, c == idColumn ? QVariant(NewTimestampId()) : general.value(c));
        documents.post();
    });
}
