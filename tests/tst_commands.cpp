#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "directories/MenuPanel.h"
#include "document/DocumentState.h"
#include "editor/EditorPage.h"
#include "register/OpenDocumentCommand.h"
#include "register/RegisterPage.h"
#include "store/Clock.h"
#include "store/Installer.h"
#include "store/TimestampId.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString lockedMessage = QStringLiteral("Документ блокирован с другого компьютера!");
const QString noPayerMessage = QStringLiteral("Не заполнен справочник плательщиков");
const QString noBankMessage = QStringLiteral("Вашего Банка не существует, измените БИК в справочнике плательщиков");
const QString revokedBankMessage = QStringLiteral("Лицензия Вашего Банка отозвана, измените БИК в справочнике плательщиков");

// The moment of signing in, and the later "today" of the commands: P2 then differs from today.
const QDateTime signInMoment(QDate(2024, 2, 15), QTime(9, 0));
const QDateTime commandMoment(QDate(2024, 5, 6), QTime(10, 20, 30));

// The register: D1 newest (the first row), D2 the document the tests act on.
QVariantMap document(const QString &id, const QDate &date, const QString &nom, const QVariant &state)
{
    return {{"ID", id},
            {"DATE", date},
            {"NOM", nom},
            {"S", 1500.25},
            {"NAME_PL1", QStringLiteral("ООО \"Плательщик\"")},
            {"NAME_POL1", QStringLiteral("ООО \"Получатель\"")},
            {"NALOG", false},
            {"VID_PLAT", QStringLiteral("1")},
            {"LOGIN", QStringLiteral("1")},
            {"PRIZN_DK", state}};
}

QString pageOf(MainWindow &w)
{
    return w.pages()->currentWidget()->objectName();
}

QString stateOf(TempDatabase &d, const QString &id, const QString &table = QStringLiteral("PL"))
{
    QSqlQuery q = d.db().run(QStringLiteral("select PRIZN_DK from %1 where ID=?").arg(table), {id});
    return q.next() ? q.value(0).toString() : QStringLiteral("(no row)");
}

// Every stored value of a table, for telling whether a key wrote anything.
QString dump(TempDatabase &d, const QString &table)
{
    QSqlQuery q = d.db().run(QStringLiteral("select * from %1 order by 1, 2").arg(table));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c)
            values << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

QString everything(TempDatabase &d)
{
    return dump(d, QStringLiteral("PL")) + QStringLiteral("\n--\n") + dump(d, QStringLiteral("PL_A"))
           + QStringLiteral("\n--\n") + dump(d, QStringLiteral("PARAM"));
}

// One stored row as the driver gives it, column by column.
QVariantList storedRow(TempDatabase &d, const QString &id, const QString &table = QStringLiteral("PL"))
{
    QSqlQuery q = d.db().run(QStringLiteral("select * from %1 where ID=?").arg(table), {id});
    QVariantList values;
    if (q.next())
        for (int c = 0; c < q.record().count(); ++c)
            values << q.value(c);
    return values;
}

QString selectedId(MainWindow &w)
{
    QTableView *grid = w.registerPage()->grid();
    DataSet &q1 = w.q1();
    const int row = grid->currentIndex().row();
    if (row != q1.recNo())
        return QStringLiteral("grid row %1, q1 row %2").arg(row).arg(q1.recNo());
    if (row < 0)
        return QStringLiteral("no row");
    return q1.text(QStringLiteral("ID"));
}

// The state the window's list holds for a document, as loaded last.
QString listedState(MainWindow &w, const QString &id)
{
    DataSet &q1 = w.q1();
    const int idColumn = q1.columnIndex(QStringLiteral("ID"));
    const int stateColumn = q1.columnIndex(QStringLiteral("PRIZN_DK"));
    for (int row = 0; row < q1.recordCount(); ++row)
        if (q1.rawAt(row, idColumn) == id)
            return q1.rawAt(row, stateColumn);
    return QStringLiteral("(not listed)");
}

void selectRow(MainWindow &w, const QString &id)
{
    for (int i = 0; i < w.q1().recordCount() && selectedId(w) != id; ++i)
        Keys::press(Qt::Key_Down);
}

// The keyboard goes to this window's widget, as when its user works at it.
bool focusOn(MainWindow &w, QWidget *widget)
{
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w) || !widget)
        return false;
    widget->setFocus();
    return QApplication::focusWidget() == widget;
}

bool focusGrid(MainWindow &w)
{
    return focusOn(w, w.registerPage()->grid());
}

QString editDate(MainWindow &w)
{
    auto *box = qobject_cast<QLineEdit *>(w.editorPage()->control(QStringLiteral("edit_date")));
    return box ? box->text() : QStringLiteral("(no edit_date)");
}

// A second computer: its own connection, dialogs and main window on the same database.
struct SecondComputer
{
    ScriptedDialogs dialogs;
    Database db;
    std::unique_ptr<MainWindow> window;

    bool signIn(const QString &folder, const QString &password)
    {
        window = std::make_unique<MainWindow>(db, dialogs);
        dialogs.textAnswers.enqueue(password);
        if (!window->ConnectAndSignIn(folder))
            return false;
        window->resize(1024, 700);
        window->show();
        return true;
    }
};

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void cleanup();

    void enterOpens_data();
    void enterOpens();
    void enterRefusesLocked_data();
    void enterRefusesLocked();
    void enterOnDeletedDocument();
    void commandsInFilteredList_data();
    void commandsInFilteredList();
    void nothingInArchiveView_data();
    void nothingInArchiveView();
    void nothingOnEmptyList_data();
    void nothingOnEmptyList();

    void lockBetweenTwoComputers();
    void refusalAfterReloadShowsTheDocument_data();
    void refusalAfterReloadShowsTheDocument();
    void documentHiddenByTheFilterIsFound();
    void takingLockNamesTheStateSeen();
    void unlockComparesAndSets_data();
    void unlockComparesAndSets();

    void newDocument_data();
    void newDocument();
    void numberingSharedByTwoComputers();
    void newDocumentKeepsUnsavedSetting();
    void newDocumentRefused_data();
    void newDocumentRefused();

    void copy();
    void copyOfSparseDocument();
    void copyOfDeletedDocument();

    void unlock_data();
    void unlock();

    void databaseErrorLeavesNothingPending_data();
    void databaseErrorLeavesNothingPending();

    void help();
    void menu();
    void menuOpensDirectories_data();
    void menuOpensDirectories();

