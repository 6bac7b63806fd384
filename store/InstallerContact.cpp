#include "store/Installer.h"

// Given by the build: cmake -DPAYORDERS_CONTACT=...
QString Installer::contactAddress()
{
    return QStringLiteral(PAYORDERS_CONTACT);
}
