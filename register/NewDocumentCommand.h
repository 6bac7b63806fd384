#pragma once

class DataSet;
class Session;

// Insert or F7: starts a new document in q1 from the default payer, its bank
// and the user's numbering. True when the editor is to be shown; the document
// is then q1's pending row in insert mode, not yet stored.
bool NewDocumentCommand(Session &session, DataSet &general, DataSet &bank);
