#include "ui/windows/TListaChamadasFila.h"

#include "base/Clock.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "settings/TSecaoTela.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/windows/TColunasAtendente.h"

#include <QMenu>

#include <algorithm>

const QColor TListaChamadasFila::kFundo(13, 121, 202);
const QColor TListaChamadasFila::kFundoSla(6, 63, 104);

namespace {

double InicioDe(const TChannel& c) {
    return c.LigacaoFila ? c.LigacaoFila->Inicio : c.Inicio;
}

} // namespace

TListaChamadasFila::TListaChamadasFila(TMonitor* monitor, QWidget* parent)
    : TfrmListaDe<TChannel>(monitor, 200, 400, 0, parent) {
    setMinimumHeight(50);
    m_linha2 = 2;
    m_modelo->DescricaoCor = [this](const TChannel& c, const TLinhaTabela& linha) {
        QString t = linha.Chave == 1 ? QStringLiteral("nível de serviço excedido")
                                     : QStringLiteral("em espera");
        if (c.LigacaoFila && c.LigacaoFila->Chamando > 0) t += QStringLiteral(", tocando");
        return t;
    };
}

void TListaChamadasFila::SetFila(TFila* fila) {
    m_fila = fila;
    Recarrega();
}

void TListaChamadasFila::Recarrega() {
    GuardaLarguras();
    RefazListView();
}

QString TListaChamadasFila::TextoTelefone(const TChannel& c) {
    return c.CallerId.isEmpty() ? c.CallerIdNum : c.CallerId;
}

QString TListaChamadasFila::TextoTile(const TChannel* c, int escolha) {
    if (!c) return QStringLiteral("...");
    if (escolha == 2) return ElapsedText(InicioDe(*c));
    if (escolha == 1) return c->CallerIdName.isEmpty() ? c->CallerId : c->CallerIdName;
    return TextoTelefone(*c);
}

std::vector<TColunaLista<TChannel>> TListaChamadasFila::Colunas(int modo) const {
    using C = TColunaLista<TChannel>;
    if (modo == 2) // the tile is drawn by hand
        return {C("Canal", 80, [](const TChannel&) { return QStringLiteral("..."); })};
    const QString hora = QStringLiteral("00:00:00");
    const C canal = C("Canal", 80, [](const TChannel& c) { return c.NomePeer(); });
    const C telefone =
        C("Telefone", 80, [](const TChannel& c) { return TextoTelefone(c); }).Guarda(cTelefone);
    const C tempo =
        C("Tempo", 80, [](const TChannel&) { return QString(); }).Guarda(cTempo).Cabe({hora});
    if (modo == 0) return {canal, telefone, tempo};
    const C inicio =
        C("Início", 70, [](const TChannel& c) { return StampText(InicioDe(c)); }).Cabe({hora});
    const C posicao = C("Posição inicial / atual", 60, [](const TChannel&) { return QString(); })
                          .ADireita()
                          .Guarda(cPosicao);
    const C numero = C("Chamador (Número)", 80, [](const TChannel& c) { return c.CallerIdNum; });
    const C nome = C("Chamador (Nome)", 80, [](const TChannel& c) { return c.CallerIdName; });
    return {canal, telefone, tempo, inicio, posicao, numero, nome};
}

int TListaChamadasFila::Compara(const TChannel& a, const TChannel& b) const {
    const double ia = InicioDe(a), ib = InicioDe(b);
    if (ia != ib) return ia < ib ? -1 : 1;
    // Calls of the same second keep the queue's own order.
    const qint32 pa = a.LigacaoFila ? a.LigacaoFila->PosicaoAtual : 0;
    const qint32 pb = b.LigacaoFila ? b.LigacaoFila->PosicaoAtual : 0;
    return pa < pb ? -1 : pa > pb ? 1 : 0;
}

