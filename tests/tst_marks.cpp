#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "register/ArchiveMoveCommand.h"
#include "register/DeleteDocumentsCommand.h"
#include "register/RegisterPage.h"
#include "store/AppError.h"
#include "store/Clock.h"

#include <QApplication>
#include <QMutex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>

#include <functional>
#include <latch>
#include <memory>
#include <thread>

namespace {

const QString lockedMark = QStringLiteral("Документ блокирован с другого компьютера!");
const QString lockedDelete = QStringLiteral("Документ блокирован с другого компьютера");
const QString PL = QStringLiteral("PL");
const QString PLA = QStringLiteral("PL_A");

using Scope = Dialogs::Scope;

struct Doc
{
    QString id;
    QString state;
    QString mark;
    QString nom = QStringLiteral("100");
    QString table = QStringLiteral("PL");
    QString login = QStringLiteral("1");
};

// Listed in the order given: each next document is one day older.
void addDocs(TempDatabase &d, const QList<Doc> &docs)
{
    QDate date(2024, 6, 30);
    for (const Doc &doc : docs) {
        d.addDocument(doc.table, {{"ID", doc.id},
                                  {"DATE", date},
                                  {"NOM", doc.nom},
                                  {"S", 1200.5},
                                  {"NAME_PL1", QStringLiteral("ООО \"Плательщик\"")},
                                  {"NAME_POL1", QStringLiteral("ООО \"Получатель\"")},
                                  {"NAZNACH1", QStringLiteral("Оплата по счёту ") + doc.id},
                                  {"NALOG", false},
                                  {"VID_PLAT", QStringLiteral("1")},
                                  {"LOGIN", doc.login},
                                  {"CHEKED", doc.mark},
                                  {"PRIZN_DK", doc.state}});
        date = date.addDays(-1);
    }
}

std::unique_ptr<WindowFixture> signedIn(const QList<Doc> &docs, const QString &password = QStringLiteral("1"))
{
    Clock::set(QDateTime(QDate(2024, 7, 1), QTime(9, 0)));
    auto f = WindowFixture::signedInOver(password, [&](TempDatabase &d) { addDocs(d, docs); });
    if (f)
        f->dialogs().log.clear(); // the sign-in's own questions
    return f;
}

QStringList idsOf(TempDatabase &d, const QString &table)
{
    QSqlQuery q = d.db().run(QStringLiteral("select ID from %1 order by ID").arg(table));
    QStringList ids;
    while (q.next())
        ids << q.value(0).toString();
    return ids;
}

QString column(TempDatabase &d, const QString &id, const QString &name, const QString &table = PL)
{
    QSqlQuery q = d.db().run(QStringLiteral("select %1 from %2 where ID=?").arg(name, table), {id});
    return q.next() ? q.value(0).toString() : QStringLiteral("(no row)");
}

// A whole stored row but its table, for telling that a move kept every column.
QStringList storedRow(TempDatabase &d, const QString &table, const QString &id)
{
    QSqlQuery q = d.db().run(QStringLiteral("select * from %1 where ID=?").arg(table), {id});
    QStringList values;
    if (q.next())
        for (int c = 0; c < q.record().count(); ++c)
            values << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
    return values;
}

QString selectedId(MainWindow &w)
{
    const int row = w.registerPage()->grid()->currentIndex().row();
    if (row != w.q1().recNo())
        return QStringLiteral("grid row %1, q1 row %2").arg(row).arg(w.q1().recNo());
    return row < 0 ? QStringLiteral("no row") : w.q1().text(QStringLiteral("ID"));
}

void selectRow(MainWindow &w, const QString &id)
{
    Keys::press(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < w.q1().recordCount() && selectedId(w) != id; ++i)
        Keys::press(Qt::Key_Down);
}

QStringList listedIds(MainWindow &w)
{
    QStringList ids;
    const int c = w.q1().columnIndex(QStringLiteral("ID"));
    for (int row = 0; row < w.q1().recordCount(); ++row)
        ids << w.q1().rawAt(row, c);
    return ids;
}

QString listedMark(MainWindow &w, const QString &id)
{
    const int idColumn = w.q1().columnIndex(QStringLiteral("ID"));
    const int markColumn = w.q1().columnIndex(QStringLiteral("CHEKED"));
    for (int row = 0; row < w.q1().recordCount(); ++row)
        if (w.q1().rawAt(row, idColumn) == id)
            return w.q1().rawAt(row, markColumn);
    return QStringLiteral("(not listed)");
}

bool gridFocused(MainWindow &w)
{
    return QApplication::focusWidget() == w.registerPage()->grid();
}

// Another computer opens the document for editing after this list was loaded.
void openElsewhere(WindowFixture &f, const QString &id, const QString &table = PL)
{
    f.otherComputer().run(QStringLiteral("update %1 set PRIZN_DK=case when PRIZN_DK='1' then '0' else '2' end "
                                         "where ID=?").arg(table),
                          {id});
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// Many documents at once, in one transaction so that the test stays quick.
void addMany(TempDatabase &d, const QString &table, int count, const QString &state)
{
    d.db().transaction();
    QDate date(2024, 6, 30);
    for (int i = 0; i < count; ++i)
        d.db().run(QStringLiteral("insert into %1 (ID,DATE,NOM,S,PRIZN_DK,CHEKED,LOGIN,NALOG) "
                                  "values (?,?,?,?,?,?,?,?)").arg(table),
                   {QStringLiteral("M%1").arg(i, 6, 10, QLatin1Char('0')), d.db().dialect().toDb(ColumnKind::Date, date.addDays(-(i % 300))),
                    QString::number(i % 1000), 10.0 + i, state, i % 2 ? QStringLiteral("V") : QString(""),
                    QStringLiteral("1"), d.db().dialect().toDb(ColumnKind::Logical, false)});
    d.db().commit();
}

int countOf(TempDatabase &d, const QString &sql)
{
    return d.scalar(sql).toInt();
}

} // namespace

class MarksTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void cleanup();

