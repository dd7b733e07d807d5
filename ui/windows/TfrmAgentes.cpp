#include "ui/windows/TfrmAgentes.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoPausa.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/lists/TDelegateLista.h"
#include "ui/lists/TFontesLista.h"
#include "ui/lists/TModeloTabela.h"
#include "ui/lists/TVistaLista.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

const QList<int> TfrmAgentes::kLargurasLista = {60, 150, 70, 80, 10, 120};
const QList<int> TfrmAgentes::kLargurasDetalhe = {60, 150, 50, 70, 80, 60, 60, 10, 120, 80, 90};

namespace {

QString Hms(qint64 s) {
    auto dois = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return dois(s / 3600) + u':' + dois((s % 3600) / 60) + u':' + dois(s % 60);
}

QString Elapsed(double t) {
    return t > 0 ? ElapsedText(t) : QString();
}

// The moment a queue call's time counts from: answered, else rung, else entered; 0 when none.
// `codigo` tells which (10, 20, 30; 0 for none): part of the row's state key.
double MomentoFila(const TLigacaoFila& f, int* codigo = nullptr) {
    int k = 0;
    double t = 0;
    if (f.Atendimento > 0)
        k = 10, t = f.Atendimento;
    else if (f.Chamando > 0)
        k = 20, t = f.Chamando;
    else if (f.Inicio > 0)
        k = 30, t = f.Inicio;
    if (codigo) *codigo = k;
    return t;
}

} // namespace

TfrmAgentes::TfrmAgentes(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_modelo(new TModeloTabela(this)),
      m_delegate(new TDelegateLista(m_modelo, this)), m_vista(new TVistaLista(m_modelo, this)),
      m_larguras(kLargurasLista, kLargurasDetalhe), m_esquema(EsquemaPadrao()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Atendentes"));
    resize(365, 440);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_vista);
    m_vista->SetDelegate(m_delegate);

    Pergunta = [this](const TConfirmacao& c) {
        return QMessageBox::question(this, c.Titulo, c.Texto, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };

    Timer1.setInterval(1000);
    Timer2.setInterval(500);
    Timer2.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TfrmAgentes::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TfrmAgentes::Timer2Timer);
    connect(m_vista, &TVistaLista::CabecalhoClicado, this, &TfrmAgentes::ColunaClicada);
    connect(m_vista, &TVistaLista::MenuPedido, this, &TfrmAgentes::AbreMenu);
    if (m_monitor)
        m_avisoMembro =
            m_monitor->Avisos().Membro.Assina([this](TFila*, TMembroFila* membro, TAvisoFila) {
                if (membro->Agent) AtualizaAgente(membro->Agent);
            });
}

TfrmAgentes::~TfrmAgentes() {
    Timer1.stop();
    Timer2.stop();
}

void TfrmAgentes::SetTipoForm(int tipo) {
    m_tipoForm = tipo == 1 ? 1 : 0;
    setWindowTitle(m_tipoForm == 1 ? QStringLiteral("Atendentes Chat")
                                   : QStringLiteral("Atendentes"));
}

QString TfrmAgentes::ArquivoPerfil() const {
    if (m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

// --- Settings ------------------------------------------------------------------------------------

void TfrmAgentes::LeVariaveis() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(440, 365);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    m_larguras = secao.LeColunas(TLargurasColunas(kLargurasLista, kLargurasDetalhe));
    const TVisualizacaoLista vis = secao.LeVisualizacao();
    m_modo = vis.ModoVisualizacao >= 0 && vis.ModoVisualizacao <= 2 ? vis.ModoVisualizacao : 0;
    m_nivelLista = NivelValido(vis.TamanhoDaFonteLista);
    m_nivelIcone = NivelValido(vis.TamanhoDaFonteIcone);
    const TOrdenacaoLista ord = secao.LeOrdenacao();
    m_sortCol = ord.SortCol >= 0 && ord.SortCol <= 3 ? ord.SortCol : 0;
    m_sortDesc = ord.SortDescendente;
    const int l1 = secao.LeInteiro(QStringLiteral("MostrarNaLinha1"), 0);
    const int l2 = secao.LeInteiro(QStringLiteral("MostrarNaLinha2"), 3);
    m_linha1 = l1 >= 0 && l1 <= 3 ? l1 : 0;
    m_linha2 = l2 >= 0 && l2 <= 3 ? l2 : 3;
    m_esquema = SchemeOfAgentsWindow(arquivo, secao.Secao());
}

void TfrmAgentes::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    if (m_modo != 2) m_larguras.GuardaAtuais(m_modo, m_vista->Larguras());
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.EscreveColunas(m_larguras);
        secao.EscreveVisualizacao({m_modo, m_nivelLista, m_nivelIcone});
        secao.EscreveOrdenacao({m_sortCol, m_sortDesc});
        secao.EscreveInteiro(QStringLiteral("MostrarNaLinha1"), m_linha1);
        secao.EscreveInteiro(QStringLiteral("MostrarNaLinha2"), m_linha2);
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmAgentes::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Timer2.stop();
    SalvaCfgForm();
    event->accept();
}

