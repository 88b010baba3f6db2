// The customer search: the starting list, the search by each field with the closed
// accounts box and awkward values, the loan history and its filter, Home, the delete
// with its guard, the registration and chart it opens, and the hand-over to the desk.
#include "customers/CustomerTarget.h"
#include "customers/UF01_NewGuest.h"
#include "customers/UF11_FindGuest.h"
#include "desk/UF00_Main.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/WindowRegistry.h"
#include "support/TestShop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList codes(const Dataset& d)
{
    QStringList out;
    for (int r = 1; r <= d.recordCount(); ++r)
        out << d.valueAt(r, d.fieldIndex("GuestCode")).toString();
    return out;
}

// Stands in for the customer analysis chart.
class FakeChart : public Tfm_BaseIS, public CustomerTarget {
public:
    explicit FakeChart(QWidget* owner) : Tfm_BaseIS(owner) {}
    void SetCustomer(const QString& c, const QString& n) override
    {
        code = c;
        name = n;
    }
    QString code, name;
};
FakeChart* fakeChart = nullptr;

} // namespace

class TestFindGuest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startingListAndItsLook();
    void search_data();
    void search();
    void keysOfTheSearchBar();
    void refusedStatementLeavesTheListEmptyAndUsable();
    void historyFilterOrderAndStates();
    void homeListsTheShopAccountWhichCannotBeDeleted();
    void deleteAsksFirst();
    void registrationForNewAndForEdit();
    void periodChart();
    void enterOrDoubleClickHandsTheCustomerToTheDesk();

private:
    TF11_FindGuest* open(QWidget* owner = nullptr)
    {
        auto* w = qobject_cast<TF11_FindGuest*>(openWindow("TF11_FindGuest", owner));
        if (w && !QTest::qWaitForWindowActive(w))
            qWarning("search not active");
        return w;
    }
    void searchFor(TF11_FindGuest* w, int field, const QString& value, bool closed)
    {
        w->dxImageEdit1->setCurrentIndex(field);
        w->chkClose->setChecked(closed);
        w->dxEdit1->setFocus();
        w->dxEdit1->clear();
        for (const QChar c : value) { // one key a character, Chinese ones too
            QTest::sendKeyEvent(QTest::Press, w->dxEdit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w->dxEdit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(w->dxEdit1, Qt::Key_Return);
    }

    std::unique_ptr<TestShop> shop;
};

void TestFindGuest::init()
{
    shop = std::make_unique<TestShop>();
    registerWindows();
    Database& db = shop->db();
    db.exec("UPDATE Guest SET TEL = '0911000000' WHERE GuestCode = 'A001'");
    shop->addGuest("G001", "王小明");
    shop->addGuest("G002", "王大同");
    shop->addGuest("G003", "李美玲", -50);
    shop->addGuest("G004", "O'Neil");
    shop->addGuest("G005", "100%純愛");
    shop->addGuest("G006", "1000本");
    db.exec("UPDATE Guest SET TEL = '0912345678', ID_number = 'A123456789', TEL2 = '0911' WHERE GuestCode = 'G001'");
    db.exec("UPDATE Guest SET TEL2 = '0987654321', IsClose = 1 WHERE GuestCode = 'G002'");
    db.exec("UPDATE Guest SET TEL = '0223456789', TEL2 = '0988111222', PS = '常客' WHERE GuestCode = 'G003'");
}

void TestFindGuest::cleanup()
{
    unregisterWindow("TF41_GuestGraph");
    delete F00_Main;
    delete F11_FindGuest;
    delete F01_NewGuest;
    runDeferredDeletes();
    QVERIFY(!F11_FindGuest && !F01_NewGuest);
    shop.reset();
}

void TestFindGuest::startingListAndItsLook()
{
    TF11_FindGuest* w = open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("尋找客戶"));
    QCOMPARE(codes(*w->qryGuest), QStringList({"G001", "G003", "G004", "G005", "G006"}));
    QCOMPARE(w->panelText(1), QString("1/總筆數：5　　"));
    QCOMPARE(w->dxDBGrid1->bands(), QStringList({" ", "基本資料", "Other"}));
    QVERIFY(w->dxDBGrid1->hasFixedFirstBand());
    QVERIFY(!w->dxDBGrid1->isEditable());

    // A negative balance is drawn in red, the others are not.
    DatasetModel* m = w->dxDBGrid1->datasetModel();
    const int balance = m->columnOf("Leave_Mon");
    QCOMPARE(m->data(m->index(1, balance), Qt::ForegroundRole).value<QColor>(), QColor(0xE0, 0, 0));
    QVERIFY(!m->data(m->index(0, balance), Qt::ForegroundRole).isValid());
    QCOMPARE(m->displayText(0, m->columnOf("SEX")), QString("Unknown (未知)"));

    // The summary follows the selected customer.
    w->qryGuest->moveTo(2);
    QCOMPARE(w->findChild<QLineEdit*>("sumTEL2")->text(), QString("0988111222"));
    QCOMPARE(w->findChild<QLineEdit*>("sumLeave_Mon")->text(), QString("-NT$50"));
    QCOMPARE(w->panelText(1), QString("2/總筆數：5　　"));
    QCOMPARE(w->Action2->text(), QString("新增()"));
    QCOMPARE(w->Action2->iconText(), QString("新增客戶(&C)"));
    QCOMPARE(w->ActionGuestGraph->text(), QString("期間分析(R)"));
}

