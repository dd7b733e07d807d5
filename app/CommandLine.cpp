#include "app/CommandLine.h"

#include "base/CommandLineTexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

void Print(std::FILE* stream, const QString& text) {
    if (text.isEmpty()) return;
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int Deliver(const TCommandLineAnswer& answer) {
    Print(stdout, answer.out);
    Print(stderr, answer.err);
    return answer.exitCode;
}

} // namespace

std::optional<TCommandLineAnswer> AnswerMonitorCommandLine(const QStringList& arguments,
                                                           bool strict) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Monitor em tempo real da central de atendimento, para supervisores."));
    // Qt's own options are single-dash words (-platform, -reverse): read as letters, -reverse
    // would be taken for -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const THelpAndVersion options = AddHelpAndVersion(parser);
    const bool parsed = parser.parse(arguments);

    if (parser.isSet(options.help)) return TCommandLineAnswer{0, parser.helpText(), {}};
    if (parser.isSet(options.version))
        return TCommandLineAnswer{
            0, QStringLiteral("Monitor Vesmara %1\n").arg(ProgramVersion()), {}};
    if (!strict) return std::nullopt;

    QString error;
    if (!parsed)
        error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("Argumento inesperado: '%1'.")
                    .arg(parser.positionalArguments().constFirst());
    if (error.isEmpty()) return std::nullopt;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("monitorvesmara") : QFileInfo(arguments[0]).fileName();
    return TCommandLineAnswer{
        1,
        {},
        QStringLiteral("%1: %2\nUse \"%1 --help\" para ver as opções.\n").arg(program, error)};
}

std::optional<int> AnswerCommandLineEarly(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A first look needs no application; only an answer does (the parser's texts go through it).
    if (!AnswerMonitorCommandLine(arguments, false)) return std::nullopt;
    QCoreApplication app(argc, argv);
    TCommandLineTexts texts;
    QCoreApplication::installTranslator(&texts);
    return Deliver(*AnswerMonitorCommandLine(arguments, false));
}

std::optional<int> RejectUnknownArguments() {
    TCommandLineTexts texts;
    QCoreApplication::installTranslator(&texts);
    const auto answer = AnswerMonitorCommandLine(QCoreApplication::arguments(), true);
    QCoreApplication::removeTranslator(&texts);
    if (!answer) return std::nullopt;
    return Deliver(*answer);
}
