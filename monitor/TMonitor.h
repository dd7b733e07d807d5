#pragma once

#include "link/TClientManager.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoPausa.h"
#include "model/chat/TChat.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TListaCanais.h"
#include "model/telephony/TPorta.h"
#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"
#include "model/users/TListaUsuarioVesmara.h"
#include "model/users/TPermissaoUsuario.h"
#include "monitor/TAlertas.h"
#include "monitor/TAvisos.h"
#include "monitor/TCargaDados.h"
#include "monitor/TMonitorUi.h"
#include "monitor/TPermissoes.h"
#include "monitor/TRefrescoCampanhas.h"
#include "monitor/TRefrescoStatusFila.h"
#include "monitor/TVidaConexao.h"
#include "settings/TConfiguracao.h"
#include "settings/TCoresMotivos.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class TPacketManagerParser;

// The monitor without its windows: both connections, the packet queue and dispatcher, the
// connection life with login and data load, the model lists and the permission checks. The
// desktop window owns one and shows what it reports through TMonitorUi; the probe and the
// tests drive it with no widget at all.
class TMonitor : public QObject {
    Q_OBJECT
public:
    explicit TMonitor(TMonitorUi* ui = nullptr, QObject* parent = nullptr);
    ~TMonitor() override;

    void SetUi(TMonitorUi* ui);

    // Start-up: the settings folder (empty = no settings files, for headless use), the screen
    // size for the defaults of dialog positions. Reads the global settings.
    void Inicia(const QString& userDir, QSize tela = QSize(1024, 768));
    // The main window is showing: offer the log window and start the connection timer.
    void Mostrado();
    // The main window is closing: no reconnection, everything closed and emptied.
    void Fecha();

    // The chat server listens on its own fixed port of the same host; tests and the probe may
    // point it elsewhere.
    quint16 PortaChat = 5033;
    static constexpr const char* kVersao = "1.0.57.6";

    // --- Connection fields -------------------------------------------------------------------
    QString IP = QStringLiteral("127.0.0.1");
    int Porta = 5038;
    QString Usuario;
    QString Senha;
    bool SalvarSenha = false;
    QString ConexaoAtiva;
    QString UserDir;
    QString WindowsUser;
    QString PerfilConfiguracaoId;
    // Where the connection's life stands (TVidaConexao.h).
    EstadoConexao Estado() const { return m_vida.Estado(); }
    // A connect attempt has not been answered yet.
    bool ConnectPending() const { return m_vida.ConnectPending(); }
    // The connection was lost and a reconnection is offered (also while it is being tried).
    bool Reconnecting() const { return m_vida.Reconnecting(); }
    // A load sequence completed on the current connection.
    bool Carregado() const { return m_vida.Carregado(); }
    // Progress of the last close ("1", "2", "5" ... "9"): the error hook logs it first.
    QString CloseStep;
    QStringList TelasAbrir;
    TConfiguracaoGeral Geral;
    // The user's colours of call reasons and sub-reasons (the charts' slices): read again from
    // the profile at the end of every load, before the windows open.
    TCoresMotivos CoresMotivos;
    // A colour chosen for a reason ("Motivo") or sub-reason ("SubMotivo"), 0 to remove it:
    // stored and saved in the profile.
    void SetaCorMotivoChamada(const QString& tipo, const QString& nome, int cor);

    // --- Flags set by the server during a connection -----------------------------------------
    QString ServerVersion;
    bool UsarLoginWindows = false;
    bool ModoCSTA = false;
    bool CallReasonsCounted = false;
    bool QueueStatusLoaded = false;
    bool ChatEnabled = false;
    // The internal chat was started for this run (a successful "UserInChat").
    bool ChatIniciado = false;

    // --- Packet queue ------------------------------------------------------------------------
    // Packets of the manager connection not yet dispatched, oldest first.
    std::deque<QString> PacketQueue;
    QString UltimoPacote;
    // Above this many queued packets the manager socket stops being read until the drain has
    // caught up, so a flooding server cannot grow the queue without bound.
    static constexpr size_t kQueueHighWater = 50000;
    static constexpr size_t kQueueLowWater = 10000;
    static constexpr int kMessagesEvery = 201;

