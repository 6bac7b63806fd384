#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "directories/DefaultPayer.h"
#include "directories/DirectoryPanel.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"
#include "store/AppError.h"
#include "widgets/CharacterLimit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QThread>

#include <atomic>
#include <barrier>
#include <functional>
#include <memory>

using Kind = DirectoryPanel::Kind;
Q_DECLARE_METATYPE(DirectoryPanel::Kind)

namespace {

const QString knownBik = QStringLiteral("044525225");
const QString knownBank = QStringLiteral("ПАО СБЕРБАНК");
const QString noBank = QStringLiteral("Банка не существует");
const QString failure = FailingWrites::message();

struct Party
{
    QString id, inn, schet, bik, name1, name, prior;
};

// A: the default payer; B and C are not. Listed by ID: A, B, C.
const QList<Party> payers = {
    {"100000000000001", "7701000001", "40702810000000000001", "144525225", "ООО \"Альфа\"", "Альфа", "v"},
    {"200000000000002", "7701000002", "40702810000000000002", "044525225", "ООО \"Бета\"", "Бета", ""},
    {"300000000000003", "7701000003", "40702810000000000003", "044525187", "ООО \"Гамма\"", "Гамма", ""},
};

QString tableOf(Kind kind)
{
    return kind == Kind::Payers ? QStringLiteral("S_PLAT") : QStringLiteral("S_POL");
}

QString boxName(Kind kind, int position)
{
    return QStringLiteral("DBEdit%1").arg((kind == Kind::Payers ? 100 : 200) + position);
}

QString listName(Kind kind)
{
    return kind == Kind::Payers ? QStringLiteral("grid_plat") : QStringLiteral("Grid_pol");
}

void putParties(TempDatabase &d, const QString &table, const QList<Party> &rows)
{
    d.db().execute(QStringLiteral("delete from %1").arg(table));
    const bool payer = table == QLatin1String("S_PLAT");
    for (const Party &p : rows) {
        QVariantList values = {p.id, p.inn, QStringLiteral("770101001"), p.schet, p.bik, p.name1, QString(),
                               QString(), QString(), p.name};
        if (payer)
            values << p.prior;
        d.db().run(QStringLiteral("insert into %1 (ID,INN,KPP,SCHET,BIK,NAME1,NAME2,NAME3,NAME4,NAME%2) "
                                  "values (?,?,?,?,?,?,?,?,?,?%3)")
                       .arg(table, payer ? QStringLiteral(",PRIOR") : QString(), payer ? QStringLiteral(",?") : QString()),
                   values);
    }
}

// Every stored value of a table, for telling whether a key wrote anything.
QString dump(Database &db, const QString &table)
{
    QSqlQuery q = db.run(QStringLiteral("select * from %1 order by 1, 2").arg(table));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c)
            values << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

QStringList column(Database &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = db.run(sql, values);
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList defaultPayers(Database &db)
{
    return column(db, QStringLiteral("select ID from S_PLAT where PRIOR='v' order by ID"));
}

QString stored(Database &db, const QString &table, const QString &field, const QString &id)
{
    const QStringList values = column(db, QStringLiteral("select %1 from %2 where ID=?").arg(field, table), {id});
    return values.size() == 1 ? values.first() : QStringLiteral("(%1 rows)").arg(values.size());
}

// IDs of the rows made since the table held the given ones.
QStringList newIds(Database &db, const QString &table, const QList<Party> &before)
{
    QStringList ids = column(db, QStringLiteral("select ID from %1 order by ID").arg(table));
    for (const Party &p : before)
        ids.removeOne(p.id);
    return ids;
}

// A TimestampId: "ddmmyyhhnnsszzz".
bool isTimestampId(const QString &id)
{
    return QDateTime::fromString(id, QStringLiteral("ddMMyyhhmmsszzz")).isValid();
}


// The signed-in window with one directory panel over its place, open with the list focused.
struct Directory
{
    std::unique_ptr<WindowFixture> f;
    std::unique_ptr<DirectoryPanel> panel;
    bool editorShowing = false;

    Database &data() { return f->data().db(); }
    QString listed(const QString &field) const
    {
        DataSet &q = panel->query();
        const int row = panel->list()->currentIndex().row();
        if (row != q.recNo())
            return QStringLiteral("list row %1, query row %2").arg(row).arg(q.recNo());
        return row < 0 ? QStringLiteral("no row") : q.text(field);
    }
    QString box(int position) const { return panel->box(position)->text(); }
    QString label(const QString &name) const
    {
        auto *l = panel->findChild<QLabel *>(name);
        return l ? l->text() : QStringLiteral("(no %1)").arg(name);
    }
};

std::unique_ptr<Directory> openDirectory(Kind kind, const std::function<void(TempDatabase &)> &prepare = {})
{
    auto d = std::make_unique<Directory>();
    d->f = WindowFixture::signedInOver(QStringLiteral("1"), prepare);
    if (!d->f)
        return nullptr;
    MainWindow &w = d->f->window();
    QWidget *place = kind == Kind::Payers ? static_cast<QWidget *>(w.registerPage()) : w.centralWidget();
    d->panel = std::make_unique<DirectoryPanel>(kind, w.session(), place);
    d->panel->setEditorShowing([p = d.get()] { return p->editorShowing; });
    QObject::connect(d->panel.get(), &DirectoryPanel::closeRequested, w.registerPage(), &RegisterPage::enter);
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the main window did not become active");
    d->f->dialogs().log.clear();
    d->panel->open();
    if (focusName() != listName(kind)) {
        QTest::qFail(qPrintable(QStringLiteral("the list has no focus: %1").arg(focusName())), __FILE__, __LINE__);
        return nullptr;
    }
    return d;
}

void addKinds()
{
    QTest::addColumn<Kind>("kind");
}

} // namespace

class DirectoriesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();

