#include "tax/TaxFields.h"

namespace {

QList<TaxField> build()
{
    return {
        // caption             box              column        copy        list  name   width selects
        {"статус:",            "DBEdit_s",     "P101_STATU", "DBEdit1",  "s",   "e_s", 36,   false},
        {"кбк:",               "DBEdit_kbk",   "P104_KBK",   "DBEdit2",  nullptr, nullptr, 232, false},
        {"окато:",             "DBEdit_okato", "P105_OKATO", "DBEdit3",  nullptr, nullptr, 136, false},
        {"основание:",         "DBEdit_o",     "P106_OSNOV", "DBEdit4",  "o",   "e_o", 36,   false},
        {"период:",            "DBEdit_perio", "P107_PERIO", "DBEdit5",  nullptr, nullptr, 126, false},
        {"номер документа:",   "DBEdit_n_doc", "P108_N_DOC", "DBEdit23", nullptr, nullptr, 126, true},
        {"дата документа:",    "DBEdit_d_doc", "P109_D_DOC", "DBEdit36", nullptr, nullptr, 126, true},
        {"тип платежа:",       "DBEdit_t",     "P110_TIP",   "DBEdit37", "t",   "e_t", 36,   true},
    };
}

int indexOf(const QString &name, const char *TaxField::*member)
{
    const QList<TaxField> &fields = taxFields();
    for (int i = 0; i < fields.size(); ++i)
        if (name == QLatin1String(fields.at(i).*member))
            return i;
    return -1;
}

} // namespace

const QList<TaxField> &taxFields()
{
    static const QList<TaxField> fields = build();
    return fields;
}

int taxFieldOfBox(const QString &box)
{
    return indexOf(box, &TaxField::box);
}

int taxFieldOfCopy(const QString &copy)
{
    return indexOf(copy, &TaxField::copy);
}

TaxStep taxChooserStep(int item, const QString &basis, bool control)
{
    if (item == TaxPeriodItem) {
        if (basis == QLatin1String(TaxNoValue))
            return {TaxStep::ActOnItem, TaxTypeItem};
        const bool composed = basis == QStringLiteral("ТП") || basis == QStringLiteral("ЗД");
        if (composed && control)
            return {TaxStep::OpenComposer, item};
        if (basis == QStringLiteral("АП") || basis == QStringLiteral("АР"))
            return {TaxStep::FocusBox, TaxDocumentNumberItem};
        return {TaxStep::FocusBox, item};
    }
    if (control && taxFields().value(item).codeList)
        return {TaxStep::OpenPicker, item};
    return {TaxStep::FocusBox, item};
}
