#include "settings/TRegrasAlerta.h"

#include "settings/TIniFile.h"

#include <algorithm>

namespace {

struct TDadosTipo {
    TTipoAlerta Tipo;
    const char* Nome;
    const char* Texto;
    const char* Unidade;
    int Minimo;
    int Maximo;
};

// Longest sensible thresholds: a whole day for durations, more callers than any queue holds.
constexpr TDadosTipo kTipos[kTiposAlerta] = {
    {TTipoAlerta::FilaEsperando, "FilaEsperando", "Chamadas em espera", "chamadas", 1, 10000},
    {TTipoAlerta::FilaTempoEspera, "FilaTempoEspera", "Maior espera", "s", 1, 86400},
    {TTipoAlerta::FilaNivelServico, "FilaNivelServico", "Nível de serviço abaixo de", "%", 1, 100},
    {TTipoAlerta::FilaSemLivre, "FilaSemLivre", "Chamadas em espera sem atendente livre", "", 0, 0},
    {TTipoAlerta::AgentePausa, "AgentePausa", "Pausa", "min", 1, 1440},
    {TTipoAlerta::AgenteLigacao, "AgenteLigacao", "Ligação", "min", 1, 1440},
    {TTipoAlerta::AgentePosAtendimento, "AgentePosAtendimento", "Pós-atendimento", "s", 1, 86400},
};

const TDadosTipo& Dados(TTipoAlerta t) {
    const int i = int(t);
    return kTipos[i < kTiposAlerta ? i : 0];
}

QString SecaoRegra(int i) {
    return QStringLiteral("Alerta") + QString::number(i + 1);
}

const QString kSecao = QStringLiteral("Alertas");

} // namespace

QString NomeTipoAlerta(TTipoAlerta t) {
    return QString::fromLatin1(Dados(t).Nome);
}

bool TipoAlertaDoNome(const QString& nome, TTipoAlerta& tipo) {
    for (const TDadosTipo& d : kTipos) {
        if (nome.compare(QLatin1String(d.Nome), Qt::CaseInsensitive) == 0) {
            tipo = d.Tipo;
            return true;
        }
    }
    return false;
}

QString TextoTipoAlerta(TTipoAlerta t) {
    return QString::fromUtf8(Dados(t).Texto);
}

QString UnidadeAlerta(TTipoAlerta t) {
    return QString::fromUtf8(Dados(t).Unidade);
}

int LimiteMinimoAlerta(TTipoAlerta t) {
    return Dados(t).Minimo;
}

int LimiteMaximoAlerta(TTipoAlerta t) {
    return Dados(t).Maximo;
}

bool RegraAlertaValida(const TRegraAlerta& r) {
    if (int(r.Tipo) >= kTiposAlerta) return false;
    if (r.Limite < LimiteMinimoAlerta(r.Tipo) || r.Limite > LimiteMaximoAlerta(r.Tipo))
        return false;
    if (r.Alvo.size() > kMaxAlvoAlerta) return false;
    for (const QChar c : r.Alvo)
        if (c.category() == QChar::Other_Control || c.isSpace() || c.isSurrogate()) return false;
    // A reason narrows only pauses.
    if (!r.Alvo.isEmpty() && !AlertaDeFila(r.Tipo) && r.Tipo != TTipoAlerta::AgentePausa)
        return false;
    return true;
}

QString DescreveRegraAlerta(const TRegraAlerta& r) {
    QString t = TextoTipoAlerta(r.Tipo);
    if (r.Tipo == TTipoAlerta::FilaNivelServico)
        t += u' ' + QString::number(r.Limite) + u" %";
    else if (r.Tipo != TTipoAlerta::FilaSemLivre)
        t += u" ≥ " + QString::number(r.Limite) + u' ' + UnidadeAlerta(r.Tipo);
    if (!r.Alvo.isEmpty()) t += (AlertaDeFila(r.Tipo) ? u" (fila " : u" (motivo ") + r.Alvo + u')';
    return t;
}

