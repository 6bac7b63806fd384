#include "support/Engines.h"
#include "support/TempDatabase.h"

#include "document/DocumentColumns.h"
#include "document/RegisterQuery.h"
#include "store/AppError.h"
#include "store/BankLookup.h"
#include "store/DataSet.h"
#include "store/Installer.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/TimestampId.h"
#include "widgets/DirectoryModel.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <functional>
#include <limits>

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void documentTablesKeepTheirColumnsInOrder();
    void archiveMoveKeepsEveryColumn();
    void installationIsRepeatable();
    void opensSnapshotWithExactCount();
    void walksAndLocates();
    void findsExactStoredText_data();
    void findsExactStoredText();
    void readsColumnsInAnyCase();
    void postWritesOnlyChangedColumns();
    void postPinsOneRowWithSharedKey_data();
    void postPinsOneRowWithSharedKey();
    void deletePinsOneRow();
    void insertAddsRowAndCancelDrops();
    void cutsTextToColumnWidth();
    void quoteIsStoredAsTyped();
    void failingStatementCarriesDatabaseText();
    void sqliteSourceThatIsNoFileIsNamed_data();
    void sqliteSourceThatIsNoFileIsNamed();
    void postToVanishedRowFails();
    void filterHidesRows_data();
    void filterHidesRows();
    void filterSurvivesReopen();
    void textConvertsForTypedColumns();
    void bankLookup_data();
    void bankLookup();
    void bankLookupTakesFirstOfDuplicates();
    void documentIdsAreUnique();
    void numbersReadBackExactly_data();
    void numbersReadBackExactly();
    void cutsOnCharacterBoundaries_data();
    void cutsOnCharacterBoundaries();
    void refusesValuesTheColumnCannotHold_data();
    void refusesValuesTheColumnCannotHold();
    void keepsDatesAtTheEndsOfTheRange_data();
    void keepsDatesAtTheEndsOfTheRange();
    void emptyValueIsNoNumber_data();
    void emptyValueIsNoNumber();
    void cursorMovePostsPendingEdit_data();
    void cursorMovePostsPendingEdit();
    void cursorMoveWithoutThePolicyRefused();
    void failedPostOnMoveKeepsEditAndCursor();
    void lockIsTakenByOneComputerOnly_data();
    void lockIsTakenByOneComputerOnly();
    void boundValuesAreNeverSqlText();
    void quotedTextMeansTheSameWithoutStandardStrings();
    void documentWordsAreSchemaColumns();
    void viewsHearOfRowsBeforeTheyChange_data();
    void viewsHearOfRowsBeforeTheyChange();

private:
    TempDatabase::Options options() const;
    void addParam(TempDatabase &t, const QString &login, const QString &pas);
    void addThreeDocuments(TempDatabase &t);
};

void StoreTest::initTestCase_data()
{
    Engines::addRows();
}

TempDatabase::Options StoreTest::options() const
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    return o;
}

#define REQUIRE_VALID(t) \
    if (!(t).isValid()) QFAIL(qPrintable((t).reason()))

void StoreTest::addParam(TempDatabase &t, const QString &login, const QString &pas)
{
    t.db().run(QStringLiteral("insert into PARAM (LOGIN,PAS,P6) values (?,?,'0')"), {login, pas});
}

void StoreTest::documentTablesKeepTheirColumnsInOrder()
{
    // Written out, not read from the schema: a column moved there must fail here.
    const QStringList expected = {
        "NOM", "DATE", "S", "NAME_PL1", "NAME_PL2", "NAME_PL3", "NAME_PL4", "INN_PL", "SCH_DT", "KPP_PL",
        "BANK_PL1", "K_SBANK_DT", "MFOBANK_PL", "TNP_PL", "NNP_PL", "NAME_POL1", "NAME_POL2", "NAME_POL3",
        "NAME_POL4", "INN_POL", "SCH_KT", "KPP_POL", "BANK_POL1", "K_SBANK_KT", "MFOBANKPOL", "TNP_POL",
        "NNP_POL", "NAZNACH1", "NAZNACH2", "NAZNACH3", "NAZNACH4", "NAZNACH5", "OCHER_PL", "NDS",
        "P101_STATU", "P104_KBK", "P105_OKATO", "P106_OSNOV", "P107_PERIO", "P108_N_DOC", "P109_D_DOC",
        "P110_TIP", "PRIZN_DK", "VID_PLAT", "PER1", "VID_OP", "NALOG", "ID", "CHEKED", "LOGIN",
        "P22_KOD",
    };
    QCOMPARE(expected.size(), 51);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    for (const QString &table : {QStringLiteral("PL"), QStringLiteral("PL_A")}) {
        QSqlQuery q = t.db().run(QStringLiteral("select * from %1").arg(table));
        const QSqlRecord record = q.record();
        QStringList names;
        for (int i = 0; i < record.count(); ++i)
            names << record.fieldName(i).toUpper();
        QCOMPARE(names, expected);
    }
    for (const TableDef &def : Schema::tables())
        QVERIFY2(t.db().connection().tables().contains(QString::fromLatin1(def.name), Qt::CaseInsensitive), def.name);
}

