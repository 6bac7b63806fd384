#include "support/Engines.h"
#include "support/Keys.h"
#include "support/Mutator.h"
#include "support/TempDatabase.h"
#include "support/Watchdog.h"
#include "support/WindowFixture.h"

#include "editor/AmountEntry.h"
#include "money/MoneyText.h"
#include "register/RegisterPage.h"
#include "register/SearchBox.h"
#include "store/AppError.h"
#include "store/DataLink.h"
#include "store/DataSet.h"
#include "store/DateText.h"
#include "store/DecimalText.h"
#include "store/SqlText.h"
#include "tax/TaxParamName.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Fixed seeds: a failure names its seed and its input, and comes back the same.
constexpr quint32 seedBase = 20261210;

// How many inputs one reader was given, and what came of them.
struct Tally
{
    const char *reader;
    int tried = 0, read = 0, refused = 0;
    explicit Tally(const char *name) : reader(name) {}
    ~Tally() { qInfo("%s: seeds from %u, %d inputs tried, %d read, %d refused", reader, seedBase, tried, read, refused); }
};

QByteArray shown(const QString &text)
{
    QByteArray out;
    for (const QChar c : text.left(200))
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F ? QByteArray(1, char(c.unicode()))
                                                         : "\\u" + QByteArray::number(c.unicode(), 16);
    return out + (text.size() > 200 ? "..." : "");
}

QByteArray shown(const QByteArray &bytes)
{
    return shown(QString::fromLatin1(bytes));
}

// The readers of plain text need no database: they run in the first engine's row only.
#define ONCE()                                                                                                       \
    if (Engines::current() != Engine::SQLite)                                                                        \
        QSKIP("a text reader, tried in the sqlite row");

// A refusal must say what is wrong.
#define EXPECT_MESSAGE(error, input)                                                                                 \
    QVERIFY2(!(error).message().trimmed().isEmpty(), "empty message for " + (input))

bool sameLink(const DataLink &a, const DataLink &b)
{
    return a.engine == b.engine && a.dataSource == b.dataSource && a.initialCatalog == b.initialCatalog
           && a.userId == b.userId && a.password == b.password;
}

QByteArray classicLayout(const QString &text)
{
    const QString whole = QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n") + text;
    QStringEncoder utf16(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(utf16.encode(whole));
}

// Dates: an independent reading of day.month[.year] for the oracle.
QDate expectedDate(const QString &text, const QDate &today, bool *refused)
{
    *refused = false;
    QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression form(QStringLiteral("^([0-9]+)\\.([0-9]+)(?:\\.([0-9]+))?$"));
    const auto m = form.match(t);
    const auto number = [](QString digits) -> long long {
        while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
        return digits.size() > 9 ? -1 : digits.toLongLong();
    };
    long long day = -1, month = -1, year = today.year();
    if (m.hasMatch()) {
        day = number(m.captured(1));
        month = number(m.captured(2));
        if (m.lastCapturedIndex() == 3) {
            year = number(m.captured(3));
            if (year >= 0 && m.captured(3).size() <= 2) {
                const int first = today.year() - 50;
                year += first - first % 100;
                if (year < first)
                    year += 100;
            }
        }
    }
    const QDate date = day < 0 || month < 0 || year < 0 ? QDate() : QDate(int(year), int(month), int(day));
    *refused = !date.isValid();
    return date;
}

// Decimals: the grammar as a pattern and the C library's conversion as the value.
bool expectedDecimal(const QString &text, double *value)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)([0-9]*),?([0-9]*)(?:[eE]([+-]?[0-9]+))?$"));
    const QString t = text.trimmed();
    const auto m = form.match(t);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()) || t.count(QLatin1Char(',')) > 1)
        return false;
    QByteArray c = (m.captured(1) + m.captured(2) + QLatin1Char('.') + m.captured(3)).toLatin1();
    if (m.lastCapturedIndex() == 4)
        c += "e" + m.captured(4).toLatin1();
    errno = 0;
    *value = std::strtod(c.constData(), nullptr);
    return !(errno == ERANGE && std::isinf(*value)) && std::isfinite(*value);
}

// A document of the register with hostile texts, one per row.
struct HostileDoc
{
    QString id, nom, recipient;
    double amount;
};

QString validText(QString text, int width)
{
    // Lone surrogates have no UTF-8 form; a keyboard gives none.
    text = QString::fromUtf8(text.toUtf8());
    return text.left(width);
}

