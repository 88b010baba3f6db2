// Plays out the history of a rental shop day by day (visits with returns,
// renewals, lost books, rentals, readings and payments; walk-in readers; shift
// hand-overs) and writes every row as the desk, the pay window and the daily
// record would have written it.
#include "core/DemoShop.h"

#include "core/DemoShopRows.h"
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

const QByteArray kShop = Schema::kShopAccount.toUtf8();
constexpr int kOpenAt = 10 * 3600;
constexpr int kHandOverAt = 16 * 3600;
constexpr int kCloseAt = 22 * 3600 + 15 * 60;
constexpr int kFloat = 2000; // change left in the till

// What a day or a shift took in, as the daily record and the shift close sum it.
struct Figures {
    qint64 cashIn = 0, rent = 0, reading = 0, fines = 0, drawer = 0;
    int lent = 0, returned = 0, read = 0, visitors = 0;
    std::array<qint64, 4> byCategory{}; // comics, fiction, magazines, other
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
        writeSettings(m_db, m_rng, m_cal, m_days, m_rules, m_schemes, m_summary.hints);
        m_books = makeCatalogue(m_rng, m_o);
        for (size_t i = 0; i < m_books.size(); ++i)
            m_byCategory[size_t(m_books[i].category)].push_back(int(i));
        m_guests = makeGuests(m_rng, m_o);
        for (const Guest& g : m_guests)
            if (!g.password.isEmpty() && m_summary.passwordGuests.size() < 5)
                m_summary.passwordGuests << QString::fromLatin1(g.code) + QLatin1Char('/') + g.password;
        simulate();
        writeOpenLoans();
        writeBooks();
        writeGuests();
        writeReservations();
    }

    Summary summary() const { return m_summary; }

private:
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
