#include "print/FormRenderer.h"
#include "document/DocumentColumns.h"
#include "print/FormFill.h"
#include "print/PaymentForm.h"
#include "store/AppError.h"

#include <QPagedPaintDevice>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <memory>

namespace {

// A printer dot of the form's pens is taken at 300 per inch, so lines look alike on every device.
constexpr double DotsPerInchOfPen = 300.0;

struct Scale
{
    double x;
    double y;
    double dpi;
};

Scale scaleOf(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return {device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4, double(device->logicalDpiY())};
}

QFont formFont(double points, bool bold)
{
    // Liberation Sans has Arial's metrics; the family list keeps Arial where it is installed.
    QFont font(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QPen penOf(int dots, const Scale &scale)
{
    QPen pen(Qt::black);
    pen.setWidthF(qMax(1.0, dots * scale.dpi / DotsPerInchOfPen));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void drawLines(QPainter &painter, const Scale &s, bool overTexts)
{
    painter.setBrush(Qt::NoBrush);
    for (const PaymentForm::Line &line : PaymentForm::lines()) {
        if (line.overTexts != overTexts)
            continue;
        painter.setPen(penOf(line.pen, s));
        const QPointF a(line.x1 * s.x, line.y1 * s.y);
        const QPointF b(line.x2 * s.x, line.y2 * s.y);
        if (line.shape == PaymentForm::Line::Shape::Rectangle)
            painter.drawRect(QRectF(a, b));
        else
            painter.drawLine(a, b);
    }
}

// A code on one line: in a smaller size where it is wider than its box, down to the
// smallest, and narrowed below that, so that it is never broken nor cut.
void drawOneLine(QPainter &painter, const Scale &s, const PaymentForm::Text &element, const QString &text)
{
    const bool computed = element.kind == PaymentForm::Text::Kind::Computed;
    const double room = element.width * s.x;
    double points = element.points;
    QFont font = formFont(points, element.bold);
    double natural = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    while (natural > room && points > PaymentForm::SmallestPoints) {
        points = qMax(PaymentForm::SmallestPoints, points - 0.5);
        font = formFont(points, element.bold);
        natural = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    }
    const double narrowing = natural > room ? room / natural : 1.0;
    const double shown = natural * narrowing;
    const QPointF origin(element.left * s.x, element.top * s.y);
    const double height = element.height * s.y;
    const double fill = computed ? shown : room;
    if (fill > 0)
        painter.fillRect(QRectF(origin, QSizeF(fill, height)), Qt::white);
    if (text.isEmpty())
        return;
    const double indent = element.centre ? (room - shown) / 2 : 0.0;
    painter.save();
    painter.translate(origin + QPointF(indent, 0));
    painter.scale(narrowing, 1.0);
    painter.setPen(Qt::black);
    painter.setFont(font);
    painter.drawText(QPointF(0, QFontMetricsF(font, painter.device()).ascent()), text);
    painter.restore();
}

// The text wrapped at word boundaries in a box of that width: true when every line fits its height.
bool layOut(QTextLayout &layout, double width, double height)
{
    QTextOption option;
    // A word wider than its box breaks inside rather than run out of it.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double y = 0;
    bool whole = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
        if (y > height + 0.5)
            whole = false;
    }
    layout.endLayout();
    return whole;
}

// A text that wraps in its box, in a smaller size where it needs more lines than the box holds,
// so that nothing typed is left off the page.
void drawText(QPainter &painter, const Scale &s, const PaymentForm::Text &element, const QString &text)
{
    if (element.oneLine) {
        drawOneLine(painter, s, element, text);
        return;
    }
    const double width = element.width * s.x;
    const double height = element.height * s.y;
    std::unique_ptr<QTextLayout> layout;
    for (double points = element.points;; points -= 0.5) {
        layout = std::make_unique<QTextLayout>(text, formFont(points, element.bold), painter.device());
        if (layOut(*layout, width, height) || points - 0.5 < PaymentForm::SmallestWrappedPoints)
            break;
    }

    const QPointF origin(element.left * s.x, element.top * s.y);
    if (width > 0)
        painter.fillRect(QRectF(origin, QSizeF(width, height)), Qt::white);
    painter.setPen(Qt::black);
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        // Only the lines inside the box: at the smallest size a text longer than any column holds stops there.
        if (line.y() + line.height() > height + 0.5)
            break;
        const double indent = element.centre ? (width - line.naturalTextWidth()) / 2 : 0.0;
        line.draw(&painter, origin + QPointF(indent, 0));
    }
}

} // namespace

namespace FormRenderer {

QPageLayout pageLayout()
{
    using namespace PaymentForm;
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(LeftMargin, TopMargin, RightMargin, BottomMargin), QPageLayout::Millimeter);
}

void drawPage(QPainter &painter, const PaymentOrder &document)
{
    // Filled before the painter's state is saved: a document that cannot be printed leaves the painter as it was.
    QStringList texts;
    try {
        texts = FillForm(document);
    } catch (const AppError &error) {
        throw AppError(QStringLiteral("Документ № %1 (ID %2) не печатается: %3")
                           .arg(document.text(DocumentColumn::Number).trimmed(), document.text(DocumentColumn::Id), error.message()));
    }
    const Scale s = scaleOf(painter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawLines(painter, s, false);
    const QVector<PaymentForm::Text> &elements = PaymentForm::texts();
    for (int i = 0; i < elements.size(); ++i)
        drawText(painter, s, elements.at(i), texts.at(i));
    drawLines(painter, s, true);
    painter.restore();
}

bool drawRun(QPainter &painter, QPagedPaintDevice &device, const QVector<PaymentOrder> &documents, int copies,
             const std::function<bool(int, int)> &beforePage)
{
    const int pages = int(documents.size()) * qMax(1, copies);
    int page = 0;
    for (const PaymentOrder &document : documents) {
        for (int copy = 0; copy < qMax(1, copies); ++copy) {
            if (beforePage && !beforePage(page, pages))
                return false;
            if (page > 0)
                device.newPage();
            drawPage(painter, document);
            ++page;
        }
    }
    return true;
}

} // namespace FormRenderer
