#pragma once

#include "model/TListaIndexada.h"
#include "model/telephony/TChannel.h"

#include <QString>

#include <memory>

// Every live channel, in insertion order, owning them. Lookups by name and by unique id cost
// the same with fifty or fifty thousand channels: both keys are indexed, each bucket in list
// order, so the first channel of a name is found at once even when names repeat. Removing a
// channel leaves an empty slot that is squeezed out later (TListaIndexada).
class TListaCanais {
public:
    TListaCanais() = default;
    ~TListaCanais();
    TListaCanais(const TListaCanais&) = delete;
    TListaCanais& operator=(const TListaCanais&) = delete;

    // The first channel named `nome` whose unique id is `uniqueId` (any unique id when empty).
    TChannel* Procura(const QString& nome, const QString& uniqueId) const;
    // The first channel with this unique id; none for an empty id.
    TChannel* ProcuraPorUniqueId(const QString& uniqueId) const;
    TChannel* Item(int index) const { return m_itens.Item(index); }
    TChannel* Adiciona(std::unique_ptr<TChannel> canal);
    // Inserts before the channel at `index`; appends when the index is out of range.
    TChannel* Insere(std::unique_ptr<TChannel> canal, int index);
    int Count() const { return m_itens.Count(); }
    // Takes the channel at `index` out without announcing anything and hands it over.
    std::unique_ptr<TChannel> Retira(int index);
    // Takes the channel out, announces "Removed" and destroys it (also when a listener of the
    // announcement fails).
    void Remove(TChannel* canal);
    int IndiceDe(const TChannel* canal) const { return m_itens.IndiceDe(canal); }
    // Frees every channel without announcing anything (the connection closed).
    void Limpa();

    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

private:
    friend class TChannel;
    void Renomeado(TChannel* canal, const QString& antigo);
    void UniqueIdMudou(TChannel* canal, const QString& antigo);
    void Indexa(TChannel* canal);
    void Desindexa(TChannel* canal);

    TListaIndexada<TChannel> m_itens;
    TIndiceOrdenado<QString, TChannel> m_porNome;
    TIndiceOrdenado<QString, TChannel> m_porUniqueId; // channels with an empty id are not filed
};
