// Text dumps of the model lists, for the packet-log window and the probe.
#include "link/TMonitor.h"

QString TMonitor::Dump(const QString& item) const {
    if (item == u"Tudo") {
        // Everything, in the packet-log window's order.
        QString all;
        for (const char* part : {"Canais", "Ligações", "Filas", "Campanhas", "Ramais", "Portas", "Troncos"})
            all += Dump(QString::fromUtf8(part));
        return all;
    }
    // Each model list adds its own dump here as it joins the monitor.
    return {};
}
