#include "register/ShownDocuments.h"

#include "document/DocumentState.h"
#include "session/Session.h"

DocumentChoice ShownDocuments(Session &session, DocumentChoice::Kind kind)
{
    DocumentChoice choice;
    choice.kind = kind;
    choice.archive = session.isArchive();
    choice.owner = session.documentOwner();
    return choice;
}

std::optional<QString> CurrentDocumentRefusal(const QString &state)
{
    if (DocumentState::isLocked(state))
        return QStringLiteral("Документ блокирован с другого компьютера!");
    if (state == DocumentState::Saved)
        return QStringLiteral("Документ не готов к печати!");
    return std::nullopt;
}
