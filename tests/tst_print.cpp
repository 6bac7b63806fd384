#include "support/Engines.h"
#include "support/Keys.h"
#include "support/PdfWords.h"
#include "support/WindowFixture.h"

#include "document/DocumentChoice.h"
#include "print/FormRenderer.h"
#include "print/QtPrintForm.h"
#include "register/PrintCommand.h"
#include "register/RegisterPage.h"
#include "store/AppError.h"
#include "store/DataSet.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

const QString lockedMessage = QStringLiteral("Документ блокирован с другого компьютера!");
const QString notReadyMessage = QStringLiteral("Документ не готов к печати!");
const QString promptLine = QStringLiteral("plain:Печать|Количество экземпляров|");

QVariantMap document(const QString &id, const QDate &date, const QString &state, const QString &mark,
                     const QString &login = QStringLiteral("1"))
{
    return {{"ID", id},       {"DATE", date},        {"NOM", id},           {"S", 1500.25},
            {"NALOG", false}, {"VID_PLAT", "1"},     {"PRIZN_DK", state},   {"CHEKED", mark},
            {"LOGIN", login}, {"INN_POL", "7701234567"}};
}

// The current list, newest first: C1 completed and marked, C2 completed and
// marked, S1 saved early and marked, C3 completed unmarked, O1 open and marked,
// R2 reopened, U2 another user's completed and marked. The archive: A1
// completed, A2 completed and marked, AS saved early.
void addDocuments(TempDatabase &d)
{
    d.addDocument("PL", document("C1", QDate(2024, 3, 20), "3", "V"));
    d.addDocument("PL", document("C2", QDate(2024, 3, 19), "3", "V"));
    d.addDocument("PL", document("S1", QDate(2024, 3, 18), "1", "V"));
    d.addDocument("PL", document("C3", QDate(2024, 3, 17), "3", ""));
    d.addDocument("PL", document("O1", QDate(2024, 3, 16), "0", "V"));
    d.addDocument("PL", document("R2", QDate(2024, 3, 15), "2", ""));
    d.addDocument("PL", document("U2", QDate(2024, 3, 14), "3", "V", "2"));
    d.addDocument("PL_A", document("A1", QDate(2024, 1, 20), "3", ""));
    d.addDocument("PL_A", document("A2", QDate(2024, 1, 19), "3", "V"));
    d.addDocument("PL_A", document("AS", QDate(2024, 1, 18), "1", ""));
}

QString selectedId(MainWindow &w)
{
    DataSet &q1 = w.q1();
    return q1.recNo() < 0 ? QStringLiteral("no row") : q1.text(QStringLiteral("ID"));
}

bool selectRow(MainWindow &w, const QString &id)
{
    w.registerPage()->grid()->setFocus();
    for (int i = 0; i <= w.q1().recordCount() && selectedId(w) != id; ++i)
        Keys::press(Qt::Key_Down);
    return selectedId(w) == id;
}

QStringList sorted(QStringList list)
{
    std::sort(list.begin(), list.end());
    return list;
}

DataSet &printSource(MainWindow &w)
{
    return w.registerPage()->generalQuery();
}

} // namespace

class PrintTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();

    void choiceFromArguments_data();
    void choiceFromArguments();
    void choiceSelectsCompleted_data();
    void choiceSelectsCompleted();
    void readCopies_data();
    void readCopies();

    void copiesPrompt_data();
    void copiesPrompt();
    void copiesDefaultReadEachTime();
    void currentRefused_data();
    void currentRefused();
    void scopes_data();
    void scopes();
    void markedNoneSaysNothing();
    void viewReloadsFirst();
    void viewAfterAnotherComputerOpenedIt();

    void realPreviewShowsOnePagePerDocument();
    void longRunCanBeCancelled();
    void noPrinterSaysSo();
    void dateAndAmountFromTheDatabase();
    void pdfCommandWithoutDisplay();
    void pdfCommandRefusesWrongCopies();
    void pdfCommandRefusesUnprintableDocument();

