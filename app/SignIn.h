#pragma once

#include <QString>

class MainWindow;

// Connecting through sql.udl and signing the user in.
class SignIn
{
public:
    SignIn(MainWindow &window, const QString &workingDir) : m_window(window), m_workingDir(workingDir) {}
    // True when the user may work; false when the program is to end.
    bool run();

    static QString missingFileMessage(const QString &workingDir);

private:
    MainWindow &m_window;
    QString m_workingDir;
};
