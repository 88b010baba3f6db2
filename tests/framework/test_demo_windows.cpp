// Two small windows on the real tables, built the way the shop's windows are: a book
// list (grid with bands, a fixed band, row colours and a class lookup read from ClassBook)
// and a customer editor (bound boxes under the navigator). With BOOKRENTAL_DEMO_WAIT=ms
// in the environment the last test leaves both windows on screen that long, so they
// can be looked at or photographed (xvfb-run, import -window root).
#include "framework/DBControls.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/Ufm_BaseISNAVGrid.h"
#include "support/TestShop.h"

#include <QFormLayout>
#include <QTest>
#include <QToolButton>

namespace {

const QColor kOnLoan(0xFF, 0xF0, 0xC8);
const QColor kExpensive(0xC0, 0x00, 0x00);

class DemoBookList : public Tfm_BaseISNAVGrid {
public:
    explicit DemoBookList(QWidget* owner = nullptr) : Tfm_BaseISNAVGrid(owner), qryBook(db())
    {
        setWindowTitle("書本一覽");
        resize(760, 420);
        setCaption(Action2, "新增(&I)");
        setCaption(Action3, "修改(&M)");
        setCaption(Action4, "刪除(&D)");
        setCaption(Action5, "查詢(&F)");

        ValueItems classes;
        Dataset cls(db());
        cls.setSql("SELECT ClassNum, ClassName FROM ClassBook ORDER BY ClassNum");
        cls.open();
        for (cls.first(); !cls.eof(); cls.next())
            classes << ValueItem{cls.value("ClassNum"), cls.text("ClassName")};

        DBGrid* g = dxDBGrid1;
        g->addColumn("Code", "條碼").band("書本");
        g->addColumn("Name", "書名").band("書本");
        g->addColumn("Vol", "集數").band("書本");
        g->addColumn("Class_Num", "分類").band("分類").lookup(classes);
        g->addColumn("Money", "定價").band("價格").money();
        g->addColumn("Cost_Old", "租金").band("價格").money();
        g->addColumn("InBookData", "進書日").band("價格").date();
        g->addColumn("nullify", "報廢").band("價格").check();
        g->hideColumns({"RetNum"});
        g->setFixedFirstBand(true).setRowSelect(true).setEditable(false);
        g->onCellBackground([this](int recNo, const QString&) {
            return qryBook.valueAt(recNo, qryBook.fieldIndex("RetNum")).toInt() > 0 ? kOnLoan : QColor();
        });
        g->onCellText([this](int recNo, const QString& field) {
            return field.compare("Money", Qt::CaseInsensitive) == 0 &&
                           qryBook.valueAt(recNo, qryBook.fieldIndex("Money")).toInt() >= 300
                       ? kExpensive
                       : QColor();
        });

        qryBook.setTable("BookDetail", {}, "Code");
        qryBook.afterScroll = [this](Dataset& d) { ShowRecordStatus(d, 1); };
        setDataSource(&qryBook);
        qryBook.open();
        ShowRecordStatus(qryBook, 1);
        setPanelText(0, "顯示所有書本");
    }

    Dataset qryBook;
};

class DemoGuestEditor : public Tfm_BaseISNAV {
public:
    explicit DemoGuestEditor(QWidget* owner = nullptr) : Tfm_BaseISNAV(owner), tabGuest(db())
    {
        setWindowTitle("客戶資料");
        resize(520, 430);
        setCaption(Action2, "新增(&I)");
        setCaption(Action3, "進階設定(&S)");
        setButtonVisible(Action5, false);
        using B = DBNavigator::Button;
        BiDiDBNavigator1->setVisibleButtons(
            {B::First, B::Prior, B::Next, B::Last, B::Insert, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh});

        auto* form = new QFormLayout;
        edtCode = new DBEdit(Panel1);
        edtCode->bind(&tabGuest, "GuestCode");
        edtName = new DBEdit(Panel1);
        edtName->setObjectName("edtName");
        edtName->bind(&tabGuest, "Name");
        auto* sex = new DBValueChoice(Panel1);
        sex->setItems({{"m", "男"}, {"f", "女"}, {"n", "未填"}}).bind(&tabGuest, "SEX");
        auto* balance = new DBMoneyEdit(Panel1);
        balance->bind(&tabGuest, "Leave_Mon");
        auto* birthday = new DBDateEdit(Panel1);
        birthday->bind(&tabGuest, "Birthday");
        auto* pwdUse = new DBCheckBox("使用密碼", Panel1);
        pwdUse->bind(&tabGuest, "pwdUse");
        auto* password = new DBEdit(Panel1);
        password->bind(&tabGuest, "Password").setMasked(true);
        auto* ps = new DBMemo(Panel1);
        ps->bind(&tabGuest, "PS");
        form->addRow("客戶代碼", edtCode);
        form->addRow("姓名", edtName);
        form->addRow("性別", sex);
        form->addRow("現存", balance);
        form->addRow("生日", birthday);
        form->addRow("", pwdUse);
        form->addRow("密碼", password);
        form->addRow("提示", ps);
        panelLayout()->addLayout(form, 1);
        setKeyNavigation(KeyNav::Enter);

        tabGuest.setTable("Guest", "GuestCode <> 'A001'", "GuestCode");
        tabGuest.afterScroll = [this](Dataset& d) { ShowRecordStatus(d, 1); };
        tabGuest.afterInsert = [this](Dataset& d) { ShowRecordStatus(d, 1); };
        setDataSource(&tabGuest);
        tabGuest.open();
        ShowRecordStatus(tabGuest, 1);
        setPanelText(0, "請輸入客戶資料");
    }

