#include "support/Engines.h"
#include "support/Keys.h"
#include "support/LegacyTables.h"
#include "support/WindowFixture.h"

#include "app/SignIn.h"
#include "register/RegisterPage.h"
#include "store/Installer.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>

class SignInTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void userSeesRegister();
    void administratorSeesAdminPage();
    void refusesPassword_data();
    void refusesPassword();
    void overwritesP2WithToday();
    void restrictedUserSeesOwnDocuments_data();
    void restrictedUserSeesOwnDocuments();
    void brokenDataLink_data();
    void brokenDataLink();
    void classicDataLinkConnects();
    void reloadRegisterStatements_data();
    void reloadRegisterStatements();
    void quotePasswordSignsIn();
    void signInAfterInitMendsTablesWithoutRowKey();
    void logicalInAnotherToolsForm_data();
    void logicalInAnotherToolsForm();

private:
    TempDatabase::Options options() const;
};

void SignInTest::initTestCase_data()
{
    Engines::addRows();
}

TempDatabase::Options SignInTest::options() const
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.demo = true;
    o.documents = 40;
    return o;
}

#define REQUIRE_DATA(f) \
    if (!(f).data().isValid()) QFAIL(qPrintable((f).data().reason()))

void SignInTest::userSeesRegister()
{
    WindowFixture f(options());
    REQUIRE_DATA(f);
    QVERIFY(f.signIn(QStringLiteral("1")));
    QCOMPARE(f.dialogs().log.first(), QStringLiteral("ask:Ввод пароля|Введите пароль"));
    QCOMPARE(f.window().windowTitle(), QStringLiteral("Добрый день, Иванова Анна!"));
    QCOMPARE(f.window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QVERIFY(f.window().q1().isOpen());
    QCOMPARE(f.window().q1().sql(), QStringLiteral("select * from PL order by DATE desc"));
    QCOMPARE(f.window().q1().recordCount(), f.data().scalar(QStringLiteral("select count(*) from PL")).toInt());
    QVERIFY(!f.window().session().isArchive());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    QCOMPARE(Keys::focused()->objectName(), QStringLiteral("grid_m"));
}

void SignInTest::administratorSeesAdminPage()
{
    WindowFixture f(options());
    REQUIRE_DATA(f);
    QVERIFY(f.signIn(AdministratorCode));
    QCOMPARE(f.window().pages()->currentWidget()->objectName(), QStringLiteral("admin"));
    QVERIFY(!f.window().q1().isOpen());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(f.window().windowTitle(), QStringLiteral("Добрый день, Администратор!"));
}

void SignInTest::refusesPassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("unknown") << QStringLiteral("9");
    QTest::newRow("empty") << QString();
    QTest::newRow("quote") << QStringLiteral("' or '1'='1");
    QTest::newRow("two characters") << QStringLiteral("12");
    QTest::newRow("backslash and quote") << QStringLiteral("\\' or 1=1 --");
}

void SignInTest::refusesPassword()
{
    QFETCH(QString, password);
    WindowFixture f(options());
    REQUIRE_DATA(f);
    // A server that reads a backslash in quotes as an escape, as old ones did.
    if (Engines::current() == Engine::PostgreSQL)
        f.data().db().execute(QStringLiteral("alter database %1 set standard_conforming_strings=off")
                                  .arg(f.data().link().initialCatalog));
    QVERIFY(!f.signIn(password));
    QCOMPARE(f.dialogs().messages(), QStringList{QStringLiteral("Неверный пароль")});
    QVERIFY(!f.window().isVisible());
    QVERIFY(!f.window().q1().isOpen());
}

