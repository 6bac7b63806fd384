// One document's road over a register of a hundred thousand documents, through
// the real window and real keys: Enter on a document until the editor is shown,
// Insert until the editor is shown, one keystroke in a field, and the final
// store from the operation kind back to the register. Prints medians with
// their aims. Usage: bench_editor sqlite|postgresql [documents] [repetitions]
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "document/DocumentState.h"
#include "editor/EditorPage.h"
#include "register/RegisterPage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <ctime>

namespace {

QTextStream &out = Bench::out();
using Bench::ms;
const auto medianOf = Bench::median;

// This process's own processor time: the machine's other load does not count in it.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Taken
{
    double wall = 0;
    double cpu = 0;
};

// Wall time and own processor time from construction to done().
class Span
{
public:
    Span() { m_wall.start(); }
    Taken done() const { return {ms(m_wall), cpuMs() - m_cpu}; }

private:
    QElapsedTimer m_wall;
    double m_cpu = cpuMs();
};

// The page that is now shown is painted whole, as the screen would get it.
void settlePage(MainWindow &window)
{
    window.pages()->currentWidget()->repaint();
    QCoreApplication::processEvents();
}

// A keystroke repaints its own box only.
void settleBox()
{
    if (QWidget *focus = QApplication::focusWidget())
        focus->repaint();
    QCoreApplication::processEvents();
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

struct Figures
{
    QList<double> values;
    QList<double> cpu;

    void add(const Taken &taken)
    {
        values << taken.wall;
        cpu << taken.cpu;
    }
    double median() const { return medianOf(values); }
    double worst() const { return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

// A run of the road that did not go as a user would see it is a fault, not a figure.
int failures = 0;
void expect(bool ok, const QString &what)
{
    if (ok)
        return;
    ++failures;
    out << "FAULT: " << what << " (focus in \"" << focusName() << "\")\n";
    out.flush();
}

class Road
{
public:
    explicit Road(WindowFixture &fixture) : m_fixture(fixture), m_window(fixture.window()) {}

    bool editorShown() const
    {
        return m_window.pages()->currentWidget() == m_window.editorPage() && focusName() == QLatin1String("edit_nom");
    }
    bool registerShown() const
    {
        return m_window.pages()->currentWidget() == m_window.registerPage() && focusName() == QLatin1String("grid_m");
    }

    // The register's cursor on the first unlocked document at or after row, as the arrows would put it.
    QString selectFrom(int row)
    {
        DataSet &q1 = m_window.q1();
        const int state = q1.columnIndex(QStringLiteral("PRIZN_DK"));
        const int id = q1.columnIndex(QStringLiteral("ID"));
        for (int r = qBound(0, row, q1.recordCount() - 1); r < q1.recordCount(); ++r) {
            if (DocumentState::isLocked(q1.rawAt(r, state)))
                continue;
            QTableView *grid = m_window.registerPage()->grid();
            const QModelIndex index = grid->model()->index(r, 0);
            grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                                | QItemSelectionModel::Rows);
            grid->scrollTo(index);
            settlePage(m_window);
            return q1.rawAt(r, id);
        }
        return {};
    }

    Taken timedPage(Qt::Key key)
    {
        Span span;
        Keys::press(key);
        settlePage(m_window);
        return span.done();
    }

    // Enter through the flow until the focus is in the named box; the amount entry gets an amount.
    bool walkTo(const QString &target)
    {
        for (int step = 0; step < 40 && focusName() != target; ++step) {
            const QString here = focusName();
            auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            if (here == QLatin1String("e_s2") || here == QLatin1String("e_s3"))
                Keys::type(QStringLiteral("125,50"));
            else if (box && box->text().trimmed().isEmpty() && here == QLatin1String("DBE_SCH_KT"))
                Keys::type(QStringLiteral("40702810700000011111")); // a demo recipient's account: a new document has none
            else if (box && box->text().trimmed().isEmpty() && here == QLatin1String("DBE_bik"))
                Keys::type(QStringLiteral("044525593"));
            else
                Keys::press(Qt::Key_Return);
            if (m_window.pages()->currentWidget() != m_window.editorPage())
                return false;
        }
        return focusName() == target;
    }

    // Typed characters one by one into the focused box, each timed from press to its box repainted.
    QString typeTimed(const QString &text, Figures &keys)
    {
        for (const QChar c : text) {
            Span span;
            Keys::type(QString(c));
            settleBox();
            keys.add(span.done());
        }
        auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        return box ? box->text() : QString();
    }

    QVariant stored(const QString &column, const QString &id)
    {
        return m_fixture.data().scalar(QStringLiteral("select %1 from PL where ID='%2'").arg(column, id));
    }

private:
    WindowFixture &m_fixture;
    MainWindow &m_window;
};

QString line(const char *name, const Figures &f, double aim, const QString &note = {})
{
    const double median = f.median();
    return QStringLiteral("%1 %2 ms   aim < %3 ms  %4  (own processor %5 ms; worst %6 ms, %7 runs%8)\n")
        .arg(QLatin1String(name), -34)
        .arg(median, 8, 'f', 2)
        .arg(aim, 5, 'f', 0)
        .arg(median < aim ? QStringLiteral("met ") : QStringLiteral("OVER"))
        .arg(medianOf(f.cpu), 0, 'f', 2)
        .arg(f.worst(), 0, 'f', 2)
        .arg(f.values.size())
        .arg(note.isEmpty() ? QString() : QStringLiteral("; ") + note);
}

// A step timed apart: no aim of its own.
QString part(const char *name, const Figures &f)
{
    return QStringLiteral("%1 %2 ms                        (own processor %3 ms; timed apart)\n")
        .arg(QLatin1String(name), -34)
        .arg(f.median(), 8, 'f', 2)
        .arg(medianOf(f.cpu), 0, 'f', 2);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int documents = Bench::numberArgument(args, 2, 100000);
    const int repetitions = qMax(1, Bench::numberArgument(args, 3, 5));

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const QString engineName = Bench::engineName(options.engine);
    options.demo = true;
    options.documents = documents;
    options.years = 3;
    options.archiveEvery = 0;

    QElapsedTimer prepare;
    prepare.start();
    double prepared = 0;
    const auto window_ = Bench::signedInWindow(options, [&](TempDatabase &) {
        prepared = ms(prepare);
        return true;
    });
    if (!window_)
        return 1;
    WindowFixture &fixture = *window_;
    MainWindow &window = fixture.window();
    settlePage(window);
    const int rows = window.q1().recordCount();
    Road road(fixture);

    Figures enter, insert, keys, storeEdited, storeNew;
    const QString typed = QStringLiteral("ООО Ландыш");
    for (int i = 0; i < repetitions; ++i) {
        // Enter on documents spread over the list: the search for it after the reload runs that far.
        const int row = repetitions > 1 ? int(qint64(rows - 1) * i / (repetitions - 1)) : rows / 2;
        const QString id = road.selectFrom(row);
        expect(!id.isEmpty(), QStringLiteral("no unlocked document from row %1").arg(row));
        const QString seen = road.stored(QStringLiteral("PRIZN_DK"), id).toString();
        enter.add(road.timedPage(Qt::Key_Return));
        expect(road.editorShown(), QStringLiteral("Enter did not show the editor"));
        expect(road.stored(QStringLiteral("PRIZN_DK"), id).toString() == DocumentState::openedFrom(seen),
               QStringLiteral("Enter did not lock the document"));
        expect(road.walkTo(QStringLiteral("dbe_pol1")), QStringLiteral("the flow did not reach dbe_pol1"));
        expect(road.typeTimed(typed, keys) == typed, QStringLiteral("the typed name is not in dbe_pol1"));
        expect(road.walkTo(QStringLiteral("DBE_vid_oper")), QStringLiteral("the flow did not reach DBE_vid_oper"));
        storeEdited.add(road.timedPage(Qt::Key_Return));
        expect(road.registerShown(), QStringLiteral("the store did not show the register"));
        expect(road.stored(QStringLiteral("PRIZN_DK"), id).toString() == DocumentState::Completed
                   && road.stored(QStringLiteral("NAME_POL1"), id).toString() == typed,
               QStringLiteral("the opened document is not stored"));

        // Insert from the same place in the list.
        const qint64 before = fixture.data().scalar(QStringLiteral("select count(*) from PL")).toLongLong();
        insert.add(road.timedPage(Qt::Key_Insert));
        expect(road.editorShown(), QStringLiteral("Insert did not show the editor"));
        expect(road.walkTo(QStringLiteral("dbe_pol1")), QStringLiteral("the flow did not reach dbe_pol1"));
        expect(road.typeTimed(typed, keys) == typed, QStringLiteral("the typed name is not in dbe_pol1"));
        expect(road.walkTo(QStringLiteral("DBE_vid_oper")), QStringLiteral("the flow did not reach DBE_vid_oper"));
        const QString newId = window.q1().text(QStringLiteral("ID"));
        storeNew.add(road.timedPage(Qt::Key_Return));
        expect(road.registerShown(), QStringLiteral("the store did not show the register"));
        expect(fixture.data().scalar(QStringLiteral("select count(*) from PL")).toLongLong() == before + 1
                   && road.stored(QStringLiteral("NAME_POL1"), newId).toString() == typed,
               QStringLiteral("the new document is not stored"));
    }

    // What Enter spends its time on: its first two steps run apart, on the register as it is now.
    Figures reload, findLast;
    const QString lastId = window.q1().rawAt(window.q1().recordCount() - 1, window.q1().columnIndex(QStringLiteral("ID")));
    for (int i = 0; i < repetitions; ++i) {
        Span span;
        window.ReloadRegister();
        reload.add(span.done());
        Span search;
        window.q1().find(QStringLiteral("ID"), lastId);
        findLast.add(search.done());
    }
    window.registerPage()->enter();

    out << "engine                             " << engineName << "\n"
        << "documents in PL                    " << rows << " (prepared in " << qRound(prepared) << " ms)\n"
        << line("Enter to the editor shown", enter, 1000, QStringLiteral("rows first to last"))
        << part("  of which the reload of the list", reload)
        << part("  of which the find, last row", findLast)
        << line("Insert to the editor shown", insert, 100)
        << line("keystroke in dbe_pol1", keys, 10)
        << line("store from DBE_vid_oper, opened", storeEdited, 50)
        << line("store from DBE_vid_oper, new", storeNew, 50)
        << "documents in PL at the end         " << window.q1().recordCount() << "\n";
    if (failures > 0)
        out << failures << " faults on the road: the figures above are not to be trusted\n";
    out.flush();
    return failures > 0 ? 2 : 0;
}
