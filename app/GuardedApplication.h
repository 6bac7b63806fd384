#pragma once

#include <QApplication>

class Dialogs;

// The program's application object: a failure that escapes an event handler, where no
// command caught it, is shown with the general error message and the program goes on;
// nothing is thrown through Qt's event loop.
class GuardedApplication : public QApplication
{
public:
    GuardedApplication(int &argc, char **argv);

    // Where failures are shown; until it is set they go to the log alone.
    void setDialogs(Dialogs *dialogs);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void report(const QString &text);

    Dialogs *m_dialogs = nullptr;
};
