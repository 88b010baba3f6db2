// The cast of a generated shop: its settings and staff, its catalogue and its
// customers with their habits, before any history is played.
#include "core/DemoShopRows.h"

#include "db/Clock.h"

#include <cmath>

namespace DemoShop {

void writeSettings(Database& db, Rng& rng, const Calendar& cal, int days, std::vector<Rule>& rules,
                   std::vector<Scheme>& schemes, QStringList& hints)
{
    Prepared cls(db, "INSERT INTO ClassBook (ClassNum, ClassName) VALUES (?, ?)");
    for (const ClassRow& c : classTree())
        (cls << c.num << c.name).run();

    Prepared tier(db, "INSERT INTO BookCost (ClassCode, ClassName, ChaStatr, ChaEnd, RetCostNew, RetCostOld, "
                      "RetinCost, OverCostNew, OverCostOld) VALUES (?,?,?,?,?,?,?,?,?)");
    for (const Tier& t : kTiers)
        (tier << t.top << topName(t.top) << t.lo << t.hi << t.retNew << t.retOld << t.retIn << t.overNew << t.overOld)
            .run();

    Prepared rule(db, "INSERT INTO CustBookDay (ClassNum, ClassName, RetBookStart, RetBookEnd, BookDay, "
                      "newBookDay, renewNum) VALUES (?, ?, 1, 99, ?, 0, 0)");
    (rule << 3 << topName(3) << 3).run();
    (rule << 4 << topName(4) << 7).run();
    (rule << 5 << topName(5) << 7).run();
    {
        Statement st(db, QStringLiteral("SELECT ClassNum, RetBookStart, RetBookEnd, BookDay FROM CustBookDay "
                                        "ORDER BY ClassNum, RetBookStart"));
        while (st.step())
            rules.push_back({st.value(0).toInt(), st.value(1).toInt(), st.value(2).toInt(), st.value(3).toInt()});
    }
    {
        Statement st(db, QStringLiteral("SELECT PayMoney, IntoMoney, PayStart, PayEnd FROM PayMoney ORDER BY NO"));
        while (st.step())
            schemes.push_back({st.value(0).toInt(), st.value(1).toInt(), st.value(2).toInt(), st.value(3).toInt()});
    }

    // The staff: the default employee has worked here a while, a second one takes the evenings.
    Prepared since(db, "UPDATE Worker SET SDate = ?, Tel2 = ? WHERE CODE = ?");
    (since << cal.day(-days / 2 - 700) << "0933-218-406" << kMorning).run();
    Prepared worker(db, "INSERT INTO Worker (CODE, PSWD, Name, SEX, Birthday, Tel, Tel2, email, \"Add\", "
                        "School, Class, IDNO, LV, flgLV, SDate, LDate, PS) "
                        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Person p = person(rng, 1998, 2003);
    (worker << kEvening << "1111"
            << "林 雅婷"
            << "女" << cal.day(p.birthday) << p.tel << p.mobile << p.email << p.addr << "城南大學"
            << "資管三甲" << idNumber(rng, QLatin1Char('A'), false) << 20 << 0 << cal.day(-300) << nullptr
            << "晚班 16:00–22:00")
        .run();
    p = person(rng, 1995, 2000);
    (worker << "3108"
            << "3108"
            << "陳 志豪"
            << "男" << cal.day(p.birthday) << p.tel << p.mobile << p.email << p.addr << nullptr << nullptr
            << idNumber(rng, QLatin1Char('F'), true) << 30 << 1 << cal.day(-days / 2 - 500) << cal.day(-days / 2 - 100)
            << "已離職")
        .run();
    hints << QStringLiteral("員工：6475 程 小九（無密碼）、5201 林 雅婷（密碼 1111）");
}

std::vector<Book> makeCatalogue(Rng& rng, const Options& o)
{
    struct Made {
        Book book;
        int series, volume;
    };
    std::vector<Made> made;
    std::vector<Series> all = o.large ? std::vector<Series>{} : demoCatalogue();
    const int wanted = o.large ? o.books : INT_MAX;
    for (size_t si = 0; o.large ? int(made.size()) < wanted : si < all.size(); ++si) {
        if (o.large)
            all.push_back(madeUpSeries(rng));
        const Series& s = all[si];
        // Older series came in as a set; the others a volume every few weeks, the
        // running ones up to these days.
        const bool asSet = !s.issues && rng.chance(0.55);
        const int every = s.issues ? (s.classNum == 301 ? 7 : 30) : rng.range(25, 60);
        const int last =
            s.finished && !s.issues && rng.chance(0.5) ? rng.range(-300, o.days - 5) : o.days - 5 - rng.below(every);
        const int first = asSet ? rng.range(-700, o.days - 10) : last - every * (s.volumes - 1);
        const int issue0 = rng.range(100, 900);
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
            b.number = b.category == 1 && rng.chance(0.3) ? 2 : 1;
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
    std::vector<Book> books;
    books.reserve(made.size());
    for (size_t i = 0; i < made.size(); ++i) {
        Book& b = made[i].book;
        b.code = QStringLiteral("%1%2").arg(b.category).arg(i + 1, 7, 10, QLatin1Char('0')).toLatin1();
        books.push_back(b);
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
            books[size_t(idx[k])].next = idx[k + 1];
    return books;
}

std::vector<Guest> makeGuests(Rng& rng, const Options& o)
{
    std::vector<Guest> guests;
    static const QStringList papers = {QStringLiteral("身分證"), QStringLiteral("健保卡"), QStringLiteral("駕照"),
                                       QStringLiteral("學生證")};
    static const QStringList notes = {QStringLiteral("新刊到了請電話通知"), QStringLiteral("常借少年漫畫"),
                                      QStringLiteral("喜歡推理小說"),       QStringLiteral("電話請晚上八點後聯絡"),
                                      QStringLiteral("曾遺失書本，已賠償"), QStringLiteral("學生，押學生證"),
                                      QStringLiteral("熟客，家住附近"),     QStringLiteral("習慣一次借一整套")};
    for (int i = 0; i < o.guests; ++i) {
        Guest g;
        g.code = QStringLiteral("B%1").arg(i + 1, 5, 10, QLatin1Char('0')).toLatin1();
        g.p = person(rng, Clock::today().year() - 55, Clock::today().year() - 12);
        const int r = rng.below(100);
        g.habit = r < 74 ? Habit::Punctual : r < 87 ? Habit::Relaxed : Habit::Hoarder;
        g.appetite = rng.range(1, 4);
        g.idleGap = rng.range(3, 40) / o.activity;
        g.scheme = rng.below(100) < 50 ? 0 : rng.below(100) < 70 ? 1 : 2;
        g.paysLate = rng.chance(0.06);
        g.limit = g.habit == Habit::Hoarder && rng.chance(0.5) ? 10 : 5;
        const int fav = rng.below(100);
        g.taste = {0, 60, 25, 8, 3, 4};
        if (fav < 20)
            g.taste = {0, 20, 70, 5, 2, 3};
        else if (fav < 25)
            g.taste = {0, 30, 20, 40, 5, 5};
        if (o.large) {
            g.join = rng.range(-400, o.days - 15);
            if (!rng.chance(0.2))
                g.leave = g.join + 30 + int(-std::log(1 - rng.unit()) * 260 * o.activity);
        } else {
            g.join = rng.chance(0.85) ? rng.range(-700, -1) : rng.range(0, o.days - 20);
            if (rng.chance(0.08))
                g.leave = std::max(g.join, 0) + rng.range(20, o.days);
        }
        if (rng.chance(0.6)) {
            g.papers = rng.pick(papers);
            g.idSave =
                QStringLiteral("%1-%2").arg(QChar(u'A' + rng.below(4))).arg(rng.range(1, 40), 2, 10, QLatin1Char('0'));
        } else if (rng.chance(0.7)) {
            g.pledge = rng.chance(0.5) ? 300 : 500;
        }
        g.entrance = rng.chance(0.5) ? 100 : 0;
        if (rng.chance(0.1))
            g.vip = QStringLiteral("V%1").arg(rng.range(1, 9999), 4, 10, QLatin1Char('0'));
        if (rng.chance(0.2))
            g.ps = rng.pick(notes);
        if (o.large && rng.chance(0.03))
            g.password = QString::number(rng.range(1000, 9999));
        if (rng.chance(0.25)) {
            g.refundOnLeave = true;
            g.closeOnLeave = rng.chance(0.5);
        }
        guests.push_back(std::move(g));
    }
    // Customers the benchmark opens: long-standing, and served normally until a last visit.
    for (int i = 0; i < std::min(o.benchGuests, o.guests); ++i) {
        Guest& g = guests[size_t(i)];
        g.bench = true;
        g.join = std::min(g.join, -30);
        g.leave = INT_MAX;
        g.habit = Habit::Punctual;
        g.closeOnLeave = g.refundOnLeave = false;
        g.password.clear();
    }
    if (!o.large) {
        auto at = [&](int i) -> Guest* { return i < int(guests.size()) ? &guests[size_t(i)] : nullptr; };
        if (Guest* g = at(2))
            g->password = QStringLiteral("1234");
        if (Guest* g = at(7))
            g->password = QStringLiteral("0000");
        if (Guest* g = at(11)) { // moves away: brings everything back, takes the rest of the money, closes
            g->join = std::min(g->join, -100);
            g->leave = o.days - 40;
            g->closeOnLeave = g->refundOnLeave = true;
            g->habit = Habit::Punctual;
            g->ps = QStringLiteral("搬家，已退款關閉帳號");
        }
        if (Guest* g = at(20)) {
            g->join = std::min(g->join, -100);
            g->leave = INT_MAX;
            g->refundFrom = o.days - 60;
        }
        for (int i = 0; i < int(guests.size()); ++i)
            if (i != 11 && i >= o.benchGuests)
                guests[size_t(i)].closeOnLeave = false;
    }
    return guests;
}

} // namespace DemoShop
