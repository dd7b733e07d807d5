#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// Malformed packets for the "garbage" fault switch: lines without a colon, random bytes with NUL
// and invalid UTF-8, an event nobody knows, a 100 KiB value, a bare empty line. Each one still
// ends with an empty line, so the packets around it stay intact. Seeded: the same seed gives the
// same sequence.
class TSimGarbage {
public:
    explicit TSimGarbage(quint32 seed) : m_rng(seed) {}

    // Whether a malformed packet goes in before the next real one (about one in six).
    bool due() { return m_rng.bounded(6) == 0; }
    QByteArray next();

    static constexpr qsizetype LongValue = 100 * 1024;

private:
    QRandomGenerator m_rng;
};