void StoreTest::archiveMoveKeepsEveryColumn()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    QVariantMap doc;
    for (const ColumnDef &c : Schema::table(QStringLiteral("PL"))->columns)
        if (c.kind == ColumnKind::Text)
            doc.insert(QLatin1String(c.name), QStringLiteral("Ж'%1").arg(QLatin1String(c.name)).left(c.width));
    doc.insert(QStringLiteral("DATE"), QDate(2024, 3, 5));
    doc.insert(QStringLiteral("S"), 1234.56);
    doc.insert(QStringLiteral("NALOG"), true);
    doc.insert(QStringLiteral("ID"), QStringLiteral("050324140709042"));
    t.addDocument(QStringLiteral("PL"), doc);

    t.db().execute(QStringLiteral("insert into PL_A select * from PL where ID='050324140709042'"));
    t.db().execute(QStringLiteral("delete from PL where ID='050324140709042'"));
    t.db().execute(QStringLiteral("insert into PL select * from PL_A where ID='050324140709042'"));

    DataSet back(t.db());
    back.setSql(QStringLiteral("select * from PL"));
    back.open();
    QCOMPARE(back.recordCount(), 1);
    for (auto it = doc.begin(); it != doc.end(); ++it)
        QCOMPARE(back.value(it.key()), it.value());
}

void StoreTest::installationIsRepeatable()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    const int banks = t.scalar(QStringLiteral("select count(*) from BANK")).toInt();
    Installer::createSchema(t.db());
    Installer::loadInstallationData(t.db(), Installer::dataDir());
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from BANK")).toInt(), banks);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PARAM where PAS='*'")).toInt(), 1);
    for (const QString basis : {"0", "ТП", "ЗД", "АП", "АР"})
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from N_PARAM where TIP='o' and KOD=") + sqlQuote(basis)).toInt(), 1);
    QVERIFY(t.scalar(QStringLiteral("select count(*) from N_PARAM where TIP='s'")).toInt() >= 10);
    // Statuses folded into 13 in 2021 are offered no more.
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from N_PARAM where TIP='s' and KOD in ('09','10','11','12')")).toInt(), 0);
    // The unified tax payment's recipient, once however often the installation runs.
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from S_POL where SCHET='03100643000000018500' and INN='7727406020' "
                                     "and BIK='017003983'")).toInt(), 1);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from BANK where NEWNUM='017003983' and KSNP='40102810445370000059'")).toInt(), 1);
    QVERIFY(t.scalar(QStringLiteral("select count(*) from N_PARAM where TIP='t'")).toInt() >= 10);
}

void StoreTest::opensSnapshotWithExactCount()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    for (int i = 0; i < 5; ++i)
        t.addDocument(QStringLiteral("PL"), {{"ID", QString::number(i)}, {"DATE", QDate(2024, 1, 1 + i)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    QCOMPARE(ds.recordCount(), 5);
    QCOMPARE(ds.text(QStringLiteral("ID")), QStringLiteral("4"));
    // Rows written after opening stay out of sight until it is opened again.
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("9")}, {"DATE", QDate(2025, 1, 1)}});
    QCOMPARE(ds.recordCount(), 5);
    ds.close();
    ds.open();
    QCOMPARE(ds.recordCount(), 6);
    QCOMPARE(ds.text(QStringLiteral("ID")), QStringLiteral("9"));
}

void StoreTest::walksAndLocates()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    const QStringList names = {QStringLiteral("Ромашка"), QStringLiteral("ромб"), QStringLiteral("Технопарк")};
    for (int i = 0; i < names.size(); ++i)
        t.addDocument(QStringLiteral("PL"), {{"ID", QString::number(i)}, {"NOM", QString::number(10 + i)},
                                             {"NAME_POL1", names.at(i)}, {"DATE", QDate(2024, 5, 3 - i)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    QStringList walked;
    for (ds.first(); !ds.eof(); ds.next())
        walked << ds.text(QStringLiteral("NAME_POL1"));
    QCOMPARE(walked, names);

    QVERIFY(ds.locate(QStringLiteral("NAME_POL1"), QStringLiteral("РОМБ")));
    QCOMPARE(ds.recNo(), 1);
    QVERIFY(ds.locate(QStringLiteral("NOM"), QStringLiteral("1")));
    QCOMPARE(ds.recNo(), 0);
    QVERIFY(ds.locate(QStringLiteral("name_pol1"), QStringLiteral("Тех")));
    QCOMPARE(ds.recNo(), 2);
    // A miss leaves the current row where it was.
    QVERIFY(!ds.locate(QStringLiteral("NAME_POL1"), QStringLiteral("Яблоко")));
    QCOMPARE(ds.recNo(), 2);
}

void StoreTest::findsExactStoredText_data()
{
    QTest::addColumn<QString>("filter"); // a number the list is filtered on, or none
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("row"); // -1: not found, the cursor stays on the first row

    QTest::newRow("Cyrillic name") << "" << "NAME_POL1" << "Ромашка" << 0;
    QTest::newRow("other letter case") << "" << "NAME_POL1" << "ромашка" << 2;
    QTest::newRow("prefix is no match") << "" << "NAME_POL1" << "Ромаш" << -1;
    QTest::newRow("longer text is no match") << "" << "NAME_POL1" << "Ромашка-22" << -1;
    QTest::newRow("amount as stored") << "" << "S" << "10" << 1;
    QTest::newRow("last row") << "" << "ID" << "c" << 2;
    QTest::newRow("row among the filtered") << "5" << "ID" << "c" << 1;
    QTest::newRow("hidden by the filter") << "5" << "ID" << "b" << -1;
}

void StoreTest::findsExactStoredText()
{
    QFETCH(QString, filter);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(int, row);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "5"}, {"S", 1234.5}, {"NAME_POL1", "Ромашка"},
                                         {"DATE", QDate(2024, 1, 3)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "6"}, {"S", 10.0}, {"NAME_POL1", "Ромашка-2"},
                                         {"DATE", QDate(2024, 1, 2)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "c"}, {"NOM", "5"}, {"S", 1234.5}, {"NAME_POL1", "ромашка"},
                                         {"DATE", QDate(2024, 1, 1)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    if (!filter.isEmpty()) {
        ds.setFilter(RowFilter(QStringLiteral("NOM"), filter));
        ds.setFiltered(true);
    }
    ds.first();
    QCOMPARE(ds.find(column, value), row >= 0);
    QCOMPARE(ds.recNo(), qMax(row, 0));
    if (row >= 0)
        QCOMPARE(ds.text(column), value);
}

void StoreTest::readsColumnsInAnyCase()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("1")}, {"S", 1234.5}, {"DATE", QDate(2024, 2, 1)},
                                         {"NALOG", true}, {"MFOBANK_PL", QStringLiteral("044525225")}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from pl"));
    ds.open();
    QCOMPARE(ds.text(QStringLiteral("mfobank_pl")), QStringLiteral("044525225"));
    QCOMPARE(ds.text(QStringLiteral("MfoBank_Pl")), QStringLiteral("044525225"));
    QCOMPARE(ds.number(QStringLiteral("s")), 1234.5);
    QCOMPARE(ds.text(QStringLiteral("S")), QStringLiteral("1234,5"));
    QCOMPARE(ds.date(QStringLiteral("date")), QDate(2024, 2, 1));
    QCOMPARE(ds.text(QStringLiteral("DATE")), QStringLiteral("01.02.24"));
    QVERIFY(ds.logical(QStringLiteral("nalog")));
    QCOMPARE(ds.text(QStringLiteral("NALOG")), QStringLiteral("True"));
    QVERIFY_THROWS_EXCEPTION(AppError, ds.text(QStringLiteral("NO_SUCH")));
}