void TListaChamadasFila::PreencheLinhas() {
    if (!m_fila) return;
    std::vector<TChannel*> chamadas;
    for (TChannel* c : m_fila->QueueCalls())
        if (c && c->LigacaoFila && c->LigacaoFila->Queued) chamadas.push_back(c);
    // Already in the list's order, so the positions written now are the rows'.
    std::stable_sort(chamadas.begin(), chamadas.end(),
                     [this](const TChannel* a, const TChannel* b) { return Compara(*a, *b) < 0; });
    for (TChannel* c : chamadas) {
        const int row = m_modelo->Adiciona(c);
        m_modelo->Linha(row).Chave = 0;
        Calcula(row);
    }
}

void TListaChamadasFila::EntraChamada(TChannel* canal) {
    if (!canal || !canal->LigacaoFila || !canal->LigacaoFila->Queued) return;
    if (m_modelo->LinhaDe(canal) >= 0) return AtualizaChamada(canal);
    const int row = m_modelo->Adiciona(canal);
    m_modelo->Linha(row).Chave = 0;
    const bool foraDeOrdem = row > 0 && Compara(*canal, *ObjetoDaLinha(row - 1)) < 0;
    if (foraDeOrdem) OrdenaLinhas();
    m_modelo->IniciaLote();
    Calcula(m_modelo->LinhaDe(canal));
    if (foraDeOrdem) AtualizaPosicoes(0);
    m_modelo->FimLote();
}

void TListaChamadasFila::SaiChamada(TChannel* canal) {
    const int row = m_modelo->LinhaDe(canal);
    if (row < 0) return;
    // At once: the channel may be freed right after its notice.
    m_modelo->Retira(canal);
    m_modelo->IniciaLote();
    AtualizaPosicoes(row);
    m_modelo->FimLote();
}

void TListaChamadasFila::AtualizaPosicoes(int desde) {
    const int col = m_modelo->ColunaDoId(cPosicao);
    if (m_modo != 1 || col < 0) return;
    for (int row = std::max(0, desde); row < m_modelo->Linhas(); ++row)
        if (const TLigacaoFila* f = ObjetoDaLinha(row)->LigacaoFila.get())
            m_modelo->DefineCelula(
                row, col, QString::number(f->PosicaoInicial) + u" / " + QString::number(row + 1));
}

void TListaChamadasFila::AtualizaChamada(TChannel* canal) {
    int row = m_modelo->LinhaDe(canal);
    if (row < 0) return;
    // The entry time may come after the entry (a call joining has its moment set afterwards).
    const bool antes = row > 0 && Compara(*canal, *ObjetoDaLinha(row - 1)) < 0;
    const bool depois =
        row + 1 < m_modelo->Linhas() && Compara(*ObjetoDaLinha(row + 1), *canal) < 0;
    m_modelo->IniciaLote();
    if (antes || depois) {
        OrdenaLinhas();
        AtualizaPosicoes(0);
        row = m_modelo->LinhaDe(canal);
    }
    Calcula(row);
    m_modelo->FimLote();
}

int TListaChamadasFila::Espera(const TChannel& c) const {
    return ElapsedSeconds(InicioDe(c));
}

bool TListaChamadasFila::SlaExcedido(int row) const {
    return row >= 0 && row < m_modelo->Linhas() && m_modelo->Linha(row).Chave == 1;
}

void TListaChamadasFila::Calcula(int row) {
    const TChannel* c = ObjetoDaLinha(row);
    if (!c) return;
    TLinhaTabela& linha = m_modelo->Linha(row);
    const int w = Espera(*c);
    if (c->LigacaoFila && c->LigacaoFila->Chamando <= 0) linha.Marca = false;
    if (m_fila && w > m_fila->ServiceLevel) linha.Chave = 1;
    if (m_modo == 2) {
        AtualizaTile(row);
        return;
    }
    m_modelo->DefineCelula(row, m_modelo->ColunaDoId(cTelefone), TextoTelefone(*c));
    m_modelo->DefineCelula(row, m_modelo->ColunaDoId(cTempo),
                           TColunasAtendente::Hms(std::max(0, w)));
    if (m_modo == 1 && c->LigacaoFila)
        m_modelo->DefineCelula(row, m_modelo->ColunaDoId(cPosicao),
                               QString::number(c->LigacaoFila->PosicaoInicial) + u" / " +
                                   QString::number(row + 1));
    Pinta(row);
}

