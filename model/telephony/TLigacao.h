#pragma once

#include "model/TListaIndexada.h"

#include <QString>

#include <functional>
#include <memory>

class TChannel;
class TListaLigacoes;

// What a bridge announces to its OnCallEvent.
enum class TAvisoLigacao : quint8 { Updated, Removed };
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoLigacao aviso);

// One call as the monitor sees it: the channel that started it (first leg) and, once known,
// the channel it reaches (second leg). The legs are not owned. Legs change only through the
// operations below, which keep the bridge list's per-channel index in step.
class TLigacao : public TItemIndexado {
public:
    using Callback = std::function<void(TLigacao* sender, TAvisoLigacao aviso)>;

    explicit TLigacao(TChannel* canal);
    TLigacao(const TLigacao&) = delete;
    TLigacao& operator=(const TLigacao&) = delete;

    TChannel* Channel1() const { return m_channel1; }
    TChannel* Channel2() const { return m_channel2; }
    bool Link = false;
    Callback OnCallEvent;

    // First leg when there is none, otherwise second leg (the legs then complete each other's
    // age); announces "Updated". True when a second leg was set.
    bool SetaCanal(TChannel* canal);
    void Desliga();
    void Notifica();
    // Announces "Removed"; the list calls it just before destroying the bridge.
    void AnunciaRemocao();

    bool TemPeer(const QString& nome) const;
    TChannel* CanalPorNome(const QString& nome) const;
    TChannel* CanalPorNomeBase(const QString& nome) const;
    TChannel* Outro(const TChannel* canal) const;
    TChannel* MaisAntigo() const;
    bool TemCanal(const TChannel* canal) const {
        return canal && (m_channel1 == canal || m_channel2 == canal);
    }

    QString Descreve() const;

private:
    friend class TListaLigacoes;
    TChannel* m_channel1 = nullptr;
    TChannel* m_channel2 = nullptr;
    TListaLigacoes* m_lista = nullptr;
};

// Every bridge in creation order, owning them, with an index from each channel to the bridges
// it is a leg of (in list order): everything a channel event asks of the bridges is answered
// from that index.
class TListaLigacoes {
public:
    TListaLigacoes() = default;
    ~TListaLigacoes();
    TListaLigacoes(const TListaLigacoes&) = delete;
    TListaLigacoes& operator=(const TListaLigacoes&) = delete;

    TLigacao* Adiciona(std::unique_ptr<TLigacao> ligacao);
    int Count() const { return m_itens.Count(); }
    TLigacao* Item(int index) const { return m_itens.Item(index); }
    int IndiceDe(const TLigacao* ligacao) const { return m_itens.IndiceDe(ligacao); }

    // The first bridge where: 0, the channel is the first leg and there is no second; 1, the
    // channel is the first leg; 2, the channel is the second leg; 3, the channel is either leg.
    TLigacao* Procura(int modo, const TChannel* canal) const;
    TLigacao* ProcuraPar(const TChannel* a, const TChannel* b) const;
    // Takes the bridge out, announces "Removed" and destroys it; its former index or -1.
    int Remove(TLigacao* ligacao);
    // The source reaches the destination (dial, link).
    void Associa(TChannel* origem, TChannel* destino, bool link);
    // A channel changed: each of its bridges announces "Updated".
    void CanalAtualizado(TChannel* canal);
    // A channel is going away: it leaves every bridge; bridges left without legs are removed.
    void CanalRemovido(TChannel* canal);
    // Frees every bridge without announcing anything (the connection closed).
    void Limpa();

    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // The bridges the channel is a leg of, in list order.
    const TIndiceOrdenado<TChannel*, TLigacao>::Bucket& DoCanal(const TChannel* canal) const {
        return m_porCanal.Todos(const_cast<TChannel*>(canal));
    }

private:
    friend class TLigacao;
    void PernaAdicionada(TLigacao* ligacao, TChannel* canal);
    void Indexa(TLigacao* ligacao);
    void Desindexa(TLigacao* ligacao);

    TListaIndexada<TLigacao> m_itens;
    TIndiceOrdenado<TChannel*, TLigacao> m_porCanal;
};
