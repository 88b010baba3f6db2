// The generated shops: complete, with ledgers that agree with every counter and
// balance, the customers the benchmark relies on, and no existing file touched.
#include "core/DemoShop.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestDemoShop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void isCompleteShop_data();
    void isCompleteShop();
    void ledgersAgree_data();
    void ledgersAgree();
    void demoHasSomethingOfEach_data();
    void demoHasSomethingOfEach();
    void benchmarkCustomers();
    void refusesExistingPath_data();
    void refusesExistingPath();
    void sameSeedSameShop();

private:
    Database& shop(const QString& name) { return name == QLatin1String("demo") ? *m_demo : *m_generated; }
    static QByteArray digest(Database& db);
    void addShops();

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_demo, m_generated;
    DemoShop::Summary m_generatedSummary;
};

namespace {

// The bulk path of the large shop, at a size a test can afford.
DemoShop::Options smallLarge()
{
    DemoShop::Options o = DemoShop::large();
    o.guests = 300;
    o.books = 3000;
    o.days = 150;
    return o;
}

qint64 count(Database& db, const QString& sql)
{
    return db.scalar(sql).toLongLong();
}

} // namespace

void TestDemoShop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Clock::set(QDateTime(QDate(2026, 3, 10), QTime(10, 0)));
    DemoShop::create(m_dir.filePath(QStringLiteral("demo.mdb")), DemoShop::demo());
    m_generatedSummary = DemoShop::create(m_dir.filePath(QStringLiteral("large.mdb")), smallLarge());
    m_demo = Schema::openShop(m_dir.filePath(QStringLiteral("demo.mdb")));
    m_generated = Schema::openShop(m_dir.filePath(QStringLiteral("large.mdb")));
}

void TestDemoShop::cleanupTestCase()
{
    m_demo.reset();
    m_generated.reset();
    Clock::reset();
}

void TestDemoShop::addShops()
{
    QTest::addColumn<QString>("shop");
    QTest::newRow("demo") << QStringLiteral("demo");
    QTest::newRow("generated") << QStringLiteral("generated");
}

void TestDemoShop::isCompleteShop_data()
{
    addShops();
}

void TestDemoShop::isCompleteShop()
{
    QFETCH(QString, shop);
    Database& db = this->shop(shop);
    QCOMPARE(Schema::missing(db), QStringList());
    // The indexes dropped for the bulk rows are all back, and the file is shared again.
    const QStringList names = [&] {
        QStringList out;
        Statement st(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'"));
        while (st.step())
            out << st.value(0).toString();
        return out;
    }();
    for (const QString& line : Schema::ddl().split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("CREATE INDEX ")))
            QVERIFY2(names.contains(line.section(QLatin1Char(' '), 2, 2)), qPrintable(line));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));

    for (const char* table : {"Guest", "BookDetail", "Rent_Back", "GuestCost", "WorkClass", "ClassBook", "BookCost",
                              "CustBookDay", "PayMoney", "SubBook"})
        QVERIFY2(count(db, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)) > 0, table);
    QVERIFY(count(db, QStringLiteral("SELECT COUNT(*) FROM Worker")) >= 2);
    // One row for every day of the history up to yesterday.
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM DayCost WHERE DayDate < today()")),
             count(db, QStringLiteral("SELECT COUNT(*) FROM DayCost")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT MAX(DayDate) FROM DayCost")).toString(),
             QStringLiteral("2026-03-09 00:00:00"));
    // Books in all five top classes, each filed under a class of the tree.
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(DISTINCT substr(Class_Num, 1, 1)) FROM BookDetail")), 5);
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM BookDetail WHERE Class_Num NOT IN "
                                      "(SELECT ClassNum FROM ClassBook WHERE ClassNum > 99)")),
             0);
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM ClassBook WHERE ClassNum > 99 AND "
                                      "ClassNum / 100 NOT IN (SELECT ClassNum FROM ClassBook)")),
             0);
}

