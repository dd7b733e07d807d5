// The wallboard: its layout arithmetic at the usual screen sizes (inside the screen, no
// overlaps, texts that fit, every queue and agent on some page), the page rotation on a pinned
// clock, hostile settings, the numbers against the model, the user's permissions, the alert
// marks as drawn and read, and its place in the frame's registry.
#include "app/TfrmMain.h"
#include "base/Clock.h"
#include "monitor/TAlertas.h"
#include "settings/TConfigPainel.h"
#include "settings/TIniFile.h"
#include "support/TCentral.h"
#include "ui/dialogs/TfrmConfiguraPainel.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/widgets/TLayoutPainel.h"
#include "ui/widgets/TPainelParede.h"
#include "ui/windows/TfrmPainel.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool Parecida(QColor a, QColor b, int tolerancia = 24) {
    return std::abs(a.red() - b.red()) <= tolerancia &&
           std::abs(a.green() - b.green()) <= tolerancia &&
           std::abs(a.blue() - b.blue()) <= tolerancia;
}

void Escreve(const QString& arquivo, const QByteArray& texto) {
    QFile f(arquivo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(texto);
}

} // namespace

class TestUiWallboard : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    std::unique_ptr<TfrmPainel> w;
    qint64 agora = 0;

    // The window at a size, on the offscreen platform, with its clock pinned and no timer.
    TfrmPainel* Abre(QSize tamanho, const TConfigPainel& config = {}) {
        w = std::make_unique<TfrmPainel>(m->monitor.get());
        w->setObjectName("Painel");
        w->Relogio = [this] { return agora; };
        w->DefineConfig(config);
        w->resize(tamanho);
        w->show();
        w->Inicio();
        w->Timer1.stop();
        return w.get();
    }
    void Login(const QString& id, int status, int paused = 0) {
        m->Ev("Agentlogin", {"Agent: " + id, "Channel: SIP/2" + id.right(3), "Uniqueid: l" + id});
        m->Membro("1", "Agent/" + id, status, paused, "QueueMemberAdded");
        m->Membro("1", "Agent/" + id, status, paused);
    }
    QStringList Cartoes() const {
        QStringList ids;
        for (const TCartaoFila& c : w->Parede()->Cartoes())
            ids << c.FilaId;
        return ids;
    }
    QStringList Tiles() const {
        QStringList nomes;
        for (const TTileAtendente& t : w->Parede()->Tiles())
            nomes << t.Agent;
        return nomes;
    }

