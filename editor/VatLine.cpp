#include "editor/VatLine.h"
#include "money/MoneyText.h"
#include "store/AppError.h"
#include "store/DecimalText.h"

QString VatLine(const QString &rate, const QVariant &amount, const QString &noVatText)
{
    if (rate == QLatin1String("0"))
        return noVatText;
    if (!ReadsAsDecimal(rate))
        throw AppError(QStringLiteral("Ставка НДС «%1» не является числом: строка НДС не составлена").arg(rate));
    if (!amount.isValid() || amount.isNull())
        throw AppError(QStringLiteral("Не введена сумма: строка НДС не составлена"));
    const double percent = ReadDecimal(rate);
    const double vat = amount.toDouble() * percent / (100.0 + percent);
    return QStringLiteral("НДС ") + rate + QStringLiteral("% ") + MoneyText(vat) + QLatin1Char('.');
}
