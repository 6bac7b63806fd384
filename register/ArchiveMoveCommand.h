#pragma once

#include <QStringList>

class Database;
class Session;

// F12: asks the scope, then moves the selected, the marked or all listed
// completed documents to the archive, or back from it in the archive view.
void ArchiveMoveCommand(Session &session);

// Moves those of the documents that are completed ("3") in the source table now,
// in one transaction: each lands in exactly one table whatever fails or whoever
// moves it at the same time. Returns how many moved.
int MoveDocuments(Database &db, bool toArchive, const QStringList &ids);
