#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/Keys.h"
#include "support/SessionFixture.h"
#include "support/WindowFixture.h"

#include "document/TaxFields.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"
#include "store/Clock.h"
#include "store/Schema.h"
#include "tax/TaxDetails.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QDate today(2024, 3, 15);

const QStringList taxColumns = {"P101_STATU", "P104_KBK",   "P105_OKATO", "P106_OSNOV", "P107_PERIO",
                                "P108_N_DOC", "P109_D_DOC", "P110_TIP",   "P22_KOD"};

QWidget *control(WindowFixture &f, const QString &name)
{
    return f.window().editorPage()->control(name);
}

QLineEdit *box(WindowFixture &f, const QString &name)
{
    return qobject_cast<QLineEdit *>(control(f, name));
}

QListWidget *list(WindowFixture &f, const QString &name)
{
    return qobject_cast<QListWidget *>(control(f, name));
}

int chooserItem(WindowFixture &f)
{
    return list(f, QStringLiteral("l3"))->currentRow();
}

QString document(WindowFixture &f, const QString &column)
{
    return f.window().q1().text(column);
}

QString storedControl(WindowFixture &f)
{
    return f.data().scalar(QStringLiteral("select P3 from PARAM where PAS='1'")).toString();
}

void pressTimes(Qt::Key key, int n)
{
    for (int i = 0; i < n; ++i)
        Keys::press(key);
}

// Moves a list's selection from where it opened to the item with this text.
void choose(QListWidget *l, const QString &text)
{
    const QList<QListWidgetItem *> found = l->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("no item %1 in %2").arg(text, l->objectName())), __FILE__, __LINE__);
        return;
    }
    const int delta = l->row(found.first()) - l->currentRow();
    pressTimes(delta > 0 ? Qt::Key_Down : Qt::Key_Up, qAbs(delta));
}

} // namespace

class TaxTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void cleanup();

    // The panel's rules called without the window.
    void openingMakesATaxPaymentWithItsZeros();
    void controlSwitchIsSavedAtOnce();
    void fieldWritesOnlyWhileEditing();

    void openingSetsDefaults_data();
    void openingSetsDefaults();
    void chooserLeadsToPickerOrBox_data();
    void chooserLeadsToPickerOrBox();
    void pickerOpensOnPresentCode_data();
    void pickerOpensOnPresentCode();
    void pickStoresCodeAndName_data();
    void pickStoresCodeAndName();
    void emptyCodeListPicksAnEmptyCode();
    void periodRule_data();
    void periodRule();
    void typedFieldsLeadThroughThePanel();
    void escapeReturns_data();
    void escapeReturns();
    void periodForms_data();
    void periodForms();
    void listsOpenOnToday_data();
    void listsOpenOnToday();
    void escapeInALaterListKeepsThePartialText_data();
    void escapeInALaterListKeepsThePartialText();
    void yearWithNothingSelectedDoesNothing();
    void pageDownLeavesForTheAmount_data();
    void pageDownLeavesForTheAmount();
    void pageDownInsideTheLists();
    void f5SwitchesTheControl_data();
    void f5SwitchesTheControl();
    void f5RefusedKeepsTheControl();
    void simpleAfterTaxEmptiesTheFields();
    void apostropheCodes();
    void copiesIgnoreKeysWhileHidden();
    void taxPaymentFromInsertToRegister();
    void accrualIdTakesWhatABankTakes_data();
    void accrualIdTakesWhatABankTakes();
    void unifiedTaxPaymentInOneChoice_data();
    void unifiedTaxPaymentInOneChoice();
    void unifiedTaxPaymentWithoutItsRecipient();

private:
    // Signed in as user 1, whose control P3 is on or off, over a register of one
    // completed simple payment D1 with an amount; prepare runs before sign-in.
    std::unique_ptr<WindowFixture> signedIn(bool control, const std::function<void(TempDatabase &)> &prepare = {});
    // From the register to the tax panel by the keys: Insert, or Enter on D1;
    // then through the number, the date and the payment kind to "НАЛОГ".
    bool openPanel(WindowFixture &f, bool onD1);
    // D1 as a tax payment with these details.
    static std::function<void(TempDatabase &)> withDetails(const QVariantMap &details);
};

void TaxTest::initTestCase_data()
{
    Engines::addRows();
}

void TaxTest::init()
{
    Clock::set(QDateTime(today, QTime(10, 0)));
}

void TaxTest::cleanup()
{
    Clock::set(QDateTime());
}

std::unique_ptr<WindowFixture> TaxTest::signedIn(bool control, const std::function<void(TempDatabase &)> &prepare)
{
    return WindowFixture::signedInOver(QStringLiteral("1"), [&](TempDatabase &d) {
        d.db().run(QStringLiteral("update PARAM set P3=? where PAS='1'"),
                   {control ? QStringLiteral("True") : QStringLiteral("False")});
        d.addDocument(QStringLiteral("PL"),
                      {{"ID", QStringLiteral("D1")}, {"NOM", QStringLiteral("5")}, {"DATE", QDate(2024, 3, 1)},
                       {"S", 1180.0}, {"NAME_POL1", QStringLiteral("УФК по г. Москве")},
                       {"VID_PLAT", QStringLiteral("1")}, {"NALOG", false}, {"LOGIN", QStringLiteral("1")},
                       {"PRIZN_DK", QStringLiteral("3")}});
        if (prepare)
            prepare(d);
    });
}

std::function<void(TempDatabase &)> TaxTest::withDetails(const QVariantMap &details)
{
    return [details](TempDatabase &d) {
        for (auto it = details.cbegin(); it != details.cend(); ++it)
            d.db().run(QStringLiteral("update PL set %1=? where ID='D1'").arg(it.key()), {it.value()});
    };
}

bool TaxTest::openPanel(WindowFixture &f, bool onD1)
{
    if (onD1) {
        if (!f.window().q1().find(QStringLiteral("ID"), QStringLiteral("D1")))
            return false;
        f.window().registerPage()->enter();
        Keys::press(Qt::Key_Return);
    } else {
        Keys::press(Qt::Key_Insert);
    }
    if (focusName() != QLatin1String("edit_nom"))
        return false;
    pressTimes(Qt::Key_Return, 3); // number, date, payment kind
    if (focusName() != QLatin1String("l2"))
        return false;
    Keys::press(Qt::Key_Right); // НАЛОГ
    Keys::press(Qt::Key_Return);
    return focusName() == QLatin1String("l3") && control(f, QStringLiteral("Panel3"))->isVisible();
}

// ---------------------------------------------------------------------------
// Opening the panel and the chooser

