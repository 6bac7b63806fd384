#pragma once

#include <QString>
#include <QStringView>

// Column widths count characters (code points), not UTF-16 units: an emoji is
// one character, and a cut never splits its surrogate pair.
int characterCount(QStringView text);
// The first `count` characters of the text.
QString leftCharacters(const QString &text, int count);
