#pragma once

#include <QString>

class Database;

// Why a password typed for a user on the accounts page cannot be taken, or an
// empty text when it can. stored is what the user's row holds now; a row may
// keep an empty password, which signs nobody in.
QString UserPasswordRefusal(Database &db, const QString &typed, const QString &stored);
