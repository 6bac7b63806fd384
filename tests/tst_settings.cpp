#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "admin/AdminPage.h"
#include "directories/MenuPanel.h"
#include "directories/SettingsPanel.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"
#include "store/Clock.h"
#include "store/Installer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QStringList entries = {
    "автонумерация",      "следующий номер",
    "следующая дата",     "контроль налог.парам.",
    "кол. экземпляров при печати", "Текст,если нет НДС",
    "Права доступа",
};

// The settings of a new user, P0 to P6, as the tables give them back.
const QStringList defaults = {"true", "1", "01.01.01", "True", "1", "без НДС.", "1"};

// A stored value as text; a logical as "true" or "false" on both engines.
QString text(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("<null>");
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return v.toString();
}

QString param(TempDatabase &d, const QString &pas, const QString &column)
{
    QSqlQuery q = d.db().run(QStringLiteral("select %1 from PARAM where PAS=?").arg(column), {pas});
    if (!q.next())
        return QStringLiteral("(no row)");
    const QString value = text(q.value(0));
    if (column == QLatin1String("P0")) // SQLite keeps a logical as 0 or 1
        return value == QLatin1String("1") ? QStringLiteral("true") : value == QLatin1String("0") ? QStringLiteral("false") : value;
    return value;
}

// Every stored row of PARAM, for telling whether anything was written.
QString users(TempDatabase &d)
{
    QSqlQuery q = d.db().run(QStringLiteral("select LOGIN,PAS,P0,P1,P2,P3,P4,P5,P6 from PARAM order by RID"));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c)
            values << (c == 2 ? (q.value(c).toBool() ? QStringLiteral("true") : QStringLiteral("false")) : text(q.value(c)));
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

int count(TempDatabase &d, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = d.db().run(sql, values);
    return q.next() ? q.value(0).toInt() : -1;
}

QVariantMap document(const QString &id, const QString &login)
{
    return {{"ID", id},           {"DATE", QDate(2024, 3, 10)}, {"NOM", id.right(3)}, {"S", 100.0},
            {"NALOG", false},     {"VID_PLAT", "1"},            {"LOGIN", login},     {"PRIZN_DK", "3"}};
}

// Two documents of user 1 and three of user 2.
void fiveDocuments(TempDatabase &d)
{
    const QStringList logins = {"1", "1", "2", "2", "2"};
    for (int i = 0; i < logins.size(); ++i)
        d.addDocument(QStringLiteral("PL"), document(QStringLiteral("10000000000010%1").arg(i), logins.at(i)));
}

std::unique_ptr<WindowFixture> signedIn(const QString &password, const std::function<void(TempDatabase &)> &prepare = {})
{
    auto f = WindowFixture::signedInOver(password, prepare);
    if (f && password != AdministratorCode)
        f->window().registerPage()->grid()->setFocus();
    return f;
}

// F2, Enter on "ПАРАМЕТРЫ": the settings list has the focus.
bool openSettings()
{
    Keys::press(Qt::Key_F2);
    Keys::press(Qt::Key_Return);
    return focusName() == QLatin1String("lb_param");
}

// From the list: Enter on the entry at this position.
void enterSetting(int position)
{
    for (int i = 0; i < position; ++i)
        Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Return);
}

QString shown(SettingsPanel *panel, int position)
{
    QWidget *c = panel->control(position);
    if (auto *check = qobject_cast<QCheckBox *>(c))
        return check->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    auto *box = qobject_cast<QLineEdit *>(c);
    return box ? box->text() : QStringLiteral("(no control)");
}

QString cell(AdminPage *page, int row, int column)
{
    QAbstractItemModel *m = page->grid()->model();
    return m->data(m->index(row, column)).toString();
}

