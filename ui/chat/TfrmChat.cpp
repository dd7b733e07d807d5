#include "ui/chat/TfrmChat.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/chat/TTextoChat.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {
constexpr int kPapelId = Qt::UserRole;
constexpr int kPapelUsuario = Qt::UserRole + 1;
constexpr int kPapelImagem = Qt::UserRole + 2;
constexpr int kPapelConversa = Qt::UserRole + 3;

const QColor kAzul(0, 0, 255);
const QColor kCinza(128, 128, 128);
const QColor kVermelho(255, 0, 0);

const QString kHoraPendente = QStringLiteral("00:00:00");

// Presence images: 0 partly present, 1 absent, 2 present.
QIcon Bolinha(QColor cor) {
    QPixmap p(14, 14);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(cor.darker(140));
    g.setBrush(cor);
    g.drawEllipse(2, 2, 10, 10);
    return QIcon(p);
}

QString TextoPresenca(int imagem) {
    return imagem == 2   ? QStringLiteral("presente")
           : imagem == 1 ? QStringLiteral("ausente")
                         : QStringLiteral("alguns presentes");
}

QString TextoDoCorpo(QString corpo) {
    // The body's line breaks (CR LF in the model) stay line breaks of one paragraph, so the
    // body is one run whose length is known.
    corpo.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    corpo.replace(u'\n', QChar::LineSeparator);
    corpo.replace(u'\r', QChar::LineSeparator);
    return corpo;
}

QString HoraLonga(double quando) {
    return DaysToDateTime(quando).time().toString(QStringLiteral("HH:mm:ss"));
}

QDate DataDe(double quando) {
    return DaysToDateTime(quando).date();
}

QString ComContagem(const QString& texto, int n) {
    return n > 0 ? texto + u" (" + QString::number(n) + u")" : texto;
}
} // namespace