bool TListaChamadasFila::AtualizaTempos() {
    const int colTempo = m_modelo->ColunaDoId(cTempo);
    const int colPosicao = m_modelo->ColunaDoId(cPosicao);
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TChannel* c = ObjetoDaLinha(row);
        TLinhaTabela& linha = m_modelo->Linha(row);
        const TLigacaoFila* f = c->LigacaoFila.get();
        if (m_modo == 1 && f && colPosicao >= 0)
            m_modelo->DefineCelula(row, colPosicao,
                                   QString::number(f->PosicaoInicial) + u" / " +
                                       QString::number(row + 1));
        if (linha.Marca || (f && f->Chamando > 0)) {
            linha.Marca = false;
            Pinta(row);
        }
        const int w = Espera(*c);
        if (w < 0 || w % 5 != 0) continue;
        if (m_fila && w > m_fila->ServiceLevel && linha.Chave != 1) {
            linha.Chave = 1;
            Pinta(row);
        }
        if (m_modo == 2)
            AtualizaTile(row);
        else
            m_modelo->DefineCelula(row, colTempo, TColunasAtendente::Hms(w));
    }
    // The order is by entry time, which does not change.
    return false;
}

void TListaChamadasFila::Pisca() {
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TChannel* c = ObjetoDaLinha(row);
        if (!c->LigacaoFila || c->LigacaoFila->Chamando <= 0) continue;
        m_modelo->Linha(row).Marca = true;
        Pinta(row);
    }
}

void TListaChamadasFila::Pinta(int row) {
    const TLinhaTabela& linha = m_modelo->Linha(row);
    if (linha.Marca)
        m_modelo->DefineCores(row, CorBgr(m_esquema.CorFundo(TClasseCor::OcupadoNaFila)), Qt::black,
                              true);
    else
        m_modelo->DefineCores(row, linha.Chave == 1 ? kFundoSla : kFundo, Qt::white, true);
    m_modelo->Repinta(row);
}

QString TListaChamadasFila::TextoLinhaTile(const TChannel& c, int escolha) const {
    return TextoTile(&c, escolha);
}

QStringList TListaChamadasFila::AmostrasTile() const {
    return {QStringLiteral("00:00:00"), QStringLiteral("00000000000")};
}

void TListaChamadasFila::SetMostrarNaLinhaCh1(int valor) {
    if (valor < 0 || valor > 1 || valor == m_linha1) return;
    m_linha1 = valor;
    for (int row = 0; row < m_modelo->Linhas(); ++row)
        Calcula(row);
}

void TListaChamadasFila::AdicionaItensMenu(QMenu* menu) {
    if (MenuDaJanela) MenuDaJanela(menu);
    if (m_modo != 2) return;
    QMenu* linha = menu->addMenu(QStringLiteral("Mostrar na linha 1"));
    const QStringList escolhas{QStringLiteral("Chamador (Número)"),
                               QStringLiteral("Chamador (Nome)")};
    for (int v = 0; v < escolhas.size(); ++v) {
        QAction* act = linha->addAction(escolhas[v], this, [this, v] { SetMostrarNaLinhaCh1(v); });
        act->setCheckable(true);
        act->setChecked(m_linha1 == v);
    }
}

void TListaChamadasFila::LeConfig(const TSecaoTela& secao) {
    LeVisualizacaoDe(secao, QStringLiteral("Chamadas"), QStringLiteral("Ch"));
    const int l1 = secao.LeInteiro(QStringLiteral("MostrarNaLinhaCh1"), 0);
    m_linha1 = l1 == 1 ? 1 : 0;
    m_esquema = SchemeOfQueueWindow(ArquivoPerfil(), secao.Secao());
}

void TListaChamadasFila::SalvaConfig(TSecaoTela& secao) {
    SalvaVisualizacaoEm(secao, QStringLiteral("Chamadas"), QStringLiteral("Ch"));
    secao.EscreveInteiro(QStringLiteral("MostrarNaLinhaCh1"), m_linha1);
}
