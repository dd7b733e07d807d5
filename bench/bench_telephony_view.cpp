// The telephony windows under load (offscreen):
//   (1) the extensions window over a large call centre recorded by bench_gen: one 1-second tick
//       and repaint, beside the same rows kept in a QStandardItemModel, the plain way, and a
//       page of scrolling;
//   (2) the trunks window with twenty 30-line E1 trunks: a burst of 1,000 line events (calls
//       starting and ending, alarms raised and cleared), then one tick and repaint.
//   bench_telephony_view <prefix> [ticks]   (reads <prefix>.load and <prefix>.day)
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"
#include "ui/lists/TModeloLista.h"
#include "ui/lists/TVistaLista.h"
#include "ui/windows/TfrmRamais.h"
#include "ui/windows/TfrmTroncos.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
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

double g_agora = 0;

bool Stream(const QString& path, TMonitor& monitor) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_telephony_view: cannot read %s\n", qPrintable(path));
        return false;
    }
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n <= 0) break;
        monitor.ManagerConnection()->FeedBytes(QByteArrayView(chunk.constData(), n));
        monitor.Timer2Timer();
        monitor.Timer2.stop();
    }
    return true;
}

void Ramais(const QString& prefix, int ticks) {
    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    if (!Stream(prefix + ".load", monitor) || !Stream(prefix + ".day", monitor)) return;

    TfrmRamais janela(&monitor);
    janela.setObjectName("Ramais");
    janela.resize(1000, 900);
    janela.Inicio();
    janela.Timer1.stop();
    janela.show();
    QCoreApplication::processEvents();
    std::vector<double> nossos;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        nossos.push_back(Mede([&] {
            janela.Timer1Timer();
            janela.Vista()->Relatorio()->viewport()->repaint();
        }));
    }
    // Scrolling a page at a time through the whole list.
    QAbstractItemView* relatorio = janela.Vista()->Relatorio();
    QScrollBar* barra = relatorio->verticalScrollBar();
    std::vector<double> rolagens;
    for (int v = 0; v < barra->maximum() && rolagens.size() < 200; v += barra->pageStep())
        rolagens.push_back(Mede([&] {
            barra->setValue(v);
            relatorio->viewport()->repaint();
        }));
    int ocupados = 0;
    for (int r = 0; r < janela.Modelo()->Linhas(); ++r)
        if (janela.RamalDaLinha(r)->Estado == u"O") ++ocupados;
    janela.hide();

    // Baseline: the same rows in a QStandardItemModel, state and time written every second.
    QStandardItemModel modelo(0, 5);
    modelo.setHorizontalHeaderLabels({"Ramal", "Nome", "Estado", "Tempo", "Telefone"});
    std::vector<TRamal*> ramais;
    monitor.Ramais.ParaCada([&](TRamal* r) { ramais.push_back(r); });
    for (TRamal* r : ramais)
        modelo.appendRow({new QStandardItem(r->RamalId), new QStandardItem(r->Nome),
                          new QStandardItem(TfrmRamais::TextoEstado(*r)), new QStandardItem,
                          new QStandardItem});
    QTreeView vista;
    vista.setModel(&modelo);
    vista.setRootIsDecorated(false);
    vista.resize(1000, 900);
    vista.show();
    QCoreApplication::processEvents();
    std::vector<double> base;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        base.push_back(Mede([&] {
            for (int i = 0; i < int(ramais.size()); ++i) {
                const TRamal& r = *ramais[size_t(i)];
                modelo.item(i, 2)->setText(TfrmRamais::TextoEstado(r));
                modelo.item(i, 3)->setText(r.Estado == u"L" ? Hms(r.SegundosLivre()) : QString());
                modelo.item(i, 2)->setBackground(TfrmRamais::CorEstado(r));
            }
            vista.viewport()->repaint();
        }));
    }
    const double nosso = Mediana(nossos), referencia = Mediana(base);
    std::printf("extensions %d (%d occupied), %d ticks (median)\n", int(ramais.size()), ocupados,
                ticks);
    std::printf("extensions window:  %8.2f ms per tick (%.1f%% of the 1 s period)\n", nosso,
                nosso / 10);
    std::printf("QStandardItemModel: %8.2f ms per tick\n", referencia);
    std::printf("ratio ours/baseline: %.2f\n", nosso / referencia);
    std::printf("one page scrolled and repainted: %.2f ms (median of %d pages)\n",
                Mediana(rolagens), int(rolagens.size()));
}

