#pragma once

#include <QByteArray>

// Cuts the byte stream of one connection into packets. A packet ends with an empty line: a line
// feed followed by another one, with an optional carriage return between them ("\r\n\r\n" on
// the wire, "\n\n" from a hand-typed session). The buffer is bounded: a packet that grows past
// the limit is thrown away up to its end, so a client can never make the server hold more than
// about one packet's limit per connection.
class TSimFramer {
public:
    static constexpr qsizetype DefaultLimit = 1 << 20;

    explicit TSimFramer(qsizetype limit = DefaultLimit) : m_limit(limit) {}

    void feed(const QByteArray& bytes);
    // Takes the next whole packet (with its closing empty line) out of the buffer.
    bool next(QByteArray* packet);

    qsizetype buffered() const { return m_buffer.size() - m_start; }
    // Packets thrown away for being too long.
    qsizetype droppedPackets() const { return m_dropped; }

private:
    // End (one past the terminator) of the first packet in the buffer, or -1.
    qsizetype findEnd();

    QByteArray m_buffer;
    qsizetype m_limit;
    qsizetype m_start = 0; // start of the first packet not yet taken
    qsizetype m_scan = 0;  // no terminator starts between m_start and this offset
    bool m_discarding = false;
    qsizetype m_dropped = 0;
};
