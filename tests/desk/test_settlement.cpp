// Whole visits settled at the desk, every row they write checked; a settlement
// that fails halfway; in-store readings and cash amounts; the price adjustment
// and the note.
#include "DeskFixture.h"

using namespace DeskRules;

class TestDeskSettlement : public QObject {
    Q_OBJECT

private slots:
    void returnsAndRental();
    void renewal();
    void withdrawnRentalLeavesNoRow();
    void failedDeleteOfWithdrawnRentalIsRetried();
    void untouchedVisitWritesNothing();
    void compensation();
    void closesOnlyTheLinesOwnRow();
    void failureHalfwayLeavesDatabaseAsBefore();
    void walkInReading();
    void memberReadings();
    void cashAmounts();
    void priceAdjustment();
    void noteShowsAtOnce();
};

namespace {
QVariant cell(TestShop& s, const QString& sql, const Params& p = {})
{
    return s.scalar(sql, p);
}
} // namespace

void TestDeskSettlement::returnsAndRental()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
    f.shop.addBook("B2", QStringLiteral("火影"), 102, 10, 5);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 10, 5);
    const qint64 late = f.shop.addLoan("G1", "B1", 7, -2);
    const qint64 onTime = f.shop.addLoan("G1", "B2", 3, 3);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("B1"));
    d.SubmitInput(QStringLiteral("B2"));
    d.SubmitInput(QStringLiteral("N1"));
    const qint64 rental = cell(f.shop, "SELECT idno FROM Rent_Back WHERE Book_Code = 'N1'").toLongLong();
    QCOMPARE(d.lab5RentMoney(), QStringLiteral("10"));
    QCOMPARE(d.lab6Over(), QStringLiteral("10"));
    QCOMPARE(d.lab9BalMon(), QStringLiteral("80"));
    f.settleChecked();

    const QString now = QStringLiteral("2026-03-10 10:00:00");
    QCOMPARE(f.shop.count("Rent_Back", "idno = :i AND flgRet = 1 AND Bstate = 'BCK' AND OverMoney = 10 AND BDate = :n",
                          {{"i", late}, {"n", now}}),
             1);
    QCOMPARE(
        f.shop.count("Rent_Back", "idno = :i AND flgRet = 1 AND Bstate = 'BCK' AND OverMoney = 0", {{"i", onTime}}), 1);
    QCOMPARE(f.shop.count("Rent_Back",
                          "idno = :i AND flgRet = 0 AND Bstate = 'RetB' AND WorkManCode = '6475' "
                          "AND IDate = '2026-03-15 00:00:00' AND piece = 10",
                          {{"i", rental}}),
             1);
    QCOMPARE(f.shop.count("GuestCost"), 2);
    QCOMPARE(f.shop.count("GuestCost",
                          "Guest_CODE = 'G1' AND Mode = 'OV' AND piece = -10 AND Cost = 0 AND "
                          "Tran_CODE = :t AND worker = '6475' AND CostDate = :n",
                          {{"t", QString::number(late)}, {"n", now}}),
             1);
    QCOMPARE(
        f.shop.count("GuestCost", "Mode = 'DR' AND piece = -10 AND Tran_CODE = :t", {{"t", QString::number(rental)}}),
        1);
    QCOMPARE(f.balance("G1"), 80.0);
    QCOMPARE(cell(f.shop, "SELECT Tot_Cost || '/' || Tot_OverDate || '/' || RentNo || '/' || Last_Rent FROM Guest "
                          "WHERE GuestCode = 'G1'")
                 .toString(),
             QStringLiteral("20/10/1/2026-03-10 00:00:00"));
    QCOMPARE(cell(f.shop, "SELECT group_concat(Code || ':' || RetNum || ':' || Brrow_Total, ' ') FROM BookDetail")
                 .toString(),
             QStringLiteral("B1:0:0 B2:0:0 N1:1:1"));
    QCOMPARE(d.guest().RentTotal, 0);
    QVERIFY(!d.customerOpen());
}

