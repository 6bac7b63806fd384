#include "print/FormFill.h"
#include "document/DocumentColumns.h"
#include "money/MoneyText.h"
#include "print/PaymentForm.h"

#include <QRegularExpression>

namespace {

// VID_PLAT read as a whole number; 0 and any other value print nothing.
QString paymentKindText(const QString &vidPlat)
{
    static const QStringList names = {QString(), QStringLiteral("Электронно"), QStringLiteral("Почтой"),
                                      QStringLiteral("Телеграфом")};
    bool ok = false;
    const int kind = vidPlat.trimmed().toInt(&ok);
    return ok && kind > 0 && kind < names.size() ? names.at(kind) : QString();
}

// The texts a form element names in lower case: what joins several columns of one order.
QString joinedText(const QString &name, const PaymentOrder &order)
{
    static const QList<std::pair<const char *, QString (PaymentOrder::*)() const>> joined = {
        {"payerName", &PaymentOrder::payerName},
        {"recipientName", &PaymentOrder::recipientName},
        {"purpose", &PaymentOrder::purpose},
    };
    for (const auto &[key, text] : joined)
        if (name == QLatin1String(key))
            return (order.*text)();
    return order.text(name);
}

QString composed(const QString &pattern, const PaymentOrder &document)
{
    static const QRegularExpression column(QStringLiteral("\\{([A-Za-z0-9_]+)\\}"));
    QString text;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : column.globalMatch(pattern)) {
        text += pattern.mid(at, m.capturedStart() - at);
        text += joinedText(m.captured(1), document);
        at = m.capturedEnd();
    }
    return text + pattern.mid(at);
}

} // namespace

ComputedTexts QRLabel5Print(const PaymentOrder &document)
{
    return {paymentKindText(document.text(DocumentColumn::PaymentKind)), MoneyText(document.amount.value_or(0.0))};
}

QStringList FillForm(const PaymentOrder &document)
{
    const ComputedTexts computed = QRLabel5Print(document);
    QStringList texts;
    for (const PaymentForm::Text &element : PaymentForm::texts()) {
        const QString content = QString::fromUtf8(element.content);
        switch (element.kind) {
        case PaymentForm::Text::Kind::Caption:
            texts << content;
            break;
        case PaymentForm::Text::Kind::Field:
        case PaymentForm::Text::Kind::Composed:
            texts << composed(content, document);
            break;
        case PaymentForm::Text::Kind::Computed:
            texts << (content == QLatin1String("QR_vid") ? computed.QR_vid : computed.qr_s2);
            break;
        }
    }
    return texts;
}
