#include "support/RecordingPrintForm.h"

#include <QCursor>
#include <QGuiApplication>

void RecordingPrintForm::preview(const QVector<PrintedDocument> &documents)
{
    record(true, documents);
}

void RecordingPrintForm::print(const QVector<PrintedDocument> &documents)
{
    record(false, documents);
}

void RecordingPrintForm::record(bool preview, const QVector<PrintedDocument> &documents)
{
    Run run{preview, {}, copies(), false};
    for (const PrintedDocument &document : documents)
        run.ids << document.field(QStringLiteral("ID"));
    const QCursor *cursor = QGuiApplication::overrideCursor();
    run.pointerShown = cursor && cursor->shape() == Qt::ArrowCursor;
    runs << run;
}