private:
    std::unique_ptr<WindowFixture> signedIn(const QString &password = QStringLiteral("1"));
};

void PrintTest::initTestCase_data()
{
    Engines::addRows();
}

std::unique_ptr<WindowFixture> PrintTest::signedIn(const QString &password)
{
    auto f = WindowFixture::signedInOver(password, addDocuments);
    if (f)
        f->dialogs().log.clear();
    return f;
}

// ---------------------------------------------------------------------------
// The choice of documents

void PrintTest::choiceFromArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("kind"); // -1: refused
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<bool>("archive");
    QTest::newRow("nothing means all") << QStringList{} << int(DocumentChoice::Kind::All) << QStringList{} << false;
    QTest::newRow("marked archive") << QStringList{"--archive", "--marked"} << int(DocumentChoice::Kind::Marked)
                                    << QStringList{} << true;
    QTest::newRow("ids") << QStringList{"--id", "A", "B", "--id", "C"} << int(DocumentChoice::Kind::Ids)
                         << QStringList{"A", "B", "C"} << false;
    QTest::newRow("id without value") << QStringList{"--id", "--all"} << -1 << QStringList{} << false;
    QTest::newRow("two choices") << QStringList{"--marked", "--all"} << -1 << QStringList{} << false;
    QTest::newRow("unknown") << QStringList{"--colour"} << -1 << QStringList{} << false;
}

void PrintTest::choiceFromArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, kind);
    if (kind < 0) {
        QVERIFY_THROWS_EXCEPTION(AppError, DocumentChoice::fromArguments(args));
        return;
    }
    const DocumentChoice choice = DocumentChoice::fromArguments(args);
    QCOMPARE(int(choice.kind), kind);
    QTEST(choice.ids, "ids");
    QTEST(choice.archive, "archive");
}

void PrintTest::choiceSelectsCompleted_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("owner"); // empty: anyone's
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("all") << QStringList{} << "" << QStringList{"C1", "C2", "C3", "U2"};
    QTest::newRow("marked") << QStringList{"--marked"} << "" << QStringList{"C1", "C2", "U2"};
    QTest::newRow("own marked") << QStringList{"--marked"} << "2" << QStringList{"U2"};
    QTest::newRow("ids, not completed left out") << QStringList{"--id", "C2", "S1", "O1"} << ""
                                                 << QStringList{"C2"};
    QTest::newRow("quote in an id") << QStringList{"--id", "C1' or '1'='1"} << "" << QStringList{};
    QTest::newRow("archive") << QStringList{"--archive"} << "" << QStringList{"A1", "A2"};
    QTest::newRow("archive marked") << QStringList{"--archive", "--marked"} << "" << QStringList{"A2"};
}

void PrintTest::choiceSelectsCompleted()
{
    QFETCH(QStringList, args);
    QFETCH(QString, owner);
    TempDatabase::Options o;
    o.engine = Engines::current();
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    addDocuments(d);
    DocumentChoice choice = DocumentChoice::fromArguments(args);
    if (!owner.isEmpty())
        choice.owner = owner;
    DataSet q(d.db());
    q.setSql(CompletedDocumentsSql(choice));
    q.open();
    QFETCH(QStringList, ids);
    QStringList found;
    for (q.first(); !q.eof(); q.next())
        found << q.text("ID");
    QCOMPARE(sorted(found), sorted(ids));
}

void PrintTest::readCopies_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("copies"); // 0: refused
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("blanks around") << " 3 " << 3;
    QTest::newRow("most") << QString::number(MaxCopies) << MaxCopies;
    QTest::newRow("too many") << QString::number(MaxCopies + 1) << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-2" << 0;
    QTest::newRow("fraction") << "2,5" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("words") << "два" << 0;
}

void PrintTest::readCopies()
{
    QFETCH(QString, answer);
    QFETCH(int, copies);
    QCOMPARE(ReadCopies(answer).value_or(0), copies);
}

