#include "support/Mutator.h"

namespace {

// Pieces that break readers: quotes, separators, marks, NULs, broken encodings, huge numbers.
const QByteArray pieces[] = {
    "\"", "'", "''", "\"\"", ";", "=", ";;", "==", ",", ".", ":", "::", "[", "]", "[::1]", "<", ">", "&", "&amp;",
    "&#0;", "&#xFFFF;", "<!--", "]]>", "\r", "\n", "\r\n", "\t", " ", "\v", "\f", QByteArray("\0", 1),
    QByteArray("\0\0\0\0", 4), "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xC3", "\xC3\x28", "\xE2\x82", "\xED\xA0\x80",
    "\xF4\x90\x80\x80", "\xC0\xAF", "\x80", "\xFF", "\xD0\x96", "\xE2\x80\xA8", "\xC2\x85", "%", "_", "\\", "--", "/*",
    "99999999999999999999", "-1", "+", "-", "1e308", "1e999999999", "4294967295", "2147483648", "0x", "NaN", "inf",
    "00000000", "31.02", "29,02,2100", "E", "e-", "\xFF\xFF\xFF\xFF", "\x7F", "\x01", "\x1A",
};

} // namespace

Mutator::Mutator(quint32 seed) : m_seed(seed), m_random(seed) {}

QByteArray Mutator::piece()
{
    const int n = int(std::size(pieces));
    if (chance(5))
        return QByteArray(1000 + below(70000), "x0;\"="[below(5)]);
    return pieces[below(n)];
}

QByteArray Mutator::mutate(QByteArray bytes)
{
    const int edits = 1 + below(chance(20) ? 12 : 3);
    for (int e = 0; e < edits; ++e) {
        const int size = int(bytes.size());
        const int at = below(size + 1);
        switch (below(9)) {
        case 0: // flip a bit
            if (size > 0)
                bytes[at % size] = char(bytes.at(at % size) ^ (1 << below(8)));
            break;
        case 1: // a random byte
            bytes.insert(at, char(below(256)));
            break;
        case 2: // delete a run
            bytes.remove(at, 1 + below(chance(20) ? 200 : 4));
            break;
        case 3: // cut short
            bytes.truncate(at);
            break;
        case 4: { // repeat a run
            const QByteArray run = bytes.mid(at, 1 + below(64));
            bytes.insert(at, run.repeated(1 + below(chance(10) ? 500 : 4)));
            break;
        }
        case 5: // replace a byte by a piece
            if (size > 0)
                bytes.replace(at % size, 1, piece());
            break;
        default: // insert a piece
            bytes.insert(at, piece());
            break;
        }
    }
    return bytes;
}

QString Mutator::mutate(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes = mutate(bytes);
    // Half of the time the mutated bytes are read as UTF-8 (broken sequences become U+FFFD),
    // else the text is edited by characters, lone surrogates among them.
    if (chance(50))
        return QString::fromUtf8(bytes);
    QString t = text;
    const int edits = 1 + below(3);
    for (int e = 0; e < edits; ++e) {
        const int at = below(int(t.size()) + 1);
        switch (below(3)) {
        case 0: t.insert(at, nastyText(6)); break;
        case 1: t.remove(at, 1 + below(3)); break;
        default: t.truncate(at); break;
        }
    }
    return t;
}

QString Mutator::nastyText(int maxLength)
{
    static const char16_t chars[] = {u'"', u'\'', u';', u'=', u',', u'.', u' ', u'\t', u'\r', u'\n', u'\0', u'%', u'_',
                                     u'\\', u'Ж', u'ё', u'Ё', u'я', u'№', u'«', u'»', u'—', 0xA0, 0x2028, 0x2029, 0x85,
                                     0xFEFF, 0xFFFD, 0xD800, 0xDC00, u'0', u'9', u'-', u'+', u'E', u'[', u']', u':',
                                     0x212A, u'k', u'ß', 0x1E9E, u'I', 0x131, 0x0301};
    QString t;
    const int n = below(maxLength + 1);
    for (int i = 0; i < n; ++i)
        t += QChar(chars[below(int(std::size(chars)))]);
    return t;
}
