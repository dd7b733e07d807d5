// Dialer campaigns: the rows of the campaign list, the refresher's entry points (its queries
// and counters are TRefrescoCampanhas), the "Discador" menu's contents and the campaign notices
// on their way to the windows.
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

// --- Campaign list ---------------------------------------------------------------------------

// A row of the campaign list, at the load or at a refresh: the campaign is created the first
// time and updated in place afterwards. A campaign missing from a later list keeps its state.
void TMonitor::RowCampanha(const TPacketManagerParser& p) {
    const QString id = p.GetValue(u"CampanhaId");
    if (id.isEmpty()) return;
    TCampanha* c = Campanhas.Procura(id);
    if (!c) c = Campanhas.Adiciona(std::make_unique<TCampanha>(id));
    // The packet's text is already decoded (UTF-8 when valid, Windows-1252 otherwise).
    c->Nome = p.GetValue(u"Nome");
    // Only the low byte of the status tells whether the campaign runs.
    c->Ativa = quint8(InteiroOuPadrao(p, u"Status", 0) & 0xFF);
    c->IdFila = p.GetValue(u"Fila");
    c->Tipo = p.GetValue(u"Tipo");
    c->OnCampanhaEvent = [this](TCampanha* s, TChannel* canal, TAvisoCampanha kind) {
        OnCampanhaEvent(s, canal, kind);
    };
    const bool comFila = c->EstaAtiva() && !c->IdFila.isEmpty() && c->IdFila != u"0";
    c->DefineFila(comFila ? Filas.Procura(c->IdFila) : nullptr);
}

void TMonitor::TimerCampanhasTimer() {
    PedeListaCampanhas();
}

void TMonitor::PedeListaCampanhas() {
    m_refrescoCampanhas.PedeLista();
}

// --- Summary ---------------------------------------------------------------------------------

void TMonitor::LeResumoCampanhas() {
    m_refrescoCampanhas.LeResumo();
}

void TMonitor::RowResumoCampanha(const TPacketManagerParser& p) {
    m_refrescoCampanhas.LinhaResumo(p);
}

void TMonitor::AtualizaResumoCampanhas(TCampanha* campanha) {
    if (campanha) {
        OnCampanhaEvent(campanha, nullptr, TAvisoCampanha::Resumo);
        return;
    }
    Campanhas.ParaCada(
        [this](TCampanha* c) { OnCampanhaEvent(c, nullptr, TAvisoCampanha::Resumo); });
    Q_EMIT CampanhasResumidas();
}

// --- Menu and notices ------------------------------------------------------------------------

void TMonitor::AtualizaMenuDiscador() {
    m_avisos.MenuDiscador.Emite();
}

TMonitor::TMenuDiscador TMonitor::MenuDiscador() const {
    TMenuDiscador m;
    const int todas = TemPermissaoCampanhas();
    const int ativas = TemPermissaoCampanhasAtivas();
    m.Habilitado = todas >= 1 || Permissoes.TemBit(2);
    m.AtivasHabilitado = ativas >= 1;
    m.CaptionInativas = u"Campanhas inativas (" + QString::number(todas - ativas) + u')';
    m.PreencheAtivas = todas >= 1;
    if (!m.PreencheAtivas) return m;
    Campanhas.ParaCada([&](TCampanha* c) {
        if (!c->EstaAtiva() || !c->PtrFila || !TemPermissaoCampanha(c)) return;
        bool ok = false;
        const int tag = c->CampanhaId().toInt(&ok);
        m.Ativas.push_back({c, c->Titulo(), ok ? tag : 0});
    });
    return m;
}

void TMonitor::OnCampanhaEvent(TCampanha* campanha, TChannel* canal, TAvisoCampanha kind) {
    if (!campanha) return;
    if (AvisoDeChamada(kind)) {
        // A call notice without its call tells nothing.
        if (!canal) return;
        m_avisos.Campanha.Emite(campanha);
        m_avisos.ChamadaCampanha.Emite(campanha, canal, kind);
    } else if (kind == TAvisoCampanha::Resumo) {
        m_avisos.ResumoCampanha.Emite(campanha);
    } else {
        m_avisos.Campanha.Emite(campanha);
    }
}

// --- Dispatcher registration -----------------------------------------------------------------

const TMonitor::TDominio& TMonitor::DominioCampanhas() {
    static const TDominio d{
        "Campanhas",
        {},
        {
            {QStringLiteral("ZXDBListaCampanhas"), &TMonitor::RowCampanha},
            {QStringLiteral("ZXDBListaCampanhasAtual"), &TMonitor::RowCampanha},
            {QStringLiteral("ZXDBDisClientesTotal"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisClientesDiscar"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisStatusDiscagem"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisClientesAgendados"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisTelefonesTotal"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisTelefonesDiscar"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisTelefonesTentativasExcedidas"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisTelefonesAgendados"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisTelefonesDesativados"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisStatusChamadas"), &TMonitor::RowResumoCampanha},
            {QStringLiteral("ZXDBDisClassificacaoChamadas"), &TMonitor::RowResumoCampanha},
        }};
    return d;
}
