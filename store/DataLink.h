#pragma once

#include "store/SqlDialect.h"

#include <QString>

// The data-link file sql.udl: which engine and which database to use.
struct DataLink
{
    Engine engine = Engine::SQLite;
    QString dataSource;     // SQLite file (relative to the working folder) or host[:port]
    QString initialCatalog; // PostgreSQL database name
    QString userId;
    QString password;

    // Reads `key=value;` pairs, in plain text or in the classic layout (UTF-16
    // with a byte-order mark, an [oledb] line, `;` comment lines).
    static DataLink parse(const QByteArray &content);
    // A data link is a few lines; anything bigger is not one.
    static constexpr qint64 MaxFileSize = 64 * 1024;
    static DataLink readFile(const QString &path);
    // Throws AppError for a value with a line break, which the file cannot hold.
    QString toText() const;

    // The PostgreSQL server of `dataSource`: host, [IPv6]:port, host:port; port 0 means the default.
    struct Server
    {
        QString host;
        int port = 0;
    };
    Server server() const;
};
