#include "editor/RecipientAccount.h"

#include "store/AsciiDigits.h"

bool RecipientAccountPasses(const QString &account)
{
    for (int group = 0; group < 4; ++group) {
        if (!isAsciiDigits(QStringView(account).mid(group * 5, 5)))
            return false;
    }
    return true;
}