void TaxTest::openingSetsDefaults_data()
{
    QTest::addColumn<bool>("onD1");
    QTest::addColumn<bool>("controlOn");
    QTest::addColumn<QStringList>("codes");  // status, basis, type after opening
    QTest::addColumn<QStringList>("names");  // e_s, e_o, e_t
    const QString none = QStringLiteral("значение не указывается");
    QTest::newRow("new document, control on") << false << true << QStringList{"", "0", "0"}
                                              << QStringList{"", none, none};
    QTest::newRow("new document, control off") << false << false << QStringList{"", "0", "0"}
                                               << QStringList{"", none, none};
    QTest::newRow("details kept") << true << true << QStringList{"02", "АП", "ПЕ"}
                                  << QStringList{"налоговый агент", "погашение задолженности по акту проверки",
                                                 "уплата пени"};
}

void TaxTest::openingSetsDefaults()
{
    QFETCH(bool, onD1);
    QFETCH(bool, controlOn);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);
    SIGNED_IN(f, controlOn,
              withDetails({{"P101_STATU", "02"}, {"P106_OSNOV", "АП"}, {"P110_TIP", "ПЕ"},
                           {"P104_KBK", "18210102010011000110"}}));
    QVERIFY(control(*f, QStringLiteral("Panel3"))->isHidden());
    QVERIFY(openPanel(*f, onD1));
    QVERIFY(f->window().q1().logical(QStringLiteral("NALOG")));
    QCOMPARE(chooserItem(*f), 0);
    QCOMPARE(list(*f, QStringLiteral("l3"))->currentItem()->text(), QStringLiteral("статус:"));
    QCOMPARE(qobject_cast<QLabel *>(control(*f, QStringLiteral("l_kon")))->text(),
             controlOn ? QStringLiteral("включен") : QStringLiteral("выключен"));
    const QStringList columns = {"P101_STATU", "P106_OSNOV", "P110_TIP"};
    const QStringList boxes = {"DBEdit_s", "DBEdit_o", "DBEdit_t"};
    const QStringList copies = {"DBEdit1", "DBEdit4", "DBEdit37"};
    const QStringList nameBoxes = {"e_s", "e_o", "e_t"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(document(*f, columns.at(i)), codes.at(i));
        QCOMPARE(box(*f, boxes.at(i))->text(), codes.at(i));
        QCOMPARE(box(*f, copies.at(i))->text(), codes.at(i));
        QCOMPARE(box(*f, nameBoxes.at(i))->text(), names.at(i));
    }
    QCOMPARE(box(*f, QStringLiteral("DBEdit_kbk"))->text(), onD1 ? QStringLiteral("18210102010011000110") : QString());
    QVERIFY(control(*f, QStringLiteral("gridn"))->isHidden());
    QVERIFY(control(*f, QStringLiteral("Lp1"))->isHidden());
}

void TaxTest::chooserLeadsToPickerOrBox_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("controlOn");
    QTest::addColumn<QString>("focus");
    QTest::newRow("status, control on") << 0 << true << "gridn";
    QTest::newRow("status, control off") << 0 << false << "DBEdit_s";
    QTest::newRow("basis, control on") << 3 << true << "gridn";
    QTest::newRow("basis, control off") << 3 << false << "DBEdit_o";
    QTest::newRow("type, control on") << 7 << true << "gridn";
    QTest::newRow("type, control off") << 7 << false << "DBEdit_t";
    QTest::newRow("KBK typed either way") << 1 << true << "DBEdit_kbk";
    QTest::newRow("document date typed") << 6 << true << "DBEdit_d_doc";
}

void TaxTest::chooserLeadsToPickerOrBox()
{
    QFETCH(int, item);
    QFETCH(bool, controlOn);
    QFETCH(QString, focus);
    SIGNED_IN(f, controlOn);
    QVERIFY(openPanel(*f, false));
    pressTimes(Qt::Key_Down, item);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), focus);
    QCOMPARE(chooserItem(*f), item);
    QVERIFY(control(*f, QStringLiteral("Panel3"))->isVisible());
    if (focus == QLatin1String("gridn")) {
        // One row per code of the item's list, two columns, no title row.
        auto *grid = qobject_cast<QTableView *>(control(*f, focus));
        const QString tip = item == 0 ? "s" : item == 3 ? "o" : "t";
        QCOMPARE(grid->model()->rowCount(),
                 f->data().scalar(QStringLiteral("select count(*) from N_PARAM where TIP='%1'").arg(tip)).toInt());
        QCOMPARE(grid->model()->columnCount(), 2);
        QVERIFY(grid->horizontalHeader()->isHidden());
    }
}

void TaxTest::pickerOpensOnPresentCode_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("code");
    QTest::newRow("status") << 0 << "05";
    QTest::newRow("basis") << 3 << "АР";
    QTest::newRow("type") << 7 << "ПЕ";
    QTest::newRow("a code the list lacks: the first row") << 0 << "99";
}

void TaxTest::pickerOpensOnPresentCode()
{
    QFETCH(int, item);
    QFETCH(QString, code);
    const char *column = item == 0 ? "P101_STATU" : item == 3 ? "P106_OSNOV" : "P110_TIP";
    SIGNED_IN(f, true, withDetails({{column, code}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, item);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("gridn"));
    auto *grid = qobject_cast<QTableView *>(control(*f, QStringLiteral("gridn")));
    const QModelIndex current = grid->currentIndex();
    const QString shown = grid->model()->index(current.row(), 0).data().toString();
    QCOMPARE(shown, code == QLatin1String("99") ? QStringLiteral("01") : code);
    QCOMPARE(current.row() == 0, code == QLatin1String("99"));
}

void TaxTest::pickStoresCodeAndName_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("chooser");
    QTest::newRow("status, on to the KBK") << 0 << "02" << "налоговый агент" << "DBEdit_kbk" << 1;
    QTest::newRow("basis ТП, on into the period lists") << 3 << "ТП" << "платежи текущего года" << "Lp1" << 4;
    QTest::newRow("basis 0, on to the type picker") << 3 << "0" << "значение не указывается" << "gridn" << 7;
    QTest::newRow("basis АП, on to the document number")
        << 3 << "АП" << "погашение задолженности по акту проверки" << "DBEdit_n_doc" << 5;
    QTest::newRow("type, on to field 22") << 7 << "НС" << "уплата налога или сбора" << "DBEdit_kod" << 8;
}

