#include "platform/db/Internal.h"

#include <cmath>
#include <cstring>

#include "platform/db/Collation.h"
#include "platform/db/Money.h"

namespace db::detail {

void throwSqlite(sqlite3* h, int rc, const QString& context) {
    const int primary = rc & 0xFF;
    // The user reads these: the cause in Polish first, SQLite's own words only as a detail.
    QString cause;
    switch (primary) {
        case SQLITE_CONSTRAINT:
            cause = rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY
                        ? QStringLiteral("powtórzona wartość klucza unikalnego")
                        : QStringLiteral("naruszenie ograniczenia tabeli");
            break;
        case SQLITE_FULL:
            cause = QStringLiteral("brak miejsca na dysku");
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            cause = QStringLiteral("baza danych jest zajęta przez inny program");
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
            cause = QStringLiteral("brak dostępu do pliku bazy danych");
            break;
        case SQLITE_IOERR:
            cause = QStringLiteral("błąd odczytu lub zapisu pliku bazy danych");
            break;
        case SQLITE_CORRUPT:
            cause = QStringLiteral("plik bazy danych jest uszkodzony");
            break;
        case SQLITE_NOTADB:
            cause = QStringLiteral("plik nie jest bazą danych");
            break;
        case SQLITE_NOMEM:
            cause = QStringLiteral("brak pamięci");
            break;
        default:
            break;
    }
    QString msg = context + QStringLiteral(": ");
    if (!cause.isEmpty()) msg += cause + QStringLiteral(" (");
    msg += h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (!cause.isEmpty()) msg += QLatin1Char(')');
    Error::Kind kind = Error::General;
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        kind = Error::KeyViolation;
    else if (primary == SQLITE_NOTADB)
        kind = Error::NotDatabase;
    else if (primary == SQLITE_CORRUPT)
        kind = Error::Corrupt;
    else if (h && QString::fromUtf8(sqlite3_errmsg(h)).startsWith(QLatin1String("no such table")))
        kind = Error::NoTable;
    throw Error(kind, msg);
}

QString quoteId(const QString& id) {
    QString s = id;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QByteArray asciiLower(const QString& s) {
    QByteArray b = s.toUtf8();
    for (char& c : b)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return b;
}

QString sqlColumnDef(const FieldDef& f) {
    // The declared type carries the field type (read back by structure()) and selects the
    // affinity: anything holding "TEXT" keeps "123" as text, "INT" integers, "FLOAT" reals;
    // CURRENCY and LOGICAL get numeric affinity.
    QString t;
    switch (f.type) {
        case FieldType::Text:
            t = QStringLiteral("%1(%2)")
                    .arg(f.collation == Collation::Polish ? "TEXT_PL" : "TEXT")
                    .arg(f.size);
            if (f.collation == Collation::Polish)
                t += QStringLiteral(" COLLATE ") + kPolishCollation;
            break;
        case FieldType::SmallInt:
            t = QStringLiteral("SMALLINT");
            break;
        case FieldType::Integer:
            t = QStringLiteral("INTEGER");
            break;
        case FieldType::AutoInc:
            t = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
            break;
        case FieldType::Currency:
            t = QStringLiteral("CURRENCY");
            break;
        case FieldType::Float:
            t = QStringLiteral("FLOAT");
            break;
        case FieldType::Date:
            t = QStringLiteral("DATE_TEXT");
            break;
        case FieldType::Logical:
            t = QStringLiteral("LOGICAL");
            break;
        case FieldType::Memo:
            t = QStringLiteral("MEMO_TEXT");
            if (f.collation == Collation::Polish)
                t += QStringLiteral(" COLLATE ") + kPolishCollation;
            break;
    }
    return quoteId(f.name) + QLatin1Char(' ') + t;
}

FieldDef fieldFromDeclared(const QString& name, const QString& declType, bool primaryKey) {
    FieldDef f;
    f.name = name;
    const QString t = declType.trimmed().toUpper();
    if (t.startsWith(QLatin1String("TEXT"))) {
        f.type = FieldType::Text;
        f.collation =
            t.startsWith(QLatin1String("TEXT_PL")) ? Collation::Polish : Collation::CodePoint;
        const qsizetype open = t.indexOf('('), close = t.indexOf(')');
        if (open >= 0 && close > open) f.size = t.mid(open + 1, close - open - 1).trimmed().toInt();
        if (f.size <= 0) f.size = 255;
    } else if (t == QLatin1String("SMALLINT")) {
        f.type = FieldType::SmallInt;
    } else if (t == QLatin1String("INTEGER") || t == QLatin1String("INT")) {
        f.type = primaryKey ? FieldType::AutoInc : FieldType::Integer;
    } else if (t == QLatin1String("CURRENCY")) {
        f.type = FieldType::Currency;
    } else if (t == QLatin1String("FLOAT") || t == QLatin1String("REAL") ||
               t == QLatin1String("DOUBLE")) {
        f.type = FieldType::Float;
    } else if (t == QLatin1String("DATE_TEXT")) {
        f.type = FieldType::Date;
    } else if (t == QLatin1String("LOGICAL")) {
        f.type = FieldType::Logical;
    } else if (t.startsWith(QLatin1String("MEMO"))) {
        f.type = FieldType::Memo;
    } else if (t.contains(QLatin1String("INT"))) {
        f.type = FieldType::Integer;
    } else if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
               t.contains(QLatin1String("DOUB"))) {
        f.type = FieldType::Float;
    } else {
        f.type = FieldType::Memo;  // a column made elsewhere: keep whatever text it holds
    }
    return f;
}

bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

int compareCell(const Cell& a, const Cell& b, FieldType t, Collation c) {
    // SQLite's order: NULL first, numbers by value, text by the column's collation.
    if (a.null || b.null) return a.null == b.null ? 0 : (a.null ? -1 : 1);
    switch (t) {
        case FieldType::Currency:
        case FieldType::Float:
            return a.f < b.f ? -1 : (a.f > b.f ? 1 : 0);
        case FieldType::Text:
        case FieldType::Memo:
            return c == Collation::Polish ? comparePolish(a.s, b.s) : compareCodePoint(a.s, b.s);
        default:
            return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
    }
}

namespace {

[[noreturn]] void badValue(const QVariant& v, const FieldDef& f, const char* what) {
    throw Error(Error::General, QStringLiteral("'%1' nie jest poprawną wartością (%2) pola %3")
                                    .arg(v.toString(), QString::fromUtf8(what), f.name));
}

bool parseIsoDate(const QString& s, QDate& out) {
    // Strict "YYYY-MM-DD" (a time part, if any, is ignored).
    if (s.size() < 10 || s[4] != '-' || s[7] != '-') return false;
    bool ok1, ok2, ok3;
    const int y = QStringView(s).mid(0, 4).toInt(&ok1);
    const int m = QStringView(s).mid(5, 2).toInt(&ok2);
    const int d = QStringView(s).mid(8, 2).toInt(&ok3);
    if (!ok1 || !ok2 || !ok3) return false;
    out = QDate(y, m, d);
    return out.isValid();
}

double toDouble(const QVariant& v, const FieldDef& f) {
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        s.replace(QLatin1Char(','), QLatin1Char('.'));
        s.remove(QLatin1Char(' '));
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok || !std::isfinite(d)) badValue(v, f, "liczba");
        return d;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d)) badValue(v, f, "liczba");
    return d;
}

}  // namespace

