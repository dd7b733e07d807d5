#pragma once

#include "settings/TSecaoTela.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The layout of a queues summary ("Filas", "FilasChat" and their custom screens): hidden queues,
// the five panel columns' positions and visibility, the custom screen's name.
struct TCfgTelaFilas {
    static constexpr int kColunas = 5;
    // More hidden queues than any call centre has are not read.
    static constexpr int kMaxOcultas = 10000;
    QStringList FilasOcultas;
    // Column (history, active calls, agents, statistics, call reasons) → position 0 … 4.
    std::array<int, kColunas> Posicoes{0, 1, 2, 3, 4};
    std::array<bool, kColunas> Visiveis{true, true, true, true, true};
    QString NomeTela;
};

// One queue's call-reason chart: slices 2 … 10, level 0 summary, 1 reasons, 2 sub-reasons of
// Motivo.
struct TCfgGrafico {
    int Fatias = 10;
    int Nivel = 0;
    QString Motivo;
};

// A saved custom screen: its id (the window name after "Filas_" or "FilasChat_") and name.
struct TTelaPersonalizada {
    QString Id;
    QString Nome;
};

// The captions of the five columns, in column order.
QString NomeColuna(int coluna);

// Positions read from a file may repeat, be out of range or be missing: the result is always a
// permutation of 0 … 4. The first column claiming a valid position keeps it; the others take
// the free positions in column order.
std::array<int, TCfgTelaFilas::kColunas>
NormalizaPosicoes(const std::array<int, TCfgTelaFilas::kColunas>& lidas);
// Position → column, from a permutation.
std::array<int, TCfgTelaFilas::kColunas>
OrdemColunas(const std::array<int, TCfgTelaFilas::kColunas>& posicoes);

TCfgTelaFilas LeCfgTelaFilas(const TSecaoTela& secao);
void EscreveCfgTelaFilas(TSecaoTela& secao, const TCfgTelaFilas& cfg);
// The charts of these queues stored in section "Tela" + `registro` (the file is read once).
QHash<QString, TCfgGrafico> LeCfgGraficos(const QString& arquivo, const QString& registro,
                                          const QStringList& filas);
// Queue identifiers that cannot be part of a key name are skipped (nothing is written).
void EscreveCfgGrafico(TSecaoTela& secao, const QString& filaId, const TCfgGrafico& cfg);

// Custom-screen ids are the digits of the moment they were first saved.
bool IdTelaValido(const QString& id);
// The custom screens of a kind ("Filas" or "FilasChat") in file order, with a valid id.
QList<TTelaPersonalizada> TelasPersonalizadas(const QString& arquivo, const QString& nomeBase);
// Whether another screen of the kind (not `idProprio`) has this name, letter case ignored.
bool NomeTelaEmUso(const QString& arquivo, const QString& nomeBase, const QString& nome,
                   const QString& idProprio);
// yyyyMMddhhmmss of `agora`; a second already taken by a screen of the kind moves on to the
// next free one, so two screens saved in the same second both survive.
QString NovoIdTela(const QString& arquivo, const QString& nomeBase, const QDateTime& agora);
