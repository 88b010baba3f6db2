// The shop file: every table and column, values that do not fit refused with
// the column named, case-insensitive text, defaults, starter rows, and how an
// existing, foreign or locked file is treated.
#include "db/Schema.h"
#include "support/TestShop.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT
private slots:
    void everyTableAndColumn();
    void valuesThatDoNotFit_data();
    void valuesThatDoNotFit();
    void textComparesWithoutCase();
    void defaults();
    void starterRows();
    void reopeningChangesNothing();
    void foreignFilesAreRefusedAndUntouched_data();
    void foreignFilesAreRefusedAndUntouched();
    void lockedFileIsRefused();
};

void TestSchema::everyTableAndColumn()
{
    TestShop shop;
    QVERIFY(Schema::missing(shop.db()).isEmpty());
    // A few names as the statements spell them, in other letter cases.
    QCOMPARE(shop.scalar("SELECT COUNT(*) FROM bookdetail WHERE brrow_total = 0 AND retnum = 0").toInt(), 0);
    QCOMPARE(shop.scalar("SELECT COUNT(GuestCODE) FROM Guest WHERE guestcode = 'a001'").toInt(), 1);
    const QStringList tables = {"Guest",   "BookDetail",  "Rent_Back", "GuestCost", "DayCost",   "WorkClass", "Worker",
                                "ClassBook", "BookCost", "CustBookDay", "PayMoney", "SubBook", "GuestClassNum"};
    for (const QString& t : tables)
        QVERIFY2(Schema::table(t), qPrintable(t));
    QCOMPARE(int(Schema::tables().size()), tables.size());
}

void TestSchema::valuesThatDoNotFit_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("column"); // empty: the value fits
    QTest::newRow("customer code of 21") << "INSERT INTO Guest (GuestCode) VALUES ('" + QString(21, 'x') + "')"
                                         << "Guest.GuestCode";
    QTest::newRow("customer code of 20") << "INSERT INTO Guest (GuestCode) VALUES ('" + QString(20, 'x') + "')"
                                         << "";
    QTest::newRow("loan customer of 11") << "INSERT INTO Rent_Back (Guest_CODE) VALUES ('" + QString(11, 'x') + "')"
                                         << "Rent_Back.Guest_CODE";
    QTest::newRow("title of 41 Chinese") << "INSERT INTO BookDetail (Code, Name) VALUES ('c', '"
                                                + QString(41, QChar(u'書')) + "')"
                                         << "BookDetail.Name";
    QTest::newRow("title of 40 Chinese") << "INSERT INTO BookDetail (Code, Name) VALUES ('c', '"
                                                + QString(40, QChar(u'書')) + "')"
                                         << "";
    QTest::newRow("piece 32768") << "INSERT INTO Rent_Back (piece) VALUES (32768)" << "Rent_Back.piece";
    QTest::newRow("piece 32767") << "INSERT INTO Rent_Back (piece) VALUES (32767)" << "";
    QTest::newRow("cost -32769") << "INSERT INTO GuestCost (Cost) VALUES (-32769)" << "GuestCost.Cost";
    QTest::newRow("piece not whole") << "INSERT INTO GuestCost (piece) VALUES (1.5)" << "GuestCost.piece";
    QTest::newRow("piece as text") << "INSERT INTO GuestCost (piece) VALUES ('abc')" << "GuestCost.piece";
    QTest::newRow("long 2^31") << "INSERT INTO Guest (GuestCode, Tot_Cost) VALUES ('g', 2147483648)"
                               << "Guest.Tot_Cost";
    QTest::newRow("long -2^31") << "INSERT INTO Guest (GuestCode, Tot_Cost) VALUES ('g', -2147483648)" << "";
    QTest::newRow("date as a word") << "INSERT INTO Rent_Back (RDate) VALUES ('yesterday')" << "Rent_Back.RDate";
    QTest::newRow("yes/no of 2") << "INSERT INTO Rent_Back (flgRet) VALUES (2)" << "Rent_Back.flgRet";
    QTest::newRow("mode of 3") << "INSERT INTO GuestCost (Mode) VALUES ('DRX')" << "GuestCost.Mode";
}

