#include "monitor/TAlertas.h"

#include "base/Clock.h"
#include "model/telephony/TChannel.h"
#include "monitor/TAvisos.h"

#include <algorithm>
#include <limits>

namespace {

double Segundos(double s) {
    return s / kSecondsPerDay;
}

// "93.5" or "93,5"; false for anything else.
bool LePercentual(const QString& texto, double& valor) {
    QString t = texto.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    valor = t.toDouble(&ok);
    return ok && valor >= 0 && valor <= 1000;
}

QString QuemAgente(const TAgente* a) {
    return a->AgentName.isEmpty() ? a->AgentNumber() : a->AgentNumber() + u" - " + a->AgentName;
}

} // namespace

TAlertas::TAlertas(TAvisos& avisos, const TListaFilas& filas, const TListaAgentes& agentes)
    : m_avisos(avisos), m_filas(filas), m_agentes(agentes) {
    Agora = [] { return ServerNow(); };
    m_assinaturas.push_back(
        avisos.Agente.Assina([this](TAgente* a, TAvisoAgente) { AgenteMudou(a); }));
    m_assinaturas.push_back(avisos.Fila.Assina([this](TFila* f) { Marca(f, true); }));
    // A membership change may change the member's agent without a notice of the agent's own
    // (the agents windows listen here too). A removed member is freed right after: read now.
    m_assinaturas.push_back(avisos.Membro.Assina([this](TFila* f, TMembroFila* m, TAvisoFila) {
        Marca(f, true);
        if (m && m->Agent) AgenteMudou(m->Agent);
    }));
}

TAlertas::~TAlertas() = default;

void TAlertas::DefineRegras(std::vector<TRegraAlerta> regras) {
    std::erase_if(regras, [](const TRegraAlerta& r) { return !RegraAlertaValida(r); });
    if (regras.size() > size_t(kMaxRegrasAlerta)) regras.resize(kMaxRegrasAlerta);
    TerminaTodos();
    m_regras = std::move(regras);
    MarcaTudo();
}

void TAlertas::Marca(const void* entidade, bool ehFila) {
    if (entidade) m_marcados.insert(entidade, ehFila);
}

void TAlertas::AgenteMudou(TAgente* agente) {
    if (!agente) return;
    // The state's own start is stamped here, where the change happens: after-call work carries
    // no start of its own, and the tick may come up to a second later.
    TEstado& e = m_estados[agente];
    const AgentState s = agente->GetState(0);
    if (e.Desde == 0 || s != e.UltimoEstado) {
        e.UltimoEstado = s;
        e.Desde = Agora();
    }
    Marca(agente, false);
}

void TAlertas::MarcaTudo() {
    m_filas.ParaCada([this](TFila* f) { Marca(f, true); });
    m_agentes.ParaCada([this](TAgente* a) { Marca(a, false); });
}

void TAlertas::Limpa() {
    TerminaTodos();
    m_estados.clear();
    m_marcados.clear();
    m_prazos.clear();
}

void TAlertas::Avalia(double agora) {
    // Deadlines that passed join the marked ones; each entity is evaluated once per tick.
    while (!m_prazos.empty() && m_prazos.begin()->first <= agora) {
        const void* e = m_prazos.begin()->second;
        m_prazos.erase(m_prazos.begin());
        auto it = m_estados.find(e);
        if (it == m_estados.end()) continue;
        it->Prazo = 0;
        Marca(e, it->EhFila);
    }
    const QHash<const void*, bool> marcados = std::exchange(m_marcados, {});
    for (auto it = marcados.cbegin(); it != marcados.cend(); ++it) {
        TEstado& e = m_estados[it.key()];
        e.EhFila = it.value();
        AvaliaEntidade(it.key(), e, agora);
    }
}

