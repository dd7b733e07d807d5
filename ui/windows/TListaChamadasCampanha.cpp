#include "ui/windows/TListaChamadasCampanha.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/telephony/TChannel.h"
#include "settings/TSecaoTela.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/windows/TListaChamadasFila.h"

#include <QMenu>

#include <algorithm>

TListaChamadasCampanha::TListaChamadasCampanha(TMonitor* monitor, QWidget* parent)
    : TfrmListaDe<TChannel>(monitor, 200, 400, 0, parent) {
    setMinimumHeight(50);
    m_linha1 = 0;
    m_linha2 = 1;
    m_modelo->DescricaoCor = [](const TChannel& c, const TLinhaTabela&) {
        return EmAtendimento(c) ? QStringLiteral("em atendimento")
                                : QStringLiteral("aguardando atendente");
    };
}

void TListaChamadasCampanha::SetCampanha(TCampanha* campanha) {
    m_campanha = campanha;
    Recarrega();
}

void TListaChamadasCampanha::Recarrega() {
    GuardaLarguras();
    RefazListView();
}

double TListaChamadasCampanha::InicioDe(const TChannel& c) {
    return c.LigacaoDiscador && c.LigacaoDiscador->Inicio > 0 ? c.LigacaoDiscador->Inicio
                                                              : c.Inicio;
}

bool TListaChamadasCampanha::EmAtendimento(const TChannel& c) {
    const TLigacaoFila* f = c.LigacaoFila.get();
    return f && f->DataAgente && f->Atendimento > 0;
}

QString TListaChamadasCampanha::TextoAgente(const TChannel& c) {
    const TLigacaoFila* f = c.LigacaoFila.get();
    const TAgente* a = f ? f->DataAgente : nullptr;
    if (!a) return {};
    return a->AgentName.isEmpty() ? a->AgentNumber() : a->AgentNumber() + u" - " + a->AgentName;
}

QString TListaChamadasCampanha::TextoTile(const TChannel* c, int linha) {
    if (!c) return QStringLiteral("...");
    if (linha == 1) return ElapsedText(InicioDe(*c));
    return c->CallerId.isEmpty() ? c->CallerIdNum : c->CallerId;
}

std::vector<TColunaLista<TChannel>> TListaChamadasCampanha::Colunas(int modo) const {
    using C = TColunaLista<TChannel>;
    if (modo == 2) // the tile is drawn by hand
        return {C("Canal", 80, [](const TChannel&) { return QStringLiteral("..."); })};
    const QString hora = QStringLiteral("00:00:00");
    const C canal = C("Canal", 80, [](const TChannel& c) { return c.NomePeer(); });
    const C inicio =
        C("Inicio", 70, [](const TChannel& c) { return StampText(InicioDe(c)); }).Cabe({hora});
    // The customer's number, as the dialer read it for the call.
    const C telefone = C("Telefone", 80, [](const TChannel& c) { return c.CallerIdNum; });
    C estado = C("", 22, [](const TChannel&) { return QString(); }).Guarda(cEstado);
    estado.Fixa = true;
    const C agente = C("Agente", 80, [](const TChannel& c) { return TextoAgente(c); });
    if (modo == 0) return {canal, inicio, telefone, estado, agente};
    const C id = C("Id da Chamada", 80, [](const TChannel& c) { return c.UniqueId(); });
    const C numero = C("Chamador (Número)", 80, [](const TChannel& c) { return c.CallerIdNum; });
    const C nome = C("Chamador (Nome)", 80, [](const TChannel& c) { return c.CallerIdName; });
    return {canal, inicio, telefone, id, numero, nome, estado, agente};
}

int TListaChamadasCampanha::Compara(const TChannel& a, const TChannel& b) const {
    const double ia = InicioDe(a), ib = InicioDe(b);
    if (ia != ib) return ia < ib ? -1 : 1;
    return QString::compare(a.UniqueId(), b.UniqueId());
}

