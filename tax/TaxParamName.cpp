#include "tax/TaxParamName.h"
#include "store/DataSet.h"

QString LookupTaxParamName(DataSet &q, const QString &tip, const QString &kod)
{
    q.close();
    q.setSql(QStringLiteral("select NAME from N_PARAM where TIP=? and KOD=?"), {tip, kod});
    q.open();
    if (q.isEmpty())
        return {};
    q.first();
    return q.text(0);
}
