#pragma once

#include "store/DataSet.h"

#include <QHash>
#include <QMainWindow>

class Database;
class Dialogs;
class QStackedWidget;
class RegisterPage;

// Form1: the one window. Its pages `all`, `new` and `admin` sit in a stack
// without tabs; the shared queries q1, q, q_pas and q_dbf live here.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    Database &database() { return m_db; }
    Dialogs &dialogs() { return m_dialogs; }
    DataSet &q1() { return m_q1; }
    DataSet &q() { return m_q; }
    DataSet &qPas() { return m_qPas; }
    DataSet &qDbf() { return m_qDbf; }

    // Connects through sql.udl in workingDir and signs the user in; false ends the program.
    bool ConnectAndSignIn(const QString &workingDir);
    // Rebuilds q1 from the archive flag and the user's P6 and PAS; the cursor ends on the first row.
    void ReloadRegister();

    bool isArchive() const { return m_archive; }
    void setArchive(bool archive) { m_archive = archive; }
    QString userPas() const;
    bool isAdministrator() const;

    // Names of the code tables NALOG and VID_PL, read once per run.
    QString taxName(const QVariant &nalog) const;
    QString paymentKindName(const QString &vidPlat) const;

    RegisterPage *registerPage() const { return m_registerPage; }
    QStackedWidget *pages() const { return m_pages; }
    void showPage(const QString &name);

    // Runs one command; a failure is shown with its own text and the program goes on.
    template <typename F> void runCommand(F &&command);

    // Reads NALOG and VID_PL whole; done once after connecting.
    void loadCodeNames();

private:

    Database &m_db;
    Dialogs &m_dialogs;
    DataSet m_q1;
    DataSet m_q;
    DataSet m_qPas;
    DataSet m_qDbf;
    bool m_archive = false;
    QHash<bool, QString> m_taxNames;
    QHash<QString, QString> m_kindNames;
    QStackedWidget *m_pages = nullptr;
    RegisterPage *m_registerPage = nullptr;
};

#include "app/Dialogs.h"
#include "store/AppError.h"

template <typename F> void MainWindow::runCommand(F &&command)
{
    try {
        command();
    } catch (const AppError &error) {
        m_dialogs.error(error.message());
    }
}
