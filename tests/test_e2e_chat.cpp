// The chat against the simulator: after the load and while the simulator's chat traffic runs,
// the monitor's chat model holds what the simulator holds for the demo login (unread counts,
// presence, every message addressed to it, its own messages and their receipts), the
// simulator obeys the monitor's chat actions, and external-chat lines reach the conversation
// monitor of their channel in order.
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "sim/TSimChat.h"
#include "sim/TSimChatDesk.h"
#include "sim/TSimState.h"
#include "support/TConversaFalsa.h"
#include "support/TMonitorNoSimulador.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {
const QString kLocal = QStringLiteral("demo");

// Every difference between the simulator's chat and the monitor's model, one per line.
// `primeiroId`: messages to the demo login from this id on reached the monitor as events
// (older ones are known to it only through the unread counts and the history it asks for).
QStringList DiferencasChat(const TPbxServer& server, const TMonitor& monitor, qint64 primeiroId) {
    QStringList d;
    const TChat* chat = monitor.Chat();
    if (!chat) return {QStringLiteral("sem modelo de chat")};
    const QStringList online = server.state()->chatUsersOnline();
    for (int i = 0; i < chat->ListaDeUsuarios.Count(); ++i) {
        const TUsuarioChat* u = chat->ListaDeUsuarios.Item(i);
        if (u->Tipo != u"u") continue;
        if ((u->Status == u"a") != online.contains(u->UsuarioId))
            d << u"presença de " + u->UsuarioId + u": " + u->Status;
    }
    QSet<QString> esperadas;
    for (const auto& [id, m] : server.chat()->messages()) {
        const bool paraMim = m.to == QStringList{kLocal} && m.from != kLocal && id >= primeiroId;
        const TMensagemChat* x = chat->ListaDeMensagens.ProcuraPorId(QString::number(id));
        if (paraMim) esperadas.insert(QString::number(id));
        if (!x) {
            if (paraMim) d << QStringLiteral("mensagem %1 ausente").arg(id);
            continue;
        }
        // History names one recipient per event: the model knows those it was told of.
        bool destinatarios = !x->To.isEmpty();
        for (const QString& t : x->To.split(u','))
            destinatarios = destinatarios && m.to.contains(t);
        if (x->From != m.from || !destinatarios)
            d << QStringLiteral("mensagem %1: %2 -> %3").arg(id).arg(x->From, x->To);
        // A received body comes trimmed like every value on the wire; my own is kept as typed.
        const QString corpo = m.from == kLocal ? m.body : m.body.trimmed();
        if (x->Msg != TMonitor::TrataMensagemRx(corpo))
            d << QStringLiteral("mensagem %1: corpo %2").arg(id).arg(x->Msg);
        // My own messages show the receipts of their readers.
        if (m.from == kLocal) {
            for (const QString& t : m.to)
                if ((m.readAt.value(t) > 0) != (x->DataLeitura > 0))
                    d << QStringLiteral("mensagem %1: leitura de %2").arg(id).arg(t);
        }
    }
    for (int i = 0; i < chat->ListaDeMensagens.Count(); ++i) {
        const TMensagemChat* x = chat->ListaDeMensagens.Item(i);
        if (x->Id.isEmpty())
            d << u"mensagem pendente " + x->LocalId;
        else if (!server.chat()->messages().count(x->Id.toLongLong()))
            d << u"mensagem " + x->Id + u" desconhecida do simulador";
    }
    // Every message to me sits in the conversation with its sender.
    for (const QString& id : esperadas) {
        const TMensagemChat* x = chat->ListaDeMensagens.ProcuraPorId(id);
        const TConversaChat* c = x ? chat->ListaDeConversas.ProcuraPorId(x->From) : nullptr;
        if (x && (!c || !c->Mensagens.Contem(x))) d << u"mensagem " + id + u" fora da conversa";
    }
    return d;
}
// Every difference between the chat server's agents and chats and what the monitor learnt of
// them over the chat-server connection, one per line.
QStringList DiferencasFilaChat(const TPbxServer& server, const TMonitor& monitor) {
    QStringList d;
    const TSimChatDesk& desk = server.chat()->desk();
    const auto& chats = server.chat()->channels();
    const TFila* fila = monitor.Filas.Procura(desk.chatQueue());
    if (!fila) return {u"sem a fila de chat " + desk.chatQueue()};
    for (const TSimChatAgent& a : desk.agents()) {
        const TAgente* x = monitor.Agentes.Procura(a.interface());
        if (!x) {
            d << a.id + u" ausente";
            continue;
        }
        const int status = !a.loggedIn ? 5 : a.chats.isEmpty() ? 1 : 3;
        if (x->Slot(1).FStatusInt != status)
            d << QStringLiteral("%1: estado %2, esperado %3")
                     .arg(a.id)
                     .arg(x->Slot(1).FStatusInt)
                     .arg(status);
        if (a.loggedIn && x->Slot(1).FStrLoggedChannel != a.ip)
            d << a.id + u": login em " + x->Slot(1).FStrLoggedChannel;
        if (!fila->HasMember(a.interface())) d << a.id + u" fora da fila";
        QStringList deles, nossos;
        for (const QString& uid : a.chats)
            deles << (chats.count(uid) ? chats.at(uid).channel : uid);
        for (int i = 0; i < x->CallCount(); ++i)
            nossos << x->GetCall(i)->Channel();
        if (deles != nossos)
            d << a.id + u": conversas " + nossos.join(u',') + u" / " + deles.join(u',');
    }
    if (fila->WaitingCount() != desk.waiting().size())
        d << QStringLiteral("em espera %1 / %2")
                 .arg(fila->WaitingCount())
                 .arg(desk.waiting().size());
    QStringList naFila, noServidor;
    for (const TChannel* c : fila->QueueCalls())
        naFila << c->UniqueId();
    for (const auto& [uid, c] : chats)
        noServidor << uid;
    naFila.sort();
    if (naFila != noServidor)
        d << u"chats da fila " + naFila.join(u',') + u" / " + noServidor.join(u',');
    return d;
}

} // namespace