// Types into the grid's current cell through its in-place editor and confirms with Enter.
void typeCell(const QString &value)
{
    Keys::press(Qt::Key_Return);
    if (auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        box->selectAll();
    Keys::type(value);
    Keys::press(Qt::Key_Return);
}

void setCurrentCell(AdminPage *page, int row, int column)
{
    QTableView *grid = page->grid();
    grid->setCurrentIndex(grid->model()->index(row, column));
    grid->setFocus();
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void cleanup();

    void panelShowsTheSettings();
    void checkBoxes_data();
    void checkBoxes();
    void editBoxes_data();
    void editBoxes();
    void nextNumberTakenByInsert();
    void escDropsTheTypedValue_data();
    void escDropsTheTypedValue();
    void escInTheListReturnsToTheRegister();
    void refusedSaveKeepsTheStoredRow();
    void accessRightsRestrictTheRegister_data();
    void accessRightsRestrictTheRegister();

    void adminPage();
    void addTwiceGivesDefaults_data();
    void addTwiceGivesDefaults();
    void newUserSignsInAndFollowsHisSettings();
    void passwordRefusals_data();
    void passwordRefusals();
    void movingToAnotherRowSavesTheRow();
    void saveAndDeleteWithNothingToDo();
    void deletingAUserKeepsHisDocuments();
};

void SettingsTest::initTestCase_data()
{
    Engines::addRows();
}

void SettingsTest::cleanup()
{
    Clock::set(QDateTime());
}

void SettingsTest::panelShowsTheSettings()
{
    auto f = signedIn(QStringLiteral("1"), [](TempDatabase &d) {
        d.db().run(QStringLiteral("update PARAM set P0=?, P1='77', P3='False', P4='3', P5='НДС не облагается', P6='0' "
                                  "where PAS='1'"),
                   {d.db().dialect().toDb(ColumnKind::Logical, true)});
    });
    QVERIFY(f);
    SettingsPanel *panel = f->window().settingsPanel();
    QVERIFY(!panel->isVisible());
    QVERIFY(openSettings());
    QCOMPARE(panel->objectName(), QStringLiteral("Panel_param"));
    QVERIFY(panel->isVisible());
    QVERIFY(!f->window().menuPanel()->isVisible());
    QListWidget *list = panel->list();
    QStringList listed;
    for (int i = 0; i < list->count(); ++i)
        listed << list->item(i)->text();
    QCOMPARE(listed, entries);
    QCOMPARE(list->currentRow(), 0);

    const QStringList expected = {"true", "77", Clock::today().toString("dd.MM.yy"), "false", "3", "НДС не облагается", "0"};
    for (int i = 0; i < 7; ++i) {
        QWidget *c = panel->control(i);
        QVERIFY(c);
        QCOMPARE(c->objectName(), QStringLiteral("p%1").arg(i));
        const bool check = i == 0 || i == 3;
        QCOMPARE(qobject_cast<QCheckBox *>(c) != nullptr, check);
        if (check)
            QCOMPARE(static_cast<QCheckBox *>(c)->text(), QStringLiteral("да"));
        QCOMPARE(shown(panel, i), expected.at(i));
        // Beside its entry: the control's middle lies within the entry's row.
        const QRect item = list->visualItemRect(list->item(i));
        const int middle = c->mapTo(panel, c->rect().center()).y();
        const int top = list->viewport()->mapTo(panel, item.topLeft()).y();
        QVERIFY2(middle >= top && middle <= top + item.height(),
                 qPrintable(QStringLiteral("p%1 middle %2, entry %3 to %4").arg(i).arg(middle).arg(top).arg(top + item.height())));
        QVERIFY(c->mapTo(panel, QPoint(0, 0)).x() >= list->mapTo(panel, QPoint(list->width(), 0)).x());
    }
    QStringList labels;
    for (QLabel *l : panel->findChildren<QLabel *>())
        labels << l->text();
    QVERIFY(labels.contains(QStringLiteral("0 - видно все платежки\n1 - видно только свои")));
    QVERIFY(labels.contains(QStringLiteral("Enter-изменение, Esc-выход")));
    // Letters do not move the selection.
    Keys::type(QStringLiteral("к"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(focusName(), QStringLiteral("lb_param"));
}

void SettingsTest::checkBoxes_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("stored"); // "True" or "False" before
    QTest::addColumn<QString>("after");
    QTest::newRow("P0 on to off") << 0 << "True" << "false";
    QTest::newRow("P0 off to on") << 0 << "False" << "true";
    QTest::newRow("P3 on to off") << 3 << "True" << "False";
    QTest::newRow("P3 off to on") << 3 << "False" << "True";
}

void SettingsTest::checkBoxes()
{
    QFETCH(int, position);
    QFETCH(QString, stored);
    QFETCH(QString, after);
    const QString column = QStringLiteral("P%1").arg(position);
    auto f = signedIn(QStringLiteral("1"), [&](TempDatabase &d) {
        const QVariant v = position == 0 ? d.db().dialect().toDb(ColumnKind::Logical, stored == "True") : QVariant(stored);
        d.db().run(QStringLiteral("update PARAM set %1=? where PAS='1'").arg(column), {v});
    });
    QVERIFY(f);
    SettingsPanel *panel = f->window().settingsPanel();
    QVERIFY(openSettings());
    enterSetting(position);
    QCOMPARE(focusName(), column.toLower());
    Keys::press(Qt::Key_Space);
    QCOMPARE(param(f->data(), "1", column).toLower(), stored.toLower()); // not before Enter
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("lb_param"));
    QCOMPARE(param(f->data(), "1", column), after);
    QCOMPARE(f->window().qPas().logical(column), after.toLower() == "true");
    QCOMPARE(shown(panel, position), after.toLower());
    QCOMPARE(f->window().qPas().state(), DataSet::State::Browse);
    QVERIFY(f->dialogs().errors().isEmpty());
}

void SettingsTest::editBoxes_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("typed");
    QTest::newRow("P1") << 1 << "4051";
    QTest::newRow("P2") << 2 << "05.06.24";
    QTest::newRow("P4") << 4 << "3";
    QTest::newRow("P5 in Cyrillic") << 5 << "НДС не облагается";
    QTest::newRow("P5 emptied") << 5 << "";
    QTest::newRow("P6") << 6 << "0";
}

