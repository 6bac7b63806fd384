#include "document/PaymentOrder.h"
#include "document/DocumentColumns.h"
#include "store/Clock.h"
#include "store/DataSet.h"
#include "store/DateText.h"
#include "store/Schema.h"
#include "store/TextWidth.h"

namespace {

using Member = QString PaymentOrder::*;

// Every text column with the member that holds it.
const QList<std::pair<const char *, Member>> &textColumns()
{
    static const QList<std::pair<const char *, Member>> columns = {
        {"NOM", &PaymentOrder::number},
        {"NAME_PL1", &PaymentOrder::payerName1},
        {"NAME_PL2", &PaymentOrder::payerName2},
        {"NAME_PL3", &PaymentOrder::payerName3},
        {"NAME_PL4", &PaymentOrder::payerName4},
        {"INN_PL", &PaymentOrder::payerInn},
        {"SCH_DT", &PaymentOrder::payerAccount},
        {"KPP_PL", &PaymentOrder::payerKpp},
        {"BANK_PL1", &PaymentOrder::payerBank},
        {"K_SBANK_DT", &PaymentOrder::payerCorrespondent},
        {"MFOBANK_PL", &PaymentOrder::payerBik},
        {"TNP_PL", &PaymentOrder::payerSettlementType},
        {"NNP_PL", &PaymentOrder::payerSettlement},
        {"NAME_POL1", &PaymentOrder::recipientName1},
        {"NAME_POL2", &PaymentOrder::recipientName2},
        {"NAME_POL3", &PaymentOrder::recipientName3},
        {"NAME_POL4", &PaymentOrder::recipientName4},
        {"INN_POL", &PaymentOrder::recipientInn},
        {"SCH_KT", &PaymentOrder::recipientAccount},
        {"KPP_POL", &PaymentOrder::recipientKpp},
        {"BANK_POL1", &PaymentOrder::recipientBank},
        {"K_SBANK_KT", &PaymentOrder::recipientCorrespondent},
        {"MFOBANKPOL", &PaymentOrder::recipientBik},
        {"TNP_POL", &PaymentOrder::recipientSettlementType},
        {"NNP_POL", &PaymentOrder::recipientSettlement},
        {"NAZNACH1", &PaymentOrder::purpose1},
        {"NAZNACH2", &PaymentOrder::purpose2},
        {"NAZNACH3", &PaymentOrder::purpose3},
        {"NAZNACH4", &PaymentOrder::purpose4},
        {"NAZNACH5", &PaymentOrder::vatLine},
        {"OCHER_PL", &PaymentOrder::priority},
        {"NDS", &PaymentOrder::vatRate},
        {"P101_STATU", &PaymentOrder::status},
        {"P104_KBK", &PaymentOrder::kbk},
        {"P105_OKATO", &PaymentOrder::okato},
        {"P106_OSNOV", &PaymentOrder::basis},
        {"P107_PERIO", &PaymentOrder::period},
        {"P108_N_DOC", &PaymentOrder::basisNumber},
        {"P109_D_DOC", &PaymentOrder::basisDate},
        {"P110_TIP", &PaymentOrder::paymentType},
        {"PRIZN_DK", &PaymentOrder::state},
        {"VID_PLAT", &PaymentOrder::paymentKind},
        {"PER1", &PaymentOrder::amountInWords},
        {"VID_OP", &PaymentOrder::operationKind},
        {"ID", &PaymentOrder::id},
        {"CHEKED", &PaymentOrder::mark},
        {"LOGIN", &PaymentOrder::login},
        {"P22_KOD", &PaymentOrder::accrualId},
    };
    return columns;
}

QString joinedLines(const QStringList &lines)
{
    QStringList kept;
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty())
            kept << line.trimmed();
    return kept.join(QLatin1Char(' '));
}

} // namespace

PaymentOrder PaymentOrder::fromCurrentRow(const DataSet &row)
{
    PaymentOrder order;
    for (const auto &[column, member] : textColumns()) {
        const int c = row.columnIndex(QLatin1String(column));
        if (c >= 0)
            order.*member = row.text(c);
    }
    if (row.hasColumn(DocumentColumn::Date))
        order.date = row.value(DocumentColumn::Date).toDate();
    if (row.hasColumn(DocumentColumn::Amount) && !row.value(DocumentColumn::Amount).isNull())
        order.amount = row.value(DocumentColumn::Amount).toDouble();
    if (row.hasColumn(DocumentColumn::Tax))
        order.tax = row.value(DocumentColumn::Tax).toBool();
    return order;
}

QVector<PaymentOrder> PaymentOrder::allRows(DataSet &rows)
{
    QVector<PaymentOrder> orders;
    orders.reserve(rows.recordCount());
    for (rows.first(); !rows.eof(); rows.next())
        orders << fromCurrentRow(rows);
    return orders;
}

void PaymentOrder::setText(const QString &column, const QString &value)
{
    if (column.compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0) {
        date = ReadDateText(value, Clock::today());
        return;
    }
    if (column.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const double number = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        amount = ok ? std::optional<double>(number) : std::nullopt;
        return;
    }
    if (column.compare(QLatin1String("NALOG"), Qt::CaseInsensitive) == 0) {
        tax = value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || value == QLatin1String("1");
        return;
    }
    for (const auto &[name, member] : textColumns())
        if (column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            this->*member = value;
}

QString PaymentOrder::text(const QString &column) const
{
    if (column.compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0)
        return WriteDateText(date);
    if (column.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0)
        return amount ? DataSet::textOf(ColumnKind::Number, *amount) : QString();
    if (column.compare(QLatin1String("NALOG"), Qt::CaseInsensitive) == 0)
        return DataSet::textOf(ColumnKind::Logical, tax);
    for (const auto &[name, member] : textColumns())
        if (column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return this->*member;
    return {};
}

QString PaymentOrder::payerName() const
{
    return joinedLines({payerName1, payerName2, payerName3, payerName4});
}

QString PaymentOrder::recipientName() const
{
    return joinedLines({recipientName1, recipientName2, recipientName3, recipientName4});
}

QString PaymentOrder::purpose() const
{
    return JoinPurpose({purpose1, purpose2, purpose3, purpose4, vatLine}, PurposeLineWidths());
}

const QList<int> &PurposeLineWidths()
{
    static const QList<int> widths = [] {
        QList<int> w;
        const TableDef &pl = *Schema::table(DocumentTable::Current);
        for (const char *column : {"NAZNACH1", "NAZNACH2", "NAZNACH3", "NAZNACH4", "NAZNACH5"})
            w << Schema::column(pl, QLatin1String(column))->width;
        return w;
    }();
    return widths;
}

QString JoinPurpose(const QStringList &lines, const QList<int> &widths)
{
    QString joined;
    bool previousFull = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.trimmed().isEmpty()) {
            previousFull = false;
            continue;
        }
        const bool full = widths.value(i) > 0 && characterCount(line) >= widths.value(i);
        qsizetype from = 0;
        qsizetype to = line.size();
        if (!previousFull)
            while (from < to && line.at(from).isSpace())
                ++from;
        // A full line keeps its last blank: the word ended there.
        if (!full)
            while (to > from && line.at(to - 1).isSpace())
                --to;
        if (!joined.isEmpty() && !previousFull)
            joined += QLatin1Char(' ');
        joined += line.mid(from, to - from);
        previousFull = full;
    }
    return joined.trimmed();
}