void TestFindGuest::search_data()
{
    QTest::addColumn<int>("field"); // 姓名, 代碼, 身分証字號, 電話
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QStringList>("found");
    const QStringList allOpen = {"G001", "G003", "G004", "G005", "G006"};
    QTest::newRow("name prefix, open only") << 0 << "王" << false << QStringList({"G001"});
    QTest::newRow("name prefix, closed too") << 0 << "王" << true << QStringList({"G001", "G002"});
    QTest::newRow("code, other case") << 1 << "g00" << false << allOpen;
    QTest::newRow("id number") << 2 << "a12" << false << QStringList({"G001"});
    QTest::newRow("phone or mobile, never the shop") << 3 << "09" << false << QStringList({"G001", "G003"});
    QTest::newRow("mobile, closed too") << 3 << "098" << true << QStringList({"G002", "G003"});
    QTest::newRow("a quote") << 0 << "O'" << false << QStringList({"G004"});
    QTest::newRow("a percent sign is itself") << 0 << "100%" << false << QStringList({"G005"});
    QTest::newRow("an underscore is itself") << 0 << "10_0" << false << QStringList();
    QTest::newRow("SQL text") << 0 << "' OR '1'='1" << false << QStringList();
    QTest::newRow("empty value: the open accounts, box or not") << 2 << "" << true << allOpen;
}

void TestFindGuest::search()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(bool, closed);
    QFETCH(QStringList, found);
    TF11_FindGuest* w = open();
    QCOMPARE(w->dxImageEdit1->currentText(), QString("姓名"));
    searchFor(w, field, value, closed);
    QVERIFY2(shop->prompts.shown().isEmpty(), qPrintable(shop->prompts.texts().join('|')));
    QCOMPARE(codes(*w->qryGuest), found);
    QCOMPARE(w->dxEdit1->selectedText(), value);
    QCOMPARE(w->panelText(1), found.isEmpty() ? QString("新增.../總筆數：0　　") : QString("1/總筆數：%1　　").arg(found.size()));
}

void TestFindGuest::keysOfTheSearchBar()
{
    TF11_FindGuest* w = open();
    QCOMPARE(QApplication::focusWidget(), w->dxEdit1);
    QTest::keyClick(w->dxEdit1, Qt::Key_F3);
    QCOMPARE(QApplication::focusWidget(), w->dxImageEdit1);
    QTest::keyClick(w->dxImageEdit1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w->dxEdit1);
    QTest::keyClick(w->dxEdit1, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), w->dxDBGrid1);
    // The button runs the same search as Enter.
    w->dxImageEdit1->setCurrentIndex(1);
    w->dxEdit1->setText("G00");
    w->btnEntScan->click();
    QCOMPARE(w->qryGuest->recordCount(), 5);
}

