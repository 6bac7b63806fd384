#include "support/Engines.h"
#include "support/Keys.h"
#include "support/TempDatabase.h"
#include "support/WindowFixture.h"

#include "directories/DirectoryPanel.h"
#include "document/DocumentState.h"
#include "register/RegisterPage.h"
#include "store/AppError.h"
#include "store/DataSet.h"

#include <QApplication>
#include <QLineEdit>
#include <QStackedWidget>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

const QString changedElsewhere = QStringLiteral("Запись изменена с другого компьютера");

TempDatabase::Options onEngine()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.documents = 0;
    return o;
}

QString stored(Database &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = db.run(sql, values);
    return q.next() ? (q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString()) : QStringLiteral("<no row>");
}

// The rows the cases work on: a user row with nulls where nothing was set, and a document.
void prepareRows(TempDatabase &d)
{
    d.db().execute(QStringLiteral("delete from PARAM"));
    d.db().execute(QStringLiteral("insert into PARAM (LOGIN,PAS,P1) values ('Иванов','7','15')"));
    d.addDocument(QStringLiteral("PL"), {{"ID", "100000000000001"}, {"NOM", "12"}, {"S", 100.1},
                                         {"DATE", QDate(2026, 3, 4)}, {"PRIZN_DK", "1"}, {"NAZNACH1", "Оплата"}});
}

QString selectOf(const QString &table)
{
    return table == QLatin1String("PL") ? QStringLiteral("select * from PL where ID='100000000000001'")
                                        : QStringLiteral("select * from PARAM where PAS='7'");
}

QString readBack(Database &db, const QString &table, const QString &column)
{
    return stored(db, QStringLiteral("select %1 from %2").arg(column, table));
}

// Two computers on one database, each with its own connection and snapshot.
struct TwoComputers
{
    TempDatabase data{onEngine()};
    Database second;
    std::unique_ptr<DataSet> a, b;

    bool open(const QString &table)
    {
        if (!data.isValid()) {
            qWarning("%s", qPrintable(data.reason()));
            return false;
        }
        prepareRows(data);
        second.open(data.link(), data.folder());
        a = std::make_unique<DataSet>(data.db());
        b = std::make_unique<DataSet>(second);
        for (DataSet *q : {a.get(), b.get()}) {
            q->setSql(selectOf(table));
            q->open();
        }
        return a->recordCount() == 1 && b->recordCount() == 1;
    }
};

} // namespace

class SharingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { Engines::addRows(); }

    void secondPostRefused_data();
    void secondPostRefused();
    void valueEqualToStaleSnapshotWritten_data();
    void valueEqualToStaleSnapshotWritten();
    void deletedRowRefused();
    void nullsCompareAlike();
    void lockTakenOverStaleRowThenStored();
    void directoryRowEditedOnTwoComputers();
    void editorStoreAfterUnlockElsewhere();
    void otherToolsFormsAreNoChange_data();
    void otherToolsFormsAreNoChange();
};

void SharingTest::secondPostRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("firstColumn");
    QTest::addColumn<QVariant>("firstValue");
    QTest::addColumn<QString>("secondColumn");
    QTest::addColumn<QVariant>("secondValue");
    QTest::newRow("settings row, two columns") << "PARAM" << "P1" << QVariant("16") << "P5" << QVariant("Петров");
    QTest::newRow("settings row, one column") << "PARAM" << "P1" << QVariant("16") << "P1" << QVariant("99");
    QTest::newRow("document, number and text") << "PL" << "S" << QVariant(250.75) << "NAZNACH1" << QVariant("Аванс");
    QTest::newRow("document, date and number") << "PL" << "DATE" << QVariant(QDate(2026, 5, 6)) << "NOM" << QVariant("13");
}

