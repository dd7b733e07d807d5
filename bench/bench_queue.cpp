// The queue window with a large queue: the cost of one 1-second tick (panel history, member rows,
// call rows, repaint of what is visible) and of the panel's redraw alone, beside the same two
// tables kept in QStandardItemModels, the plain way; and the window's share of a burst of queue
// events (the same burst fed to a core with the window open and to one without).
//   QT_QPA_PLATFORM=offscreen bench_queue [members] [calls] [ticks]
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"
#include "ui/lists/TVistaLista.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasFila.h"
#include "ui/windows/TfrmFila.h"

#include <QApplication>
#include <QElapsedTimer>
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

// One queue of `membros` agents (a tenth paused, a third on its calls) and `chamadas` callers
// waiting in it.
void Carrega(TMonitor& m, int membros, int chamadas) {
    Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaMotivosPausa", "MotivoPausaId: 1",
             "Nome: Almoço", "Produtivo: 0"});
    Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaFilas", "FilaId: 1",
             "Nome: Atendimento Geral", "Tipo: v"});
    for (int i = 0; i < membros; ++i) {
        const QString id = QString::number(10000 + i);
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaAgentes", "AtendenteId: " + id,
                 "Nome: Atendente " + id});
        Feed(m, {"Event: Agentlogin", "Agent: " + id, "Channel: SIP/" + id, "Uniqueid: l" + id});
        Feed(m, {"Event: QueueMemberAdded", "Queue: 1", "Location: Agent/" + id, "Status: 1",
                 "Paused: 0"});
        if (i % 10 == 0)
            Feed(m, {"Event: QueueMemberPaused", "Queue: 1", "Location: Agent/" + id, "Paused: 1",
                     "PauseReason: 1"});
        else if (i % 3 == 0) {
            const QString canal = "Khomp/B0C1-" + id;
            Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: c" + id});
            Feed(m, {"Event: Join", "Channel: " + canal, "Queue: 1", "Uniqueid: c" + id});
            Feed(m, {"Event: Leave", "Channel: " + canal, "Queue: 1", "Uniqueid: c" + id});
            Feed(m, {"Event: AgentConnect", "Queue: 1", "Member: Agent/" + id,
                     "BridgedChannel: " + canal});
            Feed(m, {"Event: QueueMemberStatus", "Queue: 1", "Location: Agent/" + id, "Status: 3",
                     "Paused: 0"});
        }
    }
    for (int i = 0; i < chamadas; ++i) {
        const QString canal = QString("Khomp/B0C2-%1").arg(i), uid = QString("w%1").arg(i);
        Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: " + uid,
                 "CallerIDNum: 1130" + QString::number(100000 + i)});
        Feed(m, {"Event: Join", "Channel: " + canal, "Queue: 1", "Uniqueid: " + uid,
                 QString("Position: %1").arg(i + 1)});
    }
}

