#include "TSimDatabase.h"

#include "TSimBigScenario.h"
#include "TSimSqlDialect.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#ifdef VESMARA_SIM_SQLITE_API
#include <sqlite3.h>
#endif

namespace {
QAtomicInt connectionCounter;
const QString scenarioPrefix = QStringLiteral(":/vesmara-sim/scenarios/");
} // namespace

// The deadline the SQLite progress handler checks while the reader works.
struct TSimDatabase::Guard {
    QDeadlineTimer deadline{QDeadlineTimer::Forever};
#ifdef VESMARA_SIM_SQLITE_API
    static int check(void* self) {
        return static_cast<Guard*>(self)->deadline.hasExpired() ? 1 : 0;
    }
#endif
};

TSimDatabase::TSimDatabase() : m_guard(std::make_unique<Guard>()) {
    const int n = connectionCounter.fetchAndAddRelaxed(1);
    m_writerName = QStringLiteral("vesmara_sim_%1_w").arg(n);
    m_readerName = QStringLiteral("vesmara_sim_%1_r").arg(n);
}

TSimDatabase::~TSimDatabase() {
    for (const QString& name : {m_readerName, m_writerName}) {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
}

QStringList TSimDatabase::builtInScenarios() {
    QStringList names;
    for (const QString& file : QDir(scenarioPrefix).entryList({QStringLiteral("*.sql")}))
        names.append(file.chopped(4));
    return names;
}

QString TSimDatabase::loadScenario(const QString& nameOrPath, QString* error) {
    if (nameOrPath.startsWith(u"big:")) {
        TSimBigScenario::Size size;
        return TSimBigScenario::parse(nameOrPath, &size, error) ? TSimBigScenario::sql(size)
                                                                : QString();
    }
    QString path = nameOrPath;
    const bool looksLikeName = !nameOrPath.contains(u'/') && !nameOrPath.endsWith(u".sql");
    if (looksLikeName) {
        path = scenarioPrefix + nameOrPath + QStringLiteral(".sql");
        if (!QFile::exists(path)) {
            *error = QStringLiteral("unknown scenario '%1' (built-in: %2)")
                         .arg(nameOrPath, builtInScenarios().join(QStringLiteral(", ")));
            return {};
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("cannot read scenario '%1': %2").arg(nameOrPath, file.errorString());
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool TSimDatabase::open(const QString& scenarioSql, QString* error) {
    if (!m_dir.isValid()) {
        *error = QStringLiteral("cannot create a temporary folder: ") + m_dir.errorString();
        return false;
    }
    const QString path = m_dir.filePath(QStringLiteral("scenario.db"));

    QSqlDatabase w = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_writerName);
    w.setDatabaseName(path);
    if (!w.open()) {
        *error = QStringLiteral("cannot open the database: ") + w.lastError().text();
        return false;
    }
    // WAL lets the writer change live tables while a client's query is still being streamed.
    QSqlQuery(w).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    // A throw-away database: live tables change often and need not survive a crash.
    QSqlQuery(w).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    w.transaction();
    int n = 0;
    for (const QString& statement : TSimSqlDialect::splitStatements(scenarioSql)) {
        ++n;
        QSqlQuery q(w);
        if (!q.exec(statement)) {
            *error = QStringLiteral("scenario statement %1 failed: %2 [%3]")
                         .arg(n)
                         .arg(q.lastError().text(), statement.simplified().left(80));
            w.rollback();
            return false;
        }
    }
    if (!w.commit()) {
        *error = QStringLiteral("cannot store the scenario: ") + w.lastError().text();
        return false;
    }

    QSqlDatabase r = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_readerName);
    r.setDatabaseName(path);
    r.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
    if (!r.open()) {
        *error = QStringLiteral("cannot open the database for reading: ") + r.lastError().text();
        return false;
    }
    // Belt and braces: even a statement that gets past the read-only open cannot write.
    QSqlQuery(r).exec(QStringLiteral("PRAGMA query_only=1"));
#ifdef VESMARA_SIM_SQLITE_API
    const QVariant handle = r.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3* db = *static_cast<sqlite3* const*>(handle.constData())) {
            sqlite3_progress_handler(db, 20000, &Guard::check, m_guard.get());
            // A client cannot make one value or one row big enough to exhaust the memory.
            sqlite3_limit(db, SQLITE_LIMIT_LENGTH, ValueLimit);
            sqlite3_limit(db, SQLITE_LIMIT_COLUMN, ColumnLimit);
        }
    }
#endif
    return true;
}

QSqlDatabase TSimDatabase::reader() const {
    return QSqlDatabase::database(m_readerName, false);
}

QSqlDatabase TSimDatabase::writer() const {
    return QSqlDatabase::database(m_writerName, false);
}

QList<QSqlRecord> TSimDatabase::rows(const QString& sql, const QVariantList& binds) const {
    QList<QSqlRecord> result;
    QSqlQuery q(writer());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) return result;
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec()) return result;
    while (q.next())
        result.append(q.record());
    return result;
}

bool TSimDatabase::exec(const QString& sql, const QVariantList& binds, QString* error) {
    QSqlQuery q(writer());
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant& v : binds)
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok && error) *error = q.lastError().text();
    return ok;
}

bool TSimDatabase::hasTable(const QString& name) const {
    return !rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                "lower(name) = lower(?)"),
                 {name})
                .isEmpty();
}

bool TSimDatabase::canInterrupt() {
#ifdef VESMARA_SIM_SQLITE_API
    return true;
#else
    return false;
#endif
}

void TSimDatabase::armReaderDeadline(int milliseconds) {
    m_guard->deadline = QDeadlineTimer(milliseconds);
}
