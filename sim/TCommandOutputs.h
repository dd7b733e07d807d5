#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "TSimOptions.h"

class TSimState;

// Text output of the PBX console commands the monitor asks for, generated from the live state
// in the fixed-width layouts the monitor cuts its columns from.
class TCommandOutputs {
public:
    // Output lines of a supported command (letter case and runs of blanks ignored); false when
    // the command is not known.
    static bool run(const QString& command, const TSimState& state, QStringList* lines);

    // "sip show peers": a header whose "Host" and "Status" words mark the columns, one line per
    // SIP extension and SIP trunk, and a summary line.
    static QStringList sipShowPeers(const TSimState& state);
    // "khomp channels show": one "<K> | board,line | ..." line per Khomp line.
    static QStringList khompChannelsShow(const TSimState& state);
    // "dahdi show channels": header, the pseudo channel, then one line per DAHDI line with the
    // number in characters 4 to 7 and the state from character 79.
    static QStringList dahdiShowChannels(const TSimState& state);

    // The whole answer as one packet: "Response: Follows", the id, "Privilege: Command", the
    // output and "--END COMMAND--". Empty lines are left out (one would end the packet) and no
    // line can hold a line break.
    static QByteArray followsPacket(const QString& actionId, const QStringList& lines);

    // The answer in the given form. Lone LF: the console text as the platform's servers write
    // it, empty lines included, each line ended by LF. Output: "Response: Success", the id,
    // "Message: Command output follows", then "Output: " + the line for every line.
    static QByteArray answerPacket(const QString& actionId, const QStringList& lines,
                                   TSimCommandForm form);
};
