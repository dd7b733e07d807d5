#pragma once

#include <QSize>

// Font levels 0 to 5 of the list windows: the point size of each, and the tile cell of the
// icon mode (level 0 keeps the view's own default cell).
constexpr int kNiveisFonte = 6;

inline int PontosDoNivel(int nivel) {
    constexpr int pontos[kNiveisFonte] = {8, 10, 12, 14, 18, 24};
    return pontos[nivel < 0 ? 0 : nivel >= kNiveisFonte ? kNiveisFonte - 1 : nivel];
}

// The cell of level 0, where the text of the list view's own default cell would go.
constexpr QSize kTilePadrao(76, 36);

// An empty size for level 0: the view's default cell.
inline QSize TileDoNivel(int nivel) {
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

inline int NivelValido(int nivel) {
    return nivel < 0 ? 0 : nivel >= kNiveisFonte ? kNiveisFonte - 1 : nivel;
}
