#include "tax/TaxParamName.h"
#include "store/DataSet.h"

QString LookupTaxParamName(DataSet &q, const QString &tip, const QString &kod)
{
    // PostgreSQL refuses a text with a NUL, and the error would leave a key handler; no code holds one.
    if (kod.contains(QChar(0)) || tip.contains(QChar(0)))
        return {};
    q.close();
    q.setSql(QStringLiteral("select NAME from N_PARAM where TIP=? and KOD=?"), {tip, kod});
    q.open();
    if (q.isEmpty())
        return {};
    q.first();
    return q.text(0);
}
