// The edit boxes bound to fields: they show the current row, follow moves and
// states, put the dataset into edit when typed in, write what is typed, and
// refuse what their field cannot hold.
#include "framework/DBControls.h"
#include "support/TestShop.h"

#include <QFormLayout>
#include <QTest>

class TestBoundControls : public QObject {
    Q_OBJECT
private slots:
    void controlsFollowTheCurrentRow();
    void editingWritesTheBuffer_data();
    void editingWritesTheBuffer();
    void numberBoxesRefuseOtherInput();
    void moneyShowsPlainNumberWhileTyping();
    void refusedEditShowsTheStoredValueAgain();
    void readOnlyControls();
    void newRowAndCancel();
};

namespace {

const ValueItems kSex = {{"n", "Unknown (未知)"}, {"男", "男"}, {"女", "女"}};

// A small editor over two customers, one control per kind.
struct Editor {
    explicit Editor(TestShop& shop) : ds(shop.db())
    {
        shop.db().exec("DELETE FROM Guest");
        shop.addGuest("G001", "王小明", 1500);
        shop.addGuest("G002", "張大同", -200);
        shop.db().exec("UPDATE Guest SET SEX = '男', Password = 'abc', Pay_Num = 7, IsClose = 1, PS = '第一行\n第二行', "
                       "Birthday = '1990-05-06 00:00:00' WHERE GuestCode = 'G001'");
        ds.setTable("Guest");
        ds.open();
        auto* form = new QFormLayout(&window);
        form->addRow("姓名", &name);
        form->addRow("密碼", &password);
        form->addRow("次數", &count);
        form->addRow("現存", &money);
        form->addRow("生日", &birthday);
        form->addRow(&closed);
        form->addRow("備註", &memo);
        form->addRow("性別", &sex);
        name.bind(&ds, "Name");
        password.bind(&ds, "Password").setMasked(true);
        count.bind(&ds, "Pay_Num");
        money.bind(&ds, "Leave_Mon");
        birthday.bind(&ds, "Birthday");
        closed.bind(&ds, "IsClose");
        memo.bind(&ds, "PS");
        sex.setItems(kSex).bind(&ds, "SEX");
    }
    void show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    Dataset ds;
    QWidget window;
    DBEdit name, password;
    DBIntEdit count;
    DBMoneyEdit money;
    DBDateEdit birthday;
    DBCheckBox closed{"關閉此帳號"};
    DBMemo memo;
    DBValueChoice sex;
};

void type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

void TestBoundControls::controlsFollowTheCurrentRow()
{
    TestShop shop;
    Editor e(shop);
    QCOMPARE(e.name.text(), QStringLiteral("王小明"));
    QCOMPARE(e.password.text(), QStringLiteral("abc"));
    QCOMPARE(e.password.displayText(), QStringLiteral("***"));
    QCOMPARE(e.count.text(), QStringLiteral("7"));
    QCOMPARE(e.money.text(), QStringLiteral("NT$1,500"));
    QCOMPARE(e.birthday.date(), QDate(1990, 5, 6));
    QVERIFY(e.closed.isChecked());
    QCOMPARE(e.memo.toPlainText(), QStringLiteral("第一行\n第二行"));
    QCOMPARE(e.sex.currentText(), QStringLiteral("男"));

    e.ds.next();
    QCOMPARE(e.name.text(), QStringLiteral("張大同"));
    QCOMPARE(e.password.text(), QString());
    QCOMPARE(e.money.text(), QStringLiteral("-NT$200"));
    QVERIFY(e.birthday.isNull());
    QVERIFY(!e.closed.isChecked());
    QCOMPARE(e.memo.toPlainText(), QString());
    QCOMPARE(e.sex.currentText(), QStringLiteral("Unknown (未知)"));
    QCOMPARE(e.ds.state(), Dataset::State::Browse); // showing a row never starts an edit

    // A change made elsewhere (another control, a window's rule) shows at once.
    e.ds.setValue("Leave_Mon", 12345);
    QCOMPARE(e.money.text(), QStringLiteral("NT$12,345"));
    e.ds.close();
    QCOMPARE(e.name.text(), QString());
    QVERIFY(e.name.isReadOnly());
}

void TestBoundControls::editingWritesTheBuffer_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("text") << "name" << "Name" << QVariant("張大同二");
    QTest::newRow("text emptied") << "name cleared" << "Name" << QVariant();
    QTest::newRow("masked") << "password" << "Password" << QVariant("x9");
    QTest::newRow("whole number") << "count" << "Pay_Num" << QVariant(42);
    QTest::newRow("money") << "money" << "Leave_Mon" << QVariant(-350);
    QTest::newRow("money emptied is 0") << "money cleared" << "Leave_Mon" << QVariant(0);
    QTest::newRow("date") << "birthday" << "Birthday" << QVariant("2026-03-10 00:00:00");
    QTest::newRow("check") << "closed" << "IsClose" << QVariant(1);
    QTest::newRow("memo") << "memo" << "PS" << QVariant("備忘");
    QTest::newRow("choice") << "sex" << "SEX" << QVariant("女");
}

