#include "money/MoneyText.h"
#include "store/AppError.h"
#include "store/DateText.h"
#include "store/DecimalText.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <limits>

// Every test runs once per locale row: the texts must not depend on the
// machine's locale nor on Qt's default locale.
class TestEntryText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void cleanup();

    void moneyText_data();
    void moneyText();
    void moneyTextRefusesNonFinite_data();
    void moneyTextRefusesNonFinite();

    void readDateText_data();
    void readDateText();
    void readDateTextRefuses_data();
    void readDateTextRefuses();
    void writeDateText_data();
    void writeDateText();

    void readDecimal_data();
    void readDecimal();
    void decimalRefuses_data();
    void decimalRefuses();
};

void TestEntryText::initTestCase_data()
{
    QTest::addColumn<QLocale>("qtLocale");
    QTest::addColumn<QStringList>("cLocales"); // the first one installed is used

    QTest::newRow("C") << QLocale::c() << QStringList{QStringLiteral("C")};
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia)
                             << QStringList{QStringLiteral("ru_RU.UTF-8"), QStringLiteral("ru_RU.utf8"),
                                            QStringLiteral("de_DE.UTF-8"), QStringLiteral("de_DE.utf8")};
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                            << QStringList{QStringLiteral("de_DE.UTF-8"), QStringLiteral("de_DE.utf8")};
    // Native digits and a different decimal sign.
    QTest::newRow("Arabic") << QLocale(QLocale::Arabic, QLocale::Egypt)
                            << QStringList{QStringLiteral("ar_EG.UTF-8"), QStringLiteral("ar_EG.utf8")};
}

void TestEntryText::init()
{
    QFETCH_GLOBAL(QLocale, qtLocale);
    QFETCH_GLOBAL(QStringList, cLocales);
    QLocale::setDefault(qtLocale);
    for (const QString &name : cLocales)
        if (std::setlocale(LC_ALL, name.toLatin1().constData()))
            break;
}

void TestEntryText::cleanup()
{
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

void TestEntryText::moneyText_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1500") << 1500.0 << QStringLiteral("1500-00");
    QTest::newRow("0.5") << 0.5 << QStringLiteral("0-50");
    QTest::newRow("1234.567") << 1234.567 << QStringLiteral("1234-57");
    QTest::newRow("-5") << -5.0 << QStringLiteral("-5-00");
    QTest::newRow("12.5") << 12.5 << QStringLiteral("12-50");
    QTest::newRow("0") << 0.0 << QStringLiteral("0-00");
    QTest::newRow("-0") << -0.0 << QStringLiteral("0-00");
    QTest::newRow("0.07") << 0.07 << QStringLiteral("0-07");
    QTest::newRow("1234567.8") << 1234567.8 << QStringLiteral("1234567-80");
    // Halves go away from zero, also where the binary value lies just below.
    QTest::newRow("0.125") << 0.125 << QStringLiteral("0-13");
    QTest::newRow("-0.125") << -0.125 << QStringLiteral("-0-13");
    QTest::newRow("1.005") << 1.005 << QStringLiteral("1-01");
    QTest::newRow("2.675") << 2.675 << QStringLiteral("2-68");
    QTest::newRow("-1234.565") << -1234.565 << QStringLiteral("-1234-57");
    QTest::newRow("0.005") << 0.005 << QStringLiteral("0-01");
    QTest::newRow("0.00499") << 0.00499 << QStringLiteral("0-00");
    QTest::newRow("-0.004 loses its sign") << -0.004 << QStringLiteral("0-00");
    QTest::newRow("9.995 carries") << 9.995 << QStringLiteral("10-00");
    QTest::newRow("999.999 carries") << 999.999 << QStringLiteral("1000-00");
    // Computed amounts, as the VAT line makes them.
    QTest::newRow("1000*20/120") << 1000.0 * 20 / 120 << QStringLiteral("166-67");
    QTest::newRow("1180*18/118") << 1180.0 * 18 / 118 << QStringLiteral("180-00");
    QTest::newRow("1000*0/100") << 1000.0 * 0 / 100 << QStringLiteral("0-00");
    QTest::newRow("1.1*1.15") << 1.1 * 1.15 << QStringLiteral("1-27");
    QTest::newRow("0.145*3") << 0.145 * 3 << QStringLiteral("0-44");
    // Large amounts: no grouping, no exponent, kopecks kept.
    QTest::newRow("12345678901.23") << 12345678901.23 << QStringLiteral("12345678901-23");
    QTest::newRow("10000000000000.01") << 10000000000000.01 << QStringLiteral("10000000000000-01");
    QTest::newRow("1e20") << 1e20 << QStringLiteral("100000000000000000000-00");
    QTest::newRow("1e-20") << 1e-20 << QStringLiteral("0-00");
}

