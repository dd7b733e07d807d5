#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QTcpSocket;

// One TCP client connection to the manager interface, cut into packets at the blank line that
// ends each of them. Used for the manager connection (ConnectionId 0) and the chat connection
// (ConnectionId 1). All notifications arrive on the thread that owns the object.
class TClientManager : public QObject {
    Q_OBJECT
public:
    // A packet is capped at this size; a server that never ends one cannot exhaust memory.
    static constexpr qsizetype kMaxPacketBytes = 1024 * 1024;
    // An unanswered connect gives up after this long, like the Windows stack does.
    static constexpr int kConnectTimeoutMs = 20000;

    explicit TClientManager(QObject* parent = nullptr);
    ~TClientManager() override;

    std::function<void(TClientManager*, const QString&)> OnPacket;
    std::function<void(TClientManager*)> OnConnect;
    std::function<void(TClientManager*)> OnDisconnect;
    // The error number is a Windows Sockets number (see SocketErrors.h).
    std::function<void(TClientManager*, int)> OnError;
    // Diagnostic lines (oversized packets, write overflow).
    std::function<void(const QString&)> OnLog;

    bool Connected = false;
    int ConnectionId = 0;

    void Connect(const QString& host, quint16 port);
    // Closing from this side reports OnDisconnect at once, inside the call, when the socket was
    // connected or connecting.
    void Disconnect();
    // Sends a whole packet; silently dropped when the connection is not open. What the socket
    // cannot take at once stays queued in the socket's write buffer.
    void SendString(const QString& text);
    void SendBytes(const QByteArray& bytes);

    // Flow control for the owner's packet queue: while paused, received bytes stay in the
    // kernel and the server is slowed down by TCP itself.
    void SetReadPaused(bool paused);
    bool ReadPaused() const { return m_readPaused; }

    // Connected, or a connect is under way.
    bool IsActive() const;

    // Bytes waiting for a terminator (for diagnostics and tests).
    qsizetype PendingBytes() const { return m_receiveBuffer.size(); }

    // Feeds received bytes through the framer as if they came from the socket (used by tests
    // and benchmarks to drive the framing without a network).
    void FeedBytes(QByteArrayView bytes);

private:
    void OnSocketConnected();
    void OnSocketDisconnected();
    void OnSocketError();
    void OnSocketReadyRead();
    void OnConnectTimeout();
    void Log(const QString& line) const;

    QTcpSocket* m_socket;
    QTimer m_connectTimer;
    QByteArray m_receiveBuffer;
    // Where the next search for the terminator starts, so a packet arriving in many small reads
    // is scanned once, not once per read.
    qsizetype m_scanFrom = 0;
    // Set while the rest of an oversized packet is being thrown away.
    bool m_discarding = false;
    bool m_readPaused = false;
    // Reused for every socket read: a fresh buffer per read would cost a large allocation each
    // time, and large allocations make the C library tidy its whole heap.
    QByteArray m_readChunk;
    // True between the connect notification and the matching disconnect notification.
    bool m_open = false;
    // Bumped whenever a connection is opened or closed from this side.
    quint64 m_generation = 0;
};
