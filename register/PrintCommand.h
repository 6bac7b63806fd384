#pragma once

#include <QString>

#include <optional>

class DataSet;
class Session;

// F4: the scope dialog, the copies prompt, the print source q filled from the
// database, then the preview (current, marked) or the printer (all).
void PrintCommand(Session &session, DataSet &source);

// Ctrl+Enter: reloads the list, finds the document again and previews it with
// the mouse pointer shown; the copies count stays as the last run set it.
void ViewCommand(Session &session, DataSet &source);

// The copies answer as a count from 1 to MaxCopies; nothing for any other text.
std::optional<int> ReadCopies(const QString &answer);
inline constexpr int MaxCopies = 999;
QString WrongCopiesMessage(const QString &answer);
