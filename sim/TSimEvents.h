#pragma once

#include "TSimPacket.h"

#include <QString>

struct TSimAgent;
struct TSimChannel;
struct TSimQueue;
struct TSimQueueMember;

// The events the PBX pushes, built from the live state: one function per event, so that every
// name and key is written in one place. Values are taken from the objects as they are when the
// function is called, so build an event after the change it tells of.
namespace TSimEvents {

// Channels and calls.
TSimPacket newchannel(const TSimChannel& c);
TSimPacket newstate(const TSimChannel& c);
TSimPacket newexten(const TSimChannel& c, const QString& application, const QString& appData);
TSimPacket newcallerid(const TSimChannel& c);
TSimPacket dialBegin(const TSimChannel& source, const TSimChannel& destination,
                     const QString& dialString);
TSimPacket dialEnd(const TSimChannel& source, const QString& dialStatus);
TSimPacket link(const TSimChannel& a, const TSimChannel& b);
TSimPacket unlink(const TSimChannel& a, const TSimChannel& b);
// Cause codes of the PBX: 16 normal clearing, 17 busy, 19 no answer, 21 rejected, 38 network out
// of order.
TSimPacket hangup(const TSimChannel& c, int cause);
TSimPacket rename(const QString& oldName, const QString& newName, const QString& uniqueId);
TSimPacket masquerade(const TSimChannel& clone, const TSimChannel& original);
// The platform's own classification of a new call: Tipo "E" incoming, "S" outgoing.
TSimPacket newCall(const TSimChannel& c, const QString& tipo, const QString& callerId,
                   const QString& trunk);

// Telephones, trunks and lines.
TSimPacket peerStatus(const QString& peer, const QString& status, const QString& address = {},
                      int latency = -1);
TSimPacket alarm(const QString& lineDevice, const QString& alarm);
TSimPacket alarmClear(const QString& lineDevice, const QString& alarm);
TSimPacket antennaLevel(const QString& lineDevice, int percent);
TSimPacket operatorRegistry(const QString& lineDevice, const QString& carrier);

// Queues.
TSimPacket join(const TSimQueue& q, const TSimChannel& c, int position);
TSimPacket leave(const TSimQueue& q, const TSimChannel& c, int position);
TSimPacket callerAbandon(const TSimQueue& q, const TSimChannel& c, int position,
                         int originalPosition, qint64 holdSeconds);

// Agents.
TSimPacket agentCalled(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                       const TSimChannel& agentLeg);
TSimPacket agentRingNoAnswer(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                             qint64 ringSeconds);
TSimPacket agentConnect(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                        const TSimChannel& agentLeg, qint64 holdSeconds, qint64 ringSeconds);
TSimPacket agentComplete(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                         const TSimChannel& agentLeg, qint64 holdSeconds, qint64 talkSeconds,
                         const QString& reason);
TSimPacket agentLogin(const TSimAgent& a, const QString& uniqueId);
TSimPacket agentLogoff(const TSimAgent& a, qint64 loginSeconds);
TSimPacket hook(const TSimAgent& a, bool onHook);

// Queue members. `m` may be null (a member seen from an agent that is no longer one).
TSimPacket memberStatus(const TSimQueue& q, const TSimAgent& a, const TSimQueueMember* m);
TSimPacket memberPaused(const TSimQueue& q, const TSimAgent& a);
TSimPacket memberAdded(const TSimQueue& q, const TSimAgent& a, const TSimQueueMember& m);
TSimPacket memberRemoved(const TSimQueue& q, const TSimAgent& a);

// Call-reason counters (unsolicited ones carry no ActionID).
TSimPacket reasonCount(const QString& queue, const QString& reason, int count);
TSimPacket subReasonCount(const QString& queue, const QString& reason, const QString& subReason,
                          int count);
TSimPacket reasonCountComplete();

} // namespace TSimEvents