void TestFindGuest::refusedStatementLeavesTheListEmptyAndUsable()
{
    TF11_FindGuest* w = open();
    shop->db().failNextStatementContaining("\"Guest\"");
    searchFor(w, 0, "王", false);
    QCOMPARE(shop->prompts.shown().size(), 1);
    QCOMPARE(shop->prompts.last().kind, QString("Err"));
    QVERIFY(!w->qryGuest->isOpen());
    QVERIFY(!w->qryRent->isOpen());
    QCOMPARE(w->dxDBGrid1->datasetModel()->rowCount(), 0);

    searchFor(w, 0, "王", false);
    QCOMPARE(codes(*w->qryGuest), QStringList({"G001"}));
}

void TestFindGuest::historyFilterOrderAndStates()
{
    shop->addBook("B1", "海賊王", 101);
    shop->addBook("B2", "火影忍者", 101);
    shop->addBook("B3", "灌籃高手", 101);
    shop->addBook("B4", "週刊", 301);
    shop->addLoan("G001", "B1", 10, -7, 10, "BCK");
    shop->db().exec("UPDATE Rent_Back SET BDate = '2026-03-03 12:00:00', flgRet = 1, OverMoney = 15 "
                    "WHERE Book_Code = 'B1'");
    shop->addLoan("G001", "B2", 5, -2, 10, "RetB");
    shop->addLoan("G001", "B3", 2, 1, 10, "con1");
    shop->addLoan("G001", "B4", 0, 0, 5, "IN");
    shop->addLoan("G003", "B1", 1, 2, 10, "RetB"); // someone else's

    TF11_FindGuest* w = open();
    DatasetModel* m = w->dxDBGrid2->datasetModel();
    auto column = [&](const QString& field) {
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->displayText(r, m->columnOf(field));
        return out;
    };
    QCOMPARE(column("Book_Code"), QStringList({"B4", "B3", "B2", "B1"})); // newest first
    QCOMPARE(column("Bstate"), QStringList({"內閱", "續租", "未還", "以還"}));
    QCOMPARE(column("Name"), QStringList({"週刊", "灌籃高手", "火影忍者", "海賊王"}));
    QCOMPARE(column("Book.Vol"), QStringList({"1", "1", "1", "1"}));
    QCOMPARE(column("OverMoney").last(), QString("15"));
    QCOMPARE(column("BDate").last(), QString("2026/03/03"));
    const int state = m->columnOf("Bstate");
    QCOMPARE(m->data(m->index(2, state), Qt::ForegroundRole).value<QColor>(), QColor(0xE0, 0, 0));
    QVERIFY(!m->data(m->index(1, state), Qt::ForegroundRole).isValid());

    w->CheckBox1->setChecked(true);
    QCOMPARE(column("Book_Code"), QStringList({"B2"}));
    w->CheckBox1->setChecked(false);
    QCOMPARE(column("Book_Code"), QStringList({"B4", "B3", "B2", "B1"}));

    // Another customer, another history; none without a customer.
    w->qryGuest->next();
    QCOMPARE(column("Book_Code"), QStringList({"B1"}));
    searchFor(w, 0, "nobody", false);
    QVERIFY(!w->qryRent->isOpen());
}

void TestFindGuest::homeListsTheShopAccountWhichCannotBeDeleted()
{
    TF11_FindGuest* w = open();
    w->dxDBGrid1->setFocus();
    QTest::keyClick(w->dxDBGrid1, Qt::Key_Insert);
    QCOMPARE(QApplication::focusWidget(), w->dxEdit1);
    QCOMPARE(codes(*w->qryGuest), QStringList({"A001", "G001", "G003", "G004", "G005", "G006"}));
    QCOMPARE(w->qryGuest->recNo(), 1);

    shop->prompts.setNextAnswer(Answer::Ok);
    QTest::keyClick(w->dxEdit1, Qt::Key_F5);
    QCOMPARE(shop->prompts.texts(), QStringList({"確定要刪除此筆資料！", "店閱資料，不可刪除"}));
    QCOMPARE(shop->prompts.shown().at(0).caption, QString("刪除"));
    QCOMPARE(shop->prompts.last().caption, QString("嚴重的錯誤"));
    QCOMPARE(shop->prompts.last().kind, QString("Err"));

    shop->prompts.clear();
    shop->prompts.setNextAnswer(Answer::Yes);
    w->BiDiDBNavigator1->click(DBNavigator::Button::Delete);
    QCOMPARE(shop->prompts.last().text, QString("店閱資料，不可刪除"));
    QCOMPARE(shop->count("Guest", "GuestCode = 'A001'"), 1);
    QCOMPARE(w->qryGuest->recordCount(), 6);
}

