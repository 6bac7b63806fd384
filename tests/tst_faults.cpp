#include "support/Engines.h"
#include "support/PgCluster.h"
#include "support/TempDatabase.h"
#include "support/WindowFixture.h"

#include "app/GuardedApplication.h"
#include "register/NewDocumentCommand.h"
#include "store/AppError.h"
#include "store/DataSet.h"

#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

QString stored(Database &db, const QString &sql)
{
    QSqlQuery q = db.run(sql);
    return q.next() ? (q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString()) : QStringLiteral("<no row>");
}

TempDatabase::Options onEngine()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.documents = 0;
    return o;
}

// A macro: QSKIP must return from the test function itself.
#define REQUIRE_POSTGRES()                                                                                  \
    if (Engines::current() != Engine::PostgreSQL)                                                        \
    QSKIP("a server and its connections are PostgreSQL's")

// A trigger that ends its own connection in the middle of the statement, as a
// dropped network or a killed server process does.
void killConnectionOn(Database &db, const QString &table)
{
    db.execute(QStringLiteral("create or replace function kill_self() returns trigger language plpgsql as "
                              "$$ begin perform pg_terminate_backend(pg_backend_pid()); perform pg_sleep(5); "
                              "return new; end $$"));
    db.execute(QStringLiteral("create trigger kill_self before update or insert on %1 for each row "
                              "execute function kill_self()").arg(table));
}

void spareConnection(Database &db, const QString &table)
{
    db.execute(QStringLiteral("drop trigger kill_self on %1").arg(table));
}

void addDocument(TempDatabase &d)
{
    d.addDocument(QStringLiteral("PL"), {{"ID", "100000000000001"}, {"NOM", "12"}, {"S", 100.0}, {"PRIZN_DK", "0"}});
}

} // namespace

class FaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { Engines::addRows(); }
    void slotFailureIsShownAndTheLoopGoesOn_data();
    void slotFailureIsShownAndTheLoopGoesOn();

    void storeOverKilledConnection();
    void numberingOverKilledConnection();
    void serverStoppedAndStarted();
    void readOnlyDatabase();
};

void FaultsTest::storeOverKilledConnection()
{
    REQUIRE_POSTGRES();
    TempDatabase d(onEngine());
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    addDocument(d);
    Database app;
    app.open(d.link(), d.folder());
    DataSet doc(app);
    doc.setSql(QStringLiteral("select * from PL"));
    doc.open();
    killConnectionOn(d.db(), QStringLiteral("PL"));
    doc.edit();
    doc.setValue(QStringLiteral("NOM"), QStringLiteral("13"));
    doc.setValue(QStringLiteral("PRIZN_DK"), QStringLiteral("3"));
    try {
        doc.post();
        QFAIL("a store over a killed connection was reported done");
    } catch (const AppError &e) {
        QVERIFY2(!e.message().trimmed().isEmpty(), "the failure has no text");
    }
    // Nothing half-written, nothing typed lost.
    QCOMPARE(stored(d.db(), QStringLiteral("select NOM||'/'||PRIZN_DK from PL")), QStringLiteral("12/0"));
    QCOMPARE(doc.state(), DataSet::State::Edit);
    QCOMPARE(doc.text(QStringLiteral("NOM")), QStringLiteral("13"));
    spareConnection(d.db(), QStringLiteral("PL"));
    // The retry opens a new connection and stores the document once.
    doc.post();
    QCOMPARE(stored(d.db(), QStringLiteral("select NOM||'/'||PRIZN_DK from PL")), QStringLiteral("13/3"));
}

void FaultsTest::numberingOverKilledConnection()
{
    REQUIRE_POSTGRES();
    auto f = WindowFixture::signedInOver(QStringLiteral("1"), [](TempDatabase &d) {
        d.db().run(QStringLiteral("update PARAM set P0=?, P1='41'"), {d.db().dialect().toDb(ColumnKind::Logical, true)});
    });
    QVERIFY(f);
    Session &session = f->window().session();
    Database &other = f->otherComputer();
    DataSet general(session.db()), bank(session.db());
    const QString documentsBefore = stored(other, QStringLiteral("select count(*) from PL"));
    killConnectionOn(other, QStringLiteral("PARAM"));
    QVERIFY_THROWS_EXCEPTION(AppError, NewDocumentCommand(session, general, bank));
    QCOMPARE(stored(other, QStringLiteral("select P1 from PARAM where PAS='1'")), QStringLiteral("41"));
    QCOMPARE(session.documents().state() == DataSet::State::Insert, false);
    spareConnection(other, QStringLiteral("PARAM"));
    QVERIFY(NewDocumentCommand(session, general, bank));
    QCOMPARE(session.documents().text(QStringLiteral("NOM")), QStringLiteral("41"));
    QCOMPARE(stored(other, QStringLiteral("select P1 from PARAM where PAS='1'")), QStringLiteral("42"));
    session.documents().post();
    QCOMPARE(stored(other, QStringLiteral("select count(*) from PL")), QString::number(documentsBefore.toInt() + 1));
}

