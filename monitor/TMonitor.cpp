#include "monitor/TMonitor.h"

#include "base/Clock.h"

#include <QCoreApplication>

TMonitor::TMonitor(TMonitorUi* ui, QObject* parent)
    : QObject(parent), m_ui(ui ? ui : &m_nullUi), m_manager(new TClientManager(this)),
      m_chat(new TClientManager(this)),
      m_refrescoStatusFila({[this](int c) { return (c == 1 ? m_chat : m_manager)->Connected; },
                            [this](int c, const QString& t) { ClientManagerSendString(c == 1, t); },
                            [this](const QString& t) { Loga(t); }}) {
    m_manager->ConnectionId = 0;
    m_chat->ConnectionId = 1;
    m_manager->OnPacket = [this](TClientManager* s, const QString& p) {
        OnClientManagerPacket(s, p);
    };
    m_manager->OnLog = [this](const QString& line) { Loga(line); };
    m_chat->OnLog = [this](const QString& line) { Loga(line); };

    m_manager->OnConnect = [this](TClientManager* s) {
        Guarded([&] { OnClientManagerConnect(s); });
    };
    m_manager->OnDisconnect = [this](TClientManager* s) {
        Guarded([&] { OnClientManagerDisconnect(s); });
    };
    m_manager->OnError = [this](TClientManager* s, int code) {
        Guarded([&] { OnClientManagerError(s, code); });
    };
    m_chat->OnPacket = [this](TClientManager* s, const QString& p) {
        Guarded([&] { OnClientManagerChatPacket(s, p); });
    };
    m_chat->OnConnect = [this](TClientManager* s) {
        Guarded([&] { OnClientManagerChatConnect(s); });
    };
    m_chat->OnDisconnect = [this](TClientManager* s) {
        Guarded([&] { OnClientManagerChatDisconnect(s); });
    };
    m_chat->OnError = [this](TClientManager* s, int code) {
        Guarded([&] { OnClientManagerChatError(s, code); });
    };

    TimerConexao.setInterval(500);
    TimerConexao.setSingleShot(false);
    connect(&TimerConexao, &QTimer::timeout, this,
            [this] { Guarded([this] { TimerConexaoTimer(); }); });
    TimerLogin.setInterval(500);
    connect(&TimerLogin, &QTimer::timeout, this,
            [this] { Guarded([this] { TimerLoginTimer(); }); });
    connect(&TimerCampanhas(), &QTimer::timeout, this,
            [this] { Guarded([this] { TimerCampanhasTimer(); }); });

    Timer2.setInterval(50);
    connect(&Timer2, &QTimer::timeout, this, &TMonitor::Timer2Timer);
    Timer2.start();
    CriaAlertas();
}

TMonitor::~TMonitor() {
    m_vida.Muda(EstadoConexao::Fechando);
    Timer2.stop();
    // The connections are children and go with us; no callback may reach a half-destroyed
    // monitor.
    m_manager->OnPacket = nullptr;
    m_manager->OnConnect = nullptr;
    m_manager->OnDisconnect = nullptr;
    m_manager->OnError = nullptr;
    m_chat->OnPacket = nullptr;
    m_chat->OnConnect = nullptr;
    m_chat->OnDisconnect = nullptr;
    m_chat->OnError = nullptr;
}

void TMonitor::SetUi(TMonitorUi* ui) {
    m_ui = ui ? ui : &m_nullUi;
}

void TMonitor::Loga(const QString& text) {
    if (LogAtivo) m_ui->Loga(text);
}

void TMonitor::LogaPacote(const QString& packet) {
    if (LogPacotesAtivo) m_ui->LogaPacote(packet);
}

void TMonitor::AppException(const QString& message) {
    if (!CloseStep.isEmpty()) Loga(CloseStep);
    Loga(QStringLiteral("ERRO"));
    Loga(message);
    Loga(UltimoPacote);
    m_ui->AppException(message);
}

void TMonitor::OnClientManagerPacket(TClientManager* sender, const QString& packet) {
    PacketQueue.push_back(packet);
    if (PacketQueue.size() >= kQueueHighWater) sender->SetReadPaused(true);
}

void TMonitor::Timer2Timer() {
    if (m_draining) return;
    m_draining = true;
    Timer2.stop();
    int counter = 0;
    while (!PacketQueue.empty() && !m_vida.Fechando()) {
        const QString packet = std::move(PacketQueue.front());
        PacketQueue.pop_front();
        Guarded([&] { TrataManagerPacket(m_manager, packet); });
        if (m_manager->ReadPaused() && PacketQueue.size() <= kQueueLowWater)
            m_manager->SetReadPaused(false);
        if (++counter >= kMessagesEvery) {
            // Keep the window and the other timers alive during a burst; the timer is off, so
            // no second drain can start from inside.
            QCoreApplication::processEvents();
            counter = 0;
        }
    }
    if (m_manager->ReadPaused()) m_manager->SetReadPaused(false);
    m_draining = false;
    if (!m_vida.Fechando()) Timer2.start();
}

void TMonitor::SendManager(const QString& text) {
    if (!m_manager->Connected) return;
    m_manager->SendString(text);
    Q_EMIT ActionSent(text);
}

void TMonitor::ClientManagerSendString(bool chat, const QString& text) {
    if (chat)
        m_chat->SendString(text);
    else
        SendManager(text);
}
