// Ports and trunks: numbering of the PBX lines, trunk rows and their lines, board outputs,
// alarms and signal levels, SIP trunk states and call slots, and the direction and other party
// of the call on a line.
#include "base/Clock.h"
#include "model/telephony/TSaidasComando.h"
#include "model/telephony/TTipoCanal.h"
#include "support/TPacotes.h"

#include <QTest>

namespace {

// A port row: id, board, brand, type, trunk class, line count.
QString Porta(int id, int placa, const QString& marca, const QString& tipo, const QString& classe,
              int qtde = 1, const QString& nome = {}) {
    return Linha("ZXDBListaPortas",
                 {"PortaId: " + QString::number(id), "Placa: " + QString::number(placa), "Canal: 0",
                  "Marca: " + marca, "Tipo: " + tipo, "TipoTronco: " + classe,
                  "QtdeCanais: " + QString::number(qtde),
                  "Nome: " + (nome.isEmpty() ? "Porta " + QString::number(id) : nome)});
}

QString Tronco(const QString& nome, const QString& tipo, int troncoId, int idTronco) {
    return Linha("ZXDBListaTroncos", {"Nome: " + nome, "TroncoId: " + QString::number(troncoId),
                                      "IdTronco: " + QString::number(idTronco), "Tipo: " + tipo,
                                      "Operadora: Op", "IdDeChamada: 1133", "Host: ", "Usuario: "});
}

// A trunk list with one hardware line, DAHDI/1.
TCanalTronco* UmaLinha(TListaTroncos& lista) {
    TTronco* t = lista.Adiciona(std::make_unique<TTronco>("T"));
    t->Tipo = "f";
    return t->Canais.Adiciona(std::make_unique<TCanalTronco>("DAHDI/1"));
}

} // namespace

class TestModelTrunks : public QObject {
    Q_OBJECT

    std::unique_ptr<TMonitorAlimentado> m;
    TMonitor* monitor = nullptr;

    void Feed(const QString& p) { m->Feed(p); }
    TTronco* T(const QString& nome) { return monitor->Troncos.Procura(nome); }
    TCanalTronco* L(const QString& nome, int i) { return T(nome)->Canais.Item(i); }

    // The demo's hardware: a Khomp E1 on board 0, two cellular chips on board 1, a DAHDI E1;
    // extensions 2001 and 2002; the trunks on them and a SIP trunk.
    void CarregaCentral() {
        Feed(Porta(1, 0, "k", "t", "d", 30, "Khomp E1"));
        Feed(Porta(2, 1, "k", "t", "c"));
        Feed(Porta(3, 1, "k", "t", "c"));
        Feed(Porta(4, 2, "z", "t", "d", 31));
        Feed(Completa("ZXDBListaPortas"));
        for (const char* r : {"2001", "2002"})
            Feed(Linha("ZXDBListaRamais",
                       {"RamalId: " + QString(r), "Nome: PA " + QString(r), "Tipo: s"}));
        Feed(Tronco("E1 Embratel", "f", 1, 1));
        Feed(Tronco("Celular Vivo", "f", 2, 2));
        Feed(Tronco("Celular Claro", "f", 3, 3));
        Feed(Tronco("E1 Oi", "f", 4, 4));
        Feed(Tronco("VoipBrasil", "s", 0, 5));
    }
    // A call from channel `a` to channel `b`: both created, a dials b.
    void Chamada(const QString& a, const QString& ua, const QStringList& extraA, const QString& b,
                 const QString& ub, const QStringList& extraB) {
        m->NovoCanal(a, ua, extraA);
        m->NovoCanal(b, ub, extraB);
        Feed(Evento("Dial", {"SubEvent: Begin", "Channel: " + a, "Uniqueid: " + ua,
                             "Destination: " + b, "DestUniqueID: " + ub}));
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TMonitorAlimentado>();
        monitor = m->monitor.get();
    }
    void cleanup() { m.reset(); }