void Troncos(int rodadas) {
    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    constexpr int kTroncos = 20;
    for (int i = 0; i < kTroncos; ++i)
        Feed(monitor, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaPortas",
                       QString("PortaId: %1").arg(i + 1), QString("Placa: %1").arg(i), "Canal: 0",
                       "Marca: k", "Tipo: t", "TipoTronco: d", "QtdeCanais: 30",
                       QString("Nome: Span %1").arg(i + 1)});
    Feed(monitor, {"Event: ZXDBComplete", "ZXDBActionID: ZXDBListaPortas"});
    for (int i = 0; i < kTroncos; ++i)
        Feed(monitor, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaTroncos",
                       QString("Nome: E1 %1").arg(i + 1), QString("TroncoId: %1").arg(i + 1),
                       QString("IdTronco: %1").arg(i + 1), "Tipo: f"});

    TfrmTroncos janela(&monitor, QString(), nullptr);
    janela.resize(1000, 900);
    janela.Inicio();
    janela.Timer1.stop();
    janela.show();
    QCoreApplication::processEvents();

    // Each event touches the next line in a stride that visits every trunk: a call starts on
    // an idle line and ends on a busy one; every tenth event raises or clears an alarm.
    constexpr int kLinhas = kTroncos * 30;
    std::vector<QString> canal(kLinhas);
    int serie = 0;
    std::vector<double> rajadas, ticks;
    for (int r = 0; r < rodadas; ++r) {
        rajadas.push_back(Mede([&] {
            for (int e = 0; e < 1000; ++e) {
                const int l = (serie * 37) % kLinhas;
                const QString dispositivo = QString("Khomp/B%1C%2").arg(l / 30).arg(l % 30);
                ++serie;
                if (e % 10 == 0) {
                    Feed(monitor, {serie % 20 < 10 ? "Event: Alarm" : "Event: AlarmClear",
                                   "Channel: " + dispositivo, "Alarm: Red Alarm"});
                } else if (canal[size_t(l)].isEmpty()) {
                    canal[size_t(l)] = dispositivo + "-" + QString::number(serie);
                    Feed(monitor, {"Event: Newchannel", "Channel: " + canal[size_t(l)],
                                   "Uniqueid: u" + canal[size_t(l)], "State: Up",
                                   "CallerIDNum: 1133334444"});
                } else {
                    Feed(monitor, {"Event: Hangup", "Channel: " + canal[size_t(l)],
                                   "Uniqueid: u" + canal[size_t(l)]});
                    canal[size_t(l)].clear();
                }
            }
        }));
        g_agora += 1.0 / 86400.0;
        ticks.push_back(Mede([&] {
            janela.Timer1Timer();
            janela.repaint();
        }));
    }
    const double rajada = Mediana(rajadas), tick = Mediana(ticks);
    std::printf("trunks %d x 30 lines, %d bursts (median)\n", kTroncos, rodadas);
    std::printf("burst of 1000 line events: %8.2f ms (%.1f%% of a second)\n", rajada, rajada / 10);
    std::printf("tick and repaint:          %8.2f ms (%.1f%% of the 1 s period)\n", tick,
                tick / 10);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_telephony_view <prefix> [ticks]\n");
        return 1;
    }
    const int ticks = argc > 2 ? std::max(1, atoi(argv[2])) : 30;
    // The recorded stream carries the server's times of its recording: the clock starts at
    // the real moment and then advances one second per tick.
    g_agora = LocalNow();
    SetLocalClockForTesting([] { return g_agora; });
    Ramais(QString::fromLocal8Bit(argv[1]), ticks);
    std::printf("\n");
    Troncos(ticks);
    return 0;
}
