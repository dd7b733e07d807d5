#pragma once

#include "model/TListaIndexada.h"

#include <QString>

#include <functional>
#include <memory>

class TAgente;
class TCampanha;
class TCanalTronco;
class TFila;
class TListaCanais;

// What a channel announces to its OnChannelEvent.
enum class TAvisoCanal : quint8 { Updated, Removed };
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoCanal aviso);
class TRamal;
class TTipoCanal;

// Queue data of a channel: the call's life in a queue. Created and kept by the queues.
struct TLigacaoFila {
    double Inicio = 0;      // entered the queue
    double Chamando = 0;    // an agent is being rung
    double Atendimento = 0; // answered by an agent
    bool Queued = false;    // still waiting in the queue
    TFila* DataFila = nullptr;
    TAgente* DataAgente = nullptr;
    qint32 PosicaoInicial = 0;
    qint32 PosicaoAtual = 0;
};

// Dialer data of a channel: the campaign call it carries. Created and kept by the campaigns.
struct TLigacaoDiscador {
    double Inicio = 0;
    double Chamando = 0;
    double Atendimento = 0;
    TCampanha* PtrCampanha = nullptr;
    TAgente* PtrAgente = nullptr;
};

// One live call leg of the PBX, named technology/peer-suffix and identified by its unique id.
// The name and the unique id are the keys of the channel list, so they change only through
// SetaChannel / SetaUniqueId, which keep the list's indexes in step.
class TChannel : public TItemIndexado {
public:
    using Callback = std::function<void(TChannel* sender, TAvisoCanal aviso)>;

    explicit TChannel(const QString& channel);
    ~TChannel();
    TChannel(const TChannel&) = delete;
    TChannel& operator=(const TChannel&) = delete;

    const QString& Channel() const { return m_channel; }
    void SetaChannel(const QString& channel);
    QString CallerId;
    QString CallerIdNum;
    QString CallerIdName;
    const QString& UniqueId() const { return m_uniqueId; }
    void SetaUniqueId(const QString& uniqueId);
    QString State;
    double Inicio = 0;
    QString Context;
    QString Extension;
    QString Priority;
    qint32 Seconds = 0;
    QString LastEvent;
    // Direction mark: empty, "S" outgoing, "E" incoming, "D" dialer call.
    QString Tipo;
    double UltimaAlteracao = 0;
    bool Discador = false;
    QString NewCallerId;
    bool Discado = false;
    QString Evento;
    QString PrimeiraExtension;
    QString PrimeiroCallerId;
    QString PrimeiroCallerIdNum;
    Callback OnChannelEvent;
    std::unique_ptr<TTipoCanal> TipoCanal;
    std::unique_ptr<TLigacaoFila> LigacaoFila;
    std::unique_ptr<TLigacaoDiscador> LigacaoDiscador;
    QString NomeTronco;

    // Fills the "first" fields still empty, then announces "Updated".
    void Notifica();
    // Announces "Removed"; the list calls it just before destroying the channel, while the
    // queue and dialer data can still be read.
    void AnunciaRemocao();

    // The name without its last "-suffix" after the technology.
    // The name without its last "-" suffix; kept with the name, events ask for it all the time.
    const QString& NomeBase() const { return m_nomeBase; }
    static QString NomeBase(const QString& channel);
    QString NomePeer() const;
    QString EstadoTexto() const;
    QString CallerIdValido() const;
    QString CallerIdNumValido() const;
    QString CallerIdNameValido() const;

    void SetaInicio(double inicio) { Inicio = inicio; }
    // The technology descriptor: kept when one exists already.
    void CriaTipoCanal(TRamal* dono);
    void CriaTipoCanal(TCanalTronco* dono);
    void RemoveTipoCanal();
    bool TemTipoCanal() const { return TipoCanal != nullptr; }

    QString Descreve() const;

private:
    friend class TListaCanais;
    QString m_channel;
    QString m_nomeBase;
    QString m_uniqueId;
    TListaCanais* m_lista = nullptr;
};
