#include "support/BankSamples.h"
#include "support/Engines.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "directories/MenuPanel.h"
#include "register/RegisterPage.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QString sendEntry = QStringLiteral("ВЫГРУЗКА В БАНК");
const QString loadEntry = QStringLiteral("ЗАГРУЗКА СПРАВОЧНИКА БАНКОВ");
const QString sendCaption = QStringLiteral("Выгрузка в банк");
const QString loadPrompt = QStringLiteral("plain:Справочник банков|Файл ED807 или BNKSEEK.DBF|");

// The current list, newest first: G1 and T1 (a tax payment) completed and marked, G2 completed,
// S1 saved early and marked, O1 open elsewhere and marked, U2 user 2's, completed and marked.
// The archive: A1 completed, A2 saved early.
void addDocuments(TempDatabase &d)
{
    using namespace BankSamples;
    d.addDocument("PL", order("G1", "101", QDate(2026, 12, 9)));
    QVariantMap tax = taxOrder("T1", "102", QDate(2026, 12, 8));
    tax.insert("P22_KOD", "18209965264512345678");
    d.addDocument("PL", tax);
    QVariantMap unmarked = order("G2", "103", QDate(2026, 12, 7));
    unmarked.insert("CHEKED", "");
    d.addDocument("PL", unmarked);
    QVariantMap saved = order("S1", "104", QDate(2026, 12, 6));
    saved.insert("PRIZN_DK", "1");
    d.addDocument("PL", saved);
    QVariantMap open = order("O1", "105", QDate(2026, 12, 5));
    open.insert("PRIZN_DK", "0");
    d.addDocument("PL", open);
    QVariantMap other = order("U2", "106", QDate(2026, 12, 4));
    other.insert("LOGIN", "2");
    d.addDocument("PL", other);
    d.addDocument("PL_A", order("A1", "90", QDate(2026, 11, 2)));
    QVariantMap archivedSaved = order("A2", "91", QDate(2026, 11, 1));
    archivedSaved.insert("PRIZN_DK", "1");
    d.addDocument("PL_A", archivedSaved);
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

// F2, Down to the entry, Enter: as the user chooses it.
void chooseFromMenu(const QString &entry)
{
    Keys::press(Qt::Key_F2);
    const int row = int(MenuPanel::entries().indexOf(entry));
    for (int i = 0; i < row; ++i)
        Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Return);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString digest(const QString &path)
{
    return QString::fromLatin1(QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha1).toHex());
}

// The numbers of the orders an exchange file holds, and its Код= lines, read back in Windows-1251.
struct Written
{
    int sections = 0;
    QStringList numbers;
    QStringList codes;
    bool crlf = false;
};

Written readBack(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    Written w;
    w.crlf = !bytes.isEmpty() && bytes.count('\n') == bytes.count("\r\n");
    const QString text = QStringDecoder("windows-1251").decode(bytes);
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QStringLiteral("СекцияДокумент=")))
            ++w.sections;
        else if (line.startsWith(QStringLiteral("Номер=")))
            w.numbers << line.mid(6);
        else if (line.startsWith(QStringLiteral("Код=")))
            w.codes << line.mid(4);
    }
    return w;
}

QStringList bankRows(TempDatabase &d)
{
    QSqlQuery q = d.db().run(QStringLiteral("select NEWNUM, NAMEP, KSNP from BANK order by NEWNUM"));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + QLatin1Char('|') + q.value(1).toString() + QLatin1Char('|') + q.value(2).toString();
    return rows;
}

