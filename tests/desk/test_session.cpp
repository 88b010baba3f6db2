// The desk driven through its input box and keys: customer lookup, history,
// password, modes, line states with their money, limit, due dates, fines,
// reset and bad entries.
#include "DeskFixture.h"

using namespace DeskRules;

class TestDeskSession : public QObject {
    Q_OBJECT

private slots:
    void opensCustomerByCode();
    void historyNumbers_data();
    void historyNumbers();
    void eleventhCustomerPushesOldestOut();
    void password_data();
    void password();
    void bookOnLoanOpensItsCustomer();
    void bookOnLoanToSeveralCustomers();
    void modeCycle();
    void transitions_data();
    void transitions();
    void rowsShowStateColourAndRemark();
    void limitPerCategory();
    void dueDatesByCategoryAndCount();
    void dueDateFallbackAndMissingRule();
    void fines_data();
    void fines();
    void resetRemovesOnlyTheVisitsRentals();
    void leftoverPendingRowsRemovedAtStart();
    void reservedBook();
    void paymentDuringVisitShowsNewBalance();
    void badEntriesChangeNothing_data();
    void badEntriesChangeNothing();
};

void TestDeskSession::opensCustomerByCode()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王小明"), 100);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addBook("B2", QStringLiteral("火影"), 102);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.shop.addLoan("G1", "B2", 2, 2);
    f.start();
    DeskSession& d = *f.desk;
    QCOMPARE(d.labH1(), QStringLiteral("客戶名稱：\n\r條 碼 號："));
    QCOMPARE(d.panelText(1), QStringLiteral("值班：程 小九"));
    QVERIFY(!d.isEnabled(DeskSession::Action::Action6));

    QSignalSpy input(&d, &DeskSession::inputSet);
    d.SubmitInput(QStringLiteral("g1")); // codes match without regard to case
    QCOMPARE(d.mode(), int(DeskSession::ModeCustomer));
    QCOMPARE(d.guest().GuestCode, QStringLiteral("G1"));
    QCOMPARE(d.labH1(), QStringLiteral("書本條碼號："));
    QCOMPARE(d.bigLabel(), QStringLiteral("G1　王小明"));
    QCOMPARE(d.panelText(0), QStringLiteral("請輸入書本條碼號"));
    QCOMPARE(d.panelText(2), QStringLiteral("『租還書』"));
    QCOMPARE(d.lab1RentBook(), QStringLiteral("0"));
    QCOMPARE(d.lab3NotRent(), QStringLiteral("2"));
    QCOMPARE(d.lab9BalMon(), QStringLiteral("100"));
    QCOMPARE(d.labHistGuest(), QStringLiteral("1:王小明  "));
    QCOMPARE(d.qryBook().recordCount(), 2);
    QCOMPARE(int(d.lines().size()), 3);
    QCOMPARE(d.lines()[1].Code, QStringLiteral("B1"));
    QCOMPARE(int(d.lines()[1].State), int(Due));
    QCOMPARE(d.lines()[1].Fee, 10);
    QVERIFY(d.isEnabled(DeskSession::Action::Action6));
    QCOMPARE(input.last().at(0).toString(), QString());

    d.ResetDesk();
    QCOMPARE(d.mode(), int(DeskSession::ModeWaiting));
    QCOMPARE(d.lab3NotRent(), QStringLiteral("0"));
    QCOMPARE(d.lab9BalMon(), QString());
    QCOMPARE(d.bigLabel(), QStringLiteral("等待輸入..."));
    QCOMPARE(d.panelText(0), QStringLiteral("請輸入客戶代碼或姓名、電話...."));
    QVERIFY(!d.qryBook().isOpen());
    QVERIFY(!d.isEnabled(DeskSession::Action::Action15_EditPS));

    d.SubmitInput(QString());
    QCOMPARE(d.bigLabel(), QStringLiteral("請輸入資料！！"));
    QCOMPARE(d.panelText(0), QStringLiteral("請輸入資料！！"));
    d.SubmitInput(QStringLiteral("NOBODY"));
    QCOMPARE(d.bigLabel(), QStringLiteral("無此筆資料！！"));
    QCOMPARE(d.panelText(0), QStringLiteral("無此筆資料！！"));
    QCOMPARE(f.shop.prompts.beeps(), 1);
    QCOMPARE(input.last().at(0).toString(), QStringLiteral("NOBODY"));
    QVERIFY(input.last().at(1).toBool());
    QCOMPARE(d.mode(), int(DeskSession::ModeWaiting));
    QVERIFY(f.shop.prompts.shown().isEmpty());
}

