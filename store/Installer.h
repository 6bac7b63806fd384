#pragma once

#include <QString>

class Database;

// The code a user types to sign in as the administrator.
inline const QString AdministratorCode = QStringLiteral("*");

namespace Installer {

// The folder with the installation data: code lists, bank sample, the
// administrator's row.
QString dataDir();
// Creates the ten tables and their indexes where they are missing.
void createSchema(Database &db);
// Loads each code list and the administrator row into its table when that table is empty.
void loadInstallationData(Database &db, const QString &dataDir);
// Writes a SQLite sql.udl into the folder unless one is there, readable by its owner
// alone; true when written.
bool writeDefaultDataLink(const QString &folder);
// The folder's sql.udl, when it holds a password, becomes readable by its owner alone;
// true when its permissions were narrowed.
bool protectDataLink(const QString &folder);
// Makes an empty SQLite file where the folder's sql.udl names one that is not there yet.
void createSqliteFileIfMissing(const QString &folder);
// The address F1 names for help, fixed when the program is built.
QString contactAddress();

} // namespace Installer
