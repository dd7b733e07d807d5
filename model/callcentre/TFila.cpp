#include "model/callcentre/TFila.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TTodosOsPassos.h"

#include <algorithm>

namespace {

constexpr TAvisoFila kMemberAdded = TAvisoFila::MemberAdded;
constexpr TAvisoFila kMemberRemoved = TAvisoFila::MemberRemoved;
constexpr TAvisoFila kMemberUpdated = TAvisoFila::MemberUpdated;
constexpr TAvisoFila kMemberPaused = TAvisoFila::MemberPaused;
constexpr TAvisoFila kCallAdded = TAvisoFila::CallAdded;
constexpr TAvisoFila kCallRemoved = TAvisoFila::CallRemoved;
constexpr TAvisoFila kCallUpdated = TAvisoFila::CallUpdated;

// Files a queue in a bucket kept in list order.
void Insere(std::vector<TFila*>& bucket, TFila* f) {
    auto pos =
        std::lower_bound(bucket.begin(), bucket.end(), f,
                         [](const TFila* x, const TFila* y) { return x->Indice() < y->Indice(); });
    if (pos == bucket.end() || *pos != f) bucket.insert(pos, f);
}

template <typename K> void Retira(QHash<K, std::vector<TFila*>>& mapa, const K& chave, TFila* f) {
    auto it = mapa.find(chave);
    if (it == mapa.end()) return;
    auto pos = std::find(it.value().begin(), it.value().end(), f);
    if (pos != it.value().end()) it.value().erase(pos);
    if (it.value().empty()) mapa.erase(it);
}

template <typename K>
const std::vector<TFila*>& Bucket(const QHash<K, std::vector<TFila*>>& mapa, const K& chave) {
    static const std::vector<TFila*> vazio;
    auto it = mapa.constFind(chave);
    return it == mapa.cend() ? vazio : it.value();
}

} // namespace

// --- TListaMembrosFila -----------------------------------------------------------------------

TMembroFila* TListaMembrosFila::Adiciona(std::unique_ptr<TMembroFila> membro) {
    TMembroFila* m = m_itens.Adiciona(std::move(membro));
    if (!m_porNome.contains(m->Member)) m_porNome.insert(m->Member, m);
    return m;
}

std::unique_ptr<TMembroFila> TListaMembrosFila::Retira(TMembroFila* membro) {
    std::unique_ptr<TMembroFila> fora = m_itens.Retira(membro);
    if (!fora) return nullptr;
    if (m_porNome.value(fora->Member, nullptr) == membro) {
        m_porNome.remove(fora->Member);
        // Another member under the same name (never made by AddMember) takes the name over.
        if (TMembroFila* outro =
                m_itens.Primeiro([&](const TMembroFila* o) { return o->Member == fora->Member; }))
            m_porNome.insert(outro->Member, outro);
    }
    return fora;
}

void TListaMembrosFila::Limpa() {
    m_porNome.clear();
    m_itens.Limpa();
}

// --- TFila -----------------------------------------------------------------------------------

TFila::TFila(const QString& filaId) : m_filaId(filaId) {}

// The channels may already be gone (the channel list is emptied first at a disconnection): they
// are not touched here.
TFila::~TFila() = default;

TMembroFila* TFila::AddMember(TAgente* agente) {
    if (!agente) return nullptr;
    if (TMembroFila* m = Members.Procura(agente->Agent())) return m;
    auto novo = std::make_unique<TMembroFila>();
    novo->Member = agente->Agent();
    novo->Agent = agente;
    novo->OnChange = [this](TMembroFila* m, TAvisoFila aviso) { Notify(aviso, m); };
    TMembroFila* m = Members.Adiciona(std::move(novo));
    if (m_lista) m_lista->MembroEntrou(this, m->Member);
    m->OnChange(m, kMemberAdded);
    return m;
}

bool TFila::RemoveMember(const QString& name) {
    TMembroFila* m = Members.Procura(name);
    if (!m) return false;
    const std::unique_ptr<TMembroFila> fora = Members.Retira(m);
    if (m_lista && !Members.Procura(name)) m_lista->MembroSaiu(this, name);
    // Announced before it is freed: the windows still read it.
    if (fora->OnChange) fora->OnChange(fora.get(), kMemberRemoved);
    return true;
}

