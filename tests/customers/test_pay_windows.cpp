// The scheme editor, the pay-and-refund window and its two dialogs: paying a row,
// the typed amount with its proposed points, the refund's field check and
// confirmation, whole-number boxes, and what reaches the desk afterwards.
#include "customers/Payments.h"
#include "customers/UF03_PayKeyIn.h"
#include "customers/UF03_PayRtMoney.h"
#include "customers/UF03_ReturnMoney.h"
#include "customers/UF83_advancePay.h"
#include "desk/UF00_Main.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/WindowRegistry.h"
#include "support/TestShop.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QString kWorker = QStringLiteral("W07");

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    // A window with an owner counts as active while its owner is: wait for the focus itself.
    QTRY_COMPARE(QGuiApplication::focusWindow(), w->windowHandle());
}

double balanceOf(TestShop& shop, const QString& code)
{
    return shop.scalar("SELECT Leave_Mon FROM Guest WHERE GuestCode = :c", {{"c", code}}).toDouble();
}

} // namespace

class TestPayWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void payWindowPaysTheActivatedRow_data();
    void payWindowPaysTheActivatedRow();
    void keyInProposesPointsAndConfirms_data();
    void keyInProposesPointsAndConfirms();
    void amountBoxesTakeWholeNumbersOnly();
    void keyInRefusesAnAmountTooLarge();
    void refundChecksTheFieldAndConfirms_data();
    void refundChecksTheFieldAndConfirms();
    void refundClickedStraightFromTheBoxChecksOnce();
    void refundWithoutCustomerRowSaysSo();
    void schemeEditorEditsSavesAndDrops();
    void paymentDuringAVisitStays_data();
    void paymentDuringAVisitStays();

private:
    TF03_PayRtMoney* openPayWindow(const QString& customer);

    std::unique_ptr<TestShop> shop;
    int reopened = 0;
};

void TestPayWindows::initTestCase()
{
    registerWindows();
}

void TestPayWindows::init()
{
    shop = std::make_unique<TestShop>();
    shop->addGuest("G1", "王小明", 2000);
    shop->addGuest("G2", "李大華", 2000);
    shop->db().exec("UPDATE Guest SET Last_Dis = 90 WHERE GuestCode = 'G1'");
    reopened = 0;
    Payments::setDeskLink({[] { return kWorker; }, [this] { ++reopened; }});
}

void TestPayWindows::cleanup()
{
    Tfm_Base::setModalDriver({});
    delete F03_PayRtMoney;
    delete F83_advancePay;
    runDeferredDeletes();
    Payments::setDeskLink({});
    shop.reset();
}

TF03_PayRtMoney* TestPayWindows::openPayWindow(const QString& customer)
{
    TF03_PayRtMoney::SetPayCustomer(customer);
    QWidget* w = openWindow("TF03_PayRtMoney", nullptr);
    auto* pay = qobject_cast<TF03_PayRtMoney*>(w);
    if (pay)
        showActive(pay);
    return pay;
}

void TestPayWindows::payWindowPaysTheActivatedRow_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Enter") << false;
    QTest::newRow("double click") << true;
}

void TestPayWindows::payWindowPaysTheActivatedRow()
{
    QFETCH(bool, doubleClick);
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);
    QCOMPARE(pay->windowTitle(), QString("繳退款"));
    QVERIFY(pay->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(pay->Action2->text(), QString("新增(&N)"));
    QCOMPARE(pay->Action3->text(), QString("自行輸入金額(&K)"));
    QCOMPARE(pay->Action4->text(), QString("退款(&R)"));
    QVERIFY(pay->BiDiDBNavigator1->isHidden());
    DBGrid* grid = pay->dxDBGrid1;
    QVERIFY(grid->rowSelect());
    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable));
    // The starter schemes: 500 for 500, 1000 for 1100, 2000 for 2300.
    const int rateColumn = grid->datasetModel()->columnOf("Rate");
    QCOMPARE(grid->datasetModel()->displayText(1, rateColumn), QString("110%"));

    QTest::keyClick(pay, Qt::Key_F2); // captioned, does nothing
    QVERIFY(pay->isVisible());
    QCOMPARE(shop->count("GuestCost"), 0);

    pay->qryPayMoney->moveTo(2);
    grid->setFocus();
    if (doubleClick) {
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        QTest::keyClick(grid, Qt::Key_Return);
    }
    QCOMPARE(balanceOf(*shop, "G1"), 3100.0);
    QCOMPARE(balanceOf(*shop, "G2"), 2000.0);
    QCOMPARE(shop->count("GuestCost", "Guest_CODE = 'G1' AND Mode = 'I' AND Cost = 1000 AND piece = 1100 AND "
                                      "worker = 'W07'"),
             1);
    QCOMPARE(shop->count("GuestCost"), 1);
    QCOMPARE(reopened, 1);
    runDeferredDeletes();
    QVERIFY(pay.isNull());
    QVERIFY(!F03_PayRtMoney);
}

