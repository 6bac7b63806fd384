#include "app/MainWindow.h"
#include "admin/AdminPage.h"
#include "app/SignIn.h"
#include "directories/DirectoryPanel.h"
#include "directories/LoadBankDirectoryCommand.h"
#include "directories/MenuPanel.h"
#include "directories/SettingsPanel.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"
#include "register/SendToBankCommand.h"
#include "tax/TaxPanel.h"

#include <QStackedWidget>

MainWindow::MainWindow(Database &db, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_session(db, dialogs)
{
    setObjectName(QStringLiteral("Form1"));

    m_pages = new QStackedWidget(this);
    m_registerPage = new RegisterPage(m_session, m_pages);
    m_registerPage->setObjectName(QStringLiteral("all"));
    m_editorPage = new EditorPage(m_session, m_pages);
    m_editorPage->setObjectName(QStringLiteral("new"));
    m_adminPage = new AdminPage(m_session, m_pages);
    m_adminPage->setObjectName(QStringLiteral("admin"));
    m_pages->addWidget(m_registerPage);
    m_pages->addWidget(m_editorPage);
    m_pages->addWidget(m_adminPage);
    setCentralWidget(m_pages);

    m_menu = new MenuPanel(m_registerPage);
    connect(m_registerPage, &RegisterPage::menuRequested, m_menu, &MenuPanel::open);
    connect(m_menu, &MenuPanel::closeRequested, m_registerPage, &RegisterPage::enter);
    m_settings = new SettingsPanel(m_session, m_registerPage);
    connect(m_settings, &SettingsPanel::closeRequested, m_registerPage, &RegisterPage::enter);
    connect(m_registerPage, &RegisterPage::editorRequested, this, &MainWindow::showEditor);
    connect(m_editorPage, &EditorPage::closed, this, &MainWindow::showRegister);

    // The payers lie over the register; the recipients over either page, so over the pages' stack.
    m_payers = new DirectoryPanel(DirectoryPanel::Kind::Payers, m_session, m_registerPage);
    m_recipients = new DirectoryPanel(DirectoryPanel::Kind::Recipients, m_session, m_pages);
    m_recipients->setEditorShowing([this] { return m_pages->currentWidget() == m_editorPage; });
    connect(m_menu, &MenuPanel::chosen, this, [this](MenuPanel::Entry entry) { openMenuEntry(entry); });
    connect(m_payers, &DirectoryPanel::closeRequested, m_registerPage, &RegisterPage::enter);
    connect(m_recipients, &DirectoryPanel::closeRequested, this, &MainWindow::leaveRecipientDirectory);
    connect(m_editorPage, &EditorPage::recipientDirectoryRequested, m_recipients, &DirectoryPanel::open);
    // The tax details' panel lies over the editor; the two are joined here.
    m_taxPanel = new TaxPanel(m_session, m_editorPage);
    m_editorPage->placeTaxPanel(m_taxPanel);
    connect(m_editorPage, &EditorPage::taxPanelRequested, m_taxPanel, &TaxPanel::open);
    connect(m_taxPanel, &TaxPanel::amountRequested, m_editorPage, &EditorPage::leaveTaxPanelForAmount);
    connect(m_taxPanel, &TaxPanel::taxTypeRequested, m_editorPage, &EditorPage::leaveTaxPanelForType);
    connect(m_taxPanel, &TaxPanel::fieldsChanged, m_editorPage, &EditorPage::loadFields);
    connect(m_recipients, &DirectoryPanel::picked, m_editorPage, &EditorPage::pickRecipient);
}

MainWindow::~MainWindow()
{
    // The pages go first: their handlers use the session, a member that dies before the base widget.
    delete m_pages;
}

bool MainWindow::ConnectAndSignIn(const QString &workingDir)
{
    return SignIn(*this, workingDir).run();
}

void MainWindow::showPage(const QString &name)
{
    if (QWidget *page = m_pages->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly))
        m_pages->setCurrentWidget(page);
}

bool MainWindow::focusNextPrevChild(bool)
{
    return false;
}

void MainWindow::showEditor()
{
    m_pages->setCurrentWidget(m_editorPage);
    m_editorPage->open();
}

void MainWindow::openMenuEntry(int entry)
{
    switch (entry) {
    case MenuPanel::Payers:
        m_payers->open();
        break;
    case MenuPanel::Recipients:
        m_recipients->open();
        break;
    case MenuPanel::SendToBank:
        runOverRegister([this] { SendToBankCommand(m_session); });
        break;
    case MenuPanel::LoadBanks:
        runOverRegister([this] { LoadBankDirectoryCommand(m_session); });
        break;
    default:
        m_settings->open();
        break;
    }
}

void MainWindow::runOverRegister(const std::function<void()> &command)
{
    m_registerPage->enter();
    m_session.run(command);
    m_registerPage->enter();
}

void MainWindow::leaveRecipientDirectory()
{
    if (m_pages->currentWidget() == m_editorPage) {
        if (QWidget *account = m_editorPage->control(QStringLiteral("DBE_SCH_KT")))
            account->setFocus();
    } else {
        m_registerPage->enter();
    }
}

void MainWindow::showRegister()
{
    m_pages->setCurrentWidget(m_registerPage);
    m_registerPage->enter();
}
