#include "ui/windows/TListPanelFila.h"

#include "model/callcentre/TFila.h"
#include "ui/widgets/TPanelFila.h"

#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

TListPanelFila::TListPanelFila(QWidget* coluna)
    : m_coluna(coluna), m_layout(qobject_cast<QVBoxLayout*>(coluna->layout())) {}

void TListPanelFila::Adiciona(TPanelFila* panel) {
    if (!panel) return;
    panel->setParent(m_coluna);
    // Before the stretch that keeps the panels at the top.
    if (m_layout) m_layout->insertWidget(int(m_paineis.size()), panel);
    m_paineis.push_back(panel);
    if (panel->Fila()) m_porFila.insert(panel->Fila(), panel);
    panel->show();
}

TPanelFila* TListPanelFila::Item(int i) const {
    return i >= 0 && i < Count() ? m_paineis[size_t(i)] : nullptr;
}

int TListPanelFila::IndiceDe(const TPanelFila* panel) const {
    const auto it = std::find(m_paineis.begin(), m_paineis.end(), panel);
    return it == m_paineis.end() ? -1 : int(it - m_paineis.begin());
}

int TListPanelFila::AlturaTotal() const {
    int total = 0;
    for (const TPanelFila* p : m_paineis)
        total += p->height();
    return total;
}

TPanelFila* TListPanelFila::ProcuraPorNome(const QString& filaId) const {
    for (TPanelFila* p : m_paineis)
        if (p->Fila() && p->Fila()->FilaId() == filaId) return p;
    return nullptr;
}

TPanelFila* TListPanelFila::ProcuraPorObjeto(const TFila* fila) const {
    return fila ? m_porFila.value(fila, nullptr) : nullptr;
}

void TListPanelFila::Remove(int i) {
    TPanelFila* p = Item(i);
    if (!p) return;
    m_paineis.erase(m_paineis.begin() + i);
    if (p->Fila()) m_porFila.remove(p->Fila());
    delete p;
}

void TListPanelFila::Limpa() {
    while (Count() > 0)
        Remove(Count() - 1);
}

int TListPanelFila::AlturaRedimensionavel(int alturaCliente, int fixoTotal, int n) {
    if (n <= 0) return kMaximo;
    return std::clamp((alturaCliente - fixoTotal) / n, kMinimo, kMaximo);
}

void TListPanelFila::Rearranja(int alturaCliente) {
    const int n = Count();
    const int altura = AlturaRedimensionavel(alturaCliente, n * kFixo, n);
    for (TPanelFila* p : m_paineis)
        p->setFixedHeight(kFixo + altura);
}

void TListPanelFila::MostraColuna(int coluna, bool visivel) {
    for (TPanelFila* p : m_paineis)
        p->SetSectionVisible(coluna, visivel);
}

void TListPanelFila::PosicaoColuna(int coluna, int posicao) {
    for (TPanelFila* p : m_paineis)
        p->SetSectionPosition(posicao, coluna);
}

void TListPanelFila::Reorganiza() {
    for (TPanelFila* p : m_paineis)
        p->Relayout();
}

void AtualizaPanelFila(TPanelFila* panel, const TFila* fila) {
    if (!panel || !fila) return;
    const int m = TPanelFila::ArredondaPar(fila->Members.Count());
    if (m > panel->MemberScale()) panel->SetMemberScale(m);
    panel->SetMembers(fila->Members.Count());
    panel->SetBusy(fila->AtendentesOcupados());
    panel->SetFree(fila->AtendentesLivres());
    panel->SetPaused(fila->AtendentesPausados());
    const int c = TPanelFila::ArredondaPar(fila->CallCount());
    if (c > panel->CallScale()) panel->SetCallScale(c);
    panel->SetWaiting(fila->WaitingCount());
    panel->SetAnswering(fila->AnsweringCount());
    // Counters are 32-bit on the wire; their sum is taken in 64 bits so it cannot wrap.
    const qint64 soma = qint64(fila->Completed) + fila->Abandoned + fila->ExitWithKey;
    panel->SetReceived(fila->Received >= 0 && fila->Received >= soma ? fila->Received : soma);
    panel->SetCompleted(fila->Completed);
    panel->SetAbandoned(qint64(fila->Abandoned) + fila->ExitWithKey);
    panel->SetAverageWait(fila->HoldTime);
    panel->SetAverageTalk(fila->TalkTime);
    panel->SetService(fila->ServiceLevel, fila->ServiceLevelPerf);
}