// --- Rows ----------------------------------------------------------------------------------------

TfrmAgentes::TColunas TfrmAgentes::Colunas() const {
    TColunas c;
    if (m_modo == 0) {
        c.estado = 2, c.tempo = 3, c.fila = 5;
    } else if (m_modo == 1) {
        c.ramal = 2, c.estado = 3, c.tempo = 4, c.login = 5, c.ultima = 6, c.fila = 8, c.canal = 9,
        c.telefone = 10;
    }
    return c;
}

TAgente* TfrmAgentes::AgenteDaLinha(int row) const {
    if (row < 0 || row >= m_modelo->Linhas()) return nullptr;
    return static_cast<TAgente*>(m_modelo->Linha(row).Objeto);
}

void TfrmAgentes::RefazListView() {
    Timer1.stop();
    const bool icone = m_modo == 2;
    const bool chat = m_tipoForm == 1;
    if (m_modo == 0)
        m_modelo->DefineColunas({"Atendente", "Nome", "Estado", "Tempo", "", "Fila"},
                                {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight,
                                 Qt::AlignLeft, Qt::AlignLeft});
    else if (m_modo == 1)
        m_modelo->DefineColunas({"Atendente", "Nome", chat ? "IP" : "Ramal", "Estado", "Tempo",
                                 "Login", "Última chamada", "", "Fila", "Canal",
                                 chat ? "Identificação" : "Telefone"},
                                {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft,
                                 Qt::AlignRight, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft,
                                 Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft});
    else
        m_modelo->DefineColunas({"Atendente"});

    m_delegate->SetModoIcone(icone);
    m_delegate->SetNivelIcone(m_nivelIcone);
    const QSize tile = TileDoNivel(m_nivelIcone);
    m_delegate->SetTamanhoTile(tile.isEmpty() ? kTilePadrao : tile);
    m_vista->SetModo(m_modo, tile);
    m_vista->SetFonte(PontosDoNivel(icone ? m_nivelIcone : m_nivelLista), icone);
    if (!icone) {
        QList<int> larguras;
        for (int c = 0; c < m_modelo->Colunas(); ++c)
            larguras << m_larguras.Largura(m_modo, c);
        const int espaco = m_modo == 0 ? 4 : 7;
        larguras[espaco] = 10;
        m_vista->DefineLarguras(larguras, {espaco});
    }

    m_modelo->IniciaLote();
    m_monitor->Agentes.ParaCada([&](TAgente* a) {
        if (!m_monitor->TemPermissaoAtendente(a)) return;
        const int row = m_modelo->Adiciona(a);
        if (icone) {
            m_modelo->DefineCelula(row, 0, QStringLiteral("..."));
        } else {
            m_modelo->DefineCelula(row, 0, a->AgentNumber());
            m_modelo->DefineCelula(row, 1, a->AgentName);
        }
        AtualizaAgenteNew(row);
    });
    m_modelo->FimLote();
    if (m_sortCol == 0) Ordena();
    Timer1.start();
}

void TfrmAgentes::AtualizaAgente(TAgente* agente) {
    const int row = m_modelo->LinhaDe(agente);
    if (row >= 0) AtualizaAgenteNew(row);
}

void TfrmAgentes::Pinta(int row) {
    const TAgente* a = AgenteDaLinha(row);
    if (!a) return;
    const TLinhaTabela& l = m_modelo->Linha(row);
    const TClasseCor classe = a->ClasseCor(m_tipoForm, l.Marca);
    m_modelo->DefineCores(row, ParaQColor(m_esquema.CorFundo(classe)),
                          ParaQColor(m_esquema.CorFonte(classe)), m_modo == 2);
    m_modelo->Repinta(row);
}

