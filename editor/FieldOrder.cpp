#include "editor/FieldOrder.h"
#include "store/TextWidth.h"

bool FieldStep::operator==(const FieldStep &other) const
{
    return work == other.work && QByteArrayView(to) == QByteArrayView(other.to);
}

namespace {

using W = FieldWork;
using A = AutoAdvance;

constexpr FieldStep stay{};
FieldStep to(const char *control, W work = W::None) { return {work, control}; }
FieldStep work(W w) { return {w, nullptr}; }

QList<FieldRow> buildOrder()
{
    return {
        // control       column        limit advance     Enter                          Down                           Up                Esc
        {"edit_nom",     "NOM",        7,  A::None,     to("edit_date"),               to("edit_date"),               stay,             work(W::LeaveUnfinished)},
        {"edit_date",    nullptr,      8,  A::Digits,   to("edit_vid", W::ConfirmDate), to("edit_vid", W::ConfirmDate), to("edit_nom"),  to("edit_nom")},
        {"l1",           "VID_PLAT",   0,  A::None,     to("edit_nalog", W::WriteKind), to("edit_nalog", W::WriteKind), to("edit_date"), to("edit_date")},
        {"l2",           "NALOG",      0,  A::None,     to(MoveToAmount, W::WriteTaxType), to(MoveToAmount, W::WriteTaxType), to("edit_vid"), to("edit_vid")},
        {"edit_s",       nullptr,      0,  A::None,     to("DBE_SCH_KT"),              to("DBE_SCH_KT"),              to("edit_nalog"), to("edit_nalog")},
        {"e_s2",         nullptr,      0,  A::Amount,   to("e_s3", W::FirstAmount),    to("e_s3", W::FirstAmount),    to("edit_nalog"), to("edit_nalog")},
        {"e_s3",         nullptr,      0,  A::Amount,   to("DBE_SCH_KT", W::ConfirmAmount), stay,                     stay,             to("e_s2")},
        {"DBE_SCH_KT",   "SCH_KT",     20, A::Digits,   to("DBE_inn", W::AccountLookup), to("DBE_inn", W::AccountLookup), to("edit_s"),  to("edit_s")},
        {"DBE_inn",      "INN_POL",    12, A::Digits,   to("DBE_kpp"),                 to("DBE_kpp"),                 to("DBE_SCH_KT"), to("DBE_SCH_KT")},
        {"DBE_kpp",      "KPP_POL",    9,  A::Digits,   to("dbe_pol1"),                to("dbe_pol1"),                to("DBE_inn"),    to("DBE_inn")},
        {"dbe_pol1",     "NAME_POL1",  30, A::TextLine, to("DBE_bik"),                 to("dbe_pol2"),                stay,             to("DBE_kpp")},
        {"dbe_pol2",     "NAME_POL2",  30, A::TextLine, to("DBE_bik"),                 to("dbe_pol3"),                to("dbe_pol1"),   to("DBE_kpp")},
        {"dbe_pol3",     "NAME_POL3",  30, A::TextLine, to("DBE_bik"),                 to("dbe_pol4"),                to("dbe_pol2"),   to("DBE_kpp")},
        {"dbe_pol4",     "NAME_POL4",  30, A::TextLine, to("DBE_bik"),                 to("DBE_bik"),                 to("dbe_pol3"),   to("DBE_kpp")},
        {"DBE_bik",      "MFOBANKPOL", 9,  A::Digits,   to("DBE_naz1", W::BankLookup), to("DBE_naz1", W::BankLookup), to("dbe_pol1"),   to("dbe_pol1")},
        {"DBE_naz1",     "NAZNACH1",   50, A::TextLine, to("DBE_nds"),                 to("DBE_naz2"),                stay,             to("DBE_bik")},
        {"DBE_naz2",     "NAZNACH2",   50, A::TextLine, to("DBE_nds"),                 to("DBE_naz3"),                to("DBE_naz1"),   to("DBE_bik")},
        {"DBE_naz3",     "NAZNACH3",   50, A::TextLine, to("DBE_nds"),                 to("DBE_naz4"),                to("DBE_naz2"),   to("DBE_bik")},
        {"DBE_naz4",     "NAZNACH4",   40, A::TextLine, to("DBE_nds"),                 to("edit_vid"),                to("DBE_naz3"),   to("DBE_bik")},
        {"DBE_nds",      "NDS",        2,  A::Digits,   to("DBE_o_p"),                 to("DBE_o_p"),                 to("DBE_naz1"),   to("DBE_naz1")},
        {"DBE_o_p",      "OCHER_PL",   1,  A::Priority, to("DBE_vid_oper"),            to("DBE_vid_oper"),            to("DBE_nds"),    to("DBE_nds")},
        {"DBE_vid_oper", "VID_OP",     2,  A::None,     work(W::LeaveFinished),        stay,                          stay,             to("DBE_o_p")},
    };
}

bool isDigitKey(int key)
{
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}

} // namespace

const QList<FieldRow> &fieldOrder()
{
    static const QList<FieldRow> rows = buildOrder();
    return rows;
}

const FieldRow *fieldRow(const QString &control)
{
    for (const FieldRow &row : fieldOrder())
        if (control == QLatin1String(row.control))
            return &row;
    return nullptr;
}

const char *pickListOf(const QString &control)
{
    if (control == QLatin1String("edit_vid"))
        return "l1";
    if (control == QLatin1String("edit_nalog"))
        return "l2";
    return nullptr;
}

bool fieldKeyOf(int key, FieldKey *out)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        *out = FieldKey::Enter;
        return true;
    case Qt::Key_Down:
        *out = FieldKey::Down;
        return true;
    case Qt::Key_Up:
        *out = FieldKey::Up;
        return true;
    case Qt::Key_Escape:
        *out = FieldKey::Esc;
        return true;
    default:
        return false;
    }
}

FieldStep fieldStepFor(const QString &control, FieldKey key)
{
    const FieldRow *row = fieldRow(control);
    if (!row)
        return {};
    switch (key) {
    case FieldKey::Enter: return row->enter;
    case FieldKey::Down: return row->down;
    case FieldKey::Up: return row->up;
    case FieldKey::Esc: return row->esc;
    }
    return {};
}

bool autoAdvances(const FieldRow &row, int key, bool pressed, const QString &text)
{
    switch (row.advance) {
    case AutoAdvance::None:
        return false;
    case AutoAdvance::Digits:
        return !pressed && isDigitKey(key) && characterCount(text) == row.limit;
    case AutoAdvance::TextLine:
        return !pressed && (isDigitKey(key) || key == Qt::Key_Space) && characterCount(text) == row.limit;
    case AutoAdvance::Priority:
        return pressed && isDigitKey(key) && characterCount(text) >= row.limit;
    case AutoAdvance::Amount: {
        if (pressed || !isDigitKey(key))
            return false;
        for (const QChar separator : {QLatin1Char(','), QLatin1Char('.')}) {
            const qsizetype at = text.indexOf(separator);
            if (at >= 0 && text.size() - at - 1 == 2)
                return true;
        }
        return false;
    }
    }
    return false;
}
