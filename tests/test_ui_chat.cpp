// The chat windows: the composition box and its keys, unread marks and notifications driven by
// chat events, the conversation monitor's order of early and history lines and its end, the
// "Monitorar conversa" entries per permission, and the whole against the simulator's chat.
#include "app/TfrmMain.h"
#include "support/TCentral.h"
#include "support/TConversaFalsa.h"
#include "support/TMonitorNoSimulador.h"

#include "model/telephony/TChannel.h"
#include "sim/TPbxServer.h"
#include "sim/TSimChat.h"
#include "ui/chat/TTextoChat.h"
#include "ui/chat/TfrmChat.h"
#include "ui/chat/TfrmMonitorarConversa.h"
#include "ui/chat/TfrmNotificacaoChat.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TMenuAtendente.h"
#include "ui/windows/TfrmAgentes.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>

#include <memory>

namespace {
QString Chat(const QString& evento, const QStringList& linhas = {}) {
    return Evento(QStringLiteral("UserEvent"),
                  QStringList{QStringLiteral("UserEvent: vchatevent"), u"VChatEvent: " + evento} +
                      linhas);
}

// A monitor logged in as "ana" whose chat started, with bob (a user), carla (a user without a
// name) and agent 1001; a chat window on it that counts what it announces and its boxes.
struct TChatNaTela : TCentral {
    std::unique_ptr<TfrmChat> tela;
    QList<QPair<QString, QString>> avisados; // conversation, body
    QStringList caixas;
    bool emFrente = false;

    explicit TChatNaTela(bool conecta = true) {
        monitor->Permissoes.Usuario = QStringLiteral("ana");
        Feed(Linha("ZXDBUsuariosVesmara", {"user: ana", "nome: Ana", "tipo: u"}));
        Feed(Linha("ZXDBUsuariosVesmara", {"user: bob", "nome: Bob", "tipo: u"}));
        Feed(Linha("ZXDBUsuariosVesmara", {"user: carla", "nome: ", "tipo: u"}));
        Agente("1001", "Agente Um");
        Feed(u"Response: Success\r\nActionID: UserInChat\r\n\r\n"_qs);
        if (conecta) Conecta();
        enviados.clear();
        tela = std::make_unique<TfrmChat>(monitor.get());
        tela->Notifica = [this](TConversaChat* c, TMensagemChat* m) {
            avisados << qMakePair(c->ConversaId, m->Msg);
        };
        tela->EmPrimeiroPlano = [this] { return emFrente; };
        tela->Informa = [this](const QString&, const QString& texto) { caixas << texto; };
        tela->CriaChat(monitor->Chat());
    }
    QStringList Enviados(const QString& filtro) const { return enviados.filter(filtro); }
    void Recebe(const QString& de, const QString& id, const QString& corpo) {
        Feed(Chat("sendmessage", {"From: " + de, "To: ana", "Id: " + id, "Message: " + corpo,
                                  "TimeSent: " + Agora()}));
    }
};

QString TextoDoMonitor(const TfrmMonitorarConversa& t) {
    // The spacer lines are "." each; what a reader sees is the rest.
    QStringList linhas = t.Texto()->Texto().split(u'\n');
    linhas.removeAll(QStringLiteral("."));
    return linhas.join(u'|');
}
} // namespace

class TestUiChat : public QObject {
    Q_OBJECT