// What is typed is stored, shown, and held by the user's row that every other part reads.
void SettingsTest::editBoxes()
{
    QFETCH(int, position);
    QFETCH(QString, typed);
    const QString column = QStringLiteral("P%1").arg(position);
    auto f = signedIn(QStringLiteral("2"));
    QVERIFY(f);
    SettingsPanel *panel = f->window().settingsPanel();
    QVERIFY(openSettings());
    enterSetting(position);
    QCOMPARE(focusName(), column.toLower());
    QCOMPARE(f->window().qPas().state(), DataSet::State::Edit);
    Keys::type(typed); // the stored value is selected: typing replaces it
    if (typed.isEmpty())
        Keys::press(Qt::Key_Delete);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("lb_param"));
    QCOMPARE(param(f->data(), "2", column), typed);
    QCOMPARE(f->window().session().setting(column), typed);
    QCOMPARE(shown(panel, position), typed);
    QCOMPARE(panel->list()->currentRow(), position);
    QCOMPARE(f->window().qPas().state(), DataSet::State::Browse);
}

void SettingsTest::nextNumberTakenByInsert()
{
    auto f = signedIn(QStringLiteral("1"));
    QVERIFY(f);
    MainWindow &w = f->window();
    QVERIFY(openSettings());
    enterSetting(1);
    Keys::type(QStringLiteral("25"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(param(f->data(), "1", "P1"), QStringLiteral("25"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    Keys::press(Qt::Key_Insert);
    QCOMPARE(w.pages()->currentWidget(), static_cast<QWidget *>(w.editorPage()));
    auto *number = qobject_cast<QLineEdit *>(w.editorPage()->control(QStringLiteral("edit_nom")));
    QVERIFY(number);
    QCOMPARE(number->text(), QStringLiteral("25"));
    QCOMPARE(param(f->data(), "1", "P1"), QStringLiteral("26"));
    // The panel shows the number as it is now.
    QCOMPARE(shown(w.settingsPanel(), 1), QStringLiteral("26"));
}

void SettingsTest::escDropsTheTypedValue_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("typed"); // empty: Space on a check box
    QTest::newRow("P1") << 1 << "99";
    QTest::newRow("P5") << 5 << "чужой текст";
    QTest::newRow("P0") << 0 << "";
}

// Esc shows the stored value again, and a later save of the row does not store what was abandoned.
void SettingsTest::escDropsTheTypedValue()
{
    QFETCH(int, position);
    QFETCH(QString, typed);
    auto f = signedIn(QStringLiteral("1"));
    QVERIFY(f);
    MainWindow &w = f->window();
    SettingsPanel *panel = w.settingsPanel();
    const QString before = users(f->data());
    QVERIFY(openSettings());
    const QString stored = shown(panel, position);
    const QString column = QStringLiteral("P%1").arg(position);
    const QString storedColumn = param(f->data(), "1", column);
    const QString number = param(f->data(), "1", "P1");
    enterSetting(position);
    typed.isEmpty() ? Keys::press(Qt::Key_Space) : Keys::type(typed);
    QVERIFY(shown(panel, position) != stored);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("lb_param"));
    QCOMPARE(shown(panel, position), stored);
    QCOMPARE(w.qPas().state(), DataSet::State::Browse);
    QCOMPARE(users(f->data()), before);

    // A new automatically numbered document saves the row: with the stored values only.
    Keys::press(Qt::Key_Escape);
    Keys::press(Qt::Key_Insert);
    QCOMPARE(w.pages()->currentWidget(), static_cast<QWidget *>(w.editorPage()));
    QCOMPARE(w.q1().text(QStringLiteral("NOM")), number);
    QCOMPARE(param(f->data(), "1", "P1"), QString::number(number.toInt() + 1));
    if (position != 1)
        QCOMPARE(param(f->data(), "1", column), storedColumn);
    QCOMPARE(shown(panel, position), position == 1 ? QString::number(number.toInt() + 1) : stored);
}

void SettingsTest::escInTheListReturnsToTheRegister()
{
    auto f = signedIn(QStringLiteral("1"));
    QVERIFY(f);
    const QString before = users(f->data());
    QVERIFY(openSettings());
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!f->window().settingsPanel()->isVisible());
    QVERIFY(f->window().isVisible()); // not the register's question to quit
    QVERIFY(f->dialogs().log.size() == 1);
    QCOMPARE(users(f->data()), before);
    // Shown again, the list starts at its first entry.
    QVERIFY(openSettings());
    QCOMPARE(f->window().settingsPanel()->list()->currentRow(), 0);
}

// The database refuses the write: its message, nothing stored, the row not left half-edited.
void SettingsTest::refusedSaveKeepsTheStoredRow()
{
    auto f = signedIn(QStringLiteral("1"));
    QVERIFY(f);
    MainWindow &w = f->window();
    QVERIFY(openSettings());
    const QString before = users(f->data());
    FailingWrites::refuse(f->data().db(), QStringLiteral("PARAM"), QStringLiteral("update"));
    enterSetting(4);
    Keys::type(QStringLiteral("7"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(f->dialogs().errors().size(), 1);
    QVERIFY(f->dialogs().errors().first().contains(FailingWrites::message()));
    QCOMPARE(users(f->data()), before);
    QCOMPARE(w.qPas().state(), DataSet::State::Browse);
    QCOMPARE(w.session().setting(QStringLiteral("P4")), param(f->data(), "1", "P4"));
    QCOMPARE(focusName(), QStringLiteral("p4")); // another try or Esc
    FailingWrites::allow(f->data().db(), QStringLiteral("PARAM"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(param(f->data(), "1", "P4"), QStringLiteral("7"));
    QCOMPARE(focusName(), QStringLiteral("lb_param"));
}

void SettingsTest::accessRightsRestrictTheRegister_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("listed");
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("1") << "1" << 2;
    QTest::newRow("0") << "0" << 5;
}

void SettingsTest::accessRightsRestrictTheRegister()
{
    QFETCH(QString, typed);
    QFETCH(int, listed);
    auto f = signedIn(QStringLiteral("1"), [](TempDatabase &d) {
        fiveDocuments(d);
        d.db().execute(QStringLiteral("update PARAM set P6='5' where PAS='1'"));
    });
    QVERIFY(f);
    MainWindow &w = f->window();
    QCOMPARE(w.q1().recordCount(), 2);
    Keys::press(Qt::Key_Down); // the second document stays selected across the change
    const QString selected = w.q1().text(QStringLiteral("ID"));
    QVERIFY(openSettings());
    enterSetting(6);
    Keys::type(typed);
    Keys::press(Qt::Key_Return);
    QCOMPARE(param(f->data(), "1", "P6"), typed);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(w.q1().recordCount(), listed);
    QCOMPARE(w.registerPage()->grid()->model()->rowCount(), listed);
    QCOMPARE(w.q1().text(QStringLiteral("ID")), selected);
    QCOMPARE(w.registerPage()->grid()->currentIndex().row(), w.q1().recNo());
    for (int row = 0; row < w.q1().recordCount(); ++row)
        if (listed == 2)
            QCOMPARE(w.q1().rawAt(row, w.q1().columnIndex(QStringLiteral("LOGIN"))), QStringLiteral("1"));
}

// ---------------------------------------------------------------------------
// The administrator's page

void SettingsTest::adminPage()
{
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    MainWindow &w = f->window();
    AdminPage *page = w.adminPage();
    QCOMPARE(w.pages()->currentWidget(), static_cast<QWidget *>(page));
    QCOMPARE(focusName(), QStringLiteral("grid_admin"));
    QCOMPARE(page->query().objectName(), QStringLiteral("q_admin"));
    QAbstractItemModel *m = page->grid()->model();
    QCOMPARE(m->columnCount(), 2);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("LOGIN"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("PAS"));
    // Every user but the administrator.
    QCOMPARE(m->rowCount(), count(f->data(), QStringLiteral("select count(*) from PARAM")) - 1);
    for (int row = 0; row < m->rowCount(); ++row)
        QVERIFY(cell(page, row, 1) != AdministratorCode);
    QCOMPARE(cell(page, 0, 0), QStringLiteral("Иванова Анна"));
    QStringList captions;
    for (int i = 0; i < 3; ++i)
        captions << page->button(i)->text();
    QCOMPARE(captions, (QStringList{"Добавить", "Сохранить", "Удалить"}));
    QVERIFY(page->button(0)->x() < page->button(1)->x() && page->button(1)->x() < page->button(2)->x());
    const QStringList note = {
        "Введите пользователей: ",
        "в поле LOGIN введите имя,",
        "",
        "(у разных пользователей разные пароли),",
        "затем закройте программу,",
        "перезайдите с паролем пользователя ",
        "и настройте параметры (F2 - Меню, \"Параметры\")",
    };
    QString shownNote;
    for (QLabel *l : page->findChildren<QLabel *>())
        if (l->text().startsWith(note.first()))
            shownNote = l->text();
    const QStringList lines = shownNote.split('\n');
    QCOMPARE(lines.size(), 7);
    for (int i = 0; i < 7; ++i)
        if (i != 2)
            QCOMPARE(lines.at(i), note.at(i));
    QVERIFY(lines.at(2).contains(QStringLiteral("PAS")));
    QVERIFY(lines.at(2).contains(AdministratorCode));
    QVERIFY(!QGuiApplication::overrideCursor()); // the pointer stays visible
}

void SettingsTest::addTwiceGivesDefaults_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("the button") << true;
    QTest::newRow("Insert in the grid") << false;
}

void SettingsTest::addTwiceGivesDefaults()
{
    QFETCH(bool, button);
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    const int before = page->grid()->model()->rowCount();
    for (int i = 0; i < 2; ++i) {
        if (button)
            QTest::mouseClick(page->button(0), Qt::LeftButton);
        else
            Keys::press(Qt::Key_Insert);
        QCOMPARE(focusName(), QStringLiteral("grid_admin"));
        // Stored at once, before anything is typed.
        QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PARAM where coalesce(PAS,'')=''")), i + 1);
    }
    QCOMPARE(page->grid()->model()->rowCount(), before + 2);
    QCOMPARE(page->query().state(), DataSet::State::Browse);
    QSqlQuery q = f->data().db().run(QStringLiteral("select LOGIN,P0,P1,P2,P3,P4,P5,P6 from PARAM where coalesce(PAS,'')=''"));
    int rows = 0;
    while (q.next()) {
        ++rows;
        QCOMPARE(q.value(0).toString(), QString());
        QStringList values;
        for (int c = 1; c < 8; ++c)
            values << (c == 1 ? (q.value(c).toBool() ? QStringLiteral("true") : QStringLiteral("false")) : q.value(c).toString());
        QCOMPARE(values, defaults);
    }
    QCOMPARE(rows, 2);
    // The grid's cursor is on the new row, in LOGIN, ready for the name.
    const QModelIndex current = page->grid()->currentIndex();
    QCOMPARE(current.column(), 0);
    QCOMPARE(cell(page, current.row(), 0), QString());
    QCOMPARE(cell(page, current.row(), 1), QString());
}

// The administrator adds a user with a name and a free password; that user signs in and his settings lead.
void SettingsTest::newUserSignsInAndFollowsHisSettings()
{
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    Keys::press(Qt::Key_Insert);
    Keys::type(QStringLiteral("Сидоров Олег")); // the first letter opens the cell
    QCOMPARE(focusName(), QStringLiteral("edit_LOGIN"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("grid_admin"));
    Keys::press(Qt::Key_Right);
    typeCell(QStringLiteral("1")); // Ивановой's
    QCOMPARE(f->dialogs().messages().size(), 1);
    QVERIFY(f->dialogs().messages().first().contains(QStringLiteral("«1»")));
    typeCell(QStringLiteral("7"));
    QCOMPARE(f->dialogs().messages().size(), 1);
    QCOMPARE(cell(page, page->grid()->currentIndex().row(), 1), QStringLiteral("7"));
    QTest::mouseClick(page->button(1), Qt::LeftButton);
    QCOMPARE(param(f->data(), "7", "LOGIN"), QStringLiteral("Сидоров Олег"));
    QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PARAM where PAS='1'")), 1);

    // Signed in empty, the program ends: rows left without a password are no way in.
    Keys::press(Qt::Key_Insert);
    const int petrov = page->grid()->model()->rowCount() - 1;
    QCOMPARE(cell(page, petrov, 0), QStringLiteral("Петров Сергей"));
    setCurrentCell(page, petrov, 1);
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_Delete);
    Keys::press(Qt::Key_Backspace);
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PARAM where LOGIN=? and coalesce(PAS,'')=''"),
                   {QStringLiteral("Петров Сергей")}),
             1);
    {
        ScriptedDialogs dialogs;
        Database db;
        MainWindow window(db, dialogs);
        dialogs.textAnswers.enqueue(QString());
        QVERIFY(!window.ConnectAndSignIn(f->data().folder()));
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("Неверный пароль")});
    }

    // The new user signs in on another computer, sets his number and copies, and makes a document.
    ScriptedDialogs dialogs;
    Database db;
    MainWindow window(db, dialogs);
    dialogs.textAnswers.enqueue(QStringLiteral("7"));
    QVERIFY(window.ConnectAndSignIn(f->data().folder()));
    QCOMPARE(window.windowTitle(), QStringLiteral("Добрый день, Сидоров Олег!"));
    QCOMPARE(window.pages()->currentWidget(), static_cast<QWidget *>(window.registerPage()));
    window.resize(1024, 700);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.registerPage()->grid()->setFocus();
    QVERIFY(openSettings());
    enterSetting(1);
    Keys::type(QStringLiteral("300"));
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("p4"));
    Keys::type(QStringLiteral("2"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(param(f->data(), "7", "P4"), QStringLiteral("2"));
    QCOMPARE(window.session().setting(QStringLiteral("P4")), QStringLiteral("2"));
    Keys::press(Qt::Key_Escape);
    Keys::press(Qt::Key_Insert);
    QCOMPARE(window.pages()->currentWidget(), static_cast<QWidget *>(window.editorPage()));
    QCOMPARE(window.q1().text(QStringLiteral("NOM")), QStringLiteral("300"));
    QCOMPARE(window.q1().text(QStringLiteral("LOGIN")), QStringLiteral("7"));
    // The default date of a new user was overwritten by signing in.
    QCOMPARE(window.q1().date(QStringLiteral("DATE")), Clock::today());
    QCOMPARE(param(f->data(), "7", "P1"), QStringLiteral("301"));
    QGuiApplication::restoreOverrideCursor();
}

void SettingsTest::passwordRefusals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("another user's") << "2" << true;
    QTest::newRow("the administrator's code") << AdministratorCode << true;
    QTest::newRow("two characters") << "34" << true;
    QTest::newRow("a blank") << " " << true;
    QTest::newRow("his own again") << "1" << false;
    QTest::newRow("a free one") << "5" << false;
    QTest::newRow("a free Cyrillic letter") << "ж" << false;
}

