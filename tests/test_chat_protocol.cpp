// The internal chat as the dispatcher feeds it (every chat event, the received and sent bodies,
// the actions of the chat windows), the chat server's own load sequence and its failures, and
// the routing of external-chat lines to the conversation monitors.
#include "support/TCentral.h"

#include "support/TConversaFalsa.h"

#include <QSignalSpy>
#include <QTcpServer>

namespace {
// A vchatevent packet from "Key: Value" lines.
QString Chat(const QString& evento, const QStringList& linhas = {}) {
    return Evento(QStringLiteral("UserEvent"),
                  QStringList{QStringLiteral("UserEvent: vchatevent"), u"VChatEvent: " + evento} +
                      linhas);
}

QString Resposta(const QString& id, const QString& resposta) {
    return u"Response: " + resposta + u"\r\nActionID: " + id + u"\r\n\r\n";
}

// A monitor logged in as "ana" whose chat start succeeded, with bob (a user), carla (a user
// without a name) and agent 1001 as participants; every chat notice is recorded.
struct TChatAlimentado : TCentral {
    QStringList avisos;
    TAssinatura assinatura;
    TChatAlimentado() {
        monitor->Permissoes.Usuario = QStringLiteral("ana");
        Feed(Linha("ZXDBUsuariosVesmara", {"user: ana", "nome: Ana", "tipo: u"}));
        Feed(Linha("ZXDBUsuariosVesmara", {"user: bob", "nome: Bob", "tipo: u"}));
        Feed(Linha("ZXDBUsuariosVesmara", {"user: carla", "nome: ", "tipo: u"}));
        Agente("1001", "Agente Um");
        Feed(Resposta("UserInChat", "Success"));
        assinatura =
            monitor->Avisos().Chat.Assina([this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
                avisos << TextoAvisoChat(a) + u' ' + (c ? c->ConversaId : QStringLiteral("-")) +
                              u' ' + (m ? m->Id : QStringLiteral("-"));
            });
    }
    TChat* chat() const { return monitor->Chat(); }
    // "conversa:ids of its messages" for every conversation.
    QStringList Conversas() const {
        QStringList t;
        for (int i = 0; i < chat()->ListaDeConversas.Count(); ++i) {
            const TConversaChat* c = chat()->ListaDeConversas.Item(i);
            QStringList ids;
            for (int j = 0; j < c->Mensagens.Count(); ++j)
                ids << c->Mensagens.Item(j)->Id;
            t << c->ConversaId + u':' + ids.join(u',');
        }
        return t;
    }
};

} // namespace