QList<HostileDoc> hostileDocs(Mutator &m, int count)
{
    static const QStringList names = {"ООО \"Вектор\"", "ИП Д'Артаньян", "АО «Ромашка»", "ЗАО 100%_РОСТ", "Ёлка; ёж = 1",
                                      "  пробелы  ", "строка\nперенос", "O''Brien", "\\", "'", "''", "%", "_"};
    QList<HostileDoc> docs;
    for (int i = 0; i < count; ++i) {
        HostileDoc d;
        d.id = QStringLiteral("H%1").arg(i, 3, 10, QLatin1Char('0'));
        // A NUL is no text for PostgreSQL; the test of its refusal is elsewhere.
        d.nom = validText(m.chance(50) ? QString::number(m.below(1000)) : m.nastyText(7), 7).remove(QChar(0));
        const QString base = names.at(m.below(int(names.size())));
        d.recipient = validText(m.chance(40) ? base : m.chance(50) ? m.mutate(base) : m.nastyText(30), 30).remove(QChar(0));
        d.amount = m.chance(10) ? 0.0 : m.below(2000000) / 100.0;
        docs << d;
    }
    // Two rows alike, so a filter must show both.
    if (count > 3)
        docs[count - 1].recipient = docs[1].recipient;
    return docs;
}

} // namespace

class HostileTextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void initTestCase();

    void dataLinkRoundTrip();
    void dataLinkMutated();
    void dataLinkNasty_data();
    void dataLinkNasty();
    void dataLinkFileThatIsNoFile();

    void datesGenerated();
    void datesNasty_data();
    void datesNasty();
    void decimalsGenerated();
    void decimalsNasty_data();
    void decimalsNasty();
    void moneyText();
    void amountEntry();

    void filterAndLocate();
    void searchBoxThroughWindow();
    void taxCodes();
};

void HostileTextTest::initTestCase_data()
{
    Engines::addRows();
}

void HostileTextTest::initTestCase()
{
    // The oracle's strtod must read a point whatever the machine's locale.
    std::setlocale(LC_NUMERIC, "C");
}

void HostileTextTest::dataLinkRoundTrip()
{
    ONCE();
    Mutator m(seedBase + 1);
    Tally tally("sql.udl written and read back");
    Watchdog dog(30);
    struct Host { const char *dataSource, *host; int port; };
    static const Host hosts[] = {
        {"db.example", "db.example", 0}, {"10.0.0.5:5433", "10.0.0.5", 5433}, {"[::1]:5432", "::1", 5432},
        {"::1", "::1", 0}, {"fe80::1%eth0", "fe80::1%eth0", 0}, {"[fe80::1]", "fe80::1", 0}, {"", "localhost", 0},
        {"localhost:65535", "localhost", 65535}, {"[2001:db8::7]:1", "2001:db8::7", 1},
    };
    for (int i = 0; i < 3000; ++i) {
        DataLink link;
        const Host *host = nullptr;
        link.engine = m.chance(50) ? Engine::SQLite : Engine::PostgreSQL;
        if (link.engine == Engine::SQLite) {
            link.dataSource = m.chance(30) ? QStringLiteral("payorders.db") : m.nastyText(20);
            if (link.dataSource.trimmed().isEmpty())
                link.dataSource = QStringLiteral("x") + link.dataSource;
        } else {
            host = &hosts[m.below(int(std::size(hosts)))];
            link.dataSource = QLatin1String(host->dataSource);
            link.initialCatalog = m.nastyText(12);
        }
        link.userId = m.nastyText(10);
        link.password = m.chance(20) ? QStringLiteral("p;w=\"'x") : m.nastyText(16);
        // Values that a user cannot type: lone surrogates have no encoding.
        for (QString *v : {&link.dataSource, &link.initialCatalog, &link.userId, &link.password})
            *v = QString::fromUtf8(v->toUtf8());
        if (link.engine == Engine::SQLite && link.dataSource.trimmed().isEmpty())
            link.dataSource = QStringLiteral("x") + link.dataSource;
        const QByteArray input = "link " + QByteArray::number(i) + ": "
                                 + shown(QStringList{link.dataSource, link.initialCatalog, link.userId, link.password}.join('|'));
        dog.pet(input);
        ++tally.tried;
        QString text;
        try {
            text = link.toText();
        } catch (const AppError &e) {
            // Only a value the file cannot hold is refused: a line break or an outer blank in a quote is kept.
            EXPECT_MESSAGE(e, input);
            ++tally.refused;
            continue;
        }
        const bool classic = m.chance(50);
        try {
            const DataLink back = DataLink::parse(classic ? classicLayout(text) : text.toUtf8());
            QVERIFY2(sameLink(back, link), input + (classic ? " (classic)" : " (plain)") + " read back as "
                                               + shown(back.toText()));
            if (host) {
                QCOMPARE(back.server().host, QLatin1String(host->host));
                QCOMPARE(back.server().port, host->port);
            }
            ++tally.read;
        } catch (const AppError &e) {
            QFAIL(input + " was written, yet refused: " + e.message().toUtf8());
        }
    }
}