    void space_data();
    void space();
    void spaceRefusesLocked_data();
    void spaceRefusesLocked();
    void spaceOnDocumentOpenedSinceLoad();

    void clearMarks();

    void deleteInFilteredList_data();
    void deleteInFilteredList();
    void deleteCurrentRefused_data();
    void deleteCurrentRefused();
    void deleteAfterOtherComputerOpened();
    void deleteOwnDocumentsOnly();

    void move_data();
    void move();
    void markedMoveAndBack();
    void moveSkipsDocumentOpenedSinceLoad();
    void moveFailureKeepsEveryDocumentOnce_data();
    void moveFailureKeepsEveryDocumentOnce();
    void tenThousandDocuments();
    void concurrentMovesAndDeletes();
};

void MarksTest::initTestCase_data()
{
    Engines::addRows();
}

void MarksTest::cleanup()
{
    Clock::set(QDateTime());
}

// ---------------------------------------------------------------------------
// Space

void MarksTest::space_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("mark");
    QTest::newRow("current, once") << false << 1 << "V";
    QTest::newRow("current, twice") << false << 2 << "";
    QTest::newRow("archive, once") << true << 1 << "V";
    QTest::newRow("archive, twice") << true << 2 << "";
}

void MarksTest::space()
{
    QFETCH(bool, archive);
    QFETCH(int, presses);
    QFETCH(QString, mark);
    const QString table = archive ? PLA : PL;
    Doc a{"A", "3", ""}, b{"B", "1", ""}, c{"C", "3", "V"};
    a.table = b.table = c.table = table;
    SIGNED_IN(f, {a, b, c});
    MainWindow &w = f->window();
    if (archive)
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(w.q1().recordCount(), 3);
    selectRow(w, "B");
    for (int i = 0; i < presses; ++i)
        Keys::press(Qt::Key_Space);
    QCOMPARE(column(f->data(), "B", "CHEKED", table), mark);
    QCOMPARE(listedMark(w, "B"), mark);
    QCOMPARE(selectedId(w), QStringLiteral("B"));
    QVERIFY(gridFocused(w));
    // The neighbours keep theirs.
    QCOMPARE(column(f->data(), "A", "CHEKED", table), QString());
    QCOMPARE(column(f->data(), "C", "CHEKED", table), QStringLiteral("V"));
    QVERIFY(f->dialogs().log.isEmpty());
}

