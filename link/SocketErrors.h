#pragma once

#include <QAbstractSocket>
#include <QString>

// Socket failures are reported with Windows Sockets error numbers: the status texts and the
// profiles users already know are written in those terms, on every platform.
constexpr int kWsaAccess = 10013;       // WSAEACCES
constexpr int kWsaFault = 10014;        // WSAEFAULT
constexpr int kWsaInval = 10022;        // WSAEINVAL
constexpr int kWsaWouldBlock = 10035;   // WSAEWOULDBLOCK
constexpr int kWsaInProgress = 10036;   // WSAEINPROGRESS
constexpr int kWsaDestAddrReq = 10039;  // WSAEDESTADDRREQ
constexpr int kWsaMsgSize = 10040;      // WSAEMSGSIZE
constexpr int kWsaAfNoSupport = 10047;  // WSAEAFNOSUPPORT
constexpr int kWsaAddrInUse = 10048;    // WSAEADDRINUSE
constexpr int kWsaAddrNotAvail = 10049; // WSAEADDRNOTAVAIL
constexpr int kWsaNetDown = 10050;      // WSAENETDOWN
constexpr int kWsaConnAborted = 10053;  // WSAECONNABORTED
constexpr int kWsaNoBufs = 10055;       // WSAENOBUFS
constexpr int kWsaTimedOut = 10060;     // WSAETIMEDOUT
constexpr int kWsaConnRefused = 10061;  // WSAECONNREFUSED
constexpr int kWsaHostDown = 10064;     // WSAEHOSTDOWN
constexpr int kWsaHostUnreach = 10065;  // WSAEHOSTUNREACH

// The Windows Sockets number for a Qt socket error. `errorString` refines the generic
// NetworkError (timeouts and unreachable hosts share it in Qt).
int WinsockErrorNumber(QAbstractSocket::SocketError error, const QString& errorString);

// "Erro " + number + the suffix users know for it.
QString SocketErrorText(int code);