void HostileTextTest::dataLinkMutated()
{
    ONCE();
    Mutator m(seedBase + 2);
    Tally tally("sql.udl mutated");
    Watchdog dog(30);
    const QStringList samples = {
        "Provider=SQLite;Data Source=payorders.db;\n",
        "Provider=PostgreSQL.1;Data Source=[::1]:5432;Initial Catalog=pay;User ID=u;Password=\"a;b=c\"\"d\";\n",
        "Provider=PostgreSQL;Password='x''y;z';User ID=\"вася\";Data Source=db.example:5433;Initial Catalog=Платежи\r\n",
    };
    for (int i = 0; i < 6000; ++i) {
        const QString sample = samples.at(m.below(int(samples.size())));
        QByteArray bytes = m.chance(50) ? classicLayout(sample) : sample.toUtf8();
        bytes = m.mutate(bytes);
        const QByteArray input = "input " + QByteArray::number(i) + ": " + shown(bytes);
        dog.pet(input);
        ++tally.tried;
        try {
            const DataLink link = DataLink::parse(bytes);
            // What reads must also name a server that can be asked for.
            if (link.engine == Engine::PostgreSQL)
                QVERIFY2(!link.server().host.isEmpty(), input);
            else
                QVERIFY2(!link.dataSource.isEmpty(), input);
            ++tally.read;
        } catch (const AppError &e) {
            EXPECT_MESSAGE(e, input);
            ++tally.refused;
        }
    }
}

void HostileTextTest::dataLinkNasty_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("dataSource"); // empty: refused
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow(";, = in a quoted password") << QByteArray("Provider=PostgreSQL;Data Source=h;Password=\"a;b=c\";")
                                               << "h" << "a;b=c" << "h" << 0;
    QTest::newRow("= in a plain password") << QByteArray("Provider=PostgreSQL;Data Source=h;Password=a=b;")
                                           << "h" << "a=b" << "h" << 0;
    QTest::newRow("doubled quote") << QByteArray("Provider=PostgreSQL;Data Source=h;Password='it''s';")
                                   << "h" << "it's" << "h" << 0;
    QTest::newRow("unclosed quote") << QByteArray("Provider=PostgreSQL;Data Source=h;Password=\"abc;") << "" << "" << "" << 0;
    QTest::newRow("text after quote") << QByteArray("Provider=PostgreSQL;Data Source=h;Password=\"a\"b;") << "" << "" << "" << 0;
    QTest::newRow("IPv6 with port") << QByteArray("Provider=PostgreSQL;Data Source=[fe80::2]:6000;") << "[fe80::2]:6000"
                                    << "" << "fe80::2" << 6000;
    QTest::newRow("IPv6 bare") << QByteArray("Provider=PostgreSQL;Data Source=2001:db8::1;") << "2001:db8::1" << ""
                               << "2001:db8::1" << 0;
    QTest::newRow("IPv6 unclosed") << QByteArray("Provider=PostgreSQL;Data Source=[::1;") << "" << "" << "" << 0;
    QTest::newRow("IPv6 junk after") << QByteArray("Provider=PostgreSQL;Data Source=[::1]x;") << "" << "" << "" << 0;
    QTest::newRow("port 0") << QByteArray("Provider=PostgreSQL;Data Source=h:0;") << "" << "" << "" << 0;
    QTest::newRow("port 65536") << QByteArray("Provider=PostgreSQL;Data Source=h:65536;") << "" << "" << "" << 0;
    QTest::newRow("port of Arabic digits") << QString("Provider=PostgreSQL;Data Source=h:٥٤٣٢;").toUtf8() << "" << "" << ""
                                           << 0;
    QTest::newRow("BOM without text") << QByteArray("\xEF\xBB\xBF") << "" << "" << "" << 0;
    QTest::newRow("UTF-16 BOM without text") << QByteArray("\xFF\xFE") << "" << "" << "" << 0;
    QTest::newRow("empty") << QByteArray() << "" << "" << "" << 0;
    QTest::newRow("NULs") << QByteArray(64, '\0') << "" << "" << "" << 0;
    QTest::newRow("odd UTF-16") << QByteArray("\xFF\xFEP\0r\0o", 7) << "" << "" << "" << 0;
    QTest::newRow("invalid UTF-8") << QByteArray("Provider=SQLite;Data Source=\xC3\x28.db;") << "\xEF\xBF\xBD(.db" << ""
                                   << "" << 0;
    QTest::newRow("very long line") << "Provider=SQLite;Data Source=" + QByteArray(60000, 'a') + ";"
                                    << QString(60000, QLatin1Char('a')) << "" << "" << 0;
    QTest::newRow("very long quoted password")
        << "Provider=PostgreSQL;Data Source=h;Password=\"" + QByteArray(60000, ';') + "\";" << "h" << QString(60000, ';')
        << "h" << 0;
    QTest::newRow("no provider") << QByteArray("Data Source=x.db;") << "" << "" << "" << 0;
    QTest::newRow("provider by substring") << QByteArray("Provider=NotSQLiteAtAll;Data Source=x.db;") << "" << "" << "" << 0;
}