    TClientManager* ManagerConnection() const { return m_manager; }
    TClientManager* ChatConnection() const { return m_chat; }
    QTimer Timer2;

    // --- Users and permissions ---------------------------------------------------------------
    TPermissaoUsuario Permissoes;
    TListaUsuarioVesmara UsuariosVesmara;

    // --- Telephony model and pause reasons ---------------------------------------------------
    // Emptied at every disconnection (bridges before the channels they point at), pause
    // reasons excepted.
    TListaPortas Portas;
    TListaRamais Ramais;
    TListaTroncos Troncos;
    TListaCanais Canais;
    TListaLigacoes Ligacoes;
    TListaMotivosPausa MotivosPausa;

    // --- Call centre -------------------------------------------------------------------------
    // Queues before agents: members point at agents. Both are emptied after the channels.
    TListaFilas Filas;
    TListaAgentes Agentes;
    // Dialer campaigns. Declared after the channels and queues they point at, so they go first.
    TListaCampanhas Campanhas;

    // Change notices of the model objects, each bound when its object is created: they carry
    // a change to the other models and, through Avisos(), to the windows.
    void OnChannelEvent(TChannel* canal, TAvisoCanal aviso);
    void OnCallEvent(TLigacao* ligacao, TAvisoLigacao aviso);
    void OnRamalEvent(TRamal* ramal, TAvisoRamal aviso);
    void OnTroncoEvent(TTronco* tronco, TCanalTronco* canal, TAvisoTronco aviso);
    // A queue notice: the member or the call concerned (at most one of them) and its kind.
    void OnQueueEvent(TFila* fila, TMembroFila* membro, TChannel* canal, TAvisoFila aviso);
    void OnAgentEvent(TAgente* agente, TAvisoAgente aviso);
    // A campaign notice: the call concerned (or none) and its kind.
    void OnCampanhaEvent(TCampanha* campanha, TChannel* canal, TAvisoCampanha aviso);
    // Where the windows subscribe to the model changes they show.
    TAvisos& Avisos() { return m_avisos; }

    // --- Threshold alerts (TMonitorAlertas.cpp) -----------------------------------------------
    // Rules read from the profile at the end of every load and evaluated every second while
    // connected; every alert ends when the lists are emptied.
    TAlertas& Alertas() { return *m_alertas; }
    const TAlertas& Alertas() const { return *m_alertas; }
    QTimer TimerAlertas;
    // The warning colour of what is in alert (the colour dialog changes it in the profile).
    int CorAlerta = kCorAlertaPadrao;
    TOpcoesAlerta OpcoesAlerta;
    // Rules from the rules dialog: applied now and saved in the profile.
    void DefineRegrasAlerta(const std::vector<TRegraAlerta>& regras, const TOpcoesAlerta& opcoes);

    // --- Dialer campaigns --------------------------------------------------------------------
    // The campaign list is asked again every minute while a summary refresh has enabled the
    // timer; it stops when the connection is lost or fails (TRefrescoCampanhas).
    QTimer& TimerCampanhas() { return m_refrescoCampanhas.Timer(); }
    static constexpr int kIntervaloCampanhas = TRefrescoCampanhas::kIntervalo;
    void TimerCampanhasTimer();
    void PedeListaCampanhas();
    // Zeroes every campaign's counters and asks the server for them again (eleven table
    // queries over the active campaigns); nothing happens while no campaign is active.
    void LeResumoCampanhas();
    // The counters of one campaign (or, with none, of every campaign) reach the windows.
    void AtualizaResumoCampanhas(TCampanha* campanha = nullptr);
    // The campaign list changed: the "Discador" submenu is rebuilt.
    void AtualizaMenuDiscador();
    // What the "Discador" submenu shows for the logged-in user.
    struct TCampanhaMenu {
        TCampanha* Campanha = nullptr;
        QString Caption; // the campaign's title
        int Tag = 0;     // the campaign's id as a number (0 when it is not one)
    };
    struct TMenuDiscador {
        bool Habilitado = false;       // "Discador" itself
        bool AtivasHabilitado = false; // "Campanhas ativas (resumo)" and "Campanhas ativas"
        QString CaptionInativas;       // "Campanhas inativas (n)", always disabled
        bool PreencheAtivas = false;   // the entries under "Campanhas ativas" are refilled
        std::vector<TCampanhaMenu> Ativas;
    };
    TMenuDiscador MenuDiscador() const;

