#pragma once

#include <QString>

// The control digits of Russian bank and tax identifiers.
namespace CheckDigits {

// Nine ASCII digits, the form of every BIK.
bool isBik(const QString &text);
// Twenty ASCII digits, the form of every account.
bool isAccount(const QString &text);

// Treasury accounts follow no key rule: any account at a treasury division's BIK (00... or
// 01...), a treasury account 03... and the single treasury account 40102... anywhere.
bool isTreasuryAccount(const QString &bik, const QString &account);
// The account's control key (its digit 9) against the BIK, or -1 when either is not all digits
// of the right length. The key position of `account` is ignored.
int accountKey(const QString &bik, const QString &account);
// True when the key holds, and always for a treasury account.
bool accountMatchesBik(const QString &bik, const QString &account);
// An INN of 10 digits (an organisation) or 12 digits (a person) whose check digits hold.
bool innIsValid(const QString &inn);

} // namespace CheckDigits
