#pragma once

#include <QList>

class DbfTable;

// The code page of a dBASE table of Russian texts, "IBM866" or "windows-1251": the one its
// header's language driver names, or, where that names none, the one in which `textFields`
// (bank and settlement names) read as Russian. Throws AppError rather than give a code page
// whose reading would be garbled: none fits, or the header's contradicts the texts.
const char *DbfCodePage(const DbfTable &table, const QList<int> &textFields);
