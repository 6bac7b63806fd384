// A list that keeps only some columns of its table in memory: what it offers,
// the order it makes itself, and the columns read by key for the row that asks.
#include "support/Engines.h"
#include "support/TempDatabase.h"

#include "document/RegisterQuery.h"
#include "store/AppError.h"
#include "store/DataSet.h"
#include "store/RowStore.h"
#include "store/Schema.h"

#include <QSqlQuery>
#include <QTest>

namespace {

const QStringList held{QStringLiteral("ID"), QStringLiteral("DATE"), QStringLiteral("NOM"), QStringLiteral("S")};
// The register's kind of statement, as the program builds it.
const TableQuery byDate{QStringLiteral("PL"), {}, QStringLiteral("DATE"), true};

#define REQUIRE_VALID(t) \
    if (!(t).isValid()) QFAIL(qPrintable((t).reason()))

QStringList column(DataSet &ds, const QString &name)
{
    QStringList values;
    const int c = ds.columnIndex(name);
    for (int r = 0; r < ds.recordCount(); ++r)
        values << ds.rawAt(r, c);
    return values;
}

QStringList engineColumn(Database &db, const QString &sql, const QVariantList &values = {})
{
    QStringList result;
    QSqlQuery q = db.run(sql, values);
    while (q.next())
        result << (q.value(0).isNull() ? QString() : q.value(0).toString());
    return result;
}

} // namespace

class HeldColumnsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { Engines::addRows(); }
    void storeKeepsEveryValue();
    void offersEveryColumnInTableOrder();
    void ordersLikeTheEngine_data();
    void ordersLikeTheEngine();
    void otherStatementsKeepEveryColumn_data();
    void otherStatementsKeepEveryColumn();
    void postComparesColumnsReadByKey();
    void columnsReadByKeyAreTakenAtEdit();
    void rowDeletedElsewhereIsRefused();
    void insertedRowOffersEveryColumn();
    void searchFilterAndFindOverHeldColumns();
    void olderTableWithoutAHeldColumnIsReadWhole();

private:
    TempDatabase::Options options() const
    {
        TempDatabase::Options o;
        o.engine = Engines::current();
        return o;
    }
};

void HeldColumnsTest::storeKeepsEveryValue()
{
    if (Engines::current() != Engine::SQLite)
        QSKIP("no database involved");
    // Past the point where a column stops looking for repeats, and with a repeated
    // column beside it, every cell still reads back as written.
    RowStore store(2);
    const int rows = 70000 * 2;
    for (int i = 0; i < rows; ++i) {
        const quint32 r = store.append();
        QCOMPARE(r, quint32(i));
        store.set(r, 0, QByteArray::number(i / 2)); // each value twice
        if (i % 3)
            store.set(r, 1, i % 2 ? QByteArrayView("odd") : QByteArrayView("even"));
    }
    for (int i = 0; i < rows; ++i) {
        QCOMPARE(store.cell(quint32(i), 0), QByteArray::number(i / 2));
        QCOMPARE(store.cell(quint32(i), 1), i % 3 ? (i % 2 ? QByteArray("odd") : QByteArray("even")) : QByteArray());
    }
    QCOMPARE(store.valueCount(1), quint32(3)); // empty, odd, even
    QVERIFY(store.valueCount(0) > 70000);
    // A changed cell reads its new value; the others keep theirs.
    store.set(5, 1, "changed");
    store.set(6, 0, {});
    QCOMPARE(store.cell(5, 1), QByteArray("changed"));
    QCOMPARE(store.cell(4, 1), QByteArray("even"));
    QCOMPARE(store.cell(6, 0), QByteArray());
    QCOMPARE(store.cell(7, 0), QByteArray("3"));
}

