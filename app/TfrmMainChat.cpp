// The chat side of the frame: the chat window, its notifications, the conversation monitors
// and the "Monitorar conversa" entries of the windows that list agents.
#include "app/TfrmMain.h"

#include "model/callcentre/TAgente.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "ui/chat/TfrmChat.h"
#include "ui/chat/TfrmMonitorarConversa.h"
#include "ui/chat/TfrmNotificacaoChat.h"
#include "ui/windows/TMenuAtendente.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

void TfrmMain::IniciaChat() {
    m_notificacoes = new TNotificacoesChat(m_monitor, this);
    m_notificacoes->ChatAberto = [this] { return ProcuraTelaChat() != nullptr; };
    m_notificacoes->AbreConversa = [this](TConversaChat* conversa) {
        if (!m_monitor->Chat()) return;
        TfrmChat* chat = CriaTelaChat();
        if (!chat) return;
        // The user asked for it: the frame comes forward.
        raise();
        activateWindow();
        chat->CarregaConversaNotificacao(conversa);
    };
    // Back to the program with the chat window in front: its conversation is being read.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState estado) {
                if (estado != Qt::ApplicationActive) return;
                TfrmChat* chat = ProcuraTelaChat();
                QMdiSubWindow* ativa = m_mdi->activeSubWindow();
                if (chat && ativa && ativa->widget() == chat)
                    chat->LeNaoLidas(chat->ConversaAtual());
            });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* chat = sub ? qobject_cast<TfrmChat*>(sub->widget()) : nullptr)
            chat->LeNaoLidas(chat->ConversaAtual());
    });
}

void TfrmMain::CloseChatNotifications() {
    if (m_notificacoes) m_notificacoes->FechaFormsNotificacao();
}

void TfrmMain::CriaMenuChat(const QStringList& telasAbrir) {
    if (!m_monitor->TemPermissaoChat() || !m_monitor->Chat()) return;
    m_menuExibir->addAction(QStringLiteral("Chat"), this, &TfrmMain::MenuExibirChatClick);
    if (telasAbrir.contains(QStringLiteral("Chat"))) CriaTelaChat();
}

TfrmChat* TfrmMain::ProcuraTelaChat() const {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* chat = qobject_cast<TfrmChat*>(w->widget())) return chat;
    return nullptr;
}

TfrmChat* TfrmMain::CriaTelaChat() {
    if (TfrmChat* chat = ProcuraTelaChat()) {
        for (QMdiSubWindow* w : m_mdi->subWindowList())
            if (w->widget() == chat) TrazParaFrente(w);
        return chat;
    }
    if (!m_monitor->Chat()) return nullptr;
    auto* janela = new TfrmChat(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, QStringLiteral("Chat"));
    janela->LeVariaveis();
    janela->Notifica = [this](TConversaChat* c, TMensagemChat* m) {
        m_notificacoes->NotificaMensagem(c, m);
    };
    janela->EmPrimeiroPlano = [this, janela] {
        const QMdiSubWindow* ativa = m_mdi->activeSubWindow();
        return ativa && ativa->widget() == janela && QApplication::activeWindow() == this;
    };
    janela->CriaChat(m_monitor->Chat());
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return janela;
}

void TfrmMain::MenuExibirChatClick() {
    CriaTelaChat();
}

void TfrmMain::LigaMenusConversa(QWidget* janela) {
    for (TMenuAtendente* menu : janela->findChildren<TMenuAtendente*>())
        connect(menu, &TMenuAtendente::MonitorarConversa, this,
                [this](const QString& uniqueId, const QString& agente) {
                    CarregaTelaMonitorarConversa(uniqueId, agente);
                });
}

TfrmMonitorarConversa* TfrmMain::ProcuraTelaConversa(const QString& name) const {
    // The last one of that name, should two ever exist.
    TfrmMonitorarConversa* achada = nullptr;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (auto* t = qobject_cast<TfrmMonitorarConversa*>(w->widget()))
            if (t->objectName() == name) achada = t;
    return achada;
}

TMonitorConversa* TfrmMain::ProcuraTelaMonitorarConversa(const QString& nome) {
    return ProcuraTelaConversa(nome);
}

TfrmMonitorarConversa* TfrmMain::CarregaTelaMonitorarConversa(const QString& uniqueId,
                                                              const QString& agente) {
    if (uniqueId.isEmpty()) return nullptr;
    if (TfrmMonitorarConversa* t = ProcuraTelaConversa(u"Conversa" + uniqueId)) {
        for (QMdiSubWindow* w : m_mdi->subWindowList())
            if (w->widget() == t) TrazParaFrente(w);
        return t;
    }
    return CriaTelaMonitorarConversa(uniqueId, agente);
}

TfrmMonitorarConversa* TfrmMain::CriaTelaMonitorarConversa(const QString& uniqueId,
                                                           const QString& agente) {
    // The call may have ended between the menu and the click.
    const TChannel* canal = m_monitor->Canais.ProcuraPorUniqueId(uniqueId);
    if (!canal) return nullptr;
    auto* janela = new TfrmMonitorarConversa(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, u"Conversa" + uniqueId);
    janela->LeVariaveis();
    janela->CriaMonitor(canal, m_monitor->Agentes.Procura(agente));
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return janela;
}
