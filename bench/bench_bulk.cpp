// The bulk commands of the register through the real window over ten thousand
// completed, marked documents: F10, F12 "Все" to the archive and back, and
// Delete "Все", each timed from the key press to the reloaded list. Prints the
// medians. Usage: bench_bulk sqlite|postgresql [documents] [repetitions]
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "register/RegisterPage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

QTextStream &out = Bench::out();

void addDocuments(Database &db, int count)
{
    db.transaction();
    const QString sql = QStringLiteral("insert into PL (ID,DATE,NOM,S,NAME_POL1,PRIZN_DK,CHEKED,LOGIN,NALOG,VID_PLAT) "
                                       "values (?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < count; ++i)
        db.run(sql, {QStringLiteral("B%1").arg(i, 14, 10, QLatin1Char('0')),
                     db.dialect().toDb(ColumnKind::Date, QDate(2024, 6, 30).addDays(-(i % 365))),
                     QString::number(i % 100000), 100.0 + i, QStringLiteral("ООО \"Получатель %1\"").arg(i),
                     QStringLiteral("3"), QStringLiteral("V"), QStringLiteral("1"),
                     db.dialect().toDb(ColumnKind::Logical, false), QStringLiteral("1")});
    db.commit();
}

int countOf(Database &db, const QString &sql)
{
    QSqlQuery q = db.run(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

QString figure(QList<double> values, const QString &aim)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("median %1 ms, fastest %2, slowest %3%4")
        .arg(values.at(values.size() / 2), 0, 'f', 1)
        .arg(values.first(), 0, 'f', 1)
        .arg(values.last(), 0, 'f', 1)
        .arg(aim.isEmpty() ? QString() : QStringLiteral(" (aim ") + aim + QLatin1Char(')'));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int documents = Bench::numberArgument(args, 2, 10000);
    const int repetitions = qMax(1, Bench::numberArgument(args, 3, 3));

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const QString engineName = Bench::engineName(options.engine);
    options.demo = true;
    options.documents = 0;
    const auto window_ = Bench::signedInWindow(options);
    if (!window_)
        return 1;
    WindowFixture &fixture = *window_;
    MainWindow &window = fixture.window();
    Database &db = fixture.data().db();
    ScriptedDialogs &dialogs = fixture.dialogs();
    auto timed = [&](const std::function<void()> &keys) {
        QElapsedTimer timer;
        timer.start();
        keys();
        window.registerPage()->grid()->repaint();
        return timer.nsecsElapsed() / 1e6;
    };
    auto all = [&](Qt::Key key) {
        dialogs.scopeAnswers.enqueue(Dialogs::Scope::All);
        Keys::press(key);
    };

    QList<double> clears, toArchive, back, deletes;
    for (int r = 0; r < repetitions; ++r) {
        addDocuments(db, documents);
        window.registerPage()->enter();
        Keys::press(Qt::Key_F11);
        clears << timed([] { Keys::press(Qt::Key_F10); });
        const int stillMarked = countOf(db, QStringLiteral("select count(*) from PL where CHEKED='V'"));
        db.execute(QStringLiteral("update PL set CHEKED='V'"));
        Keys::press(Qt::Key_F11);
        toArchive << timed([&] { all(Qt::Key_F12); });
        const int archived = countOf(db, QStringLiteral("select count(*) from PL_A"));
        Keys::press(Qt::Key_F5, Qt::AltModifier);
        back << timed([&] { all(Qt::Key_F12); });
        Keys::press(Qt::Key_F5, Qt::AltModifier);
        const int returned = countOf(db, QStringLiteral("select count(*) from PL where CHEKED='V'"));
        deletes << timed([&] { all(Qt::Key_Delete); });
        const int left = countOf(db, QStringLiteral("select count(*) from PL"));
        if (stillMarked != 0 || archived != documents || returned != documents || left != 0
            || !dialogs.errors().isEmpty()) {
            out << "a command did not do its work: marked " << stillMarked << ", archived " << archived
                << ", back and marked " << returned << ", left " << left << ", errors "
                << dialogs.errors().join(QStringLiteral("; ")) << "\n";
            return 1;
        }
    }

    out << "engine                             " << engineName << "\n"
        << "completed documents in the list    " << documents << "\n"
        << "F10, every mark cleared            " << figure(clears, QString()) << "\n"
        << "F12 \"Все\" to the archive           " << figure(toArchive, QStringLiteral("under 2000 ms")) << "\n"
        << "F12 \"Все\" back from the archive    " << figure(back, QStringLiteral("under 2000 ms")) << "\n"
        << "Delete \"Все\"                       " << figure(deletes, QString()) << "\n";
    return 0;
}