void TestPayWindows::keyInProposesPointsAndConfirms_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("piece");    // what the box held before
    QTest::addColumn<QString>("proposed"); // what it holds after the money box was left
    QTest::newRow("1500 at 110%") << "1500"
                                  << ""
                                  << "1650";
    QTest::newRow("2500 not covered") << "2500"
                                      << "77"
                                      << "77";
}

void TestPayWindows::keyInProposesPointsAndConfirms()
{
    QFETCH(QString, amount);
    QFETCH(QString, piece);
    QFETCH(QString, proposed);
    shop->db().exec("DELETE FROM PayMoney WHERE PayMoney = 2000"); // leaves 1-999 at 100 %, 1000-1999 at 110 %
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);

    QTest::keyClick(pay, Qt::Key_F3);
    QPointer<TF03_PayKeyIn> keyIn = F03_PayKeyIn;
    QVERIFY(keyIn);
    QCOMPARE(keyIn->parentWidget(), pay.data());
    QCOMPARE(keyIn->windowTitle(), QString("   自行輸入金額"));
    QVERIFY(!keyIn->mask().isEmpty());
    showActive(keyIn);
    QVERIFY(!keyIn->isShownModally());
    QCOMPARE(QApplication::focusWidget(), keyIn->edtMoney);

    keyIn->edtPiece->setText(piece);
    QTest::keyClicks(keyIn->edtMoney, amount);
    QTest::keyClick(keyIn->edtMoney, Qt::Key_Return); // to the next field, which runs the lookup
    QCOMPARE(QApplication::focusWidget(), keyIn->edtPiece);
    QCOMPARE(keyIn->edtPiece->text(), proposed);
    QCOMPARE(shop->count("GuestCost"), 0);

    QTest::keyClick(keyIn->edtPiece, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), keyIn->btnOK);
    QTest::keyClick(keyIn->btnOK, Qt::Key_Return);
    QCOMPARE(balanceOf(*shop, "G1"), 2000.0 + proposed.toDouble());
    QCOMPARE(shop->count("GuestCost", "Mode = 'I' AND Cost = :c AND piece = :p",
                         {{"c", amount.toInt()}, {"p", proposed.toInt()}}),
             1);
    QCOMPARE(reopened, 1);
    runDeferredDeletes();
    QVERIFY(pay.isNull());
    QVERIFY(keyIn.isNull()); // closed with the pay window that owns it
}

void TestPayWindows::amountBoxesTakeWholeNumbersOnly()
{
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);
    QTest::keyClick(pay, Qt::Key_F3);
    QVERIFY(F03_PayKeyIn);
    for (QLineEdit* box : {F03_PayKeyIn->edtMoney, F03_PayKeyIn->edtPiece}) {
        QTest::keyClicks(box, "1-2a.3 4,5");
        QCOMPARE(box->text(), QString("12345"));
    }

    Tfm_Base::setModalDriver([](Tfm_Base* w) {
        auto* refund = qobject_cast<TF03_ReturnMoney*>(w);
        QVERIFY(refund);
        refund->dxEdit1->clear();
        QTest::keyClicks(refund->dxEdit1, "-5.5e");
        QCOMPARE(refund->dxEdit1->text(), QString("55"));
        refund->btnCancel->click();
    });
    QTest::keyClick(pay, Qt::Key_F4);
    QVERIFY(pay); // cancel closes the refund dialog only
    QCOMPARE(shop->count("GuestCost"), 0);
}