void TaxTest::pickStoresCodeAndName()
{
    QFETCH(int, item);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, focus);
    QFETCH(int, chooser);
    SIGNED_IN(f, true);
    QVERIFY(openPanel(*f, false));
    const QString statusName = box(*f, QStringLiteral("e_s"))->text();
    pressTimes(Qt::Key_Down, item);
    Keys::press(Qt::Key_Return);
    auto *grid = qobject_cast<QTableView *>(control(*f, QStringLiteral("gridn")));
    int row = 0;
    while (row < grid->model()->rowCount() && grid->model()->index(row, 0).data().toString() != code)
        ++row;
    QVERIFY(row < grid->model()->rowCount());
    pressTimes(Qt::Key_Down, row - grid->currentIndex().row());
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), focus);
    QCOMPARE(chooserItem(*f), chooser);
    const char *column = item == 0 ? "P101_STATU" : item == 3 ? "P106_OSNOV" : "P110_TIP";
    const char *nameBox = item == 0 ? "e_s" : item == 3 ? "e_o" : "e_t";
    const char *copy = item == 0 ? "DBEdit1" : item == 3 ? "DBEdit4" : "DBEdit37";
    QCOMPARE(document(*f, QLatin1String(column)), code);
    QCOMPARE(box(*f, QLatin1String(copy))->text(), code);
    QCOMPARE(box(*f, QLatin1String(nameBox))->text(), name);
    if (item != 0)
        QCOMPARE(box(*f, QStringLiteral("e_s"))->text(), statusName);
    // Out to the amount the panel closes; into anything of its own it stays.
    QCOMPARE(control(*f, QStringLiteral("Panel3"))->isVisible(), focus != QLatin1String("e_s2"));
    QCOMPARE(grid->isVisible(), focus == QLatin1String("gridn"));
}

void TaxTest::emptyCodeListPicksAnEmptyCode()
{
    SIGNED_IN(f, true, [](TempDatabase &d) {
        d.db().run(QStringLiteral("delete from N_PARAM where TIP='t'"));
        d.db().run(QStringLiteral("update PL set P110_TIP='ПЕ' where ID='D1'"));
    });
    QVERIFY(openPanel(*f, true));
    QVERIFY(box(*f, QStringLiteral("e_t"))->text().isEmpty());
    pressTimes(Qt::Key_Down, 7);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("gridn"));
    QCOMPARE(qobject_cast<QTableView *>(control(*f, QStringLiteral("gridn")))->model()->rowCount(), 0);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_kod"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("edit_s"));
    QCOMPARE(document(*f, QStringLiteral("P110_TIP")), QString());
    QVERIFY(f->dialogs().errors().isEmpty());
}

// ---------------------------------------------------------------------------
// The period rule and the typed fields

void TaxTest::periodRule_data()
{
    QTest::addColumn<QString>("basis");
    QTest::addColumn<bool>("controlOn");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("chooser");
    QTest::newRow("0, control on: the type picker") << "0" << true << "gridn" << 7;
    QTest::newRow("0, control off: the type box") << "0" << false << "DBEdit_t" << 7;
    QTest::newRow("ТП, control on: the period lists") << "ТП" << true << "Lp1" << 4;
    QTest::newRow("ЗД, control on: the period lists") << "ЗД" << true << "Lp1" << 4;
    QTest::newRow("ТП, control off: typed") << "ТП" << false << "DBEdit_perio" << 4;
    QTest::newRow("ЗД, control off: typed") << "ЗД" << false << "DBEdit_perio" << 4;
    QTest::newRow("АП: the document number") << "АП" << true << "DBEdit_n_doc" << 5;
    QTest::newRow("АР, control off: the document number") << "АР" << false << "DBEdit_n_doc" << 5;
    QTest::newRow("another basis: typed") << "ТР" << true << "DBEdit_perio" << 4;
}

void TaxTest::periodRule()
{
    QFETCH(QString, basis);
    QFETCH(bool, controlOn);
    QFETCH(QString, focus);
    QFETCH(int, chooser);
    SIGNED_IN(f, controlOn,
              withDetails({{"P106_OSNOV", basis}, {"P107_PERIO", "МС.02.2024"}, {"P108_N_DOC", "17"}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4); // "период:"
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), focus);
    QCOMPARE(chooserItem(*f), chooser);
    if (focus == QLatin1String("Lp1"))
        QCOMPARE(list(*f, focus)->currentRow(), 0);
    // Skipping the period leaves what was there.
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), QStringLiteral("МС.02.2024"));
    QCOMPARE(document(*f, QStringLiteral("P108_N_DOC")), QStringLiteral("17"));

    // Enter in the basis box runs the same rule.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("l3"));
    if (!controlOn) {
        pressTimes(Qt::Key_Up, chooserItem(*f) - 3);
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("DBEdit_o"));
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), focus);
        QCOMPARE(chooserItem(*f), chooser);
    }
}

void TaxTest::typedFieldsLeadThroughThePanel()
{
    SIGNED_IN(f, false);
    QVERIFY(openPanel(*f, false));
    Keys::press(Qt::Key_Return);
    const struct { const char *box; const char *typed; int chooser; } steps[] = {
        {"DBEdit_s", "01", 0},         {"DBEdit_kbk", "18210102010011000110", 1}, {"DBEdit_okato", "45382000", 2},
        {"DBEdit_o", "ТР", 3},         {"DBEdit_perio", "КВ.01.2024", 4},          {"DBEdit_n_doc", "ТР-15", 5},
        {"DBEdit_d_doc", "01.02.2024", 6}, {"DBEdit_t", "ПЕ", 7}, {"DBEdit_kod", "18201061201010000510", 8},
    };
    for (const auto &s : steps) {
        QCOMPARE(focusName(), QLatin1String(s.box));
        QCOMPARE(chooserItem(*f), s.chooser);
        Keys::type(QString::fromUtf8(s.typed));
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("e_s2"));
    QVERIFY(control(*f, QStringLiteral("Panel3"))->isHidden());
    const QStringList copies = {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit23", "DBEdit36", "DBEdit37"};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(document(*f, taxColumns.at(i)), QString::fromUtf8(steps[i].typed));
        QCOMPARE(box(*f, copies.at(i))->text(), QString::fromUtf8(steps[i].typed));
    }
    // Typed codes are not looked up: the names stay as the panel showed them.
    QCOMPARE(box(*f, QStringLiteral("e_t"))->text(), QStringLiteral("значение не указывается"));
    // A box takes no more than its column holds.
    Keys::press(Qt::Key_Escape); // the amount entry back to l2
    QCOMPARE(focusName(), QStringLiteral("l2"));
    Keys::press(Qt::Key_Return);
    pressTimes(Qt::Key_Down, 3);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_o"));
    Keys::type(QStringLiteral("ЗДИ"));
    QCOMPARE(box(*f, QStringLiteral("DBEdit_o"))->text(), QStringLiteral("ЗД"));
}

