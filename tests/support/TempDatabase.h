#pragma once

#include "store/Database.h"

#include <QTemporaryDir>

// A working folder with its sql.udl and a database made by the program's own
// schema and installation code, on SQLite or on the test PostgreSQL cluster.
class TempDatabase
{
public:
    struct Options
    {
        Engine engine = Engine::SQLite;
        bool demo = false;
        int documents = 60;
        int years = 1;
        int archiveEvery = 3;
    };

    TempDatabase() : TempDatabase(Options{}) {}
    explicit TempDatabase(const Options &options);

    // False when the database could not be made; reason() says why.
    bool isValid() const { return m_error.isEmpty(); }
    QString reason() const { return m_error; }

    QString folder() const { return m_dir.path(); }
    DataLink link() const { return m_link; }
    Database &db() { return m_db; }

    // A value of the first row of a query, for reading the tables back.
    QVariant scalar(const QString &sql);
    // Inserts a document into PL or PL_A with the given columns, empty text elsewhere.
    void addDocument(const QString &table, const QVariantMap &columns);

private:
    QTemporaryDir m_dir;
    DataLink m_link;
    Database m_db;
    QString m_error;
};
