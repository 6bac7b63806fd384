#include "directories/LoadBankDirectoryCommand.h"

#include "bank/BankDirectoryImport.h"
#include "bank/BankFileReader.h"
#include "session/Session.h"
#include "store/AppError.h"
#include "store/Database.h"

#include <QDir>

void LoadBankDirectoryCommand(Session &session)
{
    const QString caption = QStringLiteral("Справочник банков");
    Dialogs &dialogs = session.dialogs();
    const std::optional<QString> answer = dialogs.askPlainText(caption, QStringLiteral("Файл ED807 или BNKSEEK.DBF"), QString());
    if (!answer)
        return;
    if (answer->trimmed().isEmpty())
        throw AppError(QStringLiteral("Не задан файл справочника банков"));
    const QString path = QDir(session.db().workingDir()).absoluteFilePath(answer->trimmed());

    BankImportSummary summary;
    {
        const std::unique_ptr<Dialogs::Progress> progress = dialogs.progress(caption, QStringLiteral("Чтение файла %1").arg(path));
        // A cancel stops the reader or rolls the import back, as any refusal does.
        const BankProgress report = [&progress](qint64 done, qint64 total) {
            if (!progress->report(done, total))
                throw AppError(QStringLiteral("Загрузка отменена"));
        };
        const BankFile file = ReadBankFile(path, report);
        progress->setLabel(QStringLiteral("Запись банков в справочник"));
        summary = ImportBankDirectory(session.db(), file, report);
    }
    dialogs.message(QStringLiteral("Загружено банков: %1\n").arg(summary.banks) + BankImportReport(summary).join(QLatin1Char('\n')));
}