void TaxTest::escapeReturns_data()
{
    QTest::addColumn<int>("item"); // -1: the chooser itself
    QTest::addColumn<bool>("controlOn");
    QTest::addColumn<QString>("focus");
    QTest::newRow("Esc on the chooser: back to l2") << -1 << true << "l2";
    QTest::newRow("Esc in a box: the chooser") << 1 << true << "l3";
    QTest::newRow("Esc in the picker: the chooser") << 0 << true << "l3";
    QTest::newRow("Esc in Lp1: the chooser") << 4 << true << "l3";
}

void TaxTest::escapeReturns()
{
    QFETCH(int, item);
    QFETCH(bool, controlOn);
    QFETCH(QString, focus);
    SIGNED_IN(f, controlOn, withDetails({{"P101_STATU", "05"}, {"P106_OSNOV", "ТП"}}));
    QVERIFY(openPanel(*f, true));
    if (item >= 0) {
        pressTimes(Qt::Key_Down, item);
        Keys::press(Qt::Key_Return);
        Keys::type(QStringLiteral("12"));
    }
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), focus);
    QCOMPARE(control(*f, QStringLiteral("Panel3"))->isVisible(), item >= 0);
    QCOMPARE(document(*f, QStringLiteral("P101_STATU")), QStringLiteral("05"));
    // What was typed into a box is kept.
    QCOMPARE(document(*f, QStringLiteral("P104_KBK")), item == 1 ? QStringLiteral("12") : QString());
    if (item < 0) {
        QCOMPARE(list(*f, QStringLiteral("l2"))->currentRow(), 1);
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("l3"));
    }
}

// ---------------------------------------------------------------------------
// The period composer

void TaxTest::periodForms_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("second"); // empty: straight to the year
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("period");
    QTest::newRow("first decade") << "за 1 декаду месяца" << "05" << "2004" << "Д1." << "Д1.05.2004";
    QTest::newRow("second decade") << "за 2 декаду месяца" << "03" << "2005" << "Д2." << "Д2.03.2005";
    QTest::newRow("third decade") << "за 3 декаду месяца" << "12" << "2003" << "Д3." << "Д3.12.2003";
    QTest::newRow("month") << "за месяц" << "05" << "2004" << "МС." << "МС.05.2004";
    QTest::newRow("quarter") << "за квартал" << "01" << "2004" << "КВ." << "КВ.01.2004";
    QTest::newRow("half-year") << "за полугодие" << "02" << "2004" << "ПЛ." << "ПЛ.02.2004";
    QTest::newRow("year") << "за год" << "" << "2004" << "ГД.00." << "ГД.00.2004";
    QTest::newRow("next year") << "за год" << "" << "2025" << "ГД.00." << "ГД.00.2025";
}

void TaxTest::periodForms()
{
    QFETCH(QString, kind);
    QFETCH(QString, second);
    QFETCH(QString, year);
    QFETCH(QString, first);
    QFETCH(QString, period);
    // A period already there is replaced, not added to.
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ТП"}, {"P107_PERIO", "ГД.00.2020"}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("Lp1"));
    choose(list(*f, QStringLiteral("Lp1")), kind);
    Keys::press(Qt::Key_Return);
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), first);
    QCOMPARE(box(*f, QStringLiteral("DBEdit_perio"))->text(), first);
    QCOMPARE(box(*f, QStringLiteral("DBEdit5"))->text(), first);
    QVERIFY(control(*f, QStringLiteral("Lp1"))->isHidden());
    if (!second.isEmpty()) {
        const QString secondList = kind.contains(QStringLiteral("квартал")) ? "Lp4"
                                   : kind.contains(QStringLiteral("полугод")) ? "Lp5" : "Lp2";
        QCOMPARE(focusName(), secondList);
        choose(list(*f, secondList), second);
        Keys::press(Qt::Key_Return);
        QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), first + second + QLatin1Char('.'));
        QCOMPARE(box(*f, QStringLiteral("DBEdit5"))->text(), first + second + QLatin1Char('.'));
    }
    QCOMPARE(focusName(), QStringLiteral("Lp3"));
    choose(list(*f, QStringLiteral("Lp3")), year);
    Keys::press(Qt::Key_Return);
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), period);
    QCOMPARE(box(*f, QStringLiteral("DBEdit_perio"))->text(), period);
    QCOMPARE(box(*f, QStringLiteral("DBEdit5"))->text(), period);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_n_doc"));
    QCOMPARE(chooserItem(*f), 5);
    QVERIFY(control(*f, QStringLiteral("Lp3"))->isHidden());
}

void TaxTest::listsOpenOnToday_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("quarter");
    QTest::addColumn<QString>("half");
    QTest::newRow("January 2004") << QDate(2004, 1, 31) << "01" << "01" << "01";
    QTest::newRow("June 2010") << QDate(2010, 6, 30) << "06" << "02" << "01";
    QTest::newRow("July 2026") << QDate(2026, 7, 1) << "07" << "03" << "02";
    QTest::newRow("December 2031") << QDate(2031, 12, 1) << "12" << "04" << "02";
}

void TaxTest::listsOpenOnToday()
{
    QFETCH(QDate, date);
    QFETCH(QString, month);
    QFETCH(QString, quarter);
    QFETCH(QString, half);
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ЗД"}}));
    Clock::set(QDateTime(date, QTime(9, 0)));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4);
    const struct { int kind; const char *list; QString opens; } cases[] = {
        {3, "Lp2", month}, {4, "Lp4", quarter}, {5, "Lp5", half}};
    for (const auto &c : cases) {
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("Lp1"));
        pressTimes(Qt::Key_Down, c.kind);
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), QLatin1String(c.list));
        QCOMPARE(list(*f, QLatin1String(c.list))->currentItem()->text(), c.opens);
        Keys::press(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("Lp3"));
        // The years run from 2000 to the next one and open on this one.
        QListWidget *years = list(*f, QStringLiteral("Lp3"));
        QCOMPARE(years->item(0)->text(), QStringLiteral("2000"));
        QCOMPARE(years->item(years->count() - 1)->text(), QString::number(date.year() + 1));
        QCOMPARE(years->currentItem()->text(), QString::number(date.year()));
        Keys::press(Qt::Key_Escape);
        QCOMPARE(focusName(), QStringLiteral("l3"));
    }
}

void TaxTest::escapeInALaterListKeepsThePartialText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("enters"); // Enter presses after the kind before Esc
    QTest::addColumn<QString>("partial");
    QTest::newRow("Esc in the month list") << 3 << 0 << "МС.";
    QTest::newRow("Esc in the year list after a month") << 3 << 1 << "МС.03.";
    QTest::newRow("Esc in the year list after a year kind") << 6 << 0 << "ГД.00.";
    QTest::newRow("Esc in the half-year list") << 5 << 0 << "ПЛ.";
}