void MarksTest::spaceRefusesLocked_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("mark");
    QTest::newRow("0") << "0" << "";
    QTest::newRow("2") << "2" << "";
    QTest::newRow("2, marked") << "2" << "V";
}

void MarksTest::spaceRefusesLocked()
{
    QFETCH(QString, state);
    QFETCH(QString, mark);
    SIGNED_IN(f, {{"A", "3", ""}, {"B", state, mark}});
    MainWindow &w = f->window();
    selectRow(w, "B");
    Keys::press(Qt::Key_Space);
    QCOMPARE(f->dialogs().messages(), QStringList{lockedMark});
    QCOMPARE(column(f->data(), "B", "CHEKED"), mark);
    QCOMPARE(selectedId(w), QStringLiteral("B"));
}

void MarksTest::spaceOnDocumentOpenedSinceLoad()
{
    SIGNED_IN(f, {{"A", "3", ""}, {"B", "3", ""}});
    MainWindow &w = f->window();
    selectRow(w, "B");
    openElsewhere(*f, "B");
    Keys::press(Qt::Key_Space);
    QCOMPARE(f->dialogs().messages(), QStringList{lockedMark});
    QCOMPARE(column(f->data(), "B", "CHEKED"), QString());
    QCOMPARE(column(f->data(), "B", "PRIZN_DK"), QStringLiteral("2"));
    // The list now shows the lock, and the selection stays on the document.
    QCOMPARE(selectedId(w), QStringLiteral("B"));
    QCOMPARE(w.q1().text(QStringLiteral("PRIZN_DK")), QStringLiteral("2"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

// ---------------------------------------------------------------------------
// F10

void MarksTest::clearMarks()
{
    SIGNED_IN(f, {{"A", "3", "V"}, {"B", "2", "V"}, {"C", "1", "V"}, {"D", "0", "V"}, {"E", "3", "V"}, {"F", "3", ""}});
    MainWindow &w = f->window();
    selectRow(w, "C");
    openElsewhere(*f, "E"); // locked since the load: its mark is the other computer's business now
    Keys::press(Qt::Key_F10);
    QCOMPARE(column(f->data(), "A", "CHEKED"), QString());
    QCOMPARE(column(f->data(), "B", "CHEKED"), QStringLiteral("V"));
    QCOMPARE(column(f->data(), "C", "CHEKED"), QString());
    QCOMPARE(column(f->data(), "D", "CHEKED"), QStringLiteral("V"));
    QCOMPARE(column(f->data(), "E", "CHEKED"), QStringLiteral("V"));
    QCOMPARE(listedMark(w, "A"), QString());
    QCOMPARE(listedMark(w, "B"), QStringLiteral("V"));
    QCOMPARE(selectedId(w), QStringLiteral("C"));
    QVERIFY(gridFocused(w));
    QVERIFY(f->dialogs().log.isEmpty());
}

// ---------------------------------------------------------------------------
// Delete, F8

void MarksTest::deleteInFilteredList_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QStringList>("deleted");
    // The filter shows F1 (completed, marked, selected), F2 (saved) and F3 (locked, marked).
    QTest::newRow("Delete, current") << int(Qt::Key_Delete) << int(Scope::Current) << QStringList{"F1"};
    QTest::newRow("F8, marked") << int(Qt::Key_F8) << int(Scope::Marked) << QStringList{"F1"};
    QTest::newRow("Delete, all") << int(Qt::Key_Delete) << int(Scope::All) << QStringList{"F1", "F2"};
    QTest::newRow("F8, all") << int(Qt::Key_F8) << int(Scope::All) << QStringList{"F1", "F2"};
    QTest::newRow("cancel") << int(Qt::Key_Delete) << int(Scope::Cancel) << QStringList{};
}

void MarksTest::deleteInFilteredList()
{
    QFETCH(int, key);
    QFETCH(int, scope);
    QFETCH(QStringList, deleted);
    Doc f1{"F1", "3", "V", "777"}, f2{"F2", "1", "", "777"}, f3{"F3", "2", "V", "777"};
    SIGNED_IN(f, {{"N1", "3", "V"}, f1, {"N2", "1", ""}, {"N3", "3", "V"}, f2, {"N4", "3", ""}, {"N5", "1", "V"},
                  f3, {"N6", "3", "V"}, {"N7", "1", ""}});
    MainWindow &w = f->window();
    const QStringList before = idsOf(f->data(), PL);
    Keys::press(Qt::Key_F6, Qt::ControlModifier);
    Keys::type(QStringLiteral("777"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(w.q1().recordCount(), 3);
    QCOMPARE(selectedId(w), QStringLiteral("F1"));

    f->dialogs().scopeAnswers.enqueue(Scope(scope));
    Keys::press(Qt::Key(key));
    QCOMPARE(f->dialogs().log, QStringList{"scope"});
    QStringList left = before;
    for (const QString &id : deleted)
        left.removeOne(id);
    QCOMPARE(idsOf(f->data(), PL), left);
    QVERIFY(w.q1().isFiltered());
    QStringList shown = QStringList{"F1", "F2", "F3"};
    for (const QString &id : deleted)
        shown.removeOne(id);
    QCOMPARE(listedIds(w), shown);
    QCOMPARE(w.registerPage()->grid()->model()->rowCount(), shown.size());
    QCOMPARE(selectedId(w), shown.first());
    QVERIFY(gridFocused(w));
}

void MarksTest::deleteCurrentRefused_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("0") << "0";
    QTest::newRow("2") << "2";
    QTest::newRow("empty") << "";
}

void MarksTest::deleteCurrentRefused()
{
    QFETCH(QString, state);
    SIGNED_IN(f, {{"A", state, "V"}, {"B", "3", "V"}});
    MainWindow &w = f->window();
    QCOMPARE(selectedId(w), QStringLiteral("A"));
    f->dialogs().scopeAnswers.enqueue(Scope::Current);
    Keys::press(Qt::Key_Delete);
    QCOMPARE(f->dialogs().messages(), QStringList{lockedDelete});
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "B"}));
    // Skipped without a word in the marked scope.
    f->dialogs().log.clear();
    f->dialogs().scopeAnswers.enqueue(Scope::Marked);
    Keys::press(Qt::Key_Delete);
    QVERIFY(f->dialogs().messages().isEmpty());
    QCOMPARE(idsOf(f->data(), PL), QStringList{"A"});
}

