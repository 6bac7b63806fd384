#pragma once

#include <QString>

// The recipient's account as the editor checks it: cut into four groups of five
// characters (1-5, 6-10, 11-15, 16-20), each one present and all digits. So 16 to
// 20 digits pass; a blank or a letter among them does not.
bool RecipientAccountPasses(const QString &account);
