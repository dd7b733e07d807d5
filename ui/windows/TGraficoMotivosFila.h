#pragma once

#include <QString>

class TCoresMotivos;
class TFila;
class TGraficoPizza;

// Fills and draws a queue's call-reason chart at a level: 0 "Motivadas" / "Não motivadas",
// 1 the reasons, 2 the sub-reasons of `motivo`. Returns the level drawn: a level-2 reason that
// no longer exists falls back to the reasons.
int DesenhaGraficoMotivos(TGraficoPizza* grafico, const TFila* fila, const TCoresMotivos& cores,
                          int nivel, const QString& motivo, int fatias);
