#pragma once

#include "TSimGarbage.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include <optional>

// Fault switches of one connection (see TSimOptions).
struct TSimFaults {
    qint64 dropAfter = -1;
    int chunk = 0;
    qint64 stallAfter = -1;
    bool garbage = false;
    quint32 seed = 1;
};

// Everything a session writes goes through here: packets are counted, and the fault switches
// act on that count (drop the connection, stall half-way through a packet, mix garbage in, cut
// every write into small pieces that are written and flushed one at a time).
class TSimOutput : public QObject {
    Q_OBJECT
public:
    TSimOutput(QTcpSocket* socket, const TSimFaults& faults, QObject* parent = nullptr);

    // Bytes that are not a packet (the greeting, a script's raw text): not counted.
    void sendRaw(const QByteArray& bytes);
    // One whole packet, with its closing empty line.
    void sendPacket(const QByteArray& packet);

    // Garbage is only mixed in once this was called (after the login response).
    void allowGarbage() { m_garbageAllowed = true; }
    // Nothing more is written; the connection stays open.
    void stall() { m_stalled = true; }
    // Drops the connection once what is queued has been written.
    void closeWhenWritten();

    bool isStalled() const { return m_stalled; }
    bool isClosing() const { return m_closing; }
    qint64 packetsSent() const { return m_packets; }
    // Bytes handed over but not yet written to the network.
    qint64 backlog() const;

    // Above this backlog the session stops producing; `drained` says when it fell below the
    // low mark again.
    static constexpr qint64 HighWater = 256 * 1024;
    static constexpr qint64 LowWater = 64 * 1024;

Q_SIGNALS:
    void drained();

private:
    void write(const QByteArray& bytes);
    void writePiece();
    void onBytesWritten();
    void finishIfDone();

    QPointer<QTcpSocket> m_socket;
    TSimFaults m_faults;
    std::optional<TSimGarbage> m_garbage;
    bool m_garbageAllowed = false;
    bool m_stalled = false;
    bool m_closing = false;
    qint64 m_packets = 0;
    QByteArray m_pieces;          // chunk mode: bytes not yet handed to the socket
    bool m_pieceInFlight = false; // chunk mode: waiting for the last piece to be written
};
