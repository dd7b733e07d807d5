// Console command answers as servers write them: how a "Response: Follows" answer is cut from
// the stream, and the three outputs of the load ("sip show peers", "khomp channels show",
// "dahdi show channels") read in every form with the odd lines real outputs hold.
#include "link/TClientManager.h"
#include "support/TPacotes.h"

#include <QTest>

namespace {

enum class Forma { CrLf, Lf, LfSemFimNaUltima, Misturada, Output };

// The answer to a Command action as bytes on the wire, in UTF-8 or in the 8-bit code page.
// Follows forms end with the marker (glued to the last line when that one has no line end); the
// Output form has one line per console line.
QByteArray Resposta(const QString& id, const QStringList& linhas, Forma forma, bool utf8) {
    const auto bytes = [utf8](const QString& t) { return utf8 ? t.toUtf8() : t.toLatin1(); };
    const QByteArray idLinha = "ActionID: " + id.toUtf8() + "\r\n";
    QByteArray out;
    if (forma == Forma::Output) {
        out = "Response: Success\r\n" + idLinha + "Message: Command output follows\r\n";
        for (const QString& l : linhas)
            out += "Output: " + bytes(l) + "\r\n";
        return out + "\r\n";
    }
    // Servers differ in where the privilege line goes.
    if (forma == Forma::Lf)
        out = "Response: Follows\r\nPrivilege: Command\r\n" + idLinha;
    else
        out = "Response: Follows\r\n" + idLinha + "Privilege: Command\r\n";
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        out += bytes(linhas[i]);
        switch (forma) {
        case Forma::CrLf:
            out += "\r\n";
            break;
        case Forma::Lf:
            out += "\n";
            break;
        case Forma::LfSemFimNaUltima:
            if (i + 1 < linhas.size()) out += "\n";
            break;
        case Forma::Misturada:
            out += i % 2 ? "\n" : "\r\n";
            break;
        case Forma::Output:
            break;
        }
    }
    return out + "--END COMMAND--\r\n\r\n";
}

// Packets cut from the stream, fed whole or one byte at a time.
QStringList Corta(const QByteArray& stream, bool byteAByte, QStringList* log = nullptr) {
    TClientManager c;
    QStringList packets;
    c.OnPacket = [&packets](TClientManager*, const QString& p) { packets << p; };
    if (log) c.OnLog = [log](const QString& l) { *log << l; };
    if (!byteAByte) {
        c.FeedBytes(stream);
    } else {
        for (qsizetype i = 0; i < stream.size(); ++i)
            c.FeedBytes(stream.sliced(i, 1));
    }
    return packets;
}

// A "sip show peers" line in the columns of the newer servers (status from character 106).
QString Peer(const QString& name, const QString& host, const QString& status,
             const QString& descricao = {}) {
    auto cell = [](const QString& t, int w) { return t.left(w - 1).leftJustified(w, ' '); };
    return cell(name, 26) + cell(host, 40) + cell("D", 4) + cell("No", 11) + cell("No", 11) +
           cell("", 4) + cell("5060", 9) + cell(status, 12) + descricao;
}

// A "dahdi show channels" line: the channel right-aligned in 7 columns, the state from 79.
QString Dahdi(const QString& chan, const QString& contexto, const QString& estado) {
    return QString(chan.rightJustified(7) + ' ' + contexto).leftJustified(78, ' ') + estado;
}

} // namespace

class TestCommandOutputs : public QObject {
    Q_OBJECT

    std::unique_ptr<TMonitorAlimentado> m;
    TMonitor* monitor = nullptr;

    void Feed(const QString& p) { m->Feed(p); }
    TRamal* R(const QString& device) { return monitor->Ramais.ProcuraDispositivo(device); }
    TCanalTronco* L(const QString& nome, int i) {
        return monitor->Troncos.Procura(nome)->Canais.Item(i);
    }