    void opensOverItsPlace_data();
    void opensOverItsPlace();
    void spaceMakesDefault_data();
    void spaceMakesDefault();
    void spaceOnDefaultChangesNothing();
    void newPayerSavedByFirstSave();
    void newRecipientSavedAtOnce();
    void shortNameFromFirstName_data();
    void shortNameFromFirstName();
    void unknownThenKnownBik_data();
    void revokedBankRefused_data();
    void revokedBankRefused();
    void unknownThenKnownBik();
    void deleteAsks_data();
    void deleteAsks();
    void enterEditsOrPicks_data();
    void enterEditsOrPicks();
    void typedTextStoredAsTyped_data();
    void typedTextStoredAsTyped();
    void emptyDirectoryKeysDoNothing_data();
    void emptyDirectoryKeysDoNothing();
    void otherKeysMoveNothing_data();
    void otherKeysMoveNothing();
    void escReturnsToRegister_data();
    void escReturnsToRegister();
    void editedRowSavedWhenListMoves();
    void failedSaveKeepsTyped();
    void refusedNewRecipient();
    void deletingDefaultPayerStopsNewDocuments();
    void defaultPayerBetweenTwoComputers();
    void newPayerFromMenuTakenByInsert();
};

void DirectoriesTest::initTestCase_data()
{
    Engines::addRows();
}

void DirectoriesTest::opensOverItsPlace_data()
{
    addKinds();
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("payers") << Kind::Payers << QStringLiteral("Справочник плательщиков")
                            << QStringLiteral("Enter -изменение, ПРОБЕЛ - по умочанию, F8 - удаление, F7 -создать, Esc - ВЫХОД")
                            << QList<int>{77, 218, 125, 181, 26};
    QTest::newRow("recipients") << Kind::Recipients << QStringLiteral("Справочник получателей")
                                << QStringLiteral("Enter -изменение,  F8 - удаление, F7 -создать, Esc - ВЫХОД")
                                << QList<int>{102, 233, 109, 198};
}

void DirectoriesTest::opensOverItsPlace()
{
    QFETCH(Kind, kind);
    QFETCH(QString, title);
    QFETCH(QString, help);
    QFETCH(QList<int>, widths);
    auto d = openDirectory(kind, [kind](TempDatabase &t) { putParties(t, tableOf(kind), payers); });
    QVERIFY(d);
    QStringList texts;
    for (QLabel *label : d->panel->findChildren<QLabel *>())
        texts << label->text();
    QVERIFY2(texts.contains(title) && texts.contains(help), qPrintable(texts.join('\n')));
    QList<int> shown;
    for (int c = 0; c < d->panel->list()->model()->columnCount(); ++c)
        shown << d->panel->list()->columnWidth(c);
    QCOMPARE(shown, widths);
    const QList<int> longest = {12, 9, 20, 9, 30, 30, 30, 30, 20};
    for (int i = 0; i < longest.size(); ++i) {
        QCOMPARE(d->panel->box(i)->objectName(), boxName(kind, i));
        QCOMPARE(CharacterLimit::of(d->panel->box(i)), longest.at(i));
    }
    for (const char *caption : {"инн:", "кпп:", "сч  :", "бик:", "Наименование:", "Краткое:"})
        QVERIFY2(texts.contains(QString::fromUtf8(caption)), caption);
    QWidget *place = d->panel->parentWidget();
    QCOMPARE(d->panel->geometry(), place->rect());
    QCOMPARE(d->panel->query().sql(), QStringLiteral("select * from %1 order by 1").arg(tableOf(kind)));
    QCOMPARE(d->panel->list()->model()->rowCount(), payers.size());
    QCOMPARE(d->listed(QStringLiteral("ID")), payers.first().id);
    QVERIFY(!d->panel->editPanel()->isVisible());
    d->f->window().resize(900, 640);
    QTRY_COMPARE(d->panel->geometry(), place->rect());
}

