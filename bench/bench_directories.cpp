// The recipient directory over ten thousand recipients, through the real window:
// the time from open() until the list is painted with its rows. Prints the
// median with its aim. Usage: bench_directories sqlite|postgresql [recipients] [repetitions]
#include "support/WindowFixture.h"

#include "directories/DirectoryPanel.h"
#include "register/RegisterPage.h"
#include "store/TimestampId.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream out(stdout);

double medianOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void addRecipients(Database &db, int count)
{
    db.transaction();
    db.execute(QStringLiteral("delete from S_POL"));
    const QString sql = QStringLiteral(
        "insert into S_POL (ID,INN,KPP,SCHET,BIK,NAME1,NAME2,NAME3,NAME4,NAME) values (?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i).rightJustified(8, QLatin1Char('0'));
        db.run(sql, {NewTimestampId(), QStringLiteral("77") + n, QStringLiteral("770101001"),
                     QStringLiteral("407028100000") + n, QStringLiteral("044525225"),
                     QStringLiteral("ООО \"Получатель %1\"").arg(i), QStringLiteral("г. Москва"), QString(), QString(),
                     QStringLiteral("Получатель %1").arg(i)});
    }
    db.commit();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString engineName = args.value(1, QStringLiteral("sqlite"));
    const int recipients = args.value(2, QStringLiteral("10000")).toInt();
    const int repetitions = qMax(1, args.value(3, QStringLiteral("11")).toInt());

    TempDatabase::Options options;
    options.engine = engineName == QLatin1String("postgresql") ? Engine::PostgreSQL : Engine::SQLite;
    options.demo = true;
    options.documents = 0;
    WindowFixture fixture(options);
    if (!fixture.data().isValid()) {
        out << "cannot prepare the database: " << fixture.data().reason() << "\n";
        return 1;
    }
    addRecipients(fixture.data().db(), recipients);
    if (!fixture.signIn(QStringLiteral("1"))) {
        out << "cannot sign in\n";
        return 1;
    }
    MainWindow &window = fixture.window();
    DirectoryPanel panel(DirectoryPanel::Kind::Recipients, window.session(), window.centralWidget());

    QList<double> times;
    for (int i = 0; i < repetitions; ++i) {
        window.registerPage()->enter();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        panel.open();
        panel.repaint();
        QCoreApplication::processEvents();
        times << timer.nsecsElapsed() / 1e6;
        const int listed = panel.list()->model()->rowCount();
        if (listed != recipients || !panel.list()->hasFocus() || panel.list()->currentIndex().row() != 0) {
            out << "the list did not show the recipients: " << listed << " rows\n";
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    out << "engine                             " << engineName << "\n"
        << "recipients in S_POL                " << recipients << "\n"
        << QStringLiteral("recipient directory open to shown  median %1 ms, fastest %2, slowest %3 (aim under 100 ms)\n")
               .arg(medianOf(times), 0, 'f', 1)
               .arg(times.first(), 0, 'f', 1)
               .arg(times.last(), 0, 'f', 1);
    return 0;
}
