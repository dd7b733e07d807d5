#include "model/callcentre/TCampanha.h"

#include "base/Clock.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TTodosOsPassos.h"

#include <algorithm>

namespace {

constexpr TAvisoCampanha kCallAdded = TAvisoCampanha::CallAdded;
constexpr TAvisoCampanha kCallRemoved = TAvisoCampanha::CallRemoved;
constexpr TAvisoCampanha kCallUpdated = TAvisoCampanha::CallUpdated;
constexpr TAvisoCampanha kFila = TAvisoCampanha::Fila;

// A dialer call not yet with an agent: outside any queue, or in one without an agent that has
// answered it.
bool Aguardando(const TChannel* c) {
    const TLigacaoFila* f = c->LigacaoFila.get();
    return !f || !f->DataAgente || f->Atendimento <= 0;
}

} // namespace

// --- TCampanha -------------------------------------------------------------------------------

TCampanha::TCampanha(const QString& campanhaId) : m_campanhaId(campanhaId) {}

TCampanha::~TCampanha() {
    SoltaChamadas();
}

const std::array<TCampanha::TContador, 16>& TCampanha::Contadores() {
    static const std::array<TContador, 16> contadores = {{
        {u"CliTotal", &TCampanha::CliTotal},
        {u"CliDisponiveis", &TCampanha::CliDisponiveis},
        {u"CliDiscados", &TCampanha::CliDiscados},
        {u"CliEncaminhadosFila", &TCampanha::CliEncaminhadosFila},
        {u"CliAtendidosFila", &TCampanha::CliAtendidosFila},
        {u"CliAgendados", &TCampanha::CliAgendados},
        {u"TelTotal", &TCampanha::TelTotal},
        {u"TelDisponiveis", &TCampanha::TelDisponiveis},
        {u"TelTentativasExcedidas", &TCampanha::TelTentativasExcedidas},
        {u"TelAgendados", &TCampanha::TelAgendados},
        {u"TelDesativados", &TCampanha::TelDesativados},
        {u"ChIniciadas", &TCampanha::ChIniciadas},
        {u"ChEncaminhadasFila", &TCampanha::ChEncaminhadasFila},
        {u"ChAtendidasFila", &TCampanha::ChAtendidasFila},
        {u"ChOcupadas", &TCampanha::ChOcupadas},
        {u"ChNaoAtendidas", &TCampanha::ChNaoAtendidas},
    }};
    return contadores;
}

bool TCampanha::DefineResumo(QStringView nome, qint32 valor) {
    for (const TContador& c : Contadores())
        if (c.Nome == nome) {
            this->*c.Campo = valor;
            return true;
        }
    return false;
}

qint32 TCampanha::Resumo(QStringView nome) const {
    for (const TContador& c : Contadores())
        if (c.Nome == nome) return this->*c.Campo;
    return 0;
}

void TCampanha::ZeraResumo() {
    for (const TContador& c : Contadores())
        this->*c.Campo = 0;
}

QString TCampanha::Titulo() const {
    QString t = u"Campanha " + m_campanhaId;
    if (!Nome.isEmpty()) t += u" - " + Nome;
    if (PtrFila) {
        t += u" (Fila " + PtrFila->FilaId();
        if (!PtrFila->Nome.isEmpty() && PtrFila->Nome != PtrFila->FilaId())
            t += u" - " + PtrFila->Nome;
        t += u')';
    }
    return t;
}

void TCampanha::DefineFila(TFila* fila) {
    PtrFila = fila;
    Notifica(kFila);
}

void TCampanha::AdicionaChamada(TChannel* canal) {
    if (!canal) return;
    if (!canal->LigacaoDiscador) {
        canal->LigacaoDiscador = std::make_unique<TLigacaoDiscador>();
        canal->LigacaoDiscador->Inicio = ServerNow();
    }
    // A channel is the call of one campaign, the one its dialer data names: another campaign
    // still holding it lets go first (the dialer data stays with the call).
    TCampanha* anterior = canal->LigacaoDiscador->PtrCampanha;
    canal->LigacaoDiscador->PtrCampanha = this;
    if (anterior && anterior != this && anterior->Retira(canal))
        anterior->Notifica(kCallRemoved, canal);
    if (TemChamada(canal)) return;
    m_chamadas.push_back(canal);
    m_indice.insert(canal, true);
    if (m_lista) m_lista->CanalEntrou(this, canal);
    Notifica(kCallAdded, canal);
}

