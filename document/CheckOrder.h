#pragma once

#include <QStringList>

struct PaymentOrder;

// What a bank or the treasury would refuse in one payment order, as short sentences:
// accounts against their BIKs, INN and KPP of both sides, the priority, the number and the
// purpose, and for a budget payment its fields 101, 104 to 109 and 22 and the treasury account.
// Empty when the order passes.
QStringList CheckOrder(const PaymentOrder &order);
