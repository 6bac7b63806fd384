#include "support/PdfWords.h"

#include "print/FormFill.h"
#include "print/FormRenderer.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

using PdfWords::Word;

// The printing area's corner on the paper, in millimetres.
constexpr double areaLeft = 20.0;
constexpr double areaTop = 10.0;

PaymentOrder document(const QHash<QString, QString> &fields, double amount = 0)
{
    PaymentOrder d;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        d.setText(it.key(), it.value());
    d.amount = amount;
    return d;
}

// Three documents of kinds 1, 0 and 3, every printed field different between them.
QVector<PaymentOrder> threeDocuments()
{
    QVector<PaymentOrder> docs;
    const QStringList kinds = {"1", "0", "3"};
    const QList<double> amounts = {1234567.891, 0, 1500};
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        docs << document({{"ID", "D" + n},
                          {"NOM", n + "0" + n},
                          {"DATE", QStringLiteral("0%1.03.07").arg(5 + i)},
                          {"VID_PLAT", kinds.at(i)},
                          {"P101_STATU", "0" + n},
                          {"INN_PL", "77000000" + n + n},
                          {"KPP_PL", "7701000" + n + n},
                          {"SCH_DT", "4070281000000000000" + n},
                          {"MFOBANK_PL", "04452522" + n},
                          {"K_SBANK_DT", "3010181000000000022" + n},
                          {"INN_POL", "50000000" + n + n},
                          {"KPP_POL", "5001000" + n + n},
                          {"SCH_KT", "4070281099999999999" + n},
                          {"MFOBANKPOL", "04452588" + n},
                          {"K_SBANK_KT", "3010181099999999988" + n},
                          {"VID_OP", "1" + n},
                          {"OCHER_PL", n},
                          {"P104_KBK", "1820101" + n},
                          {"P105_OKATO", "4538000" + n},
                          {"P110_TIP", "Н" + n},
                          {"P22_KOD", "1822100000000000000" + n}},
                         amounts.at(i));
    }
    return docs;
}

bool writePdf(const QString &path, const QVector<PaymentOrder> &docs, int copies = 1)
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(FormRenderer::pageLayout());
    QPainter painter(&writer);
    return FormRenderer::drawRun(painter, writer, docs, copies);
}

