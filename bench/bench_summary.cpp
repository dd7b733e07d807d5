// The queues summary over a large call centre recorded by bench_gen (500 queues of
// big:5000,500,20000): one 1-second tick and repaint of the window, and its share of a burst of
// 1,000 queue notices (the same packets fed to a core with the window open and to one without).
//   QT_QPA_PLATFORM=offscreen bench_summary <prefix> [ticks]   (reads <prefix>.load, .day)
#include "base/Clock.h"
#include "bench/BenchVista.h"
#include "monitor/TMonitor.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TfrmFilas.h"

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::Mede;
using bench::Mediana;

double g_agora = 45000.5;

bool Stream(const QString& path, TMonitor& monitor) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_summary: cannot read %s\n", qPrintable(path));
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

// The day's first packets, enough for several bursts.
QList<QByteArray> Pacotes(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray texto = file.read(bytes);
    QList<QByteArray> pacotes;
    qsizetype inicio = 0;
    for (;;) {
        const qsizetype fim = texto.indexOf("\r\n\r\n", inicio);
        if (fim < 0) break;
        pacotes << texto.mid(inicio, fim + 4 - inicio);
        inicio = fim + 4;
    }
    return pacotes;
}

TMonitor* Core(const QString& prefix) {
    auto* m = new TMonitor;
    m->Inicia(QString());
    m->Timer2.stop();
    if (!Stream(prefix + ".load", *m)) {
        delete m;
        return nullptr;
    }
    return m;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_summary <prefix> [ticks]\n");
        return 1;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int ticks = argc > 2 ? std::max(1, atoi(argv[2])) : 30;
    SetLocalClockForTesting([] { return g_agora; });

    std::unique_ptr<TMonitor> com(Core(prefix)), sem(Core(prefix));
    if (!com || !sem) return 1;
    const QList<QByteArray> pacotes = Pacotes(prefix + ".day", 64 * 1024 * 1024);

    auto* janela = new TfrmFilas(com.get());
    janela->setObjectName("Filas");
    janela->resize(1600, 1000);
    janela->MotivosDisponiveis = true;
    janela->Preenche();
    janela->Timer1.stop();
    janela->show();
    QCoreApplication::processEvents();
    const int paineis = janela->Paineis().Count();

    std::vector<double> tique;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 1.0 / 86400.0;
        tique.push_back(Mede([&] {
            for (int i = 0; i < janela->Paineis().Count(); ++i)
                janela->Paineis().Item(i)->Tick();
            janela->repaint();
        }));
    }

    // Every panel keeps its own 600 ms clock for the history and the five-minute scales.
    std::vector<double> relogios;
    for (int t = 0; t < ticks; ++t) {
        g_agora += 0.6 / 86400.0;
        relogios.push_back(Mede([&] {
            for (int i = 0; i < janela->Paineis().Count(); ++i)
                janela->Paineis().Item(i)->Relogio();
        }));
    }

    // Bursts of 1,000 queue notices: the packets are taken in order until the core with the
    // window has announced 1,000 queue changes; the same packets go to the core without it.
    int avisos = 0;
    TAssinatura conta = com->Avisos().Fila.Assina([&](TFila*) { ++avisos; });
    std::vector<double> comJanela, semJanela, depois;
    qsizetype proximo = 0;
    int rajadas = 0;
    while (rajadas < 10 && proximo < pacotes.size()) {
        const qsizetype inicio = proximo;
        avisos = 0;
        comJanela.push_back(Mede([&] {
            while (avisos < 1000 && proximo < pacotes.size())
                com->TrataManagerPacket(com->ManagerConnection(),
                                        QString::fromUtf8(pacotes[proximo++]));
        }));
        semJanela.push_back(Mede([&] {
            for (qsizetype i = inicio; i < proximo; ++i)
                sem->TrataManagerPacket(sem->ManagerConnection(), QString::fromUtf8(pacotes[i]));
        }));
        g_agora += 1.0 / 86400.0;
        depois.push_back(Mede([&] {
            for (int i = 0; i < janela->Paineis().Count(); ++i)
                janela->Paineis().Item(i)->Tick();
            janela->repaint();
        }));
        ++rajadas;
        if (avisos < 1000) break;
    }
    delete janela;

    const double t = Mediana(tique), c = Mediana(comJanela), s = Mediana(semJanela);
    const double d = Mediana(depois);
    std::printf("queues summary: %d panels, window 1600x1000, %d ticks, %d bursts (median)\n",
                paineis, ticks, rajadas);
    std::printf("tick + repaint:      %8.2f ms (%.1f%% of the 1 s period)\n", t, t / 10);
    std::printf("panel clocks (600 ms): %6.2f ms for all panels (%.1f%% of their period)\n",
                Mediana(relogios), Mediana(relogios) / 6);
    std::printf("burst, window open:  %8.2f ms; without the window %8.2f ms; window's share "
                "%.2f ms\n",
                c, s, c - s);
    std::printf("tick after a burst:  %8.2f ms; burst share + tick = %.1f%% of the 1 s period\n", d,
                (std::max(0.0, c - s) + d) / 10);
    return 0;
}
