#pragma once

#include <QList>
#include <QString>

// The words of a PDF file as poppler's pdftotext -bbox finds them, with their
// boxes in millimetres from the top-left corner of their page's paper.
namespace PdfWords {

struct Word
{
    int page; // from 0
    QString text;
    double left;
    double top;
    double right;
    double bottom;
};

// Empty with a failing test message in `error` when pdftotext cannot read the file.
QList<Word> read(const QString &pdf, QString *error = nullptr);
// The page count pdfinfo reports; -1 when it cannot tell.
int pageCount(const QString &pdf);

} // namespace PdfWords
