#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

class TSimDatabase;

// One client's table query on the read-only connection, read a slice of rows at a time so that a
// large answer never has to sit in memory at once.
class TSimQueryCursor {
public:
    explicit TSimQueryCursor(TSimDatabase* database);

    // Runs "SELECT <fields, or *> FROM <table> <filter>" up to its first row. On failure the error
    // is one line of text.
    bool start(const QString& table, const QString& fields, const QString& filter, QString* error);

    const QStringList& columns() const { return m_columns; }

    // Up to `max` rows, each one value per column (NULL as empty text). Returns false once the
    // rows are exhausted or the query failed (then `error` is set).
    bool fetch(int max, QList<QStringList>* rows, QString* error);

    static constexpr int SliceMilliseconds = 3000;

private:
    TSimDatabase* m_database;
    QSqlQuery m_query;
    QStringList m_columns;
    bool m_pending = false; // the query is positioned on a row not yet handed out
};
