#include "support/Engines.h"
#include "support/TempDatabase.h"

#include "store/DataSet.h"

#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

#include <memory>
#include <vector>

namespace {

constexpr int workers = 4;
constexpr int rounds = 40;
constexpr int documents = 30;

QString documentId(int n)
{
    return QStringLiteral("5%1").arg(n, 14, 10, QLatin1Char('0'));
}

QStringList column(Database &db, const QString &sql)
{
    QSqlQuery q = db.run(sql);
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

int count(Database &db, const QString &sql)
{
    const QStringList values = column(db, sql);
    return values.isEmpty() ? -1 : values.first().toInt();
}

} // namespace

class LoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { Engines::addRows(); }
    void severalComputersAtOnce();
};

void LoadTest::severalComputersAtOnce()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.documents = 0;
    TempDatabase d(o);
    QVERIFY2(d.isValid(), qPrintable(d.reason()));
    Database &db = d.db();
    db.execute(QStringLiteral("delete from PL"));
    db.execute(QStringLiteral("delete from PL_A"));
    // Saved and completed documents in both tables; every lock is a worker's own.
    const QStringList states = {"3", "3", "1"};
    for (int n = 0; n < documents; ++n)
        d.addDocument(n % 3 == 2 ? QStringLiteral("PL_A") : QStringLiteral("PL"),
                      {{"ID", documentId(n)}, {"NOM", QString::number(n)}, {"PRIZN_DK", states.at(n % states.size())}});
    db.execute(QStringLiteral("update S_PLAT set PRIOR=''"));
    db.execute(QStringLiteral("update S_PLAT set PRIOR='v' where RID=(select min(RID) from S_PLAT)"));

    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < workers; ++w) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(LOAD_WORKER), {d.folder(), QString::number(w), QString::number(rounds),
                                               QString::number(documents)});
        processes.push_back(std::move(p));
    }
    QSet<QString> deleted;
    int deletions = 0, done = 0, refused = 0, failed = 0;
    for (auto &p : processes) {
        QVERIFY2(p->waitForFinished(300000), "a worker did not finish");
        QCOMPARE(p->exitCode(), 0);
        const QString err = QString::fromLocal8Bit(p->readAllStandardError()).trimmed();
        if (!err.isEmpty())
            qInfo("worker messages:\n%s", qPrintable(err));
        for (const QString &line : QString::fromLocal8Bit(p->readAllStandardOutput()).split(QLatin1Char('\n'))) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (words.value(0) == QLatin1String("deleted")) {
                QVERIFY2(!deleted.contains(words.value(1)), qPrintable("deleted twice: " + words.value(1)));
                deleted.insert(words.value(1));
                ++deletions;
            } else if (words.value(0) == QLatin1String("counts")) {
                done += words.value(1).toInt();
                refused += words.value(2).toInt();
                failed += words.value(3).toInt();
            }
        }
    }

    const QStringList inPl = column(db, QStringLiteral("select ID from PL"));
    const QStringList inArchive = column(db, QStringLiteral("select ID from PL_A"));
    QSet<QString> everywhere;
    int doubled = 0;
    for (const QString &id : inPl + inArchive) {
        if (everywhere.contains(id))
            ++doubled;
        everywhere.insert(id);
    }
    int lost = 0, deletedYetThere = 0;
    for (int n = 0; n < documents; ++n) {
        const QString id = documentId(n);
        if (deleted.contains(id))
            deletedYetThere += everywhere.contains(id) ? 1 : 0;
        else
            lost += everywhere.contains(id) ? 0 : 1;
    }
    const int locked = count(db, QStringLiteral("select count(*) from PL where PRIZN_DK in ('0','2')"))
                       + count(db, QStringLiteral("select count(*) from PL_A where PRIZN_DK in ('0','2')"));
    const int defaults = count(db, QStringLiteral("select count(*) from S_PLAT where PRIOR='v'"));
    const int payers = count(db, QStringLiteral("select count(*) from S_PLAT"));
    qInfo("%d computers x %d rounds over %d documents: %d commands done, %d refused as changed elsewhere, "
          "%d failed with a message",
          workers, rounds, documents, done, refused, failed);
    qInfo("at the end: %lld in PL, %lld in PL_A, %d deleted, %d lost, %d doubled, %d deleted yet there, "
          "%d locked, %d payers, %d default",
          qint64(inPl.size()), qint64(inArchive.size()), deletions, lost, doubled, deletedYetThere, locked,
          payers, defaults);
    QCOMPARE(doubled, 0);
    QCOMPARE(lost, 0);
    QCOMPARE(deletedYetThere, 0);
    QCOMPARE(inPl.size() + inArchive.size() + deletions, documents);
    QCOMPARE(locked, 0); // every worker has ended: a lock now is held by nobody
    QCOMPARE(defaults, 1);
    QVERIFY(done > 0);
}

QTEST_MAIN(LoadTest)
#include "tst_load.moc"
