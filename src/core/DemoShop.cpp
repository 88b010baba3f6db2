// Plays out the history of a rental shop day by day (visits with returns,
// renewals, lost books, rentals, readings and payments; walk-in readers; shift
// hand-overs) and writes every row as the desk, the pay window and the daily
// record would have written it.
#include "core/DemoShop.h"

#include "core/DemoShopText.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <memory>

namespace DemoShop {

Options demo()
{
    return Options{};
}

Options large()
{
    Options o;
    o.large = true;
    o.guests = 20000;
    o.books = 200000;
    o.days = 1826; // five years
    o.benchGuests = 5;
    o.activity = 0.47; // about 2,000,000 loan rows, 20,000 of them open
    return o;
}

namespace {

const QByteArray kMorning = Schema::kDefaultWorkerCode.toUtf8();
const QByteArray kEvening = QByteArrayLiteral("5201");
const QByteArray kShop = Schema::kShopAccount.toUtf8();
constexpr int kOpenAt = 10 * 3600;
constexpr int kHandOverAt = 16 * 3600;
constexpr int kCloseAt = 22 * 3600 + 15 * 60;
constexpr int kFloat = 2000; // change left in the till

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

// What a day or a shift took in, as the daily record and the shift close sum it.
struct Figures {
    qint64 cashIn = 0, rent = 0, reading = 0, fines = 0, drawer = 0;
    int lent = 0, returned = 0, read = 0, visitors = 0;
    std::array<qint64, 4> byCategory{}; // comics, fiction, magazines, other
};

struct Tier {
    int top, lo, hi, retNew, retOld, retIn, overNew, overOld;
};

const Tier kTiers[] = {
    {1, 0, 99, 8, 5, 3, 5, 5},          {1, 100, 129, 10, 8, 4, 5, 5},    {1, 130, 32767, 12, 10, 5, 10, 5},
    {2, 0, 199, 15, 10, 5, 10, 5},      {2, 200, 299, 20, 15, 8, 10, 8},  {2, 300, 32767, 25, 20, 10, 10, 10},
    {3, 0, 149, 10, 8, 5, 5, 5},        {3, 150, 32767, 15, 10, 5, 5, 5}, {4, 0, 399, 25, 15, 0, 10, 10},
    {4, 400, 32767, 30, 20, 0, 10, 10}, {5, 0, 32767, 20, 15, 5, 10, 5},
};

const char* topName(int top)
{
    static const char* const names[] = {"", "漫畫", "小說", "雜誌", "CD", "其它"};
    return names[std::clamp(top, 0, 5)];
}

int firstDigit(int n)
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

class Shop {
public:
    Shop(Database& db, const Options& o)
        : m_db(db), m_o(o), m_rng(o.seed), m_cal(Clock::today(), o.days), m_days(o.days),
          m_loan(db, "INSERT INTO Rent_Back (idno, Guest_CODE, Book_Code, Vol, RDate, IDate, BDate, New, piece, "
                     "flgRet, InStudy, Bstate, WorkManCode, OverMoney) VALUES (?,?,?,?,?,?,?,'否',?,?,?,?,?,?)"),
          m_journal(db, "INSERT INTO GuestCost (Guest_CODE, Mode, Cost, piece, Tran_CODE, worker, CostDate) "
                        "VALUES (?,?,?,?,?,?,?)")
    {
    }

    void run()
    {
        makeSettings();
        makeCatalogue();
        makeGuests();
        simulate();
        writeOpenLoans();
        writeBooks();
        writeGuests();
        writeReservations();
    }

