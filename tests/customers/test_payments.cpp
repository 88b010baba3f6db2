// Payments and refunds of prepaid points: the rate and lookup arithmetic, and the
// customer and journal rows they write together or not at all.
#include "customers/Payments.h"
#include "support/TestShop.h"

#include <QTest>

using Payments::Result;

Q_DECLARE_METATYPE(Payments::Result)

namespace {

const QString kWorker = QStringLiteral("W01");

struct GuestFigures {
    double balance = 0, total = 0;
    QVariant lastDis, lastMon;
    qint64 payNum = 0;
};

GuestFigures figures(TestShop& shop, const QString& code)
{
    Statement st(shop.db(), QStringLiteral("SELECT Leave_Mon, Total_Mon, Last_Dis, Last_Mon, Pay_Num FROM Guest "
                                           "WHERE GuestCode = :c"));
    st.bind({{"c", code}});
    if (!st.step())
        return {};
    return {st.value(0).toDouble(), st.value(1).toDouble(), st.value(2), st.value(3), st.value(4).toLongLong()};
}

struct JournalRow {
    QString guest, mode, tran, worker, date;
    qint64 cost = 0, piece = 0;
};

QList<JournalRow> journal(TestShop& shop)
{
    Statement st(shop.db(), QStringLiteral("SELECT Guest_CODE, Mode, Cost, piece, Tran_CODE, worker, CostDate "
                                           "FROM GuestCost ORDER BY NO"));
    st.bind({});
    QList<JournalRow> rows;
    while (st.step())
        rows.append({st.value(0).toString(), st.value(1).toString(), st.value(4).toString(), st.value(5).toString(),
                     st.value(6).toString(), st.value(2).toLongLong(), st.value(3).toLongLong()});
    return rows;
}

void setLastDis(TestShop& shop, const QString& code, int lastDis)
{
    shop.db().exec(QStringLiteral("UPDATE Guest SET Last_Dis = :d WHERE GuestCode = :c"),
                   {{"d", lastDis}, {"c", code}});
}

} // namespace

class TestPayments : public QObject {
    Q_OBJECT
private slots:
    void payCustomerStartsUnknownAndUnknownIsRefused();
    void rate_data();
    void rate();
    void manualLookup_data();
    void manualLookup();
    void payment_data();
    void payment();
    void paymentOutOfRangeWritesNothing_data();
    void paymentOutOfRangeWritesNothing();
    void refund_data();
    void refund();
    void failingJournalInsertLeavesCustomerUnchanged();
};

void TestPayments::payCustomerStartsUnknownAndUnknownIsRefused()
{
    QCOMPARE(Payments::GetPayCustomer(), QStringLiteral("unKnow"));
    TestShop shop;
    QCOMPARE(Payments::CommitPayment(1000, 1100, kWorker), Result::Refused);
    QCOMPARE(Payments::refund(10, kWorker), Result::Refused);
    QCOMPARE(shop.count("GuestCost"), 0);
    QCOMPARE(shop.prompts.shown().size(), 2);
    QCOMPARE(shop.prompts.last().caption, QStringLiteral("程序錯誤！"));
    QCOMPARE(shop.prompts.last().text, QStringLiteral("參數傳遞錯誤！\n\r找不到該筆顧客代碼！"));
    QCOMPARE(shop.prompts.last().kind, QStringLiteral("Waning"));
}

void TestPayments::rate_data()
{
    QTest::addColumn<QVariant>("no");
    QTest::addColumn<QVariant>("into");
    QTest::addColumn<QVariant>("pay");
    QTest::addColumn<QString>("rate");
    const QVariant none;
    QTest::newRow("1000 -> 1100") << QVariant(1) << QVariant(1100) << QVariant(1000) << "110%";
    QTest::newRow("even") << QVariant(1) << QVariant(1000) << QVariant(1000) << "100%";
    QTest::newRow("half down to even") << QVariant(1) << QVariant(1) << QVariant(8) << "12%";
    QTest::newRow("half up to even") << QVariant(1) << QVariant(3) << QVariant(8) << "38%";
    QTest::newRow("negative half to even") << QVariant(1) << QVariant(-1) << QVariant(8) << "-12%";
    QTest::newRow("thirds") << QVariant(1) << QVariant(2) << QVariant(3) << "67%";
    QTest::newRow("nothing paid") << QVariant(1) << QVariant(500) << QVariant(0) << "";
    QTest::newRow("paid empty") << QVariant(1) << QVariant(500) << none << "";
    QTest::newRow("points empty") << QVariant(1) << none << QVariant(500) << "";
    QTest::newRow("new row without number") << none << QVariant(1100) << QVariant(1000) << "";
}

void TestPayments::rate()
{
    QFETCH(QVariant, no);
    QFETCH(QVariant, into);
    QFETCH(QVariant, pay);
    QFETCH(QString, rate);
    QCOMPARE(Payments::Rate(no, into, pay), rate);
}

