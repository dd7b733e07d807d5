#include "link/TClientManager.h"

#include "base/TextDecoding.h"
#include "link/SocketErrors.h"

#include <QNetworkProxy>
#include <QTcpSocket>

namespace {
constexpr QByteArrayView kTerminator("\r\n\r\n");
// Actions are small; a peer that stops reading must not make us buffer without end.
constexpr qint64 kMaxPendingWrite = 8 * 1024 * 1024;
// What Qt may hold for us while reading is paused.
constexpr qint64 kSocketReadBuffer = 4 * 1024 * 1024;
} // namespace

TClientManager::TClientManager(QObject* parent) : QObject(parent), m_socket(new QTcpSocket(this)) {
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_socket->setReadBufferSize(kSocketReadBuffer);
    connect(m_socket, &QTcpSocket::connected, this, &TClientManager::OnSocketConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &TClientManager::OnSocketDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TClientManager::OnSocketError);
    connect(m_socket, &QTcpSocket::readyRead, this, &TClientManager::OnSocketReadyRead);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &TClientManager::OnConnectTimeout);
}

TClientManager::~TClientManager() {
    // No callbacks into an owner that is going away.
    m_socket->blockSignals(true);
    m_socket->abort();
}

void TClientManager::Connect(const QString& host, quint16 port) {
    if (m_socket->state() != QAbstractSocket::UnconnectedState) return;
    ++m_generation;
    m_connectTimer.start();
    m_socket->connectToHost(host, port);
}

void TClientManager::Disconnect() {
    const bool active = m_socket->state() != QAbstractSocket::UnconnectedState || m_open;
    m_connectTimer.stop();
    ++m_generation;
    m_socket->blockSignals(true);
    m_socket->abort();
    m_socket->blockSignals(false);
    Connected = false;
    m_open = false;
    if (active && OnDisconnect) OnDisconnect(this);
}

bool TClientManager::IsActive() const {
    return m_open || m_socket->state() != QAbstractSocket::UnconnectedState;
}

void TClientManager::SendString(const QString& text) {
    SendBytes(EncodeText(text));
}

void TClientManager::SendBytes(const QByteArray& bytes) {
    if (!Connected) return;
    if (m_socket->bytesToWrite() > kMaxPendingWrite) {
        Log(QStringLiteral("Envio descartado: o servidor não está lendo (%1 bytes pendentes)")
                .arg(m_socket->bytesToWrite()));
        return;
    }
    m_socket->write(bytes);
}

void TClientManager::SetReadPaused(bool paused) {
    if (m_readPaused == paused) return;
    m_readPaused = paused;
    if (!paused && m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &TClientManager::OnSocketReadyRead, Qt::QueuedConnection);
}

void TClientManager::OnSocketConnected() {
    m_connectTimer.stop();
    // A partial packet of an earlier connection must not be glued to this one's greeting.
    m_receiveBuffer.clear();
    m_scanFrom = 0;
    m_discarding = false;
    Connected = true;
    m_open = true;
    if (OnConnect) OnConnect(this);
}

void TClientManager::OnSocketDisconnected() {
    m_connectTimer.stop();
    Connected = false;
    if (!m_open) return;
    m_open = false;
    if (OnDisconnect) OnDisconnect(this);
}

void TClientManager::OnSocketError() {
    const QAbstractSocket::SocketError error = m_socket->error();
    // A close by the server is reported by the disconnect notification, as on Windows.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    m_connectTimer.stop();
    Connected = false;
    const int code = WinsockErrorNumber(error, m_socket->errorString());
    if (OnError) OnError(this, code);
}

void TClientManager::OnConnectTimeout() {
    if (m_socket->state() == QAbstractSocket::ConnectedState) return;
    ++m_generation;
    m_socket->blockSignals(true);
    m_socket->abort();
    m_socket->blockSignals(false);
    Connected = false;
    if (OnError) OnError(this, kWsaTimedOut);
}

void TClientManager::OnSocketReadyRead() {
    if (m_readPaused) return;
    constexpr qsizetype kRead = 64 * 1024;
    if (m_readChunk.size() != kRead) m_readChunk.resize(kRead);
    // A callback may close the socket: re-check before every read.
    while (!m_readPaused && m_socket->bytesAvailable() > 0) {
        const qint64 n = m_socket->read(m_readChunk.data(), kRead);
        if (n <= 0) break;
        FeedBytes(QByteArrayView(m_readChunk.constData(), n));
    }
}