void SharingTest::secondPostRefused()
{
    QFETCH(QString, table);
    QFETCH(QString, firstColumn);
    QFETCH(QVariant, firstValue);
    QFETCH(QString, secondColumn);
    QFETCH(QVariant, secondValue);
    TwoComputers c;
    QVERIFY(c.open(table));
    const QString secondBefore = c.a->text(secondColumn);

    c.a->edit();
    c.a->setValue(firstColumn, firstValue);
    c.a->post();
    const QString firstStored = readBack(c.data.db(), table, firstColumn);

    c.b->edit();
    c.b->setValue(secondColumn, secondValue);
    try {
        c.b->post();
        QFAIL("the second computer's post over a changed row was taken");
    } catch (const AppError &e) {
        QVERIFY2(e.message().startsWith(changedElsewhere), qPrintable(e.message()));
    }
    // Nothing of the first is lost, nothing of the second written yet.
    QCOMPARE(readBack(c.data.db(), table, firstColumn), firstStored);
    if (secondColumn != firstColumn)
        QCOMPARE(readBack(c.data.db(), table, secondColumn), secondBefore.isEmpty() ? "<null>" : secondBefore);
    // The second keeps what he typed, and sees the first one's change.
    QCOMPARE(c.b->state(), DataSet::State::Edit);
    QCOMPARE(c.b->text(secondColumn), DataSet::textOf(c.b->columnKind(c.b->columnIndex(secondColumn)), secondValue));
    if (secondColumn != firstColumn)
        QCOMPARE(c.b->text(firstColumn), c.a->text(firstColumn));

    // Written again knowingly, it goes over the row as it is now.
    c.b->post();
    QCOMPARE(c.b->state(), DataSet::State::Browse);
    c.a->open();
    QCOMPARE(c.a->text(secondColumn), c.b->text(secondColumn));
    if (secondColumn != firstColumn)
        QCOMPARE(readBack(c.data.db(), table, firstColumn), firstStored);
}

void SharingTest::valueEqualToStaleSnapshotWritten_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("elsewhere");
    QTest::newRow("settings text") << "PARAM" << "P1" << QVariant("16");
    QTest::newRow("document number") << "PL" << "S" << QVariant(7.5);
    QTest::newRow("document date") << "PL" << "DATE" << QVariant(QDate(2027, 1, 2));
}

void SharingTest::valueEqualToStaleSnapshotWritten()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QVariant, elsewhere);
    TwoComputers c;
    QVERIFY(c.open(table));
    const QString typed = c.b->text(column); // what the stale snapshot shows

    c.a->edit();
    c.a->setValue(column, elsewhere);
    c.a->post();

    c.b->edit();
    c.b->setText(column, typed);
    QVERIFY_THROWS_EXCEPTION(RowChangedError, c.b->post());
    QCOMPARE(c.b->text(column), typed);
    c.b->post();
    c.a->open();
    QCOMPARE(c.a->text(column), typed);
}

void SharingTest::deletedRowRefused()
{
    TwoComputers c;
    QVERIFY(c.open(QStringLiteral("PL")));
    c.a->remove();
    c.b->edit();
    c.b->setValue(QStringLiteral("NOM"), QStringLiteral("77"));
    try {
        c.b->post();
        QFAIL("a post over a deleted row was taken");
    } catch (const RowChangedError &) {
        QFAIL("a deleted row is not one to write again");
    } catch (const AppError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("удалена с другого компьютера")), qPrintable(e.message()));
    }
    QCOMPARE(c.b->state(), DataSet::State::Edit);
    QCOMPARE(c.b->text(QStringLiteral("NOM")), QStringLiteral("77"));
    QCOMPARE(stored(c.data.db(), QStringLiteral("select count(*) from PL")), QStringLiteral("0"));
}

void SharingTest::nullsCompareAlike()
{
    // The user row holds nulls in every column not inserted; the comparison must not refuse it.
    TwoComputers c;
    QVERIFY(c.open(QStringLiteral("PARAM")));
    QCOMPARE(stored(c.data.db(), QStringLiteral("select P0 from PARAM")), QStringLiteral("<null>"));
    c.a->edit();
    c.a->setValue(QStringLiteral("P3"), QStringLiteral("ab"));
    c.a->post();
    c.a->edit();
    c.a->setValue(QStringLiteral("P0"), true);
    c.a->post();
    QCOMPARE(readBack(c.data.db(), QStringLiteral("PARAM"), QStringLiteral("P3")), QStringLiteral("ab"));
    QVERIFY(c.a->logical(QStringLiteral("P0")));
}

