#pragma once

#include <QString>
#include <QVariant>

// NAZNACH5, the VAT line of the purpose: the user's text for a rate of "0",
// otherwise "НДС <rate>% <VAT contained in the amount>.". A rate that does not
// read as a number, an empty one included, or a missing amount throws AppError.
QString VatLine(const QString &rate, const QVariant &amount, const QString &noVatText);
