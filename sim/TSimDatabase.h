#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <memory>

// The server's configuration tables: an SQLite database built from a scenario script in a
// private temporary folder. Two connections use it: the writer, for the server itself (building
// the tables, reading the seed of the live state, keeping live tables up to date), and the
// reader, opened read-only, on which every query of a client runs.
class TSimDatabase {
public:
    TSimDatabase();
    ~TSimDatabase();
    TSimDatabase(const TSimDatabase&) = delete;
    TSimDatabase& operator=(const TSimDatabase&) = delete;

    // The text of a scenario: a built-in name ("demo"), a generated one ("big:A,Q,C") or the
    // path of an .sql file.
    static QString loadScenario(const QString& nameOrPath, QString* error);
    static QStringList builtInScenarios();

    bool open(const QString& scenarioSql, QString* error);

    QSqlDatabase reader() const;
    QSqlDatabase writer() const;

    // Rows of a query on the writer connection. A failing query (a table the scenario does not
    // have, for instance) gives no rows.
    QList<QSqlRecord> rows(const QString& sql, const QVariantList& binds = {}) const;
    bool exec(const QString& sql, const QVariantList& binds = {}, QString* error = nullptr);
    bool hasTable(const QString& name) const;

    // Limits how long the reader may work from now on before SQLite abandons the statement, so
    // a query that never ends cannot freeze the server. No effect when the server was built
    // without the SQLite headers.
    void armReaderDeadline(int milliseconds);
    // The reader's limits on one text value and on the columns of a result (with the header).
    static constexpr int ValueLimit = 256 * 1024;
    static constexpr int ColumnLimit = 64;
    static bool canInterrupt();

private:
    struct Guard;
    QTemporaryDir m_dir;
    QString m_writerName;
    QString m_readerName;
    std::unique_ptr<Guard> m_guard;
};
