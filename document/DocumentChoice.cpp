#include "document/DocumentChoice.h"

#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "store/AppError.h"
#include "store/SqlText.h"

DocumentChoice DocumentChoice::fromArguments(const QStringList &args, QStringList *rest)
{
    DocumentChoice choice;
    bool chosen = false;
    const auto choose = [&](Kind kind, const QString &option) {
        if (chosen && choice.kind != kind)
            throw AppError(QStringLiteral("Параметр %1 нельзя задать вместе с другим выбором документов").arg(option));
        chosen = true;
        choice.kind = kind;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--archive")) {
            choice.archive = true;
        } else if (arg == QLatin1String("--marked")) {
            choose(Kind::Marked, arg);
        } else if (arg == QLatin1String("--all")) {
            choose(Kind::All, arg);
        } else if (arg == QLatin1String("--id")) {
            choose(Kind::Ids, arg);
            if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--")))
                throw AppError(QStringLiteral("После --id нужен идентификатор документа"));
            // One --id may be followed by several identifiers.
            while (i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--")))
                choice.ids << args.at(++i);
        } else if (rest) {
            rest->append(arg);
        } else {
            throw AppError(QStringLiteral("Неизвестный параметр: %1").arg(arg));
        }
    }
    return choice;
}

SqlStatement CompletedDocumentsSql(const DocumentChoice &choice)
{
    SqlStatement statement;
    statement.sql = QStringLiteral("select * from %1 where ").arg(choice.archive ? DocumentTable::Archive : DocumentTable::Current);
    if (choice.owner) {
        statement.sql += QStringLiteral("LOGIN=? and ");
        statement.values << *choice.owner;
    }
    switch (choice.kind) {
    case DocumentChoice::Kind::Marked:
        statement.sql += Mark::Column + QLatin1Char('=') + sqlQuote(Mark::Set) + QStringLiteral(" and ");
        break;
    case DocumentChoice::Kind::Ids: {
        QStringList marks;
        for (const QString &id : choice.ids) {
            marks << QStringLiteral("?");
            statement.values << id;
        }
        // No identifier chooses nothing, not everything.
        statement.sql += marks.isEmpty() ? QStringLiteral("1=0 and ")
                                         : QStringLiteral("ID in (%1) and ").arg(marks.join(QLatin1Char(',')));
        break;
    }
    case DocumentChoice::Kind::All:
        break;
    }
    statement.sql += DocumentColumn::State + QLatin1Char('=') + sqlQuote(DocumentState::Completed);
    return statement;
}
