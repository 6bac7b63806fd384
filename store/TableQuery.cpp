#include "store/TableQuery.h"

#include <QStringList>

SqlStatement TableQuery::statement() const
{
    SqlStatement s;
    s.sql = QStringLiteral("select * from ") + table;
    QStringList conditions;
    for (const auto &[column, value] : equal) {
        conditions << column + QStringLiteral("=?");
        s.values << value;
    }
    if (!conditions.isEmpty())
        s.sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    if (!orderBy.isEmpty())
        s.sql += QStringLiteral(" order by ") + orderBy + (descending ? QStringLiteral(" desc") : QString());
    return s;
}