void HostileTextTest::dataLinkNasty()
{
    ONCE();
    QFETCH(QByteArray, content);
    QFETCH(QString, dataSource);
    QFETCH(QString, password);
    QFETCH(QString, host);
    QFETCH(int, port);
    try {
        const DataLink link = DataLink::parse(content);
        QVERIFY2(!dataSource.isEmpty(), "read, should be refused: " + shown(link.toText()));
        QCOMPARE(link.dataSource, dataSource);
        QCOMPARE(link.password, password);
        if (!host.isEmpty()) {
            QCOMPARE(link.server().host, host);
            QCOMPARE(link.server().port, port);
        }
        // Written again, it reads the same: quotes where needed.
        QVERIFY(sameLink(DataLink::parse(link.toText().toUtf8()), link));
    } catch (const AppError &e) {
        QVERIFY2(dataSource.isEmpty(), qPrintable(e.message()));
        QVERIFY(!e.message().trimmed().isEmpty());
    }
}

void HostileTextTest::dataLinkFileThatIsNoFile()
{
    ONCE();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sql.udl"));
    QVERIFY(QDir().mkdir(folder));
    for (const QString &path : {folder, QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("absent.udl"))}) {
        try {
            DataLink::readFile(path);
            QFAIL(qPrintable(path + QStringLiteral(" read as a data link")));
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
    }
}

void HostileTextTest::datesGenerated()
{
    ONCE();
    Mutator m(seedBase + 3);
    Tally tally("dates");
    Watchdog dog(30);
    const QDate today(2026, 12, 10);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        QDate known; // set when the text is one of a valid date
        if (m.chance(40)) {
            known = QDate(1977 + m.below(98), 1, 1).addDays(m.below(366));
            const QString sep = m.chance(50) ? QStringLiteral(".") : QStringLiteral(",");
            const QString pad = m.chance(20) ? QStringLiteral("000") : QString();
            const int form = m.below(3);
            const QString year = form == 0 ? QString::number(known.year()) : QStringLiteral("%1").arg(known.year() % 100, 2, 10, QLatin1Char('0'));
            text = QStringLiteral(" %1%2%3%4%5").arg(pad).arg(known.day()).arg(sep).arg(known.month(), form == 2 ? 2 : 1, 10, QLatin1Char('0')).arg(sep + year);
            if (m.chance(50) && known.year() == today.year()) {
                text = QStringLiteral("%1.%2").arg(known.day()).arg(known.month());
            }
            if (m.chance(30)) {
                text = m.mutate(text);
                known = QDate();
            }
        } else {
            text = m.chance(50) ? m.nastyText(12) : m.mutate(QStringLiteral("31.12.99"));
        }
        const QByteArray input = "date " + QByteArray::number(i) + ": " + shown(text);
        dog.pet(input);
        ++tally.tried;
        bool refused = false;
        const QDate expected = expectedDate(text, today, &refused);
        if (known.isValid())
            QVERIFY2(expected == known, input);
        try {
            const QDate date = ReadDateText(text, today);
            QVERIFY2(!refused, input + " read as " + date.toString(Qt::ISODate).toUtf8());
            QVERIFY2(date == expected, input + " read as " + date.toString(Qt::ISODate).toUtf8());
            // Two digits of year stand for the hundred years around today.
            if (date.year() >= today.year() - 50 && date.year() < today.year() + 50)
                QCOMPARE(ReadDateText(WriteDateText(date), today), date);
            ++tally.read;
        } catch (const AppError &e) {
            QVERIFY2(refused, input + " refused: " + e.message().toUtf8());
            QVERIFY2(e.message().contains(text), input);
            ++tally.refused;
        }
    }
}

