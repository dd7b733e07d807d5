// The queue window and its parts at a pinned clock: the pie chart's slices (folding, whole
// degrees and percentages adding up exactly, zero totals), the summary panel's bars, texts,
// history by the wall-clock second and five-minute scales, and the window's member and call
// lists, sections, call-reason levels and the notices it takes.
#include "model/callcentre/TMotivoChamada.h"
#include "settings/TIniFile.h"
#include "support/TCentral.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TFatiasPizza.h"
#include "ui/widgets/TGraficoPizza.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasFila.h"
#include "ui/windows/TfrmFila.h"

#include <QMenu>
#include <QTest>

#include <numeric>

using Valores = QList<qint64>;
Q_DECLARE_METATYPE(Valores)

class TestUiQueue : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    std::unique_ptr<TfrmFila> w;

    void Login(const QString& id, const QString& fila) {
        m->Ev("Agentlogin", {"Agent: " + id, "Channel: SIP/2" + id.right(3), "Uniqueid: l" + id});
        m->Membro(fila, "Agent/" + id, 1, 0, "QueueMemberAdded");
    }
    std::unique_ptr<TfrmFila> Abre(const QString& fila) {
        auto j = std::make_unique<TfrmFila>(m->monitor.get());
        j->setObjectName("Fila" + fila);
        j->CriaFila(fila, m->F(fila));
        return j;
    }
    static QStringList Agentes(TfrmFila* j) {
        QStringList ids;
        TModeloLista<TAgente>* modelo = j->Membros()->Modelo();
        for (int r = 0; r < modelo->Linhas(); ++r)
            ids << modelo->Objeto(r)->AgentNumber();
        ids.sort();
        return ids;
    }
    static QStringList Celulas(TfrmFila* j, int coluna) {
        QStringList out;
        TModeloLista<TChannel>* modelo = j->Chamadas()->Modelo();
        for (int r = 0; r < modelo->Linhas(); ++r)
            out << modelo->Texto(r, coluna);
        return out;
    }
    static QStringList Fatias(TGraficoPizza* g) {
        QStringList out;
        for (const TFatia& f : g->Desenhadas())
            out << f.Nome + '=' + QString::number(f.Valor);
        return out;
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        for (const char* id : {"1001", "1002", "1003", "1004"})
            m->Agente(id, QStringLiteral("Atendente %1").arg(id));
        m->Fila("1", "Atendimento Geral");
        m->Fila("2", "Suporte");
    }
    void cleanup() {
        w.reset();
        m.reset();
    }

    // --- Pie arithmetic -------------------------------------------------------------------------

    void slices_data() {
        QTest::addColumn<Valores>("valores");
        QTest::addColumn<int>("limite");
        QTest::addColumn<Valores>("ficam");
        QTest::addColumn<QList<int>>("angulos");
        QTest::addColumn<QList<int>>("percentuais");
        QTest::newRow("six equal shares")
            << Valores{1, 1, 1, 1, 1, 1} << 10 << Valores{1, 1, 1, 1, 1, 1}
            << QList<int>{60, 60, 60, 60, 60, 60} << QList<int>{17, 17, 17, 17, 16, 16};
        QTest::newRow("thirds") << Valores{1, 1, 1} << 5 << Valores{1, 1, 1}
                                << QList<int>{120, 120, 120} << QList<int>{34, 33, 33};
        QTest::newRow("sevenths") << Valores{1, 1, 1, 1, 1, 1, 1} << 10
                                  << Valores{1, 1, 1, 1, 1, 1, 1}
                                  << QList<int>{52, 52, 52, 51, 51, 51, 51}
                                  << QList<int>{15, 15, 14, 14, 14, 14, 14};
        QTest::newRow("fold to three, largest first")
            << Valores{5, 50, 1, 20, 2} << 3 << Valores{50, 20, 8} << QList<int>{231, 92, 37}
            << QList<int>{64, 26, 10};
        QTest::newRow("limit above ten folds at ten")
            << Valores{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1} << 20
            << Valores{1, 1, 1, 1, 1, 1, 1, 1, 1, 3}
            << QList<int>{30, 30, 30, 30, 30, 30, 30, 30, 30, 90}
            << QList<int>{9, 9, 9, 8, 8, 8, 8, 8, 8, 25};
        QTest::newRow("all zero") << Valores{0, 0} << 5 << Valores{0, 0} << QList<int>{0, 0}
                                  << QList<int>{0, 0};
        QTest::newRow("a negative count is none")
            << Valores{-4, 1} << 5 << Valores{0, 1} << QList<int>{0, 360} << QList<int>{0, 100};
        QTest::newRow("huge counts")
            << Valores{2000000000, 2000000000, 1} << 5 << Valores{2000000000, 2000000000, 1}
            << QList<int>{180, 180, 0} << QList<int>{50, 50, 0};
    }
    void slices() {
        QFETCH(Valores, valores);
        QFETCH(int, limite);
        QFETCH(Valores, ficam);
        QFETCH(QList<int>, angulos);
        QFETCH(QList<int>, percentuais);
        std::vector<TFatia> fatias;
        for (qsizetype i = 0; i < valores.size(); ++i)
            fatias.push_back({QString::number(i), valores[i], 0, "k"});
        const std::vector<TFatia> r = PreparaFatias(fatias, limite, "Outros");
        Valores v;
        QList<int> a, p;
        for (const TFatia& f : r)
            v << f.Valor, a << f.Angulo, p << f.Percentual;
        QCOMPARE(v, ficam);
        QCOMPARE(a, angulos);
        QCOMPARE(p, percentuais);
        if (ficam.size() < valores.size()) {
            QCOMPARE(r.back().Nome, QStringLiteral("Outros"));
            QVERIFY(r.back().Chave.isEmpty()); // the remainder cannot be clicked
        }
    }

    // A chart with nothing to show draws and reads as empty.
    void emptyChartPaints() {
        TGraficoPizza g;
        g.resize(300, 100);
        g.AdicionaFatia("Motivadas", 0);
        g.Desenha(QString(), 5);
        QVERIFY(!g.grab().isNull());
        QCOMPARE(g.Total(), 0);
        QCOMPARE(g.Desenhadas().front().Angulo, 0);
    }

    // Hundreds of reasons with long accented names: ten legend entries at most, none overlapping
    // another or leaving the chart, in a wide and in a cramped chart.
    void legendNeverOverlaps_data() {
        QTest::addColumn<QSize>("tamanho");
        QTest::newRow("panel size") << QSize(300, 100);
        QTest::newRow("narrow") << QSize(160, 100);
        QTest::newRow("tall") << QSize(300, 400);
    }
    void legendNeverOverlaps() {
        QFETCH(QSize, tamanho);
        TGraficoPizza g;
        g.resize(tamanho);
        for (int i = 0; i < 300; ++i)
            g.AdicionaFatia(QStringLiteral("Reclamação de cobrança indevida nº %1").arg(i), i + 1);
        g.Desenha("Outros motivos", 10);
        QCOMPARE(int(g.Desenhadas().size()), 10);
        QVERIFY(!g.grab().isNull());
        for (int i = 0; i < 10; ++i) {
            QVERIFY2(g.rect().contains(g.RotuloNome(i)) || g.RotuloNome(i).isEmpty(),
                     qPrintable(QString::number(i)));
            QVERIFY(g.rect().contains(g.QuadradoCor(i)));
            for (int j = i + 1; j < 10; ++j) {
                QVERIFY(!g.RotuloNome(i).intersects(g.RotuloNome(j)));
                QVERIFY(!g.QuadradoCor(i).intersects(g.QuadradoCor(j)));
            }
        }
    }

    // --- Panel ----------------------------------------------------------------------------------

    void panelTexts_data() {
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("valor");
        QTest::addColumn<int>("escala");
        QTest::addColumn<int>("barra");
        QTest::newRow("half of scale 4") << 75 << 2 << 4 << 30;
        QTest::newRow("zero draws one pixel") << 75 << 0 << 4 << 1;
        QTest::newRow("full scale") << 75 << 4 << 4 << 60;
        QTest::newRow("above the scale stays inside") << 75 << 9 << 4 << 60;
        QTest::newRow("scale zero") << 75 << 3 << 0 << 1;
        QTest::newRow("area too small") << 10 << 3 << 4 << 1;
    }
    void panelTexts() {
        QFETCH(int, h);
        QFETCH(int, valor);
        QFETCH(int, escala);
        QFETCH(int, barra);
        QCOMPARE(TPanelFila::AlturaBarra(h, valor, escala), barra);
    }
    void panelStatistics_data() {
        QTest::addColumn<qint64>("espera");
        QTest::addColumn<QString>("percentual");
        QTest::addColumn<QString>("tempo");
        QTest::addColumn<QString>("servico");
        QTest::newRow("minutes") << qint64(75) << "87.5"
                                 << "01:15"
                                 << "87%";
        QTest::newRow("hours") << qint64(3725) << ""
                               << "01:02:05"
                               << "0%";
        QTest::newRow("negative") << qint64(-3) << "100"
                                  << "00:00"
                                  << "100%";
    }
    void panelStatistics() {
        QFETCH(qint64, espera);
        QFETCH(QString, percentual);
        QFETCH(QString, tempo);
        QFETCH(QString, servico);
        QCOMPARE(TPanelFila::TempoMedio(espera), tempo);
        QCOMPARE(TPanelFila::TextoServico(percentual), servico);
    }

    // Every section draws something at 1x and 2x: the statistics table and the gauges carry
    // text in the section's body, the history its black area.
    void panelPaintsEverySection_data() {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("1x") << qreal(1);
        QTest::newRow("2x") << qreal(2);
    }
    void panelPaintsEverySection() {
        QFETCH(qreal, dpr);
        TPanelFila p;
        p.SetFila(m->F("1"));
        p.Title("1 - Atendimento Geral");
        p.SetWaiting(3);
        p.SetBusy(4);
        p.SetReceived(1234567);
        p.SetService(20, "87.5");
        for (int s = 0; s < TPanelFila::kSecoes; ++s)
            p.SetSectionVisible(s, true);
        p.resize(1060, 110);
        p.Relayout();
        QImage img((QSizeF(p.size()) * dpr).toSize(), QImage::Format_RGB32);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::white);
        p.render(&img);
        if (!qEnvironmentVariableIsEmpty("VESMARA_SAVE_PANEL"))
            img.save(QString("%1/panel-%2x.png").arg(qgetenv("VESMARA_SAVE_PANEL")).arg(dpr));
        for (int secao : {TPanelFila::Historico, TPanelFila::Chamadas, TPanelFila::Atendentes,
                          TPanelFila::Estatisticas}) {
            const QRect a = p.AreaSecao(secao).adjusted(4, 20, -4, -2);
            int escuros = 0;
            for (int y = int(a.top() * dpr); y < int(a.bottom() * dpr); ++y)
                for (int x = int(a.left() * dpr); x < int(a.right() * dpr); ++x)
                    escuros += qGray(img.pixel(x, y)) < 100;
            QVERIFY2(escuros > 20, qPrintable(QString("section %1").arg(secao)));
        }
    }

    // Samples by the wall clock's second: the larger of two updates in one second stays; the
    // tick fills a second no update touched; a later second is overwritten.
    void panelHistoryBySecond() {
        TPanelFila p;
        p.SetFila(m->F("1"));
        const int s0 = 0; // the pinned clock stands at 12:00:00
        p.SetWaiting(3);
        p.SetWaiting(1);
        QCOMPARE(p.Amostra(s0)[0], 3);
        p.Tick();
        m->Avanca(1);
        p.Tick();
        QCOMPARE(p.Amostra(s0 + 1)[0], 1);
        p.SetAnswering(2);
        QCOMPARE(p.Amostra(s0 + 1)[1], 2);
        m->Avanca(1);
        p.SetWaiting(0);
        QCOMPARE(p.Amostra(s0 + 2), (std::array<int, 2>{0, 2}));
        // Without a queue nothing is recorded.
        p.SetFila(nullptr);
        m->Avanca(1);
        p.SetWaiting(5);
        p.Tick();
        QCOMPARE(p.Amostra(s0 + 3)[0], 0);
    }

    // The call scale follows the peaks of the last five minutes: a peak of 7 raises it to 8,
    // and five minutes later, with one call waiting, it drops back.
    void panelScalesAgeOut() {
        TPanelFila p;
        p.SetFila(m->F("1"));
        p.SetMembers(3);
        p.SetWaiting(7);
        QCOMPARE(p.CallScale(), 7);
        p.Relogio();
        p.SetWaiting(1);
        for (int minuto = 1; minuto <= 4; ++minuto) {
            m->Avanca(60);
            p.Relogio();
            QCOMPARE(p.CallScale(), 8);
        }
        m->Avanca(60);
        p.Relogio();
        QCOMPARE(p.CallScale(), 2);
        QCOMPARE(p.MemberScale(), 4);
    }

    // --- Window ---------------------------------------------------------------------------------

    // Members of the queue only, and only of this queue's window; a removed member's row goes.
    void membersAndNotices() {
        Login("1001", "1");
        Login("1002", "1");
        Login("1003", "2");
        w = Abre("1");
        auto outra = Abre("2");
        QCOMPARE(Agentes(w.get()), (QStringList{"1001", "1002"}));
        QCOMPARE(Agentes(outra.get()), QStringList{"1003"});
        m->Membro("2", "Agent/1004", 1, 0, "QueueMemberAdded");
        QCOMPARE(Agentes(w.get()), (QStringList{"1001", "1002"}));
        QCOMPARE(Agentes(outra.get()), (QStringList{"1003", "1004"}));
        m->Ev("QueueMemberRemoved", {"Queue: 1", "Location: Agent/1002"});
        QTRY_COMPARE(Agentes(w.get()), QStringList{"1001"});
        QCOMPARE(Agentes(outra.get()), (QStringList{"1003", "1004"}));
        // The gauges of each window are those of its queue.
        QCOMPARE(w->Panel()->Descricao().contains("Livres 1 de"), true);
    }

    // Positions "entry / row" after the second of three calls leaves; the call turns dark once
    // its wait passes the service level, at the latest on the five-second step after it.
    void callRowsPositionsAndServiceLevel() {
        m->F("1")->ServiceLevel = 20;
        w = Abre("1");
        w->Chamadas()->SetModoVisualizacao(1);
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Entra("1", "Khomp/B0C1-2", "100.2", 2);
        m->Entra("1", "Khomp/B0C1-3", "100.3", 3);
        QCOMPARE(Celulas(w.get(), 4), (QStringList{"1 / 1", "2 / 2", "3 / 3"}));
        m->Hangup("Khomp/B0C1-2", "100.2");
        QCOMPARE(Celulas(w.get(), 4), (QStringList{"1 / 1", "3 / 2"}));
        QCOMPARE(w->Chamadas()->Modelo()->Linha(0).Fundo, TListaChamadasFila::kFundo);
        for (int s = 1; s <= 25; ++s) {
            m->Avanca(1);
            w->Chamadas()->Timer1Timer();
        }
        QVERIFY(w->Chamadas()->SlaExcedido(0));
        QCOMPARE(w->Chamadas()->Modelo()->Linha(0).Fundo, TListaChamadasFila::kFundoSla);
        QCOMPARE(Celulas(w.get(), 2).first(), QStringLiteral("00:00:25"));
        // The last call leaves: no row points at a freed channel.
        m->Hangup("Khomp/B0C1-1", "100.1");
        m->Hangup("Khomp/B0C1-3", "100.3");
        QCOMPARE(w->Chamadas()->Modelo()->Linhas(), 0);
        w->Chamadas()->Timer1Timer();
        w->Chamadas()->Timer2Timer();
    }

    // Calls of one second keep the queue's order, also when one is put ahead of the others;
    // a call of an earlier second stays first.
    void callOrderFollowsTheQueue() {
        w = Abre("1");
        w->Chamadas()->SetModoVisualizacao(1);
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Avanca(1);
        m->Entra("1", "Khomp/B0C1-2", "100.2", 2);
        m->Entra("1", "Khomp/B0C1-3", "100.3", 3);
        m->Entra("1", "Khomp/B0C1-4", "100.4", 2);
        QStringList linhas;
        for (int r = 0; r < w->Chamadas()->Modelo()->Linhas(); ++r)
            linhas << w->Chamadas()->Modelo()->Objeto(r)->Channel();
        QCOMPARE(linhas, m->Chamadas("1"));
        QCOMPARE(linhas,
                 (QStringList{"Khomp/B0C1-1", "Khomp/B0C1-4", "Khomp/B0C1-2", "Khomp/B0C1-3"}));
        QCOMPARE(Celulas(w.get(), 4), (QStringList{"1 / 1", "2 / 2", "2 / 3", "3 / 4"}));
    }

    // Level 0 splits the completed calls; a click goes to the reasons, a reason with
    // sub-reasons to those; back goes up; a reason that disappeared falls back.
    void chartLevels() {
        m->monitor->CallReasonsCounted = true;
        TFila* f = m->F("1");
        f->Completed = 7;
        f->CallReasons.Define("Venda", 2);
        f->CallReasons.Define("Dúvida", 1);
        f->CallReasons.DefineSub("Venda", "Plano", 2);
        w = Abre("1");
        TGraficoPizza* g = w->Panel()->Grafico();
        QCOMPARE(Fatias(g), (QStringList{"Motivadas=3", "Não motivadas=4"}));
        w->ClicaFatia("Motivadas");
        QCOMPARE(w->TipoGraficoMotivoChamada(), 1);
        QCOMPARE(Fatias(g), (QStringList{"Venda=2", "Dúvida=1"}));
        w->ClicaFatia("Dúvida"); // no sub-reasons: the drill stays
        QCOMPARE(w->TipoGraficoMotivoChamada(), 1);
        w->ClicaFatia("Venda");
        QCOMPARE(g->Titulo(), QStringLiteral("Motivo: Venda"));
        QCOMPARE(Fatias(g), QStringList{"Plano=2"});
        w->VoltaGrafico();
        w->VoltaGrafico();
        w->VoltaGrafico();
        QCOMPARE(w->TipoGraficoMotivoChamada(), 0);
        // Fewer completed than counted reasons: "Não motivadas" is none, never negative.
        f->Completed = 1;
        f->Notify(TAvisoFila::Fila);
        QCOMPARE(Fatias(g), (QStringList{"Motivadas=3", "Não motivadas=0"}));
        QCOMPARE(g->Desenhadas().front().Angulo, 360);
    }

    void sectionsHideAndShow_data() {
        QTest::addColumn<QList<int>>("ocultar");
        QTest::addColumn<QList<bool>>("aceitos");
        QTest::newRow("members then calls without header")
            << QList<int>{0, 1, 2} << QList<bool>{true, true, false};
        QTest::newRow("calls, members, header")
            << QList<int>{2, 1, 0} << QList<bool>{true, true, false};
        QTest::newRow("twice the same") << QList<int>{1, 1} << QList<bool>{true, false};
    }
    void sectionsHideAndShow() {
        QFETCH(QList<int>, ocultar);
        QFETCH(QList<bool>, aceitos);
        w = Abre("1");
        w->resize(835, 480);
        for (qsizetype i = 0; i < ocultar.size(); ++i)
            QCOMPARE(w->MostraSecao(ocultar[i], false), aceitos[i]);
        QVERIFY(w->SecaoVisivel(0) || w->SecaoVisivel(1) || w->SecaoVisivel(2));
    }

    // A chat queue makes the chat variant: the agents' chat slot, "Ip" for the extension.
    void chatVariant_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<int>("tipoForm");
        QTest::addColumn<QString>("ramal");
        QTest::newRow("voice") << "v" << 0 << "Ramal";
        QTest::newRow("chat") << "c" << 1 << "Ip";
    }
    void chatVariant() {
        QFETCH(QString, tipo);
        QFETCH(int, tipoForm);
        QFETCH(QString, ramal);
        m->Fila("3", "Chat", tipo);
        w = Abre("3");
        w->Membros()->SetModoVisualizacao(1);
        QCOMPARE(w->TipoForm(), tipoForm);
        QCOMPARE(w->Membros()->TipoForm(), tipoForm);
        QCOMPARE(w->Membros()->Modelo()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 ramal);
        QCOMPARE(w->Membros()->Modelo()->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Chamadas"));
    }

    // The member and call lists' menus carry "Ocultar" and "Mostrar", each entry enabled for
    // the sections it can act on.
    void menusCarrySections() {
        w = Abre("1");
        w->MostraSecao(TfrmFila::ListaChamadas, false);
        for (TfrmLista* lista :
             {static_cast<TfrmLista*>(w->Membros()), static_cast<TfrmLista*>(w->Chamadas())}) {
            std::unique_ptr<QMenu> menu(lista->MontaMenu());
            QMenu* ocultar = nullptr;
            QMenu* mostrar = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->text() == "Ocultar") ocultar = a->menu();
                if (a->text() == "Mostrar") mostrar = a->menu();
            }
            QVERIFY(ocultar && mostrar);
            QList<bool> o, mo;
            for (QAction* a : ocultar->actions())
                o << a->isEnabled();
            for (QAction* a : mostrar->actions())
                mo << a->isEnabled();
            QCOMPARE(o, (QList<bool>{true, true, false}));
            QCOMPARE(mo, (QList<bool>{false, false, true}));
        }
        std::unique_ptr<QMenu> grafico(w->MontaMenuGrafico());
        QCOMPARE(grafico->actions().first()->menu()->actions().size(), 9); // 2 to 10 slices
    }

    // Settings are read before the queue is given: widths missing from the file are those of
    // the member columns ("Última chamada" before the spacer), not the agents window's.
    void defaultWidthsBeforeTheQueue() {
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path() + '/';
        TIniFile(dir.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "X");
        w = std::make_unique<TfrmFila>(m->monitor.get());
        w->setObjectName("Fila1");
        w->LeVariaveis();
        w->CriaFila("1", m->F("1"));
        const TLargurasColunas& l = w->Membros()->Larguras();
        QCOMPARE(l.Largura(1, 8), 10); // the spacer
        QVERIFY(l.Largura(1, 7) > 30);
        QVERIFY(l.Largura(1, 6) > 30);
    }

    // Closing writes the window's own keys and the next window reads them back.
    void settingsRoundTrip() {
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path() + '/';
        w = Abre("1");
        w->Chamadas()->SetModoVisualizacao(2);
        w->Chamadas()->SetMostrarNaLinhaCh1(1);
        w->Membros()->SetModoVisualizacao(1);
        w->SetFatias(7);
        w->MostraSecao(TfrmFila::ListaChamadas, false);
        w->close();
        w.reset();
        auto j = std::make_unique<TfrmFila>(m->monitor.get());
        j->setObjectName("Fila1");
        j->LeVariaveis();
        j->CriaFila("1", m->F("1"));
        QCOMPARE(j->Chamadas()->ModoVisualizacao(), 2);
        QCOMPARE(j->Chamadas()->MostrarNaLinhaCh1(), 1);
        QCOMPARE(j->Membros()->ModoVisualizacao(), 1);
        QCOMPARE(j->Fatias(), 7);
        QVERIFY(!j->SecaoVisivel(TfrmFila::ListaChamadas));
    }
};

QTEST_MAIN(TestUiQueue)
#include "test_ui_queue.moc"
