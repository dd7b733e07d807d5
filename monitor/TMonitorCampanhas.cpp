// Dialer campaigns: the campaign list and its refresh every minute, the summary counters read
// from the server's database through table queries, the "Discador" menu's contents and the
// campaign notices on their way to the windows.
#include "base/ActionText.h"
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

namespace {

// One summary query: its id, table and fields, and its filter. A filter with `Depois` is
// written around the quoted ids of the active campaigns; one without it selects, by joins, the
// campaigns the database marks as running with a queue.
struct TConsultaResumo {
    const char16_t* Id;
    const char16_t* Tabela;
    const char16_t* Campos;
    const char16_t* Filtro;
    const char16_t* Depois;
};

// In the order they are sent; the last one's completion ends the refresh.
const TConsultaResumo kConsultas[] = {
    {u"ZXDBDisClientesTotal", u"DisCliente", u"CampanhaId,COUNT(ClienteId) AS Total",
     u"WHERE CampanhaId in (", u") group by CampanhaId"},
    {u"ZXDBDisClientesDiscar", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS Total",
     u"INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN DisCampanha USING "
     u"(CampanhaId) WHERE DisCampanha.Status > 0 AND DisCampanha.Fila > 0 AND "
     u"DisTelefone.Ativo = 1"
     u" AND DisTelefone.numTentativas < DisCampanha.maxTentativasDiscagens AND "
     u"DisCliente.ClassificacaoId IS NULL"
     u" AND DisCliente.Bloqueado = 0 AND (DisCliente.Agenda IS NULL OR DisCliente.Agenda < "
     u"NOW()) AND"
     u" (DisTelefone.Agenda IS NULL OR DisTelefone.Agenda < NOW()) AND (DisTelefone.LastStatus "
     u"IS NULL OR DisTelefone.LastStatus = 4) group by DisCampanha.CampanhaId",
     nullptr},
    {u"ZXDBDisStatusDiscagem", u"DisStatusDiscagem",
     u"CampanhaId,Status,COUNT(DISTINCT(ClienteId)) AS Total", u"WHERE CampanhaId in (",
     u") and Status > 0 and Status < 4 group by CampanhaId,Status"},
    {u"ZXDBDisClientesAgendados", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS Total",
     u"INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN DisCampanha USING "
     u"(CampanhaId) WHERE DisCampanha.Status > 0 AND DisCampanha.Fila > 0"
     u" AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas < "
     u"DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL AND "
     u"DisCliente.Bloqueado = 0 AND"
     u" (DisCliente.Agenda >= NOW() OR DisTelefone.Agenda >= NOW()) AND (DisTelefone.LastStatus "
     u"IS NULL OR DisTelefone.LastStatus = 4) group by DisCampanha.CampanhaId",
     nullptr},
    {u"ZXDBDisTelefonesTotal", u"DisTelefone", u"CampanhaId,COUNT(Telefone) AS Total",
     u"WHERE CampanhaId in (", u") group by CampanhaId"},
    {u"ZXDBDisTelefonesDiscar", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total",
     u"INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN DisCampanha USING "
     u"(CampanhaId) WHERE DisCampanha.Status > 0 AND DisCampanha.Fila > 0"
     u" AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas < "
     u"DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL AND "
     u"DisCliente.Bloqueado = 0 AND"
     u" (DisCliente.Agenda IS NULL or DisCliente.Agenda < NOW()) AND (DisTelefone.Agenda IS "
     u"NULL OR DisTelefone.Agenda < NOW()) AND (DisTelefone.LastStatus IS NULL OR "
     u"DisTelefone.LastStatus = 4)"
     u" group by DisTelefone.CampanhaId",
     nullptr},
    {u"ZXDBDisTelefonesTentativasExcedidas", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total",
     u"INNER JOIN DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
     u"DisCampanha.Fila > 0"
     u" and DisTelefone.numTentativas >= DisCampanha.maxTentativasDiscagens group by "
     u"DisTelefone.CampanhaId",
     nullptr},
    {u"ZXDBDisTelefonesAgendados", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total",
     u"INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN DisCampanha USING "
     u"(CampanhaId) WHERE DisCampanha.Status > 0 AND DisCampanha.Fila > 0"
     u" AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas < "
     u"DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL AND "
     u"DisCliente.Bloqueado = 0 AND"
     u" (DisCliente.Agenda >= NOW() OR DisTelefone.Agenda >= NOW()) AND (DisTelefone.LastStatus "
     u"IS NULL OR DisTelefone.LastStatus = 4) group by DisTelefone.CampanhaId",
     nullptr},
    {u"ZXDBDisTelefonesDesativados", u"DisTelefone",
     u"DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total", u"WHERE CampanhaId in (",
     u") and DisTelefone.Ativo = 0 group by CampanhaId"},
    {u"ZXDBDisStatusChamadas", u"DisStatusDiscagem", u"CampanhaId,Status,COUNT(ClienteId) AS Total",
     u"WHERE CampanhaId in (", u") and Status > 0 and Status < 4 group by CampanhaId,Status"},
    {u"ZXDBDisClassificacaoChamadas", u"DisDiscagem",
     u"CampanhaId, ClassificacaoId, Count(*) AS Total", u"WHERE CampanhaId in (",
     u") and ClassificacaoId > 1 and ClassificacaoId < 4 group by CampanhaId,ClassificacaoId"},
};

constexpr QStringView kUltimaConsulta = u"ZXDBDisClassificacaoChamadas";

// The counter a summary row sets: named by its query alone, or by the query and the row's
// selector column. Empty for a selector value the summary does not count.
QStringView ContadorDoResumo(QStringView id, const TPacketManagerParser& p) {
    if (id == u"ZXDBDisClientesTotal") return u"CliTotal";
    if (id == u"ZXDBDisClientesDiscar") return u"CliDisponiveis";
    if (id == u"ZXDBDisClientesAgendados") return u"CliAgendados";
    if (id == u"ZXDBDisTelefonesTotal") return u"TelTotal";
    if (id == u"ZXDBDisTelefonesDiscar") return u"TelDisponiveis";
    if (id == u"ZXDBDisTelefonesTentativasExcedidas") return u"TelTentativasExcedidas";
    if (id == u"ZXDBDisTelefonesAgendados") return u"TelAgendados";
    if (id == u"ZXDBDisTelefonesDesativados") return u"TelDesativados";
    if (id == u"ZXDBDisStatusDiscagem" || id == u"ZXDBDisStatusChamadas") {
        const bool clientes = id == u"ZXDBDisStatusDiscagem";
        switch (InteiroOuPadrao(p, u"Status", 0)) {
        case 1:
            return clientes ? u"CliDiscados" : u"ChIniciadas";
        case 2:
            return clientes ? u"CliEncaminhadosFila" : u"ChEncaminhadasFila";
        case 3:
            return clientes ? u"CliAtendidosFila" : u"ChAtendidasFila";
        default:
            return {};
        }
    }
    if (id == kUltimaConsulta) {
        switch (InteiroOuPadrao(p, u"ClassificacaoId", 0)) {
        case 2:
            return u"ChOcupadas";
        case 3:
            return u"ChNaoAtendidas";
        default:
            return {};
        }
    }
    return {};
}

} // namespace

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
    TActionText a(u"ZXDBCommand");
    a.Add(u"ActionId", QStringLiteral("ZXDBListaCampanhasAtual"))
        .Add(u"Command", QStringLiteral("List"))
        .Add(u"Table", QStringLiteral("DisCampanha"));
    SendManager(a.Text());
}

