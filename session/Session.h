#pragma once

#include "session/Dialogs.h"
#include "store/AppError.h"
#include "store/DataSet.h"

#include <QHash>

#include <optional>

class Database;
class PrintForm;

// What every page and panel works with after sign-in: the connection, the
// dialogs, the signed-in user's row, the register's list with the document the
// editor edits, the archive flag and the names of the two code tables.
class Session
{
public:
    Session(Database &db, Dialogs &dialogs);

    Database &db() { return m_db; }
    Dialogs &dialogs() { return m_dialogs; }
    // q1: the register's rows; its current row is the document being edited.
    DataSet &documents() { return m_documents; }
    // q_pas: the signed-in user's PARAM row, open for the whole run.
    DataSet &user() { return m_user; }

    // QR_blank: the print form the print run fills; made once at start.
    PrintForm *printForm() const { return m_printForm; }
    void setPrintForm(PrintForm *form) { m_printForm = form; }

    bool isArchive() const { return m_archive; }
    // The table of the documents shown: the archive's or the current ones'.
    QString documentTable() const;
    void setArchive(bool archive) { m_archive = archive; }
    QString userPas() const;
    // A setting of the user's row as text; empty when nobody is signed in.
    QString setting(const QString &name) const;
    bool isAdministrator() const;

    // Whose documents the user sees: his own PAS where his P6 limits him to them, none for all.
    std::optional<QString> documentOwner() const;
    // Rebuilds q1 from the archive flag and the user's P6 and PAS; the cursor ends on the first row.
    void ReloadRegister();

    // Reads NALOG and VID_PL whole; done once after connecting.
    void loadCodeNames();
    QString taxName(const QVariant &nalog) const;
    QString paymentKindName(const QString &vidPlat) const;

    // Runs one command; a failure is shown with its own text and the program goes on.
    template <typename F> void run(F &&command);

private:
    Database &m_db;
    Dialogs &m_dialogs;
    DataSet m_documents;
    DataSet m_user;
    bool m_archive = false;
    PrintForm *m_printForm = nullptr;
    QHash<bool, QString> m_taxNames;
    QHash<QString, QString> m_kindNames;
};

template <typename F> void Session::run(F &&command)
{
    try {
        command();
    } catch (const AppError &error) {
        m_dialogs.error(error.message());
    }
}