void SettingsTest::passwordRefusals()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    const QString before = users(f->data());
    setCurrentCell(page, 0, 1); // Иванова Анна, PAS "1"
    typeCell(typed);
    QCOMPARE(f->dialogs().messages().size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(f->dialogs().messages().first().contains(QStringLiteral("Пароль не изменён")));
    QCOMPARE(cell(page, 0, 1), refused ? QStringLiteral("1") : typed);
    QCOMPARE(focusName(), QStringLiteral("grid_admin"));
    Keys::press(Qt::Key_Down); // the move saves the row
    if (refused || typed == QLatin1String("1")) {
        QCOMPARE(users(f->data()), before);
    } else {
        QCOMPARE(param(f->data(), typed, "LOGIN"), QStringLiteral("Иванова Анна"));
        QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PARAM where PAS='1'")), 0);
    }
    QVERIFY(f->dialogs().errors().isEmpty());
}

void SettingsTest::movingToAnotherRowSavesTheRow()
{
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    setCurrentCell(page, 1, 0); // Петров Сергей
    typeCell(QStringLiteral("Петров С.И."));
    QCOMPARE(param(f->data(), "2", "LOGIN"), QStringLiteral("Петров Сергей")); // not yet
    QCOMPARE(cell(page, 1, 0), QStringLiteral("Петров С.И."));
    Keys::press(Qt::Key_Up);
    QCOMPARE(param(f->data(), "2", "LOGIN"), QStringLiteral("Петров С.И."));
    QCOMPARE(page->grid()->currentIndex().row(), 0);

    // Esc on a row drops what was typed into it.
    typeCell(QStringLiteral("Никто"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(cell(page, 0, 0), QStringLiteral("Иванова Анна"));
    Keys::press(Qt::Key_Down);
    QCOMPARE(param(f->data(), "1", "LOGIN"), QStringLiteral("Иванова Анна"));
    QVERIFY(f->dialogs().log.size() == 1);

    // Ctrl+S stores the row in place.
    typeCell(QStringLiteral("Петров Сергей"));
    Keys::press(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(param(f->data(), "2", "LOGIN"), QStringLiteral("Петров Сергей"));
    QCOMPARE(page->query().state(), DataSet::State::Browse);
    QCOMPARE(page->grid()->currentIndex().row(), 1);
}

void SettingsTest::saveAndDeleteWithNothingToDo()
{
    auto f = signedIn(AdministratorCode);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    const QString before = users(f->data());
    QTest::mouseClick(page->button(1), Qt::LeftButton);
    QCOMPARE(f->dialogs().messages().size(), 1);
    QCOMPARE(users(f->data()), before);
    // Ctrl+Delete, twice: the demo's two users are gone, the administrator stays.
    Keys::press(Qt::Key_Delete, Qt::ControlModifier);
    QTest::mouseClick(page->button(2), Qt::LeftButton);
    QCOMPARE(page->grid()->model()->rowCount(), 0);
    QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PARAM")), 1);
    QCOMPARE(f->dialogs().messages().size(), 1);
    const QString admin = users(f->data());
    QTest::mouseClick(page->button(2), Qt::LeftButton);
    QCOMPARE(f->dialogs().messages().size(), 2);
    QCOMPARE(users(f->data()), admin);
    QCOMPARE(param(f->data(), AdministratorCode, "LOGIN"), QStringLiteral("Администратор"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

void SettingsTest::deletingAUserKeepsHisDocuments()
{
    auto f = signedIn(AdministratorCode, fiveDocuments);
    QVERIFY(f);
    AdminPage *page = f->window().adminPage();
    setCurrentCell(page, 1, 0);
    QCOMPARE(cell(page, 1, 1), QStringLiteral("2"));
    QTest::mouseClick(page->button(2), Qt::LeftButton);
    QCOMPARE(param(f->data(), "2", "LOGIN"), QStringLiteral("(no row)"));
    QCOMPARE(param(f->data(), "1", "LOGIN"), QStringLiteral("Иванова Анна"));
    QCOMPARE(count(f->data(), QStringLiteral("select count(*) from PL where LOGIN='2'")), 3);
    QCOMPARE(page->grid()->model()->rowCount(), 1);
    QVERIFY(f->dialogs().log.size() == 1);
}

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
