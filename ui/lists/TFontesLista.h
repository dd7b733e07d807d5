#pragma once

#include <QFont>
#include <QSize>
#include <QStringList>

// Font levels 0 to 5 of the list windows: the point size of each, and the tile cell of the
// icon mode.
constexpr int kNiveisFonte = 6;

inline int NivelValido(int nivel) {
    return nivel < 0 ? 0 : nivel >= kNiveisFonte ? kNiveisFonte - 1 : nivel;
}

inline int PontosDoNivel(int nivel) {
    constexpr int pontos[kNiveisFonte] = {8, 10, 12, 14, 18, 24};
    return pontos[NivelValido(nivel)];
}

// The cell of level 0, where the text of the list view's own default cell would go.
constexpr QSize kTilePadrao(76, 36);

// The tile sizes the levels were drawn for; empty for level 0 (the view's default cell).
QSize TileDoNivel(int nivel);

// The font of a level, from the window's own font.
QFont FonteDoNivel(const QFont& base, int nivel, bool negrito);

// How much wider than the reference the font's letters are. The built-in column widths were
// laid out for an 8-point font whose mean letter is 6 pixels wide.
double EscalaDaFonte(const QFont& fonte);

// A column's default width: the built-in width scaled to the font, widened to show the caption
// and the sample texts whole.
int LarguraPadrao(int largura, const QFont& fonte, const QStringList& textos);

// The tile cell of a level: the level's own size, grown to show the sample texts on each of the
// lines drawn at that level, and never smaller than the cell of a lower level.
QSize TileQueCabe(const QFont& base, int nivel, const QStringList& amostras);
