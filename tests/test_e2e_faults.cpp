// The monitor against a simulator that misbehaves: the connection dropped at several points of
// the load, bytes arriving one at a time, malformed packets mixed in, a packet that never ends.
// Nothing crashes, nothing of an earlier connection is kept, and the model after a reconnection
// is the model of a fresh load.
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "support/TFakeServer.h"
#include "support/TMonitorNoSimulador.h"
#include "support/TRecordingUi.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// What a load leaves in the model, in numbers that must not depend on the way it arrived.
struct TContagem {
    int portas = 0, ramais = 0, troncos = 0, motivos = 0, agentes = 0, filas = 0, membros = 0,
        usuarios = 0, canais = 0;
    bool operator==(const TContagem&) const = default;
};

TContagem Conta(const TMonitor& m) {
    TContagem c;
    c.portas = m.Portas.Count();
    c.ramais = m.Ramais.Count();
    c.troncos = m.Troncos.Count();
    c.motivos = m.MotivosPausa.Count();
    c.agentes = m.Agentes.Count();
    c.filas = m.Filas.Count();
    m.Filas.ParaCada([&](const TFila* f) { c.membros += int(f->Members.Count()); });
    c.usuarios = m.UsuariosVesmara.Count();
    c.canais = m.Canais.Count();
    return c;
}

char* toString(const TContagem& c) {
    return QTest::toString(QString::asprintf("portas %d ramais %d troncos %d motivos %d agentes %d "
                                             "filas %d membros %d usuarios %d canais %d",
                                             c.portas, c.ramais, c.troncos, c.motivos, c.agentes,
                                             c.filas, c.membros, c.usuarios, c.canais));
}

struct TCliente {
    TRecordingUi ui;
    TMonitor monitor{&ui};
    explicit TCliente(const TPbxServer& s) {
        ui.Assina(monitor.Avisos());
        ApontaParaSimulador(monitor, s);
    }
};

// `porta`, `portaChat`: the ports of a server that went away, for the one that comes back.
std::unique_ptr<TPbxServer> Servidor(TSimOptions o, quint16 porta = 0, quint16 portaChat = 0) {
    auto s = std::make_unique<TPbxServer>();
    o.port = porta;
    o.chatPort = portaChat;
    if (!s->start(o)) return nullptr;
    return s;
}

} // namespace

class TestE2eFaults : public QObject {
    Q_OBJECT
    TContagem fresca;

private Q_SLOTS:
    void initTestCase() {
        auto s = Servidor({});
        QVERIFY(s);
        TCliente c(*s);
        QSignalSpy carregou(&c.monitor, &TMonitor::LoadFinished);
        c.monitor.Conectar();
        QVERIFY(carregou.wait(20000));
        fresca = Conta(c.monitor);
        QVERIFY(fresca.agentes > 0 && fresca.membros > 0 && fresca.ramais > 0);
    }

