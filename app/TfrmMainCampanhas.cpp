// The dialer campaigns in the frame: the "Discador" submenu of "Exibir", the campaign windows
// and the campaigns summary in the registry, their reopening after a load and their colours.
#include "app/TfrmMain.h"

#include "model/callcentre/TCampanha.h"
#include "monitor/TMonitor.h"
#include "ui/windows/TfrmCampanha.h"
#include "ui/windows/TfrmCampanhas.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const QString kDiscador = QStringLiteral("Discador");
const QString kCampanhasAtivas = QStringLiteral("Campanhas ativas");

int TagDe(const QAction* a) {
    bool ok = false;
    const int tag = a->data().toInt(&ok);
    return ok ? tag : -1;
}

} // namespace

// The dialer entries exist for a user with a campaign to see or with the dialer flag, and
// never in CSTA mode.
bool TfrmMain::PodeDiscador() const {
    return (m_monitor->TemPermissaoCampanhas() >= 1 || m_monitor->Permissoes.TemBit(2)) &&
           !m_monitor->ModoCSTA;
}

QMenu* TfrmMain::MenuDiscador() const {
    return m_menuDiscador;
}

void TfrmMain::CriaMenuDiscador(const QStringList& telasAbrir) {
    m_avisoMenuDiscador =
        m_monitor->Avisos().MenuDiscador.Assina([this] { AtualizaMenuDiscador(); });
    // "Exibir" was rebuilt from scratch: the submenu of the previous load goes with it.
    delete m_menuDiscador;
    if (!PodeDiscador()) return;
    AtualizaMenuDiscador();
    if (telasAbrir.contains(QStringLiteral("Campanhas")) &&
        m_monitor->TemPermissaoCampanhasAtivas() >= 1)
        CriaTelaCampanhas();
    m_monitor->Campanhas.ParaCada([&](TCampanha* c) {
        if (c->EstaAtiva() && c->PtrFila && telasAbrir.contains(u"Campanha" + c->CampanhaId()) &&
            m_monitor->TemPermissaoCampanha(c))
            CriaTelaCampanha(c);
    });
}

void TfrmMain::AtualizaMenuDiscador() {
    if (!PodeDiscador()) return;
    const TMonitor::TMenuDiscador m = m_monitor->MenuDiscador();
    if (!m_menuDiscador) {
        m_menuDiscador = m_menuExibir->addMenu(kDiscador);
        m_menuDiscador->setObjectName(QStringLiteral("MenuExibirDiscador"));
        m_menuDiscador->menuAction()->setData(-1);
        m_menuDiscador
            ->addAction(QStringLiteral("Campanhas ativas (resumo)"), this,
                        [this] { MenuExibirCampanhas(-1); })
            ->setData(-1);
        QMenu* ativas = m_menuDiscador->addMenu(kCampanhasAtivas);
        ativas->setObjectName(QStringLiteral("MenuExibirCampanhasAtivas"));
        ativas->menuAction()->setData(-1);
        m_menuDiscador->addAction(QString())->setData(-1);
    }
    const QList<QAction*> itens = m_menuDiscador->actions();
    m_menuDiscador->menuAction()->setEnabled(m.Habilitado);
    itens[0]->setEnabled(m.AtivasHabilitado);
    itens[1]->setEnabled(m.AtivasHabilitado);
    itens[2]->setText(m.CaptionInativas);
    itens[2]->setEnabled(false);
    if (!m.PreencheAtivas) return;
    QMenu* ativas = itens[1]->menu();
    QList<QAction*> entradas = ativas->actions();
    for (size_t k = 0; k < m.Ativas.size(); ++k) {
        const TMonitor::TCampanhaMenu& c = m.Ativas[k];
        QAction* a = nullptr;
        if (qsizetype(k) < entradas.size()) {
            a = entradas[qsizetype(k)];
        } else {
            a = ativas->addAction(QString());
            connect(a, &QAction::triggered, this, [this, a] { MenuExibirCampanhas(TagDe(a)); });
        }
        // A "&" of a campaign name is no accelerator.
        a->setText(QString(c.Caption).replace(u'&', QStringLiteral("&&")));
        a->setData(c.Tag);
        a->setEnabled(true);
    }
    // Entries left over from a longer list would open campaigns no longer shown: they go.
    for (qsizetype k = qsizetype(m.Ativas.size()); k < entradas.size(); ++k)
        delete entradas[k];
}

void TfrmMain::MenuExibirCampanhas(int tag) {
    if (tag == -1) {
        CriaTelaCampanhas();
        return;
    }
    if (tag < 0) return;
    TCampanha* c = m_monitor->Campanhas.ProcuraPorNumero(tag);
    if (c && m_monitor->TemPermissaoCampanha(c)) CriaTelaCampanha(c);
}

TfrmCampanha* TfrmMain::ProcuraTelaCampanha(const QString& name) const {
    QMdiSubWindow* sub = ProcuraSubJanela(name);
    return sub ? qobject_cast<TfrmCampanha*>(sub->widget()) : nullptr;
}

TfrmCampanhas* TfrmMain::ProcuraTelaCampanhas() const {
    QMdiSubWindow* sub = ProcuraSubJanela(QStringLiteral("Campanhas"));
    return sub ? qobject_cast<TfrmCampanhas*>(sub->widget()) : nullptr;
}

TfrmCampanha* TfrmMain::CriaTelaCampanha(TCampanha* campanha) {
    if (!campanha) return nullptr;
    const QString name = u"Campanha" + campanha->CampanhaId();
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmCampanha*>(sub->widget());
    }
    auto* janela = new TfrmCampanha(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    janela->setWindowTitle(campanha->Titulo());
    janela->LeVariaveis();
    janela->CriaCampanha(campanha);
    connect(janela, &TfrmCampanha::CoresAlteradas, this, &TfrmMain::AtualizaCoresTelas);
    sub->show();
    return janela;
}

TfrmCampanhas* TfrmMain::CriaTelaCampanhas() {
    const QString name = QStringLiteral("Campanhas");
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmCampanhas*>(sub->widget());
    }
    auto* janela = new TfrmCampanhas(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    janela->LeVariaveis();
    janela->Inicio();
    sub->show();
    janela->SetMostrada();
    return janela;
}

void TfrmMain::AtualizaCoresCampanhas() {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* c = qobject_cast<TfrmCampanha*>(w->widget())) c->AtualizaCores();
}