// ---------------------------------------------------------------------------
// F4 through the window

void PrintTest::copiesPrompt_data()
{
    QTest::addColumn<QVariant>("answer"); // an invalid QVariant is a cancel
    QTest::addColumn<int>("copies");      // 0: nothing printed
    QTest::addColumn<bool>("refused");
    QTest::newRow("default accepted") << QVariant("2") << 2 << false;
    QTest::newRow("another count") << QVariant("4") << 4 << false;
    QTest::newRow("cancelled") << QVariant() << 0 << false;
    QTest::newRow("zero") << QVariant("0") << 0 << true;
    QTest::newRow("negative") << QVariant("-1") << 0 << true;
    QTest::newRow("not whole") << QVariant("1.5") << 0 << true;
    QTest::newRow("text") << QVariant("много") << 0 << true;
}

void PrintTest::copiesPrompt()
{
    QFETCH(QVariant, answer);
    QFETCH(int, copies);
    QFETCH(bool, refused);
    SIGNED_IN(f);
    MainWindow &w = f->window();
    QVERIFY(selectRow(w, "C2"));
    // What an earlier run left: its count and its print source.
    f->printForm().setCopies(7);
    DataSet &q = printSource(w);
    q.close();
    q.setSql(QStringLiteral("select * from PL where ID=?"), {QStringLiteral("C3")});
    q.open();

    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::Current);
    f->dialogs().plainTextAnswers.enqueue(answer.isValid() ? std::optional<QString>(answer.toString()) : std::nullopt);
    Keys::press(Qt::Key_F4);

    QCOMPARE(f->dialogs().log.mid(0, 2), (QStringList{"scope", promptLine + "2"}));
    if (copies > 0) {
        QCOMPARE(f->printForm().runs.size(), 1);
        const RecordingPrintForm::Run &run = f->printForm().runs.first();
        QVERIFY(run.preview);
        QCOMPARE(run.ids, QStringList{"C2"});
        QCOMPARE(run.copies, copies);
        QVERIFY(!run.pointerShown);
        QCOMPARE(f->printForm().copies(), copies);
        QCOMPARE(f->dialogs().log.size(), 2);
        return;
    }
    QVERIFY(f->printForm().runs.isEmpty());
    QCOMPARE(f->printForm().copies(), 7);
    QCOMPARE(q.isOpen(), true);
    QCOMPARE(q.text("ID"), QStringLiteral("C3"));
    QCOMPARE(f->dialogs().errors().size(), refused ? 1 : 0);
    if (refused)
        QVERIFY2(f->dialogs().errors().first().contains(answer.toString()), qPrintable(f->dialogs().errors().first()));
    QCOMPARE(f->dialogs().log.size(), refused ? 3 : 2);
}

void PrintTest::copiesDefaultReadEachTime()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    QVERIFY(selectRow(w, "C1"));
    // The settings panel changes P4 in the user's row between two runs.
    DataSet &user = w.qPas();
    user.edit();
    user.setText("P4", "5");
    user.post();
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::Current);
    f->dialogs().plainTextAnswers.enqueue(std::nullopt);
    Keys::press(Qt::Key_F4);
    QCOMPARE(f->dialogs().log, (QStringList{"scope", promptLine + "5"}));
}

void PrintTest::currentRefused_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("open") << "O1" << lockedMessage;
    QTest::newRow("reopened") << "R2" << lockedMessage;
    QTest::newRow("saved early") << "S1" << notReadyMessage;
}

void PrintTest::currentRefused()
{
    QFETCH(QString, id);
    QFETCH(QString, message);
    SIGNED_IN(f);
    QVERIFY(selectRow(f->window(), id));
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::Current);
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("1"));
    Keys::press(Qt::Key_F4);
    // Refused before the copies are asked for.
    QCOMPARE(f->dialogs().log, (QStringList{"scope", "message:" + message}));
    QVERIFY(f->printForm().runs.isEmpty());
}