    void numbering_data() {
        QTest::addColumn<QStringList>("rows"); // "placa marca tipo classe"
        QTest::addColumn<QStringList>(
            "expected"); // "IndicePlaca PrimeiroCanal NumCanais IndiceDigital"
        QTest::newRow("two Khomp boards, one E1 each")
            << QStringList{"0 k t d", "1 k t d"} << QStringList{"0 0 30 0", "1 0 30 0"};
        QTest::newRow("DAHDI E1 then analogue")
            << QStringList{"0 z t d", "1 z t a"} << QStringList{"-1 1 31 0", "-1 32 1 -1"};
        QTest::newRow("Khomp E1 then two analogue on the same board")
            << QStringList{"0 k t d", "0 k t a", "0 k r a"}
            << QStringList{"0 0 30 0", "0 30 1 -1", "0 31 1 -1"};
        QTest::newRow("brands numbered apart, other brands untouched")
            << QStringList{"0 k t c", "0 z t d", "1 k t d", "1 z t d", "1 x t d"}
            << QStringList{"0 0 1 -1", "-1 1 31 0", "1 0 30 0", "-1 32 31 1", "-1 -1 -1 -1"};
    }
    void numbering() {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        int id = 1;
        for (const QString& r : rows) {
            const QStringList f = r.split(' ');
            Feed(Porta(id++, f[0].toInt(), f[1], f[2], f[3]));
        }
        Feed(Completa("ZXDBListaPortas"));
        QCOMPARE(monitor->Portas.Count(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const TPorta* p = monitor->Portas.Item(i);
            QCOMPARE(QString("%1 %2 %3 %4")
                         .arg(p->IndicePlaca)
                         .arg(p->PrimeiroCanal)
                         .arg(p->NumCanais)
                         .arg(p->IndiceDigital),
                     expected[i]);
        }
    }

    void portRowsWithBadNumbers() {
        const qsizetype mark = m->ui->log.size();
        Feed(Linha("ZXDBListaPortas", {"Placa: 0", "Marca: k"}));                  // no id
        Feed(Linha("ZXDBListaPortas", {"PortaId: -2", "Placa: 0", "Marca: k"}));   // negative
        Feed(Linha("ZXDBListaPortas", {"PortaId: x1", "Placa: 0", "Marca: k"}));   // not a number
        Feed(Linha("ZXDBListaPortas", {"PortaId: 5", "Placa: zero", "Marca: k"})); // unknown board
        Feed(Linha("ZXDBListaPortas", {"PortaId: 6", "Placa: 1", "Marca: k", "QtdeCanais: "}));
        QCOMPARE(monitor->Portas.Count(), 2);
        QCOMPARE(monitor->Portas.Item(0)->PortaId, 5);
        QCOMPARE(monitor->Portas.Item(0)->Placa, -1);
        QCOMPARE(monitor->Portas.Item(1)->PortaId, 6);
        QCOMPARE(monitor->Portas.Item(1)->Canal, -1);
        QCOMPARE(monitor->Portas.Item(1)->QtdeCanais, 0);
        QCOMPARE(monitor->Portas.Procura(6), monitor->Portas.Item(1));
        QCOMPARE(m->LogDesde(mark), (QStringList{"Porta ignorado: PortaId inválido (x1)"}));
        QVERIFY(m->ui->erros.isEmpty());
    }

    // Trunks take their lines from their port: an E1 on a Khomp board, cellular chips sharing a
    // board, a DAHDI E1 with its signalling line; a SIP trunk has one slot. A hardware trunk
    // without its port has no lines; a row with a malformed id is skipped.
    void trunkRowsAndLines() {
        CarregaCentral();
        QCOMPARE(monitor->Troncos.Count(), 5);
        QCOMPARE(T("E1 Embratel")->Canais.Count(), 30);
        QCOMPARE(T("E1 Oi")->Canais.Count(), 31);
        QCOMPARE(T("Celular Claro")->TipoTronco, QStringLiteral("c"));
        for (const char* l :
             {"E1 Embratel|0|Khomp/B0C0|Failure", "E1 Embratel|29|Khomp/B0C29|Failure",
              "Celular Vivo|0|Khomp/B1C0|Failure", "Celular Claro|0|Khomp/B1C1|Failure",
              "E1 Oi|0|DAHDI/1|Failure", "E1 Oi|15|DAHDI/16|Sinal", "VoipBrasil|0||"}) {
            const QStringList f = QString(l).split('|');
            QCOMPARE(L(f[0], f[1].toInt())->Dispositivo(), f[2]);
            QCOMPARE(L(f[0], f[1].toInt())->Status, f[3]);
        }
        QCOMPARE(L("E1 Oi", 15)->StatusDetalhe, QStringLiteral("Sinalização"));
        QCOMPARE(T("VoipBrasil")->Dispositivo, QStringLiteral("SIP/VoipBrasil"));
        QCOMPARE(T("VoipBrasil")->Canais.Count(), 1);
        QVERIFY(m->ui->log.contains(
            "OnTroncoEvent: AddedI:0; CT:Khomp/B0C0; CTTipo:; CTTel:; Ligacao: nil"));
        QVERIFY(m->ui->troncos.isEmpty()); // "Added" is no window update

        Feed(Tronco("Sem porta", "f", 99, 6));
        QCOMPARE(T("Sem porta")->Canais.Count(), 0);
        QCOMPARE(T("Sem porta")->TipoTronco, QString());
        Feed(Linha("ZXDBListaTroncos", {"Nome: Ruim", "TroncoId: 1", "IdTronco: 7a", "Tipo: f"}));
        QVERIFY(!T("Ruim"));
        QVERIFY(m->ui->log.contains("Tronco Ruim ignorado: IdTronco inválido (7a)"));

        QCOMPARE(monitor->Dump("Troncos").section("\r\n\r\n", 0, 0),
                 QStringLiteral("Tronco: E1 Embratel\r\nTroncoIdPorta: 1\r\nIdTroncoId: 1\r\nTipo: "
                                "f\r\nTipoTronco: d\r\nPortaId: 1\r\nPorta: Khomp E1\r\nMarca: "
                                "k\r\nTipo: t\r\nTipoTronco: d"));
        QVERIFY(monitor->Dump("Troncos").contains(
            "Tronco: VoipBrasil\r\nTroncoIdPorta: 0\r\nIdTroncoId: 5\r\n"
            "Tipo: s\r\nTipoTronco: s\r\nPorta: nil\r\n\r\n"));
    }

    void alarmsAndSignal() {
        CarregaCentral();
        Feed(Evento("Alarm", {"Channel: Khomp/B0C3", "Alarm: Red Alarm"}));
        QCOMPARE(L("E1 Embratel", 3)->Status, QStringLiteral("Failure"));
        QCOMPARE(L("E1 Embratel", 3)->StatusDetalhe, QStringLiteral("Red Alarm"));
        Feed(Evento("AlarmClear", {"Channel: Khomp/B0C3", "Alarm: Red Alarm"}));
        QCOMPARE(L("E1 Embratel", 3)->Status, QString());
        QCOMPARE(L("E1 Embratel", 3)->StatusDetalhe, QStringLiteral("Red Alarm"));
        Feed(Evento("AntennaLevel", {"Channel: Khomp/B1C0", "Signal: 75"}));
        Feed(Evento("OperatorRegistry", {"Channel: Khomp/B1C0", "Operator: Vivo"}));
        QCOMPARE(L("Celular Vivo", 0)->NivelSinal, QStringLiteral("75"));
        QCOMPARE(L("Celular Vivo", 0)->Operadora, QStringLiteral("Vivo"));
        QCOMPARE(m->ui->troncos,
                 (QStringList{"E1 Embratel#3 Failure||", "E1 Embratel#3 ||",
                              "Celular Vivo#0 Failure||", "Celular Vivo#0 Failure||"}));
        QVERIFY(m->ui->log.contains(
            "OnTroncoEvent: StatusI:3; CT:Khomp/B0C3; CTTipo:; CTTel:; Ligacao: nil"));
        // Devices no line carries, and events without a device.
        Feed(Evento("Alarm", {"Channel: Khomp/B9C9", "Alarm: x"}));
        Feed(Evento("Alarm", {"Alarm: x"}));
        QCOMPARE(m->ui->troncos.size(), 4);

        // A SIP trunk's peer state: unreachable fails its slot, registered frees it; other
        // states are only logged.
        m->ui->troncos.clear();
        TTronco* sip = T("VoipBrasil");
        const qsizetype mark = m->ui->log.size();
        Feed(Evento("PeerStatus", {"Peer: SIP/VoipBrasil", "PeerStatus: Unregistered"}));
        QCOMPARE(sip->EstadoSip, QString());
        QCOMPARE(m->LogDesde(mark), QStringList{"OnTroncoEvent: Status"});
        Feed(Evento("PeerStatus", {"Peer: SIP/VoipBrasil", "PeerStatus: Unreachable"}));
        QCOMPARE(sip->EstadoSip, QStringLiteral("I"));
        QCOMPARE(L("VoipBrasil", 0)->StatusDetalhe, QStringLiteral("Unreachable"));
        Feed(Evento("PeerStatus", {"Peer: SIP/VoipBrasil", "PeerStatus: Registered"}));
        QCOMPARE(sip->EstadoSip, QStringLiteral("L"));
        Feed(Evento("PeerStatus", {"Peer: SIP/VoipBrasil", "PeerStatus: Reachable"})); // no change
        QCOMPARE(m->ui->troncos, (QStringList{"VoipBrasil#0 Failure||", "VoipBrasil#0 ||"}));
    }

    void khompOutput() {
        CarregaCentral();
        Feed(SaidaComando(
            "KhompChannels",
            {" ------------------", "|  hw    |  asterisk status   |  khomp call status  |",
             "<K> | 0,00  | unused           | Free              | ok",
             "<K> | 0,05  | in use           | Outgoing          | ok",
             "<K> | 1,00  | unused           | Free              | Registrado (Vivo) | 80% | ok",
             "<K> | 1,01  | unused           | Free              | Sem registro | 10%",
             "<K> | 0,xx  | unused | Free | junk", // channel not a number
             "<K> | 0 07  | unused | Free | junk", // no comma
             "<K> | 0,06  | unused",               // too few fields
             "<K> garbage", "junk | 0,07 | a | Free | b"}));
        QCOMPARE(L("E1 Embratel", 0)->Status, QStringLiteral("Free"));
        QCOMPARE(L("E1 Embratel", 0)->StatusDetalhe, QStringLiteral("ok"));
        QCOMPARE(L("E1 Embratel", 5)->Status, QStringLiteral("Outgoing"));
        QCOMPARE(L("E1 Embratel", 6)->Status, QStringLiteral("Failure"));
        QCOMPARE(L("E1 Embratel", 7)->Status, QStringLiteral("Failure"));
        QCOMPARE(L("Celular Vivo", 0)->Operadora, QStringLiteral("Vivo"));
        QCOMPARE(L("Celular Vivo", 0)->NivelSinal, QStringLiteral("80%"));
        QCOMPARE(L("Celular Vivo", 0)->Status, QStringLiteral("Free"));
        QCOMPARE(L("Celular Vivo", 0)->StatusDetalhe, QString());
        // A cellular line with too few fields changes nothing.
        QCOMPARE(L("Celular Claro", 0)->Status, QStringLiteral("Failure"));
        QCOMPARE(m->ui->troncos.size(), 3);
        // The device is built from the fields as the board prints them.
        QCOMPARE(LeLinhaKhomp(u"<K> | 0,05 | a | b | c").Dispositivo, QStringLiteral("Khomp/B0C5"));
        QCOMPARE(LeLinhaKhomp(u"<K> | 0,05 | a | b | c |").Campos.size(), 5);
        QCOMPARE(LeLinhaKhomp(u"<K> | 0,05 | | b | |").Campos,
                 (QStringList{"<K>", "0,05", "", "b", ""}));
    }

    void dahdiOutput() {
        CarregaCentral();
        auto row = [](const QString& chan, const QString& state) -> QString {
            return QString(chan.rightJustified(7) + " from-pstn").leftJustified(78, ' ') + state;
        };
        Feed(SaidaComando("DahdiChannels",
                          {row("   2", "Before pseudo"), row("Chan", "State"),
                           row("pseudo", "In Service"), row("1", "In Service"),
                           row("2", "Red Alarm"), row("abc", "junk"), row("0", "zero"), "short",
                           row("17", "In Service" + QString(40, ' ') + "tail"),
                           row("3", "Red Alarm--END COMMAND--"), row("4", "after the end")}));
        QCOMPARE(L("E1 Oi", 0)->Status, QStringLiteral("In Service"));
        QCOMPARE(L("E1 Oi", 1)->Status, QStringLiteral("Red Alarm"));
        QCOMPARE(L("E1 Oi", 1)->StatusDetalhe, QStringLiteral("Red Alarm"));
        QCOMPARE(L("E1 Oi", 16)->Status, QStringLiteral("In Service")); // 30 characters at most
        // The last line, glued to the end marker, still counts; nothing after the marker does.
        QCOMPARE(L("E1 Oi", 2)->Status, QStringLiteral("Red Alarm"));
        QCOMPARE(L("E1 Oi", 3)->Status, QStringLiteral("Failure"));
        QVERIFY(m->ui->troncos.isEmpty()); // the output announces nothing
    }

    // An extension calls out over the Khomp E1 and hangs up.
    void outgoingCallThroughAnE1() {
        CarregaCentral();
        Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Context: interno", "Exten: 01133334444"},
                "Khomp/B0C4-1", "2", {"CallerIDNum: 1133334444"});
        TCanalTronco* linha = L("E1 Embratel", 4);
        QCOMPARE(linha->Direcao + ' ' + linha->Telefone, QStringLiteral("S 1133334444"));
        TRamal* r = monitor->Ramais.ProcuraDispositivo("SIP/2001");
        QCOMPARE(r->Estado, QStringLiteral("O"));
        QCOMPARE(monitor->Canais.Procura("Khomp/B0C4-1", {})->NomePeer(),
                 QStringLiteral("Tronco E1 Embratel/Canal 5"));
        QCOMPARE(monitor->Canais.Procura("SIP/2001-01", {})->NomePeer(),
                 QStringLiteral("Ramal 2001 (PA 2001)"));
        QVERIFY(m->ui->troncos.contains("E1 Embratel#4 Failure|S|1133334444"));

        m->Hangup("Khomp/B0C4-1", "2");
        QCOMPARE(linha->Ligacao(), nullptr);
        QCOMPARE(linha->Direcao + linha->Telefone, QString());
        QCOMPARE(r->Estado, QStringLiteral("O")); // still in its own call leg
        m->Hangup("SIP/2001-01", "1");
        QCOMPARE(r->Estado, QStringLiteral("L"));
        QCOMPARE(m->ui->troncos.last(), QStringLiteral("E1 Embratel#4 Failure||"));
    }

