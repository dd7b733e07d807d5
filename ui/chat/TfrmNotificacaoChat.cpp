#include "ui/chat/TfrmNotificacaoChat.h"

#include "monitor/TMonitor.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace {
const QColor kCreme(255, 251, 230);
const QColor kCirculo(253, 235, 208);
// A long body shows its start; the rest is in the chat window.
constexpr int kMaxTexto = 300;
} // namespace

TfrmNotificacaoChat::TfrmNotificacaoChat()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      m_remetente(new QLabel(this)), m_mensagem(new QLabel(this)) {
    setObjectName(QStringLiteral("frmNotificacaoChat"));
    setWindowTitle(QStringLiteral("Monitor Vesmara - Chat"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kLargura, kAltura);
    QPainterPath forma;
    forma.addRoundedRect(QRectF(1, 1, kLargura - 1, kAltura - 1), 5, 5);
    setMask(QRegion(forma.toFillPolygon().toPolygon()));
    for (QLabel* l : {m_remetente, m_mensagem}) {
        l->setTextFormat(Qt::PlainText);
        l->setFixedWidth(241);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QFont negrito = font();
    negrito.setBold(true);
    m_remetente->setFont(negrito);
    QPalette azul = m_remetente->palette();
    azul.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_remetente->setPalette(azul);
    QPalette preto = m_mensagem->palette();
    preto.setColor(QPalette::WindowText, Qt::black);
    m_mensagem->setPalette(preto);
    m_remetente->setGeometry(9, 22, 241, 16);
    m_mensagem->setGeometry(9, 39, 241, 16);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmNotificacaoChat::Timer1Timer);
}

QRect TfrmNotificacaoChat::AreaX() const {
    return QRect(kLargura - 20, 4, 14, 14);
}

void TfrmNotificacaoChat::Mostra(const QString& remetente, const QString& mensagem) {
    // One line each: the label elides, never wraps over the frame.
    QString texto = mensagem.left(kMaxTexto);
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    texto.replace(u'\n', u' ');
    const QFontMetrics fm(m_mensagem->font());
    m_mensagem->setText(fm.elidedText(texto, Qt::ElideRight, 241));
    const QFontMetrics fr(m_remetente->font());
    m_remetente->setText(fr.elidedText(remetente.left(kMaxTexto), Qt::ElideRight, 241));
    setAccessibleName(u"Nova mensagem de " + remetente);
    setAccessibleDescription(texto);
    if (!Timer1.isActive()) Timer1.start();
    show();
    raise();
}

void TfrmNotificacaoChat::Timer1Timer() {
    if (m_fechada) return;
    --TempoRestante;
    if (TempoRestante < 1) {
        Conversa = nullptr;
        Fecha();
    }
}

void TfrmNotificacaoChat::Clica(bool noX) {
    if (noX) {
        TempoRestante = 0;
        Conversa = nullptr;
    }
    Fecha();
}

void TfrmNotificacaoChat::Fecha() {
    if (m_fechada) return;
    m_fechada = true;
    Timer1.stop();
    Q_EMIT Fechada(this);
    close();
}

void TfrmNotificacaoChat::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Clica(AreaX().adjusted(-3, -3, 3, 3).contains(event->position().toPoint()));
}

void TfrmNotificacaoChat::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QColor(192, 192, 192));
    g.setBrush(kCreme);
    g.drawRoundedRect(QRectF(1.5, 1.5, width() - 3, height() - 3), 5, 5);
    QFont titulo = font();
    titulo.setBold(true);
    g.setFont(titulo);
    g.setPen(Qt::black);
    g.drawText(QRect(0, 3, width(), 16), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Monitor Vesmara - Chat"));
    const QRect x = AreaX();
    g.setPen(QColor(160, 140, 120));
    g.setBrush(kCirculo);
    g.drawEllipse(x);
    g.setFont(font());
    g.drawText(x, Qt::AlignCenter, QStringLiteral("X"));
}

// --- The open notifications --------------------------------------------------------------------

TNotificacoesChat::TNotificacoesChat(TMonitor* monitor, QObject* parent)
    : QObject(parent), m_monitor(monitor) {
    AreaTela = [] {
        const QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    };
    if (!m_monitor) return;
    // While no chat window is open, a new unread message to me is announced here.
    m_avisoChat =
        m_monitor->Avisos().Chat.Assina([this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
            if (ChatAberto && ChatAberto()) return;
            const TChat* chat = m_monitor->Chat();
            if (a != TAvisoChat::Add || !m || !chat) return;
            if (m->To == chat->UsuarioLocal && m->DataLeitura == 0) NotificaMensagem(c, m);
        });
    // The conversations announced belong to the model being replaced.
    m_avisoNovoChat =
        m_monitor->Avisos().NovoChat.Assina([this](TChat*) { FechaFormsNotificacao(); });
}

TNotificacoesChat::~TNotificacoesChat() {
    FechaFormsNotificacao();
}

void TNotificacoesChat::NotificaMensagem(TConversaChat* conversa, TMensagemChat* msg) {
    if (!m_monitor || !m_monitor->Geral.ChatRxMensagem) return;
    TfrmNotificacaoChat* n = nullptr;
    if (conversa)
        for (TfrmNotificacaoChat* a : m_abertas)
            if (a->Conversa == conversa) n = a;
    const QRect tela = AreaTela();
    if (!n) {
        n = new TfrmNotificacaoChat;
        n->Conversa = conversa;
        n->move(tela.right() + 1 - n->width(),
                tela.top() + int(m_abertas.size()) * n->height() + 20);
        m_abertas.append(n);
        connect(n, &TfrmNotificacaoChat::Fechada, this, &TNotificacoesChat::FormNotificacaoClose);
    } else {
        n->TempoRestante = std::clamp(m_monitor->Geral.TempoNotificacao, 1, 20);
    }
    const TChat* chat = m_monitor->Chat();
    const QString remetente =
        msg && chat ? chat->ListaDeUsuarios.NomeUsuario(msg->From) : QString();
    n->Mostra(remetente, msg ? msg->Msg : QString());
}

void TNotificacoesChat::FormNotificacaoClose(TfrmNotificacaoChat* n) {
    if (!m_abertas.removeOne(n)) return;
    Reempilha();
    if (TConversaChat* c = n->Conversa; c && AbreConversa) AbreConversa(c);
}

void TNotificacoesChat::Reempilha() {
    const QRect tela = AreaTela();
    for (qsizetype i = 0; i < m_abertas.size(); ++i) {
        TfrmNotificacaoChat* n = m_abertas[i];
        n->move(tela.right() + 1 - n->width(), tela.top() + int(i) * n->height() + 20);
    }
}

void TNotificacoesChat::FechaFormsNotificacao() {
    const QList<TfrmNotificacaoChat*> abertas = m_abertas;
    for (TfrmNotificacaoChat* n : abertas) {
        n->Conversa = nullptr;
        n->Clica(false);
    }
}