void TestPayments::manualLookup_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<qint64>("points"); // -1: no covering scheme
    QTest::newRow("1500 at 110%") << qint64(1500) << qint64(1650);
    QTest::newRow("lower end") << qint64(1000) << qint64(1100);
    QTest::newRow("upper end of 100%") << qint64(999) << qint64(999);
    QTest::newRow("cut toward zero") << qint64(1005) << qint64(1105);
    QTest::newRow("2500 not covered") << qint64(2500) << qint64(-1);
    QTest::newRow("0 not covered") << qint64(0) << qint64(-1);
}

void TestPayments::manualLookup()
{
    QFETCH(qint64, amount);
    QFETCH(qint64, points);
    TestShop shop;
    shop.db().exec(QStringLiteral("DELETE FROM PayMoney"));
    // A scheme without a rate comes first and covers everything: it must be passed over.
    const QString add = QStringLiteral("INSERT INTO PayMoney (Type, PayMoney, IntoMoney, PayStart, PayEnd) "
                                       "VALUES (:t, :p, :i, :s, :e)");
    shop.db().exec(add, {{"t", "free"}, {"p", 0}, {"i", 50}, {"s", 1}, {"e", 1999}});
    shop.db().exec(add, {{"t", "100%"}, {"p", 500}, {"i", 500}, {"s", 1}, {"e", 999}});
    shop.db().exec(add, {{"t", "110%"}, {"p", 1000}, {"i", 1100}, {"s", 1000}, {"e", 1999}});

    const auto rate = Payments::coveringRate(amount);
    if (points < 0) {
        QVERIFY(!rate);
        return;
    }
    QVERIFY(rate);
    QCOMPARE(Payments::proposedPoints(amount, *rate), points);
}

void TestPayments::payment_data()
{
    QTest::addColumn<qint64>("paid");
    QTest::addColumn<qint64>("credited");
    QTest::addColumn<bool>("changesCustomer");
    QTest::addColumn<int>("lastDis");
    QTest::newRow("scheme 1000 -> 1100") << qint64(1000) << qint64(1100) << true << 90;
    QTest::newRow("no bonus") << qint64(1000) << qint64(1000) << true << 100;
    QTest::newRow("500 for 0 points") << qint64(500) << qint64(0) << true << 100;
    QTest::newRow("exact whole per cent") << qint64(29) << qint64(100) << true << 29;
    QTest::newRow("both 0") << qint64(0) << qint64(0) << false << 0;
}

void TestPayments::payment()
{
    QFETCH(qint64, paid);
    QFETCH(qint64, credited);
    QFETCH(bool, changesCustomer);
    QFETCH(int, lastDis);
    TestShop shop;
    shop.addGuest("G1", "王小明", 200);
    shop.addGuest("G2", "李大華", 300);
    shop.db().exec(
        QStringLiteral("UPDATE Guest SET Total_Mon = 5000, Pay_Num = 3, Last_Dis = 0 WHERE GuestCode = 'G1'"));
    Payments::SetPayCustomer("G1");
    QCOMPARE(Payments::GetPayCustomer(), QStringLiteral("G1"));

    QCOMPARE(Payments::CommitPayment(paid, credited, kWorker), Result::Booked);

    const GuestFigures g = figures(shop, "G1");
    if (changesCustomer) {
        QCOMPARE(g.balance, 200.0 + double(credited));
        QCOMPARE(g.total, 5000.0 + double(paid));
        QCOMPARE(g.lastDis.toLongLong(), qint64(lastDis));
        QCOMPARE(g.lastMon.toString(), QStringLiteral("2026-03-10 00:00:00"));
        QCOMPARE(g.payNum, qint64(4));
    } else {
        QCOMPARE(g.balance, 200.0);
        QCOMPARE(g.total, 5000.0);
        QCOMPARE(g.lastDis.toLongLong(), 0);
        QVERIFY(g.lastMon.isNull());
        QCOMPARE(g.payNum, qint64(3));
    }
    QCOMPARE(figures(shop, "G2").balance, 300.0);

    const auto rows = journal(shop);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].guest, QStringLiteral("G1"));
    QCOMPARE(rows[0].mode, QStringLiteral("I"));
    QCOMPARE(rows[0].cost, paid);
    QCOMPARE(rows[0].piece, credited);
    QCOMPARE(rows[0].tran, QStringLiteral("0"));
    QCOMPARE(rows[0].worker, kWorker);
    QCOMPARE(rows[0].date, QStringLiteral("2026-03-10 10:00:00"));
    QVERIFY(shop.prompts.shown().isEmpty());
    QVERIFY(!shop.db().inTransaction());
}

void TestPayments::paymentOutOfRangeWritesNothing_data()
{
    QTest::addColumn<qint64>("paid");
    QTest::addColumn<qint64>("credited");
    QTest::addColumn<QString>("what");
    QTest::newRow("money") << qint64(40000) << qint64(100) << "金額";
    QTest::newRow("points") << qint64(30000) << qint64(33000) << "產生點數";
}