Cell toCell(const QVariant& v, const FieldDef& f, bool cut) {
    Cell c;
    if (v.isNull() || !v.isValid()) return c;
    const bool isString = v.typeId() == QMetaType::QString;
    if (isString && v.toString().isEmpty()) return c;  // "" is NULL for every type
    switch (f.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            QString s =
                v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate) : v.toString();
            if (cut && f.type == FieldType::Text && f.size > 0 && s.size() > f.size) {
                // cut by characters, never inside a surrogate pair
                qsizetype n = 0, chars = 0;
                while (n < s.size() && chars < f.size) {
                    n += (s[n].isHighSurrogate() && n + 1 < s.size()) ? 2 : 1;
                    ++chars;
                }
                s.truncate(n);
            }
            if (s.isEmpty()) return c;
            c.s = s;
            c.null = false;
            return c;
        }
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc: {
            qint64 n;
            if (isString) {
                bool ok = false;
                n = v.toString().trimmed().toLongLong(&ok);
                if (!ok) badValue(v, f, "liczba całkowita");
            } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
                const double d = v.toDouble();
                if (!std::isfinite(d) || std::fabs(d) > 9e15) badValue(v, f, "liczba całkowita");
                n = std::llround(d);
            } else if (v.typeId() == QMetaType::Bool) {
                n = v.toBool() ? 1 : 0;
            } else {
                bool ok = false;
                n = v.toLongLong(&ok);
                if (!ok) badValue(v, f, "liczba całkowita");
            }
            const qint64 lo = f.type == FieldType::SmallInt
                                  ? -32768
                                  : (f.type == FieldType::Integer ? INT32_MIN : 1);
            const qint64 hi = f.type == FieldType::SmallInt
                                  ? 32767
                                  : (f.type == FieldType::Integer ? INT32_MAX : INT64_MAX);
            if (n < lo || n > hi) badValue(v, f, "liczba całkowita w dopuszczalnym zakresie");
            c.i = n;
            c.null = false;
            return c;
        }
        case FieldType::Currency:
            c.f = roundDecimal(toDouble(v, f), 2);
            c.null = false;
            return c;
        case FieldType::Float:
            c.f = toDouble(v, f);
            c.null = false;
            return c;
        case FieldType::Date: {
            QDate d;
            if (v.typeId() == QMetaType::QDate)
                d = v.toDate();
            else if (v.typeId() == QMetaType::QDateTime)
                d = v.toDateTime().date();
            else if (!parseIsoDate(v.toString().trimmed(), d))
                badValue(v, f, "data");
            if (!d.isValid()) return c;
            if (d.year() < 1 || d.year() > 9999) badValue(v, f, "data");  // stored as "YYYY-MM-DD"
            c.i = d.toJulianDay();
            c.null = false;
            return c;
        }
        case FieldType::Logical:
            if (isString) {
                const QString s = v.toString().trimmed().toLower();
                c.i = (s == QLatin1String("true") || s == QLatin1String("tak") ||
                       s == QLatin1String("1") || s == QLatin1String("t") ||
                       s == QLatin1String("y") || s == QLatin1String("yes"))
                          ? 1
                          : 0;
            } else {
                c.i = v.toBool() ? 1 : 0;
            }
            c.null = false;
            return c;
    }
    return c;
}