void PrintTest::scopes_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("archive");
    QTest::addColumn<int>("scope");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QStringList>("ids");
    const int marked = int(Dialogs::Scope::Marked);
    const int all = int(Dialogs::Scope::All);
    QTest::newRow("marked") << "1" << false << marked << true << QStringList{"C1", "C2", "U2"};
    QTest::newRow("all") << "1" << false << all << false << QStringList{"C1", "C2", "C3", "U2"};
    QTest::newRow("marked in the archive") << "1" << true << marked << true << QStringList{"A2"};
    QTest::newRow("all in the archive") << "1" << true << all << false << QStringList{"A1", "A2"};
    // User 2's P6 keeps him to his own documents.
    QTest::newRow("own marked") << "2" << false << marked << true << QStringList{"U2"};
    QTest::newRow("own all") << "2" << false << all << false << QStringList{"U2"};
}

void PrintTest::scopes()
{
    QFETCH(QString, password);
    QFETCH(bool, archive);
    QFETCH(int, scope);
    SIGNED_IN(f, password);
    MainWindow &w = f->window();
    w.registerPage()->grid()->setFocus();
    if (archive)
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(w.session().isArchive(), archive);
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope(scope));
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("3"));
    Keys::press(Qt::Key_F4);
    QCOMPARE(f->printForm().runs.size(), 1);
    const RecordingPrintForm::Run &run = f->printForm().runs.first();
    QTEST(run.preview, "preview");
    QFETCH(QStringList, ids);
    QCOMPARE(sorted(run.ids), ids);
    QCOMPARE(run.copies, 3);
    // Printing writes nothing back: states and marks stay.
    QCOMPARE(f->data().scalar("select count(*) from PL where CHEKED='V'").toInt(), 5);
    QCOMPARE(f->data().scalar("select count(*) from PL where PRIZN_DK='3'").toInt(), 4);
}

void PrintTest::markedNoneSaysNothing()
{
    SIGNED_IN(f);
    // Marks left only on documents that may not print.
    f->otherComputer().run(QStringLiteral("update PL set CHEKED='' where PRIZN_DK='3'"));
    f->window().registerPage()->grid()->setFocus();
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::Marked);
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("2"));
    Keys::press(Qt::Key_F4);
    QVERIFY(f->printForm().runs.isEmpty());
    QCOMPARE(f->dialogs().log, (QStringList{"scope", promptLine + "2"}));
}

void PrintTest::viewReloadsFirst()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    f->printForm().setCopies(4);
    QVERIFY(selectRow(w, "C2"));
    Keys::press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f->printForm().runs.size(), 1);
    const RecordingPrintForm::Run &run = f->printForm().runs.first();
    QVERIFY(run.preview);
    QCOMPARE(run.ids, QStringList{"C2"});
    // The count of the last run, untouched; the pointer shown only while the preview is open.
    QCOMPARE(run.copies, 4);
    QVERIFY(run.pointerShown);
    QVERIFY(!QGuiApplication::overrideCursor() || QGuiApplication::overrideCursor()->shape() != Qt::ArrowCursor);
    QCOMPARE(selectedId(w), QStringLiteral("C2"));
    QVERIFY(f->dialogs().log.isEmpty());

    QVERIFY(selectRow(w, "S1"));
    Keys::press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f->dialogs().log, QStringList{"message:" + notReadyMessage});
    QCOMPARE(f->printForm().runs.size(), 1);
}

void PrintTest::viewAfterAnotherComputerOpenedIt()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    QVERIFY(selectRow(w, "C1"));
    f->otherComputer().run(QStringLiteral("update PL set PRIZN_DK='2' where ID='C1'"));
    Keys::press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f->dialogs().log, QStringList{"message:" + lockedMessage});
    QVERIFY(f->printForm().runs.isEmpty());
    QCOMPARE(selectedId(w), QStringLiteral("C1"));

    // In the archive too, the list is read again first.
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QVERIFY(selectRow(w, "A1"));
    f->otherComputer().run(QStringLiteral("update PL_A set PRIZN_DK='1' where ID='A1'"));
    f->dialogs().log.clear();
    Keys::press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f->dialogs().log, QStringList{"message:" + notReadyMessage});
    QVERIFY(selectRow(w, "A2"));
    Keys::press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f->printForm().runs.size(), 1);
    QCOMPARE(f->printForm().runs.first().ids, QStringList{"A2"});
}

