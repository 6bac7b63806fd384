#include "store/RegisterQuery.h"

SqlStatement RegisterSql(bool archive, const QString &p6, const QString &pas)
{
    const QString table = archive ? QStringLiteral("PL_A") : QStringLiteral("PL");
    if (p6 == QLatin1String("0"))
        return {QStringLiteral("select * from %1 order by DATE desc").arg(table), {}};
    return {QStringLiteral("select * from %1 where LOGIN=? order by DATE desc").arg(table), {pas}};
}
