#include "admin/UserPassword.h"
#include "store/Database.h"
#include "store/Installer.h"

#include <QSqlQuery>

QString UserPasswordRefusal(Database &db, const QString &typed, const QString &stored)
{
    if (typed.isEmpty() || typed == stored)
        return {};
    if (typed.size() > 1)
        return QStringLiteral("Пароль - один символ, а введено %1: «%2». Пароль не изменён.")
            .arg(typed.size())
            .arg(typed);
    if (typed.trimmed().isEmpty())
        return QStringLiteral("Пароль не может быть пробелом. Пароль не изменён.");
    if (typed == AdministratorCode)
        return QStringLiteral("«%1» - пароль администратора, пользователю он не подходит. Пароль не изменён.")
            .arg(AdministratorCode);
    // The password is the user's identity in his documents: two users never share one.
    QSqlQuery q = db.run(QStringLiteral("select count(*) from PARAM where PAS=?"), {typed});
    if (q.next() && q.value(0).toInt() > 0)
        return QStringLiteral("Пароль «%1» уже есть у другого пользователя: у разных пользователей разные пароли. "
                              "Пароль не изменён.")
            .arg(typed);
    return {};
}
