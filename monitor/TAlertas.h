#pragma once

#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "monitor/TAviso.h"
#include "settings/TRegrasAlerta.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

struct TAvisos;

// An alert started or ended.
enum class TAvisoAlerta : quint8 { Comecou, Terminou };

// One active alert: a rule whose condition holds for one queue or one agent.
struct TAlerta {
    quint64 Id = 0;
    TRegraAlerta Regra;
    int IndiceRegra = 0;
    TFila* Fila = nullptr;     // the queue kinds
    TAgente* Agente = nullptr; // the agent kinds
    // The queue id or the agent identifier: what a notification is remembered by.
    QString Chave;
    // The moment the threshold was crossed (on the server's clock).
    double Inicio = 0;
    // "Fila 1 (Atendimento Geral)" / "1001 - Maria".
    QString Quem;
    // "Maior espera ≥ 60 s".
    QString Texto;
};

// Threshold alerts over the queues and agents of the model. Changes arrive as the model's
// notices and only mark their queue or agent; each tick re-evaluates what was marked and what
// reached its deadline (the moment a time threshold would be crossed if nothing changed), so a
// tick costs nothing for queues and agents that neither changed nor became due. An alert ends
// by itself when its condition no longer holds. Agents are watched on the telephony slot.
class TAlertas {
public:
    TAlertas(TAvisos& avisos, const TListaFilas& filas, const TListaAgentes& agentes);
    ~TAlertas();
    TAlertas(const TAlertas&) = delete;
    TAlertas& operator=(const TAlertas&) = delete;

    // Which queues and agents the user may see; alerts are raised for those only.
    std::function<bool(const TFila*)> PermiteFila;
    std::function<bool(const TAgente*)> PermiteAgente;
    // Where "now" comes from when a notice stamps an agent's change (the server's clock).
    std::function<double()> Agora;

    // New rules: every alert ends and everything is evaluated again on the next tick.
    void DefineRegras(std::vector<TRegraAlerta> regras);
    const std::vector<TRegraAlerta>& Regras() const { return m_regras; }

    // The one-second tick.
    void Avalia(double agora);
    // Every queue and agent to be evaluated on the next tick (a load has just ended).
    void MarcaTudo();
    // The queues and agents are about to be freed: every alert ends, nothing is kept.
    void Limpa();

    // Active alerts, oldest first.
    std::vector<const TAlerta*> Ativos() const;
    int Count() const { return int(m_alertas.size()); }
    bool FilaEmAlerta(const TFila* fila) const { return m_porEntidade.contains(fila); }
    bool AgenteEmAlerta(const TAgente* agente) const { return m_porEntidade.contains(agente); }
    // The alerts of one queue or agent.
    std::vector<const TAlerta*> AlertasDe(const void* entidade) const;
    // One line per active alert, as the probe prints it.
    QString Dump() const;
    // Queues and agents evaluated so far (for tests and the benchmark).
    qint64 Avaliacoes() const { return m_avaliacoes; }

private:
    struct TEstado {
        bool EhFila = false;
        double Prazo = 0; // 0: no deadline pending
        // Agents: the state last seen and since when (after-call work has no start of its own).
        AgentState UltimoEstado = AgentState::Indisponivel;
        double Desde = 0;
    };
    void Marca(const void* entidade, bool ehFila);
    void AgenteMudou(TAgente* agente);
    void AvaliaEntidade(const void* entidade, TEstado& estado, double agora);
    // Whether rule `i` holds for the entity, with the moment it started; otherwise the moment it
    // would start (0 = not by time alone).
    struct TResultado {
        bool Ativa = false;
        double Inicio = 0;
        double Prazo = 0;
    };
    TResultado CondicaoFila(const TRegraAlerta& r, const TFila* f, double agora) const;
    TResultado CondicaoAgente(const TRegraAlerta& r, const TAgente* a, const TEstado& e,
                              double agora) const;
    void Comeca(const void* entidade, int regra, double inicio);
    void Termina(quint64 id);
    void TerminaTodos();

    TAvisos& m_avisos;
    const TListaFilas& m_filas;
    const TListaAgentes& m_agentes;
    std::vector<TRegraAlerta> m_regras;
    std::vector<TAssinatura> m_assinaturas;

    QHash<const void*, TEstado> m_estados;
    QHash<const void*, bool> m_marcados; // entity → is a queue
    std::set<std::pair<double, const void*>> m_prazos;
    std::map<quint64, std::unique_ptr<TAlerta>> m_alertas; // by id: in start order
    QHash<const void*, std::vector<quint64>> m_porEntidade;
    quint64 m_proximoId = 1;
    qint64 m_avaliacoes = 0;
};

// Decides which desktop notifications to show for alerts that started while nobody looked:
// one per alert, a burst within the window becomes one summary, and an alert for the same rule
// and queue or agent notified a moment ago (a condition that flickers, a reconnection) is not
// notified again. Times in seconds on any monotonic clock.
class TLimitadorNotificacoes {
public:
    static constexpr double kJanela = 10;     // at most one notification per window
    static constexpr double kRepeticao = 300; // the same alert is not notified again before
    static constexpr int kMaxLembrados = 5000;

    struct TNotificacao {
        QString Titulo;
        QString Texto;
    };
    void Comecou(const TAlerta& alerta, double agora);
    // The notification due now, if any (false: nothing to show yet).
    bool Proxima(double agora, TNotificacao& notificacao);
    int Pendentes() const { return int(m_pendentes.size()); }

private:
    QStringList m_pendentes; // the first few texts
    int m_pendentesTotal = 0;
    double m_ultima = -1e18;
    QHash<QString, double> m_lembrados;
};
