// The main window frame and the connection, login and options dialogs (offscreen).
#include "app/TLabelInformacao.h"
#include "app/TfrmMain.h"
#include "app/TfrmTelaConexao.h"
#include "app/TfrmTelaLogin.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "ui/windows/TfrmLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestUiDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Folder() const { return dir.path() + u'/'; }
    void Write(const QString& file, const QByteArray& text) {
        QFile f(Folder() + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

private Q_SLOTS:
    void init() {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void statusPanelWidthRule_data() {
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("panel");
        QTest::newRow("499") << 499 << 249;
        QTest::newRow("500") << 500 << 250;
        QTest::newRow("1600") << 1600 << 1350;
    }
    void statusPanelWidthRule() {
        QFETCH(int, frame);
        QFETCH(int, panel);
        QCOMPARE(TfrmMain::LarguraPainelStatus(frame), panel);
    }

    void labelRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::newRow("Erro") << "Erro 10061: Conexão encerrada pelo servidor" << true;
        QTest::newRow("ERRO:") << "ERRO: x" << true;
        QTest::newRow("erro lower") << "erro" << true;
        QTest::newRow("blue") << "Reconectar em 20s..." << false;
        QTest::newRow("short") << "Err" << false;
    }
    void labelRule() {
        QFETCH(QString, text);
        QFETCH(bool, red);
        TLabelInformacao label;
        label.resize(2000, 20);
        label.SetTexto(text);
        QCOMPARE(label.palette().color(QPalette::WindowText),
                 red ? QColor(Qt::red) : QColor(Qt::blue));
        QCOMPARE(label.text(), text);
    }

    void longTextIsShortened() {
        TLabelInformacao label;
        label.resize(120, 20);
        const QString text =
            QStringLiteral("Erro 10065: Servidor não encontrado na rede configurada");
        label.SetTexto(text);
        QVERIFY(label.text().endsWith(u"..."));
        QVERIFY(label.text().size() < text.size());
        QVERIFY(text.startsWith(label.text().chopped(3)));
        // Never shorter than the rule allows: it stops cutting at 21 characters, then removes two.
        const QString cut = TLabelInformacao::Encurta(text, label.fontMetrics(), 1);
        QCOMPARE(cut, text.left(18) + u"...");
    }

    void mainWindowMenusAndFirstStart() {
        qputenv("USERNAME", "operador");
        TfrmMain main(Folder());
        QStringList top;
        for (QAction* a : main.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"&Ferramentas", "&Exibir", "&Janela", "&Ajuda"}));
        QVERIFY(!main.AcaoSalvarComo()->isEnabled());
        QVERIFY(!main.AcaoTrocarUsuario()->isEnabled());
        QCOMPARE(main.windowTitle(), QStringLiteral("Monitor Vesmara"));

        // No profile at all: the connection dialog opens with an empty address and port 5038.
        main.show();
        QTRY_VERIFY(main.TelaConexao());
        QCOMPARE(main.TelaConexao()->EditIP()->text(), QString());
        QCOMPARE(main.TelaConexao()->EditPorta()->text(), QStringLiteral("5038"));
        QCOMPARE(main.TelaConexao()->windowTitle(), QStringLiteral("Conectar"));
        main.close();
    }

    void profilesAreListedByName() {
        Write("MonitorVesmara.ini", "[Conexao]\r\nIP=10.0.0.1\r\n");
        Write("MonitorVesmaraMatriz.ini", "[Conexao]\r\nIP=10.1.1.1\r\nPorta=5039\r\n");
        Write("MonitorVesmaraFilial Sul.ini", "[Conexao]\r\nIP=10.2.2.2\r\n");
        Write("Outro.ini", "");
        TMonitor monitor;
        monitor.Inicia(Folder());
        TfrmTelaConexao dialog(&monitor, [] { return QStringList(); });
        QStringList names;
        for (int i = 0; i < dialog.Perfis()->count(); ++i)
            names << dialog.Perfis()->itemText(i);
        QCOMPARE(names, (QStringList{"", "Filial Sul", "Matriz"}));
        dialog.SelecionaPerfil("Matriz");
        QCOMPARE(dialog.EditIP()->text(), QStringLiteral("10.1.1.1"));
        QCOMPARE(dialog.EditPorta()->text(), QStringLiteral("5039"));
        dialog.SelecionaPerfil("");
        QCOMPARE(dialog.EditIP()->text(), QStringLiteral("10.0.0.1"));
    }

    void saveModeWithBlankNameDoesNothing() {
        TMonitor monitor;
        monitor.Inicia(Folder());
        TfrmTelaConexao dialog(&monitor, [] { return QStringList{"Atendentes"}; });
        dialog.SetModoSalvar(true);
        QCOMPARE(dialog.BotaoConectar()->text(), QStringLiteral("Salvar"));
        dialog.Perfis()->setCurrentText("   ");
        dialog.ConectarClick();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        dialog.Perfis()->setCurrentText("Nova");
        dialog.ConectarClick();
        QVERIFY(QFile::exists(Folder() + "MonitorVesmaraNova.ini"));
        QCOMPARE(monitor.ConexaoAtiva, QStringLiteral("Nova"));
        QCOMPARE(
            TIniFile(Folder() + "MonitorVesmaraNova.ini").ReadString("Preferencias", "TelasAbrir"),
            QStringLiteral("Atendentes"));
    }

    void countdownAfterAFailedAttempt() {
        TMonitor monitor;
        monitor.Inicia(Folder());
        TfrmTelaConexao dialog(&monitor, [] { return QStringList(); });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.SetInformacao(QStringLiteral("Erro 10061: Conexão encerrada pelo servidor"));
        dialog.IniciaContagem(40);
        for (int i = 0; i < 10; ++i)
            dialog.ContagemTick();
        QVERIFY(dialog.Informacao()->text().startsWith(u"Erro 10061"));
        dialog.ContagemTick();
        QCOMPARE(dialog.Informacao()->text(), QStringLiteral("Reconectar em 29s..."));
        QCOMPARE(dialog.Informacao()->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }

    void loginWithoutSaveErasesThePassword() {
        Write("MonitorVesmara.ini",
              "[Conexao]\r\nUsuario=ana\r\nSalvarSenha=1\r\nSenha=antiga\r\n");
        TMonitor monitor;
        monitor.Inicia(Folder());
        TfrmTelaLogin dialog(&monitor, 0);
        QCOMPARE(dialog.EditUsuario()->text(), QStringLiteral("ana"));
        QCOMPARE(dialog.EditSenha()->text(), QStringLiteral("antiga"));
        dialog.CheckSalvar()->setChecked(false);
        dialog.EditSenha()->setText("nova");
        dialog.LoginClick();
        QVERIFY(!dialog.BotaoLogin()->isEnabled());
        const TIniFile ini(Folder() + "MonitorVesmara.ini");
        QCOMPARE(ini.ReadString("Conexao", "Senha", "x"), QString());
        QCOMPARE(ini.ReadBool("Conexao", "SalvarSenha", true), false);
        QCOMPARE(monitor.Senha, QStringLiteral("nova"));
        QVERIFY((QFile(Folder() + "MonitorVesmara.ini").permissions() &
                 (QFile::ReadOther | QFile::ReadGroup)) == 0);
    }

    void logWindowLinesAndLimit() {
        TfrmLog log;
        log.Loga("invisível");
        QCOMPARE(log.Memo()->toPlainText(), QString());
        log.SetDebugPacotes(true);
        log.LogaPacote("Event: Hangup\r\nChannel: SIP/2001-1\r\n\r\n");
        const QStringList lines = log.Memo()->toPlainText().split('\n');
        // The time, the packet's lines and the blank line that ends it.
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1], QStringLiteral("Event: Hangup"));
        QCOMPARE(lines[3], QString());
        log.SetDebug(true);
        for (int i = 0; i < TfrmLog::kMaxLinhas - 4; ++i)
            log.Loga(QString::number(i));
        QCOMPARE(log.Memo()->blockCount(), TfrmLog::kMaxLinhas);
        log.Loga("mais uma");
        QCOMPARE(log.Memo()->toPlainText(), QString());
    }

    void errorHookUnticksDebugWhenTheLogIsOpen() {
        Write("MonitorVesmara.ini",
              "[Debug]\r\nDebug=1\r\nDebugPacotes=0\r\n[Conexao]\r\nIP=127.0.0.1\r\nPorta=1\r\n");
        TfrmMain main(Folder());
        main.AtivaTelaLog();
        QVERIFY(main.TelaLog());
        QVERIFY(main.Monitor()->LogAtivo);
        main.Monitor()->CloseStep = QStringLiteral("2");
        main.Monitor()->AppException(QStringLiteral("falhou"));
        QVERIFY(!main.TelaLog()->DebugMarcado());
        QVERIFY(!main.Monitor()->LogAtivo);
        const QString text = main.TelaLog()->Memo()->toPlainText();
        QVERIFY(text.contains(u" - 2\n"));
        QVERIFY(text.contains(u" - ERRO\n"));
        QVERIFY(text.contains(u" - falhou\n"));
    }
};

QTEST_MAIN(TestUiDialogs)
#include "test_ui_dialogs.moc"
