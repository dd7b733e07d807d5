// The permission checks every window and menu asks before showing an object. The newer form
// (users with a platform id) and the older one use different group and permission names.
#include "monitor/TMonitor.h"

bool TMonitor::Pode(const char16_t* grupoNovo, const char16_t* nomeNovo,
                    const char16_t* grupoAntigo, const char16_t* nomeAntigo,
                    const QString& valor) const {
    if (Permissoes.FormaNova())
        return Permissoes.TemPermissao(QString::fromUtf16(grupoNovo), QString::fromUtf16(nomeNovo),
                                       valor);
    return Permissoes.TemPermissao(QString::fromUtf16(grupoAntigo), QString::fromUtf16(nomeAntigo),
                                   valor);
}

bool TMonitor::TemPermissaoMonitorarCallCenter() const {
    return Pode(u"Monitorar Call Center", u"Visualizar", u"Monitor", u"Visualizar", {});
}

bool TMonitor::TemPermissaoMonitorarChatExterno() const {
    return Pode(u"Monitorar Chat Externo", u"Visualizar", u"Monitor", u"Visualizar", {});
}

bool TMonitor::PassaPortaoCallCenter() const {
    return TemPermissaoMonitorarCallCenter() || Permissoes.TemBit(4);
}

bool TMonitor::PassaPortaoChat() const {
    return TemPermissaoMonitorarChatExterno() || Permissoes.TemBit(4);
}

bool TMonitor::TemPermissaoGerenciarAtendentes() const {
    if (!PassaPortaoCallCenter()) return false;
    return Pode(u"Gerenciar Atendentes", u"Visualizar", u"Monitor", u"GerenciarAtendentes", {});
}

bool TMonitor::TemPermissaoChatUsuario(const QString& usuario) const {
    return Pode(u"Conversar Chat Interno", u"Visualizar", u"Chat", u"Conversar", usuario);
}

bool TMonitor::TemPermissaoChat() const {
    return TemPermissaoChatUsuario({});
}

bool TMonitor::TemPermissaoMonitorarConversaChat(const QString& valor) const {
    return Pode(u"Monitorar Conversa Chat Externo", u"Visualizar", u"Fila",
                u"MonitorarConversaChat", valor);
}

bool TMonitor::TemPermissaoTronco(const QString& idTronco, const QString& nome) const {
    if (Permissoes.FormaNova())
        return Permissoes.TemPermissao(QStringLiteral("Tronco"), QStringLiteral("Visualizar"),
                                       idTronco);
    return Permissoes.TemPermissao(QStringLiteral("Tronco"), QStringLiteral("Visualizar"), nome);
}

bool TMonitor::TemPermissaoRamal(const QString& ramalId) const {
    return Permissoes.TemPermissao(QStringLiteral("Ramal"), QStringLiteral("Visualizar"), ramalId);
}

bool TMonitor::TemPermissaoAtendenteCodigo(const QString& codigo) const {
    return Permissoes.TemPermissao(QStringLiteral("Atendente"), QStringLiteral("Visualizar"),
                                   codigo);
}

bool TMonitor::TemPermissaoFilaId(const QString& filaId) const {
    return Permissoes.TemPermissao(QStringLiteral("Fila"), QStringLiteral("Visualizar"), filaId);
}

bool TMonitor::TemPermissaoCampanhaId(const QString& campanhaId) const {
    return Pode(u"Campanha", u"Visualizar", u"Discador", u"Visualizar", campanhaId);
}

bool TMonitor::TemPermissaoTronco(const TTronco* tronco) const {
    return tronco && TemPermissaoTronco(QString::number(tronco->IdTronco), tronco->Nome);
}

int TMonitor::TemPermissaoTroncos() const {
    int n = 0;
    for (int i = 0; i < Troncos.Count(); ++i)
        if (TemPermissaoTronco(Troncos.Item(i))) ++n;
    return n;
}

int TMonitor::TemPermissaoRamais() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    for (int i = 0; i < Ramais.Count(); ++i)
        if (TemPermissaoRamal(Ramais.Item(i)->RamalId)) ++n;
    return n;
}

bool TMonitor::TemPermissaoAtendente(const TAgente* agente) const {
    return agente && TemPermissaoAtendenteCodigo(agente->AgentNumber());
}

bool TMonitor::TemPermissaoFila(const TFila* fila) const {
    return fila && TemPermissaoFilaId(fila->FilaId());
}

bool TMonitor::TemPermissaoCampanha(const TCampanha* campanha) const {
    return campanha && TemPermissaoCampanhaId(campanha->CampanhaId());
}

int TMonitor::TemPermissaoCampanhas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    Campanhas.ParaCada([&](const TCampanha* c) {
        if (TemPermissaoCampanha(c)) ++n;
    });
    return n;
}

int TMonitor::TemPermissaoCampanhasAtivas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    Campanhas.ParaCada([&](const TCampanha* c) {
        if (c->EstaAtiva() && TemPermissaoCampanha(c)) ++n;
    });
    return n;
}

int TMonitor::TemPermissaoAtendentes() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    Agentes.ParaCada([&](const TAgente* a) {
        if (TemPermissaoAtendente(a)) ++n;
    });
    return n;
}

namespace {

// Queues counted by the checks carry a number above 0 as their id.
bool IdNumerico(const TFila* f) {
    bool ok = false;
    return f->FilaId().toInt(&ok) > 0 && ok;
}

} // namespace

int TMonitor::TemPermissaoFilas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    Filas.ParaCada([&](const TFila* f) {
        if (IdNumerico(f) && (f->Tipo.isEmpty() || f->Tipo == u"v") && TemPermissaoFila(f)) ++n;
    });
    return n;
}

int TMonitor::TemPermissaoFilasChat() const {
    if (!PassaPortaoChat()) return 0;
    int n = 0;
    Filas.ParaCada([&](const TFila* f) {
        if (IdNumerico(f) && f->EhChat() && TemPermissaoFila(f)) ++n;
    });
    return n;
}
