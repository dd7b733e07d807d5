#include "TSimQueryCursor.h"

#include "TSimDatabase.h"
#include "TSimPacket.h"
#include "TSimSqlDialect.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {
QString errorText(const QSqlError& e) {
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    if (text.isEmpty()) text = QStringLiteral("query failed");
    return TSimPacket::singleLine(text).simplified();
}
} // namespace

TSimQueryCursor::TSimQueryCursor(TSimDatabase* database)
    : m_database(database), m_query(database->reader()) {
    m_query.setForwardOnly(true);
}

bool TSimQueryCursor::start(const QString& table, const QString& fields, const QString& filter,
                            QString* error) {
    QString text = QStringLiteral("SELECT ") +
                   (fields.trimmed().isEmpty() ? QStringLiteral("*") : fields) +
                   QStringLiteral(" FROM ") + table;
    if (!filter.trimmed().isEmpty()) text += u' ' + filter;
    QString sql;
    if (!TSimSqlDialect::translate(text, &sql, error)) return false;
    m_database->armReaderDeadline(SliceMilliseconds);
    if (!m_query.exec(sql)) {
        *error = errorText(m_query.lastError());
        return false;
    }
    if (!m_query.isSelect()) {
        *error = QStringLiteral("not a query");
        return false;
    }
    const QSqlRecord record = m_query.record();
    for (int i = 0; i < record.count(); ++i)
        m_columns.append(record.fieldName(i));
    m_pending = m_query.next();
    if (!m_pending && m_query.lastError().isValid()) {
        *error = errorText(m_query.lastError());
        return false;
    }
    return true;
}

bool TSimQueryCursor::fetch(int max, QList<QStringList>* rows, QString* error) {
    m_database->armReaderDeadline(SliceMilliseconds);
    for (int n = 0; n < max && m_pending; ++n) {
        QStringList row;
        row.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i) {
            const QVariant v = m_query.value(i);
            row.append(v.isNull() ? QString() : v.toString());
        }
        rows->append(row);
        m_pending = m_query.next();
        if (!m_pending && m_query.lastError().isValid()) {
            *error = errorText(m_query.lastError());
            return false;
        }
    }
    return m_pending;
}