TfrmChat::TfrmChat(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_divisor(new QSplitter(Qt::Horizontal)),
      m_abas(new QTabWidget), m_arvore(new QTreeWidget), m_recentes(new QListWidget),
      m_labelNome(new QLabel(QStringLiteral("Conversa com:"))), m_texto(new TTextoChat),
      m_enviar(new QPushButton(QStringLiteral("Enviar"))), m_labelPara(new QLabel),
      m_memo(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Chat"));
    m_icones = {Bolinha(QColor(240, 190, 40)), Bolinha(QColor(170, 170, 170)),
                Bolinha(QColor(40, 170, 60))};
    Informa = [this](const QString& titulo, const QString& texto) {
        QMessageBox::information(this, titulo, texto);
    };

    m_arvore->setObjectName(QStringLiteral("TreeView1"));
    m_arvore->setHeaderHidden(true);
    m_arvore->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_arvore->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_arvore->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_arvore->setAccessibleName(QStringLiteral("Contatos"));
    m_arvore->installEventFilter(this);
    connect(m_arvore, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { AlternaNo(item); });
    m_recentes->setObjectName(QStringLiteral("ListView1"));
    m_recentes->setAccessibleName(QStringLiteral("Recentes"));
    connect(m_recentes, &QListWidget::itemClicked, this, [this] { ListView1Click(); });
    m_abas->addTab(m_arvore, QStringLiteral("Contatos"));
    m_abas->addTab(m_recentes, QStringLiteral("Recentes"));
    m_abas->setMinimumWidth(100);

    m_labelNome->setObjectName(QStringLiteral("LabelNomeConversa"));
    m_labelNome->setTextFormat(Qt::PlainText);
    QFont negrito = m_labelNome->font();
    negrito.setBold(true);
    m_labelNome->setFont(negrito);
    auto* historico = new QHBoxLayout;
    historico->addWidget(new QLabel(QStringLiteral("Exibir mensagens de:")));
    const QStringList textos{QStringLiteral("Hoje"), QStringLiteral("Ontem"),
                             QStringLiteral("2 dias"), QStringLiteral("7 dias"),
                             QStringLiteral("Não lidas")};
    const int tags[5] = {0, 1, 2, 3, -1};
    for (int i = 0; i < 5; ++i) {
        auto* link = new QPushButton(textos[i]);
        link->setFlat(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setEnabled(false);
        link->setObjectName(u"LabelHistorico" + QString::number(i));
        const int tag = tags[i];
        connect(link, &QPushButton::clicked, this, [this, tag] { LabelHistoricoClick(tag); });
        historico->addWidget(link);
        m_links.push_back(link);
    }
    historico->addStretch();
    m_texto->setObjectName(QStringLiteral("RichEdit1"));
    m_texto->setAccessibleName(QStringLiteral("Mensagens"));

    m_memo->setObjectName(QStringLiteral("MemoTx"));
    m_memo->setPlaceholderText(QStringLiteral("Digite sua mensagem"));
    m_memo->setAccessibleName(QStringLiteral("Digite sua mensagem"));
    m_memo->setTabChangesFocus(true);
    m_memo->installEventFilter(this);
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = m_memo->toPlainText();
        if (t.size() <= kMaxCaracteres) return;
        // Pasting past the limit keeps what fits.
        QString cortado = t.left(kMaxCaracteres);
        if (cortado.back().isHighSurrogate()) cortado.chop(1);
        const QSignalBlocker b(m_memo);
        m_memo->setPlainText(cortado);
        m_memo->moveCursor(QTextCursor::End);
    });
    m_enviar->setObjectName(QStringLiteral("btEnviar"));
    connect(m_enviar, &QPushButton::clicked, this, &TfrmChat::btEnviarClick);
    m_labelPara->setObjectName(QStringLiteral("LabelPara"));
    m_labelPara->setTextFormat(Qt::PlainText);

    auto* rodape = new QWidget;
    rodape->setMinimumHeight(90);
    auto* rodapeLayout = new QGridLayout(rodape);
    rodapeLayout->setContentsMargins(0, 0, 0, 0);
    rodapeLayout->addWidget(new QLabel(QStringLiteral("Para:")), 0, 0);
    rodapeLayout->addWidget(m_labelPara, 0, 1);
    rodapeLayout->addWidget(m_memo, 1, 0, 1, 2);
    rodapeLayout->addWidget(m_enviar, 1, 2, Qt::AlignTop);
    rodapeLayout->setColumnStretch(1, 1);

    auto* direita = new QWidget;
    auto* direitaLayout = new QVBoxLayout(direita);
    direitaLayout->setContentsMargins(0, 0, 0, 0);
    direitaLayout->addWidget(m_labelNome);
    direitaLayout->addLayout(historico);
    auto* divisorTexto = new QSplitter(Qt::Vertical);
    divisorTexto->addWidget(m_texto);
    divisorTexto->addWidget(rodape);
    divisorTexto->setStretchFactor(0, 1);
    divisorTexto->setCollapsible(1, false);
    direitaLayout->addWidget(divisorTexto, 1);

    m_divisor->addWidget(m_abas);
    m_divisor->addWidget(direita);
    m_divisor->setStretchFactor(1, 1);
    m_divisor->setCollapsible(0, false);
    m_divisor->setSizes({250, 585});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_divisor);
    resize(835, 480);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        // Attention while unread conversations wait: the task-bar button flashes.
        if (!QApplication::activeWindow() || !EmPrimeiroPlano || !EmPrimeiroPlano())
            QApplication::alert(window(), 900);
    });

    if (!m_monitor) return;
    TAvisos& avisos = m_monitor->Avisos();
    m_avisoChat = avisos.Chat.Assina(
        [this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) { OnChatConversaEvent(c, m, a); });
    m_avisoUsuario = avisos.UsuarioChat.Assina([this](TUsuarioChat* u) { AtualizaUsuario(u); });
    // A history answer is complete: the conversation shows it in message order.
    m_avisoHistorico = avisos.HistoricoChat.Assina([this] {
        if (m_conversaAtual) CarregaConversa(m_conversaAtual);
        m_ancora = nullptr;
    });
    connect(m_texto->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { RoladoAoTopo(); });
    m_avisoNovoChat = avisos.NovoChat.Assina([this](TChat* novo) { CriaChat(novo); });
    m_avisoMembro = avisos.Membro.Assina(
        [this](TFila* f, TMembroFila* m, TAvisoFila a) { AtualizaMembroFilaTelaChat(f, m, a); });
}

TfrmChat::~TfrmChat() {
    Timer1.stop();
}

void TfrmChat::Solta() {
    m_registros.clear();
    m_conversaAtual = nullptr;
    m_ancora = nullptr;
    m_diaAtual = 0;
    m_lidasPedidas.clear();
    m_arvore->clear();
    m_recentes->clear();
    m_gruposArvore.clear();
    m_texto->Limpa();
    m_labelPara->clear();
    m_labelNome->setText(QStringLiteral("Conversa com:"));
    HabilitaLabelsHistorico(false, 0);
    Timer1.stop();
}

void TfrmChat::CriaChat(TChat* chat) {
    Solta();
    m_chat = chat;
    if (!m_chat) return;
    CriaTreeViewUsuarios();
    setWindowTitle(u"Chat - " + m_chat->UsuarioLocal);
}

// --- Settings ----------------------------------------------------------------------------------

void TfrmChat::LeVariaveis() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    const TSecaoTela secao(ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva),
                           QStringLiteral("Chat"));
    const TPosicaoTela pos = secao.LePosicao(480, 835);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    const int painel = std::max(100, secao.LeInteiro(QStringLiteral("PanelWidth"), 250));
    m_divisor->setSizes({painel, std::max(100, pos.Width - painel)});
    (void)secao.LeInteiro(QStringLiteral("Coluna0"), 180);
}

