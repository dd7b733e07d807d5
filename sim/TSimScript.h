#pragma once

#include "TSimPacket.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// One directive of a script file.
struct TSimScriptStep {
    enum class Kind { Auto, Expect, Send, Raw, Wait, Close, Stall };
    Kind kind = Kind::Wait;
    int line = 0;         // line number in the file, for messages
    bool on = true;       // auto
    QString action;       // expect: action name
    QString key;          // expect: optional key ...
    QString value;        // ... and its exact value
    QStringList lines;    // send: the packet's lines, escapes not yet applied
    QString text;         // raw: text, escapes not yet applied
    int milliseconds = 0; // wait
};

// A transcript replayed on every manager connection (format in sim/README.md).
class TSimScript {
public:
    bool load(const QString& path, QString* error);
    bool parse(const QString& text, QString* error);

    const QList<TSimScriptStep>& steps() const { return m_steps; }
    // The connection's greeting: the default one unless the script says otherwise.
    bool greetingEnabled() const { return m_greetingEnabled; }
    const QString& greeting() const { return m_greeting; }

    // Applies the escapes (\\, \xHH; in raw text also \r, \n, \t, \0) and replaces ${Key} by the
    // value of that key in the last action an `expect` matched.
    static QByteArray expand(const QString& text, const TSimPacket& lastAction, bool rawEscapes);

private:
    QList<TSimScriptStep> m_steps;
    bool m_greetingEnabled = true;
    QString m_greeting;
};

// What a running script needs from its connection.
class TSimScriptHost {
public:
    virtual ~TSimScriptHost() = default;
    virtual void scriptPacket(const QByteArray& packet) = 0;
    virtual void scriptRaw(const QByteArray& bytes) = 0;
    virtual void scriptClose() = 0;
    virtual void scriptStall() = 0;
    virtual void scriptAuto(bool on) = 0;
};

// One replay of a script on one connection.
class TSimScriptRun : public QObject {
    Q_OBJECT
public:
    TSimScriptRun(const TSimScript& script, TSimScriptHost* host, double speed,
                  QObject* parent = nullptr);

    void start();
    // Every action the client sends, in order.
    void actionReceived(const TSimPacket& action);
    void connectionClosed();
    bool isFinished() const { return m_finished; }

    static constexpr int ExpectTimeoutMs = 10000;
    static constexpr qsizetype InboxLimit = 1000;

Q_SIGNALS:
    void finished(bool ok, const QString& message);

private:
    void advance();
    bool matches(const TSimScriptStep& step, const TSimPacket& action) const;
    void fail(const QString& message);
    void succeed(const QString& message);
    int scaled(int milliseconds) const;

    const TSimScript& m_script;
    TSimScriptHost* m_host;
    double m_speed;
    qsizetype m_next = 0;
    bool m_waiting = false; // a wait or an expect is pending
    bool m_finished = false;
    QList<TSimPacket> m_inbox; // actions not yet looked at by an expect
    TSimPacket m_lastAction;
    QTimer m_timer;
};