QString TfrmAgentes::TextoDuracaoTile(const TAgente* a) const {
    const int slot = m_tipoForm;
    switch (a->GetState(slot)) {
    case AgentState::Ocupado:
        if (const TChannel* c = a->CurrentCall(slot)) {
            if (c->LigacaoFila) return Elapsed(MomentoFila(*c->LigacaoFila));
            return Elapsed(c->Inicio);
        }
        return a->FOnHook ? QString() : Elapsed(a->FOffHookStart);
    case AgentState::Livre:
        return a->IdleText(slot);
    case AgentState::EmPausa:
        return Elapsed(a->Slot(slot).FPauseStart);
    default:
        return {};
    }
}

QString TfrmAgentes::TextoLinhaTile(const TAgente* a, int escolha) const {
    switch (escolha) {
    case 0:
        return a->AgentNumber();
    case 1:
        return a->AgentName;
    case 2: {
        const QString numero = a->ExtensionNumber(m_tipoForm);
        if (numero.isEmpty()) return {};
        return (m_nivelIcone == 0 ? u"R-" : u"R - ") + numero;
    }
    case 3:
        return TextoDuracaoTile(a);
    default:
        return {};
    }
}

void TfrmAgentes::AtualizaTile(int row) {
    const TAgente* a = AgenteDaLinha(row);
    if (!a) return;
    m_modelo->DefineLinhasTile(row, TextoLinhaTile(a, m_linha1), TextoLinhaTile(a, m_linha2));
    Pinta(row);
}

void TfrmAgentes::AtualizaAgenteNew(int row) {
    TAgente* a = AgenteDaLinha(row);
    if (!a) return;
    const int slot = m_tipoForm;
    const AgentState s = a->GetState(slot);
    const TChannel* c = a->CurrentCall(slot);
    TLinhaTabela& linha = m_modelo->Linha(row);
    if (m_modo == 2) {
        if (c && c->LigacaoFila && linha.Marca && c->LigacaoFila->Chamando <= 0)
            linha.Marca = false;
        AtualizaTile(row);
        return;
    }
    const TColunas col = Colunas();
    auto cel = [&](int coluna, const QString& texto) {
        if (coluna >= 0) m_modelo->DefineCelula(row, coluna, texto);
    };
    cel(col.estado, a->StatusText(slot, m_monitor->MotivosPausa));
    switch (s) {
    case AgentState::Ocupado:
        if (c) {
            if (c->LigacaoFila) {
                const double t = MomentoFila(*c->LigacaoFila);
                if (t > 0) cel(col.tempo, ElapsedText(t));
                cel(col.fila,
                    c->LigacaoFila->DataFila ? c->LigacaoFila->DataFila->Nome : QString());
            } else {
                cel(col.fila, {});
            }
            cel(col.canal, c->NomePeer());
            if (slot == 0)
                cel(col.telefone,
                    c->CallerIdNum +
                        (c->CallerIdName.isEmpty() ? QString() : u" (" + c->CallerIdName + u")"));
            else
                cel(col.telefone, c->CallerId);
        } else {
            cel(col.tempo, a->FOnHook ? QString() : Elapsed(a->FOffHookStart));
            cel(col.canal, {});
            cel(col.telefone, a->TextoGancho());
        }
        if (c && c->LigacaoFila && linha.Marca && c->LigacaoFila->Chamando <= 0)
            linha.Marca = false;
        break;
    case AgentState::PosAtendimento:
        cel(col.tempo, {});
        cel(col.fila, {});
        break;
    case AgentState::Livre:
        cel(col.tempo, a->IdleText(slot));
        cel(col.fila, m_monitor->Filas.QueuesOfAgent(a, slot));
        break;
    case AgentState::EmPausa:
        cel(col.tempo, Elapsed(a->Slot(slot).FPauseStart));
        cel(col.fila, m_monitor->Filas.QueuesOfAgent(a, slot));
        break;
    case AgentState::Indisponivel:
        cel(col.tempo, {});
        cel(col.fila, m_monitor->Filas.QueuesOfAgent(a, slot));
        break;
    }
    if (m_modo == 1) {
        if (s == AgentState::Indisponivel) {
            cel(col.login, {});
            cel(col.canal, {});
            cel(col.telefone, {});
        } else {
            const TSlotAgente& sl = a->Slot(slot);
            cel(col.ramal, a->ExtensionText(slot));
            cel(col.login, StampText(sl.FLoggedInTime) + u" (" + Elapsed(sl.FLoggedInTime) + u")");
            cel(col.ultima, StampText(sl.FLastCall));
            if (s != AgentState::Ocupado) {
                cel(col.canal, {});
                cel(col.telefone, {});
            }
        }
    }
    Pinta(row);
}