void TFila::MemberUpdated(const QString& name) {
    if (TMembroFila* m = Members.Procura(name); m && m->OnChange) m->OnChange(m, kMemberUpdated);
}

void TFila::SetMemberPaused(const QString& name, bool paused, double pauseStart,
                            const QString& reason) {
    TMembroFila* m = Members.Procura(name);
    if (!m) return;
    m->Paused = paused;
    if (paused) {
        m->PauseReason = reason;
        m->PauseStart = pauseStart;
    } else {
        m->PauseReason.clear();
        m->PauseStart = 0;
    }
    if (m->OnChange) m->OnChange(m, kMemberPaused);
}

int TFila::AtendentesOnLine() const {
    int n = 0;
    for (int i = 0; i < Members.Count(); ++i)
        if (Members.Item(i)->Status != 5) ++n;
    return n;
}

int TFila::AtendentesOcupados() const {
    int n = 0;
    for (int i = 0; i < Members.Count(); ++i) {
        const qint32 s = Members.Item(i)->Status;
        if (s == 3 || s == 6 || s == 7) ++n;
    }
    return n;
}

int TFila::AtendentesLivres() const {
    int n = 0;
    for (int i = 0; i < Members.Count(); ++i) {
        const TMembroFila* m = Members.Item(i);
        if (m->Status == 1 && !m->Paused) ++n;
    }
    return n;
}

int TFila::AtendentesPausados() const {
    int n = 0;
    for (int i = 0; i < Members.Count(); ++i) {
        const TMembroFila* m = Members.Item(i);
        if (m->Status == 1 && m->Paused) ++n;
    }
    return n;
}

bool TFila::HasCall(const TChannel* canal) const {
    return canal && std::find(m_calls.begin(), m_calls.end(), canal) != m_calls.end();
}

int TFila::WaitingCount() const {
    int n = 0;
    for (const TChannel* c : m_calls)
        if (c->LigacaoFila && c->LigacaoFila->Queued) ++n;
    return n;
}

int TFila::AnsweringCount() const {
    int n = 0;
    for (const TChannel* c : m_calls) {
        const TLigacaoFila* f = c->LigacaoFila.get();
        if (f && f->DataAgente && f->Atendimento > 0) ++n;
    }
    return n;
}

void TFila::Renumera() {
    qint32 posicao = 0;
    for (TChannel* c : m_calls) {
        ++posicao;
        if (c->LigacaoFila) c->LigacaoFila->PosicaoAtual = posicao;
    }
}

void TFila::InsereChamada(TChannel* canal, size_t pos) {
    m_calls.insert(m_calls.begin() + qsizetype(std::min(pos, m_calls.size())), canal);
    if (m_lista) m_lista->CanalEntrou(this, canal);
    // Every call behind the new one moved one place back.
    Renumera();
    Notify(kCallAdded, nullptr, canal);
}

void TFila::AddCall(TChannel* canal, qint32 position) {
    if (!canal) return;
    if (!canal->LigacaoFila) {
        canal->LigacaoFila = std::make_unique<TLigacaoFila>();
        canal->LigacaoFila->Inicio = ServerNow();
        canal->LigacaoFila->Chamando = 0;
    }
    TLigacaoFila& f = *canal->LigacaoFila;
    if (position > 0 && f.PosicaoInicial == 0) f.PosicaoInicial = position;
    f.Queued = true;
    f.DataFila = this;
    if (HasCall(canal)) return;
    // A position beyond the callers waiting (or none at all) puts the call at the end.
    size_t pos = m_calls.size();
    if (position >= 1 && position <= WaitingCount()) pos = size_t(position - 1);
    InsereChamada(canal, pos);
}

void TFila::AddCallDesde(TChannel* canal, double inicio) {
    if (!canal) return;
    if (!canal->LigacaoFila) canal->LigacaoFila = std::make_unique<TLigacaoFila>();
    TLigacaoFila& f = *canal->LigacaoFila;
    f.Inicio = inicio;
    f.Queued = true;
    f.DataFila = this;
    if (HasCall(canal)) return;
    // Behind every call that entered at the same moment or earlier; a call without its moment
    // goes to the end.
    size_t pos = m_calls.size();
    if (inicio > 0) {
        while (pos > 0) {
            const TLigacaoFila* antes = m_calls[pos - 1]->LigacaoFila.get();
            if (!antes || antes->Inicio <= inicio) break;
            --pos;
        }
    }
    InsereChamada(canal, pos);
}

