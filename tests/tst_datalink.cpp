#include "store/AppError.h"
#include "store/DataLink.h"

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

QTEST_GUILESS_MAIN(DataLinkTest)
#include "tst_datalink.moc"
