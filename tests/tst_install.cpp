#include "support/Engines.h"
#include "support/PgCluster.h"

#include "store/DataLink.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// `payorders init`, run in a working folder, as the README tells a user to.
class InstallTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void initPreparesFolder();
    void demoHasSomethingToShow();
    void repeatedInitKeepsData();
    void unusableFolderFails();

private:
    bool prepare(QTemporaryDir &dir);
    int init(const QString &folder, const QStringList &args, QString *output = nullptr);
    qint64 count(const QString &folder, const QString &sql);
};

void InstallTest::initTestCase_data()
{
    Engines::addRows();
}

// SQLite needs nothing; PostgreSQL gets an empty database named in sql.udl.
bool InstallTest::prepare(QTemporaryDir &dir)
{
    const Engine engine = Engines::current();
    if (engine == Engine::SQLite)
        return true;
    QString why;
    PgCluster *cluster = PgCluster::instance(&why);
    if (!cluster) {
        qWarning("%s", qPrintable(why));
        return false;
    }
    DataLink link;
    link.engine = Engine::PostgreSQL;
    link.dataSource = QStringLiteral("%1:%2").arg(cluster->host()).arg(cluster->port());
    link.initialCatalog = cluster->createDatabase();
    link.userId = cluster->user();
    QFile udl(dir.filePath(QStringLiteral("sql.udl")));
    if (!udl.open(QIODevice::WriteOnly))
        return false;
    udl.write(link.toText().toUtf8());
    return true;
}

int InstallTest::init(const QString &folder, const QStringList &args, QString *output)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(PAYORDERS_BINARY), QStringList{QStringLiteral("init")} + args);
    if (!process.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

qint64 InstallTest::count(const QString &folder, const QString &sql)
{
    Database db;
    db.open(DataLink::readFile(folder + QStringLiteral("/sql.udl")), folder);
    QSqlQuery q = db.run(sql);
    return q.next() ? q.value(0).toLongLong() : -1;
}

void InstallTest::initPreparesFolder()
{
    const Engine engine = Engines::current();
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    QString output;
    QCOMPARE(init(dir.path(), {}, &output), 0);
    const DataLink link = DataLink::readFile(dir.filePath(QStringLiteral("sql.udl")));
    QCOMPARE(link.engine, engine);
    if (engine == Engine::SQLite)
        QVERIFY(QFile::exists(dir.filePath(link.dataSource)));
    for (const TableDef &table : Schema::tables())
        QVERIFY2(count(dir.path(), QStringLiteral("select count(*) from %1").arg(QLatin1String(table.name))) >= 0,
                 table.name);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PARAM")), 1);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PARAM where PAS='*'")), 1);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PL")), 0);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from BANK where NEWNUM='044525225'")), 1);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from TNP")), 7);
}

void InstallTest::demoHasSomethingToShow()
{
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    QCOMPARE(init(dir.path(), {QStringLiteral("--demo")}), 0);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PARAM where PAS in ('1','2')")), 2);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from S_PLAT where PRIOR='v'")), 1);
    QVERIFY(count(dir.path(), QStringLiteral("select count(*) from S_POL")) >= 3);
    const qint64 current = count(dir.path(), QStringLiteral("select count(*) from PL"));
    const qint64 archived = count(dir.path(), QStringLiteral("select count(*) from PL_A"));
    QVERIFY(current > 100);
    QVERIFY(archived > 50);
    for (const QString state : {"0", "1", "2", "3"})
        QVERIFY2(count(dir.path(), QStringLiteral("select count(*) from PL where PRIZN_DK='%1'").arg(state)) > 0,
                 qPrintable(state));
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PL_A where PRIZN_DK<>'3'")), 0);
    QVERIFY(count(dir.path(), QStringLiteral("select count(*) from PL where CHEKED='V'")) > 0);
    for (const QString user : {"1", "2"})
        QVERIFY(count(dir.path(), QStringLiteral("select count(*) from PL where LOGIN='%1'").arg(user)) > 0);
    // Every document's ID is set and unique across both tables.
    QCOMPARE(count(dir.path(), QStringLiteral("select count(distinct ID) from (select ID from PL union all "
                                              "select ID from PL_A) ids where ID<>''")),
             current + archived);
}

void InstallTest::repeatedInitKeepsData()
{
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    QCOMPARE(init(dir.path(), {QStringLiteral("--demo")}), 0);
    const qint64 documents = count(dir.path(), QStringLiteral("select count(*) from PL"));
    const qint64 users = count(dir.path(), QStringLiteral("select count(*) from PARAM"));
    QCOMPARE(init(dir.path(), {QStringLiteral("--demo")}), 0);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PL")), documents);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PARAM")), users);
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from BANK where NEWNUM='044525225'")), 1);
}

void InstallTest::unusableFolderFails()
{
    QTemporaryDir dir;
    QFile udl(dir.filePath(QStringLiteral("sql.udl")));
    QVERIFY(udl.open(QIODevice::WriteOnly));
    udl.write("Provider=PostgreSQL;Data Source=127.0.0.1:1;Initial Catalog=none;User ID=nobody;\n");
    udl.close();
    QString output;
    QCOMPARE(init(dir.path(), {}, &output), 1);
    QVERIFY2(!output.trimmed().isEmpty(), "the failure must say why");
    QCOMPARE(init(dir.path(), {QStringLiteral("--bogus")}), 2);
}

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