void FaultsTest::serverStoppedAndStarted()
{
    REQUIRE_POSTGRES();
    TempDatabase d(onEngine());
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    d.db().execute(QStringLiteral("delete from PARAM"));
    d.db().execute(QStringLiteral("insert into PARAM (LOGIN,PAS,P1) values ('Иванов','1','15')"));
    Database app;
    app.open(d.link(), d.folder());
    DataSet user(app);
    user.setSql(QStringLiteral("select * from PARAM where PAS='1'"));
    user.open();
    QCOMPARE(user.recordCount(), 1);
    PgCluster *cluster = PgCluster::instance();
    QVERIFY(cluster);
    QVERIFY(cluster->stopServer());
    user.edit();
    user.setValue(QStringLiteral("P5"), QStringLiteral("Главный бухгалтер"));
    QVERIFY_THROWS_EXCEPTION(AppError, user.post());
    // While the server is away every try says so, and nothing is taken for written.
    QVERIFY_THROWS_EXCEPTION(AppError, user.post());
    QCOMPARE(user.state(), DataSet::State::Edit);
    QVERIFY(cluster->startServer());
    // The program's connection failed its statements, so the next one opens it again.
    user.post();
    Database check;
    check.open(d.link(), d.folder());
    QCOMPARE(stored(check, QStringLiteral("select P5 from PARAM where PAS='1'")), QStringLiteral("Главный бухгалтер"));
    user.open();
    QCOMPARE(user.text(QStringLiteral("P5")), QStringLiteral("Главный бухгалтер"));
}

void FaultsTest::readOnlyDatabase()
{
    if (Engines::current() != Engine::SQLite)
        QSKIP("a read-only file is SQLite's");
    TempDatabase d(onEngine());
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    addDocument(d);
    Database app;
    app.open(d.link(), d.folder());
    DataSet doc(app);
    doc.setSql(QStringLiteral("select * from PL"));
    doc.open();
    // The tests run as root, whom file modes do not stop; the engine's own read-only switch
    // refuses writes with the same error.
    app.execute(QStringLiteral("pragma query_only=1"));
    doc.edit();
    doc.setValue(QStringLiteral("NOM"), QStringLiteral("13"));
    try {
        doc.post();
        QFAIL("a store into a read-only database was reported done");
    } catch (const AppError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("readonly")), qPrintable(e.message()));
    }
    QCOMPARE(doc.state(), DataSet::State::Edit);
    QCOMPARE(stored(d.db(), QStringLiteral("select NOM from PL")), QStringLiteral("12"));
    app.execute(QStringLiteral("pragma query_only=0"));
    doc.post();
    QCOMPARE(stored(d.db(), QStringLiteral("select NOM from PL")), QStringLiteral("13"));
}

// A failure no command caught, thrown from a slot, is shown and the loop goes on to the next event.
void FaultsTest::slotFailureIsShownAndTheLoopGoesOn_data()
{
    QTest::addColumn<bool>("programError");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the program's own error") << true << QStringLiteral("Нет связи с базой данных");
    QTest::newRow("any other exception") << false << QStringLiteral("Неизвестная ошибка! Обратитесь к разработчику");
}

void FaultsTest::slotFailureIsShownAndTheLoopGoesOn()
{
    QFETCH(bool, programError);
    QFETCH(QString, shown);
    auto *app = static_cast<GuardedApplication *>(QCoreApplication::instance());
    ScriptedDialogs dialogs;
    app->setDialogs(&dialogs);
    bool nextRan = false;
    QTimer::singleShot(0, app, [programError] {
        if (programError)
            throw AppError(QStringLiteral("Нет связи с базой данных"));
        throw std::length_error("vector");
    });
    QTimer::singleShot(0, app, [&nextRan] { nextRan = true; });
    QTRY_VERIFY(nextRan);
    app->setDialogs(nullptr);
    QCOMPARE(dialogs.errors(), QStringList{shown});
}

// The program's own application object, so that what it catches is tried here.
int main(int argc, char **argv)
{
    GuardedApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    FaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_faults.moc"
