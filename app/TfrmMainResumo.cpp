// The queue summaries of the frame ("Filas", "FilasChat" and their custom screens): their
// "Exibir" entries, registry, reopening and colour refresh.
#include "app/TfrmMain.h"

#include "monitor/TMonitor.h"
#include "settings/TCfgTelaFilas.h"
#include "settings/TPerfis.h"
#include "ui/windows/TfrmFilas.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

// Longest custom-screen id taken from a window name to reopen.
constexpr int kMaxNomeTela = 100;

QString NomeBase(bool chat) {
    return chat ? QStringLiteral("FilasChat") : QStringLiteral("Filas");
}

QString NomeMenuPersonalizado(bool chat) {
    return chat ? QStringLiteral("ExibirResumoFilasChatPersonalizado")
                : QStringLiteral("ExibirResumoFilasPersonalizado");
}

} // namespace

TfrmFilas* TfrmMain::ProcuraTelaFilas(const QString& name) const {
    QMdiSubWindow* sub = ProcuraSubJanela(name);
    return sub ? qobject_cast<TfrmFilas*>(sub->widget()) : nullptr;
}

TfrmFilas* TfrmMain::CriaTelaFilas(const QString& idTela, const QString& nomeTela) {
    return CriaTelaResumo(false, idTela, nomeTela);
}

TfrmFilas* TfrmMain::CriaTelaFilasChat(const QString& idTela, const QString& nomeTela) {
    return CriaTelaResumo(true, idTela, nomeTela);
}

TfrmFilas* TfrmMain::CriaTelaResumo(bool chat, const QString& idTela, const QString& nomeTela) {
    // An id that is not one we write names no screen of ours.
    if (!idTela.isEmpty() && !IdTelaValido(idTela)) return nullptr;
    const QString name = idTela.isEmpty() ? NomeBase(chat) : NomeBase(chat) + u'_' + idTela;
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmFilas*>(sub->widget());
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto* janela = new TfrmFilas(m_monitor);
    janela->DefineTipo(chat);
    janela->IdTela = idTela;
    janela->NomeTela = nomeTela;
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    janela->LeVariaveis();
    janela->setWindowTitle(idTela.isEmpty() ? janela->TituloBase
                                            : janela->TituloBase + u" - " + janela->NomeTela);
    janela->MotivosDisponiveis = m_monitor->CallReasonsCounted;
    janela->Preenche();
    connect(janela, &TfrmFilas::PersonalizacaoAlterada, this,
            &TfrmMain::RecarregaMenuPersonalizadoFilas);
    connect(janela, &TfrmFilas::CoresMotivosAlteradas, this, &TfrmMain::AtualizaGraficosFilas);
    sub->show();
    janela->Exibida = true;
    QGuiApplication::restoreOverrideCursor();
    return janela;
}

void TfrmMain::CriaMenuResumo(QMenu* sub, bool chat) {
    sub->addAction(QStringLiteral("Todas (resumo)"), this,
                   [this, chat] { chat ? MenuExibirFilasChat(-1) : MenuExibirFilas(-1); })
        ->setObjectName(chat ? QStringLiteral("ExibirResumoFilasChat")
                             : QStringLiteral("ExibirResumoFilas"));
    QMenu* personalizado = sub->addMenu(QStringLiteral("Resumo Personalizado"));
    personalizado->setObjectName(NomeMenuPersonalizado(chat));
    chat ? CarregaMenuPersonalizadoFilasChat(personalizado)
         : CarregaMenuPersonalizadoFilas(personalizado);
}

void TfrmMain::ReabreResumos(bool chat, const QStringList& telasAbrir) {
    const QString base = NomeBase(chat);
    if (telasAbrir.contains(base)) CriaTelaResumo(chat, QString(), QString());
    const QString prefixo = base + u'_';
    for (const QString& tela : telasAbrir)
        if (tela.startsWith(prefixo))
            CriaTelaResumo(chat, tela.mid(prefixo.size(), kMaxNomeTela), QString());
}

void TfrmMain::CarregaMenuPersonalizadoFilas(QMenu* menu) {
    CarregaMenuPersonalizado(menu, false);
}

void TfrmMain::CarregaMenuPersonalizadoFilasChat(QMenu* menu) {
    CarregaMenuPersonalizado(menu, true);
}

void TfrmMain::CarregaMenuPersonalizado(QMenu* menu, bool chat) {
    if (!menu) return;
    menu->clear();
    const QString arquivo = m_monitor->UserDir.isEmpty()
                                ? QString()
                                : ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
    if (!arquivo.isEmpty())
        for (const TTelaPersonalizada& t : TelasPersonalizadas(arquivo, NomeBase(chat))) {
            const QString nome = t.Nome.isEmpty() ? t.Id : t.Nome;
            // A "&" in a name would become a keyboard accelerator.
            QString rotulo = nome;
            rotulo.replace(u'&', QStringLiteral("&&"));
            QAction* a = menu->addAction(rotulo, this, [this, chat, id = t.Id, nome] {
                chat ? CriaTelaFilasChat(id, nome) : CriaTelaFilas(id, nome);
            });
            a->setData(t.Id);
        }
    menu->setEnabled(!menu->isEmpty());
}

void TfrmMain::RecarregaMenuPersonalizadoFilas(const QString& nomeBase) {
    const bool chat = nomeBase == u"FilasChat";
    if (QMenu* menu = m_menuExibir->findChild<QMenu*>(NomeMenuPersonalizado(chat)))
        CarregaMenuPersonalizado(menu, chat);
}

void TfrmMain::AtualizaCoresResumos() {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* f = qobject_cast<TfrmFilas*>(w->widget())) f->AtualizaCores();
}
