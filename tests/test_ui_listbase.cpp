// The list-window base, through the agents window built on it: columns per view mode, default
// widths fitted to the font and kept per mode, tooltips on cut cells, tiles that fit their lines
// at every font level, re-sorting held while the user points at a row or has the menu open, and
// what assistive technology reads from cells and tiles.
#include "settings/TIniFile.h"
#include "support/TCentral.h"
#include "ui/lists/TDelegateLista.h"
#include "ui/lists/TFontesLista.h"
#include "ui/lists/TModeloLista.h"
#include "ui/lists/TVistaLista.h"
#include "ui/windows/TMenuAtendente.h"
#include "ui/windows/TfrmAgentes.h"

#include <QAccessible>
#include <QHeaderView>
#include <QHelpEvent>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

class TestUiListBase : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    std::unique_ptr<TfrmAgentes> w;

    void Login(const QString& id, const QString& ramal) {
        m->Ev("Agentlogin", {"Agent: " + id, "Channel: SIP/" + ramal, "Uniqueid: l" + id});
        m->Membro("1", "Agent/" + id, 1, 0, "QueueMemberAdded");
    }
    void Abre(int modo, int nivel = 0) {
        w = std::make_unique<TfrmAgentes>(m->monitor.get());
        w->setObjectName("Atendentes");
        w->resize(900, 500);
        w->SetModoVisualizacao(modo);
        w->MudaFonte(nivel);
    }
    QStringList Ordem() const {
        QStringList ids;
        for (int r = 0; r < w->Modelo()->Linhas(); ++r)
            ids << w->AgenteDaLinha(r)->AgentNumber();
        return ids;
    }
    QAbstractItemView* VistaAtual() const {
        return w->ModoVisualizacao() == 2 ? static_cast<QAbstractItemView*>(w->Vista()->Icones())
                                          : w->Vista()->Relatorio();
    }
    // The names of every accessible child of the current view.
    QStringList TextosAcessiveis() const {
        QAccessibleInterface* vista = QAccessible::queryAccessibleInterface(VistaAtual());
        QStringList textos;
        for (int i = 0; vista && i < vista->childCount(); ++i)
            if (QAccessibleInterface* filho = vista->child(i))
                textos << filho->text(QAccessible::Name);
        return textos;
    }
    static QFont FonteLista(int nivel) { return FonteDoNivel(QApplication::font(), nivel, false); }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        m->Ramal("2001", "PA 01");
        m->Ramal("2002", "PA 02");
        m->Motivo(1, "Almoço", false);
        m->Agente("1001", "Maria Souza");
        m->Agente("1002", "João Lima");
        m->Agente("1003", "Ana Dias");
        m->Fila("1", "Atendimento Geral Noturno");
    }
    void cleanup() {
        w.reset();
        m.reset();
    }

    // Each mode's columns: captions, alignment, which sort key a click selects.
    void columnsPerMode_data() {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QStringList>("titulos");
        QTest::addColumn<int>("direita");
        QTest::addColumn<QList<int>>("ordens");
        QTest::newRow("Lista") << 0
                               << QStringList{"Atendente", "Nome", "Estado", "Tempo", "", "Fila"}
                               << 3 << QList<int>{1, 2, 0, -1, -1, -1};
        QTest::newRow("Detalhe") << 1
                                 << QStringList{"Atendente", "Nome",  "Ramal",          "Estado",
                                                "Tempo",     "Login", "Última chamada", "",
                                                "Fila",      "Canal", "Telefone"}
                                 << 4 << QList<int>{1, 2, 3, 0, -1, -1, -1, -1, -1, -1, -1};
        QTest::newRow("Resumido") << 2 << QStringList{"Atendente"} << -1 << QList<int>{-1};
    }
    void columnsPerMode() {
        QFETCH(int, modo);
        QFETCH(QStringList, titulos);
        QFETCH(int, direita);
        QFETCH(QList<int>, ordens);
        Abre(modo);
        QCOMPARE(w->Modo(), TModoVisualizacao(modo));
        TModeloLista<TAgente>* modelo = w->Modelo();
        QStringList vistos;
        QList<int> chaves;
        for (int c = 0; c < modelo->columnCount(); ++c) {
            vistos << modelo->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            chaves << modelo->OrdemDaColuna(c);
            const int alinhamento =
                modelo->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
            QCOMPARE(bool(alinhamento & Qt::AlignRight), c == direita);
        }
        QCOMPARE(vistos, titulos);
        if (modo != 2) QCOMPARE(chaves, ordens);
    }

    // At level 0 the longest texts of a column show whole; at every level a width is at least
    // the built-in one scaled to the font, and a larger font never narrows a column.
    void defaultWidthsFitTheFont_data() {
        QTest::addColumn<int>("nivel");
        for (int n = 0; n < kNiveisFonte; ++n)
            QTest::addRow("nivel %d", n) << n;
    }
    void defaultWidthsFitTheFont() {
        QFETCH(int, nivel);
        Abre(0, nivel);
        const QFontMetrics fm(FonteLista(nivel));
        const QList<int> larguras = w->Vista()->Larguras();
        const QList<int> padrao{60, 150, 70, 80, 10, 120};
        for (int c = 0; c < padrao.size(); ++c)
            if (c != 4)
                QVERIFY(larguras[c] >= std::lround(padrao[c] * EscalaDaFonte(FonteLista(nivel))));
        QCOMPARE(larguras[4], 10); // the spacer stays fixed
        const int margem = 6;
        QVERIFY(larguras[2] >= fm.horizontalAdvance("Em pausa (I - Almoço)") + margem);
        QVERIFY(larguras[2] >= fm.horizontalAdvance("Indisponível") + margem);
        QVERIFY(larguras[3] >= fm.horizontalAdvance("00:00:00") + margem);
        QVERIFY(larguras[5] >= fm.horizontalAdvance("Atendimento Geral Noturno") + margem);
        if (nivel > 0) {
            Abre(0, nivel - 1);
            const QList<int> menores = w->Vista()->Larguras();
            for (int c = 0; c < padrao.size(); ++c)
                QVERIFY(larguras[c] >= menores[c]);
        }
    }

    // Widths are kept per mode and saved and read back; a font change scales the user's widths
    // with the letters and gives untouched columns the new level's defaults.
    void widthsPerModeSavedAndScaled() {
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path() + u'/';
        Abre(0);
        const QList<int> padrao0 = w->Vista()->Larguras();
        w->Vista()->DefineLarguras({90, 200});
        w->SetModoVisualizacao(1);
        w->Vista()->DefineLarguras({70, 210, 66});
        w->SetModoVisualizacao(0);
        QCOMPARE(w->Vista()->Larguras().mid(0, 3), (QList<int>{90, 200, padrao0[2]}));
        w->SalvaCfgForm();
        const TIniFile ini(dir.path() + "/MonitorVesmara.ini");
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo0Coluna0", -1), 90);
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo1Coluna2", -1), 66);
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo0Coluna2", -1), padrao0[2]);

        w->MudaFonte(+3);
        const double fator = EscalaDaFonte(FonteLista(3)) / EscalaDaFonte(FonteLista(0));
        const QList<int> grandes = w->Vista()->Larguras();
        QCOMPARE(grandes[0], int(std::lround(90 * fator)));
        QCOMPARE(grandes[2], LarguraPadrao(70, FonteLista(3),
                                           {"Estado", "Indisponível", "Em pausa (I - Almoço)",
                                            "Em pausa (I - Almoço)"}));
        w->SalvaCfgForm();

        w = std::make_unique<TfrmAgentes>(m->monitor.get());
        w->setObjectName("Atendentes");
        w->LeVariaveis();
        w->Inicio();
        QCOMPARE(w->NivelLista(), 3);
        QCOMPARE(w->Vista()->Larguras(), grandes);
        w->SetModoVisualizacao(1);
        QCOMPARE(w->Vista()->Larguras()[2], int(std::lround(66 * fator)));
    }

    // A cell cut short shows its whole text as a tooltip; a whole one shows none.
    void tooltipOnCutCell_data() {
        QTest::addColumn<int>("largura");
        QTest::addColumn<QString>("dica");
        QTest::newRow("cortada") << 40 << "Em pausa (I - Almoço)";
        QTest::newRow("inteira") << 300 << "";
    }
    void tooltipOnCutCell() {
        QFETCH(int, largura);
        QFETCH(QString, dica);
        Login("1001", "2001");
        m->Pausa("1", "Agent/1001", true, "1");
        Abre(0);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Vista()->Relatorio()->header()->resizeSection(2, largura);
        QTreeView* arvore = w->Vista()->Relatorio();
        const QRect celula =
            arvore->visualRect(w->Modelo()->index(w->Modelo()->LinhaDe(m->A("1001")), 2));
        QHelpEvent ajuda(QEvent::ToolTip, celula.center(),
                         arvore->viewport()->mapToGlobal(celula.center()));
        QApplication::sendEvent(arvore->viewport(), &ajuda);
        if (dica.isEmpty())
            QTRY_VERIFY(!QToolTip::isVisible());
        else
            QTRY_COMPARE(QToolTip::text(), dica);
        QToolTip::hideText();
    }

    // A cell is cut by the font it is painted with now: a text measured at one font size and
    // painted again at another is cut (or not) exactly as by a delegate that never saw the
    // first size.
    void cellCutByTheFontItIsPaintedWith_data() {
        QTest::addColumn<int>("antes");
        QTest::addColumn<int>("depois");
        QTest::newRow("font grows") << 8 << 20;
        QTest::newRow("font shrinks") << 20 << 8;
    }
    void cellCutByTheFontItIsPaintedWith() {
        QFETCH(int, antes);
        QFETCH(int, depois);
        Login("1001", "2001");
        m->Pausa("1", "Agent/1001", true, "1");
        Abre(0);
        const QModelIndex celula = w->Modelo()->index(w->Modelo()->LinhaDe(m->A("1001")), 2);
        QStyleOptionViewItem opcao;
        opcao.rect = QRect(0, 0, 150, 40);
        auto pinta = [&](const TDelegateLista& d, int pontos) {
            QImage img(opcao.rect.size(), QImage::Format_RGB32);
            img.fill(Qt::black);
            opcao.font = QApplication::font();
            opcao.font.setPointSize(pontos);
            QPainter p(&img);
            d.paint(&p, opcao, celula);
            return img;
        };
        // The text fits the cell at 8 points and not at 20.
        auto largura = [&](int pontos) {
            QFont f = QApplication::font();
            f.setPointSize(pontos);
            return QFontMetrics(f).horizontalAdvance(w->Modelo()->Texto(celula.row(), 2));
        };
        QVERIFY(largura(8) < 140);
        QVERIFY(largura(20) > 150);

        TDelegateLista usado(w->Modelo());
        pinta(usado, antes);
        TDelegateLista novo(w->Modelo());
        QCOMPARE(pinta(usado, depois), pinta(novo, depois));
    }

    // A tile never shrinks as the font grows, and holds two lines of a duration and of a
    // four-digit number without cutting a digit.
    void tilesFitAtEveryLevel_data() {
        QTest::addColumn<int>("nivel");
        for (int n = 0; n < kNiveisFonte; ++n)
            QTest::addRow("nivel %d", n) << n;
    }
    void tilesFitAtEveryLevel() {
        QFETCH(int, nivel);
        Login("1001", "2001");
        m->Agente("100000001", "Nove Dígitos");
        m->Avanca(36000 - 1); // 09:59:59 idle, the widest duration of a day
        Abre(2, nivel);
        const QFont base = QApplication::font();
        const QStringList amostras{"00:00:00", "8888"};
        const QSize tile = TileQueCabe(base, nivel, amostras);
        if (nivel > 0) {
            const QSize menor = TileQueCabe(base, nivel - 1, amostras);
            QVERIFY(tile.width() >= menor.width() && tile.height() >= menor.height());
        }
        const QFontMetrics fm(FonteDoNivel(base, nivel, true));
        for (const QString& t : amostras)
            QVERIFY(fm.horizontalAdvance(t) <= tile.width() - 6);
        if (nivel > 0) QVERIFY(tile.height() * 5 >= fm.height() * 13);
        // The window's own tiles: nothing of the number or the duration is cut.
        QListView* icones = w->Vista()->Icones();
        QStyleOptionViewItem opcao;
        opcao.initFrom(icones);
        opcao.font = FonteDoNivel(base, nivel, false);
        const QModelIndex i = w->Modelo()->index(w->Modelo()->LinhaDe(m->A("1001")), 0);
        opcao.rect = QRect(QPoint(0, 0), w->Delegate()->sizeHint(opcao, i));
        QCOMPARE(w->Modelo()->Linha(i.row()).Linha2, QStringLiteral("09:59:59"));
        if (nivel > 0) QCOMPARE(w->Delegate()->TextoCortado(opcao, i), QString());
        // An agent number longer than a duration widens the window's tiles to hold it.
        QVERIFY(fm.horizontalAdvance("888888888") <= opcao.rect.width() - 6);
    }

    // Sorting by state: an agent that changes state moves, except while the pointer is on a row
    // or the pop-up menu is open; it moves once the pointer leaves or the menu closes.
    void resortWaitsForTheUser_data() {
        QTest::addColumn<bool>("menu");
        QTest::newRow("ponteiro sobre a linha") << false;
        QTest::newRow("menu aberto") << true;
    }
    void resortWaitsForTheUser() {
        QFETCH(bool, menu);
        Login("1001", "2001");
        Login("1002", "2002");
        Abre(0);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Timer1Timer();
        QCOMPARE(Ordem(), (QStringList{"1001", "1002", "1003"}));
        QWidget* viewport = w->Vista()->Relatorio()->viewport();
        const QPoint sobre = w->Vista()->Relatorio()->visualRect(w->Modelo()->index(0, 0)).center();
        w->SelecionaAgente(m->A("1001"));
        QMenu* aberto = nullptr;
        if (menu) {
            w->AbreMenu(viewport->mapToGlobal(sobre));
            aberto = w->findChild<QMenu*>();
            QVERIFY(aberto);
        } else {
            QMouseEvent move(QEvent::MouseMove, sobre, viewport->mapToGlobal(sobre), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &move);
        }
        m->Pausa("1", "Agent/1001", true, "1"); // paused: goes after the free 1002
        w->Timer1Timer();
        QCOMPARE(Ordem(), (QStringList{"1001", "1002", "1003"}));
        QVERIFY(w->OrdemPendente());
        // The selection still holds the agent the user pointed at.
        std::unique_ptr<QMenu> outro(w->MontaMenu());
        QCOMPARE(outro->actions().first()->menu()->title(),
                 QStringLiteral("Gerenciar atendente 1001"));
        if (menu) {
            aberto->close();
        } else {
            QEvent sai(QEvent::Leave);
            QApplication::sendEvent(viewport, &sai);
        }
        QTRY_COMPARE(Ordem(), (QStringList{"1002", "1001", "1003"}));
        QVERIFY(!w->OrdemPendente());
    }

    // Cells read as their text and rows describe what their colour says; a tile reads as its
    // two lines and its state.
    void accessibleTexts_data() {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QStringList>("textos");
        QTest::newRow("Lista") << 0 << QStringList{"1001",
                                                   "Maria Souza",
                                                   "Livre",
                                                   "00:00:05",
                                                   "Atendimento Geral Noturno",
                                                   "1002",
                                                   "Em pausa (I - Almoço)",
                                                   "Indisponível"};
        QTest::newRow("Detalhe") << 1 << QStringList{"1001", "2001 (PA 01)", "Livre", "00:00:05"};
        QTest::newRow("Resumido") << 2
                                  << QStringList{"1001, 00:00:05, Livre",
                                                 "1002, 00:00:05, Em pausa (I - Almoço)",
                                                 "1003, Indisponível"};
    }
    void accessibleTexts() {
        QFETCH(int, modo);
        QFETCH(QStringList, textos);
        Login("1001", "2001");
        Login("1002", "2002");
        m->Pausa("1", "Agent/1002", true, "1");
        m->Avanca(5);
        Abre(modo);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QStringList lidos = TextosAcessiveis();
        for (const QString& t : textos)
            QVERIFY2(lidos.contains(t), qPrintable(t + " not in: " + lidos.join(" | ")));
        QVERIFY(!lidos.contains("..."));
        const TModeloLista<TAgente>* modelo = w->Modelo();
        const QModelIndex livre = modelo->index(modelo->LinhaDe(m->A("1001")), 0);
        QCOMPARE(livre.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Livre"));
        QAccessibleInterface* vista = QAccessible::queryAccessibleInterface(VistaAtual());
        QStringList descricoes;
        for (int i = 0; i < vista->childCount(); ++i)
            descricoes << vista->child(i)->text(QAccessible::Description);
        QVERIFY(descricoes.contains("Em pausa"));
    }

    // What only a colour tells: a busy agent on a queue call against one after the call, and
    // an agent being rung, which blinks.
    void descriptionsOfColours() {
        Login("1001", "2001");
        Login("1002", "2002");
        Abre(0);
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        m->Membro("1", "Agent/1001", 3);
        w->Timer1Timer();
        auto descricao = [this](const QString& id) {
            const QModelIndex i = w->Modelo()->index(w->Modelo()->LinhaDe(m->A(id)), 2);
            return i.data(Qt::AccessibleDescriptionRole).toString();
        };
        QCOMPARE(descricao("1001"), QStringLiteral("Ocupado, chamada da fila tocando"));
        w->Timer2Timer(); // the blink does not change what is said
        QCOMPARE(descricao("1001"), QStringLiteral("Ocupado, chamada da fila tocando"));
        m->Ev("AgentConnect", {"Queue: 1", "Member: Agent/1001", "BridgedChannel: Khomp/B0C1-1"});
        w->Timer1Timer();
        QCOMPARE(descricao("1001"), QStringLiteral("Ocupado na fila"));
        QCOMPARE(descricao("1002"), QStringLiteral("Livre"));
    }
};

QTEST_MAIN(TestUiListBase)
#include "test_ui_listbase.moc"