void TestFindGuest::deleteAsksFirst()
{
    shop->addBook("B1", "海賊王", 101);
    shop->addLoan("G001", "B1", 3, 1);
    TF11_FindGuest* w = open();
    QCOMPARE(w->qryGuest->text("GuestCode"), QString("G001"));

    shop->prompts.setNextAnswer(Answer::Cancel);
    QTest::keyClick(w->dxEdit1, Qt::Key_F5);
    QCOMPARE(shop->count("Guest", "GuestCode = 'G001'"), 1);

    shop->prompts.setNextAnswer(Answer::Ok);
    QTest::keyClick(w->dxEdit1, Qt::Key_F5);
    QCOMPARE(shop->count("Guest", "GuestCode = 'G001'"), 0);
    QCOMPARE(shop->count("Rent_Back", "Guest_CODE = 'G001'"), 1); // the loans stay
    QCOMPARE(codes(*w->qryGuest), QStringList({"G003", "G004", "G005", "G006"}));
    QCOMPARE(w->panelText(1), QString("1/總筆數：4　　"));
}

void TestFindGuest::registrationForNewAndForEdit()
{
    TF11_FindGuest* w = open();
    w->qryGuest->moveTo(2);
    QTest::keyClick(w->dxEdit1, Qt::Key_F4);
    QVERIFY(F01_NewGuest && F01_NewGuest->isVisible());
    QCOMPARE(F01_NewGuest->parentWidget(), w);
    QCOMPARE(F01_NewGuest->mode(), TF01_NewGuest::Mode::Edit);
    QCOMPARE(F01_NewGuest->Table1->state(), Dataset::State::Edit);
    QCOMPARE(F01_NewGuest->Table1->text("GuestCode"), QString("G003"));

    F01_NewGuest->Table1->cancel();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->dxEdit1, Qt::Key_F2);
    QCOMPARE(F01_NewGuest->mode(), TF01_NewGuest::Mode::New);
    QCOMPARE(F01_NewGuest->Table1->state(), Dataset::State::Insert);
    QVERIFY(shop->prompts.shown().isEmpty());
}

void TestFindGuest::periodChart()
{
    TF11_FindGuest* w = open();
    w->ActionGuestGraph->trigger(); // no chart yet: nothing happens
    QVERIFY(shop->prompts.shown().isEmpty());

    registerWindow("TF41_GuestGraph", [](QWidget* o) { return openSingle(fakeChart, o); });
    w->qryGuest->moveTo(2);
    w->ActionGuestGraph->trigger();
    QVERIFY(fakeChart);
    QCOMPARE(fakeChart->parentWidget(), w);
    QCOMPARE(fakeChart->code, QString("G003"));
    QCOMPARE(fakeChart->name, QString("李美玲"));
}

void TestFindGuest::enterOrDoubleClickHandsTheCustomerToTheDesk()
{
    auto* desk = new TF00_Main;
    desk->show();
    TF11_FindGuest* w = open(desk);
    w->qryGuest->moveTo(2);
    w->dxDBGrid1->setFocus();
    QTest::keyClick(w->dxDBGrid1, Qt::Key_Return);
    runDeferredDeletes();
    QVERIFY(!F11_FindGuest);
    QVERIFY(desk->session().customerOpen());
    QCOMPARE(desk->session().guest().GuestCode, QString("G003"));
    QVERIFY(desk->LMDLabelFill1->text().contains("李美玲"));

    desk->btnReset->click();
    w = open(desk);
    w->qryGuest->moveTo(3);
    QTableView* view = w->dxDBGrid1;
    const QModelIndex cell = view->model()->index(2, 3);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    runDeferredDeletes();
    QVERIFY(!F11_FindGuest);
    QCOMPARE(desk->session().guest().GuestCode, QString("G004"));
}

QTEST_MAIN(TestFindGuest)
#include "test_find_guest.moc"
