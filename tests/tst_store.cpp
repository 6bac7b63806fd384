#include "support/Engines.h"
#include "support/TempDatabase.h"

#include "store/AppError.h"
#include "store/BankLookup.h"
#include "store/DataSet.h"
#include "store/Installer.h"
#include "store/RegisterQuery.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/TimestampId.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void documentTablesKeepFiftyColumnsInOrder();
    void archiveMoveKeepsEveryColumn();
    void installationIsRepeatable();
    void opensSnapshotWithExactCount();
    void walksAndLocates();
    void readsColumnsInAnyCase();
    void postWritesOnlyChangedColumns();
    void postPinsOneRowWithSharedKey_data();
    void postPinsOneRowWithSharedKey();
    void deletePinsOneRow();
    void insertAddsRowAndCancelDrops();
    void cutsTextToColumnWidth();
    void quoteIsStoredAsTyped();
    void failingStatementCarriesDatabaseText();
    void postToVanishedRowFails();
    void filterHidesRows_data();
    void filterHidesRows();
    void filterSurvivesReopen();
    void textConvertsForTypedColumns();
    void bankLookup_data();
    void bankLookup();
    void bankLookupTakesFirstOfDuplicates();
    void documentIdsAreUnique();

private:
    TempDatabase::Options options() const;
    void addParam(TempDatabase &t, const QString &login, const QString &pas);
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

void StoreTest::documentTablesKeepFiftyColumnsInOrder()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    for (const QString &table : {QStringLiteral("PL"), QStringLiteral("PL_A")}) {
        QSqlQuery q = t.db().run(QStringLiteral("select * from %1").arg(table));
        const QSqlRecord record = q.record();
        QCOMPARE(record.count(), 50);
        const TableDef &def = *Schema::table(table);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(record.fieldName(i).toUpper(), QString::fromLatin1(def.columns.at(i).name));
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
    QVERIFY(t.scalar(QStringLiteral("select count(*) from N_PARAM where TIP='s'")).toInt() >= 14);
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
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("number") << "NOM='5'" << QStringList{"a", "c"};
    QTest::newRow("recipient with a quote") << "NAME_POL1='ООО ''Р'''" << QStringList{"b"};
    QTest::newRow("amount with comma") << "S=1234,5" << QStringList{"a", "b"};
    QTest::newRow("whole amount") << "S=1500" << QStringList{"c"};
    QTest::newRow("empty amount") << "S=" << QStringList{};
    QTest::newRow("empty number") << "NOM=''" << QStringList{};
}

void StoreTest::filterHidesRows()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, ids);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "a"}, {"NOM", "5"}, {"S", 1234.5}, {"DATE", QDate(2024, 1, 3)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "b"}, {"NOM", "6"}, {"S", 1234.5}, {"NAME_POL1", "ООО 'Р'"}, {"DATE", QDate(2024, 1, 2)}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "c"}, {"NOM", "5"}, {"S", 1500.0}, {"DATE", QDate(2024, 1, 1)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by DATE desc"));
    ds.open();
    ds.setFilter(filter);
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
    ds.setFilter(QStringLiteral("NOM='6'"));
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
    QCOMPARE(bankQuery.sql(), QStringLiteral("select * from BANK where NEWNUM=") + sqlQuote(bik));
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

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
