#include "support/Engines.h"
#include "support/FailingWrites.h"
#include "support/LegacyTables.h"
#include "support/TempDatabase.h"

#include "app/ExportBankCommand.h"
#include "app/ImportBanksCommand.h"
#include "bank/BankDirectoryImport.h"
#include "bank/BankFileReader.h"
#include "bank/ClientBankExchange.h"
#include "document/PaymentOrder.h"
#include "store/AppError.h"
#include "store/BankLookup.h"
#include "store/Clock.h"
#include "store/DataSet.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <QtEndian>

#include <memory>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Seven entries: one revoked, one excluded, a treasury one without a correspondent account,
// one repeated BIK, one settlement type TNP does not know.
const char *const ed807Entries = R"xml(
  <BICDirectoryEntry BIC="044525225">
    <ParticipantInfo NameP="ПАО СБЕРБАНК" CntrCd="RU" Rgn="45" Ind="117312" Tnp="г" Nnp="Москва" Adr="ул Вавилова, 19" PtType="20" ParticipantStatus="PSAC"/>
    <Accounts Account="30101810400000000225" RegulationAccountType="CRSA" CK="07" AccountCBRBIC="044525000" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <SWBICS SWBIC="SABRRUMM" DefaultSWBIC="1"/>
  <BICDirectoryEntry BIC="044525593">
    <ParticipantInfo NameP="АО &quot;АЛЬФА-БАНК&quot;" Tnp="пгт." Nnp="Посёлок с очень длинным названием" PtType="20" ParticipantStatus="PSAC"/>
    <Accounts Account="30101810200000000000" RegulationAccountType="CRSA" AccountStatus="ACDL"/>
    <Accounts Account="30101810200000000593" RegulationAccountType="CRSA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="044525999">
    <ParticipantInfo NameP="КБ 'ОТОЗВАННЫЙ' (АО)" Tnp="г" Nnp="Москва" PtType="20" ParticipantStatus="PSAC">
      <RstrList Rstr="LWRS" RstrDate="2026-01-15"/>
    </ParticipantInfo>
    <Accounts Account="30101810900000000999" RegulationAccountType="CRSA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="017003983">
    <ParticipantInfo NameP="ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула" Tnp="г" Nnp="Тула" PtType="52" ParticipantStatus="PSAC"/>
    <Accounts Account="40102810445370000059" RegulationAccountType="UTRA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="045004001">
    <ParticipantInfo NameP="БАНК СИБИРЬ" Tnp="рп" Nnp="Кольцово" PtType="20" ParticipantStatus="PSDL"/>
    <Accounts Account="30101810000000000001" RegulationAccountType="CRSA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="044525225">
    <ParticipantInfo NameP="ДВОЙНИК" Tnp="г" Nnp="Москва" PtType="20" ParticipantStatus="PSAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="046311001">
    <ParticipantInfo NameP="БАНК НА ХУТОРЕ" Tnp="х" Nnp="Весёлый" PtType="20" ParticipantStatus="PSAC"/>
  </BICDirectoryEntry>
)xml";

// BANK after importing it: NEWNUM|NAMEP|KSNP|NNP|TNP|OTZYV, by BIK.
const QStringList ed807Rows = {
    "017003983|ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула||Тула|1|",
    "044525225|ПАО СБЕРБАНК|30101810400000000225|Москва|1|",
    "044525593|АО \"АЛЬФА-БАНК\"|30101810200000000593|Посёлок с очень длинным н|4|",
    "044525999|КБ 'ОТОЗВАННЫЙ' (АО)|30101810900000000999|Москва|1|V",
    "045004001|БАНК СИБИРЬ|30101810000000000001|Кольцово|7|V",
    "046311001|БАНК НА ХУТОРЕ||Весёлый||",
};

// `infoType` FIRR for the full directory, SIRR for a change list; empty for none.
QByteArray ed807(const char *encoding, const QString &entries = QString::fromUtf8(ed807Entries),
                 const QString &root = QStringLiteral("ED807"), const QString &ns = QStringLiteral("urn:cbr-ru:ed:v2.0"),
                 const QString &infoType = QStringLiteral("FIRR"))
{
    const QString type = infoType.isEmpty() ? QString() : QStringLiteral(" InfoTypeCode=\"%1\"").arg(infoType);
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n<%2 xmlns=\"%3\" EDNo=\"1\" EDDate=\"2026-12-01\"%5>%4</%2>\n")
                             .arg(QLatin1String(encoding), root, ns, entries, type);
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

struct DbfRecord
{
    QString bik, real, name, correspondent, settlement, type;
    bool deleted = false;
};

const QList<std::pair<const char *, int>> bnkseekFields = {{"NEWNUM", 9}, {"REAL", 4}, {"NAMEP", 45},
                                                            {"KSNP", 20}, {"NNP", 25}, {"TNP", 1}};

// A BNKSEEK.DBF as the Bank of Russia wrote it: dBASE III, code page 866, no language driver
// in the header. Other writers put the text in `encoding` and mark it in `driver` (byte 29).
QByteArray bnkseek(const QList<DbfRecord> &records, const QList<std::pair<const char *, int>> &fields = bnkseekFields,
                   const char *encoding = "IBM866", char driver = 0)
{
    int recordLength = 1;
    for (const auto &f : fields)
        recordLength += f.second;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    QByteArray data(32, '\0');
    data[0] = 0x03;
    data[1] = char(118);
    data[2] = 1;
    data[3] = 15;
    qToLittleEndian<quint32>(quint32(records.size()), data.data() + 4);
    qToLittleEndian<quint16>(quint16(headerLength), data.data() + 8);
    qToLittleEndian<quint16>(quint16(recordLength), data.data() + 10);
    data[29] = driver;
    for (const auto &f : fields) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, int(qstrlen(f.first)), f.first);
        descriptor[11] = 'C';
        descriptor[16] = char(f.second);
        data += descriptor;
    }
    data += '\r';
    QStringEncoder encoder(encoding);
    for (const DbfRecord &r : records) {
        data += r.deleted ? '*' : ' ';
        const QString values[] = {r.bik, r.real, r.name, r.correspondent, r.settlement, r.type};
        for (int i = 0; i < fields.size(); ++i)
            data += QByteArray(encoder.encode(values[i])).leftJustified(fields.at(i).second, ' ', true);
    }
    data += '\x1A';
    return data;
}

