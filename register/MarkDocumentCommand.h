#pragma once

class Session;

// Space: marks or unmarks the selected document unless it is locked, as stored
// now; the selection stays on the row.
void MarkDocumentCommand(Session &session);