bool TFila::PosicionaChamada(TChannel* canal, qint32 position) {
    if (!canal || !canal->LigacaoFila || !canal->LigacaoFila->Queued || position < 1) return false;
    auto atual = std::find(m_calls.begin(), m_calls.end(), canal);
    if (atual == m_calls.end()) return false;
    std::vector<TChannel*> resto(m_calls.begin(), atual);
    resto.insert(resto.end(), atual + 1, m_calls.end());
    // Before the call that is waiting in that place now; right behind the last waiting call
    // when fewer wait (the calls being answered keep their places).
    const size_t antes = size_t(atual - m_calls.begin());
    size_t pos = antes;
    bool achou = false;
    qint32 aguardando = 0;
    for (size_t i = 0; i < resto.size(); ++i) {
        const TLigacaoFila* f = resto[i]->LigacaoFila.get();
        if (!f || !f->Queued) continue;
        if (++aguardando == position) {
            pos = i;
            achou = true;
            break;
        }
        pos = i + 1;
    }
    if (!achou && aguardando == 0) pos = antes;
    if (pos == antes) return false;
    resto.insert(resto.begin() + qsizetype(pos), canal);
    m_calls.swap(resto);
    Renumera();
    Notify(kCallAdded, nullptr, canal);
    return true;
}

void TFila::RemoveCall(TChannel* canal) {
    auto pos = std::find(m_calls.begin(), m_calls.end(), canal);
    if (pos == m_calls.end()) return;
    canal->LigacaoFila.reset();
    m_calls.erase(pos);
    if (m_lista) m_lista->CanalSaiu(this, canal);
    Renumera();
    Notify(kCallRemoved, nullptr, canal);
}

void TFila::CallLeftQueue(TChannel* canal) {
    if (!canal || !canal->LigacaoFila || !HasCall(canal)) return;
    canal->LigacaoFila->Queued = false;
    Notify(kCallRemoved, nullptr, canal);
}

QString TFila::QueueCaption() const {
    QString t = u"Fila " + m_filaId;
    if (!Nome.isEmpty() && Nome != m_filaId) t += u" (" + Nome + u")";
    return t;
}

QString TFila::QueueShortText() const {
    QString t = m_filaId;
    if (!Nome.isEmpty() && Nome != m_filaId) t += u" - " + Nome;
    return t;
}

void TFila::Notify(TAvisoFila aviso, TMembroFila* membro, TChannel* canal) {
    if (OnQueueEvent) OnQueueEvent(this, membro, canal, aviso);
}

QString TFila::Dump() const {
    QString t;
    t += u"Fila: " + m_filaId + u"\r\n";
    t += u"Nome: " + Nome + u"\r\n";
    t += u"AtendentesOnLine  : " + QString::number(AtendentesOnLine()) + u"\r\n";
    t += u"AtendentesOcupados: " + QString::number(AtendentesOcupados()) + u"\r\n";
    t += u"AtendentesLivres  : " + QString::number(AtendentesLivres()) + u"\r\n";
    t += u"AtendentesPausados: " + QString::number(AtendentesPausados()) + u"\r\n";
    t += u"Membros: " + QString::number(Members.Count()) + u"\r\n";
    for (int i = 0; i < Members.Count(); ++i) {
        const TMembroFila* m = Members.Item(i);
        t += u"Member  : " + m->Member + u"\r\n";
        t += u"Location: " + m->Location + u"\r\n";
        t += u"Agent: " + (m->Agent ? m->Agent->Agent() : QStringLiteral("nil")) + u"\r\n";
    }
    t += u"Calls: " + QString::number(Calls) + u"\r\n";
    t += u"Channels: " + QString::number(m_calls.size()) + u"\r\n";
    for (const TChannel* c : m_calls)
        t += c->Descreve();
    for (int i = 0; i < CallReasons.Count(); ++i) {
        const TKQCallReason* r = CallReasons.Item(i);
        t += u"Motivo: " + r->Name + u" (" + QString::number(r->Count) + u")\r\n";
        for (int j = 0; j < r->SubReasons.Count(); ++j) {
            const TKQCallSubReason* s = r->SubReasons.Item(j);
            t += u"SubMotivo: " + s->Name + u" (" + QString::number(s->Count) + u")\r\n";
        }
    }
    return t;
}

