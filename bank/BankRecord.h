#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One bank as a directory file gives it, before it becomes a row of BANK.
struct BankRecord
{
    QString bik;
    QString name;
    QString correspondent;
    QString settlement;
    // ED807 names the settlement type ("г", "пгт"); BNKSEEK gives its code.
    QString settlementType;
    bool settlementTypeIsCode = false;
    bool revoked = false;
};

// What a reader made of a file: the banks, and the entries it left out with the reason.
struct BankFile
{
    QString format;
    QString source; // the file's path, for messages
    // A full directory replaces BANK; a change list (an ED807 other than FIRR) adds or replaces its own BIKs.
    bool fullDirectory = true;
    QList<BankRecord> banks;
    QStringList skipped;
};

// Told how far a reader or the import has got: done and total, in its own units. It may throw
// AppError to stop the work (a cancel); the import then leaves BANK as it was.
using BankProgress = std::function<void(qint64 done, qint64 total)>;