void TestDeskSession::historyNumbers_data()
{
    QTest::addColumn<int>("opened"); // customers C1..Cn opened before, Cn last
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("expected");
    QTest::newRow("slot 3 filled") << 3 << "3"
                                   << "C1";
    QTest::newRow("slot 1") << 3 << "1"
                            << "C3";
    QTest::newRow("slot 3 empty: a code") << 2 << "3"
                                          << "3";
    QTest::newRow("03 is a code") << 3 << "03"
                                  << "03";
    QTest::newRow("10 is a code") << 3 << "10"
                                  << "10";
}

void TestDeskSession::historyNumbers()
{
    QFETCH(int, opened);
    QFETCH(QString, entry);
    QFETCH(QString, expected);
    DeskFixture f;
    for (const char* c : {"C1", "C2", "C3", "3", "03", "10"})
        f.shop.addGuest(c, QStringLiteral("客") + c);
    f.start();
    for (int i = 1; i <= opened; ++i) {
        f.desk->SubmitInput(QStringLiteral("C%1").arg(i));
        f.desk->ResetDesk();
    }
    f.desk->SubmitInput(entry);
    QCOMPARE(f.desk->guest().GuestCode, expected);
}

void TestDeskSession::eleventhCustomerPushesOldestOut()
{
    DeskFixture f;
    for (int i = 1; i <= 11; ++i)
        f.shop.addGuest(QStringLiteral("C%1").arg(i), QStringLiteral("N%1").arg(i));
    f.start();
    DeskSession& d = *f.desk;
    for (int i = 1; i <= 6; ++i) {
        d.SubmitInput(QStringLiteral("C%1").arg(i));
        d.ResetDesk();
    }
    QCOMPARE(d.labHistGuest(), QStringLiteral("1:N6  2:N5  3:N4  4:N3  5:N2  \n\r6:N1  "));
    d.SubmitInput(QStringLiteral("C3")); // again: moves to slot 1, once
    d.ResetDesk();
    QCOMPARE(d.labHistGuest(), QStringLiteral("1:N3  2:N6  3:N5  4:N4  5:N2  \n\r6:N1  "));
    for (int i = 7; i <= 11; ++i) {
        d.SubmitInput(QStringLiteral("C%1").arg(i));
        d.ResetDesk();
    }
    QCOMPARE(d.history()[0].code, QStringLiteral("C11"));
    QCOMPARE(d.history()[9].code, QStringLiteral("C2"));
    for (const auto& slot : d.history())
        QVERIFY(slot.code != QLatin1String("C1"));
}

void TestDeskSession::password_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("admitted");
    QTest::addColumn<int>("errors");
    QTest::newRow("right") << QStringList{"pw"} << true << 0;
    QTest::newRow("wrong then right") << QStringList{"x", "pw"} << true << 1;
    QTest::newRow("wrong three times") << QStringList{"x", "PW", "y"} << false << 3;
    QTest::newRow("cancelled") << QStringList{"Cancel"} << false << 0;
    QTest::newRow("wrong then cancelled") << QStringList{"x", "Cancel"} << false << 1;
}

void TestDeskSession::password()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, admitted);
    QFETCH(int, errors);
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.db().exec("UPDATE Guest SET pwdUse = 1, Password = 'pw' WHERE GuestCode = 'G1'");
    f.start();
    for (const QString& a : answers)
        f.shop.prompts.setNextPassword(a);
    f.desk->SubmitInput(QStringLiteral("G1"));
    QCOMPARE(f.desk->mode(), admitted ? int(DeskSession::ModeCustomer) : int(DeskSession::ModeWaiting));
    QCOMPARE(f.shop.prompts.passwordsAsked(), int(answers.size()));
    QCOMPARE(int(f.shop.prompts.texts().count(QStringLiteral("密碼錯誤！"))), errors);
    QCOMPARE(int(f.shop.prompts.shown().size()), errors); // no further message on refusal
    if (errors)
        QCOMPARE(f.shop.prompts.shown().first().caption, QStringLiteral("Password Error!"));
    QCOMPARE(f.desk->history()[0].code.isEmpty(), !admitted);
}