void TestEntryText::moneyText()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(MoneyText(amount), expected);
}

void TestEntryText::moneyTextRefusesNonFinite_data()
{
    QTest::addColumn<double>("amount");

    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("inf") << std::numeric_limits<double>::infinity();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
}

void TestEntryText::moneyTextRefusesNonFinite()
{
    QFETCH(double, amount);
    QVERIFY_THROWS_EXCEPTION(AppError, MoneyText(amount));
}

void TestEntryText::readDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("expected");

    const QDate today(2024, 6, 15);
    QTest::newRow("dd.mm.yy") << QStringLiteral("01.02.05") << today << QDate(2005, 2, 1);
    QTest::newRow("commas") << QStringLiteral("01,02,05") << today << QDate(2005, 2, 1);
    QTest::newRow("mixed separators") << QStringLiteral("01,02.05") << today << QDate(2005, 2, 1);
    QTest::newRow("one digit each") << QStringLiteral("1.2.5") << today << QDate(2005, 2, 1);
    QTest::newRow("d.m.yy") << QStringLiteral("1.2.05") << today << QDate(2005, 2, 1);
    QTest::newRow("leading zeros") << QStringLiteral("001.002.24") << today << QDate(2024, 2, 1);
    QTest::newRow("blanks around") << QStringLiteral(" 1.2.24 ") << today << QDate(2024, 2, 1);
    QTest::newRow("31.12.24") << QStringLiteral("31.12.24") << today << QDate(2024, 12, 31);
    QTest::newRow("leap day") << QStringLiteral("29.02.24") << today << QDate(2024, 2, 29);
    // Day and month only: this year.
    QTest::newRow("d.m") << QStringLiteral("1.2") << today << QDate(2024, 2, 1);
    QTest::newRow("dd,mm") << QStringLiteral("29,02") << today << QDate(2024, 2, 29);
    QTest::newRow("d.m other year") << QStringLiteral("3.4") << QDate(1999, 12, 31) << QDate(1999, 4, 3);
    // Short years lie from today's year - 50 to today's year + 49.
    QTest::newRow("74 in 2024") << QStringLiteral("01.02.74") << today << QDate(1974, 2, 1);
    QTest::newRow("73 in 2024") << QStringLiteral("01.02.73") << today << QDate(2073, 2, 1);
    QTest::newRow("00 in 2024") << QStringLiteral("1.1.00") << today << QDate(2000, 1, 1);
    QTest::newRow("0 in 2024") << QStringLiteral("1.1.0") << today << QDate(2000, 1, 1);
    QTest::newRow("99 in 2024") << QStringLiteral("1.1.99") << today << QDate(1999, 1, 1);
    QTest::newRow("50 in 2000") << QStringLiteral("1.1.50") << QDate(2000, 1, 1) << QDate(1950, 1, 1);
    QTest::newRow("49 in 2000") << QStringLiteral("1.1.49") << QDate(2000, 1, 1) << QDate(2049, 1, 1);
    QTest::newRow("24 in 2075") << QStringLiteral("1.1.24") << QDate(2075, 3, 1) << QDate(2124, 1, 1);
    QTest::newRow("25 in 2075") << QStringLiteral("1.1.25") << QDate(2075, 3, 1) << QDate(2025, 1, 1);
    // Longer years are taken as written.
    QTest::newRow("four digits") << QStringLiteral("1.2.1999") << today << QDate(1999, 2, 1);
    QTest::newRow("four digits, future") << QStringLiteral("1.2.2099") << today << QDate(2099, 2, 1);
    QTest::newRow("four digits, leading zeros") << QStringLiteral("1.2.0074") << today << QDate(74, 2, 1);
    QTest::newRow("three digits") << QStringLiteral("1.2.205") << today << QDate(205, 2, 1);
    // Empty text: no date.
    QTest::newRow("empty") << QString() << today << QDate();
    QTest::newRow("blanks") << QStringLiteral("   ") << today << QDate();
}

