#pragma once

#include "bank/BankRecord.h"

#include <QString>

// A percentage rewritten in place on the standard error while it is a terminal; nothing otherwise.
BankProgress TerminalProgress(const QString &what);
// Ends the progress line so that the next message starts on a line of its own.
void EndTerminalProgress();