void StoreTest::postWritesOnlyChangedColumns()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("A")}, {"NOM", QStringLiteral("1")}, {"S", 10.0}});
    // Two computers with the same snapshot, each changing a different column.
    DataSet first(t.db());
    DataSet second(t.db());
    for (DataSet *ds : {&first, &second}) {
        ds->setSql(QStringLiteral("select * from PL"));
        ds->open();
    }
    first.edit();
    first.setValue(QStringLiteral("NOM"), QStringLiteral("77"));
    first.post();
    second.edit();
    second.setValue(QStringLiteral("S"), 20.5);
    // The row changed since the second read it: refused once, then written over the row as it is now.
    QVERIFY_THROWS_EXCEPTION(RowChangedError, second.post());
    second.post();
    QCOMPARE(t.scalar(QStringLiteral("select NOM from PL")).toString(), QStringLiteral("77"));
    QCOMPARE(t.scalar(QStringLiteral("select S from PL")).toDouble(), 20.5);
    QCOMPARE(first.text(QStringLiteral("NOM")), QStringLiteral("77"));
}

void StoreTest::postPinsOneRowWithSharedKey_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("sharedColumn");
    QTest::newRow("PARAM rows with empty PAS") << "PARAM" << "PAS";
    QTest::newRow("S_POL rows with empty ID") << "S_POL" << "ID";
    QTest::newRow("S_PLAT rows with the same ID") << "S_PLAT" << "ID";
}

void StoreTest::postPinsOneRowWithSharedKey()
{
    QFETCH(QString, table);
    QFETCH(QString, sharedColumn);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    // An empty text, not NULL: the rows really share the value.
    const QString shared = table == QLatin1String("S_PLAT") ? QStringLiteral("123") : QStringLiteral("");
    const QString nameColumn = table == QLatin1String("PARAM") ? QStringLiteral("LOGIN") : QStringLiteral("NAME1");
    // Only the rows made here: not the recipient every installation carries.
    if (table != QLatin1String("PARAM"))
        t.db().execute(QStringLiteral("delete from %1").arg(table));
    for (const QString &name : {QStringLiteral("первый"), QStringLiteral("второй"), QStringLiteral("третий")})
        t.db().run(QStringLiteral("insert into %1 (%2,%3) values (?,?)").arg(table, nameColumn, sharedColumn),
                   {name, shared});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from %1 where %2=%3 order by %4").arg(table, sharedColumn, sqlQuote(shared), nameColumn));
    ds.open();
    QCOMPARE(ds.recordCount(), 3);
    QVERIFY(!ds.columnNames().contains(QLatin1String(Schema::hiddenKey)));
    QVERIFY(ds.locate(nameColumn, QStringLiteral("второй")));
    ds.edit();
    ds.setValue(nameColumn, QStringLiteral("изменён"));
    ds.post();
    QSqlQuery q = t.db().run(QStringLiteral("select %1 from %2 order by %1").arg(nameColumn, table));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    names.removeAll(QStringLiteral("Администратор"));
    QCOMPARE(names, (QStringList{QStringLiteral("изменён"), QStringLiteral("первый"), QStringLiteral("третий")}));
}

void StoreTest::deletePinsOneRow()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    addParam(t, QStringLiteral("один"), QStringLiteral(""));
    addParam(t, QStringLiteral("два"), QStringLiteral(""));
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PARAM where PAS='' order by LOGIN"));
    ds.open();
    QCOMPARE(ds.text(QStringLiteral("LOGIN")), QStringLiteral("два"));
    ds.remove();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PARAM where PAS=''")).toInt(), 1);
    QCOMPARE(t.scalar(QStringLiteral("select LOGIN from PARAM where PAS=''")).toString(), QStringLiteral("один"));
}