bool TCampanha::Retira(TChannel* canal) {
    if (!TemChamada(canal)) return false;
    m_indice.remove(canal);
    m_chamadas.erase(std::find(m_chamadas.begin(), m_chamadas.end(), canal));
    if (m_lista) m_lista->CanalSaiu(this, canal);
    return true;
}

void TCampanha::RemoveChamada(TChannel* canal) {
    if (!Retira(canal)) return;
    canal->LigacaoDiscador.reset();
    Notifica(kCallRemoved, canal);
}

void TCampanha::ChamadaAtualizada(TChannel* canal) {
    Notifica(kCallUpdated, canal);
}

void TCampanha::SoltaChamadas() {
    std::vector<TChannel*> chamadas;
    chamadas.swap(m_chamadas);
    m_indice.clear();
    for (TChannel* c : chamadas) {
        if (m_lista) m_lista->CanalSaiu(this, c);
        // Dialer data another campaign took over is that campaign's business.
        if (c->LigacaoDiscador && c->LigacaoDiscador->PtrCampanha == this)
            c->LigacaoDiscador.reset();
    }
}

int TCampanha::ContaAguardando() const {
    return int(std::count_if(m_chamadas.begin(), m_chamadas.end(), [](const TChannel* c) {
        return c->LigacaoDiscador && Aguardando(c);
    }));
}

int TCampanha::ContaEmAtendimento() const {
    return int(std::count_if(m_chamadas.begin(), m_chamadas.end(), [](const TChannel* c) {
        return c->LigacaoDiscador && !Aguardando(c);
    }));
}

void TCampanha::Notifica(TAvisoCampanha aviso, TChannel* canal) {
    if (OnCampanhaEvent) OnCampanhaEvent(this, canal, aviso);
}

QString TCampanha::Dump() const {
    QString t;
    t += u"Campanha: " + m_campanhaId + u"\r\n";
    t += u"Nome: " + Nome + u"\r\n";
    t += u"Ativa: " + QString::number(Ativa) + u"\r\n";
    t += u"IdFila: " + IdFila + u"\r\n";
    t += u"Nome: " + Nome + u"\r\n";
    t += PtrFila ? u"PtrFila <> nil. Fila " + PtrFila->Nome + u"\r\n"
                 : QStringLiteral("PtrFila = nil\r\n");
    t += u"Titulo: " + Titulo() + u"\r\n";
    t += u"Channels: " + QString::number(m_chamadas.size()) + u"\r\n";
    for (const TChannel* c : m_chamadas)
        t += c->Descreve();
    // CliAgendados has no line of its own.
    const std::pair<QStringView, qint32> linhas[] = {
        {u"Res CliTotal            : ", CliTotal},
        {u"Res CliDisponiveis      : ", CliDisponiveis},
        {u"Res CliDiscados         : ", CliDiscados},
        {u"Res CliEncaminhadosFila : ", CliEncaminhadosFila},
        {u"Res CliAtendidosFila    : ", CliAtendidosFila},
        {u"Res TelTotal              : ", TelTotal},
        {u"Res TelDisponiveis        : ", TelDisponiveis},
        {u"Res TelTentativasExcedidas: ", TelTentativasExcedidas},
        {u"Res TelAgendados          : ", TelAgendados},
        {u"Res TelDesativados        : ", TelDesativados},
        {u"Res ChIniciadas       : ", ChIniciadas},
        {u"Res ChEncaminhadasFila: ", ChEncaminhadasFila},
        {u"Res ChAtendidasFila   : ", ChAtendidasFila},
        {u"Res ChOcupadas        : ", ChOcupadas},
        {u"Res ChNaoAtendidas    : ", ChNaoAtendidas},
    };
    for (const auto& [rotulo, valor] : linhas)
        t += rotulo + QString::number(valor) + u"\r\n";
    return t;
}

// --- TListaCampanhas -------------------------------------------------------------------------

