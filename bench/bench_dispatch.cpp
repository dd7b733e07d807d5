// The cost of one event, measured in one run on the same bytes:
//   (a) framing and parsing alone (the practical limit of the link on this machine);
//   (b) the full path: framing, packet queue, dispatcher, model update and change notices,
//       with no window open, after the model was loaded from the recorded load.
//   bench_dispatch <prefix>      (reads <prefix>.load and <prefix>.day from bench_gen)
#include "link/TMonitor.h"
#include "link/TPacketManagerParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kChunk = 64 * 1024;

// Reads a file in socket-sized pieces; `after` runs after each piece.
bool Stream(const QString& path, TClientManager& link, const std::function<void()>& after) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_dispatch: cannot read %s\n", qPrintable(path));
        return false;
    }
    while (!file.atEnd()) {
        link.FeedBytes(file.read(kChunk));
        after();
    }
    return true;
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dispatch <prefix>\n");
        return 1;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);

    // (a) framing and parsing alone.
    quint64 parsed = 0;
    qsizetype sink = 0;
    QElapsedTimer clock;
    {
        TClientManager link;
        link.OnPacket = [&](TClientManager*, const QString& packet) {
            const TPacketManagerParser p(packet);
            sink += p.GetPacketType().size() + p.GetEvent().size();
            ++parsed;
        };
        clock.start();
        if (!Stream(prefix + ".day", link, [] {})) return 1;
    }
    const qint64 parseNs = clock.nsecsElapsed();

    // (b) the full path, after the load.
    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop(); // drained by hand below, as the timer would
    TClientManager* link = monitor.ManagerConnection();
    if (!Stream(prefix + ".load", *link, [&] { monitor.Timer2Timer(); })) return 1;
    monitor.Timer2.stop();
    const long rssAfterLoad = PeakRssKiB();
    quint64 dispatched = 0;
    clock.restart();
    if (!Stream(prefix + ".day", *link, [&] {
            dispatched += monitor.PacketQueue.size();
            monitor.Timer2Timer();
            monitor.Timer2.stop();
        }))
        return 1;
    const qint64 fullNs = clock.nsecsElapsed();

    const double parseRate = parsed * 1e9 / double(parseNs);
    const double fullRate = dispatched * 1e9 / double(fullNs);
    std::printf("events %llu (dispatched %llu)\n", parsed, dispatched);
    std::printf("(a) framing+parsing: %10.0f events/s %8.0f ns/event\n", parseRate,
                double(parseNs) / double(parsed));
    std::printf("(b) full path:       %10.0f events/s %8.0f ns/event\n", fullRate,
                double(fullNs) / double(dispatched));
    std::printf("ratio (b)/(a): %.3f\n", fullRate / parseRate);
    std::printf("model: %d channels, %lld bridges\n", monitor.Canais.Count(),
                qlonglong(monitor.Ligacoes.Count()));
    std::printf("peak memory: %ld KiB (after load %ld KiB)\n", PeakRssKiB(), rssAfterLoad);
    return sink == -1 ? 2 : 0;
}
