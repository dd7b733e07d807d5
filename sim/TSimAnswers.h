#pragma once

#include "TSimPacket.h"

#include <QList>
#include <QString>

class TSimState;

// The answers to the listing actions, generated from the live state. Each function gives the
// whole answer in order: the response, the events, and the event that closes the listing. Every
// packet carries the action's id as ActionID (left out when the action had none).
class TSimAnswers {
public:
    static QList<TSimPacket> agents(const TSimState& state, const QString& actionId);
    static QList<TSimPacket> status(const TSimState& state, const QString& actionId);
    // All voice queues, or only `queue` when it is not empty.
    static QList<TSimPacket> queueStatus(const TSimState& state, const QString& actionId,
                                         const QString& queue);
    static QList<TSimPacket> callReasonCounts(const TSimState& state, const QString& actionId);
    static QList<TSimPacket> userPermissions(const TSimState& state, const QString& actionId,
                                             const QString& user);
    static QList<TSimPacket> timeStamp(const TSimState& state, const QString& actionId);
    static QList<TSimPacket> getVar(const TSimState& state, const QString& actionId,
                                    const QString& channel, const QString& variable);
    // The two events that follow a successful manager login.
    static QList<TSimPacket> afterLogin();

    static constexpr int ValuesPerDetail = 9;
};
