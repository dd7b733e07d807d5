// The permission checks every window and menu asks before showing an object. The newer form
// (users with a platform id) and the older one use different group and permission names.
#include "monitor/TPermissoes.h"

#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"
#include "model/users/TPermissaoUsuario.h"

bool TPermissoes::Pode(const char16_t* grupoNovo, const char16_t* nomeNovo,
                       const char16_t* grupoAntigo, const char16_t* nomeAntigo,
                       const QString& valor) const {
    if (m_usuario.FormaNova())
        return m_usuario.TemPermissao(QString::fromUtf16(grupoNovo), QString::fromUtf16(nomeNovo),
                                      valor);
    return m_usuario.TemPermissao(QString::fromUtf16(grupoAntigo), QString::fromUtf16(nomeAntigo),
                                  valor);
}

bool TPermissoes::TemPermissaoMonitorarCallCenter() const {
    return Pode(u"Monitorar Call Center", u"Visualizar", u"Monitor", u"Visualizar", {});
}

bool TPermissoes::TemPermissaoMonitorarChatExterno() const {
    return Pode(u"Monitorar Chat Externo", u"Visualizar", u"Monitor", u"Visualizar", {});
}

bool TPermissoes::PassaPortaoCallCenter() const {
    return TemPermissaoMonitorarCallCenter() || m_usuario.TemBit(4);
}

bool TPermissoes::PassaPortaoChat() const {
    return TemPermissaoMonitorarChatExterno() || m_usuario.TemBit(4);
}

bool TPermissoes::TemPermissaoGerenciarAtendentes() const {
    if (!PassaPortaoCallCenter()) return false;
    return Pode(u"Gerenciar Atendentes", u"Visualizar", u"Monitor", u"GerenciarAtendentes", {});
}

bool TPermissoes::TemPermissaoChatUsuario(const QString& usuario) const {
    return Pode(u"Conversar Chat Interno", u"Visualizar", u"Chat", u"Conversar", usuario);
}

bool TPermissoes::TemPermissaoChat() const {
    return TemPermissaoChatUsuario({});
}

bool TPermissoes::TemPermissaoMonitorarConversaChat(const QString& valor) const {
    return Pode(u"Monitorar Conversa Chat Externo", u"Visualizar", u"Fila",
                u"MonitorarConversaChat", valor);
}

bool TPermissoes::TemPermissaoTronco(const QString& idTronco, const QString& nome) const {
    if (m_usuario.FormaNova())
        return m_usuario.TemPermissao(QStringLiteral("Tronco"), QStringLiteral("Visualizar"),
                                      idTronco);
    return m_usuario.TemPermissao(QStringLiteral("Tronco"), QStringLiteral("Visualizar"), nome);
}

bool TPermissoes::TemPermissaoRamal(const QString& ramalId) const {
    return m_usuario.TemPermissao(QStringLiteral("Ramal"), QStringLiteral("Visualizar"), ramalId);
}

bool TPermissoes::TemPermissaoAtendenteCodigo(const QString& codigo) const {
    return m_usuario.TemPermissao(QStringLiteral("Atendente"), QStringLiteral("Visualizar"),
                                  codigo);
}

bool TPermissoes::TemPermissaoFilaId(const QString& filaId) const {
    return m_usuario.TemPermissao(QStringLiteral("Fila"), QStringLiteral("Visualizar"), filaId);
}

bool TPermissoes::TemPermissaoCampanhaId(const QString& campanhaId) const {
    return Pode(u"Campanha", u"Visualizar", u"Discador", u"Visualizar", campanhaId);
}

bool TPermissoes::TemPermissaoTronco(const TTronco* tronco) const {
    return tronco && TemPermissaoTronco(QString::number(tronco->IdTronco), tronco->Nome);
}

int TPermissoes::TemPermissaoTroncos() const {
    int n = 0;
    for (int i = 0; i < m_troncos.Count(); ++i)
        if (TemPermissaoTronco(m_troncos.Item(i))) ++n;
    return n;
}

int TPermissoes::TemPermissaoRamais() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    for (int i = 0; i < m_ramais.Count(); ++i)
        if (TemPermissaoRamal(m_ramais.Item(i)->RamalId)) ++n;
    return n;
}

bool TPermissoes::TemPermissaoAtendente(const TAgente* agente) const {
    return agente && TemPermissaoAtendenteCodigo(agente->AgentNumber());
}

bool TPermissoes::TemPermissaoFila(const TFila* fila) const {
    return fila && TemPermissaoFilaId(fila->FilaId());
}

bool TPermissoes::TemPermissaoCampanha(const TCampanha* campanha) const {
    return campanha && TemPermissaoCampanhaId(campanha->CampanhaId());
}

int TPermissoes::TemPermissaoCampanhas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    m_campanhas.ParaCada([&](const TCampanha* c) {
        if (TemPermissaoCampanha(c)) ++n;
    });
    return n;
}

int TPermissoes::TemPermissaoCampanhasAtivas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    m_campanhas.ParaCada([&](const TCampanha* c) {
        if (c->EstaAtiva() && TemPermissaoCampanha(c)) ++n;
    });
    return n;
}

int TPermissoes::TemPermissaoAtendentes() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    m_agentes.ParaCada([&](const TAgente* a) {
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

int TPermissoes::TemPermissaoFilas() const {
    if (!PassaPortaoCallCenter()) return 0;
    int n = 0;
    m_filas.ParaCada([&](const TFila* f) {
        if (IdNumerico(f) && (f->Tipo.isEmpty() || f->Tipo == u"v") && TemPermissaoFila(f)) ++n;
    });
    return n;
}

int TPermissoes::TemPermissaoFilasChat() const {
    if (!PassaPortaoChat()) return 0;
    int n = 0;
    m_filas.ParaCada([&](const TFila* f) {
        if (IdNumerico(f) && f->EhChat() && TemPermissaoFila(f)) ++n;
    });
    return n;
}
