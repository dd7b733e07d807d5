// vesmara-probe: connects to a manager server, logs in as a platform user, runs the whole load,
// follows the event stream for a while and prints state dumps. Exit 0 on success, 2 with the
// error text when the server cannot be reached or the login is refused, 1 on a usage error.
#include "base/CommandLineTexts.h"
#include "monitor/TMonitor.h"
#include "tools/probe/TProbeUi.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {
const QStringList kDumpItems = {"Tudo",      "Canais",  "Ligações",  "Ramais",
                                "Portas",    "Troncos", "Filas",     "Atendentes",
                                "Campanhas", "Chat",    "InfoGeral", "Alertas"};
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vesmara-probe"));
    QCoreApplication::setApplicationVersion(ProgramVersion());
    TCommandLineTexts cliTexts;
    QCoreApplication::installTranslator(&cliTexts);

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Cliente sem janelas do Monitor Vesmara"));
    const THelpAndVersion helpAndVersion = AddHelpAndVersion(cli);
    const QCommandLineOption host(QStringLiteral("host"), "Endereço do servidor (127.0.0.1).",
                                  "host", "127.0.0.1");
    const QCommandLineOption port(QStringLiteral("port"), "Porta do gerenciador (5038).", "port",
                                  "5038");
    const QCommandLineOption user(QStringLiteral("user"), "Usuário da plataforma (demo).", "user",
                                  "demo");
    const QCommandLineOption password(QStringLiteral("password"),
                                      "Senha (ou a variável VESMARA_PASSWORD; padrão demo).",
                                      "password");
    const QCommandLineOption follow(
        QStringLiteral("follow"), "Segundos acompanhando os eventos após a carga.", "seconds", "0");
    const QCommandLineOption dump(
        QStringLiteral("dump"),
        "Estado a imprimir ao final (repetível): " + kDumpItems.join(", ") + ".", "item");
    const QCommandLineOption noLog(QStringLiteral("no-log"),
                                   "Não imprimir as linhas de diagnóstico.");
    const QCommandLineOption packets(QStringLiteral("packets"), "Imprimir cada pacote recebido.");
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     "Segundos de espera pela carga (60).", "seconds", "60");
    cli.addOptions({host, port, user, password, follow, dump, noLog, packets, timeout});
    cli.process(app);
    if (cli.isSet(helpAndVersion.help)) cli.showHelp(0);
    if (cli.isSet(helpAndVersion.version)) cli.showVersion();

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool ok = false;
    const int portNumber = cli.value(port).toInt(&ok);
    if (!ok || portNumber < 1 || portNumber > 65535) {
        err << "vesmara-probe: porta inválida: " << cli.value(port) << Qt::endl;
        return 1;
    }
    const QStringList dumps = cli.values(dump);
    for (const QString& item : dumps) {
        if (!kDumpItems.contains(item)) {
            err << "vesmara-probe: item de --dump desconhecido: " << item << Qt::endl;
            return 1;
        }
    }
    const int followSeconds = std::max(0, cli.value(follow).toInt());
    const int timeoutSeconds = std::max(1, cli.value(timeout).toInt());
    QString secret = cli.value(password);
    if (!cli.isSet(password)) secret = qEnvironmentVariable("VESMARA_PASSWORD", "demo");

    TProbeUi ui(out);
    ui.PrintLog = !cli.isSet(noLog);
    ui.PrintPackets = cli.isSet(packets);
    TMonitor monitor(&ui);
    ui.SetMonitor(&monitor);
    monitor.Inicia(QString()); // no settings files: everything comes from the command line
    monitor.IP = cli.value(host);
    monitor.Porta = portNumber;
    monitor.Usuario = cli.value(user);
    monitor.Senha = secret;
    monitor.SalvarSenha = true;
    monitor.LogAtivo = true;
    monitor.LogPacotesAtivo = ui.PrintPackets;

    int exitCode = 0;
    auto finish = [&](int code) {
        static bool done = false;
        if (done) return;
        done = true;
        exitCode = code;
        if (code == 0)
            for (const QString& item : dumps)
                out << monitor.Dump(item);
        out.flush();
        monitor.Fecha();
        QCoreApplication::exit(code);
    };
    QObject::connect(&ui, &TProbeUi::Failed, &app, [&](const QString& text) {
        err << text << Qt::endl;
        finish(2);
    });
    bool loadedOnce = false;
    QObject::connect(&monitor, &TMonitor::LoadFinished, &app, [&] {
        if (loadedOnce) return; // a reconnection while following loads again
        loadedOnce = true;
        QTimer::singleShot(followSeconds * 1000, &app, [&] { finish(0); });
    });
    QTimer::singleShot(timeoutSeconds * 1000, &app, [&] {
        if (!loadedOnce) {
            err << "Tempo esgotado esperando a carga: " << monitor.StatusText << Qt::endl;
            finish(2);
        }
    });

    monitor.Mostrado();
    app.exec();
    return exitCode;
}
