// Reading stored dates back: the fixed forms, and what is not one of them.
#include "db/Database.h"

#include <QTest>

class TestStoredDates : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

void TestStoredDates::read_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QDateTime>("moment");
    const QDate day(2026, 3, 10);
    QTest::newRow("moment") << QVariant("2026-03-10 23:59:07") << QDateTime(day, QTime(23, 59, 7));
    QTest::newRow("day") << QVariant("2026-03-10 00:00:00") << QDateTime(day, QTime(0, 0));
    QTest::newRow("day without time") << QVariant("2026-03-10") << QDateTime(day, QTime(0, 0));
    QTest::newRow("bad time keeps the day") << QVariant("2026-03-10 25:61:00") << QDateTime(day, QTime(0, 0));
    QTest::newRow("no such day") << QVariant("2026-02-30 10:00:00") << QDateTime();
    QTest::newRow("not a date") << QVariant("abcd-ef-gh") << QDateTime();
    QTest::newRow("too short") << QVariant("2026-3-1") << QDateTime();
    QTest::newRow("null") << QVariant() << QDateTime();
    QTest::newRow("a QDate") << QVariant(day) << QDateTime(day, QTime(0, 0));
}

void TestStoredDates::read()
{
    QFETCH(QVariant, stored);
    QFETCH(QDateTime, moment);
    QCOMPARE(dbDateTime(stored), moment);
    QCOMPARE(dbDate(stored), moment.date());
    if (moment.isValid())
        QCOMPARE(dbDateTime(toDbText(moment)), moment); // what is written reads back the same
}

QTEST_GUILESS_MAIN(TestStoredDates)
#include "test_stored_dates.moc"
