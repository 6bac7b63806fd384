#pragma once

#include "document/DocumentChoice.h"

#include <QString>

#include <optional>

class Session;

// The completed documents of this kind in the list shown, current documents or archive,
// the user's own only where his P6 says so: what F4 prints and the bank export sends.
DocumentChoice ShownDocuments(Session &session, DocumentChoice::Kind kind);

// Why the selected document, in this state, may not be printed or sent: locked on another
// computer or not completed. Nothing when it may.
std::optional<QString> CurrentDocumentRefusal(const QString &state);