void TestDeskSession::bookOnLoanOpensItsCustomer()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addBook("B2", QStringLiteral("火影"), 102);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.shop.addLoan("G1", "B2", 3, 1);
    f.shop.db().exec("INSERT INTO SubBook (BookCode, GuestCode, SubEnd) VALUES ('B2', 'X', 0)");
    f.start();
    f.desk->SubmitInput(QStringLiteral("b1"));
    QCOMPARE(f.desk->guest().GuestCode, QStringLiteral("G1"));
    QCOMPARE(f.state("B1"), int(Returned));
    QCOMPARE(f.state("B2"), int(Due));
    QCOMPARE(f.desk->lab2BackBook(), QStringLiteral("1"));
    QCOMPARE(f.desk->lab3NotRent(), QStringLiteral("1"));
    QVERIFY(f.shop.prompts.shown().isEmpty());

    f.desk->ResetDesk();
    f.desk->SubmitInput(QStringLiteral("B2"));
    QCOMPARE(f.state("B2"), int(Returned));
    QCOMPARE(f.shop.prompts.last().text, QStringLiteral("B2有被預約！"));
    QCOMPARE(f.shop.prompts.last().caption, QStringLiteral("被預約"));
    QCOMPARE(f.shop.prompts.last().kind, QStringLiteral("Inf"));
}

void TestDeskSession::bookOnLoanToSeveralCustomers()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("甲"));
    f.shop.addGuest("G2", QStringLiteral("乙"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5, 2);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.shop.addLoan("G2", "B1", 3, 1);
    f.start();
    DeskSession& d = *f.desk;

    d.SubmitInput(QStringLiteral("B1")); // no chooser set: the first
    QCOMPARE(d.guest().GuestCode, QStringLiteral("G1"));
    d.ResetDesk();

    int offered = 0;
    d.setChooseGuest([&](Dataset& guests) {
        offered = guests.recordCount();
        return guests.locate(QStringLiteral("GuestCode"), QStringLiteral("G2"));
    });
    d.SubmitInput(QStringLiteral("B1"));
    QCOMPARE(offered, 2);
    QCOMPARE(d.guest().GuestCode, QStringLiteral("G2"));
    QCOMPARE(f.state("B1"), int(Returned));
    d.ResetDesk();

    d.setChooseGuest([](Dataset&) { return false; });
    d.SubmitInput(QStringLiteral("B1"));
    QCOMPARE(d.mode(), int(DeskSession::ModeWaiting));
    QVERIFY(!d.customerOpen());
}

void TestDeskSession::modeCycle()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.start();
    DeskSession& d = *f.desk;
    const QList<int> expected{4, 5, 0, 4, 5};
    const QStringList names{"『內閱』", "『金額』", "『一般』", "『內閱』", "『金額』"};
    for (int i = 0; i < expected.size(); ++i) {
        d.Action4();
        QCOMPARE(d.mode(), expected[i]);
        QCOMPARE(d.panelText(2), names[i]);
        QCOMPARE(d.labH1(), DeskSession::modePrompt(expected[i]));
    }
    d.ResetDesk();
    d.SubmitInput(QStringLiteral("G1"));
    d.Action4();
    QCOMPARE(d.mode(), int(DeskSession::ModeMemberReading));
    QCOMPARE(d.labH1(), QStringLiteral("內閱的書本條碼號："));
    QVERIFY(d.customerOpen()); // stepping keeps the customer and the lines
    d.Action4();
    QCOMPARE(d.mode(), int(DeskSession::ModeCustomer));
    QCOMPARE(d.labH1(), QStringLiteral("書本條碼號："));
}

