#include "model/telephony/TRamal.h"

#include "base/Clock.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TSaidasComando.h"
#include "model/telephony/TTodosOsPassos.h"

#include <algorithm>
#include <cmath>

TRamal::TRamal(const QString& ramalId) : RamalId(ramalId) {}

void TRamal::SetaDispositivo(const QString& dispositivo) {
    if (dispositivo == m_dispositivo) return;
    const QString antigo = m_dispositivo;
    m_dispositivo = dispositivo;
    if (m_lista) m_lista->DispositivoMudou(this, antigo);
}

void TRamal::Avisa(TAvisoRamal aviso) {
    if (OnRamalEvent) OnRamalEvent(this, aviso);
}

bool TRamal::TemLigacao(const TLigacao* ligacao) const {
    return std::find(m_ligacoes.begin(), m_ligacoes.end(), ligacao) != m_ligacoes.end();
}

void TRamal::AdicionaLigacao(TLigacao* ligacao) {
    if (!ligacao || TemLigacao(ligacao)) return;
    m_ligacoes.insert(m_ligacoes.begin(), ligacao);
    if (m_lista) m_lista->LigacaoAdicionada(this, ligacao);
    Estado = QStringLiteral("O");
    Avisa(TAvisoRamal::Call);
}

void TRamal::RemoveLigacao(TLigacao* ligacao) {
    auto pos = std::find(m_ligacoes.begin(), m_ligacoes.end(), ligacao);
    if (pos == m_ligacoes.end()) return;
    m_ligacoes.erase(pos);
    if (m_lista) m_lista->LigacaoRemovida(this, ligacao);
    if (m_ligacoes.empty()) {
        Estado = QStringLiteral("L");
        LivreDesde = ServerNow();
    }
    Avisa(TAvisoRamal::Call);
}

void TRamal::AvisaLigacao() {
    Avisa(TAvisoRamal::Call);
}

QString TRamal::TempoLivre() const {
    if (!(LivreDesde > 0) || !std::isfinite(LivreDesde)) return {};
    return ElapsedText(LivreDesde);
}

int TRamal::SegundosLivre() const {
    if (!(LivreDesde > 0) || !std::isfinite(LivreDesde)) return 0;
    return ElapsedSeconds(LivreDesde);
}

QString TRamal::Descricao() const {
    return RamalId + u" (" + Nome + u")";
}

// --- TListaRamais ----------------------------------------------------------------------------

int TRamal::Indice() const {
    return m_lista ? m_lista->IndiceDe(this) : -1;
}

TListaRamais::~TListaRamais() {
    Limpa();
}

TRamal* TListaRamais::Adiciona(std::unique_ptr<TRamal> ramal) {
    TRamal* r = m_itens.Adiciona(std::move(ramal));
    r->m_lista = this;
    if (!r->Dispositivo().isEmpty()) m_porDispositivo[r->Dispositivo()].push_back(r);
    for (TLigacao* l : r->m_ligacoes)
        m_porLigacao[l].push_back(r);
    return r;
}

void TListaRamais::Limpa() {
    m_porDispositivo.clear();
    m_porLigacao.clear();
    m_itens.ParaCada([](TRamal* r) { r->m_lista = nullptr; });
    m_itens.Limpa();
}

TRamal* TListaRamais::ProcuraDispositivo(const QString& dispositivo) const {
    if (dispositivo.isEmpty()) return nullptr;
    auto it = m_porDispositivo.constFind(dispositivo);
    return it == m_porDispositivo.cend() ? nullptr : it.value().front();
}

void TListaRamais::DispositivoMudou(TRamal* ramal, const QString& antigo) {
    if (!antigo.isEmpty()) {
        auto it = m_porDispositivo.find(antigo);
        if (it != m_porDispositivo.end()) {
            std::erase(it.value(), ramal);
            if (it.value().empty()) m_porDispositivo.erase(it);
        }
    }
    if (ramal->Dispositivo().isEmpty()) return;
    std::vector<TRamal*>& b = m_porDispositivo[ramal->Dispositivo()];
    auto pos = std::upper_bound(b.begin(), b.end(), ramal, [](const TRamal* x, const TRamal* y) {
        return x->SlotNaLista() < y->SlotNaLista();
    });
    b.insert(pos, ramal);
}

void TListaRamais::LigacaoAdicionada(TRamal* ramal, TLigacao* ligacao) {
    m_porLigacao[ligacao].push_back(ramal);
}

