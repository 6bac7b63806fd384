#include "directories/DirectoryForm.h"

namespace {

std::array<DirectoryBox, 9> boxes(const char *const names[9])
{
    return {{
        {names[0], "INN", "инн:", 12},
        {names[1], "KPP", "кпп:", 9},
        {names[2], "SCHET", "сч  :", 20},
        {names[3], "BIK", "бик:", 9},
        {names[4], "NAME1", "Наименование:", 30},
        {names[5], "NAME2", "", 30},
        {names[6], "NAME3", "", 30},
        {names[7], "NAME4", "", 30},
        {names[8], "NAME", "Краткое:", 20},
    }};
}

const char *const payerBoxes[9] = {"DBEdit100", "DBEdit101", "DBEdit102", "DBEdit103", "DBEdit104",
                                   "DBEdit105", "DBEdit106", "DBEdit107", "DBEdit108"};
const char *const recipientBoxes[9] = {"DBEdit200", "DBEdit201", "DBEdit202", "DBEdit203", "DBEdit204",
                                       "DBEdit205", "DBEdit206", "DBEdit207", "DBEdit208"};

} // namespace

const DirectoryForm &payerForm()
{
    static const DirectoryForm form{
        "Panel_plat",
        "Справочник плательщиков",
        "S_PLAT",
        "q_plat",
        "grid_plat",
        {{"BIK", 77}, {"SCHET", 218}, {"INN", 125}, {"NAME", 181}, {"PRIOR", 26}},
        "Enter -изменение, ПРОБЕЛ - по умочанию, F8 - удаление, F7 -создать, Esc - ВЫХОД",
        "P_plat_edit",
        boxes(payerBoxes),
        "l_bik_plat",
        "l_not",
        "Удалить плательщика?",
    };
    return form;
}

const DirectoryForm &recipientForm()
{
    static const DirectoryForm form{
        "Panel_pol",
        "Справочник получателей",
        "S_POL",
        "q_pol",
        "Grid_pol",
        {{"BIK", 102}, {"SCHET", 233}, {"INN", 109}, {"NAME", 198}},
        "Enter -изменение,  F8 - удаление, F7 -создать, Esc - ВЫХОД",
        "p_pol_edit",
        boxes(recipientBoxes),
        "l_bik_pol",
        "l_not3",
        "Удалить получателя?",
    };
    return form;
}
