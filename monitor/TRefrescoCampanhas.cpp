#include "monitor/TRefrescoCampanhas.h"

#include "base/ActionText.h"
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "model/callcentre/TCampanha.h"

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
    if (id == TRefrescoCampanhas::kUltimaConsulta) {
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

TRefrescoCampanhas::TRefrescoCampanhas(TListaCampanhas& campanhas, TLigacoes ligacoes)
    : m_campanhas(campanhas), m_ligacoes(std::move(ligacoes)) {
    m_timer.setInterval(kIntervalo);
}

void TRefrescoCampanhas::PedeLista() {
    TActionText a(u"ZXDBCommand");
    a.Add(u"ActionId", QStringLiteral("ZXDBListaCampanhasAtual"))
        .Add(u"Command", QStringLiteral("List"))
        .Add(u"Table", QStringLiteral("DisCampanha"));
    m_ligacoes.Envia(a.Text());
}

void TRefrescoCampanhas::LeResumo() {
    if (m_campanhas.Count() == 0 || m_campanhas.ContaAtivas() == 0) return;
    // The ids come from the server and go between quotes into the filters: one that could end
    // the quoted text is left out of the summary rather than sent.
    QString ativas;
    m_campanhas.ParaCada([&](const TCampanha* c) {
        if (!c->EstaAtiva()) return;
        try {
            const QString& id = FilterValue(c->CampanhaId());
            if (!ativas.isEmpty()) ativas += u',';
            ativas += u'\'' + id + u'\'';
        } catch (const TUnsafeValueError&) {
            m_ligacoes.Loga(u"Resumo da campanha não pedido: identificador inválido (" +
                            c->CampanhaId() + u")");
        }
    });
    if (ativas.isEmpty()) return;
    m_campanhas.ParaCada([](TCampanha* c) { c->ZeraResumo(); });
    for (const TConsultaResumo& q : kConsultas) {
        QString filtro = QString::fromUtf16(q.Filtro);
        if (q.Depois) filtro += ativas + QStringView(q.Depois);
        TActionText a(u"ZXDBCommand");
        a.Add(u"Command", QStringLiteral("List"))
            .Add(u"Table", QString::fromUtf16(q.Tabela))
            .Add(u"Fields", QString::fromUtf16(q.Campos))
            .Add(u"Filter", filtro)
            .Add(u"ActionId", QString::fromUtf16(q.Id));
        m_ligacoes.Envia(a.Text());
    }
    // Enabling a running timer leaves its count as it is.
    if (!m_timer.isActive()) m_timer.start();
}

// Rows for a campaign not in the list are ignored; a later row overwrites an earlier one.
void TRefrescoCampanhas::LinhaResumo(const TPacketManagerParser& p) {
    TCampanha* c = m_campanhas.Procura(p.ValorParaBusca(u"CampanhaId"));
    if (!c) return;
    const QStringView contador = ContadorDoResumo(p.GetValueView(u"ZXDBActionID"), p);
    if (!contador.isEmpty()) c->DefineResumo(contador, InteiroOuPadrao(p, u"Total", 0));
}