QString write(TempDatabase &d, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(d.folder()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class BankMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void menuHasFiveEntries();

    void sendsChosenOrders_data();
    void sendsChosenOrders();
    void currentRefused_data();
    void currentRefused();
    void endsWhereCancelled_data();
    void endsWhereCancelled();
    void problemsAskedFirst_data();
    void problemsAskedFirst();
    void refusedOutputWritesNothing_data();
    void refusedOutputWritesNothing();

    void loadsBankDirectory();
    void loadRefusedLeavesBanks_data();
    void loadRefusedLeavesBanks();

private:
    std::unique_ptr<WindowFixture> signedIn(const QString &password = QStringLiteral("1"),
                                            const std::function<void(TempDatabase &)> &more = {});
};

void BankMenuTest::initTestCase_data()
{
    Engines::addRows();
}

std::unique_ptr<WindowFixture> BankMenuTest::signedIn(const QString &password, const std::function<void(TempDatabase &)> &more)
{
    auto f = WindowFixture::signedInOver(password, [&](TempDatabase &d) {
        addDocuments(d);
        if (more)
            more(d);
    });
    if (f)
        f->dialogs().log.clear();
    return f;
}

void BankMenuTest::menuHasFiveEntries()
{
    SIGNED_IN(f);
    Keys::press(Qt::Key_F2);
    QCOMPARE(focusName(), QStringLiteral("lb_menu"));
    QListWidget *list = f->window().menuPanel()->list();
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("ПАРАМЕТРЫ"), QStringLiteral("СПРАВОЧНИК ПЛАТЕЛЬЩИКОВ"),
                                   QStringLiteral("СПРАВОЧНИК ПОЛУЧАТЕЛЕЙ"), sendEntry, loadEntry}));
    // Every entry shows whole in the panel.
    for (int i = 0; i < list->count(); ++i)
        QVERIFY2(list->visualItemRect(list->item(i)).right() <= list->viewport()->width()
                     && list->visualItemRect(list->item(i)).bottom() <= list->viewport()->height(),
                 qPrintable(list->item(i)->text()));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void BankMenuTest::sendsChosenOrders_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("archive");
    QTest::addColumn<QString>("current"); // the selected row, for the current scope
    QTest::addColumn<int>("scope");
    QTest::addColumn<QStringList>("numbers"); // written, by date
    const int current = int(Dialogs::Scope::Current);
    const int marked = int(Dialogs::Scope::Marked);
    const int all = int(Dialogs::Scope::All);
    QTest::newRow("current") << "1" << false << "T1" << current << QStringList{"102"};
    QTest::newRow("marked") << "1" << false << "" << marked << QStringList{"106", "102", "101"};
    QTest::newRow("all") << "1" << false << "" << all << QStringList{"106", "103", "102", "101"};
    QTest::newRow("all in the archive") << "1" << true << "" << all << QStringList{"90"};
    QTest::newRow("current in the archive") << "1" << true << "A1" << current << QStringList{"90"};
    // User 2's P6 keeps him to his own documents.
    QTest::newRow("own marked") << "2" << false << "" << marked << QStringList{"106"};
    QTest::newRow("own all") << "2" << false << "" << all << QStringList{"106"};
}

void BankMenuTest::sendsChosenOrders()
{
    QFETCH(QString, password);
    QFETCH(bool, archive);
    QFETCH(QString, current);
    QFETCH(int, scope);
    QFETCH(QStringList, numbers);
    SIGNED_IN(f, password);
    MainWindow &w = f->window();
    w.registerPage()->grid()->setFocus();
    if (archive)
        Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(w.session().isArchive(), archive);
    if (!current.isEmpty())
        QVERIFY(selectRow(w, current));
    const QString path = QDir(f->data().folder()).filePath(QStringLiteral("1c_to_kl.txt"));
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope(scope));
    f->dialogs().plainTextAnswers.enqueue(path);
    chooseFromMenu(sendEntry);

    QCOMPARE(f->dialogs().log, (QStringList{"scope", "plain:" + sendCaption + "|Имя файла|" + path,
                                            QStringLiteral("message:Выгружено документов: %1 в %2").arg(numbers.size()).arg(path)}));
    const Written written = readBack(path);
    QVERIFY(written.crlf);
    QCOMPARE(written.sections, numbers.size());
    QCOMPARE(written.numbers, numbers);
    // The tax payment carries its field 22; the others have none.
    QCOMPARE(written.codes, numbers.contains("102") ? QStringList{"18209965264512345678"} : QStringList{});
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(!w.menuPanel()->isVisible());
}