// ---------------------------------------------------------------------------
// Qt's preview and printer, the PDF command

namespace {
QVector<PaymentOrder> someDocuments(int count)
{
    QVector<PaymentOrder> docs;
    for (int i = 0; i < count; ++i) {
        PaymentOrder d;
        d.number = QString::number(i + 1);
        d.amount = i;
        docs << d;
    }
    return docs;
}
} // namespace

void PrintTest::realPreviewShowsOnePagePerDocument()
{
    if (Engines::current() != Engine::SQLite)
        QSKIP("no database here: once is enough");
    QtPrintForm form;
    QCOMPARE(form.objectName(), QStringLiteral("QR_blank"));
    form.setCopies(3);
    int pages = -1;
    int copies = -1;
    QRect area;
    QTimer::singleShot(200, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QPrintPreviewDialog *>(top)) {
                if (auto *view = dialog->findChild<QPrintPreviewWidget *>())
                    pages = view->pageCount();
                copies = dialog->printer()->copyCount();
                area = dialog->normalGeometry();
                dialog->reject();
            }
    });
    form.preview(someDocuments(2));
    QCOMPARE(pages, 2);
    QCOMPARE(copies, 3);
    // Without a window manager nothing maximizes the preview, so its own size must be the screen's.
    QCOMPARE(area.size(), QGuiApplication::primaryScreen()->availableGeometry().size());
}

void PrintTest::longRunCanBeCancelled()
{
    if (Engines::current() != Engine::SQLite)
        QSKIP("no database here: once is enough");
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("long.pdf"));
    printer.setCopyCount(2);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto *progress = qApp->findChild<QProgressDialog *>(QStringLiteral("printProgress"))) {
            shown = true;
            progress->cancel();
        }
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *progress = qobject_cast<QProgressDialog *>(top)) {
                shown = true;
                progress->cancel();
            }
    });
    QVERIFY(!QtPrintForm::paint(printer, someDocuments(200)));
    QVERIFY(shown);

    // Uncancelled, a PDF printer gets one page per document and copy.
    QPrinter whole(QPrinter::HighResolution);
    whole.setOutputFormat(QPrinter::PdfFormat);
    whole.setOutputFileName(dir.filePath("whole.pdf"));
    whole.setCopyCount(2);
    QVERIFY(QtPrintForm::paint(whole, someDocuments(3)));
    QCOMPARE(PdfWords::pageCount(dir.filePath("whole.pdf")), 6);
}

void PrintTest::noPrinterSaysSo()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("this computer has a printer");
    QtPrintForm form;
    try {
        form.print(someDocuments(1));
        QFAIL("printed without a printer");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QtPrintForm::noPrinterMessage());
    }
    // Through F4, the all scope shows it as the command's error.
    SIGNED_IN(f);
    QtPrintForm real;
    f->window().session().setPrintForm(&real);
    f->window().registerPage()->grid()->setFocus();
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::All);
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("1"));
    Keys::press(Qt::Key_F4);
    QCOMPARE(f->dialogs().errors(), QStringList{QtPrintForm::noPrinterMessage()});
    f->window().session().setPrintForm(&f->printForm());
}

