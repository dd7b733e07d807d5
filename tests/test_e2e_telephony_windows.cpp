// The extensions and trunks windows of the desktop program against the simulator: "Exibir"
// per user, rows and strips agreeing with the simulator under traffic, and the windows
// reopened after the connection is lost and made again.
#include "app/TfrmMain.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "sim/TSimState.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TPanelTronco.h"
#include "ui/windows/TfrmRamais.h"
#include "ui/windows/TfrmTroncos.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// The state text the extensions window should show for a simulator telephone.
QString EstadoEsperado(const TSimState& sim, const TSimExtension& e) {
    if (!e.registered) return QStringLiteral("Indisponível");
    return sim.deviceInUse(e.device()) ? QStringLiteral("Ocupado") : QStringLiteral("Livre");
}

// One line per difference between the simulator's telephones and the window's rows.
QStringList DiferencasRamais(const TSimState& sim, TfrmRamais& w) {
    QHash<QString, int> linhas;
    for (int r = 0; r < w.Modelo()->Linhas(); ++r)
        linhas.insert(w.RamalDaLinha(r)->RamalId, r);
    QStringList d;
    int vistas = 0;
    for (const TSimExtension& e : sim.extensions()) {
        const auto it = linhas.constFind(e.id);
        if (it == linhas.cend()) continue;
        ++vistas;
        const QString nosso = w.Modelo()->Texto(*it, 2);
        const QString esperado = EstadoEsperado(sim, e);
        if (nosso != esperado) d << "ramal " + e.id + ": " + nosso + " em vez de " + esperado;
    }
    if (vistas != linhas.size()) d << "linhas sem ramal do simulador";
    return d;
}

// One line per difference between the simulator's trunk lines and the strips: a line is busy
// exactly while the simulator has a channel on it, an outgoing call reads "S" or "D" and an
// incoming one "E", and an alarmed port shows its alarm.
QStringList DiferencasTroncos(const TSimState& sim, TfrmTroncos& w) {
    QStringList d;
    for (TPanelTronco* p : w.Paineis()) {
        for (const TCanalTronco* c : p->Canais()) {
            const TTronco* t = c->Tronco;
            if (t->Sip()) continue;
            const QStringList uids = sim.channelsOn(c->Dispositivo());
            const TSimChannel* s = uids.isEmpty() ? nullptr : sim.channel(uids.first());
            const QString onde = t->Nome + " " + c->Dispositivo();
            if (bool(s) != bool(c->Ligacao())) {
                d << onde + (s ? " livre na faixa" : " ocupado na faixa");
                continue;
            }
            if (s && !(s->outgoing ? QStringList{"S", "D"} : QStringList{"E"})
                          .contains(TFaixaTronco::TextoCanal(*c)))
                d << onde + " direção " + TFaixaTronco::TextoCanal(*c);
            const TSimPort* porta = t->Porta ? sim.port(t->Porta->PortaId) : nullptr;
            // The signalling line of a DAHDI span carries no alarm of its own.
            if (porta && !porta->alarm.isEmpty() && porta->isVoiceLine(t->Canais.IndiceDe(c)) &&
                (c->Status != u"Failure" || c->StatusDetalhe != porta->alarm))
                d << onde + " sem o alarme " + porta->alarm;
        }
        if (p->Tronco() && p->Tronco()->Sip()) {
            int ocupadas = 0;
            for (const TSimChannel& s : sim.channels())
                if (s.name.startsWith(p->Tronco()->Dispositivo + u'-')) ++ocupadas;
            if (ocupadas != p->Ocupados())
                d << QString("SIP %1 ocupadas em vez de %2").arg(p->Ocupados()).arg(ocupadas);
        }
    }
    return d;
}

QStringList Textos(const QList<QAction*>& acoes) {
    QStringList t;
    for (QAction* a : acoes)
        t << a->text();
    return t;
}

} // namespace

class TestE2eTelephonyWindows : public QObject {
    Q_OBJECT