void DirectoriesTest::spaceMakesDefault_data()
{
    QTest::addColumn<QList<Party>>("rows");
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("name"); // the payer pressed on
    QTest::newRow("second of three") << payers << 1 << QStringLiteral("Бета");
    QTest::newRow("last of three") << payers << 2 << QStringLiteral("Гамма");
    // Two payers without an ID: the same one stays current after the reload.
    QList<Party> noIds = payers;
    noIds[1].id.clear();
    noIds[2].id.clear();
    QTest::newRow("no ID, second of two") << noIds << 1 << QString();
}

void DirectoriesTest::spaceMakesDefault()
{
    QFETCH(QList<Party>, rows);
    QFETCH(int, downs);
    QFETCH(QString, name);
    auto d = openDirectory(Kind::Payers, [&](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), rows); });
    QVERIFY(d);
    for (int i = 0; i < downs; ++i)
        Keys::press(Qt::Key_Down);
    const QString target = d->listed(QStringLiteral("NAME"));
    if (!name.isEmpty())
        QCOMPARE(target, name);
    // Another computer adds a payer: only a reloaded list shows it.
    d->data().run(QStringLiteral("insert into S_PLAT (ID,NAME,PRIOR) values ('999','Новый','')"));

    Keys::press(Qt::Key_Space);

    QVERIFY2(d->f->dialogs().log.isEmpty(), qPrintable(d->f->dialogs().log.join('\n')));
    QCOMPARE(column(d->data(), QStringLiteral("select NAME from S_PLAT where PRIOR='v'")), QStringList{target});
    QCOMPARE(d->panel->list()->model()->rowCount(), rows.size() + 1);
    QCOMPARE(d->listed(QStringLiteral("NAME")), target);
    QCOMPARE(d->listed(QStringLiteral("PRIOR")), QStringLiteral("v"));
    const int priorColumn = 4;
    int marked = 0;
    for (int row = 0; row < d->panel->list()->model()->rowCount(); ++row)
        marked += d->panel->list()->model()->index(row, priorColumn).data().toString() == QLatin1String("v");
    QCOMPARE(marked, 1);
    QCOMPARE(focusName(), QStringLiteral("grid_plat"));
}

