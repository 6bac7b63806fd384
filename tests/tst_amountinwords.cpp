#include "money/AmountInWords.h"
#include "store/AppError.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(Plural)

// Amounts are counts of ten-thousandths of a rouble: 12.34 roubles = 123400.
class TestAmountInWords : public QObject
{
    Q_OBJECT

private slots:
    void pluralClass_data();
    void pluralClass();
    void amountInWords_data();
    void amountInWords();
    void roublesInWords_data();
    void roublesInWords();
    void refusesSixGroups_data();
    void refusesSixGroups();
    void refusesNegative_data();
    void refusesNegative();
};

void TestAmountInWords::pluralClass_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Plural>("expected");

    QTest::newRow("0") << 0 << Plural::Many;
    QTest::newRow("1") << 1 << Plural::One;
    QTest::newRow("2") << 2 << Plural::Few;
    QTest::newRow("3") << 3 << Plural::Few;
    QTest::newRow("4") << 4 << Plural::Few;
    QTest::newRow("5") << 5 << Plural::Many;
    QTest::newRow("9") << 9 << Plural::Many;
    QTest::newRow("10") << 10 << Plural::Many;
    QTest::newRow("11") << 11 << Plural::Many;
    QTest::newRow("12") << 12 << Plural::Many;
    QTest::newRow("14") << 14 << Plural::Many;
    QTest::newRow("19") << 19 << Plural::Many;
    QTest::newRow("20") << 20 << Plural::Many;
    QTest::newRow("21") << 21 << Plural::One;
    QTest::newRow("23") << 23 << Plural::Few;
    QTest::newRow("101") << 101 << Plural::One;
    QTest::newRow("104") << 104 << Plural::Few;
    QTest::newRow("111") << 111 << Plural::Many;
    QTest::newRow("112") << 112 << Plural::Many;
    QTest::newRow("1001") << 1001 << Plural::One;
    QTest::newRow("2147483642") << 2147483642 << Plural::Few;
    QTest::newRow("int max") << std::numeric_limits<int>::max() << Plural::Many;
    QTest::newRow("-1") << -1 << Plural::Many;
    QTest::newRow("-2") << -2 << Plural::Many;
    QTest::newRow("-21") << -21 << Plural::Many;
    QTest::newRow("int min") << std::numeric_limits<int>::min() << Plural::Many;
}

void TestAmountInWords::pluralClass()
{
    QFETCH(int, n);
    QFETCH(Plural, expected);
    QCOMPARE(int(PluralClass(n)), int(expected));
}