void TaxTest::escapeInALaterListKeepsThePartialText()
{
    QFETCH(int, kind);
    QFETCH(int, enters);
    QFETCH(QString, partial);
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ТП"}, {"P107_PERIO", "КВ.04.2023"}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4);
    Keys::press(Qt::Key_Return);
    pressTimes(Qt::Key_Down, kind);
    Keys::press(Qt::Key_Return);
    pressTimes(Qt::Key_Return, enters);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("l3"));
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), partial);
    QCOMPARE(box(*f, QStringLiteral("DBEdit_perio"))->text(), partial);
    QCOMPARE(box(*f, QStringLiteral("DBEdit5"))->text(), partial);
    for (const char *l : {"Lp1", "Lp2", "Lp3", "Lp4", "Lp5"})
        QVERIFY2(control(*f, QLatin1String(l))->isHidden(), l);
    // The partial text is what the document keeps when it is stored.
    pressTimes(Qt::Key_Escape, 4); // l2, l1, the date, the number
    QCOMPARE(focusName(), QStringLiteral("edit_nom"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(f->data().scalar(QStringLiteral("select P107_PERIO from PL where ID='D1'")).toString(), partial);
}

void TaxTest::yearWithNothingSelectedDoesNothing()
{
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ТП"}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4);
    Keys::press(Qt::Key_Return);
    pressTimes(Qt::Key_Down, 6); // за год
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("Lp3"));
    list(*f, QStringLiteral("Lp3"))->setCurrentRow(-1);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("Lp3"));
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), QStringLiteral("ГД.00."));
}

void TaxTest::pageDownLeavesForTheAmount_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("hasAmount");
    QTest::addColumn<QString>("focus");
    QTest::newRow("chooser, no amount") << "l3" << false << "e_s2";
    QTest::newRow("chooser, with an amount") << "l3" << true << "edit_s";
    QTest::newRow("picker, no amount") << "gridn" << false << "e_s2";
    QTest::newRow("picker, with an amount") << "gridn" << true << "edit_s";
    QTest::newRow("Lp1, with an amount") << "Lp1" << true << "edit_s";
    QTest::newRow("a box: nothing") << "DBEdit_kbk" << true << "DBEdit_kbk";
}

void TaxTest::pageDownLeavesForTheAmount()
{
    QFETCH(QString, from);
    QFETCH(bool, hasAmount);
    QFETCH(QString, focus);
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ТП"}, {"P101_STATU", "02"}}));
    QVERIFY(openPanel(*f, hasAmount));
    if (from == QLatin1String("gridn"))
        Keys::press(Qt::Key_Return);
    else if (from == QLatin1String("Lp1") || from == QLatin1String("DBEdit_kbk")) {
        pressTimes(Qt::Key_Down, from == QLatin1String("Lp1") ? 4 : 1);
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), from);
    Keys::press(Qt::Key_PageDown);
    QCOMPARE(focusName(), focus);
    const bool left = focus != from;
    QCOMPARE(control(*f, QStringLiteral("Panel3"))->isVisible(), !left);
    if (left)
        QCOMPARE(document(*f, QStringLiteral("P101_STATU")), hasAmount ? QStringLiteral("02") : QString());
}

void TaxTest::pageDownInsideTheLists()
{
    SIGNED_IN(f, true, withDetails({{"P106_OSNOV", "ТП"}}));
    QVERIFY(openPanel(*f, true));
    pressTimes(Qt::Key_Down, 4);
    Keys::press(Qt::Key_Return);
    pressTimes(Qt::Key_Down, 3); // за месяц
    Keys::press(Qt::Key_Return);
    QListWidget *months = list(*f, QStringLiteral("Lp2"));
    QCOMPARE(months->currentRow(), 2);
    Keys::press(Qt::Key_PageDown);
    QCOMPARE(focusName(), QStringLiteral("Lp2"));
    QVERIFY(months->currentRow() > 2);
    QCOMPARE(document(*f, QStringLiteral("P107_PERIO")), QStringLiteral("МС."));
}

// ---------------------------------------------------------------------------
// The control switch

void TaxTest::f5SwitchesTheControl_data()
{
    QTest::addColumn<int>("item");        // chooser item entered before F5; -1: the chooser
    QTest::addColumn<bool>("controlOn");
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("switches");
    QTest::newRow("chooser, on") << -1 << true << "l3" << true;
    QTest::newRow("chooser, off") << -1 << false << "l3" << true;
    QTest::newRow("status box") << 0 << false << "DBEdit_s" << true;
    QTest::newRow("KBK box") << 1 << true << "DBEdit_kbk" << true;
    QTest::newRow("period box") << 4 << false << "DBEdit_perio" << true;
    QTest::newRow("number box") << 5 << true << "DBEdit_n_doc" << true;
    QTest::newRow("type box") << 7 << false << "DBEdit_t" << true;
    QTest::newRow("picker: nothing") << 0 << true << "gridn" << false;
    QTest::newRow("period list: nothing") << 4 << true << "Lp1" << false;
}

void TaxTest::f5SwitchesTheControl()
{
    QFETCH(int, item);
    QFETCH(bool, controlOn);
    QFETCH(QString, where);
    QFETCH(bool, switches);
    SIGNED_IN(f, controlOn, withDetails({{"P106_OSNOV", "ТП"}}));
    QVERIFY(openPanel(*f, true));
    if (item >= 0) {
        pressTimes(Qt::Key_Down, item);
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), where);
    auto *state = qobject_cast<QLabel *>(control(*f, QStringLiteral("l_kon")));
    const auto shown = [](bool on) { return on ? QStringLiteral("включен") : QStringLiteral("выключен"); };
    const auto stored = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
    Keys::press(Qt::Key_F5);
    const bool now = switches ? !controlOn : controlOn;
    QCOMPARE(focusName(), where);
    QCOMPARE(state->text(), shown(now));
    QCOMPARE(storedControl(*f), stored(now));
    QCOMPARE(f->window().session().setting(QStringLiteral("P3")), stored(now));
    // Saved at once, with the document itself still unstored.
    QCOMPARE(f->data().scalar(QStringLiteral("select NALOG from PL where ID='D1'")).toBool(), false);
    if (!switches)
        return;
    Keys::press(Qt::Key_F5);
    QCOMPARE(state->text(), shown(controlOn));
    QCOMPARE(storedControl(*f), stored(controlOn));
    Keys::press(Qt::Key_F5);
    // The new state governs the next Enter on the chooser.
    if (where != QLatin1String("l3"))
        Keys::press(Qt::Key_Escape);
    pressTimes(Qt::Key_Up, chooserItem(*f));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), now ? QStringLiteral("gridn") : QStringLiteral("DBEdit_s"));
}

