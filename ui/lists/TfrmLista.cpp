#include "ui/lists/TfrmLista.h"

#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/lists/TDelegateLista.h"
#include "ui/lists/TFontesLista.h"
#include "ui/lists/TModeloTabela.h"
#include "ui/lists/TVistaLista.h"

#include <QCloseEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <cmath>

TfrmLista::TfrmLista(TMonitor* monitor, TModeloTabela* modelo, int alturaPadrao, int larguraPadrao,
                     int maiorOrdem, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_modeloTabela(modelo),
      m_delegate(new TDelegateLista(modelo, this)), m_vista(new TVistaLista(modelo, this)),
      m_alturaPadrao(alturaPadrao), m_larguraPadrao(larguraPadrao), m_maiorOrdem(maiorOrdem) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(larguraPadrao, alturaPadrao);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_vista);
    m_vista->SetDelegate(m_delegate);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_vista->Relatorio()),
                                 static_cast<QAbstractItemView*>(m_vista->Icones())}) {
        v->viewport()->setMouseTracking(true);
        v->viewport()->installEventFilter(this);
    }

    Timer1.setInterval(1000);
    Timer2.setInterval(500);
    Timer2.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TfrmLista::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TfrmLista::Timer2Timer);
    connect(m_vista, &TVistaLista::CabecalhoClicado, this, &TfrmLista::ColunaClicada);
    connect(m_vista, &TVistaLista::MenuPedido, this, &TfrmLista::AbreMenu);
    CriaFiltro();
}

TfrmLista::~TfrmLista() {
    Timer1.stop();
    Timer2.stop();
}

QString TfrmLista::ArquivoPerfil() const {
    if (m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

// --- Settings ------------------------------------------------------------------------------------

TLargurasColunas TfrmLista::LargurasPadrao(int nivel) const {
    const QFont fonte = FonteDoNivel(font(), nivel, false);
    QList<int> padrao[TLargurasColunas::Modos];
    for (int m = 0; m < TLargurasColunas::Modos; ++m)
        for (const TLarguraColuna& c : LargurasDoModo(m))
            padrao[m] << (c.Fixa ? c.Largura : LarguraPadrao(c.Largura, fonte, c.Textos));
    return TLargurasColunas(padrao[0], padrao[1]);
}

void TfrmLista::LeVariaveis() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(m_alturaPadrao, m_larguraPadrao);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    const TVisualizacaoLista vis = secao.LeVisualizacao();
    m_modo = vis.ModoVisualizacao >= 0 && vis.ModoVisualizacao <= 2 ? vis.ModoVisualizacao : 0;
    m_nivelLista = NivelValido(vis.TamanhoDaFonteLista);
    m_nivelIcone = NivelValido(vis.TamanhoDaFonteIcone);
    // Widths missing from the file fit the font the list will show.
    m_larguras = secao.LeColunas(LargurasPadrao(m_nivelLista));
    m_largurasLidas = true;
    const TOrdenacaoLista ord = secao.LeOrdenacao();
    m_sortCol = ord.SortCol >= 0 && ord.SortCol <= m_maiorOrdem ? ord.SortCol : 0;
    m_sortDesc = ord.SortDescendente;
    if (const int n = int(EscolhasTile().size())) {
        const int l1 = secao.LeInteiro(QStringLiteral("MostrarNaLinha1"), 0);
        const int l2 = secao.LeInteiro(QStringLiteral("MostrarNaLinha2"), 3);
        m_linha1 = l1 >= 0 && l1 < n ? l1 : 0;
        m_linha2 = l2 >= 0 && l2 < n ? l2 : 3;
    }
    m_esquema = LeEsquema(arquivo, secao.Secao());
    DefineFiltro(secao.LeTexto(QStringLiteral("Filtro")));
    LeExtras(secao);
}

void TfrmLista::LeVisualizacaoDe(const TSecaoTela& secao, const QString& sufixo,
                                 const QString& prefixo) {
    const TVisualizacaoLista vis = secao.LeVisualizacao(sufixo);
    m_modo = vis.ModoVisualizacao >= 0 && vis.ModoVisualizacao <= 2 ? vis.ModoVisualizacao : 0;
    m_nivelLista = NivelValido(vis.TamanhoDaFonteLista);
    m_nivelIcone = NivelValido(vis.TamanhoDaFonteIcone);
    m_larguras = secao.LeColunas(LargurasPadrao(m_nivelLista), prefixo);
    m_largurasLidas = true;
    DefineFiltro(secao.LeTexto(u"Filtro" + sufixo));
}

void TfrmLista::SalvaVisualizacaoEm(TSecaoTela& secao, const QString& sufixo,
                                    const QString& prefixo) {
    GuardaLarguras();
    secao.EscreveColunas(m_larguras, prefixo);
    secao.EscreveVisualizacao({m_modo, m_nivelLista, m_nivelIcone}, sufixo);
    secao.EscreveTexto(u"Filtro" + sufixo, Filtro());
}

void TfrmLista::GuardaLarguras() {
    if (m_modo != 2 && m_largurasLidas) m_larguras.GuardaAtuais(m_modo, m_vista->Larguras());
}

void TfrmLista::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    GuardaLarguras();
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.EscreveColunas(m_larguras);
        secao.EscreveVisualizacao({m_modo, m_nivelLista, m_nivelIcone});
        secao.EscreveOrdenacao({m_sortCol, m_sortDesc});
        if (!EscolhasTile().isEmpty()) {
            secao.EscreveInteiro(QStringLiteral("MostrarNaLinha1"), m_linha1);
            secao.EscreveInteiro(QStringLiteral("MostrarNaLinha2"), m_linha2);
        }
        secao.EscreveTexto(QStringLiteral("Filtro"), Filtro());
        SalvaExtras(secao);
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmLista::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Timer2.stop();
    SalvaCfgForm();
    event->accept();
}

