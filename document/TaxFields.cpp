#include "document/TaxFields.h"

#include "store/AsciiDigits.h"

namespace {

QList<TaxField> build()
{
    return {
        // caption             box              column        list     name     width selects
        {"статус:",            "DBEdit_s",     "P101_STATU", "s",     "e_s",   36,   false},
        {"кбк:",               "DBEdit_kbk",   "P104_KBK",   nullptr, nullptr, 232,  false},
        {"окато:",             "DBEdit_okato", "P105_OKATO", nullptr, nullptr, 136,  false},
        {"основание:",         "DBEdit_o",     "P106_OSNOV", "o",     "e_o",   36,   false},
        {"период:",            "DBEdit_perio", "P107_PERIO", nullptr, nullptr, 126,  false},
        {"номер документа:",   "DBEdit_n_doc", "P108_N_DOC", nullptr, nullptr, 126,  true},
        {"дата документа:",    "DBEdit_d_doc", "P109_D_DOC", nullptr, nullptr, 126,  true},
        {"тип платежа:",       "DBEdit_t",     "P110_TIP",   "t",     "e_t",   36,   true},
        {"УИН (22):",          "DBEdit_kod",   "P22_KOD",    nullptr, nullptr, 296,  true},
    };
}

} // namespace

const QList<TaxField> &taxFields()
{
    static const QList<TaxField> fields = build();
    return fields;
}

bool IsAccrualId(const QString &text)
{
    if (text == QLatin1String(TaxNoValue))
        return true;
    if ((text.size() != 20 && text.size() != 25) || !isAsciiDigits(text))
        return false;
    // Twenty or twenty-five zeros identify nothing.
    return text.count(QLatin1Char('0')) != text.size();
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