void TestSchema::valuesThatDoNotFit()
{
    QFETCH(QString, sql);
    QFETCH(QString, column);
    TestShop shop;
    try {
        shop.db().exec(sql);
        QVERIFY2(column.isEmpty(), "the value was stored");
    } catch (const DbError& e) {
        QVERIFY2(!column.isEmpty() && e.text().contains(column + " "), qPrintable(e.text()));
    }
}

void TestSchema::textComparesWithoutCase()
{
    TestShop shop;
    shop.addGuest("ab01", "王小明");
    QCOMPARE(shop.count("Guest", "GuestCode = 'AB01'"), 1);
    QCOMPARE(shop.count("Guest", "GuestCode LIKE 'Ab%'"), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, shop.addGuest("AB01", "另一人")); // the key is unique without regard to case
    shop.addBook("x-1", "書", 1);
    QVERIFY_THROWS_EXCEPTION(DbError, shop.addBook("X-1", "書", 1));
}

void TestSchema::defaults()
{
    TestShop shop;
    shop.db().exec("INSERT INTO BookDetail (Code) VALUES ('b')");
    QCOMPARE(shop.scalar("SELECT RetNum || ',' || Brrow_Total || ',' || Sub_Day || ',' || nullify FROM BookDetail")
                 .toString(),
             QStringLiteral("0,0,0,0"));
    shop.db().exec("INSERT INTO Guest (GuestCode) VALUES ('g')");
    QCOMPARE(shop.scalar("SELECT Leave_Mon + Tot_Cost + RentNo + Pay_Num + pwdUse + IsClose FROM Guest "
                         "WHERE GuestCode = 'g'")
                 .toInt(),
             0);
    QVERIFY(shop.scalar("SELECT Last_Rent FROM Guest WHERE GuestCode = 'g'").isNull());
}

void TestSchema::starterRows()
{
    TestShop shop;
    QCOMPARE(shop.count("Guest", "GuestCode = 'A001'"), 1);
    QVERIFY(shop.cmd->KeyExists("Worker", "CODE", "6475"));
    QCOMPARE(shop.scalar("SELECT Name FROM Worker WHERE CODE = '6475'").toString(), QStringLiteral("程 小九"));
    QCOMPARE(shop.scalar("SELECT group_concat(ClassName, ',') FROM (SELECT ClassName FROM ClassBook "
                         "ORDER BY ClassNum)")
                 .toString(),
             QStringLiteral("漫畫,小說,雜誌,CD,其它"));
    for (int category : {1, 2})
        for (int n = 1; n <= 99; ++n)
            QVERIFY(shop.count("CustBookDay", "ClassNum = :c AND RetBookStart <= :n AND RetBookEnd >= :n",
                               {{"c", category}, {"n", n}})
                    == 1);
    QVERIFY(shop.count("PayMoney") >= 2);
}

void TestSchema::reopeningChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("BookDB.mdb");
    Schema::Opened how;
    Schema::openShop(path, &how).reset();
    QCOMPARE(how, Schema::Opened::Created);
    const QByteArray before = bytesOf(path);
    Schema::openShop(path, &how).reset();
    QCOMPARE(how, Schema::Opened::Existing);
    QCOMPARE(bytesOf(path), before);
}

void TestSchema::foreignFilesAreRefusedAndUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("another database") << "sqlite";
}

void TestSchema::foreignFilesAreRefusedAndUntouched()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath("BookDB.mdb");
    if (kind == "sqlite") {
        Database other(path, Database::Open::CreateIfMissing);
        other.execScript("CREATE TABLE Guest (x); INSERT INTO Guest VALUES (1);");
    } else {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        if (kind == "text")
            f.write("這不是資料庫\n");
    }
    const QByteArray before = bytesOf(path);
    try {
        Schema::openShop(path);
        QFAIL("a foreign file was opened");
    } catch (const DbError& e) {
        QVERIFY2(e.text().contains(path), qPrintable(e.text()));
    }
    QCOMPARE(bytesOf(path), before);
    QVERIFY(!QFile::exists(path + "-wal"));
}

void TestSchema::lockedFileIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("BookDB.mdb");
    Schema::openShop(path).reset();
    sqlite3* holder = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &holder), SQLITE_OK);
    sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr);
    try {
        Schema::openShop(path);
        QFAIL("a locked file was opened");
    } catch (const DbError& e) {
        QVERIFY2(e.text().contains(path), qPrintable(e.text()));
    }
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "test_schema.moc"
