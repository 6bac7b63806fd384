#include "tax/TaxDetails.h"
#include "document/DocumentColumns.h"
#include "document/TaxFields.h"
#include "session/Session.h"
#include "store/DataSet.h"

namespace TaxDetails {

namespace {

const QString controlSetting = QStringLiteral("P3");

QString columnOf(int item)
{
    return QLatin1String(taxFields().at(item).column);
}

} // namespace

void Open(Session &session)
{
    DataSet &doc = session.documents();
    doc.edit();
    doc.setValue(DocumentColumn::Tax, true);
    for (int item : {TaxBasisItem, TaxTypeItem, TaxAccrualIdItem})
        if (doc.text(columnOf(item)).isEmpty())
            doc.setValue(columnOf(item), QLatin1String(TaxNoValue));
}

bool ControlOn(Session &session)
{
    return session.user().logical(controlSetting);
}

bool ToggleControl(Session &session)
{
    DataSet &user = session.user();
    const bool on = !ControlOn(session);
    user.changeOrDrop([&] {
        user.edit();
        user.setValue(controlSetting, on ? QStringLiteral("True") : QStringLiteral("False"));
        user.post();
    });
    return on;
}

bool Write(Session &session, int item, const QString &text)
{
    DataSet &doc = session.documents();
    if (doc.state() != DataSet::State::Edit && doc.state() != DataSet::State::Insert)
        return false;
    if (doc.text(columnOf(item)) == text)
        return false;
    doc.setValue(columnOf(item), text);
    return true;
}

void OpenCodes(Session &session, DataSet &codes, int item)
{
    const TaxField &field = taxFields().at(item);
    codes.close();
    codes.setSql(QStringLiteral("select KOD,NAME from N_PARAM where TIP=?"), {QLatin1String(field.codeList)});
    codes.open();
    if (!codes.isEmpty() && !codes.locate(QStringLiteral("KOD"), session.documents().text(columnOf(item)), Qt::CaseSensitive))
        codes.first();
}

} // namespace TaxDetails