QVariant cellToVariant(const Cell& c, FieldType t) {
    if (c.null) return QVariant();
    switch (t) {
        case FieldType::Text:
        case FieldType::Memo:
            return c.s;
        case FieldType::SmallInt:
        case FieldType::Integer:
            return int(c.i);
        case FieldType::AutoInc:
            return c.i <= INT32_MAX ? QVariant(int(c.i)) : QVariant(c.i);
        case FieldType::Currency:
        case FieldType::Float:
            return c.f;
        case FieldType::Date:
            return QDate::fromJulianDay(c.i);
        case FieldType::Logical:
            return c.i != 0;
    }
    return QVariant();
}

void readCell(sqlite3_stmt* st, int col, FieldType t, Cell& out) {
    const int ct = sqlite3_column_type(st, col);
    if (ct == SQLITE_NULL) {
        out.null = true;
        out.i = 0;
        if (!out.s.isNull()) out.s = QString();
        return;
    }
    out.null = false;
    switch (t) {
        case FieldType::Text:
        case FieldType::Memo: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            out.s = QString::fromUtf8(p, sqlite3_column_bytes(st, col));
            if (out.s.isEmpty()) out.null = true;
            return;
        }
        case FieldType::Currency:
        case FieldType::Float:
            out.f = sqlite3_column_double(st, col);
            return;
        case FieldType::Date: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            const int n = sqlite3_column_bytes(st, col);
            auto dig = [&](int i) {
                return (i < n && p[i] >= '0' && p[i] <= '9') ? p[i] - '0' : -1;
            };
            if (n >= 10 && p[4] == '-' && p[7] == '-') {
                const int y = dig(0) * 1000 + dig(1) * 100 + dig(2) * 10 + dig(3);
                const int m = dig(5) * 10 + dig(6);
                const int d = dig(8) * 10 + dig(9);
                QDate q(y, m, d);
                if (q.isValid() && dig(0) >= 0 && dig(1) >= 0 && dig(2) >= 0 && dig(3) >= 0 &&
                    dig(5) >= 0 && dig(6) >= 0 && dig(8) >= 0 && dig(9) >= 0) {
                    out.i = q.toJulianDay();
                    return;
                }
            }
            out.null = true;  // not a date: reads as none
            out.i = 0;
            return;
        }
        default:
            out.i = sqlite3_column_int64(st, col);
            return;
    }
}

