#include "model/chat/TChat.h"

#include <algorithm>

namespace {
qint64 NumeroId(const QString& id) {
    bool ok = false;
    const qint64 n = id.trimmed().toLongLong(&ok, 10);
    return ok ? n : 0;
}

// Comma text: items separated by commas or blanks, double quotes around an item holding
// either ("" inside quotes is one quote). Empty items name nobody and are dropped.
QStringList SeparaTextoVirgulas(const QString& lista) {
    QStringList itens;
    const qsizetype n = lista.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (lista[i] == u',' || lista[i].unicode() <= u' '))
            ++i;
        if (i >= n) break;
        QString item;
        if (lista[i] == u'"') {
            ++i;
            while (i < n) {
                if (lista[i] == u'"') {
                    if (i + 1 < n && lista[i + 1] == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += lista[i++];
            }
        } else {
            while (i < n && lista[i] != u',' && lista[i].unicode() > u' ')
                item += lista[i++];
        }
        if (!item.isEmpty()) itens << item;
    }
    return itens;
}
} // namespace

QString TextoAvisoChat(TAvisoChat aviso) {
    switch (aviso) {
    case TAvisoChat::Add:
        return QStringLiteral("Add");
    case TAvisoChat::Read:
        return QStringLiteral("Read");
    case TAvisoChat::Sent:
        return QStringLiteral("Sent");
    case TAvisoChat::Update:
        return QStringLiteral("Update");
    case TAvisoChat::Remove:
        return QStringLiteral("Remove");
    }
    return {};
}

// --- Participants -----------------------------------------------------------------------------

QString TUsuarioChat::Dump() const {
    return u"UsuarioId: " + UsuarioId + u"\r\nNome     : " + Nome + u"\r\nTipo     : " + Tipo +
           u"\r\n";
}

TUsuarioChat* TListaUsuariosChat::ProcuraUsuario(const QString& id, const QString& tipos) const {
    const auto it = m_porId.constFind(id);
    if (it == m_porId.cend()) return nullptr;
    for (TUsuarioChat* u : *it) {
        if (tipos.isEmpty()) return u;
        if (!u->Tipo.isEmpty() && tipos.contains(u->Tipo)) return u;
    }
    return nullptr;
}

QString TListaUsuariosChat::NomeUsuario(const QString& id) const {
    const TUsuarioChat* u = ProcuraUsuario(id);
    return u ? u->NomeExibicao() : id;
}

QString TListaUsuariosChat::NomesUsuarios(const QString& lista) const {
    QStringList nomes;
    for (const QString& id : lista.split(u',')) {
        const TUsuarioChat* u = ProcuraUsuario(id, QStringLiteral("ua"));
        nomes << (u ? u->NomeExibicao() : id);
    }
    return nomes.join(u", ");
}

TUsuarioChat* TListaUsuariosChat::Adiciona(std::unique_ptr<TUsuarioChat> u) {
    if (!u || Count() >= kMaxUsuarios) return nullptr;
    TUsuarioChat* p = u.get();
    m_itens.push_back(std::move(u));
    m_porId[p->UsuarioId].push_back(p);
    return p;
}

TUsuarioChat* TListaUsuariosChat::Item(int i) const {
    return i >= 0 && i < Count() ? m_itens[size_t(i)].get() : nullptr;
}

// --- Messages ---------------------------------------------------------------------------------

void TMensagemChat::DefineDestinatarios(const QString& lista) {
    if (lista.isEmpty()) return;
    Leituras.clear();
    To.clear();
    for (const QString& item : SeparaTextoVirgulas(lista)) {
        if (int(Leituras.size()) >= kMaxDestinatarios) break;
        if (!To.isEmpty()) To += u',';
        To += item;
        Leituras.push_back({item, 0});
    }
}

void TMensagemChat::AdicionaDestinatario(const QString& id) {
    for (const TLeituraChat& l : Leituras)
        if (l.UsuarioId == id) return;
    if (int(Leituras.size()) >= kMaxDestinatarios) return;
    if (!To.isEmpty()) To += u',';
    To += id;
    Leituras.push_back({id, 0});
}

void TMensagemChat::MarcaLida(const QString& id, double quando) {
    if (quando > DataLeitura) DataLeitura = quando;
    if (id.isEmpty()) return;
    for (TLeituraChat& l : Leituras) {
        if (l.UsuarioId == id) {
            if (quando > l.Quando) l.Quando = quando;
            return;
        }
    }
}

