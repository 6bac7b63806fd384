#include "register/PrintCommand.h"

#include "document/DocumentColumns.h"
#include "print/PrintForm.h"
#include "register/OpenDocumentCommand.h"
#include "register/ShownDocuments.h"
#include "session/Session.h"
#include "store/AppError.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

PrintForm &formOf(Session &session)
{
    if (!session.printForm())
        throw AppError(QStringLiteral("Форма печати не создана"));
    return *session.printForm();
}

// Asks for the copies and sets them on the form; false leaves the count and the source as they were.
bool askCopies(Session &session)
{
    const std::optional<QString> answer = session.dialogs().askPlainText(
        QStringLiteral("Печать"), QStringLiteral("Количество экземпляров"), session.setting(QStringLiteral("P4")));
    if (!answer)
        return false;
    const std::optional<int> copies = ReadCopies(*answer);
    if (!copies) {
        session.dialogs().error(WrongCopiesMessage(*answer));
        return false;
    }
    formOf(session).setCopies(*copies);
    return true;
}

void openOne(Session &session, DataSet &source, const QString &id)
{
    source.close();
    source.setQuery({session.documentTable(), {{DocumentColumn::Id, id}}});
    source.open();
}

void openCompleted(Session &session, DataSet &source, DocumentChoice::Kind kind)
{
    source.close();
    source.setSql(CompletedDocumentsSql(ShownDocuments(session, kind)));
    source.open();
}

// The pointer is hidden in the register; the view shows it while its preview is open.
class PointerShown
{
public:
    PointerShown() { QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~PointerShown() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

std::optional<int> ReadCopies(const QString &answer)
{
    bool ok = false;
    const int copies = answer.trimmed().toInt(&ok);
    if (!ok || copies < 1 || copies > MaxCopies)
        return std::nullopt;
    return copies;
}

QString WrongCopiesMessage(const QString &answer)
{
    return QStringLiteral("Количество экземпляров должно быть целым числом от 1 до %1, а не «%2»")
        .arg(MaxCopies)
        .arg(answer);
}

void PrintCommand(Session &session, DataSet &source)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    PrintForm &form = formOf(session);
    switch (session.dialogs().askScope()) {
    case Dialogs::Scope::Current: {
        // Judged from the list as last loaded: F4 does not reload.
        if (const auto refusal = CurrentDocumentRefusal(documents.text(DocumentColumn::State))) {
            session.dialogs().message(*refusal);
            return;
        }
        const QString id = documents.text(DocumentColumn::Id);
        if (!askCopies(session))
            return;
        openOne(session, source, id);
        if (source.isEmpty()) {
            session.dialogs().message(DocumentGoneMessage());
            return;
        }
        form.preview(PaymentOrder::allRows(source));
        return;
    }
    case Dialogs::Scope::Marked:
        if (!askCopies(session))
            return;
        openCompleted(session, source, DocumentChoice::Kind::Marked);
        if (!source.isEmpty())
            form.preview(PaymentOrder::allRows(source));
        return;
    case Dialogs::Scope::All:
        if (!askCopies(session))
            return;
        openCompleted(session, source, DocumentChoice::Kind::All);
        if (!source.isEmpty())
            form.print(PaymentOrder::allRows(source));
        return;
    case Dialogs::Scope::Cancel:
        return;
    }
}

void ViewCommand(Session &session, DataSet &source)
{
    DataSet &documents = session.documents();
    if (documents.isEmpty())
        return;
    PrintForm &form = formOf(session);
    const QString id = documents.text(DocumentColumn::Id);
    // The list is a snapshot: the state is judged as stored now.
    if (!ReloadKeeping(session, id)) {
        session.dialogs().message(DocumentGoneMessage());
        return;
    }
    if (const auto refusal = CurrentDocumentRefusal(documents.text(DocumentColumn::State))) {
        session.dialogs().message(*refusal);
        return;
    }
    openOne(session, source, id);
    if (source.isEmpty()) {
        session.dialogs().message(DocumentGoneMessage());
        return;
    }
    const QVector<PaymentOrder> pages = PaymentOrder::allRows(source);
    PointerShown pointer;
    form.preview(pages);
}