void HeldColumnsTest::offersEveryColumnInTableOrder()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NOM", "7"}, {"S", 12.5},
                                         {"NAZNACH1", "за товар"}, {"NALOG", true}, {"P107_PERIO", "МС.05.2024"}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "D2"}, {"DATE", QDate(2024, 4, 1)}, {"NAZNACH1", "аренда"}});
    DataSet plain(t.db());
    plain.setSql(QStringLiteral("select * from PL order by DATE desc"));
    plain.open();
    DataSet narrow(t.db());
    narrow.setHeldColumns(held);
    narrow.setQuery(byDate);
    narrow.open();
    QCOMPARE(narrow.columnNames(), plain.columnNames());
    QCOMPARE(narrow.recordCount(), 2);
    // Every cell of every row, held or read by key, is what the whole row gives.
    for (int r = 0; r < 2; ++r) {
        plain.setRecNo(r);
        narrow.setRecNo(r);
        for (int c = 0; c < plain.columnNames().size(); ++c) {
            QCOMPARE(narrow.rawAt(r, c), plain.rawAt(r, c));
            QCOMPARE(narrow.value(c), plain.value(c));
        }
    }
}

void HeldColumnsTest::ordersLikeTheEngine_data()
{
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("ownOnly"); // where LOGIN=?
    QTest::newRow("date desc") << "DATE" << true << false;
    QTest::newRow("date") << "DATE" << false << false;
    QTest::newRow("amount desc, where") << "S" << true << true;
    QTest::newRow("text by the engine") << "NAME_POL1" << true << false;
}

void HeldColumnsTest::ordersLikeTheEngine()
{
    QFETCH(QString, orderBy);
    QFETCH(bool, descending);
    QFETCH(bool, ownOnly);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    // Many documents of a day, some without a date or an amount: where the engines
    // put a null differs, and the list must follow its own engine.
    const QStringList names{QStringLiteral("ООО Бета"), QStringLiteral("ао альфа"), QStringLiteral("Zeta"),
                            QStringLiteral("ИП Я"), QString()};
    for (int i = 0; i < 60; ++i) {
        QVariantMap row{{"ID", QStringLiteral("D%1").arg(i, 2, 10, QLatin1Char('0'))},
                        {"LOGIN", i % 4 ? "1" : "2"},
                        {"NAME_POL1", names.at(i % names.size())}};
        if (i % 7)
            row.insert(QStringLiteral("DATE"), QDate(2024, 1, 1).addDays(i % 5));
        // Amounts both repeated and distinct: the list orders either kind its own way.
        if (i % 9)
            row.insert(QStringLiteral("S"), i % 2 ? double((i * 37) % 11) + 0.25 : 1000.0 - i);
        t.addDocument(QStringLiteral("PL"), row);
    }
    TableQuery query{QStringLiteral("PL"), {}, orderBy, descending};
    if (ownOnly)
        query.equal.append({QStringLiteral("LOGIN"), QStringLiteral("1")});
    const SqlStatement statement = query.statement();
    const QString engineSql = QString(statement.sql).replace(QStringLiteral("select *"), QStringLiteral("select ") + orderBy);
    DataSet narrow(t.db());
    narrow.setHeldColumns(held);
    narrow.setQuery(query);
    narrow.open();
    QCOMPARE(column(narrow, orderBy), engineColumn(t.db(), engineSql, statement.values));
    // The same documents as the whole rows, each once.
    DataSet plain(t.db());
    plain.setSql(statement);
    plain.open();
    QStringList narrowIds = column(narrow, QStringLiteral("ID"));
    QStringList plainIds = column(plain, QStringLiteral("ID"));
    narrowIds.sort();
    plainIds.sort();
    QCOMPARE(narrowIds, plainIds);
}

void HeldColumnsTest::otherStatementsKeepEveryColumn_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("column list") << "select ID, NAZNACH1 from PL";
    QTest::newRow("an alias") << "select * from PL p order by DATE desc";
    QTest::newRow("two order columns") << "select * from PL order by DATE desc, ID";
    QTest::newRow("a table without a visible key") << "select * from S_POL order by 1";
}

