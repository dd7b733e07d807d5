#pragma once

#include <QString>

#include <vector>

// What a threshold alert watches. Queue kinds first, then agent kinds.
enum class TTipoAlerta : quint8 {
    FilaEsperando,        // callers waiting at or above N
    FilaTempoEspera,      // the longest wait at or above S seconds
    FilaNivelServico,     // the service level below P %
    FilaSemLivre,         // callers waiting while no member is free
    AgentePausa,          // a pause at or above M minutes (all reasons or one)
    AgenteLigacao,        // a call at or above M minutes
    AgentePosAtendimento, // after-call work at or above S seconds
};
constexpr int kTiposAlerta = 7;
constexpr bool AlertaDeFila(TTipoAlerta t) {
    return t <= TTipoAlerta::FilaSemLivre;
}

// One rule. `Alvo` narrows it: a queue id for the queue kinds, a pause-reason id for the pause
// kind; empty means every queue or every reason. `Limite` is in the kind's unit.
struct TRegraAlerta {
    TTipoAlerta Tipo = TTipoAlerta::FilaEsperando;
    QString Alvo;
    int Limite = 1;
    bool operator==(const TRegraAlerta&) const = default;
};

// The name a kind is stored under ("FilaEsperando"...); an unknown name reads as false.
QString NomeTipoAlerta(TTipoAlerta t);
bool TipoAlertaDoNome(const QString& nome, TTipoAlerta& tipo);
// The kind as the rules dialog lists it, and its unit ("chamadas", "s", "%", "min", or empty).
QString TextoTipoAlerta(TTipoAlerta t);
QString UnidadeAlerta(TTipoAlerta t);
// Accepted thresholds: nothing negative, nothing no call centre could reach (a limit no one can
// reach would be a rule that silently never fires). The kind without a threshold takes 0 only.
int LimiteMinimoAlerta(TTipoAlerta t);
int LimiteMaximoAlerta(TTipoAlerta t);
// A target is a short identifier: no control characters, at most kMaxAlvoAlerta characters.
constexpr int kMaxAlvoAlerta = 40;
bool RegraAlertaValida(const TRegraAlerta& r);
// "Chamadas em espera ≥ 3 (fila 1)", as the rules dialog and the dumps write a rule.
QString DescreveRegraAlerta(const TRegraAlerta& r);

// Warns a new user without any configuring: a caller waiting a minute, a service level below
// 80 %, a pause over 15 minutes.
std::vector<TRegraAlerta> RegrasAlertaPadrao();

// In the profile: section "Alertas" (Quantidade=n) and one section "Alerta1".."Alertan" per
// rule (Tipo, Alvo, Limite). A profile without the count has never been configured
// and reads the defaults; a section that is missing, of an unknown kind or with a value out of
// range reads as no rule, never as a guess. At most kMaxRegrasAlerta rules are read.
constexpr int kMaxRegrasAlerta = 100;
std::vector<TRegraAlerta> LeRegrasAlerta(const QString& arquivo);
// Throws TErroConfiguracao when the file cannot be written. Invalid rules are not written.
void SalvaRegrasAlerta(const QString& arquivo, const std::vector<TRegraAlerta>& regras);

// The warning colour of rows, tiles and queue panels in alert (0x00BBGGRR, key "Cor" of the
// "Alertas" section); a missing or impossible value reads as the default red.
constexpr int kCorAlertaPadrao = 0x3C3CE6; // CorRGB(230, 60, 60)
int LeCorAlerta(const QString& arquivo);
void SalvaCorAlerta(const QString& arquivo, int cor);

// Whether an alert that starts while the monitor is not the active window is notified on the
// desktop, and with a sound (keys "Notificar" and "Som" of the "Alertas" section).
struct TOpcoesAlerta {
    bool Notificar = true;
    bool Som = false;
    bool operator==(const TOpcoesAlerta&) const = default;
};
TOpcoesAlerta LeOpcoesAlerta(const QString& arquivo);
void SalvaOpcoesAlerta(const QString& arquivo, const TOpcoesAlerta& opcoes);
