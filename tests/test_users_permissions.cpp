// Who the user is and what the user may see, in both permission forms, filled through the
// same rows and events the server sends.
#include "monitor/TMonitor.h"
#include "support/TRecordingUi.h"

#include <QTest>

namespace {
QString Packet(const QStringList& lines) {
    return lines.join("\r\n") + "\r\n\r\n";
}
} // namespace

class TestUsersPermissions : public QObject {
    Q_OBJECT

    void Feed(TMonitor& m, const QStringList& lines) {
        m.TrataManagerPacket(m.ManagerConnection(), Packet(lines));
    }
    void LoginRow(TMonitor& m, const QString& user, const QString& tipoUsuario, const QString& tipo,
                  const QString& perfil = {}, const QString& idUser = {},
                  const QString& mask = {}) {
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBLoginVesmara", "user: " + user,
                 "tipoUsuario: " + tipoUsuario, "tipo: " + tipo, "perfil: " + perfil,
                 "idUser: " + idUser, "permissao: " + mask});
    }
    // Old form: rights listed under the profile name in the two permission tables.
    void OldRight(TMonitor& m, const QString& usuario, const QString& grupo, const QString& nome) {
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaPermissaoUsuario",
                 "Usuario: " + usuario, "PermissaoGrupoId: " + grupo, "PermissaoNomeId: " + nome});
    }
    void OldValue(TMonitor& m, const QString& usuario, const QString& grupo, const QString& nome,
                  const QString& valor, const QString& tipo) {
        Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBListaPermissaoUsuarioExtra",
                 "Usuario: " + usuario, "PermissaoGrupoId: " + grupo, "PermissaoNomeId: " + nome,
                 "Valor: " + valor, "Tipo: " + tipo});
    }
    void NewRight(TMonitor& m, const QString& grupo, const QString& nome,
                  const QStringList& values = {}) {
        Feed(m, {"Event: ZXUserPermission", "Group: " + grupo, "Permission: " + nome});
        if (values.isEmpty()) return;
        QStringList lines{"Event: ZXUserPermissionDetail", "Group: " + grupo,
                          "Permission: " + nome};
        for (int i = 0; i < values.size(); ++i)
            lines << u"Value" + QString::number(i + 1) + u": " + values[i];
        Feed(m, lines);
    }

