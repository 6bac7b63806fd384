#include "bank/ClientBankExchange.h"

#include "bank/CheckDigits.h"
#include "document/PaymentOrder.h"
#include "print/AmountInWords.h"
#include "store/AppError.h"
#include "store/Clock.h"
#include "store/DataSet.h"
#include "store/Schema.h"
#include "store/TextWidth.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

namespace {

using Line = std::pair<QString, QString>;

// The payer's and the recipient's keys and the document columns behind them.
struct PartyColumns
{
    const char *side;
    const char *account, *inn, *kpp, *bank, *correspondent, *bik, *type, *settlement;
    const char *name; // the four name columns are name + 1..4
};

const PartyColumns parties[] = {
    {"Плательщик", "SCH_DT", "INN_PL", "KPP_PL", "BANK_PL1", "K_SBANK_DT", "MFOBANK_PL", "TNP_PL", "NNP_PL", "NAME_PL"},
    {"Получатель", "SCH_KT", "INN_POL", "KPP_POL", "BANK_POL1", "K_SBANK_KT", "MFOBANKPOL", "TNP_POL", "NNP_POL", "NAME_POL"},
};

// Fields 101 and 104 to 110, written for a tax payment only.
const std::pair<const char *, const char *> taxKeys[] = {
    {"СтатусСоставителя", "P101_STATU"}, {"ПоказательКБК", "P104_KBK"},      {"ОКАТО", "P105_OKATO"},
    {"ПоказательОснования", "P106_OSNOV"}, {"ПоказательПериода", "P107_PERIO"}, {"ПоказательНомера", "P108_N_DOC"},
    {"ПоказательДаты", "P109_D_DOC"},      {"ПоказательТипа", "P110_TIP"},
};

const char *const paymentKinds[] = {"", "электронно", "почтой", "телеграфом"};

QString key(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// One line per value: a line break of any kind, or a control character a bank's
// reader may split or stop at, would end it early.
QString oneLine(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : value) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return value.trimmed();
}

// A date the file's dd.mm.yyyy can carry.
bool writableDate(const QDate &date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

QString describe(DataSet &doc)
{
    const QDate date = doc.date(QStringLiteral("DATE"));
    return QStringLiteral("документ № %1 от %2 (ID %3)")
        .arg(doc.text(QStringLiteral("NOM")).trimmed(), writableDate(date) ? date.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("?"),
             doc.text(QStringLiteral("ID")));
}

// Why no bank would take the document's amount or date; empty when one would.
QStringList paymentFaults(DataSet &doc)
{
    QStringList faults;
    if (doc.isNull(QStringLiteral("S"))) {
        faults << QStringLiteral("сумма не указана");
    } else {
        try {
            const double amount = doc.number(QStringLiteral("S"));
            const QString shown = QString::number(amount, 'g', 15);
            if (!std::isfinite(amount))
                faults << QStringLiteral("сумма %1 не является числом").arg(shown);
            else if (amount < 0)
                faults << QStringLiteral("сумма %1 отрицательна").arg(shown);
            else if (!AmountHasWords(amount))
                faults << QStringLiteral("сумма %1 больше 999 999 999 999 999,99").arg(shown);
            else if (QString::number(amount, 'f', 2) == QLatin1String("0.00"))
                faults << QStringLiteral("сумма %1 равна нулю в копейках").arg(shown);
        } catch (const AppError &error) {
            faults << error.message();
        }
    }
    if (!writableDate(doc.date(QStringLiteral("DATE")))) {
        // A date the engine could not read comes back as none at all.
        const QString stored = doc.text(QStringLiteral("DATE")).trimmed();
        faults << (stored.isEmpty() ? QStringLiteral("дата не указана или невозможна") : QStringLiteral("дата «%1» невозможна").arg(stored));
    }
    return faults;
}

QStringList checkDocument(DataSet &doc)
{
    QStringList reasons;
    for (const PartyColumns &p : parties) {
        const QString account = doc.text(QLatin1String(p.account)).trimmed();
        const QString bik = doc.text(QLatin1String(p.bik)).trimmed();
        if (!CheckDigits::accountMatchesBik(bik, account))
            reasons << QStringLiteral("счёт %1 не сходится с БИК %2 (%3)").arg(account, bik, key(p.side));
        const QString inn = doc.text(QLatin1String(p.inn)).trimmed();
        // "0" stands for a recipient who has no INN.
        if (!inn.isEmpty() && inn != QLatin1String("0") && !CheckDigits::innIsValid(inn))
            reasons << QStringLiteral("ИНН %1 неверен (%2)").arg(inn, key(p.side));
    }
    return reasons;
}

QList<Line> documentLines(DataSet &doc)
{
    const auto text = [&](const char *column) { return oneLine(doc.text(QLatin1String(column))); };
    QList<Line> lines;
    const auto add = [&](const QString &k, const QString &v) { lines.append({k, v}); };
    add(key("СекцияДокумент"), key("Платежное поручение"));
    add(key("Номер"), text("NOM"));
    add(key("Дата"), doc.date(QStringLiteral("DATE")).toString(QStringLiteral("dd.MM.yyyy")));
    add(key("Сумма"), doc.isNull(QStringLiteral("S")) ? QString() : QString::number(doc.number(QStringLiteral("S")), 'f', 2));
    for (const PartyColumns &p : parties) {
        const QString side = key(p.side);
        QStringList names;
        for (int n = 1; n <= 4; ++n)
            names << text((QByteArray(p.name) + QByteArray::number(n)).constData());
        add(side + key("Счет"), text(p.account));
        add(side, names.join(QLatin1Char(' ')).simplified());
        add(side + key("ИНН"), text(p.inn));
        for (int n = 1; n <= 4; ++n)
            if (!names.at(n - 1).isEmpty())
                add(side + QString::number(n), names.at(n - 1));
        add(side + key("РасчСчет"), text(p.account));
        add(side + key("Банк1"), text(p.bank));
        add(side + key("Банк2"), (text(p.type) + QLatin1Char(' ') + text(p.settlement)).trimmed());
        add(side + key("БИК"), text(p.bik));
        add(side + key("Корсчет"), text(p.correspondent));
        add(side + key("КПП"), text(p.kpp));
    }
    const int kind = text("VID_PLAT").toInt();
    add(key("ВидПлатежа"), key(paymentKinds[kind >= 0 && kind < 4 ? kind : 0]));
    add(key("ВидОплаты"), text("VID_OP").isEmpty() ? QStringLiteral("01") : text("VID_OP"));

    const TableDef &pl = *Schema::table(QStringLiteral("PL"));
    QStringList purpose;
    QList<int> widths;
    for (int n = 1; n <= 5; ++n) {
        const QString column = QStringLiteral("NAZNACH%1").arg(n);
        purpose << oneLine(doc.text(column));
        widths << Schema::column(pl, column)->width;
    }
    add(key("НазначениеПлатежа"), JoinPurpose(purpose, widths));
    for (int n = 1; n <= 5; ++n)
        if (!purpose.at(n - 1).isEmpty())
            add(key("НазначениеПлатежа") + QString::number(n), purpose.at(n - 1));
    if (doc.logical(QStringLiteral("NALOG")))
        for (const auto &[k, column] : taxKeys)
            add(key(k), text(column));
    add(key("Очередность"), text("OCHER_PL"));
    add(key("КонецДокумента"), QString());
    return lines;
}

// The encoder puts a substitute for a character it lacks and says nothing: only reading back tells.
bool holds(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    QStringDecoder decoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && QString(decoder.decode(bytes)) == text;
}

QString lineText(const Line &line)
{
    return line.first == key("КонецДокумента") ? line.first : line.first + QLatin1Char('=') + line.second;
}

} // namespace

ClientBankExport WriteClientBankExchange(DataSet &documents, bool utf8)
{
    const char *encoding = utf8 ? "UTF-8" : "windows-1251";
    ClientBankExport result;
    QStringList blocks;
    QStringList accounts;
    QDate from, to;
    documents.first();
    for (int row = 0; row < documents.recordCount(); ++row) {
        documents.setRecNo(row);
        const QString who = describe(documents);
        const QStringList faults = paymentFaults(documents);
        if (!faults.isEmpty()) {
            result.unwritable << who + QStringLiteral(": не записан, ") + faults.join(QStringLiteral("; "));
            continue;
        }
        for (const QString &reason : checkDocument(documents))
            result.checkFailures << who + QStringLiteral(": ") + reason;
        const QList<Line> lines = documentLines(documents);
        QStringList unheld;
        for (const Line &line : lines)
            if (!holds(encoding, line.second))
                unheld << line.first;
        if (!unheld.isEmpty()) {
            result.unwritable << who + QStringLiteral(": в кодировке %1 не записывается текст полей %2")
                                           .arg(QLatin1String(encoding), unheld.join(QStringLiteral(", ")));
            continue;
        }
        QStringList texts;
        for (const Line &line : lines)
            texts << lineText(line);
        blocks << texts.join(QStringLiteral("\r\n"));
        const QDate date = documents.date(QStringLiteral("DATE"));
        if (date.isValid()) {
            from = from.isValid() ? std::min(from, date) : date;
            to = to.isValid() ? std::max(to, date) : date;
        }
        const QString account = oneLine(documents.text(QStringLiteral("SCH_DT")));
        if (!accounts.contains(account))
            accounts << account;
        ++result.written;
    }

    const QDateTime now = Clock::now();
    QStringList header = {
        QStringLiteral("1CClientBankExchange"),
        QStringLiteral("ВерсияФормата=1.03"),
        utf8 ? QStringLiteral("Кодировка=UTF-8") : QStringLiteral("Кодировка=Windows"),
        QStringLiteral("Отправитель=Платежные поручения"),
        QStringLiteral("Получатель="),
        QStringLiteral("ДатаСоздания=") + now.date().toString(QStringLiteral("dd.MM.yyyy")),
        QStringLiteral("ВремяСоздания=") + now.time().toString(QStringLiteral("HH:mm:ss")),
        QStringLiteral("ДатаНачала=") + (from.isValid() ? from : now.date()).toString(QStringLiteral("dd.MM.yyyy")),
        QStringLiteral("ДатаКонца=") + (to.isValid() ? to : now.date()).toString(QStringLiteral("dd.MM.yyyy")),
    };
    for (const QString &account : accounts)
        header << QStringLiteral("РасчСчет=") + account;
    header << QStringLiteral("Документ=Платежное поручение");
    QString text = header.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    for (const QString &block : blocks)
        text += block + QStringLiteral("\r\n");
    text += QStringLiteral("КонецФайла\r\n");
    QStringEncoder encoder(encoding);
    result.bytes = encoder.encode(text);
    return result;
}
