#include "store/TextWidth.h"

namespace {

// The UTF-16 length of the first `count` characters.
qsizetype unitsOf(QStringView text, int count)
{
    qsizetype i = 0;
    for (int seen = 0; seen < count && i < text.size(); ++seen) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        i += pair ? 2 : 1;
    }
    return i;
}

} // namespace

int characterCount(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count)
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    return count;
}

QString leftCharacters(const QString &text, int count)
{
    return text.left(unitsOf(text, count));
}
