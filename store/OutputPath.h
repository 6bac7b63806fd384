#pragma once

#include <QString>

struct DataLink;

// The path a command is about to write, made absolute from the working folder, once it is
// safe to replace: not the database the data link names nor its journal (-journal, -wal,
// -shm), not the data link sql.udl, not a folder, nothing but a regular file (a device, a
// pipe, a socket), symlinks followed. Throws AppError naming the path otherwise, before
// anything is written. An absent path or an existing regular file passes.
QString CheckOutputPath(const QString &path, const QString &workingDir, const DataLink &link);
