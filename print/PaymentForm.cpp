#include "print/PaymentForm.h"

namespace PaymentForm {

namespace {
using K = Text::Kind;
constexpr bool B = true;  // bold
constexpr bool C = true;  // centred
constexpr bool L = false; // left
constexpr bool O = true;  // one line: a code or a figure, smaller rather than broken
constexpr bool W = false; // wraps at word boundaries
} // namespace

const QVector<Text> &texts()
{
    static const QVector<Text> table = {
        {K::Caption, "0401060", 160.9, 0.8, 18.0, 4.5, 10, false, C, W},
        {K::Caption, "Поступ. в банк плат.", 0.0, 4.0, 34.9, 3.7, 7, false, C, W},
        {K::Caption, "Списано со сч. плат.", 55.0, 4.0, 34.9, 3.4, 7, false, C, W},
        {K::Field, "{P101_STATU}", 172.8, 13.0, 5.3, 4.5, 10, false, L, O},
        {K::Computed, "QR_vid", 131.0, 14.6, 34.0, 5.0, 10, false, L, O},
        {K::Field, "{DATE}", 94.2, 15.1, 31.8, 4.5, 10, false, L, O},
        {K::Caption, "ПЛАТЕЖНОЕ ПОРУЧЕНИЕ", 0.0, 15.3, 55.0, 6.1, 11, B, L, W},
        {K::Caption, "№", 55.0, 15.3, 5.6, 6.1, 11, B, C, W},
        {K::Field, "{NOM}", 61.6, 15.6, 27.5, 4.5, 10, false, L, O},
        {K::Caption, "Дата", 90.0, 20.4, 35.0, 3.7, 7, false, C, W},
        {K::Caption, "Вид платежа", 130.0, 20.4, 35.0, 3.7, 7, false, C, W},
        {K::Caption, "Сумма прописью", 0.5, 25.4, 18.3, 12.2, 10, false, L, W},
        {K::Field, "{PER1}", 20.6, 25.7, 151.1, 12.2, 10, false, L, W},
        {K::Caption, "ИНН", 0.5, 39.7, 9.3, 4.5, 10, false, L, W},
        {K::Field, "{INN_PL}", 10.8, 39.7, 38.1, 4.5, 10, false, L, O},
        {K::Caption, " КПП", 50.3, 39.7, 9.3, 4.5, 10, false, L, W},
        {K::Field, "{KPP_PL}", 60.6, 39.7, 38.1, 4.5, 10, false, L, O},
        {K::Caption, " Сумма", 101.0, 40.0, 13.0, 13.0, 10, false, L, W},
        {K::Computed, "qr_s2", 116.4, 40.0, 63.5, 5.0, 10, false, L, O},
        {K::Composed, "{payerName}", 0.5, 45.2, 98.2, 18.3, 10, false, L, W},
        {K::Caption, " Сч. №", 101.0, 54.5, 13.0, 13.0, 10, false, L, W},
        {K::Field, "{SCH_DT}", 115.9, 54.5, 61.9, 13.0, 10, false, L, O},
        {K::Caption, "Плательщик", 0.5, 64.3, 97.1, 4.5, 10, false, L, W},
        {K::Caption, " БИК", 101.0, 69.3, 13.0, 4.5, 10, false, L, W},
        {K::Field, "{MFOBANK_PL}", 116.0, 69.3, 62.0, 4.5, 10, false, L, O},
        {K::Composed, "{BANK_PL1} г.{NNP_PL}", 0.5, 69.8, 96.8, 8.7, 10, false, L, W},
        {K::Caption, " Сч.№", 101.0, 74.9, 13.0, 7.9, 10, false, L, W},
        {K::Field, "{K_SBANK_DT}", 116.0, 75.1, 62.0, 7.7, 10, false, L, O},
        {K::Caption, "Банк плательщика", 0.5, 79.4, 97.1, 4.5, 10, false, L, W},
        {K::Composed, "{BANK_POL1} {TNP_POL}{NNP_POL}", 0.8, 84.4, 96.8, 9.8, 10, false, L, W},
        {K::Caption, " БИК", 101.0, 84.4, 13.0, 4.5, 10, false, L, W},
        {K::Field, "{MFOBANKPOL}", 116.0, 84.4, 62.0, 4.5, 10, false, L, O},
        {K::Caption, " Сч.№", 101.0, 90.0, 13.0, 7.9, 10, false, L, W},
        {K::Field, "{K_SBANK_KT}", 116.0, 90.0, 62.0, 7.9, 10, false, L, O},
        {K::Caption, "Банк получателя", 0.5, 94.2, 97.1, 4.5, 10, false, L, W},
        {K::Caption, "ИНН", 0.5, 99.5, 9.3, 4.5, 10, false, L, W},
        {K::Field, "{INN_POL}", 10.8, 99.5, 38.1, 4.5, 10, false, L, O},
        {K::Caption, " КПП", 50.5, 99.5, 9.3, 4.5, 10, false, L, W},
        {K::Field, "{KPP_POL}", 60.6, 99.5, 38.1, 4.5, 10, false, L, O},
        {K::Caption, " Сч. №", 101.0, 100.0, 13.0, 13.0, 10, false, L, W},
        {K::Field, "{SCH_KT}", 115.9, 100.0, 61.9, 13.0, 10, false, L, O},
        {K::Composed, "{recipientName}", 0.5, 105.3, 98.2, 18.3, 10, false, L, W},
        {K::Caption, "Вид оп.", 100.5, 114.6, 14.0, 4.4, 10, false, L, W},
        {K::Field, "{VID_OP}", 116.7, 114.8, 8.2, 4.5, 10, false, L, O},
        {K::Caption, "Срок плат.", 136.0, 114.6, 18.0, 4.4, 10, false, L, W},
        {K::Caption, "Наз.пл.", 100.5, 119.6, 14.0, 4.4, 10, false, L, W},
        {K::Caption, "Очер.плат.", 136.0, 119.6, 18.0, 4.4, 10, false, L, W},
        {K::Field, "{OCHER_PL}", 156.1, 119.6, 8.2, 4.5, 10, false, L, O},
        {K::Caption, "Получатель", 0.5, 124.4, 97.1, 4.5, 10, false, L, W},
        {K::Caption, "Код", 100.5, 124.6, 14.0, 4.4, 10, false, L, W},
        {K::Field, "{P22_KOD}", 116.0, 124.6, 18.6, 4.4, 10, false, L, O},
        {K::Caption, "Рез.поле", 136.0, 124.6, 18.0, 4.4, 10, false, L, W},
        {K::Field, "{P104_KBK}", 2.4, 129.4, 38.1, 4.5, 10, false, L, O},
        {K::Field, "{P105_OKATO}", 46.3, 129.4, 27.8, 4.5, 10, false, L, O},
        {K::Field, "{P106_OSNOV}", 75.7, 129.4, 8.2, 4.5, 10, false, L, O},
        {K::Field, "{P107_PERIO}", 86.0, 129.4, 23.0, 4.5, 10, false, L, O},
        {K::Field, "{P108_N_DOC}", 111.4, 129.4, 32.8, 4.5, 10, false, L, O},
        {K::Field, "{P109_D_DOC}", 146.1, 129.4, 23.3, 4.5, 10, false, L, O},
        {K::Field, "{P110_TIP}", 170.9, 129.4, 8.2, 4.5, 10, false, L, O},
        {K::Composed, "{purpose}", 0.8, 135.2, 175.9, 23.8, 10, false, L, W},
        {K::Caption, "Назначение платежа", 0.5, 159.3, 97.1, 4.5, 10, false, L, W},
        {K::Caption, "Подписи", 72.0, 164.8, 16.1, 4.5, 10, false, L, W},
        {K::Caption, "Отметки банка", 132.0, 164.8, 25.9, 4.5, 10, false, L, W},
        {K::Caption, "М.П.", 20.0, 182.0, 9.3, 4.5, 10, false, L, W},
    };
    return table;
}

namespace {
using S = Line::Shape;

Line h(double y, double x1, double x2, int pen = 3)
{
    return {S::Line, x1, y, x2, y, pen, false};
}

Line v(double x, double y1, double y2)
{
    return {S::Line, x, y1, x, y2, 3, false};
}
} // namespace

const QVector<Line> &lines()
{
    static const QVector<Line> table = {
        {S::Rectangle, 160.0, 0.2, 180.0, 5.8, 3, false},
        {S::Line, 0.0, 4.1, 35.0, 4.1, 3, true},
        {S::Line, 55.0, 4.1, 90.0, 4.1, 3, true},
        {S::Rectangle, 172.0, 12.0, 179.0, 19.0, 3, false},
        h(20.1, 90.0, 125.0),
        h(20.1, 130.0, 165.0),
        v(19.9, 23.8, 38.6),
        h(38.9, 0.0, 179.9),
        v(100.1, 39.1, 128.9),
        v(115.1, 39.1, 128.9),
        v(49.9, 39.2, 44.6),
        h(44.8, 0.0, 99.7),
        h(53.9, 100.1, 179.9),
        h(68.9, 0.0, 114.9),
        h(74.1, 100.1, 114.9),
        h(83.9, 0.0, 179.9, 1),
        h(84.0, 0.0, 179.8),
        h(89.3, 100.4, 115.2),
        h(98.9, 0.0, 114.8),
        v(49.8, 99.0, 104.4),
        h(104.6, 0.0, 99.7),
        h(114.1, 100.0, 179.8),
        v(135.1, 114.2, 129.0),
        v(155.1, 114.2, 129.2),
        h(119.1, 100.0, 114.8),
        h(119.1, 135.2, 155.0),
        h(124.1, 100.0, 114.8),
        h(124.1, 135.0, 154.8),
        h(129.1, 0.0, 179.9),
        v(45.1, 129.1, 133.9),
        v(75.1, 129.1, 133.9),
        v(85.1, 129.1, 133.9),
        v(110.1, 129.1, 133.9),
        v(145.1, 129.1, 133.9),
        v(170.1, 129.1, 133.9),
        h(134.2, 0.0, 180.0),
        h(164.1, 0.0, 180.0),
        h(179.1, 50.0, 110.0),
        h(194.1, 50.0, 110.1),
    };
    return table;
}

} // namespace PaymentForm
