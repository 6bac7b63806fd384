#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

// The program's entry: `payorders` starts the window; `payorders init [--demo]`
// prepares the working folder and its database without one.
int runProgram(int argc, char **argv);
// The Russian locale and Qt's own texts (the buttons of message boxes) in
// Russian; false when Qt's translation is missing, and the program goes on in English.
bool setUpApplication(QCoreApplication &app,
                      const QString &translationsDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
