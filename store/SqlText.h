#pragma once

#include <QString>

// Every value that enters SQL text goes through here: a single quote is doubled,
// so no typed text can end the literal early or change the statement.
QString sqlQuote(const QString &value);
