// The queues summary: column orders from hostile settings always make a permutation, panels
// share the height and scroll rather than shrink, hiding and showing never lose the last panel
// nor offer a queue of the other kind, the call-reason charts drill down per panel and keep
// their level, custom screens survive any name and a second in common, and, against the
// simulator, each demo user's summary rows and the reopening after a reconnection.
#include "app/TfrmMain.h"
#include "model/callcentre/TMotivoChamada.h"
#include "monitor/TMonitor.h"
#include "settings/TCfgTelaFilas.h"
#include "settings/TIniFile.h"
#include "settings/TSecaoTela.h"
#include "sim/TPbxServer.h"
#include "support/TCentral.h"
#include "ui/dialogs/TfrmPersonalizarResumoFilas.h"
#include "ui/widgets/TFatiasPizza.h"
#include "ui/widgets/TGraficoPizza.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TfrmFilas.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using Posicoes = QList<int>;

class TestUiSummary : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    QTemporaryDir dir;

    QString Arquivo() const { return dir.path() + "/MonitorVesmara.ini"; }
    std::unique_ptr<TfrmFilas> Abre(const QString& nome = "Filas", bool chat = false) {
        auto j = std::make_unique<TfrmFilas>(m->monitor.get());
        j->DefineTipo(chat);
        j->setObjectName(nome);
        if (nome.contains(u'_')) j->IdTela = nome.section(u'_', 1);
        j->LeVariaveis();
        j->MotivosDisponiveis = m->monitor->CallReasonsCounted;
        j->Preenche();
        return j;
    }
    static QStringList Ids(TfrmFilas* j) {
        QStringList ids;
        for (int i = 0; i < j->Paineis().Count(); ++i)
            ids << j->Paineis().Item(i)->Fila()->FilaId();
        return ids;
    }
    static QStringList Fatias(TGraficoPizza* g) {
        QStringList out;
        for (const TFatia& f : g->Desenhadas())
            out << f.Nome + '=' + QString::number(f.Valor);
        return out;
    }
    static bool EhPermutacao(const std::array<int, 5>& p) {
        std::array<bool, 5> visto{};
        for (int v : p) {
            if (v < 0 || v > 4 || visto[size_t(v)]) return false;
            visto[size_t(v)] = true;
        }
        return true;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir.isValid());
        QFile::remove(Arquivo());
        m = std::make_unique<TCentral>();
        m->monitor->UserDir = dir.path() + u'/';
        m->Fila("1", "Atendimento Geral");
        m->Fila("2", "Suporte");
        m->Fila("3", "Financeiro");
        m->Fila("7", "Chat Site", "c");
    }
    void cleanup() { m.reset(); }

    // --- Columns ---------------------------------------------------------------------------

    void columnOrderFromTheFile_data() {
        QTest::addColumn<QStringList>("lidas"); // the five "Col...P" values as written
        QTest::addColumn<Posicoes>("esperadas");
        QTest::newRow("none") << QStringList() << Posicoes{0, 1, 2, 3, 4};
        QTest::newRow("reversed") << QStringList{"4", "3", "2", "1", "0"}
                                  << Posicoes{4, 3, 2, 1, 0};
        QTest::newRow("all equal")
            << QStringList{"0", "0", "0", "0", "0"} << Posicoes{0, 1, 2, 3, 4};
        QTest::newRow("pairs") << QStringList{"2", "2", "0", "0", "4"} << Posicoes{2, 1, 0, 3, 4};
        QTest::newRow("out of range")
            << QStringList{"9", "-1", "1", "7", "0"} << Posicoes{2, 3, 1, 4, 0};
        QTest::newRow("not numbers")
            << QStringList{"x", "", "2a", "0x3", "4"} << Posicoes{0, 1, 2, 3, 4};
        QTest::newRow("huge") << QStringList{"99999999999", "4", "4", "3", "-2147483648"}
                              << Posicoes{0, 4, 1, 3, 2};
        QTest::newRow("missing one") << QStringList{"1", "2", "3", "4"} << Posicoes{1, 2, 3, 4, 0};
    }
    void columnOrderFromTheFile() {
        QFETCH(QStringList, lidas);
        QFETCH(Posicoes, esperadas);
        const char* chaves[] = {"ColHistoricoP", "ColChAtivasP", "ColAtendentesP", "ColChamadasP",
                                "ColMotivosChP"};
        TIniFile ini(Arquivo());
        for (int c = 0; c < lidas.size(); ++c)
            ini.WriteString("TelaFilas", chaves[c], lidas[c]);
        auto j = Abre();
        QVERIFY(EhPermutacao(j->Posicoes()));
        QCOMPARE(Posicoes(j->Posicoes().begin(), j->Posicoes().end()), esperadas);
        // Every panel shows its sections in that order.
        for (int i = 0; i < j->Paineis().Count(); ++i)
            for (int c = 0; c < 5; ++c)
                QCOMPARE(j->Paineis().Item(i)->SectionAt(esperadas[c]), c);
        // Written back, the order reads the same.
        j->SalvaCfgForm();
        auto k = Abre();
        QCOMPARE(Posicoes(k->Posicoes().begin(), k->Posicoes().end()), esperadas);
    }

    // --- Layout ----------------------------------------------------------------------------

    void heightShares_data() {
        QTest::addColumn<int>("cliente");
        QTest::addColumn<int>("fixo");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("altura");
        QTest::newRow("four panels") << 600 << 200 << 4 << 100;
        QTest::newRow("ten panels: minimum") << 600 << 200 << 10 << 90;
        QTest::newRow("one panel: maximum") << 600 << 50 << 1 << 300;
        QTest::newRow("no room at all") << 100 << 5000 << 500 << 90;
    }
    void heightShares() {
        QFETCH(int, cliente);
        QFETCH(int, fixo);
        QFETCH(int, n);
        QFETCH(int, altura);
        QCOMPARE(TListPanelFila::AlturaRedimensionavel(cliente, fixo, n), altura);
    }

    void manyQueuesScrollInsteadOfShrinking() {
        for (int i = 10; i < 70; ++i)
            m->Fila(QString::number(i), "Fila " + QString::number(i));
        auto j = Abre();
        j->resize(835, 480);
        j->show();
        QVERIFY(QTest::qWaitForWindowExposed(j.get()));
        QCOMPARE(j->Paineis().Count(), 63);
        for (int i = 0; i < j->Paineis().Count(); ++i)
            QCOMPARE(j->Paineis().Item(i)->height(),
                     TListPanelFila::kFixo + TListPanelFila::kMinimo);
        auto* rolagem = j->findChild<QScrollArea*>();
        QTRY_VERIFY(rolagem->verticalScrollBar()->maximum() > 0);
        // Too narrow for the five columns: it scrolls sideways too, every column whole.
        QTRY_VERIFY(rolagem->horizontalScrollBar()->maximum() > 0);
        const TPanelFila* primeiro = j->Paineis().Item(0);
        QVERIFY(primeiro->width() >= primeiro->LarguraNecessaria());
        QVERIFY(primeiro->AreaSecao(TPanelFila::Motivos).right() < primeiro->width());
        // Three panels fill a tall window to the maximum, never beyond.
        auto k = std::make_unique<TfrmFilas>(m->monitor.get());
        k->setObjectName("Filas_1");
        k->FilasOcultas = QStringList{};
        for (int i = 10; i < 70; ++i)
            k->FilasOcultas << QString::number(i);
        k->resize(835, 2000);
        k->Preenche();
        k->show();
        QVERIFY(QTest::qWaitForWindowExposed(k.get()));
        QCOMPARE(Ids(k.get()), (QStringList{"1", "2", "3"}));
        QTRY_COMPARE(k->Paineis().Item(0)->height(),
                     TListPanelFila::kFixo + TListPanelFila::kMaximo);
    }

    // --- Queues shown ----------------------------------------------------------------------

    void kindsAndHiding() {
        auto voz = Abre();
        QCOMPARE(Ids(voz.get()), (QStringList{"1", "2", "3"}));
        auto chat = Abre("FilasChat", true);
        QCOMPARE(Ids(chat.get()), QStringList{"7"});
        // The last panel cannot be hidden.
        QVERIFY(!chat->OcultaFila("7"));
        QVERIFY(voz->OcultaFila("2"));
        QVERIFY(voz->OcultaFila("1"));
        QVERIFY(!voz->OcultaFila("3"));
        QCOMPARE(Ids(voz.get()), QStringList{"3"});
        // "Mostrar" offers the hidden queues of the kind only.
        QStringList semPainel;
        for (const TFila* f : voz->FilasSemPainel())
            semPainel << f->FilaId();
        QCOMPARE(semPainel, (QStringList{"1", "2"}));
        QVERIFY(!voz->MostraFila("7"));
        QVERIFY(voz->MostraFila("1"));
        QVERIFY(!voz->MostraFila("1"));
        QCOMPARE(Ids(voz.get()), (QStringList{"3", "1"}));
        // A notice reaches the panel of its queue.
        m->F("1")->Completed = 17;
        m->monitor->Avisos().Fila.Emite(m->F("1"));
        QCOMPARE(voz->Paineis().ProcuraPorNome("1")->Completed(), 17);
        voz->SalvaCfgForm();
        QCOMPARE(TIniFile(Arquivo()).ReadString("TelaFilas", "OcultarFilas"), QStringLiteral("2"));
    }

    void hiddenQueuesThatAreGone() {
        // Every shown queue of a stored layout is gone: the rest shows, nothing is lost.
        TIniFile(Arquivo()).WriteString("TelaFilas_20250101120000", "OcultarFilas",
                                        "1,2,3,99,,abc");
        auto j = Abre("Filas_20250101120000");
        QCOMPARE(Ids(j.get()), (QStringList{"1", "2", "3"}));
        TIniFile(Arquivo()).WriteString("TelaFilas_20250101120001", "OcultarFilas", "1,99");
        auto k = Abre("Filas_20250101120001");
        QCOMPARE(Ids(k.get()), (QStringList{"2", "3"}));
    }

    void hugeHiddenListFromTheFile() {
        // A file's list far beyond any call centre is read up to a bound, duplicates once.
        QStringList ocultas;
        for (int i = 0; i < 60000; ++i)
            ocultas << QString::number(i % 3 == 0 ? 1 : 100 + i);
        TIniFile(Arquivo()).WriteString("TelaFilas", "OcultarFilas", ocultas.join(','));
        auto j = Abre();
        QCOMPARE(j->FilasOcultas.size(), TCfgTelaFilas::kMaxOcultas);
        QCOMPARE(j->FilasOcultas.count("1"), 1);
        QCOMPARE(Ids(j.get()), (QStringList{"2", "3"}));
    }

    // --- Call-reason charts ----------------------------------------------------------------

    void chartLevels_data() {
        QTest::addColumn<QStringList>("cliques"); // "item:NAME", "voltar", "fatias:N"
        QTest::addColumn<int>("nivel");
        QTest::addColumn<QStringList>("fatias");
        const QStringList resumo{"Motivadas=4", "Não motivadas=6"};
        const QStringList motivos{"Venda=2", "Dúvida=1", "Reclamação=1"};
        QTest::newRow("summary") << QStringList{} << 0 << resumo;
        QTest::newRow("not reasoned is no door")
            << QStringList{"item:Não motivadas"} << 0 << resumo;
        QTest::newRow("reasons") << QStringList{"item:Motivadas"} << 1 << motivos;
        QTest::newRow("sub-reasons") << QStringList{"item:Motivadas", "item:Venda"} << 2
                                     << QStringList{"Plano=1", "Aparelho=1"};
        QTest::newRow("a reason without sub-reasons stays")
            << QStringList{"item:Motivadas", "item:Dúvida"} << 1 << motivos;
        QTest::newRow("back twice")
            << QStringList{"item:Motivadas", "item:Venda", "voltar", "voltar", "voltar"} << 0
            << resumo;
        QTest::newRow("two slices fold the rest") << QStringList{"item:Motivadas", "fatias:2"} << 1
                                                  << QStringList{"Venda=2", "Outros motivos=2"};
    }
    void chartLevels() {
        QFETCH(QStringList, cliques);
        QFETCH(int, nivel);
        QFETCH(QStringList, fatias);
        m->monitor->CallReasonsCounted = true;
        TFila* f = m->F("2");
        f->Completed = 10;
        f->CallReasons.Define("Venda", 2);
        f->CallReasons.Define("Dúvida", 1);
        f->CallReasons.Define("Reclamação", 1);
        f->CallReasons.DefineSub("Venda", "Plano", 1);
        f->CallReasons.DefineSub("Venda", "Aparelho", 1);
        auto j = Abre();
        TPanelFila* p = j->Paineis().ProcuraPorNome("2");
        TPanelFila* outro = j->Paineis().ProcuraPorNome("1");
        for (const QString& c : cliques) {
            if (c == "voltar")
                Q_EMIT p->Grafico()->Voltar();
            else if (c.startsWith("fatias:"))
                j->SetFatias(p, c.mid(7).toInt());
            else
                Q_EMIT p->Grafico()->ClicaItem(c.mid(5));
        }
        QCOMPARE(j->CfgGrafico("2").Nivel, nivel);
        QCOMPARE(Fatias(p->Grafico()), fatias);
        QCOMPARE(p->Grafico()->VoltarVisivel(), nivel > 0);
        // The other queue's chart is left alone.
        QCOMPARE(j->CfgGrafico("1").Nivel, 0);
        QCOMPARE(outro->Grafico()->Titulo(), QStringLiteral("Motivos"));
        // The level comes back with the window.
        j->SalvaCfgForm();
        auto k = Abre();
        QCOMPARE(k->CfgGrafico("2").Nivel, nivel);
        QCOMPARE(Fatias(k->Paineis().ProcuraPorNome("2")->Grafico()), fatias);
    }

    void notReasonedNeverNegative() {
        m->monitor->CallReasonsCounted = true;
        TFila* f = m->F("1");
        f->Completed = 10;
        f->CallReasons.Define("Venda", 12);
        auto j = Abre();
        QCOMPARE(Fatias(j->Paineis().ProcuraPorNome("1")->Grafico()),
                 (QStringList{"Motivadas=12", "Não motivadas=0"}));
    }

    void chartKeysOfOddQueueIds() {
        // A queue id the key syntax cannot hold must not cost the rest of the settings.
        m->Fila("a=b", "Estranha");
        m->monitor->CallReasonsCounted = true;
        auto j = Abre();
        QVERIFY(j->Paineis().ProcuraPorNome("a=b"));
        j->SetFatias(j->Paineis().ProcuraPorNome("a=b"), 3);
        j->SetFatias(j->Paineis().ProcuraPorNome("1"), 4);
        j->SalvaCfgForm();
        QCOMPARE(TIniFile(Arquivo()).ReadInteger("TelaFilas", "FatiasFila1", 0), 4);
        QCOMPARE(TIniFile(Arquivo()).ReadInteger("TelaFilas", "Height", 0), j->height());
    }

    // --- Custom screens --------------------------------------------------------------------

    void customScreenNames_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("lido");
        QTest::newRow("accents and spaces") << "Vendas São Paulo"
                                            << "Vendas São Paulo";
        QTest::newRow("path") << "../../etc/passwd"
                              << "../../etc/passwd";
        QTest::newRow("brackets") << "[Tela] a]b"
                                  << "[Tela] a]b";
        QTest::newRow("key syntax") << "x=y;z"
                                    << "x=y;z";
        QTest::newRow("outer blanks") << "  Turno B  "
                                      << "Turno B";
        QTest::newRow("line break") << "linha\r\n[Preferencias]"
                                    << "linha  [Preferencias]";
        QTest::newRow("quotes") << "\"Noite\""
                                << "\"Noite\"";
        QTest::newRow("device names") << "C:\\CON\\nul*?<>|"
                                      << "C:\\CON\\nul*?<>|";
        QTest::newRow("accelerator") << "P&D"
                                     << "P&D";
    }
    void customScreenNames() {
        QFETCH(QString, nome);
        QFETCH(QString, lido);
        TIniFile(Arquivo()).WriteString("Preferencias", "Sentinela", "fica");
        const QStringList antes = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        auto j = Abre();
        QSignalSpy alterada(j.get(), &TfrmFilas::PersonalizacaoAlterada);
        QVERIFY(j->AplicaPersonalizacao(nome, {3, 0}, {1, 2, 4}, {"1", "3"}, {"2"},
                                        QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))));
        QCOMPARE(alterada.count(), 1);
        QCOMPARE(alterada.at(0).at(0).toString(), QStringLiteral("Filas"));
        QCOMPARE(j->objectName(), QStringLiteral("Filas_20260304050607"));
        QCOMPARE(j->windowTitle(), "Filas - " + nome.trimmed());
        QCOMPARE(Ids(j.get()), (QStringList{"1", "3"}));
        j->close();
        // No other file, the rest of the file untouched, and the screen listed by its name.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), antes);
        QCOMPARE(TIniFile(Arquivo()).ReadString("Preferencias", "Sentinela"),
                 QStringLiteral("fica"));
        const QList<TTelaPersonalizada> telas = TelasPersonalizadas(Arquivo(), "Filas");
        QCOMPARE(telas.size(), 1);
        QCOMPARE(telas[0].Id, QStringLiteral("20260304050607"));
        QCOMPARE(telas[0].Nome, lido);
        QVERIFY(TelasPersonalizadas(Arquivo(), "FilasChat").isEmpty());
        auto k = Abre("Filas_20260304050607");
        QCOMPARE(k->NomeTela, lido);
        QCOMPARE(Ids(k.get()), (QStringList{"1", "3"}));
        QCOMPARE(OrdemColunas(k->Posicoes())[0], 3);
        QCOMPARE(OrdemColunas(k->Posicoes())[1], 0);
        QCOMPARE(k->Visiveis(), (std::array<bool, 5>{true, false, false, true, false}));
        k->RemovePersonalizacao();
        QVERIFY(TelasPersonalizadas(Arquivo(), "Filas").isEmpty());
        QVERIFY(!TIniFile(Arquivo()).SectionExists("TelaFilas_20260304050607"));
    }

    void customScreensInTheSameSecond() {
        const QDateTime agora(QDate(2026, 3, 4), QTime(5, 6, 7));
        auto a = Abre();
        QVERIFY(a->AplicaPersonalizacao("Manhã", {0, 1, 2, 3, 4}, {}, {"1"}, {"2", "3"}, agora));
        auto b = Abre();
        QVERIFY(b->AplicaPersonalizacao("Tarde", {0, 1, 2, 3, 4}, {}, {"2"}, {"1", "3"}, agora));
        QVERIFY(a->objectName() != b->objectName());
        QStringList nomes;
        for (const TTelaPersonalizada& t : TelasPersonalizadas(Arquivo(), "Filas"))
            nomes << t.Nome;
        QCOMPARE(nomes, (QStringList{"Manhã", "Tarde"}));
        // Names compare without letter case, the screen's own excepted.
        QVERIFY(NomeTelaEmUso(Arquivo(), "Filas", "manhã", b->IdTela));
        QVERIFY(!NomeTelaEmUso(Arquivo(), "Filas", "MANHÃ", a->IdTela));
        QVERIFY(!NomeTelaEmUso(Arquivo(), "FilasChat", "Manhã", QString()));
        // An empty name is refused and changes nothing.
        QVERIFY(!a->AplicaPersonalizacao("   ", {0}, {}, {}, {}, agora));
        QCOMPARE(a->NomeTela, QStringLiteral("Manhã"));
    }

    void idsThatAreNotOurs_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valido");
        QTest::newRow("moment") << "20260304050607" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("path") << "../x" << false;
        QTest::newRow("letters") << "2026abc" << false;
        QTest::newRow("too long") << QString(40, u'1') << false;
    }
    void idsThatAreNotOurs() {
        QFETCH(QString, id);
        QFETCH(bool, valido);
        QCOMPARE(IdTelaValido(id), valido);
    }

    void dialogChecksAndMoves() {
        TfrmPersonalizarResumoFilas d("Filas");
        QCOMPARE(d.windowTitle(), QStringLiteral("Personalizar tela de Resumo de Filas"));
        d.Carrega("", {4, 3, 2, 1, 0}, {true, false, true, true, true},
                  {{"1", "Fila 1"}, {"2", "Fila 2"}}, {{"3", "Fila 3"}});
        d.SetNomesEmUso({"Vendas"});
        QCOMPARE(d.Erro(), QStringLiteral("O nome da janela deve ser informado."));
        d.EdNomeJanela()->setText("vendas");
        QCOMPARE(d.Erro(), QStringLiteral("Já existe uma janela com este nome."));
        d.EdNomeJanela()->setText("Vendas 2");
        QVERIFY(d.Erro().isEmpty());
        QCOMPARE(d.ColunasVisiveis(), (QList<int>{4, 3, 2, 0}));
        QCOMPARE(d.ColunasOcultas(), QList<int>{1});
        // Nothing selected: nothing can move.
        for (const char* b : {"ColunaDireita", "ColunaEsquerda", "ColunaSobe", "ColunaDesce"})
            QVERIFY(!d.Botao(b)->isEnabled());
        QTreeWidget* vis = d.ListaColunas(true);
        vis->setCurrentItem(vis->topLevelItem(0));
        QVERIFY(!d.Botao("ColunaSobe")->isEnabled());
        QVERIFY(d.Botao("ColunaDesce")->isEnabled());
        d.Botao("ColunaDesce")->click();
        QCOMPARE(d.ColunasVisiveis(), (QList<int>{3, 4, 2, 0}));
        d.Botao("ColunaEsquerda")->click();
        QCOMPARE(d.ColunasVisiveis(), (QList<int>{3, 2, 0}));
        QCOMPARE(d.ColunasOcultas(), (QList<int>{1, 4}));
        QTreeWidget* ocultas = d.ListaFilas(false);
        ocultas->setCurrentItem(ocultas->topLevelItem(0));
        d.Botao("FilaDireita")->click();
        QCOMPARE(d.FilasVisiveis(), (QStringList{"1", "2", "3"}));
        QVERIFY(d.FilasOcultas().isEmpty());
        QVERIFY(!d.Botao("FilaDireita")->isEnabled());
    }
};

