// What a supervisor reads and types: Qt's own dialogs in Portuguese, socket errors in the
// program's words, exact window titles, the program's icon, the connection dialog refusing an
// empty address, the agents window at the first start, accelerators, Enter and Esc in every
// dialog, dialogs centred on the main window; and the queue menus and texts that follow the
// user's permissions and the queue types.
#include "app/TAplicacao.h"
#include "app/TLabelInformacao.h"
#include "app/TfrmMain.h"
#include "app/TfrmOpcoes.h"
#include "app/TfrmTelaConexao.h"
#include "app/TfrmTelaLogin.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "support/TCentral.h"
#include "support/TMonitorNoSimulador.h"
#include "support/TRecordingUi.h"
#include "ui/dialogs/TEscolheCor.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/windows/TMenuAtendente.h"
#include "ui/windows/TfrmAgentes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `f` on the modal dialog the next statement opens (QMessageBox::question, a colour
// chooser), once it is showing.
void NoProximoModal(std::function<void(QWidget*)> f) {
    auto* tentativa = new QTimer;
    tentativa->setInterval(10);
    QObject::connect(tentativa, &QTimer::timeout, tentativa, [tentativa, f] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        tentativa->stop();
        tentativa->deleteLater();
        f(modal);
    });
    tentativa->start();
}

QStringList TextosDosBotoes(const QMessageBox* box) {
    QStringList textos;
    for (QAbstractButton* b : box->buttons())
        textos << b->text().remove(u'&');
    textos.sort();
    return textos;
}

// How far a window's centre lies from the main window's centre.
int DistanciaDoCentro(const QWidget* w, const QWidget* main) {
    return (w->frameGeometry().center() - main->frameGeometry().center()).manhattanLength();
}

QStringList TagsDoMenu(const std::vector<TMonitor::TFilaMenu>& itens) {
    QStringList tags;
    for (const TMonitor::TFilaMenu& i : itens)
        tags << QString::number(i.Tag);
    return tags;
}

struct TSimulador {
    TPbxServer server;
    bool Inicia() {
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        return server.start(options);
    }
    // A profile "Sim" that logs in as `user` without asking, reopening `telas`.
    void Perfil(const QString& pasta, const QString& user, const QString& telas) {
        TIniFile(pasta + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(pasta + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server.managerPort());
        profile.WriteString("Conexao", "Usuario", user);
        profile.WriteString("Conexao", "Senha", user);
        profile.WriteBool("Conexao", "SalvarSenha", true);
        if (!telas.isEmpty()) profile.WriteString("Preferencias", "TelasAbrir", telas);
    }
};

// Records what the reason colours were when the windows were asked to open.
struct TUiCores : TRecordingUi {
    TMonitor* monitor = nullptr;
    QList<int> corAoAbrir;
    void CreateWindows(const QStringList& telas) override {
        TRecordingUi::CreateWindows(telas);
        corAoAbrir << monitor->CoresMotivos.LeCorMotivoChamada("Motivo", "Venda");
    }
};

} // namespace

