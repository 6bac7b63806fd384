#include "document/RegisterQuery.h"
#include "document/DocumentColumns.h"

TableQuery RegisterQuery(bool archive, const std::optional<QString> &owner)
{
    TableQuery query{archive ? DocumentTable::Archive : DocumentTable::Current, {}, DocumentColumn::Date, true};
    if (owner)
        query.equal.append({DocumentColumn::Login, *owner});
    return query;
}