// The fixture: B1 out for 5 days, due 2 days ago (fee 10, fine 5 a day, the
// loan priced 12), B2 rented today at 09:00 (fee 8), N1 in the catalogue (fee 15).
void TestDeskSession::transitions_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QList<int>>("states"); // B1, B2, N1 (0: no line)
    QTest::addColumn<int>("rent");
    QTest::addColumn<int>("over");
    QTest::addColumn<QStringList>("counters"); // 租書, 還書, 未還

    using L = QList<int>;
    using S = QStringList;
    QTest::newRow("return") << S{"scan B1"} << L{8, 5, 0} << 0 << 10 << S{"0", "1", "1"};
    QTest::newRow("return, scanned again") << S{"scan B1", "scan B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("return, space") << S{"scan B1", "space B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("return all") << S{"scan *"} << L{8, 8, 0} << 0 << 10 << S{"0", "2", "0"};
    QTest::newRow("renew") << S{"f6 B1"} << L{3, 5, 0} << 10 << 10 << S{"0", "0", "2"};
    QTest::newRow("renew twice") << S{"f6 B1", "f6 B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("renew rented today") << S{"f6 B2"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("compensate") << S{"f9 B1"} << L{2, 5, 0} << 12 << 10 << S{"0", "0", "2"};
    QTest::newRow("compensate twice") << S{"f9 B1", "f9 B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("space on a due line") << S{"space B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("rent") << S{"scan N1"} << L{5, 5, 6} << 15 << 0 << S{"1", "0", "2"};
    QTest::newRow("rent, scanned again") << S{"scan N1", "scan n1"} << L{5, 5, 6} << 15 << 0 << S{"1", "0", "2"};
    QTest::newRow("withdraw") << S{"scan N1", "space N1"} << L{5, 5, 7} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("withdraw, space") << S{"scan N1", "space N1", "space N1"} << L{5, 5, 6} << 15 << 0
                                     << S{"1", "0", "2"};
    QTest::newRow("withdraw, scanned again")
        << S{"scan N1", "space N1", "scan N1"} << L{5, 5, 6} << 15 << 0 << S{"1", "0", "2"};
    QTest::newRow("renew or compensate a rental")
        << S{"scan N1", "f6 N1", "f9 N1"} << L{5, 5, 6} << 15 << 0 << S{"1", "0", "2"};
    QTest::newRow("renewed, space") << S{"f6 B1", "space B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("renewed, scanned") << S{"f6 B1", "scan B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("compensated, scanned") << S{"f9 B1", "scan B1"} << L{5, 5, 0} << 0 << 0 << S{"0", "0", "2"};
    QTest::newRow("returned, renewed") << S{"scan B1", "f6 B1"} << L{3, 5, 0} << 10 << 10 << S{"0", "0", "2"};
    QTest::newRow("returned, compensated") << S{"scan B1", "f9 B1"} << L{2, 5, 0} << 12 << 10 << S{"0", "0", "2"};
    QTest::newRow("renewed, compensated") << S{"f6 B1", "f9 B1"} << L{2, 5, 0} << 12 << 10 << S{"0", "0", "2"};
    QTest::newRow("compensated, renewed") << S{"f9 B1", "f6 B1"} << L{3, 5, 0} << 10 << 10 << S{"0", "0", "2"};
    QTest::newRow("return all keeps other states")
        << S{"f6 B1", "scan N1", "scan *"} << L{3, 8, 6} << 25 << 10 << S{"1", "1", "1"};
}

void TestDeskSession::transitions()
{
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, states);
    QFETCH(int, rent);
    QFETCH(int, over);
    QFETCH(QStringList, counters);
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 500);
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
    f.shop.addBook("B2", QStringLiteral("火影"), 102, 8, 5);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 15, 5);
    f.shop.addLoan("G1", "B1", 5, -2, 12);
    f.shop.db().exec("INSERT INTO Rent_Back (Guest_CODE, Book_Code, RDate, IDate, New, piece, flgRet, InStudy, Bstate) "
                     "VALUES ('G1', 'B2', '2026-03-10 09:00:00', '2026-03-12 00:00:00', '否', 10, 0, 0, 'RetB')");
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    for (const QString& key : keys) {
        const QString op = key.section(QLatin1Char(' '), 0, 0);
        const QString code = key.section(QLatin1Char(' '), 1);
        if (op == QLatin1String("scan"))
            d.SubmitInput(code);
        else if (op == QLatin1String("space"))
            d.ToggleLine(f.line(code));
        else if (op == QLatin1String("f6"))
            d.Action6(f.line(code));
        else if (op == QLatin1String("f9"))
            d.Action9(f.line(code));
    }
    QCOMPARE((QList<int>{f.state("B1"), f.state("B2"), f.state("N1")}), states);
    QCOMPARE(d.guest().RentTotal, rent);
    QCOMPARE(d.guest().OverTotal, over);
    QCOMPARE((QStringList{d.lab1RentBook(), d.lab2BackBook(), d.lab3NotRent()}), counters);
    QCOMPARE(d.lab9BalMon(), QString::number(500 - rent - over));
    QVERIFY(f.shop.prompts.shown().isEmpty());
    // What the desk showed is what the settlement charges.
    f.settleChecked();
}

