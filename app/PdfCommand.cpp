#include "app/PdfCommand.h"

#include "document/DocumentChoice.h"
#include "print/FormRenderer.h"
#include "register/PrintCommand.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/DataSet.h"
#include "store/OutputPath.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

namespace {

// Fine enough for the 3-dot pens and small type; a thousand pages stay small.
constexpr int PdfResolution = 600;

int pdfUsage()
{
    QTextStream(stderr) << "Использование: payorders pdf OUT.pdf [--archive] [--marked | --all | --id ID ...] "
                           "[--copies N]\n";
    return 2;
}

} // namespace

int writePdf(const QStringList &args, const QString &workingDir)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        return pdfUsage();
    const QString out = args.first();
    try {
        QStringList rest;
        const DocumentChoice choice = DocumentChoice::fromArguments(args.mid(1), &rest);
        int copies = 1;
        for (int i = 0; i < rest.size(); ++i) {
            if (rest.at(i) != QLatin1String("--copies") || i + 1 >= rest.size())
                throw AppError(QStringLiteral("Неизвестный параметр: %1").arg(rest.at(i)));
            const std::optional<int> count = ReadCopies(rest.at(++i));
            if (!count)
                throw AppError(WrongCopiesMessage(rest.at(i)));
            copies = *count;
        }

        const DataLink link = DataLink::readFile(QDir(workingDir).filePath(QStringLiteral("sql.udl")));
        const QString target = CheckOutputPath(out, workingDir, link);
        Database db;
        db.open(link, workingDir);
        DataSet source(db);
        source.setSql(CompletedDocumentsSql(choice));
        source.open();
        const QVector<PaymentOrder> documents = PaymentOrder::allRows(source);
        if (documents.isEmpty())
            throw AppError(QStringLiteral("Нет завершённых документов для печати: файл %1 не записан").arg(out));

        // Written beside the target and put in place only when whole.
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly))
            throw AppError(QStringLiteral("Не удалось записать %1: %2").arg(out, file.errorString()));
        {
            QPdfWriter writer(&file);
            writer.setResolution(PdfResolution);
            writer.setPageLayout(FormRenderer::pageLayout());
            writer.setTitle(QStringLiteral("Платежные поручения"));
            writer.setCreator(QStringLiteral("payorders"));
            QPainter painter(&writer);
            FormRenderer::drawRun(painter, writer, documents, copies);
        }
        if (!file.commit())
            throw AppError(QStringLiteral("Не удалось записать %1: %2").arg(out, file.errorString()));
        QTextStream(stdout) << "Записано страниц: " << documents.size() * copies << " в " << out << "\n";
        return 0;
    } catch (const AppError &error) {
        QTextStream(stderr) << error.message() << "\n";
        return 1;
    }
}

int runPdfCommand(int argc, char **argv)
{
    // No display is needed: the fonts come from the system, the pages go to a file.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return writePdf(app.arguments().mid(2), QDir::currentPath());
}
