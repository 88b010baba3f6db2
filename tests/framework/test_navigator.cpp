// The record navigator: which buttons it shows, when each is enabled, and that
// its steps (delete above all) go through the dataset and its hooks.
#include "framework/DBNavigator.h"
#include "support/TestShop.h"

#include <QToolButton>
#include <QTest>

using Button = DBNavigator::Button;

class TestNavigator : public QObject {
    Q_OBJECT
private slots:
    void defaultButtons();
    void buttonsFollowStateAndPosition_data();
    void buttonsFollowStateAndPosition();
    void stepsMoveAndSave();
    void deleteAsksAndGoesThroughTheDataset();
};

namespace {

void threeGuests(TestShop& shop)
{
    shop.db().exec("DELETE FROM Guest");
    shop.addGuest("G001", "甲");
    shop.addGuest("G002", "乙");
    shop.addGuest("G003", "丙");
}

// Letters of the enabled buttons in the bar's order: First Prior Next Last Insert Delete Edit poSt Cancel Refresh.
QString enabledLetters(const DBNavigator& nav)
{
    const QString letters = "FPNLIDESCR";
    QString out;
    const QList<Button> all = DBNavigator::allButtons();
    for (int i = 0; i < all.size(); ++i) {
        if (nav.button(all[i])->isEnabled())
            out += letters[i];
    }
    return out;
}

} // namespace

void TestNavigator::defaultButtons()
{
    DBNavigator nav;
    nav.show();
    QStringList shown;
    for (Button b : DBNavigator::allButtons()) {
        if (nav.button(b)->isVisible())
            shown << nav.button(b)->objectName();
    }
    QCOMPARE(shown, QStringList({"nbFirst", "nbPrior", "nbNext", "nbLast", "nbPost", "nbCancel", "nbRefresh"}));
    nav.setVisibleButtons(DBNavigator::allButtons());
    QVERIFY(nav.button(Button::Insert)->isVisible() && nav.button(Button::Delete)->isVisible()
            && nav.button(Button::Edit)->isVisible());
    QCOMPARE(enabledLetters(nav), QString()); // nothing to do without a dataset
}

void TestNavigator::buttonsFollowStateAndPosition_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("first row") << "first" << "NLIDER";
    QTest::newRow("middle row") << "middle" << "FPNLIDER";
    QTest::newRow("last row") << "last" << "FPIDER";
    QTest::newRow("editing") << "editing" << "FPNLIDSC";
    QTest::newRow("new row") << "inserting" << "FPNLDSC";
    QTest::newRow("empty table") << "empty" << "IR";
    QTest::newRow("read-only statement") << "statement" << "NLR";
    QTest::newRow("closed") << "closed" << "";
}

void TestNavigator::buttonsFollowStateAndPosition()
{
    QFETCH(QString, situation);
    QFETCH(QString, enabled);
    TestShop shop;
    threeGuests(shop);
    Dataset ds(shop.db());
    ds.setTable("Guest");
    if (situation == "empty")
        ds.setTable("Guest", "GuestCode = 'none'");
    if (situation == "statement")
        ds.setSql("SELECT * FROM Guest ORDER BY GuestCode");
    ds.open();
    DBNavigator nav;
    nav.setDataset(&ds);
    if (situation == "middle")
        ds.next();
    else if (situation == "last")
        ds.last();
    else if (situation == "editing") {
        ds.next();
        ds.setValue("Name", "改");
    } else if (situation == "inserting")
        ds.append();
    else if (situation == "closed")
        ds.close();
    QCOMPARE(enabledLetters(nav), enabled);
}

void TestNavigator::stepsMoveAndSave()
{
    TestShop shop;
    threeGuests(shop);
    Dataset ds(shop.db());
    ds.setTable("Guest");
    ds.open();
    DBNavigator nav;
    nav.setDataset(&ds);
    nav.show();

    QTest::mouseClick(nav.button(Button::Last), Qt::LeftButton);
    QCOMPARE(ds.recNo(), 3);
    QTest::mouseClick(nav.button(Button::Prior), Qt::LeftButton);
    QCOMPARE(ds.recNo(), 2);

    ds.setValue("Name", "改名");
    QTest::mouseClick(nav.button(Button::Cancel), Qt::LeftButton);
    QCOMPARE(ds.text("Name"), QStringLiteral("乙"));
    ds.setValue("Name", "改名");
    QTest::mouseClick(nav.button(Button::Post), Qt::LeftButton);
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G002'").toString(), QStringLiteral("改名"));

    // A save that the window's check refuses leaves the row in edit, with the check's message only.
    ds.beforePost = [](Dataset& d) {
        if (d.isNull("GuestCode")) {
            Prompts::msgBox("請輸入客戶編號！", "空白的錯誤！", "Waning");
            throw Abort();
        }
    };
    nav.setVisibleButtons(DBNavigator::allButtons());
    QTest::mouseClick(nav.button(Button::Insert), Qt::LeftButton);
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QTest::mouseClick(nav.button(Button::Post), Qt::LeftButton);
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(shop.prompts.texts(), QStringList({"請輸入客戶編號！"}));
    QVERIFY(nav.button(Button::Post)->isEnabled());

    // Refresh picks up what others wrote.
    QTest::mouseClick(nav.button(Button::Cancel), Qt::LeftButton);
    shop.addGuest("G004", "丁");
    QTest::mouseClick(nav.button(Button::Refresh), Qt::LeftButton);
    QCOMPARE(ds.recordCount(), 4);
}

void TestNavigator::deleteAsksAndGoesThroughTheDataset()
{
    TestShop shop;
    threeGuests(shop);
    Dataset ds(shop.db());
    ds.setTable("Guest");
    ds.open();
    ds.beforeDelete = [](Dataset& d) {
        if (d.text("GuestCode") == "G001") {
            Prompts::msgBox("不可刪除", "嚴重的錯誤", "Err");
            throw Abort();
        }
    };
    DBNavigator nav;
    nav.setVisibleButtons(DBNavigator::allButtons());
    nav.setDataset(&ds);
    nav.show();

    ds.moveTo(2);
    shop.prompts.setNextAnswer(Answer::No);
    QTest::mouseClick(nav.button(Button::Delete), Qt::LeftButton);
    QCOMPARE(shop.count("Guest"), 3);
    QCOMPARE(shop.prompts.last().text, QStringLiteral("確定要刪除此筆記錄嗎？"));

    shop.prompts.setNextAnswer(Answer::Yes);
    QTest::mouseClick(nav.button(Button::Delete), Qt::LeftButton);
    QCOMPARE(shop.count("Guest"), 2);
    QCOMPARE(shop.count("Guest", "GuestCode = 'G002'"), 0);

    // The dataset's hook refuses: the row stays and only the hook's message shows.
    ds.first();
    shop.prompts.clear();
    shop.prompts.setNextAnswer(Answer::Yes);
    QTest::mouseClick(nav.button(Button::Delete), Qt::LeftButton);
    QCOMPARE(shop.count("Guest"), 2);
    QCOMPARE(shop.prompts.texts(), QStringList({"確定要刪除此筆記錄嗎？", "不可刪除"}));
    QVERIFY(shop.prompts.drained());
}

QTEST_MAIN(TestNavigator)
#include "test_navigator.moc"
