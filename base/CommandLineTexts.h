#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QTranslator>

// Qt's command-line parser writes its own headings and errors ("Usage:", "Unknown option")
// through the translators; installed on the application, this one gives them in Portuguese
// whether or not Qt's translation files are on the machine.
class TCommandLineTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// -h/--help and -v/--version described in Portuguese (Qt's own are in English). The caller
// answers them: QCommandLineParser::process only answers the options it added itself.
struct THelpAndVersion {
    QCommandLineOption help;
    QCommandLineOption version;
};
THelpAndVersion AddHelpAndVersion(QCommandLineParser& parser);

// The programs' version (the project's), as "--version" prints it after the program's name.
QString ProgramVersion();