void TestEntryText::readDateText()
{
    QFETCH(QString, text);
    QFETCH(QDate, today);
    QFETCH(QDate, expected);
    const QDate date = ReadDateText(text, today);
    QCOMPARE(date, expected);
    QCOMPARE(date.isNull(), expected.isNull());
}

void TestEntryText::readDateTextRefuses_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("31.02.24") << QStringLiteral("31.02.24");
    QTest::newRow("29.02.23") << QStringLiteral("29.02.23");
    QTest::newRow("1.13.05") << QStringLiteral("1.13.05");
    QTest::newRow("day 0") << QStringLiteral("0.1.24");
    QTest::newRow("month 0") << QStringLiteral("1.0.24");
    QTest::newRow("year 0000") << QStringLiteral("1.1.0000");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("letter in year") << QStringLiteral("1.2.2x");
    QTest::newRow("four parts") << QStringLiteral("1.2.3.4");
    QTest::newRow("day only") << QStringLiteral("12");
    QTest::newRow("trailing dot") << QStringLiteral("1.2.");
    QTest::newRow("leading dot") << QStringLiteral(".1.2");
    QTest::newRow("empty part") << QStringLiteral("1..24");
    QTest::newRow("dot only") << QStringLiteral(".");
    QTest::newRow("inner blank") << QStringLiteral("1 .2.24");
    QTest::newRow("sign") << QStringLiteral("+1.2.24");
    QTest::newRow("negative year") << QStringLiteral("1.2.-5");
    QTest::newRow("slashes") << QStringLiteral("1/2/24");
    QTest::newRow("huge day") << QStringLiteral("99999999999.1.24");
    QTest::newRow("arabic digits") << QStringLiteral("\u0661.\u0662.\u0662\u0664");
}

void TestEntryText::readDateTextRefuses()
{
    QFETCH(QString, text);
    try {
        const QDate date = ReadDateText(text, QDate(2024, 6, 15));
        QFAIL(qPrintable(QStringLiteral("read as ") + date.toString(Qt::ISODate)));
    } catch (const AppError &e) {
        QCOMPARE(e.message(), QStringLiteral("Неверная дата: ") + text);
    }
}

void TestEntryText::writeDateText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2005-02-01") << QDate(2005, 2, 1) << QStringLiteral("01.02.05");
    QTest::newRow("1974-12-31") << QDate(1974, 12, 31) << QStringLiteral("31.12.74");
    QTest::newRow("2000-01-09") << QDate(2000, 1, 9) << QStringLiteral("09.01.00");
    QTest::newRow("2073-11-25") << QDate(2073, 11, 25) << QStringLiteral("25.11.73");
    QTest::newRow("null") << QDate() << QString();
}

void TestEntryText::writeDateText()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    const QString text = WriteDateText(date);
    QCOMPARE(text, expected);
    QCOMPARE(text.isEmpty(), expected.isEmpty());
}

