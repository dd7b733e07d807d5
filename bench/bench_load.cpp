// The load of a large call centre: the simulator (a separate process) serves a scenario with
// thousands of agents and queues and tens of thousands of live channels; the monitor connects and
// loads it. Prints the time from connect to the end of the load, and the longest gap between two
// ticks of a 10 ms timer meanwhile (the event loop must keep breathing).
//   bench_load <path of vesmara-pbx> [scenario]
#include "monitor/TMonitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_load <vesmara-pbx> [scenario]\n");
        return 1;
    }
    const QString scenario =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("big:5000,500,20000");
    QProcess pbx;
    pbx.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pbx.start(QString::fromLocal8Bit(argv[1]),
              {"--port", "0", "--chat-port", "0", "--scenario", scenario, "--speed", "1"});
    if (!pbx.waitForStarted(10000)) return 1;
    QByteArray banner;
    while (!banner.contains('\n') && pbx.waitForReadyRead(120000))
        banner += pbx.readAll();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("manager=(\\d+) chat=(\\d+)"))
            .match(QString::fromLatin1(banner));
    if (!m.hasMatch()) {
        std::fprintf(stderr, "bench_load: the simulator did not start\n");
        return 1;
    }

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.IP = QStringLiteral("127.0.0.1");
    monitor.Porta = m.captured(1).toInt();
    monitor.PortaChat = quint16(m.captured(2).toInt());
    monitor.Usuario = QStringLiteral("demo");
    monitor.Senha = QStringLiteral("demo");
    monitor.SalvarSenha = true;

    QElapsedTimer sinceTick, total;
    qint64 longestGapNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    qint64 loadNs = -1;
    QObject::connect(&monitor, &TMonitor::LoadFinished, [&] {
        loadNs = total.nsecsElapsed();
        QCoreApplication::quit();
    });
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    total.start();
    sinceTick.start();
    ticker.start();
    monitor.Conectar();
    app.exec();
    ticker.stop();
    pbx.kill();
    pbx.waitForFinished();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (loadNs < 0) {
        std::printf("load did not finish: %s\n", qPrintable(monitor.StatusText));
        return 1;
    }
    std::printf("scenario %s: load %.2f s; longest gap between 10 ms ticks %.1f ms\n",
                qPrintable(scenario), loadNs / 1e9, longestGapNs / 1e6);
    std::printf("model: %d channels, %lld bridges, %d extensions, %d trunks; peak memory %ld KiB\n",
                monitor.Canais.Count(), qlonglong(monitor.Ligacoes.Count()), monitor.Ramais.Count(),
                monitor.Troncos.Count(), usage.ru_maxrss);
    return 0;
}