// The whole A4 sheet at printer resolution, the form drawn at its margins.
QImage renderSheet(const PaymentOrder &doc, int dpi = 300)
{
    const double perMm = dpi / 25.4;
    QImage image(qRound(210 * perMm), qRound(297 * perMm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(areaLeft * perMm, areaTop * perMm);
    FormRenderer::drawPage(painter, doc);
    return image;
}

bool inkIn(const QImage &image, const QRectF &mm, int dpi = 300)
{
    const double perMm = dpi / 25.4;
    const QRect px = QRectF(mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm)
                         .toAlignedRect()
                         .intersected(image.rect());
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                return true;
    return false;
}

// A rectangle in the printing area's millimetres, on the sheet.
QRectF onSheet(double left, double top, double width, double height)
{
    return QRectF(areaLeft + left, areaTop + top, width, height);
}

QList<Word> wordsOf(const QList<Word> &all, int page)
{
    QList<Word> words;
    for (const Word &w : all)
        if (w.page == page)
            words << w;
    return words;
}

} // namespace

class PrintFormTest : public QObject
{
    Q_OBJECT

private slots:
    void computedTexts_data();
    void computedTexts();
    void composedTexts();
    void fieldsOnTheirOwnPages_data();
    void fieldsOnTheirOwnPages();
    void paymentKindOfEachPage();
    void copiesAsPages();
    void longAmountInWordsDrawnSmallerInItsBox();
    void wholeOrderOnPaper();
    void unprintedFieldsChangeNothing();
    void everythingInsideThePrintingArea();
    void widestCodesWholeInTheirCells();
    void penOfThreeDots();
};

void PrintFormTest::computedTexts_data()
{
    QTest::addColumn<QString>("vidPlat");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("figures");
    QTest::newRow("electronic") << "1" << 1234567.891 << "Электронно" << "1234567-89";
    QTest::newRow("post") << "2" << 1500.0 << "Почтой" << "1500-00";
    QTest::newRow("telegraph") << "3" << 0.5 << "Телеграфом" << "0-50";
    QTest::newRow("none") << "0" << 0.0 << "" << "0-00";
    QTest::newRow("empty kind") << "" << 12.345 << "" << "12-35";
    QTest::newRow("unknown kind") << "7" << 99.999 << "" << "100-00";
    QTest::newRow("not a number") << "x" << 1.0 << "" << "1-00";
}

void PrintFormTest::computedTexts()
{
    QFETCH(QString, vidPlat);
    QFETCH(double, amount);
    const ComputedTexts texts = QRLabel5Print(document({{"VID_PLAT", vidPlat}}, amount));
    QTEST(texts.QR_vid, "kind");
    QTEST(texts.qr_s2, "figures");
}

void PrintFormTest::composedTexts()
{
    const QStringList texts = FillForm(document({{"BANK_PL1", "ПАО СБЕРБАНК"},
                                                 {"NNP_PL", "Москва"},
                                                 {"TNP_PL", "с."},
                                                 {"BANK_POL1", "АО БАНК"},
                                                 {"TNP_POL", "г."},
                                                 {"NNP_POL", "Тула"},
                                                 {"NAZNACH1", "Оплата по счёту"},
                                                 {"NAZNACH2", "№ 5"},
                                                 {"NAZNACH3", "третья"},
                                                 {"NAZNACH5", "без НДС."},
                                                 {"NAME_PL1", "ООО"},
                                                 {"NAME_PL2", "\"Северный ветер\""},
                                                 {"NAME_POL3", "Казначейство России"},
                                                 {"NAME_POL4", "(ФНС России)"}}));
    QVERIFY(texts.contains("ПАО СБЕРБАНК г.Москва"));
    QVERIFY(texts.contains("АО БАНК г.Тула"));
    // Every purpose line, the VAT line last; every name line, joined by blanks.
    QVERIFY(texts.contains("Оплата по счёту № 5 третья без НДС."));
    QVERIFY(texts.contains("ООО \"Северный ветер\""));
    QVERIFY(texts.contains("Казначейство России (ФНС России)"));
    for (const QString &text : texts)
        QVERIFY2(!text.contains("с."), qPrintable(text));
}

void PrintFormTest::fieldsOnTheirOwnPages_data()
{
    // Where each field's box begins on the form, in the printing area's millimetres.
    QTest::addColumn<QString>("column");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("number") << "NOM" << 61.6 << 15.6;
    QTest::newRow("date") << "DATE" << 94.2 << 15.1;
    QTest::newRow("status 101") << "P101_STATU" << 172.8 << 13.0;
    QTest::newRow("payer INN") << "INN_PL" << 10.8 << 39.7;
    QTest::newRow("payer KPP") << "KPP_PL" << 60.6 << 39.7;
    QTest::newRow("payer account") << "SCH_DT" << 115.9 << 54.5;
    QTest::newRow("payer BIK") << "MFOBANK_PL" << 116.0 << 69.3;
    QTest::newRow("payer corr. account") << "K_SBANK_DT" << 116.0 << 75.1;
    QTest::newRow("recipient BIK") << "MFOBANKPOL" << 116.0 << 84.4;
    QTest::newRow("recipient corr. account") << "K_SBANK_KT" << 116.0 << 90.0;
    QTest::newRow("recipient INN") << "INN_POL" << 10.8 << 99.5;
    QTest::newRow("recipient KPP") << "KPP_POL" << 60.6 << 99.5;
    QTest::newRow("recipient account") << "SCH_KT" << 115.9 << 100.0;
    QTest::newRow("operation kind") << "VID_OP" << 116.7 << 114.8;
    QTest::newRow("priority") << "OCHER_PL" << 156.1 << 119.6;
    QTest::newRow("KBK") << "P104_KBK" << 2.4 << 129.4;
    QTest::newRow("OKATO") << "P105_OKATO" << 46.3 << 129.4;
    QTest::newRow("payment type") << "P110_TIP" << 170.9 << 129.4;
    QTest::newRow("code 22") << "P22_KOD" << 116.0 << 124.6;
}

void PrintFormTest::fieldsOnTheirOwnPages()
{
    QFETCH(QString, column);
    QFETCH(double, left);
    QFETCH(double, top);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("three.pdf");
    const QVector<PaymentOrder> docs = threeDocuments();
    QVERIFY(writePdf(pdf, docs));
    QString error;
    const QList<Word> words = PdfWords::read(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (int page = 0; page < docs.size(); ++page) {
        const QString own = docs.at(page).text(column);
        int found = 0;
        for (const Word &w : wordsOf(words, page)) {
            for (int other = 0; other < docs.size(); ++other)
                if (other != page)
                    QVERIFY2(w.text != docs.at(other).text(column),
                             qPrintable(QStringLiteral("page %1 shows %2 of document %3").arg(page).arg(w.text).arg(other)));
            if (w.text == own) {
                ++found;
                QVERIFY2(qAbs(w.left - (areaLeft + left)) < 1.0 && qAbs(w.top - (areaTop + top)) < 1.2,
                         qPrintable(QStringLiteral("%1 at %2, %3 mm").arg(own).arg(w.left).arg(w.top)));
            }
        }
        QCOMPARE(found, 1);
    }
}

void PrintFormTest::paymentKindOfEachPage()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("kinds.pdf");
    QVERIFY(writePdf(pdf, threeDocuments()));
    const QList<Word> words = PdfWords::read(pdf);
    const QStringList kindWords = {"Электронно", "Почтой", "Телеграфом"};
    const QStringList expected = {"Электронно", "", "Телеграфом"};
    const QStringList figures = {"1234567-89", "0-00", "1500-00"};
    QCOMPARE(PdfWords::pageCount(pdf), 3);
    for (int page = 0; page < 3; ++page) {
        QStringList kinds;
        bool amountSeen = false;
        for (const Word &w : wordsOf(words, page)) {
            if (kindWords.contains(w.text)) {
                kinds << w.text;
                QVERIFY(qAbs(w.left - (areaLeft + 131.0)) < 1.0 && qAbs(w.top - (areaTop + 14.6)) < 1.2);
            }
            if (w.text == figures.at(page)) {
                amountSeen = true;
                QVERIFY(qAbs(w.left - (areaLeft + 116.4)) < 1.0 && qAbs(w.top - (areaTop + 40.0)) < 1.2);
            }
        }
        QCOMPARE(kinds.join(","), expected.at(page));
        QVERIFY2(amountSeen, qPrintable(figures.at(page)));
    }
}

void PrintFormTest::copiesAsPages()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("copies.pdf");
    QVERIFY(writePdf(pdf, threeDocuments(), 2));
    QCOMPARE(PdfWords::pageCount(pdf), 6);
    // A document's copies follow each other.
    const QStringList numbers = {"101", "101", "202", "202", "303", "303"};
    const QList<Word> words = PdfWords::read(pdf);
    for (int page = 0; page < 6; ++page) {
        QStringList seen;
        for (const Word &w : wordsOf(words, page))
            if (numbers.contains(w.text))
                seen << w.text;
        QCOMPARE(seen, QStringList{numbers.at(page)});
    }
}

