#pragma once

#include "session/Session.h"

#include <QMainWindow>

#include <functional>

class AdminPage;
class Database;
class Dialogs;
class DirectoryPanel;
class EditorPage;
class MenuPanel;
class QStackedWidget;
class RegisterPage;
class SettingsPanel;
class TaxPanel;

// Form1: the one window. Its pages `all`, `new` and `admin` sit in a stack
// without tabs; it creates them and switches between them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    Session &session() { return m_session; }
    Database &database() { return m_session.db(); }
    Dialogs &dialogs() { return m_session.dialogs(); }
    DataSet &q1() { return m_session.documents(); }
    DataSet &qPas() { return m_session.user(); }

    // Connects through sql.udl in workingDir and signs the user in; false ends the program.
    bool ConnectAndSignIn(const QString &workingDir);
    void ReloadRegister() { m_session.ReloadRegister(); }

    RegisterPage *registerPage() const { return m_registerPage; }
    EditorPage *editorPage() const { return m_editorPage; }
    MenuPanel *menuPanel() const { return m_menu; }
    SettingsPanel *settingsPanel() const { return m_settings; }
    AdminPage *adminPage() const { return m_adminPage; }
    DirectoryPanel *payerDirectory() const { return m_payers; }
    DirectoryPanel *recipientDirectory() const { return m_recipients; }
    QStackedWidget *pages() const { return m_pages; }
    void showPage(const QString &name);

protected:
    // Tab moves nothing anywhere in the window.
    bool focusNextPrevChild(bool next) override;

private:
    void showEditor();
    void showRegister();
    void openMenuEntry(int entry);
    // A menu command that works over the register: the focus is in the grid before and after it.
    void runOverRegister(const std::function<void()> &command);
    void leaveRecipientDirectory();

    Session m_session;
    QStackedWidget *m_pages = nullptr;
    RegisterPage *m_registerPage = nullptr;
    EditorPage *m_editorPage = nullptr;
    TaxPanel *m_taxPanel = nullptr;
    MenuPanel *m_menu = nullptr;
    SettingsPanel *m_settings = nullptr;
    AdminPage *m_adminPage = nullptr;
    DirectoryPanel *m_payers = nullptr;
    DirectoryPanel *m_recipients = nullptr;
};
