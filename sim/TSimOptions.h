#pragma once

#include <QHostAddress>
#include <QString>

#include <functional>

// How the answer to a console command is written.
enum class TSimCommandForm {
    Lf,     // "Response: Follows", the console text with lone-LF line ends, "--END COMMAND--"
    CrLf,   // the same with CR LF line ends (empty lines left out: one would end the packet)
    Output, // "Response: Success" and one "Output: " line per console line
};

// How a TPbxServer runs; the program's command line fills it.
struct TSimOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 5038;     // 0 = any free port
    quint16 chatPort = 5033; // 0 = any free port
    QString scenario =
        QStringLiteral("demo"); // a built-in scenario's name, "big:A,Q,C" or an .sql file
    quint32 seed = 1;
    double speed = 1.0;     // traffic and script waits run this many times faster
    QString scriptFile;     // empty = no script
    qint64 dropAfter = -1;  // close the connection after sending N packets (-1 off)
    int chunk = 0;          // write in pieces of at most this many bytes (0 = whole writes)
    qint64 stallAfter = -1; // after N packets send half of the next one, then nothing
    bool garbage = false;   // mix malformed packets into the stream (after the login)
    TSimCommandForm commandForm = TSimCommandForm::Lf; // as the platform's servers write them
    // The call centre's own traffic. Off unless asked for, so that a server started in-process
    // stays quiet; the program turns it on. The agent actions are obeyed either way.
    bool traffic = false;
    int warmUpSeconds = 0; // traffic time played at once when the traffic starts
    // The share of a running campaign's queue calls that are the dialer's: none in-process
    // unless asked for, 0.6 in the program.
    double dialerShare = 0;
    int dumpStateSeconds = 0;      // print the live state to stderr this often (0 = never)
    std::function<qint64()> clock; // the server clock in Unix seconds; empty = the system's
};
