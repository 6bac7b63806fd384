#pragma once

#include <QString>

class Session;

// Enter in the register: reloads the list, finds the selected document again and
// locks it for this computer. True when the editor is to be shown; the document
// is then q1's current row in editing.
bool OpenDocumentCommand(Session &session);

// Reloads the register and puts its cursor back on the document; false (with the
// cursor on the first row) when the document is no longer in the list. A document the
// filter no longer shows is found with the filter switched off.
bool ReloadKeeping(Session &session, const QString &id);

// The message for a document that another computer deleted or moved meanwhile.
QString DocumentGoneMessage();
