#include "store/SqlText.h"

#include <QDate>
#include <QLocale>

#include <functional>

QString sqlQuote(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

namespace {

// Copies the statement, handing each `?` that is not inside quotes or a comment to `mark`.
QString rewriteMarks(const QString &sql, const std::function<QString(int)> &mark)
{
    QString out;
    out.reserve(sql.size());
    int index = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < sql.size() ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside stays inside; the closing one ends the run.
            qsizetype end = i + 1;
            while (end < sql.size()) {
                if (sql.at(end) == c) {
                    if (end + 1 < sql.size() && sql.at(end + 1) == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = sql.size() - 1;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? sql.size() - 1 : end + 1;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('?')) {
            out += mark(index++);
        } else {
            out += c;
        }
    }
    return out;
}

QString literalOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("null");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return sqlQuote(value.toDate().toString(Qt::ISODate));
    default:
        return sqlQuote(value.toString());
    }
}

} // namespace

int placeholderCount(const QString &sql)
{
    int count = 0;
    rewriteMarks(sql, [&count](int) {
        ++count;
        return QString();
    });
    return count;
}

QString numberedPlaceholders(const QString &sql)
{
    return rewriteMarks(sql, [](int index) { return QStringLiteral("$%1").arg(index + 1); });
}

QString inlineValues(const QString &sql, const QVariantList &values)
{
    return rewriteMarks(sql, [&values](int index) {
        return index < values.size() ? literalOf(values.at(index)) : QStringLiteral("?");
    });
}