void PrintFormTest::longAmountInWordsDrawnSmallerInItsBox()
{
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many << QStringLiteral("слово%1").arg(i);
    const PaymentOrder doc = document({{"PER1", many.join(' ')}, {"NOM", "1"}});
    QTemporaryDir dir;
    const QString pdf = dir.filePath("words.pdf");
    QVERIFY(writePdf(pdf, {doc}));
    QStringList printed;
    double wordHeight = 0;
    for (const Word &w : PdfWords::read(pdf)) {
        if (!w.text.startsWith("слово"))
            continue;
        printed << w.text;
        wordHeight = qMax(wordHeight, w.bottom - w.top);
        QVERIFY2(w.bottom <= areaTop + 25.7 + 12.2 + 0.3, qPrintable(QStringLiteral("%1 ends at %2 mm").arg(w.text).arg(w.bottom)));
        QVERIFY2(w.right <= areaLeft + 20.6 + 151.1 + 0.3, qPrintable(QStringLiteral("%1 ends at %2 mm").arg(w.text).arg(w.right)));
    }
    // Every word, in order: none left off the page; smaller than the box's 10 points to fit.
    QCOMPARE(printed, many);
    QVERIFY2(wordHeight < 10 * 25.4 / 72, qPrintable(QString::number(wordHeight)));

    // On the sheet the band between the box and the line under it stays clear, the line itself is there.
    const QImage sheet = renderSheet(doc);
    QVERIFY(inkIn(sheet, onSheet(20.6, 25.7, 151.1, 12.2)));
    QVERIFY(!inkIn(sheet, onSheet(20.6, 38.0, 151.1, 0.6)));
    QVERIFY(inkIn(sheet, onSheet(20.6, 38.8, 151.1, 0.2)));
}

