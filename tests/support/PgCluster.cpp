#include "support/PgCluster.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTcpServer>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

QString findBinDir()
{
    const QByteArray fromEnv = qgetenv("PAYORDERS_PG_BINDIR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : versions)
        if (QFileInfo::exists(lib.filePath(v + QStringLiteral("/bin/initdb"))))
            return lib.filePath(v + QStringLiteral("/bin"));
    return {};
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

std::unique_ptr<PgCluster> &holder()
{
    static std::unique_ptr<PgCluster> cluster;
    return cluster;
}

} // namespace

PgCluster *PgCluster::instance(QString *whyNot)
{
    static bool tried = false;
    static QString failure;
    if (!tried) {
        tried = true;
        std::unique_ptr<PgCluster> cluster(new PgCluster);
        if (cluster->start(&failure))
            holder() = std::move(cluster);
    }
    if (whyNot)
        *whyNot = failure;
    return holder().get();
}

bool PgCluster::runTool(const QString &tool, const QStringList &args, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString program = QDir(m_binDir).filePath(tool);
    if (m_asPostgres)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                             QStringLiteral("--"), program} + args);
    else
        process.start(program, args);
    const bool finished = process.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PgCluster::start(QString *whyNot)
{
    m_binDir = findBinDir();
    if (m_binDir.isEmpty()) {
        *whyNot = QStringLiteral("PostgreSQL server binaries not found under /usr/lib/postgresql; ./test installs them");
        return false;
    }
    m_asPostgres = geteuid() == 0;
    m_dir = QDir::temp().filePath(QStringLiteral("payorders-pg-%1").arg(QCoreApplication::applicationPid()));
    QDir(m_dir).removeRecursively();
    QDir().mkpath(m_dir);
    if (m_asPostgres) {
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres:postgres"), m_dir});
    }
    QString out;
    if (!runTool(QStringLiteral("initdb"), {QStringLiteral("-D"), m_dir + QStringLiteral("/data"), QStringLiteral("-A"),
                                            QStringLiteral("trust"), QStringLiteral("-U"), QStringLiteral("postgres"),
                                            QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C")},
                 &out)) {
        *whyNot = QStringLiteral("initdb failed: ") + out;
        return false;
    }
    for (int attempt = 0; attempt < 5 && !m_running; ++attempt) {
        m_port = freePort();
        m_running = startOnPort(&out);
    }
    if (!m_running) {
        *whyNot = QStringLiteral("pg_ctl start failed: ") + out;
        return false;
    }
    return true;
}

bool PgCluster::startOnPort(QString *output)
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                           "-c synchronous_commit=off -c full_page_writes=off")
                                .arg(m_port)
                                .arg(m_dir);
    return runTool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir + QStringLiteral("/data"),
                                              QStringLiteral("-o"), options, QStringLiteral("-l"),
                                              m_dir + QStringLiteral("/server.log"), QStringLiteral("-w"),
                                              QStringLiteral("start")},
                   output);
}

bool PgCluster::stopServer()
{
    if (!m_running)
        return false;
    m_running = !runTool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir + QStringLiteral("/data"), QStringLiteral("-m"),
                                                    QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                         nullptr);
    return !m_running;
}

bool PgCluster::startServer()
{
    if (!m_running)
        m_running = startOnPort(nullptr);
    return m_running;
}

QString PgCluster::createDatabase()
{
    const QString name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_databases);
    const QString connection = QStringLiteral("pgcluster-admin");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(host());
        db.setPort(m_port);
        db.setUserName(user());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("create database %1").arg(name)))
                qWarning("create database: %s", qPrintable(q.lastError().text()));
        } else {
            qWarning("cannot reach the test cluster: %s", qPrintable(db.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return name;
}

PgCluster::~PgCluster()
{
    // Runs after the application object is gone, so no QProcess here.
    if (m_running) {
        const QString pgctl = QDir(m_binDir).filePath(QStringLiteral("pg_ctl"));
        QString command = QStringLiteral("'%1' -D '%2/data' -m immediate -w stop >/dev/null 2>&1").arg(pgctl, m_dir);
        if (m_asPostgres)
            command = QStringLiteral("runuser -u postgres -- ") + command;
        if (std::system(command.toLocal8Bit().constData()) != 0)
            qWarning("pg_ctl stop failed");
    }
    QDir(m_dir).removeRecursively();
}
