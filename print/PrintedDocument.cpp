#include "print/PrintedDocument.h"

#include "store/DataSet.h"

PrintedDocument PrintedDocument::fromCurrentRow(const DataSet &source)
{
    PrintedDocument document;
    const QStringList names = source.columnNames();
    for (int c = 0; c < names.size(); ++c)
        document.fields.insert(names.at(c).toUpper(), source.text(c));
    const QVariant amount = source.value(QStringLiteral("S"));
    document.amount = amount.isNull() ? 0.0 : amount.toDouble();
    return document;
}

QVector<PrintedDocument> PrintedDocument::allRows(DataSet &source)
{
    QVector<PrintedDocument> documents;
    documents.reserve(source.recordCount());
    for (source.first(); !source.eof(); source.next())
        documents << fromCurrentRow(source);
    return documents;
}