private Q_SLOTS:
    void loginRowNormalisesTheType_data() {
        QTest::addColumn<QString>("tipoUsuario");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("restrito");
        QTest::newRow("p is restricted") << "p"
                                         << ""
                                         << "u" << true;
        QTest::newRow("u is restricted") << "u"
                                         << "x"
                                         << "u" << true;
        QTest::newRow("a is free") << "a"
                                   << "u"
                                   << "" << false;
        QTest::newRow("other stays") << "s"
                                     << "u"
                                     << "s" << false;
        QTest::newRow("empty takes tipo") << ""
                                          << "u"
                                          << "u" << true;
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "" << false;
    }
    void loginRowNormalisesTheType() {
        QFETCH(QString, tipoUsuario);
        QFETCH(QString, tipo);
        QFETCH(QString, expected);
        QFETCH(bool, restrito);
        TMonitor m;
        LoginRow(m, "ana", tipoUsuario, tipo, {}, {}, "6");
        QCOMPARE(m.Permissoes.Tipo, expected);
        QCOMPARE(m.Permissoes.Restrito, restrito);
        QCOMPARE(m.Permissoes.Permissao, 6);
        QVERIFY(m.Permissoes.TemBit(4) && m.Permissoes.TemBit(2) && !m.Permissoes.TemBit(1));
    }

    void unrestrictedSeesEverything() {
        TMonitor m;
        LoginRow(m, "demo", "a", "");
        QVERIFY(m.TemPermissaoMonitorarCallCenter());
        QVERIFY(m.TemPermissaoGerenciarAtendentes());
        QVERIFY(m.TemPermissaoFilaId("42"));
        QVERIFY(m.TemPermissaoTronco("3", "E1"));
        QVERIFY(m.TemPermissaoChat());
    }

    void queueValueLists_data() {
        QTest::addColumn<QStringList>("r");
        QTest::addColumn<QStringList>("e");
        QTest::addColumn<QString>("visible"); // of queues 1..9
        QTest::newRow("no values: all") << QStringList{} << QStringList{} << "123456789";
        QTest::newRow("restricted to 3 and 7") << QStringList{"3", "7"} << QStringList{} << "37";
        QTest::newRow("all but 3") << QStringList{} << QStringList{"3"} << "12456789";
        QTest::newRow("both lists") << QStringList{"3", "4"} << QStringList{"4"} << "3";
    }
    void queueValueLists() {
        QFETCH(QStringList, r);
        QFETCH(QStringList, e);
        QFETCH(QString, visible);
        TMonitor m;
        LoginRow(m, "restrito", "u", "", "Supervisores");
        OldRight(m, "Supervisores", "fila", "VISUALIZAR"); // names match without case
        OldRight(m, "restrito", "Fila", "Full");           // another user's key: ignored
        for (const QString& v : r)
            OldValue(m, "Supervisores", "Fila", "Visualizar", v, "r");
        for (const QString& v : e)
            OldValue(m, "Supervisores", "Fila", "Visualizar", v, "E");
        OldValue(m, "Supervisores", "Fila", "Visualizar", "5", "X"); // unknown type: ignored
        QString seen;
        for (int q = 1; q <= 9; ++q)
            if (m.TemPermissaoFilaId(QString::number(q))) seen += QString::number(q);
        QCOMPARE(seen, visible);
    }

    void fullGrantsTheWholeGroup() {
        TMonitor m;
        LoginRow(m, "restrito", "u", "");
        OldRight(m, "restrito", "Fila", "Full");
        QVERIFY(m.TemPermissaoFilaId("99"));
        QVERIFY(!m.TemPermissaoRamal("2001"));
    }

    void valuesCompareExactly() {
        TMonitor m;
        LoginRow(m, "gerente", "u", "", {}, "17");
        NewRight(m, "Atendente", "Visualizar", {"Ana"});
        QVERIFY(m.TemPermissaoAtendenteCodigo("Ana"));
        QVERIFY(!m.TemPermissaoAtendenteCodigo("ana"));
    }

    void detailTakesAtMostNineValues() {
        TMonitor m;
        LoginRow(m, "gerente", "u", "", {}, "17");
        QStringList twelve;
        for (int i = 1; i <= 12; ++i)
            twelve << QString::number(100 + i);
        NewRight(m, "Ramal", "Visualizar", twelve);
        QVERIFY(m.TemPermissaoRamal("109"));
        QVERIFY(!m.TemPermissaoRamal("110"));
        // A first value that is empty adds none, even with later ones set.
        Feed(m, {"Event: ZXUserPermission", "Group: Tronco", "Permission: Visualizar"});
        Feed(m, {"Event: ZXUserPermissionDetail", "Group: Tronco", "Permission: Visualizar",
                 "Value1: ", "Value2: 8"});
        QVERIFY(m.TemPermissaoTronco("1", "x")); // no values: everything
    }

    // The same right expressed in each form; the check must pick the form's names.
    void formsUseTheirOwnNames_data() {
        QTest::addColumn<bool>("newForm");
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("check");
        QTest::addColumn<bool>("expected");
        QTest::newRow("new call centre") << true << "Monitorar Call Center"
                                         << "Visualizar"
                                         << "callcenter" << true;
        QTest::newRow("new, old name") << true << "Monitor"
                                       << "Visualizar"
                                       << "callcenter" << false;
        QTest::newRow("old call centre") << false << "Monitor"
                                         << "Visualizar"
                                         << "callcenter" << true;
        QTest::newRow("old, new name") << false << "Monitorar Call Center"
                                       << "Visualizar"
                                       << "callcenter" << false;
        QTest::newRow("new chat") << true << "Conversar Chat Interno"
                                  << "Visualizar"
                                  << "chat" << true;
        QTest::newRow("old chat") << false << "Chat"
                                  << "Conversar"
                                  << "chat" << true;
        QTest::newRow("new campaign") << true << "Campanha"
                                      << "Visualizar"
                                      << "campanha" << true;
        QTest::newRow("old campaign") << false << "Discador"
                                      << "Visualizar"
                                      << "campanha" << true;
        QTest::newRow("old, campaign group") << false << "Campanha"
                                             << "Visualizar"
                                             << "campanha" << false;
        QTest::newRow("new external chat") << true << "Monitorar Chat Externo"
                                           << "Visualizar"
                                           << "chatexterno" << true;
        QTest::newRow("new conversation") << true << "Monitorar Conversa Chat Externo"
                                          << "Visualizar"
                                          << "conversa" << true;
        QTest::newRow("old conversation") << false << "Fila"
                                          << "MonitorarConversaChat"
                                          << "conversa" << true;
        QTest::newRow("gerenciar without gate") << true << "Gerenciar Atendentes"
                                                << "Visualizar"
                                                << "gerenciar" << false;
    }
    void formsUseTheirOwnNames() {
        QFETCH(bool, newForm);
        QFETCH(QString, grupo);
        QFETCH(QString, nome);
        QFETCH(QString, check);
        QFETCH(bool, expected);
        TMonitor m;
        LoginRow(m, "x", "u", "", {}, newForm ? "5" : "");
        if (newForm)
            NewRight(m, grupo, nome);
        else
            OldRight(m, "x", grupo, nome);
        bool result = false;
        if (check == u"callcenter") result = m.TemPermissaoMonitorarCallCenter();
        if (check == u"chat") result = m.TemPermissaoChat();
        if (check == u"campanha") result = m.TemPermissaoCampanhaId("2");
        if (check == u"chatexterno") result = m.TemPermissaoMonitorarChatExterno();
        if (check == u"conversa") result = m.TemPermissaoMonitorarConversaChat("SIP/x");
        if (check == u"gerenciar") result = m.TemPermissaoGerenciarAtendentes();
        QCOMPARE(result, expected);
    }

    void gateOpensWithBitFour() {
        TMonitor m;
        LoginRow(m, "x", "u", "", {}, "5", "4");
        Feed(m,
             {"Event: ZXUserPermission", "Group: Gerenciar Atendentes", "Permission: Visualizar"});
        QVERIFY(!m.TemPermissaoMonitorarCallCenter());
        QVERIFY(m.PassaPortaoCallCenter());
        QVERIFY(m.TemPermissaoGerenciarAtendentes());
    }

    void trunkFormsUseIdOrName() {
        TMonitor a;
        LoginRow(a, "x", "u", "", {}, "5");
        NewRight(a, "Tronco", "Visualizar", {"3"});
        QVERIFY(a.TemPermissaoTronco("3", "E1 Centro"));
        QVERIFY(!a.TemPermissaoTronco("4", "3"));
        TMonitor b;
        LoginRow(b, "x", "u", "");
        OldRight(b, "x", "Tronco", "Visualizar");
        OldValue(b, "x", "Tronco", "Visualizar", "E1 Centro", "R");
        QVERIFY(b.TemPermissaoTronco("9", "E1 Centro"));
        QVERIFY(!b.TemPermissaoTronco("3", "SIP"));
    }

    void platformUsersList() {
        TMonitor m;
        auto row = [&](const QString& user, const QString& nome, const QString& tipo) {
            Feed(m, {"Event: ZXDBEvent", "ZXDBActionID: ZXDBUsuariosVesmara", "user: " + user,
                     "nome: " + nome, "tipo: " + tipo});
        };
        row("ana", "Ana Lima", "u");
        row("", "Ninguém", "u");
        row("bia", "", "");
        row("ana", "Ana Maria Lima", "u");
        QCOMPARE(m.UsuariosVesmara.Count(), 2);
        QCOMPARE(m.UsuariosVesmara.Procura("ana")->Nome, QStringLiteral("Ana Maria Lima"));
        QCOMPARE(m.UsuariosVesmara.Procura("bia")->NomeExibicao(), QStringLiteral("bia"));
        QVERIFY(m.UsuariosVesmara.Procura("ana", "u"));
        QVERIFY(!m.UsuariosVesmara.Procura("bia", "u"));
    }
};

QTEST_GUILESS_MAIN(TestUsersPermissions)
#include "test_users_permissions.moc"
