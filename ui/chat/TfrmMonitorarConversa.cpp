#include "ui/chat/TfrmMonitorarConversa.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/chat/TTextoChat.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
// Colours of the lines (the desktop's BGR values of the original palette, as RGB).
const QColor kCinza(128, 128, 128);
const QColor kMarrom(128, 0, 0);
const QColor kMarinho(0, 0, 128);
const QColor kVerde(0, 128, 0);
const QColor kAzul(0, 0, 255);

// A conversation left open for a whole shift keeps its newest lines.
constexpr int kMaxBlocos = 20000;

QString HoraLonga(double quando) {
    return DaysToDateTime(quando).time().toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

TfrmMonitorarConversa::TfrmMonitorarConversa(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor),
      m_filaNovas([this](const TLinhaConversa& l) { AdicionaMensagem(l); }),
      m_lbConversa(new QLabel), m_lbFila(new QLabel), m_lbAtendente(new QLabel),
      m_lbIsTyping(new QLabel), m_texto(new TTextoChat) {
    setWindowTitle(QStringLiteral("Monitorar conversa"));
    m_lbConversa->setObjectName(QStringLiteral("lbConversa"));
    m_lbFila->setObjectName(QStringLiteral("lbFila"));
    m_lbAtendente->setObjectName(QStringLiteral("lbAtendente"));
    m_lbIsTyping->setObjectName(QStringLiteral("lbIsTyping"));
    m_texto->setObjectName(QStringLiteral("Texto"));
    m_texto->document()->setMaximumBlockCount(kMaxBlocos);
    m_texto->setAccessibleName(QStringLiteral("Mensagens da conversa"));
    for (QLabel* l : {m_lbConversa, m_lbFila, m_lbAtendente})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QLabel* l : {m_lbConversa, m_lbFila, m_lbAtendente, m_lbIsTyping})
        l->setTextFormat(Qt::PlainText);
    auto* cabecalho = new QFormLayout;
    cabecalho->addRow(QStringLiteral("Conversa:"), m_lbConversa);
    cabecalho->addRow(QStringLiteral("Fila:"), m_lbFila);
    cabecalho->addRow(QStringLiteral("Atendente:"), m_lbAtendente);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cabecalho);
    layout->addWidget(m_texto, 1);
    layout->addWidget(m_lbIsTyping);
    resize(600, 480);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmMonitorarConversa::Timer1Timer);
    Timer1.start();
}

TfrmMonitorarConversa::~TfrmMonitorarConversa() {
    Timer1.stop();
}

QString TfrmMonitorarConversa::TextoConversa(const QString& canal, const QString& callerId) {
    return canal + u" (" + callerId + u")";
}

QString TfrmMonitorarConversa::TextoAtendente(const TAgente* agente) {
    return agente ? agente->AgentNumber() + u" - " + agente->AgentName : QString();
}

void TfrmMonitorarConversa::CriaMonitor(const TChannel* canal, const TAgente* agente) {
    if (!canal) return;
    const TFila* fila = canal->LigacaoFila ? canal->LigacaoFila->DataFila : nullptr;
    CriaMonitor(canal->Channel(), canal->UniqueId(), canal->CallerIdValido(),
                !fila                  ? QString()
                : fila->Nome.isEmpty() ? fila->FilaId()
                                       : fila->Nome,
                agente);
}

void TfrmMonitorarConversa::CriaMonitor(const QString& canal, const QString& uniqueId,
                                        const QString& callerId, const QString& fila,
                                        const TAgente* agente) {
    m_uniqueId = uniqueId;
    m_canal = canal;
    // Its end is noticed only for a channel the model follows.
    m_acompanhaCanal = m_monitor && m_monitor->Canais.ProcuraPorUniqueId(uniqueId);
    const QString conversa = TextoConversa(canal, callerId);
    setWindowTitle(u"Monitorar conversa - " + conversa);
    m_lbConversa->setText(conversa);
    m_lbFila->setText(fila);
    m_lbAtendente->setText(TextoAtendente(agente));
    // Without the chat server no history will come: new lines are not held back for it.
    if (!m_monitor || !m_monitor->PedeMensagensCanalChat(m_canal, m_uniqueId))
        DefineHistoricoCompleto();
}