void TaxTest::f5RefusedKeepsTheControl()
{
    SIGNED_IN(f, true);
    QVERIFY(openPanel(*f, false));
    FailingWrites::refuse(f->data().db(), QStringLiteral("PARAM"), QStringLiteral("update"));
    Keys::press(Qt::Key_F5);
    QCOMPARE(f->dialogs().errors().size(), 1);
    QVERIFY(f->dialogs().errors().first().contains(FailingWrites::message()));
    QCOMPARE(qobject_cast<QLabel *>(control(*f, QStringLiteral("l_kon")))->text(), QStringLiteral("включен"));
    QCOMPARE(storedControl(*f), QStringLiteral("True"));
    QCOMPARE(f->window().session().setting(QStringLiteral("P3")), QStringLiteral("True"));
    QCOMPARE(f->window().session().user().state(), DataSet::State::Browse);
    QCOMPARE(focusName(), QStringLiteral("l3"));
    FailingWrites::allow(f->data().db(), QStringLiteral("PARAM"));
    Keys::press(Qt::Key_F5);
    QCOMPARE(storedControl(*f), QStringLiteral("False"));
}

// ---------------------------------------------------------------------------
// The document

void TaxTest::simpleAfterTaxEmptiesTheFields()
{
    SIGNED_IN(f, false);
    QVERIFY(openPanel(*f, true));
    Keys::press(Qt::Key_Return);
    for (const char *typed : {"01", "18210102010011000110", "45382000", "ТР", "КВ.01.2024", "15", "01.02.2024", "ПЕ", "0"}) {
        Keys::type(QString::fromUtf8(typed));
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("edit_s"));
    QCOMPARE(box(*f, QStringLiteral("DBEdit2"))->text(), QStringLiteral("18210102010011000110"));
    Keys::press(Qt::Key_Up); // back to l2
    QCOMPARE(focusName(), QStringLiteral("l2"));
    Keys::press(Qt::Key_Left); // ПРОСТ
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("edit_s"));
    QVERIFY(control(*f, QStringLiteral("Panel3"))->isHidden());
    for (const QString &column : taxColumns)
        QVERIFY2(document(*f, column).isEmpty(), qPrintable(column));
    for (const char *copy : {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit23", "DBEdit36", "DBEdit37"})
        QVERIFY2(box(*f, QLatin1String(copy))->text().isEmpty(), copy);
    Keys::press(Qt::Key_Up);
    Keys::press(Qt::Key_Escape); // l2 to l1
    Keys::press(Qt::Key_Escape); // l1 to the date
    Keys::press(Qt::Key_Escape); // the date to the number
    Keys::press(Qt::Key_Escape); // stored
    QCOMPARE(f->window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QSqlQuery q = f->data().db().run(QStringLiteral("select NALOG, %1 from PL where ID='D1'").arg(taxColumns.join(',')));
    QVERIFY(q.next());
    QVERIFY(!q.value(0).toBool());
    for (int i = 0; i < taxColumns.size(); ++i)
        QVERIFY2(q.value(i + 1).toString().isEmpty(), qPrintable(taxColumns.at(i)));
}

void TaxTest::apostropheCodes()
{
    SIGNED_IN(f, true, [](TempDatabase &d) {
        d.db().run(QStringLiteral("insert into N_PARAM (TIP, KOD, NAME) values ('s', ?, ?)"),
                   {QStringLiteral("'9"), QStringLiteral("статус с апострофом")});
    });
    QVERIFY(openPanel(*f, true));
    // Picked: the last status holds an apostrophe.
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_End);
    Keys::press(Qt::Key_Return);
    QCOMPARE(document(*f, QStringLiteral("P101_STATU")), QStringLiteral("'9"));
    QCOMPARE(box(*f, QStringLiteral("e_s"))->text(), QStringLiteral("статус с апострофом"));
    // Typed into the type box with the control off.
    Keys::press(Qt::Key_Escape);
    Keys::press(Qt::Key_F5);
    pressTimes(Qt::Key_Down, 6);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_t"));
    Keys::type(QStringLiteral("'x"));
    Keys::press(Qt::Key_Escape);
    // Opened again, both codes are looked up as they are.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("l2"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("l3"));
    QVERIFY(f->dialogs().errors().isEmpty());
    QCOMPARE(box(*f, QStringLiteral("e_s"))->text(), QStringLiteral("статус с апострофом"));
    QCOMPARE(box(*f, QStringLiteral("e_t"))->text(), QString());
    Keys::press(Qt::Key_PageDown);
    QCOMPARE(focusName(), QStringLiteral("edit_s"));
    Keys::press(Qt::Key_Up);
    pressTimes(Qt::Key_Escape, 4);
    QCOMPARE(f->window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QCOMPARE(f->data().scalar(QStringLiteral("select P101_STATU from PL where ID='D1'")).toString(), QStringLiteral("'9"));
    QCOMPARE(f->data().scalar(QStringLiteral("select P110_TIP from PL where ID='D1'")).toString(), QStringLiteral("'x"));
}

void TaxTest::copiesIgnoreKeysWhileHidden()
{
    SIGNED_IN(f, true, withDetails({{"NALOG", true}, {"P104_KBK", "18210102010011000110"}}));
    QVERIFY(f->window().q1().find(QStringLiteral("ID"), QStringLiteral("D1")));
    f->window().registerPage()->enter();
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("edit_nom"));
    const int shown = f->dialogs().log.size();
    for (const char *copy : {"DBEdit1", "DBEdit2", "DBEdit5", "DBEdit37"}) {
        QLineEdit *c = box(*f, QLatin1String(copy));
        QTest::mouseClick(c, Qt::LeftButton);
        QCOMPARE(focusName(), QLatin1String(copy));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_F5, Qt::Key_PageDown, Qt::Key_Down})
            Keys::press(key);
        Keys::type(QStringLiteral("7"));
        QCOMPARE(focusName(), QLatin1String(copy));
        QVERIFY(control(*f, QStringLiteral("Panel3"))->isHidden());
    }
    QCOMPARE(storedControl(*f), QStringLiteral("True"));
    QCOMPARE(document(*f, QStringLiteral("P104_KBK")), QStringLiteral("18210102010011000110"));
    QCOMPARE(f->dialogs().log.size(), shown);
}