    // --- Agent actions -----------------------------------------------------------------------
    // Each sends its action for the agent on the slot's connection (0 manager, 1 chat) and
    // tells whether it went out: nothing is sent when the agent's state no longer allows it at
    // the moment of the call, when an identifier could not be placed in an action, or when the
    // connection is not open. Confirmation texts and menu conditions: TAcoesAtendente.h.
    bool AdicionaNaFila(TAgente* agente, TFila* fila, int slot);
    bool RemoveDaFila(TAgente* agente, TFila* fila, int slot);
    bool ColocaEmPausa(TAgente* agente, TMotivoPausa* motivo, int slot);
    bool RetiraDaPausa(TAgente* agente, int slot);
    bool Logoff(TAgente* agente, int slot);
    // The queues offered under "Adicionar na fila" (member = false) and "Remover da fila"
    // (member = true) for an agent, in list order; only queues the user may see.
    struct TFilaMenu {
        TFila* Fila = nullptr;
        QString Caption; // "Fila 1 (Atendimento Geral)"
        int Tag = 0;     // the queue's id as a number
        bool Membro = false;
    };
    std::vector<TFilaMenu> FilasDoMenuAtendente(const TAgente* agente, int slot) const;

    // Queue-status refreshes waiting for their answer / asked for again meanwhile, per
    // connection (for tests and diagnostics).
    int StatusFilaEmAndamento(int connectionId) const {
        return m_refrescoStatusFila.EmAndamento(connectionId);
    }
    bool StatusFilaPendente(const QString& filaId, int connectionId) const {
        return m_refrescoStatusFila.Pendente(filaId, connectionId);
    }

    // A load that never ends must not let a server grow the rings kept during it without
    // bound: well above the agents of the largest call centre, rings of further agents are not
    // kept. How many are kept now (for tests and diagnostics).
    static constexpr qsizetype kMaxToquesGuardados = 20000;
    qsizetype ToquesGuardados() const { return m_toquesGuardados.size(); }

    // Dialer variables of a channel (asked for every new channel without dialer data, except
    // agent and local channels); the answers come back as "VarDis...-" responses.
    void LeVariavelCampanha(TChannel* canal);
    void LeNomeTelefoneCampanha(TChannel* canal);

    // --- Diagnostics -------------------------------------------------------------------------
    // Switched on by whoever shows the log (the packet-log window, the probe); while off no
    // log text is even built.
    bool LogAtivo = false;
    bool LogPacotesAtivo = false;
    void Loga(const QString& text);
    void LogaPacote(const QString& packet);
    // The state dump of one item of the packet-log window's list ("Tudo", "Canais", ...).
    QString Dump(const QString& item) const;
    // The single error hook: logs the close step, "ERRO", the message and the packet being
    // handled, then lets the user interface decide whether to show it.
    void AppException(const QString& message);

    // --- Dispatcher --------------------------------------------------------------------------
    void OnClientManagerPacket(TClientManager* sender, const QString& packet);
    void Timer2Timer();
    void TrataManagerPacket(TClientManager* sender, const QString& packet);
    // The domain that handles an event (lower-cased name) or a table-query row (its id): its
    // name, or empty when none registered it (for tests and diagnostics).
    static QString DominioDoEvento(const QString& evento);
    static QString DominioDaLinha(const QString& consulta);
    // Events or rows registered by more than one domain ("domain: name"); the first
    // registration wins.
    static QStringList ConflitosDeRegistro();

