#include "TSimSqlDialect.h"

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QString sqliteLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

// Reads a MySQL string literal starting at `i` (on its opening quote). Leaves `i` after the
// closing quote.
bool readMySqlLiteral(const QString& q, qsizetype& i, QString* value) {
    const QChar quote = q.at(i++);
    value->clear();
    while (i < q.size()) {
        const QChar c = q.at(i);
        if (c == u'\\' && i + 1 < q.size()) {
            const QChar e = q.at(i + 1);
            i += 2;
            switch (e.unicode()) {
            case 'n':
                value->append(u'\n');
                break;
            case 'r':
                value->append(u'\r');
                break;
            case 't':
                value->append(u'\t');
                break;
            case '0':
                value->append(QChar(0));
                break;
            case 'Z':
                value->append(QChar(26));
                break;
            case '%':
            case '_':
                value->append(u'\\');
                value->append(e);
                break; // kept for LIKE, as MySQL does
            default:
                value->append(e);
                break;
            }
            continue;
        }
        if (c == quote) {
            if (i + 1 < q.size() && q.at(i + 1) == quote) {
                value->append(quote);
                i += 2;
                continue;
            }
            ++i;
            return true;
        }
        value->append(c);
        ++i;
    }
    return false;
}

// After a function name at `i`: blanks, "(", blanks, ")". Returns the offset after ")" or -1.
qsizetype emptyCallEnd(const QString& q, qsizetype i) {
    while (i < q.size() && q.at(i).isSpace())
        ++i;
    if (i >= q.size() || q.at(i) != u'(') return -1;
    ++i;
    while (i < q.size() && q.at(i).isSpace())
        ++i;
    if (i >= q.size() || q.at(i) != u')') return -1;
    return i + 1;
}

QString functionReplacement(const QString& word) {
    const QString w = word.toUpper();
    if (w == u"NOW") return QStringLiteral("datetime('now','localtime')");
    if (w == u"CURDATE") return QStringLiteral("date('now','localtime')");
    if (w == u"UNIX_TIMESTAMP") return QStringLiteral("CAST(strftime('%s','now') AS INTEGER)");
    return {};
}

} // namespace

bool TSimSqlDialect::translate(const QString& q, QString* out, QString* error) {
    out->clear();
    qsizetype i = 0;
    while (i < q.size()) {
        const QChar c = q.at(i);
        if (c == u'\'' || c == u'"') {
            QString value;
            if (!readMySqlLiteral(q, i, &value)) {
                *error = QStringLiteral("unterminated string literal");
                return false;
            }
            out->append(sqliteLiteral(value));
            continue;
        }
        if (c == u'`') {
            const qsizetype close = q.indexOf(u'`', i + 1);
            if (close < 0) {
                *error = QStringLiteral("unterminated quoted name");
                return false;
            }
            out->append(q.mid(i, close + 1 - i));
            i = close + 1;
            continue;
        }
        if (c == u'#' || (c == u'-' && i + 1 < q.size() && q.at(i + 1) == u'-')) {
            qsizetype end = q.indexOf(u'\n', i);
            if (end < 0) end = q.size();
            out->append(QStringLiteral("--"));
            out->append(q.mid(i + (c == u'#' ? 1 : 2), end - i - (c == u'#' ? 1 : 2)));
            i = end;
            continue;
        }
        if (c == u'/' && i + 1 < q.size() && q.at(i + 1) == u'*') {
            qsizetype end = q.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? q.size() : end + 2;
            out->append(q.mid(i, end - i));
            i = end;
            continue;
        }
        if (c == u';') {
            if (!q.mid(i + 1).trimmed().isEmpty()) {
                *error = QStringLiteral("only one statement is allowed");
                return false;
            }
            break;
        }
        if (isWordChar(c)) {
            qsizetype end = i;
            while (end < q.size() && isWordChar(q.at(end)))
                ++end;
            const QString word = q.mid(i, end - i);
            const QString replacement = functionReplacement(word);
            const qsizetype callEnd = replacement.isEmpty() ? -1 : emptyCallEnd(q, end);
            if (callEnd >= 0) {
                out->append(replacement);
                i = callEnd;
            } else {
                out->append(word);
                i = end;
            }
            continue;
        }
        out->append(c);
        ++i;
    }
    return true;
}

QStringList TSimSqlDialect::splitStatements(const QString& script) {
    QStringList statements;
    QString current;
    auto flush = [&] {
        const QString s = current.trimmed();
        if (!s.isEmpty()) statements.append(s);
        current.clear();
    };
    qsizetype i = 0;
    while (i < script.size()) {
        const QChar c = script.at(i);
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            while (j < script.size()) {
                if (script.at(j) == close) {
                    if (close != u']' && j + 1 < script.size() && script.at(j + 1) == close) {
                        j += 2; // doubled quote inside
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = qMin(j + 1, script.size());
            current.append(script.mid(i, j - i));
            i = j;
            continue;
        }
        if (c == u'-' && i + 1 < script.size() && script.at(i + 1) == u'-') {
            qsizetype end = script.indexOf(u'\n', i);
            i = end < 0 ? script.size() : end + 1;
            current.append(u'\n');
            continue;
        }
        if (c == u'/' && i + 1 < script.size() && script.at(i + 1) == u'*') {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? script.size() : end + 2;
            current.append(u' ');
            continue;
        }
        if (c == u';') {
            flush();
            ++i;
            continue;
        }
        current.append(c);
        ++i;
    }
    flush();
    return statements;
}
