// Text dumps of the model lists, for the packet-log window and the probe. Each object's text is
// added as the log window adds a block of lines: followed by a line break.
#include "monitor/TMonitor.h"

QString TMonitor::Dump(const QString& item) const {
    if (item == u"Tudo") {
        // Everything, in the packet-log window's order.
        QString all;
        for (const char* part :
             {"Canais", "Ligações", "Filas", "Campanhas", "Ramais", "Portas", "Troncos"})
            all += Dump(QString::fromUtf8(part));
        return all;
    }
    QString t;
    if (item == u"Canais") {
        Canais.ParaCada([&t](const TChannel* c) { t += c->Descreve() + u"\r\n"; });
    } else if (item == u"Ligações") {
        Ligacoes.ParaCada([&t](const TLigacao* l) { t += l->Descreve() + u"\r\n"; });
    } else if (item == u"Ramais") {
        for (int i = 0; i < Ramais.Count(); ++i) {
            const TRamal* r = Ramais.Item(i);
            t += u"Ramal: " + r->RamalId + u" (" + r->Dispositivo() + u")\r\n";
            for (const TLigacao* l : r->Ligacoes())
                t += l->Descreve() + u"\r\n";
        }
    } else if (item == u"Portas") {
        for (int i = 0; i < Portas.Count(); ++i)
            t += Portas.Item(i)->Descreve() + u"\r\n";
    } else if (item == u"Troncos") {
        for (int i = 0; i < Troncos.Count(); ++i)
            t += Troncos.Item(i)->Descreve() + u"\r\n";
    } else if (item == u"Filas") {
        Filas.ParaCada([&t](const TFila* f) { t += f->Dump() + u"\r\n"; });
    } else if (item == u"Atendentes") {
        Agentes.ParaCada([&t](const TAgente* a) { t += a->Dump() + u"\r\n"; });
    } else if (item == u"Chat") {
        // Before the first chat start there is no model to dump.
        if (m_chatModelo) t = m_chatModelo->Dump();
    } else if (item == u"Alertas") {
        t = m_alertas->Dump();
    } else if (item == u"Campanhas") {
        Campanhas.ParaCada([&t](const TCampanha* c) { t += c->Dump() + u"\r\n"; });
    }
    return t;
}
