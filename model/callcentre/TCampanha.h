#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TChannel;
class TFila;
class TListaCampanhas;

// What a campaign announces to its OnCampanhaEvent: a call (with its channel), its queue
// ("Fila"), or its summary counters read again ("Resumo", announced by the refresher).
enum class TAvisoCampanha : quint8 { CallAdded, CallRemoved, CallUpdated, Fila, Resumo };
constexpr bool AvisoDeChamada(TAvisoCampanha aviso) {
    return aviso <= TAvisoCampanha::CallUpdated;
}
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoCampanha aviso);

// One outbound dialer campaign: what the server's campaign table says of it, the queue its
// answered calls go to, its live dialer calls and sixteen summary counters read from the
// server's database. Every change is announced through OnCampanhaEvent with the call concerned
// (or none) and a kind: "CallAdded", "CallRemoved", "CallUpdated", "Fila".
class TCampanha : public TItemIndexado {
public:
    using Callback = std::function<void(TCampanha* sender, TChannel* canal, TAvisoCampanha aviso)>;

    explicit TCampanha(const QString& campanhaId);
    // Lets go of the calls still held (their dialer data goes with it): the channels must
    // still exist, or have been released first (TListaCampanhas::SoltaChamadas).
    ~TCampanha();
    TCampanha(const TCampanha&) = delete;
    TCampanha& operator=(const TCampanha&) = delete;

    const QString& CampanhaId() const { return m_campanhaId; }
    QString Nome;
    QString Tipo;             // as the server gives it
    quint8 Ativa = 0;         // the low 8 bits of the server's status; not 0 = running
    QString IdFila;           // the queue the answered calls go to; empty or "0" = none
    TFila* PtrFila = nullptr; // not owned
    Callback OnCampanhaEvent;

    // Summary counters, refreshed from the server about once a minute.
    qint32 CliTotal = 0;
    qint32 CliDisponiveis = 0;
    qint32 CliDiscados = 0;
    qint32 CliEncaminhadosFila = 0;
    qint32 CliAtendidosFila = 0;
    qint32 CliAgendados = 0;
    qint32 TelTotal = 0;
    qint32 TelDisponiveis = 0;
    qint32 TelTentativasExcedidas = 0;
    qint32 TelAgendados = 0;
    qint32 TelDesativados = 0;
    qint32 ChIniciadas = 0;
    qint32 ChEncaminhadasFila = 0;
    qint32 ChAtendidasFila = 0;
    qint32 ChOcupadas = 0;
    qint32 ChNaoAtendidas = 0;

    // The counters by name, in the order above (the campaign windows show them by name).
    struct TContador {
        QStringView Nome;
        qint32 TCampanha::*Campo;
    };
    static const std::array<TContador, 16>& Contadores();
    // Sets the counter called `nome`; false (nothing changed) for a name that is none of them.
    bool DefineResumo(QStringView nome, qint32 valor);
    // The counter called `nome`, or 0.
    qint32 Resumo(QStringView nome) const;
    void ZeraResumo();

    bool EstaAtiva() const { return Ativa != 0; }
    // "Campanha 7 - Vendas (Fila 12 - Suporte)".
    QString Titulo() const;
    // The campaign's queue (or none), announced as "Fila".
    void DefineFila(TFila* fila);

    // --- Live dialer calls (channels not owned) -------------------------------------------------
    // The channel becomes a call of this campaign: it gets dialer data when it has none (started
    // now, on the server clock) pointing here; a call new to the campaign is appended and
    // announced as "CallAdded". A call another campaign held moves here.
    void AdicionaChamada(TChannel* canal);
    // The call leaves the campaign, its dialer data freed, announced as "CallRemoved".
    void RemoveChamada(TChannel* canal);
    // Announces the call as "CallUpdated".
    void ChamadaAtualizada(TChannel* canal);
    bool TemChamada(const TChannel* canal) const { return canal && m_indice.contains(canal); }
    // In the order they were added.
    const std::vector<TChannel*>& Chamadas() const { return m_chamadas; }
    int ContaChamadas() const { return int(m_chamadas.size()); }
    // Dialer calls not yet with an agent / being answered by one.
    int ContaAguardando() const;
    int ContaEmAtendimento() const;

    void Notifica(TAvisoCampanha aviso, TChannel* canal = nullptr);
    QString Dump() const;

    // Position in its list (-1 outside one).
    int Indice() const;

private:
    friend class TListaCampanhas;
    // Takes the call out of the list without touching its dialer data; false when not held.
    bool Retira(TChannel* canal);
    // Lets go of every call, freeing the dialer data that points here; nothing is announced.
    void SoltaChamadas();

    QString m_campanhaId;
    std::vector<TChannel*> m_chamadas;
    QHash<const TChannel*, bool> m_indice;
    TListaCampanhas* m_lista = nullptr;
};

// The campaigns in the order the server listed them, owning them, found by id in constant
// time. The list also knows which campaigns hold each live channel, so a channel change costs
// one lookup, whatever the number of campaigns.
class TListaCampanhas {
public:
    using Bucket = QVarLengthArray<TCampanha*, 1>;

    TListaCampanhas() = default;
    ~TListaCampanhas();
    TListaCampanhas(const TListaCampanhas&) = delete;
    TListaCampanhas& operator=(const TListaCampanhas&) = delete;

    TCampanha* Adiciona(std::unique_ptr<TCampanha> campanha);
    TCampanha* Item(int i) const { return m_itens.Item(i); }
    int Count() const { return m_itens.Count(); }
    int IndiceDe(const TCampanha* campanha) const { return m_itens.IndiceDe(campanha); }
    // The first campaign with the id; none for an empty id.
    TCampanha* Procura(const QString& campanhaId) const;
    // The first campaign whose id read as a number (-1 when it is not one) equals `numero`:
    // how the "Discador" menu entries, tagged with the number, find their campaign.
    TCampanha* ProcuraPorNumero(int numero) const;
    int ContaAtivas() const;
    // Frees every campaign (letting go of their calls) and empties the list.
    void Limpa();
    // Every campaign lets go of its calls, freeing their dialer data, without announcing
    // anything: for a teardown that frees the channels before the campaigns.
    void SoltaChamadas();

    // A channel is going away / changed: every campaign holding it drops it / announces it.
    void RemoveChamada(TChannel* canal);
    void ChamadaAtualizada(TChannel* canal);
    // The campaigns holding the channel, in list order.
    const Bucket& CampanhasDoCanal(const TChannel* canal) const;

    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

private:
    friend class TCampanha;
    void CanalEntrou(TCampanha* campanha, TChannel* canal);
    void CanalSaiu(TCampanha* campanha, TChannel* canal);

    TListaIndexada<TCampanha> m_itens;
    QHash<QString, TCampanha*> m_porId;
    QHash<const TChannel*, Bucket> m_porCanal;
};
