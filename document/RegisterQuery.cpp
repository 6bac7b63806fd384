#include "document/RegisterQuery.h"
#include "document/DocumentColumns.h"

TableQuery RegisterQuery(bool archive, const QString &p6, const QString &pas)
{
    TableQuery query{archive ? DocumentTable::Archive : DocumentTable::Current, {}, DocumentColumn::Date, true};
    if (p6 != QLatin1String("0"))
        query.equal.append({DocumentColumn::Login, pas});
    return query;
}
