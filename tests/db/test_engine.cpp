// The engine layer: parameters, scrolling, dataset editing with its hooks,
// transactions, errors and the SQL functions that follow the clock.
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Dataset.h"
#include "support/TestShop.h"

#include <QTest>

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void parametersOfEveryKind();
    void missingParameterIsAnError();
    void scrollingAndRecordNumbers();
    void hooksRunInOrder();
    void abortInBeforePostKeepsTheEdit();
    void deleteAndRefreshKeepPosition();
    void rollbackLeavesNothing();
    void engineErrorCarriesItsText();
    void sqlFunctions_data();
    void sqlFunctions();
    void clockFunctionsFollowTheClock();
    void locateInALargeTable();
};

void TestEngine::parametersOfEveryKind()
{
    TestShop shop;
    Database& d = shop.db();
    d.execScript("CREATE TABLE t (s TEXT, i INTEGER, r REAL, dt TEXT, n TEXT, b INTEGER)");
    d.exec("INSERT INTO t VALUES (:S, :i, :R, :dt, :n, :b)",
           {{"s", QStringLiteral("它's \"x\"; DROP TABLE t;--")},
            {"I", 2147483648LL},
            {"r", 2.5},
            {"DT", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))},
            {"n", QVariant()},
            {"b", true}});
    d.exec("INSERT INTO t (dt) VALUES (:d)", {{"d", QDate(2026, 1, 2)}});

    Dataset q(d);
    q.setSql("SELECT * FROM t ORDER BY rowid");
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.text("S"), QStringLiteral("它's \"x\"; DROP TABLE t;--"));
    QCOMPARE(q.integer("i"), 2147483648LL);
    QCOMPARE(q.number("r"), 2.5);
    QCOMPARE(q.text("dt"), QStringLiteral("2026-01-02 03:04:05"));
    QCOMPARE(q.dateTime("dt"), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY(q.isNull("n"));
    QCOMPARE(q.integer("b"), 1);
    q.next();
    QCOMPARE(q.text("dt"), QStringLiteral("2026-01-02 00:00:00"));
}

void TestEngine::missingParameterIsAnError()
{
    TestShop shop;
    try {
        shop.db().exec("SELECT :here, :absent", {{"here", 1}});
        QFAIL("no error");
    } catch (const DbError& e) {
        QVERIFY(e.text().contains("absent"));
    }
}

void TestEngine::scrollingAndRecordNumbers()
{
    TestShop shop;
    for (int i = 1; i <= 4; ++i)
        shop.addGuest(QStringLiteral("G%1").arg(i), QStringLiteral("客%1").arg(i));
    Dataset q(shop.db());
    q.setSql("SELECT GuestCode, Name FROM Guest WHERE GuestCode <> 'A001' ORDER BY GuestCode");
    q.open();
    QCOMPARE(q.recordCount(), 4);
    QCOMPARE(q.recNo(), 1);
    QVERIFY(q.bof());
    QStringList seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.text("guestcode");
    QCOMPARE(seen, QStringList({"G1", "G2", "G3", "G4"}));
    QCOMPARE(q.recNo(), 4);
    q.prior();
    QCOMPARE(q.text("NAME"), QStringLiteral("客3"));
    QVERIFY(q.locate("GuestCode", "g2"));
    QCOMPARE(q.recNo(), 2);
    QVERIFY(!q.locate("GuestCode", "G9"));
    QCOMPARE(q.recNo(), 2);

    q.setSql("SELECT * FROM Guest WHERE GuestCode = 'none'");
    q.open();
    QVERIFY(q.isEmpty());
    QCOMPARE(q.recNo(), 0);
    QVERIFY(q.eof() && q.bof());
}