void DirectoriesTest::spaceOnDefaultChangesNothing()
{
    auto d = openDirectory(Kind::Payers, [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(d);
    QCOMPARE(d->listed(QStringLiteral("PRIOR")), QStringLiteral("v"));
    // The list still shows A as the default while another computer made C it.
    d->data().execute(QStringLiteral("update S_PLAT set PRIOR=case when ID='300000000000003' then 'v' else '' end"));
    const QString before = dump(d->data(), QStringLiteral("S_PLAT"));
    Keys::press(Qt::Key_Space);
    QCOMPARE(dump(d->data(), QStringLiteral("S_PLAT")), before);
    QCOMPARE(d->listed(QStringLiteral("ID")), payers.first().id);
    QVERIFY(d->f->dialogs().log.isEmpty());
}

void DirectoriesTest::newPayerSavedByFirstSave()
{
    auto d = openDirectory(Kind::Payers, [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_F7);
    QCOMPARE(focusName(), QStringLiteral("DBEdit100"));
    QVERIFY(d->panel->editPanel()->isVisible());
    QCOMPARE(d->box(0), QString());
    Keys::type(QStringLiteral("7709999999"));
    // Not stored before the panel's first save.
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from S_PLAT")), QStringList{"3"});
    Keys::press(Qt::Key_Escape);
    const QStringList made = newIds(d->data(), QStringLiteral("S_PLAT"), payers);
    QCOMPARE(made.size(), 1);
    const QString creationId = made.first();
    QVERIFY2(isTimestampId(creationId), qPrintable(creationId));
    QCOMPARE(stored(d->data(), "S_PLAT", "INN", creationId), QStringLiteral("7709999999"));
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from S_PLAT")), QStringList{"4"});
    QCOMPARE(defaultPayers(d->data()), QStringList{payers.first().id});
    QCOMPARE(focusName(), QStringLiteral("grid_plat"));
    QVERIFY(!d->panel->editPanel()->isVisible());
    QCOMPARE(d->panel->query().state(), DataSet::State::Browse);
    QCOMPARE(d->listed(QStringLiteral("ID")), creationId);
}

void DirectoriesTest::newRecipientSavedAtOnce()
{
    auto d = openDirectory(Kind::Recipients, [](TempDatabase &t) { putParties(t, QStringLiteral("S_POL"), payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_F7);
    QCOMPARE(focusName(), QStringLiteral("DBEdit200"));
    const QStringList made = newIds(d->data(), QStringLiteral("S_POL"), payers);
    QCOMPARE(made.size(), 1);
    const QString creationId = made.first();
    QVERIFY2(isTimestampId(creationId), qPrintable(creationId));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("Grid_pol"));
    QVERIFY(!d->panel->editPanel()->isVisible());
    QSqlQuery q = d->data().run(QStringLiteral("select INN,KPP,SCHET,BIK,NAME1,NAME2,NAME3,NAME4,NAME from S_POL where ID=?"),
                                {creationId});
    QVERIFY(q.next());
    for (int c = 0; c < 9; ++c)
        QVERIFY2(q.value(c).toString().isEmpty(), qPrintable(q.record().fieldName(c)));
    QVERIFY(!q.next());
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from S_POL")), QStringList{"4"});
    QCOMPARE(d->listed(QStringLiteral("ID")), creationId);
}

void DirectoriesTest::shortNameFromFirstName_data()
{
    addKinds();
    QTest::newRow("payers") << Kind::Payers;
    QTest::newRow("recipients") << Kind::Recipients;
}

void DirectoriesTest::shortNameFromFirstName()
{
    QFETCH(Kind, kind);
    const QString table = tableOf(kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, table, payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_Down); // B, whose BIK the bank directory holds
    Keys::press(Qt::Key_Return);
    for (int i = 0; i < 4; ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), boxName(kind, 4));
    const QString name28 = QStringLiteral("ООО Торговый дом Север-Юг 28");
    QCOMPARE(name28.size(), 28);
    Keys::type(name28);
    for (int i = 0; i < 3; ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(stored(d->data(), table, "NAME", payers[1].id), QStringLiteral("Бета"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), boxName(kind, 8));
    // Saved on entering the box, first name line included.
    QCOMPARE(stored(d->data(), table, "NAME", payers[1].id), name28.left(20));
    QCOMPARE(stored(d->data(), table, "NAME1", payers[1].id), name28);
    QCOMPARE(d->box(8), name28.left(20));
    QCOMPARE(d->panel->query().state(), DataSet::State::Edit);
    Keys::type(QStringLiteral("Торгдом"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(stored(d->data(), table, "NAME", payers[1].id), QStringLiteral("Торгдом"));
    QCOMPARE(focusName(), listName(kind));
    QVERIFY(!d->panel->editPanel()->isVisible());
    QCOMPARE(d->listed(QStringLiteral("NAME")), QStringLiteral("Торгдом"));
}

void DirectoriesTest::revokedBankRefused_data()
{
    addKinds();
    QTest::newRow("payers") << Kind::Payers;
    QTest::newRow("recipients") << Kind::Recipients;
}

void DirectoriesTest::revokedBankRefused()
{
    QFETCH(Kind, kind);
    const QString table = tableOf(kind);
    const QString bankLabel = kind == Kind::Payers ? QStringLiteral("l_bik_plat") : QStringLiteral("l_bik_pol");
    const QString errorLabel = kind == Kind::Payers ? QStringLiteral("l_not") : QStringLiteral("l_not3");
    auto d = openDirectory(kind, [&](TempDatabase &t) {
        putParties(t, table, payers);
        t.db().run(QStringLiteral("update BANK set OTZYV='V' where NEWNUM='044525187'"));
    });
    QVERIFY(d);
    Keys::press(Qt::Key_Return);
    for (int i = 0; i < 3; ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), boxName(kind, 3));
    Keys::type(QStringLiteral("044525187"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(errorLabel), QStringLiteral("Лицензия Банка отозвана"));
    QCOMPARE(focusName(), boxName(kind, 3));
    QCOMPARE(d->panel->box(3)->selectedText(), QStringLiteral("044525187"));
    QCOMPARE(d->label(bankLabel), QString());
    // A bank in good standing is taken over the selected text.
    Keys::type(knownBik);
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(bankLabel), knownBank);
    QCOMPARE(focusName(), boxName(kind, 4));
}

void DirectoriesTest::unknownThenKnownBik_data()
{
    addKinds();
    QTest::newRow("payers") << Kind::Payers;
    QTest::newRow("recipients") << Kind::Recipients;
}

void DirectoriesTest::unknownThenKnownBik()
{
    QFETCH(Kind, kind);
    const QString table = tableOf(kind);
    const QString bankLabel = kind == Kind::Payers ? QStringLiteral("l_bik_plat") : QStringLiteral("l_bik_pol");
    const QString errorLabel = kind == Kind::Payers ? QStringLiteral("l_not") : QStringLiteral("l_not3");
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, table, payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_Return);
    for (int i = 0; i < 3; ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), boxName(kind, 3));
    Keys::type(QStringLiteral("999999999"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(errorLabel), noBank);
    QCOMPARE(focusName(), boxName(kind, 3));
    QCOMPARE(d->panel->box(3)->selectedText(), QStringLiteral("999999999"));
    QCOMPARE(d->label(bankLabel), QString());
    QCOMPARE(d->panel->query().state(), DataSet::State::Edit);
    // Esc still goes back; leaving the box empties the message.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), boxName(kind, 2));
    QCOMPARE(d->label(errorLabel), QString());
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->box(3), QStringLiteral("999999999"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(errorLabel), noBank);
    Keys::type(knownBik); // over the selected text
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(bankLabel), knownBank);
    QCOMPARE(focusName(), boxName(kind, 4));
    QCOMPARE(d->label(errorLabel), QString());
    for (int i = 0; i < 5; ++i)
        Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), listName(kind));
    // Only the BIK is stored; nothing of the bank.
    QCOMPARE(stored(d->data(), table, "BIK", payers[0].id), knownBik);
    QCOMPARE(stored(d->data(), table, "NAME1", payers[0].id), payers[0].name1);
    // Entering the panel again empties the bank's name.
    Keys::press(Qt::Key_Return);
    QCOMPARE(d->label(bankLabel), QString());
}

void DirectoriesTest::deleteAsks_data()
{
    addKinds();
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    const QString payer = QStringLiteral("yesno:Удаление|Удалить плательщика?");
    const QString recipient = QStringLiteral("yesno:Удаление|Удалить получателя?");
    QTest::newRow("payer, no") << Kind::Payers << false << payer;
    QTest::newRow("payer, yes") << Kind::Payers << true << payer;
    QTest::newRow("recipient, no") << Kind::Recipients << false << recipient;
    QTest::newRow("recipient, yes") << Kind::Recipients << true << recipient;
}

void DirectoriesTest::deleteAsks()
{
    QFETCH(Kind, kind);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    const QString table = tableOf(kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, table, payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_Down);
    const QString before = dump(d->data(), table);
    d->f->dialogs().yesNoAnswers.enqueue(yes);
    Keys::press(Qt::Key_F8);
    QCOMPARE(d->f->dialogs().log, QStringList{question});
    QCOMPARE(focusName(), listName(kind));
    if (!yes) {
        QCOMPARE(dump(d->data(), table), before);
        QCOMPARE(d->listed(QStringLiteral("ID")), payers[1].id);
        return;
    }
    QCOMPARE(column(d->data(), QStringLiteral("select ID from %1 order by ID").arg(table)),
             (QStringList{payers[0].id, payers[2].id}));
    QCOMPARE(d->panel->list()->model()->rowCount(), 2);
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[2].id);
}