    // A call arrives on the DAHDI E1 and an extension answers it.
    void incomingCallOnAnE1AnsweredByAnExtension() {
        CarregaCentral();
        m->NovoCanal("DAHDI/1-1", "1",
                     {"State: Ring", "CallerIDNum: 1133224455", "Context: entrada", "Exten: 4000"});
        Feed(Evento("UserEvent", {"UserEvent: ZXNewCall", "Channel: DAHDI/1-1", "Uniqueid: 1",
                                  "Tipo: E", "CallerId: 1133224455"}));
        TCanalTronco* linha = L("E1 Oi", 0);
        QCOMPARE(linha->Direcao + ' ' + linha->Telefone, QStringLiteral("E 1133224455"));
        m->NovoCanal("SIP/2002-02", "2", {"State: Ringing"});
        Feed(Evento("Dial", {"SubEvent: Begin", "Channel: DAHDI/1-1", "Uniqueid: 1",
                             "Destination: SIP/2002-02", "DestUniqueID: 2"}));
        Feed(Evento("Link", {"Channel1: DAHDI/1-1", "Channel2: SIP/2002-02", "Uniqueid1: 1",
                             "Uniqueid2: 2"}));
        QCOMPARE(linha->Direcao + ' ' + linha->Telefone, QStringLiteral("E 1133224455"));
        QCOMPARE(linha->Ligacao()->Channel2()->Channel(), QStringLiteral("SIP/2002-02"));
        TRamal* r = monitor->Ramais.ProcuraDispositivo("SIP/2002");
        QCOMPARE(r->Estado, QStringLiteral("O"));
        QCOMPARE(monitor->Canais.Procura("DAHDI/1-1", {})->NomePeer(),
                 QStringLiteral("Tronco E1 Oi/Canal 1"));
        QVERIFY(
            m->ui->log.contains("OnTroncoEvent: CallI:0; CT:DAHDI/1; CTTipo:E; CTTel:1133224455; "
                                "Canal1:DAHDI/1-1(link); Canal2:SIP/2002-02(link)"));
    }