namespace {

// Whether `text` begins with `prefix` (ASCII case-insensitive); `complete` is false when the
// text is shorter than the prefix but matches as far as it goes.
bool StartsLike(QByteArrayView text, QByteArrayView prefix, bool* complete = nullptr) {
    const qsizetype n = std::min(text.size(), prefix.size());
    if (complete) *complete = n == prefix.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? char(c + 32) : c) != prefix[i]) return false;
    }
    return true;
}

constexpr QByteArrayView kFollows("response: follows");
constexpr QByteArrayView kEndCommand("--END COMMAND--");

// What an empty line inside a "Response: Follows" answer means.
enum class FimFollows { Fim, Corpo, Espera };

// A command answer carries console text, which may hold empty lines of its own: it ends at the
// empty line right after "--END COMMAND--". A server that leaves that marker out must not make
// us swallow what comes after, so an empty line followed by the start of a packet also ends it.
FimFollows ClassificaFollows(QByteArrayView buffer, qsizetype p) {
    if (buffer.first(p).endsWith(kEndCommand)) return FimFollows::Fim;
    const QByteArrayView next = buffer.sliced(p + kTerminator.size());
    bool completeEvent = false;
    bool completeResponse = false;
    const bool event = StartsLike(next, "event:", &completeEvent);
    const bool response = StartsLike(next, "response:", &completeResponse);
    if ((event && completeEvent) || (response && completeResponse)) return FimFollows::Fim;
    if ((event && !completeEvent) || (response && !completeResponse)) return FimFollows::Espera;
    return FimFollows::Corpo;
}

} // namespace

void TClientManager::FeedBytes(QByteArrayView bytes) {
    m_receiveBuffer.append(bytes);

    QStringList packets;
    qsizetype start = 0;
    qsizetype searchFrom = std::max<qsizetype>(0, m_scanFrom);
    qsizetype waitAt = -1;
    for (;;) {
        const qsizetype p = m_receiveBuffer.indexOf(kTerminator, std::max(start, searchFrom));
        if (p < 0) break;
        const qsizetype end = p + kTerminator.size();
        // Only command answers get a second look; events stay on the plain path. An answer
        // past the size limit is cut here and thrown away like any oversized packet.
        if (!m_discarding && end - start <= kMaxPacketBytes &&
            (m_receiveBuffer.at(start) | 0x20) == 'r' &&
            StartsLike(QByteArrayView(m_receiveBuffer).sliced(start), kFollows)) {
            const FimFollows fim = ClassificaFollows(m_receiveBuffer, p);
            if (fim == FimFollows::Espera) {
                waitAt = p;
                break;
            }
            if (fim == FimFollows::Corpo) {
                searchFrom = p + 2;
                continue;
            }
        }
        if (m_discarding) {
            m_discarding = false;
            Log(QStringLiteral("Fim do pacote grande descartado; recepção ressincronizada"));
        } else if (end - start > kMaxPacketBytes) {
            Log(QStringLiteral("Pacote de %1 bytes descartado (limite %2)")
                    .arg(end - start)
                    .arg(kMaxPacketBytes));
        } else {
            packets.append(DecodeText(QByteArrayView(m_receiveBuffer).sliced(start, end - start)));
        }
        start = end;
        searchFrom = end;
    }
    m_receiveBuffer.remove(0, start);
    // The terminator may straddle this read and the next one; an empty line inside a command
    // answer that could not be told yet is looked at again.
    m_scanFrom =
        waitAt >= 0
            ? waitAt - start
            : std::max<qsizetype>(0, std::max(searchFrom - start,
                                              m_receiveBuffer.size() - (kTerminator.size() - 1)));

    // While waiting, the packet held fits the limit and only a few bytes follow it.
    if (waitAt < 0 && m_receiveBuffer.size() > kMaxPacketBytes) {
        if (!m_discarding)
            Log(QStringLiteral("Pacote sem fim com mais de %1 bytes: descartando até o próximo "
                               "fim de pacote")
                    .arg(kMaxPacketBytes));
        m_discarding = true;
        m_receiveBuffer = m_receiveBuffer.last(kTerminator.size() - 1);
        m_scanFrom = 0;
    }

    // A callback may close or reopen the connection; packets of the old one are then dropped.
    const quint64 generation = m_generation;
    for (const QString& packet : std::as_const(packets)) {
        if (generation != m_generation) break;
        if (OnPacket) OnPacket(this, packet);
    }
}

void TClientManager::Log(const QString& line) const {
    if (OnLog) OnLog(line);
}