    // A Khomp E1 and an extension port on board 0, a cellular chip on board 1, a DAHDI E1; SIP
    // extensions 2001-2003, the Khomp extension 3001; the trunks on the ports and two SIP trunks.
    void CarregaCentral() {
        auto porta = [this](int id, int placa, const QString& marca, const QString& tipo,
                            const QString& classe) {
            Feed(Linha("ZXDBListaPortas",
                       {"PortaId: " + QString::number(id), "Placa: " + QString::number(placa),
                        "Marca: " + marca, "Tipo: " + tipo, "TipoTronco: " + classe}));
        };
        porta(1, 0, "k", "t", "d");
        porta(5, 0, "k", "r", "");
        porta(2, 1, "k", "t", "c");
        porta(3, 2, "z", "t", "d");
        Feed(Completa("ZXDBListaPortas"));
        for (const char* r : {"2001", "2002", "2003"})
            Feed(Linha("ZXDBListaRamais", {"RamalId: " + QString(r), "Tipo: s"}));
        Feed(Linha("ZXDBListaRamais", {"RamalId: 3001", "Tipo: f", "FisicoEndereco: 5"}));
        auto tronco = [this](const QString& nome, const QString& tipo, int troncoId) {
            Feed(Linha("ZXDBListaTroncos", {"Nome: " + nome, "Tipo: " + tipo,
                                            "TroncoId: " + QString::number(troncoId)}));
        };
        tronco("E1 Embratel", "f", 1);
        tronco("Celular Vivo", "f", 2);
        tronco("E1 Oi", "f", 3);
        tronco("Telefônica", "s", 0);
        tronco("VoipBrasil", "s", 0);
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TMonitorAlimentado>();
        monitor = m->monitor.get();
    }
    void cleanup() { m.reset(); }