// The summary in the program against the simulator, one simulator for the class.
class TestE2eSummary : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<TPbxServer> server;
    TSimOptions options;

    void Perfil(const QString& usuario) {
        TIniFile(dir.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(dir.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server->managerPort());
        profile.WriteString("Conexao", "Usuario", usuario);
        profile.WriteString("Conexao", "Senha", usuario);
        profile.WriteBool("Conexao", "SalvarSenha", true);
    }
    static QMenu* Submenu(QMenu* menu, const QString& objectName) {
        for (QAction* a : menu->actions())
            if (a->menu() && a->menu()->objectName() == objectName) return a->menu();
        return nullptr;
    }
    static QAction* Entrada(QMenu* menu, const QString& texto) {
        for (QAction* a : menu ? menu->actions() : QList<QAction*>{})
            if (a->text() == texto) return a;
        return nullptr;
    }
    static QStringList Ids(TfrmFilas* j) {
        QStringList ids;
        for (int i = 0; j && i < j->Paineis().Count(); ++i)
            ids << j->Paineis().Item(i)->Fila()->FilaId();
        return ids;
    }

private Q_SLOTS:
    void initTestCase() {
        server = std::make_unique<TPbxServer>();
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server->start(options));
    }
    void cleanupTestCase() { server.reset(); }

    void rowsPerUser_data() {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QStringList>("voz");
        QTest::addColumn<QStringList>("chat");
        QTest::newRow("demo") << "demo" << QStringList{"1", "2", "3", "4"} << QStringList{"5"};
        QTest::newRow("restrito") << "restrito" << QStringList{"1", "2"} << QStringList{};
        QTest::newRow("gerente") << "gerente" << QStringList{"1", "3", "4"} << QStringList{"5"};
    }
    void rowsPerUser() {
        QFETCH(QString, usuario);
        QFETCH(QStringList, voz);
        QFETCH(QStringList, chat);
        QFile::remove(dir.path() + "/MonitorVesmaraSim.ini");
        Perfil(usuario);
        TfrmMain main(dir.path() + u'/');
        main.Monitor()->PortaChat = server->chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        QMenu* filas = Submenu(main.MenuExibir(), "MenuExibirFilasCallCenter");
        QVERIFY(filas);
        QAction* todas = Entrada(filas, "Todas (resumo)");
        QVERIFY(todas);
        QVERIFY(Submenu(filas, "ExibirResumoFilasPersonalizado"));
        todas->trigger();
        TfrmFilas* w = main.ProcuraTelaFilas("Filas");
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Filas"));
        QCOMPARE(Ids(w), voz);
        // "Mostrar" never offers a queue the user may not see.
        QVERIFY(w->OcultaFila(voz.first()));
        QStringList sem;
        for (const TFila* f : w->FilasSemPainel())
            sem << f->FilaId();
        QCOMPARE(sem, QStringList{voz.first()});
        QVERIFY(w->MostraFila(voz.first()));
        TfrmFilas* c = main.CriaTelaFilasChat(QString(), QString());
        QVERIFY(c);
        QCOMPARE(c->windowTitle(), QStringLiteral("Filas Chat"));
        QCOMPARE(Ids(c), chat);
        // Every panel reads out its queue.
        for (int i = 0; i < w->Paineis().Count(); ++i)
            QTRY_VERIFY(w->Paineis().Item(i)->accessibleName().startsWith("Fila: "));
        main.close();
    }

    void customScreenReopensAfterReconnection() {
        QFile::remove(dir.path() + "/MonitorVesmaraSim.ini");
        Perfil("demo");
        const quint16 port = server->managerPort();
        TfrmMain main(dir.path() + u'/');
        main.Monitor()->PortaChat = server->chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        TfrmFilas* w = main.CriaTelaFilas(QString(), QString());
        QVERIFY(w);
        QVERIFY(w->AplicaPersonalizacao("Retenção & Suporte", {4, 0}, {1, 2, 3}, {"2", "4"},
                                        {"1", "3"}));
        const QString nome = w->objectName();
        QMenu* personalizado =
            main.MenuExibir()->findChild<QMenu*>("ExibirResumoFilasPersonalizado");
        QVERIFY(personalizado);
        QCOMPARE(personalizado->actions().size(), 1);
        QCOMPARE(personalizado->actions()[0]->text(), QStringLiteral("Retenção && Suporte"));
        QCOMPARE(main.CriaTelaFilas(QString(), QString())->objectName(), QStringLiteral("Filas"));

        server->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!main.ProcuraTelaFilas(nome), 10000);
        server = std::make_unique<TPbxServer>();
        options.port = port;
        QVERIFY(server->start(options));
        main.Monitor()->PortaChat = server->chatPort();
        main.Monitor()->ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(20000));
        TfrmFilas* again = main.ProcuraTelaFilas(nome);
        QVERIFY(again);
        QCOMPARE(again->windowTitle(), QStringLiteral("Filas - Retenção & Suporte"));
        QCOMPARE(Ids(again), (QStringList{"2", "4"}));
        QCOMPARE(again->Paineis().Item(0)->SectionAt(0), 4);
        QVERIFY(main.ProcuraTelaFilas("Filas"));
        // Opening the screen from its entry brings the same window forward.
        personalizado = main.MenuExibir()->findChild<QMenu*>("ExibirResumoFilasPersonalizado");
        QVERIFY(personalizado && personalizado->actions().size() == 1);
        personalizado->actions()[0]->trigger();
        QCOMPARE(main.ProcuraTelaFilas(nome), again);
        again->RemovePersonalizacao();
        QTRY_VERIFY(!main.ProcuraTelaFilas(nome));
        QVERIFY(main.MenuExibir()
                    ->findChild<QMenu*>("ExibirResumoFilasPersonalizado")
                    ->actions()
                    .isEmpty());
        main.close();
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        TestUiSummary t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestE2eSummary t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "test_ui_summary.moc"