void BankMenuTest::currentRefused_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("open elsewhere") << "O1" << "Документ блокирован с другого компьютера!";
    QTest::newRow("saved early") << "S1" << "Документ не готов к печати!";
}

void BankMenuTest::currentRefused()
{
    QFETCH(QString, id);
    QFETCH(QString, message);
    SIGNED_IN(f);
    QVERIFY(selectRow(f->window(), id));
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::Current);
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("out.txt"));
    chooseFromMenu(sendEntry);
    QCOMPARE(f->dialogs().log, (QStringList{"scope", "message:" + message}));
    QVERIFY(!QFile::exists(QDir(f->data().folder()).filePath(QStringLiteral("out.txt"))));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void BankMenuTest::endsWhereCancelled_data()
{
    QTest::addColumn<bool>("scopeCancelled");
    QTest::newRow("scope dialog") << true;
    QTest::newRow("file name box") << false;
}

void BankMenuTest::endsWhereCancelled()
{
    QFETCH(bool, scopeCancelled);
    SIGNED_IN(f);
    f->dialogs().scopeAnswers.enqueue(scopeCancelled ? Dialogs::Scope::Cancel : Dialogs::Scope::All);
    f->dialogs().plainTextAnswers.enqueue(std::nullopt);
    const QStringList before = QDir(f->data().folder()).entryList(QDir::Files);
    chooseFromMenu(sendEntry);
    const QString path = QDir(f->data().folder()).filePath(QStringLiteral("1c_to_kl.txt"));
    const QStringList asked = scopeCancelled ? QStringList{"scope"} : QStringList{"scope", "plain:" + sendCaption + "|Имя файла|" + path};
    QCOMPARE(f->dialogs().log, asked);
    QCOMPARE(QDir(f->data().folder()).entryList(QDir::Files), before);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void BankMenuTest::problemsAskedFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No writes nothing") << false;
    QTest::newRow("Yes writes them all") << true;
}

void BankMenuTest::problemsAskedFirst()
{
    QFETCH(bool, yes);
    // Twelve more completed orders, each with a payer's INN whose check digit is off.
    SIGNED_IN(f, QStringLiteral("1"), [](TempDatabase &d) {
        for (int i = 0; i < 12; ++i) {
            QVariantMap bad = BankSamples::order(QStringLiteral("B%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(200 + i),
                                                QDate(2026, 12, 10).addDays(i));
            bad.insert("INN_PL", "7707083894");
            d.addDocument("PL", bad);
        }
    });
    const QString path = QDir(f->data().folder()).filePath(QStringLiteral("1c_to_kl.txt"));
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::All);
    f->dialogs().yesNoAnswers.enqueue(yes);
    f->dialogs().plainTextAnswers.enqueue(path);
    chooseFromMenu(sendEntry);

    const QStringList log = f->dialogs().log;
    QVERIFY2(log.size() >= 2, qPrintable(log.join(QLatin1Char('\n'))));
    QCOMPARE(log.at(0), QStringLiteral("scope"));
    QVERIFY2(log.at(1).startsWith("yesno:" + sendCaption + "|"), qPrintable(log.at(1)));
    const QStringList lines = log.at(1).mid(log.at(1).indexOf(QLatin1Char('|')) + 1).split(QLatin1Char('\n'));
    QCOMPARE(lines.last(), QStringLiteral("Выгрузить всё равно?"));
    // The first ten, each naming its document and the INN, then how many more.
    QStringList named;
    for (const QString &line : lines)
        if (line.startsWith(QStringLiteral("документ № ")))
            named << line;
    QCOMPARE(named.size(), 10);
    for (int i = 0; i < 10; ++i)
        QVERIFY2(named.at(i).contains(QStringLiteral("№ %1 ").arg(200 + i)) && named.at(i).contains(QStringLiteral("ИНН 7707083894")),
                 qPrintable(named.at(i)));
    QVERIFY(lines.contains(QStringLiteral("… и ещё 2")));
    if (!yes) {
        QCOMPARE(log.size(), 2);
        QVERIFY(!QFile::exists(path));
    } else {
        QCOMPARE(log.mid(2), (QStringList{"plain:" + sendCaption + "|Имя файла|" + path,
                                          QStringLiteral("message:Выгружено документов: 16 в %1").arg(path)}));
        QCOMPARE(readBack(path).sections, 16);
    }
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void BankMenuTest::refusedOutputWritesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("sqliteOnly");
    QTest::newRow("the database") << "payorders.db" << true;
    QTest::newRow("the database's journal") << "payorders.db-journal" << true;
    QTest::newRow("the data link") << "sql.udl" << false;
    QTest::newRow("the working folder") << "." << false;
}

