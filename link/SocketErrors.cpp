#include "link/SocketErrors.h"

int WinsockErrorNumber(QAbstractSocket::SocketError error, const QString& errorString) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return kWsaConnRefused;
    // A name that does not resolve is, for the user, a server that was not found.
    case QAbstractSocket::HostNotFoundError:
        return kWsaHostUnreach;
    case QAbstractSocket::SocketAccessError:
        return kWsaAccess;
    case QAbstractSocket::SocketResourceError:
        return kWsaNoBufs;
    case QAbstractSocket::SocketTimeoutError:
        return kWsaTimedOut;
    case QAbstractSocket::DatagramTooLargeError:
        return kWsaMsgSize;
    case QAbstractSocket::NetworkError:
        if (errorString.contains(QLatin1String("timed out"), Qt::CaseInsensitive))
            return kWsaTimedOut;
        if (errorString.contains(QLatin1String("Network unreachable"), Qt::CaseInsensitive))
            return kWsaNetDown;
        return kWsaHostUnreach;
    case QAbstractSocket::AddressInUseError:
        return kWsaAddrInUse;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return kWsaAddrNotAvail;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return kWsaAfNoSupport;
    case QAbstractSocket::UnfinishedSocketOperationError:
        return kWsaInProgress;
    case QAbstractSocket::RemoteHostClosedError:
        return kWsaConnAborted;
    case QAbstractSocket::OperationError:
        return kWsaInval;
    case QAbstractSocket::TemporaryError:
        return kWsaWouldBlock;
    default:
        return kWsaConnAborted;
    }
}

QString SocketErrorText(int code) {
    const char* suffix;
    switch (code) {
    case 10013:
        suffix = ": Permissão negada para acesso ao socket";
        break;
    case 10014:
        suffix = ": Endereço IP inválido";
        break;
    case 10039:
        suffix = ": Endereço IP não está especificado";
        break;
    case 10047:
        suffix = ": Operação já está sendo executada";
        break;
    case 10048:
        suffix = ": Enreceço IP já está sendo usado";
        break;
    case 10049:
        suffix = ": Não conseguiu acessar o endereço IP especificado";
        break;
    case 10053:
        suffix = ": Conexão abortada pelo servidor";
        break;
    case 10060:
        suffix = ": IP do servidor inexistente";
        break;
    case 10061:
        suffix = ": Conexão encerrada pelo servidor";
        break;
    case 10064:
        suffix = ": Servidor não está ativo";
        break;
    case 10065:
        suffix = ": Servidor não encontrado";
        break;
    default:
        suffix = ": Conexão encerrada pelo servidor";
        break;
    }
    return QStringLiteral("Erro ") + QString::number(code) + QString::fromUtf8(suffix);
}