void TestDeskSettlement::renewal()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
    const qint64 old = f.shop.addLoan("G1", "B1", 6, -3, 12);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.Action6(1);
    QCOMPARE(d.guest().RentTotal, 10);
    QCOMPARE(d.guest().OverTotal, 15);
    f.settleChecked();
    QCOMPARE(f.shop.count("Rent_Back",
                          "idno = :i AND flgRet = 1 AND OverMoney = 15 AND Bstate = 'RetB' AND "
                          "BDate = '2026-03-10 10:00:00'",
                          {{"i", old}}),
             1);
    QCOMPARE(f.shop.count("Rent_Back",
                          "idno > :i AND Guest_CODE = 'G1' AND Book_Code = 'B1' AND Bstate = 'con1' AND "
                          "flgRet = 0 AND piece = 10 AND IDate = '2026-03-12 00:00:00' AND "
                          "RDate = '2026-03-10 10:00:00'",
                          {{"i", old}}),
             1);
    QCOMPARE(cell(f.shop, "SELECT RetNum || '/' || Brrow_Total FROM BookDetail WHERE Code = 'B1'").toString(),
             QStringLiteral("1/1")); // still one copy out
    QCOMPARE(cell(f.shop, "SELECT group_concat(Mode || piece, ' ') FROM GuestCost").toString(),
             QStringLiteral("CO-10 OV-15"));
    QCOMPARE(cell(f.shop, "SELECT RentNo FROM Guest WHERE GuestCode = 'G1'").toInt(), 1);

    // The renewal is a loan of today: it cannot be renewed again today.
    d.SubmitInput(QStringLiteral("G1"));
    QCOMPARE(d.lines().size(), size_t(2));
    d.Action6(1);
    QCOMPARE(int(d.lines()[1].State), int(Due));
}

void TestDeskSettlement::withdrawnRentalLeavesNoRow()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 10);
    f.shop.addBook("N2", QStringLiteral("水滸"), 202, 15);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    d.SubmitInput(QStringLiteral("N2"));
    d.ToggleLine(f.line("N1"));
    f.settleChecked();
    QCOMPARE(f.shop.count("Rent_Back"), 1);
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'N2' AND Bstate = 'RetB'"), 1);
    QCOMPARE(cell(f.shop, "SELECT RetNum FROM BookDetail WHERE Code = 'N1'").toInt(), 0);
    QCOMPARE(f.balance("G1"), 85.0);
}

void TestDeskSettlement::failedDeleteOfWithdrawnRentalIsRetried()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 10);
    f.shop.addBook("N2", QStringLiteral("水滸"), 202, 15);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    d.SubmitInput(QStringLiteral("N2"));
    d.ToggleLine(f.line("N1"));
    f.shop.db().failNextStatementContaining(QStringLiteral("DELETE FROM Rent_Back WHERE idno"));
    f.settleChecked(); // reported, and the settlement goes on
    QCOMPARE(f.shop.prompts.last().caption, QStringLiteral("SQL語法錯誤"));
    QVERIFY(f.shop.prompts.last().text.endsWith(QStringLiteral("語法錯誤")));
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'N2' AND Bstate = 'RetB'"), 1);
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'N1'"), 0); // the reset after it removed the row
}

void TestDeskSettlement::untouchedVisitWritesNothing()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addLoan("G1", "B1", 9, -4);
    f.start();
    const QString before = f.dump();
    f.desk->SubmitInput(QStringLiteral("G1"));
    f.settleChecked();
    QCOMPARE(f.dump(), before);
}

