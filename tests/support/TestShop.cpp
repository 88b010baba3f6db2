#include "support/TestShop.h"

TestShop::TestShop(const QDateTime& now)
{
    Clock::set(now);
    m_path = m_dir.filePath(QStringLiteral("BookDB.mdb"));
    data = std::make_unique<TCustomerData>(m_path);
    dm = std::make_unique<TDMMain>();
    cmd = std::make_unique<Tcommand>();
}

TestShop::~TestShop()
{
    cmd.reset();
    dm.reset();
    data.reset();
    Clock::reset();
}

qint64 TestShop::count(const QString& table, const QString& where, const Params& p)
{
    return db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") + where, p)
        .toLongLong();
}

void TestShop::addGuest(const QString& code, const QString& name, double balance, int limComic)
{
    db().exec(QStringLiteral("INSERT INTO Guest (GuestCode, Name, SEX, Leave_Mon, Lim_Comic, Lim_Fiction, "
                             "Lim_Magazine, Lim_CD, Lim_OTH, Lim_New, Come_Date) "
                             "VALUES (:c, :n, 'n', :b, :l, 5, 5, 5, 5, 5, today())"),
              {{"c", code}, {"n", name}, {"b", balance}, {"l", limComic}});
}

void TestShop::addBook(const QString& code, const QString& name, int classNum, int costOld, int overOld, int number)
{
    db().exec(QStringLiteral("INSERT INTO BookDetail (Code, Name, Vol, Class_Num, Money, Number, Cost_New, "
                             "Cost_Old, Cost_In, Over_New, Over_Old) "
                             "VALUES (:c, :n, '1', :k, 100, :num, :co, :co, :co, :o, :o)"),
              {{"c", code}, {"n", name}, {"k", classNum}, {"num", number}, {"co", costOld}, {"o", overOld}});
}

qint64 TestShop::addLoan(const QString& guest, const QString& book, int daysAgo, int dueInDays, int piece,
                         const QString& state)
{
    const QDate today = Clock::today();
    db().exec(QStringLiteral("INSERT INTO Rent_Back (Guest_CODE, Book_Code, RDate, IDate, New, piece, flgRet, "
                             "InStudy, Bstate, WorkManCode) VALUES (:g, :b, :r, :i, '否', :p, 0, 0, :s, '6475')"),
              {{"g", guest},
               {"b", book},
               {"r", QDateTime(today.addDays(-daysAgo), QTime(9, 0))},
               {"i", today.addDays(dueInDays)},
               {"p", piece},
               {"s", state}});
    const qint64 id = db().lastInsertId();
    db().exec(QStringLiteral("UPDATE BookDetail SET RetNum = RetNum + 1 WHERE Code = :b"), {{"b", book}});
    return id;
}