    // --- Connection life ---------------------------------------------------------------------
    QTimer TimerConexao;
    QTimer TimerLogin;
    // The last text of the first status-bar panel.
    QString StatusText;

    void LeConfiguracaoConexao();
    void TimerConexaoTimer();
    void Conectar();
    void OnClientManagerConnect(TClientManager* sender);
    void OnClientManagerDisconnect(TClientManager* sender);
    void OnClientManagerError(TClientManager* sender, int code);
    void EncerraConexao();
    void SetaConexaoAtiva(const QString& nome);
    QString Caption() const;
    void SetStatusBar(const QString& text);
    void SetStatusBarUsuario(const QString& name);
    // The manager login action, for both connections; refuses an unsafe user name.
    QString LoginAction() const;

    // Menu commands of "Ferramentas" > "Conexão".
    void menuConectarClick();
    void menuDesconectarClick();
    void menuTrocarUsuarioClick();
    // "Conectar" of the connection dialog with the chosen profile and the edited address.
    void ConectarPeloDialogo(const QString& perfil, const QString& ip, const QString& porta);
    // "Salvar" of the dialog in save mode; true when the new profile file exists afterwards.
    bool SalvarConexaoComo(const QString& nome, const QStringList& telasAbertas);
    // "Login" of the login dialog.
    void LoginPeloDialogo(const QString& usuario, const QString& senha, bool salvar, int tag);
    // "OK" of the options dialog.
    void SalvaOpcoes();

    // --- Login and load sequence -------------------------------------------------------------
    void TimerLoginTimer();
    void StartTimerLogin(MotivoLogin motivo);
    void Logar();
    void SendAfter(const QString& id);
    void SendAfterLogin();
    void TerminouCargaDeDados();
    void FechaFormLogin();

    // --- Chat connection ---------------------------------------------------------------------
    void ConectaChat();
    void SendAfterChat(const QString& step);
    void TrataEventoChat(const TPacketManagerParser& p);

    // --- Chat (TMonitorChat.cpp) -------------------------------------------------------------
    // The internal chat of the last login whose chat start succeeded; none before that. A lost
    // connection keeps it; the next successful chat start replaces it.
    TChat* Chat() const { return m_chatModelo.get(); }
    void CriaChat();
    // A received body as it is shown: line breaks as CR LF, no control characters, bounded.
    static QString TrataMensagemRx(const QString& texto);
    // A typed body as it goes on the wire: one protocol line whatever the user typed.
    static QString CorpoMensagemEnvio(const QString& texto);
    // Longest body kept or sent, in characters.
    static constexpr qsizetype kMaxCorpoChat = 16000;
    // The chat windows' actions. Each tells whether it went out: nothing is sent while the
    // manager connection is down or when a value cannot be placed in an action. A sent message
    // is stored as pending in the model and the conversation (none when it was not sent).
    TMensagemChat* EnviaMensagemChat(TConversaChat* conversa, const QString& texto);
    bool MarcaMensagemLidaChat(const TMensagemChat* msg);
    // History of a conversation's identifiers: `dias` 0, 1, 2 or 7, or -1 for unread only.
    bool PedeHistoricoChat(const QString& identificadores, int dias);
    // A conversation monitor opened: its channel's lines, on the chat-server connection.
    bool PedeMensagensCanalChat(const QString& canal, const QString& uniqueId);
    // An external-chat event of the chat server, for the monitor window of its channel.
    void TrataChatExterno(const QString& evento, const TPacketManagerParser& p);

