#include "ui/windows/TMenuAtendente.h"

#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoPausa.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"

#include <QMenu>
#include <QMessageBox>

TMenuAtendente::TMenuAtendente(TMonitor* monitor, Escolhido escolhido, QWidget* janela)
    : QObject(janela), m_monitor(monitor), m_escolhido(std::move(escolhido)) {
    PodeMonitorarConversa = [monitor](const TAgente& a) {
        return monitor && monitor->TemPermissaoAtendente(&a);
    };
    Pergunta = [janela](const TConfirmacao& c) {
        return QMessageBox::question(janela, c.Titulo, c.Texto, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
}

void TMenuAtendente::Adiciona(QMenu* menu) {
    const int slot = m_slot;
    TAgente* a = m_escolhido();
    QMenu* gerenciar = menu->addMenu(a ? u"Gerenciar atendente " + a->AgentNumber()
                                       : QStringLiteral("Gerenciar atendente"));
    gerenciar->setEnabled(a && m_monitor->TemPermissaoGerenciarAtendentes());
    // Only the chat variant follows external-chat conversations.
    if (slot == 1) {
        menu->addSeparator();
        const std::vector<TChannel*> chamadas =
            a && PodeMonitorarConversa && PodeMonitorarConversa(*a) ? a->FCalls()
                                                                    : std::vector<TChannel*>{};
        if (chamadas.size() == 1) {
            // One call: the entry itself opens it.
            menu->addAction(QStringLiteral("Monitorar conversa"), this,
                            [this] { MonitoraConversa(0); })
                ->setObjectName(QStringLiteral("MonitorarConversa"));
        } else {
            QMenu* conversa = menu->addMenu(QStringLiteral("Monitorar conversa"));
            conversa->menuAction()->setObjectName(QStringLiteral("MonitorarConversa"));
            for (size_t i = 0; i < chamadas.size(); ++i) {
                const TChannel* c = chamadas[i];
                const int indice = int(i);
                conversa->addAction(c->Channel() + u" (" + c->CallerId + u")", this,
                                    [this, indice] { MonitoraConversa(indice); });
            }
            conversa->setEnabled(!chamadas.empty());
        }
    }
    if (!a) return;
    gerenciar->addAction(QStringLiteral("Logoff"), this, [this] { Logoff(); })
        ->setEnabled(PodeLogoff(*a, slot));
    QMenu* adicionar = gerenciar->addMenu(QStringLiteral("Adicionar na fila"));
    QMenu* remover = gerenciar->addMenu(QStringLiteral("Remover da fila"));
    const bool podeFila = PodeAdicionarRemover(*a, slot, m_monitor->ModoCSTA);
    adicionar->setEnabled(podeFila);
    remover->setEnabled(podeFila);
    for (const TMonitor::TFilaMenu& f : m_monitor->FilasDoMenuAtendente(a, slot)) {
        const int tag = f.Tag;
        if (f.Membro)
            remover->addAction(f.Caption, this, [this, tag] { RemoveDaFila(tag); });
        else
            adicionar->addAction(f.Caption, this, [this, tag] { AdicionaNaFila(tag); });
    }
    QMenu* pausa = gerenciar->addMenu(QStringLiteral("Colocar em pausa"));
    pausa->setEnabled(PodeColocarEmPausa(*a, slot));
    for (int i = 0; i < m_monitor->MotivosPausa.Count(); ++i) {
        const TMotivoPausa* m = m_monitor->MotivosPausa.Item(i);
        const int tag = m->MotivoPausaId;
        pausa->addAction(m->Nome, this, [this, tag] { ColocaEmPausa(tag); });
    }
    gerenciar->addAction(QStringLiteral("Retirar de pausa"), this, [this] { RetiraDaPausa(); })
        ->setEnabled(PodeRetirarPausa(*a, slot));
}

void TMenuAtendente::Age(const TConfirmacao* pergunta,
                         const std::function<bool(const TAgente&)>& pode,
                         const std::function<void(TAgente*)>& acao) {
    TAgente* a = m_escolhido();
    if (!a) return;
    if (pergunta) {
        const QString id = a->Agent();
        if (!Pergunta(*pergunta)) return;
        a = m_monitor->Agentes.Procura(id);
    }
    if (a && pode(*a)) acao(a);
}

void TMenuAtendente::AdicionaNaFila(int fila) {
    TFila* f = fila > 0 ? m_monitor->Filas.Procura(QString::number(fila)) : nullptr;
    if (!f) return;
    Age(
        nullptr, [this](const TAgente& a) { return PodeAdicionarRemover(a, m_slot); },
        [this, f](TAgente* a) { m_monitor->AdicionaNaFila(a, f, m_slot); });
}

void TMenuAtendente::RemoveDaFila(int fila) {
    TFila* f = fila > 0 ? m_monitor->Filas.Procura(QString::number(fila)) : nullptr;
    if (!f) return;
    Age(
        nullptr, [this](const TAgente& a) { return PodeAdicionarRemover(a, m_slot); },
        [this, f](TAgente* a) { m_monitor->RemoveDaFila(a, f, m_slot); });
}

void TMenuAtendente::Logoff() {
    const TAgente* a = m_escolhido();
    if (!a) return;
    const TConfirmacao pergunta = ConfirmacaoLogoff(*a);
    Age(
        &pergunta, [this](const TAgente& x) { return PodeLogoff(x, m_slot); },
        [this](TAgente* x) { m_monitor->Logoff(x, m_slot); });
}

void TMenuAtendente::RetiraDaPausa() {
    const TAgente* a = m_escolhido();
    if (!a) return;
    const TConfirmacao pergunta = ConfirmacaoRetirarPausa(*a);
    Age(
        &pergunta, [this](const TAgente& x) { return PodeColocarEmPausa(x, m_slot); },
        [this](TAgente* x) { m_monitor->RetiraDaPausa(x, m_slot); });
}

void TMenuAtendente::ColocaEmPausa(int motivo) {
    const TAgente* a = m_escolhido();
    if (!a || motivo <= 0 || !m_monitor->MotivosPausa.Procura(motivo)) return;
    const TConfirmacao pergunta =
        ConfirmacaoColocarEmPausa(*a, m_monitor->MotivosPausa.ReasonText(motivo));
    Age(
        &pergunta, [this](const TAgente& x) { return PodeColocarEmPausa(x, m_slot); },
        [this, motivo](TAgente* x) {
            // The reasons may have been reloaded while the question was open.
            if (TMotivoPausa* m = m_monitor->MotivosPausa.Procura(motivo))
                m_monitor->ColocaEmPausa(x, m, m_slot);
        });
}

void TMenuAtendente::MonitoraConversa(int indice) {
    const TAgente* a = m_escolhido();
    if (m_slot != 1 || !a || indice < 0 || size_t(indice) >= a->FCalls().size()) return;
    if (PodeMonitorarConversa && !PodeMonitorarConversa(*a)) return;
    Q_EMIT MonitorarConversa(a->FCalls()[size_t(indice)]->UniqueId(), a->Agent());
}
