// The shared routines: the journal insert, the keyed lookup, the book loader,
// the first-digit rule, the per-category counters and the rental limit.
#include "core/UDMMain.h"
#include "core/Ufm_command.h"
#include "db/Dataset.h"
#include "support/TestShop.h"

#include <QTest>

class TestSharedRoutines : public QObject {
    Q_OBJECT
private slots:
    void firstDigit_data();
    void firstDigit();
    void countersKeepFirstAppearanceOrder();
    void recountLooksOnlyAtPendingRentals();
    void exceedsLimit_data();
    void exceedsLimit();
    void keyExists();
    void setGuestCostWritesExactlyItsRow();
    void setGuestCostReportsAFailure();
    void loadBookCopiesTheRow();
};

void TestSharedRoutines::firstDigit_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("digit");
    QTest::newRow("1201") << 1201 << 1;
    QTest::newRow("30508") << 30508 << 3;
    QTest::newRow("7") << 7 << 7;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("negative is no digit") << -5 << -1;
}

void TestSharedRoutines::firstDigit()
{
    QFETCH(int, n);
    QFETCH(int, digit);
    QCOMPARE(TDMMain::FirstDigit(n), digit);
}

void TestSharedRoutines::countersKeepFirstAppearanceOrder()
{
    CategoryCounts c;
    TDMMain::ClearCounts(c);
    for (int d = 0; d <= 9; ++d)
        QCOMPARE(TDMMain::CountOf(c, d), 0);
    for (int cls : {101, 2, 10203, 1, 205})
        TDMMain::AddCount(c, cls);
    QCOMPARE(c[0].digit, 1);
    QCOMPARE(c[0].count, 3);
    QCOMPARE(c[1].digit, 2);
    QCOMPARE(c[1].count, 2);
    QCOMPARE(c[2].digit, 0);
    QCOMPARE(TDMMain::CountOf(c, 2), 2);
    TDMMain::ClearCounts(c);
    QCOMPARE(TDMMain::CountOf(c, 1), 0);
}

void TestSharedRoutines::recountLooksOnlyAtPendingRentals()
{
    TBookAry lines(1); // element 0 is never a line
    lines[0].State = 6;
    lines[0].Class_Num = 3;
    for (int state : {6, 7, 5, 8, 6, 3, 2}) {
        TBook b;
        b.State = std::uint8_t(state);
        b.Class_Num = 101;
        lines.push_back(b);
    }
    CategoryCounts c;
    TDMMain::AddCount(c, 2); // stale counts are cleared first
    TDMMain::RecountRentals(lines, c);
    QCOMPARE(TDMMain::CountOf(c, 1), 2);
    QCOMPARE(TDMMain::CountOf(c, 2), 0);
    QCOMPARE(TDMMain::CountOf(c, 3), 0);
}

void TestSharedRoutines::exceedsLimit_data()
{
    QTest::addColumn<int>("classNum");
    QTest::addColumn<int>("pending"); // books of that category already pending
    QTest::addColumn<bool>("exceeds");
    // Limits: comics 5, fiction 0, magazines 2, CDs 1, other 3.
    QTest::newRow("comic, 4 pending") << 101 << 4 << false;
    QTest::newRow("comic, 5 pending") << 101 << 5 << true;
    QTest::newRow("fiction, limit 0") << 2 << 0 << true;
    QTest::newRow("magazine, 1 pending") << 305 << 1 << false;
    QTest::newRow("cd, 1 pending") << 4 << 1 << true;
    QTest::newRow("other digit 7, 2 pending") << 7 << 2 << false;
    QTest::newRow("other digit 9, 3 pending") << 90101 << 3 << true;
}

void TestSharedRoutines::exceedsLimit()
{
    QFETCH(int, classNum);
    QFETCH(int, pending);
    QFETCH(bool, exceeds);
    TGuest g;
    g.Lim_Comic = 5;
    g.Lim_Fiction = 0;
    g.Lim_Magazine = 2;
    g.Lim_CD = 1;
    g.Lim_OTH = 3;
    g.Lim_New = 0; // takes no part
    CategoryCounts c;
    TDMMain::ClearCounts(c);
    for (int i = 0; i < pending; ++i)
        TDMMain::AddCount(c, classNum);
    TBook b;
    b.Class_Num = classNum;
    QCOMPARE(TDMMain::ExceedsLimit(b, g, c), exceeds);
}

