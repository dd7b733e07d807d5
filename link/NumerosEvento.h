#pragma once

// Numbers read from an event or a table row. A number that is absent or empty takes its
// documented default; one that is present but does not read as a 32-bit integer is reported, so
// the handler can skip the whole packet before it changes anything.
#include "link/TPacketManagerParser.h"

#include <QStringView>

// The integer under `chave`: `padrao` when absent or empty; false when it is there but is not a
// 32-bit integer.
inline bool LeInteiro(const TPacketManagerParser& p, QStringView chave, qint32 padrao,
                      qint32& valor) {
    const QStringView texto = p.GetValueView(chave);
    if (texto.isEmpty()) {
        valor = padrao;
        return true;
    }
    bool ok = false;
    const int n = texto.toInt(&ok);
    if (!ok) return false;
    valor = n;
    return true;
}

// The integer under `chave`, or `padrao` when it is absent or not a 32-bit integer: for the
// fields whose missing or unreadable value has a meaning of its own.
inline qint32 InteiroOuPadrao(const TPacketManagerParser& p, QStringView chave, qint32 padrao) {
    bool ok = false;
    const int n = p.GetValueView(chave).toInt(&ok);
    return ok ? n : padrao;
}
