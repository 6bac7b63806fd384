#include "store/AppError.h"
#include "store/DataLink.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class DataLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void refuses_data();
    void refuses();
    void readsClassicUtf16File();
    void missingFileIsAnError();
    void writtenTextReadsBack();
    void server_data();
    void server();
    void refusesWhatIsNoFile_data();
    void refusesWhatIsNoFile();
    void awkwardValuesReadBack_data();
    void awkwardValuesReadBack();
};

static QByteArray utf16le(const QString &text, bool mark)
{
    QByteArray bytes = mark ? QByteArray("\xFF\xFE", 2) : QByteArray();
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return bytes;
}

void DataLinkTest::parses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("engine");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("sqlite") << QByteArray("Provider=SQLite;Data Source=payorders.db;") << int(Engine::SQLite)
                            << "payorders.db" << "" << "" << "";
    QTest::newRow("keys in any case, blanks")
        << QByteArray("  provider = sqlite ; DATA SOURCE = data/pay.db ;\n") << int(Engine::SQLite) << "data/pay.db"
        << "" << "" << "";
    QTest::newRow("postgresql")
        << QByteArray("Provider=PostgreSQL;Data Source=db.local:5433;Initial Catalog=pay;User ID=acc;Password=s3;")
        << int(Engine::PostgreSQL) << "db.local:5433" << "pay" << "acc" << "s3";
    QTest::newRow("quoted value") << QByteArray("Provider=SQLite;Data Source=\"my docs.db\";") << int(Engine::SQLite)
                                  << "my docs.db" << "" << "" << "";
    QTest::newRow("classic layout, utf-8")
        << QByteArray("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                      "Provider=PostgreSQL;Data Source=srv;Initial Catalog=pay;User ID=u\r\n")
        << int(Engine::PostgreSQL) << "srv" << "pay" << "u" << "";
    QTest::newRow("classic layout, utf-16 with mark")
        << utf16le(QStringLiteral("[oledb]\r\n; comment\r\nProvider=SQLite;Data Source=база.db\r\n"), true)
        << int(Engine::SQLite) << "база.db" << "" << "" << "";
    QTest::newRow("utf-16 without mark")
        << utf16le(QStringLiteral("Provider=SQLite;Data Source=x.db"), false) << int(Engine::SQLite) << "x.db" << ""
        << "" << "";
    QTest::newRow("semicolon in a quoted password")
        << QByteArray("Provider=PostgreSQL;Data Source=h;Password=\"a;b\";User ID=u") << int(Engine::PostgreSQL) << "h"
        << "" << "u" << "a;b";
    QTest::newRow("semicolon in a quoted file name")
        << QByteArray("Provider=SQLite;Data Source=\"pay;orders.db\";") << int(Engine::SQLite) << "pay;orders.db" << ""
        << "" << "";
    QTest::newRow("single quotes, equals sign inside")
        << QByteArray("Provider=PostgreSQL;Data Source=h;Password='x=y;z'") << int(Engine::PostgreSQL) << "h" << ""
        << "" << "x=y;z";
    QTest::newRow("doubled quote inside quotes")
        << QByteArray("Provider=PostgreSQL;Data Source=h;Password=\"say \"\"hi\"\"\"") << int(Engine::PostgreSQL) << "h"
        << "" << "" << "say \"hi\"";
    QTest::newRow("versioned provider") << QByteArray("Provider=PostgreSQL.1;Data Source=h") << int(Engine::PostgreSQL)
                                        << "h" << "" << "" << "";
    QTest::newRow("IPv6 host") << QByteArray("Provider=PostgreSQL;Data Source=::1") << int(Engine::PostgreSQL) << "::1"
                               << "" << "" << "";
    QTest::newRow("pairs over several lines")
        << QByteArray("Provider=PostgreSQL\nData Source=h\nInitial Catalog=c\n") << int(Engine::PostgreSQL) << "h"
        << "c" << "" << "";
}

void DataLinkTest::parses()
{
    QFETCH(QByteArray, content);
    QFETCH(int, engine);
    QFETCH(QString, source);
    QFETCH(QString, catalog);
    QFETCH(QString, user);
    QFETCH(QString, password);
    const DataLink link = DataLink::parse(content);
    QCOMPARE(int(link.engine), engine);
    QCOMPARE(link.dataSource, source);
    QCOMPARE(link.initialCatalog, catalog);
    QCOMPARE(link.userId, user);
    QCOMPARE(link.password, password);
}

