// The export to the bank of 10,000 completed orders, one in ten a tax payment, by the
// export-bank command's own code: every order read, checked and written to a client-bank
// file in Windows-1251; the time, the processor time and the peak memory.
// Usage: bench_export sqlite|postgresql [orders]
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

QTextStream out(stdout);

// The high-water mark of the resident memory (VmHWM), in MB.
long peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// Starts the high-water mark again from the present size, so that making the orders does not count.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The processor time used so far, which a loaded machine does not stretch as it does the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString engineName = args.value(1, QStringLiteral("sqlite"));
    const int count = args.value(2, QStringLiteral("10000")).toInt();

    TempDatabase::Options options;
    options.engine = engineName == QLatin1String("postgresql") ? Engine::PostgreSQL : Engine::SQLite;
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