void TListaRamais::LigacaoRemovida(TRamal* ramal, TLigacao* ligacao) {
    auto it = m_porLigacao.find(ligacao);
    if (it == m_porLigacao.end()) return;
    std::erase(it.value(), ramal);
    if (it.value().empty()) m_porLigacao.erase(it);
}

// Every extension the bridge may concern, in list order: those whose device is the device of
// a leg, and those that hold the bridge already.
TListaRamais::Envolvidos TListaRamais::EnvolvidosNaLigacao(TLigacao* ligacao) const {
    Envolvidos candidatos;
    auto junta = [&candidatos](const std::vector<TRamal*>& ramais) {
        candidatos.append(ramais.data(), qsizetype(ramais.size()));
    };
    for (TChannel* perna : {ligacao->Channel1(), ligacao->Channel2()}) {
        if (!perna) continue;
        auto it = m_porDispositivo.constFind(perna->NomeBase());
        if (it != m_porDispositivo.cend()) junta(it.value());
    }
    auto it = m_porLigacao.constFind(ligacao);
    if (it != m_porLigacao.cend()) junta(it.value());
    std::sort(candidatos.begin(), candidatos.end(),
              [](const TRamal* x, const TRamal* y) { return x->SlotNaLista() < y->SlotNaLista(); });
    candidatos.erase(std::unique(candidatos.begin(), candidatos.end()), candidatos.end());
    return candidatos;
}

void TListaRamais::AtualizaLigacao(TLigacao* ligacao) {
    if (!ligacao) return;
    for (TRamal* r : EnvolvidosNaLigacao(ligacao)) {
        const bool presente = r->TemLigacao(ligacao);
        TChannel* perna =
            r->Dispositivo().isEmpty() ? nullptr : ligacao->CanalPorNomeBase(r->Dispositivo());
        const bool envolvido = perna != nullptr;
        if (perna && !perna->TemTipoCanal()) perna->CriaTipoCanal(r);
        if (!envolvido && presente)
            r->RemoveLigacao(ligacao);
        else if (envolvido && presente)
            r->AvisaLigacao();
        else if (envolvido)
            r->AdicionaLigacao(ligacao);
    }
}

void TListaRamais::RemoveLigacao(TLigacao* ligacao) {
    auto it = m_porLigacao.constFind(ligacao);
    if (it == m_porLigacao.cend()) return;
    std::vector<TRamal*> ramais = it.value();
    std::sort(ramais.begin(), ramais.end(),
              [](const TRamal* x, const TRamal* y) { return x->SlotNaLista() < y->SlotNaLista(); });
    ParaTodos(ramais, [ligacao](TRamal* r) { r->RemoveLigacao(ligacao); });
}

void TListaRamais::PeerStatus(const QString& peer, const QString& status, const QString& endereco) {
    TRamal* r = ProcuraDispositivo(peer);
    if (!r) return;
    auto alcancavel = [r] {
        if (r->Estado == u"I")
            r->Estado = r->m_ligacoes.empty() ? QStringLiteral("L") : QStringLiteral("O");
    };
    if (status == u"Unreachable" || status == u"Unregistered") {
        r->Estado = QStringLiteral("I");
    } else if (status == u"Reachable") {
        alcancavel();
    } else if (status == u"Registered") {
        alcancavel();
        r->Endereco = endereco;
    }
    r->Avisa(TAvisoRamal::Status);
}

void TListaRamais::LinhaKhomp(const TLinhaKhomp& linha) {
    TRamal* r = ProcuraDispositivo(linha.Dispositivo);
    if (!r) return;
    const QString& estado = linha.Campos.value(3);
    if (estado == u"Free") {
        r->Estado = QStringLiteral("L");
    } else if (estado == u"Outgoing" || estado == u"Incoming") {
        if (r->Estado == u"I")
            r->Estado = r->m_ligacoes.empty() ? QStringLiteral("L") : QStringLiteral("O");
    }
    r->Avisa(TAvisoRamal::Status);
}

bool TListaRamais::LinhaSipPeers(const TLinhaSipPeers& linha) {
    TRamal* r = ProcuraDispositivo(u"SIP/" + linha.Nome);
    if (!r) return false;
    if (linha.StatusOk) r->Estado = QStringLiteral("L");
    if (linha.TemEndereco) r->Endereco = linha.Endereco;
    return true;
}

QString TextoAviso(TAvisoRamal aviso) {
    return aviso == TAvisoRamal::Call ? QStringLiteral("Call") : QStringLiteral("Status");
}
