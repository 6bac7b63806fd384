#pragma once

#include <QStringList>

class Database;
class Session;

// F10: clears the marks of every listed document that is not locked, as stored
// now; locked documents keep theirs. The selection returns to its document.
void ClearMarksCommand(Session &session);

// Clears the marks of these documents of the table where they are not locked;
// returns how many were cleared.
int ClearMarks(Database &db, const QString &table, const QStringList &ids);
