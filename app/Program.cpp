#include "app/Program.h"
#include "app/Dialogs.h"
#include "app/ExportBankCommand.h"
#include "app/GuardedApplication.h"
#include "app/ImportBanksCommand.h"
#include "app/MainWindow.h"
#include "app/PdfCommand.h"
#include "print/QtPrintForm.h"
#include "setup/DemoData.h"
#include "store/AppError.h"
#include "store/AsciiDigits.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/Installer.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTextStream>
#include <QTranslator>

namespace {

int usage()
{
    QTextStream(stderr) << "Использование: payorders [init [--demo] [--documents N]]\n"
                        << "       payorders pdf OUT.pdf [--archive] [--marked | --all | --id ID ...] [--copies N]\n"
                        << "       payorders import-banks ФАЙЛ\n"
                        << "       payorders export-bank ФАЙЛ.txt [--utf8] [--strict] [--archive] [--marked | --all | --id ID ...]\n";
    return 2;
}

// Prepares the working folder: sql.udl, the tables, the installation data and,
// on request, the demo data.
int initFolder(const QStringList &args)
{
    QTextStream out(stdout);
    bool demo = false;
    int documents = 300;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--demo"))
            demo = true;
        else if (args.at(i) == QLatin1String("--documents") && i + 1 < args.size()) {
            // Only plain digits: "abc", "-5" or "1e3" would quietly give some other count.
            const QString count = args.at(++i);
            bool ok = false;
            documents = count.toInt(&ok);
            if (!ok || documents < 0 || !isAsciiDigits(count)) {
                QTextStream(stderr) << "Число документов должно быть целым неотрицательным числом: " << count << "\n";
                return 2;
            }
        } else
            return usage();
    }
    const QString folder = QDir::currentPath();
    try {
        if (Installer::writeDefaultDataLink(folder))
            out << "Записан " << QDir(folder).filePath(QStringLiteral("sql.udl")) << "\n";
        if (Installer::protectDataLink(folder))
            out << "В " << QDir(folder).filePath(QStringLiteral("sql.udl"))
                << " записан пароль: теперь этот файл читает только его владелец\n";
        Installer::createSqliteFileIfMissing(folder);
        Database db;
        db.open(DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl"))), folder);
        Installer::createSchema(db);
        Installer::loadInstallationData(db, Installer::dataDir());
        if (demo) {
            DemoData::Options options;
            options.documents = documents;
            DemoData::add(db, options);
        }
        out << "База данных готова\n";
        return 0;
    } catch (const AppError &error) {
        QTextStream(stderr) << error.message() << "\n";
        return 1;
    }
}

} // namespace

bool setUpApplication(QCoreApplication &app, const QString &translationsDir)
{
    // No application display name: Qt would append it to every window title.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    delete app.findChild<QTranslator *>(QStringLiteral("qtbase"), Qt::FindDirectChildrenOnly);
    auto *translator = new QTranslator(&app);
    translator->setObjectName(QStringLiteral("qtbase"));
    if (!translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), translationsDir)) {
        // Without the translation the boxes speak English, and the program still works.
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int runProgram(int argc, char **argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "init") {
        QCoreApplication app(argc, argv);
        return initFolder(app.arguments().mid(2));
    }
    if (argc > 1 && QByteArray(argv[1]) == "pdf")
        return runPdfCommand(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "import-banks") {
        QCoreApplication app(argc, argv);
        return ImportBanksCommand(app.arguments().mid(2));
    }
    if (argc > 1 && QByteArray(argv[1]) == "export-bank") {
        QCoreApplication app(argc, argv);
        return ExportBankCommand(app.arguments().mid(2));
    }
    if (argc > 1)
        return usage();

    GuardedApplication app(argc, argv);
    setUpApplication(app);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    Database db;
    // The main window and the print form exist before sign-in and live to the end.
    MainWindow form1(db, dialogs);
    QtPrintForm printForm;
    form1.session().setPrintForm(&printForm);

    if (!form1.ConnectAndSignIn(QDir::currentPath())) {
        app.setDialogs(nullptr);
        return 0;
    }
    dialogs.setParent(&form1);
    // Without a window manager showMaximized changes nothing, so the window takes the screen itself.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form1.setGeometry(screen->availableGeometry());
    form1.showMaximized();
    // Without a window manager nobody gives the window the keyboard; until it is
    // active no focus events reach its fields, and the editor is driven by them.
    form1.raise();
    form1.activateWindow();
    const int code = app.exec();
    // The dialogs end before the application object does.
    app.setDialogs(nullptr);
    return code;
}