void TAlertas::AvaliaEntidade(const void* entidade, TEstado& estado, double agora) {
    ++m_avaliacoes;
    if (estado.Prazo != 0) {
        m_prazos.erase({estado.Prazo, entidade});
        estado.Prazo = 0;
    }
    const TFila* fila = estado.EhFila ? static_cast<const TFila*>(entidade) : nullptr;
    const TAgente* agente = estado.EhFila ? nullptr : static_cast<const TAgente*>(entidade);
    if (agente && (estado.Desde == 0 || agente->GetState(0) != estado.UltimoEstado)) {
        // Known from the load only, or changed by a path that gave no notice of the agent's
        // own: its state counts from now.
        estado.UltimoEstado = agente->GetState(0);
        estado.Desde = agora;
    }
    const bool permitido =
        fila ? (!PermiteFila || PermiteFila(fila)) : (!PermiteAgente || PermiteAgente(agente));
    std::vector<quint64>* atuais = nullptr;
    if (auto it = m_porEntidade.find(entidade); it != m_porEntidade.end()) atuais = &*it;

    double prazo = std::numeric_limits<double>::max();
    for (int i = 0; i < int(m_regras.size()); ++i) {
        const TRegraAlerta& r = m_regras[size_t(i)];
        if (AlertaDeFila(r.Tipo) != bool(fila)) continue;
        TResultado res;
        if (permitido)
            res = fila ? CondicaoFila(r, fila, agora) : CondicaoAgente(r, agente, estado, agora);
        quint64 existente = 0;
        if (atuais) {
            for (quint64 id : *atuais)
                if (m_alertas.at(id)->IndiceRegra == i) existente = id;
        }
        if (res.Ativa && !existente) {
            Comeca(entidade, i, res.Inicio);
            // Comeca may have created the entity's list.
            if (auto it = m_porEntidade.find(entidade); it != m_porEntidade.end()) atuais = &*it;
        } else if (!res.Ativa && existente) {
            Termina(existente);
            auto it = m_porEntidade.find(entidade);
            atuais = it == m_porEntidade.end() ? nullptr : &*it;
        }
        if (!res.Ativa && res.Prazo > 0) prazo = std::min(prazo, res.Prazo);
    }
    if (prazo != std::numeric_limits<double>::max()) {
        estado.Prazo = prazo;
        m_prazos.insert({prazo, entidade});
    }
}

TAlertas::TResultado TAlertas::CondicaoFila(const TRegraAlerta& r, const TFila* f,
                                            double agora) const {
    TResultado res;
    if (!r.Alvo.isEmpty() && r.Alvo != f->FilaId()) return res;
    switch (r.Tipo) {
    case TTipoAlerta::FilaEsperando:
        res.Ativa = f->WaitingCount() >= r.Limite;
        break;
    case TTipoAlerta::FilaTempoEspera: {
        double maisAntiga = 0;
        for (const TChannel* c : f->QueueCalls()) {
            const TLigacaoFila* l = c->LigacaoFila.get();
            if (l && l->Queued && l->Inicio > 0 && (maisAntiga == 0 || l->Inicio < maisAntiga))
                maisAntiga = l->Inicio;
        }
        if (maisAntiga == 0) break;
        const double cruza = maisAntiga + Segundos(r.Limite);
        if (WholeSecondsBetween(agora, maisAntiga) >= r.Limite) {
            res.Ativa = true;
            res.Inicio = cruza;
        } else {
            res.Prazo = cruza;
        }
        break;
    }
    case TTipoAlerta::FilaNivelServico: {
        // A queue that has not finished a call yet reports 0 %: that is no service level.
        double perf = 0;
        res.Ativa = f->Completed + f->Abandoned > 0 && LePercentual(f->ServiceLevelPerf, perf) &&
                    perf < r.Limite;
        break;
    }
    case TTipoAlerta::FilaSemLivre:
        res.Ativa = f->WaitingCount() > 0 && f->AtendentesLivres() == 0;
        break;
    default:
        break;
    }
    if (res.Ativa && res.Inicio == 0) res.Inicio = agora;
    return res;
}

TAlertas::TResultado TAlertas::CondicaoAgente(const TRegraAlerta& r, const TAgente* a,
                                              const TEstado& e, double agora) const {
    TResultado res;
    const AgentState s = a->GetState(0);
    double inicio = 0;
    int limite = 0;
    switch (r.Tipo) {
    case TTipoAlerta::AgentePausa:
        if (s != AgentState::EmPausa) return res;
        if (!r.Alvo.isEmpty() && r.Alvo != a->Slot(0).FPauseReason.trimmed()) return res;
        inicio = a->Slot(0).FPauseStart;
        limite = r.Limite * 60;
        break;
    case TTipoAlerta::AgenteLigacao:
        if (s != AgentState::Ocupado) return res;
        inicio = a->DurationStart(0);
        limite = r.Limite * 60;
        break;
    case TTipoAlerta::AgentePosAtendimento:
        if (s != AgentState::PosAtendimento) return res;
        limite = r.Limite;
        break;
    default:
        return res;
    }
    // A start the server did not tell (or one in the future) counts from when the state was
    // seen.
    if (inicio <= 0 || inicio > agora) inicio = e.Desde;
    if (inicio <= 0) return res;
    if (WholeSecondsBetween(agora, inicio) >= limite) {
        res.Ativa = true;
        res.Inicio = inicio + Segundos(limite);
    } else {
        res.Prazo = inicio + Segundos(limite);
    }
    return res;
}

