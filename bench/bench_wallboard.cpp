// The wallboard at 1920 x 1080 with many queues and agents: the cost of one 1-second tick (the
// model read again into cards and tiles, the clock, the page) with the repaint of the page
// shown, and of the repaint alone.
//   QT_QPA_PLATFORM=offscreen bench_wallboard [queues] [agents] [ticks]
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"
#include "ui/widgets/TPainelParede.h"
#include "ui/windows/TfrmPainel.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::Feed;
using bench::Mede;
using bench::Mediana;

double g_agora = 45000.5;

// `filas` queues, `agentes` agents spread over them (a tenth paused, a third on calls), and
// five callers waiting in each queue.
void Carrega(TMonitor& m, int filas, int agentes) {
    Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaMotivosPausa", "MotivoPausaId: 1",
             "Nome: Almoço", "Produtivo: 0"});
    for (int q = 1; q <= filas; ++q)
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaFilas",
                 "FilaId: " + QString::number(q), "Nome: Fila " + QString::number(q), "Tipo: v"});
    for (int i = 0; i < agentes; ++i) {
        const QString id = QString::number(10000 + i);
        const QString fila = QString::number(1 + i % filas);
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaAgentes", "AtendenteId: " + id,
                 "Nome: Atendente " + id});
        Feed(m, {"Event: Agentlogin", "Agent: " + id, "Channel: SIP/" + id, "Uniqueid: l" + id});
        Feed(m, {"Event: QueueMemberAdded", "Queue: " + fila, "Location: Agent/" + id, "Status: 1",
                 "Paused: 0"});
        if (i % 10 == 0)
            Feed(m, {"Event: QueueMemberPaused", "Queue: " + fila, "Location: Agent/" + id,
                     "Paused: 1", "PauseReason: 1"});
        else if (i % 3 == 0)
            Feed(m, {"Event: QueueMemberStatus", "Queue: " + fila, "Location: Agent/" + id,
                     "Status: 3", "Paused: 0"});
    }
    for (int q = 1; q <= filas; ++q)
        for (int k = 0; k < 5; ++k) {
            const QString canal = QString("Khomp/B%1C%2-1").arg(q).arg(k);
            const QString uid = QString("w%1.%2").arg(q).arg(k);
            Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: " + uid});
            Feed(m, {"Event: Join", "Channel: " + canal, "Queue: " + QString::number(q),
                     "Uniqueid: " + uid});
        }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int filas = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const int agentes = argc > 2 ? std::max(1, atoi(argv[2])) : 2000;
    const int ticks = argc > 3 ? std::max(1, atoi(argv[3])) : 30;
    SetLocalClockForTesting([] { return g_agora; });

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    Carrega(monitor, filas, agentes);

    qint64 relogio = 0;
    TfrmPainel janela(&monitor);
    janela.setObjectName("Painel");
    janela.Relogio = [&relogio] { return relogio; };
    janela.resize(1920, 1080);
    janela.show();
    janela.Inicio();
    janela.Timer1.stop();
    QCoreApplication::processEvents();
    TPainelParede* parede = janela.Parede();

    std::vector<double> tick, pintura;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        relogio += 1000;
        tick.push_back(Mede([&] {
            janela.Tick();
            parede->repaint();
        }));
        pintura.push_back(Mede([&] { parede->repaint(); }));
    }
    std::printf("%d queues, %d agents at %dx%d: %d cards and %d tiles a page, %d pages\n",
                int(parede->Cartoes().size()), int(parede->Tiles().size()), parede->width(),
                parede->height(), parede->Layout().CartoesPorPagina(),
                parede->Layout().TilesPorPagina(), parede->Paginas());
    std::printf("tick + repaint: median %.2f ms\n", Mediana(tick));
    std::printf("repaint alone:  median %.2f ms\n", Mediana(pintura));
    std::printf("model read:     median %.2f ms (the difference)\n",
                std::max(0.0, Mediana(tick) - Mediana(pintura)));
    return 0;
}
