#include "support/RecordingPrintForm.h"

#include <QCursor>
#include <QGuiApplication>

void RecordingPrintForm::preview(const QVector<PaymentOrder> &documents)
{
    record(true, documents);
}

void RecordingPrintForm::print(const QVector<PaymentOrder> &documents)
{
    record(false, documents);
}

void RecordingPrintForm::record(bool preview, const QVector<PaymentOrder> &documents)
{
    Run run{preview, {}, copies(), false};
    for (const PaymentOrder &document : documents)
        run.ids << document.text(QStringLiteral("ID"));
    const QCursor *cursor = QGuiApplication::overrideCursor();
    run.pointerShown = cursor && cursor->shape() == Qt::ArrowCursor;
    runs << run;
}
