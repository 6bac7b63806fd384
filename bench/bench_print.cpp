// A thousand completed documents written to a PDF by the command-line mode's own
// code: time of reading, of drawing, the file's size and the peak memory.
// Usage: bench_print sqlite|postgresql [documents]
#include "BenchSupport.h"
#include "support/TempDatabase.h"

#include "app/PdfCommand.h"
#include "store/Database.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <sys/resource.h>

namespace {

using Bench::cpuSeconds;

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QVariantMap document(int i)
{
    const QString n = QString::number(i);
    return {{"ID", QStringLiteral("B%1").arg(i, 14, 10, QLatin1Char('0'))},
            {"NOM", n},
            {"DATE", QDate(2024, 1, 1).addDays(i % 365)},
            {"S", 1000.0 + i * 1.25},
            {"NAME_PL1", QStringLiteral("ООО \"Плательщик\" номер %1").arg(n)},
            {"INN_PL", "7701234567"},
            {"KPP_PL", "770101001"},
            {"SCH_DT", "40702810000000000001"},
            {"BANK_PL1", "ПАО СБЕРБАНК"},
            {"NNP_PL", "Москва"},
            {"MFOBANK_PL", "044525225"},
            {"K_SBANK_DT", "30101810400000000225"},
            {"NAME_POL1", QStringLiteral("АО \"Получатель\" %1").arg(n)},
            {"INN_POL", "5012345678"},
            {"KPP_POL", "501201001"},
            {"SCH_KT", "40702810999999999999"},
            {"BANK_POL1", "АО БАНК"},
            {"TNP_POL", "г."},
            {"NNP_POL", "Тула"},
            {"MFOBANKPOL", "047003608"},
            {"K_SBANK_KT", "30101810300000000608"},
            {"NAZNACH1", QStringLiteral("Оплата по счёту %1 за поставленные товары").arg(n)},
            {"NAZNACH2", "В том числе НДС 20%"},
            {"PER1", "Одна тысяча рублей 00 копеек"},
            {"OCHER_PL", "5"},
            {"VID_OP", "01"},
            {"VID_PLAT", "1"},
            {"NALOG", false},
            {"PRIZN_DK", "3"},
            {"LOGIN", "1"}};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream &out = Bench::out();
    const QStringList args = app.arguments();
    const int count = Bench::numberArgument(args, 2, 1000);

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    TempDatabase data(options);
    if (!data.isValid()) {
        out << "bench_print: " << data.reason() << "\n";
        return 1;
    }
    data.db().transaction();
    for (int i = 0; i < count; ++i)
        data.addDocument(QStringLiteral("PL"), document(i));
    data.db().commit();
    const long before = peakKilobytes();

    const QString pdf = QDir(data.folder()).filePath(QStringLiteral("bench.pdf"));
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    const int status = writePdf({pdf, QStringLiteral("--all")}, data.folder());
    const qint64 ms = timer.elapsed();
    const double cpu = cpuSeconds() - cpuBefore;
    out << "bench_print " << Bench::engineName(options.engine) << ": " << count
        << " documents to PDF in " << ms << " ms (" << QString::number(double(ms) / qMax(1, count), 'f', 2)
        << " ms a page, " << QString::number(cpu, 'f', 2) << " s of processor time), file " << QFileInfo(pdf).size() / 1024 << " KiB, peak memory " << peakKilobytes() / 1024
        << " MiB (" << before / 1024 << " MiB before), status " << status << "\n";
    return status;
}