void TestSharedRoutines::keyExists()
{
    TestShop shop;
    shop.db().exec("DELETE FROM Worker");
    QVERIFY(!shop.cmd->KeyExists("Worker", "CODE", "w1"));
    shop.db().exec("INSERT INTO Worker (CODE, Name) VALUES ('W1', '李')");
    QVERIFY(shop.cmd->KeyExists("Worker", "CODE", "w1"));
    QVERIFY(!shop.cmd->KeyExists("Worker", "CODE", "w1' OR '1'='1"));
    QVERIFY(shop.prompts.shown().isEmpty());
    QVERIFY(!shop.cmd->KeyExists("NoTable", "CODE", "x"));
    QCOMPARE(shop.prompts.last().text, QStringLiteral("SQL查詢錯誤！"));
    QCOMPARE(shop.prompts.last().caption, QStringLiteral("租書系統 "));
}

void TestSharedRoutines::setGuestCostWritesExactlyItsRow()
{
    TestShop shop;
    const QDateTime at(QDate(2026, 3, 10), QTime(10, 0, 5));
    QVERIFY(shop.dm->SetGuestCost("G1", "DR", "123", "6475", 0, -25, at));
    Dataset j(shop.db());
    j.setSql("SELECT * FROM GuestCost");
    j.open();
    QCOMPARE(j.recordCount(), 1);
    QCOMPARE(j.text("Guest_CODE"), QStringLiteral("G1"));
    QCOMPARE(j.text("Mode"), QStringLiteral("DR"));
    QCOMPARE(j.integer("Cost"), 0);
    QCOMPARE(j.integer("piece"), -25);
    QCOMPARE(j.text("Tran_CODE"), QStringLiteral("123"));
    QCOMPARE(j.text("worker"), QStringLiteral("6475"));
    QCOMPARE(j.dateTime("CostDate"), at);
}

void TestSharedRoutines::setGuestCostReportsAFailure()
{
    TestShop shop;
    QVERIFY(!shop.dm->SetGuestCost("G1", "I", "0", "6475", 40000, 40000, Clock::now()));
    QCOMPARE(shop.count("GuestCost"), 0);
    QVERIFY(shop.prompts.last().text.startsWith("The SetGuestCose Error\n\r"));
    QVERIFY_THROWS_EXCEPTION(DbError,
                             shop.dm->appendGuestCost("G1", "I", "0", "6475", 40000, 40000, Clock::now()));
}

void TestSharedRoutines::loadBookCopiesTheRow()
{
    TestShop shop;
    shop.db().exec("INSERT INTO BookDetail (Code, Name, Vol, Author, Publish, Class_Num, Money, Number, Cost_New, "
                   "Cost_Old, Cost_In, Over_New, Over_Old, Over_18, END, Brrow_Total, RetNum, \"Index\") VALUES "
                   "('C1', '火影', '12', '岸本', '東立', 10203, 90, 2, 15, 10, 8, 7, 5, 1, 0, 33, 1, '備')");
    Dataset t(shop.db());
    t.setTable("BookDetail");
    t.open();
    const TBook b = TDMMain::LoadBook(t);
    QCOMPARE(b.Code, QStringLiteral("C1"));
    QCOMPARE(b.Name, QStringLiteral("火影"));
    QCOMPARE(b.Vol, QStringLiteral("12"));
    QCOMPARE(b.Index, QStringLiteral("備"));
    QCOMPARE(b.Class_Num, 10203);
    QCOMPARE(b.Money, 90);
    QCOMPARE(b.Cost_Old, 10);
    QCOMPARE(b.Over_Old, 5);
    QCOMPARE(b.Number, qint16(2));
    QCOMPARE(b.Brrow_Total, qint16(33));
    QCOMPARE(b.RetNum, qint16(1));
    QVERIFY(b.Over_18 && !b.END);
    QCOMPARE(b.idno, 0);
    QCOMPARE(b.State, std::uint8_t(0));
}

QTEST_GUILESS_MAIN(TestSharedRoutines)
#include "test_shared_routines.moc"