    // --- Permission checks --------------------------------------------------------------------
    // Asked by the windows and menus here; the checks themselves are TPermissoes.
    bool TemPermissaoMonitorarCallCenter() const {
        return m_permissoes.TemPermissaoMonitorarCallCenter();
    }
    bool TemPermissaoMonitorarChatExterno() const {
        return m_permissoes.TemPermissaoMonitorarChatExterno();
    }
    bool TemPermissaoGerenciarAtendentes() const {
        return m_permissoes.TemPermissaoGerenciarAtendentes();
    }
    bool TemPermissaoChatUsuario(const QString& usuario) const {
        return m_permissoes.TemPermissaoChatUsuario(usuario);
    }
    bool TemPermissaoChat() const { return m_permissoes.TemPermissaoChat(); }
    bool TemPermissaoMonitorarConversaChat(const QString& valor) const {
        return m_permissoes.TemPermissaoMonitorarConversaChat(valor);
    }
    bool TemPermissaoTronco(const QString& idTronco, const QString& nome) const {
        return m_permissoes.TemPermissaoTronco(idTronco, nome);
    }
    bool TemPermissaoTronco(const TTronco* tronco) const {
        return m_permissoes.TemPermissaoTronco(tronco);
    }
    int TemPermissaoTroncos() const { return m_permissoes.TemPermissaoTroncos(); }
    int TemPermissaoRamais() const { return m_permissoes.TemPermissaoRamais(); }
    bool TemPermissaoRamal(const QString& ramalId) const {
        return m_permissoes.TemPermissaoRamal(ramalId);
    }
    bool TemPermissaoAtendenteCodigo(const QString& codigo) const {
        return m_permissoes.TemPermissaoAtendenteCodigo(codigo);
    }
    bool TemPermissaoFilaId(const QString& filaId) const {
        return m_permissoes.TemPermissaoFilaId(filaId);
    }
    bool TemPermissaoCampanhaId(const QString& campanhaId) const {
        return m_permissoes.TemPermissaoCampanhaId(campanhaId);
    }
    bool TemPermissaoAtendente(const TAgente* agente) const {
        return m_permissoes.TemPermissaoAtendente(agente);
    }
    bool TemPermissaoFila(const TFila* fila) const { return m_permissoes.TemPermissaoFila(fila); }
    bool TemPermissaoCampanha(const TCampanha* campanha) const {
        return m_permissoes.TemPermissaoCampanha(campanha);
    }
    int TemPermissaoCampanhas() const { return m_permissoes.TemPermissaoCampanhas(); }
    int TemPermissaoCampanhasAtivas() const { return m_permissoes.TemPermissaoCampanhasAtivas(); }
    int TemPermissaoAtendentes() const { return m_permissoes.TemPermissaoAtendentes(); }
    int TemPermissaoFilas() const { return m_permissoes.TemPermissaoFilas(); }
    int TemPermissaoFilasChat() const { return m_permissoes.TemPermissaoFilasChat(); }
    bool PassaPortaoCallCenter() const { return m_permissoes.PassaPortaoCallCenter(); }
    bool PassaPortaoChat() const { return m_permissoes.PassaPortaoChat(); }

    // Sends one action over the manager connection (dropped when it is not open).
    void SendManager(const QString& text);
    void ClientManagerSendString(bool chat, const QString& text);

Q_SIGNALS:
    // Every action text sent over the manager connection (for tests and the probe).
    void ActionSent(const QString& text);
    void StatusChanged(const QString& text);
    void LoadFinished();
    void CallReasonsRecounted();
    // The answers to a campaign summary refresh are all in.
    void CampanhasResumidas();

private:
    std::unique_ptr<TAlertas> m_alertas;
    void CriaAlertas();
    void IniciaAlertas();
    // The load sequence drives the login's and the load's steps of this class.
    friend class TCargaDados;

