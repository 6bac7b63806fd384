// A register of a few thousand documents, many of a day, checked against the
// whole rows read straight from the table: the rows, their order by date, and
// the rows that search, filter and F11 select.
#include "support/Engines.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "register/RegisterPage.h"
#include "register/SearchBox.h"
#include "setup/DemoData.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>

#include <memory>

using Modifiers = Qt::KeyboardModifiers;

namespace {

constexpr int documents = 1500;

// Every column of a document as the table holds it, by ID.
using Row = QVariantMap;

QHash<QString, Row> wholeRows(Database &db, const QString &table)
{
    QHash<QString, Row> rows;
    QSqlQuery q = db.run(QStringLiteral("select * from %1").arg(table));
    while (q.next()) {
        Row row;
        for (int c = 0; c < q.record().count(); ++c)
            row.insert(q.record().fieldName(c).toUpper(), q.value(c));
        rows.insert(row.value(QStringLiteral("ID")).toString(), row);
    }
    return rows;
}

QStringList listedIds(MainWindow &window)
{
    DataSet &q1 = window.q1();
    const int id = q1.columnIndex(QStringLiteral("ID"));
    QStringList ids;
    for (int r = 0; r < q1.recordCount(); ++r)
        ids << q1.rawAt(r, id);
    return ids;
}

QString selectedId(MainWindow &window)
{
    QTableView *grid = window.registerPage()->grid();
    DataSet &q1 = window.q1();
    if (grid->currentIndex().row() != q1.recNo() || q1.recNo() < 0)
        return QStringLiteral("grid row %1, q1 row %2").arg(grid->currentIndex().row()).arg(q1.recNo());
    return q1.text(QStringLiteral("ID"));
}

// The column's text as the search box compares it: amounts with a comma.
QString searchText(const Row &row, const QString &column)
{
    const QVariant v = row.value(column);
    if (column == QLatin1String("S"))
        return DataSet::textOf(ColumnKind::Number, v.toDouble());
    return v.toString();
}

} // namespace

class LargeRegisterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { Engines::addRows(); }
    void init();
    void cleanup();
    void rowsAndOrder_data();
    void rowsAndOrder();
    void searchSelectsFirstInOrder_data();
    void searchSelectsFirstInOrder();
    void filterKeepsEqualRows_data();
    void filterKeepsEqualRows();
    void refreshKeepsDocument_data();
    void refreshKeepsDocument();

private:
    void shortData();
    std::unique_ptr<WindowFixture> m_fixture;
    Engine m_engine = Engine::SQLite;
    QHash<QString, Row> m_whole;
};

void LargeRegisterTest::init()
{
    // One register per engine: making it is the slow part.
    if (m_fixture && m_engine == Engines::current()) {
        m_whole = wholeRows(m_fixture->data().db(), QStringLiteral("PL"));
        return;
    }
    m_fixture.reset();
    m_engine = Engines::current();
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.demo = true;
    o.documents = 0;
    m_fixture = std::make_unique<WindowFixture>(o);
    QVERIFY2(m_fixture->data().isValid(), qPrintable(m_fixture->data().reason()));
    DemoData::Options demo;
    demo.documents = documents;
    demo.years = 1; // eight documents a day on average
    demo.archiveEvery = 4;
    DemoData::add(m_fixture->data().db(), demo);
    // Every user sees every document: the comparison is over the whole table.
    m_fixture->data().db().execute(QStringLiteral("update PARAM set P6='0'"));
    QVERIFY(m_fixture->signIn(QStringLiteral("1")));
    m_whole = wholeRows(m_fixture->data().db(), QStringLiteral("PL"));
}

void LargeRegisterTest::cleanup()
{
    if (!m_fixture)
        return;
    // Back to the whole current list at its top, as the next case expects.
    MainWindow &window = m_fixture->window();
    if (window.q1().isFiltered() || window.registerPage()->searchBox()->isVisible())
        Keys::press(Qt::Key_F9);
    if (window.session().isArchive())
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    Keys::press(Qt::Key_Home);
    if (QTest::currentTestFailed() || window.q1().isFiltered() || window.session().isArchive())
        m_fixture.reset();
}

