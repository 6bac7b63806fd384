#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class DataSet;

// One payment order as the printed form, the bank exchange file and the checks read it:
// every column of a document, the date, the amount and the tax flag typed.
struct PaymentOrder
{
    QString number;
    QDate date;
    std::optional<double> amount; // none while no amount is entered
    QString payerName1, payerName2, payerName3, payerName4;
    QString payerInn, payerAccount, payerKpp;
    QString payerBank, payerCorrespondent, payerBik, payerSettlementType, payerSettlement;
    QString recipientName1, recipientName2, recipientName3, recipientName4;
    QString recipientInn, recipientAccount, recipientKpp;
    QString recipientBank, recipientCorrespondent, recipientBik, recipientSettlementType, recipientSettlement;
    QString purpose1, purpose2, purpose3, purpose4;
    QString vatLine; // the purpose's fifth line
    QString priority, vatRate;
    QString status, kbk, okato, basis, period, basisNumber, basisDate, paymentType; // fields 101, 104 to 110
    QString state, paymentKind, amountInWords, operationKind;
    bool tax = false;
    QString id, mark, login;
    QString accrualId; // field 22

    // The current row of a document list or of a print source.
    static PaymentOrder fromCurrentRow(const DataSet &row);
    // Every row of a print source or an export, in its order.
    static QVector<PaymentOrder> allRows(DataSet &rows);

    // A column's value in the program's own text form (dates dd.mm.yy, the decimal comma),
    // for what goes by column name, such as the printed form's placeholders.
    QString text(const QString &column) const;
    // Sets a column from its text in those forms; a column the order does not hold is left alone.
    void setText(const QString &column, const QString &text);

    // The four name lines joined by blanks, as one name.
    QString payerName() const;
    QString recipientName() const;
    // Purpose lines 1 to 4 and the VAT line as one text: a line filled to its width runs on into the next.
    QString purpose() const;
};

// The widths of the purpose's five columns, NAZNACH1 to NAZNACH5.
const QList<int> &PurposeLineWidths();

// Lines of a text kept in columns of fixed widths, joined as one text: a line filled to its
// width runs on into the next without a blank, the others are joined by one.
QString JoinPurpose(const QStringList &lines, const QList<int> &widths);
