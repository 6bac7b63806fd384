#pragma once

#include "print/PrintForm.h"

#include <QStringList>

// QR_blank for tests: records what would be previewed or printed, never waits.
class RecordingPrintForm : public PrintForm
{
public:
    struct Run
    {
        bool preview; // false: straight to the printer
        QStringList ids;
        int copies;
        bool pointerShown; // an arrow override cursor while it ran
    };
    QList<Run> runs;

    void preview(const QVector<PaymentOrder> &documents) override;
    void print(const QVector<PaymentOrder> &documents) override;

private:
    void record(bool preview, const QVector<PaymentOrder> &documents);
};
