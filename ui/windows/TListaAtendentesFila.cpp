#include "ui/windows/TListaAtendentesFila.h"

#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "monitor/TMonitor.h"
#include "settings/TSecaoTela.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/lists/TModeloLista.h"
#include "ui/windows/TMenuAtendente.h"

TListaAtendentesFila::TListaAtendentesFila(TMonitor* monitor, QWidget* parent)
    : TfrmAgentes(monitor, parent) {
    setMinimumHeight(50);
    // The member columns from the start: the settings are read before the queue is given.
    MostraFila(nullptr);
    // A queue's members: following their conversations is a permission of the queue.
    Gerencia()->PodeMonitorarConversa = [this](const TAgente&) {
        return m_fila && m_monitor &&
               m_monitor->TemPermissaoMonitorarConversaChat(m_fila->FilaId());
    };
}

void TListaAtendentesFila::SetFila(TFila* fila) {
    m_fila = fila;
    MostraFila(fila);
}

void TListaAtendentesFila::Recarrega() {
    GuardaLarguras();
    RefazListView();
}

void TListaAtendentesFila::PreencheLinhas() {
    if (!m_fila) return;
    for (int i = 0; i < m_fila->Members.Count(); ++i) {
        TAgente* a = m_fila->Members.Item(i)->Agent;
        // Two memberships of one agent (a server sending both interfaces) make one row.
        if (!a || m_modelo->LinhaDe(a) >= 0) continue;
        m_modelo->Adiciona(a);
        AtualizaAgente(a);
    }
}

TEsquemaCores TListaAtendentesFila::LeEsquema(const QString& arquivo, const QString& secao) const {
    return SchemeOfQueueWindow(arquivo, secao);
}

void TListaAtendentesFila::AbreCores() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    TfrmConfiguraCores dialogo(arquivo, this);
    dialogo.ConfiguraParaFila(m_legenda);
    dialogo.LeConfigCores(u"Tela" + objectName());
    if (dialogo.exec() != QDialog::Accepted) return;
    if (m_monitor) m_monitor->CorAlerta = dialogo.CorAlerta();
    Q_EMIT CoresAlteradas();
}

void TListaAtendentesFila::LeConfig(const TSecaoTela& secao) {
    LeVisualizacaoDe(secao, QStringLiteral("Agentes"), QStringLiteral("Ag"));
    const TOrdenacaoLista ord = secao.LeOrdenacao();
    m_sortCol = ord.SortCol >= 0 && ord.SortCol <= 2 ? ord.SortCol : 0;
    m_sortDesc = ord.SortDescendente;
    const int n = int(EscolhasTile().size());
    const int l1 = secao.LeInteiro(QStringLiteral("MostrarNaLinha1"), 0);
    const int l2 = secao.LeInteiro(QStringLiteral("MostrarNaLinha2"), 3);
    m_linha1 = l1 >= 0 && l1 < n ? l1 : 0;
    m_linha2 = l2 >= 0 && l2 < n ? l2 : 3;
    m_esquema = LeEsquema(ArquivoPerfil(), secao.Secao());
}

void TListaAtendentesFila::SalvaConfig(TSecaoTela& secao) {
    SalvaVisualizacaoEm(secao, QStringLiteral("Agentes"), QStringLiteral("Ag"));
    secao.EscreveOrdenacao({m_sortCol, m_sortDesc});
    secao.EscreveInteiro(QStringLiteral("MostrarNaLinha1"), m_linha1);
    secao.EscreveInteiro(QStringLiteral("MostrarNaLinha2"), m_linha2);
}

void TListaAtendentesFila::AdicionaItensMenu(QMenu* menu) {
    TfrmAgentes::AdicionaItensMenu(menu);
    if (MenuDaJanela) MenuDaJanela(menu);
}
