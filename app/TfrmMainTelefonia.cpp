// The main window's extensions and trunks: their "Exibir" entries, their windows and the
// reopening of those windows after a load.
#include "app/TfrmMain.h"

#include "model/telephony/TTronco.h"
#include "monitor/TMonitor.h"
#include "ui/windows/TfrmRamais.h"
#include "ui/windows/TfrmTroncos.h"

#include <QMdiSubWindow>
#include <QMenu>

TfrmRamais* TfrmMain::ProcuraTelaRamais() const {
    QMdiSubWindow* sub = ProcuraSubJanela(QStringLiteral("Ramais"));
    return sub ? qobject_cast<TfrmRamais*>(sub->widget()) : nullptr;
}

TfrmRamais* TfrmMain::CriaTelaRamais() {
    if (QMdiSubWindow* sub = ProcuraSubJanela(QStringLiteral("Ramais"))) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmRamais*>(sub->widget());
    }
    m_monitor->Loga(QStringLiteral("CriaTelaRamais"));
    auto* janela = new TfrmRamais(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, QStringLiteral("Ramais"));
    janela->LeVariaveis();
    janela->Inicio();
    sub->show();
    return janela;
}

void TfrmMain::MenuExibirRamaisClick() {
    CriaTelaRamais();
}

TfrmTroncos* TfrmMain::ProcuraTelaTronco(const QString& name) const {
    QMdiSubWindow* sub = ProcuraSubJanela(name);
    return sub ? qobject_cast<TfrmTroncos*>(sub->widget()) : nullptr;
}

TfrmTroncos* TfrmMain::CriaTelaTroncos(const QString& tipo, TTronco* tronco) {
    const bool unico = tipo == u"d" || tipo == u"s";
    // A single-trunk window needs its trunk, of its kind; the others take none.
    if (unico && (!tronco || tronco->TipoTronco != tipo)) return nullptr;
    if (!unico) tronco = nullptr;
    const QString name =
        TfrmTroncos::NomeRegistro(tipo, tronco ? m_monitor->Troncos.IndiceDe(tronco) : -1);
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmTroncos*>(sub->widget());
    }
    auto* janela = new TfrmTroncos(m_monitor, tipo, tronco);
    janela->AoExpandir = [this](const QString& t, TTronco* tr) { CriaTelaTroncos(t, tr); };
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    janela->LeVariaveis();
    janela->Inicio();
    sub->show();
    return janela;
}

void TfrmMain::MenuExibirTodosTroncos() {
    CriaTelaTroncos(QString(), nullptr);
}
void TfrmMain::MenuExibirTroncosc() {
    CriaTelaTroncos(QStringLiteral("c"), nullptr);
}
void TfrmMain::MenuExibirTroncosa() {
    CriaTelaTroncos(QStringLiteral("a"), nullptr);
}

void TfrmMain::MenuExibirTronco(int posicao) {
    TTronco* t = m_monitor->Troncos.Item(posicao);
    if (t && (t->TipoTronco == u"d" || t->TipoTronco == u"s")) CriaTelaTroncos(t->TipoTronco, t);
}

void TfrmMain::CriaMenuRamais(const QStringList& telasAbrir) {
    if (m_monitor->TemPermissaoRamais() < 1 || m_monitor->ModoCSTA) return;
    m_menuExibir->addAction(QStringLiteral("Ramais"), this, &TfrmMain::MenuExibirRamaisClick);
    if (telasAbrir.contains(QStringLiteral("Ramais"))) CriaTelaRamais();
}

void TfrmMain::CriaMenuTroncos(const QStringList& telasAbrir) {
    const int n = m_monitor->TemPermissaoTroncos();
    if (n < 1 || m_monitor->ModoCSTA) return;
    const TListaTroncos& troncos = m_monitor->Troncos;
    QMenu* menu = m_menuExibir->addMenu(QStringLiteral("Troncos"));
    auto item = [&](const QString& prefixo, int posicao) {
        menu->addAction(prefixo + troncos.Item(posicao)->Nome, this,
                        [this, posicao] { MenuExibirTronco(posicao); });
    };
    if (n > 1) {
        menu->addAction(QStringLiteral("Todos"), this, &TfrmMain::MenuExibirTodosTroncos);
        int celulares = 0, analogicos = 0;
        for (int i = 0; i < troncos.Count(); ++i) {
            const TTronco* t = troncos.Item(i);
            if (!m_monitor->TemPermissaoTronco(t)) continue;
            if (t->TipoTronco == u"d") item(QStringLiteral("Digital - "), i);
            if (t->TipoTronco == u"c") ++celulares;
            if (t->TipoTronco == u"a") ++analogicos;
        }
        for (int i = 0; i < troncos.Count(); ++i) {
            const TTronco* t = troncos.Item(i);
            if (m_monitor->TemPermissaoTronco(t) && t->TipoTronco == u"s")
                item(QStringLiteral("SIP - "), i);
        }
        if (celulares > 0)
            menu->addAction(QStringLiteral("Celulares"), this, &TfrmMain::MenuExibirTroncosc);
        if (analogicos > 0)
            menu->addAction(QStringLiteral("Analógicos"), this, &TfrmMain::MenuExibirTroncosa);
    } else {
        for (int i = 0; i < troncos.Count(); ++i) {
            const TTronco* t = troncos.Item(i);
            if (!m_monitor->TemPermissaoTronco(t)) continue;
            if (t->TipoTronco == u"d") item(QStringLiteral("Digital - "), i);
            if (t->TipoTronco == u"s") item(QStringLiteral("SIP - "), i);
            if (t->TipoTronco == u"c")
                menu->addAction(QStringLiteral("Celulares"), this, &TfrmMain::MenuExibirTroncosc);
            if (t->TipoTronco == u"a")
                menu->addAction(QStringLiteral("Analógicos"), this, &TfrmMain::MenuExibirTroncosa);
            break;
        }
    }

    for (const QString& nome : telasAbrir) {
        if (nome == u"Troncos") {
            CriaTelaTroncos(QString(), nullptr);
        } else if (nome == u"Troncosc" || nome == u"Troncosa") {
            CriaTelaTroncos(nome.mid(7), nullptr);
        } else if (nome.startsWith(u"Troncosd") || nome.startsWith(u"Troncoss")) {
            bool ok = false;
            const int posicao = nome.mid(8, 10).toInt(&ok);
            TTronco* t = ok ? troncos.Item(posicao) : nullptr;
            if (t && t->TipoTronco == nome.mid(7, 1)) CriaTelaTroncos(t->TipoTronco, t);
        }
    }
}