void DirectoriesTest::enterEditsOrPicks_data()
{
    QTest::addColumn<bool>("editorShowing");
    QTest::newRow("register showing") << false;
    QTest::newRow("editor showing") << true;
}

void DirectoriesTest::enterEditsOrPicks()
{
    QFETCH(bool, editorShowing);
    auto d = openDirectory(Kind::Recipients, [](TempDatabase &t) {
        putParties(t, QStringLiteral("S_POL"), payers);
        t.addDocument(QStringLiteral("PL"), {{"ID", "D1"}, {"DATE", QDate(2024, 5, 6)}, {"SCH_KT", "40702810000000000009"},
                                             {"PRIZN_DK", "0"}, {"LOGIN", "1"}});
    });
    QVERIFY(d);
    const QString documents = dump(d->data(), QStringLiteral("PL")) + dump(d->data(), QStringLiteral("PL_A"));
    QSignalSpy picked(d->panel.get(), &DirectoryPanel::picked);
    Keys::press(Qt::Key_Down);
    d->editorShowing = editorShowing;
    Keys::press(Qt::Key_Return);
    if (editorShowing) {
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.first().first().toString(), payers[1].schet);
        QVERIFY(!d->panel->editPanel()->isVisible());
        QCOMPARE(focusName(), QStringLiteral("Grid_pol"));
    } else {
        QCOMPARE(picked.size(), 0);
        QVERIFY(d->panel->editPanel()->isVisible());
        QCOMPARE(focusName(), QStringLiteral("DBEdit200"));
        QCOMPARE(d->box(0), payers[1].inn);
        QCOMPARE(d->box(2), payers[1].schet);
        QCOMPARE(d->panel->query().state(), DataSet::State::Edit);
    }
    QCOMPARE(dump(d->data(), QStringLiteral("PL")) + dump(d->data(), QStringLiteral("PL_A")), documents);
}

void DirectoriesTest::typedTextStoredAsTyped_data()
{
    addKinds();
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("payer name, quotes") << Kind::Payers << 4 << "NAME1" << QStringLiteral("ООО 'Рога' \"и\" копыта");
    QTest::newRow("payer name, statement") << Kind::Payers << 4 << "NAME1" << QStringLiteral("x';delete from S_PLAT;--");
    QTest::newRow("recipient name, semicolon") << Kind::Recipients << 5 << "NAME2" << QStringLiteral("a;b'c\"d");
    QTest::newRow("recipient BIK, quote") << Kind::Recipients << 3 << "BIK" << QStringLiteral("04'5;2\"");
    QTest::newRow("recipient account") << Kind::Recipients << 2 << "SCHET" << QStringLiteral("4070' or '1'='1");
}

