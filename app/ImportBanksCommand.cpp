#include "app/ImportBanksCommand.h"

#include "app/TerminalProgress.h"
#include "bank/BankDirectoryImport.h"
#include "bank/BankFileReader.h"
#include "store/AppError.h"
#include "store/DataLink.h"
#include "store/Database.h"
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
        const BankImportSummary summary = ReplaceBankDirectory(db, file, TerminalProgress(QStringLiteral("Запись")));
        EndTerminalProgress();
        QTextStream out(stdout);
        out << "Справочник " << file.format << " загружен в BANK: банков " << summary.banks << ", из них с отозванной лицензией "
            << summary.revoked << ", пропущено записей " << summary.skipped.size() << "\n";
        for (const QString &reason : summary.skipped)
            out << "  пропущено: " << reason << "\n";
        if (!summary.unknownTypes.isEmpty())
            out << "  типы пунктов, которых нет в TNP (записаны пустыми): " << summary.unknownTypes.join(QStringLiteral(", ")) << "\n";
        return 0;
    } catch (const AppError &error) {
        EndTerminalProgress();
        err << error.message() << "\n" << "Справочник банков не изменён\n";
        return 1;
    }
}