const QList<DbfRecord> dbfRecords = {
    {"044525225", "", "ПАО СБЕРБАНК", "30101810400000000225", "МОСКВА", "1"},
    {"044525111", "", "УДАЛЁННЫЙ БАНК", "30101810000000000111", "МОСКВА", "1", true},
    {"044525999", "ОТЗВ", "КБ \"ОТОЗВАННЫЙ\"", "30101810900000000999", "МОСКВА", "1"},
    {"046311001", "", "БАНК НА ХУТОРЕ", "", "ВЕСЁЛЫЙ", "9"},
    {"044525225", "", "ДВОЙНИК", "", "МОСКВА", "1"},
};

// BANK as the installation leaves it.
const QStringList installedRows = {
    "017003983|ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула|40102810445370000059|ТУЛА|1|",
    "044030653|СЕВЕРО-ЗАПАДНЫЙ БАНК ПАО СБЕРБАНК|30101810500000000653|САНКТ-ПЕТЕРБУРГ|1|",
    "044525187|БАНК ВТБ (ПАО)|30101810700000000187|МОСКВА|1|",
    "044525225|ПАО СБЕРБАНК|30101810400000000225|МОСКВА|1|",
    "044525593|АО \"АЛЬФА-БАНК\"|30101810200000000593|МОСКВА|1|",
    "044525823|\"ГАЗПРОМБАНК\" (АКЦИОНЕРНОЕ ОБЩЕСТВО)|30101810200000000823|МОСКВА|1|",
};

// A change list: one bank renamed, one as it was, one new.
const char *const ed807Changes = R"xml(
  <BICDirectoryEntry BIC="044525225">
    <ParticipantInfo NameP="ПАО СБЕРБАНК (НОВОЕ)" Tnp="г" Nnp="МОСКВА" PtType="20" ParticipantStatus="PSAC"/>
    <Accounts Account="30101810400000000225" RegulationAccountType="CRSA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="044525187">
    <ParticipantInfo NameP="БАНК ВТБ (ПАО)" Tnp="г" Nnp="МОСКВА" PtType="20" ParticipantStatus="PSAC"/>
    <Accounts Account="30101810700000000187" RegulationAccountType="CRSA" AccountStatus="ACAC"/>
  </BICDirectoryEntry>
  <BICDirectoryEntry BIC="046311001">
    <ParticipantInfo NameP="БАНК НА ХУТОРЕ" Tnp="х" Nnp="Весёлый" PtType="20" ParticipantStatus="PSAC"/>
  </BICDirectoryEntry>
)xml";

const QStringList changedRows = {
    "017003983|ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула|40102810445370000059|ТУЛА|1|",
    "044030653|СЕВЕРО-ЗАПАДНЫЙ БАНК ПАО СБЕРБАНК|30101810500000000653|САНКТ-ПЕТЕРБУРГ|1|",
    "044525187|БАНК ВТБ (ПАО)|30101810700000000187|МОСКВА|1|",
    "044525225|ПАО СБЕРБАНК (НОВОЕ)|30101810400000000225|МОСКВА|1|",
    "044525593|АО \"АЛЬФА-БАНК\"|30101810200000000593|МОСКВА|1|",
    "044525823|\"ГАЗПРОМБАНК\" (АКЦИОНЕРНОЕ ОБЩЕСТВО)|30101810200000000823|МОСКВА|1|",
    "046311001|БАНК НА ХУТОРЕ||Весёлый||",
};

const QStringList dbfRows = {
    "044525225|ПАО СБЕРБАНК|30101810400000000225|МОСКВА|1|",
    "044525999|КБ \"ОТОЗВАННЫЙ\"|30101810900000000999|МОСКВА|1|V",
    "046311001|БАНК НА ХУТОРЕ||ВЕСЁЛЫЙ||",
};

QStringList bankRows(TempDatabase &t)
{
    QSqlQuery q = t.db().run(QStringLiteral("select NEWNUM, NAMEP, KSNP, NNP, TNP, OTZYV from BANK order by NEWNUM"));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < 6; ++c)
            values << q.value(c).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// One parsed exchange file: the header's keys (РасчСчет may repeat) and one map per document.
struct Exchange
{
    QString first, last;
    QMultiMap<QString, QString> header;
    QList<QMap<QString, QString>> documents;
    bool crlfOnly = false;
    bool complete = false;
};

Exchange readExchange(const QByteArray &bytes, const char *encoding)
{
    Exchange e;
    e.crlfOnly = bytes.count('\n') == bytes.count("\r\n") && bytes.count('\r') == bytes.count("\r\n");
    QStringDecoder decoder(encoding);
    const QString text = decoder.decode(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return e;
    e.first = lines.first();
    e.last = lines.last();
    QMap<QString, QString> *open = nullptr;
    for (int i = 1; i + 1 < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line == QStringLiteral("КонецДокумента")) {
            open = nullptr;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QStringLiteral("СекцияДокумент")) {
            e.documents.append({{key, value}});
            open = &e.documents.last();
        } else if (open) {
            open->insert(key, value);
        } else {
            e.header.insert(key, value);
        }
    }
    e.complete = !open;
    return e;
}

// A completed simple payment and a completed tax payment to the treasury, both marked.
QVariantMap simpleOrder()
{
    return {{"ID", "D1"}, {"NOM", "15"}, {"DATE", QDate(2026, 12, 1)}, {"S", 175000.0}, {"PRIZN_DK", "3"}, {"CHEKED", "V"},
            {"NAME_PL1", "ООО \"Ромашка\""}, {"INN_PL", "7707083893"}, {"KPP_PL", "770701001"},
            {"SCH_DT", "40702810200000000001"}, {"BANK_PL1", "ПАО СБЕРБАНК"}, {"K_SBANK_DT", "30101810400000000225"},
            {"MFOBANK_PL", "044525225"}, {"TNP_PL", "г."}, {"NNP_PL", "МОСКВА"},
            {"NAME_POL1", "ООО 'Лютик'"}, {"NAME_POL2", "филиал"}, {"INN_POL", "7727406020"}, {"KPP_POL", "772701001"},
            {"SCH_KT", "40702810000000000002"}, {"BANK_POL1", "БАНК ВТБ (ПАО)"}, {"K_SBANK_KT", "30101810700000000187"},
            {"MFOBANKPOL", "044525187"}, {"TNP_POL", "г."}, {"NNP_POL", "МОСКВА"},
            {"NAZNACH1", "Оплата по счёту № 7 от 20.11.2026 за товар по дого"},
            {"NAZNACH2", "вору 12"}, {"NAZNACH5", "В т.ч. НДС 20% - 29166-67"},
            {"OCHER_PL", "5"}, {"NDS", "20"}, {"VID_PLAT", "1"}, {"VID_OP", "01"}, {"NALOG", false}, {"LOGIN", "1"}};
}

