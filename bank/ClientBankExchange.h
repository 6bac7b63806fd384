#pragma once

#include "document/DocumentChoice.h"

#include <QByteArray>
#include <QStringList>

class DataSet;

// The 1CClientBankExchange text, version 1.03, of the payment orders a data set holds.
struct ClientBankExport
{
    QByteArray bytes;   // the whole file, CR LF line ends, in the chosen encoding
    int written = 0;
    // The problems CheckOrder finds, each after the document it names; still written.
    QStringList checkFailures;
    // Documents left out: an amount or date no bank takes, or text the encoding cannot hold.
    QStringList unwritable;
};

// Every row of `documents`, in its order; `utf8` for banks that take UTF-8, else Windows-1251.
ClientBankExport WriteClientBankExchange(DataSet &documents, bool utf8 = false);

// The chosen completed documents in the file's order: by date, then by number.
SqlStatement ExchangeDocumentsSql(const DocumentChoice &choice);

// Writes the file whole, the old one kept until the new one is; an AppError names `shownPath` otherwise.
void SaveExchangeFile(const QString &path, const QString &shownPath, const QByteArray &bytes);
