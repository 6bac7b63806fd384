#pragma once

#include <QStringList>

// `payorders import-banks FILE`: the working folder's bank directory replaced by an
// ED807 or BNKSEEK.DBF file; the exit status of the program.
int ImportBanksCommand(const QStringList &args);
