#include "document/UserSettings.h"
#include "store/DataSet.h"

const QList<UserSetting> &UserSettings()
{
    static const QList<UserSetting> settings = {
        {"P0", "автонумерация", true, "True"},
        {"P1", "следующий номер", false, "1"},
        {"P2", "следующая дата", false, "01.01.01"},
        {"P3", "контроль налог.парам.", true, "True"},
        {"P4", "кол. экземпляров при печати", false, "1"},
        {"P5", "Текст,если нет НДС", false, "без НДС."},
        {"P6", "Права доступа", false, "1"},
    };
    return settings;
}

void FillNewUserDefaults(DataSet &row)
{
    for (const UserSetting &s : UserSettings())
        if (row.isNull(QLatin1String(s.column)))
            row.setText(QLatin1String(s.column), QString::fromUtf8(s.defaultText));
}