QString TMensagemChat::Dump() const {
    return u"Id: " + Id + u"\r\nFrom: " + From + u"\r\nTo: " + To + u"\r\nMsg: " + Msg + u"\r\n";
}

void TListaMensagensChat::TIndice::Adiciona(const QString& chave, TMensagemChat* msg) {
    if (chave.isEmpty()) return;
    int& n = Conta[chave];
    if (n++ == 0) Primeiro.insert(chave, msg);
}

void TListaMensagensChat::TIndice::Retira(const QString& chave, TMensagemChat* msg,
                                          const std::vector<TMensagemChat*>& itens, bool porId) {
    if (chave.isEmpty()) return;
    auto c = Conta.find(chave);
    if (c == Conta.end()) return;
    if (--*c <= 0) {
        Conta.erase(c);
        Primeiro.remove(chave);
        return;
    }
    if (Primeiro.value(chave) != msg) return;
    for (TMensagemChat* m : itens) {
        if (m != msg && (porId ? m->Id : m->LocalId) == chave) {
            Primeiro.insert(chave, m);
            return;
        }
    }
    Primeiro.remove(chave);
}

void TListaMensagensChat::Indexa(TMensagemChat* msg) {
    m_contidas.insert(msg);
    m_porId.Adiciona(msg->Id, msg);
    m_porLocalId.Adiciona(msg->LocalId, msg);
}

void TListaMensagensChat::Desindexa(TMensagemChat* msg) {
    m_contidas.remove(msg);
    m_porId.Retira(msg->Id, msg, m_itens, true);
    m_porLocalId.Retira(msg->LocalId, msg, m_itens, false);
}

int TListaMensagensChat::AdicionaOrdenado(TMensagemChat* msg) {
    size_t pos = m_itens.size();
    const qint64 proprio = NumeroId(msg->Id);
    // Ids mostly arrive in increasing order: when no number ever placed here is greater (the
    // list itself is not sorted: empty and late ids), the message is appended without a scan.
    if (!msg->Id.isEmpty() && proprio < m_maiorNumero) {
        const auto it = std::find_if(m_numeros.cbegin(), m_numeros.cend(),
                                     [proprio](qint64 n) { return n > proprio; });
        pos = size_t(it - m_numeros.cbegin());
    }
    m_itens.insert(m_itens.begin() + qsizetype(pos), msg);
    m_numeros.insert(m_numeros.begin() + qsizetype(pos), proprio);
    m_maiorNumero = std::max(m_maiorNumero, proprio);
    Indexa(msg);
    return int(pos);
}

TMensagemChat* TListaMensagensChat::ProcuraPorId(const QString& id) const {
    return id.isEmpty() ? nullptr : m_porId.Primeiro.value(id, nullptr);
}

TMensagemChat* TListaMensagensChat::ProcuraPorLocalId(const QString& localId) const {
    return localId.isEmpty() ? nullptr : m_porLocalId.Primeiro.value(localId, nullptr);
}

int TListaMensagensChat::IndiceDe(const TMensagemChat* msg) const {
    if (!Contem(msg)) return -1;
    const auto it = std::find(m_itens.cbegin(), m_itens.cend(), msg);
    return int(it - m_itens.cbegin());
}

TMensagemChat* TListaMensagensChat::Item(int i) const {
    return i >= 0 && i < Count() ? m_itens[size_t(i)] : nullptr;
}

void TListaMensagensChat::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    TMensagemChat* msg = m_itens[size_t(i)];
    m_itens.erase(m_itens.begin() + i);
    m_numeros.erase(m_numeros.begin() + i);
    Desindexa(msg);
}

void TListaMensagensChat::ReindexaId(TMensagemChat* msg, const QString& anterior) {
    if (!Contem(msg)) return;
    m_porId.Retira(anterior, msg, m_itens, true);
    m_porId.Adiciona(msg->Id, msg);
    const int i = IndiceDe(msg);
    if (i < 0) return;
    m_numeros[size_t(i)] = NumeroId(msg->Id);
    m_maiorNumero = std::max(m_maiorNumero, m_numeros[size_t(i)]);
}

QString TListaMensagensChat::Dump() const {
    QString t;
    for (const TMensagemChat* m : m_itens)
        t += m->Dump();
    return t;
}

// --- Conversations ----------------------------------------------------------------------------

void TConversaChat::DefineUsuarios(const QString& lista) {
    Usuarios.clear();
    for (const QString& id : lista.split(u',')) {
        if (Usuarios.size() >= kMaxUsuarios) break;
        Usuarios << id;
    }
}