void SignInTest::overwritesP2WithToday()
{
    WindowFixture f(options());
    REQUIRE_DATA(f);
    f.data().db().execute(QStringLiteral("update PARAM set P2='01.01.99' where PAS='2'"));
    QVERIFY(f.signIn(QStringLiteral("2")));
    QCOMPARE(f.data().scalar(QStringLiteral("select P2 from PARAM where PAS='2'")).toString(),
             QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    // The other users' rows are left alone.
    QCOMPARE(f.data().scalar(QStringLiteral("select P2 from PARAM where PAS='*'")).toString(), QString());
}

void SignInTest::restrictedUserSeesOwnDocuments_data()
{
    QTest::addColumn<QString>("p6");
    QTest::newRow("one") << QStringLiteral("1");
    QTest::newRow("empty") << QString();
}

void SignInTest::restrictedUserSeesOwnDocuments()
{
    QFETCH(QString, p6);
    WindowFixture f(options());
    REQUIRE_DATA(f);
    f.data().db().run(QStringLiteral("update PARAM set P6=? where PAS='2'"), {p6});
    QVERIFY(f.signIn(QStringLiteral("2")));
    DataSet &q1 = f.window().q1();
    QCOMPARE(q1.recordCount(), f.data().scalar(QStringLiteral("select count(*) from PL where LOGIN='2'")).toInt());
    QVERIFY(q1.recordCount() > 0);
    for (q1.first(); !q1.eof(); q1.next())
        QCOMPARE(q1.text(QStringLiteral("LOGIN")), QStringLiteral("2"));
}

void SignInTest::brokenDataLink_data()
{
    QTest::addColumn<QByteArray>("udl"); // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("no provider") << QByteArray("Data Source=payorders.db;\n");
    QTest::newRow("unknown provider") << QByteArray("Provider=Jet;Data Source=payorders.db;\n");
    QTest::newRow("missing database file") << QByteArray("Provider=SQLite;Data Source=nothing-here.db;\n");
    QTest::newRow("unreachable server")
        << QByteArray("Provider=PostgreSQL;Data Source=127.0.0.1:1;Initial Catalog=x;User ID=u;\n");
    QTest::newRow("database without tables") << QByteArray("Provider=SQLite;Data Source=empty.db;\n");
}

void SignInTest::brokenDataLink()
{
    QFETCH(QByteArray, udl);
    WindowFixture f(options());
    REQUIRE_DATA(f);
    const QString folder = f.data().folder();
    QFile::remove(folder + QStringLiteral("/sql.udl"));
    QFile empty(folder + QStringLiteral("/empty.db"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    if (!udl.isEmpty()) {
        QFile file(folder + QStringLiteral("/sql.udl"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(udl);
    }
    f.dialogs().textAnswers.enqueue(QStringLiteral("1"));
    QVERIFY(!f.window().ConnectAndSignIn(folder));
    const QString expected = QStringLiteral("Отсутствует файл ") + folder + QStringLiteral("\\sql.udl или ") + folder
                             + QStringLiteral("\\dbf.udl");
    QCOMPARE(f.dialogs().messages(), QStringList{expected});
    QCOMPARE(SignIn::missingFileMessage(folder), expected);
    QVERIFY(!f.window().isVisible());
}

void SignInTest::classicDataLinkConnects()
{
    const Engine engine = Engines::current();
    WindowFixture f(options());
    REQUIRE_DATA(f);
    // The layout a Windows data-link editor writes: UTF-16 with a mark, [oledb], comments.
    const QString text = QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n")
                         + f.data().link().toText().trimmed() + QStringLiteral("\r\n");
    QFile file(f.data().folder() + QStringLiteral("/sql.udl"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("\xFF\xFE");
    file.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    file.close();
    QVERIFY(f.signIn(QStringLiteral("1")));
    QCOMPARE(f.window().database().engine(), engine);
}

void SignInTest::reloadRegisterStatements_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<QString>("p6");
    QTest::addColumn<QString>("sql");
    QTest::newRow("current, all") << false << "0" << "select * from PL order by DATE desc";
    QTest::newRow("current, own") << false << "1" << "select * from PL where LOGIN='2' order by DATE desc";
    QTest::newRow("archive, all") << true << "0" << "select * from PL_A order by DATE desc";
    QTest::newRow("archive, own") << true << "" << "select * from PL_A where LOGIN='2' order by DATE desc";
}

void SignInTest::reloadRegisterStatements()
{
    QFETCH(bool, archive);
    QFETCH(QString, p6);
    QFETCH(QString, sql);
    WindowFixture f(options());
    REQUIRE_DATA(f);
    f.data().db().run(QStringLiteral("update PARAM set P6=? where PAS='2'"), {p6});
    QVERIFY(f.signIn(QStringLiteral("2")));
    f.window().session().setArchive(archive);
    f.window().ReloadRegister();
    QCOMPARE(f.window().q1().statementText(), sql);
    const QString table = archive ? QStringLiteral("PL_A") : QStringLiteral("PL");
    const QString where = p6 == QLatin1String("0") ? QString() : QStringLiteral(" where LOGIN='2'");
    QCOMPARE(f.window().q1().recordCount(),
             f.data().scalar(QStringLiteral("select count(*) from ") + table + where).toInt());
    QCOMPARE(f.window().q1().recNo(), 0);
}

void SignInTest::quotePasswordSignsIn()
{
    WindowFixture f(options());
    REQUIRE_DATA(f);
    f.data().db().run(QStringLiteral("insert into PARAM (LOGIN,PAS,P6) values (?,?,'0')"),
                      {QStringLiteral("Кавычкин"), QStringLiteral("'")});
    QVERIFY(f.signIn(QStringLiteral("'")));
    QCOMPARE(f.window().windowTitle(), QStringLiteral("Добрый день, Кавычкин!"));
}

void SignInTest::signInAfterInitMendsTablesWithoutRowKey()
{
    WindowFixture f(options());
    REQUIRE_DATA(f);
    Database &db = f.data().db();
    const int users = f.data().scalar(QStringLiteral("select count(*) from PARAM")).toInt();
    const int recipients = f.data().scalar(QStringLiteral("select count(*) from S_POL")).toInt();
    // Tables laid out by another tool, without the hidden row key.
    for (const QString table : {"PARAM", "S_POL"})
        LegacyTables::dropColumns(db, table, {QStringLiteral("RID")});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("PARAM.*payorders init")));
    QVERIFY(!f.signIn(QStringLiteral("1")));

    Installer::createSchema(db);
    QCOMPARE(f.data().scalar(QStringLiteral("select count(*) from PARAM")).toInt(), users);
    QCOMPARE(f.data().scalar(QStringLiteral("select count(*) from S_POL")).toInt(), recipients);
    QVERIFY(f.signIn(QStringLiteral("1")));
    QCOMPARE(f.window().windowTitle(), QStringLiteral("Добрый день, Иванова Анна!"));
}

QTEST_MAIN(SignInTest)
#include "tst_signin.moc"

void SignInTest::logicalInAnotherToolsForm_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("'true'") << "'true'";
    QTest::newRow("'True'") << "'True'";
    QTest::newRow("'1'") << "'1'";
    QTest::newRow("1") << "1";
}

void SignInTest::logicalInAnotherToolsForm()
{
    QFETCH(QString, stored);
    WindowFixture f(options());
    REQUIRE_DATA(f);
    // On PostgreSQL a text form needs a column another tool made as text.
    if (Engines::current() == Engine::PostgreSQL)
        f.data().db().execute(QStringLiteral("alter table PARAM alter column P0 type varchar(10) using P0::text"));
    f.data().db().execute(QStringLiteral("update PARAM set P0=%1, P2='01.01.99' where PAS='2'").arg(stored));
    QVERIFY(f.signIn(QStringLiteral("2")));
    QCOMPARE(f.window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QCOMPARE(f.data().scalar(QStringLiteral("select P2 from PARAM where PAS='2'")).toString(),
             QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    QVERIFY(f.window().session().user().logical(QStringLiteral("P0")));
}