    Dataset tabGuest;
    DBEdit* edtCode;
    DBEdit* edtName;
};

void stock(TestShop& shop)
{
    shop.addBook("B0001", "灌籃高手", 1);
    shop.addBook("B0002", "射鵰英雄傳", 2);
    shop.addBook("B0003", "科學人雜誌", 3);
    shop.db().exec("UPDATE BookDetail SET Money = 350, RetNum = 1 WHERE Code = 'B0002'");
    shop.addGuest("G001", "王小明", 1200);
    shop.addGuest("G002", "陳美玲", -50);
    shop.addGuest("G003", "林志豪", 300);
}

} // namespace

class TestDemoWindows : public QObject {
    Q_OBJECT
private slots:
    void bookListShowsBandsLookupsAndColours();
    void guestEditorFollowsTheNavigatorAndSaves();
    void bothOnScreen();
};

void TestDemoWindows::bookListShowsBandsLookupsAndColours()
{
    TestShop shop;
    stock(shop);
    DemoBookList w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    DBGrid* g = w.dxDBGrid1;
    QCOMPARE(g->bands(), QStringList({"書本", "分類", "價格"}));
    DatasetModel* m = g->datasetModel();
    const int cls = m->columnOf("Class_Num"), money = m->columnOf("Money");
    QCOMPARE(m->displayText(0, cls), QString("漫畫"));
    QCOMPARE(m->displayText(1, cls), QString("小說"));
    QCOMPARE(m->displayText(1, money), QString("NT$350"));
    QCOMPARE(m->data(m->index(1, 0), Qt::BackgroundRole).value<QColor>(), kOnLoan);
    QVERIFY(m->data(m->index(0, 0), Qt::BackgroundRole).value<QColor>() != kOnLoan);
    QCOMPARE(m->data(m->index(1, money), Qt::ForegroundRole).value<QColor>(), kExpensive);
    QCOMPARE(w.panelText(1), QString("1/總筆數：3　　"));
    w.BiDiDBNavigator1->click(DBNavigator::Button::Last);
    QCOMPARE(w.panelText(1), QString("3/總筆數：3　　"));
}

void TestDemoWindows::guestEditorFollowsTheNavigatorAndSaves()
{
    TestShop shop;
    stock(shop);
    DemoGuestEditor w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(w.edtName->text(), QString("王小明"));
    w.BiDiDBNavigator1->click(DBNavigator::Button::Next);
    QCOMPARE(w.edtName->text(), QString("陳美玲"));
    QCOMPARE(w.panelText(1), QString("2/總筆數：3　　"));

    w.edtName->setFocus();
    w.edtName->end(false);
    QTest::keyClicks(w.edtName, "A");
    QVERIFY(Tfm_BaseISNAV::IsEditing(w.tabGuest));
    w.BiDiDBNavigator1->click(DBNavigator::Button::Post);
    QVERIFY(!Tfm_BaseISNAV::IsEditing(w.tabGuest));
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G002'").toString(), QString("陳美玲A"));

    w.BiDiDBNavigator1->click(DBNavigator::Button::Insert);
    QCOMPARE(w.panelText(1), QString("新增.../總筆數：3　　"));
    w.BiDiDBNavigator1->click(DBNavigator::Button::Cancel);
}

void TestDemoWindows::bothOnScreen()
{
    const int wait = qEnvironmentVariableIntValue("BOOKRENTAL_DEMO_WAIT");
    if (wait <= 0)
        QSKIP("set BOOKRENTAL_DEMO_WAIT=ms to look at the windows");
    TestShop shop;
    stock(shop);
    DemoBookList list;
    DemoGuestEditor editor;
    list.move(10, 10);
    editor.move(list.frameGeometry().right() + 20, 10);
    list.show();
    editor.show();
    editor.BiDiDBNavigator1->click(DBNavigator::Button::Last);
    QTest::qWait(wait);
}

QTEST_MAIN(TestDemoWindows)
#include "test_demo_windows.moc"
