#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Integer text as the Windows program's settings reader takes it: the trimmed text as a decimal
// number with an optional sign, or hexadecimal after "$" or "0x"; nothing else, and nothing
// outside 32 bits. Hexadecimal up to FFFFFFFF is a 32-bit pattern ("$FFFFFFFF" is -1), so a
// colour written that way reads back as the same value.
std::optional<int> TextoParaInteiro(QStringView texto);

// The same with a default for text that is not a number.
inline int TextoParaInteiro(QStringView texto, int padrao) {
    return TextoParaInteiro(texto).value_or(padrao);
}