void HeldColumnsTest::otherStatementsKeepEveryColumn()
{
    QFETCH(QString, sql);
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NAZNACH1", "за товар"}});
    t.db().run(QStringLiteral("insert into S_POL (INN) values ('7701')"));
    DataSet narrow(t.db());
    narrow.setHeldColumns(held);
    narrow.setSql(sql);
    narrow.open();
    DataSet plain(t.db());
    plain.setSql(sql);
    plain.open();
    QCOMPARE(narrow.columnNames(), plain.columnNames());
    QCOMPARE(narrow.recordCount(), plain.recordCount());
    // Nothing is read by key: the row as read stays even when the table changes.
    t.db().execute(QStringLiteral("update PL set NAZNACH1='другое'"));
    t.db().execute(QStringLiteral("update S_POL set INN='9999'"));
    for (int r = 0; r < plain.recordCount(); ++r)
        for (int c = 0; c < plain.columnNames().size(); ++c)
            QCOMPARE(narrow.rawAt(r, c), plain.rawAt(r, c));
}

void HeldColumnsTest::postComparesColumnsReadByKey()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NAZNACH1", "за товар"}});
    Database other;
    other.open(t.link(), t.folder());
    DataSet ds(t.db());
    ds.setHeldColumns(held);
    ds.setQuery(byDate);
    ds.open();
    ds.edit();
    QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("за товар"));
    ds.setValue(QStringLiteral("NOM"), QStringLiteral("5"));
    // Another computer changes a column this list does not hold: the post is refused, not lost over it.
    other.execute(QStringLiteral("update PL set NAZNACH1='аренда'"));
    QVERIFY_THROWS_EXCEPTION(RowChangedError, ds.post());
    QCOMPARE(t.scalar(QStringLiteral("select NOM from PL")).toString(), QString());
    QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("аренда"));
    // Written again knowing it, the edit goes in and the other's text stays.
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select NOM||'/'||NAZNACH1 from PL")).toString(), QStringLiteral("5/аренда"));
}

void HeldColumnsTest::columnsReadByKeyAreTakenAtEdit()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NAZNACH1", "за товар"}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "D2"}, {"DATE", QDate(2024, 4, 1)}, {"NAZNACH1", "аренда"}});
    DataSet ds(t.db());
    ds.setHeldColumns(held);
    ds.setQuery(byDate);
    ds.open();
    // Read on another row while D1 is edited: the edit still compares with D1 as it was taken.
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH2"), QStringLiteral("вторая"));
    QCOMPARE(ds.valueAt(1, ds.columnIndex(QStringLiteral("NAZNACH1"))).toString(), QStringLiteral("аренда"));
    t.db().execute(QStringLiteral("update PL set NAZNACH1='чужое' where ID='D1'"));
    QVERIFY_THROWS_EXCEPTION(RowChangedError, ds.post());
    ds.cancel();
    // A change made before the edit is simply seen.
    ds.edit();
    QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("чужое"));
    ds.setValue(QStringLiteral("NAZNACH2"), QStringLiteral("вторая"));
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH2 from PL where ID='D1'")).toString(), QStringLiteral("вторая"));
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH2 from PL where ID='D2'")).toString(), QString());
}

void HeldColumnsTest::rowDeletedElsewhereIsRefused()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NOM", "3"}});
    DataSet ds(t.db());
    ds.setHeldColumns(held);
    ds.setQuery(byDate);
    ds.open();
    t.db().execute(QStringLiteral("delete from PL"));
    // The list is a snapshot: the row stays listed with what was held.
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.text(QStringLiteral("NOM")), QStringLiteral("3"));
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(AppError, ds.post());
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from PL")).toInt(), 0);
}

void HeldColumnsTest::insertedRowOffersEveryColumn()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}});
    DataSet ds(t.db());
    ds.setHeldColumns(held);
    ds.setQuery(byDate);
    ds.open();
    ds.insert();
    ds.setValue(QStringLiteral("ID"), QStringLiteral("D2"));
    ds.setValue(QStringLiteral("NAZNACH1"), QStringLiteral("новый"));
    ds.setValue(QStringLiteral("NALOG"), true);
    ds.post();
    QCOMPARE(ds.recordCount(), 2);
    QVERIFY(ds.find(QStringLiteral("ID"), QStringLiteral("D2")));
    QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("новый"));
    QCOMPARE(ds.logical(QStringLiteral("NALOG")), true);
    ds.edit();
    ds.setValue(QStringLiteral("NAZNACH2"), QStringLiteral("ещё"));
    ds.post();
    QCOMPARE(t.scalar(QStringLiteral("select NAZNACH1||'/'||NAZNACH2 from PL where ID='D2'")).toString(),
             QStringLiteral("новый/ещё"));
}

