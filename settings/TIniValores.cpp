#include "settings/TIniValores.h"

#include <cstdint>
#include <limits>

namespace {

int ValorHex(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int> TextoParaInteiro(QStringView texto) {
    texto = texto.trimmed();
    bool negativo = false;
    if (!texto.isEmpty() && (texto.front() == u'-' || texto.front() == u'+')) {
        negativo = texto.front() == u'-';
        texto = texto.sliced(1);
    }
    int base = 10;
    if (texto.startsWith(u'$')) {
        base = 16;
        texto = texto.sliced(1);
    } else if (texto.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        texto = texto.sliced(2);
    }
    if (texto.isEmpty()) return std::nullopt;

    const std::uint64_t limite =
        base == 16 ? 0xFFFFFFFFu
                   : std::uint64_t(std::numeric_limits<int>::max()) + (negativo ? 1 : 0);
    std::uint64_t valor = 0;
    for (QChar c : texto) {
        const int digito =
            base == 16 ? ValorHex(c) : (c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1);
        if (digito < 0) return std::nullopt;
        valor = valor * unsigned(base) + unsigned(digito);
        if (valor > limite) return std::nullopt;
    }
    // Two's complement in unsigned arithmetic: no signed overflow for -2147483648.
    std::uint32_t bits = std::uint32_t(valor);
    if (negativo) bits = 0u - bits;
    return static_cast<int>(bits);
}
