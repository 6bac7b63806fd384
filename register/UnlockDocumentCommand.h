#pragma once

class Session;

// Ctrl+F3: after a Yes, frees the selected document when it is locked.
void UnlockDocumentCommand(Session &session);