    Summary summary() const { return m_summary; }

private:
    // --- the shop's own settings -------------------------------------------------
    void makeSettings()
    {
        Prepared cls(m_db, "INSERT INTO ClassBook (ClassNum, ClassName) VALUES (?, ?)");
        for (const ClassRow& c : classTree())
            (cls << c.num << c.name).run();

        Prepared tier(m_db, "INSERT INTO BookCost (ClassCode, ClassName, ChaStatr, ChaEnd, RetCostNew, RetCostOld, "
                            "RetinCost, OverCostNew, OverCostOld) VALUES (?,?,?,?,?,?,?,?,?)");
        for (const Tier& t : kTiers)
            (tier << t.top << topName(t.top) << t.lo << t.hi << t.retNew << t.retOld << t.retIn << t.overNew
                  << t.overOld)
                .run();

        Prepared rule(m_db, "INSERT INTO CustBookDay (ClassNum, ClassName, RetBookStart, RetBookEnd, BookDay, "
                            "newBookDay, renewNum) VALUES (?, ?, 1, 99, ?, 0, 0)");
        (rule << 3 << topName(3) << 3).run();
        (rule << 4 << topName(4) << 7).run();
        (rule << 5 << topName(5) << 7).run();
        {
            Statement st(m_db, QStringLiteral("SELECT ClassNum, RetBookStart, RetBookEnd, BookDay FROM CustBookDay "
                                              "ORDER BY ClassNum, RetBookStart"));
            while (st.step())
                m_rules.push_back({st.value(0).toInt(), st.value(1).toInt(), st.value(2).toInt(), st.value(3).toInt()});
        }
        {
            Statement st(m_db,
                         QStringLiteral("SELECT PayMoney, IntoMoney, PayStart, PayEnd FROM PayMoney ORDER BY NO"));
            while (st.step())
                m_schemes.push_back(
                    {st.value(0).toInt(), st.value(1).toInt(), st.value(2).toInt(), st.value(3).toInt()});
        }

        // The staff: the default employee has worked here a while, a second one takes the evenings.
        Prepared since(m_db, "UPDATE Worker SET SDate = ?, Tel2 = ? WHERE CODE = ?");
        (since << m_cal.day(-m_days / 2 - 700) << "0933-218-406" << kMorning).run();
        Prepared worker(m_db, "INSERT INTO Worker (CODE, PSWD, Name, SEX, Birthday, Tel, Tel2, email, \"Add\", "
                              "School, Class, IDNO, LV, flgLV, SDate, LDate, PS) "
                              "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        Person p = person(m_rng, 1998, 2003);
        (worker << kEvening << "1111"
                << "林 雅婷"
                << "女" << m_cal.day(p.birthday) << p.tel << p.mobile << p.email << p.addr << "城南大學"
                << "資管三甲" << idNumber(m_rng, QLatin1Char('A'), false) << 20 << 0 << m_cal.day(-300) << nullptr
                << "晚班 16:00–22:00")
            .run();
        p = person(m_rng, 1995, 2000);
        (worker << "3108"
                << "3108"
                << "陳 志豪"
                << "男" << m_cal.day(p.birthday) << p.tel << p.mobile << p.email << p.addr << nullptr << nullptr
                << idNumber(m_rng, QLatin1Char('F'), true) << 30 << 1 << m_cal.day(-m_days / 2 - 500)
                << m_cal.day(-m_days / 2 - 100) << "已離職")
            .run();
        m_summary.hints << QStringLiteral("員工：6475 程 小九（無密碼）、5201 林 雅婷（密碼 1111）");
    }

    // --- the catalogue -------------------------------------------------------------
    void makeCatalogue()
    {
        struct Made {
            Book book;
            int series, volume;
        };
        std::vector<Made> made;
        std::vector<Series> all = m_o.large ? std::vector<Series>{} : demoCatalogue();
        const int wanted = m_o.large ? m_o.books : INT_MAX;
        for (size_t si = 0; m_o.large ? int(made.size()) < wanted : si < all.size(); ++si) {
            if (m_o.large)
                all.push_back(madeUpSeries(m_rng));
            const Series& s = all[si];
            // Older series came in as a set; the others a volume every few weeks, the
            // running ones up to these days.
            const bool asSet = !s.issues && m_rng.chance(0.55);
            const int every = s.issues ? (s.classNum == 301 ? 7 : 30) : m_rng.range(25, 60);
            const int last = s.finished && !s.issues && m_rng.chance(0.5) ? m_rng.range(-300, m_days - 5)
                                                                          : m_days - 5 - m_rng.below(every);
            const int first = asSet ? m_rng.range(-700, m_days - 10) : last - every * (s.volumes - 1);
            const int issue0 = m_rng.range(100, 900);
            for (int v = 1; v <= s.volumes && int(made.size()) < wanted; ++v) {
                Book b;
                b.stockDay = asSet ? first : first + (v - 1) * every;
                b.cls = s.classNum;
                b.category = std::min(firstDigit(s.classNum), 5);
                b.name = s.name;
                b.vol = QString::number(s.issues ? issue0 + v : v);
                b.author = s.author;
                b.publisher = s.publisher;
                b.money = s.money;
                b.adult = s.adult;
                b.end = s.finished && v == s.volumes && s.volumes > 1;
                b.number = b.category == 1 && m_rng.chance(0.3) ? 2 : 1;
                for (const Tier& t : kTiers)
                    if (t.top == b.category && b.money >= t.lo && b.money <= t.hi) {
                        b.costNew = t.retNew, b.costOld = t.retOld, b.costIn = t.retIn;
                        b.overNew = t.overNew, b.overOld = t.overOld;
                        break;
                    }
                made.push_back({b, int(si), v});
            }
        }
        // Barcodes follow the order in which the books came in.
        std::stable_sort(made.begin(), made.end(),
                         [](const Made& a, const Made& b) { return a.book.stockDay < b.book.stockDay; });
        for (size_t i = 0; i < made.size(); ++i) {
            Book& b = made[i].book;
            b.code = QStringLiteral("%1%2").arg(b.category).arg(i + 1, 7, 10, QLatin1Char('0')).toLatin1();
            m_books.push_back(b);
        }
        // Link each volume to the next one of its series.
        std::vector<int> idx(made.size());
        for (size_t i = 0; i < made.size(); ++i)
            idx[i] = int(i);
        std::sort(idx.begin(), idx.end(), [&](int a, int b) {
            return made[a].series != made[b].series ? made[a].series < made[b].series : made[a].volume < made[b].volume;
        });
        for (size_t k = 0; k + 1 < idx.size(); ++k)
            if (made[idx[k]].series == made[idx[k + 1]].series)
                m_books[idx[k]].next = idx[k + 1];
        for (size_t i = 0; i < m_books.size(); ++i)
            m_byCategory[m_books[i].category].push_back(int(i));
    }

    // A book of the category that had come in by `day`, the newest most wanted; -1 when none.
    int popular(int category, int day)
    {
        const std::vector<int>& list = m_byCategory[category];
        const auto end = std::upper_bound(list.begin(), list.end(), day,
                                          [&](int d, int i) { return d < m_books[size_t(i)].stockDay; });
        const int n = int(end - list.begin());
        if (n == 0)
            return -1;
        const double u = m_rng.unit();
        return list[size_t(n - 1 - int(n * u * u * u))];
    }

    // --- the customers -------------------------------------------------------------
    void makeGuests()
    {
        static const QStringList papers = {QStringLiteral("身分證"), QStringLiteral("健保卡"), QStringLiteral("駕照"),
                                           QStringLiteral("學生證")};
        static const QStringList notes = {QStringLiteral("新刊到了請電話通知"), QStringLiteral("常借少年漫畫"),
                                          QStringLiteral("喜歡推理小說"),       QStringLiteral("電話請晚上八點後聯絡"),
                                          QStringLiteral("曾遺失書本，已賠償"), QStringLiteral("學生，押學生證"),
                                          QStringLiteral("熟客，家住附近"),     QStringLiteral("習慣一次借一整套")};
        for (int i = 0; i < m_o.guests; ++i) {
            Guest g;
            g.code = QStringLiteral("B%1").arg(i + 1, 5, 10, QLatin1Char('0')).toLatin1();
            g.p = person(m_rng, Clock::today().year() - 55, Clock::today().year() - 12);
            const int r = m_rng.below(100);
            g.habit = r < 74 ? Habit::Punctual : r < 87 ? Habit::Relaxed : Habit::Hoarder;
            g.appetite = m_rng.range(1, 4);
            g.idleGap = m_rng.range(3, 40) / m_o.activity;
            g.scheme = m_rng.below(100) < 50 ? 0 : m_rng.below(100) < 70 ? 1 : 2;
            g.paysLate = m_rng.chance(0.06);
            g.limit = g.habit == Habit::Hoarder && m_rng.chance(0.5) ? 10 : 5;
            const int fav = m_rng.below(100);
            g.taste = {0, 60, 25, 8, 3, 4};
            if (fav < 20)
                g.taste = {0, 20, 70, 5, 2, 3};
            else if (fav < 25)
                g.taste = {0, 30, 20, 40, 5, 5};
            if (m_o.large) {
                g.join = m_rng.range(-400, m_days - 15);
                if (!m_rng.chance(0.2))
                    g.leave = g.join + 30 + int(-std::log(1 - m_rng.unit()) * 260 * m_o.activity);
            } else {
                g.join = m_rng.chance(0.85) ? m_rng.range(-700, -1) : m_rng.range(0, m_days - 20);
                if (m_rng.chance(0.08))
                    g.leave = std::max(g.join, 0) + m_rng.range(20, m_days);
            }
            if (m_rng.chance(0.6)) {
                g.papers = m_rng.pick(papers);
                g.idSave = QStringLiteral("%1-%2")
                               .arg(QChar(u'A' + m_rng.below(4)))
                               .arg(m_rng.range(1, 40), 2, 10, QLatin1Char('0'));
            } else if (m_rng.chance(0.7)) {
                g.pledge = m_rng.chance(0.5) ? 300 : 500;
            }
            g.entrance = m_rng.chance(0.5) ? 100 : 0;
            if (m_rng.chance(0.1))
                g.vip = QStringLiteral("V%1").arg(m_rng.range(1, 9999), 4, 10, QLatin1Char('0'));
            if (m_rng.chance(0.2))
                g.ps = m_rng.pick(notes);
            if (m_o.large && m_rng.chance(0.03))
                g.password = QString::number(m_rng.range(1000, 9999));
            if (m_rng.chance(0.25)) {
                g.refundOnLeave = true;
                g.closeOnLeave = m_rng.chance(0.5);
            }
            m_guests.push_back(std::move(g));
        }
        // Customers the benchmark opens: long-standing, and served normally until a last visit.
        for (int i = 0; i < std::min(m_o.benchGuests, m_o.guests); ++i) {
            Guest& g = m_guests[size_t(i)];
            g.bench = true;
            g.join = std::min(g.join, -30);
            g.leave = INT_MAX;
            g.habit = Habit::Punctual;
            g.closeOnLeave = g.refundOnLeave = false;
            g.password.clear();
        }
        if (!m_o.large) {
            auto at = [&](int i) -> Guest* { return i < int(m_guests.size()) ? &m_guests[size_t(i)] : nullptr; };
            if (Guest* g = at(2))
                g->password = QStringLiteral("1234");
            if (Guest* g = at(7))
                g->password = QStringLiteral("0000");
            if (Guest* g = at(11)) { // moves away: brings everything back, takes the rest of the money, closes
                g->join = std::min(g->join, -100);
                g->leave = m_days - 40;
                g->closeOnLeave = g->refundOnLeave = true;
                g->habit = Habit::Punctual;
                g->ps = QStringLiteral("搬家，已退款關閉帳號");
            }
            if (Guest* g = at(20)) {
                g->join = std::min(g->join, -100);
                g->leave = INT_MAX;
                g->refundFrom = m_days - 60;
            }
            for (int i = 0; i < int(m_guests.size()); ++i)
                if (i != 11 && i >= m_o.benchGuests)
                    m_guests[size_t(i)].closeOnLeave = false;
        }
        for (const Guest& g : m_guests)
            if (!g.password.isEmpty() && m_summary.passwordGuests.size() < 5)
                m_summary.passwordGuests << QString::fromLatin1(g.code) + QLatin1Char('/') + g.password;
    }

    // --- the history ---------------------------------------------------------------
    void simulate()
    {
        m_visits.assign(size_t(m_days) + 1, {});
        for (size_t i = 0; i < m_guests.size(); ++i) {
            const Guest& g = m_guests[i];
            const int first = g.join >= 0 ? g.join : m_rng.range(0, 20);
            if (first < m_days && first < g.leave)
                m_visits[size_t(first)].push_back(int(i));
        }
        const int walkIns = m_o.large ? 20 : 2;
        for (int day = 0; day < m_days; ++day) {
            struct Event {
                int secs, guest; // guest -1: a walk-in reader, -2: a cash amount
            };
            std::vector<Event> events;
            auto moment = [&] {
                return m_rng.chance(0.4) ? m_rng.range(kOpenAt, kHandOverAt - 600)
                                         : m_rng.range(kHandOverAt + 300, 22 * 3600 - 900);
            };
            for (int g : m_visits[size_t(day)])
                events.push_back({moment(), g});
            m_visits[size_t(day)].clear();
            m_visits[size_t(day)].shrink_to_fit();
            for (int k = m_rng.range(0, walkIns * 2); k > 0; --k)
                events.push_back({moment(), -1});
            if (m_rng.chance(m_o.large ? 1.0 : 0.3))
                for (int k = m_rng.range(1, m_o.large ? 5 : 1); k > 0; --k)
                    events.push_back({moment(), -2});
            std::stable_sort(events.begin(), events.end(),
                             [](const Event& a, const Event& b) { return a.secs < b.secs; });

            m_day = Figures{};
            bool handedOver = false;
            for (const Event& e : events) {
                if (!handedOver && e.secs > kHandOverAt) {
                    handOver(day, kHandOverAt, kMorning, kEvening);
                    handedOver = true;
                }
                if (e.guest >= 0)
                    visit(m_guests[size_t(e.guest)], day, e.secs);
                else if (e.guest == -1)
                    walkIn(day, e.secs);
                else
                    cashAmount(day, e.secs);
            }
            if (!handedOver)
                handOver(day, kHandOverAt, kMorning, kEvening);
            handOver(day, kCloseAt, kEvening, kMorning);
            closeDay(day);
        }
    }

    static const QByteArray& workerAt(int secs) { return secs < kHandOverAt ? kMorning : kEvening; }

    Stamp at(int day, int secs) const { return m_cal.at(day, secs); }

    void journal(const QByteArray& guest, const char* mode, int cost, int piece, const QByteArray& tran, int day,
                 int secs)
    {
        (m_journal << guest << mode << cost << piece << tran << workerAt(secs) << at(day, secs)).run();
        ++m_journalRows;
        const qint64 a = std::abs(piece);
        for (Figures* f : {&m_day, &m_shift}) {
            if (qstrcmp(mode, "I") == 0)
                f->cashIn += std::abs(cost);
            else if (qstrcmp(mode, "DR") == 0 || qstrcmp(mode, "CO") == 0)
                f->rent += a;
            else if (qstrcmp(mode, "IN") == 0)
                f->reading += a;
            else if (qstrcmp(mode, "OV") == 0)
                f->fines += a;
            if (qstrcmp(mode, "I") == 0 || qstrcmp(mode, "RT") == 0)
                f->drawer += cost;
        }
    }

    static QByteArray idText(qint64 id) { return QByteArray::number(id); }

    void countRow(int book, int piece, bool lent)
    {
        const int c = std::min(m_books[size_t(book)].category, 4) - 1;
        for (Figures* f : {&m_day, &m_shift}) {
            f->byCategory[size_t(c)] += std::abs(piece);
            if (lent)
                ++f->lent;
        }
    }

    // A loan row in its final form: open, or closed at (closeDay, closeSecs) with its state and fine.
    void writeLoan(const Guest& g, const Loan& l, bool closed, int closeDay, int closeSecs, const char* state, int fine)
    {
        const Book& b = m_books[size_t(l.book)];
        m_loan << l.id << g.code << b.code << nullptr << at(l.day, l.secs) << m_cal.day(l.due);
        if (closed)
            m_loan << at(closeDay, closeSecs);
        else if (l.renewal)
            m_loan << at(l.day, l.secs);
        else
            m_loan << nullptr;
        m_loan << l.piece << int(closed) << 0 << state;
        if (l.renewal)
            m_loan << nullptr;
        else
            m_loan << workerAt(l.secs);
        (m_loan << fine).run();
        ++m_loanRows;
    }

    void writeReading(const QByteArray& guest, int book, int day, int secs)
    {
        Book& b = m_books[size_t(book)];
        const qint64 id = ++m_lastId;
        (m_loan << id << guest << b.code << b.vol << at(day, secs) << m_cal.day(day) << at(day, secs) << b.costOld << 1
                << 1 << "IN" << workerAt(secs) << 0)
            .run();
        ++m_loanRows;
        ++b.borrowed;
        journal(guest, "IN", 0, -b.costOld, idText(id), day, secs);
        countRow(book, b.costOld, false);
        ++m_day.read;
        ++m_shift.read;
    }

    void walkIn(int day, int secs)
    {
        const int book = popular(m_rng.chance(0.8) ? 1 : m_rng.range(2, 3), day);
        if (book < 0 || m_books[size_t(book)].nullify)
            return;
        writeReading(kShop, book, day, secs);
        m_day.drawer += m_books[size_t(book)].costOld;
        m_shift.drawer += m_books[size_t(book)].costOld;
    }

    void cashAmount(int day, int secs)
    {
        static const int amounts[] = {10, 20, 20, 30, 35, 50, 50, 100};
        const int amount = amounts[m_rng.below(int(std::size(amounts)))];
        (m_loan << ++m_lastId << nullptr << "金額"
                << "0" << at(day, secs) << m_cal.day(day) << at(day, secs) << amount << 1 << 1 << nullptr << nullptr
                << 0)
            .run();
        ++m_loanRows;
        m_day.drawer += amount;
        m_shift.drawer += amount;
    }

    int loanDays(int category, int count) const
    {
        for (int cls : {category, 1, 2})
            for (const Rule& r : m_rules)
                if (r.cls == cls && r.lo <= count && count <= r.hi)
                    return r.days;
        return 6;
    }

    void pay(Guest& g, int day, int secs)
    {
        int paid = 0, credited = 0;
        if (m_rng.chance(0.12)) { // an amount typed by hand, credited at the rate of the scheme that covers it
            static const int amounts[] = {300, 600, 800, 1200, 1500};
            paid = credited = amounts[m_rng.below(int(std::size(amounts)))];
            for (const Scheme& s : m_schemes)
                if (s.lo <= paid && paid <= s.hi && s.pay > 0) {
                    const int rate = int(std::nearbyint(double(s.into) / s.pay * 100));
                    credited = paid * rate / 100;
                    break;
                }
        } else {
            const Scheme& s = m_schemes[size_t(std::min<int>(g.scheme, int(m_schemes.size()) - 1))];
            paid = s.pay;
            credited = s.into;
        }
        const int dis = paid == 0 || credited == 0 ? 100 : int(double(paid) / credited * 100);
        g.balance += credited;
        g.totalPaid += paid;
        ++g.payments;
        g.lastPayDay = day;
        g.lastDis = dis;
        journal(g.code, "I", paid, credited, QByteArrayLiteral("0"), day, secs);
    }

    void refund(Guest& g, int day, int secs, bool all)
    {
        const qint64 points = all ? (g.balance - 1) / 10 * 10 : g.balance / 2 / 10 * 10;
        if (points <= 0 || points >= g.balance)
            return;
        const int cash = int(points * g.lastDis / 100);
        g.balance -= points;
        journal(g.code, "RT", -cash, -int(points), QByteArray(""), day, secs);
    }

    bool canRent(const Guest& g, int book, int day, const std::vector<int>& picks, const std::array<int, 6>& count)
    {
        if (book < 0)
            return false;
        const Book& b = m_books[size_t(book)];
        const int limit = b.category == 1 ? g.limit : 5; // Lim_Comic, or the other limits
        if (b.stockDay > day || b.nullify || b.number - b.out <= 0 || count[size_t(b.category)] >= limit)
            return false;
        if (std::find(picks.begin(), picks.end(), book) != picks.end())
            return false;
        for (const Loan& l : g.open)
            if (l.book == book)
                return false;
        return true;
    }

    std::vector<int> choose(Guest& g, int day, int wanted, bool exact)
    {
        std::vector<int> picks;
        std::array<int, 6> count{};
        auto take = [&](int book) {
            picks.push_back(book);
            ++count[size_t(m_books[size_t(book)].category)];
        };
        const int total = g.taste[1] + g.taste[2] + g.taste[3] + g.taste[4] + g.taste[5];
        for (int i = 0; i < wanted; ++i) {
            for (int tries = 0; tries < 10; ++tries) {
                int book = -1;
                if (g.follow >= 0 && m_rng.chance(0.75)) {
                    book = m_books[size_t(g.follow)].next;
                    g.follow = -1;
                } else {
                    int r = m_rng.below(total), cat = 1;
                    while (cat < 5 && r >= g.taste[size_t(cat)])
                        r -= g.taste[size_t(cat++)];
                    book = popular(cat, day);
                }
                if (canRent(g, book, day, picks, count)) {
                    take(book);
                    if (m_books[size_t(book)].next >= 0)
                        g.follow = book;
                    break;
                }
            }
        }
        // The benchmark's customers need exactly their number: look through the shelf.
        for (size_t k = 0, start = size_t(m_rng.below(int(m_books.size())));
             exact && int(picks.size()) < wanted && k < m_books.size(); ++k) {
            const int book = int((start + k) % m_books.size());
            if (canRent(g, book, day, picks, count))
                take(book);
        }
        return picks;
    }

    void visit(Guest& g, int day, int secs)
    {
        const bool benchVisit = g.bench && day >= m_days - 3;
        const bool last = g.finalVisit;
        enum class Act { Keep, Return, Renew, Lose };
        std::vector<Act> acts(g.open.size(), Act::Keep);
        const double keepBack = g.habit == Habit::Hoarder ? 0.75 : g.habit == Habit::Relaxed ? 0.1 : 0.03;
        int charges = 0;
        for (size_t i = 0; i < g.open.size(); ++i) {
            const Loan& l = g.open[i];
            const Book& b = m_books[size_t(l.book)];
            const int late = day - l.due;
            Act& a = acts[i];
            if (last || benchVisit)
                a = Act::Return;
            else if (late > 10 && m_rng.chance(0.04))
                a = Act::Lose;
            else if (l.day < day && m_rng.chance(0.04))
                a = Act::Renew;
            else
                a = m_rng.chance(keepBack) ? Act::Keep : Act::Return;
            const int fine = a != Act::Keep && late > 0 ? b.overOld * late : 0;
            charges += fine + (a == Act::Renew ? b.costOld : a == Act::Lose ? l.piece : 0);
        }
        int wanted = 0;
        if (benchVisit)
            wanted = 10;
        else if (!last && (g.open.empty() || m_rng.chance(0.65))) // or only brings books back, for a while
            wanted = std::max(1, g.appetite + m_rng.range(-1, 2));
        std::vector<int> picks = choose(g, day, wanted, benchVisit);
        for (int p : picks)
            charges += m_books[size_t(p)].costOld;
        std::vector<int> readings;
        if (!last && !benchVisit && m_rng.chance(0.08))
            for (int k = m_rng.range(1, 2); k > 0; --k) {
                const int book = popular(1, day);
                if (book >= 0 && !m_books[size_t(book)].nullify)
                    readings.push_back(book);
            }
        for (int r : readings)
            charges += m_books[size_t(r)].costOld;

        int t = secs;
        const qint64 floor = g.paysLate ? -150 : 0;
        for (int n = 0; n < 5 && g.balance - charges < floor; ++n)
            pay(g, day, t += 5);
        if (g.refundFrom <= day && !last) {
            refund(g, day, t += 5, false);
            g.refundFrom = INT_MAX;
        }

        // The rentals are scanned first, each row written at once; the settlement follows.
        std::vector<Loan> rented;
        std::array<int, 6> perCategory{};
        for (int p : picks) {
            rented.push_back({++m_lastId, p, day, t += m_rng.range(8, 25), 0, m_books[size_t(p)].costOld, false});
            ++perCategory[size_t(m_books[size_t(p)].category)];
        }
        for (Loan& l : rented)
            l.due =
                day + loanDays(m_books[size_t(l.book)].category, perCategory[size_t(m_books[size_t(l.book)].category)]);
        const int settle = t += 20;
        const QByteArray& code = g.code;
        qint64 rent = 0, over = 0;
        std::vector<Loan> kept, renewed;
        for (size_t i = 0; i < g.open.size(); ++i) {
            const Loan& l = g.open[i];
            Book& b = m_books[size_t(l.book)];
            const int late = day - l.due;
            const int fine = late > 0 ? b.overOld * late : 0;
            const QByteArray tran = idText(l.id);
            const char* state = l.renewal ? "con1" : "RetB";
            switch (acts[i]) {
            case Act::Keep:
                kept.push_back(l);
                continue;
            case Act::Lose:
                writeLoan(g, l, true, day, settle, state, fine);
                --b.number;
                --b.out;
                journal(code, "PN", 0, -l.piece, tran, day, settle);
                rent += l.piece;
                break;
            case Act::Renew: {
                writeLoan(g, l, true, day, settle, state, fine);
                renewed.push_back({0, l.book, day, settle, day + 2, b.costOld, true});
                ++b.borrowed;
                ++g.rentNo;
                g.lastRent = day;
                journal(code, "CO", 0, -b.costOld, tran, day, settle);
                rent += b.costOld;
                countRow(l.book, b.costOld, false);
                break;
            }
            case Act::Return:
                writeLoan(g, l, true, day, settle, "BCK", fine);
                --b.out;
                ++m_day.returned;
                ++m_shift.returned;
                break;
            }
            if (fine > 0) {
                journal(code, "OV", 0, -fine, tran, day, settle);
                over += fine;
            }
        }
        for (Loan& l : renewed) // written by the settlement, after the visit's rentals
            l.id = ++m_lastId;
        for (const Loan& l : rented) {
            Book& b = m_books[size_t(l.book)];
            ++b.out;
            ++b.borrowed;
            ++g.rentNo;
            g.lastRent = day;
            journal(code, "DR", 0, -l.piece, idText(l.id), day, settle);
            rent += l.piece;
            countRow(l.book, l.piece, true);
        }
        g.balance -= rent + over;
        g.totCost += rent + over;
        g.totOver += over;
        g.open = std::move(kept);
        g.open.insert(g.open.end(), rented.begin(), rented.end());
        g.open.insert(g.open.end(), renewed.begin(), renewed.end());

        // Readings in the shop are charged to the balance at once.
        t = settle + 60;
        for (int r : readings) {
            writeReading(code, r, day, t += m_rng.range(30, 600));
            const int cost = m_books[size_t(r)].costOld;
            g.balance -= cost;
            g.totCost += cost;
            ++g.rentNo;
            ++g.readNo;
            g.lastRent = day;
        }
        if (!picks.empty() || !renewed.empty() || !readings.empty()) {
            ++m_day.visitors;
            ++m_shift.visitors;
        }
        if (last) {
            if (g.refundOnLeave)
                refund(g, day, settle + 30, true);
            g.closed = g.closeOnLeave;
            return;
        }
        schedule(g, day);
    }

    void schedule(Guest& g, int day)
    {
        if (g.bench && day >= m_days - 3)
            return;
        int next;
        if (!g.open.empty()) {
            int due = INT_MAX;
            for (const Loan& l : g.open)
                due = std::min(due, l.due);
            int late;
            switch (g.habit) {
            case Habit::Punctual:
                late = m_rng.chance(0.95) ? m_rng.range(-2, 0) : m_rng.range(1, 3);
                break;
            case Habit::Relaxed:
                late = m_rng.chance(0.75) ? m_rng.range(-1, 0) : m_rng.range(1, 5);
                break;
            default:
                late = m_rng.range(5, 60);
            }
            next = due + late;
        } else {
            next = day + 1 + int(-std::log(1 - m_rng.unit()) * g.idleGap);
        }
        next = std::max(next, day + 1);
        if (g.bench) {
            next = std::min(next, m_days - 3);
        } else if (next > g.leave) {
            if (g.open.empty() && !g.closeOnLeave && !g.refundOnLeave)
                return;
            if (!g.open.empty() && !g.closeOnLeave && m_rng.chance(0.95))
                return; // never seen again, with the books
            next = std::max(day + 1, std::min(next, g.leave));
            g.finalVisit = true;
        }
        const int guest = int(&g - m_guests.data());
        if (next < m_days)
            m_visits[size_t(next)].push_back(guest);
        else
            g.finalVisit = false;
    }

    void handOver(int day, int secs, const QByteArray& over, const QByteArray& take)
    {
        if (!m_workClass)
            m_workClass = std::make_unique<Prepared>(
                m_db, "INSERT INTO WorkClass (WorkOver, WorkTake, ClassTime, SellMoney, GrossMoney, GetMoney, "
                      "RetMoney, RetInMoney, chaMoney, fineMoney, indemnify, GetDeposit, BakDeposit, PeopNum, "
                      "RetBook, BacBook, RetInBook, ChaBook, TwoThousand, Thousand, FiveHundred, Hundred, FiveTen, "
                      "Ten, One) VALUES (?,?,?,0,0,?,?,?,0,?,0,0,0,?,?,?,?,0,0,?,?,?,?,?,?)");
        const Figures& f = m_shift;
        qint64 cash = std::max<qint64>(0, kFloat + f.drawer);
        m_lastCount = cash;
        int counts[6];
        const int values[6] = {1000, 500, 100, 50, 10, 1};
        for (int i = 0; i < 6; ++i) {
            counts[i] = int(cash / values[i]);
            cash %= values[i];
        }
        if (counts[0] > 0 && m_rng.chance(0.5)) { // a thousand in smaller notes
            --counts[0];
            counts[1] += 1;
            counts[2] += 5;
        }
        (*m_workClass << over << take << at(day, secs) << f.cashIn << f.rent << f.reading << f.fines << f.visitors
                      << f.lent << f.returned << f.read << counts[0] << counts[1] << counts[2] << counts[3] << counts[4]
                      << counts[5])
            .run();
        ++m_shifts;
        m_shift = Figures{};
    }

    void closeDay(int day)
    {
        if (!m_dayCost)
            m_dayCost = std::make_unique<Prepared>(
                m_db, "INSERT INTO DayCost (DayDate, RetBook, BackBook, InBook, GuestNum, ComMon, FicMon, MegMon, "
                      "OthMon, money, CostIn, CostOut, money2, OverMoney, realMoney) "
                      "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,0,?,?)");
        const Figures& f = m_day;
        (*m_dayCost << m_cal.day(day) << f.lent << f.returned << f.read << f.visitors << f.byCategory[0]
                    << f.byCategory[1] << f.byCategory[2] << f.byCategory[3] << f.cashIn << f.reading << f.rent
                    << f.fines << m_lastCount)
            .run();
    }

    // --- the rows that stand at the end ----------------------------------------------
    void writeOpenLoans()
    {
        std::vector<std::pair<qint64, std::pair<int, size_t>>> all; // id -> (guest, loan)
        for (size_t gi = 0; gi < m_guests.size(); ++gi)
            for (size_t li = 0; li < m_guests[gi].open.size(); ++li)
                all.push_back({m_guests[gi].open[li].id, {int(gi), li}});
        std::sort(all.begin(), all.end());
        for (const auto& a : all) {
            const Guest& g = m_guests[size_t(a.second.first)];
            const Loan& l = g.open[a.second.second];
            writeLoan(g, l, false, 0, 0, l.renewal ? "con1" : "RetB", 0);
        }
    }

    void writeBooks()
    {
        // A few worn-out books were scrapped; none of them is out.
        const int scrap = m_o.large ? int(m_books.size() / 300) : 3;
        for (int k = 0, tries = 0; k < scrap && tries < scrap * 20; ++tries) {
            Book& b = m_books[size_t(m_rng.below(int(m_books.size())))];
            if (b.out == 0 && !b.nullify && b.stockDay < m_days / 2) {
                b.nullify = true;
                ++k;
            }
        }
        Prepared book(m_db, "INSERT INTO BookDetail (Code, Name, Vol, Author, Publish, Class_Num, Money, InBookData, "
                            "Number, Num_Num, Cost_New, Cost_Old, Cost_In, Over_New, Over_Old, Over_18, \"END\", "
                            "nullify, Brrow_Total, RetNum) VALUES (?,?,?,?,?,?,?,?,?,'0',?,?,?,?,?,?,?,?,?,?)");
        for (const Book& b : m_books)
            (book << b.code << b.name << b.vol << b.author << b.publisher << b.cls << b.money << m_cal.day(b.stockDay)
                  << b.number << b.costNew << b.costOld << b.costIn << b.overNew << b.overOld << int(b.adult)
                  << int(b.end) << int(b.nullify) << b.borrowed << b.out)
                .run();
    }

    void writeGuests()
    {
        Prepared guest(m_db,
                       "INSERT INTO Guest (GuestCode, Name, TEL, TEL2, SEX, ID_number, VIP_number, ADDR, ADDR2, "
                       "Email, Birthday, Papers, ID_Save, Class, PS, IsClose, Leave_Mon, Pledge_Mon, Entrance_fee, "
                       "Total_Mon, Pay_Num, Last_Mon, Last_Dis, Come_Date, Over_Date, Last_Rent, RentNo, RentInNo, "
                       "Tot_Cost, Tot_OverDate, Lim_Comic, Lim_Fiction, Lim_Magazine, Lim_CD, Lim_OTH, Lim_New, "
                       "pwdUse, Password) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,'1',?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
                       "5,5,5,5,5,?,?)");
        for (const Guest& g : m_guests) {
            const int since = g.join;
            guest << g.code << g.p.name << g.p.tel << g.p.mobile << g.p.sex << g.p.idNumber << g.vip << g.p.addr
                  << g.p.addr2 << g.p.email << m_cal.day(g.p.birthday) << g.papers << g.idSave << g.ps << int(g.closed)
                  << g.balance << g.pledge << g.entrance << g.totalPaid << g.payments;
            if (g.lastPayDay == INT_MIN)
                guest << nullptr;
            else
                guest << m_cal.day(g.lastPayDay);
            guest << g.lastDis << m_cal.day(since) << m_cal.day(since + 730);
            if (g.lastRent == INT_MIN)
                guest << nullptr;
            else
                guest << m_cal.day(g.lastRent);
            (guest << g.rentNo << g.readNo << g.totCost << g.totOver << g.limit << int(!g.password.isEmpty())
                   << (g.password.isEmpty() ? QString() : g.password))
                .run();
            if (g.closed && m_summary.closedGuest.isEmpty())
                m_summary.closedGuest = QString::fromLatin1(g.code);
        }
    }

    void writeReservations()
    {
        Prepared sub(m_db, "INSERT INTO SubBook (BookCode, GuestCode, SubDate, SubDate2, SubEnd) VALUES (?,?,?,?,?)");
        std::vector<char> reserved(m_books.size(), 0);
        std::vector<char> benchHeld(m_books.size(), 0);
        std::vector<int> out, customers;
        for (const Guest& g : m_guests) {
            for (const Loan& l : g.open) {
                out.push_back(l.book);
                if (g.bench)
                    benchHeld[size_t(l.book)] = 1;
            }
            if (!g.closed && !g.bench)
                customers.push_back(int(&g - m_guests.data()));
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        std::erase_if(out, [&](int b) { return benchHeld[size_t(b)]; });
        const int waiting = m_o.large ? 1500 : 10, done = m_o.large ? 1500 : 5;
        int rows = 0;
        for (int k = 0; k < waiting + done && !customers.empty() && !out.empty(); ++k) {
            const bool finished = k >= waiting;
            const int book = finished ? m_rng.below(int(m_books.size())) : out[size_t(m_rng.below(int(out.size())))];
            if (benchHeld[size_t(book)])
                continue;
            const Guest& g = m_guests[size_t(m_rng.pick(customers))];
            const int day = finished ? m_days - m_rng.range(15, 120) : m_days - m_rng.range(1, 10);
            (sub << m_books[size_t(book)].code << g.code << m_cal.day(day) << m_cal.day(day + m_rng.range(1, 10))
                 << int(finished))
                .run();
            reserved[size_t(book)] = 1;
            ++rows;
        }
        // What the benchmark may use: its customers, their books, and free copies nobody waits for.
        for (const Guest& g : m_guests) {
            if (g.bench && g.open.size() == 10)
                m_summary.benchGuests << QString::fromLatin1(g.code);
            if (g.bench && g.open.size() == 10 && m_summary.benchLoans.isEmpty())
                for (const Loan& l : g.open)
                    m_summary.benchLoans << QString::fromLatin1(m_books[size_t(l.book)].code);
            if (!g.bench && !g.closed && g.open.empty() && g.password.isEmpty() && m_summary.idleGuests.size() < 5)
                m_summary.idleGuests << QString::fromLatin1(g.code);
        }
        for (size_t k = 0, start = size_t(m_rng.below(int(m_books.size())));
             k < m_books.size() && m_summary.shelfBooks.size() < 10; ++k) {
            const size_t i = (start + k) % m_books.size();
            const Book& b = m_books[i];
            if (b.out == 0 && b.number > 0 && !b.nullify && !reserved[i] && b.costOld > 0)
                m_summary.shelfBooks << QString::fromLatin1(b.code);
        }
    }

    Database& m_db;
    Options m_o;
    Rng m_rng;
    Calendar m_cal;
    int m_days;
    Prepared m_loan, m_journal;
    std::unique_ptr<Prepared> m_workClass, m_dayCost;
    std::vector<Rule> m_rules;
    std::vector<Scheme> m_schemes;
    std::vector<Book> m_books;
    std::array<std::vector<int>, 6> m_byCategory;
    std::vector<Guest> m_guests;
    std::vector<std::vector<int>> m_visits;
    qint64 m_lastId = 0;
    qint64 m_loanRows = 0, m_journalRows = 0, m_shifts = 0;
    qint64 m_lastCount = 0;
    Figures m_day, m_shift;
    Summary m_summary;
};

// The secondary indexes of the schema: created after the bulk rows, which is faster.
QStringList indexStatements()
{
    QStringList out;
    for (const QString& line : Schema::ddl().split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("CREATE INDEX ")))
            out << line;
    return out;
}

void removeShop(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

Summary create(const QString& path, const Options& options)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw DbError(
            QStringLiteral("%1 已經存在，不會覆寫：請指定一個新的檔名。").arg(QFileInfo(path).absoluteFilePath()));
    QElapsedTimer clock;
    clock.start();
    Summary s;
    try {
        std::unique_ptr<Database> db = Schema::openShop(path);
        // Generation only: nothing here needs to survive a crash, the file is removed on failure.
        db->execScript(QStringLiteral("PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; "
                                      "PRAGMA cache_size = -200000; PRAGMA temp_store = MEMORY; PRAGMA threads = 2;"));
        const QStringList indexes = indexStatements();
        {
            Transaction tx(*db);
            for (const QString& ix : indexes)
                db->exec(QStringLiteral("DROP INDEX %1").arg(ix.section(QLatin1Char(' '), 2, 2)));
            {
                Shop shop(*db, options);
                shop.run();
                s = shop.summary();
            }
            for (const QString& ix : indexes)
                db->exec(ix);
            tx.commit();
        }
        db->execScript(QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"));

        auto count = [&](const QString& sql) { return db->scalar(sql).toLongLong(); };
        s.guests = count(QStringLiteral("SELECT COUNT(*) FROM Guest WHERE GuestCode <> 'A001'"));
        s.books = count(QStringLiteral("SELECT COUNT(*) FROM BookDetail"));
        s.loans = count(QStringLiteral("SELECT COUNT(*) FROM Rent_Back"));
        s.openLoans = count(QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0"));
        s.overdueLoans = count(QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND IDate < today()"));
        s.journal = count(QStringLiteral("SELECT COUNT(*) FROM GuestCost"));
        s.days = count(QStringLiteral("SELECT COUNT(*) FROM DayCost"));
        s.shifts = count(QStringLiteral("SELECT COUNT(*) FROM WorkClass"));
        s.reservations = count(QStringLiteral("SELECT COUNT(*) FROM SubBook"));
        s.guestsWithTenOrMore = count(QStringLiteral("SELECT COUNT(*) FROM (SELECT Guest_CODE FROM Rent_Back "
                                                     "WHERE flgRet = 0 GROUP BY Guest_CODE HAVING COUNT(*) >= 10)"));
    } catch (...) {
        removeShop(path);
        throw;
    }
    s.msecs = clock.elapsed();
    return s;
}

} // namespace DemoShop
