#include "support/Engines.h"
#include "support/LegacyTables.h"
#include "support/PgCluster.h"

#include "store/Database.h"
#include "store/DataLink.h"
#include "store/DataSet.h"
#include "store/Schema.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
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
    void initMendsTablesMadeByAnotherTool();
    void dataLinkReadByItsOwnerOnly();
    void initBringsEarlierTablesUpToDate();

private:
    bool prepare(QTemporaryDir &dir);
    int init(const QString &folder, const QStringList &args, QString *output = nullptr);
    qint64 count(const QString &folder, const QString &sql);
    QStringList rows(Database &db, const QString &table, const QStringList &columns);
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
    {
        Database db;
        db.open(link, dir.path());
        for (const TableDef &table : Schema::tables()) {
            const QSqlRecord record = db.run(QStringLiteral("select * from %1").arg(QLatin1String(table.name))).record();
            QStringList made;
            for (int i = 0; i < record.count(); ++i)
                made << record.fieldName(i).toUpper();
            QStringList wanted;
            for (const ColumnDef &c : table.columns)
                wanted << QLatin1String(c.name);
            QVERIFY2(made == wanted, qPrintable(QLatin1String(table.name) + QStringLiteral(": ") + made.join(QLatin1Char(','))));
        }
    }
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
    // A count that is no plain number is refused before anything is touched.
    for (const QString count : {"abc", "-5", "1e3", "+3", ""}) {
        QCOMPARE(init(dir.path(), {QStringLiteral("--demo"), QStringLiteral("--documents"), count}, &output), 2);
        QVERIFY2(output.contains(QStringLiteral("Число документов")), qPrintable(output));
    }
}

QStringList InstallTest::rows(Database &db, const QString &table, const QStringList &columns)
{
    QSqlQuery q = db.run(QStringLiteral("select %1 from %2").arg(columns.join(QLatin1Char(',')), table));
    QStringList all;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < columns.size(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        all << cells.join(QLatin1Char('|'));
    }
    all.sort();
    return all;
}

void InstallTest::initMendsTablesMadeByAnotherTool()
{
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    QCOMPARE(init(dir.path(), {QStringLiteral("--demo")}), 0);
    const DataLink link = DataLink::readFile(dir.filePath(QStringLiteral("sql.udl")));
    // What each table lacks; rows that share a value must stay apart all the same.
    const QList<QPair<QString, QStringList>> lacking = {
        {QStringLiteral("PARAM"), {QStringLiteral("RID"), QStringLiteral("P5")}},
        {QStringLiteral("S_PLAT"), {QStringLiteral("RID")}},
        {QStringLiteral("S_POL"), {QStringLiteral("RID")}},
        {QStringLiteral("PL"), {QStringLiteral("NAZNACH5")}},
    };
    QHash<QString, QStringList> kept;
    QHash<QString, QStringList> before;
    {
        Database db;
        db.open(link, dir.path());
        db.execute(QStringLiteral("insert into PARAM (LOGIN,PAS,P6) values ('без пароля 1','','0')"));
        db.execute(QStringLiteral("insert into PARAM (LOGIN,PAS,P6) values ('без пароля 2','','0')"));
        db.execute(QStringLiteral("insert into S_POL (ID,NAME1) values ('','пустой ID 1')"));
        db.execute(QStringLiteral("insert into S_POL (ID,NAME1) values ('','пустой ID 2')"));
        for (const auto &[table, columns] : lacking) {
            for (const ColumnDef &c : Schema::table(table)->columns)
                if (!columns.contains(QLatin1String(c.name)))
                    kept[table] << QLatin1String(c.name);
            LegacyTables::dropColumns(db, table, columns);
            before[table] = rows(db, table, kept[table]);
        }
    }
    QCOMPARE(init(dir.path(), {}), 0);

    Database db;
    db.open(link, dir.path());
    for (const auto &[table, columns] : lacking) {
        QCOMPARE(rows(db, table, kept[table]), before[table]);
        const QSqlRecord record = db.run(QStringLiteral("select * from %1").arg(table)).record();
        QStringList made;
        for (int i = 0; i < record.count(); ++i)
            made << record.fieldName(i).toUpper();
        QStringList wanted;
        for (const ColumnDef &c : Schema::table(table)->columns)
            wanted << QLatin1String(c.name);
        // Only the document tables are bound to their order.
        if (table != QLatin1String("PL")) {
            made.sort();
            wanted.sort();
        }
        QCOMPARE(made, wanted);
    }
    for (const QString table : {"PARAM", "S_PLAT", "S_POL"}) {
        QSqlQuery q = db.run(QStringLiteral("select count(*), count(RID), count(distinct RID) from %1").arg(table));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toLongLong(), q.value(0).toLongLong());
        QCOMPARE(q.value(2).toLongLong(), q.value(0).toLongLong());
    }
    // The archive move copies rows by position, so the mended PL still matches PL_A.
    QVERIFY(db.execute(QStringLiteral("insert into PL_A select * from PL")) > 0);
    // Each of two rows with the same empty PAS can be written on its own again.
    DataSet users(db);
    users.setSql(QStringLiteral("select * from PARAM where PAS=? order by LOGIN"), {QStringLiteral("")});
    users.open();
    QCOMPARE(users.recordCount(), 2);
    users.edit();
    users.setValue(QStringLiteral("P5"), QStringLiteral("правка"));
    users.post();
    QCOMPARE(count(dir.path(), QStringLiteral("select count(*) from PARAM where P5='правка'")), 1);
}