void PrintFormTest::wholeOrderOnPaper()
{
    // Each text at the longest its columns hold, with the cell it must stay inside.
    struct Cell
    {
        QString text;
        QRectF cell; // printing area's millimetres
    };
    // A bank name of 160 characters, the longest the Bank of Russia's directory carries.
    const QString bank = (QStringLiteral("ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области, г Тула")
                          + QStringLiteral(" Банк").repeated(30)).left(160);
    QHash<QString, QString> fields = {
        {"NAME_PL1", "Общество с ограниченной ответственностью"}, {"NAME_PL2", "\"Северный ветер и партнёры Москва\""},
        {"NAME_PL3", "филиал в Санкт-Петербурге и области"}, {"NAME_PL4", "обособленное подразделение номер 1"},
        {"NAME_POL1", "Казначейство России"}, {"NAME_POL2", "(ФНС России)"},
        {"NAZNACH1", "Оплата по договору поставки № 125-П от 01.12.2026"}, {"NAZNACH2", "за товары согласно счёту № 448"},
        {"NAZNACH3", "и товарной накладной № 902 от 05.12.2026"}, {"NAZNACH4", "третья партия, окончательный расчёт"},
        {"NAZNACH5", "НДС 20% 1250-00."}, {"BANK_POL1", bank}, {"NNP_POL", "ТУЛА"}, {"TNP_POL", "г."},
        {"P104_KBK", "18201061201010000510"}, {"P22_KOD", "1234567890123456789012345"},
    };
    const PaymentOrder doc = document(fields, 7500);
    const QList<Cell> cells = {
        {doc.payerName(), QRectF(0.0, 44.8, 100.1, 68.9 - 44.8)},
        {QStringLiteral("Казначейство России (ФНС России)"), QRectF(0.0, 104.6, 100.1, 129.1 - 104.6)},
        {doc.purpose(), QRectF(0.0, 134.2, 180.0, 164.1 - 134.2)},
        {bank + QStringLiteral(" г.ТУЛА"), QRectF(0.0, 84.0, 100.1, 98.9 - 84.0)},
        {QStringLiteral("1234567890123456789012345"), QRectF(115.1, 124.1, 20.0, 5.0)},
        {QStringLiteral("18201061201010000510"), QRectF(0.0, 129.1, 45.1, 5.1)},
    };
    QVERIFY(doc.purpose().endsWith(QStringLiteral("НДС 20% 1250-00.")));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("whole.pdf");
    QVERIFY(writePdf(pdf, {doc}));
    QString error;
    const QList<Word> words = PdfWords::read(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const Cell &c : cells) {
        // The words of the text, in order, each inside the cell.
        const QStringList wanted = c.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList found;
        for (const Word &w : words) {
            const QRectF box(w.left - areaLeft, w.top - areaTop, w.right - w.left, w.bottom - w.top);
            if (!c.cell.adjusted(-0.2, -0.2, 0.2, 0.2).contains(box))
                continue;
            found << w.text;
        }
        QVERIFY2(found.join(QLatin1Char(' ')).contains(wanted.join(QLatin1Char(' '))),
                 qPrintable(QStringLiteral("«%1» in its cell shows «%2»").arg(c.text, found.join(QLatin1Char(' ')))));
    }
}