void TestDemoShop::ledgersAgree_data()
{
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QString>("violations"); // a count of the rows that break the rule
    const std::pair<const char*, const char*> rules[] = {
        {"RetNum is the number of open loans of the book",
         "SELECT COUNT(*) FROM BookDetail b WHERE RetNum <> "
         "(SELECT COUNT(*) FROM Rent_Back r WHERE r.Book_Code = b.Code AND r.flgRet = 0) OR RetNum > Number"},
        {"no rental is left pending", "SELECT COUNT(*) FROM Rent_Back WHERE Bstate = 'Ret'"},
        {"balance is payments minus charges and refunds",
         "SELECT COUNT(*) FROM Guest g WHERE GuestCode <> 'A001' AND Leave_Mon <> "
         "(SELECT COALESCE(SUM(piece), 0) FROM GuestCost c WHERE c.Guest_CODE = g.GuestCode)"},
        {"spending, fines and payments add up the journal",
         "SELECT COUNT(*) FROM Guest g WHERE GuestCode <> 'A001' AND ("
         "Tot_Cost <> (SELECT COALESCE(-SUM(piece), 0) FROM GuestCost c WHERE c.Guest_CODE = g.GuestCode "
         "  AND Mode IN ('DR', 'CO', 'OV', 'PN', 'IN')) "
         "OR Tot_OverDate <> (SELECT COALESCE(-SUM(piece), 0) FROM GuestCost c WHERE c.Guest_CODE = g.GuestCode "
         "  AND Mode = 'OV') "
         "OR Total_Mon <> (SELECT COALESCE(SUM(Cost), 0) FROM GuestCost c WHERE c.Guest_CODE = g.GuestCode "
         "  AND Mode = 'I') "
         "OR Pay_Num <> (SELECT COUNT(*) FROM GuestCost c WHERE c.Guest_CODE = g.GuestCode AND Mode = 'I'))"},
        {"customer and book counters count the loan rows",
         "SELECT (SELECT COUNT(*) FROM Guest g WHERE GuestCode <> 'A001' AND (RentNo <> "
         "(SELECT COUNT(*) FROM Rent_Back r WHERE r.Guest_CODE = g.GuestCode) OR RentInNo <> "
         "(SELECT COUNT(*) FROM Rent_Back r WHERE r.Guest_CODE = g.GuestCode AND InStudy = 1))) + "
         "(SELECT COUNT(*) FROM BookDetail b WHERE Brrow_Total <> "
         "(SELECT COUNT(*) FROM Rent_Back r WHERE r.Book_Code = b.Code))"},
        {"a charge points at a loan row of the same customer",
         "SELECT COUNT(*) FROM GuestCost c WHERE Mode IN ('DR', 'CO', 'OV', 'PN', 'IN') AND NOT EXISTS "
         "(SELECT 1 FROM Rent_Back r WHERE r.idno = CAST(c.Tran_CODE AS INTEGER) AND r.Guest_CODE = c.Guest_CODE)"},
        {"payments refer to 0 and refunds to nothing",
         "SELECT COUNT(*) FROM GuestCost WHERE (Mode = 'I' AND Tran_CODE <> '0') OR (Mode = 'RT' AND Tran_CODE <> '')"},
        {"a closed loan keeps the fine journaled for it",
         "SELECT COUNT(*) FROM Rent_Back r LEFT JOIN (SELECT CAST(Tran_CODE AS INTEGER) AS id, -SUM(piece) AS fine "
         "FROM GuestCost WHERE Mode = 'OV' GROUP BY Tran_CODE) f ON f.id = r.idno "
         "WHERE r.InStudy = 0 AND r.OverMoney <> COALESCE(f.fine, 0)"},
        {"open loans are settled rentals or renewals; closed ones have their moment",
         "SELECT COUNT(*) FROM Rent_Back WHERE (flgRet = 0 AND (Bstate NOT IN ('RetB', 'con1') OR InStudy = 1 "
         "OR OverMoney <> 0)) OR (flgRet = 1 AND (BDate IS NULL OR BDate < RDate)) OR IDate < dayof(RDate)"},
        {"nothing is lent before the book came in, nor today",
         "SELECT COUNT(*) FROM Rent_Back r LEFT JOIN BookDetail b ON b.Code = r.Book_Code "
         "WHERE (r.Book_Code <> '金額' AND (b.Code IS NULL OR r.RDate < b.InBookData)) OR r.RDate >= today()"},
        {"every loan row names a customer, except a cash amount",
         "SELECT COUNT(*) FROM Rent_Back r WHERE (Guest_CODE IS NULL) <> (Book_Code = '金額') "
         "OR (Guest_CODE IS NOT NULL AND NOT EXISTS (SELECT 1 FROM Guest g WHERE g.GuestCode = r.Guest_CODE))"},
        {"the daily record sums the day's journal",
         "SELECT COUNT(*) FROM DayCost d WHERE "
         "CostOut <> (SELECT COALESCE(SUM(ABS(piece)), 0) FROM GuestCost WHERE Mode IN ('DR', 'CO') "
         "  AND CostDate >= d.DayDate AND CostDate < adddays(d.DayDate, 1)) "
         "OR money <> (SELECT COALESCE(SUM(ABS(Cost)), 0) FROM GuestCost WHERE Mode = 'I' "
         "  AND CostDate >= d.DayDate AND CostDate < adddays(d.DayDate, 1)) "
         "OR ComMon + FicMon + MegMon + OthMon <> (SELECT COALESCE(SUM(ABS(piece)), 0) FROM Rent_Back "
         "  WHERE Book_Code <> '金額' AND RDate >= d.DayDate AND RDate < adddays(d.DayDate, 1))"},
    };
    for (const char* shop : {"demo", "generated"})
        for (const auto& r : rules)
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(shop), QString::fromUtf8(r.first))))
                << QString::fromLatin1(shop) << QString::fromUtf8(r.second);
}