// sql.udl may hold the server's password in plain text: init leaves it to its owner alone.
void InstallTest::dataLinkReadByItsOwnerOnly()
{
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    const QString path = dir.filePath(QStringLiteral("sql.udl"));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QString output;
    if (Engines::current() == Engine::SQLite) {
        // The file init writes itself.
        QCOMPARE(init(dir.path(), {}, &output), 0);
        QCOMPARE(QFile(path).permissions() & others, QFileDevice::Permissions());
        return;
    }
    // A file the user wrote, with a password, readable by everyone.
    DataLink link = DataLink::readFile(path);
    link.password = QStringLiteral("secret");
    QFile udl(path);
    QVERIFY(udl.open(QIODevice::WriteOnly | QIODevice::Truncate));
    udl.write(link.toText().toUtf8());
    udl.close();
    QVERIFY(udl.setPermissions(udl.permissions() | others));
    QCOMPARE(init(dir.path(), {}, &output), 0);
    QCOMPARE(QFile(path).permissions() & others, QFileDevice::Permissions());
    QVERIFY(QFile(path).permissions() & QFileDevice::ReadOwner);
    QVERIFY2(output.contains(QStringLiteral("читает только его владелец")), qPrintable(output));
    // Asked again, it says nothing more.
    QCOMPARE(init(dir.path(), {}, &output), 0);
    QVERIFY2(!output.contains(QStringLiteral("владелец")), qPrintable(output));
}

// Tables of the earlier layout: no field 22, bank names of 45 characters. Init brings them up
// to date in place, every row kept, and the archive move still copies whole rows.
void InstallTest::initBringsEarlierTablesUpToDate()
{
    QTemporaryDir dir;
    QVERIFY(prepare(dir));
    QCOMPARE(init(dir.path(), {QStringLiteral("--demo"), QStringLiteral("--documents"), QStringLiteral("20")}), 0);
    const DataLink link = DataLink::readFile(dir.filePath(QStringLiteral("sql.udl")));
    QStringList earlier;
    for (const ColumnDef &c : Schema::table(QStringLiteral("PL"))->columns)
        if (qstrcmp(c.name, "P22_KOD") != 0)
            earlier << QLatin1String(c.name);
    QHash<QString, QStringList> before;
    {
        Database db;
        db.open(link, dir.path());
        for (const QString table : {"PL", "PL_A"}) {
            LegacyTables::dropColumns(db, table, {QStringLiteral("P22_KOD")});
            if (Engines::current() == Engine::PostgreSQL)
                for (const QString column : {"BANK_PL1", "BANK_POL1"})
                    db.execute(QStringLiteral("alter table %1 alter column %2 type varchar(45) using left(%2, 45)").arg(table, column));
            before[table] = rows(db, table, earlier);
        }
    }
    QCOMPARE(init(dir.path(), {}), 0);

    Database db;
    db.open(link, dir.path());
    QStringList wanted;
    for (const ColumnDef &c : Schema::table(QStringLiteral("PL"))->columns)
        wanted << QLatin1String(c.name);
    for (const QString table : {"PL", "PL_A"}) {
        QVERIFY(!before[table].isEmpty());
        QCOMPARE(rows(db, table, earlier), before[table]);
        const QSqlRecord record = db.run(QStringLiteral("select * from %1").arg(table)).record();
        QStringList made;
        for (int i = 0; i < record.count(); ++i)
            made << record.fieldName(i).toUpper();
        QCOMPARE(made, wanted);
        // A bank name of 160 characters, the longest the Bank of Russia's directory carries, goes in whole.
        const QString name = QString(160, QChar(u'Б'));
        db.run(QStringLiteral("update %1 set BANK_POL1=?, P22_KOD=?").arg(table), {name, QString(25, QChar(u'1'))});
        QSqlQuery q = db.run(QStringLiteral("select BANK_POL1 from %1").arg(table));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), name);
    }
    QVERIFY(db.execute(QStringLiteral("insert into PL_A select * from PL")) > 0);
}

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
