#include "model/telephony/TLigacao.h"

#include "model/telephony/TChannel.h"
#include "model/telephony/TTodosOsPassos.h"

#include <QStringList>

#include <exception>

TLigacao::TLigacao(TChannel* canal) : m_channel1(canal) {}

bool TLigacao::SetaCanal(TChannel* canal) {
    if (m_lista) m_lista->Desindexa(this);
    bool segunda = false;
    if (!m_channel1) {
        m_channel1 = canal;
    } else {
        m_channel2 = canal;
        Link = true;
        segunda = true;
        if (m_channel2) {
            // A leg whose age was never reported (-1) takes the other's.
            if (m_channel1->Seconds == -1) {
                m_channel1->Seconds = m_channel2->Seconds;
                m_channel1->Inicio = m_channel2->Inicio;
            }
            if (m_channel2->Seconds == -1) {
                m_channel2->Seconds = m_channel1->Seconds;
                m_channel2->Inicio = m_channel1->Inicio;
            }
        }
    }
    if (m_lista) m_lista->Indexa(this);
    Notifica();
    return segunda;
}

void TLigacao::Desliga() {
    Link = false;
    Notifica();
}

void TLigacao::Notifica() {
    if (OnCallEvent) OnCallEvent(this, TAvisoLigacao::Updated);
}

void TLigacao::AnunciaRemocao() {
    if (OnCallEvent) OnCallEvent(this, TAvisoLigacao::Removed);
}

bool TLigacao::TemPeer(const QString& nome) const {
    return CanalPorNomeBase(nome) != nullptr;
}

TChannel* TLigacao::CanalPorNome(const QString& nome) const {
    if (m_channel1 && m_channel1->Channel() == nome) return m_channel1;
    if (m_channel2 && m_channel2->Channel() == nome) return m_channel2;
    return nullptr;
}

TChannel* TLigacao::CanalPorNomeBase(const QString& nome) const {
    if (m_channel1 && m_channel1->NomeBase() == nome) return m_channel1;
    if (m_channel2 && m_channel2->NomeBase() == nome) return m_channel2;
    return nullptr;
}

TChannel* TLigacao::Outro(const TChannel* canal) const {
    if (!canal) return nullptr;
    if (canal == m_channel1) return m_channel2;
    if (canal == m_channel2) return m_channel1;
    return nullptr;
}

TChannel* TLigacao::MaisAntigo() const {
    if (!m_channel1 || !m_channel2) return nullptr;
    return m_channel2->Inicio < m_channel1->Inicio ? m_channel2 : m_channel1;
}

QString TLigacao::Descreve() const {
    QString t = u"Link: " + QString::number(Link ? 1 : 0) + u"\r\n";
    t += u"Channel1---\r\n";
    t += m_channel1 ? m_channel1->Descreve() : QStringLiteral("Channel1: nil");
    t += u"Channel2---\r\n";
    t += m_channel2 ? m_channel2->Descreve() : QStringLiteral("Channel2: nil");
    return t;
}

// --- TListaLigacoes --------------------------------------------------------------------------

TListaLigacoes::~TListaLigacoes() {
    Limpa();
}

TLigacao* TListaLigacoes::Adiciona(std::unique_ptr<TLigacao> ligacao) {
    TLigacao* l = m_itens.Adiciona(std::move(ligacao));
    l->m_lista = this;
    Indexa(l);
    return l;
}

void TListaLigacoes::Indexa(TLigacao* l) {
    if (l->m_channel1) m_porCanal.Adiciona(l->m_channel1, l);
    if (l->m_channel2 && l->m_channel2 != l->m_channel1) m_porCanal.Adiciona(l->m_channel2, l);
}

void TListaLigacoes::Desindexa(TLigacao* l) {
    if (l->m_channel1) m_porCanal.Remove(l->m_channel1, l);
    if (l->m_channel2 && l->m_channel2 != l->m_channel1) m_porCanal.Remove(l->m_channel2, l);
}

TLigacao* TListaLigacoes::Procura(int modo, const TChannel* canal) const {
    if (!canal) return nullptr;
    for (TLigacao* l : DoCanal(canal)) {
        switch (modo) {
        case 0:
            if (l->m_channel1 == canal && !l->m_channel2) return l;
            break;
        case 1:
            if (l->m_channel1 == canal) return l;
            break;
        case 2:
            if (l->m_channel2 == canal) return l;
            break;
        case 3:
            return l;
        default:
            return nullptr;
        }
    }
    return nullptr;
}