class TestE2eChat : public QObject {
    Q_OBJECT

    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TUiConversas> ui;
    std::unique_ptr<TMonitor> monitor;

    // `passos`: happenings of the chat traffic before the monitor connects.
    bool Inicia(quint32 seed, int passos = 0) {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.seed = seed;
        QString error;
        if (!server->start(options, &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        for (int i = 0; i < passos; ++i)
            server->chat()->step();
        ui = std::make_unique<TUiConversas>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ApontaParaSimulador(*monitor, *server);
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->Conectar();
        return loaded.wait(20000);
    }

    bool Coincide(qint64 primeiroId) {
        QStringList d;
        const bool ok = QTest::qWaitFor(
            [&] {
                d = DiferencasChat(*server, *monitor, primeiroId);
                return d.isEmpty();
            },
            10000);
        if (!ok) qWarning("%s", qPrintable(d.join('\n')));
        return ok;
    }

    qint64 ProximoId() const {
        const auto& m = server->chat()->messages();
        return m.empty() ? 1 : m.rbegin()->first + 1;
    }

private Q_SLOTS:
    void cleanup() {
        monitor.reset();
        ui.reset();
        server.reset();
    }

    void segueOSimulador_data() {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 7") << 7u;
        QTest::newRow("seed 42") << 42u;
    }
    void segueOSimulador() {
        QFETCH(quint32, seed);
        QVERIFY(Inicia(seed));
        TChat* chat = monitor->Chat();
        QVERIFY(chat);
        QVERIFY(monitor->ChatConnection()->Connected);

        // The unread counts of the load are the simulator's.
        std::map<QString, int> naoLidas;
        for (const auto& [id, m] : server->chat()->messages())
            if (m.to.contains(kLocal) && m.readAt.value(kLocal) == 0) ++naoLidas[m.from];
        QVERIFY(!naoLidas.empty());
        for (const auto& [de, n] : naoLidas) {
            const TConversaChat* c = chat->ListaDeConversas.ProcuraPorId(de);
            QVERIFY2(c, qPrintable(de));
            QCOMPARE(c->NaoLidas, n);
        }

        const qint64 primeiro = ProximoId();
        TConversaChat* ana = chat->ConversaCom("ana.souza");
        const TMensagemChat* minha =
            monitor->EnviaMensagemChat(ana, "Olá, Ana!\nSegunda linha: ação");
        QVERIFY(minha);
        QVERIFY(monitor->EnviaMensagemChat(ana, "oi\r\n\r\nAction: Logoff\r\n"));
        for (int i = 0; i < 80; ++i)
            server->chat()->step();
        QVERIFY(Coincide(primeiro));
        // The line break typed went out and came back as a line break.
        QCOMPARE(minha->Msg, QStringLiteral("Olá, Ana!\r\nSegunda linha: ação"));
        QVERIFY(monitor->ManagerConnection()->Connected);
        for (const QString& a : server->receivedActions())
            QVERIFY(!a.startsWith("Action: Logoff"));

        // History: every message between us in the last week. (My two messages keep the place
        // they took while pending, so the conversation is compared as a set.)
        bool completo = false;
        auto assinatura = monitor->Avisos().HistoricoChat.Assina([&] { completo = true; });
        QVERIFY(monitor->PedeHistoricoChat("ana.souza", 7));
        QTRY_VERIFY_WITH_TIMEOUT(completo, 10000);
        QStringList esperado;
        for (const auto& [id, m] : server->chat()->messages())
            if ((m.from == kLocal && m.to.contains("ana.souza")) ||
                (m.from == "ana.souza" && m.to.contains(kLocal)))
                esperado << QString::number(id);
        QStringList nossos;
        for (int i = 0; i < ana->Mensagens.Count(); ++i)
            nossos << ana->Mensagens.Item(i)->Id;
        std::sort(nossos.begin(), nossos.end(), [](const QString& a, const QString& b) {
            return a.toLongLong() < b.toLongLong();
        });
        QCOMPARE(nossos, esperado);
        QVERIFY(Coincide(primeiro));

        // Reading a message tells the simulator.
        const TMensagemChat* recebida = nullptr;
        for (int i = 0; i < chat->ListaDeMensagens.Count() && !recebida; ++i)
            if (chat->ListaDeMensagens.Item(i)->To == kLocal &&
                chat->ListaDeMensagens.Item(i)->DataLeitura == 0)
                recebida = chat->ListaDeMensagens.Item(i);
        QVERIFY(recebida);
        const qint64 id = recebida->Id.toLongLong();
        QVERIFY(monitor->MarcaMensagemLidaChat(recebida));
        QTRY_VERIFY_WITH_TIMEOUT(server->chat()->messages().at(id).readAt.value(kLocal) > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(recebida->DataLeitura > 0, 10000);
        QVERIFY(ui->erros.isEmpty());
    }

    // The chat queue's agents and chats come over the chat-server connection: the load lists
    // those of the moment (the monitor connects in the middle of the traffic), then the events
    // keep them: every agent's chats, its state, and the chats still waiting.
    void filaDeChatSegueOSimulador_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("antes");
        QTest::newRow("seed 2, início calmo") << 2u << 0;
        QTest::newRow("seed 5, em meio ao tráfego") << 5u << 120;
        QTest::newRow("seed 11, em meio ao tráfego") << 11u << 300;
    }
    void filaDeChatSegueOSimulador() {
        QFETCH(quint32, seed);
        QFETCH(int, antes);
        QVERIFY(Inicia(seed, antes));
        QVERIFY(!server->chat()->desk().agents().isEmpty());
        auto coincide = [&] {
            QStringList d;
            const bool ok = QTest::qWaitFor(
                [&] {
                    d = DiferencasFilaChat(*server, *monitor);
                    return d.isEmpty();
                },
                10000);
            if (!ok) qWarning("%s", qPrintable(d.join('\n')));
            return ok;
        };
        QVERIFY(coincide());
        bool ocupado = false, esperando = false;
        for (int rodada = 0; rodada < 6; ++rodada) {
            for (int i = 0; i < 40; ++i) {
                server->chat()->step();
                for (const TSimChatAgent& a : server->chat()->desk().agents())
                    ocupado = ocupado || a.chats.size() > 1;
                esperando = esperando || !server->chat()->desk().waiting().isEmpty();
            }
            QVERIFY(coincide());
        }
        // The traffic gave some agent several chats at once, and kept some chat waiting.
        QVERIFY(ocupado);
        QVERIFY(esperando);
        QVERIFY(monitor->ManagerConnection()->Connected);
    }

    // A conversation monitor gets its channel's history, then the new lines after it.
    void conversaExterna() {
        QVERIFY(Inicia(3));
        TSimChat* sim = server->chat();
        while (sim->channels().empty())
            sim->step();
        const TSimChatChannel canal = sim->channels().begin()->second;
        TConversaFalsa tela;
        ui->telas.insert("Conversa" + canal.uniqueId, &tela);
        QVERIFY(monitor->PedeMensagensCanalChat(canal.channel, canal.uniqueId));
        QTRY_VERIFY_WITH_TIMEOUT(tela.fila.HistoricoCompleto, 10000);
        QCOMPARE(tela.escritas.size(), qsizetype(canal.lines.size()));
        for (int i = 0; i < 60; ++i)
            sim->step();
        const auto it = sim->channels().find(canal.uniqueId);
        // Still open: every line it has is written once, in order; closed: the closing line
        // came last.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                tela.fila.Tick();
                if (it == sim->channels().end()) return tela.escritas.last().contains("/6/");
                return tela.escritas.size() == qsizetype(it->second.lines.size());
            }(),
            10000);
        qint64 anterior = 0;
        for (const QString& e : tela.escritas) {
            const qint64 n = e.section('/', 0, 0).toLongLong();
            QVERIFY(n > anterior);
            anterior = n;
        }
    }
};

QTEST_GUILESS_MAIN(TestE2eChat)
#include "test_e2e_chat.moc"
