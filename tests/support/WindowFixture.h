#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TempDatabase.h"

#include "app/MainWindow.h"

#include <memory>

// The real main window over a temporary database, signed in with a scripted
// password, shown offscreen.
class WindowFixture
{
public:
    explicit WindowFixture(const TempDatabase::Options &options = {});
    ~WindowFixture();

    // Signs in with the password; true when the window loop would run.
    bool signIn(const QString &password);

    TempDatabase &data() { return m_data; }
    ScriptedDialogs &dialogs() { return m_dialogs; }
    MainWindow &window() { return *m_window; }
    // A second connection to the same database, as another computer has.
    Database &otherComputer();

private:
    TempDatabase m_data;
    ScriptedDialogs m_dialogs;
    Database m_appDb;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Database> m_other;
};
