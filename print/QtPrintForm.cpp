#include "print/QtPrintForm.h"

#include "print/FormRenderer.h"
#include "store/AppError.h"

#include <QApplication>
#include <QPainter>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <memory>

namespace {

// Runs shorter than this draw without a progress dialog.
constexpr int PagesWithoutProgress = 50;

void setUp(QPrinter &printer, int copies)
{
    printer.setPageLayout(FormRenderer::pageLayout());
    printer.setFullPage(false);
    printer.setCopyCount(copies);
    // A document's copies lie together, as the pages drawn for a PDF do.
    printer.setCollateCopies(false);
}

// The preview draws through a picture engine of its own in place of the printer's.
bool isPreview(QPrinter &printer)
{
    return printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Picture;
}

// Whether the device makes the copies itself; a PDF file does not, so they are drawn.
bool deviceMakesCopies(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::NativeFormat && printer.supportsMultipleCopies();
}

} // namespace

QtPrintForm::QtPrintForm(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QR_blank"));
}

QString QtPrintForm::noPrinterMessage()
{
    return QStringLiteral("Принтер не установлен: печатать не на чем. Просмотр (Ctrl+Enter) и запись в PDF "
                          "(payorders pdf) работают и без принтера.");
}

bool QtPrintForm::paint(QPrinter &printer, const QVector<PaymentOrder> &documents)
{
    const bool previewing = isPreview(printer);
    const int copies = previewing || deviceMakesCopies(printer) ? 1 : printer.copyCount();
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(QStringLiteral("Не удалось начать печать на принтере %1").arg(printer.printerName()));
    std::unique_ptr<QProgressDialog> progress;
    const int pages = int(documents.size()) * copies;
    if (pages > PagesWithoutProgress) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Печать платёжных поручений"),
                                                     QStringLiteral("Отмена"), 0, pages, QApplication::activeWindow());
        progress->setObjectName(QStringLiteral("printProgress"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    const bool done = FormRenderer::drawRun(painter, printer, documents, copies, [&](int page, int) {
        if (!progress)
            return true;
        progress->setValue(page);
        return !progress->wasCanceled();
    });
    if (!done && !previewing)
        printer.abort();
    painter.end();
    return done;
}

void QtPrintForm::preview(const QVector<PaymentOrder> &documents)
{
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, copies());
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("printPreview"));
    // The preview draws one page per document; printing from it makes the copies.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&](QPrinter *target) { paint(*target, documents); });
    // Without a window manager maximizing changes nothing, so the preview takes the screen itself.
    if (const QScreen *screen = dialog.screen())
        dialog.setGeometry(screen->availableGeometry());
    dialog.setWindowState(Qt::WindowMaximized);
    dialog.exec();
    if (QWidget *over = dialog.parentWidget()) {
        over->window()->raise();
        over->window()->activateWindow();
    }
}

void QtPrintForm::print(const QVector<PaymentOrder> &documents)
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        throw AppError(noPrinterMessage());
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, copies());
    paint(printer, documents);
}