void DirectoriesTest::typedTextStoredAsTyped()
{
    QFETCH(Kind, kind);
    QFETCH(int, position);
    QFETCH(QString, field);
    QFETCH(QString, text);
    const QString table = tableOf(kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, table, payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_Down); // B, whose BIK lets Enter pass the BIK box
    Keys::press(Qt::Key_Return);
    for (int i = 0; i < position; ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), boxName(kind, position));
    Keys::type(text);
    for (int i = 0; i <= position; ++i)
        Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), listName(kind));
    QVERIFY2(d->f->dialogs().log.isEmpty(), qPrintable(d->f->dialogs().log.join('\n')));
    QCOMPARE(stored(d->data(), table, field, payers[1].id), text);
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from %1").arg(table)), QStringList{"3"});
    QCOMPARE(stored(d->data(), table, "NAME1", payers[0].id), payers[0].name1);
}

void DirectoriesTest::emptyDirectoryKeysDoNothing_data()
{
    addKinds();
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("editorShowing");
    QTest::newRow("payers, Space") << Kind::Payers << int(Qt::Key_Space) << false;
    QTest::newRow("payers, Enter") << Kind::Payers << int(Qt::Key_Return) << false;
    QTest::newRow("payers, F8") << Kind::Payers << int(Qt::Key_F8) << false;
    QTest::newRow("recipients, Space") << Kind::Recipients << int(Qt::Key_Space) << false;
    QTest::newRow("recipients, Enter") << Kind::Recipients << int(Qt::Key_Return) << false;
    QTest::newRow("recipients, Enter in the editor") << Kind::Recipients << int(Qt::Key_Return) << true;
    QTest::newRow("recipients, F8") << Kind::Recipients << int(Qt::Key_F8) << false;
}

void DirectoriesTest::emptyDirectoryKeysDoNothing()
{
    QFETCH(Kind, kind);
    QFETCH(int, key);
    QFETCH(bool, editorShowing);
    const QString table = tableOf(kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { t.db().execute(QStringLiteral("delete from ") + table); });
    QVERIFY(d);
    QSignalSpy picked(d->panel.get(), &DirectoryPanel::picked);
    d->editorShowing = editorShowing;
    d->f->dialogs().yesNoAnswers.enqueue(true);
    Keys::press(Qt::Key(key));
    QCOMPARE(d->f->dialogs().log, QStringList());
    QCOMPARE(picked.size(), 0);
    QCOMPARE(focusName(), listName(kind));
    QVERIFY(!d->panel->editPanel()->isVisible());
    QCOMPARE(d->panel->query().state(), DataSet::State::Browse);
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from %1").arg(table)), QStringList{"0"});
}

void DirectoriesTest::otherKeysMoveNothing_data()
{
    addKinds();
    QTest::addColumn<QString>("typed"); // empty: Tab
    QTest::newRow("payers, digit") << Kind::Payers << QStringLiteral("0");
    QTest::newRow("payers, Tab") << Kind::Payers << QString();
    QTest::newRow("recipients, digit") << Kind::Recipients << QStringLiteral("0");
    QTest::newRow("recipients, Tab") << Kind::Recipients << QString();
}

void DirectoriesTest::otherKeysMoveNothing()
{
    QFETCH(Kind, kind);
    QFETCH(QString, typed);
    const QString table = tableOf(kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, table, payers); });
    QVERIFY(d);
    // The list's own search would jump to B, the first BIK starting with 0.
    const QString before = dump(d->data(), table);
    if (typed.isEmpty())
        Keys::press(Qt::Key_Tab);
    else
        Keys::type(typed);
    QCOMPARE(focusName(), listName(kind));
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[0].id);
    QCOMPARE(dump(d->data(), table), before);
    // Tab in a box moves nothing either.
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_Tab);
    QCOMPARE(focusName(), boxName(kind, 0));
}

void DirectoriesTest::escReturnsToRegister_data()
{
    addKinds();
    QTest::newRow("payers") << Kind::Payers;
    QTest::newRow("recipients") << Kind::Recipients;
}

void DirectoriesTest::escReturnsToRegister()
{
    QFETCH(Kind, kind);
    auto d = openDirectory(kind, [&](TempDatabase &t) { putParties(t, tableOf(kind), payers); });
    QVERIFY(d);
    QSignalSpy closing(d->panel.get(), &DirectoryPanel::closeRequested);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(closing.size(), 1);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!d->panel->isVisible());
}

void DirectoriesTest::editedRowSavedWhenListMoves()
{
    auto d = openDirectory(Kind::Payers, [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(d);
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("7711111111"));
    // The focus goes back to the list without a save, as by the mouse.
    d->panel->list()->setFocus(Qt::MouseFocusReason);
    QVERIFY(!d->panel->editPanel()->isVisible());
    QCOMPARE(stored(d->data(), "S_PLAT", "INN", payers[0].id), payers[0].inn);
    Keys::press(Qt::Key_Down);
    QCOMPARE(stored(d->data(), "S_PLAT", "INN", payers[0].id), QStringLiteral("7711111111"));
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[1].id);
    QCOMPARE(d->panel->query().state(), DataSet::State::Browse);
}

