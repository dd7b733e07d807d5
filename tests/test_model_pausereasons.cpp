// Pause reasons: texts, rows, and a list that survives reconnections without doubling.
#include "support/TPacotes.h"

#include <QTest>

namespace {
QString Motivo(const QString& id, const QString& nome, const QString& produtivo) {
    return Linha("ZXDBListaMotivosPausa",
                 {"MotivoPausaId: " + id, "Nome: " + nome, "Produtivo: " + produtivo});
}
} // namespace

class TestModelPauseReasons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reasonText_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("automatic") << 0 << "Auto pausa - Chamada não atendida";
        QTest::newRow("negative") << -3 << "Auto pausa - Chamada não atendida";
        QTest::newRow("productive") << 1 << "P - Almoço";
        QTest::newRow("unproductive without name") << 2 << "I";
        QTest::newRow("unknown") << 9 << "";
    }
    void reasonText() {
        QFETCH(int, id);
        QFETCH(QString, text);
        TListaMotivosPausa lista;
        lista.AdicionaOuAtualiza(1, "Almoço", true);
        lista.AdicionaOuAtualiza(2, "", false);
        QCOMPARE(lista.ReasonText(id), text);
    }

    void rowsAndReconnection() {
        TMonitorAlimentado m;
        TListaMotivosPausa& lista = m.monitor->MotivosPausa;
        auto carga = [&m] {
            m.Feed(Motivo("1", "Almoço", "0"));
            m.Feed(Motivo("0", "Zero", "0"));  // ignored
            m.Feed(Motivo("x", "Letra", "0")); // ignored, logged
            m.Feed(Motivo("3", "Treinamento", "1"));
            m.Feed(Motivo("4", "Reunião", "sim")); // ignored, logged
            m.Feed(Motivo("5", "Sem flag", ""));
        };
        carga();
        QCOMPARE(lista.Count(), 3);
        QCOMPARE(lista.ReasonText(3), QStringLiteral("P - Treinamento"));
        QCOMPARE(lista.ReasonText(5), QStringLiteral("I - Sem flag"));
        QVERIFY(m.ui->log.contains("MotivoPausa ignorado: MotivoPausaId inválido (x)"));
        QVERIFY(m.ui->log.contains("MotivoPausa 4 ignorado: Produtivo inválido (sim)"));
        QVERIFY(m.ui->erros.isEmpty());

        // A second row of an id renames in place; a teardown keeps the list; the next load
        // does not double it.
        m.Feed(Motivo("1", "Almoço longo", "1"));
        QCOMPARE(lista.Count(), 3);
        QCOMPARE(lista.Item(0)->Nome, QStringLiteral("Almoço longo"));
        QVERIFY(lista.Item(0)->Produtivo);
        m.monitor->EncerraConexao();
        QCOMPARE(lista.Count(), 3);
        carga();
        QCOMPARE(lista.Count(), 3);
        QCOMPARE(lista.Item(0)->Nome, QStringLiteral("Almoço"));
        QCOMPARE(lista.Item(3), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestModelPauseReasons)
#include "test_model_pausereasons.moc"
