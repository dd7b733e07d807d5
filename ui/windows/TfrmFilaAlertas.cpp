#include "monitor/TMonitor.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TfrmFila.h"

void TfrmFila::AssinaAlertas() {
    m_avisoAlerta = m_monitor->Avisos().Alerta.Assina([this](const TAlerta* a, TAvisoAlerta) {
        if (m_fila && a->Fila == m_fila) MostraAlerta();
    });
}

void TfrmFila::MostraAlerta() {
    if (!m_monitor || !m_fila) return;
    QStringList textos;
    for (const TAlerta* a : m_monitor->Alertas().AlertasDe(m_fila))
        textos << a->Texto;
    m_panel->SetAlerta(textos.join(QStringLiteral("; ")), m_monitor->CorAlerta);
}