void TestDeskSession::rowsShowStateColourAndRemark()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addBook("B2", QStringLiteral("火影"), 102);
    f.shop.addBook("N1", QStringLiteral("三國"), 201);
    f.shop.addBook("N2", QStringLiteral("水滸"), 202);
    f.shop.addLoan("G1", "B1", 5, -3);
    f.shop.addLoan("G1", "B2", 4, 1);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("B1"));
    d.Action6(f.line("B2"));
    d.SubmitInput(QStringLiteral("N2")); // rented first though later in title order
    d.SubmitInput(QStringLiteral("N1"));
    d.ToggleLine(f.line("N2"));
    Dataset& q = d.qryBook();
    QCOMPARE(q.recordCount(), 4);
    struct Row {
        QString code, state, remark;
        int colour;
    };
    const QList<Row> expected{{"B1", "還書", "逾期 3天", 0xC0DCC0},
                              {"B2", "續租", "", 0x0080FF},
                              {"N1", "", "", 0xA6CAF0},
                              {"N2", "", "<<放棄>>", kColourButtonShadow}};
    for (const Row& e : expected) {
        const int r = f.line(e.code);
        QVERIFY(r > 0);
        // The list follows the grid: row r shows line r.
        QCOMPARE(q.valueAt(r, q.fieldIndex("Book_Code")).toString(), e.code);
        QCOMPARE(q.valueAt(r, q.fieldIndex("State")).toString(), e.state);
        QCOMPARE(q.valueAt(r, q.fieldIndex("PS")).toString(), e.remark);
        QCOMPARE(d.rowColour(r), e.colour);
    }
    QVERIFY(d.remarkIsRed(f.line("B1")));
    QCOMPARE(q.valueAt(1, q.fieldIndex("RDate2")).toDate(), QDate(2026, 3, 5));
}

void TestDeskSession::limitPerCategory()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 0, 5);
    for (int i = 1; i <= 7; ++i)
        f.shop.addBook(QStringLiteral("C%1").arg(i), QStringLiteral("漫%1").arg(i), 101);
    f.shop.addBook("F1", QStringLiteral("小說"), 201);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    for (int i = 1; i <= 5; ++i)
        d.SubmitInput(QStringLiteral("C%1").arg(i));
    QCOMPARE(d.lab1RentBook(), QStringLiteral("5"));
    QVERIFY(f.shop.prompts.shown().isEmpty());

    d.SubmitInput(QStringLiteral("C6"));
    QCOMPARE(f.shop.prompts.last().text, QStringLiteral("超出可借本數！"));
    QCOMPARE(f.shop.prompts.last().caption, QStringLiteral("超過！"));
    QCOMPARE(f.line("C6"), 0);
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'C6'"), 0);
    d.SubmitInput(QStringLiteral("F1")); // another category has its own limit
    QCOMPARE(f.state("F1"), int(NewRental));

    d.ToggleLine(f.line("C2")); // withdrawn: makes room
    QCOMPARE(TDMMain::CountOf(d.counts(), 1), 4);
    d.SubmitInput(QStringLiteral("C6"));
    QCOMPARE(f.state("C6"), int(NewRental));
    f.shop.prompts.clear();
    d.ToggleLine(f.line("C2")); // taking the withdrawn one up again would be a sixth
    QCOMPARE(f.shop.prompts.last().text, QStringLiteral("超出可借本數！"));
    QCOMPARE(f.state("C2"), int(Withdrawn));
    QCOMPARE(d.guest().RentTotal, 60);
}