void MarksTest::deleteAfterOtherComputerOpened()
{
    SIGNED_IN(f, {{"A", "3", ""}, {"B", "1", ""}, {"C", "3", ""}, {"D", "3", ""}});
    MainWindow &w = f->window();
    openElsewhere(*f, "A");
    openElsewhere(*f, "B");
    QCOMPARE(selectedId(w), QStringLiteral("A"));
    f->dialogs().scopeAnswers.enqueue(Scope::Current);
    Keys::press(Qt::Key_F8);
    QCOMPARE(f->dialogs().messages(), QStringList{lockedDelete});
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(selectedId(w), QStringLiteral("A"));

    // The list now shows A and B locked; C is opened after this load and is skipped all the same.
    openElsewhere(*f, "C");
    QCOMPARE(w.q1().recordCount(), 4);
    f->dialogs().log.clear();
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_Delete);
    QVERIFY(f->dialogs().messages().isEmpty());
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "B", "C"}));
    QCOMPARE(column(f->data(), "C", "PRIZN_DK"), QStringLiteral("2"));
    QCOMPARE(listedIds(w), (QStringList{"A", "B", "C"}));
}

void MarksTest::deleteOwnDocumentsOnly()
{
    // User 2 sees only his own documents (P6); "Все" means those.
    Doc mine{"MINE", "3", ""}, other{"OTHER", "3", ""};
    mine.login = QStringLiteral("2");
    SIGNED_IN(f, {mine, other}, QStringLiteral("2"));
    MainWindow &w = f->window();
    QCOMPARE(listedIds(w), QStringList{"MINE"});
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_Delete);
    QCOMPARE(idsOf(f->data(), PL), QStringList{"OTHER"});
    QCOMPARE(w.q1().recordCount(), 0);
}

