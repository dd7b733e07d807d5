#include "TSimGarbage.h"

QByteArray TSimGarbage::next() {
    QByteArray out;
    switch (m_rng.bounded(5)) {
    case 0:
        out = QByteArrayLiteral("Esta linha nao tem dois pontos\r\nnem esta\r\n");
        break;
    case 1: {
        const int size = 64 + int(m_rng.bounded(448));
        out.reserve(size + 8);
        out += '\0';
        out += "\xC3\x28\xFF"; // a broken two-byte sequence and a byte UTF-8 never uses
        while (out.size() < size) {
            const char c = char(m_rng.bounded(256));
            if (c != '\r' && c != '\n') out += c;
        }
        out += "\r\n";
        break;
    }
    case 2:
        out = QByteArrayLiteral("Event: VesmaraRuido\r\nPrivilege: system,all\r\nRuido: ");
        out += QByteArray::number(m_rng.bounded(100000));
        out += "\r\n";
        break;
    case 3:
        out = QByteArrayLiteral("Event: VesmaraRuido\r\nCarga: ");
        out += QByteArray(LongValue, 'x');
        out += "\r\n";
        break;
    default:
        out = QByteArrayLiteral("\r\n"); // with the closing line below: an empty packet
        break;
    }
    out += "\r\n";
    return out;
}
