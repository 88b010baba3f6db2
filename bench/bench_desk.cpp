// bench_desk [--shop PATH] [--runs N] [--trace]: times the desk's operations on a large shop
// through DeskSession, side by side with the bare SQLite statements each one needs, and the
// resident size of the process with the shop and a customer open.
//
// The shop is generated at PATH when missing. The operations run on a working copy of it, so the
// shop itself stays as generated and every run of the program measures the same data.
#include "core/DemoShop.h"
#include "core/Prompts.h"
#include "core/UCustomDB.h"
#include "core/UDMMain.h"
#include "core/Ufm_command.h"
#include "db/Clock.h"
#include "desk/DeskSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clk = std::chrono::steady_clock;

constexpr int kWarmUp = 5;
constexpr double kTargetMs = 10.0;
constexpr double kTargetRatio = 3.0;
constexpr double kTargetRssMb = 150.0;

QString g_work; // the working copy, removed on every way out

void removeWorkingCopy()
{
    if (g_work.isEmpty())
        return;
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(g_work + QLatin1String(suffix));
}

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "bench_desk: %s\n", what.c_str());
    removeWorkingCopy();
    std::exit(1);
}

std::string utf8(const QString& s) { return s.toStdString(); }

double rssMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// --- the bare side: prepared statements on the desk's own connection -------------------------

class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_s, nullptr) != SQLITE_OK)
            fail(std::string("prepare: ") + sqlite3_errmsg(db) + "\n  " + sql);
    }
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, const std::string& v)
    {
        sqlite3_bind_text(m_s, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int i, long long v)
    {
        sqlite3_bind_int64(m_s, i, v);
        return *this;
    }
    // True while a row is there; at the end (or on error) the statement is reset.
    bool row()
    {
        const int rc = sqlite3_step(m_s);
        if (rc == SQLITE_ROW)
            return true;
        sqlite3_reset(m_s);
        if (rc != SQLITE_DONE)
            fail(std::string("step: ") + sqlite3_errmsg(m_db) + "\n  " + sqlite3_sql(m_s));
        return false;
    }
    void run()
    {
        while (row()) {
        }
    }
    void reset() { sqlite3_reset(m_s); }
    long long integer(int i) const { return sqlite3_column_int64(m_s, i); }
    std::string text(int i) const
    {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_s, i));
        return t ? std::string(t, size_t(sqlite3_column_bytes(m_s, i))) : std::string();
    }
    // Reads every column of the row, as a program must to use it.
    long long consume() const
    {
        long long sum = 0;
        for (int i = 0, n = sqlite3_column_count(m_s); i < n; ++i) {
            if (sqlite3_column_type(m_s, i) == SQLITE_INTEGER)
                sum += sqlite3_column_int64(m_s, i);
            else
                sum += sqlite3_column_bytes(m_s, i) + (sqlite3_column_text(m_s, i) ? 1 : 0);
        }
        return sum;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_s = nullptr;
};

void execRaw(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        fail(std::string(sql) + ": " + msg);
    }
}

