#pragma once

#include <QString>

class DataSet;

// The NAME of the N_PARAM row with this list key and code, read through the
// general look-up query q; empty when there is no such row. The code is bound,
// so any text a user typed looks up safely.
QString LookupTaxParamName(DataSet &q, const QString &tip, const QString &kod);