namespace {
void setRules(TestShop& shop, const QList<QList<int>>& rules) // class, from, to, days
{
    shop.db().exec("DELETE FROM CustBookDay");
    for (const QList<int>& r : rules)
        shop.db().exec("INSERT INTO CustBookDay (ClassNum, RetBookStart, RetBookEnd, BookDay) VALUES (:c, :s, :e, :d)",
                       {{"c", r[0]}, {"s", r[1]}, {"e", r[2]}, {"d", r[3]}});
}
QDate storedDue(TestShop& shop, const QString& book)
{
    return dbDate(shop.scalar("SELECT IDate FROM Rent_Back WHERE Book_Code = :b ORDER BY idno DESC", {{"b", book}}));
}
} // namespace

void TestDeskSession::dueDatesByCategoryAndCount()
{
    DeskFixture f;
    setRules(f.shop, {{1, 1, 3, 2}, {1, 4, 10, 3}, {2, 1, 99, 5}});
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addGuest("G2", QStringLiteral("李"));
    for (int i = 1; i <= 4; ++i)
        f.shop.addBook(QStringLiteral("C%1").arg(i), QStringLiteral("漫%1").arg(i), 101);
    f.shop.addBook("F1", QStringLiteral("小說"), 201);
    f.shop.addBook("OLD", QStringLiteral("舊"), 101);
    f.shop.addLoan("G1", "OLD", 3, 4);
    f.shop.addLoan("G2", "OLD", 3, 4);
    f.start();
    DeskSession& d = *f.desk;
    const QDate today(2026, 3, 10);
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("C1"));
    d.SubmitInput(QStringLiteral("F1"));
    d.SubmitInput(QStringLiteral("C2"));
    QCOMPARE(storedDue(f.shop, "C1"), today.addDays(2));
    QCOMPARE(storedDue(f.shop, "C2"), today.addDays(2));
    QCOMPARE(storedDue(f.shop, "F1"), today.addDays(5));
    d.SubmitInput(QStringLiteral("C3"));
    d.SubmitInput(QStringLiteral("C4")); // the fourth comic: every comic due in 3 days
    for (const char* c : {"C1", "C2", "C3", "C4"}) {
        QCOMPARE(storedDue(f.shop, c), today.addDays(3));
        QCOMPARE(d.lines()[size_t(f.line(c))].IDate, today.addDays(3));
    }
    QCOMPARE(storedDue(f.shop, "F1"), today.addDays(5)); // its own category's period
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'OLD' AND IDate = '2026-03-14 00:00:00'"), 2);
    QVERIFY(f.shop.prompts.shown().isEmpty());
}

void TestDeskSession::dueDateFallbackAndMissingRule()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("M1", QStringLiteral("雜誌"), 301);
    f.shop.addBook("M2", QStringLiteral("雜誌二"), 302);
    f.shop.addBook("M3", QStringLiteral("雜誌三"), 303);
    f.start();
    DeskSession& d = *f.desk;
    const QDate today(2026, 3, 10);

    setRules(f.shop, {{2, 1, 9, 5}, {1, 1, 1, 2}}); // no magazine rules: comics' band first, then fiction's
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("M1"));
    QCOMPARE(storedDue(f.shop, "M1"), today.addDays(2));
    d.SubmitInput(QStringLiteral("M2"));
    QCOMPARE(storedDue(f.shop, "M1"), today.addDays(5));
    QCOMPARE(storedDue(f.shop, "M2"), today.addDays(5));
    QVERIFY(f.shop.prompts.shown().isEmpty());

    setRules(f.shop, {{2, 1, 2, 5}}); // nothing covers three
    d.SubmitInput(QStringLiteral("M3"));
    QCOMPARE(f.shop.prompts.last().text, QStringLiteral("找不到該類別可借天數\n\r請至[可借天數設定]"));
    QCOMPARE(f.shop.prompts.last().caption, QStringLiteral("錯誤！"));
    QCOMPARE(f.shop.prompts.last().kind, QStringLiteral("Err"));
    QCOMPARE(f.state("M3"), int(NewRental)); // the rental stays, due in six days
    QCOMPARE(storedDue(f.shop, "M3"), today.addDays(6));
    QCOMPARE(storedDue(f.shop, "M1"), today.addDays(5));
    QCOMPARE(d.guest().RentTotal, 30);
}

