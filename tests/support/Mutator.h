#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// Deterministic hostile variants of valid samples: the seed is printed, so a
// failing input can be made again.
class Mutator
{
public:
    explicit Mutator(quint32 seed);
    quint32 seed() const { return m_seed; }

    int below(int n) { return n <= 0 ? 0 : int(m_random.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }

    // One to a few edits: bytes flipped, inserted, deleted, cut short, repeated,
    // swapped for quotes, separators, BOMs, NULs, invalid UTF-8, huge numbers or long runs.
    QByteArray mutate(QByteArray bytes);
    QString mutate(const QString &text);
    // A short text of nasty characters: quotes, separators, line breaks, Cyrillic, surrogates.
    QString nastyText(int maxLength);

private:
    QByteArray piece();
    quint32 m_seed;
    QRandomGenerator m_random;
};