    // A SIP trunk keeps one slot per simultaneous call, and reuses free slots.
    void sipTrunkSlots() {
        CarregaCentral();
        TTronco* sip = T("VoipBrasil");
        Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001"}, "SIP/VoipBrasil-a", "2", {});
        Chamada("SIP/2002-03", "3", {"CallerIDNum: 2002"}, "SIP/VoipBrasil-b", "4", {});
        QCOMPARE(L("VoipBrasil", 0)->Dispositivo(), QStringLiteral("SIP/VoipBrasil-a"));
        QCOMPARE(L("VoipBrasil", 1)->Dispositivo(), QStringLiteral("SIP/VoipBrasil-b"));
        QCOMPARE(L("VoipBrasil", 1)->Direcao, QStringLiteral("S"));
        for (const auto& [canal, uid] : {std::pair{"SIP/VoipBrasil-a", "2"},
                                         {"SIP/2001-01", "1"},
                                         {"SIP/VoipBrasil-b", "4"},
                                         {"SIP/2002-03", "3"}})
            m->Hangup(canal, uid);
        QCOMPARE(L("VoipBrasil", 1)->Dispositivo(), QString());
        QCOMPARE(L("VoipBrasil", 1)->Ligacao(), nullptr);
        // The next call takes the first free slot.
        Chamada("SIP/2001-05", "5", {}, "SIP/VoipBrasil-c", "6", {});
        QCOMPARE(sip->Canais.Count(), 2);
        QCOMPARE(L("VoipBrasil", 0)->Dispositivo(), QStringLiteral("SIP/VoipBrasil-c"));

        // A call the server says runs over the trunk although the channel names another peer.
        m->NovoCanal("SIP/4140042000-07", "7", {"CallerIDNum: 1140042000"});
        Feed(Evento("UserEvent",
                    {"UserEvent: zxnewcall", "Channel: SIP/4140042000-07", "Uniqueid: 7",
                     "Tronco: VoipBrasil", "Tipo: E", "CallerId: 1140042000"}));
        TChannel* c = monitor->Canais.Procura("SIP/4140042000-07", {});
        QCOMPARE(c->NomeTronco, QStringLiteral("SIP/VoipBrasil"));
        QCOMPARE(L("VoipBrasil", 1)->Dispositivo(), QStringLiteral("SIP/4140042000-07"));
        QCOMPARE(L("VoipBrasil", 1)->Direcao, QStringLiteral("E"));
        QCOMPARE(c->NomePeer(), QStringLiteral("Tronco VoipBrasil/Canal 2"));
    }

