#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <set>
#include <vector>

class TLigacao;
class TListaTroncos;
class TPorta;
class TTronco;
struct TLinhaKhomp;

// What a trunk announces to its OnTroncoEvent, with the line concerned (none for a SIP trunk's
// own state): a line was added, its call or its state changed.
enum class TAvisoTronco : quint8 { Added, Call, Status };
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoTronco aviso);

// One line of a trunk: a hardware line named as the PBX names it, or a call slot of a SIP
// trunk (named after the PBX channel of its current call, empty while free).
class TCanalTronco : public TItemIndexado {
public:
    explicit TCanalTronco(const QString& dispositivo = {});
    TCanalTronco(const TCanalTronco&) = delete;
    TCanalTronco& operator=(const TCanalTronco&) = delete;

    const QString& Dispositivo() const { return m_dispositivo; }
    // The current call (not owned); set by the trunk list, which indexes it.
    TLigacao* Ligacao() const { return m_ligacao; }
    QString Status; // "Failure", "Sinal", empty, or as the board reports it
    QString StatusDetalhe;
    QString Operadora;
    QString NivelSinal;
    QString Direcao; // "S" outgoing, "E" incoming, "D" dialer, empty
    QString Telefone;
    TTronco* Tronco = nullptr;

    // Direction and other party from the current call; announces "Call".
    void Recalcula();
    void AvisaStatus();
    // The change callback: relays to the owning trunk's OnTroncoEvent with this line.
    void Avisa(TAvisoTronco aviso);
    // Position in its trunk's lines.
    int Indice() const;

private:
    friend class TListaCanalTronco;
    friend class TListaTroncos;
    QString m_dispositivo;
    TLigacao* m_ligacao = nullptr;
};

// The lines of one trunk, owning them; remembers which SIP slots are free.
class TListaCanalTronco {
public:
    explicit TListaCanalTronco(TTronco* tronco) : m_tronco(tronco) {}
    TListaCanalTronco(const TListaCanalTronco&) = delete;
    TListaCanalTronco& operator=(const TListaCanalTronco&) = delete;

    // Appends the line, then announces it with "Added".
    TCanalTronco* Adiciona(std::unique_ptr<TCanalTronco> canal);
    TCanalTronco* Item(int index) const { return m_itens.Item(index); }
    int Count() const { return m_itens.Count(); }
    // Frees the line and takes it out.
    void Remove(TCanalTronco* canal);
    int IndiceDe(const TCanalTronco* canal) const { return m_itens.IndiceDe(canal); }
    // Frees every line without announcing anything.
    void Limpa();
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // The first line with an empty device name (a free SIP slot), or none.
    TCanalTronco* PrimeiroLivre() const;

private:
    friend class TListaTroncos;
    void SetaDispositivo(TCanalTronco* canal, const QString& dispositivo);

    TTronco* m_tronco;
    struct PorSlot {
        bool operator()(const TCanalTronco* a, const TCanalTronco* b) const {
            return a->SlotNaLista() < b->SlotNaLista();
        }
    };
    TListaIndexada<TCanalTronco> m_itens;
    std::set<TCanalTronco*, PorSlot> m_livres; // the lines with an empty device name
};

// One trunk: a hardware trunk on a port with one line per PBX line, or a SIP trunk with one
// slot per simultaneous call. `Tipo` and `Dispositivo` are fixed once the trunk is listed (the
// list indexes them).
class TTronco : public TItemIndexado {
public:
    using Callback = std::function<void(TTronco* tronco, TCanalTronco* canal, TAvisoTronco aviso)>;

    explicit TTronco(const QString& nome);
    TTronco(const TTronco&) = delete;
    TTronco& operator=(const TTronco&) = delete;

    QString Nome;
    qint32 TroncoId = 0;
    qint32 IdTronco = 0;
    QString IdDeChamada;
    QString Operadora;
    QString Tipo;       // "f" hardware, "s" SIP
    QString TipoTronco; // "d", "c", "a" from the port, "s" for SIP
    QString Host;
    QString Usuario;
    QString EstadoSip;   // "L" reachable, "I" unreachable, empty until known
    QString Dispositivo; // "SIP/" + Nome for SIP trunks
    TPorta* Porta = nullptr;
    TListaCanalTronco Canais{this};
    Callback OnTroncoEvent;

    bool Sip() const { return Tipo == u"s"; }
    // Frees the lines and creates them anew from the port (one free slot for a SIP trunk).
    void CriaCanais();
    QString Descreve() const;
    int Indice() const;

private:
    friend class TListaCanalTronco;
    friend class TListaTroncos;
    TListaTroncos* m_lista = nullptr;
};

// The trunks in load order, owning them. Hardware lines are indexed by device name, SIP trunks
// by their device name, and every line by the bridge it holds, so a bridge change, an alarm or
// a board line touches only the lines it names.
class TListaTroncos {
public:
    TListaTroncos() = default;
    ~TListaTroncos();
    TListaTroncos(const TListaTroncos&) = delete;
    TListaTroncos& operator=(const TListaTroncos&) = delete;

    TTronco* Adiciona(std::unique_ptr<TTronco> tronco);
    TTronco* Item(int index) const { return m_itens.Item(index); }
    int Count() const { return m_itens.Count(); }
    int IndiceDe(const TTronco* tronco) const { return m_itens.IndiceDe(tronco); }
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // The first trunk with this name.
    TTronco* Procura(const QString& nome) const { return m_porNome.value(nome, nullptr); }
    void Remove(TTronco* tronco);
    void Limpa();

    void AtualizaLigacao(TLigacao* ligacao);
    void RemoveLigacao(TLigacao* ligacao);
    void PeerStatus(const QString& peer, const QString& status);
    void LinhaKhomp(const TLinhaKhomp& linha);
    void LinhaDahdi(int numero, const QString& estado);
    void EventoLinha(const QString& evento, const QString& valor, const QString& dispositivo);

private:
    friend class TListaCanalTronco;
    friend class TTronco;
    void Indexa(TTronco* tronco);
    void Desindexa(TTronco* tronco);
    void DesindexaLinha(TCanalTronco* canal);
    void SetaLigacao(TCanalTronco* canal, TLigacao* ligacao);
    void AtualizaSip(TTronco* tronco, TLigacao* ligacao);
    // The first line of each hardware trunk carrying this device name, in list order.
    std::vector<TCanalTronco*> PrimeirasLinhas(const QString& dispositivo) const;

    TListaIndexada<TTronco> m_itens;
    QHash<QString, TTronco*> m_porNome; // first trunk of each name
    QHash<QString, std::vector<TTronco*>> m_sipPorDispositivo;
    QHash<QString, std::vector<TCanalTronco*>> m_linhasPorDispositivo; // hardware lines
    QHash<TLigacao*, std::vector<TCanalTronco*>> m_linhasPorLigacao;
};