bool isoDate(qint64 julian, char (&buf)[10]) {
    int y, m, d;
    QDate::fromJulianDay(julian).getDate(&y, &m, &d);
    if (y < 0 || y > 9999) return false;
    const char out[10] = {char('0' + y / 1000),
                          char('0' + y / 100 % 10),
                          char('0' + y / 10 % 10),
                          char('0' + y % 10),
                          '-',
                          char('0' + m / 10),
                          char('0' + m % 10),
                          '-',
                          char('0' + d / 10),
                          char('0' + d % 10)};
    std::memcpy(buf, out, 10);
    return true;
}

void bindCell(sqlite3_stmt* st, int idx, const Cell& c, FieldType t) {
    if (c.null) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (t) {
        case FieldType::Text:
        case FieldType::Memo:
            // the cell outlives the step (callers reset the statement first): no copy
            sqlite3_bind_text16(st, idx, c.s.utf16(), int(c.s.size() * 2), SQLITE_STATIC);
            return;
        case FieldType::Currency:
        case FieldType::Float:
            sqlite3_bind_double(st, idx, c.f);
            return;
        case FieldType::Date: {
            char buf[10];
            if (!isoDate(c.i, buf)) {
                sqlite3_bind_null(st, idx);
                return;
            }
            sqlite3_bind_text(st, idx, buf, 10, SQLITE_TRANSIENT);
            return;
        }
        default:
            sqlite3_bind_int64(st, idx, c.i);
            return;
    }
}

void bindVariant(sqlite3_stmt* st, int idx, const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (v.typeId()) {
        case QMetaType::Bool:
            sqlite3_bind_int(st, idx, v.toBool() ? 1 : 0);
            return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            sqlite3_bind_int64(st, idx, v.toLongLong());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(st, idx, v.toDouble());
            return;
        case QMetaType::QDate: {
            const QByteArray b = v.toDate().toString(Qt::ISODate).toUtf8();
            sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            sqlite3_bind_blob(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            return;
        }
        default: {
            const QByteArray b = v.toString().toUtf8();
            sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            return;
        }
    }
}

sqlite3_stmt* prepare(sqlite3* h, const QString& sql) {
    sqlite3_stmt* st = nullptr;
    const QByteArray b = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(h, b.constData(), int(b.size()), SQLITE_PREPARE_PERSISTENT,
                                      &st, nullptr);
    if (rc != SQLITE_OK) {
        if (st) sqlite3_finalize(st);
        throwSqlite(h, rc, QStringLiteral("Nie można przygotować polecenia \"%1\"").arg(sql));
    }
    return st;
}

}  // namespace db::detail
