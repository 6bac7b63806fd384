#include "session/Session.h"
#include "document/DocumentColumns.h"
#include "document/RegisterQuery.h"
#include "store/Installer.h"

Session::Session(Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs), m_documents(db), m_user(db)
{
    m_documents.setObjectName(QStringLiteral("q1"));
    // The editor's record rides on the register's cursor: a move writes it first.
    m_documents.setPostsOnMove(true);
    m_user.setObjectName(QStringLiteral("q_pas"));
}

QString Session::userPas() const
{
    return setting(QStringLiteral("PAS"));
}

QString Session::setting(const QString &name) const
{
    return m_user.isOpen() && !m_user.isEmpty() ? m_user.text(name) : QString();
}

QString Session::documentTable() const
{
    return m_archive ? DocumentTable::Archive : DocumentTable::Current;
}

bool Session::isAdministrator() const
{
    return userPas() == AdministratorCode;
}

std::optional<QString> Session::documentOwner() const
{
    // P6 "0" lets the user see every user's documents.
    if (setting(QStringLiteral("P6")) == QLatin1String("0"))
        return std::nullopt;
    return userPas();
}

void Session::ReloadRegister()
{
    m_documents.close();
    m_documents.setQuery(RegisterQuery(m_archive, documentOwner()));
    m_documents.open();
}

void Session::loadCodeNames()
{
    m_taxNames.clear();
    m_kindNames.clear();
    DataSet names(m_db);
    names.setQuery({QStringLiteral("NALOG")});
    names.open();
    for (names.first(); !names.eof(); names.next())
        if (!names.value(QStringLiteral("KOD")).isNull())
            m_taxNames.insert(names.logical(QStringLiteral("KOD")), names.text(QStringLiteral("NAME")));
    names.close();
    names.setQuery({QStringLiteral("VID_PL")});
    names.open();
    for (names.first(); !names.eof(); names.next())
        m_kindNames.insert(names.text(QStringLiteral("KOD")), names.text(QStringLiteral("NAME")));
}

QString Session::taxName(const QVariant &nalog) const
{
    if (nalog.isNull())
        return {};
    return m_taxNames.value(nalog.toBool());
}

QString Session::paymentKindName(const QString &vidPlat) const
{
    return m_kindNames.value(vidPlat);
}