// ---------------------------------------------------------------------------
// F12

void MarksTest::move_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QStringList>("moved");
    // A completed marked, B saved marked, C completed, D locked marked, E completed marked.
    const QList<bool> views = {false, true};
    for (bool archive : views) {
        const char *view = archive ? "archive: " : "current: ";
        QTest::addRow("%scurrent, completed", view) << archive << "C" << int(Scope::Current) << QStringList{"C"};
        QTest::addRow("%scurrent, saved", view) << archive << "B" << int(Scope::Current) << QStringList{};
        QTest::addRow("%scurrent, locked", view) << archive << "D" << int(Scope::Current) << QStringList{};
        QTest::addRow("%smarked", view) << archive << "B" << int(Scope::Marked) << QStringList{"A", "E"};
        QTest::addRow("%sall", view) << archive << "D" << int(Scope::All) << QStringList{"A", "C", "E"};
        QTest::addRow("%scancel", view) << archive << "C" << int(Scope::Cancel) << QStringList{};
    }
}

void MarksTest::move()
{
    QFETCH(bool, archive);
    QFETCH(QString, selected);
    QFETCH(int, scope);
    QFETCH(QStringList, moved);
    const QString from = archive ? PLA : PL;
    const QString to = archive ? PL : PLA;
    QList<Doc> docs{{"A", "3", "V"}, {"B", "1", "V"}, {"C", "3", ""}, {"D", "2", "V"}, {"E", "3", "V"}};
    for (Doc &d : docs)
        d.table = from;
    Doc elsewhere{"Z", "3", "V"};
    elsewhere.table = to;
    docs << elsewhere;
    SIGNED_IN(f, docs);
    MainWindow &w = f->window();
    if (archive)
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    selectRow(w, selected);
    QCOMPARE(selectedId(w), selected);
    QMap<QString, QStringList> rows;
    for (const QString &id : moved)
        rows[id] = storedRow(f->data(), from, id);

    f->dialogs().scopeAnswers.enqueue(Scope(scope));
    Keys::press(Qt::Key_F12);
    QCOMPARE(f->dialogs().log, QStringList{"scope"});
    QStringList stayed{"A", "B", "C", "D", "E"};
    for (const QString &id : moved)
        stayed.removeOne(id);
    QCOMPARE(idsOf(f->data(), from), stayed);
    QCOMPARE(idsOf(f->data(), to), sorted(moved + QStringList{"Z"}));
    // Every column, the mark and the state included, went along unchanged.
    for (const QString &id : moved)
        QCOMPARE(storedRow(f->data(), to, id), rows[id]);
    QCOMPARE(listedIds(w).size(), stayed.size());
    if (!moved.isEmpty())
        QCOMPARE(w.q1().recNo(), 0);
    QVERIFY(gridFocused(w));
}