void TestEngine::hooksRunInOrder()
{
    TestShop shop;
    Dataset t(shop.db());
    t.setTable("ClassBook", QString(), "ClassNum");
    QStringList log;
    t.beforeInsert = [&](Dataset&) { log << "beforeInsert"; };
    t.afterInsert = [&](Dataset& ds) {
        log << "afterInsert";
        ds.setValue("ClassName", "預設");
    };
    t.beforePost = [&](Dataset&) { log << "beforePost"; };
    t.afterPost = [&](Dataset&) { log << "afterPost"; };
    t.beforeScroll = [&](Dataset&) { log << "beforeScroll"; };
    t.afterScroll = [&](Dataset&) { log << "afterScroll"; };
    t.beforeDelete = [&](Dataset&) { log << "beforeDelete"; };
    t.addCalcField("Label");
    t.onCalcField = [](const Dataset& ds, int recNo, const QString&) {
        return QStringLiteral("#%1 %2").arg(recNo).arg(ds.valueAt(recNo, ds.fieldIndex("ClassNum")).toInt());
    };
    t.open();
    QCOMPARE(log, QStringList({"afterScroll"}));
    QCOMPARE(t.recordCount(), 5);
    QCOMPARE(t.text("Label"), QStringLiteral("#1 1"));

    log.clear();
    t.append();
    QCOMPARE(t.state(), Dataset::State::Insert);
    QCOMPARE(t.recNo(), -1);
    t.setValue("ClassNum", 6);
    t.post();
    QCOMPARE(log, QStringList({"beforeInsert", "afterInsert", "beforePost", "afterPost"}));
    QCOMPARE(t.state(), Dataset::State::Browse);
    QCOMPARE(t.recNo(), 6);
    QCOMPARE(shop.scalar("SELECT ClassName FROM ClassBook WHERE ClassNum = 6").toString(), QStringLiteral("預設"));

    log.clear();
    t.edit();
    t.setValue("ClassName", "其他");
    t.first(); // a move posts the pending edit
    QCOMPARE(log, QStringList({"beforePost", "afterPost", "beforeScroll", "afterScroll"}));
    QCOMPARE(shop.scalar("SELECT ClassName FROM ClassBook WHERE ClassNum = 6").toString(), QStringLiteral("其他"));
}

void TestEngine::abortInBeforePostKeepsTheEdit()
{
    TestShop shop;
    Dataset t(shop.db());
    t.setTable("ClassBook");
    t.beforePost = [](Dataset& ds) {
        if (ds.text("ClassName").isEmpty())
            throw Abort();
    };
    t.open();
    t.append();
    t.setValue("ClassNum", 7);
    QVERIFY_THROWS_EXCEPTION(Abort, t.post());
    QCOMPARE(t.state(), Dataset::State::Insert);
    QCOMPARE(shop.count("ClassBook", "ClassNum = 7"), 0);
    t.setValue("ClassName", "七");
    t.post();
    QCOMPARE(shop.count("ClassBook", "ClassNum = 7"), 1);

    // A value the schema refuses leaves the row in edit with what was typed.
    t.edit();
    t.setValue("ClassName", QString(300, QChar(u'字')));
    QVERIFY_THROWS_EXCEPTION(DbError, t.post());
    QVERIFY(t.isEditing());
    QCOMPARE(t.text("ClassName").size(), 300);
    t.cancel();
    QCOMPARE(t.text("ClassName"), QStringLiteral("七"));
}

void TestEngine::deleteAndRefreshKeepPosition()
{
    TestShop shop;
    Dataset t(shop.db());
    t.setTable("ClassBook", "ClassNum <= :top", "ClassNum");
    t.setParam("top", 5);
    bool refuse = true;
    t.beforeDelete = [&](Dataset&) {
        if (refuse)
            throw Abort();
    };
    t.open();
    t.moveTo(3);
    QVERIFY_THROWS_EXCEPTION(Abort, t.remove());
    QCOMPARE(t.recordCount(), 5);
    refuse = false;
    t.remove();
    QCOMPARE(t.recordCount(), 4);
    QCOMPARE(t.integer("ClassNum"), 4);
    shop.db().exec("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (0, 'zero')");
    t.refresh();
    QCOMPARE(t.recordCount(), 5);
    QCOMPARE(t.integer("ClassNum"), 4); // still on the same row
    QCOMPARE(t.recNo(), 4);
}