void PrintFormTest::unprintedFieldsChangeNothing()
{
    QHash<QString, QString> fields = {{"NOM", "12"}, {"NAME_PL1", "ООО Ромашка"}, {"NAZNACH1", "Оплата"},
                                      {"NAZNACH2", "по счёту 7"}, {"NAME_POL1", "АО Василёк"}, {"PER1", "Сто рублей"}};
    const QImage plain = renderSheet(document(fields, 100));
    fields.insert("TNP_PL", "пгт");
    fields.insert("PRIZN_DK", "3");
    fields.insert("CHEKED", "V");
    fields.insert("NALOG", "True");
    QVERIFY(renderSheet(document(fields, 100)) == plain);
    fields.insert("NAZNACH2", "по счёту 8");
    QVERIFY(renderSheet(document(fields, 100)) != plain);
}

void PrintFormTest::everythingInsideThePrintingArea()
{
    // Every printed field at its column's width, in wide letters.
    const QHash<QString, int> widths = {
        {"NOM", 7},       {"DATE", 8},       {"NAME_PL1", 40},   {"INN_PL", 12},    {"SCH_DT", 20},
        {"KPP_PL", 10},   {"BANK_PL1", 45},  {"K_SBANK_DT", 20}, {"MFOBANK_PL", 9}, {"NNP_PL", 25},
        {"NAME_POL1", 30}, {"INN_POL", 12},  {"SCH_KT", 20},     {"KPP_POL", 10},   {"BANK_POL1", 45},
        {"K_SBANK_KT", 20}, {"MFOBANKPOL", 9}, {"TNP_POL", 5},   {"NNP_POL", 25},   {"NAZNACH1", 50},
        {"NAZNACH2", 50}, {"OCHER_PL", 1},   {"P101_STATU", 2},  {"P104_KBK", 20},  {"P105_OKATO", 11},
        {"P106_OSNOV", 2}, {"P107_PERIO", 10}, {"P108_N_DOC", 10}, {"P109_D_DOC", 10}, {"P110_TIP", 2},
        {"PER1", 250},    {"VID_OP", 2},     {"VID_PLAT", 1}};
    QHash<QString, QString> fields;
    for (auto it = widths.begin(); it != widths.end(); ++it)
        fields.insert(it.key(), QString(it.value(), QChar(u'Ш')));
    fields.insert("VID_PLAT", "3");
    // A date is a date: its widest printed form.
    fields.insert("DATE", "28.08.28");
    const QImage sheet = renderSheet(document(fields, 9999999999.99));
    // A pen's width beyond the area's edges: a line on the edge is half outside, rounded to whole dots.
    const double pen = 0.3;
    QVERIFY(!inkIn(sheet, QRectF(0, 0, 210, areaTop - pen)));
    QVERIFY(!inkIn(sheet, QRectF(0, 0, areaLeft - pen, 297)));
    QVERIFY(!inkIn(sheet, QRectF(areaLeft + 180 + pen, 0, 210, 297)));
    QVERIFY(!inkIn(sheet, QRectF(0, areaTop + 204 + pen, 210, 297)));
    // The form is there: the title, the lowest line and the corner rectangle.
    QVERIFY(inkIn(sheet, onSheet(0, 15.3, 55, 6.1)));
    QVERIFY(inkIn(sheet, onSheet(50, 194.0, 60, 0.2)));
    QVERIFY(inkIn(sheet, onSheet(179.8, 0.2, 0.3, 5.6)));
    // No text runs over the line under the purpose.
    QVERIFY(!inkIn(sheet, onSheet(0.2, 159.0 + 4.5 + 0.1, 179.5, 0.3)));
}

