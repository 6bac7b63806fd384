#include "store/Database.h"
#include "store/AppError.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace {
QAtomicInt connectionCounter;
}

Database::Database()
    : m_name(QStringLiteral("payorders-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Database::~Database()
{
    close();
}

QString Database::errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}

void Database::open(const DataLink &link, const QString &workingDir)
{
    close();
    m_link = link;
    m_workingDir = workingDir;
    m_suspect = false;
    m_dialect = SqlDialect(link.engine);
    QSqlDatabase db = QSqlDatabase::addDatabase(m_dialect.driverName(), m_name);
    if (!db.isValid())
        throw AppError(QStringLiteral("Нет драйвера базы данных %1").arg(m_dialect.driverName()));
    if (link.engine == Engine::SQLite) {
        const QString path = QDir(workingDir).absoluteFilePath(link.dataSource);
        // SQLite would make an empty file where none is; an absent database is an error.
        if (!QFileInfo::exists(path))
            throw AppError(QStringLiteral("Нет файла базы данных %1").arg(path));
        if (!QFileInfo(path).isFile())
            throw AppError(QStringLiteral("%1 не является файлом базы данных: это папка или устройство").arg(path));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else {
        const DataLink::Server server = link.server();
        if (server.port)
            db.setPort(server.port);
        db.setHostName(server.host);
        db.setDatabaseName(link.initialCatalog);
        db.setUserName(link.userId);
        db.setPassword(link.password);
        // Set at connection start, before the driver looks at them: quoted text means
        // what sqlQuote wrote whatever the server's default, a double comes back in the
        // shortest digits that read back the same, and no notice reaches the terminal.
        db.setConnectOptions(QStringLiteral("connect_timeout=5;options='-c standard_conforming_strings=on "
                                            "-c extra_float_digits=3 -c client_min_messages=warning'"));
    }
    if (!db.open()) {
        QString text = errorText(db.lastError());
        // Whoever reads it must know which database would not open.
        if (link.engine == Engine::SQLite)
            text = QStringLiteral("Не открывается база данных %1: %2").arg(db.databaseName(), text);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_suspect = true; // the next statement tries again
        throw AppError(text);
    }
    if (link.engine == Engine::PostgreSQL)
        execute(QStringLiteral("set datestyle to ISO, DMY")); // the result reader takes ISO dates
    if (link.engine == Engine::SQLite) {
        // The rollback journal works on a file that several computers open over a
        // share, which WAL does not; a committed document survives a power cut.
        execute(QStringLiteral("pragma synchronous=full"));
        // No file mapping: every page of a register walked once would stay resident in
        // the program, a gigabyte for a million documents; copied pages cost far less.
        execute(QStringLiteral("pragma mmap_size=0"));
        execute(QStringLiteral("pragma cache_size=-4096"));
    }
}

void Database::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_name, false);
}

void Database::reopenIfBroken()
{
    if (!m_suspect)
        return;
    if (m_link.engine != Engine::PostgreSQL) {
        m_suspect = false;
        return;
    }
    if (isOpen()) {
        // Only a connection the client library has given up is opened again: a failed
        // statement inside a live transaction must not lose that transaction.
        const QVariant handle = connection().driver()->handle();
        const bool pgHandle = handle.isValid()
                              && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0);
        auto *pg = pgHandle ? *static_cast<PGconn *const *>(handle.data()) : nullptr;
        if (!pgHandle || (pg && PQstatus(pg) == CONNECTION_OK)) {
            m_suspect = false;
            return;
        }
    }
    // Throws the server's reason while it is still away; the next statement tries again.
    open(m_link, m_workingDir);
}

QSqlQuery Database::query() const
{
    if (!isOpen())
        throw AppError(QStringLiteral("Нет соединения с базой данных"));
    return QSqlQuery(connection());
}

int Database::execute(const QString &sql)
{
    reopenIfBroken();
    QSqlQuery q = query();
    if (!q.exec(sql)) {
        noteFailure();
        throw AppError(errorText(q.lastError()));
    }
    return q.numRowsAffected();
}

QSqlQuery Database::run(const QString &sql, const QVariantList &values)
{
    reopenIfBroken();
    QSqlQuery q = query();
    if (!q.prepare(sql)) {
        noteFailure();
        throw AppError(errorText(q.lastError()));
    }
    for (const QVariant &v : values) {
        // PostgreSQL's driver cuts the statement at a NUL and reports a syntax error; say what is wrong instead.
        if (v.typeId() == QMetaType::QString && v.toString().contains(QChar(0)))
            throw AppError(QStringLiteral("Текст со знаком NUL (код 0) не записывается в базу данных: %1")
                               .arg(v.toString().replace(QChar(0), QStringLiteral("\\0")).left(60)));
        q.addBindValue(v);
    }
    if (!q.exec()) {
        noteFailure();
        throw AppError(errorText(q.lastError()));
    }
    return q;
}

void Database::transaction()
{
    reopenIfBroken();
    if (!connection().transaction()) {
        noteFailure();
        throw AppError(errorText(connection().lastError()));
    }
}

void Database::commit()
{
    if (!connection().commit())
        throw AppError(errorText(connection().lastError()));
}

void Database::rollback()
{
    connection().rollback();
}

bool Database::inTransaction() const
{
    if (!isOpen())
        return false;
    // Asked of the engine itself: a transaction may be begun by a plain statement.
    const QVariant handle = connection().driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        auto *sqlite = *static_cast<sqlite3 *const *>(handle.data());
        return sqlite && sqlite3_get_autocommit(sqlite) == 0;
    }
    if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0)) {
        auto *pg = *static_cast<PGconn *const *>(handle.data());
        const PGTransactionStatusType status = pg ? PQtransactionStatus(pg) : PQTRANS_UNKNOWN;
        return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
    }
    return false;
}