// --- Timers --------------------------------------------------------------------------------------

void TfrmAgentes::Timer1Timer() {
    const int slot = m_tipoForm;
    const TColunas col = Colunas();
    bool mudou = false;
    m_modelo->IniciaLote();
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        TAgente* a = AgenteDaLinha(row);
        if (!a) continue;
        TLinhaTabela& linha = m_modelo->Linha(row);
        const AgentState s = a->GetState(slot);
        int d = -1;
        int k = 0;
        if (s == AgentState::Ocupado) {
            if (const TChannel* c = a->CurrentCall(slot)) {
                if (c->LigacaoFila) {
                    if (linha.Marca || c->LigacaoFila->Chamando > 0) {
                        linha.Marca = false;
                        Pinta(row);
                    }
                    const double t = MomentoFila(*c->LigacaoFila, &k);
                    d = t > 0 ? ElapsedSeconds(t) : -1;
                } else {
                    d = ElapsedSeconds(c->Inicio);
                    k = 40;
                }
            } else {
                d = a->FOnHook ? -1 : ElapsedSeconds(a->FOffHookStart);
            }
        } else if (s == AgentState::Livre) {
            d = a->IdleSeconds(slot);
        } else if (s == AgentState::EmPausa) {
            d = ElapsedSeconds(a->Slot(slot).FPauseStart);
        }
        const int chave = int(s) + k;
        if (chave != linha.Chave) {
            linha.Chave = chave;
            AtualizaAgenteNew(row);
            mudou = true;
            continue;
        }
        if (d < 0 || d % 5 != 0) continue;
        if (m_modo == 2) {
            AtualizaTile(row);
            continue;
        }
        m_modelo->DefineCelula(row, col.tempo, Hms(d));
        if (m_modo == 1 && s != AgentState::Indisponivel) {
            const double login = a->Slot(slot).FLoggedInTime;
            const int e = ElapsedSeconds(login);
            if (e >= 0 && e % 5 == 0)
                m_modelo->DefineCelula(row, col.login, StampText(login) + u" (" + Hms(e) + u")");
        }
    }
    m_modelo->FimLote();
    if (mudou && m_sortCol == 0) Ordena();
    Timer2.start();
}

void TfrmAgentes::Timer2Timer() {
    Timer2.stop();
    const int slot = m_tipoForm;
    m_modelo->IniciaLote();
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TAgente* a = AgenteDaLinha(row);
        if (!a || a->GetState(slot) != AgentState::Ocupado) continue;
        const TChannel* c = a->CurrentCall(slot);
        if (!c || !c->LigacaoFila || c->LigacaoFila->Chamando <= 0) continue;
        m_modelo->Linha(row).Marca = true;
        Pinta(row);
    }
    m_modelo->FimLote();
}

// --- Sorting -------------------------------------------------------------------------------------

int TfrmAgentes::Compara(const TLinhaTabela& la, const TLinhaTabela& lb) const {
    const auto* a = static_cast<const TAgente*>(la.Objeto);
    const auto* b = static_cast<const TAgente*>(lb.Objeto);
    const int slot = m_tipoForm;
    auto sinal = [this](int r) { return m_sortDesc ? -r : r; };
    switch (m_sortCol) {
    case 1: {
        bool ok = false;
        qint64 na = a->AgentNumber().toLongLong(&ok);
        if (!ok) na = 0;
        qint64 nb = b->AgentNumber().toLongLong(&ok);
        if (!ok) nb = 0;
        return sinal(na < nb ? -1 : na > nb ? 1 : 0);
    }
    case 2:
        return sinal(QString::localeAwareCompare(a->AgentName, b->AgentName));
    case 3:
        return sinal(QString::localeAwareCompare(a->ExtensionText(slot), b->ExtensionText(slot)));
    default:
        break;
    }
    const AgentState sa = a->GetState(slot), sb = b->GetState(slot);
    if (sa != sb) return int(sa) < int(sb) ? -1 : 1;
    switch (sa) {
    case AgentState::Ocupado: {
        const TChannel* ca = a->CurrentCall(slot);
        const TChannel* cb = b->CurrentCall(slot);
        const bool fa = ca && ca->LigacaoFila, fb = cb && cb->LigacaoFila;
        if (fa != fb) return fa ? -1 : 1;
        if (!fa) return 0;
        const double ta = ca->LigacaoFila->Atendimento, tb = cb->LigacaoFila->Atendimento;
        return ta < tb ? -1 : ta > tb ? 1 : 0;
    }
    case AgentState::Livre: {
        const int ia = a->IdleSeconds(slot), ib = b->IdleSeconds(slot);
        return ia > ib ? -1 : ia < ib ? 1 : 0;
    }
    case AgentState::EmPausa: {
        const double pa = a->Slot(slot).FPauseStart, pb = b->Slot(slot).FPauseStart;
        return pa < pb ? -1 : pa > pb ? 1 : 0;
    }
    default:
        return 0;
    }
}