void DirectoriesTest::failedSaveKeepsTyped()
{
    auto d = openDirectory(Kind::Payers, [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(d);
    FailingWrites::refuse(d->data(), QStringLiteral("S_PLAT"), QStringLiteral("update"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("7711111111"));
    Keys::press(Qt::Key_Escape);
    // The save says so and the typed text stays in the box and the row.
    QCOMPARE(d->f->dialogs().errors().size(), 1);
    QVERIFY2(d->f->dialogs().errors().first().contains(failure), qPrintable(d->f->dialogs().errors().first()));
    QCOMPARE(focusName(), QStringLiteral("DBEdit100"));
    QCOMPARE(d->box(0), QStringLiteral("7711111111"));
    // A move of the list fails the same way and stays.
    d->panel->list()->setFocus(Qt::MouseFocusReason);
    Keys::press(Qt::Key_Down);
    QCOMPARE(d->f->dialogs().errors().size(), 2);
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[0].id);
    QCOMPARE(d->panel->query().text(QStringLiteral("INN")), QStringLiteral("7711111111"));
    QCOMPARE(stored(d->data(), "S_PLAT", "INN", payers[0].id), payers[0].inn);
    FailingWrites::allow(d->data(), QStringLiteral("S_PLAT"));
    Keys::press(Qt::Key_Down);
    QCOMPARE(stored(d->data(), "S_PLAT", "INN", payers[0].id), QStringLiteral("7711111111"));
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[1].id);
}

void DirectoriesTest::refusedNewRecipient()
{
    auto d = openDirectory(Kind::Recipients, [](TempDatabase &t) { putParties(t, QStringLiteral("S_POL"), payers); });
    QVERIFY(d);
    FailingWrites::refuse(d->data(), QStringLiteral("S_POL"), QStringLiteral("insert"));
    Keys::press(Qt::Key_F7);
    QCOMPARE(d->f->dialogs().errors().size(), 1);
    QVERIFY2(d->f->dialogs().errors().first().contains(failure), qPrintable(d->f->dialogs().errors().first()));
    QCOMPARE(focusName(), QStringLiteral("Grid_pol"));
    QVERIFY(!d->panel->editPanel()->isVisible());
    QCOMPARE(d->panel->query().state(), DataSet::State::Browse);
    QCOMPARE(d->listed(QStringLiteral("ID")), payers[0].id);
    // The next key works on the listed row, not on a row left half made.
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit200"));
    QCOMPARE(d->box(0), payers[0].inn);
    FailingWrites::allow(d->data(), QStringLiteral("S_POL"));
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from S_POL")), QStringList{"3"});
}

void DirectoriesTest::deletingDefaultPayerStopsNewDocuments()
{
    auto d = openDirectory(Kind::Payers, [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(d);
    d->f->dialogs().yesNoAnswers.enqueue(true);
    Keys::press(Qt::Key_F8);
    QCOMPARE(defaultPayers(d->data()), QStringList());
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from S_PLAT")), QStringList{"2"});
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    Keys::press(Qt::Key_Insert);
    QCOMPARE(d->f->dialogs().messages(), QStringList{QStringLiteral("Не заполнен справочник плательщиков")});
    QCOMPARE(column(d->data(), QStringLiteral("select count(*) from PL")), QStringList{"0"});
}

void DirectoriesTest::defaultPayerBetweenTwoComputers()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    TempDatabase data(o);
    QVERIFY2(data.isValid(), qPrintable(data.reason()));
    QList<Party> four = payers;
    four << Party{"400000000000004", "7701000004", "", "", "ООО \"Дельта\"", "Дельта", ""};
    putParties(data, QStringLiteral("S_PLAT"), four);
    const QString sql = QStringLiteral("select * from S_PLAT order by 1");

    // One after the other on two connections, the second over a list that still shows the old default.
    {
        Database one, two;
        one.open(data.link(), data.folder());
        two.open(data.link(), data.folder());
        DataSet a(one), b(two);
        a.setSql(sql);
        b.setSql(sql);
        a.open();
        b.open();
        QVERIFY(a.find(QStringLiteral("ID"), four[1].id));
        QVERIFY(b.find(QStringLiteral("ID"), four[2].id));
        MakeDefaultPayer(one, a);
        MakeDefaultPayer(two, b); // its list still shows A as the default
        QCOMPARE(defaultPayers(data.db()), QStringList{four[2].id});
        QCOMPARE(b.text(QStringLiteral("ID")), four[2].id);
        // The first list still shows B as the default, which the second has since moved to C: nothing changes.
        QCOMPARE(a.text(QStringLiteral("ID")), four[1].id);
        QCOMPARE(a.text(QStringLiteral("PRIOR")), QStringLiteral("v"));
        MakeDefaultPayer(one, a);
        QCOMPARE(defaultPayers(data.db()), QStringList{four[2].id});
        // A payer deleted by the other computer changes nothing.
        QVERIFY(a.find(QStringLiteral("ID"), four[3].id));
        two.execute(QStringLiteral("delete from S_PLAT where ID='400000000000004'"));
        QVERIFY_THROWS_EXCEPTION(AppError, MakeDefaultPayer(one, a));
        QCOMPARE(defaultPayers(data.db()), QStringList{four[2].id});
        QCOMPARE(a.state(), DataSet::State::Browse);
    }
    putParties(data, QStringLiteral("S_PLAT"), four);

    // At the same moment from two threads, each its own connection, while a third counts the marks.
    const int rounds = 200;
    std::barrier start(2);
    std::atomic<bool> done{false};
    QMutex mutex;
    QStringList problems;
    auto note = [&](const QString &text) {
        QMutexLocker lock(&mutex);
        problems << text;
    };
    auto worker = [&](const QString &first, const QString &second) {
        try {
            Database db;
            db.open(data.link(), data.folder());
            DataSet q(db);
            q.setSql(sql);
            for (int round = 0; round < rounds; ++round) {
                q.open();
                if (!q.find(QStringLiteral("ID"), round % 2 ? first : second))
                    note(QStringLiteral("payer not listed"));
                start.arrive_and_wait();
                MakeDefaultPayer(db, q);
            }
        } catch (const AppError &e) {
            note(e.message());
            start.arrive_and_drop();
        }
    };
    int observed = 0;
    QThread *observer = QThread::create([&] {
        try {
            Database db;
            db.open(data.link(), data.folder());
            while (!done) {
                QSqlQuery q = db.run(QStringLiteral("select count(*) from S_PLAT where PRIOR='v'"));
                if (q.next() && q.value(0).toInt() != 1)
                    note(QStringLiteral("%1 default payers seen").arg(q.value(0).toInt()));
                ++observed;
            }
        } catch (const AppError &e) {
            note(e.message());
        }
    });
    QThread *one = QThread::create(worker, four[0].id, four[1].id);
    QThread *two = QThread::create(worker, four[2].id, four[3].id);
    observer->start();
    one->start();
    two->start();
    QVERIFY(one->wait(120000));
    QVERIFY(two->wait(120000));
    done = true;
    QVERIFY(observer->wait(30000));
    delete one;
    delete two;
    delete observer;
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    QVERIFY(observed > 0);
    const QStringList marks = defaultPayers(data.db());
    QCOMPARE(marks.size(), 1);
    QVERIFY((QStringList{four[0].id, four[2].id}.contains(marks.first())));
    QCOMPARE(column(data.db(), QStringLiteral("select count(*) from S_PLAT")), QStringList{"4"});
}

void DirectoriesTest::newPayerFromMenuTakenByInsert()
{
    auto f = WindowFixture::signedInOver(QStringLiteral("1"),
                                         [](TempDatabase &t) { putParties(t, QStringLiteral("S_PLAT"), payers); });
    QVERIFY(f);
    MainWindow &w = f->window();
    w.registerPage()->grid()->setFocus();
    Keys::press(Qt::Key_F2);
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("grid_plat"));
    Keys::press(Qt::Key_F7);
    const QStringList typed = {"7709999999", "770901001", "40702810900000000099", knownBik, "ООО \"Новый плательщик\""};
    for (const QString &text : typed) {
        Keys::type(text);
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("DBEdit105"));
    for (int i = 0; i < 3; ++i)
        Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_Return); // keeps the short name made from the first line
    QCOMPARE(focusName(), QStringLiteral("grid_plat"));
    const QStringList made = newIds(f->data().db(), QStringLiteral("S_PLAT"), payers);
    QCOMPARE(made.size(), 1);
    QCOMPARE(stored(f->data().db(), "S_PLAT", "NAME", made.first()), typed.at(4).left(20));
    Keys::press(Qt::Key_Space);
    QCOMPARE(defaultPayers(f->data().db()), made);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    Keys::press(Qt::Key_Insert);
    QVERIFY2(f->dialogs().messages().isEmpty(), qPrintable(f->dialogs().messages().join('\n')));
    QCOMPARE(w.pages()->currentWidget(), static_cast<QWidget *>(w.editorPage()));
    QCOMPARE(w.q1().text(QStringLiteral("INN_PL")), typed.at(0));
    QCOMPARE(w.q1().text(QStringLiteral("SCH_DT")), typed.at(2));
    QCOMPARE(w.q1().text(QStringLiteral("MFOBANK_PL")), knownBik);
}

QTEST_MAIN(DirectoriesTest)
#include "tst_directories.moc"
