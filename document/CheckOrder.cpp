#include "document/CheckOrder.h"

#include "document/CheckDigits.h"
#include "document/PaymentOrder.h"
#include "store/AsciiDigits.h"
#include "store/TextWidth.h"

#include <QDate>

#include <algorithm>

namespace {

constexpr int MaxNumber = 6;
constexpr int MaxPurpose = 210;

using Member = QString PaymentOrder::*;

// One side of the order with the columns that name its account, bank and tax identity.
struct Side
{
    const char *who;
    Member account, bik, inn, kpp;
    bool innMayBeZero; // a recipient without an INN writes "0"
};

const Side sides[] = {
    {"Плательщик", &PaymentOrder::payerAccount, &PaymentOrder::payerBik, &PaymentOrder::payerInn, &PaymentOrder::payerKpp, false},
    {"Получатель", &PaymentOrder::recipientAccount, &PaymentOrder::recipientBik, &PaymentOrder::recipientInn,
     &PaymentOrder::recipientKpp, true},
};

bool isZero(const QString &text)
{
    return text == QLatin1String("0");
}

// dd.mm.yyyy of a date that exists.
bool isDate(const QString &text)
{
    if (text.size() != 10 || text.at(2) != u'.' || text.at(5) != u'.')
        return false;
    if (!isAsciiDigits(QStringView(text).left(2)) || !isAsciiDigits(QStringView(text).mid(3, 2)) || !isAsciiDigits(QStringView(text).right(4)))
        return false;
    return QDate(text.right(4).toInt(), text.mid(3, 2).toInt(), text.left(2).toInt()).isValid();
}

// The tax period's forms: a code, the number of a month, quarter, half-year or none, and the year.
struct PeriodForm
{
    const char16_t *code;
    int from, to;
};

const PeriodForm periodForms[] = {
    {u"МС", 1, 12}, {u"КВ", 1, 4}, {u"ПЛ", 1, 2}, {u"ГД", 0, 0}, {u"Д1", 1, 12}, {u"Д2", 1, 12}, {u"Д3", 1, 12},
};

bool isPeriod(const QString &text)
{
    if (isZero(text) || isDate(text))
        return true;
    if (text.size() != 10 || text.at(2) != u'.' || text.at(5) != u'.')
        return false;
    const QStringView part = QStringView(text).mid(3, 2);
    if (!isAsciiDigits(part) || !isAsciiDigits(QStringView(text).right(4)))
        return false;
    const int number = part.toInt();
    for (const PeriodForm &form : periodForms)
        if (QStringView(text).left(2) == QStringView(form.code))
            return number >= form.from && number <= form.to;
    return false;
}

bool isStatus(const QString &text)
{
    return isAsciiDigits(text, 2);
}

bool isKbk(const QString &text)
{
    return isZero(text) || isAsciiDigits(text, 20);
}

bool isOktmo(const QString &text)
{
    return isZero(text) || isAsciiDigits(text, 8) || isAsciiDigits(text, 11);
}

bool isDateOrZero(const QString &text)
{
    return isZero(text) || isDate(text);
}

bool isAccrualId(const QString &text)
{
    if (isZero(text))
        return true;
    if (!isAsciiDigits(text, 20) && !isAsciiDigits(text, 25))
        return false;
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c != u'0'; });
}

// Nine characters of digits and Latin capitals (the reason code of positions 5-6 may be letters).
bool isKpp(const QString &text)
{
    if (text.size() != 9)
        return false;
    for (const QChar c : text)
        if (!isAsciiDigit(c) && !(c >= u'A' && c <= u'Z'))
            return false;
    return true;
}

// The fields of a budget payment, each with its rule.
struct BudgetField
{
    const char *name;
    Member member;
    bool (*valid)(const QString &);
    const char *expected;
};

const BudgetField budgetFields[] = {
    {"101 (статус составителя)", &PaymentOrder::status, isStatus, "две цифры"},
    {"104 (КБК)", &PaymentOrder::kbk, isKbk, "20 цифр или «0»"},
    {"105 (ОКТМО)", &PaymentOrder::okato, isOktmo, "8 или 11 цифр или «0»"},
    {"107 (налоговый период)", &PaymentOrder::period, isPeriod,
     "МС.мм.гггг, КВ.кв.гггг, ПЛ.пг.гггг, ГД.00.гггг, Д1, Д2 или Д3.мм.гггг, дата дд.мм.гггг или «0»"},
    {"109 (дата документа)", &PaymentOrder::basisDate, isDateOrZero, "дата дд.мм.гггг или «0»"},
    {"22 (код, УИН)", &PaymentOrder::accrualId, isAccrualId, "«0» или 20 либо 25 цифр, не одни нули"},
};