void StoreTest::insertAddsRowAndCancelDrops()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.db().execute(QStringLiteral("delete from S_POL"));
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from S_POL order by 1"));
    ds.open();
    ds.insert();
    ds.setValue(QStringLiteral("ID"), QStringLiteral("1"));
    ds.setValue(QStringLiteral("NAME1"), QStringLiteral("Новый"));
    ds.post();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.text(QStringLiteral("NAME1")), QStringLiteral("Новый"));
    // The new row can be edited at once: the data set knows its hidden key.
    ds.edit();
    ds.setValue(QStringLiteral("INN"), QStringLiteral("7701234567"));
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select INN from S_POL where NAME1='Новый'")).toString(), QStringLiteral("7701234567"));

    ds.insert();
    ds.setValue(QStringLiteral("NAME1"), QStringLiteral("Отменённый"));
    ds.cancel();
    ds.edit();
    ds.setValue(QStringLiteral("NAME1"), QStringLiteral("Тоже отменённый"));
    ds.cancel();
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from S_POL")).toInt(), 1);
    QCOMPARE(t.scalar(QStringLiteral("select NAME1 from S_POL")).toString(), QStringLiteral("Новый"));
    QCOMPARE(ds.text(QStringLiteral("NAME1")), QStringLiteral("Новый"));
}

void StoreTest::cutsTextToColumnWidth()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("1")}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    const QString name45 = QStringLiteral("Общество с ограниченной ответственностью Ромб");
    QCOMPARE(name45.size(), 45);
    ds.edit();
    ds.setValue(QStringLiteral("NAME_PL1"), name45);
    ds.setValue(QStringLiteral("NDS"), QStringLiteral("120"));
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select NAME_PL1 from PL")).toString(), name45.left(40));
    QCOMPARE(t.scalar(QStringLiteral("select NDS from PL")).toString(), QStringLiteral("12"));
}

void StoreTest::quoteIsStoredAsTyped()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("1")}});
    const QString typed = QStringLiteral("ООО 'Ромашка'; drop table PL; --");
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH1"), typed);
    ds.post();
    DataSet found(t.db());
    found.setSql(QStringLiteral("select * from PL where NAZNACH1=") + sqlQuote(typed));
    found.open();
    QCOMPARE(found.recordCount(), 1);
    QCOMPARE(found.text(QStringLiteral("NAZNACH1")), typed);
    QCOMPARE(sqlQuote(QStringLiteral("a'b")), QStringLiteral("'a''b'"));
}

void StoreTest::failingStatementCarriesDatabaseText()
{
    const Engine engine = Engines::current();
    TempDatabase t(options());
    REQUIRE_VALID(t);
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from NO_SUCH_TABLE"));
    try {
        ds.open();
        QFAIL("a failing statement raised no error");
    } catch (const AppError &error) {
        const QString expected = engine == Engine::SQLite ? QStringLiteral("no such table")
                                                                  : QStringLiteral("does not exist");
        QVERIFY2(error.message().contains(expected, Qt::CaseInsensitive), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive), qPrintable(error.message()));
    }
    QVERIFY(!ds.isOpen());
    QVERIFY_THROWS_EXCEPTION(AppError, ds.execute(QStringLiteral("update NO_SUCH_TABLE set X=1")));
}

void StoreTest::sqliteSourceThatIsNoFileIsNamed_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a device") << "/dev/null";
}

void StoreTest::sqliteSourceThatIsNoFileIsNamed()
{
    QFETCH(QString, source);
    if (Engines::current() != Engine::SQLite)
        QSKIP("a data source names a file on SQLite only");
    QTemporaryDir work;
    QVERIFY(QDir(work.path()).mkdir(QStringLiteral("folder")));
    DataLink link;
    link.engine = Engine::SQLite;
    link.dataSource = source;
    Database db;
    try {
        db.open(link, work.path());
        QFAIL("a data source that is no file opened");
    } catch (const AppError &error) {
        const QString path = QDir(work.path()).absoluteFilePath(source);
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
    }
    QVERIFY(!db.isOpen());
}

void StoreTest::postToVanishedRowFails()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("1")}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    t.db().execute(QStringLiteral("delete from PL"));
    ds.edit();
    ds.setValue(QStringLiteral("NOM"), QStringLiteral("5"));
    QVERIFY_THROWS_EXCEPTION(AppError, ds.post());
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PL")).toInt(), 0);
}

void StoreTest::filterHidesRows_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("number") << "NOM" << "5" << QStringList{"a", "c"};
    QTest::newRow("recipient with a quote") << "NAME_POL1" << "ООО 'Р'" << QStringList{"b"};
    QTest::newRow("amount with comma") << "S" << "1234,5" << QStringList{"a", "b"};
    QTest::newRow("whole amount") << "S" << "1500" << QStringList{"c"};
    QTest::newRow("empty amount") << "S" << "" << QStringList{};
    QTest::newRow("empty number") << "NOM" << "" << QStringList{};
    QTest::newRow("recipient with a line break") << "NAME_POL1" << "ООО\nСевер" << QStringList{"c"};
}

void StoreTest::filterHidesRows()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QStringList, ids);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "5"}, {"S", 1234.5}, {"DATE", QDate(2024, 1, 3)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "6"}, {"S", 1234.5}, {"NAME_POL1", "ООО 'Р'"}, {"DATE", QDate(2024, 1, 2)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "c"}, {"NOM", "5"}, {"S", 1500.0}, {"NAME_POL1", "ООО\nСевер"}, {"DATE", QDate(2024, 1, 1)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    ds.setFilter(RowFilter(column, value));
    ds.setFiltered(true);
    QStringList seen;
    for (ds.first(); !ds.eof(); ds.next())
        seen << ds.text(QStringLiteral("ID"));
    QCOMPARE(seen, ids);
    QCOMPARE(ds.recordCount(), ids.size());
    ds.setFiltered(false);
    QCOMPARE(ds.recordCount(), 3);
}

void StoreTest::filterSurvivesReopen()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "5"}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "6"}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.setFilter(RowFilter(QStringLiteral("NOM"), QStringLiteral("6")));
    ds.setFiltered(true);
    t.addDocument(QStringLiteral("PL"), {{"ID", "c"}, {"NOM", "6"}});
    ds.close();
    ds.open();
    QVERIFY(ds.isFiltered());
    QCOMPARE(ds.recordCount(), 2);
}