QVariantMap taxOrder()
{
    QVariantMap d = simpleOrder();
    d.insert({{"ID", "D2"}, {"NOM", "16"}, {"DATE", QDate(2026, 12, 3)}, {"S", 1234.5}, {"NALOG", true},
              {"NAME_POL1", "УФК по Тульской области"}, {"NAME_POL2", ""}, {"INN_POL", "7107036186"}, {"KPP_POL", "710701001"},
              {"SCH_KT", "03100643000000016600"}, {"BANK_POL1", "ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ"}, {"K_SBANK_KT", "40102810445370000059"},
              {"MFOBANKPOL", "017003983"}, {"NNP_POL", "ТУЛА"}, {"NAZNACH1", "Налог на прибыль"}, {"NAZNACH2", ""}, {"NAZNACH5", ""},
              {"P101_STATU", "01"}, {"P104_KBK", "18210101011011000110"}, {"P105_OKATO", "70701000"}, {"P106_OSNOV", "ТП"},
              {"P107_PERIO", "КВ.04.2026"}, {"P108_N_DOC", "0"}, {"P109_D_DOC", "0"}, {"P110_TIP", ""}});
    return d;
}


// The program run as a user runs it, in a working folder; its standard error in `errors`.
int runProgram(const QString &folder, const QStringList &args, QString *errors = nullptr, QString *output = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(PAYORDERS_BINARY), args);
    if (!p.waitForFinished(120000))
        return -1;
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Every entry under a folder with its kind; a regular file with a digest of its bytes, a link with its target.
QStringList folderState(const QString &folder)
{
    QStringList state;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st;
        if (lstat(QFile::encodeName(path).constData(), &st) != 0) {
            state << path + QStringLiteral(" gone");
            continue;
        }
        QString kind;
        if (S_ISLNK(st.st_mode)) {
            kind = QStringLiteral("link to ") + QFile::symLinkTarget(path);
        } else if (S_ISREG(st.st_mode)) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            kind = QStringLiteral("file ") + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
        } else {
            kind = S_ISDIR(st.st_mode) ? QStringLiteral("folder") : QStringLiteral("special %1").arg(st.st_mode & S_IFMT, 0, 8);
        }
        state << path + QLatin1Char(' ') + kind;
    }
    state.sort();
    return state;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class BankFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void initTestCase();
    void cleanup();
    void importsEd807_data();
    void importsEd807();
    void importsBnkseek();
    void bnkseekCodePage_data();
    void bnkseekCodePage();
    void brokenFileLeavesDirectory_data();
    void brokenFileLeavesDirectory();
    void failedWriteLeavesDirectory();
    void importSaysNoServerNotice();
    void fileWithoutBanksRefused_data();
    void fileWithoutBanksRefused();
    void importKinds_data();
    void importKinds();
    void oldDirectoryGetsRevokedColumn();
    void exportRoundTrip_data();
    void exportRoundTrip();
    void exportChecksDigits();
    void exportAccrualId_data();
    void exportAccrualId();
    void exportNamesCheckProblems_data();
    void exportNamesCheckProblems();
    void exportRefusesUnheldText();
    void exportLeavesOutUnpayable_data();
    void exportLeavesOutUnpayable();
    void outputPathRefused_data();
    void outputPathRefused();
    void purposeJoined_data();
    void purposeJoined();

private:
    std::unique_ptr<TempDatabase> database();
    QString write(TempDatabase &t, const QString &name, const QByteArray &bytes);
    QString m_home;
};

void BankFilesTest::initTestCase_data()
{
    Engines::addRows();
}

void BankFilesTest::initTestCase()
{
    m_home = QDir::currentPath();
}

void BankFilesTest::cleanup()
{
    QDir::setCurrent(m_home);
    Clock::set({});
}

std::unique_ptr<TempDatabase> BankFilesTest::database()
{
    TempDatabase::Options options;
    options.engine = Engines::current();
    auto t = std::make_unique<TempDatabase>(options);
    if (!t->isValid()) {
        QTest::qFail(qPrintable(t->reason()), __FILE__, __LINE__);
        return nullptr;
    }
    // The commands work in the folder's sql.udl, as a user runs them.
    QDir::setCurrent(t->folder());
    return t;
}

QString BankFilesTest::write(TempDatabase &t, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(t.folder()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

#define DATABASE(var)        \
    auto var = database();   \
    if (!var)                \
        return;

void BankFilesTest::importsEd807_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("windows-1251") << QByteArray("windows-1251");
    QTest::newRow("utf-8") << QByteArray("UTF-8");
}

void BankFilesTest::importsEd807()
{
    QFETCH(QByteArray, encoding);
    DATABASE(t);
    QVERIFY(bankRows(*t).join(QLatin1Char('\n')).contains(QStringLiteral("044525187")));
    const QString path = write(*t, QStringLiteral("20261201_ED807_full.xml"), ed807(encoding.constData()));
    const BankFile file = ReadBankFile(path);
    QCOMPARE(file.banks.size(), 6);
    QCOMPARE(file.skipped.size(), 1);
    QVERIFY2(file.skipped.first().contains(QStringLiteral("044525225")), qPrintable(file.skipped.first()));

    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), ed807Rows);
    // The same file again gives the same table.
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), ed807Rows);
}

void BankFilesTest::importsBnkseek()
{
    DATABASE(t);
    const QString path = write(*t, QStringLiteral("BNKSEEK.DBF"), bnkseek(dbfRecords));
    const BankFile file = ReadBankFile(path);
    QCOMPARE(file.format, QStringLiteral("BNKSEEK.DBF"));
    QCOMPARE(file.skipped.size(), 2); // the deleted record and the repeated BIK
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), dbfRows);
    DataSet bank(t->db()), general(t->db());
    const BankDetails revoked = LookupBank(bank, general, QStringLiteral("044525999"));
    QVERIFY(revoked.found);
    QVERIFY(revoked.revoked);
    QCOMPARE(BankRefusal(revoked), QStringLiteral("Лицензия Банка отозвана"));
    const BankDetails good = LookupBank(bank, general, QStringLiteral("044525225"));
    QVERIFY(good.usable());
    QCOMPARE(good.settlementType, QStringLiteral("г."));
}

void BankFilesTest::bnkseekCodePage_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<int>("driver"); // the header's language driver byte
    QTest::newRow("CP866, marked 0x65") << QByteArray("IBM866") << 0x65;
    QTest::newRow("CP866, marked 0x26") << QByteArray("IBM866") << 0x26;
    QTest::newRow("CP866, unmarked") << QByteArray("IBM866") << 0x00;
    QTest::newRow("CP866, unknown mark") << QByteArray("IBM866") << 0x7F;
    QTest::newRow("Windows-1251, marked 0xC9") << QByteArray("windows-1251") << 0xC9;
    QTest::newRow("Windows-1251, marked 0x57") << QByteArray("windows-1251") << 0x57;
    QTest::newRow("Windows-1251, unmarked") << QByteArray("windows-1251") << 0x00;
    QTest::newRow("Windows-1251, unknown mark") << QByteArray("windows-1251") << 0x7F;
}

