#pragma once

#include "document/PaymentOrder.h"

#include <QString>
#include <QStringList>

// The two texts worked out for every page: the payment kind and the amount in figures.
struct ComputedTexts
{
    QString QR_vid;
    QString qr_s2;
};

// The print-time handler of the caption "Списано со сч. плат.", run once for every page.
ComputedTexts QRLabel5Print(const PaymentOrder &document);

// The text of every element of PaymentForm::texts() for one document, in the table's order.
QStringList FillForm(const PaymentOrder &document);
