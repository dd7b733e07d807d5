#include "ui/lists/TFontesLista.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Room around a cell's text: the delegate's margins and a little air.
constexpr int kFolgaCelula = 12;
constexpr int kFolgaTile = 8;

int MaisLargo(const QFontMetrics& fm, const QStringList& textos) {
    int w = 0;
    for (const QString& t : textos)
        w = std::max(w, fm.horizontalAdvance(t));
    return w;
}

} // namespace

QSize TileDoNivel(int nivel) {
    switch (nivel) {
    case 1:
        return {32, 16};
    case 2:
    case 3:
        return {64, 32};
    case 4:
        return {96, 48};
    case 5:
        return {128, 64};
    default:
        return {};
    }
}

QFont FonteDoNivel(const QFont& base, int nivel, bool negrito) {
    QFont f = base;
    f.setPointSize(PontosDoNivel(nivel));
    f.setBold(negrito);
    return f;
}

double EscalaDaFonte(const QFont& fonte) {
    static const QString letras =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double media = QFontMetricsF(fonte).horizontalAdvance(letras) / double(letras.size());
    return media / 6.0;
}

int LarguraPadrao(int largura, const QFont& fonte, const QStringList& textos) {
    const int escalada = int(std::lround(largura * EscalaDaFonte(fonte)));
    if (textos.isEmpty()) return escalada;
    return std::max(escalada, MaisLargo(QFontMetrics(fonte), textos) + kFolgaCelula);
}

QSize TileQueCabe(const QFont& base, int nivel, const QStringList& amostras) {
    QSize tile = kTilePadrao;
    for (int n = 0; n <= NivelValido(nivel); ++n) {
        const QFontMetrics fm(FonteDoNivel(base, n, true));
        const QSize proprio = n == 0 ? kTilePadrao : TileDoNivel(n);
        // Level 0 draws line 1 alone; the others draw two lines at 2g and 3g + h, with
        // g = (height - h) / 8, so the second ends inside the tile once height >= 13h / 5.
        const int h = fm.height();
        const int altura = n == 0 ? h + kFolgaTile : (13 * h + 4) / 5 + kFolgaTile;
        const QSize cabe(MaisLargo(fm, amostras) + kFolgaTile, altura);
        tile = tile.expandedTo(proprio).expandedTo(cabe);
    }
    return tile;
}
