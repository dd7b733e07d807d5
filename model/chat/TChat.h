#pragma once

// The internal chat of one login: its participants, the conversations as the local user sees
// them and every message known since the login. Plain objects, no widgets: the chat windows
// subscribe to the conversation notices.
//
// Everything here is filled from the server, so every collection is capped: a server (or a
// peer sending through it) cannot grow the model without bound.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

// What happened to a conversation: a message or participant added, a message read, one of the
// local user's messages accepted by the server, the participants changed. Remove: a message
// leaves the conversation because the caps were reached; it may be freed right after, so a
// view holding it lets it go.
enum class TAvisoChat { Add, Read, Sent, Update, Remove };
// The text the packet log prints for a notice.
QString TextoAvisoChat(TAvisoChat aviso);

struct TUsuarioChat {
    explicit TUsuarioChat(QString usuarioId) : UsuarioId(std::move(usuarioId)) {}
    // "u" platform user, "a" agent, "f" queue group, empty for the chat window's fixed groups.
    QString Tipo;
    // "a" while present in the chat.
    QString Status;
    QString Nome;
    const QString UsuarioId;
    // Unread count last shown for this participant (a display cache of the chat window).
    int NaoLidas = 0;
    // The entry stands for the platform user, agent or queue with this key and `Tipo`; kept as a
    // key, not a pointer: the chat outlives the lists emptied at each disconnection.
    QString NomeExibicao() const { return Nome.isEmpty() ? UsuarioId : Nome; }
    QString Dump() const;
};

class TListaUsuariosChat {
public:
    // The first participant with this id whose type occurs in `tipos` (any type when empty).
    TUsuarioChat* ProcuraUsuario(const QString& id, const QString& tipos = {}) const;
    QString NomeUsuario(const QString& id) const;
    // "1,2,x" → "Ana, 2, x": each identifier looked up among users and agents.
    QString NomesUsuarios(const QString& lista) const;
    // Takes ownership; none (and the participant freed) once the list is full.
    TUsuarioChat* Adiciona(std::unique_ptr<TUsuarioChat> u);
    int Count() const { return int(m_itens.size()); }
    TUsuarioChat* Item(int i) const;

    static constexpr int kMaxUsuarios = 20000;

private:
    std::vector<std::unique_ptr<TUsuarioChat>> m_itens;
    QHash<QString, std::vector<TUsuarioChat*>> m_porId;
};

struct TLeituraChat {
    QString UsuarioId;
    double Quando = 0;
};

struct TMensagemChat {
    QString Id;
    QString LocalId;
    QString From;
    QString To;
    std::vector<TLeituraChat> Leituras;
    double DataEnvio = 0;
    double DataLeitura = 0;
    QString Msg;

    // A list of recipients from a server is not trusted to be short.
    static constexpr int kMaxDestinatarios = 256;

    void DefineDestinatarios(const QString& lista);
    void AdicionaDestinatario(const QString& id);
    void MarcaLida(const QString& id, double quando);
    QString Dump() const;
};

// Messages in `Id` order (not owned). Insertion keeps the order; an `Id` given later does not
// move a message.
class TListaMensagensChat {
public:
    // Returns the position the message took.
    int AdicionaOrdenado(TMensagemChat* msg);
    TMensagemChat* ProcuraPorId(const QString& id) const;
    TMensagemChat* ProcuraPorLocalId(const QString& localId) const;
    int IndiceDe(const TMensagemChat* msg) const;
    bool Contem(const TMensagemChat* msg) const { return m_contidas.contains(msg); }
    int Count() const { return int(m_itens.size()); }
    TMensagemChat* Item(int i) const;
    void Delete(int i);
    // The message's `Id` changed from `anterior`: the index follows it.
    void ReindexaId(TMensagemChat* msg, const QString& anterior);
    QString Dump() const;

private:
    void Indexa(TMensagemChat* msg);
    void Desindexa(TMensagemChat* msg);
    // A key's first message in the list, and how many carry it (a removal looks for the next
    // one only when there is one).
    struct TIndice {
        QHash<QString, TMensagemChat*> Primeiro;
        QHash<QString, int> Conta;
        void Adiciona(const QString& chave, TMensagemChat* msg);
        void Retira(const QString& chave, TMensagemChat* msg,
                    const std::vector<TMensagemChat*>& itens, bool porId);
    };
    std::vector<TMensagemChat*> m_itens;
    // The `Id` of each item as a number, as of its last indexing.
    std::vector<qint64> m_numeros;
    // Never lowered: a stale maximum only costs a scan.
    qint64 m_maiorNumero = std::numeric_limits<qint64>::min();
    QSet<const TMensagemChat*> m_contidas;
    TIndice m_porId;
    TIndice m_porLocalId;
};

class TConversaChat;
using TEventoChat = std::function<void(TConversaChat*, TMensagemChat*, TAvisoChat)>;

