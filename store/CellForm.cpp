#include "store/CellForm.h"

#include "store/AppError.h"
#include "store/Clock.h"
#include "store/DateText.h"

#include <QDate>
#include <QLocale>

#include <charconv>
#include <cmath>

namespace CellForm {

QString raw(ColumnKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Text:
        return value.toString();
    case ColumnKind::Date: {
        const QDate d = value.toDate();
        return d.isValid() ? d.toString(Qt::ISODate) : QString();
    }
    case ColumnKind::Number:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case ColumnKind::Logical:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case ColumnKind::Integer:
        return QString::number(value.toLongLong());
    }
    return value.toString();
}

QVariant typed(ColumnKind kind, const QString &raw)
{
    if (kind == ColumnKind::Text)
        return raw;
    if (raw.isEmpty())
        return {};
    switch (kind) {
    case ColumnKind::Date:
        return QDate::fromString(raw, Qt::ISODate);
    case ColumnKind::Number:
        return raw.toDouble();
    case ColumnKind::Logical:
        return raw == QLatin1String("1");
    case ColumnKind::Integer:
        return raw.toLongLong();
    case ColumnKind::Text:
        break;
    }
    return raw;
}

void appendFromEngine(QByteArray &raw, ColumnKind kind, QByteArrayView text)
{
    switch (kind) {
    case ColumnKind::Date:
        raw.append(text.first(qMin<qsizetype>(10, text.size())));
        return;
    case ColumnKind::Logical:
        raw.append(!text.isEmpty() && QByteArrayView("1tTyY").contains(text.at(0)) ? '1' : '0');
        return;
    case ColumnKind::Number: {
        // One spelling for every engine: the shortest digits that read back the same.
        double value = 0;
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
        if (parsed.ec != std::errc()) {
            raw.append(text);
            return;
        }
        char buffer[400];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        raw.append(buffer, written.ptr - buffer);
        return;
    }
    default:
        raw.append(text);
        return;
    }
}

double sortKey(ColumnKind kind, QByteArrayView raw, double null)
{
    if (raw.isEmpty())
        return null;
    if (kind == ColumnKind::Date) {
        int year = 0, month = 0, day = 0;
        const char *end = raw.data() + raw.size();
        auto p = std::from_chars(raw.data(), end, year);
        if (p.ptr < end)
            p = std::from_chars(p.ptr + 1, end, month);
        if (p.ptr < end)
            std::from_chars(p.ptr + 1, end, day);
        return year * 10000.0 + month * 100 + day;
    }
    double value = 0;
    std::from_chars(raw.data(), raw.data() + raw.size(), value);
    return value;
}

QString text(ColumnKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Text:
        return value.toString();
    case ColumnKind::Date:
        return WriteDateText(value.toDate());
    case ColumnKind::Number:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest)
            .replace(QLatin1Char('.'), QLatin1Char(','));
    case ColumnKind::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnKind::Integer:
        return QString::number(value.toLongLong());
    }
    return value.toString();
}

void check(ColumnKind kind, const QString &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return;
    switch (kind) {
    case ColumnKind::Number:
    case ColumnKind::Integer:
        if (!std::isfinite(value.toDouble()))
            throw AppError(QStringLiteral("Поле %1 не принимает значение %2: нужно конечное число")
                               .arg(column, QString::number(value.toDouble())));
        return;
    case ColumnKind::Date: {
        const QDate d = value.toDate();
        if (d.isValid() && (d.year() < 1 || d.year() > 9999))
            throw AppError(QStringLiteral("Поле %1 не принимает дату %2: год должен быть от 1 до 9999")
                               .arg(column, d.toString(QStringLiteral("dd.MM.yyyy"))));
        return;
    }
    default:
        return;
    }
}

QVariant fromTyping(ColumnKind kind, const QString &column, const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    switch (kind) {
    case ColumnKind::Text:
        return text;
    case ColumnKind::Date:
        return ReadDateText(t, Clock::today());
    case ColumnKind::Number:
    case ColumnKind::Integer: {
        bool ok = false;
        const double d = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            throw AppError(QStringLiteral("\"%1\" не является числом").arg(text));
        check(kind, column, d); // before an infinity is turned into a whole number
        return kind == ColumnKind::Number ? QVariant(d) : QVariant(qint64(d));
    }
    case ColumnKind::Logical: {
        const QString l = t.toLower();
        if (l == QLatin1String("true") || l == QLatin1String("1"))
            return true;
        if (l == QLatin1String("false") || l == QLatin1String("0"))
            return false;
        throw AppError(QStringLiteral("\"%1\" не является логическим значением").arg(text));
    }
    }
    return {};
}

} // namespace CellForm