int TCampanha::Indice() const {
    return m_lista ? m_lista->IndiceDe(this) : -1;
}

TListaCampanhas::~TListaCampanhas() {
    Limpa();
}

TCampanha* TListaCampanhas::Adiciona(std::unique_ptr<TCampanha> campanha) {
    if (!campanha || campanha->m_lista) return nullptr;
    TCampanha* c = m_itens.Adiciona(std::move(campanha));
    c->m_lista = this;
    if (!m_porId.contains(c->CampanhaId())) m_porId.insert(c->CampanhaId(), c);
    for (TChannel* canal : c->m_chamadas)
        CanalEntrou(c, canal);
    return c;
}

TCampanha* TListaCampanhas::Procura(const QString& campanhaId) const {
    if (campanhaId.isEmpty()) return nullptr;
    return m_porId.value(campanhaId, nullptr);
}

TCampanha* TListaCampanhas::ProcuraPorNumero(int numero) const {
    return m_itens.Primeiro([numero](const TCampanha* c) {
        bool ok = false;
        const int n = c->CampanhaId().toInt(&ok);
        return (ok ? n : -1) == numero;
    });
}

int TListaCampanhas::ContaAtivas() const {
    int n = 0;
    m_itens.ParaCada([&n](const TCampanha* c) { n += c->EstaAtiva() ? 1 : 0; });
    return n;
}

void TListaCampanhas::Limpa() {
    m_porId.clear();
    m_porCanal.clear();
    m_itens.ParaCada([](TCampanha* c) { c->m_lista = nullptr; });
    m_itens.Limpa();
}

void TListaCampanhas::SoltaChamadas() {
    m_itens.ParaCada([](TCampanha* c) { c->SoltaChamadas(); });
    m_porCanal.clear();
}

void TListaCampanhas::RemoveChamada(TChannel* canal) {
    if (!canal) return;
    auto it = m_porCanal.constFind(canal);
    if (it == m_porCanal.cend()) return;
    // Every campaign lets go even when a listener of an earlier one fails: the channel is about
    // to be freed.
    const Bucket campanhas = it.value();
    ParaTodos(campanhas, [canal](TCampanha* c) { c->RemoveChamada(canal); });
}

void TListaCampanhas::ChamadaAtualizada(TChannel* canal) {
    if (!canal) return;
    auto it = m_porCanal.constFind(canal);
    if (it == m_porCanal.cend()) return;
    const Bucket campanhas = it.value();
    for (TCampanha* c : campanhas)
        c->ChamadaAtualizada(canal);
}

const TListaCampanhas::Bucket& TListaCampanhas::CampanhasDoCanal(const TChannel* canal) const {
    static const Bucket vazio;
    auto it = m_porCanal.constFind(canal);
    return it == m_porCanal.cend() ? vazio : it.value();
}

void TListaCampanhas::CanalEntrou(TCampanha* campanha, TChannel* canal) {
    Bucket& b = m_porCanal[canal];
    auto pos =
        std::lower_bound(b.begin(), b.end(), campanha, [](const TCampanha* x, const TCampanha* y) {
            return x->Indice() < y->Indice();
        });
    if (pos == b.end() || *pos != campanha) b.insert(pos, campanha);
}

void TListaCampanhas::CanalSaiu(TCampanha* campanha, TChannel* canal) {
    auto it = m_porCanal.find(canal);
    if (it == m_porCanal.end()) return;
    Bucket& b = it.value();
    auto pos = std::find(b.begin(), b.end(), campanha);
    if (pos != b.end()) b.erase(pos);
    if (b.empty()) m_porCanal.erase(it);
}

QString TextoAviso(TAvisoCampanha aviso) {
    switch (aviso) {
    case TAvisoCampanha::CallAdded:
        return QStringLiteral("CallAdded");
    case TAvisoCampanha::CallRemoved:
        return QStringLiteral("CallRemoved");
    case TAvisoCampanha::CallUpdated:
        return QStringLiteral("CallUpdated");
    case TAvisoCampanha::Fila:
        return QStringLiteral("Fila");
    case TAvisoCampanha::Resumo:
        break;
    }
    return QStringLiteral("Resumo");
}
