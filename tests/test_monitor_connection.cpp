// The connection's life: which changes of state are allowed, and where each thing that can
// happen to the connection leads from every state.
#include "monitor/TVidaConexao.h"

#include <QList>
#include <QTest>

Q_DECLARE_METATYPE(EstadoConexao)

namespace {

using E = EstadoConexao;
const QList<E> kTodos = {E::Inicial, E::Desconectado, E::Conectando, E::Perdida, E::Reconectando,
                         E::Logando, E::Carregando,   E::Conectado,  E::Fechando};

} // namespace

class TestMonitorConnection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every pair of states: the allowed changes are exactly these (staying put is always
    // allowed; closing the window is allowed from everywhere and ends everything).
    void transitionTable_data() {
        QTest::addColumn<EstadoConexao>("de");
        QTest::addColumn<EstadoConexao>("para");
        QTest::addColumn<bool>("permitida");
        const QList<QPair<E, E>> permitidas = {
            {E::Inicial, E::Conectando},      {E::Inicial, E::Desconectado},
            {E::Desconectado, E::Conectando}, {E::Conectando, E::Logando},
            {E::Conectando, E::Desconectado}, {E::Conectando, E::Perdida},
            {E::Perdida, E::Reconectando},    {E::Perdida, E::Desconectado},
            {E::Reconectando, E::Logando},    {E::Reconectando, E::Perdida},
            {E::Reconectando, E::Conectando}, {E::Reconectando, E::Desconectado},
            {E::Logando, E::Carregando},      {E::Logando, E::Desconectado},
            {E::Logando, E::Perdida},         {E::Carregando, E::Conectado},
            {E::Carregando, E::Desconectado}, {E::Carregando, E::Perdida},
            {E::Conectado, E::Carregando},    {E::Conectado, E::Desconectado},
            {E::Conectado, E::Perdida},
        };
        for (E de : kTodos) {
            for (E para : kTodos) {
                const bool ok = de == para || (para == E::Fechando && de != E::Fechando) ||
                                permitidas.contains({de, para});
                QTest::addRow("%s->%s", NomeEstado(de), NomeEstado(para)) << de << para << ok;
            }
        }
    }
    void transitionTable() {
        QFETCH(EstadoConexao, de);
        QFETCH(EstadoConexao, para);
        QFETCH(bool, permitida);
        QCOMPARE(TVidaConexao::Permitida(de, para), permitida);
        TVidaConexao vida(de);
        QCOMPARE(vida.Muda(para), permitida);
        // A refused change leaves the state as it was.
        QCOMPARE(vida.Estado(), permitida ? para : de);
    }

    // What happens to the connection, from every state: where it leads, and whether a loss
    // offers the reconnection.
    void events_data() {
        QTest::addColumn<QString>("evento");
        QTest::addColumn<EstadoConexao>("de");
        QTest::addColumn<EstadoConexao>("esperado");
        QTest::addColumn<bool>("resultado");
        struct Caso {
            const char* evento;
            E de, esperado;
            bool resultado;
        };
        const Caso casos[] = {
            // A connect attempt: a reconnection after a loss, refused over an open connection
            // and while the window closes.
            {"Conecta", E::Inicial, E::Conectando, true},
            {"Conecta", E::Desconectado, E::Conectando, true},
            {"Conecta", E::Conectando, E::Conectando, true},
            {"Conecta", E::Perdida, E::Reconectando, true},
            {"Conecta", E::Reconectando, E::Reconectando, true},
            {"Conecta", E::Logando, E::Logando, false},
            {"Conecta", E::Conectado, E::Conectado, false},
            {"Conecta", E::Fechando, E::Fechando, false},
            // A failed attempt goes back to where it started; nothing else moves.
            {"Falhou", E::Conectando, E::Desconectado, false},
            {"Falhou", E::Reconectando, E::Perdida, false},
            {"Falhou", E::Perdida, E::Perdida, false},
            {"Falhou", E::Conectado, E::Conectado, false},
            {"Falhou", E::Desconectado, E::Desconectado, false},
            // A disconnect notice offers a reconnection only when this side did not close.
            {"Caiu", E::Conectando, E::Perdida, true},
            {"Caiu", E::Reconectando, E::Perdida, true},
            {"Caiu", E::Logando, E::Perdida, true},
            {"Caiu", E::Carregando, E::Perdida, true},
            {"Caiu", E::Conectado, E::Perdida, true},
            {"Caiu", E::Desconectado, E::Desconectado, false},
            {"Caiu", E::Inicial, E::Inicial, false},
            {"Caiu", E::Perdida, E::Perdida, false},
            {"Caiu", E::Fechando, E::Fechando, false},
            // "Conectar ao Vesmara..." gives the offered reconnection up.
            {"CancelaReconexao", E::Perdida, E::Desconectado, false},
            {"CancelaReconexao", E::Reconectando, E::Conectando, false},
            {"CancelaReconexao", E::Inicial, E::Desconectado, false},
            {"CancelaReconexao", E::Conectado, E::Conectado, false},
            {"CancelaReconexao", E::Fechando, E::Fechando, false},
        };
        for (const Caso& c : casos)
            QTest::addRow("%s from %s", c.evento, NomeEstado(c.de))
                << QString::fromLatin1(c.evento) << c.de << c.esperado << c.resultado;
    }
    void events() {
        QFETCH(QString, evento);
        QFETCH(EstadoConexao, de);
        QFETCH(EstadoConexao, esperado);
        QFETCH(bool, resultado);
        TVidaConexao vida(de);
        bool r = false;
        if (evento == u"Conecta")
            r = vida.Conecta();
        else if (evento == u"Falhou")
            vida.Falhou();
        else if (evento == u"Caiu")
            r = vida.Caiu();
        else
            vida.CancelaReconexao();
        QCOMPARE(r, resultado);
        QCOMPARE(NomeEstado(vida.Estado()), NomeEstado(esperado));
    }

    // The login timer's reason is used once: the next firing is a normal one.
    void loginReasonIsTakenOnce() {
        TVidaConexao vida;
        vida.PedeLogin(MotivoLogin::UsuarioRecusado);
        QCOMPARE(vida.TomaMotivoLogin(), MotivoLogin::UsuarioRecusado);
        QCOMPARE(vida.TomaMotivoLogin(), MotivoLogin::Normal);
    }
};

QTEST_GUILESS_MAIN(TestMonitorConnection)
#include "test_monitor_connection.moc"