void TestBoundControls::editingWritesTheBuffer()
{
    QFETCH(QString, control);
    QFETCH(QString, field);
    QFETCH(QVariant, stored);
    TestShop shop;
    Editor e(shop);
    e.show();
    e.ds.next(); // G002
    if (control == "name") {
        e.name.setFocus();
        e.name.end(false);
        type(&e.name, "二");
    } else if (control == "name cleared") {
        e.name.setFocus();
        e.name.selectAll();
        QTest::keyClick(&e.name, Qt::Key_Delete);
    } else if (control == "password") {
        e.password.setFocus();
        QTest::keyClicks(&e.password, "x9");
    } else if (control == "count") {
        e.count.setFocus();
        QTest::keyClicks(&e.count, "42");
    } else if (control == "money") {
        e.money.setFocus();
        QTest::keyClicks(&e.money, "-350");
    } else if (control == "money cleared") {
        e.money.setFocus();
        QTest::keyClick(&e.money, Qt::Key_Delete); // the plain number is selected on entry
    } else if (control == "birthday") {
        e.birthday.setDate(QDate(2026, 3, 10));
    } else if (control == "closed") {
        QTest::mouseClick(&e.closed, Qt::LeftButton, {}, e.closed.rect().center() - QPoint(e.closed.width() / 2 - 8, 0));
    } else if (control == "memo") {
        e.memo.setFocus();
        type(&e.memo, "備忘");
    } else if (control == "sex") {
        e.sex.setFocus();
        QTest::keyClick(&e.sex, Qt::Key_End); // the last choice, "女"
    }
    QCOMPARE(e.ds.state(), Dataset::State::Edit);
    if (stored.isNull())
        QVERIFY(e.ds.isNull(field));
    else
        QCOMPARE(e.ds.value(field).toString(), stored.toString());

    // The edit reaches the table when the row is posted, by a key or a button that never takes the focus.
    e.ds.post();
    const QVariant inTable = shop.scalar(QString("SELECT \"%1\" FROM Guest WHERE GuestCode = 'G002'").arg(field));
    if (stored.isNull())
        QVERIFY(inTable.isNull());
    else
        QCOMPARE(inTable.toString(), stored.toString());
}

void TestBoundControls::numberBoxesRefuseOtherInput()
{
    TestShop shop;
    Editor e(shop);
    e.show();
    e.count.setFocus();
    e.count.selectAll();
    QTest::keyClicks(&e.count, "1a2.3");
    QCOMPARE(e.count.text(), QStringLiteral("123"));
    QCOMPARE(e.ds.integer("Pay_Num"), 123);

    e.money.setFocus();
    QTest::keyClicks(&e.money, "-1,5x0");
    QCOMPARE(e.money.text(), QStringLiteral("-150"));
    QCOMPARE(e.ds.integer("Leave_Mon"), -150);

    // A lone minus sign is the start of a number, not a value.
    e.money.selectAll();
    QTest::keyClicks(&e.money, "-");
    QCOMPARE(e.ds.integer("Leave_Mon"), -150);
}

void TestBoundControls::moneyShowsPlainNumberWhileTyping()
{
    TestShop shop;
    Editor e(shop);
    e.show();
    e.money.setFocus();
    QCOMPARE(e.money.text(), QStringLiteral("1500"));
    QTest::keyClicks(&e.money, "-1234567");
    e.name.setFocus();
    QCOMPARE(e.money.text(), QStringLiteral("-NT$1,234,567"));
    e.money.setDisplayFormat(",0.00");
    QCOMPARE(e.money.text(), QStringLiteral("-1,234,567.00"));
}

void TestBoundControls::refusedEditShowsTheStoredValueAgain()
{
    TestShop shop;
    Editor e(shop);
    e.show();
    e.ds.beforeEdit = [](Dataset&) {
        Prompts::msgBox("不能修改", "錯誤", "Waning");
        throw Abort();
    };
    e.name.setFocus();
    QTest::keyClicks(&e.name, "x");
    QCOMPARE(e.name.text(), QStringLiteral("王小明"));
    QCOMPARE(e.ds.state(), Dataset::State::Browse);
    QCOMPARE(shop.prompts.shown().size(), 1); // the hook's own message, nothing more

    QTest::mouseClick(&e.closed, Qt::LeftButton, {}, QPoint(8, e.closed.height() / 2));
    QVERIFY(e.closed.isChecked());
}

void TestBoundControls::readOnlyControls()
{
    TestShop shop;
    Editor e(shop);
    e.show();
    e.name.setReadOnly(true);
    e.closed.setReadOnly(true);
    e.name.setFocus();
    QTest::keyClicks(&e.name, "x");
    QTest::mouseClick(&e.closed, Qt::LeftButton, {}, QPoint(8, e.closed.height() / 2));
    QCOMPARE(e.name.text(), QStringLiteral("王小明"));
    QVERIFY(e.closed.isChecked());
    QCOMPARE(e.ds.state(), Dataset::State::Browse);

    // Over a statement dataset every control is read-only by itself.
    Dataset q(shop.db());
    q.setSql("SELECT * FROM Guest ORDER BY GuestCode");
    q.open();
    DBMemo memo;
    memo.bind(&q, "PS");
    QVERIFY(memo.isReadOnly());
    QCOMPARE(memo.toPlainText(), QStringLiteral("第一行\n第二行"));
}

void TestBoundControls::newRowAndCancel()
{
    TestShop shop;
    Editor e(shop);
    e.show();
    e.ds.append();
    QCOMPARE(e.name.text(), QString());
    QCOMPARE(e.money.text(), QString());
    QVERIFY(!e.name.isReadOnly());
    e.name.setFocus();
    type(&e.name, "新客");
    QCOMPARE(e.ds.state(), Dataset::State::Insert);
    e.ds.setValue("GuestCode", "G003");
    e.ds.post();
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G003'").toString(), QStringLiteral("新客"));

    // Cancel shows the stored values again.
    e.ds.first();
    e.money.setFocus();
    QTest::keyClicks(&e.money, "9");
    e.name.setFocus();
    QCOMPARE(e.money.text(), QStringLiteral("NT$9"));
    e.ds.cancel();
    QCOMPARE(e.money.text(), QStringLiteral("NT$1,500"));
}

QTEST_MAIN(TestBoundControls)
#include "test_bound_controls.moc"