void TfrmChat::SalvaVariaveis() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    try {
        TSecaoTela secao(ArquivoPerfilParaGravar(m_monitor->UserDir, m_monitor->ConexaoAtiva),
                         QStringLiteral("Chat"));
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.EscreveInteiro(QStringLiteral("PanelWidth"), m_abas->width());
        secao.EscreveInteiro(QStringLiteral("Coluna0"), m_recentes->width());
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmChat::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaVariaveis();
    QWidget::closeEvent(event);
}

// --- Participants tree -------------------------------------------------------------------------

void TfrmChat::DefineImagem(QTreeWidgetItem* item, int imagem) {
    item->setData(0, kPapelImagem, imagem);
    item->setIcon(0, m_icones[size_t(std::clamp(imagem, 0, 2))]);
    // Presence is read out, not only drawn.
    item->setData(0, Qt::AccessibleDescriptionRole, TextoPresenca(imagem));
}

void TfrmChat::DefineImagem(QListWidgetItem* item, int imagem) {
    item->setData(kPapelImagem, imagem);
    item->setIcon(m_icones[size_t(std::clamp(imagem, 0, 2))]);
    item->setData(Qt::AccessibleDescriptionRole, TextoPresenca(imagem));
}

int TfrmChat::Imagem(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPapelImagem).toInt() : -1;
}

int TfrmChat::Imagem(const QListWidgetItem* item) {
    return item ? item->data(kPapelImagem).toInt() : -1;
}

QTreeWidgetItem* TfrmChat::CriaGrupo(const QString& id, const QString& nome, const QString& tipo) {
    auto entrada = std::make_unique<TUsuarioChat>(id);
    entrada->Nome = nome;
    entrada->Tipo = tipo;
    auto* item = new QTreeWidgetItem(m_arvore, {nome});
    item->setData(0, kPapelId, id);
    item->setData(0, kPapelUsuario, QVariant::fromValue<void*>(entrada.get()));
    item->setCheckState(0, Qt::Unchecked);
    QFont f = m_arvore->font();
    f.setBold(true);
    item->setFont(0, f);
    DefineImagem(item, 1);
    m_gruposArvore.push_back(std::move(entrada));
    return item;
}

QTreeWidgetItem* TfrmChat::CriaFilho(QTreeWidgetItem* grupo, TUsuarioChat* u) {
    auto* item = new QTreeWidgetItem(grupo, {ComContagem(u->NomeExibicao(), u->NaoLidas)});
    item->setData(0, kPapelId, u->UsuarioId);
    item->setData(0, kPapelUsuario, QVariant::fromValue<void*>(u));
    item->setCheckState(0, grupo->checkState(0));
    DefineImagem(item, u->Status.isEmpty() ? 1 : 2);
    if (u->NaoLidas > 0) {
        QFont f = m_arvore->font();
        f.setBold(true);
        item->setFont(0, f);
    }
    return item;
}

TUsuarioChat* TfrmChat::ParticipanteDoMembro(const TMembroFila* membro) {
    if (!m_chat || !membro || !membro->Agent) return nullptr;
    const TAgente* a = membro->Agent;
    if (TUsuarioChat* u =
            m_chat->ListaDeUsuarios.ProcuraUsuario(a->AgentNumber(), QStringLiteral("a")))
        return u;
    // Agents are known to the chat by their number, as the agents loaded at login: a member
    // whose agent is not among them gets an entry under the same key.
    auto novo = std::make_unique<TUsuarioChat>(a->AgentNumber());
    novo->Nome = a->AgentName;
    novo->Tipo = QStringLiteral("a");
    return m_chat->ListaDeUsuarios.Adiciona(std::move(novo));
}

void TfrmChat::CriaTreeViewUsuarios() {
    m_arvore->setUpdatesEnabled(false);
    QTreeWidgetItem* usuarios =
        CriaGrupo(QStringLiteral("usuarios"), QStringLiteral("Usuários"), {});
    QTreeWidgetItem* atendentes =
        CriaGrupo(QStringLiteral("atendentes"), QStringLiteral("Atendentes"), {});
    const int n = m_chat->ListaDeUsuarios.Count();
    for (int i = 0; i < n; ++i) {
        TUsuarioChat* u = m_chat->ListaDeUsuarios.Item(i);
        if (u->Tipo == u"u") CriaFilho(usuarios, u);
    }
    for (int i = 0; i < n; ++i) {
        TUsuarioChat* u = m_chat->ListaDeUsuarios.Item(i);
        if (u->Tipo == u"a") CriaFilho(atendentes, u);
    }
    if (m_monitor) {
        m_monitor->Filas.ParaCada([&](TFila* f) {
            if (!m_monitor->TemPermissaoFila(f)) return;
            const QString nome = f->Nome.isEmpty() ? f->FilaId() : f->Nome;
            QTreeWidgetItem* grupo = CriaGrupo(u"f" + f->FilaId(), nome, QStringLiteral("f"));
            f->Members.ParaCada([&](TMembroFila* m) {
                if (TUsuarioChat* u = ParticipanteDoMembro(m)) CriaFilho(grupo, u);
            });
        });
    }
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        AcertaIconeItemPai(g);
        g->setExpanded(true);
    }
    m_arvore->setUpdatesEnabled(true);

    for (int i = 0; i < m_chat->ListaDeConversas.Count(); ++i) {
        TConversaChat* c = m_chat->ListaDeConversas.Item(i);
        auto* item = new QListWidgetItem(ComContagem(c->ConversaNome, c->NaoLidas), m_recentes);
        item->setData(kPapelConversa, QVariant::fromValue<void*>(c));
    }
    for (int i = 0; i < m_chat->ListaDeConversas.Count(); ++i)
        AtualizaInfos(m_chat->ListaDeConversas.Item(i));
    AcertaIconeConversas();
}

