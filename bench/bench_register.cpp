// The register of a bookkeeping firm: a million documents in PL_A and a hundred
// thousand in PL, two users over three years, through the real window and keys.
// Prints each step beside the engine's own shell reading the same rows in the
// same order, and the peak memory with the heap and the mapped file apart.
// Usage: bench_register sqlite|postgresql [archived] [current]
// The generated rows are kept in $BENCH_CACHE (default ~/.cache/payorders-bench)
// and loaded from there on the next run.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "document/DocumentState.h"
#include "editor/EditorPage.h"
#include "register/RegisterModel.h"
#include "register/RegisterPage.h"
#include "setup/DemoData.h"
#include "store/ResultReader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

QTextStream &out = Bench::out();
using Bench::median;
using Bench::ms;
using Bench::peakMb;
using Bench::resetPeak;
using Bench::statusMb;

void settle(MainWindow &window)
{
    window.pages()->currentWidget()->repaint();
    QCoreApplication::processEvents();
}

double timed(MainWindow &window, const std::function<void()> &action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    settle(window);
    return ms(timer);
}

int countOf(Database &db, const QString &sql)
{
    QSqlQuery q = db.run(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

bool failed = false;
void expect(bool ok, const QString &what)
{
    if (!ok) {
        failed = true;
        out << "FAULT: " << what << "\n";
    }
}

// Runs a tool and gives its wall time; output goes nowhere.
double toolMs(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        out << "FAULT: " << program << " " << args.join(QLatin1Char(' ')) << ": "
            << p.readAllStandardError() << "\n";
        return -1;
    }
    return ms(timer);
}

QStringList psqlArgs(const DataLink &link)
{
    const QStringList hostPort = link.dataSource.split(QLatin1Char(':'));
    return {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
            QStringLiteral("-h"), hostPort.value(0), QStringLiteral("-p"), hostPort.value(1),
            QStringLiteral("-U"), link.userId, QStringLiteral("-d"), link.initialCatalog};
}

// The engine's own shell reading every row of the table in the register's order:
// whole rows, or the columns the register holds.
double shellMs(TempDatabase &data, bool postgres, const QString &table, bool held)
{
    const QString columns = held ? registerHeldColumns().join(QLatin1Char(',')) : QStringLiteral("*");
    const QString sql = QStringLiteral("select %1 from %2 order by DATE desc").arg(columns, table);
    if (postgres)
        return toolMs(QStringLiteral("psql"), psqlArgs(data.link()) << QStringLiteral("-At") << QStringLiteral("-c") << sql);
    return toolMs(QStringLiteral("sqlite3"), {data.folder() + QStringLiteral("/payorders.db"), sql});
}

// The engine's client library alone walking the register's columns of every row,
// on the program's own connection: what any list of these rows costs at the least.
double readerMs(Database &db, const QString &table)
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        db, QStringLiteral("select %1 from %2").arg(registerHeldColumns().join(QLatin1Char(',')), table));
    qsizetype bytes = 0;
    while (reader->next())
        for (int c = 0; c < reader->columnCount(); ++c)
            bytes += reader->text(c).size();
    return bytes > 0 ? ms(timer) : -1;
}