class TestUiTexts : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Folder() const { return dir.path() + u'/'; }

    // A frame with room around it, so "centred on it" differs from "centred on the screen".
    void MostraPrincipal(TfrmMain& main) {
        main.setGeometry(60, 40, 700, 500);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // No profile: the connection dialog would open by itself in half a second.
        QTRY_VERIFY(main.Monitor()->TimerConexao.isActive());
        main.Monitor()->TimerConexao.stop();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(PreparaAplicacao(*qApp), "Qt's Portuguese translation (qtbase_pt_BR)");
    }
    void init() {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    // --- Qt's own texts, the icon, the titles ----------------------------------------------

    void questionBoxSpeaksPortuguese_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificador");
        QTest::addColumn<bool>("sim");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
        QTest::newRow("Enter (Não is the default)")
            << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
        QTest::newRow("S (Sim)") << int(Qt::Key_S) << int(Qt::NoModifier) << true;
    }
    // The logoff question of the agents window: "Sim"/"Não", answered from the keyboard,
    // centred on the main window.
    void questionBoxSpeaksPortuguese() {
        QFETCH(int, tecla);
        QFETCH(int, modificador);
        QFETCH(bool, sim);
        TfrmMain main(Folder());
        MostraPrincipal(main);
        auto* janela = new TfrmAgentes(main.Monitor());
        main.AdicionaJanela(janela, "Atendentes")->show();
        QStringList botoes;
        int distancia = -1;
        NoProximoModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            botoes = TextosDosBotoes(box);
            distancia = DistanciaDoCentro(box, &main);
            QTest::keyClick(box, Qt::Key(tecla), Qt::KeyboardModifiers(modificador));
            // A key that did nothing fails the test instead of leaving the box open.
            QTimer::singleShot(3000, box, [box] { box->done(-1); });
        });
        const bool resposta = janela->Gerencia()->Pergunta(
            {"Logoff de atendente", "Confirma logoff do atendente 1001 (Ana)?"});
        QCOMPARE(botoes, (QStringList{QStringLiteral("Não"), QStringLiteral("Sim")}));
        QVERIFY2(distancia >= 0 && distancia < 40, qPrintable(QString::number(distancia)));
        QCOMPARE(resposta, sim);
        main.close();
    }

    void standardTextsInPortuguese_data() {
        QTest::addColumn<QString>("contexto");
        QTest::addColumn<QString>("ingles");
        QTest::addColumn<QString>("portugues");
        QTest::newRow("Yes") << "QPlatformTheme"
                             << "&Yes"
                             << "&Sim";
        QTest::newRow("No") << "QPlatformTheme"
                            << "&No"
                            << "&Não";
        QTest::newRow("Cancel") << "QPlatformTheme"
                                << "Cancel"
                                << "Cancelar";
        QTest::newRow("colour chooser") << "QColorDialog"
                                        << "Select Color"
                                        << "Selecionar cor";
        QTest::newRow("basic colours") << "QColorDialog"
                                       << "&Basic colors"
                                       << "Cores &básicas";
    }
    void standardTextsInPortuguese() {
        QFETCH(QString, contexto);
        QFETCH(QString, ingles);
        QFETCH(QString, portugues);
        QCOMPARE(QCoreApplication::translate(contexto.toLatin1(), ingles.toLatin1()), portugues);
    }

    void programIconOnEveryWindow() {
        QVERIFY(!QApplication::windowIcon().isNull());
        // Drawn from our SVG (the image plugin is there), not an empty or default icon.
        const QImage imagem = QApplication::windowIcon().pixmap(64, 64).toImage();
        QVERIFY(!imagem.isNull());
        QVERIFY(imagem.pixelColor(32, 32).alpha() > 0 || imagem.pixelColor(20, 40).alpha() > 0);
        TfrmMain main(Folder());
        QCOMPARE(main.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        TfrmTelaConexao conexao(
            main.Monitor(), [] { return QStringList(); }, &main);
        QCOMPARE(conexao.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    }

    void windowTitlesAsGiven_data() {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<bool>("filhaMaximizada");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("default profile") << "" << false << "Monitor Vesmara";
        QTest::newRow("named profile") << "Matriz" << false << "Monitor Vesmara - Matriz";
        QTest::newRow("maximised child") << "" << true << "Monitor Vesmara - [Atendentes]";
    }
    // The title reaches the window system as it is: the platform appends the application's
    // display name to any title that does not already end with it, so there must be none.
    void windowTitlesAsGiven() {
        QFETCH(QString, perfil);
        QFETCH(bool, filhaMaximizada);
        QFETCH(QString, titulo);
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString());
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Monitor Vesmara"));
        TfrmMain main(Folder());
        MostraPrincipal(main);
        if (!perfil.isEmpty()) main.Monitor()->SetaConexaoAtiva(perfil);
        if (filhaMaximizada) {
            auto* janela = new TfrmAgentes(main.Monitor());
            QMdiSubWindow* sub = main.AdicionaJanela(janela, "Atendentes");
            sub->showMaximized();
            QCOMPARE(janela->windowTitle(), QStringLiteral("Atendentes"));
        }
        QTRY_COMPARE(main.windowTitle(), titulo);
        main.close();
    }

    // --- Errors in the program's words ------------------------------------------------------

    void socketErrorsInTheProgramsWords_data() {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("texto");
        QTest::newRow("10065") << 10065 << "Erro 10065: Servidor não encontrado";
        QTest::newRow("10061") << 10061 << "Erro 10061: Conexão encerrada pelo servidor";
        QTest::newRow("10060") << 10060 << "Erro 10060: IP do servidor inexistente";
        QTest::newRow("other") << 10050 << "Erro 10050: Conexão encerrada pelo servidor";
    }
    // The error reaches the status bar and the error hook (which may show it in a box) with
    // the same text; never "Asynchronous socket error".
    void socketErrorsInTheProgramsWords() {
        QFETCH(int, codigo);
        QFETCH(QString, texto);
        TRecordingUi ui;
        TMonitor monitor(&ui);
        monitor.Inicia(QString());
        monitor.OnClientManagerError(monitor.ManagerConnection(), codigo);
        QCOMPARE(ui.status.last(), texto);
        QCOMPARE(ui.erros, QStringList{texto});

        TfrmMain main(Folder());
        main.Monitor()->OnClientManagerError(main.Monitor()->ManagerConnection(), codigo);
        QMessageBox* box = main.findChild<QMessageBox*>();
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->text(), texto);
        QCOMPARE(main.PainelStatus()->text(), texto);
        box->close();
    }

    void refusedLoginLeavesNoStaleStatus_data() {
        QTest::addColumn<QString>("pacote");
        QTest::addColumn<QString>("texto");
        QTest::newRow("manager login") << "Response: Error\r\nActionID: login\r\nMessage: x\r\n\r\n"
                                       << "Erro de login no Vesmara";
        QTest::newRow("platform user")
            << "Event: ZXDBComplete\r\nZXDBActionID: ZXDBLoginVesmara\r\n\r\n"
            << "Erro: Dados do usuário incorretos";
    }
    // What the monitor reports as its status (the probe prints it, the dialogs show it) is the
    // refusal, not the "Conectado ao Vesmara" before it.
    void refusedLoginLeavesNoStaleStatus() {
        QFETCH(QString, pacote);
        QFETCH(QString, texto);
        TRecordingUi ui;
        TMonitor monitor(&ui);
        monitor.Inicia(QString());
        monitor.OnClientManagerConnect(monitor.ManagerConnection());
        QCOMPARE(monitor.StatusText, QStringLiteral("Conectado ao Vesmara"));
        QSignalSpy status(&monitor, &TMonitor::StatusChanged);
        monitor.TrataManagerPacket(monitor.ManagerConnection(), pacote);
        QCOMPARE(monitor.StatusText, texto);
        QCOMPARE(status.size(), 1);
        QCOMPARE(status.first().first().toString(), texto);
        QCOMPARE(ui.status.last(), texto);
    }

    // --- The connection dialog --------------------------------------------------------------

    void emptyAddressIsRefused_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("contagem");
        QTest::addColumn<bool>("conecta");
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("blanks") << "   " << false << false;
        QTest::newRow("countdown ends") << "" << true << false;
        QTest::newRow("an address") << "127.0.0.1" << false << true;
    }
    void emptyAddressIsRefused() {
        QFETCH(QString, ip);
        QFETCH(bool, contagem);
        QFETCH(bool, conecta);
        TRecordingUi ui;
        TMonitor monitor(&ui);
        monitor.Inicia(Folder());
        TfrmTelaConexao dialog(&monitor, [] { return QStringList(); });
        dialog.EditIP()->setText(ip);
        // A port nobody listens on: the attempt, when made, fails harmlessly.
        dialog.EditPorta()->setText("1");
        if (contagem) {
            dialog.IniciaContagem(1);
            dialog.ContagemTick();
            dialog.ContagemTick();
        } else {
            dialog.ConectarClick();
        }
        QCOMPARE(monitor.ConnectPending(), conecta);
        QCOMPARE(QFileInfo::exists(Folder() + "MonitorVesmara.ini"), conecta);
        if (conecta) return;
        QCOMPARE(dialog.Informacao()->toolTip(),
                 QStringLiteral("Erro 10039: Endereço IP não está especificado"));
        QCOMPARE(dialog.Informacao()->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(dialog.BotaoConectar()->isEnabled());
        QVERIFY(!monitor.ManagerConnection()->IsActive());
        QVERIFY(ui.status.isEmpty());
    }

    // --- The first start --------------------------------------------------------------------

    void agentsWindowAtFirstStart_data() {
        QTest::addColumn<QString>("telas");
        QTest::addColumn<bool>("atendentes");
        QTest::addColumn<bool>("atendentesChat");
        QTest::newRow("nothing to reopen") << "" << true << false;
        QTest::newRow("windows to reopen") << "AtendentesChat" << false << true;
    }
    void agentsWindowAtFirstStart() {
        QFETCH(QString, telas);
        QFETCH(bool, atendentes);
        QFETCH(bool, atendentesChat);
        TSimulador sim;
        QVERIFY(sim.Inicia());
        sim.Perfil(dir.path(), "demo", telas);
        TfrmMain main(Folder());
        main.Monitor()->PortaChat = sim.server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        QCOMPARE(main.FormExiste("Atendentes"), atendentes);
        QCOMPARE(main.FormExiste("AtendentesChat"), atendentesChat);
        if (atendentes) {
            // Only the first load of the run: one that finds nothing to reopen later leaves
            // the frame as the user left it.
            main.ProcuraSubJanela("Atendentes")->close();
            QTRY_VERIFY(!main.FormExiste("Atendentes"));
            main.CreateWindows({});
            QVERIFY(!main.FormExiste("Atendentes"));
        }
        main.close();
    }

    // --- Keyboard ---------------------------------------------------------------------------

    // Every caption of the fixed menus has one accelerator, unique within its menu; the
    // window list numbers its entries.
    void menuAccelerators() {
        TfrmMain main(Folder());
        auto* janela = new TfrmAgentes(main.Monitor());
        main.AdicionaJanela(janela, "Atendentes")->show();
        const QRegularExpression um(QStringLiteral("^[^&]*&[^&][^&]*$"));
        std::function<void(QMenu*, const QString&)> confere;
        auto letras = [&](const QList<QAction*>& acoes, const QString& onde) {
            QSet<QChar> usadas;
            for (QAction* a : acoes) {
                if (a->isSeparator()) continue;
                const QString t = a->menu() ? a->menu()->title() : a->text();
                QVERIFY2(um.match(t).hasMatch(), qPrintable(onde + ": " + t));
                const QChar letra = t.at(t.indexOf(u'&') + 1).toLower();
                QVERIFY2(!usadas.contains(letra), qPrintable(onde + ": " + t));
                usadas.insert(letra);
                if (a->menu() && a->menu() != main.MenuExibir()) {
                    Q_EMIT a->menu()->aboutToShow();
                    confere(a->menu(), t);
                }
            }
        };
        confere = [&](QMenu* menu, const QString& onde) { letras(menu->actions(), onde); };
        letras(main.menuBar()->actions(), "menu bar");
        // The window list of "Janela": "&1 Atendentes".
        QMenu* menuJanela = nullptr;
        for (QAction* a : main.menuBar()->actions())
            if (a->menu() && a->menu()->title() == u"&Janela") menuJanela = a->menu();
        QVERIFY(menuJanela);
        Q_EMIT menuJanela->aboutToShow();
        QCOMPARE(menuJanela->actions().last()->text(), QStringLiteral("&1 Atendentes"));
    }

    void enterAndEscInDialogs_data() {
        QTest::addColumn<QString>("dialogo");
        QTest::addColumn<int>("tecla");
        QTest::addColumn<bool>("aceita");
        for (const char* d : {"Conectar", "Login", "Opções", "Personalizar cores"}) {
            QTest::addRow("%s Enter", d) << QString::fromUtf8(d) << int(Qt::Key_Return) << true;
            QTest::addRow("%s Esc", d) << QString::fromUtf8(d) << int(Qt::Key_Escape) << false;
        }
    }
    // Enter does what the dialog's main button does; Esc closes it without effect.
    void enterAndEscInDialogs() {
        QFETCH(QString, dialogo);
        QFETCH(int, tecla);
        QFETCH(bool, aceita);
        TRecordingUi ui;
        TMonitor monitor(&ui);
        monitor.Inicia(Folder());
        QWidget pai;
        pai.resize(800, 600);
        QPointer<QDialog> d;
        std::function<bool()> efeito;
        if (dialogo == u"Conectar") {
            auto* c = new TfrmTelaConexao(
                &monitor, [] { return QStringList(); }, &pai);
            c->EditIP()->setText("127.0.0.1");
            c->EditPorta()->setText("1");
            efeito = [&] { return monitor.ConnectPending(); };
            d = c;
        } else if (dialogo == u"Login") {
            auto* l = new TfrmTelaLogin(&monitor, 0, &pai);
            l->findChildren<QLineEdit*>().first()->setText("supervisora");
            efeito = [&] { return monitor.Usuario == u"supervisora"; };
            d = l;
        } else if (dialogo == u"Opções") {
            auto* o = new TfrmOpcoes(&monitor, &pai);
            QCheckBox* notificar = o->findChild<QCheckBox*>();
            notificar->setChecked(!notificar->isChecked());
            const bool antes = monitor.Geral.ChatRxMensagem;
            efeito = [&monitor, antes] { return monitor.Geral.ChatRxMensagem != antes; };
            d = o;
        } else {
            auto* c = new TfrmConfiguraCores(Folder() + "MonitorVesmara.ini", &pai);
            c->setAttribute(Qt::WA_DeleteOnClose);
            c->ConfiguraParaAtendentes();
            c->LeConfigCores("TelaAtendentes");
            c->SelecionaUtilizar(1);
            efeito = [this] {
                return TIniFile(Folder() + "MonitorVesmara.ini")
                           .ReadInteger("TelaAtendentes", "Cor", 0) == 2;
            };
            d = c;
        }
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QWidget* foco = d->focusWidget() ? d->focusWidget() : d.data();
        QTest::keyClick(foco, Qt::Key(tecla));
        QCOMPARE(efeito(), aceita);
        if (!aceita) QTRY_VERIFY(d.isNull());
        delete d.data();
    }

    // --- Dialogs centred on the main window -------------------------------------------------

    void dialogsCentredOnTheMainWindow_data() {
        QTest::addColumn<QString>("dialogo");
        QTest::newRow("Conectar") << "Conectar";
        QTest::newRow("Login") << "Login";
        QTest::newRow("Opções with a position off every screen") << "Opções";
        QTest::newRow("Personalizar cores never placed") << "Personalizar cores";
        QTest::newRow("colour chooser") << "cor";
    }
    void dialogsCentredOnTheMainWindow() {
        QFETCH(QString, dialogo);
        TIniFile(Folder() + "MonitorVesmara.ini").WriteInteger("Notificacao", "TelaLeft", -9000);
        TfrmMain main(Folder());
        MostraPrincipal(main);
        QWidget* d = nullptr;
        if (dialogo == u"cor") {
            int distancia = -1;
            NoProximoModal([&](QWidget* modal) {
                distancia = DistanciaDoCentro(modal, &main);
                qobject_cast<QDialog*>(modal)->reject();
            });
            QVERIFY(!EscolheCor(&main, 0xFF));
            QVERIFY2(distancia >= 0 && distancia < 40, qPrintable(QString::number(distancia)));
            main.close();
            return;
        }
        if (dialogo == u"Conectar")
            d = new TfrmTelaConexao(
                main.Monitor(), [] { return QStringList(); }, &main);
        else if (dialogo == u"Login")
            d = new TfrmTelaLogin(main.Monitor(), 0, &main);
        else if (dialogo == u"Opções")
            d = new TfrmOpcoes(main.Monitor(), &main);
        else {
            auto* c = new TfrmConfiguraCores(Folder() + "MonitorVesmara.ini", &main);
            c->ConfiguraParaAtendentes();
            c->LeConfigCores("TelaAtendentes");
            d = c;
        }
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        const int distancia = DistanciaDoCentro(d, &main);
        QVERIFY2(distancia < 40, qPrintable(QString::number(distancia)));
        delete d;
        main.close();
    }

    // --- Call-reason colours ----------------------------------------------------------------

    // The end of every load empties the reason colours and reads them again from the profile,
    // before the windows open.
    void reasonColoursReloadedAtTheEndOfTheLoad() {
        TIniFile perfil(Folder() + "MonitorVesmara.ini");
        perfil.WriteInteger("CoresMotivos", "Venda", 0x0000FF);
        TUiCores ui;
        TMonitor monitor(&ui);
        ui.monitor = &monitor;
        monitor.Inicia(Folder());
        monitor.CoresMotivos.SetaCorMotivoChamada("SubMotivo", "Antigo", 0x00FF00);
        monitor.TerminouCargaDeDados();
        QCOMPARE(ui.corAoAbrir, QList<int>{0x0000FF});
        QCOMPARE(monitor.CoresMotivos.LeCorMotivoChamada("SubMotivo", "Antigo"), 0);

        perfil.EraseSection("CoresMotivos");
        perfil.WriteInteger("CoresSubMotivos", "Cartão", 0x123456);
        monitor.TerminouCargaDeDados();
        QCOMPARE(ui.corAoAbrir.last(), 0);
        QCOMPARE(monitor.CoresMotivos.LeCorMotivoChamada("SubMotivo", "Cartão"), 0x123456);
    }

    void reasonColourChooser_data() {
        QTest::addColumn<bool>("escolhe");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    // The chooser opens preset with the reason's colour; a chosen colour is stored and saved.
    void reasonColourChooser() {
        QFETCH(bool, escolhe);
        TIniFile(Folder() + "MonitorVesmara.ini").WriteInteger("CoresMotivos", "Venda", 0x0000FF);
        TRecordingUi ui;
        TMonitor monitor(&ui);
        monitor.Inicia(Folder());
        monitor.TerminouCargaDeDados();
        QColor preset;
        NoProximoModal([&](QWidget* modal) {
            auto* cores = qobject_cast<QColorDialog*>(modal);
            QVERIFY(cores);
            preset = cores->currentColor();
            cores->setCurrentColor(QColor(0x12, 0x34, 0x56));
            if (escolhe)
                cores->accept();
            else
                cores->reject();
        });
        QCOMPARE(EscolheCorMotivoChamada(nullptr, monitor, "Motivo", "Venda"), escolhe);
        QCOMPARE(preset, QColor(0xFF, 0, 0));
        const int esperada = escolhe ? 0x563412 : 0x0000FF;
        QCOMPARE(monitor.CoresMotivos.LeCorMotivoChamada("Motivo", "Venda"), esperada);
        QCOMPARE(TIniFile(Folder() + "MonitorVesmara.ini").ReadInteger("CoresMotivos", "Venda", 0),
                 esperada);
    }

    // --- Queues by type and by permission ---------------------------------------------------

    void queuesOfAgentByType_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("filas");
        QTest::newRow("telephony: voice queues only") << 0 << "Voz";
        QTest::newRow("chat: chat queues only") << 1 << "Chat";
        QTest::newRow("no such slot") << 2 << "";
    }
    void queuesOfAgentByType() {
        QFETCH(int, slot);
        QFETCH(QString, filas);
        TCentral m;
        m.Agente("1001", "Ana");
        m.Fila("1", "Voz", "v");
        m.Fila("2", "Sem tipo", "");
        m.Fila("3", "Outro tipo", "x");
        m.Fila("5", "Chat", "c");
        for (const char* f : {"1", "2", "3", "5"})
            m.Membro(f, "Agent/1001", 1);
        QCOMPARE(m.monitor->Filas.QueuesOfAgent(m.A("1001"), slot), filas);
    }

    void addToQueueOffersPermittedQueuesOnly_data() {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("demo, telephony") << "demo" << 0 << QStringList{"1", "2", "3", "4"};
        QTest::newRow("demo, chat") << "demo" << 1 << QStringList{"5"};
        QTest::newRow("gerente, telephony") << "gerente" << 0 << QStringList{"1", "3", "4"};
        QTest::newRow("gerente, chat") << "gerente" << 1 << QStringList{"5"};
    }
    // Against the simulator's own permissions: "gerente" sees queues 1, 3, 4 and 5 only.
    void addToQueueOffersPermittedQueuesOnly() {
        QFETCH(QString, usuario);
        QFETCH(int, slot);
        QFETCH(QStringList, tags);
        TSimulador sim;
        QVERIFY(sim.Inicia());
        TRecordingUi ui;
        TMonitor monitor(&ui);
        ApontaParaSimulador(monitor, sim.server);
        monitor.Usuario = usuario;
        monitor.Senha = usuario;
        QSignalSpy loaded(&monitor, &TMonitor::LoadFinished);
        monitor.Conectar();
        QVERIFY(loaded.wait(20000));
        TAgente* a = monitor.Agentes.Procura("1001");
        QVERIFY(a);
        QCOMPARE(TagsDoMenu(monitor.FilasDoMenuAtendente(a, slot)), tags);
        for (const TMonitor::TFilaMenu& i : monitor.FilasDoMenuAtendente(a, slot))
            QVERIFY(monitor.TemPermissaoFila(i.Fila));
        monitor.Fecha();
    }
};

QTEST_MAIN(TestUiTexts)
#include "test_ui_texts.moc"
