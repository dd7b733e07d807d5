#pragma once

#include <QString>

// A call centre of any size for load runs, written as scenario SQL: "big:AGENTS,QUEUES,CHANNELS"
// gives AGENTS agents (nine in ten logged in at their own SIP telephone, one in nine of those
// paused), QUEUES voice queues (each agent serves one or two), a few E1 spans and a SIP trunk
// wide enough for CHANNELS calls, and traffic settings that keep about CHANNELS channels live.
namespace TSimBigScenario {

struct Size {
    int agents = 0;
    int queues = 0;
    int channels = 0;
};

// Reads "big:A,Q,C" (the prefix included). False with a message when it is not that form or a
// number is out of range.
bool parse(const QString& text, Size* size, QString* error);
QString sql(const Size& size);

inline constexpr int MaxAgents = 20000;
inline constexpr int MaxQueues = 2000;
inline constexpr int MaxChannels = 100000;

} // namespace TSimBigScenario
