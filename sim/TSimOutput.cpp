#include "TSimOutput.h"

#include <QTimer>

TSimOutput::TSimOutput(QTcpSocket* socket, const TSimFaults& faults, QObject* parent)
    : QObject(parent), m_socket(socket), m_faults(faults) {
    if (faults.garbage) m_garbage.emplace(faults.seed);
    connect(socket, &QTcpSocket::bytesWritten, this, &TSimOutput::onBytesWritten);
}

void TSimOutput::sendRaw(const QByteArray& bytes) {
    if (m_stalled || m_closing) return;
    write(bytes);
}

void TSimOutput::sendPacket(const QByteArray& packet) {
    if (m_stalled || m_closing) return;
    if (m_garbage && m_garbageAllowed && m_garbage->due()) {
        const QByteArray junk = m_garbage->next();
        m_garbageAllowed = false; // no recursion: the garbage itself is counted below
        sendPacket(junk);
        m_garbageAllowed = true;
        if (m_stalled || m_closing) return;
    }
    if (m_faults.stallAfter >= 0 && m_packets >= m_faults.stallAfter) {
        // Half a packet, then silence: the client must cope with a packet that never ends.
        write(packet.left(packet.size() / 2));
        m_stalled = true;
        return;
    }
    ++m_packets;
    write(packet);
    if (m_faults.dropAfter >= 0 && m_packets >= m_faults.dropAfter) closeWhenWritten();
}

void TSimOutput::closeWhenWritten() {
    m_closing = true;
    finishIfDone();
}

qint64 TSimOutput::backlog() const {
    return m_pieces.size() + (m_socket ? m_socket->bytesToWrite() : 0);
}

void TSimOutput::write(const QByteArray& bytes) {
    if (!m_socket || bytes.isEmpty() || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_faults.chunk <= 0) {
        m_socket->write(bytes);
        return;
    }
    m_pieces += bytes;
    if (!m_pieceInFlight) writePiece();
}

void TSimOutput::writePiece() {
    if (!m_socket || m_pieces.isEmpty() || m_socket->state() != QAbstractSocket::ConnectedState) {
        m_pieceInFlight = false;
        finishIfDone();
        return;
    }
    const QByteArray piece = m_pieces.left(m_faults.chunk);
    m_pieces.remove(0, piece.size());
    m_pieceInFlight = true;
    m_socket->write(piece);
    m_socket->flush();
}

void TSimOutput::onBytesWritten() {
    if (m_faults.chunk > 0 && m_pieceInFlight && m_socket && m_socket->bytesToWrite() == 0) {
        // The next piece goes out on a later turn of the event loop, as a write of its own.
        if (m_pieces.isEmpty()) {
            m_pieceInFlight = false;
            finishIfDone();
        } else {
            QTimer::singleShot(0, this, &TSimOutput::writePiece);
        }
    }
    if (backlog() < LowWater) Q_EMIT drained();
}

void TSimOutput::finishIfDone() {
    if (!m_closing || !m_pieces.isEmpty() || !m_socket) return;
    // Later, never inside a send: the session may be in the middle of an answer.
    QTimer::singleShot(0, m_socket, [socket = m_socket] {
        socket->disconnectFromHost(); // writes what the socket still holds, then closes
    });
}