void TestDeskSession::fines_data()
{
    QTest::addColumn<int>("dueIn");
    QTest::addColumn<int>("overDays");
    QTest::addColumn<int>("fine");
    QTest::addColumn<QString>("remark");
    QTest::newRow("due yesterday") << -1 << 1 << 5 << "逾期 1天";
    QTest::newRow("due today") << 0 << 0 << 0 << "";
    QTest::newRow("due tomorrow") << 1 << -1 << 0 << "";
    QTest::newRow("three days late") << -3 << 3 << 15 << "逾期 3天";
}

void TestDeskSession::fines()
{
    QFETCH(int, dueIn);
    QFETCH(int, overDays);
    QFETCH(int, fine);
    QFETCH(QString, remark);
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101, 10, 5);
    f.shop.addLoan("G1", "B1", 5, dueIn);
    f.start();
    f.desk->SubmitInput(QStringLiteral("G1"));
    const TBook& l = f.desk->lines()[1];
    QCOMPARE(int(l.OverDays), overDays);
    QCOMPARE(DeskRules::Fine(l, QDate(2026, 3, 10)), fine);
    Dataset& q = f.desk->qryBook();
    QCOMPARE(q.valueAt(1, q.fieldIndex("PS")).toString(), remark);
    f.desk->SubmitInput(QStringLiteral("B1"));
    QCOMPARE(f.desk->guest().OverTotal, fine);
    QCOMPARE(f.desk->lab6Over(), QString::number(fine));
}

void TestDeskSession::resetRemovesOnlyTheVisitsRentals()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addBook("N1", QStringLiteral("三國"), 201);
    f.shop.addBook("N2", QStringLiteral("水滸"), 202);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.start();
    const QString before = f.dump();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    d.SubmitInput(QStringLiteral("N2"));
    d.ToggleLine(f.line("N2"));
    QCOMPARE(f.shop.count("Rent_Back", "Bstate = 'Ret'"), 2); // written at once
    f.shop.addGuest("G9", QStringLiteral("新客"));            // another window saves meanwhile
    d.ResetDesk();
    QCOMPARE(f.shop.count("Rent_Back", "Bstate = 'Ret'"), 0);
    QCOMPARE(f.shop.count("Guest", "GuestCode = 'G9'"), 1);
    f.shop.db().exec("DELETE FROM Guest WHERE GuestCode = 'G9'");
    QCOMPARE(f.dump(), before);
}

void TestDeskSession::leftoverPendingRowsRemovedAtStart()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addLoan("G1", "B1", 0, 6, 10, QStringLiteral("Ret"));
    f.shop.addLoan("G1", "B1", 3, 1);
    f.start();
    QCOMPARE(f.shop.count("Rent_Back", "Bstate = 'Ret'"), 0);
    QCOMPARE(f.shop.count("Rent_Back"), 1);
    QCOMPARE(f.shop.count("DayCost", "DayDate = '2026-03-10 00:00:00'"), 1);
    {
        DeskSession second(f.shop.db()); // today's row is made once
        QCOMPARE(f.shop.count("DayCost"), 1);
        second.SubmitInput(QStringLiteral("G1"));
        second.SubmitInput(QStringLiteral("B1"));
        f.shop.addBook("N1", QStringLiteral("三國"), 201);
        second.SubmitInput(QStringLiteral("N1"));
        QCOMPARE(f.shop.count("Rent_Back", "Bstate = 'Ret'"), 1);
    } // the desk closes mid-visit: its pending rental goes with it
    QCOMPARE(f.shop.count("Rent_Back", "Bstate = 'Ret'"), 0);
    QCOMPARE(f.shop.count("Rent_Back"), 1);
}

void TestDeskSession::reservedBook()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addBook("B2", QStringLiteral("火影"), 102);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.shop.addLoan("G1", "B2", 6, -2);
    f.shop.db().exec("INSERT INTO SubBook (BookCode, GuestCode, SubEnd) VALUES ('b1', 'X', 1), ('B2', 'X', 0)");
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    Dataset& q = d.qryBook();
    const int r1 = f.line("B1"), r2 = f.line("B2");
    QCOMPARE(int(d.lines()[size_t(r1)].Reserved), 2);
    QCOMPARE(q.valueAt(r1, q.fieldIndex("PS")).toString(), QStringLiteral("被預約"));
    QCOMPARE(q.valueAt(r2, q.fieldIndex("PS")).toString(), QStringLiteral("逾期 2天")); // overdue shows first
    d.SubmitInput(QStringLiteral("B1"));
    QCOMPARE(d.panelText(0), QStringLiteral("『此書有被預約!...』"));
    QCOMPARE(f.state("B1"), int(Returned));
}