class TestChatProtocol : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inicioDoChat_data() {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<bool>("criado");
        QTest::newRow("success") << "Success" << true;
        QTest::newRow("error") << "Error" << false;
    }
    void inicioDoChat() {
        QFETCH(QString, resposta);
        QFETCH(bool, criado);
        TCentral c;
        c.monitor->Permissoes.Usuario = QStringLiteral("ana");
        c.Feed(Linha("ZXDBUsuariosVesmara", {"user: ana", "nome: Ana", "tipo: u"}));
        c.Feed(Linha("ZXDBUsuariosVesmara", {"user: bob", "nome: ", "tipo: u"}));
        c.Agente("1001", "Agente Um");
        TChat* novo = nullptr;
        auto a = c.monitor->Avisos().NovoChat.Assina([&](TChat* ch) { novo = ch; });
        c.Feed(Resposta("UserInChat", resposta));
        QCOMPARE(c.monitor->Chat() != nullptr, criado);
        if (!criado) return;
        QCOMPARE(novo, c.monitor->Chat());
        const TListaUsuariosChat& u = novo->ListaDeUsuarios;
        QCOMPARE(u.Count(), 2); // the local user is not a participant
        QCOMPARE(u.ProcuraUsuario("bob", "u")->NomeExibicao(), QStringLiteral("bob"));
        QCOMPARE(u.ProcuraUsuario("1001", "a")->Nome, QStringLiteral("Agente Um"));
        // Events before the start were ignored; a new start is a new, empty model.
        c.Feed(Chat("sendmessage", {"From: bob", "To: ana", "Id: 1", "Message: oi"}));
        const TChat* primeiro = novo;
        c.Feed(Resposta("UserInChat", "Success"));
        QVERIFY(c.monitor->Chat() != primeiro);
        QCOMPARE(novo, c.monitor->Chat());
        QCOMPARE(c.monitor->Chat()->ListaDeMensagens.Count(), 0);
    }

    // Sequences of chat events and the conversations and notices they leave.
    void eventos_data() {
        QTest::addColumn<QStringList>("pacotes"); // "event|Key: Value|Key: Value"
        QTest::addColumn<QStringList>("conversas");
        QTest::addColumn<QStringList>("avisos");
        QTest::newRow("message to the local user")
            << QStringList{"sendmessage|From: bob|To: ana|Id: 4|Message: oi|TimeSent: 100"}
            << QStringList{"bob:4"} << QStringList{"Add bob -", "Add bob 4"};
        QTest::newRow("to several recipients ignored")
            << QStringList{"sendmessage|From: bob|To: ana,carla|Id: 4|Message: oi"} << QStringList{}
            << QStringList{};
        QTest::newRow("without From or Id ignored")
            << QStringList{"sendmessage|To: ana|Id: 4|Message: oi",
                           "sendmessage|From: bob|To: ana|Message: oi"}
            << QStringList{} << QStringList{};
        QTest::newRow("unknown sender named by its id")
            << QStringList{"sendmessage|From: zed|To: ana|Id: 1|Message: oi"}
            << QStringList{"zed:1"} << QStringList{"Add zed -", "Add zed 1"};
        QTest::newRow("duplicate id is one message")
            << QStringList{"sendmessage|From: bob|To: ana|Id: 4|Message: oi",
                           "sendmessage|From: bob|To: ana|Id: 4|Message: outra"}
            << QStringList{"bob:4"} << QStringList{"Add bob -", "Add bob 4"};
        QTest::newRow("out of order ids are ordered")
            << QStringList{"sendmessage|From: bob|To: ana|Id: 9|Message: b",
                           "sendmessage|From: bob|To: ana|Id: 3|Message: a"}
            << QStringList{"bob:3,9"} << QStringList{"Add bob -", "Add bob 9", "Add bob 3"};
        QTest::newRow("history twice: second is a read")
            << QStringList{"message|From: bob|To: ana|Id: 5|Message: oi|TimeSent: 10",
                           "message|From: bob|To: ana|Id: 5|Message: oi|TimeRead: 20"}
            << QStringList{"bob:5"} << QStringList{"Add bob -", "Add bob 5", "Read bob 5"};
        QTest::newRow("history of my own message")
            << QStringList{"message|From: ana|To: bob|Id: 6|Message: oi|TimeSent: 10"}
            << QStringList{"bob:6"} << QStringList{"Add bob -", "Sent bob 6"};
        QTest::newRow("history without To ignored")
            << QStringList{"message|From: bob|Id: 6|Message: oi"} << QStringList{} << QStringList{};
        QTest::newRow("read receipt for an unseen message ignored")
            << QStringList{"messageread|Id: 77|To: bob|TimeRead: 50"} << QStringList{}
            << QStringList{};
        QTest::newRow("read receipt")
            << QStringList{"sendmessage|From: bob|To: ana|Id: 4|Message: oi",
                           "messageread|Id: 4|To: ana|TimeRead: 50"}
            << QStringList{"bob:4"} << QStringList{"Add bob -", "Add bob 4", "Read bob 4"};
        QTest::newRow("acceptance of an unknown local id changes nothing")
            << QStringList{"messagesent|From: ana|Id: 8|LocalId: 3"} << QStringList{}
            << QStringList{};
        QTest::newRow("unread count opens the conversation silently")
            << QStringList{"unreadmessages|From: carla|Total: 3"} << QStringList{"carla:"}
            << QStringList{"Add carla -"};
        QTest::newRow("unknown event ignored")
            << QStringList{"nonsense|From: bob|To: ana|Id: 4"} << QStringList{} << QStringList{};
    }
    void eventos() {
        QFETCH(QStringList, pacotes);
        QFETCH(QStringList, conversas);
        QFETCH(QStringList, avisos);
        TChatAlimentado c;
        for (const QString& p : pacotes) {
            QStringList partes = p.split(u'|');
            const QString ev = partes.takeFirst();
            c.Feed(Chat(ev, partes));
        }
        QCOMPARE(c.Conversas(), conversas);
        QCOMPARE(c.avisos, avisos);
        QVERIFY(c.ui->erros.isEmpty());
    }

    void naoLidas_data() {
        QTest::addColumn<QString>("total");
        QTest::addColumn<int>("esperado");
        QTest::newRow("number") << "3" << 3;
        QTest::newRow("not a number") << "três" << 0;
        QTest::newRow("negative") << "-2" << 0;
        QTest::newRow("blank") << "" << 0;
    }
    void naoLidas() {
        QFETCH(QString, total);
        QFETCH(int, esperado);
        TChatAlimentado c;
        c.Feed(Chat("unreadmessages", {"From: bob", "Total: 9"}));
        c.Feed(Chat("unreadmessages", {"From: bob", "Total: " + total}));
        QCOMPARE(c.chat()->ListaDeConversas.ProcuraPorId("bob")->NaoLidas, esperado);
        // The older servers' table rows count the same way.
        c.Feed(Linha("ZXDBMensagensNaLidasChat", {"De: carla", "Total: " + total}));
        QCOMPARE(c.chat()->ListaDeConversas.ProcuraPorId("carla")->NaoLidas, esperado);
    }

    void presenca() {
        TChatAlimentado c;
        QVERIFY(c.Conecta());
        QStringList presentes;
        auto a = c.monitor->Avisos().UsuarioChat.Assina(
            [&](TUsuarioChat* u) { presentes << u->UsuarioId + u'=' + u->Status; });
        c.Feed(Chat("userin", {"User: bob"}));
        c.Feed(Chat("userin", {"User: nobody"}));
        c.Feed(Chat("userout", {"User: bob"}));
        QCOMPARE(presentes, (QStringList{"bob=a", "bob="}));
        c.Feed(Chat("userout", {"User: ana"}));
        c.Feed(Chat("getusersin", {"User: ana"}));
        c.Feed(Chat("getusersin", {"User: bob"}));
        QCOMPARE(c.enviados,
                 (QStringList{"Action: VChatAction\r\nVChatAction: UserIn\r\nUser: ana\r\n\r\n",
                              "Action: VChatAction\r\nVChatAction: UserIn\r\n\r\n"}));
    }

    void corpoRecebido_data() {
        QTest::addColumn<QString>("recebido");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("lone LFs") << "\na\n\nb\n"
                                  << "\r\na\r\n\r\nb\r\n";
        QTest::newRow("CR LF unchanged") << "a\r\nb\r\n"
                                         << "a\r\nb\r\n";
        QTest::newRow("mixed") << "a\r\nb\nc"
                               << "a\r\nb\r\nc";
        QTest::newRow("accents and tabs") << "ação\tçé"
                                          << "ação\tçé";
        QTest::newRow("html kept as text") << "<b>oi</b><script>x()</script>"
                                           << "<b>oi</b><script>x()</script>";
        QTest::newRow("control characters dropped") << "a\x01\x1b[2Jb\x7f"
                                                    << "a[2Jb";
        QTest::newRow("line separator is a line break") << QStringLiteral("a\u2028b") << "a\r\nb";
        QTest::newRow("empty") << ""
                               << "";
    }
    void corpoRecebido() {
        QFETCH(QString, recebido);
        QFETCH(QString, mostrado);
        QCOMPARE(TMonitor::TrataMensagemRx(recebido), mostrado);
    }

    void corpoEnorme() {
        const QString enorme = QString(200000, u'x') + QStringLiteral("\U0001F600");
        QCOMPARE(TMonitor::TrataMensagemRx(enorme).size(), TMonitor::kMaxCorpoChat);
        // A cut never leaves half a surrogate pair behind.
        const QString pares =
            QString(QStringLiteral("\U0001F600")).repeated(TMonitor::kMaxCorpoChat);
        const QString cortado = TMonitor::TrataMensagemRx(pares);
        QVERIFY(!cortado.back().isHighSurrogate());
        QVERIFY(cortado.size() <= TMonitor::kMaxCorpoChat);
    }

    // Whatever the user types, the body goes out on one protocol line: no line break, no
    // empty line that would end the action and start another one.
    void corpoEnviado_data() {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("corpo");
        QTest::newRow("plain") << "olá"
                               << "olá";
        QTest::newRow("injection") << "oi\r\n\r\nAction: Logoff\r\n"
                                   << QStringLiteral("oi\u2028\u2028Action: Logoff\u2028");
        QTest::newRow("lone LF and CR") << "a\nb\rc" << QStringLiteral("a\u2028b\u2028c");
        QTest::newRow("NUL dropped") << QString("a") + QChar(0) + "b"
                                     << "ab";
    }
    void corpoEnviado() {
        QFETCH(QString, digitado);
        QFETCH(QString, corpo);
        QCOMPARE(TMonitor::CorpoMensagemEnvio(digitado), corpo);

        TChatAlimentado c;
        QVERIFY(c.Conecta());
        TConversaChat* conv = c.chat()->ConversaCom("bob");
        TMensagemChat* m = c.monitor->EnviaMensagemChat(conv, digitado);
        QVERIFY(m);
        QCOMPARE(c.enviados.size(), 1);
        QCOMPARE(c.enviados[0], u"Action: VChatAction\r\nVChatAction: SendMessage\r\nFrom: "
                                u"ana\r\nTo: bob\r\nLocalId: 0\r\nMessage: " +
                                    corpo.trimmed() + u"\r\n\r\n");
        // What the server reads: the login and this one action, nothing smuggled after it.
        QVERIFY(QTest::qWaitFor(
            [&] { return c.servidor->actions.filter("SendMessage").size() == 1; }, 10000));
        QCOMPARE(c.servidor->actions.last(), c.enviados[0]);
        for (const QString& a : c.servidor->actions)
            QVERIFY(!a.startsWith("Action: Logoff"));
        // Pending until the server accepts it under its own id.
        QVERIFY(m->Id.isEmpty());
        c.Feed(Chat("messagesent", {"From: ana", "Id: 70", "LocalId: 0", "TimeSent: 100"}));
        QCOMPARE(m->Id, QStringLiteral("70"));
        QVERIFY(m->DataEnvio > 0);
        QCOMPARE(c.avisos.last(), QStringLiteral("Sent bob 70"));
        // A second acceptance of the same local id does not rename it.
        c.Feed(Chat("messagesent", {"From: ana", "Id: 71", "LocalId: 0"}));
        QCOMPARE(m->Id, QStringLiteral("70"));
    }

    void acoesRecusadas() {
        TChatAlimentado c;
        TConversaChat* conv = c.chat()->ConversaCom("bob");
        // Not connected: nothing sent, nothing stored.
        QVERIFY(!c.monitor->EnviaMensagemChat(conv, "oi"));
        QCOMPARE(c.chat()->ListaDeMensagens.Count(), 0);
        QVERIFY(c.Conecta());
        QVERIFY(!c.monitor->EnviaMensagemChat(conv, ""));
        QVERIFY(!c.monitor->EnviaMensagemChat(conv, QString(TMonitor::kMaxCorpoChat + 1, 'x')));
        QVERIFY(!c.monitor->PedeHistoricoChat("bob\r\nAction: Logoff", 1));
        TConversaChat* grupo = c.chat()->ConversaCom("x\ny");
        QVERIFY(!c.monitor->EnviaMensagemChat(grupo, "oi"));
        QVERIFY(c.enviados.isEmpty());
        QVERIFY(c.monitor->PedeHistoricoChat("bob,carla", -1));
        QVERIFY(c.monitor->PedeHistoricoChat("bob", 7));
        QCOMPARE(c.enviados,
                 (QStringList{"Action: VChatAction\r\nVChatAction: LastMessages\r\nActionId: "
                              "LastMessagesChat\r\nFromTo: bob,carla\r\nNotRead: 1\r\n\r\n",
                              "Action: VChatAction\r\nVChatAction: LastMessages\r\nActionId: "
                              "LastMessagesChat\r\nFromTo: bob\r\nDays: 7\r\n\r\n"}));
    }

    void marcaLida() {
        TChatAlimentado c;
        QVERIFY(c.Conecta());
        c.Feed(Chat("sendmessage", {"From: bob", "To: ana", "Id: 4", "Message: oi"}));
        TMensagemChat* m = c.chat()->ListaDeMensagens.ProcuraPorId("4");
        QVERIFY(c.monitor->MarcaMensagemLidaChat(m));
        QCOMPARE(c.enviados.last(),
                 QStringLiteral("Action: VChatAction\r\nVChatAction: MessageRead\r\nId: "
                                "4\r\nTo: ana\r\n\r\n"));
        // One of my own messages is not mine to mark.
        c.Feed(Chat("message", {"From: ana", "To: bob", "Id: 5", "Message: oi"}));
        QVERIFY(!c.monitor->MarcaMensagemLidaChat(c.chat()->ListaDeMensagens.ProcuraPorId("5")));
    }

    // External chat lines reach only the open monitor of their channel; new lines wait for
    // the history and are then written in arrival order.
    void chatExterno() {
        TUiConversas ui;
        TMonitor monitor(&ui);
        monitor.Inicia(QString());
        TConversaFalsa tela;
        ui.telas.insert("Conversa1700.5", &tela);
        auto ev = [&](const QString& nome, const QStringList& l) {
            monitor.TrataManagerPacket(monitor.ChatConnection(), Evento(nome, l));
        };
        ev("ChatNewMessage", {"Uniqueid: 1700.5", "MessageId: 3", "Kind: 1", "Name: Cliente",
                              "Message: novo\nlinha"});
        ev("ChatChannelMessage",
           {"Uniqueid: 1700.5", "MessageId: 1", "Kind: x", "Name: ", "Message: <i>antiga</i>"});
        ev("ChatChannelMessage", {"Uniqueid: 9999.1", "MessageId: 2", "Message: de outra"});
        ev("ChatChannelState", {"Uniqueid: 1700.5", "AgentTyping: 1", "UserTyping: 0"});
        tela.fila.Tick();
        QCOMPARE(tela.escritas, QStringList{"1/0//<i>antiga</i>"});
        ev("ChatChannelMessagesComplete", {"ActionId: 9999.1"});
        tela.fila.Tick();
        QCOMPARE(tela.escritas.size(), 1);
        ev("ChatChannelMessagesComplete", {"ActionId: 1700.5"});
        ev("ChatNewMessage", {"Uniqueid: 1700.5", "MessageId: 4", "Kind: 2", "Message: depois"});
        tela.fila.Tick();
        QCOMPARE(tela.escritas,
                 (QStringList{"1/0//<i>antiga</i>", "3/1/Cliente/novo\r\nlinha", "4/2//depois"}));
        QCOMPARE(tela.digitando, QStringLiteral("01"));
        QVERIFY(ui.erros.isEmpty());
    }

    void filaNovasLimitada() {
        QStringList escritas;
        TFilaNovasConversa fila([&](const TLinhaConversa& l) { escritas << l.Message; });
        for (int i = 0; i < TFilaNovasConversa::kMaxLinhas + 3; ++i)
            fila.Adiciona({i, 1, 0, {}, QString::number(i)});
        QCOMPARE(fila.Count(), TFilaNovasConversa::kMaxLinhas);
        QCOMPARE(fila.Descartadas(), 3);
        fila.HistoricoCompleto = true;
        fila.Tick();
        QCOMPARE(escritas.first(), QStringLiteral("3"));
        QCOMPARE(fila.Count(), 0);
    }

    // The chat server's own load: login, agents, status, queue status, then the load ends;
    // every failure ends it too, once, and leaves the manager connection alone.
    void cargaServidorChat_data() {
        QTest::addColumn<QString>("falha");
        QTest::addColumn<QStringList>("acoes");
        QTest::newRow("complete") << ""
                                  << QStringList{"login", "AgentsChat", "StatusChat",
                                                 "QueueStatusChat"};
        QTest::newRow("login refused") << "login" << QStringList{"login"};
        QTest::newRow("status refused")
            << "status" << QStringList{"login", "AgentsChat", "StatusChat", "QueueStatusChat"};
        QTest::newRow("dropped mid-load") << "drop" << QStringList{"login", "AgentsChat"};
    }
    void cargaServidorChat() {
        QFETCH(QString, falha);
        QFETCH(QStringList, acoes);
        TCentral c;
        TFakeServer chat;
        c.monitor->IP = "127.0.0.1";
        c.monitor->PortaChat = chat.Port();
        c.monitor->ChatEnabled = true;
        c.monitor->ConectaChat();
        QTRY_VERIFY_WITH_TIMEOUT(chat.actions.size() == 1, 10000);
        QVERIFY(chat.actions[0].contains("Action: Login"));
        auto ultima = [&] { return chat.ActionIds().value(chat.ActionIds().size() - 1); };
        chat.SendPacket(
            {"Response: " + QString(falha == "login" ? "Error" : "Success"), "ActionID: login"});
        if (falha != "login") {
            QTRY_COMPARE_WITH_TIMEOUT(ultima(), QStringLiteral("AgentsChat"), 10000);
            if (falha == "drop") {
                chat.Drop();
            } else {
                chat.SendPacket({"Event: AgentsComplete", "ActionID: AgentsChat"});
                QTRY_COMPARE_WITH_TIMEOUT(ultima(), QStringLiteral("StatusChat"), 10000);
                if (falha == "status")
                    chat.SendPacket({"Response: Error", "ActionID: StatusChat"});
                else
                    chat.SendPacket({"Event: StatusComplete", "ActionID: StatusChat"});
                QTRY_COMPARE_WITH_TIMEOUT(ultima(), QStringLiteral("QueueStatusChat"), 10000);
                chat.SendPacket({"Event: QueueStatusComplete", "ActionID: QueueStatusChat"});
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(c.ui->loadsFinished, 1, 10000);
        QCOMPARE(chat.ActionIds(), acoes);
        QCOMPARE(c.monitor->ChatEnabled, falha != "login");
        // A late error after the load ended does not end it a second time.
        if (chat.HasPeer()) chat.Drop();
        QTRY_VERIFY_WITH_TIMEOUT(!c.monitor->ChatConnection()->Connected, 10000);
        QCOMPARE(c.ui->loadsFinished, 1);
    }

    void servidorChatAusente() {
        TCentral c;
        quint16 porta = 0;
        {
            QTcpServer fechado;
            QVERIFY(fechado.listen(QHostAddress::LocalHost, 0));
            porta = fechado.serverPort();
        }
        c.monitor->IP = "127.0.0.1";
        c.monitor->PortaChat = porta;
        c.monitor->ChatEnabled = true;
        c.monitor->CallReasonsCounted = true;
        c.monitor->QueueStatusLoaded = true;
        c.monitor->ServerVersion = "1.2.70.0";
        c.monitor->ConectaChat();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui->loadsFinished, 1, 10000);
        QVERIFY(c.LogDesde(0, "Erro ").size() == 1);
        // The chat side is off; what the main connection loaded stands.
        QVERIFY(!c.monitor->ChatEnabled);
        QVERIFY(c.monitor->CallReasonsCounted);
        QVERIFY(c.monitor->QueueStatusLoaded);
        QCOMPARE(c.monitor->ServerVersion, QStringLiteral("1.2.70.0"));
        // Without chat queues the chat server is never called.
        TCentral sem;
        sem.monitor->ConectaChat();
        QCOMPARE(sem.ui->loadsFinished, 1);
        QVERIFY(!sem.monitor->ChatConnection()->Connected);
    }

    // The unread counts end the chat steps of the load once: a repeated or late completion, or
    // a repeated chat login answer, does not end the load again (every window would reopen).
    void conclusaoRepetida_data() {
        QTest::addColumn<QString>("fim");
        QTest::newRow("unread messages completion")
            << Chat("unreadmessagescomplete", {"ActionID: UnreadMessagesUserInChat"});
        QTest::newRow("older servers' unread table") << Completa("ZXDBMensagensNaLidasChat");
    }
    void conclusaoRepetida() {
        QFETCH(QString, fim);
        TChatAlimentado c;
        c.Feed(fim);
        QCOMPARE(c.ui->loadsFinished, 0); // no chat step under way yet
        c.Feed(Evento("QueueStatusComplete", {"ActionID: QueueStatus"}));
        c.Feed(Resposta("UserInChat", "Success"));
        QCOMPARE(c.ui->loadsFinished, 0);
        c.Feed(fim);
        QCOMPARE(c.ui->loadsFinished, 1);
        c.Feed(fim);
        c.Feed(Resposta("UserInChat", "Success"));
        c.Feed(fim);
        QCOMPARE(c.ui->loadsFinished, 1);
    }

    void dumpChat() {
        TChatAlimentado c;
        QCOMPARE(TCentral().monitor->Dump("Chat"), QString());
        c.Feed(Chat("sendmessage", {"From: bob", "To: ana", "Id: 4", "Message: a\nb"}));
        const QString d = c.monitor->Dump("Chat");
        QVERIFY(d.contains("Id: 4\r\nFrom: bob\r\nTo: ana\r\nMsg: a\r\nb\r\n"));
        QVERIFY(d.contains("ConversaId: bob\r\nConversaNome: Bob\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestChatProtocol)
#include "test_chat_protocol.moc"
