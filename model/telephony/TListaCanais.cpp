#include "model/telephony/TListaCanais.h"

TListaCanais::~TListaCanais() {
    Limpa();
}

TChannel* TListaCanais::Procura(const QString& nome, const QString& uniqueId) const {
    if (uniqueId.isEmpty()) return m_porNome.Primeiro(nome);
    // Unique ids rarely repeat, so their bucket is the short one to walk.
    for (TChannel* c : m_porUniqueId.Todos(uniqueId))
        if (c->Channel() == nome) return c;
    return nullptr;
}

TChannel* TListaCanais::ProcuraPorUniqueId(const QString& uniqueId) const {
    if (uniqueId.isEmpty()) return nullptr;
    return m_porUniqueId.Primeiro(uniqueId);
}

TChannel* TListaCanais::Adiciona(std::unique_ptr<TChannel> canal) {
    TChannel* c = m_itens.Adiciona(std::move(canal));
    c->m_lista = this;
    Indexa(c);
    return c;
}

TChannel* TListaCanais::Insere(std::unique_ptr<TChannel> canal, int index) {
    TChannel* c = m_itens.Insere(std::move(canal), index);
    c->m_lista = this;
    Indexa(c);
    return c;
}

std::unique_ptr<TChannel> TListaCanais::Retira(int index) {
    TChannel* c = m_itens.Item(index);
    if (!c) return nullptr;
    Desindexa(c);
    c->m_lista = nullptr;
    return m_itens.Retira(c);
}

void TListaCanais::Remove(TChannel* canal) {
    if (!canal || canal->m_lista != this) return;
    Desindexa(canal);
    canal->m_lista = nullptr;
    const std::unique_ptr<TChannel> fora = m_itens.Retira(canal);
    fora->AnunciaRemocao();
}

void TListaCanais::Limpa() {
    m_porNome.Limpa();
    m_porUniqueId.Limpa();
    m_itens.ParaCada([](TChannel* c) { c->m_lista = nullptr; });
    m_itens.Limpa();
}

void TListaCanais::Indexa(TChannel* canal) {
    m_porNome.Adiciona(canal->Channel(), canal);
    if (!canal->UniqueId().isEmpty()) m_porUniqueId.Adiciona(canal->UniqueId(), canal);
}

void TListaCanais::Desindexa(TChannel* canal) {
    m_porNome.Remove(canal->Channel(), canal);
    if (!canal->UniqueId().isEmpty()) m_porUniqueId.Remove(canal->UniqueId(), canal);
}

void TListaCanais::Renomeado(TChannel* canal, const QString& antigo) {
    m_porNome.Remove(antigo, canal);
    m_porNome.Adiciona(canal->Channel(), canal);
}

void TListaCanais::UniqueIdMudou(TChannel* canal, const QString& antigo) {
    if (!antigo.isEmpty()) m_porUniqueId.Remove(antigo, canal);
    if (!canal->UniqueId().isEmpty()) m_porUniqueId.Adiciona(canal->UniqueId(), canal);
}
