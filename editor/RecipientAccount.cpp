#include "editor/RecipientAccount.h"

bool RecipientAccountPasses(const QString &account)
{
    for (int group = 0; group < 4; ++group) {
        const QString part = account.mid(group * 5, 5);
        if (part.isEmpty())
            return false;
        for (const QChar c : part)
            if (c < u'0' || c > u'9')
                return false;
    }
    return true;
}