private:
    // The main window signed in as password over D1 and D2 (in state) and the
    // archived A1; prepare runs on the database before sign-in.
    std::unique_ptr<WindowFixture> signedIn(const QVariant &state = QStringLiteral("3"),
                                            const std::function<void(TempDatabase &)> &prepare = {},
                                            const QString &password = QStringLiteral("1"));
};

void CommandsTest::initTestCase_data()
{
    Engines::addRows();
}

void CommandsTest::cleanup()
{
    Clock::set(QDateTime());
}

std::unique_ptr<WindowFixture> CommandsTest::signedIn(const QVariant &state,
                                                      const std::function<void(TempDatabase &)> &prepare,
                                                      const QString &password)
{
    Clock::set(signInMoment);
    auto f = WindowFixture::signedInOver(password, [&](TempDatabase &d) {
        d.addDocument(QStringLiteral("PL"), document("D1", QDate(2024, 3, 20), "11", QStringLiteral("1")));
        d.addDocument(QStringLiteral("PL"), document("D2", QDate(2024, 3, 10), "105", state));
        d.addDocument(QStringLiteral("PL_A"), document("A1", QDate(2024, 2, 1), "7", QStringLiteral("3")));
        if (prepare)
            prepare(d);
    });
    if (!f)
        return nullptr;
    Clock::set(commandMoment);
    return f;
}

// ---------------------------------------------------------------------------
// Enter

void CommandsTest::enterOpens_data()
{
    QTest::addColumn<QVariant>("state");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("left"); // after Esc in edit_nom
    QTest::newRow("saved") << QVariant(QStringLiteral("1")) << "0" << "1";
    QTest::newRow("completed") << QVariant(QStringLiteral("3")) << "2" << "3";
    QTest::newRow("empty") << QVariant(QString()) << "2" << "3";
    QTest::newRow("null") << QVariant() << "2" << "3";
    QTest::newRow("another value") << QVariant(QStringLiteral("7")) << "2" << "3";
}

void CommandsTest::enterOpens()
{
    QFETCH(QVariant, state);
    QFETCH(QString, opened);
    QFETCH(QString, left);
    SIGNED_IN(f, state);
    MainWindow &w = f->window();
    const QVariantList d1 = storedRow(f->data(), QStringLiteral("D1"));
    selectRow(w, QStringLiteral("D2"));
    QCOMPARE(selectedId(w), QStringLiteral("D2"));

    Keys::press(Qt::Key_Return);
    // Stored at once, while the editor is open.
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), opened);
    QCOMPARE(pageOf(w), QStringLiteral("new"));
    QCOMPARE(focusName(), QStringLiteral("edit_nom"));
    QCOMPARE(w.q1().state(), DataSet::State::Edit);
    QCOMPARE(w.q1().text(QStringLiteral("ID")), QStringLiteral("D2"));
    QCOMPARE(editDate(w), QStringLiteral("10.03.24"));
    QCOMPARE(f->dialogs().log.size(), 1); // the password prompt only
    QCOMPARE(storedRow(f->data(), QStringLiteral("D1")), d1);

    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), left);
    QCOMPARE(stateOf(f->data(), QStringLiteral("D1")), QStringLiteral("1"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

void CommandsTest::enterRefusesLocked_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("open") << "0";
    QTest::newRow("reopened") << "2";
}

void CommandsTest::enterRefusesLocked()
{
    QFETCH(QString, state);
    SIGNED_IN(f, state);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    const QString before = everything(f->data());

    Keys::press(Qt::Key_Return);
    QCOMPARE(f->dialogs().log.mid(1), QStringList{QStringLiteral("message:") + lockedMessage});
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
}

void CommandsTest::enterOnDeletedDocument()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    f->otherComputer().run(QStringLiteral("delete from PL where ID='D2'"));
    const QString before = everything(f->data());

    Keys::press(Qt::Key_Return);
    QCOMPARE(f->dialogs().log.mid(1), QStringList{QStringLiteral("message:") + DocumentGoneMessage()});
    // D1, now the first row, is neither locked nor opened.
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(stateOf(f->data(), QStringLiteral("D1")), QStringLiteral("1"));
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(listedState(w, QStringLiteral("D2")), QStringLiteral("(not listed)"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void CommandsTest::commandsInFilteredList_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("state"); // D2's afterwards
    QTest::addColumn<int>("rows");      // listed afterwards
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "0" << 1;
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier) << "2" << 2;
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << int(Qt::ControlModifier) << "3" << 1;
}

// A filter on the number leaves D2 alone in the list; the commands act on it and the filter stays.
void CommandsTest::commandsInFilteredList()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, state);
    QFETCH(int, rows);
    SIGNED_IN(f, key == Qt::Key_Return ? QStringLiteral("1") : QStringLiteral("2"));
    MainWindow &w = f->window();
    Keys::press(Qt::Key_F6, Qt::ControlModifier);
    Keys::type(QStringLiteral("105"));
    Keys::press(Qt::Key_Return);
    QVERIFY(w.q1().isFiltered());
    QCOMPARE(w.q1().recordCount(), 1);
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
    f->dialogs().yesNoAnswers.enqueue(true);

    Keys::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), state);
    QCOMPARE(stateOf(f->data(), QStringLiteral("D1")), QStringLiteral("1"));
    QVERIFY(f->dialogs().errors().isEmpty());
    if (key == Qt::Key_Return) {
        QCOMPARE(pageOf(w), QStringLiteral("new"));
        QCOMPARE(w.q1().text(QStringLiteral("ID")), QStringLiteral("D2"));
        Keys::press(Qt::Key_Escape);
        QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("1"));
    }
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QVERIFY(w.q1().isFiltered());
    QCOMPARE(w.q1().recordCount(), rows);
    QCOMPARE(w.registerPage()->grid()->model()->rowCount(), rows);
}

void CommandsTest::nothingInArchiveView_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Insert") << int(Qt::Key_Insert);
    QTest::newRow("F7") << int(Qt::Key_F7);
    QTest::newRow("F5") << int(Qt::Key_F5);
}