void TfrmAgentes::Ordena() {
    m_modelo->Ordena(
        [this](const TLinhaTabela& a, const TLinhaTabela& b) { return Compara(a, b) < 0; });
}

void TfrmAgentes::ColunaClicada(int coluna) {
    int chave = -1;
    if (coluna == 0)
        chave = 1;
    else if (coluna == 1)
        chave = 2;
    else if ((m_modo == 0 && coluna == 2) || (m_modo == 1 && coluna == 3))
        chave = 0;
    else if (m_modo == 1 && coluna == 2)
        chave = 3;
    if (chave < 0) return;
    if (chave != m_sortCol) {
        m_sortCol = chave;
        m_sortDesc = false;
    } else if (chave == 0) {
        return; // already sorted by state
    } else {
        m_sortDesc = !m_sortDesc;
    }
    Ordena();
}

// --- View options --------------------------------------------------------------------------------

void TfrmAgentes::SetModoVisualizacao(int modo) {
    if (modo < 0 || modo > 2) return;
    if (m_modo != 2) m_larguras.GuardaAtuais(m_modo, m_vista->Larguras());
    m_modo = modo;
    RefazListView();
}

void TfrmAgentes::MudaFonte(int delta) {
    int& nivel = m_modo == 2 ? m_nivelIcone : m_nivelLista;
    const int novo = NivelValido(nivel + delta);
    if (novo == nivel) return;
    if (m_modo != 2) m_larguras.GuardaAtuais(m_modo, m_vista->Larguras());
    nivel = novo;
    RefazListView();
}

void TfrmAgentes::SetMostrarNaLinha(int linha, int valor) {
    int& atual = linha == 1 ? m_linha1 : m_linha2;
    if (valor < 0 || valor > 3 || atual == valor) return;
    atual = valor;
    RefazListView();
}

void TfrmAgentes::AtualizaCores() {
    const QString arquivo = ArquivoPerfil();
    m_esquema =
        arquivo.isEmpty() ? EsquemaPadrao() : SchemeOfAgentsWindow(arquivo, u"Tela" + objectName());
    if (m_modo != 2) m_larguras.GuardaAtuais(m_modo, m_vista->Larguras());
    RefazListView();
}

void TfrmAgentes::AbreCores() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    TfrmConfiguraCores dialogo(arquivo, this);
    dialogo.ConfiguraParaAtendentes();
    dialogo.LeConfigCores(QStringLiteral("TelaAtendentes"));
    if (dialogo.exec() != QDialog::Accepted) return;
    AtualizaCores();
    Q_EMIT CoresAlteradas();
}

// --- Pop-up menu and actions ---------------------------------------------------------------------

TAgente* TfrmAgentes::AgenteSelecionado() const {
    return AgenteDaLinha(m_vista->LinhaAtual());
}

void TfrmAgentes::SelecionaAgente(const TAgente* agente) {
    m_vista->SelecionaLinha(m_modelo->LinhaDe(agente));
}

