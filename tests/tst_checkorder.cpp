#include "document/CheckOrder.h"
#include "document/PaymentOrder.h"

#include <QMap>
#include <QTest>

namespace {

// The unified tax payment as the tax service asks for it.
PaymentOrder enpOrder()
{
    PaymentOrder o;
    o.number = QStringLiteral("15");
    o.date = QDate(2026, 4, 20);
    o.amount = 12500.0;
    o.payerName1 = QStringLiteral("ООО \"Ромашка\"");
    o.payerInn = QStringLiteral("7707083893");
    o.payerKpp = QStringLiteral("0");
    o.payerAccount = QStringLiteral("40702810200000000001");
    o.payerBik = QStringLiteral("044525225");
    o.payerCorrespondent = QStringLiteral("30101810400000000225");
    o.recipientName1 = QStringLiteral("Казначейство России (ФНС России)");
    o.recipientInn = QStringLiteral("7727406020");
    o.recipientKpp = QStringLiteral("770701001");
    o.recipientAccount = QStringLiteral("03100643000000018500");
    o.recipientBik = QStringLiteral("017003983");
    o.recipientCorrespondent = QStringLiteral("40102810445370000059");
    o.purpose1 = QStringLiteral("Единый налоговый платеж");
    o.priority = QStringLiteral("5");
    o.tax = true;
    o.status = QStringLiteral("01");
    o.kbk = QStringLiteral("18201061201010000510");
    o.okato = QStringLiteral("0");
    o.basis = QStringLiteral("0");
    o.period = QStringLiteral("0");
    o.basisNumber = QStringLiteral("0");
    o.basisDate = QStringLiteral("0");
    o.accrualId = QStringLiteral("0");
    return o;
}

// A supplier paid from one bank's account to another's, both keys valid.
PaymentOrder commercialOrder()
{
    PaymentOrder o = enpOrder();
    o.payerKpp = QStringLiteral("770701001");
    o.recipientName1 = QStringLiteral("АО \"Лютик\"");
    o.recipientInn = QStringLiteral("7710140679");
    o.recipientKpp = QStringLiteral("771001001");
    o.recipientAccount = QStringLiteral("40702810000000000002");
    o.recipientBik = QStringLiteral("044525187");
    o.recipientCorrespondent = QStringLiteral("30101810700000000187");
    o.purpose1 = QStringLiteral("Оплата по счёту № 7 за товар");
    o.vatLine = QStringLiteral("В т.ч. НДС 20% - 2083-33");
    o.tax = false;
    o.status = o.kbk = o.okato = o.basis = o.period = o.basisNumber = o.basisDate = o.accrualId = QString();
    return o;
}

// The text members a row of the table changes, by column name.
const QMap<QString, QString PaymentOrder::*> &members()
{
    static const QMap<QString, QString PaymentOrder::*> map = {
        {"NOM", &PaymentOrder::number},
        {"INN_PL", &PaymentOrder::payerInn},
        {"KPP_PL", &PaymentOrder::payerKpp},
        {"SCH_DT", &PaymentOrder::payerAccount},
        {"MFOBANK_PL", &PaymentOrder::payerBik},
        {"INN_POL", &PaymentOrder::recipientInn},
        {"KPP_POL", &PaymentOrder::recipientKpp},
        {"SCH_KT", &PaymentOrder::recipientAccount},
        {"MFOBANKPOL", &PaymentOrder::recipientBik},
        {"K_SBANK_KT", &PaymentOrder::recipientCorrespondent},
        {"NAZNACH1", &PaymentOrder::purpose1},
        {"NAZNACH5", &PaymentOrder::vatLine},
        {"OCHER_PL", &PaymentOrder::priority},
        {"P101_STATU", &PaymentOrder::status},
        {"P104_KBK", &PaymentOrder::kbk},
        {"P105_OKATO", &PaymentOrder::okato},
        {"P107_PERIO", &PaymentOrder::period},
        {"P109_D_DOC", &PaymentOrder::basisDate},
        {"P22_KOD", &PaymentOrder::accrualId},
    };
    return map;
}

} // namespace

class CheckOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void checkOrder_data();
    void checkOrder();
};

