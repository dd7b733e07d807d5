#include "settings/TEsquemaCores.h"

#include "settings/TIniFile.h"

#include <algorithm>

namespace {

const char* const kChavesFundo[kClassesCor] = {"CorEstadoOcupadoNaFila",   "CorEstadoOcupado",
                                               "CorEstadoPosAtendimento",  "CorEstadoEmPausa",
                                               "CorEstadoLivre",           "CorEstadoIndisponivel",
                                               "CorEstadoFoneForaDoGancho"};
const char* const kChavesFonte[kClassesCor] = {
    "CorFonteOcupadoNaFila", "CorFonteOcupado",      "CorFontePosAtendimento",  "CorFonteEmPausa",
    "CorFonteLivre",         "CorFonteIndisponivel", "CorFonteFoneForaDoGancho"};
constexpr std::array<int, kClassesCor> kFundoPadrao = {
    CorRGB(250, 149, 143), CorRGB(255, 128, 0),   CorRGB(255, 172, 89), CorRGB(255, 255, 185),
    CorRGB(183, 247, 215), CorRGB(207, 207, 207), CorRGB(255, 172, 89)};

// Hue, lightness and saturation on the 0..240 scale the Windows colour dialog uses.
constexpr int kHls = 240;
constexpr int kRgb = 255;
constexpr int kHueIndefinido = kHls * 2 / 3;

struct THls {
    int h, l, s;
};

THls RgbParaHls(int cor) {
    const auto [r, g, b] = ComponentesCor(cor);
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    THls hls{kHueIndefinido, ((cMax + cMin) * kHls + kRgb) / (2 * kRgb), 0};
    if (cMax == cMin) return hls;
    const int soma = cMax + cMin, dif = cMax - cMin;
    hls.s = hls.l <= kHls / 2 ? (dif * kHls + soma / 2) / soma
                              : (dif * kHls + (2 * kRgb - soma) / 2) / (2 * kRgb - soma);
    const int dr = ((cMax - r) * (kHls / 6) + dif / 2) / dif;
    const int dg = ((cMax - g) * (kHls / 6) + dif / 2) / dif;
    const int db = ((cMax - b) * (kHls / 6) + dif / 2) / dif;
    if (r == cMax)
        hls.h = db - dg;
    else if (g == cMax)
        hls.h = kHls / 3 + dr - db;
    else
        hls.h = 2 * kHls / 3 + dg - dr;
    if (hls.h < 0) hls.h += kHls;
    if (hls.h >= kHls) hls.h -= kHls; // 240 is the same hue as 0
    return hls;
}

int HueParaRgb(int n1, int n2, int hue) {
    if (hue < 0) hue += kHls;
    if (hue > kHls) hue -= kHls;
    if (hue < kHls / 6) return n1 + ((n2 - n1) * hue + kHls / 12) / (kHls / 6);
    if (hue < kHls / 2) return n2;
    if (hue < kHls * 2 / 3) return n1 + ((n2 - n1) * (kHls * 2 / 3 - hue) + kHls / 12) / (kHls / 6);
    return n1;
}

int HlsParaRgb(const THls& c) {
    auto canal = [](int v) { return std::clamp(v, 0, kRgb); };
    if (c.s == 0) {
        const int v = canal((c.l * kRgb + kHls / 2) / kHls);
        return CorRGB(v, v, v);
    }
    const int m2 = c.l <= kHls / 2 ? (c.l * (kHls + c.s) + kHls / 2) / kHls
                                   : c.l + c.s - (c.l * c.s + kHls / 2) / kHls;
    const int m1 = 2 * c.l - m2;
    const int r = canal((HueParaRgb(m1, m2, c.h + kHls / 3) * kRgb + kHls / 2) / kHls);
    const int g = canal((HueParaRgb(m1, m2, c.h) * kRgb + kHls / 2) / kHls);
    const int b = canal((HueParaRgb(m1, m2, c.h - kHls / 3) * kRgb + kHls / 2) / kHls);
    return CorRGB(r, g, b);
}

} // namespace

void DefaultScheme(TEsquemaCores& s) {
    s.Cor = 0;
    s.Fundo = kFundoPadrao;
    s.Fonte.fill(0);
}

TEsquemaCores EsquemaPadrao() {
    TEsquemaCores s;
    DefaultScheme(s);
    return s;
}

TEsquemaCores ReadScheme(const QString& arquivo, const QString& secao) {
    const TIniFile ini(arquivo);
    TEsquemaCores s;
    s.CorTodasAsFilas = ini.ReadInteger(secao, QStringLiteral("CorTodasAsFilas"), 0);
    s.Cor = ini.ReadInteger(secao, QStringLiteral("Cor"), 0);
    for (int i = 0; i < kClassesCor; ++i) {
        s.Fundo[size_t(i)] =
            ini.ReadInteger(secao, QLatin1String(kChavesFundo[i]), kFundoPadrao[size_t(i)]);
        s.Fonte[size_t(i)] = ini.ReadInteger(secao, QLatin1String(kChavesFonte[i]), 0);
    }
    return s;
}

void WriteScheme(const QString& arquivo, const QString& secao, const TEsquemaCores& s) {
    TAlteracoesIni alteracoes;
    alteracoes.WriteInteger(secao, QStringLiteral("CorTodasAsFilas"), s.CorTodasAsFilas);
    alteracoes.WriteInteger(secao, QStringLiteral("Cor"), s.Cor);
    for (int i = 0; i < kClassesCor; ++i)
        alteracoes.WriteInteger(secao, QLatin1String(kChavesFundo[i]), s.Fundo[size_t(i)]);
    for (int i = 0; i < kClassesCor; ++i)
        alteracoes.WriteInteger(secao, QLatin1String(kChavesFonte[i]), s.Fonte[size_t(i)]);
    TIniFile(arquivo).Write(alteracoes);
}

TEsquemaCores SchemeOfAgentsWindow(const QString& arquivo, const QString& secao) {
    TEsquemaCores s = ReadScheme(arquivo, secao);
    if (s.Cor < 2) DefaultScheme(s);
    return s;
}

TEsquemaCores SchemeOfQueueWindow(const QString& arquivo, const QString& secao) {
    TEsquemaCores s = ReadScheme(arquivo, QStringLiteral("Preferencias"));
    if (s.CorTodasAsFilas == 1) {
        const TEsquemaCores proprio = ReadScheme(arquivo, secao);
        if (proprio.Cor > 0) s = proprio;
    } else if (s.CorTodasAsFilas == 0) {
        s.Cor = 1;
    }
    if (s.Cor == 3) s = ReadScheme(arquivo, QStringLiteral("TelaAtendentes"));
    if (s.Cor == 1) DefaultScheme(s);
    return s;
}

int Darken(int cor) {
    THls c = RgbParaHls(cor);
    c.l = std::max(0, c.l - 20);
    return HlsParaRgb(c);
}

int Lighten(int cor) {
    THls c = RgbParaHls(cor);
    c.l = std::min(kHls, c.l + 60);
    return HlsParaRgb(c);
}