    void droppedDuringTheLoad_data() {
        QTest::addColumn<int>("pacotes");
        // The demo load is about 200 packets: early in the login, in the tables, in the listings.
        for (int n : {1, 3, 8, 40, 120, 190})
            QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void droppedDuringTheLoad() {
        QFETCH(int, pacotes);
        TSimOptions falha;
        falha.dropAfter = pacotes;
        auto s = Servidor(falha);
        QVERIFY(s);
        const quint16 porta = s->managerPort();
        const quint16 portaChat = s->chatPort();
        TCliente c(*s);
        QSignalSpy carregou(&c.monitor, &TMonitor::LoadFinished);
        c.monitor.Conectar();
        QTRY_VERIFY_WITH_TIMEOUT(c.monitor.Reconnecting(), 20000);
        // Nothing of the dropped connection stays in the model.
        QCOMPARE(Conta(c.monitor).agentes, 0);
        QCOMPARE(Conta(c.monitor).canais, 0);
        QCOMPARE(Conta(c.monitor).ramais, 0);
        QCOMPARE(c.monitor.StatusText, QStringLiteral("Desconectado do Vesmara"));
        QTRY_COMPARE(c.ui.connectionDialogs, QList<int>{20});

        // The countdown ends against a server that behaves.
        s.reset();
        auto bom = Servidor({}, porta, portaChat);
        QVERIFY(bom);
        c.monitor.ConectarPeloDialogo(QString(), "127.0.0.1", QString::number(porta));
        QVERIFY(carregou.wait(20000));
        QCOMPARE(Conta(c.monitor), fresca);
        QVERIFY(!c.monitor.Reconnecting());
    }

    void oneByteAtATime() {
        TSimOptions lento;
        lento.chunk = 1;
        auto s = Servidor(lento);
        QVERIFY(s);
        TCliente c(*s);
        QSignalSpy carregou(&c.monitor, &TMonitor::LoadFinished);
        c.monitor.Conectar();
        QVERIFY(carregou.wait(60000));
        QCOMPARE(Conta(c.monitor), fresca);
    }

    void malformedPacketsMixedIn() {
        TSimOptions lixo;
        lixo.garbage = true;
        lixo.traffic = true;
        lixo.speed = 20;
        auto s = Servidor(lixo);
        QVERIFY(s);
        TCliente c(*s);
        QSignalSpy carregou(&c.monitor, &TMonitor::LoadFinished);
        c.monitor.Conectar();
        QVERIFY(carregou.wait(30000));
        // Some traffic with garbage in it, then a clean close.
        QTest::qWait(1500);
        QVERIFY(c.ui.erros.isEmpty());
        QCOMPARE(Conta(c.monitor).agentes, fresca.agentes);
        c.monitor.Fecha();
        QCOMPARE(Conta(c.monitor).canais, 0);
    }

    void stalledServerThenReconnection() {
        TSimOptions parado;
        parado.stallAfter = 25;
        auto s = Servidor(parado);
        QVERIFY(s);
        const quint16 porta = s->managerPort();
        const quint16 portaChat = s->chatPort();
        TCliente c(*s);
        c.monitor.Conectar();
        QTest::qWait(1000);
        QVERIFY(!c.monitor.Carregado());
        QVERIFY(c.monitor.ManagerConnection()->PendingBytes() < 4096);
        s.reset(); // the server goes away for good
        QTRY_VERIFY_WITH_TIMEOUT(c.monitor.Reconnecting(), 10000);
        auto bom = Servidor({}, porta, portaChat);
        QVERIFY(bom);
        QSignalSpy carregou(&c.monitor, &TMonitor::LoadFinished);
        c.monitor.ConectarPeloDialogo(QString(), "127.0.0.1", QString::number(porta));
        QVERIFY(carregou.wait(20000));
        QCOMPARE(Conta(c.monitor), fresca);
    }

    void packetThatNeverEnds() {
        TFakeServer peer;
        TRecordingUi ui;
        TMonitor m(&ui);
        ui.Assina(m.Avisos());
        m.Inicia(QString());
        m.IP = "127.0.0.1";
        m.Porta = peer.Port();
        m.Usuario = "demo";
        m.Conectar();
        QTRY_VERIFY(peer.HasPeer());
        const QByteArray pedaco(256 * 1024, 'x');
        peer.Send("Vesmara Call Manager/1.1\r\nResponse: Error\r\nActionID: login\r\n\r\nEvent: "
                  "Huge\r\nValue: ");
        for (int i = 0; i < 16; ++i) {
            peer.Send(pedaco);
            QTest::qWait(20);
            QVERIFY(m.ManagerConnection()->PendingBytes() <= TClientManager::kMaxPacketBytes);
        }
        peer.Send("\r\n\r\nEvent: Titulo\r\nCSTA: 1\r\n\r\n");
        QTRY_VERIFY(m.ModoCSTA);
        QCOMPARE(ui.status.last(), QStringLiteral("Erro de login no Vesmara"));
    }
};

QTEST_GUILESS_MAIN(TestE2eFaults)
#include "test_e2e_faults.moc"
