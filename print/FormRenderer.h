#pragma once

#include "document/PaymentOrder.h"

#include <QPageLayout>

#include <functional>

class QPainter;
class QPagedPaintDevice;

// Draws the payment order on any paint device: the printer, its preview, a PDF file, an image.
namespace FormRenderer {

// A4 portrait with the form's margins, in millimetres.
QPageLayout pageLayout();

// One document's page. The painter's origin is the top-left corner of the
// printing area and its unit the device's dot.
void drawPage(QPainter &painter, const PaymentOrder &document);

// Every document in `copies` pages, a document's copies one after another, on a
// painter already begun on the device. beforePage(page, pages) runs before each
// page; its false ends the run there (a cancelled run). False when cut short.
bool drawRun(QPainter &painter, QPagedPaintDevice &device, const QVector<PaymentOrder> &documents, int copies,
             const std::function<bool(int page, int pages)> &beforePage = {});

} // namespace FormRenderer
