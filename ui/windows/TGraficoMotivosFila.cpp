#include "ui/windows/TGraficoMotivosFila.h"

#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoChamada.h"
#include "monitor/TMonitor.h"
#include "settings/TCoresMotivos.h"
#include "ui/widgets/TGraficoPizza.h"

#include <algorithm>

int DesenhaGraficoMotivos(TGraficoPizza* g, const TFila* fila, const TCoresMotivos& cores,
                          int nivel, const QString& motivo, int fatias) {
    g->Limpa();
    if (!fila) {
        g->MostraVoltar(false);
        g->Desenha(QString(), fatias);
        return 0;
    }
    const TKQListCallReason& motivos = fila->CallReasons;
    const TKQCallReason* atual = nivel == 2 ? motivos.Procura(motivo) : nullptr;
    if (nivel == 2 && !atual) nivel = 1;
    if (nivel < 0 || nivel > 2) nivel = 0;
    QString outros;
    switch (nivel) {
    case 0: {
        const qint64 total = motivos.TotalCount();
        g->DefineTitulo(QStringLiteral("Motivos"));
        g->AdicionaFatia(QStringLiteral("Motivadas"), total, 0,
                         total >= 1 ? QStringLiteral("Motivadas") : QString());
        g->AdicionaFatia(QStringLiteral("Não motivadas"),
                         std::max<qint64>(0, qint64(fila->Completed) - total));
        break;
    }
    case 1:
        g->DefineTitulo(QStringLiteral("Motivos"));
        motivos.ParaCada([&](const TKQCallReason* r) {
            g->AdicionaFatia(r->Name, r->Count,
                             cores.LeCorMotivoChamada(QStringLiteral("Motivo"), r->Name),
                             r->SubReasons.Count() > 0 ? r->Name : QString());
        });
        outros = QStringLiteral("Outros motivos");
        break;
    default:
        g->DefineTitulo(u"Motivo: " + motivo);
        atual->SubReasons.ParaCada([&](const TKQCallSubReason* s) {
            g->AdicionaFatia(s->Name, s->Count,
                             cores.LeCorMotivoChamada(QStringLiteral("SubMotivo"), s->Name));
        });
        outros = QStringLiteral("Outros submotivos");
        break;
    }
    g->MostraVoltar(nivel > 0);
    g->Desenha(outros, fatias);
    return nivel;
}

void SalvaCoresMotivos(TMonitor* monitor, const QString& arquivo) {
    if (!monitor || arquivo.isEmpty()) return;
    try {
        monitor->CoresMotivos.SalvaCoresMotivoChamada(arquivo);
    } catch (const std::exception& e) {
        monitor->AppException(QString::fromUtf8(e.what()));
    }
}
