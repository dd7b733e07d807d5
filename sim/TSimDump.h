#pragma once

#include <QString>

class TSimChat;
class TSimState;
class TSimTraffic;

// The simulator's own view of the call centre as text, to hold against what a client shows:
// live channels and calls, telephones in use, trunk lines, each queue's waiting callers and
// members, and the agents (the paused ones with their reasons).
namespace TSimDump {

// `traffic` may be null. Long lists are cut at MaxLines lines each.
// `traffic` and `chat` may be null.
QString text(const TSimState& state, const TSimTraffic* traffic, const TSimChat* chat = nullptr);

inline constexpr int MaxLines = 200;

} // namespace TSimDump
