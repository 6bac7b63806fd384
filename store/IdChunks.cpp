#include "store/IdChunks.h"

namespace IdChunks {

QList<QStringList> split(QStringList ids)
{
    // One order on every computer: PostgreSQL then takes row locks without deadlocks.
    ids.sort();
    ids.removeDuplicates();
    QList<QStringList> pieces;
    for (qsizetype at = 0; at < ids.size(); at += Size)
        pieces << ids.mid(at, Size);
    return pieces;
}

QString marks(const QStringList &ids)
{
    QString text;
    text.reserve(ids.size() * 2);
    for (qsizetype i = 0; i < ids.size(); ++i)
        text += i ? QStringLiteral(",?") : QStringLiteral("?");
    return text;
}

QVariantList values(const QStringList &ids)
{
    QVariantList list;
    list.reserve(ids.size());
    for (const QString &id : ids)
        list << id;
    return list;
}

} // namespace IdChunks