void HostileTextTest::datesNasty_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: refused
    QTest::newRow("leap day") << "29.02.2024" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "29.02.2100" << QDate();
    QTest::newRow("day 0") << "0.1.26" << QDate();
    QTest::newRow("month 13") << "1.13.26" << QDate();
    QTest::newRow("year 0") << "1.1.0000" << QDate();
    QTest::newRow("huge day") << "99999999999999999999.1.26" << QDate();
    QTest::newRow("many zeros") << "000000000000000000001.01.26" << QDate(2026, 1, 1);
    QTest::newRow("Arabic digits") << "١.١.٢٦" << QDate();
    QTest::newRow("full-width digits") << "１.１.２６" << QDate();
    QTest::newRow("signs") << "+1.-1.26" << QDate();
    QTest::newRow("four parts") << "1.1.1.1" << QDate();
    QTest::newRow("one part") << "1" << QDate();
    QTest::newRow("empty part") << "1..26" << QDate();
    QTest::newRow("NUL") << QString::fromUtf16(u"1.1\0.26", 7) << QDate();
    QTest::newRow("non-breaking blanks") << "\u00A01.1.26\u00A0" << QDate(2026, 1, 1);
    QTest::newRow("long line") << QString(100000, QLatin1Char('1')) << QDate();
    QTest::newRow("year 99999") << "1.1.99999" << QDate(99999, 1, 1);
}

void HostileTextTest::datesNasty()
{
    ONCE();
    QFETCH(QString, text);
    QFETCH(QDate, date);
    try {
        QCOMPARE(ReadDateText(text, QDate(2026, 12, 10)), date);
        QVERIFY(date.isValid());
    } catch (const AppError &e) {
        QVERIFY2(!date.isValid(), qPrintable(e.message()));
        QVERIFY(e.message().startsWith(QStringLiteral("Неверная дата")));
    }
}

void HostileTextTest::decimalsGenerated()
{
    ONCE();
    Mutator m(seedBase + 4);
    Tally tally("decimals");
    Watchdog dog(30);
    static const QStringList samples = {"1500", "1234,56", ",5", "5,", "-0,001", "+1e3", "1,5E-3", " 7 ", "1e308",
                                        "0,000000000000000000000000001e-300", "99999999999999999999999"};
    for (int i = 0; i < 20000; ++i) {
        QString text = samples.at(m.below(int(samples.size())));
        if (m.chance(80))
            text = m.mutate(text);
        const QByteArray input = "decimal " + QByteArray::number(i) + ": " + shown(text);
        dog.pet(input);
        ++tally.tried;
        double expected = 0;
        const bool reads = expectedDecimal(text, &expected);
        QVERIFY2(ReadsAsDecimal(text) == reads, input);
        try {
            const double value = ReadDecimal(text);
            QVERIFY2(reads, input);
            // Below the smallest normal double, zero is also a right answer.
            QVERIFY2(value == expected || (std::fabs(expected) < DBL_MIN && value == 0),
                     input + " read as " + QByteArray::number(value, 'g', 17) + ", not "
                         + QByteArray::number(expected, 'g', 17));
            ++tally.read;
        } catch (const AppError &e) {
            QVERIFY2(!reads, input);
            EXPECT_MESSAGE(e, input);
            ++tally.refused;
        }
    }
}

void HostileTextTest::decimalsNasty_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << "1.5" << false << 0.0;
    QTest::newRow("two commas") << "1,5,0" << false << 0.0;
    QTest::newRow("only a comma") << "," << false << 0.0;
    QTest::newRow("huge exponent") << "1e99999999999999999999" << false << 0.0;
    QTest::newRow("tiny exponent") << "1e-99999999999999999999" << true << 0.0;
    QTest::newRow("many digits") << QString(5000, QLatin1Char('1')) << false << 0.0;
    QTest::newRow("many zeros then one") << "0," + QString(5000, QLatin1Char('0')) + "1" << true << 0.0;
    QTest::newRow("many leading zeros") << QString(5000, QLatin1Char('0')) + "12,5" << true << 12.5;
    QTest::newRow("NaN") << "NaN" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("hex") << "0x10" << false << 0.0;
    QTest::newRow("Arabic digits") << "١٢" << false << 0.0;
    QTest::newRow("NUL inside") << QString::fromUtf16(u"1\0" u"2", 3) << false << 0.0;
    QTest::newRow("sign alone") << "-" << false << 0.0;
    QTest::newRow("exponent alone") << "1e" << false << 0.0;
    QTest::newRow("largest") << "1,7976931348623157e308" << true << DBL_MAX;
}

