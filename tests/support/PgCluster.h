#pragma once

#include <QString>

// A throwaway PostgreSQL server for the tests: initdb in a temporary folder,
// started on a loopback port, stopped and removed when the test program ends.
// As root it runs as the `postgres` system user, since initdb refuses root.
class PgCluster
{
public:
    // The cluster of this test program, started on first use. Fails the
    // calling test (returns nullptr with a reason) when it cannot start.
    static PgCluster *instance(QString *whyNot = nullptr);

    int port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    QString user() const { return QStringLiteral("postgres"); }
    // Creates an empty database with a fresh name and returns the name.
    QString createDatabase();

    // Stops the server and starts it again on the same port, for a server gone while the program runs.
    bool stopServer();
    bool startServer();

    ~PgCluster();

private:
    PgCluster() = default;
    bool start(QString *whyNot);
    bool runTool(const QString &tool, const QStringList &args, QString *output);
    bool startOnPort(QString *output);

    QString m_binDir;
    QString m_dir;
    int m_port = 0;
    bool m_asPostgres = false;
    bool m_running = false;
    int m_databases = 0;
};