    using EventHandler = void (TMonitor::*)(const TPacketManagerParser&, int connectionId);
    using RowHandler = void (TMonitor::*)(const TPacketManagerParser&);
    // One domain of the model as the dispatcher sees it: the events and table-query rows it
    // handles, each with its handler (none: known, ignored for now). Each domain's table lives
    // next to its handlers; Dominios() in TMonitorDispatch.cpp registers them, one line each.
    struct TDominio {
        const char* Nome;
        std::vector<std::pair<QString, EventHandler>> Eventos;
        std::vector<std::pair<QString, RowHandler>> Linhas;
    };
    static const std::vector<const TDominio*>& Dominios();
    static const TDominio& DominioConexao();
    static const TDominio& DominioTelefonia();
    static const TDominio& DominioCallCenter();
    static const TDominio& DominioCampanhas();
    static const TDominio& DominioUsuarios();
    static const TDominio& DominioChat();
    struct TRotaEvento {
        EventHandler Trata = nullptr;
        const TDominio* Dominio = nullptr;
    };
    struct TRotaLinha {
        RowHandler Trata = nullptr;
        const TDominio* Dominio = nullptr;
    };
    // Every domain's entries by name, built once from the registered domains.
    struct TTabelas {
        QHash<QString, TRotaEvento> Eventos;
        QHash<QString, TRotaLinha> Linhas;
        QStringList Conflitos;
    };
    static const TTabelas& Tabelas();

    // The lower-cased name of the event being dispatched (for handlers shared by several).
    const QString& EventoAtual() const { return m_eventoAtual; }
    void TrataResposta(const TPacketManagerParser& p);
    void TrataEvento(const TPacketManagerParser& p, int connectionId);

    // Events that belong to the link itself.
    void EvZxDbEvent(const TPacketManagerParser& p, int connectionId);
    void EvZxDbComplete(const TPacketManagerParser& p, int connectionId);
    void EvZxTimeStamp(const TPacketManagerParser& p, int connectionId);
    void EvFullyBooted(const TPacketManagerParser& p, int connectionId);
    void EvTitulo(const TPacketManagerParser& p, int connectionId);
    void EvListComplete(const TPacketManagerParser& p, int connectionId);
    void EvQueueCallReasonCountComplete(const TPacketManagerParser& p, int connectionId);
    void EvUserPermissionsComplete(const TPacketManagerParser& p, int connectionId);
    void EvUserEvent(const TPacketManagerParser& p, int connectionId);
    void EvQueueStatusComplete(const TPacketManagerParser& p, int connectionId);

    // Agents (TMonitorAgentes.cpp); the slot is the connection the event came on.
    void EvAgents(const TPacketManagerParser& p, int slot);
    void EvAgentLogin(const TPacketManagerParser& p, int slot);
    void EvAgentLogoff(const TPacketManagerParser& p, int slot);
    void EvAgentCalled(const TPacketManagerParser& p, int slot);
    void EvAgentConnect(const TPacketManagerParser& p, int slot);
    void EvAgentRingNoAnswer(const TPacketManagerParser& p, int slot);
    void EvAgentComplete(const TPacketManagerParser& p, int slot);
    void EvHook(const TPacketManagerParser& p, int slot);
    void RowAgente(const TPacketManagerParser& p);
    // The extension label of the slot-0 login channel, or the chat login's address.
    void DefineLoggedChannel(TAgente* a, const TPacketManagerParser& p, int slot);
    // The agent a channel name stands for: its identifier, or the agent logged in from it.
    TAgente* AgenteDoCanal(const QString& nome, int slot) const;
    // The agent takes a queue call up as her current call on the telephony slot: rung at
    // `chamando`, or answered at `atendimento` when that is set.
    void AssumeChamada(TAgente* a, TChannel* c, double chamando, double atendimento);
    // Rings and answers heard during the load before the agent or the call was known (an agent
    // rung before the listings, whose answer the listings do not tell): kept by agent number
    // and taken up once both exist, unless a later event of that agent made them stale.
    struct TToqueGuardado {
        QString Canal;
        QString UniqueId;
        double Chamando = 0;
        double Atendimento = 0;
    };
    QHash<QString, TToqueGuardado> m_toquesGuardados;
    void GuardaToque(const QString& agente, const QString& canal, const QString& uniqueId,
                     bool atendido);
    void EsqueceToque(const QString& agente);
    void AplicaToquesGuardados();

