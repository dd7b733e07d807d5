// The chat steps of the load sequence and the chat-server connection (port 5033) with its own
// short load sequence. Both end the load with TerminouCargaDeDados, also when they fail.
#include "base/ActionText.h"
#include "link/SocketErrors.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

void TMonitor::ConectaChat() {
    if (!ChatEnabled) {
        TerminouCargaDeDados();
        return;
    }
    m_chatLoadPending = true;
    m_chat->Connect(IP, PortaChat);
}

void TMonitor::OnClientManagerChatConnect(TClientManager* sender) {
    Loga(u"Conectado ao Vesmara Chat no IP " + IP);
    sender->SendString(LoginAction());
}

void TMonitor::OnClientManagerChatDisconnect(TClientManager*) {
    m_chatLoggedIn = false;
    EsqueceStatusFila(1);
    // A chat server that closes before its load ended must not leave the monitor loading.
    if (m_chatLoadPending) {
        Loga(QStringLiteral("Conexão do chat encerrada durante a carga"));
        FinishChatLoad();
    }
}

void TMonitor::OnClientManagerChatError(TClientManager*, int code) {
    // Only the chat side goes: the main connection's server facts (version, start-up options,
    // call-reason counts and queue status loaded) still hold, or a chat server that is down
    // would take the call-reason charts of the telephone queues with it.
    ChatEnabled = false;
    Loga(SocketErrorText(code));
    FinishChatLoad();
}

void TMonitor::OnClientManagerChatPacket(TClientManager* sender, const QString& packet) {
    const TPacketManagerParser p(packet);
    const QString type = p.GetPacketType();
    if (type == u"Response") {
        LogaPacote(packet);
        const QString id = p.GetValue(u"ActionID");
        const QString response = p.GetValue(u"Response");
        if (id == u"login") {
            if (response == u"Error") {
                ChatEnabled = false;
                FinishChatLoad();
            } else {
                SendAfterChat(id);
            }
        } else if (response == u"Error") {
            SendAfterChat(id);
        }
        return;
    }
    if (type != u"Event") {
        LogaPacote(packet);
        return;
    }
    const QString name = p.GetEvent().toLower();
    if (name == u"statuscomplete" || name == u"agentscomplete" || name == u"queuestatuscomplete") {
        LogaPacote(packet);
        const QString id = p.GetValue(u"ActionID");
        // A chat queue's refresh goes without an id.
        if (name == u"queuestatuscomplete" && id.isEmpty())
            StatusFilaConcluido(1);
        else
            SendAfterChat(id);
        return;
    }
    // Chat agents, chat queues and external-chat channels enter the model through the
    // dispatcher, which logs the packet itself.
    TrataManagerPacket(sender, packet);
}

void TMonitor::SendAfterChat(const QString& step) {
    if (step == u"login") {
        m_chatLoggedIn = true;
        Loga(QStringLiteral("Enviando AgentsOnLine Chat..."));
        m_chat->SendString(Action(u"Agentsonline", {{u"ActionId", QStringLiteral("AgentsChat")}}));
    } else if (step == u"AgentsChat") {
        Loga(QStringLiteral("Enviando Status Chat..."));
        m_chat->SendString(Action(u"Status", {{u"ActionId", QStringLiteral("StatusChat")}}));
    } else if (step == u"StatusChat") {
        Loga(QStringLiteral("Enviando QueueStatusChat..."));
        m_chat->SendString(
            Action(u"QueueStatus", {{u"ActionId", QStringLiteral("QueueStatusChat")}}));
    } else if (step == u"QueueStatusChat") {
        FinishChatLoad();
    }
}

void TMonitor::FinishChatLoad() {
    // Only the load this connection was opened for ends here; a later error of a connection
    // whose load already finished does not reopen the windows a second time.
    if (!m_chatLoadPending) return;
    m_chatLoadPending = false;
    TerminouCargaDeDados();
}