// Stored forms of "now" and of days, as the shop keeps them.
std::string stamp(std::time_t t, bool dayOnly)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[24];
    std::strftime(buf, sizeof buf, dayOnly ? "%Y-%m-%d 00:00:00" : "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}
std::string nowText() { return stamp(std::time(nullptr), false); }
std::string dayText(int offset) { return stamp(std::time(nullptr) + std::time_t(offset) * 86400, true); }

// Days from 1970-01-01 of a stored "YYYY-MM-DD..." text (the civil calendar).
long daysOf(const std::string& s)
{
    if (s.size() < 10)
        return 0;
    int y = std::atoi(s.substr(0, 4).c_str());
    const int m = std::atoi(s.substr(5, 2).c_str()), d = std::atoi(s.substr(8, 2).c_str());
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return long(era) * 146097 + long(yoe * 365 + yoe / 4 - yoe / 100 + doy) - 719468;
}

const char* const kLineColumns =
    "R.idno, R.Guest_CODE, R.Book_Code, B.Name, B.Vol, R.piece, R.RDate, R.IDate, R.BDate, R.InStudy, R.flgRet, "
    "R.Bstate, R.OverMoney, B.Code, B.Author, B.Publish, B.Class_Num, B.Money, B.Cost_New, B.Cost_Old, B.Cost_In, "
    "B.Over_New, B.Over_Old, B.Over_18, B.\"END\", B.Brrow_Total, B.Spec_Day, B.New_Day, B.Sub_Day, B.RetNum, "
    "B.Number, B.\"Index\"";

std::string sqlWithColumns(const char* head, const char* tail) { return std::string(head) + kLineColumns + tail; }

// One loan the settlement closes, as the desk holds it in its line.
struct Loan {
    long long idno = 0;
    std::string code, idate;
    long long fineRate = 0, fee = 0;
    long long fine() const
    {
        const long late = daysOf(dayText(0)) - daysOf(idate);
        return late > 0 ? fineRate * late : 0;
    }
};

// What each operation runs when it is written straight on the C API: only the statements the
// operation cannot do without, prepared once and bound for each run.
class Bare {
public:
    explicit Bare(sqlite3* db)
        : db(db), guest(db, "SELECT * FROM Guest WHERE GuestCode = ?1"),
          lines(db, sqlWithColumns("SELECT ", ", EXISTS (SELECT 1 FROM SubBook S WHERE S.BookCode = B.Code) "
                                              "FROM Rent_Back R INNER JOIN BookDetail B ON R.Book_Code = B.Code "
                                              "WHERE R.flgRet = 0 AND R.Guest_CODE = ?1 "
                                              "ORDER BY R.RDate, B.Name, R.Vol, R.Book_Code, R.idno")
                        .c_str()),
          book(db, "SELECT * FROM BookDetail WHERE Code = ?1 AND nullify = 0"),
          rule(db, "SELECT BookDay FROM CustBookDay WHERE RetBookStart <= ?2 AND RetBookEnd >= ?2 AND "
                   "ClassNum IN (?1, 1, 2) ORDER BY CASE ClassNum WHEN ?1 THEN 0 WHEN 1 THEN 1 ELSE 2 END, NO LIMIT 1"),
          begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"),
          insertRental(db, "INSERT INTO Rent_Back (Guest_Code,Book_Code,RDate,IDate,New,piece,BDate,flgRet,InStudy,"
                           "BState,WorkManCode) VALUES (?1,?2,?3,?4,'否',?5,NULL,0,0,'Ret',?6)"),
          dueDate(db, "UPDATE Rent_Back SET IDate = ?1 WHERE idno = ?2"),
          deleteLoan(db, "DELETE FROM Rent_Back WHERE idno = ?1"),
          openLoan(db, "SELECT R.idno, R.IDate, R.piece, B.Over_Old, B.Cost_Old FROM Rent_Back R "
                       "INNER JOIN BookDetail B ON B.Code = R.Book_Code "
                       "WHERE R.Guest_CODE = ?1 AND R.Book_Code = ?2 AND R.flgRet = 0"),
          returnLoan(db, "UPDATE Rent_Back SET flgRet = 1,InStudy = 0,BDate = ?1,OverMoney = ?2,BState = 'BCK' "
                         "WHERE idno = ?3"),
          closeLoan(db, "UPDATE Rent_Back SET flgRet = 1,InStudy = 0,BDate = ?1,OverMoney = ?2 WHERE idno = ?3"),
          renewalLoan(db, "INSERT INTO Rent_Back (Guest_Code,Book_Code,RDate,IDate,New,piece,BDate,flgRet,InStudy,"
                          "Bstate) VALUES (?1,?2,?3,?4,'否',?5,?3,0,0,'con1')"),
          bookBack(db, "UPDATE BookDetail SET RetNum = RetNum - 1 WHERE Code = ?1"),
          bookOut(db, "UPDATE BookDetail SET RetNum = RetNum + 1,Brrow_Total = Brrow_Total + 1 WHERE Code = ?1"),
          bookRead(db, "UPDATE BookDetail SET Brrow_Total = Brrow_Total + 1 WHERE Code = ?1"),
          settled(db, "UPDATE Rent_Back SET BState = 'RetB' WHERE idno = ?1"),
          journal(db, "INSERT INTO GuestCost (Guest_CODE,Mode,Cost,piece,Tran_CODE,worker,CostDate) "
                      "VALUES (?1,?2,0,?3,?4,?5,?6)"),
          account(db, "UPDATE Guest SET RentNo = RentNo + ?1,Last_Rent = ?2,Leave_Mon = Leave_Mon - ?3,"
                      "Tot_OverDate = Tot_OverDate + ?4,Tot_Cost = Tot_Cost + ?3 WHERE GuestCode = ?5"),
          insertReading(db, "INSERT INTO Rent_Back (Guest_CODE,Book_Code,Vol,RDate,IDate,New,piece,BDate,flgRet,"
                            "InStudy,BState,WorkManCode) VALUES ('A001',?1,?2,?3,?4,'否',?5,?3,1,1,'IN',?6)"),
          inStoreTotal(db, "SELECT COALESCE(SUM(piece), 0) FROM Rent_Back WHERE RDate >= ?1 AND RDate < ?2 "
                           "AND InStudy = 1"),
          todayReadings(db, sqlWithColumns("SELECT ", " FROM Rent_Back R INNER JOIN BookDetail B ON "
                                                      "R.Book_Code = B.Code WHERE R.RDate >= ?1 AND R.RDate < ?2 "
                                                      "AND R.InStudy = 1 "
                                                      "ORDER BY R.RDate, B.Name, R.Vol, R.Book_Code, R.idno")
                                .c_str())
    {
    }

    // The customer's row and the open loans with their books and reservation marks.
    int openCustomer(const std::string& code)
    {
        guest.bind(1, code);
        if (!guest.row())
            fail("no customer " + code);
        sink += guest.consume();
        guest.reset();
        lines.bind(1, code);
        int n = 0;
        while (lines.row()) {
            sink += lines.consume();
            ++n;
        }
        return n;
    }

    // The book, its loan period, and the loan row with its due date, committed.
    long long rent(const std::string& customer, const std::string& code)
    {
        book.bind(1, code);
        if (!book.row())
            fail("no book " + code);
        sink += book.consume();
        const std::string bookCode = book.text(0);
        const long long classNum = book.integer(5), costOld = book.integer(11);
        book.reset();
        std::string digit = std::to_string(classNum).substr(0, 1);
        rule.bind(1, std::stoll(digit)).bind(2, 1);
        const long long days = rule.row() ? rule.integer(0) : 6;
        rule.reset();
        const std::string now = nowText();
        begin.run();
        insertRental.bind(1, customer).bind(2, bookCode).bind(3, now).bind(4, dayText(6)).bind(5, costOld).bind(6, worker);
        insertRental.run();
        const long long id = sqlite3_last_insert_rowid(db);
        dueDate.bind(1, dayText(int(days))).bind(2, id).run();
        commitTimed();
        return id;
    }

    void remove(long long idno) { deleteLoan.bind(1, idno).run(); }

    // COMMIT with its wait for the disk, timed apart: it bounds every operation that writes.
    void commitTimed()
    {
        const Clk::time_point t0 = Clk::now();
        commit.run();
        commitMs = std::chrono::duration<double, std::milli>(Clk::now() - t0).count();
    }

    // The open loan of the barcode, with what its fine is counted from.
    long long scanReturn(const std::string& customer, const std::string& code)
    {
        openLoan.bind(1, customer).bind(2, code);
        long long fine = 0;
        while (openLoan.row()) {
            Loan l;
            l.idno = openLoan.integer(0);
            l.idate = openLoan.text(1);
            l.fineRate = openLoan.integer(3);
            fine += l.fine();
        }
        return fine;
    }

    // Two returns, one renewal and two new rentals (their rows already written at the scan), with
    // their journal rows and one update of the customer, in one transaction.
    void settle(const std::string& customer, const std::vector<Loan>& returns, const Loan& renewal,
                const std::vector<Loan>& rentals)
    {
        const std::string now = nowText(), today = dayText(0);
        long long rent = 0, fine = 0;
        begin.run();
        auto charge = [&](const char* mode, const Loan& l, long long piece) {
            journal.bind(1, customer).bind(2, std::string(mode)).bind(3, -piece).bind(4, std::to_string(l.idno));
            journal.bind(5, worker).bind(6, now).run();
        };
        for (const Loan& l : returns) {
            const long long q = l.fine();
            returnLoan.bind(1, now).bind(2, q).bind(3, l.idno).run();
            bookBack.bind(1, l.code).run();
            if (q > 0)
                charge("OV", l, q);
            fine += q;
        }
        {
            const long long q = renewal.fine();
            closeLoan.bind(1, now).bind(2, q).bind(3, renewal.idno).run();
            renewalLoan.bind(1, customer).bind(2, renewal.code).bind(3, now).bind(4, dayText(2)).bind(5, renewal.fee);
            renewalLoan.run();
            bookRead.bind(1, renewal.code).run();
            charge("CO", renewal, renewal.fee);
            if (q > 0)
                charge("OV", renewal, q);
            rent += renewal.fee;
            fine += q;
        }
        for (const Loan& l : rentals) {
            bookOut.bind(1, l.code).run();
            charge("DR", l, l.fee);
            settled.bind(1, l.idno).run();
            rent += l.fee;
        }
        account.bind(1, 1 + (long long)rentals.size()).bind(2, today).bind(3, rent + fine).bind(4, fine);
        account.bind(5, customer).run();
        commitTimed();
    }

    // The reading row, the book's counter and the journal row, committed; then today's total and
    // today's in-store rows that the desk lists behind the total.
    long long walkIn(const std::string& code)
    {
        book.bind(1, code);
        if (!book.row())
            fail("no book " + code);
        sink += book.consume();
        const std::string bookCode = book.text(0), vol = book.text(2);
        const long long costOld = book.integer(11);
        book.reset();
        const std::string now = nowText(), today = dayText(0), tomorrow = dayText(1);
        begin.run();
        insertReading.bind(1, bookCode).bind(2, vol).bind(3, now).bind(4, today).bind(5, costOld).bind(6, worker).run();
        const long long id = sqlite3_last_insert_rowid(db);
        bookRead.bind(1, bookCode).run();
        journal.bind(1, std::string("A001")).bind(2, std::string("IN")).bind(3, -costOld);
        journal.bind(4, std::to_string(id)).bind(5, worker).bind(6, now).run();
        commitTimed();
        inStoreTotal.bind(1, today).bind(2, tomorrow);
        const long long total = inStoreTotal.row() ? inStoreTotal.integer(0) : 0;
        inStoreTotal.reset();
        todayReadings.bind(1, today).bind(2, tomorrow);
        while (todayReadings.row())
            sink += todayReadings.consume();
        return total;
    }

    // The loans of a customer as the desk's lines hold them (outside the timed part).
    std::vector<Loan> loansOf(const std::string& customer)
    {
        std::vector<Loan> out;
        lines.bind(1, customer);
        while (lines.row()) {
            Loan l;
            l.idno = lines.integer(0);
            l.code = lines.text(13);
            l.idate = lines.text(7);
            l.fee = lines.integer(19);
            l.fineRate = lines.integer(22);
            out.push_back(l);
        }
        return out;
    }

    sqlite3* db;
    std::string worker = "6475";
    long long sink = 0;
    double commitMs = 0; // of the last timed COMMIT

private:
    Stmt guest, lines, book, rule, begin, commit, insertRental, dueDate, deleteLoan, openLoan, returnLoan, closeLoan,
        renewalLoan, bookBack, bookOut, bookRead, settled, journal, account, insertReading, inStoreTotal,
        todayReadings;
};

// --- the desk side --------------------------------------------------------------------------

// Answers every prompt silently; anything but the expected total of a reading is a failure.
class SilentPrompts : public PromptHandler {
public:
    Answer show(const QString& kind, const QString& text, const QString& caption, Buttons) override
    {
        if (!(kind == QLatin1String("Inf") && caption == QStringLiteral("內閱")))
            unexpected << QStringLiteral("[%1] %2: %3").arg(kind, caption, text);
        return Answer::Ok;
    }
    QString askPassword(const QString&) override
    {
        unexpected << QStringLiteral("password asked");
        return Prompts::kCancel;
    }
    PasswordChange askPasswordChange(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void check(const char* during)
    {
        if (!unexpected.isEmpty())
            fail(std::string("unexpected message during ") + during + ": " + utf8(unexpected.join(QStringLiteral("; "))));
    }
    QStringList unexpected;
};

// Counts the statements an operation runs, the time from each one's first step to its end, and
// the rows it stepped through without an index.
class Trace {
public:
    struct Entry {
        int count = 0;
        double ms = 0;
        long long fullScanSteps = 0;
    };
    explicit Trace(sqlite3* db) : m_db(db) {}
    void start()
    {
        m_entries.clear();
        m_started.clear();
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, &Trace::callback, this);
    }
    void stop() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    const std::map<std::string, Entry>& entries() const { return m_entries; }
    int statements() const
    {
        int n = 0;
        for (const auto& [sql, e] : m_entries)
            n += e.count;
        return n;
    }

private:
    static int callback(unsigned type, void* ctx, void* p, void*)
    {
        auto* self = static_cast<Trace*>(ctx);
        auto* stmt = static_cast<sqlite3_stmt*>(p);
        if (type == SQLITE_TRACE_STMT) {
            self->m_started.emplace(stmt, Clk::now());
        } else if (type == SQLITE_TRACE_PROFILE) {
            Entry& e = self->m_entries[sqlite3_sql(stmt) ? sqlite3_sql(stmt) : "?"];
            ++e.count;
            auto it = self->m_started.find(stmt);
            if (it != self->m_started.end()) {
                e.ms += std::chrono::duration<double, std::milli>(Clk::now() - it->second).count();
                self->m_started.erase(it);
            }
            e.fullScanSteps += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
        }
        return 0;
    }
    sqlite3* m_db;
    std::map<std::string, Entry> m_entries;
    std::map<sqlite3_stmt*, Clk::time_point> m_started;
};

double msSince(Clk::time_point t0) { return std::chrono::duration<double, std::milli>(Clk::now() - t0).count(); }

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Result {
    QString name;
    std::vector<double> desk, bare, commit;
    int deskStatements = 0, bareStatements = 0;
    Trace::Entry deskSql;
    std::map<std::string, Trace::Entry> trace;
};

// What the operations work on, found in the shop (outside every timed part).
struct Picks {
    QString tenLoans;              // a customer with exactly 10 open loans
    QString returnCode;            // one of them
    QStringList shelf;             // books with a copy on the shelf, held and reserved by none
    QStringList settleGuests;      // customers with three or more open loans, none rented today
};

QStringList column(Database& db, const QString& sql, const Params& p)
{
    Statement st(db, sql);
    st.bind(p);
    QStringList out;
    while (st.step())
        out << st.value(0).toString();
    return out;
}

Picks pick(Database& db, int runs)
{
    Picks p;
    const Params none;
    const QStringList ten = column(db, QStringLiteral(
        "SELECT R.Guest_CODE FROM Rent_Back R INNER JOIN Guest G ON G.GuestCode = R.Guest_CODE "
        "WHERE R.flgRet = 0 AND G.pwdUse = 0 AND G.GuestCode <> 'A001' "
        "GROUP BY R.Guest_CODE HAVING COUNT(*) = 10 ORDER BY R.Guest_CODE LIMIT 1"), none);
    if (ten.isEmpty())
        fail("the shop has no customer with exactly 10 open loans (make it with demoshop --large)");
    p.tenLoans = ten.first();
    p.returnCode = column(db, QStringLiteral("SELECT Book_Code FROM Rent_Back WHERE Guest_CODE = :g AND flgRet = 0 "
                                             "ORDER BY RDate DESC LIMIT 1"),
                          {{QStringLiteral("g"), p.tenLoans}})
                       .value(0);
    const int sides = 2 * (runs + kWarmUp + 1); // two customers per settlement, the traced one included
    p.shelf = column(db, QStringLiteral(
        "SELECT Code FROM BookDetail B WHERE nullify = 0 AND Number > RetNum AND CAST(Class_Num AS TEXT) LIKE '1%' "
        "AND NOT EXISTS (SELECT 1 FROM SubBook S WHERE S.BookCode = B.Code) "
        "AND NOT EXISTS (SELECT 1 FROM Rent_Back R WHERE R.Book_Code = B.Code AND R.flgRet = 0) "
        "ORDER BY Code LIMIT :n"), {{QStringLiteral("n"), 2 * sides + 2}});
    p.settleGuests = column(db, QStringLiteral(
        "SELECT G.GuestCode FROM Guest G WHERE G.pwdUse = 0 AND G.IsClose = 0 AND G.GuestCode <> 'A001' "
        "AND G.GuestCode <> :ten AND G.Lim_Comic >= 2 "
        "AND (SELECT COUNT(DISTINCT R.Book_Code) FROM Rent_Back R WHERE R.Guest_CODE = G.GuestCode "
        "     AND R.flgRet = 0) >= 3 "
        "AND NOT EXISTS (SELECT 1 FROM Rent_Back R WHERE R.Guest_CODE = G.GuestCode AND R.flgRet = 0 "
        "     AND R.RDate >= :today) "
        "ORDER BY G.GuestCode LIMIT :n"),
        {{QStringLiteral("ten"), p.tenLoans}, {QStringLiteral("today"), Clock::today()}, {QStringLiteral("n"), sides}});
    if (p.shelf.size() < 2 * sides + 2)
        fail("not enough books on the shelf for the settlements");
    if (p.settleGuests.size() < sides)
        fail("not enough customers with three open loans for the settlements");
    return p;
}

// Copies the shop page by page (its write-ahead log included) into a working file.
void copyShop(const QString& from, const QString& to)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(to + QLatin1String(suffix));
    sqlite3 *src = nullptr, *dst = nullptr;
    if (sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        fail("cannot open " + utf8(from) + ": " + sqlite3_errmsg(src));
    if (sqlite3_open_v2(to.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        fail("cannot make " + utf8(to) + ": " + sqlite3_errmsg(dst));
    sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
    if (!b || sqlite3_backup_step(b, -1) != SQLITE_DONE)
        fail("copying the shop failed: " + std::string(sqlite3_errmsg(dst)));
    sqlite3_backup_finish(b);
    execRaw(dst, "PRAGMA journal_mode = WAL");
    sqlite3_close(dst);
    sqlite3_close(src);
}

void printPlans(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* s = nullptr;
    const std::string eqp = "EXPLAIN QUERY PLAN " + sql;
    if (sqlite3_prepare_v2(db, eqp.c_str(), -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return;
    }
    while (sqlite3_step(s) == SQLITE_ROW)
        std::printf("        plan: %s\n", reinterpret_cast<const char*>(sqlite3_column_text(s, 3)));
    sqlite3_finalize(s);
}

void printTrace(sqlite3* db, const Result& r, bool all)
{
    std::vector<std::pair<std::string, Trace::Entry>> byTime(r.trace.begin(), r.trace.end());
    std::sort(byTime.begin(), byTime.end(), [](const auto& a, const auto& b) { return a.second.ms > b.second.ms; });
    std::printf("  %s: %d statements\n", utf8(r.name).c_str(), r.deskStatements);
    int shown = 0;
    for (const auto& [sql, e] : byTime) {
        if (!all && shown >= 5)
            break;
        ++shown;
        std::printf("    %3d × %7.3f ms%s  %s\n", e.count, e.ms,
                    e.fullScanSteps > 1000 ? "  FULL SCAN" : "", sql.substr(0, 150).c_str());
        if (e.fullScanSteps > 1000 || !all)
            printPlans(db, sql);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString shopPath = QStringLiteral("build-bench/large.mdb");
    int runs = 50;
    bool traceAll = false;
    QString sync; // as the program leaves it unless asked
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--shop") && i + 1 < args.size()) {
            shopPath = args[++i];
        } else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = args[++i].toInt();
            if (runs < 1)
                fail("--runs needs a positive number");
        } else if (args[i] == QLatin1String("--trace")) {
            traceAll = true;
        } else if (args[i] == QLatin1String("--sync") && i + 1 < args.size()) {
            sync = args[++i].toUpper();
            if (sync != QLatin1String("FULL") && sync != QLatin1String("NORMAL") && sync != QLatin1String("OFF"))
                fail("--sync takes FULL, NORMAL or OFF");
        } else {
            std::fprintf(stderr, "usage: bench_desk [--shop PATH] [--runs N] [--trace] [--sync FULL|NORMAL|OFF]\n"
                                 "  PATH: the large shop; made there first when missing (default build-bench/large.mdb)\n"
                                 "  N: timed runs per operation, after %d warm-up runs (default 50)\n"
                                 "  --trace: list every statement each desk operation runs\n"
                                 "  --sync: how commits wait for the disk (default: as the program opens the shop)\n",
                         kWarmUp);
            return 2;
        }
    }

    if (!QFileInfo::exists(shopPath)) {
        std::printf("no shop at %s: generating the large shop there (one to two minutes)...\n", utf8(shopPath).c_str());
        std::fflush(stdout);
        try {
            const DemoShop::Summary s = DemoShop::create(shopPath, DemoShop::large());
            std::printf("  %lld customers, %lld books, %lld loans (%lld open), %lld journal rows in %.1f s\n",
                        s.guests, s.books, s.loans, s.openLoans, s.journal, s.msecs / 1000.0);
        } catch (const DbError& e) {
            fail("generating the shop failed: " + utf8(e.text()));
        }
        std::fflush(stdout);
        // Start afresh, so the generator's memory does not count in the resident size.
        execv("/proc/self/exe", argv);
        fail("cannot restart after generating the shop");
    }

    const QFileInfo shopInfo(shopPath);
    const QString work = shopInfo.absolutePath() + QLatin1Char('/') + shopInfo.completeBaseName()
                         + QStringLiteral("-bench-copy.") + shopInfo.suffix();
    std::printf("copying %s to a working file...\n", utf8(shopInfo.absoluteFilePath()).c_str());
    std::fflush(stdout);
    g_work = work;
    copyShop(shopPath, work);

    SilentPrompts prompts;
    Prompts::setHandler(&prompts);
    std::vector<Result> results;
    double rssOpen = 0, rssEnd = 0;
    {
        TCustomerData data(work);
        TDMMain dm;
        Tcommand cmd;
        Database& db = data.dADOConnection1();
        if (!sync.isEmpty())
            db.execScript(QStringLiteral("PRAGMA synchronous = ") + sync);
        static const char* const kSyncNames[] = {"OFF", "NORMAL", "FULL", "EXTRA"};
        const int syncLevel = db.scalar(QStringLiteral("PRAGMA synchronous")).toInt();
        DeskSession desk(db);
        Bare bare(db.handle());
        Trace trace(db.handle());
        const Picks picks = pick(db, runs);
        const std::string tenLoans = utf8(picks.tenLoans);
        const int tenLines = 10;

        desk.SubmitInput(picks.tenLoans);
        prompts.check("opening the first customer");
        if (desk.mode() != DeskSession::ModeCustomer || int(desk.lines().size()) - 1 != tenLines)
            fail("the desk did not open " + tenLoans + " with its 10 loans");
        rssOpen = rssMb();
        desk.ResetDesk();

        std::function<void()> pause;
        // Runs one operation `runs` times after the warm-up, desk and bare side by side; a traced
        // extra run of the desk tells which statements it ran.
        auto measure = [&](const QString& name, const std::function<void(int)>& prepDesk,
                           const std::function<void(int)>& deskOp, const std::function<void(int)>& afterDesk,
                           const std::function<void(int)>& prepBare, const std::function<void(int)>& bareOp,
                           const std::function<void(int)>& afterBare) {
            Result r;
            r.name = name;
            int k = 0;
            for (int i = -kWarmUp; i < runs; ++i, ++k) {
                prepDesk(k);
                pause();
                Clk::time_point t0 = Clk::now();
                deskOp(k);
                const double d = msSince(t0);
                prompts.check(name.toUtf8().constData());
                afterDesk(k);
                prepBare(k);
                bare.commitMs = -1;
                pause();
                t0 = Clk::now();
                bareOp(k);
                const double b = msSince(t0);
                afterBare(k);
                if (i >= 0) {
                    r.desk.push_back(d);
                    r.bare.push_back(b);
                    if (bare.commitMs >= 0)
                        r.commit.push_back(bare.commitMs);
                }
            }
            prepDesk(k);
            trace.start();
            deskOp(k);
            trace.stop();
            r.deskStatements = trace.statements();
            r.trace = trace.entries();
            afterDesk(k);
            prepBare(k);
            trace.start();
            bareOp(k);
            trace.stop();
            r.bareStatements = trace.statements();
            afterBare(k);
            prompts.check(name.toUtf8().constData());
            results.push_back(std::move(r));
        };
        const auto nothing = [](int) {};
        // A flush of this disk ends on a coarse beat: a random pause before each timed part puts desk
        // and bare at every phase of it alike, instead of at the phase their preparation happens to leave.
        std::mt19937 random(20260310);
        std::uniform_int_distribution<int> pauseUs(0, 5000);
        pause = [&] { std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random))); };

        measure(QStringLiteral("開啟客戶（10 本未還）"), nothing,
                [&](int) { desk.SubmitInput(picks.tenLoans); },
                [&](int) {
                    if (int(desk.lines().size()) - 1 != tenLines)
                        fail("open: wrong lines");
                    desk.ResetDesk();
                },
                nothing,
                [&](int) {
                    if (bare.openCustomer(tenLoans) != tenLines)
                        fail("open (bare): wrong lines");
                },
                nothing);

        const QString rentCode = picks.shelf.last();
        long long bareRental = 0;
        measure(QStringLiteral("掃描新租書"), [&](int) { desk.SubmitInput(picks.tenLoans); },
                [&](int) { desk.SubmitInput(rentCode); },
                [&](int) {
                    if (int(desk.lines().size()) - 1 != tenLines + 1 || desk.lines().back().State != 6)
                        fail("rent: no new line");
                    desk.ResetDesk(); // takes the pending rental away again
                },
                nothing, [&](int) { bareRental = bare.rent(tenLoans, utf8(rentCode)); },
                [&](int) { bare.remove(bareRental); });

        auto stateOf = [&](const QString& code) {
            for (size_t i = 1; i < desk.lines().size(); ++i)
                if (desk.lines()[i].Code.compare(code, Qt::CaseInsensitive) == 0)
                    return int(desk.lines()[i].State);
            return 0;
        };
        desk.SubmitInput(picks.tenLoans);
        measure(QStringLiteral("掃描還書"), nothing, [&](int) { desk.SubmitInput(picks.returnCode); },
                [&](int) {
                    if (stateOf(picks.returnCode) != 8)
                        fail("return: not marked returned");
                    desk.SubmitInput(picks.returnCode); // back to due for the next run
                },
                nothing, [&](int) { bare.scanReturn(tenLoans, utf8(picks.returnCode)); }, nothing);
        desk.ResetDesk();

        // Settlement: each run a customer of its own, prepared outside the timed part with two returns,
        // one renewal and two new rentals.
        std::vector<Loan> bareReturns, bareRentals;
        Loan bareRenewal;
        std::string bareGuest;
        auto threeLoans = [&](const std::string& guest) {
            std::vector<Loan> all = bare.loansOf(guest), three;
            for (const Loan& l : all) {
                const bool seen = std::any_of(all.begin(), all.end(), [&](const Loan& o) {
                    return o.idno != l.idno && QString::fromStdString(o.code).compare(QString::fromStdString(l.code),
                                                                                     Qt::CaseInsensitive) == 0;
                });
                if (!seen && three.size() < 3)
                    three.push_back(l);
            }
            if (three.size() < 3)
                fail("settle: " + guest + " has no three loans of different books");
            return three;
        };
        auto openLoans = [&](const QString& guest) {
            return db.scalar(QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE Guest_CODE = :g AND flgRet = 0"),
                             {{QStringLiteral("g"), guest}})
                .toInt();
        };
        int loansBefore = 0;
        measure(QStringLiteral("結帳（5 筆）"),
                [&](int k) {
                    const QString guest = picks.settleGuests[2 * k];
                    const std::vector<Loan> three = threeLoans(utf8(guest));
                    loansBefore = openLoans(guest);
                    desk.SubmitInput(guest);
                    desk.SubmitInput(QString::fromStdString(three[0].code));
                    desk.SubmitInput(QString::fromStdString(three[1].code));
                    const QString renew = QString::fromStdString(three[2].code);
                    for (size_t i = 1; i < desk.lines().size(); ++i)
                        if (desk.lines()[i].Code.compare(renew, Qt::CaseInsensitive) == 0)
                            desk.Action6(int(i));
                    desk.SubmitInput(picks.shelf[4 * k]);
                    desk.SubmitInput(picks.shelf[4 * k + 1]);
                    int active = 0;
                    for (size_t i = 1; i < desk.lines().size(); ++i)
                        active += desk.lines()[i].State != 5;
                    if (active != 5 || stateOf(renew) != 3)
                        fail("settle: the visit of " + utf8(guest) + " was not prepared");
                },
                [&](int) { desk.SubmitInput(QString()); },
                [&](int k) {
                    if (desk.mode() != DeskSession::ModeWaiting || openLoans(picks.settleGuests[2 * k]) != loansBefore)
                        fail("settle: not settled");
                },
                [&](int k) {
                    bareGuest = utf8(picks.settleGuests[2 * k + 1]);
                    const std::vector<Loan> three = threeLoans(bareGuest);
                    bareReturns = {three[0], three[1]};
                    bareRenewal = three[2];
                    loansBefore = openLoans(picks.settleGuests[2 * k + 1]);
                    bareRentals.clear();
                    for (int j = 2; j < 4; ++j) {
                        Loan l;
                        l.code = utf8(picks.shelf[4 * k + j]);
                        l.idno = bare.rent(bareGuest, l.code);
                        l.fee = db.scalar(QStringLiteral("SELECT piece FROM Rent_Back WHERE idno = :i"),
                                          {{QStringLiteral("i"), l.idno}})
                                    .toLongLong();
                        bareRentals.push_back(l);
                    }
                },
                [&](int) { bare.settle(bareGuest, bareReturns, bareRenewal, bareRentals); },
                [&](int k) {
                    if (openLoans(picks.settleGuests[2 * k + 1]) != loansBefore)
                        fail("settle (bare): not settled");
                });

        const QString readCode = picks.shelf[picks.shelf.size() - 2];
        measure(QStringLiteral("店內閱讀（散客）"), [&](int) { desk.Action4(); },
                [&](int) { desk.SubmitInput(readCode); },
                [&](int) {
                    if (desk.mode() != DeskSession::ModeWaiting)
                        fail("walk-in: the desk did not reset");
                },
                nothing, [&](int) { bare.walkIn(utf8(readCode)); }, nothing);

        rssEnd = rssMb();
        std::printf("\n租書系統 desk benchmark: %s (%s)\n", utf8(shopInfo.absoluteFilePath()).c_str(),
                    utf8(QLocale(QLocale::English).toString(shopInfo.size() / 1048576.0, 'f', 0)).c_str());
        std::printf("%d timed runs per operation after %d warm-up runs; medians; journal WAL, synchronous %s; "
                    "targets: desk < %.0f ms and desk / bare < %.0f×\n\n",
                    runs, kWarmUp, syncLevel >= 0 && syncLevel < 4 ? kSyncNames[syncLevel] : "?", kTargetMs,
                    kTargetRatio);
        std::printf("%-28s %10s %10s %8s %12s %6s %6s  %s\n", "operation", "desk (ms)", "bare (ms)", "ratio",
                    "COMMIT (ms)", "desk#", "bare#", "verdict");
        bool allMet = true;
        for (const Result& r : results) {
            const double d = median(r.desk), b = median(r.bare), ratio = b > 0 ? d / b : 0;
            const bool ok = d < kTargetMs && ratio < kTargetRatio;
            allMet = allMet && ok;
            // Pad by display columns: each CJK character takes two.
            int width = 0;
            for (QChar c : r.name)
                width += c.unicode() >= 0x2E80 ? 2 : 1;
            const std::string commit = r.commit.empty() ? "-" : QString::number(median(r.commit), 'f', 3).toStdString();
            std::printf("%s%*s %10.3f %10.3f %7.2f× %12s %6d %6d  %s\n", utf8(r.name).c_str(), std::max(0, 28 - width),
                        "", d, b, ratio, commit.c_str(), r.deskStatements, r.bareStatements,
                        ok ? "ok" : (d >= kTargetMs ? "MISSED (time)" : "MISSED (ratio)"));
        }
        std::printf("(COMMIT: the bare side's commit alone, mostly the wait for the disk; desk# and bare#: "
                    "statements run by one operation)\n");
        std::printf("\nresident size (VmRSS) with the shop and a customer open at the desk: %.1f MB "
                    "(target < %.0f MB: %s); at the end: %.1f MB\n",
                    rssOpen, kTargetRssMb, rssOpen < kTargetRssMb ? "ok" : "MISSED", rssEnd);

        std::printf("\nstatements of one desk run (first step to end, with the reading of the rows)%s:\n",
                    traceAll ? "" : ", the five slowest with their plans");
        for (const Result& r : results)
            printTrace(db.handle(), r, traceAll);
        volatile long long keep = bare.sink; // what the bare side read stays read
        (void)keep;
        if (!allMet)
            std::printf("\nsome targets were missed: see the statements above.\n");
    }
    Prompts::setHandler(nullptr);
    removeWorkingCopy();
    return 0;
}
