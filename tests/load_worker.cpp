// One computer of the load test: a bounded number of rounds of the register's
// commands and the payer directory's changes on a shared database. Prints every
// document it deleted ("deleted ID") and its counts at the end.
#include "directories/DefaultPayer.h"
#include "document/DocumentState.h"
#include "register/ArchiveMoveCommand.h"
#include "register/DeleteDocumentsCommand.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cstdio>

namespace {

QString documentId(int n)
{
    return QStringLiteral("5%1").arg(n, 14, 10, QLatin1Char('0'));
}

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct Counts
{
    int done = 0, refused = 0, failed = 0;
};

// The editor's way: take the lock, change the text, store and release in one post.
bool openAndStore(Database &db, const QString &id, const QString &text)
{
    DataSet doc(db);
    doc.setSql(QStringLiteral("select * from PL where ID=?"), {id});
    doc.open();
    if (doc.isEmpty() || !TakeDocumentLock(doc))
        return false;
    doc.edit();
    doc.setValue(QStringLiteral("NAZNACH1"), text);
    doc.setValue(QStringLiteral("PRIZN_DK"), DocumentState::releasedFrom(doc.text(QStringLiteral("PRIZN_DK"))));
    try {
        doc.post();
    } catch (const RowChangedError &) {
        // Unlocked with Ctrl+F3 elsewhere meanwhile: the state now stored is that computer's.
        doc.cancel();
        throw;
    } catch (const AppError &) {
        // As leaving the editor does: the lock goes back, or the user is told it could not.
        doc.cancel();
        ReleaseDocumentLock(doc);
        throw;
    }
    return true;
}

bool unlock(Database &db, const QString &table, const QString &id)
{
    DataSet doc(db);
    doc.setSql(QStringLiteral("select * from %1 where ID=?").arg(table), {id});
    doc.open();
    return !doc.isEmpty() && ReleaseDocumentLock(doc);
}

bool mark(Database &db, const QString &table, const QString &id)
{
    DataSet doc(db);
    doc.setSql(QStringLiteral("select * from %1 where ID=?").arg(table), {id});
    doc.open();
    if (doc.isEmpty())
        return false;
    const QString seen = doc.text(QStringLiteral("PRIZN_DK"));
    if (DocumentState::isLocked(seen))
        return false;
    doc.edit();
    doc.setValue(QStringLiteral("CHEKED"), doc.text(QStringLiteral("CHEKED")).isEmpty() ? QStringLiteral("v") : QString());
    return doc.postExpecting(QStringLiteral("PRIZN_DK"), seen);
}

bool addPayerAndMakeDefault(Database &db, const QString &id, QRandomGenerator &random)
{
    DataSet payers(db);
    payers.setSql(QStringLiteral("select * from S_PLAT order by RID"));
    payers.open();
    payers.insert();
    payers.setValue(QStringLiteral("ID"), id);
    payers.setValue(QStringLiteral("NAME"), QStringLiteral("Плательщик ") + id.right(4));
    payers.setValue(QStringLiteral("BIK"), QStringLiteral("044525225"));
    payers.post();
    payers.setRecNo(int(random.bounded(payers.recordCount())));
    MakeDefaultPayer(db, payers);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: load_worker FOLDER WORKER ROUNDS DOCUMENTS\n");
        return 2;
    }
    const QString folder = args.at(1);
    const int worker = args.at(2).toInt();
    const int rounds = args.at(3).toInt();
    const int documents = args.at(4).toInt();
    Database db;
    try {
        db.open(DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl"))), folder);
    } catch (const AppError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    QRandomGenerator random(quint32(1000 + worker));
    Counts counts;
    for (int round = 0; round < rounds; ++round) {
        const int first = int(random.bounded(documents));
        const QString id = documentId(first);
        const QString table = random.bounded(2) ? QStringLiteral("PL") : QStringLiteral("PL_A");
        const int op = int(random.bounded(6));
        try {
            bool done = false;
            switch (op) {
            case 0:
                done = openAndStore(db, id, QStringLiteral("computer %1 round %2").arg(worker).arg(round));
                break;
            case 1:
                done = unlock(db, table, id);
                break;
            case 2:
                done = mark(db, table, id);
                break;
            case 3:
                // One at a time, so that every deleted document is named.
                for (int k = 0; k < 2; ++k) {
                    const QString victim = documentId((first + k) % documents);
                    if (DeleteDocuments(db, table, {victim}) == 1) {
                        say(QStringLiteral("deleted ") + victim);
                        done = true;
                    }
                }
                break;
            case 4: {
                QStringList ids;
                for (int k = 0; k < 4; ++k)
                    ids << documentId((first + k) % documents);
                done = MoveDocuments(db, table == QLatin1String("PL"), ids) > 0;
                break;
            }
            case 5:
                done = addPayerAndMakeDefault(db, QStringLiteral("9%1%2").arg(worker, 4, 10, QLatin1Char('0')).arg(round, 10, 10, QLatin1Char('0')), random);
                break;
            }
            counts.done += done ? 1 : 0;
        } catch (const RowChangedError &) {
            ++counts.refused;
        } catch (const AppError &e) {
            ++counts.failed;
            std::fprintf(stderr, "round %d op %d: %s\n", round, op, qPrintable(e.message()));
        }
    }
    say(QStringLiteral("counts %1 %2 %3").arg(counts.done).arg(counts.refused).arg(counts.failed));
    return 0;
}
