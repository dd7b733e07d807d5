// The whole core after a load of the demo call centre, fed arbitrary packets made of the event
// names and keys the server really sends (and arbitrary values), internal-chat events and the
// chat server's packets included: nothing may crash, leak or trip a sanitizer, and closing the
// connection afterwards must leave nothing dangling.
//
// A load costs far more than an input, so one loaded monitor takes kReusos inputs in a row and
// is then closed, dumped and loaded afresh. An input that fails only after others ran before it
// is replayed alone with VESMARA_FUZZ_FRESH=1: every input then gets a fresh load.
#include "monitor/TMonitor.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <memory>

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
                                "<ZOMBIE>",
                                "demo",
                                "ana.souza",
                                "demo,ana.souza",
                                "\"a b\", c",
                                "<b>oi</b><script>x()</script>",
                                "linha\nlinha\n\n",
                                "\xC3\x28\xFF invalid",
                                "1700000000.900001",
                                "Conversa"};
// Internal-chat events (the VChatEvent value) and the chat server's events and answers.
const char* const kEventosChat[] = {
    "userin",         "userout", "getusersin",  "sendmessage",     "messagesent",
    "unreadmessages", "message", "messageread", "messagecomplete", "unreadmessagescomplete",
    "Nonsense"};
const char* const kChavesChat[] = {
    "From",  "To",          "Id",         "LocalId",  "Message",   "TimeSent",    "TimeRead",
    "Total", "User",        "ActionID",   "Uniqueid", "MessageId", "Kind",        "Created",
    "Name",  "AgentTyping", "UserTyping", "ActionId", "De",        "ZXDBActionID"};
const char* const kEventosServidorChat[] = {"ChatChannelMessage",
                                            "ChatChannelMessagesComplete",
                                            "ChatNewMessage",
                                            "ChatChannelState",
                                            "AgentsComplete",
                                            "StatusComplete",
                                            "QueueStatusComplete",
                                            "Agents",
                                            "QueueMember",
                                            "Join",
                                            "Hangup",
                                            "Newchannel"};
const char* const kRespostas[] = {"login",
                                  "UserInChat",
                                  "AgentsChat",
                                  "StatusChat",
                                  "QueueStatusChat",
                                  "UnreadMessagesUserInChat",
                                  "ZXDBMensagensNaLidasChat",
                                  "LastMessagesChat"};

template <size_t N> const char* Escolhe(const char* const (&lista)[N], uint8_t b) {
    return lista[b % N];
}

QByteArray CargaDemo() {
    QFile f(QStringLiteral(VESMARA_FUZZ_LOAD));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Fresh monitor with the demo load played into it.
std::unique_ptr<TMonitor> Carregado(const QByteArray& carga) {
    auto monitor = std::make_unique<TMonitor>();
    monitor->Inicia(QString());
    monitor->Timer2.stop();
    monitor->ManagerConnection()->FeedBytes(carga);
    monitor->Timer2Timer();
    return monitor;
}

// Closing empties every list: nothing may point at what was freed.
void Encerra(TMonitor& monitor) {
    (void)monitor.Dump(QStringLiteral("Tudo"));
    (void)monitor.Dump(QStringLiteral("Atendentes"));
    (void)monitor.Dump(QStringLiteral("Chat"));
    monitor.EncerraConexao();
    (void)monitor.Dump(QStringLiteral("Tudo"));
}

// (key, value) pairs from the input; a value is a known one or raw bytes.
void Pares(QByteArray& packet, const uint8_t* data, size_t size, size_t& i, bool chat) {
    const int pares = i < size ? data[i++] % 8 : 0;
    for (int k = 0; k < pares && i + 1 < size; ++k) {
        packet += chat ? Escolhe(kChavesChat, data[i++]) : Escolhe(kChaves, data[i++]);
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
}

constexpr int kReusos = 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_core";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const QByteArray carga = CargaDemo();
    static const int reusos = qEnvironmentVariableIntValue("VESMARA_FUZZ_FRESH") ? 1 : kReusos;
    static std::unique_ptr<TMonitor> monitor;
    static int usos = 0;
    if (carga.isEmpty()) std::abort();
    if (!monitor) monitor = Carregado(carga);

    TClientManager* link = monitor->ManagerConnection();
    TClientManager* chat = monitor->ChatConnection();
    size_t i = 0;
    while (i < size) {
        const uint8_t tipo = data[i++];
        QByteArray packet;
        bool servidorChat = false;
        if (tipo < 200) {
            packet = QByteArray("Event: ") + Escolhe(kEventos, tipo) + "\r\n";
            Pares(packet, data, size, i, false);
        } else if (tipo < 228) {
            packet = QByteArray("Event: UserEvent\r\nUserEvent: VChatEvent\r\nVChatEvent: ") +
                     Escolhe(kEventosChat, tipo) + "\r\n";
            Pares(packet, data, size, i, true);
        } else if (tipo < 246) {
            servidorChat = true;
            packet = QByteArray("Event: ") + Escolhe(kEventosServidorChat, tipo) + "\r\n";
            Pares(packet, data, size, i, true);
        } else {
            servidorChat = tipo & 1;
            packet = QByteArray("Response: ") + (tipo & 2 ? "Error" : "Success") +
                     "\r\nActionID: " + Escolhe(kRespostas, i < size ? data[i++] : 0) + "\r\n";
        }
        packet += "\r\n";
        (servidorChat ? chat : link)->FeedBytes(packet);
    }
    monitor->Timer2Timer();
    if (++usos >= reusos) {
        Encerra(*monitor);
        monitor = Carregado(carga);
        usos = 0;
    }
    return 0;
}