void SharingTest::lockTakenOverStaleRowThenStored()
{
    // Another computer changed the document's text after this list was read; the lock
    // compares the state only, and the editor's store afterwards must not be refused.
    TwoComputers c;
    QVERIFY(c.open(QStringLiteral("PL")));
    c.second.execute(QStringLiteral("update PL set NAZNACH2='Чужое' where ID='100000000000001'"));
    QVERIFY(TakeDocumentLock(*c.a));
    QCOMPARE(c.a->text(QStringLiteral("NAZNACH2")), QStringLiteral("Чужое"));
    c.a->edit();
    c.a->setValue(QStringLiteral("NOM"), QStringLiteral("44"));
    c.a->setValue(QStringLiteral("PRIZN_DK"), DocumentState::Completed);
    c.a->post();
    QCOMPARE(readBack(c.data.db(), QStringLiteral("PL"), QStringLiteral("NOM")), QStringLiteral("44"));
    QCOMPARE(readBack(c.data.db(), QStringLiteral("PL"), QStringLiteral("NAZNACH2")), QStringLiteral("Чужое"));
}

void SharingTest::directoryRowEditedOnTwoComputers()
{
    auto f = WindowFixture::signedInOver(QStringLiteral("1"), [](TempDatabase &d) {
        d.db().execute(QStringLiteral("delete from S_POL"));
        d.db().execute(QStringLiteral("insert into S_POL (ID,INN,KPP,SCHET,BIK,NAME1,NAME) values "
                                      "('100000000000001','7701000001','770101001','40702810000000000001',"
                                      "'044525225','ООО Альфа','Альфа')"));
    });
    QVERIFY(f);
    MainWindow &w = f->window();
    DirectoryPanel panel(DirectoryPanel::Kind::Recipients, w.session(), w.centralWidget());
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f->dialogs().log.clear();
    panel.open();
    Keys::press(Qt::Key_Return); // edits the row, the INN box first
    auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(box);
    QCOMPARE(box->objectName(), QStringLiteral("DBEdit200"));
    box->selectAll();
    Keys::type(QStringLiteral("7702000002"));
    // Meanwhile the other computer renames the recipient.
    f->otherComputer().execute(QStringLiteral("update S_POL set NAME1='ООО Бета' where ID='100000000000001'"));
    Keys::press(Qt::Key_Escape); // leaving the first box saves the row
    Database &db = f->data().db();
    QCOMPARE(f->dialogs().errors().size(), 1);
    QVERIFY2(f->dialogs().errors().first().startsWith(changedElsewhere), qPrintable(f->dialogs().errors().first()));
    QCOMPARE(stored(db, QStringLiteral("select NAME1 from S_POL")), QStringLiteral("ООО Бета"));
    QCOMPARE(stored(db, QStringLiteral("select INN from S_POL")), QStringLiteral("7701000001"));
    QCOMPARE(box->text(), QStringLiteral("7702000002"));
    QCOMPARE(QApplication::focusWidget(), box);
    // Told, he saves again: his INN goes in, the other's name stays.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(f->dialogs().errors().size(), 1);
    QCOMPARE(stored(db, QStringLiteral("select INN from S_POL")), QStringLiteral("7702000002"));
    QCOMPARE(stored(db, QStringLiteral("select NAME1 from S_POL")), QStringLiteral("ООО Бета"));
}