void CheckOrderTest::checkOrder_data()
{
    QTest::addColumn<bool>("enp");       // the unified tax payment, else the commercial order
    QTest::addColumn<QStringList>("changes"); // COLUMN=value
    QTest::addColumn<QString>("problem"); // what the one problem names; empty when the order passes

    const auto good = [](const char *name, bool enp, const QStringList &changes) {
        QTest::newRow(name) << enp << changes << QString();
    };
    const auto bad = [](const char *name, bool enp, const QStringList &changes, const QString &problem) {
        QTest::newRow(name) << enp << changes << problem;
    };

    good("ЕНП", true, {});
    good("commercial", false, {});

    // Accounts against BIKs.
    bad("payer's key off", false, {"SCH_DT=40702810300000000001"}, "Плательщик: счёт 40702810300000000001 не сходится с БИК 044525225");
    bad("recipient's key off", false, {"SCH_KT=40702810100000000002"}, "Получатель: счёт 40702810100000000002 не сходится с БИК 044525187");
    bad("payer's account short", false, {"SCH_DT=4070281020000000001"}, "Плательщик: счёт «4070281020000000001»");
    bad("payer's account empty", false, {"SCH_DT="}, "Плательщик: счёт не указан");
    bad("payer's account of full-width digits", false, {QString::fromUtf8("SCH_DT=４０７０２８１０２００００００００００１")},
        QString::fromUtf8("Плательщик: счёт «４０７０２８１０２００００００００００１»"));
    bad("recipient's BIK short", false, {"MFOBANKPOL=04452518"}, "Получатель: БИК «04452518»");
    good("treasury division's BIK 00", false, {"MFOBANKPOL=004525988", "SCH_KT=40702810000000000009"});
    good("treasury account 03 at a bank's BIK", false, {"SCH_KT=03212643000000010000"});

    // INN and KPP.
    bad("payer's INN check digit off", false, {"INN_PL=7707083894"}, "Плательщик: ИНН 7707083894");
    bad("payer's INN 0", false, {"INN_PL=0"}, "Плательщик: ИНН «0»");
    bad("payer's INN empty", false, {"INN_PL="}, "Плательщик: ИНН не указан");
    bad("recipient's INN of 11 digits", false, {"INN_POL=77101406790"}, "Получатель: ИНН «77101406790»");
    bad("recipient's INN of full-width digits", false, {QString::fromUtf8("INN_POL=７７１０１４０６７９")},
        QString::fromUtf8("Получатель: ИНН «７７１０１４０６７９»"));
    good("recipient's INN 0", false, {"INN_POL=0"});
    good("sole trader's INN of 12 digits, no KPP", false, {"INN_PL=500100732259", "KPP_PL="});
    bad("sole trader's INN of 12 digits off", false, {"INN_PL=500100732258", "KPP_PL="}, "Плательщик: ИНН 500100732258");
    bad("organisation without KPP", false, {"KPP_PL="}, "Плательщик: КПП не указан");
    bad("KPP of 8 characters", false, {"KPP_POL=77100100"}, "Получатель: КПП «77100100»");
    bad("KPP of 10 characters", false, {"KPP_POL=7710010011"}, "Получатель: КПП «7710010011»");
    good("KPP 0", false, {"KPP_POL=0"});
    good("KPP with letters in the middle", false, {"KPP_POL=7710AB001"});

    // Priority, number, purpose.
    bad("priority 0", false, {"OCHER_PL=0"}, "очерёдность");
    bad("priority 6", false, {"OCHER_PL=6"}, "«6»");
    bad("no priority", false, {"OCHER_PL="}, "очерёдность");
    good("priority 1", false, {"OCHER_PL=1"});
    bad("number of 7 characters", false, {"NOM=1234567"}, "«1234567»");
    good("number of 6 characters", false, {"NOM=123456"});
    bad("no purpose", false, {"NAZNACH1=", "NAZNACH5="}, "Назначение платежа не указано");
    bad("purpose of 211 characters", false, {"NAZNACH1=" + QString(211, QLatin1Char('x')), "NAZNACH5="}, "211");
    good("purpose of 210 characters", false, {"NAZNACH1=" + QString(210, QLatin1Char('x')), "NAZNACH5="});
    good("purpose of 210 characters, one an emoji", false,
         {"NAZNACH1=" + QString(209, QLatin1Char('x')) + QString::fromUtf8("😀"), "NAZNACH5="});

    // A budget payment's fields.
    bad("status of one digit", true, {"P101_STATU=1"}, "101");
    bad("status with a letter", true, {"P101_STATU=0A"}, "101");
    bad("no status", true, {"P101_STATU="}, "101");
    bad("KBK of 19 digits", true, {"P104_KBK=1820106120101000051"}, "104");
    bad("KBK with a letter", true, {"P104_KBK=1820106120101000051A"}, "104");
    good("KBK 0", true, {"P104_KBK=0"});
    bad("OKTMO of 7 digits", true, {"P105_OKATO=4570100"}, "105");
    good("OKTMO of 8 digits", true, {"P105_OKATO=45701000"});
    good("OKTMO of 11 digits", true, {"P105_OKATO=45701000001"});
    bad("OKTMO of full-width digits", true, {QString::fromUtf8("P105_OKATO=４５７０１０００")}, "105");
    good("month", true, {QString::fromUtf8("P107_PERIO=МС.01.2026")});
    good("quarter", true, {QString::fromUtf8("P107_PERIO=КВ.04.2026")});
    good("half-year", true, {QString::fromUtf8("P107_PERIO=ПЛ.02.2026")});
    good("year", true, {QString::fromUtf8("P107_PERIO=ГД.00.2026")});
    good("decade", true, {QString::fromUtf8("P107_PERIO=Д3.12.2026")});
    good("period as a date", true, {"P107_PERIO=15.03.2026"});
    bad("month 13", true, {QString::fromUtf8("P107_PERIO=МС.13.2026")}, "107");
    bad("quarter 5", true, {QString::fromUtf8("P107_PERIO=КВ.05.2026")}, "107");
    bad("half-year 3", true, {QString::fromUtf8("P107_PERIO=ПЛ.03.2026")}, "107");
    bad("year with a month", true, {QString::fromUtf8("P107_PERIO=ГД.01.2026")}, "107");
    bad("decade 4", true, {QString::fromUtf8("P107_PERIO=Д4.01.2026")}, "107");
    bad("period of an impossible date", true, {"P107_PERIO=31.02.2026"}, "107");
    bad("period of a two-digit year", true, {QString::fromUtf8("P107_PERIO=МС.01.26")}, "107");
    bad("period in Latin letters", true, {"P107_PERIO=MC.01.2026"}, "107");
    bad("no period", true, {"P107_PERIO="}, "107");
    good("document date", true, {"P109_D_DOC=15.03.2026"});
    bad("document date in another form", true, {"P109_D_DOC=2026-03-15"}, "109");
    bad("document date impossible", true, {"P109_D_DOC=30.02.2026"}, "109");
    good("accrual id of 20 digits", true, {"P22_KOD=18209965264512345678"});
    good("accrual id of 25 digits", true, {"P22_KOD=0318209965264512345678901"});
    bad("accrual id empty", true, {"P22_KOD="}, "22");
    bad("accrual id of zeros", true, {"P22_KOD=00000000000000000000"}, "22");
    bad("accrual id of 21 digits", true, {"P22_KOD=182099652645123456789"}, "22");
    bad("accrual id of full-width digits", true, {QString::fromUtf8("P22_KOD=１８２０９９６５２６４５１２３４５６７８")}, "22");
    bad("budget payment to a bank account", true, {"SCH_KT=40702810000000000009"}, "03");
    bad("treasury bank without the single account", true, {"K_SBANK_KT=30101810445370000059"}, "40102");
    // A commercial payment leaves the budget fields alone.
    good("commercial payment with empty budget fields", false, {"P104_KBK=", "P107_PERIO=x", "P22_KOD="});
}

void CheckOrderTest::checkOrder()
{
    QFETCH(bool, enp);
    QFETCH(QStringList, changes);
    QFETCH(QString, problem);
    PaymentOrder order = enp ? enpOrder() : commercialOrder();
    for (const QString &change : changes) {
        const int eq = int(change.indexOf(QLatin1Char('=')));
        QVERIFY2(members().contains(change.left(eq)), qPrintable(change));
        order.*members().value(change.left(eq)) = change.mid(eq + 1);
    }
    const QStringList problems = CheckOrder(order);
    if (problem.isEmpty()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        return;
    }
    QCOMPARE(problems.size(), 1);
    QVERIFY2(problems.first().contains(problem), qPrintable(problems.first()));
}

QTEST_GUILESS_MAIN(CheckOrderTest)
#include "tst_checkorder.moc"