// One COPY text field: \N for a null, backslash escapes in text.
void appendCopyField(QByteArray &line, QByteArrayView text, ColumnKind kind)
{
    if (text.isEmpty() && kind != ColumnKind::Text) {
        line += "\\N";
        return;
    }
    for (char c : text) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

// The cached SQLite rows as a COPY file per table, for psql \copy.
bool writeCopyFile(const QString &sqliteFile, const QString &table, const QString &copyFile)
{
    Database source;
    DataLink link;
    link.engine = Engine::SQLite;
    link.dataSource = sqliteFile;
    source.open(link, QFileInfo(sqliteFile).absolutePath());
    QFile file(copyFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const TableDef &def = *Schema::table(table);
    std::unique_ptr<ResultReader> reader = ResultReader::open(source, QStringLiteral("select * from ") + table);
    QByteArray line;
    while (reader->next()) {
        line.clear();
        for (int c = 0; c < reader->columnCount(); ++c) {
            if (c > 0)
                line += '\t';
            appendCopyField(line, reader->text(c), def.columns.at(c).kind);
        }
        line += '\n';
        file.write(line);
    }
    return true;
}

// Fills PL and PL_A from the cache, generating the cache first when it is missing.
bool loadDocuments(TempDatabase &data, bool postgres, int archived, int current)
{
    const QString cacheDir = qEnvironmentVariable("BENCH_CACHE", QDir::homePath() + QStringLiteral("/.cache/payorders-bench"));
    QDir().mkpath(cacheDir);
    const QString stem = QStringLiteral("%1/register-%2-%3").arg(cacheDir).arg(archived).arg(current);
    const QString cached = stem + QStringLiteral(".sqlite");
    Database &db = data.db();
    if (!QFile::exists(cached)) {
        // Generated once on SQLite: every eleventh document stays current, the rest are archived and completed.
        TempDatabase::Options o;
        o.engine = Engine::SQLite;
        o.demo = true;
        o.documents = 0;
        TempDatabase maker(o);
        DemoData::Options demo;
        demo.documents = archived + current;
        demo.years = 3;
        demo.archiveEvery = 0;
        DemoData::add(maker.db(), demo);
        const int every = qMax(2, (archived + current) / qMax(1, current));
        Database &m = maker.db();
        m.transaction();
        m.execute(QStringLiteral("insert into PL_A select * from PL where rowid % %1 <> 0").arg(every));
        m.execute(QStringLiteral("delete from PL where rowid % %1 <> 0").arg(every));
        m.execute(QStringLiteral("update PL_A set PRIZN_DK='3'"));
        m.commit();
        m.execute(QStringLiteral("vacuum into '%1.part'").arg(cached));
        QFile::rename(cached + QStringLiteral(".part"), cached);
    }
    if (!postgres) {
        db.execute(QStringLiteral("attach database '%1' as cache").arg(cached));
        db.transaction();
        for (const char *table : {"PL", "PL_A"})
            db.execute(QStringLiteral("insert into main.%1 select * from cache.%1").arg(QLatin1String(table)));
        db.commit();
        db.execute(QStringLiteral("detach database cache"));
        db.execute(QStringLiteral("analyze"));
        return true;
    }
    for (const char *table : {"PL", "PL_A"}) {
        const QString copyFile = stem + QLatin1Char('.') + QLatin1String(table) + QStringLiteral(".copy");
        if (!QFile::exists(copyFile) && !writeCopyFile(cached, QLatin1String(table), copyFile))
            return false;
        if (toolMs(QStringLiteral("psql"), psqlArgs(data.link()) << QStringLiteral("-c")
                                                << QStringLiteral("\\copy %1 from '%2'").arg(QLatin1String(table), copyFile))
            < 0)
            return false;
    }
    db.execute(QStringLiteral("analyze"));
    return true;
}

QString row(const QString &name, double value, double shell = -1, const QString &note = {})
{
    QString text = QStringLiteral("%1 %2 ms").arg(name, -40).arg(value, 9, 'f', 1);
    if (shell > 0)
        text += QStringLiteral("  x%1 of the shell").arg(value / shell, 0, 'f', 2);
    if (!note.isEmpty())
        text += QStringLiteral("  (") + note + QLatin1Char(')');
    return text + QLatin1Char('\n');
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int archived = Bench::numberArgument(args, 2, 1000000);
    const int current = Bench::numberArgument(args, 3, 100000);

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const bool postgres = options.engine == Engine::PostgreSQL;
    const QString engineName = Bench::engineName(options.engine);
    options.demo = true;
    options.documents = 0;

    QElapsedTimer timer;
    timer.start();
    const auto window_ = Bench::preparedWindow(options, [&](TempDatabase &data) {
        return loadDocuments(data, postgres, archived, current);
    });
    if (!window_)
        return 1;
    WindowFixture &fixture = *window_;
    const double prepared = ms(timer);
    TempDatabase &data = fixture.data();
    const double wholeCurrent = shellMs(data, postgres, QStringLiteral("PL"), false);
    const double wholeArchive = shellMs(data, postgres, QStringLiteral("PL_A"), false);
    const double shellCurrent = shellMs(data, postgres, QStringLiteral("PL"), true);
    const double shellArchive = shellMs(data, postgres, QStringLiteral("PL_A"), true);
    const long prepPeak = peakMb();
    const bool peakReset = resetPeak();
    const long baseline = peakMb();
    MainWindow &window = fixture.window();
    DataSet &q1 = window.q1();

    const double open = timed(window, [&] { fixture.signIn(QStringLiteral("1")); });
    const int rows = q1.recordCount();
    expect(rows > 0 && window.pages()->currentWidget() == window.registerPage(), QStringLiteral("the register is not shown"));

    // The machine's noise is large next to one reload: the median of five.
    QList<double> reloads;
    for (int i = 0; i < 5; ++i)
        reloads << timed(window, [] { Keys::press(Qt::Key_F11); });

    // Enter on a document: reload, find, lock, the editor shown; Escape back.
    QList<double> enters;
    for (int i = 0; i < 3; ++i) {
        const int state = q1.columnIndex(QStringLiteral("PRIZN_DK"));
        int r = (i + 1) * rows / 4;
        while (r < rows - 1 && DocumentState::isLocked(q1.rawAt(r, state)))
            ++r;
        QTableView *grid = window.registerPage()->grid();
        grid->setCurrentIndex(grid->model()->index(qMin(r, rows - 1), 0));
        enters << timed(window, [] { Keys::press(Qt::Key_Return); });
        expect(window.pages()->currentWidget() == window.editorPage(), QStringLiteral("Enter showed no editor"));
        Keys::press(Qt::Key_Escape);
        settle(window);
        expect(window.pages()->currentWidget() == window.registerPage(), QStringLiteral("Escape did not go back"));
    }

    const double toArchive = timed(window, [] { Keys::press(Qt::Key_F5, Qt::AltModifier); });
    const int archiveRows = q1.recordCount();
    const long heapArchive = statusMb("RssAnon:");
    const long mappedArchive = statusMb("RssFile:");
    expect(archiveRows == archived, QStringLiteral("the archive shows %1 rows").arg(archiveRows));
    QList<double> reloadsArchive, readsArchive;
    for (int i = 0; i < 3; ++i) {
        reloadsArchive << timed(window, [] { Keys::press(Qt::Key_F11); });
        readsArchive << readerMs(data.db(), QStringLiteral("PL_A"));
    }
    const double reloadArchive = median(reloadsArchive);
    const double readArchive = median(readsArchive);

    // One keystroke in each search box: a hit, then a text that starts nothing (every row read).
    struct Search
    {
        const char *name;
        Qt::KeyboardModifiers modifiers;
        QString hit, miss;
    };
    const Search searches[] = {
        {"number", Qt::ControlModifier, QStringLiteral("9"), QStringLiteral("-")},
        {"amount", Qt::NoModifier, QStringLiteral("4"), QStringLiteral("-")},
        {"recipient", Qt::AltModifier, QStringLiteral("О"), QStringLiteral("~")},
    };
    QStringList searchLines;
    for (const Search &s : searches) {
        Keys::press(Qt::Key_F6, s.modifiers);
        const double hit = timed(window, [&] { Keys::type(s.hit); });
        Keys::press(Qt::Key_F9);
        Keys::press(Qt::Key_F6, s.modifiers);
        const double miss = timed(window, [&] { Keys::type(s.miss); });
        Keys::press(Qt::Key_F9);
        searchLines << row(QStringLiteral("search keystroke, %1 hit").arg(QLatin1String(s.name)), hit)
                    << row(QStringLiteral("search keystroke, %1 miss").arg(QLatin1String(s.name)), miss);
    }

    // The filter by recipient over the archive, and Alt+F5 back keeping it.
    Keys::press(Qt::Key_F6, Qt::AltModifier);
    Keys::type(QStringLiteral("О"));
    const double filter = timed(window, [] { Keys::press(Qt::Key_Return); });
    const int filtered = q1.recordCount();
    expect(filtered > 0 && filtered < archived, QStringLiteral("the filter keeps %1 rows").arg(filtered));
    const double unfilter = timed(window, [] { Keys::press(Qt::Key_F9); });
    expect(q1.recordCount() == archived, QStringLiteral("the filter was not removed"));
    const double back = timed(window, [] { Keys::press(Qt::Key_F5, Qt::AltModifier); });
    expect(q1.recordCount() == rows, QStringLiteral("back from the archive shows %1 rows").arg(q1.recordCount()));

    // F12 "Все" moves every completed document of the list: ten thousand are left completed.
    Database &db = data.db();
    db.execute(QStringLiteral("update PL set PRIZN_DK='1' where PRIZN_DK='3' and ID not in "
                              "(select ID from PL where PRIZN_DK='3' order by ID limit 10000)"));
    const int marked = countOf(db, QStringLiteral("select count(*) from PL where PRIZN_DK='3'"));
    Keys::press(Qt::Key_F11);
    fixture.dialogs().scopeAnswers.enqueue(Dialogs::Scope::All);
    const double move = timed(window, [] { Keys::press(Qt::Key_F12); });
    const int moved = countOf(db, QStringLiteral("select count(*) from PL_A")) - archived;
    expect(moved == marked, QStringLiteral("F12 moved %1 of the %2 completed documents").arg(moved).arg(marked));
    expect(fixture.dialogs().errors().isEmpty(), fixture.dialogs().errors().join(QStringLiteral("; ")));

    out << "engine                                   " << engineName << "\n"
        << "documents in PL / PL_A                   " << rows << " / " << archiveRows << " (prepared in "
        << qRound(prepared) << " ms)\n"
        << row(QStringLiteral("shell reads PL whole, register's order"), wholeCurrent)
        << row(QStringLiteral("shell reads PL_A whole, register's order"), wholeArchive)
        << row(QStringLiteral("shell reads PL, register's columns"), shellCurrent)
        << row(QStringLiteral("shell reads PL_A, register's columns"), shellArchive)
        << row(QStringLiteral("sign-in to the register shown"), open, shellCurrent)
        << row(QStringLiteral("F11 reload"), median(reloads), shellCurrent, QStringLiteral("median of 5"))
        << row(QStringLiteral("Enter, the editor shown"), median(enters), 0, QStringLiteral("median of 3"))
        << row(QStringLiteral("Alt+F5 to the archive"), toArchive, shellArchive)
        << row(QStringLiteral("F11 in the archive"), reloadArchive, shellArchive, QStringLiteral("median of 3"))
        << row(QStringLiteral("client library reads PL_A's columns"), readArchive, 0,
               QStringLiteral("median of 3; F11 is x%1 of it").arg(reloadArchive / readArchive, 0, 'f', 2))
        << searchLines.join(QString())
        << row(QStringLiteral("setting the filter (Enter)"), filter, 0, QStringLiteral("%1 rows").arg(filtered))
        << row(QStringLiteral("removing the filter (F9)"), unfilter)
        << row(QStringLiteral("Alt+F5 back, filter kept"), back, shellCurrent)
        << row(QStringLiteral("F12 \"Все\" to the archive"), move, 0, QStringLiteral("%1 documents").arg(marked))
        << "peak memory preparing the data           " << prepPeak << " MB"
        << (peakReset ? ", then forgotten\n" : ", kept (no /proc/self/clear_refs)\n")
        << "memory before sign-in                    " << baseline << " MB\n"
        << "in the archive: heap / mapped            " << heapArchive << " MB / " << mappedArchive << " MB\n"
        << "peak memory at the end                   " << peakMb() << " MB\n";
    return failed ? 1 : 0;
}
