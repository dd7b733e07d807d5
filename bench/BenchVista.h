#pragma once

// What the window benchmarks share: feeding a packet to the core, timing a piece of work, and
// printing the median of the runs.
#include "monitor/TMonitor.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace bench {

inline void Feed(TMonitor& m, const QStringList& linhas) {
    m.TrataManagerPacket(m.ManagerConnection(), linhas.join("\r\n") + "\r\n\r\n");
}

// Seconds as "hh:mm:ss", as the windows show durations.
inline QString Hms(qint64 s) {
    auto dois = [](qint64 v) { return QString::number(v).rightJustified(2, u'0'); };
    return dois(s / 3600) + u':' + dois((s % 3600) / 60) + u':' + dois(s % 60);
}

inline double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Milliseconds `f` took.
template <class F> double Mede(F&& f) {
    QElapsedTimer c;
    c.start();
    f();
    return double(c.nsecsElapsed()) / 1e6;
}

} // namespace bench