QTreeWidgetItem* TfrmChat::Grupo(const QString& grupo) const {
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i)
        if (m_arvore->topLevelItem(i)->data(0, kPapelId).toString() == grupo)
            return m_arvore->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* TfrmChat::No(const QString& grupo, const QString& usuarioId) const {
    QTreeWidgetItem* g = Grupo(grupo);
    if (!g) return nullptr;
    for (int i = 0; i < g->childCount(); ++i)
        if (g->child(i)->data(0, kPapelId).toString() == usuarioId) return g->child(i);
    return nullptr;
}

void TfrmChat::AcertaIconeItemPai(QTreeWidgetItem* grupo) {
    if (!grupo) return;
    int presentes = 0;
    for (int i = 0; i < grupo->childCount(); ++i)
        if (Imagem(grupo->child(i)) == 2) ++presentes;
    DefineImagem(grupo, presentes == 0 ? 1 : presentes == grupo->childCount() ? 2 : 0);
}

bool TfrmChat::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_memo && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (k->modifiers() & Qt::ControlModifier) {
                m_memo->textCursor().insertText(QStringLiteral("\n"));
            } else {
                btEnviarClick();
            }
            return true;
        }
    } else if (watched == m_arvore && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Space && m_arvore->currentItem()) {
            AlternaNo(m_arvore->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmChat::AlternaNo(QTreeWidgetItem* item) {
    if (!item || !m_chat) return;
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    AtualizaTreeView(item);
}

QStringList TfrmChat::FilhosMarcados() const {
    QStringList ids;
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        for (int j = 0; j < g->childCount(); ++j)
            if (g->child(j)->checkState(0) == Qt::Checked) {
                const QString id = g->child(j)->data(0, kPapelId).toString();
                if (!ids.contains(id)) ids << id;
            }
    }
    return ids;
}

QString TfrmChat::GetIdConversaTreeView() const {
    QStringList partes;
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        if (g->checkState(0) == Qt::Checked) {
            const QString id = g->data(0, kPapelId).toString();
            if (!partes.contains(id)) partes << id;
            continue;
        }
        for (int j = 0; j < g->childCount(); ++j)
            if (g->child(j)->checkState(0) == Qt::Checked) {
                const QString id = g->child(j)->data(0, kPapelId).toString();
                if (!partes.contains(id)) partes << id;
            }
    }
    return partes.join(u',');
}

QString TfrmChat::GetNomeConversaTreeView() const {
    QStringList partes;
    auto nome = [](const QTreeWidgetItem* item) {
        const auto* u =
            static_cast<const TUsuarioChat*>(item->data(0, kPapelUsuario).value<void*>());
        return u ? u->NomeExibicao() : item->text(0);
    };
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        if (g->checkState(0) == Qt::Checked) {
            if (!partes.contains(nome(g))) partes << nome(g);
            continue;
        }
        for (int j = 0; j < g->childCount(); ++j)
            if (g->child(j)->checkState(0) == Qt::Checked && !partes.contains(nome(g->child(j))))
                partes << nome(g->child(j));
    }
    return partes.join(QStringLiteral(", "));
}

QString TfrmChat::GetUsuariosTreeView() const {
    QStringList ids = FilhosMarcados();
    std::sort(ids.begin(), ids.end());
    return ids.join(u',');
}