void TestAmountInWords::amountInWords_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("expected");

    // The table every implementation must reproduce.
    QTest::newRow("0") << Q_INT64_C(0) << QStringLiteral("Ноль рублей 00 копеек");
    QTest::newRow("0.01") << Q_INT64_C(100) << QStringLiteral("Ноль рублей 01 копейка");
    QTest::newRow("0.50") << Q_INT64_C(5000) << QStringLiteral("Ноль рублей 50 копеек");
    QTest::newRow("1") << Q_INT64_C(10000) << QStringLiteral("Один рубль 00 копеек");
    QTest::newRow("2") << Q_INT64_C(20000) << QStringLiteral("Два рубля 00 копеек");
    QTest::newRow("5") << Q_INT64_C(50000) << QStringLiteral("Пять рублей 00 копеек");
    QTest::newRow("11") << Q_INT64_C(110000) << QStringLiteral("Одиннадцать рублей 00 копеек");
    QTest::newRow("12.34") << Q_INT64_C(123400) << QStringLiteral("Двенадцать рублей 34 копейки");
    QTest::newRow("21") << Q_INT64_C(210000) << QStringLiteral("Двадцать один рубль 00 копеек");
    QTest::newRow("101") << Q_INT64_C(1010000) << QStringLiteral("Сто один рубль 00 копеек");
    QTest::newRow("111") << Q_INT64_C(1110000) << QStringLiteral("Сто одиннадцать рублей 00 копеек");
    QTest::newRow("1000") << Q_INT64_C(10000000) << QStringLiteral("Одна тысяча рублей 00 копеек");
    QTest::newRow("1001") << Q_INT64_C(10010000) << QStringLiteral("Одна тысяча один рубль 00 копеек");
    QTest::newRow("2000") << Q_INT64_C(20000000) << QStringLiteral("Две тысячи рублей 00 копеек");
    QTest::newRow("5000") << Q_INT64_C(50000000) << QStringLiteral("Пять тысяч рублей 00 копеек");
    QTest::newRow("11000") << Q_INT64_C(110000000) << QStringLiteral("Одиннадцать тысяч рублей 00 копеек");
    QTest::newRow("21000") << Q_INT64_C(210000000) << QStringLiteral("Двадцать одна тысяча рублей 00 копеек");
    QTest::newRow("1000000") << Q_INT64_C(10000000000) << QStringLiteral("Один миллион рублей 00 копеек");
    QTest::newRow("2000000") << Q_INT64_C(20000000000) << QStringLiteral("Два миллиона рублей 00 копеек");
    QTest::newRow("5000000") << Q_INT64_C(50000000000) << QStringLiteral("Пять миллионов рублей 00 копеек");
    QTest::newRow("1000000000") << Q_INT64_C(10000000000000) << QStringLiteral("Один миллиард рублей 00 копеек");
    QTest::newRow("1234567.89") << Q_INT64_C(12345678900)
        << QStringLiteral("Один миллион двести тридцать четыре тысячи пятьсот шестьдесят семь рублей 89 копеек");
    QTest::newRow("12.345 half kopeck") << Q_INT64_C(123450) << QStringLiteral("Двенадцать рублей 35 копеек");
    QTest::newRow("largest input") << std::numeric_limits<qint64>::max()
        << QStringLiteral("Девятьсот двадцать два триллиона триста тридцать семь миллиардов двести три миллиона "
                          "шестьсот восемьдесят пять тысяч четыреста семьдесят семь рублей 58 копеек");

    // Whole kopecks first, so a carry reaches the roubles.
    QTest::newRow("12.999") << Q_INT64_C(129990) << QStringLiteral("Тринадцать рублей 00 копеек");
    QTest::newRow("12.3449") << Q_INT64_C(123449) << QStringLiteral("Двенадцать рублей 34 копейки");
    QTest::newRow("0.0049") << Q_INT64_C(49) << QStringLiteral("Ноль рублей 00 копеек");
    QTest::newRow("0.005") << Q_INT64_C(50) << QStringLiteral("Ноль рублей 01 копейка");
    QTest::newRow("0.995") << Q_INT64_C(9950) << QStringLiteral("Один рубль 00 копеек");
    QTest::newRow("999.995") << Q_INT64_C(9999950) << QStringLiteral("Одна тысяча рублей 00 копеек");

    // Endings of the kopeck word and of the rouble word after teens.
    QTest::newRow("0.02") << Q_INT64_C(200) << QStringLiteral("Ноль рублей 02 копейки");
    QTest::newRow("0.11") << Q_INT64_C(1100) << QStringLiteral("Ноль рублей 11 копеек");
    QTest::newRow("0.21") << Q_INT64_C(2100) << QStringLiteral("Ноль рублей 21 копейка");
    QTest::newRow("0.99") << Q_INT64_C(9900) << QStringLiteral("Ноль рублей 99 копеек");
    QTest::newRow("10") << Q_INT64_C(100000) << QStringLiteral("Десять рублей 00 копеек");
    QTest::newRow("112") << Q_INT64_C(1120000) << QStringLiteral("Сто двенадцать рублей 00 копеек");
    QTest::newRow("340") << Q_INT64_C(3400000) << QStringLiteral("Триста сорок рублей 00 копеек");
    QTest::newRow("1002") << Q_INT64_C(10020000) << QStringLiteral("Одна тысяча два рубля 00 копеек");
    QTest::newRow("22000") << Q_INT64_C(220000000) << QStringLiteral("Двадцать две тысячи рублей 00 копеек");
    QTest::newRow("114000") << Q_INT64_C(1140000000) << QStringLiteral("Сто четырнадцать тысяч рублей 00 копеек");
    QTest::newRow("2001003") << Q_INT64_C(20010030000)
        << QStringLiteral("Два миллиона одна тысяча три рубля 00 копеек");
    QTest::newRow("3000000001.01") << Q_INT64_C(30000000010100)
        << QStringLiteral("Три миллиарда один рубль 01 копейка");
    QTest::newRow("2000000000000") << Q_INT64_C(20000000000000000) << QStringLiteral("Два триллиона рублей 00 копеек");
    QTest::newRow("11000000000000") << Q_INT64_C(110000000000000000)
        << QStringLiteral("Одиннадцать триллионов рублей 00 копеек");
    QTest::newRow("1180") << Q_INT64_C(11800000) << QStringLiteral("Одна тысяча сто восемьдесят рублей 00 копеек");
}

void TestAmountInWords::amountInWords()
{
    QFETCH(qint64, amount);
    QFETCH(QString, expected);
    QCOMPARE(AmountInWords(amount), expected);
}

void TestAmountInWords::roublesInWords_data()
{
    QTest::addColumn<qint64>("roubles");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << Q_INT64_C(0) << QStringLiteral("Ноль");
    QTest::newRow("1") << Q_INT64_C(1) << QStringLiteral("один");
    QTest::newRow("1000") << Q_INT64_C(1000) << QStringLiteral("одна тысяча");
    QTest::newRow("largest five groups") << Q_INT64_C(999999999999999)
        << QStringLiteral("девятьсот девяносто девять триллионов девятьсот девяносто девять миллиардов "
                          "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
                          "девятьсот девяносто девять");
}

void TestAmountInWords::roublesInWords()
{
    QFETCH(qint64, roubles);
    QFETCH(QString, expected);
    QCOMPARE(RoublesInWords(roubles), expected);
}

void TestAmountInWords::refusesSixGroups_data()
{
    QTest::addColumn<qint64>("roubles");

    QTest::newRow("10^15") << Q_INT64_C(1000000000000000);
    QTest::newRow("int64 max") << std::numeric_limits<qint64>::max();
}

void TestAmountInWords::refusesSixGroups()
{
    QFETCH(qint64, roubles);
    try {
        RoublesInWords(roubles);
        QFAIL("no error for more than five groups");
    } catch (const AppError &e) {
        QVERIFY(e.message().isEmpty());
    }
}

void TestAmountInWords::refusesNegative_data()
{
    QTest::addColumn<qint64>("amount");

    QTest::newRow("-0.0001") << Q_INT64_C(-1);
    QTest::newRow("-5.50") << Q_INT64_C(-55000);
    QTest::newRow("int64 min") << std::numeric_limits<qint64>::min();
}

void TestAmountInWords::refusesNegative()
{
    QFETCH(qint64, amount);
    try {
        const QString text = AmountInWords(amount);
        QFAIL(qPrintable(QStringLiteral("negative amount gave: ") + text));
    } catch (const AppError &e) {
        QVERIFY(!e.message().isEmpty());
    }
}

QTEST_APPLESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