void StoreTest::textConvertsForTypedColumns()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.edit();
    ds.setText(QStringLiteral("DATE"), QStringLiteral("05.03.24"));
    ds.setText(QStringLiteral("S"), QStringLiteral("12,5"));
    ds.setText(QStringLiteral("NALOG"), QStringLiteral("True"));
    ds.post();
    ds.close();
    ds.open();
    QCOMPARE(ds.date(QStringLiteral("DATE")), QDate(2024, 3, 5));
    QCOMPARE(ds.number(QStringLiteral("S")), 12.5);
    QVERIFY(ds.logical(QStringLiteral("NALOG")));
    ds.edit();
    QVERIFY_THROWS_EXCEPTION(AppError, ds.setText(QStringLiteral("S"), QStringLiteral("двенадцать")));
    QVERIFY_THROWS_EXCEPTION(AppError, ds.setText(QStringLiteral("DATE"), QStringLiteral("31.02.24")));
    ds.cancel();
    QCOMPARE(t.scalar(QStringLiteral("select S from PL")).toDouble(), 12.5);
}

void StoreTest::bankLookup_data()
{
    QTest::addColumn<QString>("bik");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("correspondent");
    QTest::addColumn<QString>("settlement");
    QTest::addColumn<QString>("type");
    QTest::newRow("known") << "044525225" << true << "ПАО СБЕРБАНК" << "30101810400000000225" << "МОСКВА" << "г.";
    QTest::newRow("unknown") << "000000000" << false << "" << "" << "" << "";
    QTest::newRow("quote in the code") << "04452'225" << false << "" << "" << "" << "";
    QTest::newRow("type without a name") << "999999999" << true << "БАНК БЕЗ ТИПА" << "30101810000000000999" << "ГДЕ-ТО" << "";
}

void StoreTest::bankLookup()
{
    QFETCH(QString, bik);
    QFETCH(bool, found);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.db().execute(QStringLiteral("insert into BANK (NEWNUM,NAMEP,KSNP,NNP,TNP) values "
                                  "('999999999','БАНК БЕЗ ТИПА','30101810000000000999','ГДЕ-ТО','9')"));
    DataSet bankQuery(t.db());
    DataSet general(t.db());
    const BankDetails bank = LookupBank(bankQuery, general, bik);
    QCOMPARE(bank.found, found);
    QTEST(bank.name, "name");
    QTEST(bank.correspondent, "correspondent");
    QTEST(bank.settlement, "settlement");
    QTEST(bank.settlementType, "type");
    QCOMPARE(bankQuery.statementText(), QStringLiteral("select * from BANK where NEWNUM=") + sqlQuote(bik));
}

void StoreTest::bankLookupTakesFirstOfDuplicates()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.db().execute(QStringLiteral("insert into BANK (NEWNUM,NAMEP,KSNP,NNP,TNP) values "
                                  "('044525225','ДУБЛЬ','30101810000000000001','ТВЕРЬ','2')"));
    DataSet bankQuery(t.db());
    DataSet general(t.db());
    const BankDetails bank = LookupBank(bankQuery, general, QStringLiteral("044525225"));
    QVERIFY(bank.found);
    QSqlQuery first = t.db().run(QStringLiteral("select NAMEP from BANK where NEWNUM='044525225'"));
    QVERIFY(first.next());
    QCOMPARE(bank.name, first.value(0).toString());
    QCOMPARE(LookupSettlementTypeName(general, QStringLiteral("4")), QStringLiteral("пгт"));
    QCOMPARE(LookupSettlementTypeName(general, QStringLiteral("x")), QString());
}

void StoreTest::documentIdsAreUnique()
{
    QCOMPARE(TimestampIdOf(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 42))), QStringLiteral("050324140709042"));
    QCOMPARE(TimestampIdOf(QDateTime(QDate(2024, 2, 1), QTime(0, 0))).left(6), QStringLiteral("010224"));
    QSet<QString> ids;
    for (int i = 0; i < 2000; ++i) {
        const QString id = NewTimestampId();
        QCOMPARE(id.size(), 15);
        ids.insert(id);
    }
    QCOMPARE(ids.size(), 2000);

    // The database refuses a second document with the same ID as well.
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "050324140709042"}});
    QVERIFY_THROWS_EXCEPTION(AppError, t.addDocument(QStringLiteral("PL"), {{"ID", "050324140709042"}}));
}

void StoreTest::addThreeDocuments(TempDatabase &t)
{
    // Listed newest first: a, b, c.
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "1"}, {"LOGIN", "x"}, {"DATE", QDate(2024, 1, 3)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "2"}, {"LOGIN", "x"}, {"DATE", QDate(2024, 1, 2)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "c"}, {"NOM", "3"}, {"LOGIN", "x"}, {"DATE", QDate(2024, 1, 1)}});
}

void StoreTest::numbersReadBackExactly_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("fourteen digits and kopecks") << 12345678901234.56 << "12345678901234,56";
    QTest::newRow("a tenth") << 0.1 << "0,1";
    QTest::newRow("a ten-millionth") << 1e-7 << "0,0000001";
    QTest::newRow("millions and kopecks") << 1234567.89 << "1234567,89";
}

