#pragma once

#include <QPoint>

#include <optional>

class QWidget;

// Places a dialog at its stored position when there is one and the dialog would show there on
// one of the screens; otherwise leaves it where a dialog opens: centred on its parent's window
// (never in a corner of the screen because a position was never stored, or belongs to a
// monitor that is gone).
void PosicionaDialogo(QWidget* dialogo, std::optional<QPoint> guardada);