void TestDeskSettlement::compensation()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 500);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5, 3);
    const qint64 loan = f.shop.addLoan("G1", "B1", 5, -1, 120);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.Action9(1);
    QCOMPARE(d.guest().RentTotal, 120);
    QCOMPARE(d.guest().OverTotal, 5);
    f.settleChecked();
    QCOMPARE(cell(f.shop, "SELECT Number || '/' || RetNum FROM BookDetail WHERE Code = 'B1'").toString(),
             QStringLiteral("2/0"));
    QCOMPARE(f.shop.count("Rent_Back", "idno = :i AND flgRet = 1 AND BDate = '2026-03-10 10:00:00' AND OverMoney = 5",
                          {{"i", loan}}),
             1);
    QCOMPARE(cell(f.shop, "SELECT group_concat(Mode || piece, ' ') FROM GuestCost").toString(),
             QStringLiteral("PN-120 OV-5"));
    QCOMPARE(f.balance("G1"), 375.0);
    f.desk->SubmitInput(QStringLiteral("G1")); // not listed again
    QCOMPARE(f.desk->lines().size(), size_t(1));
}

void TestDeskSettlement::closesOnlyTheLinesOwnRow()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5, 2);
    const qint64 first = f.shop.addLoan("G1", "B1", 8, -1);
    const qint64 second = f.shop.addLoan("G1", "B1", 2, 3);
    f.start();
    f.desk->SubmitInput(QStringLiteral("G1"));
    f.desk->SubmitInput(QStringLiteral("B1")); // the first line of that barcode
    f.settleChecked();
    QCOMPARE(f.shop.count("Rent_Back", "idno = :i AND flgRet = 1", {{"i", first}}), 1);
    QCOMPARE(f.shop.count("Rent_Back", "idno = :i AND flgRet = 0", {{"i", second}}), 1);
    QCOMPARE(cell(f.shop, "SELECT RetNum FROM BookDetail WHERE Code = 'B1'").toInt(), 1);
}

void TestDeskSettlement::failureHalfwayLeavesDatabaseAsBefore()
{
    for (const bool settleAgain : {true, false}) {
        DeskFixture f;
        f.shop.addGuest("G1", QStringLiteral("王"), 100);
        f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
        f.shop.addBook("B2", QStringLiteral("火影"), 102, 10, 5);
        f.shop.addBook("N1", QStringLiteral("三國"), 201, 10, 5);
        f.shop.addLoan("G1", "B1", 7, -2);
        f.shop.addLoan("G1", "B2", 7, -2);
        f.start();
        const QString beforeVisit = f.dump();
        DeskSession& d = *f.desk;
        d.SubmitInput(QStringLiteral("G1"));
        d.SubmitInput(QStringLiteral("N1"));
        d.SubmitInput(QStringLiteral("B1"));
        d.Action6(f.line("B2"));
        const QString beforeSettle = f.dump();
        // The second line's close fails, after the first line's rows were written.
        f.shop.db().failNextStatementContaining(
            QStringLiteral("UPDATE Rent_Back SET flgRet = 1,InStudy = 0,BDate = :BDate,"
                           "OverMoney = :OverMoney WHERE"));
        d.SubmitInput(QString());
        QCOMPARE(f.shop.prompts.last().kind, QStringLiteral("Err"));
        QCOMPARE(f.shop.prompts.last().text, QStringLiteral("injected engine failure"));
        QCOMPARE(f.dump(), beforeSettle);
        QCOMPARE(d.mode(), int(DeskSession::ModeCustomer));
        QCOMPARE((QList<int>{f.state("B1"), f.state("B2"), f.state("N1")}), (QList<int>{8, 3, 6}));
        QCOMPARE(d.guest().RentTotal, 20);
        QCOMPARE(d.guest().OverTotal, 20);
        if (settleAgain) {
            f.settleChecked();
            QCOMPARE(f.shop.count("GuestCost"), 4);
            QCOMPARE(f.balance("G1"), 60.0);
        } else {
            d.ResetDesk();
            QCOMPARE(f.dump(), beforeVisit);
        }
    }
}

