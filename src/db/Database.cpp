#include "db/Database.h"

#include "db/Clock.h"

#include <sqlite3.h>

#include <cmath>

namespace {

constexpr int kCacheLimit = 256;

QString engineText(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

void resultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QVariant argValue(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return {};
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)));
    }
}

void fnNow(sqlite3_context* ctx, int, sqlite3_value**) { resultText(ctx, toDbText(Clock::now())); }
void fnToday(sqlite3_context* ctx, int, sqlite3_value**) { resultText(ctx, toDbText(Clock::today())); }

// adddays(day, n): the day n days after the date part of `day`, at 00:00:00.
void fnAddDays(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QDate day = dbDate(argValue(argv[0]));
    if (!day.isValid() || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, toDbText(day.addDays(sqlite3_value_int64(argv[1]))));
}

// dayof(moment): the date part of a stored moment, at 00:00:00 (for display and grouping,
// never for matching a day: a match compares the column with the day's bounds).
void fnDayOf(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QDate day = dbDate(argValue(argv[0]));
    if (!day.isValid())
        sqlite3_result_null(ctx);
    else
        resultText(ctx, toDbText(day));
}

// roundeven(x): the nearest whole number, halves to the even neighbour.
void fnRoundEven(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const double x = sqlite3_value_double(argv[0]);
    if (!std::isfinite(x)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, qint64(std::nearbyint(x))); // default rounding mode is to nearest-even
}

} // namespace

DbError::DbError(const QString& message, int code) : std::runtime_error(message.toStdString()), m_code(code) {}

QString toDbText(const QDateTime& moment)
{
    return moment.isValid() ? moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString toDbText(const QDate& day)
{
    return day.isValid() ? day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00") : QString();
}

namespace {

// Reads n digits at pos; false when any is not a digit.
bool digitsAt(const QString& s, int pos, int n, int& out)
{
    out = 0;
    for (int i = pos; i < pos + n; ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        out = out * 10 + (c - u'0');
    }
    return true;
}

// The stored forms "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS" read directly: grids and the desk read
// many dates, and the general parser of QDateTime is slow.
bool readStored(const QString& s, QDate* day, QTime* time)
{
    int y, m, d;
    if (s.size() < 10 || s.at(4) != u'-' || s.at(7) != u'-' || !digitsAt(s, 0, 4, y) || !digitsAt(s, 5, 2, m)
        || !digitsAt(s, 8, 2, d))
        return false;
    *day = QDate(y, m, d);
    if (!day->isValid())
        return false;
    *time = QTime(0, 0);
    int h, mi, sec;
    if (s.size() >= 19 && s.at(10) == u' ' && s.at(13) == u':' && s.at(16) == u':' && digitsAt(s, 11, 2, h)
        && digitsAt(s, 14, 2, mi) && digitsAt(s, 17, 2, sec)) {
        const QTime t(h, mi, sec);
        if (t.isValid())
            *time = t;
    }
    return true;
}

} // namespace

QDateTime dbDateTime(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::QDateTime)
        return stored.toDateTime();
    if (stored.typeId() == QMetaType::QDate)
        return QDateTime(stored.toDate(), QTime(0, 0));
    const QString s = stored.toString();
    QDate day;
    QTime time;
    if (readStored(s, &day, &time))
        return QDateTime(day, time);
    if (s.size() >= 19) {
        const QDateTime t = QDateTime::fromString(s.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (t.isValid())
            return t;
    }
    if (s.size() >= 10) {
        const QDate d = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return {};
}

QDate dbDate(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::QString) {
        QDate day;
        QTime time;
        if (readStored(stored.toString(), &day, &time))
            return day; // no local time needed for the day alone
    }
    return dbDateTime(stored).date();
}

// ---------------------------------------------------------------------------

Statement::Statement(Database& db, const QString& sql) : m_db(db), m_sql(sql), m_stmt(db.acquire(sql)) {}

Statement::~Statement() { m_db.release(m_sql, m_stmt); }

void Statement::bind(const Params& params)
{
    QHash<QString, QVariant> byName;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        byName.insert(it.key().toLower(), it.value());

    const int n = sqlite3_bind_parameter_count(m_stmt);
    for (int i = 1; i <= n; ++i) {
        const char* raw = sqlite3_bind_parameter_name(m_stmt, i);
        if (!raw)
            throw DbError(QStringLiteral("參數沒有名稱：%1").arg(m_sql));
        const QString name = QString::fromUtf8(raw + 1).toLower();
        auto it = byName.constFind(name);
        if (it == byName.cend())
            throw DbError(QStringLiteral("參數 :%1 沒有給值").arg(QString::fromUtf8(raw + 1)));
        const QVariant& v = it.value();
        int rc = SQLITE_OK;
        if (v.isNull() || !v.isValid()) {
            rc = sqlite3_bind_null(m_stmt, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(m_stmt, i, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::UChar:
            case QMetaType::Char:
            case QMetaType::SChar:
                rc = sqlite3_bind_int64(m_stmt, i, v.toLongLong());
                break;
            case QMetaType::ULongLong:
            case QMetaType::ULong:
                rc = sqlite3_bind_int64(m_stmt, i, qint64(v.toULongLong()));
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, i, v.toDouble());
                break;
            case QMetaType::QDate:
            case QMetaType::QDateTime: {
                const QByteArray t =
                    (v.typeId() == QMetaType::QDate ? toDbText(v.toDate()) : toDbText(v.toDateTime())).toUtf8();
                rc = sqlite3_bind_text(m_stmt, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(m_stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            m_db.raise(rc);
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db.raise(rc);
}

int Statement::columnCount() const { return sqlite3_column_count(m_stmt); }

QString Statement::columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(m_stmt, i)); }

QString Statement::columnDeclType(int i) const
{
    const char* t = sqlite3_column_decltype(m_stmt, i);
    return t ? QString::fromUtf8(t) : QString();
}

QVariant Statement::value(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, i);
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, i)), sqlite3_column_bytes(m_stmt, i));
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
    }
}