void HeldColumnsTest::searchFilterAndFindOverHeldColumns()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    // Amounts all distinct, numbers repeating: both kinds of column are walked.
    for (int i = 0; i < 300; ++i)
        t.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("D%1").arg(i)},
                                             {"DATE", QDate(2024, 1, 1).addDays(i % 30)},
                                             {"NOM", QString::number(i % 17)},
                                             {"S", 1000.5 + i}});
    DataSet narrow(t.db());
    narrow.setHeldColumns(held);
    narrow.setQuery(byDate);
    narrow.open();
    const QStringList ids = column(narrow, QStringLiteral("ID"));
    const QStringList amounts = column(narrow, QStringLiteral("S"));
    const QStringList numbers = column(narrow, QStringLiteral("NOM"));
    // The first row in the list's order, found by a plain walk of what the list shows.
    const auto firstWith = [](const QStringList &values, const QString &prefix) {
        for (int r = 0; r < values.size(); ++r)
            if (values.at(r).startsWith(prefix))
                return r;
        return -1;
    };
    for (const QString &prefix : {QStringLiteral("11"), QStringLiteral("1299"), QStringLiteral("9")}) {
        const int expected = firstWith(amounts, prefix);
        QCOMPARE(narrow.locate(QStringLiteral("S"), prefix), expected >= 0);
        if (expected >= 0)
            QCOMPARE(narrow.recNo(), expected);
    }
    QVERIFY(narrow.locate(QStringLiteral("NOM"), QStringLiteral("16")));
    QCOMPARE(narrow.recNo(), firstWith(numbers, QStringLiteral("16")));
    QVERIFY(narrow.find(QStringLiteral("ID"), QStringLiteral("D123")));
    QCOMPARE(narrow.recNo(), int(ids.indexOf(QStringLiteral("D123"))));
    narrow.setFilter(RowFilter(QStringLiteral("NOM"), QStringLiteral("4")));
    narrow.setFiltered(true);
    QStringList expected;
    for (int r = 0; r < ids.size(); ++r)
        if (numbers.at(r) == QLatin1String("4"))
            expected << ids.at(r);
    QCOMPARE(column(narrow, QStringLiteral("ID")), expected);
    QVERIFY(!narrow.find(QStringLiteral("ID"), QStringLiteral("D124"))); // number 5: filtered out
    QVERIFY(narrow.find(QStringLiteral("ID"), QStringLiteral("D123")));
    QCOMPARE(narrow.recNo(), int(expected.indexOf(QStringLiteral("D123"))));
}

void HeldColumnsTest::olderTableWithoutAHeldColumnIsReadWhole()
{
    TempDatabase t(options());
    REQUIRE_VALID(t);
    t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 1)}, {"NAZNACH1", "за товар"}});
    t.addDocument(QStringLiteral("PL"), {{"ID", "D2"}, {"DATE", QDate(2024, 6, 1)}});
    t.db().execute(QStringLiteral("alter table PL drop column CHEKED"));
    DataSet ds(t.db());
    ds.setHeldColumns(held + QStringList{QStringLiteral("CHEKED")});
    ds.setQuery(byDate);
    ds.open();
    QCOMPARE(column(ds, QStringLiteral("ID")), (QStringList{QStringLiteral("D2"), QStringLiteral("D1")}));
    QVERIFY(!ds.hasColumn(QStringLiteral("CHEKED")));
    ds.setRecNo(1);
    QCOMPARE(ds.text(QStringLiteral("NAZNACH1")), QStringLiteral("за товар"));
}

QTEST_MAIN(HeldColumnsTest)
#include "tst_heldcolumns.moc"
