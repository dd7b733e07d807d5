#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Date-times are days since 30 December 1899 as doubles (one second is 1/86400); 0 means "no
// date". Every duration on screen is measured on the server's clock: the local clock plus the
// offset taken from the server's time stamp at login.

constexpr double kUnixEpochDays = 25569.0; // 1 January 1970 in this day count
constexpr double kSecondsPerDay = 86400.0;

// Whole seconds from `earlier` to `later` (negative when `later` is earlier), truncated toward
// zero after rounding to the millisecond, so exactly 20 s never reads as 19.
qint64 WholeSecondsBetween(double later, double earlier);

// Current local date-time (replaceable in tests through SetLocalClockForTesting).
double LocalNow();
// Tests pin the workstation clock; an empty function restores the real clock.
void SetLocalClockForTesting(std::function<double()> clock);

double DateTimeToDays(const QDateTime& dt); // local wall-clock fields as a day count
QDateTime DaysToDateTime(double days);      // the inverse, as a local QDateTime

// Seconds the server's clock runs ahead of this workstation (negative when behind).
int ServerClockOffset();
void SetServerClockOffset(int seconds);

// A UTC date-time to local time with the system's time-zone rule; whether daylight saving
// applies is decided for the current moment, not for the converted one.
double UtcToLocal(double value, bool honourDaylight);
// Unix seconds as text to a local date-time, or 0 for empty, malformed or zero stamps.
double UnixTextToLocal(QStringView text);
// The server's current time as a local date-time.
double ServerNow();
// Whole seconds from `start` to ServerNow(); -1 when `start` lies in the future. Far-away starts
// (0 = no date) wrap to negative numbers, which callers show as nothing.
int ElapsedSeconds(double start);
// Elapsed time as hh:mm:ss (hours not wrapped), or empty text for a future or missing start.
QString ElapsedText(double start);
// A moment as date and time text (dd/MM/yyyy HH:mm:ss), for log lines and state dumps.
QString DateTimeText(double days);
// A moment for a list cell: time only when it is today, date and time otherwise; empty for 0.
QString StampText(double t);
// Component-wise comparison of dotted version texts; trailing components of b beyond a's are
// not looked at, so "1.2" equals "1.2.66.0".
int CompareVersions(QString a, QString b);
