// The cost of one event, measured in one run on the same bytes:
//   (a) framing and parsing alone (the practical limit of the link on this machine);
//   (b) the full path: framing, packet queue, dispatcher, model update and change notices,
//       with no window open, after the model was loaded from the recorded load.
//   bench_dispatch <prefix> [repetitions]   (reads <prefix>.load and <prefix>.day from bench_gen)
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
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
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), kChunk);
        if (n <= 0) break;
        link.FeedBytes(QByteArrayView(chunk.constData(), n));
        after();
    }
    return true;
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// (a) once over the day: nanoseconds and events.
std::pair<qint64, quint64> SoParse(const QString& prefix, qsizetype& sink) {
    quint64 parsed = 0;
    TClientManager link;
    link.OnPacket = [&](TClientManager*, const QString& packet) {
        const TPacketManagerParser p(packet);
        sink += p.GetPacketType().size() + p.GetEvent().size();
        ++parsed;
    };
    QElapsedTimer clock;
    clock.start();
    if (!Stream(prefix + ".day", link, [] {})) return {-1, 0};
    return {clock.nsecsElapsed(), parsed};
}

struct TCaminho {
    qint64 ns = -1;
    quint64 eventos = 0;
    int canais = 0;
    qsizetype ligacoes = 0;
    long rssAposCarga = 0;
};

// (b) once: a fresh monitor loads, then the day goes through it; only the day is timed.
TCaminho Caminho(const QString& prefix) {
    TCaminho r;
    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop(); // drained by hand below, as the timer would
    TClientManager* link = monitor.ManagerConnection();
    if (!Stream(prefix + ".load", *link, [&] { monitor.Timer2Timer(); })) return r;
    monitor.Timer2.stop();
    r.rssAposCarga = PeakRssKiB();
    QElapsedTimer clock;
    clock.start();
    if (!Stream(prefix + ".day", *link, [&] {
            r.eventos += monitor.PacketQueue.size();
            monitor.Timer2Timer();
            monitor.Timer2.stop();
        }))
        return r;
    r.ns = clock.nsecsElapsed();
    r.canais = monitor.Canais.Count();
    r.ligacoes = monitor.Ligacoes.Count();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dispatch <prefix> [repetitions]\n");
        return 1;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    // The machines are noisy: each path runs several times, interleaved, and the best run counts.
    const int repeticoes = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    qsizetype sink = 0;
    qint64 parseNs = -1;
    quint64 parsed = 0;
    TCaminho melhor;
    for (int i = 0; i < repeticoes; ++i) {
        const auto [ns, n] = SoParse(prefix, sink);
        if (ns < 0) return 1;
        if (parseNs < 0 || ns < parseNs) parseNs = ns, parsed = n;
        const TCaminho c = Caminho(prefix);
        if (c.ns < 0) return 1;
        if (melhor.ns < 0 || c.ns < melhor.ns) melhor = c;
    }

    const double parseRate = parsed * 1e9 / double(parseNs);
    const double fullRate = melhor.eventos * 1e9 / double(melhor.ns);
    std::printf("events %llu (dispatched %llu), best of %d runs\n", parsed, melhor.eventos,
                repeticoes);
    std::printf("(a) framing+parsing: %10.0f events/s %8.0f ns/event\n", parseRate,
                double(parseNs) / double(parsed));
    std::printf("(b) full path:       %10.0f events/s %8.0f ns/event\n", fullRate,
                double(melhor.ns) / double(melhor.eventos));
    std::printf("ratio (b)/(a): %.3f\n", fullRate / parseRate);
    std::printf("model: %d channels, %lld bridges\n", melhor.canais, qlonglong(melhor.ligacoes));
    std::printf("peak memory: %ld KiB (after load %ld KiB)\n", PeakRssKiB(), melhor.rssAposCarga);
    return sink == -1 ? 2 : 0;
}