void HostileTextTest::decimalsNasty()
{
    ONCE();
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QFETCH(double, value);
    QCOMPARE(ReadsAsDecimal(text), reads);
    if (reads) {
        QCOMPARE(ReadDecimal(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(AppError, ReadDecimal(text));
        QVERIFY(!ReadsAsAmount(text));
    }
}

void HostileTextTest::moneyText()
{
    ONCE();
    Mutator m(seedBase + 5);
    Tally tally("money texts");
    static const QRegularExpression form(QStringLiteral("^-?[0-9]+-[0-9]{2}$"));
    for (int i = 0; i < 20000; ++i) {
        ++tally.tried;
        if (i % 2 == 0) {
            // Whole cents come back exactly.
            const qint64 cents = qint64(m.below(1 << 30)) * (m.chance(50) ? 1 : 1000000) * (m.chance(20) ? -1 : 1);
            const qint64 whole = std::llabs(cents);
            const QString expected = QStringLiteral("%1%2-%3").arg(cents < 0 ? "-" : "").arg(whole / 100).arg(whole % 100, 2, 10, QLatin1Char('0'));
            QCOMPARE(MoneyText(double(cents) / 100.0), expected);
            ++tally.read;
            continue;
        }
        // Any bit pattern: a finite value gives a text within half a cent, the rest a refusal.
        quint64 bits = (quint64(m.below(1 << 30)) << 34) ^ (quint64(m.below(1 << 30)) << 4) ^ quint64(m.below(16));
        double x;
        std::memcpy(&x, &bits, sizeof x);
        try {
            const QString text = MoneyText(x);
            QVERIFY2(std::isfinite(x), qPrintable(text));
            QVERIFY2(form.match(text).hasMatch(), qPrintable(text.left(80)));
            QString asNumber = text;
            asNumber[asNumber.lastIndexOf(QLatin1Char('-'))] = QLatin1Char('.');
            const double back = std::strtod(asNumber.toLatin1().constData(), nullptr);
            QVERIFY2(std::fabs(back - x) <= 0.005 + std::fabs(x) * 1e-15, qPrintable(text.left(80)));
            ++tally.read;
        } catch (const AppError &e) {
            QVERIFY2(!std::isfinite(x), qPrintable(e.message()));
            QVERIFY(!e.message().isEmpty());
            ++tally.refused;
        }
    }
}

void HostileTextTest::amountEntry()
{
    ONCE();
    Mutator m(seedBase + 6);
    Tally tally("amounts");
    Watchdog dog(30);
    static const QStringList samples = {"1500", "1234,56", ",05", "0", "-1", "999999999999,99", "1e15", "1e-5", "12,345"};
    for (int i = 0; i < 10000; ++i) {
        const QString text = m.chance(70) ? m.mutate(samples.at(m.below(int(samples.size())))) : samples.at(m.below(int(samples.size())));
        const QByteArray input = "amount " + QByteArray::number(i) + ": " + shown(text);
        dog.pet(input);
        ++tally.tried;
        try {
            const double value = ReadAmount(text);
            QVERIFY2(ReadsAsAmount(text) && ReadsAsDecimal(text), input);
            QVERIFY2(value >= 0 && std::isfinite(value), input);
            QVERIFY2(!AmountWordsOf(value).isEmpty(), input);
            const double shownBack = ReadDecimal(AmountDisplayText(value));
            QVERIFY2(std::fabs(shownBack - value) <= 0.005 + value * 1e-15, input);
            ++tally.read;
        } catch (const AppError &e) {
            QVERIFY2(!ReadsAsAmount(text), input);
            EXPECT_MESSAGE(e, input);
            ++tally.refused;
        }
    }
}

void HostileTextTest::filterAndLocate()
{
    TempDatabase::Options options;
    options.engine = Engines::current();
    TempDatabase t(options);
    QVERIFY2(t.isValid(), qPrintable(t.reason()));
    Mutator m(seedBase + 7);
    Tally tally(Engines::current() == Engine::SQLite ? "register filter and locate (SQLite)"
                                                     : "register filter and locate (PostgreSQL)");
    const QList<HostileDoc> docs = hostileDocs(m, 40);
    for (const HostileDoc &d : docs)
        t.addDocument(QStringLiteral("PL"), {{"ID", d.id}, {"NOM", d.nom}, {"NAME_POL1", d.recipient}, {"S", d.amount},
                                             {"DATE", QDate(2026, 12, 1)}});
    DataSet ds(t.db());
    ds.setSql(QStringLiteral("select * from PL order by ID"));
    ds.open();
    QCOMPARE(ds.recordCount(), int(docs.size()));
    for (int r = 0; r < ds.recordCount(); ++r) {
        ds.setRecNo(r);
        QVERIFY2(ds.text(QStringLiteral("NAME_POL1")) == docs.at(r).recipient, shown(docs.at(r).recipient));
        QVERIFY2(ds.text(QStringLiteral("NOM")) == docs.at(r).nom, shown(docs.at(r).nom));
    }
    const auto ids = [&] {
        QStringList list;
        for (int r = 0; r < ds.recordCount(); ++r)
            list << ds.rawAt(r, ds.columnIndex(QStringLiteral("ID")));
        return list;
    };

    Watchdog dog(30);
    // The filter of Enter in the search box: each row's own value shows exactly the rows that hold it.
    for (const char *column : {"NAME_POL1", "NOM", "S"}) {
        for (int r = 0; r < int(docs.size()); ++r) {
            ds.setFiltered(false);
            ds.setRecNo(r);
            const QString value = ds.text(QLatin1String(column));
            const QString expression = QLatin1String(column) + QLatin1Char('=') + value;
            dog.pet("filter " + shown(expression));
            ++tally.tried;
            QStringList expected;
            for (const HostileDoc &d : docs) {
                const bool same = qstrcmp(column, "NAME_POL1") == 0 ? d.recipient == docs.at(r).recipient
                                  : qstrcmp(column, "NOM") == 0     ? d.nom == docs.at(r).nom
                                                                    : d.amount == docs.at(r).amount;
                if (same)
                    expected << d.id;
            }
            ds.setFilter(RowFilter(QLatin1String(column), value));
            ds.setFiltered(true);
            QVERIFY2(ids() == expected, "filter " + shown(expression) + " shows " + ids().join(',').toUtf8());
            ++tally.read;
        }
    }
    // Mutated values: a view of exactly the rows that hold the value, whatever it holds.
    for (int i = 0; i < 2000; ++i) {
        ds.setFiltered(false);
        const QString value = m.mutate(docs.at(m.below(int(docs.size()))).recipient);
        dog.pet("mutated filter " + shown(value));
        ++tally.tried;
        QStringList expected;
        for (const HostileDoc &d : docs)
            if (d.recipient == value)
                expected << d.id;
        ds.setFilter(RowFilter(QStringLiteral("NAME_POL1"), value));
        ds.setFiltered(true);
        QVERIFY2(ids() == expected, "filter " + shown(value) + " shows " + ids().join(',').toUtf8());
        ++tally.read;
    }
    // Locate after each key typed: the first row whose text starts with the prefix, any letter case.
    ds.setFiltered(false);
    for (int i = 0; i < 3000; ++i) {
        const char *column = i % 3 == 0 ? "NOM" : i % 3 == 1 ? "NAME_POL1" : "S";
        const int c = ds.columnIndex(QLatin1String(column));
        QString prefix = ds.rawAt(m.below(ds.recordCount()), c);
        if (qstrcmp(column, "S") == 0)
            prefix.replace(QLatin1Char('.'), QLatin1Char(','));
        prefix = prefix.left(m.below(int(prefix.size()) + 1));
        if (m.chance(30))
            prefix = m.chance(50) ? prefix.toUpper() : prefix.toLower();
        if (m.chance(30))
            prefix = validText(m.mutate(prefix), 1000);
        dog.pet("locate " + shown(prefix));
        ++tally.tried;
        int expected = -1;
        QString wanted = prefix;
        if (qstrcmp(column, "S") == 0)
            wanted.replace(QLatin1Char(','), QLatin1Char('.'));
        for (int r = 0; r < ds.recordCount() && expected < 0; ++r)
            if (ds.rawAt(r, c).startsWith(wanted, Qt::CaseInsensitive))
                expected = r;
        ds.setRecNo(0);
        const bool found = ds.locate(QLatin1String(column), prefix);
        QVERIFY2(found == (expected >= 0), "locate " + QByteArray(column) + " " + shown(prefix));
        if (found) {
            QVERIFY2(ds.recNo() == expected, "locate " + QByteArray(column) + " " + shown(prefix) + " at row "
                                                 + QByteArray::number(ds.recNo()) + ", not " + QByteArray::number(expected));
            ++tally.read;
        } else {
            ++tally.refused;
        }
    }
}

void HostileTextTest::searchBoxThroughWindow()
{
    Mutator m(seedBase + 8);
    QList<HostileDoc> docs = hostileDocs(m, 12);
    // SQLite takes a leading U+FEFF of a bound UTF-16 text for a byte-order mark; left out here.
    for (HostileDoc &d : docs) {
        d.nom.remove(QChar(0xFEFF));
        d.recipient.remove(QChar(0xFEFF));
    }
    auto f = WindowFixture::signedInOver(QStringLiteral("1"), [&](TempDatabase &d) {
        for (const HostileDoc &doc : docs)
            d.addDocument(QStringLiteral("PL"), {{"ID", doc.id}, {"NOM", doc.nom}, {"NAME_POL1", doc.recipient},
                                                 {"S", doc.amount}, {"DATE", QDate(2026, 12, 1)}});
    });
    if (!f)
        return;
    Tally tally(Engines::current() == Engine::SQLite ? "search box e_find (SQLite)" : "search box e_find (PostgreSQL)");
    DataSet &q1 = f->window().q1();
    const int all = q1.recordCount();
    QVERIFY(all >= int(docs.size()));
    static const QStringList typed = {"'", "''", "\"", "%", "_", "ООО \"", "Д'", "1e999", ",,", "-", "\\", "«", ";=", "ё"};
    static const struct { Qt::KeyboardModifiers modifiers; const char *column; } boxes[] = {
        {Qt::NoModifier, "S"}, {Qt::ControlModifier, "NOM"}, {Qt::AltModifier, "NAME_POL1"}};
    for (const auto &box : boxes) {
        for (const QString &text : typed) {
            ++tally.tried;
            Keys::press(Qt::Key_F6, box.modifiers);
            QCOMPARE(Keys::focused()->objectName(), QStringLiteral("e_find"));
            Keys::type(text);
            Keys::press(Qt::Key_Return);
            QVERIFY2(f->dialogs().errors().isEmpty(), qPrintable(f->dialogs().errors().join('\n')));
            QVERIFY(q1.isFiltered());
            // Every row shown holds the value of the row the box filtered on, and no such row is missing.
            // The filter takes the row's own value; the box shows it as a line edit can (line breaks differ).
            QVERIFY(q1.recordCount() >= 1);
            const QString value = q1.text(QLatin1String(box.column));
            const int shownRows = q1.recordCount();
            Keys::press(Qt::Key_F9);
            QVERIFY(!q1.isFiltered());
            QCOMPARE(q1.recordCount(), all);
            // As many as the whole list holds with that value.
            int holding = 0;
            for (int r = 0; r < q1.recordCount(); ++r) {
                q1.setRecNo(r);
                holding += q1.text(QLatin1String(box.column)) == value;
            }
            QVERIFY2(shownRows == holding, qPrintable(QStringLiteral("%1 = %2: %3 shown, %4 in the list")
                                                          .arg(QLatin1String(box.column), value).arg(shownRows).arg(holding)));
            q1.first();
            ++tally.read;
        }
    }
    QCOMPARE(f->data().scalar(QStringLiteral("select count(*) from PL")).toInt(), all);
}

void HostileTextTest::taxCodes()
{
    TempDatabase::Options options;
    options.engine = Engines::current();
    TempDatabase t(options);
    QVERIFY2(t.isValid(), qPrintable(t.reason()));
    Tally tally(Engines::current() == Engine::SQLite ? "tax codes (SQLite)" : "tax codes (PostgreSQL)");
    QHash<QString, QString> names; // TIP + '\t' + KOD -> NAME
    QStringList tips, kods;
    QSqlQuery all = t.db().run(QStringLiteral("select TIP, KOD, NAME from N_PARAM"));
    while (all.next()) {
        names.insert(all.value(0).toString() + QLatin1Char('\t') + all.value(1).toString(), all.value(2).toString());
        tips << all.value(0).toString();
        kods << all.value(1).toString();
    }
    QVERIFY(names.size() > 10);
    const int rows = t.scalar(QStringLiteral("select count(*) from N_PARAM")).toInt();
    DataSet q(t.db());
    Mutator m(seedBase + 9);
    Watchdog dog(30);
    for (int i = 0; i < 1500; ++i) {
        const int pick = m.below(int(tips.size()));
        const QString tip = tips.at(pick);
        QString kod = kods.at(pick);
        if (m.chance(60))
            kod = validText(m.chance(50) ? m.mutate(kod) : m.nastyText(4) + QStringLiteral("' or '1'='1"), 400);
        dog.pet("tax code " + shown(tip + QLatin1Char('/') + kod));
        ++tally.tried;
        const QString name = LookupTaxParamName(q, tip, kod);
        QVERIFY2(name == names.value(tip + QLatin1Char('\t') + kod), shown(kod));
        ++(name.isEmpty() ? tally.refused : tally.read);
    }
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from N_PARAM")).toInt(), rows);
}

QTEST_MAIN(HostileTextTest)
#include "tst_hostile_text.moc"
