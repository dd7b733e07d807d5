#pragma once

#include "settings/TSecaoTela.h"

#include <QStringList>

// What the wallboard shows, kept in its section of the profile file ("TelaPainel"): the chosen
// queues (none chosen: every queue the user may see), whether the agent tiles are shown and
// only the logged-in agents among them, how long each page stays, and whether it opens in full
// screen. Whatever the file holds, reading yields values the wallboard can use.
struct TConfigPainel {
    static constexpr int kRotacaoPadrao = 10;
    static constexpr int kRotacaoMinima = 3;
    static constexpr int kRotacaoMaxima = 600;
    // A hand-edited list cannot make the wallboard keep more than this.
    static constexpr int kMaximoFilas = 1000;
    static constexpr int kTamanhoMaximoId = 64;

    QStringList Filas;
    bool MostrarAtendentes = true;
    bool SomenteLogados = true;
    int SegundosRotacao = kRotacaoPadrao;
    bool TelaCheia = false;

    bool operator==(const TConfigPainel&) const = default;
};

// The queue list as stored: identifiers joined by ",", blanks around them ignored, empty,
// over-long and repeated ones dropped, at most kMaximoFilas kept.
QStringList FilasDoTexto(const QString& texto);
TConfigPainel LeConfigPainel(const TSecaoTela& secao);
// Gathers the keys into the section; the caller writes it with Salva.
void SalvaConfigPainel(TSecaoTela& secao, const TConfigPainel& config);
