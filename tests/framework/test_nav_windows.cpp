// The record window bases: the record status of the status line, IsEditing, and the
// navigator and grid bound to the window's main dataset.
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/Ufm_BaseISNAVGrid.h"
#include "support/TestShop.h"

#include <QFrame>
#include <QTest>
#include <QToolButton>

namespace {

// A table of `rows` rows, opened on the given row (0: none).
std::unique_ptr<Dataset> numbers(TestShop& shop, int rows)
{
    shop.db().execScript("CREATE TABLE IF NOT EXISTS t (n INTEGER); DELETE FROM t;");
    for (int i = 1; i <= rows; ++i)
        shop.db().exec("INSERT INTO t (n) VALUES (:n)", {{"n", i}});
    auto ds = std::make_unique<Dataset>(shop.db());
    ds->setTable("t", {}, "n");
    ds->open();
    return ds;
}

} // namespace

class TestNavWindows : public QObject {
    Q_OBJECT
private slots:
    void recordStatus_data();
    void recordStatus();
    void isEditingInEveryState();
    void navigatorAndGridFollowTheMainDataset();
};

void TestNavWindows::recordStatus_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("position"); // a record number, "new" or "none"
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("third of 12") << 12 << "3" << 1 << "3/總筆數：12　　";
    QTest::newRow("new unsaved row") << 12 << "new" << 1 << "新增.../總筆數：12　　";
    QTest::newRow("empty dataset") << 0 << "none" << 1 << "新增.../總筆數：0　　";
    QTest::newRow("count only") << 12 << "3" << 2 << "總筆數：12　　";
    QTest::newRow("other mode leaves the panel") << 12 << "3" << 3 << "舊的";
    QTest::newRow("mode 0 leaves the panel") << 12 << "3" << 0 << "舊的";
}

void TestNavWindows::recordStatus()
{
    QFETCH(int, rows);
    QFETCH(QString, position);
    QFETCH(int, mode);
    QFETCH(QString, text);
    TestShop shop;
    auto ds = numbers(shop, rows);
    if (position == "new")
        ds->append();
    else if (position != "none")
        ds->moveTo(position.toInt());
    Tfm_BaseISNAV w;
    w.setPanelText(1, "舊的");
    w.ShowRecordStatus(*ds, mode);
    QCOMPARE(w.panelText(1), text);
}

void TestNavWindows::isEditingInEveryState()
{
    TestShop shop;
    Dataset closed(shop.db());
    QVERIFY(Tfm_BaseISNAV::IsEditing(closed));
    auto ds = numbers(shop, 2);
    QVERIFY(!Tfm_BaseISNAV::IsEditing(*ds));
    ds->edit();
    QVERIFY(Tfm_BaseISNAV::IsEditing(*ds));
    ds->cancel();
    ds->append();
    QVERIFY(Tfm_BaseISNAV::IsEditing(*ds));
}

void TestNavWindows::navigatorAndGridFollowTheMainDataset()
{
    TestShop shop;
    auto ds = numbers(shop, 5);
    Tfm_BaseISNAVGrid w;
    w.setDataSource(ds.get());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.centralWidget(), w.Panel1);
    QCOMPARE(w.DataSource1(), ds.get());
    QCOMPARE(w.BiDiDBNavigator1->dataset(), ds.get());
    QCOMPARE(w.dxDBGrid1->dataset(), ds.get());
    QVERIFY(w.BiDiDBNavigator1->geometry().bottom() < w.dxDBGrid1->geometry().top());

    using B = DBNavigator::Button;
    for (B b : {B::First, B::Prior, B::Next, B::Last, B::Post, B::Cancel, B::Refresh})
        QVERIFY(w.BiDiDBNavigator1->button(b)->isVisible());
    for (B b : {B::Insert, B::Delete, B::Edit})
        QVERIFY(!w.BiDiDBNavigator1->button(b)->isVisible());

    // The window keeps its record status from the dataset's scroll hook, as windows do.
    ds->afterScroll = [&w](Dataset& d) { w.ShowRecordStatus(d, 1); };
    w.BiDiDBNavigator1->click(B::Last);
    QCOMPARE(w.panelText(1), QString("5/總筆數：5　　"));
    QCOMPARE(w.dxDBGrid1->currentRecNo(), 5);
}

QTEST_MAIN(TestNavWindows)
#include "test_nav_windows.moc"
