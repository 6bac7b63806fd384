// The recipient directory over ten thousand recipients, through the real window:
// F2 in the editor's account field until the list is painted with its rows, and
// the look-up of a typed account (Enter until the recipient is filled in). Prints
// the medians with their aims. Usage: bench_directories sqlite|postgresql [recipients] [repetitions]
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "directories/DirectoryPanel.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"
#include "store/TimestampId.h"

#include <QLineEdit>

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream &out = Bench::out();
const auto medianOf = Bench::median;

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
    const int recipients = Bench::numberArgument(args, 2, 10000);
    const int repetitions = qMax(1, Bench::numberArgument(args, 3, 11));

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const QString engineName = Bench::engineName(options.engine);
    options.demo = true;
    options.documents = 0;
    const auto window_ = Bench::signedInWindow(options, [&](TempDatabase &data) {
        addRecipients(data.db(), recipients);
        return true;
    });
    if (!window_)
        return 1;
    WindowFixture &fixture = *window_;
    MainWindow &window = fixture.window();
    DirectoryPanel &panel = *window.recipientDirectory();
    auto focusName = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };

    // A new document, walked to the account field as a user does it.
    window.registerPage()->enter();
    Keys::press(Qt::Key_Insert);
    for (int i = 0; i < 12 && focusName() != QLatin1String("DBE_SCH_KT"); ++i) {
        if (focusName().startsWith(QLatin1String("e_s")))
            Keys::type(QStringLiteral("1,00"));
        else
            Keys::press(Qt::Key_Return);
    }
    if (focusName() != QLatin1String("DBE_SCH_KT")) {
        out << "the account field was not reached: " << focusName() << "\n";
        return 1;
    }

    QList<double> opens;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        Keys::press(Qt::Key_F2);
        panel.repaint();
        QCoreApplication::processEvents();
        opens << timer.nsecsElapsed() / 1e6;
        const int listed = panel.list()->model()->rowCount();
        if (listed != recipients || !panel.list()->hasFocus() || panel.list()->currentIndex().row() != 0) {
            out << "the list did not show the recipients: " << listed << " rows\n";
            return 1;
        }
        Keys::press(Qt::Key_Escape); // back to the account field
    }

    // Accounts spread over the directory, the last one included.
    QList<double> lookups;
    auto *account = qobject_cast<QLineEdit *>(window.editorPage()->control(QStringLiteral("DBE_SCH_KT")));
    for (int i = 0; i < repetitions; ++i) {
        const int row = (recipients - 1) - i * (recipients / repetitions);
        const QString n = QString::number(row).rightJustified(8, QLatin1Char('0'));
        account->setText(QStringLiteral("407028100000") + n.left(7)); // the twentieth digit is typed below
        QElapsedTimer timer;
        timer.start();
        Keys::type(n.right(1)); // auto-advance at twenty digits runs the look-up
        QCoreApplication::processEvents();
        lookups << timer.nsecsElapsed() / 1e6;
        if (focusName() != QLatin1String("DBE_inn")
            || window.q1().text(QStringLiteral("INN_POL")) != QStringLiteral("77") + n) {
            out << "the account look-up did not fill the recipient " << n << "\n";
            return 1;
        }
        Keys::press(Qt::Key_Up);
    }

    std::sort(opens.begin(), opens.end());
    std::sort(lookups.begin(), lookups.end());
    out << "engine                             " << engineName << "\n"
        << "recipients in S_POL                " << recipients << "\n"
        << QStringLiteral("F2 to the directory shown          median %1 ms, fastest %2, slowest %3 (aim under 100 ms)\n")
               .arg(medianOf(opens), 0, 'f', 1)
               .arg(opens.first(), 0, 'f', 1)
               .arg(opens.last(), 0, 'f', 1)
        << QStringLiteral("account look-up                    median %1 ms, fastest %2, slowest %3 (aim under 10 ms)\n")
               .arg(medianOf(lookups), 0, 'f', 1)
               .arg(lookups.first(), 0, 'f', 1)
               .arg(lookups.last(), 0, 'f', 1);
    return 0;
}