// --- Summary ---------------------------------------------------------------------------------

void TMonitor::LeResumoCampanhas() {
    if (Campanhas.Count() == 0 || Campanhas.ContaAtivas() == 0) return;
    // The ids come from the server and go between quotes into the filters: one that could end
    // the quoted text is left out of the summary rather than sent.
    QString ativas;
    Campanhas.ParaCada([&](const TCampanha* c) {
        if (!c->EstaAtiva()) return;
        try {
            const QString& id = FilterValue(c->CampanhaId());
            if (!ativas.isEmpty()) ativas += u',';
            ativas += u'\'' + id + u'\'';
        } catch (const TUnsafeValueError&) {
            Loga(u"Resumo da campanha não pedido: identificador inválido (" + c->CampanhaId() +
                 u")");
        }
    });
    if (ativas.isEmpty()) return;
    Campanhas.ParaCada([](TCampanha* c) { c->ZeraResumo(); });
    for (const TConsultaResumo& q : kConsultas) {
        QString filtro = QString::fromUtf16(q.Filtro);
        if (q.Depois) filtro += ativas + QStringView(q.Depois);
        TActionText a(u"ZXDBCommand");
        a.Add(u"Command", QStringLiteral("List"))
            .Add(u"Table", QString::fromUtf16(q.Tabela))
            .Add(u"Fields", QString::fromUtf16(q.Campos))
            .Add(u"Filter", filtro)
            .Add(u"ActionId", QString::fromUtf16(q.Id));
        SendManager(a.Text());
    }
    // Enabling a running timer leaves its count as it is.
    if (!TimerCampanhas.isActive()) TimerCampanhas.start();
}

// A row of a summary query: "Total" goes into the counter its query (and selector) names. Rows
// for a campaign not in the list are ignored; a later row overwrites an earlier one.
void TMonitor::RowResumoCampanha(const TPacketManagerParser& p) {
    TCampanha* c = Campanhas.Procura(p.ValorParaBusca(u"CampanhaId"));
    if (!c) return;
    const QStringView contador = ContadorDoResumo(p.GetValueView(u"ZXDBActionID"), p);
    if (!contador.isEmpty()) c->DefineResumo(contador, InteiroOuPadrao(p, u"Total", 0));
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