void BankMenuTest::refusedOutputWritesNothing()
{
    QFETCH(QString, answer);
    QFETCH(bool, sqliteOnly);
    if (sqliteOnly && Engines::current() != Engine::SQLite)
        QSKIP("the database is on the server");
    SIGNED_IN(f);
    const QDir folder(f->data().folder());
    QStringList before;
    for (const QString &name : folder.entryList(QDir::Files))
        before << name + QLatin1Char(' ') + digest(folder.filePath(name));
    const int documents = f->data().scalar(QStringLiteral("select count(*) from PL")).toInt();
    f->dialogs().scopeAnswers.enqueue(Dialogs::Scope::All);
    f->dialogs().plainTextAnswers.enqueue(answer);
    chooseFromMenu(sendEntry);

    const QStringList errors = f->dialogs().errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(QStringLiteral("Файл %1 не записан: ").arg(answer)), qPrintable(errors.first()));
    QVERIFY(f->dialogs().messages().isEmpty());
    QStringList after;
    for (const QString &name : folder.entryList(QDir::Files))
        after << name + QLatin1Char(' ') + digest(folder.filePath(name));
    QCOMPARE(after, before);
    // The database still answers, with every document.
    QCOMPARE(f->data().scalar(QStringLiteral("select count(*) from PL")).toInt(), documents);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
}

void BankMenuTest::loadsBankDirectory()
{
    SIGNED_IN(f);
    MainWindow &w = f->window();
    const QString payerBik = f->data().scalar(QStringLiteral("select BIK from S_PLAT where PRIOR='v'")).toString();
    QVERIFY(!payerBik.isEmpty());
    const QList<BankSamples::Bank> banks = {
        {payerBik, QStringLiteral("БАНК ПЛАТЕЛЬЩИКА (НОВОЕ НАЗВАНИЕ)"), QStringLiteral("30101810000000000123")},
        {QStringLiteral("044525187"), QStringLiteral("БАНК ВТБ (ПАО)"), QStringLiteral("30101810700000000187")},
        {QStringLiteral("017003983"), QStringLiteral("ОТДЕЛЕНИЕ ТУЛА"), QString()},
    };
    write(f->data(), QStringLiteral("ed807.xml"), BankSamples::ed807(banks));
    const QString path = QDir(f->data().folder()).filePath(QStringLiteral("ed807.xml"));
    // Typed as a name in the working folder.
    f->dialogs().plainTextAnswers.enqueue(QStringLiteral("ed807.xml"));
    chooseFromMenu(loadEntry);

    const QStringList log = f->dialogs().log;
    QCOMPARE(log.mid(0, 4), (QStringList{loadPrompt, "progress:Справочник банков|Чтение файла " + path,
                                         "progress label:Запись банков в справочник", "progress closed"}));
    QVERIFY2(log.value(4).startsWith(QStringLiteral("message:Загружено банков: 3\nСправочник банков заменён целиком")),
             qPrintable(log.value(4)));
    QVERIFY2(log.value(4).contains(path), qPrintable(log.value(4)));
    QCOMPARE(log.size(), 5);
    QVERIFY(f->dialogs().reports > 0);
    QCOMPARE(f->dialogs().lastReport, (std::pair<qint64, qint64>{3, 3}));
    QStringList expected;
    for (const BankSamples::Bank &b : banks)
        expected << b.bik + QLatin1Char('|') + b.name + QLatin1Char('|') + b.correspondent;
    expected.sort();
    QCOMPARE(bankRows(f->data()), expected);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));

    // The register's look-up sees the new name at once: a new document takes it.
    Keys::press(Qt::Key_Insert);
    QCOMPARE(w.q1().state(), DataSet::State::Insert);
    QCOMPARE(w.q1().text(QStringLiteral("BANK_PL1")), QStringLiteral("БАНК ПЛАТЕЛЬЩИКА (НОВОЕ НАЗВАНИЕ)"));
    QCOMPARE(w.q1().text(QStringLiteral("K_SBANK_DT")), QStringLiteral("30101810000000000123"));
}

