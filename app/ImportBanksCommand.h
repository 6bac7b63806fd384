#pragma once

#include <QStringList>

// `payorders import-banks FILE`: the working folder's bank directory replaced by a full
// ED807 or BNKSEEK.DBF file, or changed by an ED807 change list; the exit status of the program.
int ImportBanksCommand(const QStringList &args);