void BankFilesTest::bnkseekCodePage()
{
    QFETCH(QByteArray, encoding);
    QFETCH(int, driver);
    DATABASE(t);
    const QString path = write(*t, QStringLiteral("BNKSEEK.DBF"), bnkseek(dbfRecords, bnkseekFields, encoding.constData(), char(driver)));
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), dbfRows);
}

void BankFilesTest::brokenFileLeavesDirectory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("place"); // what the message names
    const QByteArray whole = ed807("windows-1251");
    QTest::newRow("ED807 cut short") << whole.left(whole.size() / 2) << "строка";
    const QString brokenEntries = QString::fromUtf8(ed807Entries) + QStringLiteral("\n  <BICDirectoryEntry BIC=\"04452599\"/>\n");
    const auto brokenLine = 2 + brokenEntries.left(brokenEntries.indexOf(QStringLiteral("BIC=\"04452599\""))).count(QLatin1Char('\n'));
    QTest::newRow("ED807 broken record") << ed807("UTF-8", brokenEntries) << QStringLiteral("строка %1,").arg(brokenLine);
    QTest::newRow("ED807 entry without a name")
        << ed807("UTF-8", QString::fromUtf8(ed807Entries) + QStringLiteral("\n  <BICDirectoryEntry BIC=\"044525998\"/>\n"))
        << "044525998";
    QTest::newRow("ED807 BIK of full-width digits")
        << ed807("UTF-8", QString::fromUtf8(ed807Entries).replace(QStringLiteral("BIC=\"046311001\""), QString::fromUtf8("BIC=\"０４６３１１００１\"")))
        << QString::fromUtf8("０４６３１１００１");
    QTest::newRow("ED807 correspondent account of full-width digits")
        << ed807("UTF-8", QString::fromUtf8(ed807Entries).replace(QStringLiteral("30101810200000000593"), QString::fromUtf8("３０１０１８１０２０００００００５９３")))
        << QString::fromUtf8("３０１０１８１０２０００００００５９３");
    QTest::newRow("ED807 correspondent account too short")
        << ed807("UTF-8", QString::fromUtf8(ed807Entries).replace(QStringLiteral("30101810200000000593"), QStringLiteral("3010181020000000059")))
        << "3010181020000000059";
    QTest::newRow("other XML document") << ed807("UTF-8", QString(), QStringLiteral("ED999")) << "ED999";
    QTest::newRow("ED807 of another namespace") << ed807("UTF-8", QString::fromUtf8(ed807Entries), QStringLiteral("ED807"),
                                                         QStringLiteral("urn:example")) << "urn:example";
    QTest::newRow("plain text") << QByteArray("БИК;Название\n044525225;Сбербанк\n") << "ни справочником";
    QTest::newRow("empty file") << QByteArray() << "ни справочником";
    const QByteArray dbf = bnkseek(dbfRecords);
    QTest::newRow("DBF cut short") << dbf.left(dbf.size() - 40) << "обрезана";
    QByteArray slipped = dbf;
    slipped[32 + 32 * 6 + 1 + 2 * (1 + 9 + 4 + 45 + 20 + 25 + 1)] = 'X';
    QTest::newRow("DBF broken record") << slipped << "запись 3";
    QList<DbfRecord> badBik = dbfRecords;
    badBik[3].bik = QStringLiteral("04631100Я");
    QTest::newRow("DBF record with a bad BIK") << bnkseek(badBik) << "запись 4";
    QList<DbfRecord> badAccount = dbfRecords;
    badAccount[2].correspondent = QStringLiteral("3010181090000000099O");
    QTest::newRow("DBF record with a letter in the account") << bnkseek(badAccount) << "запись 3";
    QList<DbfRecord> unreadable = dbfRecords;
    for (DbfRecord &r : unreadable)
        r.name = r.settlement = QString::fromUtf8("░▒▓│┤╡╢╖");
    QTest::newRow("DBF in neither code page") << bnkseek(unreadable) << "кодов";
    QTest::newRow("DBF in Windows-1251 marked as CP866") << bnkseek(dbfRecords, bnkseekFields, "windows-1251", char(0x65)) << "1251";
    QTest::newRow("DBF of another table") << bnkseek(dbfRecords, {{"KOD", 9}, {"NAME", 4}}) << "NEWNUM";
}

void BankFilesTest::brokenFileLeavesDirectory()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, place);
    DATABASE(t);
    const QStringList before = bankRows(*t);
    QVERIFY(!before.isEmpty());
    const QString path = write(*t, QStringLiteral("bank.file"), bytes);
    try {
        ReadBankFile(path);
        QFAIL("the file was read");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(place), qPrintable(error.message()));
    }
    QCOMPARE(ImportBanksCommand({path}), 1);
    QCOMPARE(bankRows(*t), before);
}

void BankFilesTest::failedWriteLeavesDirectory()
{
    DATABASE(t);
    const QStringList before = bankRows(*t);
    const QString path = write(*t, QStringLiteral("ED807.xml"), ed807("windows-1251"));
    // The old rows are deleted before the first insert fails: the rollback brings them back.
    FailingWrites::refuse(t->db(), QStringLiteral("BANK"), QStringLiteral("insert"));
    QCOMPARE(ImportBanksCommand({path}), 1);
    QCOMPARE(bankRows(*t), before);
    FailingWrites::allow(t->db(), QStringLiteral("BANK"));
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), ed807Rows);
}

void BankFilesTest::importSaysNoServerNotice()
{
    DATABASE(t);
    const QString path = write(*t, QStringLiteral("ED807.xml"), ed807("windows-1251"));
    // The tables are there already: the schema's "if not exists" makes the server talk.
    QString errors, output;
    QCOMPARE(runProgram(t->folder(), {QStringLiteral("import-banks"), path}, &errors, &output), 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));
    QVERIFY2(output.contains(QStringLiteral("заменён целиком")) && !output.contains(QStringLiteral("NOTICE")), qPrintable(output));
    QCOMPARE(bankRows(*t), ed807Rows);
}

