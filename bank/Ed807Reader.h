#pragma once

#include "bank/BankRecord.h"

class QIODevice;

// The Bank of Russia's XML directory ED807; throws AppError naming the line for
// a truncated file, a foreign document or an entry that lacks its BIK or name.
BankFile ReadEd807(QIODevice &device, const BankProgress &progress = {});
