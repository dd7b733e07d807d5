// The wallboard of the frame: its "Exibir" entry, registry and colour refresh.
#include "app/TfrmMain.h"

#include "monitor/TMonitor.h"
#include "ui/windows/TfrmPainel.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

void TfrmMain::CriaMenuPainel(const QStringList& telasAbrir) {
    if (m_monitor->TemPermissaoFilas() < 1 && m_monitor->TemPermissaoAtendentes() < 1) return;
    m_menuExibir->addAction(QStringLiteral("Painel de parede"), this,
                            &TfrmMain::MenuExibirPainelClick);
    if (telasAbrir.contains(QStringLiteral("Painel"))) CriaTelaPainel();
}

void TfrmMain::MenuExibirPainelClick() {
    CriaTelaPainel();
}

TfrmPainel* TfrmMain::ProcuraTelaPainel() const {
    QMdiSubWindow* sub = ProcuraSubJanela(QStringLiteral("Painel"));
    return sub ? qobject_cast<TfrmPainel*>(sub->widget()) : nullptr;
}

TfrmPainel* TfrmMain::CriaTelaPainel() {
    if (QMdiSubWindow* sub = ProcuraSubJanela(QStringLiteral("Painel"))) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmPainel*>(sub->widget());
    }
    m_monitor->Loga(QStringLiteral("CriaTelaPainel"));
    auto* janela = new TfrmPainel(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, QStringLiteral("Painel"));
    janela->LeVariaveis();
    sub->show();
    janela->Inicio();
    return janela;
}

void TfrmMain::AtualizaCoresPainel() {
    if (TfrmPainel* painel = ProcuraTelaPainel()) painel->AtualizaCores();
}
