#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line answers instead of opening the main window.
struct TCommandLineAnswer {
    int exitCode = 0;
    QString out; // for stdout
    QString err; // for stderr
};

// The monitor's command line. --help and --version are answered. With strict (once QApplication
// has taken its own options such as -platform or -style out of the arguments) anything else is
// an error; without it, other arguments are left for QApplication. Empty: open the main window.
// The parser's own texts come out in Portuguese when TCommandLineTexts is installed.
std::optional<TCommandLineAnswer> AnswerMonitorCommandLine(const QStringList& arguments,
                                                           bool strict);

// Before the QApplication exists, so that --help and --version work without a display: the exit
// code when the program ends here.
std::optional<int> AnswerCommandLineEarly(int argc, char** argv);
// After QApplication took its own options: an error for anything left that is not the monitor's.
std::optional<int> RejectUnknownArguments();
