#include "app/ImportBanksCommand.h"

#include "app/TerminalProgress.h"
#include "bank/BankDirectoryImport.h"
#include "bank/BankFileReader.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/Installer.h"

#include <QDir>
#include <QTextStream>

int ImportBanksCommand(const QStringList &args)
{
    QTextStream err(stderr);
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        err << "Использование: payorders import-banks ФАЙЛ (ED807 в XML или BNKSEEK.DBF)\n";
        return 2;
    }
    const QString folder = QDir::currentPath();
    try {
        Database db;
        db.open(DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl"))), folder);
        // A database made before the revoked mark existed gets its column here.
        Installer::createSchema(db);
        const BankFile file = ReadBankFile(args.first(), TerminalProgress(QStringLiteral("Чтение")));
        EndTerminalProgress();
        const BankImportSummary summary = ImportBankDirectory(db, file, TerminalProgress(QStringLiteral("Запись")));
        EndTerminalProgress();
        QTextStream(stdout) << BankImportReport(summary).join(QLatin1Char('\n')) << "\n";
        return 0;
    } catch (const AppError &error) {
        EndTerminalProgress();
        err << error.message() << "\n" << "Справочник банков не изменён\n";
        return 1;
    }
}
