#include "base/Clock.h"

#include <QTimeZone>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>

namespace {

std::atomic<int> g_serverOffset{0};
std::function<double()>& TestClock() {
    static std::function<double()> clock;
    return clock;
}

// 30 December 1899, day 0 of the day count (constexpr: used during static initialisation too).
constexpr QDate kDayZero = QDate::fromJulianDay(2415019);

} // namespace

qint64 WholeSecondsBetween(double later, double earlier) {
    const double ms = std::round((later - earlier) * kSecondsPerDay * 1000.0);
    // Far beyond any real duration; clamped so the conversion below stays defined.
    constexpr double kLimit = 9.0e18;
    if (!(ms < kLimit)) return qint64(kLimit / 1000.0);
    if (!(ms > -kLimit)) return -qint64(kLimit / 1000.0);
    return static_cast<qint64>(ms / 1000.0);
}

namespace {

// The low 32 bits of a count, read as a signed number.
int Low32(qint64 n) {
    return static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(n)));
}

// 31 December 9999, the last day the date functions handle.
constexpr double kLastDay = 2958465.0;

QString TwoDigits(qint64 n) {
    return QString::number(n).rightJustified(2, u'0');
}

} // namespace

namespace {

// The system's time-zone rule for the current moment. Reading it means reading the zone files,
// far too slow for every time stamp of every event, so it is taken again once a minute.
struct TRegraFuso {
    qint64 validaAte = 0; // ms since the epoch
    bool horarioVerao = false;
    int offsetAtual = 0;  // seconds east of UTC, daylight saving included when in force
    int offsetPadrao = 0; // seconds east of UTC, standard time
};

const TRegraFuso& RegraFusoAtual() {
    static TRegraFuso regra;
    const qint64 agora = QDateTime::currentMSecsSinceEpoch();
    if (agora >= regra.validaAte) {
        const QTimeZone zone = QTimeZone::systemTimeZone();
        const QDateTime now = QDateTime::fromMSecsSinceEpoch(agora, Qt::UTC);
        regra.horarioVerao = zone.isDaylightTime(now);
        regra.offsetAtual = zone.offsetFromUtc(now);
        regra.offsetPadrao = zone.standardTimeOffset(now);
        regra.validaAte = agora + 60 * 1000;
    }
    return regra;
}

} // namespace

double DateTimeToDays(const QDateTime& dt) {
    return double(kDayZero.daysTo(dt.date())) +
           double(dt.time().msecsSinceStartOfDay()) / 86400000.0;
}

QDateTime DaysToDateTime(double days) {
    if (!std::isfinite(days) || days < -693593.0 || days > 2958466.0) return {};
    const double whole = std::floor(days);
    const qint64 ms = qint64(std::llround((days - whole) * 86400000.0));
    return QDateTime(kDayZero.addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}

double LocalNow() {
    if (const auto& clock = TestClock()) return clock();
    // The UTC clock plus the zone's current offset: asking the C library for local time reads
    // the zone file on every call, and events ask for the time thousands of times a second.
    const qint64 ms =
        QDateTime::currentMSecsSinceEpoch() + qint64(RegraFusoAtual().offsetAtual) * 1000;
    return double(ms) / 86400000.0 + kUnixEpochDays;
}

void SetLocalClockForTesting(std::function<double()> clock) {
    TestClock() = std::move(clock);
}

int ServerClockOffset() {
    return g_serverOffset.load();
}
void SetServerClockOffset(int seconds) {
    g_serverOffset.store(seconds);
}

double UtcToLocal(double value, bool honourDaylight) {
    const TRegraFuso& regra = RegraFusoAtual();
    // Offsets east of UTC are positive here (Windows counts its bias the other way round).
    const int offsetSeconds =
        (regra.horarioVerao && honourDaylight) ? regra.offsetAtual : regra.offsetPadrao;
    const int minutes = offsetSeconds / 60;
    return value + double(minutes) / 1440.0;
}

double UnixTextToLocal(QStringView text) {
    bool ok = false;
    const qint64 parsed = text.toLongLong(&ok);
    const quint32 seconds = ok ? static_cast<quint32>(static_cast<quint64>(parsed)) : 0u;
    if (seconds == 0) return 0;
    return UtcToLocal(double(seconds) / kSecondsPerDay + kUnixEpochDays, true);
}

double ServerNow() {
    return (LocalNow() * kSecondsPerDay + ServerClockOffset()) / kSecondsPerDay;
}

int ElapsedSeconds(double start) {
    const double now = ServerNow();
    if (std::isnan(start) || now < start) return -1;
    return Low32(WholeSecondsBetween(now, start));
}

QString ElapsedText(double start) {
    const double now = ServerNow();
    if (std::isnan(start) || now < start) return {};
    const qint64 s = Low32(WholeSecondsBetween(now, start));
    if (s < 0) return {};
    return TwoDigits(s / 3600) + u':' + TwoDigits((s % 3600) / 60) + u':' + TwoDigits(s % 60);
}

QString DateTimeText(double days) {
    return DaysToDateTime(days).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString StampText(double t) {
    if (!(t > 0) || t > kLastDay) return {}; // also false for NaN
    const QDateTime moment = DaysToDateTime(t);
    if (std::floor(t) == std::floor(LocalNow())) return moment.toString(QStringLiteral("HH:mm:ss"));
    return moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

int CompareVersions(QString a, QString b) {
    auto takeComponent = [](QString& s) {
        const qsizetype dot = s.indexOf(u'.');
        const QString part = dot < 0 ? s : s.left(dot);
        s = dot < 0 ? QString() : s.mid(dot + 1);
        bool ok = false;
        const int value = part.toInt(&ok);
        return ok ? value : 0;
    };
    while (!a.isEmpty()) {
        const int va = takeComponent(a);
        const int vb = takeComponent(b);
        if (va != vb) return int(std::clamp<qint64>(qint64(va) - vb, INT_MIN, INT_MAX));
    }
    return 0;
}