void BankFilesTest::fileWithoutBanksRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("ED807 root alone") << QByteArray("<ED807 xmlns=\"urn:cbr-ru:ed:v2.0\"/>") << "ED807.xml";
    QTest::newRow("ED807 full directory without entries") << ed807("UTF-8", QString()) << "20261201_ED807_full.xml";
    QTest::newRow("ED807 change list without entries")
        << ed807("UTF-8", QString(), QStringLiteral("ED807"), QStringLiteral("urn:cbr-ru:ed:v2.0"), QStringLiteral("SIRR")) << "ED807.xml";
    QTest::newRow("ED807 of repeats and other elements only")
        << ed807("UTF-8", QStringLiteral("<SWBICS SWBIC=\"SABRRUMM\"/>")) << "ED807.xml";
    QTest::newRow("BNKSEEK.DBF without records") << bnkseek({}) << "BNKSEEK.DBF";
    QTest::newRow("BNKSEEK.DBF of deleted records") << bnkseek({dbfRecords.at(1)}) << "BNKSEEK.DBF";
}

void BankFilesTest::fileWithoutBanksRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    DATABASE(t);
    const QStringList before = bankRows(*t);
    QCOMPARE(before, installedRows);
    const QString path = write(*t, name, bytes);
    QCOMPARE(ImportBanksCommand({path}), 1);
    QCOMPARE(bankRows(*t), before);
    try {
        ImportBankDirectory(t->db(), ReadBankFile(path));
        QFAIL("a file without banks was imported");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(path) && error.message().contains(QStringLiteral("нет ни одного банка")),
                 qPrintable(error.message()));
    }
    QCOMPARE(bankRows(*t), before);
}

void BankFilesTest::importKinds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("full");
    QTest::addColumn<QList<int>>("counts"); // banks, added, changed, removed
    QTest::addColumn<QString>("said");
    const QString whole = QStringLiteral("заменён целиком");
    const QString changes = QStringLiteral("внесены изменения");
    QTest::newRow("ED807 full directory") << ed807("windows-1251") << ed807Rows << true << QList<int>{6, 3, 3, 3} << whole;
    QTest::newRow("ED807 change list") << ed807("windows-1251", QString::fromUtf8(ed807Changes), QStringLiteral("ED807"),
                                                QStringLiteral("urn:cbr-ru:ed:v2.0"), QStringLiteral("SIRR"))
                                       << changedRows << false << QList<int>{3, 1, 1, 0} << changes;
    QTest::newRow("ED807 without its type") << ed807("UTF-8", QString::fromUtf8(ed807Changes), QStringLiteral("ED807"),
                                                     QStringLiteral("urn:cbr-ru:ed:v2.0"), QString())
                                            << changedRows << false << QList<int>{3, 1, 1, 0} << changes;
    QTest::newRow("BNKSEEK.DBF") << bnkseek(dbfRecords) << dbfRows << true << QList<int>{3, 2, 1, 5} << whole;
}

void BankFilesTest::importKinds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    DATABASE(t);
    QCOMPARE(bankRows(*t), installedRows);
    // BANK declares no key: a BIK may stand in two rows, and a bank written anew leaves one.
    t->db().run(QStringLiteral("insert into BANK (NEWNUM, NAMEP, KSNP, NNP, TNP) values ('044525225', 'ДВОЙНИК', '', '', '')"));
    QFETCH(bool, full);
    QFETCH(QList<int>, counts);
    QFETCH(QString, said);
    const QString path = write(*t, QStringLiteral("bank.file"), bytes);
    const BankImportSummary summary = ImportBankDirectory(t->db(), ReadBankFile(path));
    QCOMPARE(bankRows(*t), rows);
    QCOMPARE(summary.fullReplacement, full);
    QCOMPARE((QList<int>{summary.banks, summary.added, summary.changed, summary.removed}), counts);
    QCOMPARE(summary.changedBanks(), counts[1] + counts[2] + counts[3]);
    const QString report = BankImportReport(summary).first();
    QVERIFY2(report.contains(said) && report.contains(path), qPrintable(report));
    // The command does the same; the file again changes nothing more.
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), rows);
    const BankImportSummary again = ImportBankDirectory(t->db(), ReadBankFile(path));
    QCOMPARE((QList<int>{again.banks, again.added, again.changed, again.removed}), (QList<int>{counts[0], 0, 0, 0}));
    QCOMPARE(again.unchanged(), counts[0]);
}

void BankFilesTest::oldDirectoryGetsRevokedColumn()
{
    DATABASE(t);
    LegacyTables::dropColumns(t->db(), QStringLiteral("BANK"), {QStringLiteral("OTZYV")});
    DataSet bank(t->db()), general(t->db());
    const BankDetails before = LookupBank(bank, general, QStringLiteral("044525225"));
    QVERIFY(before.usable());
    bank.close();
    const QString path = write(*t, QStringLiteral("ED807.xml"), ed807("windows-1251"));
    QCOMPARE(ImportBanksCommand({path}), 0);
    QCOMPARE(bankRows(*t), ed807Rows);
    QVERIFY(LookupBank(bank, general, QStringLiteral("044525999")).revoked);
}

void BankFilesTest::exportRoundTrip_data()
{
    QTest::addColumn<bool>("utf8");
    QTest::newRow("windows-1251") << false;
    QTest::newRow("utf-8") << true;
}

