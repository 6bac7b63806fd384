#include "register/SendToBankCommand.h"

#include "bank/ClientBankExchange.h"
#include "document/DocumentColumns.h"
#include "register/ShownDocuments.h"
#include "session/Session.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/OutputPath.h"

#include <QDir>

namespace {

const QString Caption = QStringLiteral("Выгрузка в банк");
// More would not fit a box; the rest are counted.
constexpr int ShownProblems = 10;

std::optional<DocumentChoice> chooseDocuments(Session &session)
{
    DataSet &list = session.documents();
    switch (session.dialogs().askScope()) {
    case Dialogs::Scope::Current: {
        if (list.isEmpty())
            return ShownDocuments(session, DocumentChoice::Kind::Ids);
        // Judged from the list as last loaded, as F4 judges it.
        if (const auto refusal = CurrentDocumentRefusal(list.text(DocumentColumn::State))) {
            session.dialogs().message(*refusal);
            return std::nullopt;
        }
        DocumentChoice choice = ShownDocuments(session, DocumentChoice::Kind::Ids);
        choice.ids << list.text(DocumentColumn::Id);
        return choice;
    }
    case Dialogs::Scope::Marked:
        return ShownDocuments(session, DocumentChoice::Kind::Marked);
    case Dialogs::Scope::All:
        return ShownDocuments(session, DocumentChoice::Kind::All);
    case Dialogs::Scope::Cancel:
        break;
    }
    return std::nullopt;
}

// The first problems, one a line, and how many more there are.
QString problemLines(const QStringList &problems)
{
    QStringList lines = problems.mid(0, ShownProblems);
    if (problems.size() > ShownProblems)
        lines << QStringLiteral("… и ещё %1").arg(problems.size() - ShownProblems);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void SendToBankCommand(Session &session)
{
    Dialogs &dialogs = session.dialogs();
    const std::optional<DocumentChoice> choice = chooseDocuments(session);
    if (!choice)
        return;
    DataSet documents(session.db());
    documents.setSql(ExchangeDocumentsSql(*choice));
    documents.open();
    if (documents.isEmpty()) {
        dialogs.message(QStringLiteral("Нет выполненных документов для выгрузки"));
        return;
    }

    const ClientBankExport result = WriteClientBankExchange(documents);
    const QStringList problems = result.checkFailures + result.unwritable;
    if (result.written == 0) {
        dialogs.message(problemLines(problems) + QStringLiteral("\n\nНи один документ не записывается; файл не записан"));
        return;
    }
    if (!problems.isEmpty()
        && !dialogs.askYesNo(Caption, QStringLiteral("Ошибки в документах:\n%1\n\nВыгрузить всё равно?").arg(problemLines(problems))))
        return;

    const QString folder = session.db().workingDir();
    const std::optional<QString> answer =
        dialogs.askPlainText(Caption, QStringLiteral("Имя файла"), QDir(folder).filePath(QLatin1String(BankExchangeFileName)));
    if (!answer)
        return;
    const QString name = answer->trimmed();
    if (name.isEmpty())
        throw AppError(QStringLiteral("Не задано имя файла; файл не записан"));
    const QString target = CheckOutputPath(name, folder, session.db().link());
    SaveExchangeFile(target, name, result.bytes);
    QString done = QStringLiteral("Выгружено документов: %1 в %2").arg(result.written).arg(target);
    if (!result.unwritable.isEmpty())
        done += QStringLiteral("\nНе записано документов: %1").arg(result.unwritable.size());
    dialogs.message(done);
}