void DataLinkTest::refuses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("comments only") << QByteArray("[oledb]\n; nothing\n");
    QTest::newRow("no provider") << QByteArray("Data Source=x.db;");
    QTest::newRow("unknown provider") << QByteArray("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;");
    QTest::newRow("sqlite without file") << QByteArray("Provider=SQLite;");
    QTest::newRow("provider name inside another") << QByteArray("Provider=NotSQLiteAtAll;Data Source=x.db");
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("unclosed quote") << QByteArray("Provider=SQLite;Data Source=\"x.db;");
    QTest::newRow("text after a quote") << QByteArray("Provider=SQLite;Data Source=\"x\".db;");
    QTest::newRow("port not a number") << QByteArray("Provider=PostgreSQL;Data Source=h:abc");
    QTest::newRow("port zero") << QByteArray("Provider=PostgreSQL;Data Source=h:0");
    QTest::newRow("port too big") << QByteArray("Provider=PostgreSQL;Data Source=h:65536");
    QTest::newRow("port missing") << QByteArray("Provider=PostgreSQL;Data Source=h:");
    QTest::newRow("unclosed bracket") << QByteArray("Provider=PostgreSQL;Data Source=[::1");
}

void DataLinkTest::refuses()
{
    QFETCH(QByteArray, content);
    try {
        DataLink::parse(content);
        QFAIL("a broken data link was accepted");
    } catch (const AppError &error) {
        QVERIFY(!error.message().isEmpty());
    }
}

void DataLinkTest::readsClassicUtf16File()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("sql.udl")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(utf16le(QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                                      "Provider=PostgreSQL;Password=p;User ID=u;Initial Catalog=c;Data Source=h:1\r\n"),
                       true));
    file.close();
    const DataLink link = DataLink::readFile(file.fileName());
    QCOMPARE(link.engine, Engine::PostgreSQL);
    QCOMPARE(link.dataSource, QStringLiteral("h:1"));
    QCOMPARE(link.password, QStringLiteral("p"));
}

void DataLinkTest::missingFileIsAnError()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(AppError, DataLink::readFile(dir.filePath(QStringLiteral("sql.udl"))));
}

void DataLinkTest::writtenTextReadsBack()
{
    DataLink link;
    link.engine = Engine::PostgreSQL;
    link.dataSource = QStringLiteral("127.0.0.1:5432");
    link.initialCatalog = QStringLiteral("pay");
    link.userId = QStringLiteral("acc");
    link.password = QStringLiteral("pw");
    const DataLink back = DataLink::parse(link.toText().toUtf8());
    QCOMPARE(back.engine, link.engine);
    QCOMPARE(back.dataSource, link.dataSource);
    QCOMPARE(back.initialCatalog, link.initialCatalog);
    QCOMPARE(back.userId, link.userId);
    QCOMPARE(back.password, link.password);
}

void DataLinkTest::server_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host") << "db.local" << "db.local" << 0;
    QTest::newRow("host and port") << "db.local:5433" << "db.local" << 5433;
    QTest::newRow("nothing") << "" << "localhost" << 0;
    QTest::newRow("IPv6") << "::1" << "::1" << 0;
    QTest::newRow("IPv6 in brackets") << "[::1]" << "::1" << 0;
    QTest::newRow("IPv6 with port") << "[fe80::1]:6543" << "fe80::1" << 6543;
}

void DataLinkTest::server()
{
    QFETCH(QString, source);
    QFETCH(QString, host);
    QFETCH(int, port);
    DataLink link;
    link.engine = Engine::PostgreSQL;
    link.dataSource = source;
    QCOMPARE(link.server().host, host);
    QCOMPARE(link.server().port, port);
}

void DataLinkTest::refusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "directory";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("pipe") << "fifo";
    QTest::newRow("too big") << "big";
}

void DataLinkTest::refusesWhatIsNoFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sql.udl"));
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QLatin1String("fifo")) {
        // Nobody writes to it: a reader that opened it would wait for ever.
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {path}), 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Provider=SQLite;Data Source=x.db;");
        file.write(QByteArray(DataLink::MaxFileSize, ' '));
    }
    try {
        DataLink::readFile(path);
        QFAIL("something that is no data link was read as one");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
    }
}

void DataLinkTest::awkwardValuesReadBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("semicolon") << "a;b";
    QTest::newRow("both quotes") << "it's \"so\"";
    QTest::newRow("equals and blanks") << " x = y ";
    QTest::newRow("leading quote") << "'quoted'";
}

void DataLinkTest::awkwardValuesReadBack()
{
    QFETCH(QString, value);
    DataLink link;
    link.engine = Engine::PostgreSQL;
    link.dataSource = QStringLiteral("h");
    link.userId = value;
    link.password = value;
    const DataLink back = DataLink::parse(link.toText().toUtf8());
    QCOMPARE(back.userId, value);
    QCOMPARE(back.password, value);
}

QTEST_GUILESS_MAIN(DataLinkTest)
#include "tst_datalink.moc"