void TestPayWindows::keyInRefusesAnAmountTooLarge()
{
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);
    QTest::keyClick(pay, Qt::Key_F3);
    QPointer<TF03_PayKeyIn> keyIn = F03_PayKeyIn;
    QVERIFY(keyIn);
    keyIn->edtMoney->setText("40000");
    keyIn->edtPiece->setText("40000");
    keyIn->btnOK->click();
    QCOMPARE(shop->prompts.shown().size(), 1);
    QCOMPARE(shop->prompts.last().kind, QString("Err"));
    QVERIFY(shop->prompts.last().text.startsWith("金額超出範圍！"));
    QCOMPARE(shop->count("GuestCost"), 0);
    QCOMPARE(balanceOf(*shop, "G1"), 2000.0);
    QCOMPARE(reopened, 0);
    runDeferredDeletes();
    QVERIFY(keyIn && pay); // both stay, so the amount can be corrected
}

void TestPayWindows::refundChecksTheFieldAndConfirms_data()
{
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("cash");
    QTest::addColumn<double>("balance");
    QTest::addColumn<int>("journalRows");
    QTest::newRow("500 of 2000 at 90") << "500"
                                       << "450" << 1500.0 << 1;
    QTest::newRow("the whole balance") << "2000"
                                       << "1800" << 2000.0 << 0;
}

void TestPayWindows::refundChecksTheFieldAndConfirms()
{
    QFETCH(QString, points);
    QFETCH(QString, cash);
    QFETCH(double, balance);
    QFETCH(int, journalRows);
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);

    bool driven = false;
    Tfm_Base::setModalDriver([&](Tfm_Base* w) {
        auto* refund = qobject_cast<TF03_ReturnMoney*>(w);
        QVERIFY(refund);
        QCOMPARE(refund->parentWidget(), pay.data());
        QCOMPARE(refund->windowTitle(), QString("  退款"));
        QVERIFY(refund->isShownModally());
        QVERIFY(!refund->mask().isEmpty());
        showActive(refund);
        QCOMPARE(refund->Label5->text(), QString("2000"));
        QCOMPARE(refund->Label3->text(), QString("0"));
        QCOMPARE(QApplication::focusWidget(), refund->dxEdit1);

        // More than the balance: refused when the box is left, both fields back to 0.
        refund->dxEdit1->setText("2500");
        QTest::keyClick(refund->dxEdit1, Qt::Key_Return);
        QTRY_COMPARE(shop->prompts.texts(), QStringList{"退款金額過多！"});
        QCOMPARE(shop->prompts.last().caption, QString("超出！"));
        QCOMPARE(shop->prompts.last().kind, QString("Err"));
        QCOMPARE(refund->dxEdit1->text(), QString("0"));
        QCOMPARE(refund->Label3->text(), QString("0"));
        QCOMPARE(QApplication::focusWidget(), refund->dxEdit1);
        QCOMPARE(refund->dxEdit1->selectedText(), QString("0"));
        shop->prompts.clear();

        refund->dxEdit1->setText(points);
        QTest::keyClick(refund->dxEdit1, Qt::Key_Down); // the arrows move between fields too
        QCOMPARE(QApplication::focusWidget(), refund->btnOK);
        QTRY_COMPARE(refund->Label3->text(), cash);
        QVERIFY(shop->prompts.shown().isEmpty());
        QTest::keyClick(refund->btnOK, Qt::Key_Return);
        driven = true;
    });
    QTest::keyClick(pay, Qt::Key_F4);
    QVERIFY(driven);

    QCOMPARE(balanceOf(*shop, "G1"), balance);
    QCOMPARE(balanceOf(*shop, "G2"), 2000.0);
    QCOMPARE(shop->count("GuestCost"), journalRows);
    if (journalRows)
        QCOMPARE(shop->count("GuestCost", "Mode = 'RT' AND Cost = -450 AND piece = -500 AND worker = 'W07'"), 1);
    else
        QCOMPARE(shop->prompts.texts(), QStringList{"退款金額過多！"});
    // Refunded or refused on confirming: the desk is told and both windows close.
    QCOMPARE(reopened, 1);
    runDeferredDeletes();
    QVERIFY(pay.isNull());
    QVERIFY(!F03_ReturnMoney);
}

