#pragma once

#include <QString>

// A money amount written as "#0.00" with a half rounded away from zero and the
// decimal point replaced by "-": 1500 -> "1500-00", 1234.567 -> "1234-57",
// -5 -> "-5-00". The same on every machine locale. A NaN or an infinity throws AppError.
QString MoneyText(double amount);