void TaxTest::taxPaymentFromInsertToRegister()
{
    SIGNED_IN(f, true);
    const QString year = QString::number(today.year());
    Keys::press(Qt::Key_Insert);
    Keys::type(QStringLiteral("88"));
    pressTimes(Qt::Key_Return, 3);
    Keys::press(Qt::Key_Right); // НАЛОГ
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("l3"));
    Keys::press(Qt::Key_Return); // the status picker, on "01"
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_kbk"));
    Keys::type(QStringLiteral("18210102010011000110"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("45382000"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("gridn"));
    Keys::press(Qt::Key_Down); // ТП
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("Lp1"));
    pressTimes(Qt::Key_Down, 4); // за квартал
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("Lp4"));
    Keys::press(Qt::Key_Down); // from the first quarter to "02"
    Keys::press(Qt::Key_Return);
    QCOMPARE(list(*f, QStringLiteral("Lp3"))->currentItem()->text(), year);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_n_doc"));
    Keys::type(QStringLiteral("0"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("0"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("gridn")); // the type, on "0"
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_kod")); // field 22, "0" for a new tax payment
    QCOMPARE(box(*f, QStringLiteral("DBEdit_kod"))->text(), QStringLiteral("0"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("e_s2"));
    Keys::type(QStringLiteral("5000,00"));
    Keys::type(QStringLiteral("5000,00"));
    QCOMPARE(focusName(), QStringLiteral("DBE_SCH_KT"));
    Keys::type(QStringLiteral("03100643000000017300"));
    Keys::type(QStringLiteral("7727406020"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("770801001"));
    Keys::type(QStringLiteral("УФК по г. Москве"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("044525225"));
    QCOMPARE(focusName(), QStringLiteral("DBE_naz1"));
    Keys::type(QStringLiteral("Налог на прибыль"));
    Keys::press(Qt::Key_Return);
    Keys::type(QStringLiteral("0"));
    Keys::press(Qt::Key_Return);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBE_vid_oper"));
    Keys::type(QStringLiteral("01"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(f->window().pages()->currentWidget()->objectName(), QStringLiteral("all"));

    QSqlQuery q = f->data().db().run(
        QStringLiteral("select PRIZN_DK, NALOG, S, SCH_KT, %1 from PL where NOM='88'").arg(taxColumns.join(',')));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("3"));
    QVERIFY(q.value(1).toBool());
    QCOMPARE(q.value(2).toDouble(), 5000.0);
    QCOMPARE(q.value(3).toString(), QStringLiteral("03100643000000017300"));
    const QStringList expected = {"01", "18210102010011000110", "45382000", "ТП", "КВ.02." + year, "0", "0", "0", "0"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(q.value(4 + i).toString(), expected.at(i));
    // The register shows it as a tax payment.
    auto *grid = f->window().findChild<QTableView *>(QStringLiteral("grid_m"));
    QVERIFY(grid);
    QCOMPARE(f->window().q1().text(QStringLiteral("NOM")), QStringLiteral("88"));
    const QModelIndex tax = grid->model()->index(f->window().q1().recNo(), 3);
    QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Налог"));
    QCOMPARE(tax.data().toString(), QStringLiteral("Налог"));
}

// ---------------------------------------------------------------------------
// Field 22 and the unified tax payment

void TaxTest::accrualIdTakesWhatABankTakes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("taken");
    const int enter = Qt::Key_Return, pageDown = Qt::Key_PageDown, esc = Qt::Key_Escape;
    QTest::newRow("0") << "0" << enter << true;
    QTest::newRow("20 digits") << "18209965240012345678" << enter << true;
    QTest::newRow("25 digits, Page Down") << "0123456789012345678901234" << pageDown << true;
    QTest::newRow("25 digits, Esc") << "0123456789012345678901234" << esc << true;
    QTest::newRow("20 zeros") << QString(20, u'0') << enter << false;
    QTest::newRow("25 zeros") << QString(25, u'0') << pageDown << false;
    QTest::newRow("19 digits") << "1820996524001234567" << enter << false;
    QTest::newRow("21 digits") << "182099652400123456789" << enter << false;
    QTest::newRow("a letter") << "1820996524001234567А" << enter << false;
    QTest::newRow("full-width digits") << QStringLiteral("１８２０９９６５２４００１２３４５６７８") << enter << false;
    QTest::newRow("empty") << "" << esc << false;
}

void TaxTest::accrualIdTakesWhatABankTakes()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(bool, taken);
    SIGNED_IN(f, false);
    QVERIFY(openPanel(*f, false));
    QCOMPARE(list(*f, QStringLiteral("l3"))->count(), 9);
    QCOMPARE(list(*f, QStringLiteral("l3"))->item(8)->text(), QStringLiteral("УИН (22):"));
    pressTimes(Qt::Key_Down, 8);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBEdit_kod"));
    // A new tax payment holds "0" there.
    QCOMPARE(box(*f, QStringLiteral("DBEdit_kod"))->text(), QStringLiteral("0"));
    if (typed.isEmpty())
        Keys::press(Qt::Key_Delete);
    else
        Keys::type(typed);
    Keys::press(Qt::Key(key));
    auto *message = qobject_cast<QLabel *>(control(*f, QStringLiteral("l_kod")));
    QVERIFY(message);
    if (taken) {
        QCOMPARE(focusName(), key == Qt::Key_Escape ? QStringLiteral("l3") : QStringLiteral("e_s2"));
        QCOMPARE(document(*f, QStringLiteral("P22_KOD")), typed);
        QVERIFY(message->text().isEmpty());
        return;
    }
    // Kept in the box, told in red what it must hold; neither Esc nor Page Down gets out.
    QCOMPARE(focusName(), QStringLiteral("DBEdit_kod"));
    QCOMPARE(message->text(), QStringLiteral("УИН: 0 или 20/25 цифр"));
    QVERIFY(message->isVisible());
    for (Qt::Key other : {Qt::Key_Escape, Qt::Key_PageDown, Qt::Key_Return}) {
        Keys::press(other);
        QCOMPARE(focusName(), QStringLiteral("DBEdit_kod"));
    }
    // Mended, it goes on to the amount, which the new document has yet to get.
    Keys::type(QStringLiteral("0"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("e_s2"));
    QVERIFY(message->text().isEmpty());
    QCOMPARE(document(*f, QStringLiteral("P22_KOD")), QStringLiteral("0"));
}

void TaxTest::unifiedTaxPaymentInOneChoice_data()
{
    QTest::addColumn<bool>("newDocument");
    QTest::newRow("a new document") << true;
    QTest::newRow("a simple payment made one") << false;
}

// Insert, the number and the date kept, "Электронно", "ЕНП", the amount twice, Enter to the end.
void TaxTest::unifiedTaxPaymentInOneChoice()
{
    QFETCH(bool, newDocument);
    SIGNED_IN(f, true, withDetails({{"NDS", "0"}}));
    if (newDocument) {
        Keys::press(Qt::Key_Insert);
    } else {
        QVERIFY(f->window().q1().find(QStringLiteral("ID"), QStringLiteral("D1")));
        f->window().registerPage()->enter();
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("edit_nom"));
    const QString number = box(*f, QStringLiteral("edit_nom"))->text();
    pressTimes(Qt::Key_Return, 3); // number, date, "Электронно"
    QCOMPARE(focusName(), QStringLiteral("l2"));
    QCOMPARE(list(*f, QStringLiteral("l2"))->count(), 3);
    pressTimes(Qt::Key_Right, 2); // the items stand side by side: ПРОСТ, НАЛОГ, ЕНП
    QCOMPARE(list(*f, QStringLiteral("l2"))->currentItem()->text(), QStringLiteral("ЕНП"));
    Keys::press(Qt::Key_Return);
    // The tax panel stays shut; on to the amount, as the simple payment goes.
    QVERIFY(control(*f, QStringLiteral("Panel3"))->isHidden());
    if (newDocument) {
        QCOMPARE(focusName(), QStringLiteral("e_s2"));
        Keys::type(QStringLiteral("15000,00"));
        Keys::type(QStringLiteral("15000,00"));
    } else {
        QCOMPARE(focusName(), QStringLiteral("edit_s"));
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("DBE_SCH_KT"));
    for (int i = 0; i < 30 && focusName() != QLatin1String("DBE_vid_oper"); ++i)
        Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("DBE_vid_oper"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(f->window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QVERIFY2(f->dialogs().errors().isEmpty(), qPrintable(f->dialogs().errors().join('|')));

    const QStringList columns = {"PRIZN_DK", "NOM", "P101_STATU", "P104_KBK", "P105_OKATO", "P106_OSNOV", "P107_PERIO",
                                 "P108_N_DOC", "P109_D_DOC", "P110_TIP", "P22_KOD", "KPP_PL", "INN_POL", "KPP_POL",
                                 "NAME_POL1", "NAME_POL2", "SCH_KT", "MFOBANKPOL", "K_SBANK_KT", "BANK_POL1", "NAZNACH1"};
    const QStringList expected = {"3", number, "01", "18201061201010000510", "0", "0", "0", "0", "0", "", "0", "0",
                                  "7727406020", "770701001", "Казначейство России", "(ФНС России)",
                                  "03100643000000018500", "017003983", "40102810445370000059",
                                  "ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула",
                                  "Единый налоговый платеж"};
    QSqlQuery q = f->data().db().run(QStringLiteral("select NALOG, %1 from PL where %2")
                                         .arg(columns.join(','), newDocument ? QStringLiteral("ID<>'D1'") : QStringLiteral("ID='D1'")));
    QVERIFY(q.next());
    QVERIFY(q.value(0).toBool());
    for (int i = 0; i < columns.size(); ++i)
        QVERIFY2(q.value(i + 1).toString() == expected.at(i),
                 qPrintable(QStringLiteral("%1: %2").arg(columns.at(i), q.value(i + 1).toString())));
    QVERIFY(!q.next());
}

void TaxTest::unifiedTaxPaymentWithoutItsRecipient()
{
    SIGNED_IN(f, true, [](TempDatabase &d) { d.db().execute(QStringLiteral("delete from S_POL")); });
    Keys::press(Qt::Key_Insert);
    pressTimes(Qt::Key_Return, 3);
    pressTimes(Qt::Key_Right, 2);
    Keys::press(Qt::Key_Return);
    QCOMPARE(f->dialogs().messages(),
             QStringList{QStringLiteral("В справочнике получателей нет получателя ЕНП (счёт 03100643000000018500)")});
    QCOMPARE(focusName(), QStringLiteral("l2"));
    QVERIFY(list(*f, QStringLiteral("l2"))->isVisible());
    QVERIFY(!f->window().q1().logical(QStringLiteral("NALOG")));
    QVERIFY(f->window().q1().text(QStringLiteral("SCH_KT")).isEmpty());
}

// ---------------------------------------------------------------------------
// The panel's rules without the window

void TaxTest::openingMakesATaxPaymentWithItsZeros()
{
    SessionFixture f;
    QVERIFY(f.isValid());
    QVERIFY(f.startNew());
    DataSet &doc = f.session().documents();
    const QString basis = QLatin1String(taxFields().at(TaxBasisItem).column);
    const QString type = QLatin1String(taxFields().at(TaxTypeItem).column);
    const QString accrual = QLatin1String(taxFields().at(TaxAccrualIdItem).column);
    doc.setValue(basis, QStringLiteral("ТП"));
    TaxDetails::Open(f.session());
    QVERIFY(doc.logical(QStringLiteral("NALOG")));
    // What is known stays; the rest holds "0".
    QCOMPARE(doc.text(basis), QStringLiteral("ТП"));
    QCOMPARE(doc.text(type), QStringLiteral("0"));
    QCOMPARE(doc.text(accrual), QStringLiteral("0"));
    QCOMPARE(doc.state(), DataSet::State::Insert);
    QCOMPARE(f.data().scalar(QStringLiteral("select count(*) from PL")).toInt(), 0);
}

void TaxTest::controlSwitchIsSavedAtOnce()
{
    SessionFixture f;
    QVERIFY(f.isValid());
    const bool before = TaxDetails::ControlOn(f.session());
    for (bool expected : {!before, before}) {
        QCOMPARE(TaxDetails::ToggleControl(f.session()), expected);
        QCOMPARE(TaxDetails::ControlOn(f.session()), expected);
        const QString stored = f.data().scalar(QStringLiteral("select P3 from PARAM where PAS='1'")).toString();
        QCOMPARE(stored.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0, expected);
    }
}

void TaxTest::fieldWritesOnlyWhileEditing()
{
    SessionFixture f;
    QVERIFY(f.isValid());
    QVERIFY(f.startNew());
    DataSet &doc = f.session().documents();
    QVERIFY(TaxDetails::Write(f.session(), TaxStatusItem, QStringLiteral("01")));
    QCOMPARE(doc.text(QLatin1String(taxFields().at(TaxStatusItem).column)), QStringLiteral("01"));
    // The same text again is no change.
    QVERIFY(!TaxDetails::Write(f.session(), TaxStatusItem, QStringLiteral("01")));
    doc.cancel();
    QVERIFY(!TaxDetails::Write(f.session(), TaxStatusItem, QStringLiteral("02")));
}

QTEST_MAIN(TaxTest)
#include "tst_tax.moc"