// --- Rows ----------------------------------------------------------------------------------------

void TfrmLista::RefazListView() {
    Timer1.stop();
    if (!m_largurasLidas) {
        m_larguras = LargurasPadrao(m_nivelLista);
        m_largurasLidas = true;
    }
    const bool icone = m_modo == 2;
    MontaColunas();
    m_modeloTabela->SetModoTile(icone);
    m_delegate->SetModoIcone(icone);
    m_delegate->SetNivelIcone(m_nivelIcone);
    m_vista->SetFonte(PontosDoNivel(icone ? m_nivelIcone : m_nivelLista), icone);
    const QSize tile = TileQueCabe(font(), m_nivelIcone, AmostrasTile());
    m_delegate->SetTamanhoTile(tile);
    m_vista->SetModo(m_modo, tile);
    if (!icone) {
        QList<int> larguras, fixas;
        const std::vector<TLarguraColuna> colunas = LargurasDoModo(m_modo);
        for (int c = 0; c < m_modeloTabela->Colunas(); ++c) {
            const bool fixa = size_t(c) < colunas.size() && colunas[size_t(c)].Fixa;
            larguras << (fixa ? colunas[size_t(c)].Largura : m_larguras.Largura(m_modo, c));
            if (fixa) fixas << c;
        }
        m_vista->DefineLarguras(larguras, fixas);
    }

    m_modeloTabela->IniciaLote();
    PreencheLinhas();
    m_modeloTabela->FimLote();
    m_ordemPendente = false;
    if (OrdenaAoMudar()) OrdenaLinhas();
    Timer1.start();
}

// --- Timers --------------------------------------------------------------------------------------

void TfrmLista::Timer1Timer() {
    m_modeloTabela->IniciaLote();
    const bool mudou = AtualizaTempos();
    m_modeloTabela->FimLote();
    if (mudou && OrdenaAoMudar())
        PedeOrdenacao();
    else
        AplicaOrdemPendente();
    Timer2.start();
}

void TfrmLista::Timer2Timer() {
    Timer2.stop();
    m_modeloTabela->IniciaLote();
    Pisca();
    m_modeloTabela->FimLote();
}

// --- Sorting -------------------------------------------------------------------------------------

bool TfrmLista::OrdemBloqueada() const {
    if (m_menuAberto) return true;
    if (!m_sobreLinhas) return false;
    const QAbstractItemView* v = m_modo == 2
                                     ? static_cast<QAbstractItemView*>(m_vista->Icones())
                                     : static_cast<QAbstractItemView*>(m_vista->Relatorio());
    return v->indexAt(m_ponteiro).isValid();
}

void TfrmLista::PedeOrdenacao() {
    if (OrdemBloqueada()) {
        m_ordemPendente = true;
        return;
    }
    m_ordemPendente = false;
    OrdenaLinhas();
}

void TfrmLista::AplicaOrdemPendente() {
    if (m_ordemPendente) PedeOrdenacao();
}

bool TfrmLista::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
    case QEvent::HoverMove: {
        m_sobreLinhas = true;
        if (evento->type() == QEvent::MouseMove)
            m_ponteiro = static_cast<QMouseEvent*>(evento)->position().toPoint();
        else if (evento->type() == QEvent::Enter)
            m_ponteiro = static_cast<QEnterEvent*>(evento)->position().toPoint();
        if (!OrdemBloqueada()) AplicaOrdemPendente();
        break;
    }
    case QEvent::Leave:
        m_sobreLinhas = false;
        AplicaOrdemPendente();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(objeto, evento);
}

void TfrmLista::ColunaClicada(int coluna) {
    const int chave = m_modeloTabela->OrdemDaColuna(coluna);
    if (chave < 0) return;
    if (chave != m_sortCol) {
        m_sortCol = chave;
        m_sortDesc = false;
    } else if (chave == 0 && !InverteEstado()) {
        return; // already sorted by state
    } else {
        m_sortDesc = !m_sortDesc;
    }
    m_ordemPendente = false;
    OrdenaLinhas();
}