void CommandsTest::nothingInArchiveView()
{
    QFETCH(int, key);
    SIGNED_IN(f);
    MainWindow &w = f->window();
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QVERIFY(w.session().isArchive());
    QCOMPARE(selectedId(w), QStringLiteral("A1"));
    const QString before = everything(f->data());

    Keys::press(Qt::Key(key));
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(f->dialogs().log.size(), 1);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(w.q1().recordCount(), 1);
    QCOMPARE(selectedId(w), QStringLiteral("A1"));
}

void CommandsTest::nothingOnEmptyList_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << int(Qt::ControlModifier);
}

void CommandsTest::nothingOnEmptyList()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    SIGNED_IN(f, QStringLiteral("0"), [](TempDatabase &d) { d.db().execute(QStringLiteral("delete from PL")); });
    MainWindow &w = f->window();
    QCOMPARE(w.q1().recordCount(), 0);
    const QString before = everything(f->data());
    f->dialogs().yesNoAnswers.enqueue(true);

    Keys::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(f->dialogs().log.size(), 1);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().recordCount(), 0);
}

// ---------------------------------------------------------------------------
// The lock between two computers

void CommandsTest::lockBetweenTwoComputers()
{
    SIGNED_IN(f);
    MainWindow &a = f->window();
    SecondComputer b;
    QVERIFY(b.signIn(f->data().folder(), QStringLiteral("1")));
    MainWindow &bw = *b.window;
    QCOMPARE(listedState(bw, QStringLiteral("D2")), QStringLiteral("3"));

    // A opens D2: locked in the table.
    QVERIFY(focusGrid(a));
    selectRow(a, QStringLiteral("D2"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(pageOf(a), QStringLiteral("new"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("2"));

    // B, with its list from before, is refused after the reload.
    QVERIFY(focusGrid(bw));
    selectRow(bw, QStringLiteral("D2"));
    QCOMPARE(listedState(bw, QStringLiteral("D2")), QStringLiteral("3"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(b.dialogs.log.mid(1), QStringList{QStringLiteral("message:") + lockedMessage});
    QCOMPARE(pageOf(bw), QStringLiteral("all"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("2"));
    QCOMPARE(listedState(bw, QStringLiteral("D2")), QStringLiteral("2"));
    QCOMPARE(selectedId(bw), QStringLiteral("D2"));

    // B frees the lock that A left.
    b.dialogs.yesNoAnswers.enqueue(true);
    Keys::press(Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(b.dialogs.log.last(),
             QStringLiteral("yesno:Разблокирование|Снять блокировку с документа N105 ?"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
    QCOMPARE(listedState(bw, QStringLiteral("D2")), QStringLiteral("3"));

    // A leaves its editor; then B opens D2 and A refreshes its list: it shows B's lock.
    QVERIFY(focusOn(a, a.editorPage()->control(QStringLiteral("edit_nom"))));
    // The document changed under A's editor: A is told once and stays; the second Esc stores it.
    f->dialogs().log.clear();
    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(a), QStringLiteral("new"));
    QCOMPARE(f->dialogs().messages().size(), 1);
    QVERIFY(f->dialogs().messages().first().startsWith(QStringLiteral("Запись изменена с другого компьютера")));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(a), QStringLiteral("all"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
    QVERIFY(focusGrid(bw));
    Keys::press(Qt::Key_Return);
    QCOMPARE(pageOf(bw), QStringLiteral("new"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("2"));
    QVERIFY(focusGrid(a));
    Keys::press(Qt::Key_F11);
    selectRow(a, QStringLiteral("D2"));
    QCOMPARE(listedState(a, QStringLiteral("D2")), QStringLiteral("2"));

    // B releases it by leaving its editor; A's list still shows the lock.
    QVERIFY(focusOn(bw, bw.editorPage()->control(QStringLiteral("edit_nom"))));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(bw), QStringLiteral("all"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
    f->dialogs().log.clear();

    // A's Ctrl+F3 on the stale lock: asked, then told, and nothing written.
    QVERIFY(focusGrid(a));
    QCOMPARE(selectedId(a), QStringLiteral("D2"));
    const QString before = everything(f->data());
    f->dialogs().yesNoAnswers.enqueue(true);
    Keys::press(Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(f->dialogs().log.size(), 2);
    QCOMPARE(f->dialogs().log.at(0),
             QStringLiteral("yesno:Разблокирование|Снять блокировку с документа N105 ?"));
    QVERIFY2(f->dialogs().log.at(1).startsWith(QStringLiteral("message:")), qPrintable(f->dialogs().log.at(1)));
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(listedState(a, QStringLiteral("D2")), QStringLiteral("3"));
    QCOMPARE(selectedId(a), QStringLiteral("D2"));
    QVERIFY(f->dialogs().errors().isEmpty());
    QVERIFY(b.dialogs.errors().isEmpty());
}

void CommandsTest::refusalAfterReloadShowsTheDocument_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("listed");    // D2's state in the list
    QTest::addColumn<QString>("elsewhere"); // what another computer made of it meanwhile
    QTest::addColumn<QString>("told");
    const QString changed = QStringLiteral("Документ изменён с другого компьютера: список обновлён");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "3" << "2" << lockedMessage;
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << "3" << "2" << lockedMessage;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << "3" << "2" << lockedMessage;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << "3" << "2"
                            << QStringLiteral("Документ блокирован с другого компьютера");
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << int(Qt::ControlModifier) << "0" << "1" << changed;
}

// The refusal is shown with the refused document selected, not the first row of the reloaded list.
void CommandsTest::refusalAfterReloadShowsTheDocument()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, listed);
    QFETCH(QString, elsewhere);
    QFETCH(QString, told);
    SIGNED_IN(f, listed);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
    f->otherComputer().run(QStringLiteral("update PL set PRIZN_DK=? where ID='D2'"), {elsewhere});
    f->dialogs().scopeAnswers << Dialogs::Scope::Current;
    f->dialogs().yesNoAnswers << true;
    f->dialogs().observe = [&w] { return selectedId(w); };
    Keys::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f->dialogs().messages(), QStringList{told});
    QCOMPARE(f->dialogs().observed.last(), QStringLiteral("D2"));
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), elsewhere);
}

// A document the user's own filter no longer shows is still in the table: found, never "deleted elsewhere".
void CommandsTest::documentHiddenByTheFilterIsFound()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    Keys::press(Qt::Key_F6, Qt::ControlModifier);
    Keys::type(QStringLiteral("105"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(w.q1().recordCount(), 1);
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
    // Its number changed since the list was filtered: the filter no longer takes it.
    f->otherComputer().run(QStringLiteral("update PL set NOM='106' where ID='D2'"));
    Keys::press(Qt::Key_Return);
    QVERIFY2(f->dialogs().messages().isEmpty(), qPrintable(f->dialogs().messages().join(QLatin1Char('|'))));
    QCOMPARE(pageOf(w), QStringLiteral("new"));
    QCOMPARE(w.q1().text(QStringLiteral("ID")), QStringLiteral("D2"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("2"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
    QCOMPARE(selectedId(w), QStringLiteral("D2"));
}

// Two lists loaded alike, two attempts: only the first takes the lock.
void CommandsTest::takingLockNamesTheStateSeen()
{
    SIGNED_IN(f);
    DataSet a(f->data().db());
    DataSet b(f->otherComputer());
    for (DataSet *list : {&a, &b}) {
        list->setSql(QStringLiteral("select * from PL where ID='D2'"));
        list->open();
        list->first();
        QCOMPARE(list->text(QStringLiteral("PRIZN_DK")), QStringLiteral("3"));
    }
    QVERIFY(TakeDocumentLock(a));
    QCOMPARE(a.text(QStringLiteral("PRIZN_DK")), QStringLiteral("2"));
    QVERIFY(!TakeDocumentLock(b));
    QCOMPARE(b.state(), DataSet::State::Browse);
    QCOMPARE(b.text(QStringLiteral("PRIZN_DK")), QStringLiteral("3"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("2"));

    // Releasing names the state seen too: b sees the lock, a frees it first.
    b.close();
    b.open();
    b.first();
    QCOMPARE(b.text(QStringLiteral("PRIZN_DK")), QStringLiteral("2"));
    QVERIFY(ReleaseDocumentLock(a));
    QCOMPARE(a.text(QStringLiteral("PRIZN_DK")), QStringLiteral("3"));
    QVERIFY(!ReleaseDocumentLock(b));
    QCOMPARE(b.text(QStringLiteral("PRIZN_DK")), QStringLiteral("2"));
    QCOMPARE(stateOf(f->data(), QStringLiteral("D2")), QStringLiteral("3"));
}

void CommandsTest::unlockComparesAndSets_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("storedNow"); // written by another computer after the list was loaded; empty: deleted
    QTest::newRow("completed meanwhile") << "0" << "3";
    QTest::newRow("saved meanwhile") << "2" << "1";
    QTest::newRow("released and reopened from saved") << "2" << "0";
    QTest::newRow("deleted meanwhile") << "0" << "";
}

void CommandsTest::unlockComparesAndSets()
{
    QFETCH(QString, listed);
    QFETCH(QString, storedNow);
    SIGNED_IN(f, listed);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    if (storedNow.isEmpty())
        f->otherComputer().run(QStringLiteral("delete from PL where ID='D2'"));
    else
        f->otherComputer().run(QStringLiteral("update PL set PRIZN_DK=? where ID='D2'"), {storedNow});
    const QString before = everything(f->data());
    f->dialogs().yesNoAnswers.enqueue(true);

    Keys::press(Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(f->dialogs().log.size(), 3);
    QCOMPARE(f->dialogs().log.at(1), QStringLiteral("yesno:Разблокирование|Снять блокировку с документа N105 ?"));
    QVERIFY2(f->dialogs().log.at(2).startsWith(QStringLiteral("message:")), qPrintable(f->dialogs().log.at(2)));
    if (storedNow.isEmpty())
        QCOMPARE(f->dialogs().log.at(2), QStringLiteral("message:") + DocumentGoneMessage());
    QCOMPARE(everything(f->data()), before);
    // The list shows the document as it is now.
    QCOMPARE(listedState(w, QStringLiteral("D2")), storedNow.isEmpty() ? QStringLiteral("(not listed)") : storedNow);
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

// ---------------------------------------------------------------------------
// Insert and F7

namespace {

void preparePayer(TempDatabase &d)
{
    // The default payer is the second row, behind one that is not the default.
    d.db().execute(QStringLiteral("delete from S_PLAT"));
    const QString sql = QStringLiteral(
        "insert into S_PLAT (ID,INN,KPP,SCHET,BIK,NAME1,NAME2,NAME3,NAME4,NAME,PRIOR) values (?,?,?,?,?,?,?,?,?,?,?)");
    d.db().run(sql, {QStringLiteral("100000000000001"), QStringLiteral("7700000000"), QStringLiteral("770000000"),
                     QStringLiteral("40702810000000000000"), QStringLiteral("044525225"), QStringLiteral("Не тот"),
                     QString(""), QString(""), QString(""), QStringLiteral("Не тот"), QString("")});
    d.db().run(sql, {QStringLiteral("100000000000002"), QStringLiteral("500100732259"), QStringLiteral("500101001"),
                     QStringLiteral("40702810900000000042"), QStringLiteral("049999999"),
                     QStringLiteral("ООО \"Ёлка\""), QStringLiteral("вторая строка"), QStringLiteral("третья"),
                     QStringLiteral("четвёртая"), QStringLiteral("Ёлка"), QStringLiteral("v")});
    d.db().run(QStringLiteral("insert into BANK (NEWNUM,NAMEP,KSNP,NNP,TNP) values (?,?,?,?,?)"),
               {QStringLiteral("049999999"), QStringLiteral("АО \"БАНК ЁЛКИ\""),
                QStringLiteral("30101810000000000999"), QStringLiteral("ЛЕСНОЙ"), QStringLiteral("2")});
}

void setNumbering(TempDatabase &d, bool automatic, const QString &p1)
{
    d.db().run(QStringLiteral("update PARAM set P0=?, P1=? where PAS in ('1','2')"),
               {d.db().dialect().toDb(ColumnKind::Logical, automatic), p1});
}

QString p1Of(TempDatabase &d, const QString &pas)
{
    QSqlQuery q = d.db().run(QStringLiteral("select P1 from PARAM where PAS=?"), {pas});
    return q.next() ? q.value(0).toString() : QStringLiteral("(no user)");
}

// The stored document read back through the program's own reader.
struct Stored
{
    bool found = false;
    QHash<QString, QVariant> values;
};

Stored readDocument(Database &db, const QString &id)
{
    DataSet ds(db);
    ds.setSql(QStringLiteral("select * from PL where ID=?"), {id});
    ds.open();
    Stored s;
    if (ds.isEmpty())
        return s;
    ds.first();
    s.found = true;
    for (const QString &c : ds.columnNames())
        s.values.insert(c, ds.value(c));
    return s;
}

} // namespace

void CommandsTest::newDocument_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("p1After");
    QTest::addColumn<bool>("emptyRegister");
    const QDate p2 = signInMoment.date(), today = commandMoment.date();
    QTest::newRow("Insert, automatic") << int(Qt::Key_Insert) << "1" << true << "41" << "41" << p2 << "42" << false;
    QTest::newRow("F7, automatic") << int(Qt::Key_F7) << "1" << true << "41" << "41" << p2 << "42" << false;
    QTest::newRow("automatic, a carry") << int(Qt::Key_Insert) << "1" << true << "999" << "999" << p2 << "1000"
                                        << false;
    QTest::newRow("automatic, the widest number") << int(Qt::Key_Insert) << "1" << true << "9999999" << "9999999"
                                                  << p2 << "10000000" << false;
    QTest::newRow("automatic, leading zeros kept in the number")
        << int(Qt::Key_Insert) << "1" << true << "0041" << "0041" << p2 << "42" << false;
    QTest::newRow("automatic, another user") << int(Qt::Key_F7) << "2" << true << "5" << "5" << p2 << "6" << false;
    QTest::newRow("automatic, the first document of an empty register")
        << int(Qt::Key_Insert) << "1" << true << "1" << "1" << p2 << "2" << true;
    QTest::newRow("manual") << int(Qt::Key_Insert) << "1" << false << "41" << "" << today << "41" << false;
    QTest::newRow("manual, a P1 that is no number")
        << int(Qt::Key_F7) << "2" << false << "x" << "" << today << "x" << false;
    QTest::newRow("manual, an empty register") << int(Qt::Key_F7) << "1" << false << "41" << "" << today << "41"
                                               << true;
}

void CommandsTest::newDocument()
{
    QFETCH(int, key);
    QFETCH(QString, password);
    QFETCH(bool, automatic);
    QFETCH(QString, p1);
    QFETCH(QString, nom);
    QFETCH(QDate, date);
    QFETCH(QString, p1After);
    QFETCH(bool, emptyRegister);
    SIGNED_IN(
        f, QStringLiteral("3"),
        [&](TempDatabase &d) {
            preparePayer(d);
            setNumbering(d, automatic, p1);
            if (emptyRegister)
                d.db().execute(QStringLiteral("delete from PL"));
        },
        password);
    MainWindow &w = f->window();
    const QString pl = dump(f->data(), QStringLiteral("PL"));

    Keys::press(Qt::Key(key));
    QCOMPARE(f->dialogs().log.size(), 1);
    QCOMPARE(pageOf(w), QStringLiteral("new"));
    QCOMPARE(focusName(), QStringLiteral("edit_nom"));
    QCOMPARE(w.q1().state(), DataSet::State::Insert);
    QCOMPARE(editDate(w), date.toString(QStringLiteral("dd.MM.yy")));
    // The number is used up at once; the document waits for the editor.
    QCOMPARE(p1Of(f->data(), password), p1After);
    QCOMPARE(dump(f->data(), QStringLiteral("PL")), pl);
    const QString id = w.q1().text(QStringLiteral("ID"));
    QVERIFY2(QRegularExpression(QStringLiteral("^%1[0-9]{3}$").arg(TimestampIdOf(commandMoment).left(12)))
                 .match(id).hasMatch(),
             qPrintable(id));

    Keys::press(Qt::Key_Escape);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QVERIFY(f->dialogs().errors().isEmpty());
    QCOMPARE(listedState(w, id), QStringLiteral("1"));
    const Stored s = readDocument(f->data().db(), id);
    QVERIFY(s.found);
    const QHash<QString, QVariant> expected = {
        {"NAME_PL1", QStringLiteral("ООО \"Ёлка\"")},
        {"NAME_PL2", QStringLiteral("вторая строка")},
        {"NAME_PL3", QStringLiteral("третья")},
        {"NAME_PL4", QStringLiteral("четвёртая")},
        {"SCH_DT", QStringLiteral("40702810900000000042")},
        {"INN_PL", QStringLiteral("500100732259")},
        {"KPP_PL", QStringLiteral("500101001")},
        {"MFOBANK_PL", QStringLiteral("049999999")},
        {"BANK_PL1", QStringLiteral("АО \"БАНК ЁЛКИ\"")},
        {"K_SBANK_DT", QStringLiteral("30101810000000000999")},
        {"NNP_PL", QStringLiteral("ЛЕСНОЙ")},
        {"TNP_PL", QStringLiteral("п.")},
        {"NALOG", false},
        {"OCHER_PL", QStringLiteral("5")},
        {"VID_OP", QStringLiteral("01")},
        {"NDS", QStringLiteral("0")},
        {"LOGIN", password},
        {"ID", id},
        {"PRIZN_DK", QStringLiteral("1")},
        {"VID_PLAT", QStringLiteral("1")},
        {"NOM", nom},
        {"DATE", date},
    };
    for (auto it = s.values.cbegin(); it != s.values.cend(); ++it) {
        const QVariant want = expected.value(it.key());
        if (!want.isValid()) {
            QVERIFY2(it.value().isNull() || it.value().toString().isEmpty(),
                     qPrintable(it.key() + QStringLiteral(" holds ") + it.value().toString()));
        } else if (want.typeId() == QMetaType::Bool) {
            QVERIFY2(!it.value().isNull(), qPrintable(it.key()));
            QCOMPARE(it.value().toBool(), want.toBool());
        } else if (want.typeId() == QMetaType::QDate) {
            QCOMPARE(it.value().toDate(), want.toDate());
        } else {
            QVERIFY2(it.value().toString() == want.toString(),
                     qPrintable(QStringLiteral("%1: %2, expected %3").arg(it.key(), it.value().toString(),
                                                                           want.toString())));
        }
    }
    // Left early, the number stays used.
    QCOMPARE(p1Of(f->data(), password), p1After);
}

// One user signed in at two computers: each new document takes the next number as stored now.
void CommandsTest::numberingSharedByTwoComputers()
{
    SIGNED_IN(f, QStringLiteral("3"), [](TempDatabase &d) {
        preparePayer(d);
        setNumbering(d, true, QStringLiteral("41"));
    });
    MainWindow &a = f->window();
    SecondComputer b;
    QVERIFY(b.signIn(f->data().folder(), QStringLiteral("1")));

    QVERIFY(focusGrid(a));
    Keys::press(Qt::Key_Insert);
    QCOMPARE(a.q1().text(QStringLiteral("NOM")), QStringLiteral("41"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(p1Of(f->data(), QStringLiteral("1")), QStringLiteral("42"));

    QVERIFY(focusGrid(*b.window));
    Keys::press(Qt::Key_F7);
    QCOMPARE(pageOf(*b.window), QStringLiteral("new"));
    QCOMPARE(b.window->q1().text(QStringLiteral("NOM")), QStringLiteral("42"));
    QCOMPARE(p1Of(f->data(), QStringLiteral("1")), QStringLiteral("43"));
    Keys::press(Qt::Key_Escape);

    QVERIFY(focusGrid(a));
    Keys::press(Qt::Key_Insert);
    QCOMPARE(a.q1().text(QStringLiteral("NOM")), QStringLiteral("43"));
    QCOMPARE(p1Of(f->data(), QStringLiteral("1")), QStringLiteral("44"));
    QVERIFY(f->dialogs().errors().isEmpty());
    QVERIFY(b.dialogs.errors().isEmpty());
}

void CommandsTest::newDocumentKeepsUnsavedSetting()
{
    SIGNED_IN(f, QStringLiteral("3"), [](TempDatabase &d) {
        preparePayer(d);
        setNumbering(d, true, QStringLiteral("41"));
    });
    // A setting typed and left unsaved, as the settings panel leaves it after Esc.
    DataSet &user = f->window().qPas();
    user.edit();
    user.setValue(QStringLiteral("P5"), QStringLiteral("НДС не облагается"));
    QVERIFY(focusGrid(f->window()));
    Keys::press(Qt::Key_Insert);
    QCOMPARE(f->window().q1().text(QStringLiteral("NOM")), QStringLiteral("41"));
    QCOMPARE(f->data().scalar(QStringLiteral("select P5 from PARAM where PAS='1'")).toString(),
             QStringLiteral("НДС не облагается"));
    QCOMPARE(p1Of(f->data(), QStringLiteral("1")), QStringLiteral("42"));
}

void CommandsTest::newDocumentRefused_data()
{
    QTest::addColumn<QString>("sql"); // run after the payer is prepared
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("message"); // the exact message; empty: an error naming P1's value
    QTest::newRow("no default payer") << "update S_PLAT set PRIOR='' where PRIOR='v'" << "41" << noPayerMessage;
    QTest::newRow("no payers at all") << "delete from S_PLAT" << "41" << noPayerMessage;
    QTest::newRow("payer's bank missing") << "update S_PLAT set BIK='000000000' where PRIOR='v'" << "41"
                                          << noBankMessage;
    QTest::newRow("payer's bank missing, P1 no number") << "delete from BANK where NEWNUM='049999999'" << "4x"
                                                        << noBankMessage;
    QTest::newRow("payer's bank revoked") << "update BANK set OTZYV='V' where NEWNUM='049999999'" << "41"
                                          << revokedBankMessage;
    QTest::newRow("P1 with a letter") << "" << "4a1" << "";
    QTest::newRow("P1 fractional") << "" << "41.5" << "";
    QTest::newRow("P1 negative") << "" << "-5" << "";
    QTest::newRow("P1 with a sign") << "" << "+5" << "";
    QTest::newRow("P1 empty") << "" << "" << "";
    QTest::newRow("P1 wider than the number field") << "" << "12345678" << "";
}

void CommandsTest::newDocumentRefused()
{
    QFETCH(QString, sql);
    QFETCH(QString, p1);
    QFETCH(QString, message);
    SIGNED_IN(f, QStringLiteral("3"), [&](TempDatabase &d) {
        preparePayer(d);
        setNumbering(d, true, p1);
        if (!sql.isEmpty())
            d.db().execute(sql);
    });
    MainWindow &w = f->window();
    const QString before = everything(f->data());

    Keys::press(Qt::Key_Insert);
    QCOMPARE(f->dialogs().log.size(), 2);
    if (!message.isEmpty()) {
        QCOMPARE(f->dialogs().log.at(1), QStringLiteral("message:") + message);
    } else {
        const QString said = f->dialogs().log.at(1);
        QVERIFY2(said.startsWith(QStringLiteral("message:")) || said.startsWith(QStringLiteral("error:")),
                 qPrintable(said));
        if (!p1.isEmpty())
            QVERIFY2(said.contains(p1), qPrintable(said));
    }
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(p1Of(f->data(), QStringLiteral("1")), p1);
    QCOMPARE(w.qPas().text(QStringLiteral("P1")), p1);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(w.q1().recordCount(), 2);
}

// ---------------------------------------------------------------------------
// F5

void CommandsTest::copy()
{
    // Every column filled, with the values that text forms lose most easily.
    const auto source = [](TempDatabase &d) {
        QVariantMap columns;
        const TableDef &pl = *Schema::table(QStringLiteral("PL"));
        for (int c = 0; c < pl.columns.size(); ++c) {
            const ColumnDef &def = pl.columns.at(c);
            if (def.kind == ColumnKind::Text)
                columns.insert(QLatin1String(def.name),
                               QStringLiteral("Ё%1 ёлка 'кавычка' №").arg(c).left(qMax(1, def.width)));
        }
        columns.insert("ID", QStringLiteral("S"));
        columns.insert("NOM", QStringLiteral("1234567"));
        columns.insert("DATE", QDate(1950, 5, 1));
        columns.insert("S", 1234567.89);
        columns.insert("NALOG", true);
        columns.insert("CHEKED", QStringLiteral("V"));
        columns.insert("LOGIN", QStringLiteral("2"));
        columns.insert("PRIZN_DK", QStringLiteral("2"));
        columns.insert("VID_PLAT", QStringLiteral("3"));
        columns.insert("OCHER_PL", QStringLiteral("4"));
        columns.insert("NDS", QStringLiteral("20"));
        columns.insert("P22_KOD", QStringLiteral("1234567890123456789012345"));
        d.addDocument(QStringLiteral("PL"), columns);
    };
    SIGNED_IN(f, QStringLiteral("3"), source);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("S"));
    QCOMPARE(selectedId(w), QStringLiteral("S"));
    // Changed by another computer after the list was loaded: the copy takes it as stored now.
    f->otherComputer().run(QStringLiteral("update PL set NAZNACH1=? where ID='S'"), {QStringLiteral("изменено")});
    const int rows = w.q1().recordCount();

    Keys::press(Qt::Key_F5);
    QCOMPARE(f->dialogs().log.size(), 1);
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().recordCount(), rows + 1);
    const QString copyId = selectedId(w);
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]{15}$")).match(copyId).hasMatch(), qPrintable(copyId));

    const QVariantList original = storedRow(f->data(), QStringLiteral("S"));
    const QVariantList copied = storedRow(f->data(), copyId);
    QCOMPARE(copied.size(), 51);
    QCOMPARE(original.size(), copied.size());
    for (int c = 0; c < original.size(); ++c) {
        if (c == 47)
            continue;
        QVERIFY2(original.at(c) == copied.at(c) && original.at(c).isNull() == copied.at(c).isNull(),
                 qPrintable(QStringLiteral("column %1 (%2): %3, the copy %4")
                                .arg(c)
                                .arg(QLatin1String(Schema::table(QStringLiteral("PL"))->columns.at(c).name),
                                     original.at(c).toString(), copied.at(c).toString())));
    }
    const Stored s = readDocument(f->data().db(), copyId);
    QCOMPARE(s.values.value("S").toDouble(), 1234567.89);
    QCOMPARE(s.values.value("DATE").toDate(), QDate(1950, 5, 1));
    QCOMPARE(s.values.value("NALOG"), QVariant(true));
    QCOMPARE(s.values.value("NAZNACH1").toString(), QStringLiteral("изменено"));
    QCOMPARE(s.values.value("LOGIN").toString(), QStringLiteral("2"));
    QCOMPARE(s.values.value("PRIZN_DK").toString(), QStringLiteral("2"));

    // The copy is locked as its source was: Enter refuses it.
    Keys::press(Qt::Key_Return);
    QCOMPARE(f->dialogs().log.mid(1), QStringList{QStringLiteral("message:") + lockedMessage});
    QCOMPARE(selectedId(w), copyId);
    QCOMPARE(stateOf(f->data(), copyId), QStringLiteral("2"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

// Nulls stay nulls: no amount, no date, no tax flag, empty texts.
void CommandsTest::copyOfSparseDocument()
{
    SIGNED_IN(f, QStringLiteral("3"), [](TempDatabase &d) {
        d.addDocument(QStringLiteral("PL"), {{"ID", QStringLiteral("E")}, {"PRIZN_DK", QStringLiteral("1")}});
    });
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("E"));
    QCOMPARE(selectedId(w), QStringLiteral("E"));
    Keys::press(Qt::Key_F5);
    QVERIFY(f->dialogs().errors().isEmpty());
    const QString copyId = selectedId(w);
    QVERIFY(copyId != QLatin1String("E"));
    const QVariantList original = storedRow(f->data(), QStringLiteral("E"));
    const QVariantList copied = storedRow(f->data(), copyId);
    QCOMPARE(copied.size(), 51);
    for (int c = 0; c < original.size(); ++c) {
        if (c == 47)
            continue;
        QVERIFY2(original.at(c) == copied.at(c) && original.at(c).isNull() == copied.at(c).isNull(),
                 qPrintable(QStringLiteral("column %1: %2%3, the copy %4%5")
                                .arg(c)
                                .arg(original.at(c).toString(), original.at(c).isNull() ? "(null)" : "",
                                     copied.at(c).toString(), copied.at(c).isNull() ? "(null)" : "")));
    }
}

void CommandsTest::copyOfDeletedDocument()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    f->otherComputer().run(QStringLiteral("delete from PL where ID='D2'"));
    const QString before = everything(f->data());
    Keys::press(Qt::Key_F5);
    QCOMPARE(f->dialogs().log.mid(1), QStringList{QStringLiteral("message:") + DocumentGoneMessage()});
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

// ---------------------------------------------------------------------------
// Ctrl+F3

void CommandsTest::unlock_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("after");
    QTest::newRow("open, yes") << false << "0" << true << true << "1";
    QTest::newRow("open, no") << false << "0" << true << false << "0";
    QTest::newRow("reopened, yes") << false << "2" << true << true << "3";
    QTest::newRow("reopened, no") << false << "2" << true << false << "2";
    QTest::newRow("saved") << false << "1" << false << true << "1";
    QTest::newRow("completed") << false << "3" << false << true << "3";
    QTest::newRow("empty") << false << "" << false << true << "";
    QTest::newRow("another value") << false << "7" << false << true << "7";
    QTest::newRow("archive, reopened, yes") << true << "2" << true << true << "3";
    QTest::newRow("archive, open, yes") << true << "0" << true << true << "1";
    QTest::newRow("archive, open, no") << true << "0" << true << false << "0";
    QTest::newRow("archive, completed") << true << "3" << false << true << "3";
}

void CommandsTest::unlock()
{
    QFETCH(bool, archive);
    QFETCH(QString, state);
    QFETCH(bool, asked);
    QFETCH(bool, answer);
    QFETCH(QString, after);
    const QString table = archive ? QStringLiteral("PL_A") : QStringLiteral("PL");
    const QString id = archive ? QStringLiteral("A1") : QStringLiteral("D2");
    SIGNED_IN(f, QStringLiteral("3"), [&](TempDatabase &d) {
        d.db().run(QStringLiteral("update %1 set PRIZN_DK=? where ID=?").arg(table), {state, id});
    });
    MainWindow &w = f->window();
    if (archive)
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    selectRow(w, id);
    QCOMPARE(selectedId(w), id);
    const QString nom = w.q1().text(QStringLiteral("NOM"));
    f->dialogs().yesNoAnswers.enqueue(answer);

    Keys::press(Qt::Key_F3, Qt::ControlModifier);
    const QStringList expected =
        asked ? QStringList{QStringLiteral("yesno:Разблокирование|Снять блокировку с документа N") + nom
                            + QStringLiteral(" ?")}
              : QStringList{};
    QCOMPARE(f->dialogs().log.mid(1), expected);
    QCOMPARE(stateOf(f->data(), id, table), after);
    QCOMPARE(listedState(w, id), after);
    QCOMPARE(stateOf(f->data(), QStringLiteral("D1")), QStringLiteral("1"));
    QCOMPARE(selectedId(w), id);
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

// ---------------------------------------------------------------------------
// A failed write

namespace {

const QString failure = FailingWrites::message();


} // namespace

void CommandsTest::databaseErrorLeavesNothingPending_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("state"); // D2's
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "3" << "PL" << "update";
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << int(Qt::ControlModifier) << "2" << "PL" << "update";
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier) << "3" << "PL" << "insert";
    QTest::newRow("Insert, the number") << int(Qt::Key_Insert) << int(Qt::NoModifier) << "3" << "PARAM"
                                        << "update";
}

// The command ends with the database's message; no half-made edit is left
// for a later row move to write behind the user's back.
void CommandsTest::databaseErrorLeavesNothingPending()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, state);
    QFETCH(QString, table);
    QFETCH(QString, event);
    SIGNED_IN(f, state, [](TempDatabase &d) {
        preparePayer(d);
        setNumbering(d, true, QStringLiteral("41"));
    });
    MainWindow &w = f->window();
    selectRow(w, QStringLiteral("D2"));
    FailingWrites::refuse(f->otherComputer(), table, event);
    const QString before = everything(f->data());
    f->dialogs().yesNoAnswers.enqueue(true);

    Keys::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f->dialogs().errors().size(), 1);
    QVERIFY2(f->dialogs().errors().first().contains(failure), qPrintable(f->dialogs().errors().first()));
    QCOMPARE(pageOf(w), QStringLiteral("all"));
    QCOMPARE(w.q1().state(), DataSet::State::Browse);
    QCOMPARE(w.qPas().state(), DataSet::State::Browse);
    QCOMPARE(everything(f->data()), before);

    // Writes work again; moving in the list writes nothing.
    FailingWrites::allow(f->otherComputer(), table);
    Keys::press(Qt::Key_Up);
    Keys::press(Qt::Key_Down);
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(listedState(w, QStringLiteral("D2")), state);
    // The number was not used: the next new document takes it.
    Keys::press(Qt::Key_Insert);
    QCOMPARE(pageOf(w), QStringLiteral("new"));
    QCOMPARE(w.q1().text(QStringLiteral("NOM")), QStringLiteral("41"));
}

// ---------------------------------------------------------------------------
// F1 and F2

void CommandsTest::help()
{
    SIGNED_IN(f);
    QVERIFY(!Installer::contactAddress().isEmpty());
    const QString before = everything(f->data());
    Keys::press(Qt::Key_F1);
    QCOMPARE(f->dialogs().log.mid(1),
             QStringList{QStringLiteral("message:Обратитесь к разработчику: ") + Installer::contactAddress()});
    QCOMPARE(everything(f->data()), before);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void CommandsTest::menu()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    MenuPanel *panel = w.menuPanel();
    QCOMPARE(panel->objectName(), QStringLiteral("Panel_menu"));
    QVERIFY(!panel->isVisible());
    const QString before = everything(f->data());

    Keys::press(Qt::Key_F2);
    QVERIFY(panel->isVisible());
    QCOMPARE(focusName(), QStringLiteral("lb_menu"));
    QListWidget *list = panel->list();
    QCOMPARE(QApplication::focusWidget(), list);
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("ПАРАМЕТРЫ"), QStringLiteral("СПРАВОЧНИК ПЛАТЕЛЬЩИКОВ"),
                                   QStringLiteral("СПРАВОЧНИК ПОЛУЧАТЕЛЕЙ"), QStringLiteral("ВЫГРУЗКА В БАНК"),
                                   QStringLiteral("ЗАГРУЗКА СПРАВОЧНИКА БАНКОВ")}));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->selectedItems().first()->text(), QStringLiteral("ПАРАМЕТРЫ"));

    // Moved off the first entry, the next F2 selects it again.
    Keys::press(Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!panel->isVisible());
    QVERIFY(w.isVisible()); // Esc in the menu does not ask to quit
    Keys::press(Qt::Key_F2);
    QCOMPARE(focusName(), QStringLiteral("lb_menu"));
    QCOMPARE(list->currentRow(), 0);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!panel->isVisible());
    QCOMPARE(f->dialogs().log.size(), 1);
    QCOMPARE(everything(f->data()), before);
}

void CommandsTest::menuOpensDirectories_data()
{
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("list");
    QTest::newRow("payers") << 1 << "Panel_plat" << "grid_plat";
    QTest::newRow("recipients") << 2 << "Panel_pol" << "Grid_pol";
}

void CommandsTest::menuOpensDirectories()
{
    QFETCH(int, downs);
    QFETCH(QString, panel);
    QFETCH(QString, list);
    SIGNED_IN(f);
    Keys::press(Qt::Key_F2);
    for (int i = 0; i < downs; ++i)
        Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Return);
    QWidget *directory = f->window().findChild<QWidget *>(panel);
    QVERIFY(directory && directory->isVisible());
    QCOMPARE(focusName(), list);
    QVERIFY(!f->window().menuPanel()->isVisible()); // the menu hid as the focus left it
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!directory->isVisible());
    QCOMPARE(pageOf(f->window()), QStringLiteral("all"));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
