#pragma once

#include <QStringList>

// `payorders export-bank OUT.txt [--utf8] [--strict] [--archive] [--marked | --all | --id ID ...]`:
// the chosen completed orders as a client-bank exchange file; the exit status of the program.
int ExportBankCommand(const QStringList &args);