void StoreTest::numbersReadBackExactly()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}});
    DataSet writer(t.db());
    writer.setSql(QStringLiteral("select * from PL"));
    writer.open();
    writer.edit();
    writer.setValue(QStringLiteral("S"), amount);
    writer.post();
    // A server whose default sends fewer digits must not change what comes back.
    if (Engines::current() == Engine::PostgreSQL)
        t.db().execute(QStringLiteral("alter database %1 set extra_float_digits=0").arg(t.link().initialCatalog));
    Database other;
    other.open(t.link(), t.folder());
    DataSet reader(other);
    reader.setSql(QStringLiteral("select * from PL"));
    reader.open();
    const double back = reader.number(QStringLiteral("S"));
    QVERIFY2(back == amount, qPrintable(QString::number(back, 'g', 17)));
    QCOMPARE(reader.text(QStringLiteral("S")), text);
    // The stored double itself is exact: the database finds it by equality.
    DataSet found(other);
    found.setSql(QStringLiteral("select * from PL where S=?"), {amount});
    found.open();
    QCOMPARE(found.recordCount(), 1);
}

void StoreTest::cutsOnCharacterBoundaries_data()
{
    const QString smile = QStringLiteral("\U0001F600");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("emoji in the number (7)") << "NOM" << smile.repeated(20) << smile.repeated(7);
    QTest::newRow("emoji in a name line (40)") << "NAME_PL1" << smile.repeated(45) << smile.repeated(40);
    QTest::newRow("Cyrillic in a name line") << "NAME_PL1" << QStringLiteral("Ж").repeated(45)
                                             << QStringLiteral("Ж").repeated(40);
    QTest::newRow("emoji after six letters") << "NOM" << QStringLiteral("абвгде") + smile + smile
                                             << QStringLiteral("абвгде") + smile;
    QTest::newRow("letter, emoji, letter in the VAT rate (2)") << "NDS" << QStringLiteral("Ж") + smile + QStringLiteral("Ж")
                                                               << QStringLiteral("Ж") + smile;
}

void StoreTest::cutsOnCharacterBoundaries()
{
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.edit();
    ds.setValue(column, typed);
    QCOMPARE(ds.text(column), stored);
    ds.post();
    const QString inTable = t.scalar(QStringLiteral("select %1 from PL").arg(column)).toString();
    QCOMPARE(inTable, stored);
    QVERIFY(inTable.isValidUtf16());
    QCOMPARE(int(inTable.toUcs4().size()), Schema::column(*Schema::table(QStringLiteral("PL")), column)->width);
    ds.close();
    ds.open();
    QCOMPARE(ds.text(column), stored);
}

void StoreTest::refusesValuesTheColumnCannotHold_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("NaN amount") << "S" << QVariant(std::numeric_limits<double>::quiet_NaN());
    QTest::newRow("infinite amount") << "S" << QVariant(std::numeric_limits<double>::infinity());
    QTest::newRow("minus infinite amount") << "S" << QVariant(-std::numeric_limits<double>::infinity());
    QTest::newRow("NaN as text") << "S" << QVariant(QStringLiteral("nan"));
    QTest::newRow("infinity as text") << "S" << QVariant(QStringLiteral("inf"));
    QTest::newRow("year 10000") << "DATE" << QVariant(QDate(10000, 1, 1));
    QTest::newRow("year before 1") << "DATE" << QVariant(QDate(-1, 12, 31));
    QTest::newRow("year 10000 as text") << "DATE" << QVariant(QStringLiteral("01.01.10000"));
}

void StoreTest::refusesValuesTheColumnCannotHold()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}, {"S", 10.0}, {"DATE", QDate(2024, 3, 5)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.edit();
    QList<std::function<void()>> assignments = {[&] { ds.setValue(column, value); }};
    if (value.typeId() == QMetaType::QString)
        assignments << [&] { ds.setText(column, value.toString()); };
    for (const auto &assign : assignments) {
        try {
            assign();
            QFAIL("the value was accepted");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(column), qPrintable(error.message()));
        }
    }
    ds.post();
    ds.close();
    ds.open();
    QCOMPARE(ds.number(QStringLiteral("S")), 10.0);
    QCOMPARE(ds.date(QStringLiteral("DATE")), QDate(2024, 3, 5));
}

void StoreTest::keepsDatesAtTheEndsOfTheRange_data()
{
    QTest::addColumn<QDate>("date");
    QTest::newRow("first day of year 1") << QDate(1, 1, 1);
    QTest::newRow("last day of year 9999") << QDate(9999, 12, 31);
}

void StoreTest::keepsDatesAtTheEndsOfTheRange()
{
    QFETCH(QDate, date);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    ds.edit();
    ds.setValue(QStringLiteral("DATE"), date);
    ds.post();
    ds.close();
    ds.open();
    QCOMPARE(ds.date(QStringLiteral("DATE")), date);
}

void StoreTest::emptyValueIsNoNumber_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<double>("number");
    QTest::newRow("empty text") << "NOM" << QVariant(QString()) << true << 0.0;
    QTest::newRow("blank text") << "NOM" << QVariant(QStringLiteral("   ")) << true << 0.0;
    QTest::newRow("null amount") << "S" << QVariant() << true << 0.0;
    QTest::newRow("number in text") << "NOM" << QVariant(QStringLiteral("12,5")) << false << 12.5;
    QTest::newRow("zero in text") << "NOM" << QVariant(QStringLiteral("0")) << false << 0.0;
    QTest::newRow("amount") << "S" << QVariant(12.5) << false << 12.5;
}

void StoreTest::emptyValueIsNoNumber()
{
    QFETCH(QString, column);
    QFETCH(QVariant, stored);
    QFETCH(bool, empty);
    QFETCH(double, number);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}, {column, stored}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL"));
    ds.open();
    QCOMPARE(ds.isNull(column), empty);
    if (!empty) {
        QCOMPARE(ds.number(column), number);
        return;
    }
    try {
        ds.number(column);
        QFAIL("an empty value read as a number");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("Пустое значение")) && error.message().contains(column),
                 qPrintable(error.message()));
    }
}

