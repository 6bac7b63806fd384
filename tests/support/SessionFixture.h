#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TempDatabase.h"

#include "session/Session.h"
#include "store/DataSet.h"

#include <functional>

// A signed-in session without a window, for the rules the pages call: the running test's
// engine with the demo's users and payer and no documents, prepare run on it, user 1's row
// open and the register loaded.
class SessionFixture
{
public:
    explicit SessionFixture(const std::function<void(TempDatabase &)> &prepare = {});

    // False, with the test failed, when the database or the sign-in could not be made.
    bool isValid() const { return m_valid; }

    TempDatabase &data() { return m_data; }
    ScriptedDialogs &dialogs() { return m_dialogs; }
    Session &session() { return m_session; }
    // The page's own queries, for the rules that look things up.
    DataSet &general() { return m_general; }
    DataSet &bank() { return m_bank; }
    DataSet &recipients() { return m_recipients; }

    // A new document pending in q1, as Insert starts it; false when it could not be started.
    bool startNew();

private:
    TempDatabase m_data;
    ScriptedDialogs m_dialogs;
    Session m_session;
    DataSet m_general;
    DataSet m_bank;
    DataSet m_recipients;
    bool m_valid = false;
};