// ---------------------------------------------------------------------------

Database::Database(const QString& path, Open open) : m_path(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (open == Open::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = m_db ? engineText(m_db) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(msg, rc);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 3000);
    registerFunctions();
}

Database::~Database()
{
    for (sqlite3_stmt* s : std::as_const(m_cache))
        sqlite3_finalize(s);
    m_cache.clear();
    if (m_db) {
        if (m_depth > 0)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
    }
}

void Database::registerFunctions()
{
    const int flags = SQLITE_UTF8;
    sqlite3_create_function(m_db, "now", 0, flags, nullptr, fnNow, nullptr, nullptr);
    sqlite3_create_function(m_db, "today", 0, flags, nullptr, fnToday, nullptr, nullptr);
    sqlite3_create_function(m_db, "adddays", 2, flags | SQLITE_DETERMINISTIC, nullptr, fnAddDays, nullptr, nullptr);
    sqlite3_create_function(m_db, "dayof", 1, flags | SQLITE_DETERMINISTIC, nullptr, fnDayOf, nullptr, nullptr);
    sqlite3_create_function(m_db, "roundeven", 1, flags | SQLITE_DETERMINISTIC, nullptr, fnRoundEven, nullptr,
                            nullptr);
}

void Database::raise(int rc) const { throw DbError(engineText(m_db), rc); }

sqlite3_stmt* Database::acquire(const QString& sql)
{
    if (!m_failFragment.isEmpty() && sql.contains(m_failFragment, Qt::CaseInsensitive)) {
        m_failFragment.clear();
        throw DbError(QStringLiteral("injected engine failure"), SQLITE_IOERR);
    }
    auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        sqlite3_stmt* s = it.value();
        m_cache.erase(it);
        return s;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        raise(rc);
    }
    if (!stmt) // only blanks or a comment
        throw DbError(QStringLiteral("空白的 SQL 指令"));
    return stmt;
}

void Database::release(const QString& sql, sqlite3_stmt* stmt)
{
    if (!stmt)
        return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (m_cache.size() >= kCacheLimit)
        sqlite3_finalize(stmt);
    else
        m_cache.insert(sql, stmt);
}

int Database::exec(const QString& sql, const Params& params)
{
    Statement st(*this, sql);
    st.bind(params);
    while (st.step()) {
    }
    return sqlite3_changes(m_db);
}

QVariant Database::scalar(const QString& sql, const Params& params)
{
    Statement st(*this, sql);
    st.bind(params);
    if (st.step() && st.columnCount() > 0)
        return st.value(0);
    return {};
}

void Database::execScript(const QString& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : engineText(m_db);
        sqlite3_free(err);
        throw DbError(msg, rc);
    }
}

qint64 Database::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

void Database::begin()
{
    if (m_depth == 0)
        exec(QStringLiteral("BEGIN IMMEDIATE"));
    else
        exec(QStringLiteral("SAVEPOINT sp%1").arg(m_depth));
    ++m_depth;
}

void Database::commit()
{
    if (m_depth == 0)
        throw DbError(QStringLiteral("沒有開啟的交易可以確認"));
    if (m_depth == 1)
        exec(QStringLiteral("COMMIT"));
    else
        exec(QStringLiteral("RELEASE sp%1").arg(m_depth - 1));
    --m_depth;
}

bool Database::transactionLost() const { return m_depth > 0 && sqlite3_get_autocommit(m_db); }

void Database::rollback()
{
    if (m_depth == 0)
        return;
    if (transactionLost()) { // nothing left to undo, at any depth
        m_depth = 0;
        return;
    }
    --m_depth;
    if (m_depth == 0) {
        if (!sqlite3_get_autocommit(m_db))
            exec(QStringLiteral("ROLLBACK"));
    } else {
        exec(QStringLiteral("ROLLBACK TO sp%1").arg(m_depth));
        exec(QStringLiteral("RELEASE sp%1").arg(m_depth));
    }
}
