#include "app/MainWindow.h"
#include "app/SignIn.h"
#include "register/RegisterPage.h"
#include "store/Database.h"
#include "store/Installer.h"
#include "store/RegisterQuery.h"

#include <QStackedWidget>

MainWindow::MainWindow(Database &db, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_db(db), m_dialogs(dialogs), m_q1(db, this), m_q(db, this), m_qPas(db, this),
      m_qDbf(db, this)
{
    setObjectName(QStringLiteral("Form1"));
    m_q1.setObjectName(QStringLiteral("q1"));
    m_q.setObjectName(QStringLiteral("q"));
    m_qPas.setObjectName(QStringLiteral("q_pas"));
    m_qDbf.setObjectName(QStringLiteral("q_dbf"));

    m_pages = new QStackedWidget(this);
    m_registerPage = new RegisterPage(*this, m_pages);
    m_registerPage->setObjectName(QStringLiteral("all"));
    auto *editorPage = new QWidget(m_pages);
    editorPage->setObjectName(QStringLiteral("new"));
    auto *adminPage = new QWidget(m_pages);
    adminPage->setObjectName(QStringLiteral("admin"));
    m_pages->addWidget(m_registerPage);
    m_pages->addWidget(editorPage);
    m_pages->addWidget(adminPage);
    setCentralWidget(m_pages);
}

MainWindow::~MainWindow() = default;

bool MainWindow::ConnectAndSignIn(const QString &workingDir)
{
    return SignIn(*this, workingDir).run();
}

void MainWindow::ReloadRegister()
{
    m_q1.close();
    m_q1.setSql(RegisterSql(m_archive, m_qPas.text(QStringLiteral("P6")), userPas()));
    m_q1.open();
}

QString MainWindow::userPas() const
{
    return m_qPas.isOpen() && !m_qPas.isEmpty() ? m_qPas.text(QStringLiteral("PAS")) : QString();
}

bool MainWindow::isAdministrator() const
{
    return userPas() == AdministratorCode;
}

void MainWindow::loadCodeNames()
{
    m_taxNames.clear();
    m_kindNames.clear();
    DataSet names(m_db);
    names.setSql(QStringLiteral("select * from NALOG"));
    names.open();
    for (names.first(); !names.eof(); names.next())
        if (!names.value(QStringLiteral("KOD")).isNull())
            m_taxNames.insert(names.logical(QStringLiteral("KOD")), names.text(QStringLiteral("NAME")));
    names.close();
    names.setSql(QStringLiteral("select * from VID_PL"));
    names.open();
    for (names.first(); !names.eof(); names.next())
        m_kindNames.insert(names.text(QStringLiteral("KOD")), names.text(QStringLiteral("NAME")));
}

QString MainWindow::taxName(const QVariant &nalog) const
{
    if (nalog.isNull())
        return {};
    return m_taxNames.value(nalog.toBool());
}

QString MainWindow::paymentKindName(const QString &vidPlat) const
{
    return m_kindNames.value(vidPlat);
}

void MainWindow::showPage(const QString &name)
{
    if (QWidget *page = m_pages->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly))
        m_pages->setCurrentWidget(page);
}