void TestPayWindows::refundClickedStraightFromTheBoxChecksOnce()
{
    QPointer<TF03_PayRtMoney> pay = openPayWindow("G1");
    QVERIFY(pay);
    bool stayed = false;
    Tfm_Base::setModalDriver([&](Tfm_Base* w) {
        auto* refund = qobject_cast<TF03_ReturnMoney*>(w);
        QVERIFY(refund);
        showActive(refund);
        refund->dxEdit1->setText("2500");
        // A real click: the focus leaves the box on the press, and time passes before the release.
        QTest::mousePress(refund->btnOK, Qt::LeftButton);
        QTest::qWait(20);
        QTest::mouseRelease(refund->btnOK, Qt::LeftButton);
        QTest::qWait(20);
        // One refusal, and no refund of the "0" that the box was reset to.
        QCOMPARE(shop->prompts.texts(), QStringList{"退款金額過多！"});
        QCOMPARE(refund->dxEdit1->text(), QString("0"));
        QCOMPARE(shop->count("GuestCost"), 0);
        stayed = refund->isVisible();
        refund->btnCancel->click();
    });
    QTest::keyClick(pay, Qt::Key_F4);
    QVERIFY(stayed);
    QCOMPARE(balanceOf(*shop, "G1"), 2000.0);
    QCOMPARE(reopened, 0);
}

void TestPayWindows::refundWithoutCustomerRowSaysSo()
{
    QPointer<TF03_PayRtMoney> pay = openPayWindow("NONE");
    QVERIFY(pay);
    Tfm_Base::setModalDriver([&](Tfm_Base* w) {
        auto* refund = qobject_cast<TF03_ReturnMoney*>(w);
        QVERIFY(refund);
        QCOMPARE(refund->Label5->text(), QString("0"));
        refund->btnCancel->click();
    });
    QTest::keyClick(pay, Qt::Key_F4);
    QCOMPARE(shop->prompts.shown().size(), 1);
    QCOMPARE(shop->prompts.last().text, QString("參數傳遞錯誤！\n\r找不到該筆顧客代碼！"));
    QCOMPARE(shop->prompts.last().caption, QString("程序錯誤！"));
    QCOMPARE(shop->prompts.last().kind, QString("Waning"));
    runDeferredDeletes();
    QVERIFY(pay);
    QCOMPARE(reopened, 0);
}