void TAlertas::Comeca(const void* entidade, int regra, double inicio) {
    auto a = std::make_unique<TAlerta>();
    a->Id = m_proximoId++;
    a->Regra = m_regras[size_t(regra)];
    a->IndiceRegra = regra;
    a->Inicio = inicio;
    a->Texto = DescreveRegraAlerta(a->Regra);
    if (m_estados.value(entidade).EhFila) {
        a->Fila = const_cast<TFila*>(static_cast<const TFila*>(entidade));
        a->Chave = u"F:" + a->Fila->FilaId();
        a->Quem = a->Fila->QueueCaption();
    } else {
        a->Agente = const_cast<TAgente*>(static_cast<const TAgente*>(entidade));
        a->Chave = u"A:" + a->Agente->Agent();
        a->Quem = QuemAgente(a->Agente);
    }
    a->Chave += u'#' + QString::number(regra);
    const TAlerta* p = a.get();
    m_porEntidade[entidade].push_back(a->Id);
    m_alertas.emplace(a->Id, std::move(a));
    m_avisos.Alerta.Emite(p, TAvisoAlerta::Comecou);
}

void TAlertas::Termina(quint64 id) {
    auto it = m_alertas.find(id);
    if (it == m_alertas.end()) return;
    std::unique_ptr<TAlerta> a = std::move(it->second);
    m_alertas.erase(it);
    const void* entidade = a->Fila ? static_cast<const void*>(a->Fila) : a->Agente;
    if (auto e = m_porEntidade.find(entidade); e != m_porEntidade.end()) {
        std::erase(*e, id);
        if (e->empty()) m_porEntidade.erase(e);
    }
    m_avisos.Alerta.Emite(a.get(), TAvisoAlerta::Terminou);
}

void TAlertas::TerminaTodos() {
    while (!m_alertas.empty())
        Termina(m_alertas.begin()->first);
    // Deadlines belong to the old rules.
    m_prazos.clear();
    for (TEstado& e : m_estados)
        e.Prazo = 0;
}

std::vector<const TAlerta*> TAlertas::Ativos() const {
    std::vector<const TAlerta*> v;
    v.reserve(m_alertas.size());
    for (const auto& [id, a] : m_alertas)
        v.push_back(a.get());
    std::stable_sort(v.begin(), v.end(),
                     [](const TAlerta* x, const TAlerta* y) { return x->Inicio < y->Inicio; });
    return v;
}

std::vector<const TAlerta*> TAlertas::AlertasDe(const void* entidade) const {
    std::vector<const TAlerta*> v;
    for (quint64 id : m_porEntidade.value(entidade))
        v.push_back(m_alertas.at(id).get());
    return v;
}

QString TAlertas::Dump() const {
    QString t;
    for (const TAlerta* a : Ativos())
        t += DateTimeText(a->Inicio) + u" | " + a->Quem + u" | " + a->Texto + u"\r\n";
    return t;
}

// --- Notifications ------------------------------------------------------------------------------

void TLimitadorNotificacoes::Comecou(const TAlerta& alerta, double agora) {
    auto it = m_lembrados.find(alerta.Chave);
    if (it != m_lembrados.end() && agora - *it < kRepeticao) return;
    if (m_lembrados.size() >= kMaxLembrados) {
        // Forget what is too old to matter; if everything is recent, forget everything rather
        // than grow.
        for (auto i = m_lembrados.begin(); i != m_lembrados.end();)
            i = agora - *i >= kRepeticao ? m_lembrados.erase(i) : std::next(i);
        if (m_lembrados.size() >= kMaxLembrados) m_lembrados.clear();
    }
    m_lembrados.insert(alerta.Chave, agora);
    ++m_pendentesTotal;
    if (m_pendentes.size() < 3) m_pendentes.push_back(alerta.Quem + u": " + alerta.Texto);
}

bool TLimitadorNotificacoes::Proxima(double agora, TNotificacao& n) {
    if (m_pendentesTotal == 0 || agora - m_ultima < kJanela) return false;
    if (m_pendentesTotal == 1) {
        n.Titulo = QStringLiteral("Alerta");
        n.Texto = m_pendentes.front();
    } else {
        n.Titulo = QString::number(m_pendentesTotal) + u" novos alertas";
        n.Texto = m_pendentes.join(u'\n');
        if (m_pendentesTotal > int(m_pendentes.size())) n.Texto += u"\n…";
    }
    m_pendentes.clear();
    m_pendentesTotal = 0;
    m_ultima = agora;
    return true;
}
