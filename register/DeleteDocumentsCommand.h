#pragma once

#include <QStringList>

class Database;
class Session;

// Delete or F8: asks the scope, then deletes the selected, the marked or all
// listed documents that are saved or completed ("1" or "3") as stored now.
void DeleteDocumentsCommand(Session &session);

// Deletes those of the documents that are in "1" or "3" in the table now, all
// in one transaction; returns how many went.
int DeleteDocuments(Database &db, const QString &table, const QStringList &ids);
