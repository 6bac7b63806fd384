#pragma once

#include <QVector>

// The printed payment order 0401060 as data. Millimetres from the top-left
// corner of the printing area: 20 mm from the paper's left edge, 10 mm from its top.
namespace PaymentForm {

inline constexpr double PaperWidth = 210.0;
inline constexpr double PaperHeight = 297.0;
inline constexpr double LeftMargin = 20.0;
inline constexpr double TopMargin = 10.0;
inline constexpr double RightMargin = 10.0;
inline constexpr double BottomMargin = 83.0;

struct Text
{
    enum class Kind { Caption, Field, Composed, Computed };
    Kind kind;
    // A caption's own words; a field or composed text with its columns in braces
    // ("{BANK_PL1} г.{NNP_PL}"), or in lower case a text joined from several
    // ("{payerName}", "{recipientName}", "{purpose}"); a computed text's name (`QR_vid`, `qr_s2`).
    const char *content;
    double left;
    double top;
    double width; // a computed text is as wide as its text, within this room up to its cell's edge
    double height;
    double points;
    bool bold;
    bool centre;
    // A code, an account, an amount, a date or a number: never broken inside; where it is
    // wider than its box it is drawn on one line in a smaller size.
    bool oneLine;
};

// The smallest size a one-line text is drawn in; below it the text is narrowed instead.
inline constexpr double SmallestPoints = 7.0;
// The smallest size a wrapped text shrinks to; every box holds more there than its columns can.
inline constexpr double SmallestWrappedPoints = 4.0;

struct Line
{
    enum class Shape { Line, Rectangle };
    Shape shape;
    double x1;
    double y1;
    double x2;
    double y2;
    int pen; // printer dots
    // The top row's lines run along the top edges of two captions and are drawn over them.
    bool overTexts;
};

const QVector<Text> &texts();
const QVector<Line> &lines();

} // namespace PaymentForm