// --- TListaFilas -----------------------------------------------------------------------------

int TFila::Indice() const {
    return m_lista ? m_lista->IndiceDe(this) : -1;
}

TListaFilas::~TListaFilas() {
    Limpa();
}

TFila* TListaFilas::Adiciona(std::unique_ptr<TFila> fila) {
    if (!fila || fila->m_lista) return nullptr;
    TFila* f = m_itens.Adiciona(std::move(fila));
    f->m_lista = this;
    if (!m_porId.contains(f->FilaId())) m_porId.insert(f->FilaId(), f);
    for (TChannel* c : f->m_calls)
        CanalEntrou(f, c);
    for (int i = 0; i < f->Members.Count(); ++i)
        MembroEntrou(f, f->Members.Item(i)->Member);
    return f;
}

TFila* TListaFilas::Procura(const QString& filaId) const {
    if (filaId.isEmpty()) return nullptr;
    return m_porId.value(filaId, nullptr);
}

void TListaFilas::Limpa() {
    m_porId.clear();
    m_porCanal.clear();
    m_porMembro.clear();
    m_itens.ParaCada([](TFila* f) { f->m_lista = nullptr; });
    m_itens.Limpa();
}

void TListaFilas::QueueChannelRemoved(TChannel* canal) {
    if (!canal) return;
    const std::vector<TFila*> filas = FilasDoCanal(canal);
    ParaTodos(filas, [canal](TFila* f) { f->RemoveCall(canal); });
}

void TListaFilas::QueueChannelUpdated(TChannel* canal) {
    if (!canal) return;
    const std::vector<TFila*> filas = FilasDoCanal(canal);
    for (TFila* f : filas)
        f->Notify(kCallUpdated, nullptr, canal);
}

const std::vector<TFila*>& TListaFilas::FilasDoCanal(const TChannel* canal) const {
    return Bucket(m_porCanal, canal);
}

const std::vector<TFila*>& TListaFilas::FilasDoMembro(const QString& member) const {
    return Bucket(m_porMembro, member);
}

QString TListaFilas::QueuesOfAgent(const TAgente* agente, int slot) const {
    if (!agente) return {};
    QString nomes;
    // Voice queues on the telephony slot, chat queues on the chat slot; a queue of any other
    // type is neither and is listed on none.
    const QStringView tipo = slot == 0 ? u"v" : slot == 1 ? u"c" : QStringView();
    if (tipo.isEmpty()) return {};
    for (const TFila* f : FilasDoMembro(agente->Agent())) {
        if (f->Tipo != tipo) continue;
        if (!nomes.isEmpty()) nomes += u", ";
        nomes += f->Nome;
    }
    return nomes;
}

void TListaFilas::CanalEntrou(TFila* fila, TChannel* canal) {
    Insere(m_porCanal[canal], fila);
}

void TListaFilas::CanalSaiu(TFila* fila, TChannel* canal) {
    Retira<const TChannel*>(m_porCanal, canal, fila);
}

void TListaFilas::MembroEntrou(TFila* fila, const QString& member) {
    Insere(m_porMembro[member], fila);
}

void TListaFilas::MembroSaiu(TFila* fila, const QString& member) {
    Retira(m_porMembro, member, fila);
}

QString TextoAviso(TAvisoFila aviso) {
    switch (aviso) {
    case TAvisoFila::MemberAdded:
        return QStringLiteral("MemberAdded");
    case TAvisoFila::MemberRemoved:
        return QStringLiteral("MemberRemoved");
    case TAvisoFila::MemberUpdated:
        return QStringLiteral("MemberUpdated");
    case TAvisoFila::MemberPaused:
        return QStringLiteral("MemberPaused");
    case TAvisoFila::CallAdded:
        return QStringLiteral("CallAdded");
    case TAvisoFila::CallRemoved:
        return QStringLiteral("CallRemoved");
    case TAvisoFila::CallUpdated:
        return QStringLiteral("CallUpdated");
    case TAvisoFila::Fila:
        break;
    }
    return QStringLiteral("Fila");
}