void SharingTest::editorStoreAfterUnlockElsewhere()
{
    auto f = WindowFixture::signedInOver(QStringLiteral("1"), [](TempDatabase &d) {
        d.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"NOM", "5"}, {"DATE", QDate(2024, 3, 1)}, {"S", 10.0},
                                             {"LOGIN", "1"}, {"PRIZN_DK", "3"}, {"VID_PLAT", "1"}, {"NALOG", false}});
    });
    QVERIFY(f);
    MainWindow &w = f->window();
    QVERIFY(w.q1().find(QStringLiteral("ID"), QStringLiteral("D1")));
    w.registerPage()->enter();
    Keys::press(Qt::Key_Return);
    QCOMPARE(w.pages()->currentWidget()->objectName(), QStringLiteral("new"));
    Keys::type(QStringLiteral("88"));
    // Another computer frees the lock with Ctrl+F3 while the document is open here.
    f->otherComputer().execute(QStringLiteral("update PL set PRIZN_DK='3' where ID='D1'"));
    f->dialogs().log.clear();
    Keys::press(Qt::Key_Escape);
    QCOMPARE(f->dialogs().messages().size(), 1);
    QVERIFY2(f->dialogs().messages().first().startsWith(changedElsewhere), qPrintable(f->dialogs().messages().first()));
    QCOMPARE(w.pages()->currentWidget()->objectName(), QStringLiteral("new"));
    QCOMPARE(f->data().scalar(QStringLiteral("select NOM from PL")).toString(), QStringLiteral("5"));
    // Told, he leaves again: the document he typed is stored, nothing doubled.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(w.pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QCOMPARE(f->data().scalar(QStringLiteral("select NOM||'/'||PRIZN_DK from PL")).toString(), QStringLiteral("88/3"));
    QCOMPARE(f->data().scalar(QStringLiteral("select count(*) from PL")).toInt(), 1);
}

QTEST_MAIN(SharingTest)
#include "tst_sharing.moc"

void SharingTest::otherToolsFormsAreNoChange_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");    // as another tool or a hand-made database writes it
    QTest::addColumn<QString>("different"); // a real change, in the same form
    // PostgreSQL keeps its types: such a form lives only in a column another tool made as text.
    QTest::addColumn<bool>("textColumnThere");
    QTest::newRow("logical 'true'") << "PARAM" << "P0" << "'true'" << "'false'" << true;
    QTest::newRow("logical 'True'") << "PARAM" << "P0" << "'True'" << "'False'" << true;
    QTest::newRow("logical '1'") << "PARAM" << "P0" << "'1'" << "'0'" << true;
    QTest::newRow("logical 1") << "PARAM" << "P0" << "1" << "0" << true;
    QTest::newRow("logical in a document") << "PL" << "NALOG" << "'True'" << "'False'" << true;
    QTest::newRow("number as text") << "PL" << "S" << "'1500,00'" << "'1600,00'" << true;
    QTest::newRow("whole number") << "PL" << "S" << "1500" << "1600" << false;
    QTest::newRow("date as text") << "PL" << "DATE" << "'05.03.2024'" << "'06.03.2024'" << true;
}

void SharingTest::otherToolsFormsAreNoChange()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, different);
    QFETCH(bool, textColumnThere);
    TempDatabase data(onEngine());
    QVERIFY2(data.isValid(), qPrintable(data.reason()));
    prepareRows(data);
    if (Engines::current() == Engine::PostgreSQL && textColumnThere)
        data.db().execute(QStringLiteral("alter table %1 alter column %2 type varchar(30) using %2::text").arg(table, column));
    data.db().execute(QStringLiteral("update %1 set %2=%3").arg(table, column, stored));
    const QString other = table == QLatin1String("PL") ? QStringLiteral("NAZNACH1") : QStringLiteral("P5");

    DataSet rows(data.db());
    rows.setSql(selectOf(table));
    rows.open();
    QCOMPARE(rows.recordCount(), 1);
    rows.edit();
    rows.setValue(other, QStringLiteral("Записано"));
    rows.post(); // the stored form is the value that was read: no change elsewhere
    QCOMPARE(readBack(data.db(), table, other), QStringLiteral("Записано"));

    // A real change made meanwhile is still one.
    Database second;
    second.open(data.link(), data.folder());
    second.execute(QStringLiteral("update %1 set %2=%3").arg(table, column, different));
    rows.edit();
    rows.setValue(other, QStringLiteral("Второй раз"));
    QVERIFY_THROWS_EXCEPTION(RowChangedError, rows.post());
    QCOMPARE(readBack(data.db(), table, other), QStringLiteral("Записано"));
}
