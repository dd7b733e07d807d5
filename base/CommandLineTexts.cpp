#include "base/CommandLineTexts.h"

#include <cstring>

namespace {

struct TText {
    const char* english;
    const char* portuguese;
};

// The texts of QCommandLineParser (Qt 6) that reach the user.
constexpr TText kParserTexts[] = {
    {"Usage: %1", "Uso: %1"},
    {"[options]", "[opções]"},
    {"Options:", "Opções:"},
    {"Arguments:", "Argumentos:"},
    {"Unknown option '%1'.", "Opção desconhecida: '%1'."},
    {"Unknown options: %1.", "Opções desconhecidas: %1."},
    {"Missing value after '%1'.", "Falta o valor depois de '%1'."},
    {"Unexpected value after '%1'.", "Valor inesperado depois de '%1'."},
    {"Displays help on commandline options.", "Mostra esta ajuda."},
    {"Displays help including Qt specific options.", "Mostra a ajuda, com as opções do Qt."},
    {"Displays version information.", "Mostra a versão."},
};

} // namespace

QString TCommandLineTexts::translate(const char* context, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const {
    if (!context || !sourceText || std::strcmp(context, "QCommandLineParser") != 0) return {};
    for (const TText& text : kParserTexts)
        if (std::strcmp(text.english, sourceText) == 0) return QString::fromUtf8(text.portuguese);
    return {};
}

THelpAndVersion AddHelpAndVersion(QCommandLineParser& parser) {
    THelpAndVersion options{
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                           QStringLiteral("Mostra esta ajuda.")),
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QStringLiteral("Mostra a versão.")),
    };
    parser.addOption(options.help);
    parser.addOption(options.version);
    return options;
}

QString ProgramVersion() {
    return QStringLiteral(VESMARA_VERSION);
}
