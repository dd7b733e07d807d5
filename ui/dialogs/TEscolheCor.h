#pragma once

#include <QString>

#include <optional>

class QWidget;
class TMonitor;

// The colour chooser, preset with a colour in the settings' layout (0x00BBGGRR): the chosen
// colour, or nothing when the user cancels. Centred on the parent's window.
std::optional<int> EscolheCor(QWidget* parent, int atual);

// A call reason's ("Motivo") or sub-reason's ("SubMotivo") colour: the chooser opens preset
// with the user's colour of it, and a chosen colour is stored and saved in the profile. True
// when one was chosen (the caller redraws its charts).
bool EscolheCorMotivoChamada(QWidget* parent, TMonitor& monitor, const QString& tipo,
                             const QString& nome);