void TestEngine::rollbackLeavesNothing()
{
    TestShop shop;
    Database& d = shop.db();
    {
        Transaction outer(d);
        d.exec("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (8, 'a')");
        {
            Transaction inner(d);
            d.exec("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (9, 'b')");
        } // inner rolled back alone
        QCOMPARE(shop.count("ClassBook", "ClassNum IN (8, 9)"), 1);
    } // outer rolled back
    QCOMPARE(shop.count("ClassBook", "ClassNum IN (8, 9)"), 0);
    QVERIFY(!d.inTransaction());

    // The engine may give up a whole transaction by itself (a full disk): the guards then
    // unwind without errors and the next transaction starts cleanly.
    {
        Transaction outer(d);
        Transaction inner(d);
        d.exec("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (8, 'a')");
        d.execScript("ROLLBACK");
        QVERIFY(d.transactionLost());
    }
    QVERIFY(!d.inTransaction() && !d.transactionLost());
    {
        Transaction tx(d);
        d.exec("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (8, 'a')");
        tx.commit();
    }
    QCOMPARE(shop.count("ClassBook", "ClassNum = 8"), 1);
}

void TestEngine::engineErrorCarriesItsText()
{
    TestShop shop;
    try {
        shop.db().exec("SELECT * FROM NoSuchTable");
        QFAIL("no error");
    } catch (const DbError& e) {
        QVERIFY2(e.text().contains("no such table: NoSuchTable"), qPrintable(e.text()));
    }
    shop.db().failNextStatementContaining("ClassBook");
    QVERIFY_THROWS_EXCEPTION(DbError, shop.db().exec("DELETE FROM ClassBook"));
    QCOMPARE(shop.count("ClassBook"), 5); // the failure is used once
}

void TestEngine::sqlFunctions_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("half down to even") << "roundeven(0.5)" << QVariant(0LL);
    QTest::newRow("half up to even") << "roundeven(1.5)" << QVariant(2LL);
    QTest::newRow("two and a half") << "roundeven(2.5)" << QVariant(2LL);
    QTest::newRow("rate 1100/1000") << "roundeven(1100.0/1000*100)" << QVariant(110LL);
    QTest::newRow("negative half") << "roundeven(-2.5)" << QVariant(-2LL);
    QTest::newRow("null") << "roundeven(NULL)" << QVariant();
    QTest::newRow("add days") << "adddays('2026-02-27 18:30:00', 2)" << QVariant("2026-03-01 00:00:00");
    QTest::newRow("day of") << "dayof('2026-02-27 18:30:00')" << QVariant("2026-02-27 00:00:00");
}

void TestEngine::sqlFunctions()
{
    QFETCH(QString, expr);
    QFETCH(QVariant, expected);
    TestShop shop;
    const QVariant got = shop.scalar("SELECT " + expr);
    QCOMPARE(got.isNull(), expected.isNull());
    if (!expected.isNull())
        QCOMPARE(got.toString(), expected.toString());
}

void TestEngine::clockFunctionsFollowTheClock()
{
    TestShop shop(QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)));
    QCOMPARE(shop.scalar("SELECT now()").toString(), QStringLiteral("2025-12-31 23:59:58"));
    QCOMPARE(shop.scalar("SELECT today()").toString(), QStringLiteral("2025-12-31 00:00:00"));
    Clock::set(QDateTime(QDate(2026, 1, 1), QTime(0, 0, 1)));
    QCOMPARE(shop.scalar("SELECT adddays(today(), 6)").toString(), QStringLiteral("2026-01-07 00:00:00"));
    QCOMPARE(Clock::today(), QDate(2026, 1, 1));
}

void TestEngine::locateInALargeTable()
{
    TestShop shop;
    Database& d = shop.db();
    {
        Transaction tx(d);
        for (int i = 0; i < 200000; ++i)
            d.exec("INSERT INTO BookDetail (Code, Name, Class_Num) VALUES (:c, :n, 1)",
                   {{"c", QStringLiteral("B%1").arg(i, 6, 10, QChar('0'))}, {"n", QStringLiteral("書")}});
        tx.commit();
    }
    Dataset books(d);
    books.setTable("BookDetail", "nullify = 0");
    books.open();
    QCOMPARE(books.recordCount(), 200000);
    QVERIFY(books.locate("Code", "b199998"));
    QCOMPARE(books.recNo(), 199999);
    QCOMPARE(books.text("Code"), QStringLiteral("B199998"));
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