    // A command answer is one packet whatever its body holds, and the packet after it is intact.
    void framing_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("corte"); // where the first packet ends
        const QByteArray evento = "Event: Hangup\r\nChannel: SIP/2001-01\r\n\r\n";
        auto row = [&](const char* nome, const QByteArray& primeiro, const QByteArray& depois) {
            QTest::newRow(nome) << QByteArray(primeiro + depois) << int(primeiro.size());
        };
        row("CR LF output with empty lines",
            "Response: Follows\r\nActionID: A\r\n\r\nl1\r\n\r\n\r\nl2\r\n--END COMMAND--\r\n\r\n",
            evento);
        row("lone LF output with empty lines",
            "Response: Follows\r\nPrivilege: Command\r\nActionID: A\r\n\na\n\nb\n"
            "--END COMMAND--\r\n\r\n",
            evento);
        row("last line glued to the marker",
            "Response: Follows\r\nActionID: A\r\n\r\nb--END COMMAND--\r\n\r\n", evento);
        row("letter case of the response line",
            "response: follows\r\nActionID: A\r\nx\r\n\r\ny\r\n--END COMMAND--\r\n\r\n", evento);
        row("answer without the marker before an event",
            "Response: Follows\r\nActionID: A\r\nNo such command\r\n\r\n", evento);
        row("answer without the marker before a response",
            "Response: Follows\r\nActionID: A\r\nNo such command\r\n\r\n",
            "Response: Success\r\nActionID: B\r\n\r\n");
        row("Output lines", "Response: Success\r\nActionID: A\r\nOutput: \r\nOutput: x\r\n\r\n",
            evento);
        row("stray marker in an event", "Event: Alarm\r\nAlarm: --END COMMAND--\r\n\r\n", evento);
        row("event ending with the marker", "Event: Alarm\r\n--END COMMAND--\r\n\r\n", evento);
    }
    void framing() {
        QFETCH(QByteArray, stream);
        QFETCH(int, corte);
        const QStringList esperado{QString::fromUtf8(stream.first(corte)),
                                   QString::fromUtf8(stream.sliced(corte))};
        QCOMPARE(Corta(stream, false), esperado);
        QCOMPARE(Corta(stream, true), esperado);
    }

    // An answer that never ends is held to the packet limit and thrown away; the stream
    // recovers at the next packet.
    void endlessAnswerIsBounded_data() {
        QTest::addColumn<QByteArray>("linha");
        QTest::newRow("CR LF lines and empty lines") << QByteArray("linha\r\n\r\n");
        QTest::newRow("lone LF lines") << QByteArray("linha\n");
    }
    void endlessAnswerIsBounded() {
        QFETCH(QByteArray, linha);
        TClientManager c;
        QStringList packets;
        QStringList log;
        c.OnPacket = [&packets](TClientManager*, const QString& p) { packets << p; };
        c.OnLog = [&log](const QString& l) { log << l; };
        c.FeedBytes("Response: Follows\r\nActionID: SIPPeers\r\n");
        const QByteArray bloco = linha.repeated(64 * 1024 / linha.size());
        for (int i = 0; i < 48; ++i) {
            c.FeedBytes(bloco);
            QVERIFY(c.PendingBytes() <= TClientManager::kMaxPacketBytes + bloco.size());
        }
        c.FeedBytes("--END COMMAND--\r\n\r\nEvent: Hangup\r\nChannel: SIP/2001-01\r\n\r\n");
        QVERIFY(!log.isEmpty());
        QVERIFY(!packets.isEmpty());
        QCOMPARE(packets.last(), QStringLiteral("Event: Hangup\r\nChannel: SIP/2001-01\r\n\r\n"));
        for (const QString& p : std::as_const(packets)) {
            QVERIFY(p.size() <= TClientManager::kMaxPacketBytes);
            QVERIFY(!p.startsWith(u"Response: Follows"));
        }
        QCOMPARE(c.PendingBytes(), 0);
    }

    // An answer without the marker, told ended by the event after it, at either side of the
    // size limit: kept when it fits, thrown away when not, however the stream is cut; the
    // event gets through either way.
    void answerAtTheSizeLimit_data() {
        QTest::addColumn<int>("excesso"); // the answer's size minus the limit
        QTest::newRow("just under") << -2;
        QTest::newRow("just over") << 2;
    }
    void answerAtTheSizeLimit() {
        QFETCH(int, excesso);
        const QByteArray cabeca = "Response: Follows\r\nActionID: SIPPeers\r\n";
        const QByteArray resposta =
            cabeca +
            QByteArray(TClientManager::kMaxPacketBytes + excesso - cabeca.size() - 4, 'x') +
            "\r\n\r\n";
        const QByteArray evento = "Event: Hangup\r\nChannel: SIP/2001-01\r\n\r\n";
        const QByteArray stream = resposta + evento;
        QStringList esperado{QString::fromLatin1(evento)};
        if (excesso <= 0) esperado.prepend(QString::fromLatin1(resposta));
        for (const bool emPedacos : {false, true}) {
            TClientManager c;
            QStringList packets;
            c.OnPacket = [&packets](TClientManager*, const QString& p) { packets << p; };
            if (!emPedacos) {
                c.FeedBytes(stream);
            } else {
                // The answer and the first bytes of the event, then the rest byte by byte.
                c.FeedBytes(stream.first(resposta.size() + 3));
                for (qsizetype i = resposta.size() + 3; i < stream.size(); ++i)
                    c.FeedBytes(stream.sliced(i, 1));
            }
            QCOMPARE(packets, esperado);
            QCOMPARE(c.PendingBytes(), 0);
        }
    }

    // Each output in each form, cut from the stream and handed to the monitor, followed by an
    // event that must still be read.
    void outputs_data() {
        QTest::addColumn<QString>("saida");
        QTest::addColumn<int>("forma");
        const std::pair<const char*, Forma> formas[] = {
            {"CR LF", Forma::CrLf},
            {"lone LF", Forma::Lf},
            {"lone LF, last line without LF", Forma::LfSemFimNaUltima},
            {"CR LF mixed with LF", Forma::Misturada},
            {"Output lines", Forma::Output}};
        for (const char* saida : {"SIPPeers", "KhompChannels", "DahdiChannels"})
            for (const auto& [nome, forma] : formas)
                QTest::addRow("%s, %s", saida, nome) << QString(saida) << int(forma);
    }
    void outputs() {
        QFETCH(QString, saida);
        QFETCH(int, forma);
        CarregaCentral();
        const QString longa(4000, u'x');
        QStringList linhas;
        QByteArray depois;
        if (saida == u"SIPPeers") {
            linhas = {QString(),
                      Peer("Name/username", "Host", "Status", "Description"),
                      Peer("2001/2001", "10.0.0.21", "OK (12 ms)", "Recepção"),
                      Peer("2002/2002", "(Unspecified)", "UNKNOWN"),
                      QString(),
                      Peer("2003", "10.0.0.23", "OK (3 ms)", longa),
                      Peer("Telefônica/4140", "200.1.1.2", "OK (23 ms)", "Operadora São Paulo"),
                      "5 sip peers [Monitored: 4 online, 1 offline Unmonitored: 0 online, 0 "
                      "offline]",
                      Peer("VoipBrasil/4141", "200.1.1.1", "UNREACHABLE")};
            depois = "Event: PeerStatus\r\nPeer: SIP/2002\r\nPeerStatus: Registered\r\n"
                     "Address: 10.0.0.22\r\n\r\n";
        } else if (saida == u"KhompChannels") {
            linhas = {
                u' ' + QString(82, u'-'),
                "|---- Khomp Channels Status ----|",
                QString(),
                "|  hw    |  asterisk status   |  khomp call status  |  khomp channel |",
                "<K> | 0,00  | unused           | Free              | ok",
                "<K> | 0,05  | in use           | Outgoing          | ok",
                QString(),
                "<K> | 0,29  | unused           | Failure           | " + longa,
                "<K> | 0,30  | in use           | Incoming          | ok",
                "<K> | 1,00  | unused           | Free              | Registrado (Telefônica) "
                "| 80% | ok",
                "<K> | 0,01  | unused           | Free              | kgsm"};
            depois = "Event: AntennaLevel\r\nChannel: Khomp/B1C0\r\nSignal: 75\r\n\r\n";
        } else {
            linhas = {QString(),
                      Dahdi("Chan", "Context", "State"),
                      Dahdi("pseudo", "default", "In Service"),
                      QString(),
                      Dahdi("1", "recepção", "In Service"),
                      Dahdi("2", "from-pstn", "Red Alarm"),
                      Dahdi("17", "from-pstn", "In Service" + longa),
                      Dahdi("31", "from-pstn", "Yellow Alarm")};
            depois = "Event: Alarm\r\nChannel: DAHDI/5\r\nAlarm: Blue Alarm\r\n\r\n";
        }
        // The console pads its columns by bytes: names in the padded columns keep their place
        // when the server writes the 8-bit code page. The Khomp fields are cut at "|" instead.
        const QByteArray stream =
            Resposta(saida, linhas, Forma(forma), saida == u"KhompChannels") + depois;
        const QStringList packets = Corta(stream, false);
        QCOMPARE(packets.size(), 2);
        QCOMPARE(Corta(stream, true), packets);
        for (const QString& p : packets)
            Feed(p);

        if (saida == u"SIPPeers") {
            QCOMPARE(R("SIP/2001")->Estado, QStringLiteral("L"));
            QCOMPARE(R("SIP/2001")->Endereco, QStringLiteral("10.0.0.21"));
            QCOMPARE(R("SIP/2003")->Estado, QStringLiteral("L"));
            QCOMPARE(R("SIP/2003")->Endereco, QStringLiteral("10.0.0.23"));
            QCOMPARE(monitor->Troncos.Procura("Telefônica")->EstadoSip, QStringLiteral("L"));
            QCOMPARE(monitor->Troncos.Procura("VoipBrasil")->EstadoSip, QStringLiteral("I"));
            // Unknown at load, registered by the event after the answer.
            QCOMPARE(R("SIP/2002")->Estado, QStringLiteral("L"));
            QCOMPARE(R("SIP/2002")->Endereco, QStringLiteral("10.0.0.22"));
        } else if (saida == u"KhompChannels") {
            QCOMPARE(L("E1 Embratel", 0)->Status, QStringLiteral("Free"));
            QCOMPARE(L("E1 Embratel", 5)->Status, QStringLiteral("Outgoing"));
            QCOMPARE(L("E1 Embratel", 29)->Status, QStringLiteral("Failure"));
            QCOMPARE(L("E1 Embratel", 29)->StatusDetalhe, longa);
            QCOMPARE(R("Khomp/B0C30")->Estado, QStringLiteral("L"));
            QCOMPARE(L("Celular Vivo", 0)->Operadora, QStringLiteral("Telefônica"));
            QCOMPARE(L("Celular Vivo", 0)->Status, QStringLiteral("Free"));
            // The last line, whatever ends it.
            QCOMPARE(L("E1 Embratel", 1)->Status, QStringLiteral("Free"));
            QCOMPARE(L("E1 Embratel", 1)->StatusDetalhe, QStringLiteral("kgsm"));
            QCOMPARE(L("Celular Vivo", 0)->NivelSinal, QStringLiteral("75"));
        } else {
            QCOMPARE(L("E1 Oi", 0)->Status, QStringLiteral("In Service"));
            QCOMPARE(L("E1 Oi", 1)->Status, QStringLiteral("Red Alarm"));
            QCOMPARE(L("E1 Oi", 16)->Status, QString("In Service" + longa.left(20)));
            QCOMPARE(L("E1 Oi", 30)->Status, QStringLiteral("Yellow Alarm"));
            QCOMPARE(L("E1 Oi", 2)->Status, QStringLiteral("Failure")); // not in the output
            QCOMPARE(L("E1 Oi", 4)->StatusDetalhe, QStringLiteral("Blue Alarm"));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandOutputs)
#include "test_command_outputs.moc"