    // Direction and other party of a hardware line, from the leg on the line ("mine").
    void directionOfTheLine_data() {
        QTest::addColumn<QString>("mineSetup"); // Evento State Tipo Discador LastEvent
        QTest::addColumn<bool>("withOther");
        QTest::addColumn<bool>("mineFirst");
        QTest::addColumn<bool>("mineOlder");
        QTest::addColumn<QString>("esperado"); // "direction party"
        QTest::newRow("dialer") << "status Up - 1 -" << true << true << true << "D 9000";
        QTest::newRow("own mark") << "status Up E 0 -" << true << true << false << "E cid";
        QTest::newRow("listed, older leg")
            << "status Ring - 0 -" << true << false << true << "E cid";
        QTest::newRow("listed, newer leg")
            << "status Ring - 0 -" << true << true << false << "S 9000";
        QTest::newRow("listed alone, up") << "status Up - 0 -" << false << true << false << "E cid";
        QTest::newRow("listed alone, not up")
            << "status Ring - 0 -" << false << true << false << "S 8000";
        QTest::newRow("new, second leg")
            << "newchannel Ring - 0 -" << true << false << false << "S 8000";
        QTest::newRow("new, first leg up")
            << "newchannel Up - 0 -" << true << true << false << "E first";
        QTest::newRow("new, first leg ringing")
            << "newchannel Ring - 0 -" << true << true << false << " ";
        QTest::newRow("dialled") << "status Up S 0 dial" << true << false << false << "S 5555";
    }
    void directionOfTheLine() {
        QFETCH(QString, mineSetup);
        QFETCH(bool, withOther);
        QFETCH(bool, mineFirst);
        QFETCH(bool, mineOlder);
        QFETCH(QString, esperado);
        const QStringList f = mineSetup.split(' ');
        TListaTroncos lista;
        TCanalTronco* linha = UmaLinha(lista);
        TChannel meu("DAHDI/1-1");
        meu.Evento = f[0];
        meu.State = f[1];
        meu.Tipo = f[2] == u"-" ? QString() : f[2];
        meu.Discador = f[3] == u"1";
        meu.LastEvent = f[4] == u"-" ? QString() : f[4];
        meu.CallerId = "cid";
        meu.CallerIdNum = "5555";
        meu.Extension = "8000";
        meu.PrimeiraExtension = "8000";
        meu.PrimeiroCallerId = "first";
        TChannel outro("SIP/2001-1");
        outro.Extension = "9000";
        meu.Inicio = mineOlder ? 10 : 20;
        outro.Inicio = 15;
        TLigacao l(withOther && !mineFirst ? &outro : &meu);
        if (withOther) l.SetaCanal(mineFirst ? &outro : &meu);
        lista.AtualizaLigacao(&l);
        QCOMPARE(linha->Ligacao(), &l);
        QCOMPARE(linha->Direcao + ' ' + linha->Telefone, esperado);
        QVERIFY(meu.TemTipoCanal());
        QCOMPARE(meu.TipoCanal->DonoCanalTronco(), linha);
        lista.RemoveLigacao(&l);
    }

