#include "bank/ClientBankExchange.h"
#include "document/CheckOrder.h"
#include "document/DocumentColumns.h"
#include "document/PaymentOrder.h"
#include "money/AmountInWords.h"
#include "store/AppError.h"
#include "store/Clock.h"
#include "store/DataSet.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

namespace {

using Line = std::pair<QString, QString>;

using Member = QString PaymentOrder::*;

// The payer's and the recipient's keys and the members of the order behind them.
struct Party
{
    const char *side;
    Member account, inn, kpp, bank, correspondent, bik, type, settlement;
    Member names[4];
};

const Party parties[] = {
    {"Плательщик", &PaymentOrder::payerAccount, &PaymentOrder::payerInn, &PaymentOrder::payerKpp, &PaymentOrder::payerBank,
     &PaymentOrder::payerCorrespondent, &PaymentOrder::payerBik, &PaymentOrder::payerSettlementType, &PaymentOrder::payerSettlement,
     {&PaymentOrder::payerName1, &PaymentOrder::payerName2, &PaymentOrder::payerName3, &PaymentOrder::payerName4}},
    {"Получатель", &PaymentOrder::recipientAccount, &PaymentOrder::recipientInn, &PaymentOrder::recipientKpp,
     &PaymentOrder::recipientBank, &PaymentOrder::recipientCorrespondent, &PaymentOrder::recipientBik,
     &PaymentOrder::recipientSettlementType, &PaymentOrder::recipientSettlement,
     {&PaymentOrder::recipientName1, &PaymentOrder::recipientName2, &PaymentOrder::recipientName3, &PaymentOrder::recipientName4}},
};

// Fields 101 and 104 to 110, written for a tax payment only.
const std::pair<const char *, Member> taxKeys[] = {
    {"СтатусСоставителя", &PaymentOrder::status},   {"ПоказательКБК", &PaymentOrder::kbk},
    {"ОКАТО", &PaymentOrder::okato},                 {"ПоказательОснования", &PaymentOrder::basis},
    {"ПоказательПериода", &PaymentOrder::period},    {"ПоказательНомера", &PaymentOrder::basisNumber},
    {"ПоказательДаты", &PaymentOrder::basisDate},    {"ПоказательТипа", &PaymentOrder::paymentType},
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

QString describe(const PaymentOrder &order)
{
    return QStringLiteral("документ № %1 от %2 (ID %3)")
        .arg(order.number.trimmed(), writableDate(order.date) ? order.date.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("?"),
             order.id);
}

// Why no bank would take the order's amount or date; empty when one would. `storedDate` is the
// date column's text, for a date that could not be read.
QStringList paymentFaults(const PaymentOrder &order, const QString &storedDate)
{
    QStringList faults;
    if (!order.amount) {
        faults << QStringLiteral("сумма не указана");
    } else {
        const double amount = *order.amount;
        const QString shown = QString::number(amount, 'g', 15);
        if (!std::isfinite(amount))
            faults << QStringLiteral("сумма %1 не является числом").arg(shown);
        else if (amount < 0)
            faults << QStringLiteral("сумма %1 отрицательна").arg(shown);
        else if (!AmountHasWords(amount))
            faults << QStringLiteral("сумма %1 больше 999 999 999 999 999,99").arg(shown);
        else if (QString::number(amount, 'f', 2) == QLatin1String("0.00"))
            faults << QStringLiteral("сумма %1 равна нулю в копейках").arg(shown);
    }
    if (!writableDate(order.date)) {
        // A date the engine could not read comes back as none at all.
        const QString stored = storedDate.trimmed();
        faults << (stored.isEmpty() ? QStringLiteral("дата не указана или невозможна") : QStringLiteral("дата «%1» невозможна").arg(stored));
    }
    return faults;
}

QList<Line> documentLines(const PaymentOrder &order)
{
    const auto text = [&](Member member) { return oneLine(order.*member); };
    QList<Line> lines;
    const auto add = [&](const QString &k, const QString &v) { lines.append({k, v}); };
    add(key("СекцияДокумент"), key("Платежное поручение"));
    add(key("Номер"), text(&PaymentOrder::number));
    add(key("Дата"), order.date.toString(QStringLiteral("dd.MM.yyyy")));
    add(key("Сумма"), order.amount ? QString::number(*order.amount, 'f', 2) : QString());
    for (const Party &p : parties) {
        const QString side = key(p.side);
        QStringList names;
        for (Member name : p.names)
            names << text(name);
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
    const int kind = text(&PaymentOrder::paymentKind).toInt();
    add(key("ВидПлатежа"), key(paymentKinds[kind >= 0 && kind < 4 ? kind : 0]));
    const QString operation = text(&PaymentOrder::operationKind);
    add(key("ВидОплаты"), operation.isEmpty() ? QStringLiteral("01") : operation);
    // Field 22: a budget payment always carries it, another order when it has one.
    const QString accrualId = text(&PaymentOrder::accrualId);
    if (order.tax || !accrualId.isEmpty())
        add(key("Код"), accrualId);

    const QStringList purpose = {text(&PaymentOrder::purpose1), text(&PaymentOrder::purpose2), text(&PaymentOrder::purpose3),
                                 text(&PaymentOrder::purpose4), text(&PaymentOrder::vatLine)};
    add(key("НазначениеПлатежа"), JoinPurpose(purpose, PurposeLineWidths()));
    for (int n = 1; n <= 5; ++n)
        if (!purpose.at(n - 1).isEmpty())
            add(key("НазначениеПлатежа") + QString::number(n), purpose.at(n - 1));
    if (order.tax)
        for (const auto &[k, member] : taxKeys)
            add(key(k), text(member));
    add(key("Очередность"), text(&PaymentOrder::priority));
    add(key("КонецДокумента"), QString());
    return lines;
}

// Whether an encoding holds a text. The encoder puts a substitute for a character it lacks and
// says nothing: only reading back tells. Made once per file, as opening a codec costs more than a line.
class EncodingCheck
{
public:
    explicit EncodingCheck(const char *encoding) : m_encoder(encoding), m_decoder(encoding) {}

    bool holds(const QString &text)
    {
        m_encoder.resetState();
        m_decoder.resetState();
        const QByteArray bytes = m_encoder.encode(text);
        return !m_encoder.hasError() && QString(m_decoder.decode(bytes)) == text;
    }

    // The keys of the lines it cannot hold; the whole document is tried first, as it nearly always passes.
    QStringList unheld(const QList<Line> &lines)
    {
        QString all;
        for (const Line &line : lines)
            all += line.second + QLatin1Char('\n');
        QStringList keys;
        if (holds(all))
            return keys;
        for (const Line &line : lines)
            if (!holds(line.second))
                keys << line.first;
        return keys;
    }

private:
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
};

QString lineText(const Line &line)
{
    return line.first == key("КонецДокумента") ? line.first : line.first + QLatin1Char('=') + line.second;
}

} // namespace

ClientBankExport WriteClientBankExchange(DataSet &documents, bool utf8)
{
    const char *encoding = utf8 ? "UTF-8" : "windows-1251";
    ClientBankExport result;
    EncodingCheck check(encoding);
    QStringList blocks;
    QStringList accounts;
    QDate from, to;
    documents.first();
    for (int row = 0; row < documents.recordCount(); ++row) {
        documents.setRecNo(row);
        const PaymentOrder order = PaymentOrder::fromCurrentRow(documents);
        const QString who = describe(order);
        const QStringList faults = paymentFaults(order, documents.text(DocumentColumn::Date));
        if (!faults.isEmpty()) {
            result.unwritable << who + QStringLiteral(": не записан, ") + faults.join(QStringLiteral("; "));
            continue;
        }
        for (const QString &problem : CheckOrder(order))
            result.checkFailures << who + QStringLiteral(": ") + problem;
        const QList<Line> lines = documentLines(order);
        const QStringList unheld = check.unheld(lines);
        if (!unheld.isEmpty()) {
            result.unwritable << who + QStringLiteral(": в кодировке %1 не записывается текст полей %2")
                                           .arg(QLatin1String(encoding), unheld.join(QStringLiteral(", ")));
            continue;
        }
        QStringList texts;
        for (const Line &line : lines)
            texts << lineText(line);
        blocks << texts.join(QStringLiteral("\r\n"));
        from = from.isValid() ? std::min(from, order.date) : order.date;
        to = to.isValid() ? std::max(to, order.date) : order.date;
        const QString account = oneLine(order.payerAccount);
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

SqlStatement ExchangeDocumentsSql(const DocumentChoice &choice)
{
    SqlStatement statement = CompletedDocumentsSql(choice);
    statement.sql += QStringLiteral(" order by DATE, NOM");
    return statement;
}

void SaveExchangeFile(const QString &path, const QString &shownPath, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("Не записывается файл %1: %2").arg(shownPath, file.errorString()));
}
