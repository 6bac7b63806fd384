#include "app/ExportBankCommand.h"

#include "bank/ClientBankExchange.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/DataSet.h"
#include "store/OutputPath.h"

#include <QDir>
#include <QTextStream>

int ExportBankCommand(const QStringList &args)
{
    QTextStream err(stderr);
    const QString folder = QDir::currentPath();
    try {
        QStringList rest;
        const DocumentChoice choice = DocumentChoice::fromArguments(args, &rest);
        bool utf8 = false;
        bool strict = false;
        QString out;
        for (const QString &arg : rest) {
            if (arg == QLatin1String("--utf8"))
                utf8 = true;
            else if (arg == QLatin1String("--strict"))
                strict = true;
            else if (!arg.startsWith(QLatin1String("--")) && out.isEmpty())
                out = arg;
            else
                throw AppError(QStringLiteral("Неизвестный параметр: %1").arg(arg));
        }
        if (out.isEmpty())
            throw AppError(QStringLiteral("Не задан файл выгрузки: payorders export-bank ФАЙЛ.txt [--utf8] [--strict] "
                                          "[--archive] [--marked | --all | --id ID ...]"));

        const DataLink link = DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl")));
        const QString target = CheckOutputPath(out, folder, link);
        Database db;
        db.open(link, folder);
        DataSet documents(db);
        documents.setSql(ExchangeDocumentsSql(choice));
        documents.open();
        if (documents.isEmpty())
            throw AppError(QStringLiteral("Нет выполненных документов для выгрузки; файл не записан"));

        const ClientBankExport result = WriteClientBankExchange(documents, utf8);
        for (const QString &failure : result.checkFailures)
            err << failure << "\n";
        for (const QString &failure : result.unwritable)
            err << failure << "\n";
        if (strict && (!result.checkFailures.isEmpty() || !result.unwritable.isEmpty()))
            throw AppError(QStringLiteral("С --strict файл не записан: документы с ошибками выше"));
        if (result.written == 0)
            throw AppError(QStringLiteral("Ни один документ не записывается; файл не записан"));

        SaveExchangeFile(target, out, result.bytes);
        QTextStream(stdout) << "Выгружено документов: " << result.written << " из " << documents.recordCount() << " в " << out << "\n";
        // Documents left out make the run a failure, though the others are written.
        return result.unwritable.isEmpty() ? 0 : 1;
    } catch (const AppError &error) {
        err << error.message() << "\n";
        return 1;
    }
}