    // One simulator for the end-to-end cases.
    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TUiConversas> ui;
    std::unique_ptr<TMonitor> monitor;

private Q_SLOTS:
    // Closed notifications and windows free themselves through the event loop.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void cleanupTestCase() {
        monitor.reset();
        ui.reset();
        server.reset();
    }

    // --- Composition -------------------------------------------------------------------------

    void composicao_data() {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<int>("modificador");
        QTest::addColumn<int>("enviadas");
        QTest::addColumn<QString>("caixaDepois");
        QTest::newRow("Enter sends") << "oi, tudo bem?" << int(Qt::NoModifier) << 1 << "";
        QTest::newRow("keypad Enter sends") << "oi" << int(Qt::KeypadModifier) << 1 << "";
        QTest::newRow("Ctrl+Enter breaks the line")
            << "primeira" << int(Qt::ControlModifier) << 0 << "primeira\n";
        QTest::newRow("Enter in an empty box sends nothing")
            << "" << int(Qt::NoModifier) << 0 << "";
        QTest::newRow("blanks only send nothing") << "   " << int(Qt::NoModifier) << 0 << "   ";
    }
    void composicao() {
        QFETCH(QString, digitado);
        QFETCH(int, modificador);
        QFETCH(int, enviadas);
        QFETCH(QString, caixaDepois);
        TChatNaTela c;
        QPlainTextEdit* memo = c.tela->MemoTx();
        QCOMPARE(memo->placeholderText(), QStringLiteral("Digite sua mensagem"));
        c.tela->AlternaNo(c.tela->No("usuarios", "bob"));
        QCOMPARE(c.tela->LabelPara()->text(), QStringLiteral("Bob"));
        memo->setPlainText(digitado);
        memo->moveCursor(QTextCursor::End);
        const int tecla = modificador == int(Qt::KeypadModifier) ? Qt::Key_Enter : Qt::Key_Return;
        QTest::keyClick(memo, Qt::Key(tecla), Qt::KeyboardModifiers(modificador));
        QCOMPARE(c.Enviados("SendMessage").size(), enviadas);
        QCOMPARE(memo->toPlainText(), caixaDepois);
        if (enviadas) {
            QVERIFY(c.Enviados("SendMessage")[0].contains(u"To: bob\r\n"));
            // Written at once, pending until the server accepts it.
            QVERIFY(c.tela->Texto()->Texto().contains(u"00:00:00 - ana"));
            QVERIFY(c.tela->Texto()->Texto().contains(digitado));
        }
        QVERIFY(c.caixas.isEmpty());
    }

    void envioSemDestino_data() {
        QTest::addColumn<bool>("conectado");
        QTest::addColumn<bool>("destino");
        QTest::addColumn<QString>("caixa");
        QTest::newRow("no recipient")
            << true << false << "Selecione um destinatário para a mensagem";
        QTest::newRow("no connection")
            << false << true << "A mensagem não foi enviada: sem conexão com o Vesmara.";
    }
    void envioSemDestino() {
        QFETCH(bool, conectado);
        QFETCH(bool, destino);
        QFETCH(QString, caixa);
        TChatNaTela c(conectado);
        if (destino) c.tela->AlternaNo(c.tela->No("usuarios", "bob"));
        c.tela->MemoTx()->setPlainText("não se perde");
        c.tela->btEnviarClick();
        QCOMPARE(c.caixas, QStringList{caixa});
        QVERIFY(c.Enviados("SendMessage").isEmpty());
        // What was typed stays for another try.
        QCOMPARE(c.tela->MemoTx()->toPlainText(), QStringLiteral("não se perde"));
    }

    void limiteDaCaixa() {
        TChatNaTela c;
        c.tela->MemoTx()->setPlainText(QString(TfrmChat::kMaxCaracteres + 50, u'x'));
        QCOMPARE(c.tela->MemoTx()->toPlainText().size(), qsizetype(TfrmChat::kMaxCaracteres));
    }

    // A group ticked whole is one conversation with every member, one message to all.
    void grupoInteiro() {
        TChatNaTela c;
        QTreeWidgetItem* usuarios = c.tela->Grupo("usuarios");
        c.tela->AlternaNo(usuarios);
        QCOMPARE(c.tela->No("usuarios", "bob")->checkState(0), Qt::Checked);
        QCOMPARE(c.tela->LabelNomeConversa()->text(), QStringLiteral("Conversa com: Usuários"));
        // History is for one person only.
        QVERIFY(!c.tela->LinkHistorico(0)->isEnabled());
        c.tela->MemoTx()->setPlainText("reunião às 15h");
        c.tela->btEnviarClick();
        QCOMPARE(c.Enviados("SendMessage").size(), 1);
        QVERIFY(c.Enviados("SendMessage")[0].contains(u"To: bob,carla\r\n"));
        QCOMPARE(c.tela->ConversaAtual()->ConversaId, QStringLiteral("usuarios"));
        // Unticking one member unticks the group: the key becomes the one left.
        c.tela->AlternaNo(c.tela->No("usuarios", "bob"));
        QCOMPARE(usuarios->checkState(0), Qt::Unchecked);
        QCOMPARE(c.tela->LabelPara()->text(), QStringLiteral("carla"));
    }

    // --- Unread marks and notifications -------------------------------------------------------

    void naoLidas_data() {
        QTest::addColumn<bool>("abertaAntes");
        QTest::addColumn<bool>("emFrente");
        QTest::addColumn<int>("avisos");
        QTest::addColumn<int>("lidas");
        QTest::newRow("other conversation") << false << false << 2 << 0;
        QTest::newRow("current, window behind") << true << false << 2 << 0;
        QTest::newRow("current, window in front") << true << true << 0 << 2;
    }
    void naoLidas() {
        QFETCH(bool, abertaAntes);
        QFETCH(bool, emFrente);
        QFETCH(int, avisos);
        QFETCH(int, lidas);
        TChatNaTela c;
        c.emFrente = emFrente;
        if (abertaAntes) c.tela->AlternaNo(c.tela->No("usuarios", "bob"));
        c.enviados.clear();
        c.Recebe("bob", "10", "<b>olá</b> &amp; <i>x</i>");
        c.Recebe("bob", "11", "tudo certo?");
        QCOMPARE(c.avisados.size(), avisos);
        QCOMPARE(c.Enviados("MessageRead").size(), lidas);
        const TConversaChat* bob = c.monitor->Chat()->ListaDeConversas.ProcuraPorId("bob");
        QListWidgetItem* entrada = c.tela->EntradaRecentes(bob);
        QVERIFY(entrada);
        QCOMPARE(entrada->text(), QStringLiteral("Bob (2)"));
        QVERIFY(entrada->font().bold());
        QCOMPARE(c.tela->No("usuarios", "bob")->text(0), QStringLiteral("Bob (2)"));
        QCOMPARE(c.tela->Abas()->tabText(1), QStringLiteral("Recentes (1)"));
        QVERIFY(c.tela->Timer1.isActive());
        QCOMPARE(entrada->data(Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("ausente"));
        // The server confirms the reads: the marks go.
        c.Feed(Chat("messageread", {"Id: 10", "To: ana", "TimeRead: " + c.Agora()}));
        c.Feed(Chat("messageread", {"Id: 11", "To: ana", "TimeRead: " + c.Agora()}));
        QCOMPARE(entrada->text(), QStringLiteral("Bob"));
        QVERIFY(!entrada->font().bold());
        QCOMPARE(c.tela->No("usuarios", "bob")->text(0), QStringLiteral("Bob"));
        QCOMPARE(c.tela->Abas()->tabText(1), QStringLiteral("Recentes"));
        QVERIFY(!c.tela->Timer1.isActive());
    }

    // Choosing a conversation in "Recentes" writes it, reads it and asks for today's history.
    void recentes() {
        TChatNaTela c;
        c.Recebe("bob", "10", "<b>olá</b> &amp; <i>x</i>");
        c.enviados.clear();
        const TConversaChat* bob = c.monitor->Chat()->ListaDeConversas.ProcuraPorId("bob");
        c.tela->Recentes()->setCurrentItem(c.tela->EntradaRecentes(bob));
        c.tela->ListView1Click();
        QCOMPARE(c.tela->ConversaAtual(), bob);
        QCOMPARE(c.Enviados("LastMessages").size(), 1);
        QVERIFY(c.Enviados("LastMessages")[0].contains(u"Days: 0"));
        // Today's messages were already here: written, as plain text, and read.
        const QString texto = c.tela->Texto()->Texto();
        QVERIFY(texto.contains(u"Hoje "));
        QVERIFY(texto.contains(u"12:00:00 - Bob"));
        QVERIFY(texto.contains(u"<b>olá</b> &amp; <i>x</i>"));
        QCOMPARE(c.Enviados("MessageRead").size(), 1);
        // A second click does not ask again for what was asked.
        c.tela->ListView1Click();
        QCOMPARE(c.Enviados("MessageRead").size(), 1);
        QCOMPARE(c.Enviados("LastMessages").size(), 1);
    }

    // Scrolling to the top asks for the next longer range and keeps the reader's place.
    void historicoAoRolar() {
        TChatNaTela c;
        c.tela->resize(835, 480);
        c.tela->show();
        for (int i = 0; i < 40; ++i)
            c.Recebe("bob", QString::number(100 + i), QString("mensagem %1").arg(i));
        c.tela->AlternaNo(c.tela->No("usuarios", "bob"));
        QCOMPARE(c.Enviados("LastMessages").size(), 1);
        QScrollBar* barra = c.tela->Texto()->verticalScrollBar();
        QVERIFY(barra->maximum() > 0);
        QCOMPARE(barra->value(), barra->maximum());
        barra->setValue(0);
        QCOMPARE(c.Enviados("LastMessages").size(), 2);
        QVERIFY(c.Enviados("LastMessages")[1].contains(u"Days: 1"));
        // Yesterday's answer arrives: it shows above, the first message of today stays in view.
        c.Feed(Chat("message", {"From: bob", "To: ana", "Id: 50", "Message: de ontem",
                                "TimeSent: " + TCentral::Unix(c.agora - 1)}));
        c.Feed(Chat("messagecomplete", {"ActionID: LastMessagesChat"}));
        QVERIFY(c.tela->Texto()->Texto().contains(u"de ontem"));
        QVERIFY(barra->value() > 0);
        QTextCursor primeiro = c.tela->Texto()->document()->find("mensagem 0");
        QVERIFY(!primeiro.isNull());
        const int topo = c.tela->Texto()->cursorRect(primeiro).top();
        QVERIFY2(topo >= 0 && topo < 60, qPrintable(QString::number(topo)));
        // A wider range each time, no further than a week.
        barra->setValue(0);
        QVERIFY(c.Enviados("LastMessages").last().contains(u"Days: 2"));
    }

    void separadores_data() {
        QTest::addColumn<int>("diasAtras");
        QTest::addColumn<QString>("inicio");
        QTest::newRow("today") << 0 << "Hoje ";
        QTest::newRow("yesterday") << 1 << "Ontem ";
        QTest::newRow("three days ago") << 3 << "";
    }
    void separadores() {
        QFETCH(int, diasAtras);
        QFETCH(QString, inicio);
        const double agora = 45000.5;
        const QString s = TfrmChat::SeparadorDia(agora - diasAtras, agora);
        const QDate data = DaysToDateTime(agora - diasAtras).date();
        QCOMPARE(s, inicio + QLocale(QLocale::Portuguese, QLocale::Brazil)
                                 .toString(data, "dddd, d 'de' MMMM 'de' yyyy"));
    }

    void notificacoes_data() {
        QTest::addColumn<bool>("ligadas");
        QTest::addColumn<bool>("chatAberto");
        QTest::addColumn<int>("mostradas");
        QTest::newRow("option off") << false << false << 0;
        QTest::newRow("option on") << true << false << 2;
        QTest::newRow("chat window decides") << true << true << 0;
    }
    void notificacoes() {
        QFETCH(bool, ligadas);
        QFETCH(bool, chatAberto);
        QFETCH(int, mostradas);
        TChatNaTela c;
        c.tela.reset();
        c.monitor->Geral.ChatRxMensagem = ligadas;
        c.monitor->Geral.TempoNotificacao = 12;
        TNotificacoesChat n(c.monitor.get());
        n.ChatAberto = [&] { return chatAberto; };
        n.AreaTela = [] { return QRect(0, 0, 1600, 1000); };
        QStringList abertas;
        n.AbreConversa = [&](TConversaChat* conv) { abertas << conv->ConversaId; };
        QWidget foco;
        auto* campo = new QPlainTextEdit(&foco);
        foco.show();
        foco.activateWindow();
        if (!QTest::qWaitForWindowActive(&foco)) QSKIP("no window activation on this platform");
        campo->setFocus();
        c.Recebe("bob", "10", "oi");
        c.Recebe("carla", "11", "olá");
        c.Recebe("bob", "12", "ainda aí?"); // the same conversation: refreshed, not a third
        QCOMPARE(n.Abertas().size(), mostradas);
        if (!mostradas) return;
        const int h = TfrmNotificacaoChat::kAltura;
        TfrmNotificacaoChat* primeira = n.Abertas()[0];
        TfrmNotificacaoChat* segunda = n.Abertas()[1];
        QCOMPARE(primeira->pos(), QPoint(1600 - TfrmNotificacaoChat::kLargura, 20));
        QCOMPARE(segunda->pos().y(), 20 + h);
        QCOMPARE(primeira->LabelRemetente()->text(), QStringLiteral("Bob"));
        QCOMPARE(primeira->LabelMensagem()->text(), QStringLiteral("ainda aí?"));
        QCOMPARE(primeira->TempoRestante, 12);
        QCOMPARE(segunda->TempoRestante, 5);
        // Never takes the keyboard from what the supervisor is typing.
        QVERIFY(primeira->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(primeira->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        QCOMPARE(QApplication::focusWidget(), campo);
        // The second times out after five seconds and opens nothing.
        for (int i = 0; i < 5; ++i)
            segunda->Timer1Timer();
        QCOMPARE(n.Abertas().size(), 1);
        QVERIFY(abertas.isEmpty());
        // A third stacks below the first; dismissing the first moves it up.
        c.Recebe("carla", "13", "volto já");
        QCOMPARE(n.Abertas()[1]->pos().y(), 20 + h);
        TfrmNotificacaoChat* terceira = n.Abertas()[1];
        primeira->Clica(true);
        QVERIFY(abertas.isEmpty());
        QCOMPARE(terceira->pos().y(), 20);
        // A click on the body opens its conversation.
        terceira->Clica(false);
        QCOMPARE(abertas, QStringList{"carla"});
        QVERIFY(n.Abertas().isEmpty());
        // A new login frees the conversations: nothing announced of the old one stays open.
        c.Recebe("bob", "14", "de novo");
        QCOMPARE(n.Abertas().size(), 1);
        c.Feed(u"Response: Success\r\nActionID: UserInChat\r\n\r\n"_qs);
        QVERIFY(n.Abertas().isEmpty());
        QCOMPARE(abertas, QStringList{"carla"});
    }

    // --- Conversation monitor -----------------------------------------------------------------

    void linhasDoMonitor_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("texto");
        QTest::newRow("customer") << 1 << "Cliente"
                                  << "12:00:00 Cliente: oi";
        QTest::newRow("customer without a name") << 1 << ""
                                                 << "12:00:00 oi";
        QTest::newRow("agent") << 2 << "Agente"
                               << "12:00:00 Agente: oi";
        QTest::newRow("system") << 3 << "Sistema"
                                << "12:00:00 oi";
        QTest::newRow("closing") << 6 << "x"
                                 << "12:00:00 oi";
        QTest::newRow("unknown kind") << 5 << "x"
                                      << "12:00:00 ";
    }
    void linhasDoMonitor() {
        QFETCH(int, kind);
        QFETCH(QString, nome);
        QFETCH(QString, texto);
        TLinhaConversa l;
        l.Kind = kind;
        l.Name = nome;
        l.Message = "oi";
        l.Created = 45000.5;
        QCOMPARE(TfrmMonitorarConversa::TextoLinha(l), texto);
    }

    void digitando_data() {
        QTest::addColumn<QString>("pacote");
        QTest::addColumn<QString>("texto");
        QTest::newRow("both") << "UserTyping: 1|AgentTyping: 1"
                              << "Usuário e atendente estão digitando...";
        QTest::newRow("customer") << "UserTyping: 1|AgentTyping: 0"
                                  << "O usuário está digitando...";
        QTest::newRow("agent") << "UserTyping: 0|AgentTyping: 1"
                               << "O atendente está digitando...";
        QTest::newRow("neither") << "UserTyping: 0|AgentTyping: 0"
                                 << "";
    }
    void digitando() {
        QFETCH(QString, pacote);
        QFETCH(QString, texto);
        TCentral c;
        c.NovoCanal("VChat/cliente-1", "77.1");
        TfrmMonitorarConversa tela(c.monitor.get());
        tela.CriaMonitor(c.C("VChat/cliente-1"), nullptr);
        // The chat server's event reaches the window through the routing.
        struct TUi : TRecordingUi {
            TMonitorConversa* t = nullptr;
            TMonitorConversa* ProcuraTelaMonitorarConversa(const QString& n) override {
                return n == u"Conversa77.1" ? t : nullptr;
            }
        } ui;
        ui.t = &tela;
        c.monitor->SetUi(&ui);
        c.Feed(Evento("ChatChannelState", QStringList{"Uniqueid: 77.1"} + pacote.split(u'|')),
               true);
        QCOMPARE(tela.LbIsTyping()->text(), texto);
        c.monitor->SetUi(c.ui.get());
    }

    // New lines that come before the history is complete wait, and then follow it in order.
    void ordemDoMonitor_data() {
        QTest::addColumn<QString>("chegada");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("new before history") << "n3 h1 h2 c n4"
                                            << "1|2|3|4";
        QTest::newRow("history only") << "h1 h2 c"
                                      << "1|2";
        QTest::newRow("new only") << "n5 n6 c"
                                  << "5|6";
        QTest::newRow("history after a new line") << "h1 n2 h3 c"
                                                  << "1|3|2";
    }
    void ordemDoMonitor() {
        QFETCH(QString, chegada);
        QFETCH(QString, esperado);
        TCentral c;
        TfrmMonitorarConversa tela(c.monitor.get());
        tela.Timer1.stop();
        for (const QString& passo : chegada.split(u' ')) {
            TLinhaConversa l;
            l.Kind = 3;
            l.Message = passo.mid(1);
            if (passo[0] == u'h') tela.ChatChannelMessage(l);
            if (passo[0] == u'n') tela.ChatNewMessage(l);
            if (passo[0] == u'c') tela.DefineHistoricoCompleto();
            // A tick before the completion writes nothing new.
            if (passo[0] != u'c') tela.Timer1Timer();
        }
        tela.Timer1Timer();
        QStringList numeros;
        for (const QString& linha : TextoDoMonitor(tela).split(u'|'))
            numeros << linha.section(u' ', 1);
        QCOMPARE(numeros.join(u'|'), esperado);
        QCOMPARE(tela.LinhasEsperando(), 0);
    }

    // A reader of older lines keeps the place; one at the end follows the new lines. Markup in a
    // body is text, and the end of the channel is said while the lines stay.
    void leituraDoMonitor() {
        TCentral c;
        c.NovoCanal("VChat/cliente-1", "77.1");
        c.C("VChat/cliente-1")->CallerId = "5511999";
        TfrmMonitorarConversa tela(c.monitor.get());
        tela.Timer1.stop();
        tela.resize(600, 300);
        tela.show();
        tela.CriaMonitor(c.C("VChat/cliente-1"), nullptr);
        // No chat server to answer: new lines are not held back for a history that never comes.
        QVERIFY(tela.HistoricoCompleto());
        QCOMPARE(tela.windowTitle(),
                 QStringLiteral("Monitorar conversa - VChat/cliente-1 (5511999)"));
        QCOMPARE(tela.LbAtendente()->text(), QString());
        for (int i = 0; i < 200; ++i) {
            TLinhaConversa l;
            l.Kind = 1;
            l.Name = "Cliente";
            l.Message = QString("linha %1").arg(i);
            tela.ChatChannelMessage(l);
        }
        QScrollBar* barra = tela.Texto()->verticalScrollBar();
        QVERIFY(barra->maximum() > 0);
        QCOMPARE(barra->value(), barra->maximum());
        barra->setValue(10);
        TLinhaConversa l;
        l.Kind = 2;
        l.Name = "Agente";
        l.Message = "<a href='http://x'>clique</a>";
        l.Created = c.agora;
        tela.ChatChannelMessage(l);
        QCOMPARE(barra->value(), 10);
        barra->setValue(barra->maximum());
        tela.ChatChannelMessage(l);
        QCOMPARE(barra->value(), barra->maximum());
        QVERIFY(tela.Texto()->Texto().contains(u"Agente: <a href='http://x'>clique</a>"));
        QVERIFY(!tela.Texto()->document()->toHtml().contains(u"<a href"));
        // A screen reader hears the newest line.
        QCOMPARE(tela.Texto()->accessibleDescription(),
                 QStringLiteral("Última linha: 12:00:00 Agente: <a href='http://x'>clique</a>"));
        // The channel ends: said once, and everything stays readable.
        tela.AtualizaIsTyping(true, false);
        c.Hangup("VChat/cliente-1", "77.1");
        tela.Timer1Timer();
        QVERIFY(tela.Encerrada());
        QCOMPARE(tela.LbIsTyping()->text(), QStringLiteral("Conversa encerrada."));
        tela.AtualizaIsTyping(true, true);
        QCOMPARE(tela.LbIsTyping()->text(), QStringLiteral("Conversa encerrada."));
        QVERIFY(tela.Texto()->Texto().contains(u"linha 0"));
        QVERIFY(tela.windowTitle().endsWith(u" (encerrada)"));
    }

    // --- "Monitorar conversa" entries -----------------------------------------------------------

    void menuMonitorar_data() {
        QTest::addColumn<QString>("janela");
        QTest::addColumn<bool>("permitido");
        QTest::addColumn<int>("chamadas");
        QTest::addColumn<QStringList>("itens");
        QTest::newRow("agents, one call")
            << "agentes" << true << 1 << QStringList{"Monitorar conversa"};
        QTest::newRow("agents, two calls")
            << "agentes" << true << 2
            << QStringList{"VChat/cliente-0 (5511000)", "VChat/cliente-1 (5511001)"};
        QTest::newRow("agents, no call") << "agentes" << true << 0 << QStringList{};
        QTest::newRow("agents, agent not visible") << "agentes" << false << 1 << QStringList{};
        QTest::newRow("queue, permitted")
            << "fila" << true << 1 << QStringList{"Monitorar conversa"};
        QTest::newRow("queue, not permitted") << "fila" << false << 1 << QStringList{};
        QTest::newRow("telephony variant") << "telefonia" << true << 1 << QStringList{};
    }
    void menuMonitorar() {
        QFETCH(QString, janela);
        QFETCH(bool, permitido);
        QFETCH(int, chamadas);
        QFETCH(QStringList, itens);
        TCentral c;
        c.Agente("1001", "Agente Um");
        c.Fila("5", "Chat", "c");
        // A restricted user: sees agent 1001 only when permitted, follows queue 5's conversations
        // only when permitted.
        c.monitor->Permissoes.SetaUsuario("sup", "u", 0, {});
        c.monitor->Permissoes.AdicionaPermissao("Atendente", "Visualizar");
        c.monitor->Permissoes.AdicionaValor("Atendente", "Visualizar", permitido ? "1001" : "9",
                                            "R");
        c.monitor->Permissoes.AdicionaPermissao("Fila", "MonitorarConversaChat");
        c.monitor->Permissoes.AdicionaValor("Fila", "MonitorarConversaChat", permitido ? "5" : "9",
                                            "R");
        TAgente* a = c.A("1001");
        for (int i = 0; i < chamadas; ++i) {
            const QString n = QString::number(i);
            c.NovoCanal("VChat/cliente-" + n, "88." + n);
            c.C("VChat/cliente-" + n)->CallerId = "551100" + n;
            a->AddCall(c.C("VChat/cliente-" + n));
        }
        QWidget janelaDoMenu;
        TMenuAtendente gerencia(
            c.monitor.get(), [a] { return a; }, &janelaDoMenu);
        gerencia.SetSlot(janela == u"telefonia" ? 0 : 1);
        // The queue window's member list decides by the queue's permission; its rule asks the
        // list, so the list lives as long as the menu.
        std::unique_ptr<TListaAtendentesFila> membros;
        if (janela == u"fila") {
            membros = std::make_unique<TListaAtendentesFila>(c.monitor.get());
            membros->SetFila(c.F("5"));
            const auto regra = membros->Gerencia()->PodeMonitorarConversa;
            gerencia.PodeMonitorarConversa = [regra](const TAgente& x) { return regra(x); };
            QCOMPARE(regra(*a), permitido);
        }
        QMenu menu;
        gerencia.Adiciona(&menu);
        QStringList vistos;
        bool temEntrada = false;
        for (QAction* acao : menu.actions()) {
            if (acao->text() != u"Monitorar conversa") continue;
            temEntrada = true;
            if (!acao->menu()) {
                if (acao->isEnabled()) vistos << acao->text();
            } else if (acao->isEnabled()) {
                for (QAction* sub : acao->menu()->actions())
                    vistos << sub->text();
            }
        }
        QCOMPARE(temEntrada, janela != u"telefonia");
        QCOMPARE(vistos, itens);
        // Choosing the entry asks the frame for the monitor of that call, with the agent.
        QSignalSpy pedido(&gerencia, &TMenuAtendente::MonitorarConversa);
        gerencia.MonitoraConversa(chamadas - 1);
        const bool pede = !itens.isEmpty() && janela != u"telefonia";
        QCOMPARE(pedido.size(), pede ? 1 : 0);
        if (pede) {
            QCOMPARE(pedido[0][0].toString(), u"88." + QString::number(chamadas - 1));
            QCOMPARE(pedido[0][1].toString(), QStringLiteral("Agent/1001"));
        }
    }

    // The "Exibir" entry of the chat, by permission, and its window reopened and found.
    void entradaChat_data() {
        QTest::addColumn<bool>("restrito");
        QTest::addColumn<bool>("permitido");
        QTest::addColumn<bool>("entrada");
        QTest::newRow("unrestricted") << false << false << true;
        QTest::newRow("restricted, may chat") << true << true << true;
        QTest::newRow("restricted, may not chat") << true << false << false;
    }
    void entradaChat() {
        QFETCH(bool, restrito);
        QFETCH(bool, permitido);
        QFETCH(bool, entrada);
        TfrmMain main{QString()};
        TMonitor* m = main.Monitor();
        auto feed = [m](const QString& t) { m->TrataManagerPacket(m->ManagerConnection(), t); };
        feed(Linha("ZXDBUsuariosVesmara", {"user: bob", "nome: Bob", "tipo: u"}));
        m->Permissoes.SetaUsuario("ana", restrito ? "u" : "a", 0, {});
        if (permitido) m->Permissoes.AdicionaPermissao("Chat", "Conversar");
        // No chat started yet: no entry whatever the permission.
        main.CriaTelas({"Chat"});
        QVERIFY(!main.ProcuraTelaChat());
        feed(u"Response: Success\r\nActionID: UserInChat\r\n\r\n"_qs);
        main.CriaTelas({"Chat"});
        bool temChat = false;
        for (QAction* a : main.MenuExibir()->actions())
            temChat = temChat || a->text() == u"Chat";
        QCOMPARE(temChat, entrada);
        QCOMPARE(main.ProcuraTelaChat() != nullptr, entrada);
        if (!entrada) return;
        TfrmChat* chat = main.ProcuraTelaChat();
        QCOMPARE(chat->objectName(), QStringLiteral("Chat"));
        QCOMPARE(chat->Chat(), m->Chat());
        // Opening again brings the same window forward.
        QCOMPARE(main.CriaTelaChat(), chat);
        QCOMPARE(main.SetaTelasAtuais(), QStringList{"Chat"});
        // A notification clicked with the window closed opens it on the conversation.
        chat->parentWidget()->close();
        QTRY_VERIFY(!main.ProcuraTelaChat());
        m->Geral.ChatRxMensagem = true;
        feed(Chat("sendmessage", {"From: bob", "To: ana", "Id: 5", "Message: oi"}));
        QCOMPARE(main.Notificacoes()->Abertas().size(), 1);
        main.Notificacoes()->Abertas()[0]->Clica(false);
        QVERIFY(main.ProcuraTelaChat());
        QCOMPARE(main.ProcuraTelaChat()->ConversaAtual(),
                 m->Chat()->ListaDeConversas.ProcuraPorId("bob"));
        // The connection ends: every notification goes.
        feed(Chat("sendmessage", {"From: bob", "To: ana", "Id: 6", "Message: oi de novo"}));
        main.CloseChatNotifications();
        QVERIFY(main.Notificacoes()->Abertas().isEmpty());
    }

    // --- Against the simulator -----------------------------------------------------------------

    void simulador() {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.seed = 5;
        QString erro;
        QVERIFY2(server->start(options, &erro), qPrintable(erro));
        ui = std::make_unique<TUiConversas>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ApontaParaSimulador(*monitor, *server);
        QSignalSpy carregou(monitor.get(), &TMonitor::LoadFinished);
        monitor->Conectar();
        QVERIFY(carregou.wait(20000));
        QVERIFY(monitor->Chat());

        TfrmChat tela(monitor.get());
        int avisos = 0;
        tela.Notifica = [&](TConversaChat*, TMensagemChat*) { ++avisos; };
        tela.EmPrimeiroPlano = [] { return false; };
        tela.CriaChat(monitor->Chat());
        tela.show();
        // The load's unread counts show on the list and the tab.
        QVERIFY(tela.Recentes()->count() > 0);
        QVERIFY(tela.Abas()->tabText(1).startsWith(u"Recentes ("));

        // A multi-line message with accents, typed and sent with Enter.
        QTreeWidgetItem* ana = tela.No("usuarios", "ana.souza");
        QVERIFY(ana);
        tela.AlternaNo(ana);
        QPlainTextEdit* memo = tela.MemoTx();
        memo->setFocus();
        memo->insertPlainText(QStringLiteral("Olá, Ana! Atenção à fila"));
        QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
        memo->insertPlainText(QStringLiteral("segunda linha"));
        QTest::keyClick(memo, Qt::Key_Return);
        QVERIFY(memo->toPlainText().isEmpty());
        TSimChat* sim = server->chat();
        auto recebidaPeloSim = [&] {
            for (const auto& [id, m] : sim->messages())
                if (m.from == u"demo" && m.to.contains(u"ana.souza") &&
                    m.body.startsWith(u"Olá, Ana! Atenção à fila") &&
                    m.body.endsWith(u"segunda linha"))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(recebidaPeloSim(), 10000);
        // Accepted: the pending time gives way to the server's.
        QTRY_VERIFY_WITH_TIMEOUT(!tela.Texto()->Texto().contains(u"00:00:00"), 10000);
        QVERIFY2(tela.Texto()->Texto().contains(u"Olá, Ana! Atenção à fila\nsegunda linha"),
                 qPrintable(tela.Texto()->Texto()));

        // The simulator's own traffic reaches the window.
        const int antes = avisos;
        for (int i = 0; i < 200 && avisos == antes; ++i) {
            sim->step();
            QTest::qWait(0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(avisos > antes, 10000);

        // A conversation monitor on a live external chat.
        while (sim->channels().empty())
            sim->step();
        const TSimChatChannel canal = sim->channels().begin()->second;
        TfrmMonitorarConversa conversa(monitor.get());
        ui->telas.insert("Conversa" + canal.uniqueId, &conversa);
        conversa.CriaMonitor(canal.channel, canal.uniqueId, canal.customer, canal.queue, nullptr);
        QVERIFY(!conversa.HistoricoCompleto());
        QTRY_VERIFY_WITH_TIMEOUT(conversa.HistoricoCompleto(), 10000);
        const QString texto = TextoDoMonitor(conversa);
        for (const TSimChatLine& l : canal.lines)
            if (l.kind >= 1 && l.kind <= 4)
                QVERIFY2(texto.contains(l.message), qPrintable(l.message));
        // Typing states of the live chat reach the bottom line.
        for (int i = 0; i < 400 && conversa.LbIsTyping()->text().isEmpty(); ++i) {
            sim->step();
            QTest::qWait(0);
        }
        QVERIFY(!conversa.LbIsTyping()->text().isEmpty());
        // A picture of the monitor for whoever asks (VESMARA_SHOT_DIR).
        const QString fotos = qEnvironmentVariable("VESMARA_SHOT_DIR");
        if (!fotos.isEmpty()) {
            conversa.Timer1Timer();
            conversa.resize(1000, 640);
            conversa.show();
            QVERIFY(conversa.grab().save(fotos + "/MonitorarConversa.png"));
            tela.resize(1300, 760);
            QVERIFY(tela.grab().save(fotos + "/ChatTeste.png"));
        }
        ui->telas.remove("Conversa" + canal.uniqueId);
        QVERIFY(ui->erros.isEmpty());
    }
};

QTEST_MAIN(TestUiChat)
#include "test_ui_chat.moc"
