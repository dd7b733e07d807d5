// Threshold alerts over a large call centre: the cost of one 1-second tick when nothing
// changed, when a burst of agents changed, and when deadlines fall due, beside evaluating every
// queue and agent each tick (the plain way) as a baseline.
//   bench_alerts [agents] [queues] [ticks]
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {

using bench::Feed;
using bench::Mede;
using bench::Mediana;

double g_agora = 45000.5;
void Avanca(int s) {
    g_agora += s / kSecondsPerDay;
}

// `n` agents over `q` queues: logged in, a tenth paused, a third on queue calls, two callers
// waiting in every fifth queue.
void Carrega(TMonitor& m, int n, int q) {
    for (int f = 1; f <= q; ++f) {
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaFilas", QString("FilaId: %1").arg(f),
                 QString("Nome: Fila %1").arg(f), "Tipo: v"});
        Feed(m, {"Event: QueueParams", QString("Queue: %1").arg(f), "Completed: 10",
                 f % 7 == 0 ? "ServiceLevelPerf: 60.0" : "ServiceLevelPerf: 90.0"});
        if (f % 5 == 0)
            for (int c = 0; c < 2; ++c) {
                const QString canal = QString("SIP/w%1-%2").arg(f).arg(c);
                Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: " + canal});
                Feed(m, {"Event: Join", "Channel: " + canal, QString("Queue: %1").arg(f),
                         "Uniqueid: " + canal});
            }
    }
    for (int i = 0; i < n; ++i) {
        const QString id = QString::number(10000 + i);
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaAgentes", "AtendenteId: " + id,
                 "Nome: Atendente " + id});
        Feed(m, {"Event: Agentlogin", "Agent: " + id, "Channel: SIP/" + id, "Uniqueid: l" + id});
        const QString fila = QString::number(1 + i % q);
        Feed(m, {"Event: QueueMemberAdded", "Queue: " + fila, "Location: Agent/" + id, "Status: 1",
                 "Paused: 0"});
        if (i % 10 == 0)
            Feed(m, {"Event: QueueMemberPaused", "Queue: " + fila, "Location: Agent/" + id,
                     "Paused: 1", "PauseReason: 1"});
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 5000;
    const int q = argc > 2 ? std::max(1, atoi(argv[2])) : 500;
    const int ticks = argc > 3 ? std::max(1, atoi(argv[3])) : 30;
    SetLocalClockForTesting([] { return g_agora; });

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    Carrega(monitor, n, q);
    TAlertas& alertas = monitor.Alertas();
    alertas.DefineRegras({{TTipoAlerta::FilaEsperando, {}, 3},
                          {TTipoAlerta::FilaTempoEspera, {}, 60},
                          {TTipoAlerta::FilaNivelServico, {}, 80},
                          {TTipoAlerta::FilaSemLivre, {}, 0},
                          {TTipoAlerta::AgentePausa, {}, 15},
                          {TTipoAlerta::AgenteLigacao, {}, 10},
                          {TTipoAlerta::AgentePosAtendimento, {}, 60}});
    const double primeira = Mede([&] { alertas.Avalia(ServerNow()); });

    std::vector<double> quieto, rajada, cheio;
    for (int t = 0; t < ticks; ++t) {
        Avanca(1);
        quieto.push_back(Mede([&] { alertas.Avalia(ServerNow()); }));
    }
    // 50 agents change state in the second before each tick.
    int proximo = 0;
    for (int t = 0; t < ticks; ++t) {
        Avanca(1);
        for (int k = 0; k < 50; ++k, ++proximo) {
            const int i = (proximo * 37) % n;
            const QString id = QString::number(10000 + i);
            Feed(monitor,
                 {"Event: QueueMemberStatus", QString("Queue: %1").arg(1 + i % q),
                  "Location: Agent/" + id, t % 2 ? "Status: 1" : "Status: 0", "Paused: 0"});
        }
        rajada.push_back(Mede([&] { alertas.Avalia(ServerNow()); }));
    }
    // The pause deadlines of a tenth of the agents fall due in the same second.
    Avanca(15 * 60);
    const double prazos = Mede([&] { alertas.Avalia(ServerNow()); });
    const int ativos = alertas.Count();
    // Baseline: every queue and agent evaluated on every tick.
    for (int t = 0; t < ticks; ++t) {
        Avanca(1);
        cheio.push_back(Mede([&] {
            alertas.MarcaTudo();
            alertas.Avalia(ServerNow());
        }));
    }
    std::printf("agents %d, queues %d, 7 rules, %d alerts active\n", n, q, ativos);
    std::printf("first evaluation of everything  %8.3f ms\n", primeira);
    std::printf("tick, nothing changed           %8.3f ms (median of %d)\n", Mediana(quieto),
                ticks);
    std::printf("tick after 50 agents changed    %8.3f ms (median of %d)\n", Mediana(rajada),
                ticks);
    std::printf("tick with %4d pause deadlines   %8.3f ms\n", n / 10, prazos);
    std::printf("baseline: everything each tick  %8.3f ms (median of %d)\n", Mediana(cheio), ticks);
    return 0;
}