void TestDemoShop::ledgersAgree()
{
    QFETCH(QString, shop);
    QFETCH(QString, violations);
    QCOMPARE(count(this->shop(shop), violations), 0);
}

void TestDemoShop::demoHasSomethingOfEach_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("atLeast");
    QTest::newRow("a few dozen customers") << "SELECT COUNT(*) FROM Guest WHERE GuestCode <> 'A001'" << 30;
    QTest::newRow("about 300 books") << "SELECT COUNT(*) FROM BookDetail" << 250;
    QTest::newRow("books out, not yet due")
        << "SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND IDate >= today()" << 3;
    QTest::newRow("books out, overdue") << "SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND IDate < today()" << 3;
    QTest::newRow("most loans returned") // ten times as many closed rows as open ones
        << "SELECT (SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 1) - "
           "10 * (SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0)"
        << 0;
    QTest::newRow("renewals") << "SELECT COUNT(*) FROM Rent_Back WHERE Bstate = 'con1'" << 1;
    QTest::newRow("readings of members and walk-ins")
        << "SELECT COUNT(DISTINCT Guest_CODE = 'A001') FROM Rent_Back WHERE Bstate = 'IN'" << 2;
    QTest::newRow("cash amounts") << "SELECT COUNT(*) FROM Rent_Back WHERE Book_Code = '金額'" << 1;
    QTest::newRow("payments under two schemes or more")
        << "SELECT COUNT(DISTINCT Cost) FROM GuestCost WHERE Mode = 'I'" << 2;
    QTest::newRow("refunds") << "SELECT COUNT(*) FROM GuestCost WHERE Mode = 'RT'" << 1;
    QTest::newRow("a closed account") << "SELECT COUNT(*) FROM Guest WHERE IsClose = 1" << 1;
    QTest::newRow("customers with a password") << "SELECT COUNT(*) FROM Guest WHERE pwdUse = 1 AND Password <> ''" << 1;
    QTest::newRow("reservations waiting and done") << "SELECT COUNT(DISTINCT SubEnd) FROM SubBook" << 2;
    QTest::newRow("a second employee on shift") << "SELECT COUNT(DISTINCT worker) FROM GuestCost" << 2;
}

void TestDemoShop::demoHasSomethingOfEach()
{
    QFETCH(QString, rows);
    QFETCH(int, atLeast);
    QVERIFY2(count(*m_demo, rows) >= atLeast, qPrintable(QString::number(count(*m_demo, rows))));
}

