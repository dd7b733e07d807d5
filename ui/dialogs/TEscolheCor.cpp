#include "ui/dialogs/TEscolheCor.h"

#include "monitor/TMonitor.h"
#include "settings/TEsquemaCores.h"
#include "ui/lists/TCoresEstado.h"

#include <QColorDialog>

std::optional<int> EscolheCor(QWidget* parent, int atual) {
    QColorDialog dialogo(CorBgr(atual), parent);
    dialogo.setObjectName(QStringLiteral("EscolheCor"));
    if (dialogo.exec() != QDialog::Accepted) return std::nullopt;
    const QColor c = dialogo.selectedColor();
    if (!c.isValid()) return std::nullopt;
    return CorRGB(c.red(), c.green(), c.blue());
}

bool EscolheCorMotivoChamada(QWidget* parent, TMonitor& monitor, const QString& tipo,
                             const QString& nome) {
    const std::optional<int> cor =
        EscolheCor(parent, monitor.CoresMotivos.LeCorMotivoChamada(tipo, nome));
    if (!cor) return false;
    monitor.SetaCorMotivoChamada(tipo, nome, *cor);
    return true;
}
