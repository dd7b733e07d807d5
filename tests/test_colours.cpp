// Colour schemes of the agents' states and the user's call-reason colours.
#include "settings/TCoresMotivos.h"
#include "settings/TEsquemaCores.h"
#include "settings/TIniFile.h"

#include <QTemporaryDir>
#include <QTest>

class TestColours : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file;

private Q_SLOTS:
    void init() {
        file = dir.path() + "/MonitorVesmaraX.ini";
        QFile::remove(file);
    }

    void noSettingsMeansDefaults() {
        const TEsquemaCores a = SchemeOfAgentsWindow(file, "TelaAtendentes");
        const TEsquemaCores q = SchemeOfQueueWindow(file, "TelaFila1");
        QCOMPARE(a.CorFundo(TClasseCor::Ocupado), CorRGB(255, 128, 0));
        QCOMPARE(a.CorFundo(TClasseCor::Livre), CorRGB(183, 247, 215));
        QCOMPARE(a.CorFundo(TClasseCor::EmPausa), CorRGB(255, 255, 185));
        QCOMPARE(a.CorFundo(TClasseCor::Indisponivel), CorRGB(207, 207, 207));
        QCOMPARE(a.CorFonte(TClasseCor::Livre), 0);
        QCOMPARE(q.Fundo, a.Fundo);
        QCOMPARE(q.Fonte, a.Fonte);
    }

    void roundTrip() {
        TEsquemaCores s = EsquemaPadrao();
        s.Cor = 2;
        s.CorTodasAsFilas = 1;
        s.CorFundo(TClasseCor::Livre) = CorRGB(1, 2, 3);
        s.CorFonte(TClasseCor::EmPausa) = CorRGB(9, 9, 9);
        WriteScheme(file, "TelaFila3", s);
        QCOMPARE(ReadScheme(file, "telafila3"), s);
        QCOMPARE(TIniFile(file).ReadInteger("TelaFila3", "CorEstadoLivre", 0), 0x030201);
    }

    void queueWindowScheme_data() {
        QTest::addColumn<int>("scope"); // CorTodasAsFilas in Preferencias
        QTest::addColumn<int>("sharedMode");
        QTest::addColumn<int>("ownMode");
        QTest::addColumn<QString>("uses"); // own, shared, agents, defaults
        QTest::newRow("own only while scope 1") << 1 << 2 << 2 << "own";
        QTest::newRow("scope 1, no own scheme") << 1 << 2 << 0 << "shared";
        QTest::newRow("scope 2 wins over own") << 2 << 2 << 2 << "shared";
        QTest::newRow("nothing shared: defaults") << 0 << 2 << 2 << "defaults";
        QTest::newRow("mode 3 takes the agents window's") << 2 << 3 << 0 << "agents";
        QTest::newRow("mode 1 is the defaults") << 2 << 1 << 0 << "defaults";
    }
    void queueWindowScheme() {
        QFETCH(int, scope);
        QFETCH(int, sharedMode);
        QFETCH(int, ownMode);
        QFETCH(QString, uses);
        TEsquemaCores shared = EsquemaPadrao(), own = EsquemaPadrao(), agents = EsquemaPadrao();
        shared.CorTodasAsFilas = scope;
        shared.Cor = sharedMode;
        shared.CorFundo(TClasseCor::Livre) = 0x111111;
        own.Cor = ownMode;
        own.CorFundo(TClasseCor::Livre) = 0x222222;
        agents.Cor = 2;
        agents.CorFundo(TClasseCor::Livre) = 0x333333;
        WriteScheme(file, "Preferencias", shared);
        if (ownMode) WriteScheme(file, "TelaFila7", own);
        WriteScheme(file, "TelaAtendentes", agents);
        const int livre = SchemeOfQueueWindow(file, "TelaFila7").CorFundo(TClasseCor::Livre);
        const int expected = uses == u"own"      ? 0x222222
                             : uses == u"shared" ? 0x111111
                             : uses == u"agents" ? 0x333333
                                                 : CorRGB(183, 247, 215);
        QCOMPARE(livre, expected);
    }

    void darkenAndLighten_data() {
        QTest::addColumn<int>("cor");
        QTest::addColumn<int>("darker");
        QTest::addColumn<int>("lighter");
        QTest::newRow("white") << CorRGB(255, 255, 255) << CorRGB(234, 234, 234)
                               << CorRGB(255, 255, 255);
        QTest::newRow("black") << CorRGB(0, 0, 0) << CorRGB(0, 0, 0) << CorRGB(64, 64, 64);
        QTest::newRow("grey") << CorRGB(128, 128, 128) << CorRGB(106, 106, 106)
                              << CorRGB(191, 191, 191);
        QTest::newRow("red") << CorRGB(255, 0, 0) << CorRGB(213, 0, 0) << CorRGB(255, 128, 128);
    }
    void darkenAndLighten() {
        QFETCH(int, cor);
        QFETCH(int, darker);
        QFETCH(int, lighter);
        QCOMPARE(Darken(cor), darker);
        QCOMPARE(Lighten(cor), lighter);
    }

    void reasonColours() {
        TCoresMotivos c;
        c.SetaCorMotivoChamada("Motivo", "Venda", 0x0000FF);
        c.SetaCorMotivoChamada("SubMotivo", "Cartão = crédito", 0x00FF00);
        c.SetaCorMotivoChamada("Outro", "x", 5);
        c.SetaCorMotivoChamada("Motivo", ";Reclamação ", 0x123456);
        QCOMPARE(c.LeCorMotivoChamada("Motivo", "Venda"), 0x0000FF);
        QCOMPARE(c.LeCorMotivoChamada("Outro", "x"), 0);
        c.SalvaCoresMotivoChamada(file);

        TCoresMotivos d;
        d.CarregaCoresMotivoChamada(file);
        QCOMPARE(d.LeCorMotivoChamada("Motivo", "Venda"), 0x0000FF);
        QCOMPARE(d.LeCorMotivoChamada("SubMotivo", "Cartão = crédito"), 0x00FF00);
        QCOMPARE(d.LeCorMotivoChamada("Motivo", ";Reclamação "), 0x123456);

        // A colour of 0 removes the entry; once both lists are empty there is nothing to restore.
        d.SetaCorMotivoChamada("Motivo", "Venda", 0);
        d.SetaCorMotivoChamada("Motivo", ";Reclamação ", 0);
        d.SetaCorMotivoChamada("SubMotivo", "Cartão = crédito", 0);
        QVERIFY(d.Vazio());
        d.SalvaCoresMotivoChamada(file);
        QVERIFY(!TIniFile(file).SectionExists("CoresMotivos"));
    }
};

QTEST_GUILESS_MAIN(TestColours)
#include "test_colours.moc"