void LargeRegisterTest::shortData()
{
    QTest::addColumn<bool>("archive");
    QTest::newRow("current") << false;
    QTest::newRow("archive") << true;
}

void LargeRegisterTest::rowsAndOrder_data()
{
    shortData();
}

void LargeRegisterTest::rowsAndOrder()
{
    QFETCH(bool, archive);
    MainWindow &window = m_fixture->window();
    if (archive) {
        Keys::press(Qt::Key_F5, Qt::AltModifier);
        m_whole = wholeRows(m_fixture->data().db(), QStringLiteral("PL_A"));
    }
    DataSet &q1 = window.q1();
    const QStringList ids = listedIds(window);
    QCOMPARE(ids.size(), m_whole.size());
    QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), m_whole.size());
    QCOMPARE(window.registerPage()->grid()->model()->rowCount(), m_whole.size());
    int ties = 0;
    for (int r = 0; r < ids.size(); ++r) {
        QVERIFY2(m_whole.contains(ids.at(r)), qPrintable(ids.at(r)));
        const Row &row = m_whole.value(ids.at(r));
        const QDate date = row.value(QStringLiteral("DATE")).toDate();
        if (r > 0) {
            const QDate previous = m_whole.value(ids.at(r - 1)).value(QStringLiteral("DATE")).toDate();
            QVERIFY2(previous >= date, qPrintable(QStringLiteral("row %1 out of date order").arg(r)));
            ties += previous == date;
        }
        // Every column of the listed row is the table's.
        q1.setRecNo(r);
        QCOMPARE(q1.date(QStringLiteral("DATE")), date);
        QCOMPARE(q1.number(QStringLiteral("S")), row.value(QStringLiteral("S")).toDouble());
        for (const char *column : {"NOM", "NAME_POL1", "PRIZN_DK", "CHEKED", "LOGIN", "PER1", "NAZNACH1", "INN_POL"})
            QCOMPARE(q1.text(QLatin1String(column)), row.value(QLatin1String(column)).toString());
        QCOMPARE(q1.logical(QStringLiteral("NALOG")), row.value(QStringLiteral("NALOG")).toBool());
    }
    QVERIFY2(ties > ids.size() / 4, "the fixture has too few documents sharing a date");
}

void LargeRegisterTest::searchSelectsFirstInOrder_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("amount") << Modifiers(Qt::NoModifier) << "S" << "417";
    QTest::newRow("amount with a comma") << Modifiers(Qt::NoModifier) << "S" << "12,";
    QTest::newRow("amount, no match") << Modifiers(Qt::NoModifier) << "S" << "-";
    QTest::newRow("number") << Modifiers(Qt::ControlModifier) << "NOM" << "1234";
    QTest::newRow("number, no match") << Modifiers(Qt::ControlModifier) << "NOM" << "0";
    QTest::newRow("recipient") << Modifiers(Qt::AltModifier) << "NAME_POL1" << "ооо \"н";
    QTest::newRow("recipient, no match") << Modifiers(Qt::AltModifier) << "NAME_POL1" << "Я";
}

void LargeRegisterTest::searchSelectsFirstInOrder()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, column);
    QFETCH(QString, text);
    MainWindow &window = m_fixture->window();
    const QStringList ids = listedIds(window);
    // From the middle of the list: a locate searches all rows from the top.
    for (int i = 0; i < 30; ++i)
        Keys::press(Qt::Key_PageDown);
    QString expected = selectedId(window);
    Keys::press(Qt::Key_F6, modifiers);
    for (int i = 0; i < text.size(); ++i) {
        Keys::type(QString(text.at(i)));
        // The first row in the list's order that starts so; with none the row stays.
        const QString prefix = text.left(i + 1);
        for (const QString &id : ids) {
            if (searchText(m_whole.value(id), column).startsWith(prefix, Qt::CaseInsensitive)) {
                expected = id;
                break;
            }
        }
        QCOMPARE(selectedId(window), expected);
    }
    QCOMPARE(listedIds(window), ids);
    QVERIFY(m_fixture->dialogs().errors().isEmpty());
}