private Q_SLOTS:
    void init() {
        agora = 0;
        m = std::make_unique<TCentral>();
        m->Fila("1", "Atendimento Geral");
        m->Fila("2", "Suporte");
        m->Fila("3", "Cobrança");
        m->Agente("1001", "Ana");
        m->Agente("1002", "Bruno");
        m->Agente("1003", "Carla");
    }
    void cleanup() {
        w.reset();
        m.reset();
    }

    // --- Layout arithmetic
    // ------------------------------------------------------------------------

    void layout_data() {
        QTest::addColumn<QSize>("tela");
        QTest::addColumn<int>("filas");
        QTest::addColumn<int>("atendentes");
        QTest::addColumn<bool>("mostra");
        for (const QSize tela : {QSize(1280, 720), QSize(1920, 1080), QSize(3840, 2160)}) {
            const QByteArray t =
                QByteArray::number(tela.width()) + "x" + QByteArray::number(tela.height());
            QTest::addRow("%s%s", t.constData(), " 4 queues, 30 agents") << tela << 4 << 30 << true;
            QTest::addRow("%s%s", t.constData(), " 40 queues, 2000 agents")
                << tela << 40 << 2000 << true;
            QTest::addRow("%s%s", t.constData(), " one queue, no agent") << tela << 1 << 0 << true;
            QTest::addRow("%s%s", t.constData(), " agents only") << tela << 0 << 500 << true;
            QTest::addRow("%s%s", t.constData(), " agents hidden") << tela << 12 << 300 << false;
            QTest::addRow("%s%s", t.constData(), " nothing") << tela << 0 << 0 << true;
        }
        QTest::newRow("small window") << QSize(600, 400) << 5 << 50 << true;
        QTest::newRow("offset rectangle") << QSize(1600, 1000) << 7 << 77 << true;
    }
    void layout() {
        QFETCH(QSize, tela);
        QFETCH(int, filas);
        QFETCH(int, atendentes);
        QFETCH(bool, mostra);
        const QRect area(QTest::currentDataTag() == QByteArray("offset rectangle") ? QPoint(50, 30)
                                                                                   : QPoint(0, 0),
                         tela);
        const TLayoutPainel l(area, filas, atendentes, mostra);
        const int vistos = mostra ? atendentes : 0;

        // Every queue and every agent on exactly one page of a full turn.
        QList<int> vezesFila(filas, 0), vezesAtendente(vistos, 0);
        for (int p = 0; p < l.Paginas(); ++p) {
            QList<QRect> ocupados{l.Cabecalho()};
            auto coloca = [&](const QRect& r) {
                QVERIFY2(area.contains(r), qPrintable(QString("page %1 leaves the screen").arg(p)));
                for (const QRect& o : ocupados)
                    QVERIFY2(!o.intersects(r), qPrintable(QString("overlap on page %1").arg(p)));
                ocupados << r;
            };
            if (l.FilasNaPagina(p) > 0 &&
                p < (filas + l.CartoesPorPagina() - 1) / std::max(1, l.CartoesPorPagina()))
                for (int k = 0; k < l.FilasNaPagina(p); ++k)
                    ++vezesFila[l.PrimeiraFila(p) + k];
            if (vistos > 0 &&
                p < (vistos + l.TilesPorPagina() - 1) / std::max(1, l.TilesPorPagina()))
                for (int k = 0; k < l.AtendentesNaPagina(p); ++k)
                    ++vezesAtendente[l.PrimeiroAtendente(p) + k];
            for (int k = 0; k < l.FilasNaPagina(p); ++k)
                coloca(l.RetanguloCartao(k));
            for (int k = 0; k < l.AtendentesNaPagina(p); ++k)
                coloca(l.RetanguloTile(k));
        }
        QCOMPARE(vezesFila, QList<int>(filas, 1));
        QCOMPARE(vezesAtendente, QList<int>(vistos, 1));
        const int paginasFilas =
            filas ? (filas + l.CartoesPorPagina() - 1) / l.CartoesPorPagina() : 1;
        const int paginasAtendentes =
            vistos ? (vistos + l.TilesPorPagina() - 1) / l.TilesPorPagina() : 1;
        QCOMPARE(l.Paginas(), std::max(paginasFilas, paginasAtendentes));

        // The texts fit where they are drawn, measured in the fonts they are drawn with.
        if (filas > 0) {
            const QRect c = l.RetanguloCartao(0);
            QVERIFY(c.contains(l.TituloCartao(c)));
            QVERIFY(QFontMetrics(l.FonteNomeFila).height() <= l.TituloCartao(c).height());
            for (int i = 0; i < TLayoutPainel::kCelulas; ++i) {
                const QRect rr = l.RotuloCelula(c, i), rv = l.ValorCelula(c, i);
                QVERIFY(c.contains(rr) && c.contains(rv) && !rr.intersects(rv));
                QVERIFY2(
                    QFontMetrics(l.FonteRotulo).horizontalAdvance(TLayoutPainel::Rotulos()[i]) <=
                        rr.width(),
                    qPrintable(TLayoutPainel::Rotulos()[i]));
                for (const QString& v : TLayoutPainel::ValoresDeReferencia())
                    QVERIFY2(QFontMetrics(l.FonteValor).horizontalAdvance(v) <= rv.width(),
                             qPrintable(v));
            }
        }
        if (vistos > 0) {
            const QRect t = l.RetanguloTile(0);
            QFont negrito = l.FonteEstado;
            negrito.setBold(true);
            QVERIFY(QFontMetrics(negrito).horizontalAdvance("00:00:00") <=
                    l.LinhaTile(t, 2).width());
            QVERIFY(QFontMetrics(l.FonteEstado).horizontalAdvance("Indisponível") <=
                    l.LinhaTile(t, 1).width());
            for (int linha = 0; linha < 3; ++linha)
                QVERIFY(t.contains(l.LinhaTile(t, linha)));
            QVERIFY(!l.LinhaTile(t, 0).intersects(l.LinhaTile(t, 1)));
            QVERIFY(!l.LinhaTile(t, 1).intersects(l.LinhaTile(t, 2)));
        }
        // Never below the minimum sizes; on a TV the figures are large.
        QVERIFY(l.FonteValor.pixelSize() >= TLayoutPainel::kMinValor);
        QVERIFY(l.FonteRotulo.pixelSize() >= TLayoutPainel::kMinRotulo);
        QVERIFY(l.FonteEstado.pixelSize() >= TLayoutPainel::kMinEstado);
        if (tela.height() >= 1080) {
            QVERIFY(l.FonteValor.pixelSize() >= TLayoutPainel::kValor * tela.height() / 1080);
            QVERIFY(l.FonteNomeAtendente.pixelSize() >=
                    TLayoutPainel::kNomeAtendente * tela.height() / 1080);
        }
    }

    // Any page number, also negative or past the end, names a page of the turn.
    void pagesWrap() {
        const TLayoutPainel l(QRect(0, 0, 1280, 720), 3, 1000, true);
        QVERIFY(l.Paginas() > 2);
        QCOMPARE(l.PrimeiroAtendente(l.Paginas()), l.PrimeiroAtendente(0));
        QCOMPARE(l.PrimeiroAtendente(-1), l.PrimeiroAtendente(l.Paginas() - 1));
        // The queues, all on one page, stay on every page while the agents turn.
        for (int p = 0; p < l.Paginas(); ++p)
            QCOMPARE(l.FilasNaPagina(p), 3);
    }

    // --- Rotation --------------------------------------------------------------------------------

    void rotation_data() {
        QTest::addColumn<int>("segundos");
        QTest::addColumn<int>("efetivos");
        QTest::newRow("default") << 10 << 10;
        QTest::newRow("short") << 3 << 3;
        QTest::newRow("zero is clamped") << 0 << 3;
        QTest::newRow("negative is clamped") << -20 << 3;
        QTest::newRow("huge is clamped") << 1000000 << 600;
    }
    void rotation() {
        QFETCH(int, segundos);
        QFETCH(int, efetivos);
        for (int i = 0; i < 300; ++i)
            m->Agente(QString::number(2000 + i), QString("Agente %1").arg(i));
        TConfigPainel c;
        c.SomenteLogados = false;
        c.SegundosRotacao = segundos;
        TPainelParede* p = Abre(QSize(1280, 720), c)->Parede();
        QTRY_COMPARE(p->size(), QSize(1280, 720));
        w->Tick();
        const int paginas = p->Paginas();
        QVERIFY(paginas > 2);
        QCOMPARE(p->Pagina(), 0);
        agora = efetivos * 1000 - 1;
        w->Tick();
        QCOMPARE(p->Pagina(), 0);
        for (int k = 1; k <= paginas; ++k) {
            agora = qint64(k) * efetivos * 1000;
            w->Tick();
            QCOMPARE(p->Pagina(), k % paginas);
        }
        // The first tile of a page is the agent the layout puts there.
        const int primeiro = p->Layout().PrimeiroAtendente(p->Pagina());
        QCOMPARE(p->NomeItem(p->Layout().FilasNaPagina(0)),
                 "Atendente " + p->Tiles()[size_t(primeiro)].Numero + " - " +
                     p->Tiles()[size_t(primeiro)].Nome);
    }

    // Fewer agents leave fewer pages: the page shown is never one that is gone.
    void pageGoneWhenAgentsLeave() {
        for (int i = 0; i < 300; ++i) {
            const QString id = QString::number(2000 + i);
            m->Agente(id, "Agente " + id);
            m->Ev("Agentlogin", {"Agent: " + id, "Channel: SIP/" + id, "Uniqueid: l" + id});
        }
        TPainelParede* p = Abre(QSize(1280, 720))->Parede();
        QTRY_COMPARE(p->size(), QSize(1280, 720));
        w->Tick();
        QVERIFY(p->Paginas() > 2);
        p->SetPagina(p->Paginas() - 1);
        for (int i = 0; i < 290; ++i)
            m->Ev("Agentlogoff", {"Agent: " + QString::number(2000 + i)});
        w->Tick();
        QCOMPARE(p->Paginas(), 1);
        QCOMPARE(p->Pagina(), 0);
        QCOMPARE(p->ItensVisiveis(), 3 + 10);
    }

    // --- Settings --------------------------------------------------------------------------------

    void hostileSettings_data() {
        QTest::addColumn<QByteArray>("secao");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<int>("segundos");
        QTest::addColumn<bool>("atendentes");
        QTest::addColumn<bool>("logados");
        QTest::newRow("nothing stored") << QByteArray() << QStringList{} << 10 << true << true;
        QTest::newRow("negative rotation")
            << QByteArray("SegundosRotacao=-5\r\n") << QStringList{} << 3 << true << true;
        QTest::newRow("huge rotation")
            << QByteArray("SegundosRotacao=99999999999\r\n") << QStringList{} << 10 << true << true;
        QTest::newRow("rotation too long")
            << QByteArray("SegundosRotacao=86400\r\n") << QStringList{} << 600 << true << true;
        QTest::newRow("rotation not a number")
            << QByteArray("SegundosRotacao=dez\r\n") << QStringList{} << 10 << true << true;
        QTest::newRow("queues with blanks, repeats, empties")
            << QByteArray("Filas= 1 ,,1,2 , ,3,\r\n") << QStringList{"1", "2", "3"} << 10 << true
            << true;
        QTest::newRow("over-long identifier dropped")
            << QByteArray("Filas=1," + QByteArray(500, 'x') + ",2\r\n") << QStringList{"1", "2"}
            << 10 << true << true;
        QTest::newRow("switches off") << QByteArray("MostrarAtendentes=0\r\nSomenteLogados=0\r\n")
                                      << QStringList{} << 10 << false << false;
        QTest::newRow("switch any non-zero")
            << QByteArray("MostrarAtendentes=-7\r\n") << QStringList{} << 10 << true << true;
    }
    void hostileSettings() {
        QFETCH(QByteArray, secao);
        QFETCH(QStringList, filas);
        QFETCH(int, segundos);
        QFETCH(bool, atendentes);
        QFETCH(bool, logados);
        QTemporaryDir dir;
        Escreve(dir.filePath("MonitorVesmara.ini"),
                "[TelaPainel]\r\nWidth=-400\r\nHeight=999999\r\n" + secao);
        m->monitor->UserDir = dir.path() + '/';
        TfrmPainel j(m->monitor.get());
        j.setObjectName("Painel");
        j.LeVariaveis();
        QCOMPARE(j.Config().Filas, filas);
        QCOMPARE(j.Config().SegundosRotacao, segundos);
        QCOMPARE(j.Config().MostrarAtendentes, atendentes);
        QCOMPARE(j.Config().SomenteLogados, logados);
        QVERIFY(j.width() >= 320 && j.height() <= 16000);
    }

    // A hand-edited list of thousands of queues keeps a bounded number.
    void queueListIsBounded() {
        QStringList muitas;
        for (int i = 0; i < 5000; ++i)
            muitas << QString::number(i);
        const QStringList lidas = FilasDoTexto(muitas.join(','));
        QCOMPARE(lidas.size(), TConfigPainel::kMaximoFilas);
        QCOMPARE(lidas.first(), "0");
    }

    // What the window writes when it closes is what it reads when it reopens.
    void settingsRoundTrip() {
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path() + '/';
        TConfigPainel c;
        c.Filas = {"2", "3"};
        c.MostrarAtendentes = false;
        c.SomenteLogados = false;
        c.SegundosRotacao = 25;
        {
            TfrmPainel j(m->monitor.get());
            j.setObjectName("Painel");
            j.DefineConfig(c);
            j.SalvaCfgForm();
        }
        TfrmPainel k(m->monitor.get());
        k.setObjectName("Painel");
        k.LeVariaveis();
        QCOMPARE(k.Config(), c);
    }

    // --- Numbers ---------------------------------------------------------------------------------

    void numbersEqualTheModel() {
        Login("1001", 1);
        Login("1002", 1, 1);
        Login("1003", 3);
        m->Entra("1", "SIP/t1-01", "c1", 1);
        m->Avanca(75);
        m->Entra("1", "SIP/t2-02", "c2", 2);
        m->Avanca(5);
        m->Ev("QueueParams", {"Queue: 1", "Completed: 12", "Abandoned: 3", "ServiceLevel: 20",
                              "ServiceLevelPerf: 87.5"});
        Abre(QSize(1920, 1080));
        w->Tick();
        const TCartaoFila& c = w->Parede()->Cartoes().front();
        const TFila* f = m->F("1");
        QCOMPARE(c.FilaId, "1");
        QCOMPARE(c.Espera, f->WaitingCount());
        QCOMPARE(c.Livres, f->AtendentesLivres());
        QCOMPARE(c.Ocupados, f->AtendentesOcupados());
        QCOMPARE(c.Pausados, f->AtendentesPausados());
        QCOMPARE(c.Valores(), (QStringList{"2", "01:20", "87%", "12", "3", "1", "1", "1"}));
        // An answered call no longer waits: the longest wait is the other call's.
        m->Ev("Leave", {"Channel: SIP/t1-01", "Queue: 1", "Uniqueid: c1"});
        w->Tick();
        QCOMPARE(w->Parede()->Cartoes().front().Valores().mid(0, 2), (QStringList{"1", "00:05"}));
        m->Ev("Leave", {"Channel: SIP/t2-02", "Queue: 1", "Uniqueid: c2"});
        w->Tick();
        QCOMPARE(w->Parede()->Cartoes().front().Valores().mid(0, 2), (QStringList{"0", "00:00"}));

        // Tiles: the agents window's texts and colours.
        const TEsquemaCores e = EsquemaPadrao();
        for (const TTileAtendente& t : w->Parede()->Tiles()) {
            const TAgente* a = m->A(t.Agent);
            QVERIFY(a);
            QCOMPARE(t.Nome, a->AgentName);
            QCOMPARE(t.Estado, a->StatusText(0, m->monitor->MotivosPausa));
            QCOMPARE(t.Duracao, a->DurationText(0));
            QCOMPARE(t.Fundo, CorBgr(e.CorFundo(a->ClasseCor(0))));
        }
        QVERIFY(w->Parede()->Tiles()[1].Estado.startsWith("Em pausa"));
        QCOMPARE(w->Parede()->Tiles()[1].Fundo, CorBgr(e.CorFundo(TClasseCor::EmPausa)));
    }

    // The service level as the server writes it; what is not a percentage reads as unknown.
    void serviceLevel_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("decimal") << "87.5"
                                 << "87%";
        QTest::newRow("whole") << "100"
                               << "100%";
        QTest::newRow("empty") << ""
                               << "-";
        QTest::newRow("not a number") << "abc"
                                      << "-";
        QTest::newRow("negative") << "-3.2"
                                  << "-";
        QTest::newRow("over a hundred") << "250.0"
                                        << "-";
        QTest::newRow("huge") << QString(5000, '9') << "-";
    }
    void serviceLevel() {
        QFETCH(QString, texto);
        QFETCH(QString, mostrado);
        m->Ev("QueueParams", {"Queue: 1", "ServiceLevelPerf: " + texto});
        QCOMPARE(TfrmPainel::CartaoDe(*m->F("1")).Servico, mostrado);
    }

    // --- What is shown ---------------------------------------------------------------------------

    void filters_data() {
        QTest::addColumn<QStringList>("escolhidas");
        QTest::addColumn<bool>("atendentes");
        QTest::addColumn<bool>("logados");
        QTest::addColumn<QStringList>("cartoes");
        QTest::addColumn<QStringList>("tiles");
        const QStringList todos{"Agent/1001", "Agent/1002", "Agent/1003"};
        QTest::newRow("all queues, logged-in agents")
            << QStringList{} << true << true << QStringList{"1", "2", "3"}
            << QStringList{"Agent/1001", "Agent/1002"};
        QTest::newRow("all queues, every agent")
            << QStringList{} << true << false << QStringList{"1", "2", "3"} << todos;
        QTest::newRow("agents hidden")
            << QStringList{} << false << false << QStringList{"1", "2", "3"} << QStringList{};
        QTest::newRow("chosen queue: its members")
            << QStringList{"2"} << true << false << QStringList{"2"} << QStringList{"Agent/1002"};
        QTest::newRow("chosen in another order: model order")
            << QStringList{"3", "1"} << true << true << QStringList{"1", "3"}
            << QStringList{"Agent/1001"};
        QTest::newRow("chosen queue no longer exists")
            << QStringList{"9"} << true << true << QStringList{} << QStringList{};
    }
    void filters() {
        QFETCH(QStringList, escolhidas);
        QFETCH(bool, atendentes);
        QFETCH(bool, logados);
        QFETCH(QStringList, cartoes);
        QFETCH(QStringList, tiles);
        Login("1001", 1);
        m->Ev("Agentlogin", {"Agent: 1002", "Channel: SIP/2002", "Uniqueid: l2"});
        m->Membro("2", "Agent/1002", 1, 0, "QueueMemberAdded");
        m->Membro("3", "Agent/1003", 5, 0, "QueueMemberAdded");
        TConfigPainel c;
        c.Filas = escolhidas;
        c.MostrarAtendentes = atendentes;
        c.SomenteLogados = logados;
        Abre(QSize(1280, 720), c);
        w->Tick();
        QCOMPARE(Cartoes(), cartoes);
        QCOMPARE(Tiles(), tiles);
    }

    // A restricted user sees only the queues of the permission, chosen or not.
    void permissions() {
        m->Feed(Linha("ZXDBLoginVesmara", {"user: restrito", "tipoUsuario: u", "tipo: ",
                                           "perfil: Supervisores", "idUser: ", "permissao: "}));
        m->Feed(
            Linha("ZXDBListaPermissaoUsuario", {"Usuario: Supervisores", "PermissaoGrupoId: Fila",
                                                "PermissaoNomeId: Visualizar"}));
        m->Feed(Linha("ZXDBListaPermissaoUsuarioExtra",
                      {"Usuario: Supervisores", "PermissaoGrupoId: Fila",
                       "PermissaoNomeId: Visualizar", "Valor: 2", "Tipo: r"}));
        QVERIFY(!m->monitor->TemPermissaoFilaId("1"));
        QVERIFY(m->monitor->TemPermissaoFilaId("2"));
        Abre(QSize(1280, 720));
        w->Tick();
        QCOMPARE(Cartoes(), QStringList{"2"});
        TConfigPainel c;
        c.Filas = {"1", "2", "3"};
        w->DefineConfig(c);
        QCOMPARE(Cartoes(), QStringList{"2"});
        // The dialog offers only what may be seen.
        w->Configura();
        auto* d = w->findChild<TfrmConfiguraPainel*>();
        QVERIFY(d);
        QCOMPARE(d->Lista()->count(), 1);
        QCOMPARE(d->Lista()->item(0)->data(Qt::UserRole).toString(), "2");
        d->reject();
    }

    // The dialog: "Todas as filas" or at least one queue; the rotation stays in its range.
    void dialog() {
        TConfigPainel c;
        c.Filas = {"2"};
        TfrmConfiguraPainel d({{"1", "Fila 1"}, {"2", "Fila 2"}, {"3", "Fila 3"}}, c);
        QVERIFY(!d.Todas()->isChecked());
        QCOMPARE(d.Lista()->item(1)->checkState(), Qt::Checked);
        d.Lista()->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!d.PodeConfirmar());
        d.Lista()->item(2)->setCheckState(Qt::Checked);
        d.Lista()->item(0)->setCheckState(Qt::Checked);
        QVERIFY(d.PodeConfirmar());
        d.Segundos()->setValue(100000);
        d.Atendentes()->setChecked(false);
        const TConfigPainel r = d.Resultado();
        QCOMPARE(r.Filas, (QStringList{"1", "3"}));
        QCOMPARE(r.SegundosRotacao, TConfigPainel::kRotacaoMaxima);
        QVERIFY(!r.MostrarAtendentes);
        QVERIFY(!d.Logados()->isEnabled());
        d.Todas()->setChecked(true);
        QVERIFY(d.Resultado().Filas.isEmpty());
    }

    // --- Alerts and accessibility ----------------------------------------------------------------

    // The model's alerts reach the wallboard on its second and leave it with their condition.
    void alertsOfTheModelAreShown() {
        Login("1001", 3);
        TPainelParede* p = Abre(QSize(1280, 720))->Parede();
        m->monitor->Alertas().DefineRegras({{TTipoAlerta::FilaEsperando, {}, 1}});
        m->Entra("1", "SIP/5550-01", "c1", 1);
        m->monitor->Alertas().Avalia(ServerNow());
        w->Tick();
        QVERIFY(p->FilaEmAlerta("1"));
        QVERIFY(!p->FilaEmAlerta("2"));
        QVERIFY(p->DescricaoItem(0).endsWith("Em alerta"));
        m->Ev("Leave", {"Channel: SIP/5550-01", "Queue: 1", "Count: 0", "Uniqueid: c1"});
        m->monitor->Alertas().Avalia(ServerNow());
        w->Tick();
        QVERIFY(!p->FilaEmAlerta("1"));
    }

    void alertsAreDrawnAndRead() {
        Login("1001", 1);
        TPainelParede* p = Abre(QSize(1280, 720))->Parede();
        QTRY_COMPARE(p->size(), QSize(1280, 720));
        w->Tick();
        const TLayoutPainel& l = p->Layout();
        const QRect cartao = l.RetanguloCartao(0);
        const QRect tile = l.RetanguloTile(0);
        const QPoint fundoCartao(cartao.center().x(), cartao.bottom() - 3);
        const QPoint bordaTile(tile.left() + 2, tile.center().y());
        QImage antes = p->grab().toImage();
        QVERIFY(!Parecida(antes.pixelColor(fundoCartao), TPainelParede::CorAlerta()));
        QVERIFY(!Parecida(antes.pixelColor(bordaTile), TPainelParede::CorAlerta()));

        w->MarcaAlertaFila("1", true);
        w->MarcaAlertaAtendente("Agent/1001", true);
        QImage depois = p->grab().toImage();
        QVERIFY(Parecida(depois.pixelColor(fundoCartao), TPainelParede::CorAlerta()));
        QVERIFY(Parecida(depois.pixelColor(bordaTile), TPainelParede::CorAlerta(), 40));
        QVERIFY(p->DescricaoItem(0).endsWith("Em alerta"));
        QVERIFY(p->DescricaoItem(l.FilasNaPagina(0)).endsWith("Em alerta"));
        QVERIFY(!p->DescricaoItem(1).contains("Em alerta"));

        w->MarcaAlertaFila("1", false);
        QVERIFY(!Parecida(p->grab().toImage().pixelColor(fundoCartao), TPainelParede::CorAlerta()));
    }

    void accessibleItems() {
        Login("1001", 1);
        m->Entra("1", "SIP/t1-01", "c1", 1);
        TPainelParede* p = Abre(QSize(1280, 720))->Parede();
        QTRY_COMPARE(p->size(), QSize(1280, 720));
        w->Tick();
        QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(p);
        QVERIFY(lista);
        QCOMPARE(lista->role(), QAccessible::List);
        QCOMPARE(lista->childCount(), 3 + 1);
        QAccessibleInterface* cartao = lista->child(0);
        QCOMPARE(cartao->role(), QAccessible::ListItem);
        QCOMPARE(cartao->text(QAccessible::Name), "Fila 1 - Atendimento Geral");
        QVERIFY2(cartao->text(QAccessible::Description)
                     .startsWith("Em espera: 1; Maior espera: 00:00; Nível de serviço: -"),
                 qPrintable(cartao->text(QAccessible::Description)));
        QAccessibleInterface* tile = lista->child(3);
        QCOMPARE(tile->text(QAccessible::Name), "Atendente 1001 - Ana");
        QCOMPARE(tile->text(QAccessible::Description),
                 "Estado: Livre; Tempo: 00:00:00; Cor: Livre");
        QCOMPARE(lista->indexOfChild(tile), 3);
        QCOMPARE(tile->rect().size(), p->Layout().RetanguloTile(0).size());
    }

    // F11 takes the wallboard out to full screen and back; closing it there brings it back;
    // the window closed in full screen reopens so.
    void fullScreen() {
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path() + '/';
        TPainelParede* p = Abre(QSize(800, 600))->Parede();
        QVERIFY(p->parentWidget() == w.get());
        QTest::keyClick(p, Qt::Key_F11);
        QVERIFY(w->TelaCheia());
        QVERIFY(p->isWindow());
        QVERIFY(p->windowState() & Qt::WindowFullScreen);
        p->close();
        QTRY_VERIFY(!w->TelaCheia());
        QVERIFY(p->parentWidget() == w.get() && !p->isWindow());
        QTest::keyClick(p, Qt::Key_F11);
        QVERIFY(w->TelaCheia());
        w->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
        w->close();
        QVERIFY(!p->isWindow());
        TfrmPainel k(m->monitor.get());
        k.setObjectName("Painel");
        k.LeVariaveis();
        QVERIFY(k.Config().TelaCheia);
    }

    // --- Frame -----------------------------------------------------------------------------------

    // "Exibir" > "Painel de parede" opens one window under "Painel"; TelasAbrir reopens it.
    void registryAndReopening() {
        QTemporaryDir dir;
        TfrmMain main(dir.path() + '/');
        TMonitor* mon = main.Monitor();
        mon->TrataManagerPacket(
            mon->ManagerConnection(),
            Linha("ZXDBListaFilas", {"FilaId: 1", "Nome: Geral", "Numero: 801", "Tipo: v"}));
        main.CriaTelas({"Painel"});
        QVERIFY(main.ProcuraTelaPainel());
        QStringList exibir;
        for (QAction* a : main.MenuExibir()->actions())
            exibir << a->text();
        QVERIFY2(exibir.contains("Painel de parede"), qPrintable(exibir.join(',')));
        main.MenuExibirPainelClick();
        QCOMPARE(main.SetaTelasAtuais().count("Painel"), 1);
        QCOMPARE(main.CloseAllWindows(), QStringList{"Painel"});
        main.CriaTelas({});
        QVERIFY(!main.ProcuraTelaPainel());
    }
};

QTEST_MAIN(TestUiWallboard)
#include "test_ui_wallboard.moc"
