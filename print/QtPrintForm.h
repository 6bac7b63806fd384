#pragma once

#include "print/PrintForm.h"

#include <QObject>

class QPrinter;

// QR_blank on Qt's own print preview and printer dialogs.
class QtPrintForm : public QObject, public PrintForm
{
    Q_OBJECT

public:
    explicit QtPrintForm(QObject *parent = nullptr);

    void preview(const QVector<PaymentOrder> &documents) override;
    // A computer without a printer gets an AppError saying so; the preview and the PDF still work.
    void print(const QVector<PaymentOrder> &documents) override;

    // Draws the run on the printer or the preview's page; a long run shows a
    // progress dialog that can cancel it. False when cancelled.
    static bool paint(QPrinter &printer, const QVector<PaymentOrder> &documents);
    static QString noPrinterMessage();
};
