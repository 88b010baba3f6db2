// Building blocks of the generated shops: inserts bound by position, the stored
// texts of the days of the history, and the books, loans and customers in memory.
#pragma once

#include "core/DemoShop.h"
#include "core/DemoShopText.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QByteArray>
#include <QDate>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace DemoShop {

// The two employees who share the desk: mornings, and evenings from the 16:00 hand-over.
inline const QByteArray kMorning = Schema::kDefaultWorkerCode.toUtf8();
inline const QByteArray kEvening = QByteArrayLiteral("5201");

// A stored moment, "YYYY-MM-DD HH:MM:SS".
struct Stamp {
    char text[20];
};

// One prepared statement, reused for every row; values are bound by position.
class Prepared {
public:
    Prepared(Database& db, const char* sql) : m_db(db.handle())
    {
        if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    ~Prepared() { sqlite3_finalize(m_stmt); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    Prepared& operator<<(qint64 v) { return check(sqlite3_bind_int64(m_stmt, ++m_at, v)); }
    Prepared& operator<<(int v) { return *this << qint64(v); }
    Prepared& operator<<(double v) { return check(sqlite3_bind_double(m_stmt, ++m_at, v)); }
    Prepared& operator<<(std::nullptr_t) { return check(sqlite3_bind_null(m_stmt, ++m_at)); }
    Prepared& operator<<(const char* v) // a UTF-8 literal
    {
        return check(v ? sqlite3_bind_text(m_stmt, ++m_at, v, -1, SQLITE_STATIC) : sqlite3_bind_null(m_stmt, ++m_at));
    }
    Prepared& operator<<(const QByteArray& v)
    {
        return check(sqlite3_bind_text(m_stmt, ++m_at, v.constData(), int(v.size()), SQLITE_TRANSIENT));
    }
    Prepared& operator<<(const QString& v) // a null string is stored as NULL
    {
        return v.isNull() ? *this << nullptr : *this << v.toUtf8();
    }
    Prepared& operator<<(const Stamp& v)
    {
        return check(sqlite3_bind_text(m_stmt, ++m_at, v.text, 19, SQLITE_TRANSIENT));
    }

    void run()
    {
        const int rc = sqlite3_step(m_stmt);
        const QString error =
            rc == SQLITE_DONE || rc == SQLITE_ROW ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
        m_at = 0;
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        if (!error.isNull())
            throw DbError(error, rc);
    }

private:
    Prepared& check(int rc)
    {
        if (rc != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)), rc);
        return *this;
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_at = 0;
};

// Day texts of the history: day 0 is the first day, `days` is today.
class Calendar {
public:
    Calendar(const QDate& today, int days) : m_first(today.addDays(-days)) {}
    QDate date(int d) const { return m_first.addDays(d); }
    Stamp at(int d, int secs) const
    {
        Stamp s = day(d);
        const int h = secs / 3600, m = secs / 60 % 60, x = secs % 60;
        s.text[11] = char('0' + h / 10), s.text[12] = char('0' + h % 10);
        s.text[14] = char('0' + m / 10), s.text[15] = char('0' + m % 10);
        s.text[17] = char('0' + x / 10), s.text[18] = char('0' + x % 10);
        return s;
    }
    Stamp day(int d) const
    {
        const size_t i = size_t(d - kLow);
        if (d < kLow || i >= 20000) // far outside the history: birthdays
            return fromText(toDbText(date(d)));
        if (m_cache.size() <= i)
            m_cache.resize(i + 1);
        if (!m_cache[i].text[0])
            m_cache[i] = fromText(toDbText(date(d)));
        return m_cache[i];
    }
    Stamp day(const QDate& d) const { return day(int(m_first.daysTo(d))); }

private:
    static constexpr int kLow = -6000;
    static Stamp fromText(const QString& t)
    {
        Stamp s{};
        const QByteArray b = t.toLatin1();
        std::copy_n(b.constData(), 19, s.text);
        return s;
    }
    QDate m_first;
    mutable std::vector<Stamp> m_cache;
};

struct Book {
    QByteArray code;
    QString name, vol, author, publisher;
    int cls = 1, category = 1;
    int money = 0, costNew = 0, costOld = 0, costIn = 0, overNew = 0, overOld = 0;
    int number = 1, stockDay = 0;
    bool adult = false, end = false, nullify = false;
    int borrowed = 0, out = 0;
    int next = -1; // the next volume of the series
};

struct Loan {
    qint64 id;
    int book;
    int day, secs; // rented
    int due;
    int piece;
    bool renewal; // a "con1" row
};

enum class Habit { Punctual, Relaxed, Hoarder };

struct Guest {
    QByteArray code;
    Person p;
    int join = 0, leave = INT_MAX;
    Habit habit = Habit::Punctual;
    int appetite = 2;           // books per visit, about
    double idleGap = 10;        // days between visits without books out
    std::array<int, 6> taste{}; // weight by category 1..5
    int scheme = 0;
    bool paysLate = false;
    int limit = 5;
    std::vector<Loan> open;
    int follow = -1;
    qint64 balance = 0, totalPaid = 0, totCost = 0, totOver = 0;
    int payments = 0, lastPayDay = INT_MIN, lastDis = 0;
    int rentNo = 0, readNo = 0, lastRent = INT_MIN;
    bool finalVisit = false, closeOnLeave = false, refundOnLeave = false, closed = false;
    bool bench = false;
    int refundFrom = INT_MAX; // refund part of the balance at the first visit from this day
    QString papers, idSave, ps, password, vip;
    int pledge = 0, entrance = 0;
};

struct Tier {
    int top, lo, hi, retNew, retOld, retIn, overNew, overOld;
};

inline constexpr Tier kTiers[] = {
    {1, 0, 99, 8, 5, 3, 5, 5},          {1, 100, 129, 10, 8, 4, 5, 5},    {1, 130, 32767, 12, 10, 5, 10, 5},
    {2, 0, 199, 15, 10, 5, 10, 5},      {2, 200, 299, 20, 15, 8, 10, 8},  {2, 300, 32767, 25, 20, 10, 10, 10},
    {3, 0, 149, 10, 8, 5, 5, 5},        {3, 150, 32767, 15, 10, 5, 5, 5}, {4, 0, 399, 25, 15, 0, 10, 10},
    {4, 400, 32767, 30, 20, 0, 10, 10}, {5, 0, 32767, 20, 15, 5, 10, 5},
};

inline const char* topName(int top)
{
    static const char* const names[] = {"", "漫畫", "小說", "雜誌", "CD", "其它"};
    return names[std::clamp(top, 0, 5)];
}

inline int firstDigit(int n)
{
    while (n >= 10)
        n /= 10;
    return n;
}

struct Rule {
    int cls, lo, hi, days;
};

struct Scheme {
    int pay, into, lo, hi;
};

// The shop's own settings: classes, price tiers, loan periods and staff. Returns
// the loan-period rules and the prepayment schemes the history follows.
void writeSettings(Database& db, Rng& rng, const Calendar& cal, int days, std::vector<Rule>& rules,
                   std::vector<Scheme>& schemes, QStringList& hints);

// The books in the order they came in (which is also the order of their barcodes),
// each volume linked to the next one of its series.
std::vector<Book> makeCatalogue(Rng& rng, const Options& o);

// The customers B00001, B00002, ...; the first `benchGuests` of them stay to the end.
std::vector<Guest> makeGuests(Rng& rng, const Options& o);

} // namespace DemoShop