    // Once set, the direction follows the legs' ages, except for dialer calls and dialled legs.
    void directionFollowsTheCall() {
        TListaTroncos lista;
        TCanalTronco* linha = UmaLinha(lista);
        TChannel meu("DAHDI/1-1");
        meu.Evento = "status";
        meu.State = "Ring";
        meu.Inicio = 20;
        meu.CallerId = "cid";
        TChannel outro("SIP/2001-1");
        outro.Inicio = 10;
        outro.Extension = "2001";
        TLigacao l(&meu);
        auto atualiza = [&]() -> QString {
            lista.AtualizaLigacao(&l);
            return linha->Direcao + ' ' + linha->Telefone;
        };
        QCOMPARE(atualiza(), QStringLiteral("S ")); // alone and not up
        meu.State = "Up";
        QCOMPARE(atualiza(), QStringLiteral("E cid"));
        l.SetaCanal(&outro);
        QCOMPARE(atualiza(), QStringLiteral("S 2001")); // the other leg is older
        meu.Discado = true;
        outro.Inicio = 30;
        QCOMPARE(atualiza(), QStringLiteral("S 2001")); // a dialled leg keeps it
        lista.RemoveLigacao(&l);
        QCOMPARE(linha->Ligacao(), nullptr);
        QCOMPARE(linha->Direcao, QString());
    }
};

QTEST_GUILESS_MAIN(TestModelTrunks)
#include "test_model_trunks.moc"
