#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>
#include <QVarLengthArray>

#include <functional>
#include <memory>
#include <vector>

class TLigacao;
class TListaRamais;

// What an extension announces to its OnRamalEvent: its calls or its state changed.
enum class TAvisoRamal : quint8 { Call, Status };
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoRamal aviso);
class TPorta;
struct TLinhaKhomp;
struct TLinhaSipPeers;

// One telephone of the PBX as configured on the server, with the coarse state the monitor
// keeps for it and the calls it takes part in.
class TRamal : public TItemIndexado {
public:
    using Callback = std::function<void(TRamal* sender, TAvisoRamal aviso)>;

    explicit TRamal(const QString& ramalId);
    TRamal(const TRamal&) = delete;
    TRamal& operator=(const TRamal&) = delete;

    QString RamalId;
    QString Tipo; // "s" SIP, "i" IAX, "v" virtual, "f" hardware port, or as received
    QString Nome;
    qint32 FisicoEndereco = -1;
    TPorta* Porta = nullptr;
    QString Endereco;
    // The device name its channels and peer events carry; fixed when the row is loaded (the
    // list indexes it), empty when none.
    const QString& Dispositivo() const { return m_dispositivo; }
    void SetaDispositivo(const QString& dispositivo);
    QString Estado; // "I" unavailable, "L" free, "O" occupied, or empty
    // The bridges a channel of this device takes part in, newest first (not owned).
    const std::vector<TLigacao*>& Ligacoes() const { return m_ligacoes; }
    Callback OnRamalEvent;
    double LivreDesde = 0;

    void AdicionaLigacao(TLigacao* ligacao);
    void RemoveLigacao(TLigacao* ligacao);
    void AvisaLigacao();
    bool TemLigacao(const TLigacao* ligacao) const;
    QString TempoLivre() const;
    int SegundosLivre() const;
    QString Descricao() const;
    // Position in its list (-1 outside one).
    int Indice() const;

private:
    friend class TListaRamais;
    void Avisa(TAvisoRamal aviso);

    QString m_dispositivo;
    std::vector<TLigacao*> m_ligacoes;
    TListaRamais* m_lista = nullptr;
};

// The extensions in load order, owning them. Indexed by device name and by the bridges they
// hold, so a bridge change touches only the extensions it concerns.
class TListaRamais {
public:
    TListaRamais() = default;
    ~TListaRamais();
    TListaRamais(const TListaRamais&) = delete;
    TListaRamais& operator=(const TListaRamais&) = delete;

    TRamal* Adiciona(std::unique_ptr<TRamal> ramal);
    TRamal* Item(int index) const { return m_itens.Item(index); }
    int Count() const { return m_itens.Count(); }
    int IndiceDe(const TRamal* ramal) const { return m_itens.IndiceDe(ramal); }
    void Limpa();
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // The first extension whose device name is this (never for an empty name).
    TRamal* ProcuraDispositivo(const QString& dispositivo) const;

    // A bridge was created or changed / removed.
    void AtualizaLigacao(TLigacao* ligacao);
    void RemoveLigacao(TLigacao* ligacao);
    // A "peerstatus" event.
    void PeerStatus(const QString& peer, const QString& status, const QString& endereco);
    // A "<K>" line of "khomp channels show".
    void LinhaKhomp(const TLinhaKhomp& linha);
    // A peer line of "sip show peers"; false when it names no extension (a trunk peer).
    bool LinhaSipPeers(const TLinhaSipPeers& linha);

private:
    friend class TRamal;
    void DispositivoMudou(TRamal* ramal, const QString& antigo);
    void LigacaoAdicionada(TRamal* ramal, TLigacao* ligacao);
    void LigacaoRemovida(TRamal* ramal, TLigacao* ligacao);
    using Envolvidos = QVarLengthArray<TRamal*, 8>;
    Envolvidos EnvolvidosNaLigacao(TLigacao* ligacao) const;

    TListaIndexada<TRamal> m_itens;
    QHash<QString, std::vector<TRamal*>> m_porDispositivo; // in list order
    QHash<TLigacao*, std::vector<TRamal*>> m_porLigacao;   // extensions holding each bridge
};
