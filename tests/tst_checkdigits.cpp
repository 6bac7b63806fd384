#include "document/CheckDigits.h"

#include <QTest>

class CheckDigitsTest : public QObject
{
    Q_OBJECT

private slots:
    void isBik_data();
    void isBik();
    void accountKey_data();
    void accountKey();
    void accountMatchesBik_data();
    void accountMatchesBik();
    void innIsValid_data();
    void innIsValid();
};

void CheckDigitsTest::isBik_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bik");
    QTest::newRow("nine digits") << "044525225" << true;
    QTest::newRow("eight digits") << "04452522" << false;
    QTest::newRow("ten digits") << "0445252250" << false;
    QTest::newRow("a letter") << "04452522A" << false;
    QTest::newRow("a blank") << "04452522 " << false;
    QTest::newRow("full-width digits") << QString::fromUtf8("０４４５２５２７７") << false;
    QTest::newRow("one full-width digit") << QString::fromUtf8("04452527７") << false;
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٠٤٤٥٢٥٢٧٧") << false;
    QTest::newRow("Devanagari digits") << QString::fromUtf8("०४४५२५२७७") << false;
}

void CheckDigitsTest::isBik()
{
    QFETCH(QString, text);
    QFETCH(bool, bik);
    QCOMPARE(CheckDigits::isBik(text), bik);
}

void CheckDigitsTest::accountKey_data()
{
    QTest::addColumn<QString>("bik");
    QTest::addColumn<QString>("account"); // digit 9 is ignored
    QTest::addColumn<int>("key");
    QTest::newRow("at a credit institution") << "049805746" << "40602810X00000000025" << 7;
    QTest::newRow("BIK ending 000") << "049805000" << "30101810X00000000746" << 8;
    QTest::newRow("own correspondent account") << "044525225" << "30101810X00000000225" << 4;
    QTest::newRow("short account") << "044525225" << "3010181040000000022" << -1;
    QTest::newRow("letters in the BIK") << "04452522A" << "30101810400000000225" << -1;
    QTest::newRow("full-width BIK") << QString::fromUtf8("０４４５２５２２５") << "30101810X00000000225" << -1;
    QTest::newRow("full-width account") << "044525225" << QString::fromUtf8("３０１０１８１０X００００００００２２５") << -1;
}

void CheckDigitsTest::accountKey()
{
    QFETCH(QString, bik);
    QFETCH(QString, account);
    QFETCH(int, key);
    QCOMPARE(CheckDigits::accountKey(bik, QString(account).replace(QLatin1Char('X'), QLatin1Char('0'))), key);
}

void CheckDigitsTest::accountMatchesBik_data()
{
    QTest::addColumn<QString>("bik");
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("valid");
    QTest::newRow("worked example") << "049805746" << "40602810700000000025" << true;
    QTest::newRow("worked example, other key") << "049805746" << "40602810600000000025" << false;
    QTest::newRow("BIK ending 000") << "049805000" << "30101810800000000746" << true;
    // Under digits 7-9 as prefix it would fail: a correspondent account takes "0" + digits 5-6.
    QTest::newRow("Sberbank's correspondent account") << "044525225" << "30101810400000000225" << true;
    QTest::newRow("correspondent account, one digit off") << "044525225" << "30101810400000000226" << false;
    QTest::newRow("treasury BIK") << "017003983" << "03100643000000016600" << true;
    QTest::newRow("treasury single account at any BIK") << "044525225" << "40102810445370000059" << true;
    QTest::newRow("treasury account 031 at any BIK") << "044525225" << "03100643000000010000" << true;
    QTest::newRow("treasury account 032 at any BIK") << "044525225" << "03212643000000010000" << true;
    QTest::newRow("treasury division BIK 00") << "004525988" << "03100643000000017300" << true;
    QTest::newRow("treasury division BIK 00, other account") << "004525988" << "40702810000000000009" << true;
    QTest::newRow("account 04 at a bank's BIK") << "044525225" << "04702810000000000009" << false;
    QTest::newRow("empty account") << "044525225" << "" << false;
    QTest::newRow("empty BIK") << "" << "40702810000000000001" << false;
    QTest::newRow("letters") << "044525225" << "4070281000000000000A" << false;
}

void CheckDigitsTest::accountMatchesBik()
{
    QFETCH(QString, bik);
    QFETCH(QString, account);
    QFETCH(bool, valid);
    QCOMPARE(CheckDigits::accountMatchesBik(bik, account), valid);
}

void CheckDigitsTest::innIsValid_data()
{
    QTest::addColumn<QString>("inn");
    QTest::addColumn<bool>("valid");
    QTest::newRow("10 digits") << "7707083893" << true;
    QTest::newRow("10 digits, check digit off") << "7707083894" << false;
    QTest::newRow("10 digits, sum mod 11 is 10") << "7700000070" << true;
    QTest::newRow("12 digits") << "500100732259" << true;
    QTest::newRow("12 digits, digit 11 off") << "500100732269" << false;
    QTest::newRow("12 digits, digit 12 off") << "500100732258" << false;
    QTest::newRow("11 digits") << "50010073225" << false;
    QTest::newRow("letter") << "770708389X" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks around") << " 7707083893" << false;
    QTest::newRow("full-width digits") << QString::fromUtf8("７７０７０８３８９３") << false;
}

void CheckDigitsTest::innIsValid()
{
    QFETCH(QString, inn);
    QFETCH(bool, valid);
    QCOMPARE(CheckDigits::innIsValid(inn), valid);
}

QTEST_GUILESS_MAIN(CheckDigitsTest)
#include "tst_checkdigits.moc"