void PrintFormTest::widestCodesWholeInTheirCells()
{
    // The widest value each code box can hold, and the cell it must stay in (left and right edge).
    struct Code
    {
        const char *column;
        QString value;
        double left;
        double right;
    };
    const QList<Code> codes = {
        {"P104_KBK", QString(20, u'8'), 0.0, 45.1},     {"P105_OKATO", QString(11, u'8'), 45.1, 75.1},
        {"INN_PL", QString(12, u'8'), 0.0, 49.9},       {"INN_POL", QStringLiteral("888888888881"), 0.0, 49.8},
        {"KPP_PL", QString(10, u'8'), 49.9, 100.1},     {"KPP_POL", QStringLiteral("8888888881"), 49.8, 100.1},
        {"NOM", QString(7, u'8'), 60.6, 90.0},          {"SCH_DT", QStringLiteral("88888888888888888884"), 115.1, 179.9},
        {"SCH_KT", QStringLiteral("88888888888888888881"), 115.1, 179.9},
        {"K_SBANK_DT", QStringLiteral("88888888888888888882"), 115.1, 179.9},
        {"K_SBANK_KT", QStringLiteral("88888888888888888883"), 115.1, 179.9},
        {"MFOBANK_PL", QString(9, u'8'), 115.1, 179.9}, {"MFOBANKPOL", QStringLiteral("888888881"), 115.1, 179.9},
        {"P107_PERIO", QStringLiteral("ДШ.88.8888"), 85.1, 110.1},
        {"P108_N_DOC", QStringLiteral("8888888882"), 110.1, 145.1},
        {"P109_D_DOC", QStringLiteral("88.88.8888"), 145.1, 170.1},
        {"P106_OSNOV", QStringLiteral("ШШ"), 75.1, 85.1}, {"P110_TIP", QStringLiteral("ШЩ"), 170.1, 179.9},
        {"P101_STATU", QStringLiteral("88"), 172.0, 179.0}, {"OCHER_PL", QStringLiteral("8"), 155.1, 179.9},
        {"VID_OP", QStringLiteral("81"), 115.1, 135.1},
    };
    QHash<QString, QString> fields;
    for (const Code &c : codes)
        fields.insert(QLatin1String(c.column), c.value);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("codes.pdf");
    // The largest amount the words are made for.
    QVERIFY(writePdf(pdf, {document(fields, 999999999999999.0)}));
    QString error;
    const QList<Word> words = PdfWords::read(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QList<Code> all = codes;
    all.append({"qr_s2", QStringLiteral("999999999999999-00"), 115.1, 179.9});
    for (const Code &c : all) {
        const Word *found = nullptr;
        for (const Word &w : words)
            if (w.text == c.value)
                found = &w;
        QVERIFY2(found, qPrintable(QStringLiteral("%1: %2 is not printed whole").arg(QLatin1String(c.column), c.value)));
        QVERIFY2(found->left >= areaLeft + c.left - 0.1 && found->right <= areaLeft + c.right + 0.1,
                 qPrintable(QStringLiteral("%1 runs from %2 to %3 mm, out of its cell %4 to %5")
                                .arg(QLatin1String(c.column)).arg(found->left - areaLeft).arg(found->right - areaLeft)
                                .arg(c.left).arg(c.right)));
    }
}

void PrintFormTest::penOfThreeDots()
{
    const QImage sheet = renderSheet(document({}), 300);
    // Across the vertical line left of the captions column, well clear of any text.
    const double perMm = 300 / 25.4;
    const int y = qRound((areaTop + 60.0) * perMm);
    int dark = 0;
    for (int x = qRound((areaLeft + 99.0) * perMm); x < qRound((areaLeft + 101.0) * perMm); ++x)
        dark += qGray(sheet.pixel(x, y)) < 128;
    QCOMPARE(dark, 3);
}

QTEST_MAIN(PrintFormTest)
#include "tst_printform.moc"
