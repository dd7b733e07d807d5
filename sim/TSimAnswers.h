#pragma once

#include "TSimPacket.h"

#include <QList>
#include <QString>

#include <memory>

class TSimState;

// A long answer produced a slice at a time: the response, the events, and the event that closes
// the listing. It reads the live state as it goes, so what changes while it is streamed is told
// by the events sent in between, never twice and never lost: a channel hung up before the
// listing reaches it is not listed, one opened after is announced by its own event.
class TSimListing {
public:
    virtual ~TSimListing() = default;
    // Appends about `budget` more packets (a queue's whole status counts as one step). Returns
    // false once the closing event has been appended.
    virtual bool next(QList<TSimPacket>* out, int budget) = 0;

    // The whole answer at once.
    QList<TSimPacket> all();

    static std::unique_ptr<TSimListing> agents(const TSimState& state, const QString& actionId);
    static std::unique_ptr<TSimListing> status(const TSimState& state, const QString& actionId);
    // All voice queues, or only `queue` when it is not empty.
    static std::unique_ptr<TSimListing> queueStatus(const TSimState& state, const QString& actionId,
                                                    const QString& queue);
    static std::unique_ptr<TSimListing> callReasonCounts(const TSimState& state,
                                                         const QString& actionId);
};

// The short answers, generated from the live state in one go, and the whole of the listings
// above. Every packet carries the action's id as ActionID (left out when the action had none).
class TSimAnswers {
public:
    static QList<TSimPacket> agents(const TSimState& state, const QString& actionId);
    static QList<TSimPacket> status(const TSimState& state, const QString& actionId);
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