void TestPayWindows::schemeEditorEditsSavesAndDrops()
{
    shop->db().exec("INSERT INTO PayMoney (Type, PayMoney, IntoMoney, PayStart, PayEnd) VALUES ('贈點', 0, 100, 0, 0)");
    QPointer<TF83_advancePay> ed = qobject_cast<TF83_advancePay*>(openWindow("TF83_advancePay", nullptr));
    QVERIFY(ed);
    showActive(ed);
    QCOMPARE(ed->windowTitle(), QString("預繳金額設定"));
    QVERIFY(ed->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(ed->Action2->text(), QString("新增(&N)"));
    QCOMPARE(ed->Action3->text(), QString("修改(&F)"));
    QCOMPARE(ed->Action4->text(), QString("刪除(&D)"));
    QVERIFY(ed->BiDiDBNavigator1->button(DBNavigator::Button::Insert)->isVisibleTo(ed));
    Dataset* ds = ed->tabPayMoney;
    DBGrid* grid = ed->dxDBGrid1;
    const int rate = grid->datasetModel()->columnOf("Rate");
    QCOMPARE(ds->recordCount(), 4);
    QCOMPARE(grid->datasetModel()->displayText(1, rate), QString("110%"));
    QCOMPARE(grid->datasetModel()->displayText(3, rate), QString("")); // nothing paid: no rate

    // Browsing rows cannot be typed over; F3 puts the row in edit, and closing saves it.
    const QModelIndex pay = grid->model()->index(0, grid->datasetModel()->columnOf("PayMoney"));
    QVERIFY(!(grid->model()->flags(pay) & Qt::ItemIsEditable));
    ds->moveTo(1);
    QTest::keyClick(ed, Qt::Key_F3);
    QCOMPARE(ds->state(), Dataset::State::Edit);
    QVERIFY(grid->model()->flags(pay) & Qt::ItemIsEditable);
    QVERIFY(grid->model()->setData(pay, 400));
    QCOMPARE(grid->datasetModel()->displayText(0, rate), QString("125%"));
    QTest::keyClick(ed, Qt::Key_F12);
    runDeferredDeletes();
    QVERIFY(ed.isNull());
    QCOMPARE(shop->scalar("SELECT PayMoney FROM PayMoney WHERE NO = 1").toInt(), 400);

    // A new row not yet saved is dropped on closing.
    ed = qobject_cast<TF83_advancePay*>(openWindow("TF83_advancePay", nullptr));
    QVERIFY(ed);
    showActive(ed);
    ds = ed->tabPayMoney;
    QTest::keyClick(ed, Qt::Key_F2);
    QCOMPARE(ds->state(), Dataset::State::Insert);
    ds->setValue("Type", "新方案");
    ds->setValue("PayMoney", 3000);
    QTest::keyClick(ed, Qt::Key_F12);
    runDeferredDeletes();
    QVERIFY(ed.isNull());
    QCOMPARE(shop->count("PayMoney"), 4);

    // F4 deletes the current row at once, without asking.
    ed = qobject_cast<TF83_advancePay*>(openWindow("TF83_advancePay", nullptr));
    QVERIFY(ed);
    showActive(ed);
    ed->tabPayMoney->moveTo(4);
    QTest::keyClick(ed, Qt::Key_F4);
    QCOMPARE(shop->count("PayMoney"), 3);
    QCOMPARE(shop->count("PayMoney", "Type = '贈點'"), 0);
    QVERIFY(shop->prompts.shown().isEmpty());
}

void TestPayWindows::paymentDuringAVisitStays_data()
{
    QTest::addColumn<bool>("settle");
    QTest::addColumn<double>("balance");
    QTest::newRow("then settled") << true << 3090.0;
    QTest::newRow("then reset") << false << 3100.0;
}

// F7 on the desk while a new rental is pending: the payment is booked at once with the
// on-duty code, the desk shows the new balance less the visit's rent, and neither the
// settlement nor a reset of the visit undoes it.
void TestPayWindows::paymentDuringAVisitStays()
{
    QFETCH(bool, settle);
    QFETCH(double, balance);
    shop->addBook("B3", "灌籃高手", 103, 10);
    auto desk = std::make_unique<TF00_Main>();
    showActive(desk.get());
    desk->SetOnDuty("W09", "值班員", Clock::now());
    QTest::keyClicks(desk->edtName, "G1");
    QTest::keyClick(desk->edtName, Qt::Key_Return);
    QTest::keyClicks(desk->edtName, "B3");
    QTest::keyClick(desk->edtName, Qt::Key_Return);
    QCOMPARE(desk->session().guest().RentTotal, 10);
    QCOMPARE(desk->lab9BalMon->text(), QString("1990"));

    QTest::keyClick(desk.get(), Qt::Key_F7);
    QPointer<TF03_PayRtMoney> pay = F03_PayRtMoney;
    QVERIFY(pay);
    QCOMPARE(pay->parentWidget(), desk.get());
    QCOMPARE(Payments::GetPayCustomer(), QString("G1"));
    showActive(pay);
    pay->qryPayMoney->moveTo(2); // 1000 for 1100
    QTest::keyClick(pay->dxDBGrid1, Qt::Key_Return);
    runDeferredDeletes();
    QVERIFY(pay.isNull());
    QCOMPARE(shop->count("GuestCost", "Mode = 'I' AND Cost = 1000 AND piece = 1100 AND worker = 'W09'"), 1);
    QCOMPARE(desk->session().guest().Leave_Mon, 3100.0);
    QCOMPARE(desk->session().guest().RentTotal, 10);
    QCOMPARE(desk->lab9BalMon->text(), QString("3090"));

    if (settle) {
        QTest::keyClick(desk->edtName, Qt::Key_Return);
        QCOMPARE(shop->count("Rent_Back", "Book_Code = 'B3' AND Bstate = 'RetB'"), 1);
    } else {
        desk->btnReset->click();
        QCOMPARE(shop->count("Rent_Back", "Book_Code = 'B3'"), 0);
    }
    QCOMPARE(desk->session().mode(), int(DeskSession::ModeWaiting));
    QCOMPARE(balanceOf(*shop, "G1"), balance);
    QCOMPARE(shop->count("GuestCost", "Mode = 'I'"), 1);
    QCOMPARE(shop->scalar("SELECT Pay_Num FROM Guest WHERE GuestCode = 'G1'").toInt(), 1);
    desk.reset();
    runDeferredDeletes();
}

QTEST_MAIN(TestPayWindows)
#include "test_pay_windows.moc"