void TestDeskSettlement::walkInReading()
{
    DeskFixture f;
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10);
    f.shop.db().exec("INSERT INTO Rent_Back (Book_Code, Vol, RDate, IDate, New, piece, BDate, flgRet, InStudy) "
                     "VALUES ('金額', '0', '2026-03-10 08:00:00', '2026-03-10 00:00:00', '否', 7, "
                     "'2026-03-10 08:00:00', 1, 1), ('金額', '0', '2026-03-09 23:59:59', '2026-03-09 00:00:00', '否', "
                     "100, '2026-03-09 23:59:59', 1, 1)");
    f.start();
    DeskSession& d = *f.desk;
    d.Action4();
    d.SubmitInput(QStringLiteral("b1")); // the whole code, without regard to case
    const qint64 id = cell(f.shop, "SELECT idno FROM Rent_Back WHERE Guest_CODE = 'A001'").toLongLong();
    QCOMPARE(f.shop.count("Rent_Back",
                          "idno = :i AND Book_Code = 'B1' AND Vol = '1' AND piece = 10 AND flgRet = 1 "
                          "AND InStudy = 1 AND Bstate = 'IN' AND WorkManCode = '6475' AND "
                          "IDate = '2026-03-10 00:00:00' AND RDate = '2026-03-10 10:00:00' AND BDate = RDate",
                          {{"i", id}}),
             1);
    QCOMPARE(f.shop.count("GuestCost", "Guest_CODE = 'A001' AND Mode = 'IN' AND piece = -10 AND Tran_CODE = :t",
                          {{"t", QString::number(id)}}),
             1);
    QCOMPARE(cell(f.shop, "SELECT Brrow_Total FROM BookDetail WHERE Code = 'B1'").toInt(), 1);
    QCOMPARE(f.shop.prompts.texts(), QStringList{QStringLiteral("內閱總金額：17")}); // yesterday's row not counted
    QCOMPARE(f.shop.prompts.last().caption, QStringLiteral("內閱"));
    QCOMPARE(d.mode(), int(DeskSession::ModeWaiting));
    QVERIFY(!d.qryBook().isOpen());
}

void TestDeskSettlement::memberReadings()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addGuest("G2", QStringLiteral("李"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10);
    f.shop.addBook("B2", QStringLiteral("火影"), 102, 15);
    f.start();
    DeskSession& d = *f.desk;
    const QString other = f.dump().section(QStringLiteral("G2"), 1, 1).section(QLatin1Char('\n'), 0, 0);
    d.SubmitInput(QStringLiteral("G1"));
    d.Action4();
    d.SubmitInput(QStringLiteral("B1"));
    QCOMPARE(d.mode(), int(DeskSession::ModeMemberReading));
    QCOMPARE(d.panelText(0), QStringLiteral("內閱書本:B1"));
    d.SubmitInput(QStringLiteral("b2"));
    QCOMPARE(f.balance("G1"), 75.0);
    QCOMPARE(d.lab9BalMon(), QStringLiteral("75"));
    QCOMPARE(cell(f.shop, "SELECT Tot_Cost || '/' || RentInNo || '/' || RentNo FROM Guest WHERE GuestCode = 'G1'")
                 .toString(),
             QStringLiteral("25/2/2"));
    QCOMPARE(f.shop.count("Rent_Back", "Guest_CODE = 'G1' AND InStudy = 1 AND Bstate = 'IN' AND flgRet = 1 AND "
                                       "Book_Code IN ('B1', 'B2')"),
             2);
    QCOMPARE(f.shop.count("GuestCost", "Guest_CODE = 'G1' AND Mode = 'IN' AND Tran_CODE IN (SELECT CAST(idno AS TEXT) "
                                       "FROM Rent_Back WHERE Guest_CODE = 'G1')"),
             2);
    QCOMPARE(f.journalSince(0), -25);
    QCOMPARE(f.dump().section(QStringLiteral("G2"), 1, 1).section(QLatin1Char('\n'), 0, 0), other);
    QVERIFY(f.shop.prompts.shown().isEmpty());
    f.settleChecked(); // the readings were charged already: the settlement takes nothing more
    QCOMPARE(f.balance("G1"), 75.0);
}

