#include "store/RegisterQuery.h"

TableQuery RegisterQuery(bool archive, const QString &p6, const QString &pas)
{
    TableQuery query{archive ? QStringLiteral("PL_A") : QStringLiteral("PL"), {}, QStringLiteral("DATE"), true};
    if (p6 != QLatin1String("0"))
        query.equal.append({QStringLiteral("LOGIN"), pas});
    return query;
}
