#include "app/SignIn.h"
#include "admin/AdminPage.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "register/RegisterPage.h"
#include "store/AppError.h"
#include "store/Clock.h"
#include "store/Database.h"
#include "store/Installer.h"

#include <QDir>
#include <QGuiApplication>

QString SignIn::missingFileMessage(const QString &workingDir)
{
    return QStringLiteral("Отсутствует файл ") + workingDir + QStringLiteral("\\sql.udl или ") + workingDir
           + QStringLiteral("\\dbf.udl");
}

bool SignIn::run()
{
    Database &db = m_window.database();
    Dialogs &dialogs = m_window.dialogs();
    db.close();
    try {
        db.open(DataLink::readFile(QDir(m_workingDir).filePath(QStringLiteral("sql.udl"))), m_workingDir);

        DataSet &user = m_window.qPas();
        user.close();
        const QString password = dialogs.askText(QStringLiteral("Ввод пароля"), QStringLiteral("Введите пароль"), QString());
        user.setQuery({QStringLiteral("PARAM"), {{QStringLiteral("PAS"), password}}});
        user.open();
        // A user row left without a password signs nobody in.
        if (user.isEmpty() || password.trimmed().isEmpty()) {
            dialogs.message(QStringLiteral("Неверный пароль"));
            return false;
        }
        m_window.setWindowTitle(QStringLiteral("Добрый день, ") + user.text(QStringLiteral("LOGIN"))
                                + QStringLiteral("!"));
        user.edit();
        user.setValue(QStringLiteral("P2"), Clock::today().toString(QStringLiteral("dd.MM.yy")));
        user.post();
        Session &session = m_window.session();
        session.loadCodeNames();

        session.setArchive(false);
        if (!session.isAdministrator()) {
            m_window.showPage(QStringLiteral("all"));
            m_window.ReloadRegister();
            m_window.registerPage()->enter();
            // The register and the editor are worked from the keyboard alone.
            QGuiApplication::setOverrideCursor(Qt::BlankCursor);
        } else {
            m_window.adminPage()->open();
            m_window.showPage(QStringLiteral("admin"));
        }
        return true;
    } catch (const AppError &error) {
        // The message names the file whatever failed; the cause goes to the console.
        qWarning("%s", qPrintable(error.message()));
        dialogs.message(missingFileMessage(m_workingDir));
        return false;
    }
}
