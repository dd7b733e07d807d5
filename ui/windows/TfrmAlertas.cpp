#include "ui/windows/TfrmAlertas.h"

#include "base/Clock.h"
#include "monitor/TMonitor.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmAlertas::TfrmAlertas(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_lista(new QTreeWidget) {
    setWindowTitle(QStringLiteral("Alertas"));
    resize(620, 260);
    m_lista->setRootIsDecorated(false);
    m_lista->setUniformRowHeights(true);
    m_lista->setHeaderLabels({QStringLiteral("Desde"), QStringLiteral("Duração"),
                              QStringLiteral("Fila / atendente"), QStringLiteral("Alerta")});
    m_lista->setAccessibleName(QStringLiteral("Alertas ativos"));
    m_lista->header()->resizeSection(cDesde, 80);
    m_lista->header()->resizeSection(cDuracao, 70);
    m_lista->header()->resizeSection(cQuem, 200);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lista);
    connect(m_lista, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { AbreLinha(m_lista->indexOfTopLevelItem(item)); });
    if (m_monitor)
        m_aviso = m_monitor->Avisos().Alerta.Assina([this](const TAlerta*, TAvisoAlerta) {
            // Alerts come and go a few at a time; the list is short and read again whole.
            Preenche();
        });
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TfrmAlertas::AtualizaDuracoes);
    m_timer.start();
    Preenche();
}

void TfrmAlertas::Preenche() {
    const quint64 selecionado = [this]() -> quint64 {
        const int row = m_lista->currentIndex().row();
        return row >= 0 && row < int(m_linhas.size()) ? m_linhas[size_t(row)].Id : 0;
    }();
    m_lista->clear();
    m_linhas.clear();
    if (!m_monitor) return;
    QList<QTreeWidgetItem*> itens;
    for (const TAlerta* a : m_monitor->Alertas().Ativos()) {
        m_linhas.push_back({a->Id, a->Inicio, a->Fila, a->Agente});
        itens << new QTreeWidgetItem(
            QStringList{StampText(a->Inicio), ElapsedText(a->Inicio), a->Quem, a->Texto});
    }
    m_lista->addTopLevelItems(itens);
    for (size_t i = 0; i < m_linhas.size(); ++i)
        if (m_linhas[i].Id == selecionado) m_lista->setCurrentItem(itens[qsizetype(i)]);
}

void TfrmAlertas::AtualizaDuracoes() {
    for (int i = 0; i < m_lista->topLevelItemCount() && i < int(m_linhas.size()); ++i)
        m_lista->topLevelItem(i)->setText(cDuracao, ElapsedText(m_linhas[size_t(i)].Inicio));
}

void TfrmAlertas::AbreLinha(int row) {
    if (row < 0 || row >= int(m_linhas.size())) return;
    const TLinha& l = m_linhas[size_t(row)];
    if (l.Fila) Q_EMIT AbreFila(l.Fila);
    if (l.Agente) Q_EMIT AbreAgente(l.Agente);
}
