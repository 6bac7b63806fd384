#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariantMap>

// Payment orders and bank directory files made by the tests themselves, so that they
// depend on no demo or installation data.
namespace BankSamples {

// A completed payment to a supplier's bank account, marked, of user "1"; every check passes.
QVariantMap order(const QString &id, const QString &number, const QDate &date);
// A completed unified tax payment to the treasury, marked, of user "1"; every check passes.
QVariantMap taxOrder(const QString &id, const QString &number, const QDate &date);

struct Bank
{
    QString bik;
    QString name;
    QString correspondent;
};

// A full directory ED807 (InfoTypeCode FIRR) of these banks in Windows-1251, each in a town ("г").
QByteArray ed807(const QList<Bank> &banks);
// `count` banks with BIKs 04452xxxx that no sample order uses.
QList<Bank> manyBanks(int count);

} // namespace BankSamples
