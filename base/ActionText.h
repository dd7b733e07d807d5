#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <stdexcept>
#include <utility>

// Raised when a value would break the action it is placed into (a line break ends the line and
// starts a new key or a new action; a quote ends a filter's string literal).
class TUnsafeValueError : public std::runtime_error {
public:
    explicit TUnsafeValueError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// The one gate for every value placed into an outgoing action: refuses CR, LF and NUL.
// Returns the value unchanged when it is safe.
const QString& ActionValue(const QString& value);
// The gate for a value placed inside a table-query filter: as ActionValue, and also refuses
// quote characters, the backslash and any other control character.
const QString& FilterValue(const QString& value);

bool IsSafeActionValue(QStringView value);
bool IsSafeFilterValue(QStringView value);

// Builds an action packet line by line; every value passes ActionValue.
// TActionText("QueuePause").Add("Queue", fila).Text() gives
// "Action: QueuePause\r\nQueue: <fila>\r\n\r\n".
class TActionText {
public:
    explicit TActionText(QStringView action);
    TActionText& Add(QStringView key, const QString& value);
    // "Key:value", for the few lines the server's own texts write without the blank.
    TActionText& AddColado(QStringView key, const QString& value);
    // The finished packet, closed by the empty line.
    QString Text() const { return m_text + u"\r\n"; }

private:
    QString m_text;
};

// Shorthand for fixed actions: Action("Status", {{u"ActionId", id}}).
QString Action(QStringView action, std::initializer_list<std::pair<QStringView, QString>> lines);
