#include "ui/dialogs/TPosicaoDialogo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void PosicionaDialogo(QWidget* dialogo, std::optional<QPoint> guardada) {
    if (!guardada) return;
    // Its title bar, at least, must be reachable.
    const QRect topo(*guardada, QSize(dialogo->width(), 20));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(topo.center())) {
            dialogo->move(*guardada);
            return;
        }
    }
}