    static void Perfil(const QString& pasta, quint16 porta, const QString& user) {
        TIniFile(pasta + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(pasta + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", porta);
        profile.WriteString("Conexao", "Usuario", user);
        profile.WriteString("Conexao", "Senha", user);
        profile.WriteBool("Conexao", "SalvarSenha", true);
    }

    // One program loaded from a quiet simulator as "demo", kept for the cases that only open
    // windows.
    std::unique_ptr<TPbxServer> m_servidor;
    std::unique_ptr<QTemporaryDir> m_pasta;
    std::unique_ptr<TfrmMain> m_main;
    TfrmMain* Principal() {
        if (m_main) return m_main.get();
        m_servidor = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        if (!m_servidor->start(options)) return nullptr;
        m_pasta = std::make_unique<QTemporaryDir>();
        Perfil(m_pasta->path(), m_servidor->managerPort(), "demo");
        m_main = std::make_unique<TfrmMain>(m_pasta->path() + u'/');
        m_main->Monitor()->PortaChat = m_servidor->chatPort();
        QSignalSpy loaded(m_main->Monitor(), &TMonitor::LoadFinished);
        m_main->show();
        if (!loaded.wait(20000)) m_main.reset();
        return m_main.get();
    }

private Q_SLOTS:
    void cleanupTestCase() {
        if (m_main) m_main->close();
        m_main.reset();
        m_servidor.reset();
    }

    // Saved window names reopen only what still fits the trunk list (demo: VoipBrasil at 0,
    // E1 Embratel at 1, the two cellular trunks at 2 and 3, E1 Oi at 4).
    void reopenEntries_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("aberta");
        QTest::newRow("all trunks") << "Troncos"
                                    << "Troncos";
        QTest::newRow("cellular") << "Troncosc"
                                  << "Troncosc";
        QTest::newRow("analogue, none in the list") << "Troncosa"
                                                    << "Troncosa";
        QTest::newRow("digital at its position") << "Troncosd4"
                                                 << "Troncosd4";
        QTest::newRow("SIP at its position") << "Troncoss0"
                                             << "Troncoss0";
        QTest::newRow("digital where a SIP trunk is") << "Troncosd0"
                                                      << "";
        QTest::newRow("past the end") << "Troncosd99"
                                      << "";
        QTest::newRow("not a number") << "Troncosdx"
                                      << "";
        QTest::newRow("negative") << "Troncosd-1"
                                  << "";
        QTest::newRow("case differs") << "troncos"
                                      << "";
    }
    void reopenEntries() {
        QFETCH(QString, entrada);
        QFETCH(QString, aberta);
        TfrmMain* main = Principal();
        QVERIFY(main);
        main->CloseAllWindows();
        main->CriaTelas({entrada});
        QStringList abertas;
        for (const char* nome : {"Troncos", "Troncosc", "Troncosa", "Troncosd0", "Troncosd4",
                                 "Troncoss0", "Troncosd99", "Troncosd-1"})
            if (main->ProcuraTelaTronco(nome)) abertas << nome;
        QCOMPARE(abertas, aberta.isEmpty() ? QStringList() : QStringList{aberta});
    }

    // A minimised window comes back from its "Exibir" entry; a CSTA server offers neither
    // extensions nor trunks.
    void minimisedWindowAndCstaMode() {
        TfrmMain* main = Principal();
        QVERIFY(main);
        main->CloseAllWindows();
        main->CriaTelas({});
        main->MenuExibir()->actions().first()->trigger();
        TfrmRamais* ramais = main->ProcuraTelaRamais();
        QVERIFY(ramais);
        QWidget* quadro = ramais->parentWidget();
        quadro->showMinimized();
        QVERIFY(quadro->isMinimized());
        main->MenuExibir()->actions().first()->trigger();
        QVERIFY(!quadro->isMinimized());

        main->Monitor()->ModoCSTA = true;
        main->CriaTelas({});
        const QStringList exibir = Textos(main->MenuExibir()->actions());
        main->Monitor()->ModoCSTA = false;
        QVERIFY2(!exibir.contains("Ramais") && !exibir.contains("Troncos"),
                 qPrintable(exibir.join(',')));
        QVERIFY(!exibir.isEmpty());
    }

    // "Exibir" for each demo user: the extensions entry with the rows the user may see, and
    // the trunks submenu (digital entries before SIP ones) opening the windows it names.
    void exibirPerUser_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("troncos");
        QTest::newRow("demo") << "demo" << 30
                              << QStringList{"Todos", "Digital - E1 Embratel", "Digital - E1 Oi",
                                             "SIP - VoipBrasil", "Celulares"};
        QTest::newRow("restrito") << "restrito" << 11
                                  << QStringList{"Todos", "Digital - E1 Embratel",
                                                 "SIP - VoipBrasil"};
        QTest::newRow("gerente") << "gerente" << 30
                                 << QStringList{"Todos", "Digital - E1 Embratel",
                                                "SIP - VoipBrasil"};
    }
    void exibirPerUser() {
        QFETCH(QString, user);
        QFETCH(int, rows);
        QFETCH(QStringList, troncos);
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server.start(options));
        QTemporaryDir pasta;
        Perfil(pasta.path(), server.managerPort(), user);
        TfrmMain main(pasta.path() + u'/');
        main.Monitor()->PortaChat = server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));

        const QList<QAction*> exibir = main.MenuExibir()->actions();
        QCOMPARE(exibir.first()->text(), QStringLiteral("Ramais"));
        exibir.first()->trigger();
        TfrmRamais* w = main.ProcuraTelaRamais();
        QVERIFY(w);
        QCOMPARE(w->Modelo()->Linhas(), rows);
        // A second click brings the same window forward.
        exibir.first()->trigger();
        QCOMPARE(main.ProcuraTelaRamais(), w);

        QAction* sub = nullptr;
        for (QAction* a : exibir)
            if (a->text() == u"Troncos") sub = a;
        QVERIFY(sub && sub->menu());
        QCOMPARE(Textos(sub->menu()->actions()), troncos);
        for (QAction* a : sub->menu()->actions())
            a->trigger();
        TfrmTroncos* todos = main.ProcuraTelaTronco("Troncos");
        QVERIFY(todos);
        QCOMPARE(int(todos->Paineis().size()), troncos.size() - 1);
        const int e1 =
            main.Monitor()->Troncos.IndiceDe(main.Monitor()->Troncos.Procura("E1 Embratel"));
        TfrmTroncos* unico = main.ProcuraTelaTronco("Troncosd" + QString::number(e1));
        QVERIFY(unico);
        QVERIFY(unico->Paineis().front()->Expandido());
        QCOMPARE(unico->Paineis().front()->Detalhe()->topLevelItemCount(), 30);
        main.close();
    }

    // Under the simulator's traffic the rows and strips agree with the simulator's own state
    // at some moment, again and again as calls come and go.
    void rowsAndStripsFollowTheTraffic() {
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.traffic = true;
        options.warmUpSeconds = 1800;
        options.speed = 20;
        QVERIFY(server.start(options));
        QTemporaryDir pasta;
        Perfil(pasta.path(), server.managerPort(), "demo");
        TfrmMain main(pasta.path() + u'/');
        main.Monitor()->PortaChat = server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        TfrmRamais* ramais = main.CriaTelaRamais();
        TfrmTroncos* troncos = main.CriaTelaTroncos(QString(), nullptr);
        QVERIFY(ramais && troncos);
        const TSimState& sim = *server.state();
        int ocupadosVistos = 0;
        for (int vez = 0; vez < 5; ++vez) {
            QStringList d;
            const bool ok = QTest::qWaitFor(
                [&] {
                    d = DiferencasRamais(sim, *ramais) + DiferencasTroncos(sim, *troncos);
                    return d.isEmpty();
                },
                10000);
            QVERIFY2(ok, qPrintable(d.join('\n')));
            for (int r = 0; r < ramais->Modelo()->Linhas(); ++r)
                if (ramais->Modelo()->Texto(r, 2) == u"Ocupado") ++ocupadosVistos;
            // On to the next call the simulator places.
            const quint64 ultimo = sim.channelMap().empty() ? 0 : sim.channelMap().rbegin()->first;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return !sim.channelMap().empty() && sim.channelMap().rbegin()->first != ultimo;
                },
                10000));
        }
        // The traffic did reach the window: a comparison of idle rows only would prove little.
        QVERIFY(ocupadosVistos > 0);
        main.close();
    }

    // Windows open at disconnection reopen after the next load, in menu order, the
    // single-trunk window for the trunk at the same position.
    void reopenAfterReconnection() {
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server.start(options));
        const quint16 port = server.managerPort();
        QTemporaryDir pasta;
        Perfil(pasta.path(), port, "demo");
        TfrmMain main(pasta.path() + u'/');
        main.Monitor()->PortaChat = server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        TListaTroncos& lista = main.Monitor()->Troncos;
        const int oi = lista.IndiceDe(lista.Procura("E1 Oi"));
        main.CriaTelaRamais()->SetModoVisualizacao(1);
        QVERIFY(main.CriaTelaTroncos("d", lista.Item(oi)));
        QVERIFY(main.CriaTelaTroncos("c", nullptr));

        server.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!main.ProcuraTelaRamais(), 10000);
        const QStringList salvas = TIniFile(pasta.path() + "/MonitorVesmaraSim.ini")
                                       .ReadString("Preferencias", "TelasAbrir")
                                       .split(u',');
        for (const QString& nome :
             QStringList{"Ramais", "Troncosd" + QString::number(oi), "Troncosc"})
            QVERIFY2(salvas.contains(nome), qPrintable(salvas.join(',')));

        TPbxServer again;
        options.port = port;
        QVERIFY(again.start(options));
        main.Monitor()->PortaChat = again.chatPort();
        main.Monitor()->ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(20000));
        TfrmRamais* ramais = main.ProcuraTelaRamais();
        QVERIFY(ramais);
        QCOMPARE(ramais->ModoVisualizacao(), 1);
        QCOMPARE(ramais->Modelo()->Linhas(), 30);
        TfrmTroncos* e1 = main.ProcuraTelaTronco("Troncosd" + QString::number(oi));
        QVERIFY(e1);
        QCOMPARE(e1->TroncoUnico(), lista.Item(oi));
        QCOMPARE(e1->Paineis().front()->Canais().size(), size_t(31));
        TfrmTroncos* celulares = main.ProcuraTelaTronco("Troncosc");
        QVERIFY(celulares);
        QCOMPARE(celulares->Paineis().front()->Canais().size(), size_t(2));
        main.close();
    }
};

QTEST_MAIN(TestE2eTelephonyWindows)
#include "test_e2e_telephony_windows.moc"