TLigacao* TListaLigacoes::ProcuraPar(const TChannel* a, const TChannel* b) const {
    const TChannel* chave = a ? a : b;
    if (!chave) return nullptr;
    for (TLigacao* l : DoCanal(chave)) {
        if ((l->m_channel1 == a && l->m_channel2 == b) ||
            (l->m_channel1 == b && l->m_channel2 == a))
            return l;
    }
    return nullptr;
}

int TListaLigacoes::Remove(TLigacao* ligacao) {
    if (!ligacao || ligacao->m_lista != this) return -1;
    const int indice = m_itens.IndiceDe(ligacao);
    Desindexa(ligacao);
    ligacao->m_lista = nullptr;
    const std::unique_ptr<TLigacao> fora = m_itens.Retira(ligacao);
    fora->AnunciaRemocao();
    return indice;
}

void TListaLigacoes::Associa(TChannel* origem, TChannel* destino, bool link) {
    // A channel never reaches itself; joining it to its own bridge would remove that bridge
    // and then use it.
    if (!origem || !destino || origem == destino) return;
    TLigacao* par = nullptr;
    TLigacao* daOrigem = nullptr;
    TLigacao* doDestino = nullptr;
    // The last of each kind in list order: the pair lives in both buckets, the one-legged
    // bridges each in its own.
    for (TLigacao* l : DoCanal(origem)) {
        if ((l->m_channel1 == origem && l->m_channel2 == destino) ||
            (l->m_channel1 == destino && l->m_channel2 == origem))
            par = l;
        if (l->m_channel1 == origem && !l->m_channel2) daOrigem = l;
    }
    for (TLigacao* l : DoCanal(destino))
        if (l->m_channel1 == destino && !l->m_channel2) doDestino = l;

    if (par) {
        par->Link = link;
        par->Notifica();
    } else if (daOrigem) {
        if (doDestino) Remove(doDestino);
        daOrigem->SetaCanal(destino);
        daOrigem->Notifica();
    } else if (doDestino) {
        doDestino->SetaCanal(origem);
        doDestino->Notifica();
    }
}

void TListaLigacoes::CanalAtualizado(TChannel* canal) {
    if (!canal) return;
    const auto& bucket = DoCanal(canal);
    const std::vector<TLigacao*> ligacoes(bucket.begin(), bucket.end());
    for (TLigacao* l : ligacoes)
        l->Notifica();
}

void TListaLigacoes::CanalRemovido(TChannel* canal) {
    if (!canal) return;
    const auto& bucket = DoCanal(canal);
    const std::vector<TLigacao*> ligacoes(bucket.begin(), bucket.end());
    // The channel leaves every bridge before any announcement, so no bridge keeps it when a
    // listener fails; then the bridges are announced and the empty ones removed, in order.
    std::vector<TLigacao*> anunciadas;
    for (TLigacao* l : ligacoes) {
        Desindexa(l);
        if (l->m_channel2 == canal) {
            l->m_channel2 = nullptr;
            if (l->m_channel1 == canal) l->m_channel1 = nullptr; // never both, but never dangling
            anunciadas.push_back(l);
        } else if (l->m_channel1 == canal) {
            l->m_channel1 = l->m_channel2;
            l->m_channel2 = nullptr;
            if (l->m_channel1) anunciadas.push_back(l);
        }
        Indexa(l);
    }
    std::vector<TLigacao*> vazias;
    for (TLigacao* l : ligacoes)
        if (!l->m_channel1 && !l->m_channel2) vazias.push_back(l);
    TodosOsPassos([&] { ParaTodos(anunciadas, [](TLigacao* l) { l->Notifica(); }); },
                  [&] { ParaTodos(vazias, [this](TLigacao* l) { Remove(l); }); });
}

void TListaLigacoes::Limpa() {
    m_porCanal.Limpa();
    m_itens.ParaCada([](TLigacao* l) { l->m_lista = nullptr; });
    m_itens.Limpa();
}

QString TextoAviso(TAvisoLigacao aviso) {
    return aviso == TAvisoLigacao::Updated ? QStringLiteral("Updated") : QStringLiteral("Removed");
}
