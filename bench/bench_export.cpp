// The export to the bank of 10,000 completed orders, one in ten a tax payment, by the
// export-bank command's own code: every order read, checked and written to a client-bank
// file in Windows-1251; the time, the processor time and the peak memory.
// Usage: bench_export sqlite|postgresql [orders]
#include "BenchSupport.h"
#include "support/BankSamples.h"
#include "support/TempDatabase.h"

#include "app/ExportBankCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <sys/resource.h>

namespace {

QTextStream &out = Bench::out();
using Bench::cpuSeconds;
using Bench::peakMb;
using Bench::resetPeak;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int count = Bench::numberArgument(args, 2, 10000);

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const QString engineName = Bench::engineName(options.engine);
    options.documents = 0;
    TempDatabase data(options);
    if (!data.isValid()) {
        out << "bench_export: " << data.reason() << "\n";
        return 1;
    }
    data.db().transaction();
    for (int i = 0; i < count; ++i) {
        const QString id = QStringLiteral("E%1").arg(i, 14, 10, QLatin1Char('0'));
        const QString number = QString::number(i % 999999 + 1);
        const QDate date = QDate(2026, 1, 1).addDays(i % 365);
        data.addDocument(QStringLiteral("PL"), i % 10 == 0 ? BankSamples::taxOrder(id, number, date) : BankSamples::order(id, number, date));
    }
    data.db().commit();

    // The command works in the folder's sql.udl, as a user runs it.
    const QString home = QDir::currentPath();
    QDir::setCurrent(data.folder());
    const QString file = QDir(data.folder()).filePath(QStringLiteral("1c_to_kl.txt"));
    resetPeak();
    const long baseline = peakMb();
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    const int status = ExportBankCommand({file, QStringLiteral("--all")});
    const qint64 ms = timer.elapsed();
    const double cpu = cpuSeconds() - cpuBefore;
    // Out of the folder before it is removed.
    QDir::setCurrent(home);
    out << "bench_export " << engineName << ": " << count << " completed orders checked and written to the bank's file in " << ms
        << " ms (" << QString::number(cpu, 'f', 2) << " s of processor time), file " << QFileInfo(file).size() / 1024
        << " KiB, peak memory " << peakMb() << " MB (" << baseline << " MB before), status " << status << "\n";
    return status;
}
