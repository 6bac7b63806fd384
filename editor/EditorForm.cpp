#include "editor/EditorForm.h"

#include <QStringList>

namespace {

using K = FormKind;
using U = BoxUse;

FormElement caption(const char *text, int x, int y)
{
    return {K::Caption, nullptr, text, QRect(x, y, 0, 0)};
}

FormElement box(const char *name, const char *column, int x, int y, int w, int limit = 0, U use = U::Flow)
{
    return {K::Box, name, column, QRect(x, y, w, 0), limit, use, false};
}

FormElement line(const char *name, const char *column, int x, int y, int w, int limit, U use = U::Flow)
{
    return {K::Box, name, column, QRect(x, y, w, 0), limit, use, true};
}

QList<FormElement> build()
{
    return {
        caption("Платежное поручение", 0, -2),
        caption("N", 2, 31),
        box("edit_nom", "NOM", 16, 28, 110, 7),
        caption("от", 131, 31),
        box("edit_date", nullptr, 155, 28, 121, 8),
        box("edit_vid", "vid", 288, 28, 142, 8, U::Opener),
        caption("платеж", 435, 31),
        box("edit_nalog", "nal", 502, 28, 89, 8, U::Opener),
        caption("сумма", 596, 31),
        box("edit_s", "S", 655, 28, 129, 0, U::ReadOnly),

        // Payer, filled from the payer directory when the document is made.
        caption("Плательщик:", 3, 61),
        line("DBEdit11", "NAME_PL1", 124, 61, 381, 30, U::MouseOnly),
        line("DBEdit13", "NAME_PL2", 4, 81, 501, 30, U::MouseOnly),
        line("DBEdit14", "NAME_PL3", 4, 101, 501, 30, U::MouseOnly),
        line("DBEdit12", "NAME_PL4", 4, 121, 501, 30, U::MouseOnly),
        caption("сч  :", 506, 67),
        caption("инн:", 506, 95),
        caption("кпп:", 507, 123),
        caption("бик:", 507, 155),
        caption("к/с:", 512, 183),
        box("DBEdit6", "SCH_DT", 540, 63, 215, 0, U::Disabled),
        box("DBEdit7", "INN_PL", 540, 91, 215, 0, U::Disabled),
        box("DBEdit8", "KPP_PL", 540, 119, 215, 0, U::Disabled),
        box("DBEdit9", "MFOBANK_PL", 540, 150, 215, 0, U::Disabled),
        box("DBEdit10", "K_SBANK_DT", 540, 178, 215, 0, U::Disabled),
        box("DBEdit1", "P101_STATU", 756, 63, 29, 0, U::ReadOnly),
        caption("Банк", 78, 152),
        caption("Плательщика", 1, 180),
        {K::Memo, "DBMemo2", "BANK_PL1", QRect(124, 148, 381, 55), 220, U::MouseOnly, true},

        {K::Bar, "bar", nullptr, QRect(0, 207, EditorDesignWidth, 5)},

        // Recipient.
        caption("Получатель:", 1, 216),
        line("dbe_pol1", "NAME_POL1", 111, 213, 394, 30),
        line("dbe_pol2", "NAME_POL2", 4, 233, 501, 30),
        line("dbe_pol3", "NAME_POL3", 4, 253, 501, 30),
        line("dbe_pol4", "NAME_POL4", 4, 273, 501, 30),
        caption("F2-справочник", 568, 216),
        caption("сч  :", 509, 239),
        caption("инн:", 509, 263),
        caption("кпп:", 510, 288),
        caption("бик:", 508, 314),
        caption("к/с:", 516, 340),
        box("DBE_SCH_KT", "SCH_KT", 543, 235, 215, 20),
        box("DBE_inn", "INN_POL", 543, 259, 215, 12),
        box("DBE_kpp", "KPP_POL", 543, 283, 215, 9),
        box("DBE_bik", "MFOBANKPOL", 543, 311, 215, 9),
        box("DBE_k_s", "K_SBANK_KT", 543, 334, 215, 0, U::Disabled),
        caption("Банк", 78, 310),
        caption("Получателя", 14, 336),
        {K::Memo, "DBMemo4", "BANK_POL1", QRect(130, 304, 375, 55), 220, U::MouseOnly, true},

        // Purpose and the right-hand column.
        line("DBE_naz1", "NAZNACH1", 1, 369, 616, 50),
        line("DBE_naz2", "NAZNACH2", 1, 389, 616, 50),
        line("DBE_naz3", "NAZNACH3", 1, 409, 616, 50),
        line("DBE_naz4", "NAZNACH4", 1, 429, 616, 40),
        line("DBEdit17", "NAZNACH5", 1, 449, 390, 30, U::MouseOnly),
        {K::Message, "l_not2", nullptr, QRect(401, 450, 399, 0)},
        caption("в  т. ч. ндс:", 625, 369),
        box("DBE_nds", "NDS", 723, 363, 35, 2),
        caption("%", 760, 370),
        caption("очер.плат.:", 625, 395),
        box("DBE_o_p", "OCHER_PL", 723, 390, 35, 1),
        caption("вид  опер. :", 625, 422),
        box("DBE_vid_oper", "VID_OP", 723, 417, 35, 2),
        caption("Назначение платежа", 2, 473),

        // The tax details, edited on the tax panel.
        box("DBEdit2", "P104_KBK", 9, 489, 134, 0, U::ReadOnly),
        box("DBEdit3", "P105_OKATO", 145, 489, 134, 0, U::ReadOnly),
        box("DBEdit4", "P106_OSNOV", 281, 489, 42, 0, U::ReadOnly),
        box("DBEdit5", "P107_PERIO", 326, 489, 134, 0, U::ReadOnly),
        box("DBEdit23", "P108_N_DOC", 463, 489, 134, 0, U::ReadOnly),
        box("DBEdit36", "P109_D_DOC", 599, 489, 134, 0, U::ReadOnly),
        box("DBEdit37", "P110_TIP", 736, 489, 43, 0, U::ReadOnly),

        {K::Help, "Memo4", nullptr, QRect(0, EditorDesignHeight - 49, EditorDesignWidth, 49)},
    };
}

} // namespace

const QList<FormElement> &editorForm()
{
    static const QList<FormElement> elements = build();
    return elements;
}

const FormElement *formElement(const char *name)
{
    for (const FormElement &e : editorForm())
        if (e.name && qstrcmp(e.name, name) == 0)
            return &e;
    return nullptr;
}

const QStringList &editorHelpLines()
{
    static const QStringList lines = {
        QStringLiteral("перемещение-стрелочками, Enter,Esc;  "),
        QStringLiteral("Выход-Esc(из поля номер документа) или Ener(из поля вид операции)"),
    };
    return lines;
}
