#include "editor/AmountEntry.h"
#include "money/AmountInWords.h"
#include "store/AppError.h"
#include "store/DecimalText.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

// The amount in ten-thousandths, or -1 where that cannot be done.
qint64 tenThousandths(double amount)
{
    if (!std::isfinite(amount) || amount < 0)
        return -1;
    // nearbyint keeps the default rounding mode: a half goes to the even neighbour.
    const double scaled = std::nearbyint(amount * 10000.0);
    if (!(scaled < 9223372036854775807.0))
        return -1;
    return qint64(scaled);
}

} // namespace

bool ReadsAsAmount(const QString &text)
{
    if (!ReadsAsDecimal(text))
        return false;
    const qint64 scaled = tenThousandths(ReadDecimal(text));
    if (scaled < 0)
        return false;
    try {
        AmountInWords(scaled);
    } catch (const AppError &) {
        return false;
    }
    return true;
}

double ReadAmount(const QString &text)
{
    if (!ReadsAsAmount(text))
        throw AppError(QStringLiteral("Неверная сумма: %1").arg(text));
    return ReadDecimal(text);
}

QString AmountWordsOf(double amount)
{
    const qint64 scaled = tenThousandths(amount);
    if (scaled < 0)
        throw AppError(QStringLiteral("Сумма прописью не пишется для суммы %1").arg(amount));
    return AmountInWords(scaled);
}

QString AmountDisplayText(const QVariant &amount)
{
    if (!amount.isValid() || amount.isNull())
        return {};
    QString text = QString::number(amount.toDouble(), 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}