void BankFilesTest::exportRoundTrip()
{
    QFETCH(bool, utf8);
    DATABASE(t);
    Clock::set(QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9)));
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    t->addDocument(QStringLiteral("PL"), taxOrder());
    QVariantMap unmarked = simpleOrder();
    unmarked.insert({{"ID", "D3"}, {"CHEKED", ""}});
    t->addDocument(QStringLiteral("PL"), unmarked);
    QVariantMap open = simpleOrder();
    open.insert({{"ID", "D4"}, {"PRIZN_DK", "1"}});
    t->addDocument(QStringLiteral("PL"), open);

    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    QStringList args = {out, QStringLiteral("--marked")};
    if (utf8)
        args << QStringLiteral("--utf8");
    QCOMPARE(ExportBankCommand(args), 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Exchange e = readExchange(file.readAll(), utf8 ? "UTF-8" : "windows-1251");
    QVERIFY(e.crlfOnly);
    QVERIFY(e.complete);
    QCOMPARE(e.first, QStringLiteral("1CClientBankExchange"));
    QCOMPARE(e.last, QStringLiteral("КонецФайла"));
    QCOMPARE(e.header.value(QStringLiteral("ВерсияФормата")), QStringLiteral("1.03"));
    QCOMPARE(e.header.value(QStringLiteral("Кодировка")), utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows"));
    QCOMPARE(e.header.value(QStringLiteral("ДатаСоздания")), QStringLiteral("10.12.2026"));
    QCOMPARE(e.header.value(QStringLiteral("ВремяСоздания")), QStringLiteral("14:05:09"));
    QCOMPARE(e.header.value(QStringLiteral("ДатаНачала")), QStringLiteral("01.12.2026"));
    QCOMPARE(e.header.value(QStringLiteral("ДатаКонца")), QStringLiteral("03.12.2026"));
    QCOMPARE(e.header.values(QStringLiteral("РасчСчет")), QStringList{QStringLiteral("40702810200000000001")});
    QCOMPARE(e.header.value(QStringLiteral("Документ")), QStringLiteral("Платежное поручение"));
    QCOMPARE(e.documents.size(), 2);

    const QMap<QString, QString> simple = {
        {"СекцияДокумент", "Платежное поручение"}, {"Номер", "15"}, {"Дата", "01.12.2026"}, {"Сумма", "175000.00"},
        {"ПлательщикСчет", "40702810200000000001"}, {"Плательщик", "ООО \"Ромашка\""}, {"ПлательщикИНН", "7707083893"},
        {"Плательщик1", "ООО \"Ромашка\""}, {"ПлательщикРасчСчет", "40702810200000000001"},
        {"ПлательщикБанк1", "ПАО СБЕРБАНК"}, {"ПлательщикБанк2", "г. МОСКВА"}, {"ПлательщикБИК", "044525225"},
        {"ПлательщикКорсчет", "30101810400000000225"}, {"ПлательщикКПП", "770701001"},
        {"ПолучательСчет", "40702810000000000002"}, {"Получатель", "ООО 'Лютик' филиал"}, {"ПолучательИНН", "7727406020"},
        {"Получатель1", "ООО 'Лютик'"}, {"Получатель2", "филиал"}, {"ПолучательРасчСчет", "40702810000000000002"},
        {"ПолучательБанк1", "БАНК ВТБ (ПАО)"}, {"ПолучательБанк2", "г. МОСКВА"}, {"ПолучательБИК", "044525187"},
        {"ПолучательКорсчет", "30101810700000000187"}, {"ПолучательКПП", "772701001"},
        {"ВидПлатежа", "электронно"}, {"ВидОплаты", "01"},
        {"НазначениеПлатежа", "Оплата по счёту № 7 от 20.11.2026 за товар по договору 12 В т.ч. НДС 20% - 29166-67"},
        {"НазначениеПлатежа1", "Оплата по счёту № 7 от 20.11.2026 за товар по дого"},
        {"НазначениеПлатежа2", "вору 12"}, {"НазначениеПлатежа5", "В т.ч. НДС 20% - 29166-67"}, {"Очередность", "5"},
    };
    QCOMPARE(e.documents.at(0), simple);
    QMap<QString, QString> tax = simple;
    for (const char *k : {"Получатель2", "НазначениеПлатежа2", "НазначениеПлатежа5"})
        tax.remove(QString::fromUtf8(k));
    tax.insert({{"Номер", "16"}, {"Дата", "03.12.2026"}, {"Сумма", "1234.50"},
                {"ПолучательСчет", "03100643000000016600"}, {"Получатель", "УФК по Тульской области"}, {"ПолучательИНН", "7107036186"},
                {"Получатель1", "УФК по Тульской области"}, {"ПолучательРасчСчет", "03100643000000016600"},
                {"ПолучательБанк1", "ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ"}, {"ПолучательБанк2", "г. ТУЛА"}, {"ПолучательБИК", "017003983"},
                {"ПолучательКорсчет", "40102810445370000059"}, {"ПолучательКПП", "710701001"},
                {"НазначениеПлатежа", "Налог на прибыль"}, {"НазначениеПлатежа1", "Налог на прибыль"},
                {"СтатусСоставителя", "01"}, {"ПоказательКБК", "18210101011011000110"}, {"ОКАТО", "70701000"},
                {"ПоказательОснования", "ТП"}, {"ПоказательПериода", "КВ.04.2026"}, {"ПоказательНомера", "0"},
                {"ПоказательДаты", "0"}, {"ПоказательТипа", ""}, {"Код", ""}});
    QCOMPARE(e.documents.at(1), tax);
}

void BankFilesTest::exportChecksDigits()
{
    DATABASE(t);
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    QVariantMap bad = simpleOrder();
    bad.insert({{"ID", "D5"}, {"NOM", "17"}, {"INN_PL", "7707083894"}, {"SCH_KT", "40702810100000000002"}});
    t->addDocument(QStringLiteral("PL"), bad);

    DataSet documents(t->db());
    documents.setSql(QStringLiteral("select * from PL order by ID"));
    documents.open();
    const ClientBankExport result = WriteClientBankExchange(documents);
    QCOMPARE(result.written, 2);
    QCOMPARE(result.checkFailures.size(), 2);
    for (const QString &failure : result.checkFailures)
        QVERIFY2(failure.contains(QStringLiteral("ID D5")), qPrintable(failure));
    QVERIFY(result.checkFailures.at(0).contains(QStringLiteral("ИНН 7707083894")));
    QVERIFY(result.checkFailures.at(1).contains(QStringLiteral("40702810100000000002")));

    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--id"), QStringLiteral("D1")}), 0);
    QVERIFY(QFile::remove(out));
    // Without --strict the failures are named and the file is written; with it nothing is.
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all")}), 0);
    QVERIFY(QFile::remove(out));
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all"), QStringLiteral("--strict")}), 1);
    QVERIFY(!QFile::exists(out));
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--strict"), QStringLiteral("--id"), QStringLiteral("D1")}), 0);
    QVERIFY(QFile::exists(out));
}

void BankFilesTest::exportAccrualId_data()
{
    QTest::addColumn<bool>("tax");
    QTest::addColumn<QString>("stored");  // P22_KOD
    QTest::addColumn<bool>("line");       // whether a Код= line is written
    QTest::newRow("budget payment with an accrual id") << true << "18209965264512345678" << true;
    QTest::newRow("budget payment with 0") << true << "0" << true;
    QTest::newRow("budget payment without one") << true << "" << true;
    QTest::newRow("commercial payment with an accrual id") << false << "0318209965264512345678901" << true;
    QTest::newRow("commercial payment without one") << false << "" << false;
}

void BankFilesTest::exportAccrualId()
{
    QFETCH(bool, tax);
    QFETCH(QString, stored);
    QFETCH(bool, line);
    DATABASE(t);
    QVariantMap order = tax ? taxOrder() : simpleOrder();
    order.insert(QStringLiteral("P22_KOD"), stored);
    t->addDocument(QStringLiteral("PL"), order);
    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    QCOMPARE(ExportBankCommand({out}), 0);
    const QByteArray bytes = fileBytes(out);
    const Exchange e = readExchange(bytes, "windows-1251");
    QCOMPARE(e.documents.size(), 1);
    QCOMPARE(e.documents.first().contains(QStringLiteral("Код")), line);
    QCOMPARE(e.documents.first().value(QStringLiteral("Код")), stored);
    // The line comes after the kind of payment, before the purpose.
    if (line)
        QVERIFY(QString(QStringDecoder("windows-1251").decode(bytes)).contains(
            QStringLiteral("ВидОплаты=01\r\nКод=%1\r\nНазначениеПлатежа=").arg(stored)));
}

void BankFilesTest::exportNamesCheckProblems_data()
{
    QTest::addColumn<QVariantMap>("changes");
    QTest::addColumn<QStringList>("named"); // what the standard error says of document 16
    QTest::newRow("KBK of 19 digits, no accrual id")
        << QVariantMap{{"P104_KBK", "1821010101101100011"}} << QStringList{"104", "1821010101101100011", "22"};
    QTest::newRow("period of a month 13")
        << QVariantMap{{"P107_PERIO", "МС.13.2026"}, {"P22_KOD", "0"}} << QStringList{"107", "МС.13.2026"};
    QTest::newRow("to a bank account")
        << QVariantMap{{"SCH_KT", "40702810000000000002"}, {"MFOBANKPOL", "044525187"}, {"K_SBANK_KT", "30101810700000000187"},
                       {"P22_KOD", "0"}}
        << QStringList{"03", "40102"};
    QTest::newRow("priority 7") << QVariantMap{{"OCHER_PL", "7"}, {"P22_KOD", "0"}} << QStringList{"очерёдность", "«7»"};
}

void BankFilesTest::exportNamesCheckProblems()
{
    QFETCH(QVariantMap, changes);
    QFETCH(QStringList, named);
    DATABASE(t);
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    QVariantMap tax = taxOrder();
    tax.insert(changes);
    t->addDocument(QStringLiteral("PL"), tax);
    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    QString errors;
    QCOMPARE(runProgram(t->folder(), {QStringLiteral("export-bank"), out}, &errors), 0);
    const QStringList lines = errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty(), "no problem named");
    for (const QString &line : lines)
        QVERIFY2(line.startsWith(QStringLiteral("документ № 16 от 03.12.2026 (ID D2): ")), qPrintable(line));
    for (const QString &word : named)
        QVERIFY2(errors.contains(word), qPrintable(word + QStringLiteral(" not in ") + errors));
    // Named, still written.
    QCOMPARE(readExchange(fileBytes(out), "windows-1251").documents.size(), 2);
    QVERIFY(QFile::remove(out));
    QCOMPARE(runProgram(t->folder(), {QStringLiteral("export-bank"), out, QStringLiteral("--strict")}, &errors), 1);
    QVERIFY2(errors.contains(QStringLiteral("ID D2")) && errors.contains(QStringLiteral("--strict")), qPrintable(errors));
    QVERIFY(!QFile::exists(out));
    // The good one alone passes --strict.
    QCOMPARE(runProgram(t->folder(), {QStringLiteral("export-bank"), out, QStringLiteral("--strict"), QStringLiteral("--id"),
                                      QStringLiteral("D1")}, &errors), 0);
    QCOMPARE(readExchange(fileBytes(out), "windows-1251").documents.size(), 1);
}