void PrintTest::dateAndAmountFromTheDatabase()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    QVariantMap row = document("M5", QDate(2007, 3, 5), "3", "");
    row.insert("S", 1234567.891);
    row.insert("VID_PLAT", "3");
    d.addDocument("PL", row);
    QVariantMap empty = document("E0", QDate(2007, 3, 6), "3", "");
    empty.remove("S");
    d.addDocument("PL", empty);
    DataSet q(d.db());
    q.setSql(QStringLiteral("select * from PL where ID=?"), {QStringLiteral("M5")});
    q.open();
    const PaymentOrder doc = PaymentOrder::fromCurrentRow(q);
    QCOMPARE(doc.text("DATE"), QStringLiteral("05.03.07"));
    QCOMPARE(doc.amount.value_or(0), 1234567.891);
    QCOMPARE(doc.text("VID_PLAT"), QStringLiteral("3"));
    q.close();
    q.setSql(QStringLiteral("select * from PL where ID=?"), {QStringLiteral("E0")});
    q.open();
    // No amount entered: none, which the form prints as 0-00.
    QVERIFY(!PaymentOrder::fromCurrentRow(q).amount);
}

namespace {
// The program run as a user runs it, without a display and without a platform named.
int runProgram(const QString &folder, const QStringList &args, QString *errors = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(PAYORDERS_BINARY, args);
    if (!p.waitForFinished(120000))
        return -1;
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

void PrintTest::pdfCommandWithoutDisplay()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.demo = true;
    o.documents = 12;
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    QVariantMap row = document("M5", QDate(2007, 3, 5), "3", "V");
    row.insert("INN_POL", "5012345678");
    d.addDocument("PL", row);
    const int completed = d.scalar("select count(*) from PL where PRIZN_DK='3'").toInt();
    QVERIFY(completed > 1);

    QString errors;
    const QString all = QDir(d.folder()).filePath("all.pdf");
    QCOMPARE(runProgram(d.folder(), {"pdf", all, "--copies", "2"}, &errors), 0);
    QVERIFY2(errors.isEmpty() || !errors.contains("display", Qt::CaseInsensitive), qPrintable(errors));
    QCOMPARE(PdfWords::pageCount(all), 2 * completed);

    const QString one = QDir(d.folder()).filePath("one.pdf");
    QCOMPARE(runProgram(d.folder(), {"pdf", one, "--id", "M5"}), 0);
    QCOMPARE(PdfWords::pageCount(one), 1);
    bool date = false, inn = false, title = false;
    for (const PdfWords::Word &w : PdfWords::read(one)) {
        date = date || (w.text == "05.03.07" && qAbs(w.left - (20 + 94.2)) < 1.0);
        inn = inn || (w.text == "5012345678" && qAbs(w.left - (20 + 10.8)) < 1.0 && qAbs(w.top - (10 + 99.5)) < 1.2);
        title = title || w.text == "0401060";
    }
    QVERIFY(date);
    QVERIFY(inn);
    QVERIFY(title);
}

void PrintTest::pdfCommandRefusesWrongCopies()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    addDocuments(d);
    const QString out = QDir(d.folder()).filePath("none.pdf");
    QCOMPARE(runProgram(d.folder(), {"pdf", out, "--copies", "0"}), 1);
    QVERIFY(!QFile::exists(out));
    // Nothing chosen: no file rather than an empty one.
    QCOMPARE(runProgram(d.folder(), {"pdf", out, "--id", "S1"}), 1);
    QVERIFY(!QFile::exists(out));
    QCOMPARE(runProgram(d.folder(), {"pdf", out, "--archive", "--marked"}), 0);
    QCOMPARE(PdfWords::pageCount(out), 1);
}

void PrintTest::pdfCommandRefusesUnprintableDocument()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    addDocuments(d);
    d.db().run("update PL set S=? where ID='C2'", {QStringLiteral("nan")});
    const QStringList before = QDir(d.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString out = QDir(d.folder()).filePath("run.pdf");
    QString errors;
    QCOMPARE(runProgram(d.folder(), {"pdf", out, "--all"}, &errors), 1);
    // The page is abandoned before the painter saved its state: no warning of Qt's, the document named.
    QVERIFY2(!errors.contains("QPainter"), qPrintable(errors));
    QVERIFY2(errors.contains("C2"), qPrintable(errors));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(QDir(d.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