std::vector<TRegraAlerta> RegrasAlertaPadrao() {
    return {{TTipoAlerta::FilaTempoEspera, {}, 60},
            {TTipoAlerta::FilaNivelServico, {}, 80},
            {TTipoAlerta::AgentePausa, {}, 15}};
}

std::vector<TRegraAlerta> LeRegrasAlerta(const QString& arquivo) {
    const TIniFile ini(arquivo);
    // The section also holds the warning colour: only the count says rules were saved.
    if (arquivo.isEmpty() ||
        !ini.ReadSection(kSecao).contains(QStringLiteral("Quantidade"), Qt::CaseInsensitive))
        return RegrasAlertaPadrao();
    const int n =
        std::clamp(ini.ReadInteger(kSecao, QStringLiteral("Quantidade"), 0), 0, kMaxRegrasAlerta);
    std::vector<TRegraAlerta> regras;
    for (int i = 0; i < n; ++i) {
        const QString secao = SecaoRegra(i);
        TRegraAlerta r;
        if (!TipoAlertaDoNome(ini.ReadString(secao, QStringLiteral("Tipo")).trimmed(), r.Tipo))
            continue;
        bool ok = false;
        r.Limite = ini.ReadString(secao, QStringLiteral("Limite")).trimmed().toInt(&ok);
        if (!ok) continue;
        r.Alvo = ini.ReadString(secao, QStringLiteral("Alvo")).trimmed();
        if (RegraAlertaValida(r)) regras.push_back(r);
    }
    return regras;
}

void SalvaRegrasAlerta(const QString& arquivo, const std::vector<TRegraAlerta>& regras) {
    TIniFile ini(arquivo);
    TAlteracoesIni alteracoes;
    int n = 0;
    for (const TRegraAlerta& r : regras) {
        if (!RegraAlertaValida(r) || n >= kMaxRegrasAlerta) continue;
        const QString secao = SecaoRegra(n++);
        alteracoes.WriteString(secao, QStringLiteral("Tipo"), NomeTipoAlerta(r.Tipo));
        alteracoes.WriteString(secao, QStringLiteral("Alvo"), r.Alvo);
        alteracoes.WriteInteger(secao, QStringLiteral("Limite"), r.Limite);
    }
    alteracoes.WriteInteger(kSecao, QStringLiteral("Quantidade"), n);
    ini.Write(alteracoes);
    // Sections of rules that no longer exist would come back if the count were edited by hand.
    for (const QString& secao : ini.ReadSections()) {
        bool ok = false;
        const int i = secao.startsWith(u"Alerta") ? secao.mid(6).toInt(&ok) : 0;
        if (ok && i > n) ini.EraseSection(secao);
    }
}

int LeCorAlerta(const QString& arquivo) {
    if (arquivo.isEmpty()) return kCorAlertaPadrao;
    const int cor = TIniFile(arquivo).ReadInteger(kSecao, QStringLiteral("Cor"), kCorAlertaPadrao);
    return cor >= 0 && cor <= 0xFFFFFF ? cor : kCorAlertaPadrao;
}

void SalvaCorAlerta(const QString& arquivo, int cor) {
    TIniFile(arquivo).WriteInteger(kSecao, QStringLiteral("Cor"), cor & 0xFFFFFF);
}

TOpcoesAlerta LeOpcoesAlerta(const QString& arquivo) {
    TOpcoesAlerta o;
    if (arquivo.isEmpty()) return o;
    const TIniFile ini(arquivo);
    o.Notificar = ini.ReadBool(kSecao, QStringLiteral("Notificar"), o.Notificar);
    o.Som = ini.ReadBool(kSecao, QStringLiteral("Som"), o.Som);
    return o;
}

void SalvaOpcoesAlerta(const QString& arquivo, const TOpcoesAlerta& opcoes) {
    TAlteracoesIni alteracoes;
    alteracoes.WriteBool(kSecao, QStringLiteral("Notificar"), opcoes.Notificar);
    alteracoes.WriteBool(kSecao, QStringLiteral("Som"), opcoes.Som);
    TIniFile(arquivo).Write(alteracoes);
}
