#pragma once

#include <QHostAddress>
#include <QString>

// How a TPbxServer runs; the program's command line fills it.
struct TSimOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 5038;                       // 0 = any free port
    quint16 chatPort = 5033;                   // 0 = any free port
    QString scenario = QStringLiteral("demo"); // a built-in scenario's name or an .sql file
    quint32 seed = 1;
    double speed = 1.0;     // traffic and script waits run this many times faster
    QString scriptFile;     // empty = no script
    qint64 dropAfter = -1;  // close the connection after sending N packets (-1 off)
    int chunk = 0;          // write in pieces of at most this many bytes (0 = whole writes)
    qint64 stallAfter = -1; // after N packets sent, send half of the next one and then nothing
    bool garbage = false;   // mix malformed packets into the stream (after the login)
};