void StoreTest::cursorMovePostsPendingEdit_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("filteredBefore");
    QTest::newRow("setRecNo") << "setRecNo" << 2 << false;
    QTest::newRow("first") << "first" << 0 << false;
    QTest::newRow("next") << "next" << 2 << false;
    QTest::newRow("locate") << "locate" << 2 << false;
    QTest::newRow("find") << "find" << 0 << false;
    QTest::newRow("filter on") << "setFiltered" << 1 << false;
    QTest::newRow("filter off") << "unfilter" << 1 << true;
    QTest::newRow("new filter while filtered") << "setFilter" << 0 << true;
    QTest::newRow("insert") << "insert" << 1 << false;
}

void StoreTest::cursorMovePostsPendingEdit()
{
    QFETCH(QString, move);
    QFETCH(int, row);
    QFETCH(bool, filteredBefore);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    addThreeDocuments(t);
    DataSet ds(t.db());
    // The register's own policy: its cursor carries the editor's record.
    ds.setPostsOnMove(true);
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    ds.setFilter(RowFilter(QStringLiteral("LOGIN"), QStringLiteral("x")));
    ds.setFiltered(filteredBefore);
    ds.setRecNo(1);
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("правка"));
    const QHash<QString, std::function<void()>> moves = {
        {"setRecNo", [&] { ds.setRecNo(2); }},
        {"first", [&] { ds.first(); }},
        {"next", [&] { ds.next(); }},
        {"locate", [&] { ds.locate(QStringLiteral("ID"), QStringLiteral("c")); }},
        {"find", [&] { ds.find(QStringLiteral("ID"), QStringLiteral("a")); }},
        {"setFiltered", [&] { ds.setFiltered(true); }},
        {"unfilter", [&] { ds.setFiltered(false); }},
        {"setFilter", [&] { ds.setFilter(RowFilter(QStringLiteral("NOM"), QStringLiteral("2"))); }},
        {"insert", [&] { ds.insert(); }},
    };
    moves.value(move)();
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH1 from PL where ID='b'")).toString(), QStringLiteral("правка"));
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PL where NAZNACH1<>''")).toInt(), 1);
    if (move == QLatin1String("insert")) {
        QCOMPARE(ds.state(), DataSet::State::Insert);
        return;
    }
    QCOMPARE(ds.state(), DataSet::State::Browse);
    QCOMPARE(ds.recNo(), row);
}

void StoreTest::cursorMoveWithoutThePolicyRefused()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    addThreeDocuments(t);
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    ds.setRecNo(1);
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("правка"));
    // A data set that does not carry a record on its cursor writes nothing unasked: the move is refused.
    QVERIFY_THROWS_EXCEPTION(AppError, ds.setRecNo(2));
    QVERIFY_THROWS_EXCEPTION(AppError, ds.first());
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.state(), DataSet::State::Edit);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PL where NAZNACH1<>''")).toInt(), 0);
    ds.post();
    ds.setRecNo(2);
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH1 from PL where ID='b'")).toString(), QStringLiteral("правка"));
}

void StoreTest::failedPostOnMoveKeepsEditAndCursor()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    addThreeDocuments(t);
    DataSet ds(t.db());
    ds.setPostsOnMove(true);
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    ds.setRecNo(1);
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("правка"));
    Database other;
    other.open(t.link(), t.folder());
    other.execute(QStringLiteral("delete from PL where ID='b'"));
    const std::function<void()> moves[] = {
        [&] { ds.setRecNo(2); },
        [&] { ds.first(); },
        [&] { ds.next(); },
        [&] { ds.locate(QStringLiteral("ID"), QStringLiteral("c")); },
        [&] { ds.find(QStringLiteral("ID"), QStringLiteral("a")); },
        [&] { ds.setFiltered(true); },
    };
    for (const auto &moveAway : moves) {
        QVERIFY_THROWS_EXCEPTION(AppError, moveAway());
        QCOMPARE(ds.recNo(), 1);
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("правка"));
        QCOMPARE(ds.text(QStringLiteral("ID")), QStringLiteral("b"));
    }
    // Dropping the edit is a deliberate step; then the cursor moves again.
    ds.cancel();
    ds.setRecNo(2);
    QCOMPARE(ds.text(QStringLiteral("ID")), QStringLiteral("c"));
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PL where NAZNACH1<>''")).toInt(), 0);
}

void StoreTest::lockIsTakenByOneComputerOnly_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("completed") << QVariant(QStringLiteral("3")) << "3";
    QTest::newRow("empty") << QVariant(QStringLiteral("")) << "";
    QTest::newRow("null") << QVariant() << "";
}

void StoreTest::lockIsTakenByOneComputerOnly()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "1"}});
    t.db().run(QStringLiteral("update PL set PRIZN_DK=?"), {stored});
    Database otherDb;
    otherDb.open(t.link(), t.folder());
    // Both computers read the document in the same state.
    DataSet first(t.db());
    DataSet second(otherDb);
    for (DataSet *ds : {&first, &second}) {
        ds->setSql(QStringLiteral("select * from PL"));
        ds->open();
        ds->edit();
        ds->setValue(QStringLiteral("PRIZN_DK"), QStringLiteral("2"));
    }
    first.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("первый"));
    second.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("второй"));
    QVERIFY(first.postExpecting(QStringLiteral("PRIZN_DK"), expected));
    QVERIFY(!second.postExpecting(QStringLiteral("PRIZN_DK"), expected));
    QCOMPARE(t.scalar(QStringLiteral("select PRIZN_DK from PL")).toString(), QStringLiteral("2"));
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH1 from PL")).toString(), QStringLiteral("первый"));
    QCOMPARE(first.state(), DataSet::State::Browse);
    QCOMPARE(first.text(QStringLiteral("PRIZN_DK")), QStringLiteral("2"));
    // The loser's snapshot stays as it read it, the edit dropped: it reloads.
    QCOMPARE(second.state(), DataSet::State::Browse);
    QCOMPARE(second.text(QStringLiteral("PRIZN_DK")), expected);
    QCOMPARE(second.text(QStringLiteral("NAZNACH1")), QString());
    // Nor can the winner take it twice.
    first.edit();
    first.setValue(QStringLiteral("PRIZN_DK"), QStringLiteral("0"));
    QVERIFY(!first.postExpecting(QStringLiteral("PRIZN_DK"), expected));
}