void TestDemoShop::benchmarkCustomers()
{
    const DemoShop::Summary& s = m_generatedSummary;
    QCOMPARE(s.benchGuests, QStringList({"B00001", "B00002", "B00003", "B00004", "B00005"}));
    for (const QString& code : s.benchGuests)
        QCOMPARE(count(*m_generated, QStringLiteral("SELECT COUNT(DISTINCT Book_Code) FROM Rent_Back "
                                                    "WHERE flgRet = 0 AND Guest_CODE = '%1'")
                                         .arg(code)),
                 10);
    QCOMPARE(count(*m_demo, QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND Guest_CODE = "
                                           "'B00001'")),
             10);
    QCOMPARE(s.benchLoans.size(), 10);
    for (const QString& code : s.benchLoans)
        QCOMPARE(count(*m_generated, QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND "
                                                    "Guest_CODE = 'B00001' AND Book_Code = '%1'")
                                         .arg(code)),
                 1);
    QVERIFY(!s.shelfBooks.isEmpty());
    for (const QString& code : s.shelfBooks)
        QCOMPARE(count(*m_generated, QStringLiteral("SELECT COUNT(*) FROM BookDetail WHERE Code = '%1' AND "
                                                    "nullify = 0 AND Number > RetNum AND Code NOT IN "
                                                    "(SELECT BookCode FROM SubBook)")
                                         .arg(code)),
                 1);
    QVERIFY(!s.idleGuests.isEmpty());
    for (const QString& code : s.idleGuests)
        QCOMPARE(count(*m_generated, QStringLiteral("SELECT COUNT(*) FROM Rent_Back WHERE flgRet = 0 AND "
                                                    "Guest_CODE = '%1'")
                                         .arg(code)),
                 0);
    QVERIFY(s.guestsWithTenOrMore > s.benchGuests.size()); // others pile books up on their own
}

void TestDemoShop::refusesExistingPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("a shop") << QStringLiteral("demo.mdb") << QByteArray();
    QTest::newRow("a foreign file") << QStringLiteral("notes.txt") << QByteArray("not a shop\n");
    QTest::newRow("an empty file") << QStringLiteral("empty.mdb") << QByteArray("");
    QTest::newRow("a folder") << QStringLiteral("folder") << QByteArray();
}

void TestDemoShop::refusesExistingPath()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(name);
    if (name == QLatin1String("folder")) {
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    } else if (!content.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    auto bytes = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray("folder");
    };
    const QByteArray before = bytes();
    const qint64 size = QFileInfo(path).size();
    const bool hadLog = QFileInfo::exists(path + QStringLiteral("-wal"));
    QVERIFY_THROWS_EXCEPTION(DbError, DemoShop::create(path, DemoShop::demo()));
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QFileInfo(path).size(), size);
    QCOMPARE(bytes(), before);
    QCOMPARE(QFileInfo::exists(path + QStringLiteral("-wal")), hadLog);
}

QByteArray TestDemoShop::digest(Database& db)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (const char* sql : {"SELECT * FROM Guest ORDER BY NO", "SELECT * FROM BookDetail ORDER BY Code",
                            "SELECT * FROM Rent_Back ORDER BY idno", "SELECT * FROM GuestCost ORDER BY NO",
                            "SELECT * FROM SubBook ORDER BY NO"}) {
        Statement st(db, QString::fromLatin1(sql));
        while (st.step())
            for (int i = 0; i < st.columnCount(); ++i)
                h.addData(st.value(i).toString().toUtf8() + '\x1f');
    }
    return h.result();
}

void TestDemoShop::sameSeedSameShop()
{
    DemoShop::Options other = DemoShop::demo();
    other.seed += 1;
    DemoShop::create(m_dir.filePath(QStringLiteral("again.mdb")), DemoShop::demo());
    DemoShop::create(m_dir.filePath(QStringLiteral("other.mdb")), other);
    auto again = Schema::openShop(m_dir.filePath(QStringLiteral("again.mdb")));
    auto different = Schema::openShop(m_dir.filePath(QStringLiteral("other.mdb")));
    QCOMPARE(digest(*again), digest(*m_demo));
    QVERIFY(digest(*different) != digest(*m_demo));
}

QTEST_GUILESS_MAIN(TestDemoShop)
#include "test_demoshop.moc"
