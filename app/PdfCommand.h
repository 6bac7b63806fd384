#pragma once

#include <QStringList>

// `payorders pdf OUT.pdf [--archive] [--marked | --all | --id ID ...] [--copies N]`:
// the chosen completed documents of the working folder's database written to a
// PDF file, one page per document and copy, without a display.
int runPdfCommand(int argc, char **argv);

// The same, after the application exists; args follow the word "pdf".
int writePdf(const QStringList &args, const QString &workingDir);
