#include "setup/DemoData.h"
#include "document/DocumentColumns.h"
#include "money/AmountInWords.h"
#include "store/AppError.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/TimestampId.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

namespace DemoData {

namespace {

struct Party
{
    const char *name1, *name2, *inn, *kpp, *account, *bik;
};

// Invented organisations: INNs with correct check digits, settlement accounts whose keys
// match their banks' real BIKs, so that every demo order passes a bank's checks.
const Party payer = {"ООО \"Северный ветер\"", "", "7701234560", "770101001",
                     "40702810200000012345", "044525225"};

const Party recipients[] = {
    {"ООО \"Ромашка\"", "", "7702345672", "770201001", "40702810300000054321", "044525187"},
    {"АО \"Технопарк\"", "", "7703456784", "770301001", "40702810200000011111", "044525593"},
    {"ИП Сидоров Иван Петрович", "", "500100732259", "", "40802810000000022222", "044525823"},
    {"ООО \"Невская логистика\"", "", "7804567890", "780401001", "40702810500000033333", "044030653"},
    // The unified tax payment's recipient, as every installation carries it.
    {"Казначейство России", "(ФНС России)", "7727406020", "770701001", "03100643000000018500", "017003983"},
};

const char *bankNames[][3] = {
    {"044525225", "ПАО СБЕРБАНК", "30101810400000000225"},
    {"044525187", "БАНК ВТБ (ПАО)", "30101810700000000187"},
    {"044525593", "АО \"АЛЬФА-БАНК\"", "30101810200000000593"},
    {"044525823", "\"ГАЗПРОМБАНК\" (АКЦИОНЕРНОЕ ОБЩЕСТВО)", "30101810200000000823"},
    {"044030653", "СЕВЕРО-ЗАПАДНЫЙ БАНК ПАО СБЕРБАНК", "30101810500000000653"},
    {"017003983", "ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула", "40102810445370000059"},
};

QString bankField(const char *bik, int field)
{
    for (const auto &bank : bankNames)
        if (qstrcmp(bank[0], bik) == 0)
            return QString::fromUtf8(bank[field]);
    return {};
}

QString townOf(const char *bik)
{
    if (qstrcmp(bik, "044030653") == 0)
        return QStringLiteral("САНКТ-ПЕТЕРБУРГ");
    if (qstrcmp(bik, "017003983") == 0)
        return QStringLiteral("ТУЛА");
    return QStringLiteral("МОСКВА");
}

qint64 countOf(Database &db, const QString &sql)
{
    QSqlQuery q = db.run(sql);
    return q.next() ? q.value(0).toLongLong() : 0;
}

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

void addDirectories(Database &db)
{
    if (countOf(db, QStringLiteral("select count(*) from PARAM where PAS in ('1','2')")) == 0) {
        const QString sql = QStringLiteral("insert into PARAM (LOGIN,PAS,P0,P1,P2,P3,P4,P5,P6) values (?,?,?,?,?,?,?,?,?)");
        const QDate today = Clock::today();
        db.run(sql, {u("Иванова Анна"), u("1"), db.dialect().toDb(ColumnKind::Logical, true), u("101"),
                     today.toString(QStringLiteral("dd.MM.yy")), u("True"), u("2"), u("без НДС."), u("0")});
        db.run(sql, {u("Петров Сергей"), u("2"), db.dialect().toDb(ColumnKind::Logical, false), u("1"),
                     today.toString(QStringLiteral("dd.MM.yy")), u("False"), u("1"), u("без НДС."), u("1")});
    }
    const QString partySql = QStringLiteral(
        "insert into %1 (ID,INN,KPP,SCHET,BIK,NAME1,NAME2,NAME3,NAME4,NAME%2) values (?,?,?,?,?,?,?,?,?,?%3)");
    if (countOf(db, QStringLiteral("select count(*) from S_PLAT")) == 0) {
        db.run(partySql.arg(QStringLiteral("S_PLAT"), QStringLiteral(",PRIOR"), QStringLiteral(",?")),
               {NewTimestampId(), u(payer.inn), u(payer.kpp), u(payer.account), u(payer.bik), u(payer.name1),
                u(payer.name2), QString(""), QString(""), u(payer.name1).left(20), u("v")});
    }
    // Each recipient once, by its account: the installation may have brought one of them already.
    for (const Party &r : recipients)
        if (countOf(db, QStringLiteral("select count(*) from S_POL where SCHET='%1'").arg(u(r.account))) == 0)
            db.run(partySql.arg(QStringLiteral("S_POL"), QString(), QString()),
                   {NewTimestampId(), u(r.inn), u(r.kpp), u(r.account), u(r.bik), u(r.name1), u(r.name2),
                    QString(""), QString(""), u(r.name1).left(20)});
}

} // namespace

void add(Database &db, const Options &options)
{
    db.transaction();
    try {
        addDirectories(db);
        if (countOf(db, QStringLiteral("select count(*) from PL")) > 0) {
            db.commit();
            return;
        }
        const TableDef &pl = *Schema::table(DocumentTable::Current);
        QStringList names, marks;
        for (const ColumnDef &c : pl.columns) {
            names << QLatin1String(c.name);
            marks << QStringLiteral("?");
        }
        const QString insertPl = QStringLiteral("insert into %1 (") + names.join(QLatin1Char(','))
                                 + QStringLiteral(") values (") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
        QSqlQuery current(db.connection());
        QSqlQuery archive(db.connection());
        current.prepare(insertPl.arg(DocumentTable::Current));
        archive.prepare(insertPl.arg(DocumentTable::Archive));

        QRandomGenerator random(options.seed);
        const QDate from = options.until.addYears(-options.years);
        const qint64 span = qMax<qint64>(1, from.daysTo(options.until));
        QHash<QDate, int> perDay;
        const SqlDialect &dialect = db.dialect();
        const char *states[] = {"3", "3", "3", "1", "0", "2"};

        for (int i = 0; i < options.documents; ++i) {
            const QDate date = from.addDays(random.bounded(span + 1));
            const Party &r = recipients[random.bounded(int(std::size(recipients)))];
            const bool tax = qstrcmp(r.bik, "017003983") == 0;
            const double amount = double(random.bounded(100, 50000000)) / 100.0;
            const bool archived = options.archiveEvery > 0 && i % options.archiveEvery == 0;
            const QString state = archived ? u("3") : u(states[random.bounded(int(std::size(states)))]);
            const QString login = random.bounded(2) == 0 ? u("1") : u("2");
            const int nds = tax ? 0 : (random.bounded(3) == 0 ? 0 : 20);
            const QString ndsLine = nds == 0 ? u("без НДС.")
                                             : u("НДС 20% ") + QString::number(amount * 20 / 120, 'f', 2)
                                                                   .replace(QLatin1Char('.'), QLatin1Char('-')) + u(".");
            const int n = perDay[date]++;
            const QString id = TimestampIdOf(QDateTime(date, QTime(8, 0)).addMSecs(qint64(n) * 1000 + random.bounded(1000)));

            // A tax order is a unified tax payment: one KBK, fields 105 to 109 and 22 "0", the payer's KPP "0".
            const QVariantList row = {
                QString::number(1 + i % 9999), dialect.toDb(ColumnKind::Date, date), amount,
                u(payer.name1), u(payer.name2), QString(""), QString(""),
                u(payer.inn), u(payer.account), tax ? u("0") : u(payer.kpp),
                bankField(payer.bik, 1), bankField(payer.bik, 2), u(payer.bik), u("г."), townOf(payer.bik),
                u(r.name1).left(30), u(r.name2).left(30), QString(""), QString(""),
                u(r.inn), u(r.account), u(r.kpp),
                bankField(r.bik, 1), bankField(r.bik, 2), u(r.bik), u("г."), townOf(r.bik),
                tax ? u("Единый налоговый платеж") : u("Оплата по счету № %1 от %2").arg(100 + i % 900).arg(date.toString(u("dd.MM.yy"))),
                tax ? QString("") : u("за товары и услуги"), QString(""), QString(""),
                tax ? QString("") : ndsLine.left(30), u("5"), QString::number(nds),
                tax ? u("01") : QString(""), tax ? u("18201061201010000510") : QString(""),
                tax ? u("0") : QString(""), tax ? u("0") : QString(""),
                tax ? u("0") : QString(""), tax ? u("0") : QString(""),
                tax ? u("0") : QString(""), QString(""),
                state, u("1"), AmountInWords(qRound64(amount * 10000)), u("01"),
                dialect.toDb(ColumnKind::Logical, tax), id,
                random.bounded(7) == 0 ? u("V") : QString(""), login,
                tax ? u("0") : QString(""),
            };
            QSqlQuery &q = archived ? archive : current;
            for (int c = 0; c < row.size(); ++c)
                q.bindValue(c, row.at(c));
            if (!q.exec())
                throw AppError(Database::errorText(q.lastError()));
        }
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace DemoData