void BankMenuTest::loadRefusedLeavesBanks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("cancelAt");   // the progress report at which the user cancels; 0: never
    QTest::addColumn<QString>("message"); // what the error says
    const QByteArray many = BankSamples::ed807(BankSamples::manyBanks(250));
    QTest::newRow("cancelled while reading") << many << 1 << "Загрузка отменена";
    // Reports: the reader's end, then every hundred banks written, then the end before the commit.
    QTest::newRow("cancelled while writing") << many << 3 << "Загрузка отменена";
    QTest::newRow("cancelled at the end of writing") << many << 4 << "Загрузка отменена";
    QTest::newRow("file cut short") << many.left(many.size() / 2) << 0 << "файл обрывается";
    QTest::newRow("file without banks") << BankSamples::ed807({}) << 0 << "нет ни одного банка";
    QTest::newRow("not a bank directory") << QByteArray("БИК;Название\n") << 0 << "ни справочником";
    QTest::newRow("no such file") << QByteArray() << 0 << "Не открывается файл";
}

void BankMenuTest::loadRefusedLeavesBanks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, cancelAt);
    QFETCH(QString, message);
    SIGNED_IN(f);
    const QStringList before = bankRows(f->data());
    QVERIFY(!before.isEmpty());
    const QString name = QTest::currentDataTag() == QLatin1String("no such file") ? QStringLiteral("absent.xml") : QStringLiteral("banks.xml");
    if (!bytes.isEmpty())
        write(f->data(), name, bytes);
    f->dialogs().cancelAtReport = cancelAt;
    f->dialogs().plainTextAnswers.enqueue(name);
    chooseFromMenu(loadEntry);

    const QStringList errors = f->dialogs().errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(message), qPrintable(errors.first()));
    if (cancelAt)
        QCOMPARE(errors.first(), QStringLiteral("Загрузка отменена"));
    QVERIFY(f->dialogs().log.contains(QStringLiteral("progress closed")) || !f->dialogs().log.join(QLatin1Char('\n')).contains("progress:"));
    QVERIFY(f->dialogs().messages().isEmpty());
    QCOMPARE(bankRows(f->data()), before);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    // The same file whole, uncancelled, then loads.
    if (cancelAt) {
        f->dialogs().cancelAtReport = 0;
        f->dialogs().plainTextAnswers.enqueue(name);
        chooseFromMenu(loadEntry);
        QCOMPARE(bankRows(f->data()).size(), 250);
    }
}

QTEST_MAIN(BankMenuTest)
#include "tst_bankmenu.moc"
