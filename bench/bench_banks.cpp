// The import of a bank directory the size of the real one: an ED807 file of
// 50,000 banks in Windows-1251 written to a temporary folder, read and put into
// BANK; the time of reading, of writing and the peak memory.
// Usage: bench_banks sqlite|postgresql [banks]
#include "BenchSupport.h"
#include "support/TempDatabase.h"

#include "bank/BankDirectoryImport.h"
#include "bank/BankFileReader.h"
#include "store/AppError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTextStream>

namespace {

QTextStream &out = Bench::out();
using Bench::ms;
using Bench::peakMb;
using Bench::resetPeak;

// Entries shaped like the real ones: attributes, a correspondent account, now and then a restriction.
QByteArray generatedEd807(int banks)
{
    const char *const types[] = {"г", "п", "с", "пгт", "ст-ца", "аул", "рп"};
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
                                  "<ED807 xmlns=\"urn:cbr-ru:ed:v2.0\" EDNo=\"1\" EDDate=\"2026-12-01\" EDAuthor=\"4583001999\" InfoTypeCode=\"FIRR\">\n");
    for (int i = 0; i < banks; ++i) {
        const QString bik = QStringLiteral("04%1").arg(i, 7, 10, QLatin1Char('0'));
        text += QStringLiteral("<BICDirectoryEntry BIC=\"%1\"><ParticipantInfo NameP=\"АО &quot;БАНК НОМЕР %2&quot; ФИЛИАЛ В ГОРОДЕ\" "
                               "CntrCd=\"RU\" Rgn=\"45\" Ind=\"117312\" Tnp=\"%3\" Nnp=\"Населённый пункт %2\" "
                               "Adr=\"ул Центральная, д %2\" DateIn=\"2001-01-01\" PtType=\"20\" Srvcs=\"5\" XchType=\"1\" "
                               "UID=\"%1\" ParticipantStatus=\"PSAC\">%4</ParticipantInfo>"
                               "<Accounts Account=\"301018100000%5\" RegulationAccountType=\"CRSA\" CK=\"00\" "
                               "AccountCBRBIC=\"044525000\" DateIn=\"2001-01-01\" AccountStatus=\"ACAC\"/></BICDirectoryEntry>\n")
                    .arg(bik)
                    .arg(i)
                    .arg(QString::fromUtf8(types[i % 7]))
                    .arg(i % 50 == 0 ? QStringLiteral("<RstrList Rstr=\"LWRS\" RstrDate=\"2020-01-01\"/>") : QString())
                    .arg(i, 8, 10, QLatin1Char('0'));
    }
    text += QStringLiteral("</ED807>\n");
    QStringEncoder cp1251("windows-1251");
    return cp1251.encode(text);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int banks = Bench::numberArgument(args, 2, 50000);

    TempDatabase::Options options;
    options.engine = Bench::engineArgument(args);
    const QString engineName = Bench::engineName(options.engine);
    TempDatabase data(options);
    if (!data.isValid()) {
        out << "cannot prepare the database: " << data.reason() << "\n";
        return 1;
    }
    const QString path = QDir(data.folder()).filePath(QStringLiteral("20261201_ED807_full.xml"));
    {
        QFile file(path);
        const QByteArray bytes = generatedEd807(banks);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            out << "cannot write " << path << "\n";
            return 1;
        }
    }
    resetPeak();
    const long baseline = peakMb();
    try {
        QElapsedTimer timer;
        timer.start();
        const BankFile file = ReadBankFile(path);
        const double read = ms(timer);
        timer.restart();
        const BankImportSummary summary = ImportBankDirectory(data.db(), file);
        const double written = ms(timer);
        const int rows = data.scalar(QStringLiteral("select count(*) from BANK")).toInt();
        out << "bank directory import, " << engineName << ", " << QFileInfo(path).size() / 1024 << " KB ED807\n"
            << "  banks: " << summary.banks << " (revoked " << summary.revoked << "), rows in BANK: " << rows << "\n"
            << "  read:  " << read << " ms\n"
            << "  write: " << written << " ms\n"
            << "  total: " << read + written << " ms\n"
            << "  peak memory: " << peakMb() << " MB (" << baseline << " MB before reading)\n";
        return rows == banks ? 0 : 1;
    } catch (const AppError &error) {
        out << "import failed: " << error.message() << "\n";
        return 1;
    }
}
