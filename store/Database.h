#pragma once

#include "store/DataLink.h"
#include "store/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>

// The one connection of the program, opened from a data link.
class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the database that the link names; a relative SQLite file is taken
    // from workingDir. Throws AppError with the driver's text on failure.
    void open(const DataLink &link, const QString &workingDir);
    void close();
    bool isOpen() const;

    // The data link it was opened with and the working folder that holds sql.udl.
    const DataLink &link() const { return m_link; }
    const QString &workingDir() const { return m_workingDir; }

    const SqlDialect &dialect() const { return m_dialect; }
    Engine engine() const { return m_dialect.engine(); }
    QSqlDatabase connection() const;

    QSqlQuery query() const;
    // Runs a statement without a result set; returns the number of rows it touched.
    int execute(const QString &sql);
    // Prepares and runs a statement with bound values; throws on failure.
    QSqlQuery run(const QString &sql, const QVariantList &values = {});
    void transaction();
    void commit();
    void rollback();
    // Whether a transaction is open on the connection, however it was begun.
    bool inTransaction() const;

    // The database's own text of a failed query.
    static QString errorText(const QSqlError &error);

    // A connection that failed a statement is tried before the next one, and opened
    // again when the server has dropped it (a restarted server, a broken network).
    void reopenIfBroken();
    void noteFailure() { m_suspect = true; }

private:
    QString m_name;
    DataLink m_link;
    QString m_workingDir;
    bool m_suspect = false;
    SqlDialect m_dialect{Engine::SQLite};
};
