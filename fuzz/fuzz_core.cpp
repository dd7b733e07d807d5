// The whole core after a load of the demo call centre, fed arbitrary packets made of the event
// names and keys the server really sends (and arbitrary values): nothing may crash, leak or
// trip a sanitizer, and closing the connection afterwards must leave nothing dangling.
#include "monitor/TMonitor.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

const char* const kEventos[] = {"Newchannel",
                                "Status",
                                "Newstate",
                                "Dial",
                                "Newexten",
                                "Newcallerid",
                                "Link",
                                "Bridge",
                                "Unlink",
                                "Rename",
                                "Masquerade",
                                "PeerStatus",
                                "Alarm",
                                "AlarmClear",
                                "AntennaLevel",
                                "OperatorRegistry",
                                "Hangup",
                                "Agents",
                                "AgentCalled",
                                "AgentConnect",
                                "AgentRingNoAnswer",
                                "AgentComplete",
                                "Agentlogoff",
                                "Agentlogin",
                                "QueueParams",
                                "Join",
                                "QueueEntry",
                                "Leave",
                                "QueueCallerAbandon",
                                "QueueMemberStatus",
                                "QueueMember",
                                "QueueMemberAdded",
                                "QueueMemberRemoved",
                                "QueueMemberPaused",
                                "Hook",
                                "ZXTimeStamp",
                                "QueueCallReasonCount",
                                "QueueCallSubReasonCount",
                                "ZXUserPermission",
                                "ZXUserPermissionDetail",
                                "ZXUserPermissionsComplete",
                                "ZXDBEvent",
                                "ZXDBComplete",
                                "StatusComplete",
                                "AgentsComplete",
                                "QueueStatusComplete",
                                "QueueCallReasonCountComplete",
                                "UserEvent",
                                "Titulo",
                                "FullyBooted"};
const char* const kChaves[] = {"Channel",
                               "Uniqueid",
                               "Channel1",
                               "Channel2",
                               "Uniqueid1",
                               "Uniqueid2",
                               "Destination",
                               "DestUniqueID",
                               "SubEvent",
                               "State",
                               "ChannelStateDesc",
                               "CallerID",
                               "CallerIDNum",
                               "CallerIDName",
                               "Context",
                               "Exten",
                               "Extension",
                               "Priority",
                               "Seconds",
                               "Link",
                               "BridgedChannel",
                               "Queue",
                               "Position",
                               "Count",
                               "Agent",
                               "AgentCalled",
                               "ChannelCalling",
                               "Member",
                               "MemberName",
                               "Location",
                               "Status",
                               "Paused",
                               "PauseReason",
                               "PauseStart",
                               "LoggedInChan",
                               "LoggedInTime",
                               "TalkingTo",
                               "LastCall",
                               "Name",
                               "Oldname",
                               "Newname",
                               "Clone",
                               "Original",
                               "Peer",
                               "PeerStatus",
                               "Address",
                               "Alarm",
                               "Signal",
                               "Operator",
                               "UserEvent",
                               "Tipo",
                               "Tronco",
                               "CallerId",
                               "ZXDBActionID",
                               "ActionID",
                               "Reason",
                               "SubReason",
                               "Group",
                               "Permission",
                               "Value1",
                               "TimeStamp",
                               "Version",
                               "CSTA",
                               "Completed",
                               "Abandoned",
                               "Calls",
                               "Holdtime",
                               "TalkTime",
                               "ServiceLevelPerf",
                               "Max",
                               "Weight",
                               "Device",
                               "FilaId",
                               "Nome",
                               "Numero",
                               "RamalId",
                               "AtendenteId",
                               "PortaId",
                               "Placa",
                               "Canal",
                               "Marca",
                               "TroncoId",
                               "IdTronco"};
const char* const kValores[] = {"SIP/2001-00000001",
                                "SIP/2002-00000002",
                                "Khomp/B0C1-1",
                                "DAHDI/3-5",
                                "Agent/1001",
                                "1001",
                                "1002",
                                "1",
                                "2",
                                "5",
                                "0",
                                "-1",
                                "Up",
                                "Ringing",
                                "Dialing",
                                "Begin",
                                "1796590938",
                                "100.1",
                                "100.2",
                                "AGENT_IDLE",
                                "AGENT_ONCALL",
                                "AGENT_LOGGEDOFF",
                                "Registered",
                                "Unreachable",
                                "zxnewcall",
                                "E",
                                "S",
                                "E1 Embratel",
                                "ZXDBListaFilas",
                                "ZXDBListaAgentes",
                                "99999999999",
                                "",
                                "n/a",
                                "SIP/2001",
                                "<ZOMBIE>"};

template <size_t N> const char* Escolhe(const char* const (&lista)[N], uint8_t b) {
    return lista[b % N];
}

QByteArray CargaDemo() {
    QFile f(QStringLiteral(VESMARA_FUZZ_LOAD));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_core";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const QByteArray carga = CargaDemo();
    if (carga.isEmpty()) std::abort();

    TMonitor monitor;
    monitor.Inicia(QString());
    monitor.Timer2.stop();
    TClientManager* link = monitor.ManagerConnection();
    link->FeedBytes(carga);
    monitor.Timer2Timer();

    // Packets: an event byte, then (key, value) pairs; a value is a known one or raw bytes.
    size_t i = 0;
    while (i < size) {
        QByteArray packet = QByteArray("Event: ") + Escolhe(kEventos, data[i++]) + "\r\n";
        const int pares = i < size ? data[i++] % 8 : 0;
        for (int k = 0; k < pares && i + 1 < size; ++k) {
            packet += Escolhe(kChaves, data[i++]);
            packet += ": ";
            const uint8_t v = data[i++];
            if (v < 200 || i >= size) {
                packet += Escolhe(kValores, v);
            } else {
                const size_t pedido = data[i++] % 24;
                const size_t n = std::min(pedido, size - i);
                for (size_t j = 0; j < n; ++j) {
                    const char c = char(data[i + j]);
                    packet += (c == '\r' || c == '\n') ? ' ' : c;
                }
                i += n;
            }
            packet += "\r\n";
        }
        packet += "\r\n";
        link->FeedBytes(packet);
    }
    monitor.Timer2Timer();
    (void)monitor.Dump(QStringLiteral("Tudo"));
    (void)monitor.Dump(QStringLiteral("Atendentes"));
    // Closing empties every list: nothing may point at what was freed.
    monitor.EncerraConexao();
    (void)monitor.Dump(QStringLiteral("Tudo"));
    return 0;
}
