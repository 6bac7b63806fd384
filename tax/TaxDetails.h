#pragma once

#include <QString>

class DataSet;
class Session;

// The tax panel's rules over the document being edited, apart from keys and focus.
namespace TaxDetails {

// The document becomes a tax payment, in editing: basis, type and field 22 hold "0" until
// something else is known.
void Open(Session &session);

// The user's tax-parameter control P3: whether the panel leads past the fields a basis of
// "0" leaves empty; switched and saved at once. Toggle gives the new state.
bool ControlOn(Session &session);
bool ToggleControl(Session &session);

// One field's text into the document; true when the document changed.
bool Write(Session &session, int item, const QString &text);

// The codes of the field's list (N_PARAM) into codes, the cursor on the document's code or
// else on the first.
void OpenCodes(Session &session, DataSet &codes, int item);

} // namespace TaxDetails