void LargeRegisterTest::filterKeepsEqualRows_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("amount") << Modifiers(Qt::NoModifier) << "S" << "3";
    QTest::newRow("number") << Modifiers(Qt::ControlModifier) << "NOM" << "77";
    QTest::newRow("recipient") << Modifiers(Qt::AltModifier) << "NAME_POL1" << "ООО \"Ро";
}

void LargeRegisterTest::filterKeepsEqualRows()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, column);
    QFETCH(QString, text);
    MainWindow &window = m_fixture->window();
    const QStringList ids = listedIds(window);
    Keys::press(Qt::Key_F6, modifiers);
    Keys::type(text);
    const QString located = selectedId(window);
    QVERIFY(m_whole.contains(located));
    const QVariant value = m_whole.value(located).value(column);
    Keys::press(Qt::Key_Return);
    QVERIFY(window.q1().isFiltered());
    QStringList expected;
    for (const QString &id : ids)
        if (m_whole.value(id).value(column) == value)
            expected << id;
    QVERIFY(!expected.isEmpty());
    QCOMPARE(listedIds(window), expected);
    QCOMPARE(selectedId(window), located);

    // F11 keeps the filter and the document; F9 gives back the whole list.
    Keys::press(Qt::Key_End);
    const QString last = selectedId(window);
    Keys::press(Qt::Key_F11);
    QCOMPARE(listedIds(window), expected);
    QCOMPARE(selectedId(window), last);
    Keys::press(Qt::Key_F9);
    QCOMPARE(listedIds(window), ids);
    QCOMPARE(selectedId(window), last);
    QVERIFY(m_fixture->dialogs().errors().isEmpty());
}

void LargeRegisterTest::refreshKeepsDocument_data()
{
    QTest::addColumn<int>("pages");
    QTest::newRow("near the top") << 1;
    QTest::newRow("in the middle") << 40;
}

void LargeRegisterTest::refreshKeepsDocument()
{
    QFETCH(int, pages);
    MainWindow &window = m_fixture->window();
    for (int i = 0; i < pages; ++i)
        Keys::press(Qt::Key_PageDown);
    Keys::press(Qt::Key_Down);
    const QString id = selectedId(window);
    const QStringList before = listedIds(window);
    // A document of the same day from another computer appears only with F11.
    const Row source = m_whole.value(id);
    const QString newId = QStringLiteral("Z0000000000001");
    m_fixture->data().addDocument(QStringLiteral("PL"),
                                  {{"ID", newId},
                                   {"DATE", source.value(QStringLiteral("DATE")).toDate()},
                                   {"NOM", source.value(QStringLiteral("NOM"))},
                                   {"S", source.value(QStringLiteral("S")).toDouble()},
                                   {"NAME_POL1", source.value(QStringLiteral("NAME_POL1"))},
                                   {"PRIZN_DK", QStringLiteral("3")},
                                   {"LOGIN", QStringLiteral("1")}});
    QCOMPARE(listedIds(window), before);
    Keys::press(Qt::Key_F11);
    QCOMPARE(selectedId(window), id);
    const QStringList after = listedIds(window);
    QCOMPARE(after.size(), before.size() + 1);
    QVERIFY(after.contains(newId));
    QVERIFY(m_fixture->dialogs().errors().isEmpty());
    m_fixture->data().db().run(QStringLiteral("delete from PL where ID=?"), {newId});
    Keys::press(Qt::Key_F11);
}

QTEST_MAIN(LargeRegisterTest)
#include "tst_largeregister.moc"