void TfrmChat::AtualizaTreeView(QTreeWidgetItem* alterado) {
    if (alterado) {
        const Qt::CheckState estado = alterado->checkState(0);
        if (QTreeWidgetItem* grupo = alterado->parent()) {
            if (estado == Qt::Unchecked && grupo->checkState(0) == Qt::Checked)
                grupo->setCheckState(0, Qt::Unchecked);
        } else {
            for (int i = 0; i < alterado->childCount(); ++i)
                alterado->child(i)->setCheckState(0, estado);
        }
    }
    const QString chave = GetIdConversaTreeView();
    if (!chave.isEmpty()) {
        m_conversaAtual = m_chat->ListaDeConversas.ProcuraPorId(chave);
        if (QListWidgetItem* sel = m_recentes->currentItem())
            if (sel->data(kPapelConversa).value<void*>() != m_conversaAtual)
                m_recentes->setCurrentItem(nullptr);
        m_recentes->clearSelection();
        QStringList nomes;
        for (const QString& id : FilhosMarcados())
            nomes << m_chat->ListaDeUsuarios.NomeUsuario(id);
        m_labelPara->setText(nomes.join(QStringLiteral(", ")));
        m_labelNome->setText(u"Conversa com: " + GetNomeConversaTreeView());
    } else {
        m_labelPara->clear();
        m_labelNome->setText(QStringLiteral("Conversa com:"));
        m_conversaAtual = nullptr;
    }
    CarregaConversa(m_conversaAtual);
    if (m_conversaAtual && m_conversaAtual->Dias == -2) LabelHistoricoClick(0);
}

void TfrmChat::DesmarcaTudo() {
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        g->setCheckState(0, Qt::Unchecked);
        for (int j = 0; j < g->childCount(); ++j)
            g->child(j)->setCheckState(0, Qt::Unchecked);
    }
}

// --- Recent conversations ----------------------------------------------------------------------

QListWidgetItem* TfrmChat::EntradaRecentes(const TConversaChat* conversa) const {
    for (int i = 0; i < m_recentes->count(); ++i)
        if (m_recentes->item(i)->data(kPapelConversa).value<void*>() == conversa)
            return m_recentes->item(i);
    return nullptr;
}

void TfrmChat::AddConversaListView(TConversaChat* conversa) {
    if (!conversa || conversa->Mensagens.Count() < 1 || EntradaRecentes(conversa)) return;
    auto* item = new QListWidgetItem(conversa->ConversaNome, m_recentes);
    item->setData(kPapelConversa, QVariant::fromValue<void*>(conversa));
    AcertaIconeConversas();
}

void TfrmChat::AcertaIconeConversas() {
    if (!m_chat) return;
    for (int i = 0; i < m_recentes->count(); ++i) {
        QListWidgetItem* item = m_recentes->item(i);
        const auto* c =
            static_cast<const TConversaChat*>(item->data(kPapelConversa).value<void*>());
        int imagem = 0;
        if (c && c->UsuCount() == 1) {
            const TUsuarioChat* u =
                m_chat->ListaDeUsuarios.ProcuraUsuario(c->Usuarios.first(), QStringLiteral("ua"));
            imagem = u && !u->Status.isEmpty() ? 2 : 1;
        }
        DefineImagem(item, imagem);
    }
}

void TfrmChat::ListView1Click() {
    if (!m_chat) return;
    DesmarcaTudo();
    m_labelPara->clear();
    m_labelNome->setText(QStringLiteral("Conversa com:"));
    QListWidgetItem* item = m_recentes->currentItem();
    if (!item || !item->isSelected()) return;
    auto* c = static_cast<TConversaChat*>(item->data(kPapelConversa).value<void*>());
    if (!c) return;
    m_labelPara->setText(m_chat->ListaDeUsuarios.NomesUsuarios(c->UsuariosTexto()));
    m_labelNome->setText(u"Conversa com: " + c->ConversaNome);
    if (c == m_conversaAtual) {
        if (c->Dias == -2) LabelHistoricoClick(0);
        LeNaoLidas(c);
        return;
    }
    m_conversaAtual = c;
    CarregaConversa(c);
    if (c->Dias == -2) LabelHistoricoClick(0);
}

void TfrmChat::CarregaConversaNotificacao(TConversaChat* conversa) {
    if (!conversa) return;
    m_abas->setCurrentWidget(m_recentes);
    if (conversa == m_conversaAtual) return;
    QListWidgetItem* item = EntradaRecentes(conversa);
    m_recentes->setCurrentItem(item);
    if (item) {
        m_recentes->scrollToItem(item);
        m_recentes->setFocus();
    }
    ListView1Click();
}

// --- Message pane ------------------------------------------------------------------------------

