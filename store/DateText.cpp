#include "store/DateText.h"

#include "store/AppError.h"
#include "store/AsciiDigits.h"

#include <QStringList>

namespace {

[[noreturn]] void refuse(const QString &text)
{
    throw AppError(QStringLiteral("Неверная дата: %1").arg(text));
}

// The number of a part made only of ASCII digits; false for anything else.
bool readNumber(const QString &part, int &number)
{
    if (!isAsciiDigits(part))
        return false;
    bool ok = false;
    number = part.toInt(&ok);
    return ok;
}

} // namespace

QDate ReadDateText(const QString &text, const QDate &today)
{
    QString normal = text.trimmed();
    if (normal.isEmpty())
        return QDate();
    normal.replace(QLatin1Char(','), QLatin1Char('.'));

    const QStringList parts = normal.split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.size() > 3)
        refuse(text);
    int day = 0, month = 0, year = today.year();
    if (!readNumber(parts[0], day) || !readNumber(parts[1], month))
        refuse(text);
    if (parts.size() == 3) {
        if (!readNumber(parts[2], year))
            refuse(text);
        if (parts[2].size() <= 2) {
            const int first = today.year() - 50;
            year += first / 100 * 100;
            if (year < first)
                year += 100;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        refuse(text);
    return date;
}

QString WriteDateText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    const QLatin1Char zero('0');
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, zero)
        .arg(date.month(), 2, 10, zero)
        .arg((date.year() % 100 + 100) % 100, 2, 10, zero);
}