void TfrmMonitorarConversa::LeVariaveis() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    const TSecaoTela secao(ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva),
                           QStringLiteral("MonitorarConversa"));
    const TPosicaoTela pos = secao.LePosicao(480, 600);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
}

void TfrmMonitorarConversa::SalvaVariaveis() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    try {
        TSecaoTela secao(ArquivoPerfilParaGravar(m_monitor->UserDir, m_monitor->ConexaoAtiva),
                         QStringLiteral("MonitorarConversa"));
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmMonitorarConversa::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    if (!m_salvou) {
        m_salvou = true;
        SalvaVariaveis();
    }
    QWidget::closeEvent(event);
}

QString TfrmMonitorarConversa::TextoLinha(const TLinhaConversa& linha) {
    QString t = HoraLonga(linha.Created) + u' ';
    switch (linha.Kind) {
    case 1:
    case 2:
        if (!linha.Name.isEmpty()) t += linha.Name + u": ";
        t += linha.Message;
        break;
    case 3:
    case 4:
    case 6:
        t += linha.Message;
        break;
    default:
        break;
    }
    return t;
}

void TfrmMonitorarConversa::AdicionaMensagem(const TLinhaConversa& linha) {
    QList<TTrechoTexto> trechos{{HoraLonga(linha.Created) + u' ', kCinza}};
    const int k = linha.Kind;
    if ((k == 1 || k == 2) && !linha.Name.isEmpty())
        trechos << TTrechoTexto{linha.Name + u": ", k == 1 ? kMarrom : kMarinho};
    if (k == 1 || k == 2 || k == 3 || k == 4 || k == 6) {
        const QColor cor = k == 4 ? kVerde : k == 6 ? kCinza : k == 3 ? kAzul : QColor(Qt::black);
        // A body's own line breaks stay line breaks of the pane.
        QString corpo = linha.Message;
        corpo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        corpo.replace(u'\n', QChar::LineSeparator);
        trechos << TTrechoTexto{corpo, cor};
    }
    m_texto->AdicionaLinha(trechos);
    // A thin spacer between lines.
    m_texto->AdicionaLinha({TTrechoTexto{QStringLiteral("."), Qt::white, false, false, 3}}, false);
}

void TfrmMonitorarConversa::ChatChannelMessage(const TLinhaConversa& linha) {
    AdicionaMensagem(linha);
}

void TfrmMonitorarConversa::ChatNewMessage(const TLinhaConversa& linha) {
    m_filaNovas.Adiciona(linha);
}

QString TfrmMonitorarConversa::TextoDigitando(bool usuario, bool atendente) {
    if (usuario && atendente) return QStringLiteral("Usuário e atendente estão digitando...");
    if (usuario) return QStringLiteral("O usuário está digitando...");
    if (atendente) return QStringLiteral("O atendente está digitando...");
    return {};
}

void TfrmMonitorarConversa::AtualizaIsTyping(bool usuario, bool atendente) {
    // After the end nobody types any more; the end stays said.
    if (m_encerrada) return;
    m_lbIsTyping->setText(TextoDigitando(usuario, atendente));
}

void TfrmMonitorarConversa::DefineHistoricoCompleto() {
    m_filaNovas.HistoricoCompleto = true;
}

void TfrmMonitorarConversa::Timer1Timer() {
    Timer1.stop();
    m_filaNovas.Tick();
    // The channel left the model: the conversation ended. The window stays open and readable.
    if (!m_encerrada && m_acompanhaCanal && !m_monitor->Canais.ProcuraPorUniqueId(m_uniqueId))
        MarcaEncerrada();
    Timer1.start();
}

void TfrmMonitorarConversa::MarcaEncerrada() {
    m_encerrada = true;
    // Nothing will complete the history of an ended channel: what waits is shown now.
    m_filaNovas.HistoricoCompleto = true;
    m_filaNovas.Tick();
    m_lbIsTyping->setText(QStringLiteral("Conversa encerrada."));
    if (!windowTitle().endsWith(QStringLiteral(" (encerrada)")))
        setWindowTitle(windowTitle() + QStringLiteral(" (encerrada)"));
}