void TestDeskSession::paymentDuringVisitShowsNewBalance()
{
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"), 100);
    f.shop.addBook("N1", QStringLiteral("三國"), 201, 15);
    f.start();
    DeskSession& d = *f.desk;
    d.SubmitInput(QStringLiteral("G1"));
    d.SubmitInput(QStringLiteral("N1"));
    QCOMPARE(d.lab9BalMon(), QStringLiteral("85"));
    QSignalSpy changed(&d, &DeskSession::changed);
    f.shop.db().exec("UPDATE Guest SET Leave_Mon = 600 WHERE GuestCode = 'G1'");
    d.qryGuest().open(); // what the payment window does after a payment
    QCOMPARE(changed.count(), 1);
    QCOMPARE(d.lab9BalMon(), QStringLiteral("585"));
    QCOMPARE(d.guest().RentTotal, 15);
    QCOMPARE(d.qryGuest().number("Leave_Mon"), 600.0);
}

void TestDeskSession::badEntriesChangeNothing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message"); // box text, or the panel-0 text in mode 0 and 3
    const QString longEntry(5000, QLatin1Char('9'));
    const QString quotes = QStringLiteral("B1' OR '1'='1");
    const QString sql = QStringLiteral("'; DELETE FROM Rent_Back; --");
    const QString notWhole = QStringLiteral("內閱金額輸入錯誤！");
    const QString tooLarge = QStringLiteral("內閱金額輸入錯誤！\n金額必須在 -32768 至 32767 之間。");
    for (const QString& e : {QStringLiteral("NOPE"), longEntry, quotes, sql, QStringLiteral("B%")}) {
        const QString tag = e.left(12);
        QTest::newRow(qPrintable("mode 0: " + tag)) << 0 << e << "無此筆資料！！";
        QTest::newRow(qPrintable("mode 3: " + tag)) << 3 << e << "查無此書！";
        QTest::newRow(qPrintable("mode 4: " + tag)) << 4 << e << "查無此書！";
        QTest::newRow(qPrintable("mode 5: " + tag)) << 5 << e << (e == longEntry ? tooLarge : notWhole);
        QTest::newRow(qPrintable("mode 6: " + tag)) << 6 << e << "查無此書！";
    }
    QTest::newRow("mode 6: a prefix") << 6 << "B"
                                      << "查無此書！";
    QTest::newRow("mode 5: too large") << 5 << "40000" << tooLarge;
    QTest::newRow("mode 5: a fraction") << 5 << "3.5" << notWhole;
}

void TestDeskSession::badEntriesChangeNothing()
{
    QFETCH(int, mode);
    QFETCH(QString, entry);
    QFETCH(QString, message);
    DeskFixture f;
    f.shop.addGuest("G1", QStringLiteral("王"));
    f.shop.addBook("B1", QStringLiteral("海賊"), 101);
    f.shop.addLoan("G1", "B1", 3, 1);
    f.start();
    DeskSession& d = *f.desk;
    if (mode == 3 || mode == 6)
        d.SubmitInput(QStringLiteral("G1"));
    while (d.mode() != mode)
        d.Action4();
    const QString before = f.dump();
    const int lines = int(d.lines().size());
    d.SubmitInput(entry);
    QCOMPARE(d.mode(), mode);
    QCOMPARE(f.dump(), before);
    QCOMPARE(int(d.lines().size()), lines);
    if (mode == 0 || mode == 3) {
        QCOMPARE(d.panelText(0), message);
        QVERIFY(f.shop.prompts.shown().isEmpty());
    } else {
        QCOMPARE(f.shop.prompts.texts(), QStringList{message});
        QVERIFY(f.shop.prompts.last().kind == QLatin1String("Waning"));
    }
}

QTEST_GUILESS_MAIN(TestDeskSession)
#include "test_session.moc"