void TestEntryText::readDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("12,5") << QStringLiteral("12,5") << 12.5;
    QTest::newRow("12,50") << QStringLiteral("12,50") << 12.5;
    QTest::newRow("1500") << QStringLiteral("1500") << 1500.0;
    QTest::newRow("0") << QStringLiteral("0") << 0.0;
    QTest::newRow("comma first") << QStringLiteral(",5") << 0.5;
    QTest::newRow("comma last") << QStringLiteral("5,") << 5.0;
    QTest::newRow("leading zeros") << QStringLiteral("0012,05") << 12.05;
    QTest::newRow("minus") << QStringLiteral("-5") << -5.0;
    QTest::newRow("plus") << QStringLiteral("+5,25") << 5.25;
    QTest::newRow("minus comma first") << QStringLiteral("-,75") << -0.75;
    QTest::newRow("blanks") << QStringLiteral("  12,5  ") << 12.5;
    QTest::newRow("tab") << QStringLiteral("\t7\t") << 7.0;
    QTest::newRow("E") << QStringLiteral("1E3") << 1000.0;
    QTest::newRow("e") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("e plus") << QStringLiteral("2,5e+2") << 250.0;
    QTest::newRow("e minus") << QStringLiteral("1,5e-2") << 0.015;
    QTest::newRow("comma before e") << QStringLiteral("5,E1") << 50.0;
    QTest::newRow("exponent leading zeros") << QStringLiteral("1e0002") << 100.0;
    QTest::newRow("blanks and exponent") << QStringLiteral(" -,5E1 ") << -5.0;
    QTest::newRow("many digits") << QStringLiteral("1234567,89") << 1234567.89;
    QTest::newRow("largest double") << QStringLiteral("1,7976931348623157e308") << std::numeric_limits<double>::max();
    QTest::newRow("too small reads as zero") << QStringLiteral("1e-400") << 0.0;
    QTest::newRow("zero with huge exponent") << QStringLiteral("0e999999999999999999999") << 0.0;
    QTest::newRow("leading zeros and exponent") << QStringLiteral("0,000000000000000000000000000001e30") << 1.0;
}

void TestEntryText::readDecimal()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QVERIFY(ReadsAsDecimal(text));
    QCOMPARE(ReadDecimal(text), expected);
}

void TestEntryText::decimalRefuses_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("comma only") << QStringLiteral(",");
    QTest::newRow("sign only") << QStringLiteral("-");
    QTest::newRow("sign and comma") << QStringLiteral("+,");
    QTest::newRow("two commas") << QStringLiteral("1,2,3");
    QTest::newRow("two commas at ends") << QStringLiteral(",5,");
    QTest::newRow("point") << QStringLiteral("12.50");
    QTest::newRow("blank in digits") << QStringLiteral("1 000");
    QTest::newRow("blank after sign") << QStringLiteral("- 5");
    QTest::newRow("two signs") << QStringLiteral("+-5");
    QTest::newRow("e without digits") << QStringLiteral("1e");
    QTest::newRow("e sign without digits") << QStringLiteral("1e+");
    QTest::newRow("e without mantissa") << QStringLiteral("e5");
    QTest::newRow("comma and e only") << QStringLiteral(",e5");
    QTest::newRow("comma in exponent") << QStringLiteral("1e5,5");
    QTest::newRow("trailing letter") << QStringLiteral("1,5x");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("infinity word") << QStringLiteral("inf");
    QTest::newRow("hex") << QStringLiteral("0x10");
    QTest::newRow("arabic digit") << QStringLiteral("\u0663");
    QTest::newRow("too large") << QStringLiteral("1e400");
    QTest::newRow("too large, negative") << QStringLiteral("-2e308");
    QTest::newRow("huge exponent") << QStringLiteral("1e999999999999999999999");
}

void TestEntryText::decimalRefuses()
{
    QFETCH(QString, text);
    QVERIFY(!ReadsAsDecimal(text));
    try {
        const double value = ReadDecimal(text);
        QFAIL(qPrintable(QStringLiteral("read as ") + QString::number(value)));
    } catch (const AppError &e) {
        QVERIFY(e.message().contains(text));
        QVERIFY(!e.message().isEmpty());
    }
}

QTEST_APPLESS_MAIN(TestEntryText)
#include "tst_entrytext.moc"
