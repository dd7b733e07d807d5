// The agents window with thousands of agents: the cost of one 1-second tick (recompute the
// rows that changed, write the durations, repaint what is visible), beside the same list kept in
// a QStandardItemModel, the plain way, as a baseline.
//   QT_QPA_PLATFORM=offscreen bench_view [agents] [ticks]
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"
#include "ui/lists/TVistaLista.h"
#include "ui/windows/TfrmAgentes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::Feed;
using bench::Hms;
using bench::Mede;
using bench::Mediana;

double g_agora = 45000.5;

// A call centre of `n` agents in 20 queues: logged in, a tenth paused, a third on queue calls.
void Carrega(TMonitor& m, int n) {
    Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaMotivosPausa", "MotivoPausaId: 1",
             "Nome: Almoço", "Produtivo: 0"});
    for (int q = 1; q <= 20; ++q)
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaFilas", QString("FilaId: %1").arg(q),
                 QString("Nome: Fila %1").arg(q), "Tipo: v"});
    for (int i = 0; i < n; ++i) {
        const QString id = QString::number(10000 + i);
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaAgentes", "AtendenteId: " + id,
                 "Nome: Atendente " + id});
        Feed(m, {"Event: Agentlogin", "Agent: " + id, "Channel: SIP/" + id, "Uniqueid: l" + id});
        const QString fila = QString::number(1 + i % 20);
        Feed(m, {"Event: QueueMemberAdded", "Queue: " + fila, "Location: Agent/" + id, "Status: 1",
                 "Paused: 0"});
        if (i % 10 == 0)
            Feed(m, {"Event: QueueMemberPaused", "Queue: " + fila, "Location: Agent/" + id,
                     "Paused: 1", "PauseReason: 1"});
        else if (i % 3 == 0) {
            const QString canal = "Khomp/B0C1-" + id;
            Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: c" + id});
            Feed(m, {"Event: Join", "Channel: " + canal, "Queue: " + fila, "Uniqueid: c" + id});
            Feed(m, {"Event: AgentConnect", "Queue: " + fila, "Member: Agent/" + id,
                     "BridgedChannel: " + canal});
            Feed(m, {"Event: QueueMemberStatus", "Queue: " + fila, "Location: Agent/" + id,
                     "Status: 3", "Paused: 0"});
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const int ticks = argc > 2 ? std::max(1, atoi(argv[2])) : 30;
    SetLocalClockForTesting([] { return g_agora; });

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    Carrega(monitor, n);

    // Ours: the agents window, as the program shows it.
    TfrmAgentes janela(&monitor);
    janela.setObjectName("Atendentes");
    janela.resize(1000, 900);
    janela.Inicio();
    janela.Timer1.stop();
    janela.show();
    QCoreApplication::processEvents();
    std::vector<double> nossos;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        QElapsedTimer c;
        c.start();
        janela.Timer1Timer();
        janela.Timer2Timer();
        janela.Vista()->Relatorio()->viewport()->repaint();
        nossos.push_back(double(c.nsecsElapsed()) / 1e6);
    }
    janela.hide();

    // Baseline: a QStandardItemModel holding the same rows, every duration written every second.
    QStandardItemModel modelo(0, 6);
    modelo.setHorizontalHeaderLabels({"Atendente", "Nome", "Estado", "Tempo", "", "Fila"});
    std::vector<TAgente*> agentes;
    monitor.Agentes.ParaCada([&](TAgente* a) { agentes.push_back(a); });
    for (TAgente* a : agentes) {
        QList<QStandardItem*> linha;
        linha << new QStandardItem(a->AgentNumber()) << new QStandardItem(a->AgentName)
              << new QStandardItem(a->StatusText(0, monitor.MotivosPausa)) << new QStandardItem
              << new QStandardItem << new QStandardItem(monitor.Filas.QueuesOfAgent(a, 0));
        modelo.appendRow(linha);
    }
    QTreeView vista;
    vista.setModel(&modelo);
    vista.setRootIsDecorated(false);
    vista.resize(1000, 900);
    vista.show();
    QCoreApplication::processEvents();
    std::vector<double> base;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        QElapsedTimer c;
        c.start();
        for (int r = 0; r < int(agentes.size()); ++r) {
            const int s = agentes[size_t(r)]->DurationSeconds(0);
            modelo.item(r, 3)->setText(s >= 0 ? Hms(s) : QString());
            modelo.item(r, 2)->setText(agentes[size_t(r)]->StatusText(0, monitor.MotivosPausa));
        }
        vista.viewport()->repaint();
        base.push_back(double(c.nsecsElapsed()) / 1e6);
    }

    const double nosso = Mediana(nossos), referencia = Mediana(base);
    std::printf("agents %d, %d ticks (median)\n", n, ticks);
    std::printf("agents window:      %8.2f ms per tick (%.1f%% of the 1 s period)\n", nosso,
                nosso / 10);
    std::printf("QStandardItemModel: %8.2f ms per tick\n", referencia);
    std::printf("ratio ours/baseline: %.2f\n", nosso / referencia);

    // The search box: one keystroke refilters every row; with a filter on, the tick's refilter.
    const QStringList teclas{"a",     "at",        "ate",    "aten", "atendente", "atendente 1",
                             "pausa", "pausa alm", "almoço", "1",    "100",       "10001"};
    std::vector<double> filtro;
    for (const QString& t : teclas)
        filtro.push_back(Mede([&] {
            janela.DefineFiltro(t);
            janela.Vista()->repaint();
        }));
    janela.DefineFiltro(QStringLiteral("pausa"));
    std::vector<double> filtroTick;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        filtroTick.push_back(Mede([&] { janela.AplicaFiltro(); }));
    }
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&modelo);
    proxy.setFilterKeyColumn(-1);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    vista.setModel(&proxy);
    std::vector<double> filtroProxy;
    for (const QString& t : teclas)
        filtroProxy.push_back(Mede([&] {
            proxy.setFilterFixedString(t);
            vista.viewport()->repaint();
        }));
    std::printf("search box, one keystroke:          %8.2f ms (median of %d)\n", Mediana(filtro),
                int(teclas.size()));
    std::printf("search box, refilter at a tick:     %8.2f ms (median of %d)\n",
                Mediana(filtroTick), ticks);
    std::printf("QSortFilterProxyModel, keystroke:   %8.2f ms (no accents folded)\n",
                Mediana(filtroProxy));
    return 0;
}
