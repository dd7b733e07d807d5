// The chat model on its own: message order, read receipts, unread counts, conversation notices
// and the caps that keep a chatty server from growing it without bound.
#include "model/chat/TChat.h"

#include <QTest>

namespace {
std::unique_ptr<TMensagemChat> Msg(const QString& id, const QString& from = "bob",
                                   const QString& to = "ana", const QString& corpo = "oi") {
    auto m = std::make_unique<TMensagemChat>();
    m->Id = id;
    m->From = from;
    m->DefineDestinatarios(to);
    m->Msg = corpo;
    return m;
}

QString Ids(const TListaMensagensChat& l) {
    QStringList ids;
    for (int i = 0; i < l.Count(); ++i)
        ids << (l.Item(i)->Id.isEmpty() ? QStringLiteral("-") : l.Item(i)->Id);
    return ids.join(u' ');
}

struct TAvisosGravados {
    QStringList t;
    void Liga(TChat& chat) {
        chat.OnEvent = [this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
            t << TextoAvisoChat(a) + u' ' + (c ? c->ConversaId : QStringLiteral("-")) + u' ' +
                     (m ? m->Id : QStringLiteral("-"));
        };
    }
};
} // namespace

class TestChatModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ordem_data() {
        QTest::addColumn<QStringList>("entrada");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("between") << QStringList{"5", "9", "12", "10"} << "5 9 10 12";
        QTest::newRow("not a number counts as 0") << QStringList{"5", "9", "12", "x"} << "x 5 9 12";
        QTest::newRow("empty id appended") << QStringList{"5", "9", "", "1"} << "1 5 9 -";
        QTest::newRow("equal ids keep arrival order") << QStringList{"7", "3", "7"} << "3 7 7";
        QTest::newRow("negative and huge")
            << QStringList{"99999999999", "-4", "0"} << "-4 0 99999999999";
        QTest::newRow("beyond 64 bits counts as 0")
            << QStringList{"3", "999999999999999999999"} << "999999999999999999999 3";
    }
    void ordem() {
        QFETCH(QStringList, entrada);
        QFETCH(QString, esperado);
        std::vector<std::unique_ptr<TMensagemChat>> donas;
        TListaMensagensChat l;
        for (const QString& id : entrada) {
            donas.push_back(Msg(id));
            l.AdicionaOrdenado(donas.back().get());
        }
        QCOMPARE(Ids(l), esperado);
    }

    // A message that gets its Id later keeps its place, and is found by the new one only.
    void idTardioNaoReordena() {
        TChat chat("ana");
        chat.Guarda(Msg("5"));
        auto nova = Msg("");
        nova->LocalId = "0";
        TMensagemChat* pend = chat.Guarda(std::move(nova));
        chat.DefineId(pend, "1");
        QCOMPARE(Ids(chat.ListaDeMensagens), QStringLiteral("5 1"));
        QCOMPARE(chat.ListaDeMensagens.ProcuraPorId("1"), pend);
        QCOMPARE(chat.ListaDeMensagens.ProcuraPorLocalId("0"), pend);
        QVERIFY(!chat.ListaDeMensagens.ProcuraPorId(""));
    }

    void leituras_data() {
        QTest::addColumn<QString>("para");
        QTest::addColumn<QStringList>("leituras"); // "id@moment"
        QTest::addColumn<double>("dataLeitura");
        QTest::addColumn<QString>("recibos"); // "id=moment ..."
        QTest::newRow("one reader") << "bob" << QStringList{"bob@10"} << 10.0 << "bob=10";
        QTest::newRow("zero never un-reads")
            << "bob" << QStringList{"bob@10", "bob@0"} << 10.0 << "bob=10";
        QTest::newRow("earlier moment ignored")
            << "bob" << QStringList{"bob@10", "bob@4"} << 10.0 << "bob=10";
        QTest::newRow("latest over recipients")
            << "bob, \"c,d\"" << QStringList{"c,d@7", "bob@3"} << 7.0 << "bob=3 c,d=7";
        QTest::newRow("unknown reader moves only the date")
            << "bob" << QStringList{"zed@9"} << 9.0 << "bob=0";
        QTest::newRow("empty id moves only the date")
            << "bob" << QStringList{"@9"} << 9.0 << "bob=0";
    }
    void leituras() {
        QFETCH(QString, para);
        QFETCH(QStringList, leituras);
        QFETCH(double, dataLeitura);
        QFETCH(QString, recibos);
        TMensagemChat m;
        m.DefineDestinatarios(para);
        for (const QString& l : leituras) {
            const auto partes = l.split(u'@');
            m.MarcaLida(partes[0], partes[1].toDouble());
        }
        QCOMPARE(m.DataLeitura, dataLeitura);
        QStringList r;
        for (const TLeituraChat& l : m.Leituras)
            r << l.UsuarioId + u'=' + QString::number(l.Quando);
        QCOMPARE(r.join(u' '), recibos);
    }

    void destinatarios_data() {
        QTest::addColumn<QString>("lista");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("recibos");
        QTest::newRow("commas and blanks") << "a, b c"
                                           << "a,b,c" << 3;
        QTest::newRow("quoted item") << "\"x y\",z"
                                     << "x y,z" << 2;
        QTest::newRow("empty keeps the previous") << ""
                                                  << "old" << 1;
        QTest::newRow("unterminated quote") << "\"abc"
                                            << "abc" << 1;
    }
    void destinatarios() {
        QFETCH(QString, lista);
        QFETCH(QString, to);
        QFETCH(int, recibos);
        TMensagemChat m;
        m.DefineDestinatarios("old");
        m.DefineDestinatarios(lista);
        QCOMPARE(m.To, to);
        QCOMPARE(int(m.Leituras.size()), recibos);
        m.AdicionaDestinatario(m.Leituras.front().UsuarioId);
        QCOMPARE(int(m.Leituras.size()), recibos);
    }

    void destinatariosLimitados() {
        QStringList muitos;
        for (int i = 0; i < 5000; ++i)
            muitos << QString::number(i);
        TMensagemChat m;
        m.DefineDestinatarios(muitos.join(u','));
        QCOMPARE(int(m.Leituras.size()), TMensagemChat::kMaxDestinatarios);
        m.AdicionaDestinatario("novo");
        QCOMPARE(int(m.Leituras.size()), TMensagemChat::kMaxDestinatarios);
    }

    void nomesUsuarios() {
        TListaUsuariosChat l;
        auto ana = std::make_unique<TUsuarioChat>("1");
        ana->Nome = "Ana";
        ana->Tipo = "u";
        l.Adiciona(std::move(ana));
        auto dois = std::make_unique<TUsuarioChat>("2");
        dois->Tipo = "a";
        l.Adiciona(std::move(dois));
        auto fila = std::make_unique<TUsuarioChat>("x");
        fila->Nome = "Fila X";
        fila->Tipo = "f";
        l.Adiciona(std::move(fila));
        QCOMPARE(l.NomesUsuarios("1,2,x"), QStringLiteral("Ana, 2, x"));
        QVERIFY(!l.ProcuraUsuario("x", "ua"));
        QVERIFY(l.ProcuraUsuario("x", "f"));
    }

    // A message to the local user opens the conversation with its sender; the same message
    // again is a read notice, not a second line.
    void mensagemAbreConversa() {
        TChat chat("ana");
        TAvisosGravados av;
        av.Liga(chat);
        TMensagemChat* m = chat.AdicionaMensagem(Msg("1"));
        QCOMPARE(chat.ListaDeConversas.Count(), 1);
        TConversaChat* c = chat.ListaDeConversas.ProcuraPorId("bob");
        QVERIFY(c);
        QCOMPARE(c->ConversaNome, QStringLiteral("bob"));
        QCOMPARE(av.t, (QStringList{"Add bob -", "Add bob 1"}));
        chat.AdicionaMensagem(m);
        QCOMPARE(c->Mensagens.Count(), 1);
        QCOMPARE(av.t.last(), QStringLiteral("Read bob 1"));
        // To someone else: stored, no conversation.
        chat.AdicionaMensagem(Msg("2", "bob", "carla"));
        QCOMPARE(chat.ListaDeConversas.Count(), 1);
        QCOMPARE(chat.ListaDeMensagens.Count(), 2);
    }

    void naoLidas() {
        TChat chat("ana");
        chat.AdicionaMensagem(Msg("1", "bob"));
        TMensagemChat* lida = chat.AdicionaMensagem(Msg("2", "bob"));
        chat.AdicionaMensagem(Msg("3", "carla"));
        lida->MarcaLida("ana", 5);
        TConversaChat* bob = chat.ListaDeConversas.ProcuraPorId("bob");
        bob->NaoLidas = 2;
        chat.MensagemLida(lida);
        QCOMPARE(bob->NaoLidas, 1);
        QCOMPARE(bob->ContaNaoLidas("bob"), 1);
        QCOMPARE(bob->ContaNaoLidas(""), 1);
        QCOMPARE(chat.ListaDeConversas.TotalNaoLidas(""), 2); // conversations with unread
        QCOMPARE(chat.ListaDeConversas.TotalNaoLidas("bob"), 1);
        QCOMPARE(chat.ListaDeConversas.TotalNaoLidasServidor("bob"), 1);
        QCOMPARE(chat.ListaDeConversas.TotalNaoLidasServidor("carla"), 0);
        // The count never goes below zero.
        bob->NaoLidas = 0;
        chat.MensagemLida(lida);
        QCOMPARE(bob->NaoLidas, 0);
    }

    void usuariosDaConversa() {
        TChat chat("ana");
        TAvisosGravados av;
        av.Liga(chat);
        TConversaChat* c = chat.ConversaCom("bob");
        c->AdicionaUsuario("carla");
        c->AdicionaUsuario("carla");
        c->RemoveUsuario("zed");
        QCOMPARE(c->UsuariosTexto(), QStringLiteral("bob,carla"));
        QCOMPARE(av.t, (QStringList{"Add bob -", "Update bob -"}));
        c->DefineUsuarios("x,,y");
        QCOMPARE(c->UsuCount(), 3);
    }

    // Past the per-conversation cap the oldest message leaves the conversation (with a notice a
    // view can drop it on); past the model cap it is freed and leaves every conversation.
    void limites() {
        TChat chat("ana");
        int removidas = 0;
        chat.OnEvent = [&](TConversaChat*, TMensagemChat*, TAvisoChat a) {
            if (a == TAvisoChat::Remove) ++removidas;
        };
        const int n = TChat::kMaxMensagensConversa + 10;
        for (int i = 1; i <= n; ++i)
            chat.AdicionaMensagem(Msg(QString::number(i)));
        TConversaChat* c = chat.ListaDeConversas.ProcuraPorId("bob");
        QCOMPARE(c->Mensagens.Count(), TChat::kMaxMensagensConversa);
        QCOMPARE(c->Mensagens.Item(0)->Id, QStringLiteral("11"));
        QCOMPARE(removidas, 10);
        QCOMPARE(chat.ListaDeMensagens.Count(), n);

        for (int i = n + 1; i <= TChat::kMaxMensagens + 20; ++i)
            chat.Guarda(Msg(QString::number(i), "x", "y"));
        QCOMPARE(chat.ListaDeMensagens.Count(), TChat::kMaxMensagens);
        QVERIFY(!chat.ListaDeMensagens.ProcuraPorId("1"));
        // Every message a conversation still holds is alive in the model.
        for (int i = 0; i < c->Mensagens.Count(); ++i)
            QVERIFY(chat.ListaDeMensagens.Contem(c->Mensagens.Item(i)));
        QCOMPARE(c->Mensagens.Item(0)->Id, QStringLiteral("21"));
    }

    // Local ids stay unique after messages were dropped (the count alone would repeat one).
    void localIdUnico() {
        TChat chat("ana");
        QSet<QString> vistos;
        for (int i = 0; i < 5; ++i) {
            const QString id = chat.NovoLocalId();
            QVERIFY(!vistos.contains(id));
            vistos.insert(id);
            auto m = Msg("");
            m->LocalId = id;
            chat.Guarda(std::move(m));
        }
        QCOMPARE(vistos.size(), 5);
    }

    void dump() {
        TChat chat("ana");
        auto u = std::make_unique<TUsuarioChat>("bob");
        u->Nome = "Bob";
        u->Tipo = "u";
        chat.ListaDeUsuarios.Adiciona(std::move(u));
        chat.AdicionaMensagem(Msg("1", "bob", "ana", "olá"));
        const QString d = chat.Dump();
        QVERIFY(d.contains(u"Id: 1\r\nFrom: bob\r\nTo: ana\r\nMsg: olá\r\n"));
        QVERIFY(d.contains(u"ConversaId: bob\r\nConversaNome: Bob\r\nUsuarioLocal: ana\r\n"
                           u"Usuarios    : bob\r\nUsuCount    : 1\r\nMsgCount    : 1\r\n"));
        QVERIFY(d.contains(u"UsuarioId: bob\r\nNome     : Bob\r\nTipo     : u\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestChatModel)
#include "test_chat_model.moc"