    // Queues, members and call reasons (TMonitorFilas.cpp).
    void EvQueueParams(const TPacketManagerParser& p, int connectionId);
    void EvJoin(const TPacketManagerParser& p, int connectionId);
    void EvLeave(const TPacketManagerParser& p, int connectionId);
    void EvQueueCallerAbandon(const TPacketManagerParser& p, int connectionId);
    void EvQueueMember(const TPacketManagerParser& p, int slot);
    void EvQueueMemberAdded(const TPacketManagerParser& p, int connectionId);
    void EvQueueMemberRemoved(const TPacketManagerParser& p, int connectionId);
    void EvQueueMemberPaused(const TPacketManagerParser& p, int slot);
    void EvQueueCallReasonCount(const TPacketManagerParser& p, int connectionId);
    void EvQueueCallSubReasonCount(const TPacketManagerParser& p, int connectionId);
    void RowFila(const TPacketManagerParser& p);
    void RowChamadaAtivaFila(const TPacketManagerParser& p);
    // Asks the server for the queue's status again ("Action: QueueStatus" for that queue) on
    // the connection, once the load has passed its queue-status step. At most one request per
    // queue is waiting for its answer; changes meanwhile ask for one more after it.
    void PedeStatusFila(TFila* fila, int connectionId);
    void PedeStatusFila(const QString& filaId, int connectionId);
    // The answer to the oldest refresh of the connection ended.
    void StatusFilaConcluido(int connectionId);
    void EsqueceStatusFila(int connectionId);
    // A queue notice for the queue of a queue-call record.
    static void AvisaFilaDaChamada(const TChannel* canal);
    // A campaign notice for the campaign of a dialer-call record.
    static void AvisaCampanhaDaChamada(TChannel* canal);

    // Telephony events, rows and command outputs (TMonitorTelephony.cpp).
    void EvNewChannelStatus(const TPacketManagerParser& p, int connectionId);
    void EvNewState(const TPacketManagerParser& p, int connectionId);
    void EvDial(const TPacketManagerParser& p, int connectionId);
    void EvNewExten(const TPacketManagerParser& p, int connectionId);
    void EvNewCallerId(const TPacketManagerParser& p, int connectionId);
    void EvLink(const TPacketManagerParser& p, int connectionId);
    void EvUnlink(const TPacketManagerParser& p, int connectionId);
    void EvRename(const TPacketManagerParser& p, int connectionId);
    void EvMasquerade(const TPacketManagerParser& p, int connectionId);
    void EvHangup(const TPacketManagerParser& p, int connectionId);
    void EvPeerStatus(const TPacketManagerParser& p, int connectionId);
    void EvLinhaTronco(const TPacketManagerParser& p, int connectionId);
    void EvZxNewCall(const TPacketManagerParser& p);
    void RowPorta(const TPacketManagerParser& p);
    void RowRamal(const TPacketManagerParser& p);
    void RowTronco(const TPacketManagerParser& p);
    void RowMotivoPausa(const TPacketManagerParser& p);
    void TrataSaidaComando(const QString& id, const TPacketManagerParser& p);
    void TrataVariavelDiscador(const QString& id, const TPacketManagerParser& p);
    void StatusRefazLigacoes(TChannel* canal, const TPacketManagerParser& p, qint32 seconds,
                             int connectionId);
    // A new bridge with the channel as first leg, unless the channel is in one already (then
    // its bridges are announced again instead).
    void NovaLigacao(TChannel* canal);
    // A configuration load starts on a connection that has loaded before (change of user):
    // ports, extensions and trunks are loaded afresh instead of twice.
    void PreparaCargaTelefonia();
    void SendGetVar(TChannel* canal, const QString& prefixo, const QString& variavel);
    // Logs a skipped event or row whose number under `chave` did not read as one.
    void LogaNumeroInvalido(const QString& onde, QStringView chave, const TPacketManagerParser& p);