void TestPayments::paymentOutOfRangeWritesNothing()
{
    QFETCH(qint64, paid);
    QFETCH(qint64, credited);
    QFETCH(QString, what);
    TestShop shop;
    shop.addGuest("G1", "王小明", 200);
    Payments::SetPayCustomer("G1");

    QCOMPARE(Payments::CommitPayment(paid, credited, kWorker), Result::Refused);
    QCOMPARE(shop.prompts.shown().size(), 1);
    QVERIFY(shop.prompts.last().text.startsWith(what + QStringLiteral("超出範圍！")));
    QCOMPARE(shop.prompts.last().kind, QStringLiteral("Err"));
    QCOMPARE(figures(shop, "G1").balance, 200.0);
    QCOMPARE(figures(shop, "G1").payNum, 0);
    QCOMPARE(shop.count("GuestCost"), 0);
}

void TestPayments::refund_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<int>("lastDis");
    QTest::addColumn<qint64>("points");
    QTest::addColumn<Result>("result");
    QTest::addColumn<qint64>("cash");
    QTest::newRow("500 of 2000 at 90") << 2000.0 << 90 << qint64(500) << Result::Booked << qint64(450);
    QTest::newRow("exact whole cash") << 2000.0 << 29 << qint64(100) << Result::Booked << qint64(29);
    QTest::newRow("nothing paid yet") << 2000.0 << 0 << qint64(500) << Result::Booked << qint64(0);
    QTest::newRow("whole balance") << 2000.0 << 90 << qint64(2000) << Result::TooMuch << qint64(0);
    QTest::newRow("above balance") << 2000.0 << 90 << qint64(2001) << Result::TooMuch << qint64(0);
    QTest::newRow("cash too large for the journal") << 50000.0 << 200 << qint64(20000) << Result::Refused << qint64(0);
    QTest::newRow("points too large for the journal")
        << 50000.0 << 100 << qint64(40000) << Result::Refused << qint64(0);
}

void TestPayments::refund()
{
    QFETCH(double, balance);
    QFETCH(int, lastDis);
    QFETCH(qint64, points);
    QFETCH(Result, result);
    QFETCH(qint64, cash);
    TestShop shop;
    shop.addGuest("G1", "王小明", balance);
    shop.addGuest("G2", "李大華", balance);
    setLastDis(shop, "G1", lastDis);
    Payments::SetPayCustomer("G1");

    const auto basis = Payments::refundBasis("G1");
    QVERIFY(basis);
    QCOMPARE(basis->balance, balance);
    QCOMPARE(basis->lastDis, qint64(lastDis));

    QCOMPARE(Payments::refund(points, kWorker), result);
    QCOMPARE(figures(shop, "G2").balance, balance);
    const auto rows = journal(shop);
    if (result != Result::Booked) {
        QCOMPARE(figures(shop, "G1").balance, balance);
        QCOMPARE(rows.size(), 0);
        QCOMPARE(shop.prompts.shown().size(), 1);
        QCOMPARE(shop.prompts.last().kind, QStringLiteral("Err"));
        if (result == Result::TooMuch) {
            QCOMPARE(shop.prompts.last().text, QStringLiteral("退款金額過多！"));
            QCOMPARE(shop.prompts.last().caption, QStringLiteral("超出！"));
        }
        return;
    }
    QCOMPARE(Payments::refundCash(points, lastDis), cash);
    QCOMPARE(figures(shop, "G1").balance, balance - double(points));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].guest, QStringLiteral("G1"));
    QCOMPARE(rows[0].mode, QStringLiteral("RT"));
    QCOMPARE(rows[0].cost, -cash);
    QCOMPARE(rows[0].piece, -points);
    QCOMPARE(rows[0].tran, QString(""));
    QCOMPARE(rows[0].worker, kWorker);
    QCOMPARE(rows[0].date, QStringLiteral("2026-03-10 10:00:00"));
    QVERIFY(shop.prompts.shown().isEmpty());
}

void TestPayments::failingJournalInsertLeavesCustomerUnchanged()
{
    TestShop shop;
    shop.addGuest("G1", "王小明", 2000);
    setLastDis(shop, "G1", 90);
    Payments::SetPayCustomer("G1");

    shop.db().failNextStatementContaining("GuestCost");
    QCOMPARE(Payments::CommitPayment(1000, 1100, kWorker), Result::Refused);
    shop.db().failNextStatementContaining("GuestCost");
    QCOMPARE(Payments::refund(500, kWorker), Result::Refused);

    const GuestFigures g = figures(shop, "G1");
    QCOMPARE(g.balance, 2000.0);
    QCOMPARE(g.total, 0.0);
    QCOMPARE(g.payNum, 0);
    QVERIFY(g.lastMon.isNull());
    QCOMPARE(g.lastDis.toLongLong(), 90);
    QCOMPARE(shop.count("GuestCost"), 0);
    QVERIFY(!shop.db().inTransaction());
    QCOMPARE(shop.prompts.shown().size(), 2);
    QCOMPARE(shop.prompts.last().kind, QStringLiteral("Err"));
    QVERIFY(shop.prompts.last().text.contains(QStringLiteral("injected engine failure")));

    // The same booking goes through once the engine works again.
    QCOMPARE(Payments::CommitPayment(1000, 1100, kWorker), Result::Booked);
    QCOMPARE(figures(shop, "G1").balance, 3100.0);
    QCOMPARE(shop.count("GuestCost"), 1);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "test_payments.moc"
