#pragma once

#include "document/DocumentColumns.h"
#include "session/Dialogs.h"

#include <QStringList>
#include <QVariant>

class DataSet;
class Session;

// The IDs of the register's rows in one scope, as the list was loaded: the
// selected row, the marked rows or every row that the user's P6 and the search
// filter let through; only those whose state qualifies. The cursor stays.
QStringList ListedDocumentIds(DataSet &documents, Dialogs::Scope scope, bool (*qualifies)(const QString &state));

// Reloads the register and puts the cursor back on the row with this key, or
// on the first row when it is gone.
void ReloadRegisterAt(Session &session, const QVariant &rowKey);