void BankFilesTest::exportRefusesUnheldText()
{
    DATABASE(t);
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    QVariantMap foreign = simpleOrder();
    foreign.insert({{"ID", "D6"}, {"NOM", "18"}, {"NAME_POL1", QStringLiteral("SIA Rīga")}});
    t->addDocument(QStringLiteral("PL"), foreign);
    DataSet documents(t->db());
    documents.setSql(QStringLiteral("select * from PL order by ID"));
    documents.open();
    const ClientBankExport result = WriteClientBankExchange(documents);
    QCOMPARE(result.written, 1);
    QCOMPARE(result.unwritable.size(), 1);
    QVERIFY2(result.unwritable.first().contains(QStringLiteral("ID D6")) && result.unwritable.first().contains(QStringLiteral("Получатель1")),
             qPrintable(result.unwritable.first()));
    QVERIFY(!result.bytes.contains('?'));
    QVERIFY(!QString::fromLatin1(result.bytes).contains(QStringLiteral("SIA")));

    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all")}), 1);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(readExchange(file.readAll(), "windows-1251").documents.size(), 1);
    file.close();
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all"), QStringLiteral("--utf8")}), 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Exchange e = readExchange(file.readAll(), "UTF-8");
    QCOMPARE(e.documents.size(), 2);
    QCOMPARE(e.documents.at(1).value(QStringLiteral("Получатель1")), QStringLiteral("SIA Rīga"));
}

void BankFilesTest::exportLeavesOutUnpayable_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");   // the stored text; empty for NULL
    QTest::addColumn<bool>("sqliteOnly");  // a date PostgreSQL's date column cannot hold
    QTest::addColumn<QString>("figure");   // Сумма= when written; empty when left out
    QTest::newRow("negative amount") << "S" << "-5" << false << "";
    QTest::newRow("zero amount") << "S" << "0" << false << "";
    QTest::newRow("amount under half a kopeck") << "S" << "0.004" << false << "";
    QTest::newRow("no amount") << "S" << "" << false << "";
    QTest::newRow("amount not a number") << "S" << "nan" << false << "";
    QTest::newRow("infinite amount") << "S" << "inf" << false << "";
    QTest::newRow("amount of 301 digits") << "S" << "1e300" << false << "";
    QTest::newRow("amount beyond the words") << "S" << "1000000000000000" << false << "";
    QTest::newRow("largest amount in words") << "S" << "999999999999999.5" << false << "999999999999999.50";
    QTest::newRow("one kopeck") << "S" << "0.01" << false << "0.01";
    QTest::newRow("no date") << "DATE" << "" << false << "";
    QTest::newRow("impossible date") << "DATE" << "2026-02-30" << true << "";
    QTest::newRow("date of a five-digit year") << "DATE" << "20260-01-01" << false << "";
}

