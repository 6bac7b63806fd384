#pragma once

#include "support/RecordingPrintForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDatabase.h"

#include "app/MainWindow.h"

#include <functional>
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

    // The window on the running test's engine over the demo users and payer but no
    // demo documents, signed in with the password after prepare has run on the
    // database. Fails the calling test and gives nullptr when that cannot be done.
    static std::unique_ptr<WindowFixture> signedInOver(const QString &password,
                                                       const std::function<void(TempDatabase &)> &prepare);

    TempDatabase &data() { return m_data; }
    ScriptedDialogs &dialogs() { return m_dialogs; }
    RecordingPrintForm &printForm() { return m_printForm; }
    MainWindow &window() { return *m_window; }
    // A second connection to the same database, as another computer has.
    Database &otherComputer();

private:
    TempDatabase m_data;
    ScriptedDialogs m_dialogs;
    RecordingPrintForm m_printForm;
    Database m_appDb;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Database> m_other;
};

// The object name of the widget with the keyboard focus, "(nothing)" when none has it.
QString focusName();

// Declares var as the test's signed-in window, from the test file's own signedIn(...);
// the test ends where that fails, its failure already recorded.
#define SIGNED_IN(var, ...)           \
    auto var = signedIn(__VA_ARGS__); \
    if (!var)                         \
        return;
