#pragma once

#include <QString>

class TCoresMotivos;
class TMonitor;
class TFila;
class TGraficoPizza;

// Fills and draws a queue's call-reason chart at a level: 0 "Motivadas" / "Não motivadas",
// 1 the reasons, 2 the sub-reasons of `motivo`. Returns the level drawn: a level-2 reason that
// no longer exists falls back to the reasons.
int DesenhaGraficoMotivos(TGraficoPizza* grafico, const TFila* fila, const TCoresMotivos& cores,
                          int nivel, const QString& motivo, int fatias);

// A reason colour changed in a chart: the monitor's reason colours saved in the profile file
// `arquivo` (nothing without one); a failure goes to the monitor's error report.
void SalvaCoresMotivos(TMonitor* monitor, const QString& arquivo);