QString TfrmChat::SeparadorDia(double dataEnvio, double agora) {
    static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    const QDate data = DataDe(dataEnvio);
    const QDate hoje = DataDe(agora);
    const QString longa = br.toString(data, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
    if (data == hoje) return u"Hoje " + longa;
    if (data == hoje.addDays(-1)) return u"Ontem " + longa;
    return longa;
}

void TfrmChat::CarregaConversa(TConversaChat* conversa) {
    m_registros.clear();
    m_diaAtual = 0;
    m_texto->Limpa();
    if (conversa) {
        const QDate hoje = DataDe(LocalNow());
        for (int i = 0; i < conversa->Mensagens.Count(); ++i) {
            TMensagemChat* m = conversa->Mensagens.Item(i);
            // A message still waiting for the server was typed just now: it stays in view
            // through a reload (a history answer arriving meanwhile) rather than vanishing
            // until the next one.
            bool mostra = conversa->Dias == -1 || (conversa->Dias >= 0 && m->DataEnvio <= 0);
            if (!mostra && conversa->Dias >= 0)
                mostra = DataDe(m->DataEnvio).daysTo(hoje) <= conversa->Dias;
            if (!mostra) continue;
            AddMensagemToRichText(m);
            if (m_chat && m->To == m_chat->UsuarioLocal && m->DataLeitura == 0) LiMensagem(m);
        }
    }
    HabilitaHistoricoConversa(conversa);
    if (m_memo->isVisible()) m_memo->setFocus();
    MantemAncora();
}

void TfrmChat::RoladoAoTopo() {
    // Reaching the top of a conversation asks for the next longer range, once at a time.
    QScrollBar* barra = m_texto->verticalScrollBar();
    if (m_ancora || barra->maximum() <= 0 || barra->value() > barra->minimum()) return;
    TConversaChat* c = m_conversaAtual;
    if (!c || c->UsuCount() != 1 || c->Dias < 0 || c->Dias >= 7 || m_registros.empty()) return;
    m_ancora = m_registros.front().Mensagem;
    LabelHistoricoClick(c->Dias == 0 ? 1 : c->Dias == 1 ? 2 : 3);
}

void TfrmChat::MantemAncora() {
    if (!m_ancora) return;
    for (const TRegistroExibicao& r : m_registros) {
        if (r.Mensagem != m_ancora) continue;
        // The message that was at the top stays at the top: older ones appear above it.
        QTextCursor c(m_texto->document());
        c.setPosition(r.InicioCabecalho);
        QScrollBar* barra = m_texto->verticalScrollBar();
        barra->setValue(barra->value() + m_texto->cursorRect(c).top());
        return;
    }
    m_ancora = nullptr;
}

void TfrmChat::AddMensagemToRichText(TMensagemChat* msg) {
    if (!msg || !m_chat) return;
    const double agora = LocalNow();
    QString separador;
    if (msg->DataEnvio <= 0) {
        if (m_diaAtual <= 0 || DataDe(m_diaAtual) != DataDe(agora)) {
            m_diaAtual = agora;
            static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
            separador = br.toString(DataDe(agora), QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
        }
    } else if (m_diaAtual <= 0 || DataDe(m_diaAtual) != DataDe(msg->DataEnvio)) {
        m_diaAtual = msg->DataEnvio;
        separador = SeparadorDia(msg->DataEnvio, agora);
    }
    if (!separador.isEmpty()) {
        m_texto->AdicionaLinha({TTrechoTexto{separador, kVermelho, false, true}});
        m_texto->AdicionaLinha({});
    }
    const bool minha = msg->From == m_chat->UsuarioLocal;
    const QString hora = msg->DataEnvio > 0 ? HoraLonga(msg->DataEnvio) : kHoraPendente;
    TRegistroExibicao r;
    r.Mensagem = msg;
    r.TamanhoHora = int(hora.size());
    r.InicioCabecalho = m_texto->AdicionaLinha(
        {TTrechoTexto{hora + u" - " + m_chat->ListaDeUsuarios.NomeUsuario(msg->From),
                      minha ? kCinza : kAzul, true}});
    const QString corpo = TextoDoCorpo(msg->Msg);
    r.InicioCorpo = m_texto->AdicionaLinha({TTrechoTexto{corpo, Qt::black, msg->DataLeitura == 0}});
    r.TamanhoCorpo = int(corpo.size());
    m_texto->AdicionaLinha({});
    m_registros.push_back(r);
}

void TfrmChat::AtualizaMensagemToRichText(TMensagemChat* msg) {
    if (!msg || !m_chat) return;
    for (const TRegistroExibicao& r : m_registros) {
        if (r.Mensagem != msg) continue;
        if (msg->From == m_chat->UsuarioLocal && msg->DataEnvio > 0)
            m_texto->Substitui(r.InicioCabecalho, r.TamanhoHora,
                               TTrechoTexto{HoraLonga(msg->DataEnvio), kCinza, true});
        if (msg->DataLeitura > 0)
            m_texto->Formata(r.InicioCorpo, r.TamanhoCorpo, TTrechoTexto{{}, Qt::black, false});
    }
}

void TfrmChat::Esquece(TMensagemChat* msg) {
    if (m_ancora == msg) m_ancora = nullptr;
    for (TRegistroExibicao& r : m_registros)
        if (r.Mensagem == msg) r.Mensagem = nullptr;
}

void TfrmChat::LiMensagem(TMensagemChat* msg) {
    if (!m_monitor || !m_chat || msg->To != m_chat->UsuarioLocal || msg->Id.isEmpty()) return;
    if (m_lidasPedidas.contains(msg->Id)) return;
    if (m_monitor->MarcaMensagemLidaChat(msg)) m_lidasPedidas.insert(msg->Id);
}

void TfrmChat::LeNaoLidas(TConversaChat* conversa) {
    if (!conversa || !m_chat) return;
    for (int i = 0; i < conversa->Mensagens.Count(); ++i) {
        TMensagemChat* m = conversa->Mensagens.Item(i);
        if (m->To == m_chat->UsuarioLocal && m->DataLeitura == 0) LiMensagem(m);
    }
    AtualizaInfos(conversa);
}

// --- History links -----------------------------------------------------------------------------

void TfrmChat::HabilitaLabelsHistorico(bool habilita, int indice) {
    for (size_t i = 0; i < m_links.size(); ++i) {
        QPushButton* l = m_links[i];
        l->setEnabled(habilita);
        QFont f = l->font();
        f.setBold(int(i) == indice);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::ButtonText, int(i) == indice ? QColor(Qt::black) : kAzul);
        l->setPalette(p);
    }
}

void TfrmChat::HabilitaHistoricoConversa(TConversaChat* conversa) {
    const bool habilita = conversa ? conversa->UsuCount() == 1 : FilhosMarcados().size() == 1;
    const int dias = conversa ? conversa->Dias : -2;
    const int indice = dias == 1 ? 1 : dias == 2 ? 2 : dias == 7 ? 3 : dias == -1 ? 4 : 0;
    HabilitaLabelsHistorico(habilita, indice);
}

TConversaChat* TfrmChat::NovaConversaDaArvore() {
    const QString chave = GetIdConversaTreeView();
    if (TConversaChat* c = m_chat->ListaDeConversas.ProcuraPorId(chave)) return c;
    auto c = std::make_unique<TConversaChat>(m_chat->UsuarioLocal);
    c->DefineUsuarios(GetUsuariosTreeView());
    c->ConversaId = chave;
    c->ConversaNome = GetNomeConversaTreeView();
    return m_chat->ListaDeConversas.Adiciona(std::move(c));
}

void TfrmChat::LabelHistoricoClick(int tag) {
    if (!m_chat || !m_monitor) return;
    const int dias = tag == 3 ? 7 : tag < 0 ? -1 : tag;
    const int indice = tag < 0 ? 4 : std::clamp(tag, 0, 3);
    if (!m_conversaAtual) {
        if (FilhosMarcados().size() != 1) {
            HabilitaLabelsHistorico(false, indice);
            return;
        }
        m_conversaAtual = NovaConversaDaArvore();
        if (!m_conversaAtual) return;
    } else if (m_conversaAtual->UsuCount() != 1) {
        m_conversaAtual->Dias = 0;
        HabilitaLabelsHistorico(false, 0);
        return;
    } else if (dias >= 0 && dias == m_conversaAtual->Dias) {
        return;
    }
    m_conversaAtual->Dias = dias;
    // No answer will come to restore the reader's place with.
    if (!m_monitor->PedeHistoricoChat(m_conversaAtual->UsuariosTexto(), dias)) m_ancora = nullptr;
    HabilitaLabelsHistorico(true, indice);
    // The range changed: what is already known shows at once, the answer completes it.
    CarregaConversa(m_conversaAtual);
}

// --- Sending -----------------------------------------------------------------------------------

void TfrmChat::btEnviarClick() {
    if (!m_chat || !m_monitor) return;
    const QString texto = m_memo->toPlainText();
    if (texto.trimmed().isEmpty()) return;
    if (!m_conversaAtual && FilhosMarcados().isEmpty()) {
        Informa(QStringLiteral("Chat"),
                QStringLiteral("Selecione um destinatário para a mensagem"));
        return;
    }
    if (!m_conversaAtual) m_conversaAtual = NovaConversaDaArvore();
    if (!m_conversaAtual) return;
    // The message is written to the pane by its own notice.
    if (!m_monitor->EnviaMensagemChat(m_conversaAtual, texto)) {
        // Kept in the box: what was typed is not lost, and nothing pretends it went out.
        Informa(QStringLiteral("Chat"),
                QStringLiteral("A mensagem não foi enviada: sem conexão com o Vesmara."));
        return;
    }
    m_memo->clear();
    m_memo->setFocus();
}

// --- Model notices -----------------------------------------------------------------------------

void TfrmChat::OnChatConversaEvent(TConversaChat* conversa, TMensagemChat* msg, TAvisoChat aviso) {
    if (!m_chat || !conversa) return;
    // The conversation the ticked participants stand for did not exist yet: the first message
    // of it shows where the user is looking instead of only in a pop-up.
    if (!m_conversaAtual && aviso == TAvisoChat::Add && !conversa->ConversaId.isEmpty() &&
        conversa->ConversaId == GetIdConversaTreeView()) {
        m_conversaAtual = conversa;
        if (conversa->Dias == -2) conversa->Dias = 0;
        HabilitaHistoricoConversa(conversa);
    }
    if (aviso == TAvisoChat::Remove) {
        Esquece(msg);
        return;
    }
    if (!msg) {
        if (aviso == TAvisoChat::Add) AddConversaListView(conversa);
        if (aviso == TAvisoChat::Update && conversa == m_conversaAtual)
            m_labelPara->setText(m_chat->ListaDeUsuarios.NomesUsuarios(conversa->UsuariosTexto()));
        return;
    }
    const bool minha = msg->From == m_chat->UsuarioLocal;
    switch (aviso) {
    case TAvisoChat::Add:
        AddConversaListView(conversa);
        if (conversa != m_conversaAtual) {
            if (!minha && Notifica) Notifica(conversa, msg);
        } else {
            AddMensagemToRichText(msg);
            if (EmPrimeiroPlano && EmPrimeiroPlano())
                LiMensagem(msg);
            else if (!minha && Notifica)
                Notifica(conversa, msg);
        }
        AtualizaInfos(conversa);
        break;
    case TAvisoChat::Read:
        AtualizaInfos(conversa);
        if (conversa == m_conversaAtual) AtualizaMensagemToRichText(msg);
        break;
    case TAvisoChat::Sent:
        AddConversaListView(conversa);
        if (conversa == m_conversaAtual) AtualizaMensagemToRichText(msg);
        break;
    default:
        break;
    }
}

void TfrmChat::AtualizaInfos(TConversaChat* conversa) {
    if (!m_chat || !conversa) return;
    if (QListWidgetItem* item = EntradaRecentes(conversa)) {
        const int n = conversa->NaoLidas > 0 ? conversa->NaoLidas : conversa->ContaNaoLidas({});
        item->setText(ComContagem(conversa->ConversaNome, n));
        QFont f = m_recentes->font();
        f.setBold(n >= 1);
        item->setFont(f);
    }
    const TListaConversaChat& lista = m_chat->ListaDeConversas;
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        for (int j = 0; j < g->childCount(); ++j) {
            QTreeWidgetItem* no = g->child(j);
            auto* u = static_cast<TUsuarioChat*>(no->data(0, kPapelUsuario).value<void*>());
            if (!u) continue;
            int m = lista.TotalNaoLidasServidor(u->UsuarioId);
            if (m == 0) m = lista.TotalNaoLidas(u->UsuarioId);
            if (m != u->NaoLidas) u->NaoLidas = m;
            const QString texto = ComContagem(u->NomeExibicao(), u->NaoLidas);
            if (no->text(0) != texto) no->setText(0, texto);
            QFont f = m_arvore->font();
            f.setBold(u->NaoLidas >= 1);
            no->setFont(0, f);
        }
    }
    int t = lista.TotalNaoLidasServidor({});
    if (t == 0) t = lista.TotalNaoLidas({});
    const int aba = m_abas->indexOf(m_recentes);
    if (t < 1) {
        m_abas->setTabText(aba, QStringLiteral("Recentes"));
        Timer1.stop();
    } else {
        m_abas->setTabText(aba, ComContagem(QStringLiteral("Recentes"), t));
        if (!Timer1.isActive()) Timer1.start();
    }
}