QString fieldProblem(const QString &field, const QString &value, const QString &expected)
{
    if (value.isEmpty())
        return QStringLiteral("Поле %1 не заполнено: нужно %2").arg(field, expected);
    return QStringLiteral("Поле %1 «%2» неверно: нужно %3").arg(field, value, expected);
}

void checkSide(const PaymentOrder &order, const Side &side, QStringList &problems)
{
    const QString who = QString::fromUtf8(side.who) + QStringLiteral(": ");
    const QString account = (order.*side.account).trimmed();
    const QString bik = (order.*side.bik).trimmed();
    if (account.isEmpty())
        problems << who + QStringLiteral("счёт не указан");
    else if (!CheckDigits::isAccount(account))
        problems << who + QStringLiteral("счёт «%1» неверен: нужно 20 цифр").arg(account);
    else if (!CheckDigits::isBik(bik))
        problems << who + QStringLiteral("БИК «%1» неверен: нужно 9 цифр").arg(bik);
    else if (!CheckDigits::accountMatchesBik(bik, account))
        problems << who + QStringLiteral("счёт %1 не сходится с БИК %2 по контрольному ключу").arg(account, bik);

    const QString inn = (order.*side.inn).trimmed();
    const QString innForms = side.innMayBeZero ? QStringLiteral("10 или 12 цифр или «0»") : QStringLiteral("10 или 12 цифр");
    if (inn.isEmpty())
        problems << who + QStringLiteral("ИНН не указан: нужно %1").arg(innForms);
    else if (side.innMayBeZero && isZero(inn))
        ;
    else if (!isAsciiDigits(inn, 10) && !isAsciiDigits(inn, 12))
        problems << who + QStringLiteral("ИНН «%1» неверен: нужно %2").arg(inn, innForms);
    else if (!CheckDigits::innIsValid(inn))
        problems << who + QStringLiteral("ИНН %1 неверен: не сходятся контрольные цифры").arg(inn);

    const QString kpp = (order.*side.kpp).trimmed();
    // A sole trader (an INN of 12 digits) has no KPP.
    if (kpp.isEmpty() && !isAsciiDigits(inn, 12))
        problems << who + QStringLiteral("КПП не указан: нужно 9 знаков или «0»; пустым он бывает только у предпринимателя");
    else if (!kpp.isEmpty() && !isZero(kpp) && !isKpp(kpp))
        problems << who + QStringLiteral("КПП «%1» неверен: нужно 9 знаков (цифры, в 5-6 знаках и латинские буквы) или «0»").arg(kpp);
}

} // namespace

QStringList CheckOrder(const PaymentOrder &order)
{
    QStringList problems;
    for (const Side &side : sides)
        checkSide(order, side, problems);

    const QString priority = order.priority.trimmed();
    if (priority.size() != 1 || priority.at(0) < u'1' || priority.at(0) > u'5')
        problems << fieldProblem(QStringLiteral("21 (очерёдность)"), priority, QStringLiteral("цифра от 1 до 5"));
    const QString number = order.number.trimmed();
    if (characterCount(number) > MaxNumber)
        problems << QStringLiteral("Номер документа «%1» длиннее %2 знаков").arg(number).arg(MaxNumber);
    const QString purpose = order.purpose();
    if (purpose.isEmpty())
        problems << QStringLiteral("Назначение платежа не указано");
    else if (characterCount(purpose) > MaxPurpose)
        problems << QStringLiteral("Назначение платежа длиннее %1 знаков: %2").arg(MaxPurpose).arg(characterCount(purpose));

    if (!order.tax)
        return problems;
    for (const BudgetField &field : budgetFields) {
        const QString value = (order.*field.member).trimmed();
        if (!field.valid(value))
            problems << fieldProblem(QString::fromUtf8(field.name), value, QString::fromUtf8(field.expected));
    }
    const QString account = order.recipientAccount.trimmed();
    if (!account.startsWith(QLatin1String("03")))
        problems << QStringLiteral("Получатель: счёт «%1» не казначейский: платёж в бюджет идёт на счёт, начинающийся с 03").arg(account);
    const QString correspondent = order.recipientCorrespondent.trimmed();
    if (!correspondent.startsWith(QLatin1String("40102")))
        problems << QStringLiteral("Получатель: корр. счёт банка «%1» не единый казначейский: нужен счёт, начинающийся с 40102")
                        .arg(correspondent);
    return problems;
}
