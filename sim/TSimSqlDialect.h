#pragma once

#include <QString>
#include <QStringList>

// The platform's server answers table queries with a MySQL database; the simulator keeps its
// tables in SQLite. This turns the query text the monitor sends into SQLite with the meaning
// MySQL gives it:
// - text in double or single quotes is a string literal, with MySQL's backslash escapes and
//   doubled quotes (so `user = "demo"` compares with the text demo, never with a column);
// - NOW(), CURDATE() and UNIX_TIMESTAMP() become their SQLite forms in local time;
// - "#" starts a comment like "--".
// Only one statement may run: a ";" followed by anything but blanks is refused.
class TSimSqlDialect {
public:
    static bool translate(const QString& query, QString* sqlite, QString* error);

    // Splits an SQLite script (a scenario file) into statements at the semicolons that are
    // outside literals, quoted names and comments. Empty statements are left out.
    static QStringList splitStatements(const QString& script);
};
