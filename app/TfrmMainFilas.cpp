// The queue windows of the frame: their "Exibir" entries, registry and colour refresh.
#include "app/TfrmMain.h"

#include "model/callcentre/TFila.h"
#include "monitor/TMonitor.h"
#include "ui/windows/TfrmFila.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

// A queue identifier as a menu tag; one that is not a number counts as `padrao`.
int NumeroDaFila(const TFila* fila, int padrao) {
    bool ok = false;
    const int n = fila->FilaId().toInt(&ok);
    return ok ? n : padrao;
}

} // namespace

void TfrmMain::CriaMenuFilas(const QStringList& telasAbrir) {
    const bool chat = ModoChat();
    const int q = m_monitor->TemPermissaoFilas();
    if (q >= 1) CriaMenuFilasDoTipo(false, q, telasAbrir);
    if (chat) CriaMenuFilasDoTipo(true, m_monitor->TemPermissaoFilasChat(), telasAbrir);
}

void TfrmMain::CriaMenuFilasDoTipo(bool chat, int permissao, const QStringList& telasAbrir) {
    const bool modoChat = ModoChat();
    QMenu* sub = m_menuExibir->addMenu(chat       ? QStringLiteral("Filas Chat Externo")
                                       : modoChat ? QStringLiteral("Filas CallCenter")
                                                  : QStringLiteral("Filas"));
    sub->setObjectName(chat ? QStringLiteral("MenuExibirFilasChat")
                            : QStringLiteral("MenuExibirFilasCallCenter"));
    if (permissao > 1) CriaMenuResumo(sub, chat);
    bool separador = false;
    for (int i = 0; i < m_monitor->Filas.Count(); ++i) {
        TFila* f = m_monitor->Filas.Item(i);
        const int n = NumeroDaFila(f, 0);
        const bool doTipo = chat ? f->Tipo == u"c" : (f->Tipo.isEmpty() || f->Tipo == u"v");
        if (n <= 0 || !doTipo || !m_monitor->TemPermissaoFila(f)) continue;
        if (permissao > 1 && !separador) {
            sub->addSeparator();
            separador = true;
        }
        sub->addAction(f->QueueCaption(), this,
                       [this, chat, n] { chat ? MenuExibirFilasChat(n) : MenuExibirFilas(n); });
        if (telasAbrir.contains(u"Fila" + f->FilaId())) CriaTelaFila(f);
    }
    if (permissao > 1) ReabreResumos(chat, telasAbrir);
}

void TfrmMain::MenuExibirFilas(int tag) {
    if (tag < 0) {
        CriaTelaFilas(QString(), QString());
        return;
    }
    for (int i = 0; i < m_monitor->Filas.Count(); ++i) {
        TFila* f = m_monitor->Filas.Item(i);
        if (NumeroDaFila(f, -1) == tag) {
            CriaTelaFila(f);
            return;
        }
    }
}

void TfrmMain::MenuExibirFilasChat(int tag) {
    if (tag < 0) {
        CriaTelaFilasChat(QString(), QString());
        return;
    }
    MenuExibirFilas(tag);
}

TfrmFila* TfrmMain::ProcuraTelaFila(const QString& name) const {
    QMdiSubWindow* sub = ProcuraSubJanela(name);
    return sub ? qobject_cast<TfrmFila*>(sub->widget()) : nullptr;
}

TfrmFila* TfrmMain::CriaTelaFila(TFila* fila) {
    if (!fila) return nullptr;
    const QString name = u"Fila" + fila->FilaId();
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmFila*>(sub->widget());
    }
    auto* janela = new TfrmFila(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    janela->setWindowTitle(fila->QueueCaption());
    janela->LeVariaveis();
    janela->CriaFila(fila->FilaId(), fila);
    connect(janela, &TfrmFila::CoresAlteradas, this, &TfrmMain::AtualizaCoresTelas);
    connect(janela, &TfrmFila::CoresMotivosAlteradas, this, &TfrmMain::AtualizaGraficosFilas);
    sub->show();
    return janela;
}

void TfrmMain::AtualizaCoresFilas() {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* f = qobject_cast<TfrmFila*>(w->widget())) f->AtualizaCores();
}

void TfrmMain::AtualizaGraficosFilas() {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* f = qobject_cast<TfrmFila*>(w->widget())) f->DesenhaGrafico();
    AtualizaCoresResumos();
}