// --- View options --------------------------------------------------------------------------------

void TfrmLista::SetModoVisualizacao(int modo) {
    if (modo < 0 || modo > 2) return;
    GuardaLarguras();
    m_modo = modo;
    RefazListView();
}

void TfrmLista::SetMostrarNaLinha(int linha, int valor) {
    int& atual = linha == 1 ? m_linha1 : m_linha2;
    if (valor < 0 || valor >= EscolhasTile().size() || atual == valor) return;
    atual = valor;
    RefazListView();
}

void TfrmLista::AtualizaCores() {
    const QString arquivo = ArquivoPerfil();
    m_esquema = arquivo.isEmpty() ? EsquemaPadrao() : LeEsquema(arquivo, u"Tela" + objectName());
    GuardaLarguras();
    RefazListView();
}

void TfrmLista::AjustaLarguras(int nivelAntigo, int nivelNovo) {
    // The user's widths grow and shrink with the letters; untouched ones become the new level's
    // own defaults.
    const TLargurasColunas antigas = LargurasPadrao(nivelAntigo);
    const TLargurasColunas novas = LargurasPadrao(nivelNovo);
    const double fator = EscalaDaFonte(FonteDoNivel(font(), nivelNovo, false)) /
                         EscalaDaFonte(FonteDoNivel(font(), nivelAntigo, false));
    for (int m = 0; m < TLargurasColunas::Modos; ++m) {
        const std::vector<TLarguraColuna> colunas = LargurasDoModo(m);
        for (qsizetype c = 0; c < m_larguras.Colunas(); ++c) {
            if (size_t(c) < colunas.size() && colunas[size_t(c)].Fixa) continue;
            const int atual = m_larguras.Largura(m, c);
            m_larguras.DefineLargura(m, c,
                                     atual == antigas.Largura(m, c)
                                         ? novas.Largura(m, c)
                                         : int(std::lround(atual * fator)));
        }
    }
}

void TfrmLista::MudaFonte(int delta) {
    int& nivel = m_modo == 2 ? m_nivelIcone : m_nivelLista;
    const int novo = NivelValido(nivel + delta);
    if (novo == nivel) return;
    if (m_modo != 2) {
        GuardaLarguras();
        AjustaLarguras(nivel, novo);
    }
    nivel = novo;
    RefazListView();
}

// --- Pop-up menu ---------------------------------------------------------------------------------

QMenu* TfrmLista::MontaMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AdicionaItensMenu(menu);

    QMenu* modo = menu->addMenu(QStringLiteral("Modo de visualização"));
    modo->addAction(QStringLiteral("Lista"), this, [this] { SetModoVisualizacao(0); });
    modo->addAction(QStringLiteral("Detalhe"), this, [this] { SetModoVisualizacao(1); });
    const QStringList escolhas = EscolhasTile();
    if (m_modo == 2 && !escolhas.isEmpty()) {
        QMenu* resumido = modo->addMenu(QStringLiteral("Resumido"));
        for (int linha = 1; linha <= 2; ++linha) {
            QMenu* sub = resumido->addMenu(u"Mostrar na linha " + QString::number(linha));
            for (int v = 0; v < escolhas.size(); ++v) {
                QAction* act = sub->addAction(escolhas[v], this,
                                              [this, linha, v] { SetMostrarNaLinha(linha, v); });
                act->setCheckable(true);
                act->setChecked((linha == 1 ? m_linha1 : m_linha2) == v);
            }
        }
    } else {
        modo->addAction(QStringLiteral("Resumido"), this, [this] { SetModoVisualizacao(2); });
    }
    QMenu* fonte = menu->addMenu(QStringLiteral("Tamanho da fonte"));
    const int nivel = m_modo == 2 ? m_nivelIcone : m_nivelLista;
    fonte->addAction(QStringLiteral("Diminuir"), this, [this] { MudaFonte(-1); })
        ->setEnabled(nivel > 0);
    fonte->addAction(QStringLiteral("Aumentar"), this, [this] { MudaFonte(+1); })
        ->setEnabled(nivel < kNiveisFonte - 1);
    if (TemCores()) menu->addAction(QStringLiteral("Cores..."), this, [this] { AbreCores(); });
    return menu;
}

void TfrmLista::AbreMenu(const QPoint& global) {
    QMenu* menu = MontaMenu();
    // The rows hold still while the menu is open, so its action reaches the row it was opened on.
    m_menuAberto = true;
    connect(menu, &QMenu::aboutToHide, this, [this] {
        m_menuAberto = false;
        QTimer::singleShot(0, this, &TfrmLista::AplicaOrdemPendente);
    });
    menu->popup(global);
}