class TConversaChat {
public:
    explicit TConversaChat(QString usuarioLocal) : UsuarioLocal(std::move(usuarioLocal)) {}

    const QString UsuarioLocal;
    QStringList Usuarios;
    QString ConversaId;
    QString ConversaNome;
    TListaMensagensChat Mensagens;
    TEventoChat OnEvent;
    // History range asked for: -2 none yet, -1 unread only, 0 today, 1, 2 or 7 days.
    int Dias = -2;
    int NaoLidas = 0;

    // A group's membership comes from the server's queue lists: capped like everything else.
    static constexpr int kMaxUsuarios = 1000;

    void DefineUsuarios(const QString& lista);
    QString UsuariosTexto() const { return Usuarios.join(u','); }
    bool TemUsuario(const QString& id) const { return Usuarios.contains(id); }
    int UsuCount() const { return int(Usuarios.size()); }
    void AdicionaUsuario(const QString& id);
    void RemoveUsuario(const QString& id);
    void AdicionaMensagem(TMensagemChat* msg) { Mensagens.AdicionaOrdenado(msg); }
    int ContaNaoLidas(const QString& id) const;
    int NaoLidasServidor(const QString& chave) const {
        return chave.isEmpty() || chave == ConversaId ? NaoLidas : 0;
    }
    QString Dump() const;

private:
    void Avisa(TMensagemChat* msg, TAvisoChat aviso) {
        if (OnEvent) OnEvent(this, msg, aviso);
    }
};

class TListaConversaChat {
public:
    TEventoChat OnEvent;

    // Takes ownership and announces the conversation; none once the list is full or the key is
    // taken (the first conversation of a key stays the one found).
    TConversaChat* Adiciona(std::unique_ptr<TConversaChat> conv);
    TConversaChat* ProcuraPorId(const QString& conversaId) const {
        return m_porId.value(conversaId, nullptr);
    }
    int Count() const { return int(m_itens.size()); }
    TConversaChat* Item(int i) const;

    void NovaMensagem(TMensagemChat* msg);
    void MensagemLida(TMensagemChat* msg);
    void MensagemEnviada(TMensagemChat* msg);
    int TotalNaoLidas(const QString& id) const;
    int TotalNaoLidasServidor(const QString& chave) const;
    // The message leaves every conversation (before it is freed).
    void Esquece(TMensagemChat* msg);

    // The per-message operations visit every conversation: a few thousand at most, and a
    // message event is rare next to the telephony traffic.
    static constexpr int kMaxConversas = 5000;

private:
    friend class TConversaChat;
    void Avisa(TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
        if (OnEvent) OnEvent(c, m, a);
    }
    std::vector<std::unique_ptr<TConversaChat>> m_itens;
    QHash<QString, TConversaChat*> m_porId;
};

class TChat {
public:
    explicit TChat(QString usuarioLocal);
    ~TChat();
    TChat(const TChat&) = delete;
    TChat& operator=(const TChat&) = delete;

    const QString UsuarioLocal;
    TListaMensagensChat ListaDeMensagens;
    TListaConversaChat ListaDeConversas;
    TListaUsuariosChat ListaDeUsuarios;
    TEventoChat OnEvent;

    // The newest messages are kept: past these counts the oldest is dropped first (from the
    // model and from every conversation), so a chatty peer cannot exhaust memory.
    static constexpr int kMaxMensagens = 20000;
    static constexpr int kMaxMensagensConversa = 2000;

    // Takes ownership. Returns the message as stored (none if it could not be kept).
    TMensagemChat* AdicionaMensagem(std::unique_ptr<TMensagemChat> msg);
    // A message already owned by the chat: stored, routed to the conversation with its sender
    // when it is addressed to the local user.
    void AdicionaMensagem(TMensagemChat* msg);
    // Stores a message with no conversation routing (history of the local user's own messages,
    // pending messages composed here).
    TMensagemChat* Guarda(std::unique_ptr<TMensagemChat> msg);
    void MensagemLida(TMensagemChat* msg) { ListaDeConversas.MensagemLida(msg); }
    void MensagemEnviada(TMensagemChat* msg) { ListaDeConversas.MensagemEnviada(msg); }
    // Sets a message's server `Id`, keeping every index in step.
    void DefineId(TMensagemChat* msg, const QString& id);
    // The conversation with this key, created for a single participant when missing.
    TConversaChat* ConversaCom(const QString& usuarioId);
    // Adds a message to a conversation, dropping its oldest message when it is full.
    void AdicionaNaConversa(TConversaChat* conv, TMensagemChat* msg);
    // The `LocalId` of the next message composed here: the message count, or past the last one
    // given when messages were dropped meanwhile (an identifier given twice would let one
    // acceptance mark the wrong message as sent).
    QString NovoLocalId();
    QString Dump() const;

private:
    void AbreEspaco();
    qint64 m_ultimoLocalId = -1;
    std::unordered_map<const TMensagemChat*, std::unique_ptr<TMensagemChat>> m_donas;
};