void TfrmChat::AtualizaUsuario(TUsuarioChat* usuario) {
    if (!m_chat || !usuario) return;
    for (int i = 0; i < m_arvore->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = m_arvore->topLevelItem(i);
        for (int j = 0; j < g->childCount(); ++j)
            if (g->child(j)->data(0, kPapelUsuario).value<void*>() == usuario)
                DefineImagem(g->child(j), usuario->Status.isEmpty() ? 1 : 2);
        AcertaIconeItemPai(g);
    }
    AcertaIconeConversas();
}

void TfrmChat::AtualizaMembroFilaTelaChat(TFila* fila, TMembroFila* membro, TAvisoFila aviso) {
    if (!m_chat || !fila || !membro || !membro->Agent) return;
    if (aviso != TAvisoFila::MemberAdded && aviso != TAvisoFila::MemberRemoved) return;
    QTreeWidgetItem* grupo = Grupo(u"f" + fila->FilaId());
    if (!grupo) return;
    const QString numero = membro->Agent->AgentNumber();
    QTreeWidgetItem* filho = nullptr;
    for (int i = 0; i < grupo->childCount() && !filho; ++i)
        if (grupo->child(i)->data(0, kPapelId).toString() == numero) filho = grupo->child(i);
    TConversaChat* conversa = m_chat->ListaDeConversas.ProcuraPorId(u"f" + fila->FilaId());
    if (aviso == TAvisoFila::MemberAdded) {
        if (!filho)
            if (TUsuarioChat* u = ParticipanteDoMembro(membro)) CriaFilho(grupo, u);
        if (conversa) conversa->AdicionaUsuario(numero);
    } else {
        delete filho;
        if (conversa) conversa->RemoveUsuario(numero);
    }
    AcertaIconeItemPai(grupo);
    AcertaIconeConversas();
}
