// Several computers press Enter on one completed document at the same moment:
// each round every child process opens the document afresh and takes the lock as
// the register does; exactly one may win. Prints the winners per round, the
// answers, the errors and the times.
// Usage: bench_lock sqlite|postgresql [rounds] [children]
//        bench_lock --child FOLDER ID   (started by the parent: one computer)
#include "support/TempDatabase.h"

#include "document/DocumentState.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/DataLink.h"
#include "store/DataSet.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString DocumentId = QStringLiteral("010126120000000");
const QString StateColumn = QStringLiteral("PRIZN_DK");
// The parent gives up on a child that has not answered in this time.
constexpr int AnswerTimeoutMs = 60000;

// What the register's Enter does to take the lock, on a list of its own.
QString pressEnter(Database &db, const QString &id)
{
    DataSet documents(db);
    documents.close();
    documents.setSql(QStringLiteral("select * from PL where ID=?"), {id});
    documents.open();
    if (documents.isEmpty())
        return QStringLiteral("error the document is gone");
    if (DocumentState::isLocked(documents.text(StateColumn)))
        return QStringLiteral("locked");
    return TakeDocumentLock(documents) ? QStringLiteral("won") : QStringLiteral("lost");
}

// One computer: connects, says "ready", then answers every "go" line.
int runChild(const QString &folder, const QString &id)
{
    QTextStream out(stdout);
    Database db;
    try {
        db.open(DataLink::readFile(QDir(folder).filePath(QStringLiteral("sql.udl"))), folder);
    } catch (const AppError &error) {
        out << "error " << error.message().simplified() << Qt::endl;
        return 1;
    }
    out << "ready" << Qt::endl;
    std::string line;
    while (std::getline(std::cin, line) && line == "go") {
        QString answer;
        try {
            answer = pressEnter(db, id);
        } catch (const AppError &error) {
            answer = QStringLiteral("error ") + error.message().simplified();
        }
        out << answer << Qt::endl;
    }
    return 0;
}

QString readAnswer(QProcess &child)
{
    while (!child.canReadLine())
        if (!child.waitForReadyRead(AnswerTimeoutMs))
            return QStringLiteral("error no answer: ") + child.errorString();
    return QString::fromUtf8(child.readLine()).trimmed();
}

double ms(qint64 ns)
{
    return ns / 1e6;
}

int runParent(const QString &engineName, int rounds, int children)
{
    QTextStream out(stdout);
    TempDatabase::Options options;
    options.engine = engineName == QLatin1String("postgresql") ? Engine::PostgreSQL : Engine::SQLite;
    TempDatabase data(options);
    if (!data.isValid()) {
        out << "cannot prepare the database: " << data.reason() << "\n";
        return 1;
    }
    data.addDocument(QStringLiteral("PL"), {{QStringLiteral("ID"), DocumentId},
                                            {QStringLiteral("NOM"), QStringLiteral("1")},
                                            {QStringLiteral("DATE"), QDate(2026, 1, 1)},
                                            {QStringLiteral("LOGIN"), QStringLiteral("1")},
                                            {StateColumn, DocumentState::Completed}});
    const QString reset = QStringLiteral("update PL set PRIZN_DK='3' where ID='%1'").arg(DocumentId);

    std::vector<std::unique_ptr<QProcess>> computers;
    for (int i = 0; i < children; ++i) {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--child"), data.folder(), DocumentId});
        computers.push_back(std::move(child));
    }
    for (auto &child : computers) {
        const QString hello = readAnswer(*child);
        if (hello != QLatin1String("ready")) {
            out << "a child did not start: " << hello << "\n";
            return 1;
        }
    }

    QMap<QString, int> answers;
    QMap<QString, int> errors;
    int minWinners = children + 1, maxWinners = -1, rightRounds = 0, storedWrong = 0;
    std::vector<double> roundMs;
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        // Every computer gets its Enter before any answer is read.
        for (auto &child : computers)
            child->write("go\n");
        for (auto &child : computers)
            child->waitForBytesWritten(AnswerTimeoutMs);
        int winners = 0;
        for (auto &child : computers) {
            const QString answer = readAnswer(*child);
            if (answer.startsWith(QLatin1String("error"))) {
                ++answers[QStringLiteral("error")];
                ++errors[answer.mid(6)];
                continue;
            }
            ++answers[answer];
            winners += answer == QLatin1String("won");
        }
        roundMs.push_back(ms(timer.nsecsElapsed()));
        minWinners = std::min(minWinners, winners);
        maxWinners = std::max(maxWinners, winners);
        rightRounds += winners == 1;
        // The stored lock must be the one winner's: "3" became "2".
        const QString stored = data.scalar(QStringLiteral("select PRIZN_DK from PL where ID='%1'").arg(DocumentId)).toString();
        storedWrong += (stored == DocumentState::Reopened) != (winners == 1);
        data.db().execute(reset);
    }
    const double totalMs = ms(total.nsecsElapsed());

    for (auto &child : computers) {
        child->closeWriteChannel();
        if (!child->waitForFinished(AnswerTimeoutMs))
            child->kill();
    }

    std::sort(roundMs.begin(), roundMs.end());
    const auto at = [&](double q) { return roundMs.empty() ? 0.0 : roundMs.at(size_t(q * (roundMs.size() - 1))); };
    out << "Lock race, " << engineName << ": " << children << " computers press Enter on one document, "
        << rounds << " rounds\n";
    out << QStringLiteral("  rounds with exactly one editor   %1 of %2\n").arg(rightRounds).arg(rounds);
    out << QStringLiteral("  winners per round                min %1, max %2\n").arg(minWinners).arg(maxWinners);
    out << QStringLiteral("  stored state not the winner's    %1 rounds\n").arg(storedWrong);
    out << QStringLiteral("  answers                          won %1, lost %2, locked %3, error %4\n")
               .arg(answers.value(QStringLiteral("won")))
               .arg(answers.value(QStringLiteral("lost")))
               .arg(answers.value(QStringLiteral("locked")))
               .arg(answers.value(QStringLiteral("error")));
    for (auto it = errors.begin(); it != errors.end(); ++it)
        out << QStringLiteral("  error \"%1\"  %2 times\n").arg(it.key()).arg(it.value());
    out << QStringLiteral("  total time                       %1 ms\n").arg(totalMs, 0, 'f', 0);
    out << QStringLiteral("  one round                        median %1 ms, 95% %2 ms, max %3 ms\n")
               .arg(at(0.5), 0, 'f', 1)
               .arg(at(0.95), 0, 'f', 1)
               .arg(at(1.0), 0, 'f', 1);
    out.flush();
    // Not exactly one editor in some round is a fault, not a figure.
    return rightRounds == rounds && storedWrong == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--child"))
        return runChild(args.value(2), args.value(3));
    return runParent(args.value(1, QStringLiteral("sqlite")), args.value(2, QStringLiteral("200")).toInt(),
                     args.value(3, QStringLiteral("8")).toInt());
}