void TConversaChat::AdicionaUsuario(const QString& id) {
    if (TemUsuario(id) || Usuarios.size() >= kMaxUsuarios) return;
    Usuarios << id;
    Avisa(nullptr, TAvisoChat::Update);
}

void TConversaChat::RemoveUsuario(const QString& id) {
    if (!Usuarios.removeOne(id)) return;
    Avisa(nullptr, TAvisoChat::Update);
}

int TConversaChat::ContaNaoLidas(const QString& id) const {
    int n = 0;
    for (int i = 0; i < Mensagens.Count(); ++i) {
        const TMensagemChat* m = Mensagens.Item(i);
        if (m->DataLeitura != 0) continue;
        if (id.isEmpty() ? m->To == UsuarioLocal : m->From == id) ++n;
    }
    return n;
}

QString TConversaChat::Dump() const {
    return u"ConversaId: " + ConversaId + u"\r\nConversaNome: " + ConversaNome +
           u"\r\nUsuarioLocal: " + UsuarioLocal + u"\r\nUsuarios    : " + UsuariosTexto() +
           u"\r\nUsuCount    : " + QString::number(UsuCount()) + u"\r\nMsgCount    : " +
           QString::number(Mensagens.Count()) + u"\r\n";
}

TConversaChat* TListaConversaChat::Adiciona(std::unique_ptr<TConversaChat> conv) {
    if (!conv || Count() >= kMaxConversas || m_porId.contains(conv->ConversaId)) return nullptr;
    TConversaChat* c = conv.get();
    m_itens.push_back(std::move(conv));
    m_porId.insert(c->ConversaId, c);
    c->OnEvent = [this](TConversaChat* cv, TMensagemChat* m, TAvisoChat a) { Avisa(cv, m, a); };
    Avisa(c, nullptr, TAvisoChat::Add);
    return c;
}

TConversaChat* TListaConversaChat::Item(int i) const {
    return i >= 0 && i < Count() ? m_itens[size_t(i)].get() : nullptr;
}

void TListaConversaChat::NovaMensagem(TMensagemChat* msg) {
    // By index: a listener may open a conversation meanwhile (appended, visited as well).
    for (size_t i = 0; i < m_itens.size(); ++i) {
        TConversaChat* c = m_itens[i].get();
        if (!c->TemUsuario(msg->From)) continue;
        if (!c->Mensagens.Contem(msg)) {
            c->AdicionaMensagem(msg);
            Avisa(c, msg, TAvisoChat::Add);
        } else {
            Avisa(c, msg, TAvisoChat::Read);
        }
    }
}

void TListaConversaChat::MensagemLida(TMensagemChat* msg) {
    for (size_t i = 0; i < m_itens.size(); ++i) {
        TConversaChat* c = m_itens[i].get();
        if (!c->Mensagens.Contem(msg)) continue;
        if (c->UsuarioLocal == msg->To && c->NaoLidas > 0) --c->NaoLidas;
        Avisa(c, msg, TAvisoChat::Read);
    }
}

void TListaConversaChat::MensagemEnviada(TMensagemChat* msg) {
    for (size_t i = 0; i < m_itens.size(); ++i) {
        TConversaChat* c = m_itens[i].get();
        if (c->Mensagens.Contem(msg)) Avisa(c, msg, TAvisoChat::Sent);
    }
}

int TListaConversaChat::TotalNaoLidas(const QString& id) const {
    int total = 0;
    for (const auto& c : m_itens) {
        const int n = c->ContaNaoLidas(id);
        if (n > 0) total += id.isEmpty() ? 1 : n;
    }
    return total;
}

int TListaConversaChat::TotalNaoLidasServidor(const QString& chave) const {
    int total = 0;
    for (const auto& c : m_itens) {
        const int n = c->NaoLidasServidor(chave);
        if (n > 0) total += chave.isEmpty() ? 1 : n;
    }
    return total;
}

void TListaConversaChat::Esquece(TMensagemChat* msg) {
    for (size_t i = 0; i < m_itens.size(); ++i) {
        TConversaChat* c = m_itens[i].get();
        const int pos = c->Mensagens.IndiceDe(msg);
        if (pos < 0) continue;
        c->Mensagens.Delete(pos);
        Avisa(c, msg, TAvisoChat::Remove);
    }
}

// --- The chat ---------------------------------------------------------------------------------

TChat::TChat(QString usuarioLocal) : UsuarioLocal(std::move(usuarioLocal)) {
    ListaDeConversas.OnEvent = [this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
        if (OnEvent) OnEvent(c, m, a);
    };
}