void MarksTest::markedMoveAndBack()
{
    // Two completed and one saved document marked: "Отмеченые" moves the two, marks and all.
    SIGNED_IN(f, {{"A", "3", ""}, {"B", "3", ""}, {"C", "1", ""}, {"D", "3", ""}});
    MainWindow &w = f->window();
    for (const char *id : {"B", "C", "D"}) {
        selectRow(w, id);
        Keys::press(Qt::Key_Space);
    }
    f->dialogs().scopeAnswers.enqueue(Scope::Marked);
    Keys::press(Qt::Key_F12);
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "C"}));
    QCOMPARE(idsOf(f->data(), PLA), (QStringList{"B", "D"}));
    QCOMPARE(column(f->data(), "C", "CHEKED"), QStringLiteral("V"));

    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(w.registerPage()->gridBackground(), QColor(0, 128, 0));
    QCOMPARE(listedIds(w), (QStringList{"B", "D"}));
    QCOMPARE(listedMark(w, "B"), QStringLiteral("V"));
    QCOMPARE(listedMark(w, "D"), QStringLiteral("V"));

    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_F12);
    QCOMPARE(idsOf(f->data(), PLA), QStringList{});
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(column(f->data(), "B", "CHEKED"), QStringLiteral("V"));
    QCOMPARE(column(f->data(), "D", "CHEKED"), QStringLiteral("V"));
    QCOMPARE(column(f->data(), "D", "PRIZN_DK"), QStringLiteral("3"));
    QVERIFY(f->dialogs().messages().isEmpty());
    QVERIFY(f->dialogs().errors().isEmpty());
}

void MarksTest::moveSkipsDocumentOpenedSinceLoad()
{
    SIGNED_IN(f, {{"A", "3", ""}, {"B", "3", ""}, {"C", "3", ""}});
    openElsewhere(*f, "B");
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_F12);
    QCOMPARE(idsOf(f->data(), PL), QStringList{"B"});
    QCOMPARE(idsOf(f->data(), PLA), (QStringList{"A", "C"}));
    QCOMPARE(column(f->data(), "B", "PRIZN_DK"), QStringLiteral("2"));
    QVERIFY(f->dialogs().messages().isEmpty());
}

void MarksTest::moveFailureKeepsEveryDocumentOnce_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("insert refused") << "insert";
    QTest::newRow("delete refused") << "delete";
    QTest::newRow("connection killed before the delete") << "kill";
}

void MarksTest::moveFailureKeepsEveryDocumentOnce()
{
    QFETCH(QString, failure);
    if (failure == QLatin1String("kill") && Engines::current() != Engine::PostgreSQL)
        QSKIP("a server backend to kill is PostgreSQL's");
    SIGNED_IN(f, {{"A", "3", "V"}, {"B", "3", ""}, {"C", "1", ""}});
    MainWindow &w = f->window();
    Database &db = f->data().db();
    if (failure == QLatin1String("insert")) {
        FailingWrites::refuse(db, PLA, "insert");
    } else if (failure == QLatin1String("delete")) {
        FailingWrites::refuse(db, PL, "delete");
    } else {
        // The window's own server process dies after the insert, before the delete.
        db.execute(QStringLiteral("create function kill_self() returns trigger language plpgsql as "
                                  "$$ begin perform pg_terminate_backend(pg_backend_pid()); return old; end $$"));
        db.execute(QStringLiteral("create trigger kill_self before delete on PL for each row execute procedure kill_self()"));
    }
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_F12);
    QCOMPARE(f->dialogs().errors().size(), 1);
    if (failure != QLatin1String("kill"))
        QVERIFY2(f->dialogs().errors().first().contains(FailingWrites::message()), qPrintable(f->dialogs().errors().first()));
    QCOMPARE(idsOf(f->data(), PL), (QStringList{"A", "B", "C"}));
    QCOMPARE(idsOf(f->data(), PLA), QStringList{});
    QCOMPARE(column(f->data(), "A", "CHEKED"), QStringLiteral("V"));
    if (failure == QLatin1String("kill"))
        return;
    // Once the database takes writes again the same key moves them.
    FailingWrites::allow(db, failure == QLatin1String("insert") ? PLA : PL);
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_F12);
    QCOMPARE(idsOf(f->data(), PL), QStringList{"C"});
    QCOMPARE(idsOf(f->data(), PLA), (QStringList{"A", "B"}));
    QCOMPARE(listedIds(w), QStringList{"C"});
}