void StoreTest::boundValuesAreNeverSqlText()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    const QString typed = QStringLiteral("O'Brien \\' or 1=1 -- ? $1");
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "5"}, {"NAZNACH1", typed}, {"NAZNACH2", "?"}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "5"}, {"NAZNACH1", "другое"}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL where NAZNACH1=? and NOM=?"), {typed, QStringLiteral("5")});
    ds.open();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.text(QStringLiteral("ID")), QStringLiteral("a"));
    QCOMPARE(ds.statementText(), QStringLiteral("select * from PL where NAZNACH1=") + sqlQuote(typed)
                                     + QStringLiteral(" and NOM='5'"));
    // A mark inside quotes is text, not a place for a value.
    ds.setSql(QStringLiteral("select * from PL where NAZNACH2='?' and NOM=?"), {QStringLiteral("5")});
    ds.open();
    QCOMPARE(ds.recordCount(), 1);
    ds.setSql(QStringLiteral("select * from PL where NOM=?"), {QStringLiteral("5"), QStringLiteral("6")});
    QVERIFY_THROWS_EXCEPTION(AppError, ds.open());
}

void StoreTest::quotedTextMeansTheSameWithoutStandardStrings()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    // A server that reads a backslash in quotes as an escape, as old ones did.
    if (Engines::current() == Engine::PostgreSQL)
        t.db().execute(QStringLiteral("alter database %1 set standard_conforming_strings=off").arg(t.link().initialCatalog));
    Database db;
    db.open(t.link(), t.folder());
    const QString path = QStringLiteral("C:\\путь\\");
    db.execute(QStringLiteral("delete from S_POL"));
    DataSet ds(db);
    ds.setSql(QStringLiteral("select * from S_POL order by 1"));
    ds.open();
    ds.insert();
    ds.setValue(QStringLiteral("NAME1"), path);
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select NAME1 from S_POL")).toString(), path);
    DataSet quoted(db);
    quoted.setSql(QStringLiteral("select * from S_POL where NAME1=") + sqlQuote(path));
    quoted.open();
    QCOMPARE(quoted.recordCount(), 1);
    quoted.setSql(QStringLiteral("select * from S_POL where NAME1=") + sqlQuote(QStringLiteral("\\' or 1=1 --")));
    quoted.open();
    QCOMPARE(quoted.recordCount(), 0);
}

void StoreTest::documentWordsAreSchemaColumns()
{
    const QStringList columns = {DocumentColumn::Id,         DocumentColumn::Number,  DocumentColumn::Date,
                                 DocumentColumn::Amount,     DocumentColumn::State,   DocumentColumn::Mark,
                                 DocumentColumn::Login,      DocumentColumn::Tax,     DocumentColumn::PaymentKind,
                                 DocumentColumn::AmountInWords, DocumentColumn::RecipientAccount,
                                 DocumentColumn::RecipientBik, DocumentColumn::VatRate, DocumentColumn::VatLine};
    for (const QString &table : {DocumentTable::Current, DocumentTable::Archive}) {
        const TableDef *def = Schema::table(table);
        QVERIFY2(def, qPrintable(table));
        for (const QString &column : columns)
            QVERIFY2(Schema::column(*def, column), qPrintable(table + QLatin1Char('.') + column));
    }
}

void StoreTest::viewsHearOfRowsBeforeTheyChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("after");
    QTest::newRow("reopen") << "reopen" << 3;
    QTest::newRow("close") << "close" << 0;
    QTest::newRow("delete") << "delete" << 2;
    QTest::newRow("insert") << "insert" << 4;
    QTest::newRow("filter on") << "filter" << 1;
}

// A view asks for the old rows while it forgets them: the rows change only after it was told.
void StoreTest::viewsHearOfRowsBeforeTheyChange()
{
    QFETCH(QString, change);
    QFETCH(int, after);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    addThreeDocuments(t);
    DataSet ds(t.db());
    ds.setQuery({QStringLiteral("PL"), {}, QStringLiteral("DATE"), true});
    ds.setFilter(RowFilter(QStringLiteral("NOM"), QStringLiteral("2")));
    ds.open();
    DirectoryModel model(ds, {{"NOM", 40}});
    QList<int> heardBefore, heardAfter;
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [&] { heardBefore << model.rowCount(); });
    connect(&model, &QAbstractItemModel::modelReset, this, [&] { heardAfter << model.rowCount(); });
    if (change == QLatin1String("reopen")) {
        ds.open();
    } else if (change == QLatin1String("close")) {
        ds.close();
    } else if (change == QLatin1String("delete")) {
        ds.setRecNo(1);
        ds.remove();
    } else if (change == QLatin1String("insert")) {
        ds.insert();
        ds.setValue(QStringLiteral("ID"), QStringLiteral("d"));
        ds.setValue(QStringLiteral("NOM"), QStringLiteral("4"));
        ds.post();
    } else {
        ds.setFiltered(true);
    }
    QVERIFY(!heardBefore.isEmpty());
    QCOMPARE(heardBefore.size(), heardAfter.size());
    QCOMPARE(heardBefore.first(), 3);
    QCOMPARE(heardAfter.last(), after);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