void TListaChamadasCampanha::PreencheLinhas() {
    if (!m_campanha) return;
    std::vector<TChannel*> chamadas(m_campanha->Chamadas().begin(), m_campanha->Chamadas().end());
    std::stable_sort(chamadas.begin(), chamadas.end(),
                     [this](const TChannel* a, const TChannel* b) { return Compara(*a, *b) < 0; });
    for (TChannel* c : chamadas) {
        if (!c) continue;
        Calcula(m_modelo->Adiciona(c));
    }
}

void TListaChamadasCampanha::EntraChamada(TChannel* canal) {
    if (!canal || !m_campanha || !m_campanha->TemChamada(canal)) return;
    if (m_modelo->LinhaDe(canal) >= 0) return AtualizaChamada(canal);
    const int row = m_modelo->Adiciona(canal);
    if (row > 0 && Compara(*canal, *ObjetoDaLinha(row - 1)) < 0) OrdenaLinhas();
    Calcula(m_modelo->LinhaDe(canal));
}

void TListaChamadasCampanha::SaiChamada(TChannel* canal) {
    // At once: the channel may be freed right after its notice.
    m_modelo->Retira(canal);
}

void TListaChamadasCampanha::AtualizaChamada(TChannel* canal) {
    const int row = m_modelo->LinhaDe(canal);
    if (row < 0) return EntraChamada(canal);
    Calcula(row);
    m_modelo->Repinta(row);
}

void TListaChamadasCampanha::AtualizaTodas() {
    for (int row = 0; row < m_modelo->Linhas(); ++row)
        Calcula(row);
}

void TListaChamadasCampanha::Calcula(int row) {
    const TChannel* c = ObjetoDaLinha(row);
    if (!c) return;
    m_modelo->Linha(row).Chave = EmAtendimento(*c) ? 1 : 0;
    if (m_modo == 2) {
        AtualizaTile(row);
        return;
    }
    Pinta(row);
}

bool TListaChamadasCampanha::AtualizaTempos() {
    // Only the tiles show a running time; the rows' state follows the call's notices, and is
    // checked here too in case an agent's answer reached the queue before the call's notice.
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TChannel* c = ObjetoDaLinha(row);
        const int chave = EmAtendimento(*c) ? 1 : 0;
        if (m_modo == 2 || m_modelo->Linha(row).Chave != chave) Calcula(row);
    }
    return false;
}

void TListaChamadasCampanha::Pinta(int row) {
    const TLinhaTabela& linha = m_modelo->Linha(row);
    if (linha.Chave == 1)
        m_modelo->DefineCores(row, CorBgr(m_esquema.CorFundo(TClasseCor::OcupadoNaFila)),
                              CorBgr(m_esquema.CorFonte(TClasseCor::OcupadoNaFila)), true);
    else
        m_modelo->DefineCores(row, TListaChamadasFila::kFundo, Qt::white, true);
    m_modelo->Repinta(row);
}

QString TListaChamadasCampanha::TextoLinhaTile(const TChannel& c, int escolha) const {
    return TextoTile(&c, escolha);
}

QStringList TListaChamadasCampanha::AmostrasTile() const {
    return {QStringLiteral("00:00:00"), QStringLiteral("00000000000")};
}

TEsquemaCores TListaChamadasCampanha::LeEsquema(const QString& arquivo,
                                                const QString& secao) const {
    return SchemeOfQueueWindow(arquivo, m_secaoCores.isEmpty() ? secao : m_secaoCores);
}

void TListaChamadasCampanha::AdicionaItensMenu(QMenu* menu) {
    if (MenuDaJanela) MenuDaJanela(menu);
}

void TListaChamadasCampanha::LeConfig(const TSecaoTela& secao) {
    LeVisualizacaoDe(secao, QStringLiteral("Chamadas"), QStringLiteral("Ch"));
    m_esquema = LeEsquema(ArquivoPerfil(), secao.Secao());
}

void TListaChamadasCampanha::SalvaConfig(TSecaoTela& secao) {
    SalvaVisualizacaoEm(secao, QStringLiteral("Chamadas"), QStringLiteral("Ch"));
}