// 1,000 queue events: member state changes and callers joining and hanging up.
void Rajada(TMonitor& m, int membros, int rodada) {
    for (int k = 0; k < 200; ++k) {
        const QString id = QString::number(10000 + (k * 7 + rodada) % membros);
        Feed(m, {"Event: QueueMemberStatus", "Queue: 1", "Location: Agent/" + id, "Status: 6",
                 "Paused: 0"});
        Feed(m, {"Event: QueueMemberStatus", "Queue: 1", "Location: Agent/" + id, "Status: 1",
                 "Paused: 0"});
        const QString canal = QString("Khomp/B0C3-%1-%2").arg(rodada).arg(k);
        const QString uid = QString("r%1.%2").arg(rodada).arg(k);
        Feed(m, {"Event: Newchannel", "Channel: " + canal, "Uniqueid: " + uid});
        Feed(m, {"Event: Join", "Channel: " + canal, "Queue: 1", "Uniqueid: " + uid});
        Feed(m, {"Event: Hangup", "Channel: " + canal, "Uniqueid: " + uid});
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int membros = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const int chamadas = argc > 2 ? std::max(1, atoi(argv[2])) : 200;
    const int ticks = argc > 3 ? std::max(1, atoi(argv[3])) : 30;
    SetLocalClockForTesting([] { return g_agora; });

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    Carrega(monitor, membros, chamadas);
    TFila* fila = monitor.Filas.Procura("1");

    // Ours: the queue window, as the program shows it, its timers driven by hand.
    auto* janela = new TfrmFila(&monitor);
    janela->setObjectName("Fila1");
    janela->resize(1100, 900);
    janela->CriaFila("1", fila);
    janela->MostraSecao(TfrmFila::ListaChamadas, true);
    janela->show();
    QCoreApplication::processEvents();
    const auto para = [janela] {
        janela->Timer1.stop();
        for (TfrmLista* l : {static_cast<TfrmLista*>(janela->Membros()),
                             static_cast<TfrmLista*>(janela->Chamadas())}) {
            l->Timer1.stop();
            l->Timer2.stop();
        }
    };
    para();
    std::vector<double> nossos, painel;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        nossos.push_back(Mede([&] {
            janela->Panel()->Tick();
            janela->Membros()->Timer1Timer();
            janela->Membros()->Timer2Timer();
            janela->Chamadas()->Timer1Timer();
            janela->Chamadas()->Timer2Timer();
            janela->Panel()->repaint();
            janela->Membros()->Vista()->Relatorio()->viewport()->repaint();
            janela->Chamadas()->Vista()->Relatorio()->viewport()->repaint();
        }));
        painel.push_back(Mede([&] { janela->Panel()->repaint(); }));
    }
    const int linhasMembros = janela->Membros()->Modelo()->Linhas();
    const int linhasChamadas = janela->Chamadas()->Modelo()->Linhas();
    janela->hide();

    // Baseline: two QStandardItemModels with the same rows, every duration written every second.
    QStandardItemModel mMembros(0, 4), mChamadas(0, 3);
    std::vector<TAgente*> agentes;
    for (int i = 0; i < fila->Members.Count(); ++i)
        if (TAgente* a = fila->Members.Item(i)->Agent) agentes.push_back(a);
    for (TAgente* a : agentes)
        mMembros.appendRow({new QStandardItem(a->AgentNumber()), new QStandardItem(a->AgentName),
                            new QStandardItem(a->StatusText(0, monitor.MotivosPausa)),
                            new QStandardItem});
    for (TChannel* c : fila->QueueCalls())
        mChamadas.appendRow({new QStandardItem(c->NomePeer()), new QStandardItem(c->CallerIdNum),
                             new QStandardItem});
    QWidget quadro;
    quadro.resize(1100, 900);
    QTreeView vm(&quadro), vc(&quadro);
    vm.setModel(&mMembros);
    vc.setModel(&mChamadas);
    vm.setGeometry(0, 110, 1100, 395);
    vc.setGeometry(0, 505, 1100, 395);
    quadro.show();
    QCoreApplication::processEvents();
    std::vector<double> base;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        base.push_back(Mede([&] {
            for (int r = 0; r < int(agentes.size()); ++r) {
                const int s = agentes[size_t(r)]->DurationSeconds(0);
                mMembros.item(r, 3)->setText(s >= 0 ? Hms(s) : QString());
                mMembros.item(r, 2)->setText(
                    agentes[size_t(r)]->StatusText(0, monitor.MotivosPausa));
            }
            const auto& cs = fila->QueueCalls();
            for (int r = 0; r < int(cs.size()) && r < mChamadas.rowCount(); ++r)
                mChamadas.item(r, 2)->setText(Hms(ElapsedSeconds(cs[size_t(r)]->Inicio)));
            vm.viewport()->repaint();
            vc.viewport()->repaint();
        }));
    }
    quadro.hide();

    // The window's share of a burst: the same 1,000 events with the window open and on a core
    // of the same size without one, interleaved.
    TMonitor sem;
    sem.Inicia(QString());
    sem.Timer2.stop();
    Carrega(sem, membros, chamadas);
    janela->show();
    std::vector<double> com, semJanela;
    for (int r = 0; r < 5; ++r) {
        com.push_back(Mede([&] { Rajada(monitor, membros, r); }));
        semJanela.push_back(Mede([&] { Rajada(sem, membros, r); }));
        para();
    }
    delete janela;

    const double nosso = Mediana(nossos), referencia = Mediana(base);
    const double c = Mediana(com), s = Mediana(semJanela);
    std::printf("queue of %d members (%d rows) and %d waiting calls (%d rows), %d ticks (median)\n",
                membros, linhasMembros, chamadas, linhasChamadas, ticks);
    std::printf("queue window:       %8.2f ms per tick (%.1f%% of the 1 s period)\n", nosso,
                nosso / 10);
    std::printf("panel redraw:       %8.2f ms\n", Mediana(painel));
    std::printf("QStandardItemModel: %8.2f ms per tick\n", referencia);
    std::printf("ratio ours/baseline: %.2f\n", nosso / referencia);
    std::printf("burst of 1000 queue events: %.2f ms with the window, %.2f ms without; "
                "window share %.0f%%\n",
                c, s, c > 0 ? 100.0 * (c - s) / c : 0.0);
    return 0;
}
