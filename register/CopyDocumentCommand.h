#pragma once

class DataSet;
class Session;

// F5: stores a copy of the selected document as stored now, the same in every
// respect but its ID, and makes the copy the selected row.
void CopyDocumentCommand(Session &session, DataSet &general);