    // Where the telephony handlers hand over to agents, queues and campaigns
    // (TMonitorCallCentre.cpp).
    void StatusAnexaFila(TChannel* canal, const TPacketManagerParser& p, qint32 seconds,
                         int connectionId);
    void StatusAgentesDoLink(TChannel* canal, TChannel* outro, int connectionId);
    void HangupAgenteChat(TChannel* canal, const TPacketManagerParser& p);
    void FilasCanalAtualizado(TChannel* canal);
    void CampanhasCanalAtualizado(TChannel* canal);
    void AgentesCanalRemovido(TChannel* canal);
    void FilasCanalRemovido(TChannel* canal);
    void CampanhasCanalRemovido(TChannel* canal);
    void AgentesLigacaoAtualizada(TLigacao* ligacao);
    void AgentesLigacaoRemovida(TLigacao* ligacao);
    void DiscadorAnexaCampanha(TChannel* canal, const QString& campanhaId);

    // Dialer campaigns (TMonitorCampanhas.cpp): rows of the campaign list and of the summary
    // queries.
    void RowCampanha(const TPacketManagerParser& p);
    void RowResumoCampanha(const TPacketManagerParser& p);

    void RowPerfilConfiguracao(const TPacketManagerParser& p);
    void RowLoginVesmara(const TPacketManagerParser& p);
    void RowPermissaoUsuario(const TPacketManagerParser& p);
    void RowPermissaoUsuarioExtra(const TPacketManagerParser& p);
    void RowUsuariosVesmara(const TPacketManagerParser& p);
    void EvUserPermission(const TPacketManagerParser& p, int connectionId);
    void EvUserPermissionDetail(const TPacketManagerParser& p, int connectionId);

    // Runs handler code from a socket notification or a timer: an error never crosses the
    // event loop, it goes to the error hook.
    template <typename F> void Guarded(F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            AppException(QString::fromUtf8(e.what()));
        } catch (...) {
            AppException(QStringLiteral("Erro desconhecido"));
        }
    }

    // What the server told about itself: cleared at every connect, and when the chat server fails.
    void LimpaFlagsDoServidor();
    void LoginRecusado();
    void EsvaziaListas();
    // Runs a settings write; a refusal of the system reaches the error hook, not the caller.
    template <typename F> void GravaConfiguracao(F&& write);
    void OnClientManagerChatConnect(TClientManager* sender);
    void OnClientManagerChatDisconnect(TClientManager* sender);
    void OnClientManagerChatError(TClientManager* sender, int code);
    void OnClientManagerChatPacket(TClientManager* sender, const QString& packet);
    void FinishChatLoad();
    void EvChatExterno(const TPacketManagerParser& p, int connectionId);
    void RowMensagensNaoLidasChat(const TPacketManagerParser& p);
    void TrataMensagemHistoricoChat(const TPacketManagerParser& p);
    void DefineNaoLidasChat(const QString& de, const QString& total);
    void AnunciaPresencaChat(bool comUsuario);
    std::unique_ptr<TChat> m_chatModelo;

    TMonitorUi m_nullUi;
    TMonitorUi* m_ui;
    TAvisos m_avisos;
    TClientManager* m_manager;
    TClientManager* m_chat;
    bool m_draining = false;
    QString m_eventoAtual;
    // Event names as received → handler: names repeat, so lower-casing and the table lookup are
    // done once per spelling (bounded: junk names do not grow it for ever).
    QHash<QString, std::pair<QString, EventHandler>> m_rotasVistas;
    bool m_chatLoadPending = false;
    bool m_chatLoggedIn = false;

    TVidaConexao m_vida;
    TCargaDados m_carga{*this};
    TRefrescoStatusFila m_refrescoStatusFila;
    TRefrescoCampanhas m_refrescoCampanhas{Campanhas,
                                           {[this](const QString& texto) { SendManager(texto); },
                                            [this](const QString& texto) { Loga(texto); }}};
    TPermissoes m_permissoes{Permissoes, Troncos, Ramais, Agentes, Filas, Campanhas};
};