TChat::~TChat() {
    // No notice while tearing down: the subscriber may be gone already.
    OnEvent = nullptr;
    ListaDeConversas.OnEvent = nullptr;
}

void TChat::AbreEspaco() {
    while (int(m_donas.size()) >= kMaxMensagens && ListaDeMensagens.Count() > 0) {
        TMensagemChat* velha = ListaDeMensagens.Item(0);
        ListaDeConversas.Esquece(velha);
        ListaDeMensagens.Delete(0);
        m_donas.erase(velha);
    }
}

TMensagemChat* TChat::Guarda(std::unique_ptr<TMensagemChat> msg) {
    if (!msg) return nullptr;
    AbreEspaco();
    TMensagemChat* m = msg.get();
    m_donas.emplace(m, std::move(msg));
    ListaDeMensagens.AdicionaOrdenado(m);
    return m;
}

TMensagemChat* TChat::AdicionaMensagem(std::unique_ptr<TMensagemChat> msg) {
    TMensagemChat* m = Guarda(std::move(msg));
    if (m) AdicionaMensagem(m);
    return m;
}

void TChat::AdicionaMensagem(TMensagemChat* msg) {
    if (!msg || !m_donas.count(msg)) return;
    if (!ListaDeMensagens.Contem(msg)) ListaDeMensagens.AdicionaOrdenado(msg);
    if (msg->To != UsuarioLocal) return;
    ConversaCom(msg->From);
    // Conversations that just filled up see the message through NovaMensagem below, after
    // room was made in them.
    for (int i = 0; i < ListaDeConversas.Count(); ++i) {
        TConversaChat* c = ListaDeConversas.Item(i);
        if (c->TemUsuario(msg->From) && !c->Mensagens.Contem(msg) &&
            c->Mensagens.Count() >= kMaxMensagensConversa) {
            TMensagemChat* velha = c->Mensagens.Item(0);
            c->Mensagens.Delete(0);
            if (c->OnEvent) c->OnEvent(c, velha, TAvisoChat::Remove);
        }
    }
    ListaDeConversas.NovaMensagem(msg);
}

void TChat::AdicionaNaConversa(TConversaChat* conv, TMensagemChat* msg) {
    if (!conv || !msg || conv->Mensagens.Contem(msg)) return;
    if (conv->Mensagens.Count() >= kMaxMensagensConversa) {
        TMensagemChat* velha = conv->Mensagens.Item(0);
        conv->Mensagens.Delete(0);
        if (conv->OnEvent) conv->OnEvent(conv, velha, TAvisoChat::Remove);
    }
    conv->AdicionaMensagem(msg);
}

void TChat::DefineId(TMensagemChat* msg, const QString& id) {
    if (!msg || msg->Id == id) return;
    const QString anterior = msg->Id;
    msg->Id = id;
    ListaDeMensagens.ReindexaId(msg, anterior);
    for (int i = 0; i < ListaDeConversas.Count(); ++i)
        ListaDeConversas.Item(i)->Mensagens.ReindexaId(msg, anterior);
}

TConversaChat* TChat::ConversaCom(const QString& usuarioId) {
    if (TConversaChat* c = ListaDeConversas.ProcuraPorId(usuarioId)) return c;
    auto c = std::make_unique<TConversaChat>(UsuarioLocal);
    c->Usuarios << usuarioId;
    c->ConversaId = usuarioId;
    c->ConversaNome = ListaDeUsuarios.NomeUsuario(usuarioId);
    return ListaDeConversas.Adiciona(std::move(c));
}

QString TChat::NovoLocalId() {
    m_ultimoLocalId = std::max<qint64>(ListaDeMensagens.Count(), m_ultimoLocalId + 1);
    return QString::number(m_ultimoLocalId);
}

QString TChat::Dump() const {
    QString t = u"Chat.ListaDeUsuarios.Count : " + QString::number(ListaDeUsuarios.Count()) +
                u"\r\nChat.ListaDeConversas.Count: " + QString::number(ListaDeConversas.Count()) +
                u"\r\nChat.ListaDeMensagens.Count: " + QString::number(ListaDeMensagens.Count()) +
                u"\r\n";
    t += ListaDeMensagens.Dump();
    for (int i = 0; i < ListaDeConversas.Count(); ++i) {
        const TConversaChat* c = ListaDeConversas.Item(i);
        t += c->Dump();
        t += c->Mensagens.Dump();
    }
    for (int i = 0; i < ListaDeUsuarios.Count(); ++i)
        t += ListaDeUsuarios.Item(i)->Dump();
    return t;
}