void BankFilesTest::exportLeavesOutUnpayable()
{
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(bool, sqliteOnly);
    QFETCH(QString, figure);
    if (sqliteOnly && Engines::current() != Engine::SQLite)
        QSKIP("PostgreSQL's date column holds no such date");
    DATABASE(t);
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    QVariantMap faulty = simpleOrder();
    faulty.insert({{"ID", "D7"}, {"NOM", "19"}});
    t->addDocument(QStringLiteral("PL"), faulty);
    t->db().run(QStringLiteral("update PL set %1=? where ID='D7'").arg(column), {stored.isEmpty() ? QVariant() : QVariant(stored)});

    DataSet documents(t->db());
    documents.setSql(QStringLiteral("select * from PL order by ID"));
    documents.open();
    const ClientBankExport result = WriteClientBankExchange(documents);
    const QString out = QDir(t->folder()).filePath(QStringLiteral("out.txt"));
    if (!figure.isEmpty()) {
        QCOMPARE(result.written, 2);
        QVERIFY(result.unwritable.isEmpty());
        QCOMPARE(readExchange(result.bytes, "windows-1251").documents.at(1).value(QStringLiteral("Сумма")), figure);
        QCOMPARE(ExportBankCommand({out, QStringLiteral("--all")}), 0);
        return;
    }
    QCOMPARE(result.written, 1);
    QCOMPARE(result.unwritable.size(), 1);
    QVERIFY2(result.unwritable.first().contains(QStringLiteral("ID D7")), qPrintable(result.unwritable.first()));
    const Exchange e = readExchange(result.bytes, "windows-1251");
    QCOMPARE(e.documents.size(), 1);
    QCOMPARE(e.documents.first().value(QStringLiteral("Номер")), QStringLiteral("15"));
    QCOMPARE(e.header.value(QStringLiteral("ДатаНачала")), QStringLiteral("01.12.2026"));

    // The others are written, and the status says that not all were.
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all")}), 1);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(readExchange(file.readAll(), "windows-1251").documents.size(), 1);
    file.close();
    QVERIFY(QFile::remove(out));
    QCOMPARE(ExportBankCommand({out, QStringLiteral("--all"), QStringLiteral("--strict")}), 1);
    QVERIFY(!QFile::exists(out));
}

void BankFilesTest::outputPathRefused_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("out");      // as the user types it, in the working folder
    QTest::addColumn<bool>("sqliteOnly");  // names the database file, which PostgreSQL has not
    QTest::addColumn<bool>("written");     // a regular file, replaced
    const struct
    {
        const char *name, *out;
        bool sqliteOnly, written;
    } kinds[] = {
        {"the database", "payorders.db", true, false},
        {"the database by a roundabout path", "./sub/../payorders.db", true, false},
        {"the database through a symlink", "db-link", true, false},
        {"the database by its absolute path", "<folder>/payorders.db", true, false},
        {"its rollback journal", "payorders.db-journal", true, false},
        {"its write-ahead log", "payorders.db-wal", true, false},
        {"its shared memory", "payorders.db-shm", true, false},
        {"the data link", "sql.udl", false, false},
        {"the data link through a symlink", "sub/udl-link", false, false},
        {"a folder", "sub", false, false},
        {"a pipe", "pipe", false, false},
        {"a symlink to a pipe", "pipe-link", false, false},
        {"a socket", "socket", false, false},
        {"a device node", "device", false, false},
        {"a symlink loop", "loop", false, false},
        {"a regular file", "old.txt", false, true},
        {"a symlink to a regular file", "old-link", false, true},
    };
    for (const char *mode : {"export-bank", "pdf"})
        for (const auto &k : kinds)
            QTest::addRow("%s, %s", mode, k.name) << QString::fromLatin1(mode) << QString::fromLatin1(k.out) << k.sqliteOnly << k.written;
}

void BankFilesTest::outputPathRefused()
{
    QFETCH(QString, mode);
    QFETCH(QString, out);
    QFETCH(bool, sqliteOnly);
    QFETCH(bool, written);
    if (sqliteOnly && Engines::current() != Engine::SQLite)
        QSKIP("the database is on the server");
    DATABASE(t);
    t->addDocument(QStringLiteral("PL"), simpleOrder());
    const QDir folder(t->folder());
    out.replace(QStringLiteral("<folder>"), t->folder());
    QVERIFY(folder.mkdir(QStringLiteral("sub")));
    write(*t, QStringLiteral("old.txt"), "old");
    QVERIFY(QFile::link(QStringLiteral("payorders.db"), folder.filePath(QStringLiteral("db-link"))));
    QVERIFY(QFile::link(QStringLiteral("../sql.udl"), folder.filePath(QStringLiteral("sub/udl-link"))));
    QVERIFY(QFile::link(QStringLiteral("old.txt"), folder.filePath(QStringLiteral("old-link"))));
    QVERIFY(QFile::link(QStringLiteral("pipe"), folder.filePath(QStringLiteral("pipe-link"))));
    QVERIFY(QFile::link(QStringLiteral("loop"), folder.filePath(QStringLiteral("loop"))));
    QCOMPARE(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    QLocalServer socket;
    QVERIFY2(socket.listen(folder.filePath(QStringLiteral("socket"))), qPrintable(socket.errorString()));
    // The node of /dev/full, made here: only root may, so others skip it.
    if (out == QLatin1String("device") && mknod(QFile::encodeName(folder.filePath(out)).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
        QSKIP("a device node needs root");

    const QStringList before = folderState(t->folder());
    QStringList args = {mode, out};
    if (mode == QLatin1String("export-bank"))
        args << QStringLiteral("--all");
    QString errors;
    const int status = runProgram(t->folder(), args, &errors);
    QVERIFY2(!errors.contains(QStringLiteral("QPainter")), qPrintable(errors));
    if (written) {
        QVERIFY2(status == 0, qPrintable(errors));
        QVERIFY(QFileInfo(folder.filePath(out)).isFile());
        QVERIFY(fileBytes(folder.filePath(QStringLiteral("old.txt"))) != "old");
        QCOMPARE(QFileInfo(folder.filePath(QStringLiteral("old-link"))).isSymLink(), true);
        return;
    }
    QCOMPARE(status, 1);
    QVERIFY2(errors.contains(out), qPrintable(errors));
    QCOMPARE(folderState(t->folder()), before);
    QCOMPARE(t->scalar(QStringLiteral("select count(*) from PL")).toInt(), 1);
}

void BankFilesTest::purposeJoined_data()
{
    QTest::addColumn<QStringList>("lines"); // each of 5 characters at most
    QTest::addColumn<QString>("joined");
    QTest::newRow("short lines") << QStringList{"Счёт", "за ", " март"} << "Счёт за март";
    QTest::newRow("full line runs on") << QStringList{"abcde", "fg", "", ""} << "abcdefg";
    QTest::newRow("full line ending in a blank") << QStringList{"abcd ", "fg"} << "abcd fg";
    QTest::newRow("gap in the lines") << QStringList{"один", "", "три"} << "один три";
    QTest::newRow("nothing") << QStringList{"", " "} << "";
}

void BankFilesTest::purposeJoined()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, joined);
    QCOMPARE(JoinPurpose(lines, {5, 5, 5, 5}), joined);
}

QTEST_GUILESS_MAIN(BankFilesTest)
#include "tst_bankfiles.moc"
