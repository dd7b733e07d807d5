// vesmara-pbx: the substitute PBX manager server.
#include "TPbxServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <limits>

namespace {

bool readNumber(const QCommandLineParser& parser, const QString& name, qint64 min, qint64 max,
                qint64* value, QString* error) {
    if (!parser.isSet(name)) return true;
    bool ok = false;
    const qint64 n = parser.value(name).toLongLong(&ok);
    if (!ok || n < min || n > max) {
        *error = QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(min).arg(max);
        return false;
    }
    *value = n;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vesmara-pbx"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESMARA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Substitute PBX manager server for Monitor Vesmara."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Manager port (0 = any free port)."),
         QStringLiteral("N"), QStringLiteral("5038")},
        {QStringLiteral("chat-port"), QStringLiteral("Chat port (0 = any free port)."),
         QStringLiteral("N"), QStringLiteral("5033")},
        {QStringLiteral("listen"), QStringLiteral("Address to listen on."), QStringLiteral("ADDR"),
         QStringLiteral("127.0.0.1")},
        {QStringLiteral("scenario"), QStringLiteral("Built-in scenario name or .sql file."),
         QStringLiteral("NAME|FILE"), QStringLiteral("demo")},
        {QStringLiteral("seed"), QStringLiteral("Seed of everything random."), QStringLiteral("S"),
         QStringLiteral("1")},
        {QStringLiteral("speed"),
         QStringLiteral("Run traffic and script waits this many times faster."),
         QStringLiteral("X"), QStringLiteral("1")},
        {QStringLiteral("script"),
         QStringLiteral("Replay this script on every manager connection."), QStringLiteral("FILE")},
        {QStringLiteral("drop-after"),
         QStringLiteral("Close each manager connection after N packets."), QStringLiteral("N")},
        {QStringLiteral("chunk"), QStringLiteral("Write in pieces of at most this many bytes."),
         QStringLiteral("BYTES")},
        {QStringLiteral("stall-after"),
         QStringLiteral("After N packets send half of the next one, then nothing."),
         QStringLiteral("N")},
        {QStringLiteral("garbage"),
         QStringLiteral("Mix malformed packets into the stream after the login.")},
        {QStringLiteral("command-output"),
         QStringLiteral("How console command answers are written: lf (Follows, lone-LF lines, "
                        "as the platform's servers do), crlf (Follows, CR LF lines) or output "
                        "(Success with one Output line per console line)."),
         QStringLiteral("FORM"), QStringLiteral("lf")},
        {QStringLiteral("no-traffic"),
         QStringLiteral("No traffic of its own: the state changes only by the agent actions.")},
        {QStringLiteral("warm-up"),
         QStringLiteral("Seconds of traffic played at once before listening (default 1800)."),
         QStringLiteral("SECONDS"), QStringLiteral("1800")},
        {QStringLiteral("dump-state"),
         QStringLiteral("Print the live state to stderr every SECONDS seconds."),
         QStringLiteral("SECONDS")},
    });
    parser.process(app);

    QTextStream err(stderr);
    auto failWith = [&](const QString& message) {
        err << "vesmara-pbx: " << message << Qt::endl;
        return 1;
    };
    if (!parser.positionalArguments().isEmpty())
        return failWith(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    TSimOptions options;
    QString error;
    qint64 port = options.port;
    qint64 chatPort = options.chatPort;
    qint64 seed = options.seed;
    qint64 chunk = options.chunk;
    qint64 warmUp = 1800;
    qint64 dumpState = 0;
    if (!readNumber(parser, QStringLiteral("port"), 0, 65535, &port, &error) ||
        !readNumber(parser, QStringLiteral("chat-port"), 0, 65535, &chatPort, &error) ||
        !readNumber(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFLL, &seed, &error) ||
        !readNumber(parser, QStringLiteral("drop-after"), 0, std::numeric_limits<qint64>::max(),
                    &options.dropAfter, &error) ||
        !readNumber(parser, QStringLiteral("stall-after"), 0, std::numeric_limits<qint64>::max(),
                    &options.stallAfter, &error) ||
        !readNumber(parser, QStringLiteral("chunk"), 1, 1 << 20, &chunk, &error) ||
        !readNumber(parser, QStringLiteral("warm-up"), 0, 86400, &warmUp, &error) ||
        !readNumber(parser, QStringLiteral("dump-state"), 1, 86400, &dumpState, &error))
        return failWith(error);
    options.port = quint16(port);
    options.chatPort = quint16(chatPort);
    options.seed = quint32(seed);
    options.chunk = int(chunk);
    if (!options.address.setAddress(parser.value(QStringLiteral("listen"))))
        return failWith(QStringLiteral("--listen takes an IP address"));
    bool ok = false;
    options.speed = parser.value(QStringLiteral("speed")).toDouble(&ok);
    if (!ok || options.speed <= 0 || options.speed > 1000)
        return failWith(QStringLiteral("--speed takes a number above 0 and up to 1000"));
    options.scenario = parser.value(QStringLiteral("scenario"));
    options.scriptFile = parser.value(QStringLiteral("script"));
    options.garbage = parser.isSet(QStringLiteral("garbage"));
    const QString form = parser.value(QStringLiteral("command-output")).toLower();
    if (form == u"lf")
        options.commandForm = TSimCommandForm::Lf;
    else if (form == u"crlf")
        options.commandForm = TSimCommandForm::CrLf;
    else if (form == u"output")
        options.commandForm = TSimCommandForm::Output;
    else
        return failWith(QStringLiteral("--command-output takes lf, crlf or output"));
    options.traffic = !parser.isSet(QStringLiteral("no-traffic"));
    options.dialerShare = 0.6;
    options.warmUpSeconds = int(warmUp);
    options.dumpStateSeconds = int(dumpState);

    TPbxServer server;
    if (!server.start(options, &error)) return failWith(error);
    QObject::connect(&server, &TPbxServer::scriptFinished, [&err](bool ok, const QString& message) {
        if (ok)
            err << "vesmara-pbx script ok" << Qt::endl;
        else
            err << "vesmara-pbx script failed: " << message << Qt::endl;
    });

    std::printf("vesmara-pbx listening manager=%u chat=%u\n", unsigned(server.managerPort()),
                unsigned(server.chatPort()));
    std::fflush(stdout);
    return app.exec();
}