void MarksTest::tenThousandDocuments()
{
    const int count = 10200;
    SIGNED_IN(f, {});
    MainWindow &w = f->window();
    addMany(f->data(), PL, count, QStringLiteral("3"));
    Keys::press(Qt::Key_F11);
    QCOMPARE(w.q1().recordCount(), count);

    f->dialogs().scopeAnswers.enqueue(Scope::Marked);
    Keys::press(Qt::Key_F12);
    QCOMPARE(countOf(f->data(), "select count(*) from PL_A"), count / 2);
    QCOMPARE(countOf(f->data(), "select count(*) from PL"), count / 2);
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_F12);
    QCOMPARE(countOf(f->data(), "select count(*) from PL"), 0);
    QCOMPARE(countOf(f->data(), "select count(*) from PL_A"), count);

    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(w.q1().recordCount(), count);
    Keys::press(Qt::Key_F10);
    QCOMPARE(countOf(f->data(), "select count(*) from PL_A where CHEKED='V'"), 0);
    f->dialogs().scopeAnswers.enqueue(Scope::All);
    Keys::press(Qt::Key_Delete);
    QCOMPARE(countOf(f->data(), "select count(*) from PL_A"), 0);
    QCOMPARE(w.q1().recordCount(), 0);
    QVERIFY(f->dialogs().errors().isEmpty());
}

void MarksTest::concurrentMovesAndDeletes()
{
    // Three computers at the same moment: one moves 0..299 to the archive, one
    // deletes 100..399, one opens 150..249 one by one as the editor does.
    const int count = 400;
    TempDatabase::Options o;
    o.engine = Engines::current();
    for (int round = 0; round < 3; ++round) {
        TempDatabase data(o);
        QVERIFY2(data.isValid(), qPrintable(data.reason()));
        addMany(data, PL, count, QStringLiteral("3"));
        QStringList all;
        for (int i = 0; i < count; ++i)
            all << QStringLiteral("M%1").arg(i, 6, 10, QLatin1Char('0'));
        std::latch start(3);
        QStringList errors;
        QMutex errorsLock;
        auto computer = [&](std::function<void(Database &)> work) {
            return std::thread([&, work] {
                Database db;
                try {
                    db.open(data.link(), data.folder());
                    start.arrive_and_wait();
                    work(db);
                } catch (const AppError &e) {
                    QMutexLocker locker(&errorsLock);
                    errors << e.message();
                }
            });
        };
        std::thread mover = computer([&](Database &db) { MoveDocuments(db, true, all.mid(0, 300)); });
        std::thread deleter = computer([&](Database &db) { DeleteDocuments(db, PL, all.mid(100, 300)); });
        std::thread editor = computer([&](Database &db) {
            for (int i = 150; i < 250; ++i)
                db.run(QStringLiteral("update PL set PRIZN_DK='2' where ID=? and PRIZN_DK='3'"), {all.at(i)});
        });
        mover.join();
        deleter.join();
        editor.join();
        // The move locks what it takes, so nobody's work makes it give up.
        QVERIFY2(errors.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(errors.join("; "))));
        QCOMPARE(countOf(data, "select count(*) from PL where ID in (select ID from PL_A)"), 0);
        const QStringList current = idsOf(data, PL);
        const QStringList archive = idsOf(data, PLA);
        for (int i = 0; i < count; ++i) {
            const QString &id = all.at(i);
            const int places = int(current.contains(id)) + int(archive.contains(id));
            const bool deletable = i >= 100;
            QVERIFY2(places == 1 || (deletable && places == 0), qPrintable(QStringLiteral("%1 in %2 tables").arg(id).arg(places)));
            // Whatever ended up in the archive is a completed document.
            if (archive.contains(id))
                QCOMPARE(column(data, id, "PRIZN_DK", PLA), QStringLiteral("3"));
        }
        for (int i = 0; i < 100; ++i)
            QVERIFY(archive.contains(all.at(i)));
        for (int i = 300; i < count; ++i)
            QVERIFY(!current.contains(all.at(i)));
    }
}

QTEST_MAIN(MarksTest)
#include "tst_marks.moc"