QMenu* TfrmAgentes::MontaMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const int slot = m_tipoForm;
    TAgente* a = AgenteSelecionado();

    QMenu* gerenciar = menu->addMenu(a ? u"Gerenciar atendente " + a->AgentNumber()
                                       : QStringLiteral("Gerenciar atendente"));
    gerenciar->setEnabled(a && m_monitor->TemPermissaoGerenciarAtendentes());
    if (a) {
        QAction* logoff =
            gerenciar->addAction(QStringLiteral("Logoff"), this, [this] { Logoff(); });
        logoff->setEnabled(PodeLogoff(*a, slot));
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
        QAction* retirar = gerenciar->addAction(QStringLiteral("Retirar de pausa"), this,
                                                [this] { RetiraDaPausa(); });
        retirar->setEnabled(PodeRetirarPausa(*a, slot));
    }

    QMenu* modo = menu->addMenu(QStringLiteral("Modo de visualização"));
    const char* nomes[] = {"Lista", "Detalhe", "Resumido"};
    for (int m = 0; m < 3; ++m) {
        if (m == 2 && m_modo == 2) {
            QMenu* resumido = modo->addMenu(QStringLiteral("Resumido"));
            const char* escolhas[] = {"Número do atendente", "Nome do atendente",
                                      "Ramal do atendente", "Duração do estado atendente"};
            for (int linha = 1; linha <= 2; ++linha) {
                QMenu* sub = resumido->addMenu(u"Mostrar na linha " + QString::number(linha));
                for (int v = 0; v < 4; ++v) {
                    QAction* act =
                        sub->addAction(QString::fromUtf8(escolhas[v]), this,
                                       [this, linha, v] { SetMostrarNaLinha(linha, v); });
                    act->setCheckable(true);
                    act->setChecked((linha == 1 ? m_linha1 : m_linha2) == v);
                }
            }
            continue;
        }
        modo->addAction(QString::fromUtf8(nomes[m]), this, [this, m] { SetModoVisualizacao(m); });
    }
    QMenu* fonte = menu->addMenu(QStringLiteral("Tamanho da fonte"));
    const int nivel = m_modo == 2 ? m_nivelIcone : m_nivelLista;
    fonte->addAction(QStringLiteral("Diminuir"), this, [this] { MudaFonte(-1); })
        ->setEnabled(nivel > 0);
    fonte->addAction(QStringLiteral("Aumentar"), this, [this] { MudaFonte(+1); })
        ->setEnabled(nivel < kNiveisFonte - 1);
    menu->addAction(QStringLiteral("Cores..."), this, &TfrmAgentes::AbreCores);
    return menu;
}

void TfrmAgentes::AbreMenu(const QPoint& global) {
    MontaMenu()->popup(global);
}

void TfrmAgentes::AdicionaNaFila(int fila) {
    TAgente* a = AgenteSelecionado();
    TFila* f = fila > 0 ? m_monitor->Filas.Procura(QString::number(fila)) : nullptr;
    if (!a || !f || !PodeAdicionarRemover(*a, m_tipoForm)) return;
    m_monitor->AdicionaNaFila(a, f, m_tipoForm);
}

void TfrmAgentes::RemoveDaFila(int fila) {
    TAgente* a = AgenteSelecionado();
    TFila* f = fila > 0 ? m_monitor->Filas.Procura(QString::number(fila)) : nullptr;
    if (!a || !f || !PodeAdicionarRemover(*a, m_tipoForm)) return;
    m_monitor->RemoveDaFila(a, f, m_tipoForm);
}

void TfrmAgentes::Logoff() {
    TAgente* a = AgenteSelecionado();
    if (!a) return;
    const QString id = a->Agent();
    if (!Pergunta(ConfirmacaoLogoff(*a))) return;
    // The question ran the event loop: the agent may have changed, or gone with the connection.
    a = m_monitor->Agentes.Procura(id);
    if (a && PodeLogoff(*a, m_tipoForm)) m_monitor->Logoff(a, m_tipoForm);
}

void TfrmAgentes::RetiraDaPausa() {
    TAgente* a = AgenteSelecionado();
    if (!a) return;
    const QString id = a->Agent();
    if (!Pergunta(ConfirmacaoRetirarPausa(*a))) return;
    a = m_monitor->Agentes.Procura(id);
    if (a && PodeColocarEmPausa(*a, m_tipoForm)) m_monitor->RetiraDaPausa(a, m_tipoForm);
}

void TfrmAgentes::ColocaEmPausa(int motivo) {
    TAgente* a = AgenteSelecionado();
    if (!a || motivo <= 0) return;
    TMotivoPausa* m = m_monitor->MotivosPausa.Procura(motivo);
    if (!m) return;
    const QString id = a->Agent();
    if (!Pergunta(ConfirmacaoColocarEmPausa(*a, m_monitor->MotivosPausa.ReasonText(motivo))))
        return;
    a = m_monitor->Agentes.Procura(id);
    m = m_monitor->MotivosPausa.Procura(motivo);
    if (a && m && PodeColocarEmPausa(*a, m_tipoForm)) m_monitor->ColocaEmPausa(a, m, m_tipoForm);
}