void TestDeskSettlement::cashAmounts()
{
    DeskFixture f;
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10);
    f.start();
    DeskSession& d = *f.desk;
    d.Action4();
    d.SubmitInput(QStringLiteral("B1"));
    d.Action4();
    d.Action4();
    QCOMPARE(d.mode(), int(DeskSession::ModeAmount));
    // Behind the total's message the grid lists today's readings; the cash row has no book.
    QStringList shown;
    connect(&d, &DeskSession::changed, this, [&] {
        Dataset& q = d.qryBook();
        if (q.isOpen() && shown.isEmpty())
            for (int r = 1; r <= q.recordCount(); ++r)
                shown << q.valueAt(r, q.fieldIndex("Book_Code")).toString() +
                             q.valueAt(r, q.fieldIndex("State")).toString();
    });
    d.SubmitInput(QStringLiteral("30"));
    QCOMPARE(shown, QStringList{QStringLiteral("B1內閱")});
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = '金額' AND Vol = '0' AND piece = 30 AND flgRet = 1 AND InStudy = 1 "
                                       "AND Guest_CODE IS NULL AND Bstate IS NULL AND IDate = '2026-03-10 00:00:00'"),
             1);
    QCOMPARE(f.shop.prompts.last().text, QStringLiteral("內閱金額：40"));
    QCOMPARE(f.shop.count("GuestCost"), 1); // the walk-in's only
    QCOMPARE(d.mode(), int(DeskSession::ModeWaiting));
    QVERIFY(!d.qryBook().isOpen());
}

void TestDeskSettlement::priceAdjustment()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 10, 5);
    f.shop.addLoan("G1", "B1", 3, 2);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    const int n1 = f.line("N1");
    const QDate due = d.lines()[size_t(n1)].IDate;
    QVERIFY(d.SetLinePrice(n1, QStringLiteral("8"), due));
    QCOMPARE(d.guest().RentTotal, 8);
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'N1' AND piece = 8"), 1);

    QVERIFY(!d.SetLinePrice(n1, QStringLiteral("40000"), due));
    QVERIFY(!d.SetLinePrice(n1, QStringLiteral("abc"), due));
    QCOMPARE(f.shop.prompts.texts().count(QStringLiteral("價格必須是 0 至 32767 的整數！")), 2);
    QCOMPARE(d.guest().RentTotal, 8);

    // Three days back on a line that was not overdue; returned, it is fined.
    QVERIFY(d.SetLinePrice(f.line("B1"), QVariant(), QDate(2026, 3, 7)));
    QCOMPARE(int(d.lines()[size_t(f.line("B1"))].OverDays), 3);
    QCOMPARE(d.guest().RentTotal, 8); // a due line charges no fee
    d.SubmitInput(QStringLiteral("B1"));
    QCOMPARE(d.guest().OverTotal, 15);
    f.settleChecked();
    QCOMPARE(cell(f.shop, "SELECT group_concat(Mode || piece, ' ') FROM GuestCost").toString(),
             QStringLiteral("OV-15 DR-8"));
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'B1' AND piece = 0 AND OverMoney = 15"), 1);
}

void TestDeskSettlement::noteShowsAtOnce()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 10);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    QVERIFY(d.SavePS(QStringLiteral("押金未付")));
    QCOMPARE(d.qryGuest().text("PS"), QStringLiteral("押金未付"));
    QCOMPARE(d.guest().PS, QStringLiteral("押金未付"));
    QCOMPARE(cell(f.shop, "SELECT PS FROM Guest WHERE GuestCode = 'G1'").toString(), QStringLiteral("押金未付"));
    QCOMPARE(d.guest().RentTotal, 10);
}

QTEST_GUILESS_MAIN(TestDeskSettlement)
#include "test_settlement.moc"
