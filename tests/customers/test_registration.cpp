// The customer registration window: the defaults of a new row, the save-and-next key
// with its messages, the codes it refuses, edit mode, the address copy, the shop's own
// account, closing, the advanced settings key and the desk's refresh after a save.
#include "customers/UF01_1GuestSet2.h"
#include "customers/UF01_NewGuest.h"
#include "customers/GuestRules.h"
#include "desk/UF00_Main.h"
#include "framework/DBControls.h"
#include "framework/DBNavigator.h"
#include "support/TestShop.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Puts the focus in the field and replaces its text by typing, as the clerk does.
void typeInto(QWidget* field, const QString& text)
{
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    // One key a character, also for characters that no key of a Latin keyboard has.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString guestText(TestShop& shop, const QString& code, const QString& column)
{
    return shop.scalar(QStringLiteral("SELECT \"%1\" FROM Guest WHERE GuestCode = :c").arg(column), {{"c", code}})
        .toString();
}

} // namespace

class TestRegistration : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newRowDefaults();
    void ageText_data();
    void ageText();
    void f2WithoutCodeShowsBothMessagesAndKeepsTheRow();
    void f2WithCodeSavesAndStartsTheNextRow();
    void refusedCodes_data();
    void refusedCodes();
    void editModeSavesAndConfirms();
    void shopAccountCannotBeReached();
    void addressCopy();
    void enterAndArrowsMoveBetweenFields();
    void closingOnlyHidesAndKeepsThePendingRow();
    void f3SavesThenOpensTheSettings();
    void deskShowsTheSavedChange();

private:
    TF01_NewGuest* open(QWidget* owner = nullptr)
    {
        TF01_NewGuest* w = TF01_NewGuest::OpenForNew(owner);
        if (!QTest::qWaitForWindowActive(w))
            qWarning("registration not active");
        return w;
    }
    QWidget* field(const char* name) const { return F01_NewGuest->findChild<QWidget*>(QString::fromLatin1(name)); }

    std::unique_ptr<TestShop> shop;
};

void TestRegistration::init()
{
    shop = std::make_unique<TestShop>();
    shop->addGuest("G001", "王小明", 150);
}

void TestRegistration::cleanup()
{
    delete F00_Main;
    delete F01_NewGuest;
    runDeferredDeletes();
    QVERIFY(!F01_NewGuest && !F01_1GuestSet2);
    shop.reset();
}

void TestRegistration::newRowDefaults()
{
    TF01_NewGuest* w = open();
    QCOMPARE(w->windowTitle(), QString("新增客戶"));
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    const QDate today = Clock::today();
    QCOMPARE(w->Table1->date("Birthday"), today.addDays(-5000));
    QCOMPARE(w->labAge->text(), QString("13歲"));
    QCOMPARE(w->Table1->date("Come_Date"), today);
    QCOMPARE(w->Table1->text("Class"), QString("1"));
    for (const char* money : {"Leave_Mon", "Pledge_Mon", "Entrance_fee", "Total_Mon"})
        QCOMPARE(w->Table1->value(money), QVariant(qlonglong(0)));
    for (const char* limit : {"Lim_Comic", "Lim_Fiction", "Lim_Magazine", "Lim_CD", "Lim_OTH", "Lim_New"})
        QCOMPARE(w->Table1->integer(limit), 5);
    QCOMPARE(w->Table1->text("GuestCode"), QString());

    // What the window shows around the row.
    QCOMPARE(w->Action2->iconText(), QString("新增(&I)　　"));
    QCOMPARE(w->panelText(0), QString("自動編號："));
    QCOMPARE(w->panelText(1), QString("新增.../總筆數：1　　"));
    QCOMPARE(qobject_cast<QLineEdit*>(field("Leave_Mon"))->text(), QString("NT$0"));
    QCOMPARE(w->grpDetails->title(), QString("Details"));
    QCOMPARE(w->grpSets->title(), QString("Sets"));
    QCOMPARE(QApplication::focusWidget(), w->edtGuestCode);
}

void TestRegistration::ageText_data()
{
    QTest::addColumn<int>("daysOld");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a day short of a year") << 365 << "0歲";
    QTest::newRow("a year and a day") << 366 << "1歲";
    QTest::newRow("quarter days count: 4 years less a day") << 1460 << "3歲";
    QTest::newRow("born in the future, truncated toward zero") << -400 << "-1歲";
}

void TestRegistration::ageText()
{
    QFETCH(int, daysOld);
    QFETCH(QString, shown);
    TF01_NewGuest* w = open();
    w->edtBirthday->setDate(Clock::today().addDays(-daysOld));
    QCOMPARE(w->labAge->text(), shown);
    QCOMPARE(w->Table1->date("Birthday"), Clock::today().addDays(-daysOld));
}

void TestRegistration::f2WithoutCodeShowsBothMessagesAndKeepsTheRow()
{
    TF01_NewGuest* w = open();
    typeInto(w->edtName, "陳小華");
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QCOMPARE(shop->prompts.texts(), QStringList({"請輸入客戶編號！", "有欄位空白，請填資料！"}));
    QCOMPARE(shop->prompts.shown().at(0).caption, QString("空白的錯誤！"));
    QCOMPARE(shop->prompts.shown().at(1).kind, QString("Waning"));
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    QCOMPARE(w->Table1->text("Name"), QString("陳小華"));
    QCOMPARE(shop->count("Guest"), 2); // the shop's own account and G001
}

void TestRegistration::f2WithCodeSavesAndStartsTheNextRow()
{
    TF01_NewGuest* w = open();
    typeInto(w->edtGuestCode, "G100");
    typeInto(w->edtName, "陳小華");
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QVERIFY2(shop->prompts.shown().isEmpty(), qPrintable(shop->prompts.texts().join('|')));
    QCOMPARE(guestText(*shop, "G100", "Name"), QString("陳小華"));
    QCOMPARE(guestText(*shop, "G100", "Lim_OTH"), QString("5"));
    QCOMPARE(dbDate(guestText(*shop, "G100", "Birthday")), Clock::today().addDays(-5000));
    // The next new row, with its defaults and the focus back on the code.
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    QCOMPARE(w->edtGuestCode->text(), QString());
    QCOMPARE(w->Table1->text("Class"), QString("1"));
    QCOMPARE(QApplication::focusWidget(), w->edtGuestCode);
}

void TestRegistration::refusedCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("longer than a loan can hold") << "G0123456789" << "客戶編號不可超過 10 個字！";
    QTest::newRow("taken") << "G001" << "客戶編號「G001」已經有人使用，請換一個編號！";
    QTest::newRow("taken in other case") << "g001" << "客戶編號「g001」已經有人使用，請換一個編號！";
    QTest::newRow("spaces only") << "   " << "請輸入客戶編號！";
}

void TestRegistration::refusedCodes()
{
    QFETCH(QString, code);
    QFETCH(QString, message);
    TF01_NewGuest* w = open();
    typeInto(w->edtGuestCode, code);
    typeInto(w->edtName, "陳小華");
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QCOMPARE(shop->prompts.texts(), QStringList({message, "有欄位空白，請填資料！"}));
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    QCOMPARE(w->edtGuestCode->text(), code);
    QCOMPARE(w->Table1->text("Name"), QString("陳小華"));
    QCOMPARE(shop->count("Guest"), 2);

    // The navigator's save is checked the same way.
    shop->prompts.clear();
    w->BiDiDBNavigator1->click(DBNavigator::Button::Post);
    QCOMPARE(shop->prompts.texts(), QStringList({message}));
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
}

void TestRegistration::editModeSavesAndConfirms()
{
    shop->addGuest("G002", "林美玉");
    TF01_NewGuest* w = TF01_NewGuest::OpenForEdit(nullptr, "G002");
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->mode(), TF01_NewGuest::Mode::Edit);
    QCOMPARE(w->Action2->iconText(), QString("修改(&F)"));
    QCOMPARE(w->Table1->state(), Dataset::State::Edit);
    QCOMPARE(w->edtName->text(), QString("林美玉"));

    typeInto(w->edtName, "林美華");
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QCOMPARE(shop->prompts.texts(), QStringList({"資料修改完成！！"}));
    QCOMPARE(shop->prompts.last().caption, QString("完成"));
    QCOMPARE(shop->prompts.last().kind, QString("Inf"));
    QCOMPARE(guestText(*shop, "G002", "Name"), QString("林美華"));
    QCOMPARE(w->Table1->state(), Dataset::State::Browse);

    // F2 again with nothing pending only confirms.
    shop->prompts.clear();
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QCOMPARE(shop->prompts.texts(), QStringList({"資料修改完成！！"}));

    // Opened for a new customer afterwards: new mode again, and F2 saves and starts the next row.
    shop->prompts.clear();
    QCOMPARE(TF01_NewGuest::OpenForNew(nullptr), w);
    QCOMPARE(w->mode(), TF01_NewGuest::Mode::New);
    QCOMPARE(w->Action2->iconText(), QString("新增(&I)　　"));
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    typeInto(w->edtGuestCode, "G003");
    QTest::keyClick(w->edtGuestCode, Qt::Key_F2);
    QVERIFY(shop->prompts.shown().isEmpty());
    QCOMPARE(shop->count("Guest", "GuestCode = 'G003'"), 1);
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
}

void TestRegistration::shopAccountCannotBeReached()
{
    TF01_NewGuest* w = open();
    QCOMPARE(w->Table1->recordCount(), 1);
    QCOMPARE(w->Table1->valueAt(1, w->Table1->fieldIndex("GuestCode")).toString(), QString("G001"));

    for (const char* code : {"A001", "NOBODY"}) {
        shop->prompts.clear();
        w->OpenForEdit(code);
        QCOMPARE(shop->prompts.texts(), QStringList({"資料錯誤，請刪除此筆資料，重新輸入"}));
        QCOMPARE(shop->prompts.last().caption, QString("錯誤"));
        QCOMPARE(w->mode(), TF01_NewGuest::Mode::New);
        QCOMPARE(w->Action2->iconText(), QString("新增(&I)　　"));
        QVERIFY(w->Table1->text("GuestCode") != "A001");
    }
}

void TestRegistration::addressCopy()
{
    shop->db().exec("UPDATE Guest SET ADDR2 = '舊址' WHERE GuestCode = 'G001'");
    TF01_NewGuest* w = TF01_NewGuest::OpenForEdit(nullptr, "G001");
    QVERIFY(QTest::qWaitForWindowActive(w));

    // Leaving an empty address leaves the registered address alone.
    w->edtAddr->setFocus();
    QTest::keyClick(w->edtAddr, Qt::Key_Tab);
    QCOMPARE(w->Table1->text("ADDR2"), QString("舊址"));

    typeInto(w->edtAddr, "台北市中山路1號");
    QTest::keyClick(w->edtAddr, Qt::Key_Tab);
    QCOMPARE(w->edtAddr2->text(), QString("台北市中山路1號"));
    QCOMPARE(QApplication::focusWidget(), w->edtAddr2);
    QTest::keyClick(w->edtAddr2, Qt::Key_F2);
    QCOMPARE(guestText(*shop, "G001", "ADDR2"), QString("台北市中山路1號"));
}

void TestRegistration::enterAndArrowsMoveBetweenFields()
{
    TF01_NewGuest* w = open();
    QTest::keyClick(w->edtGuestCode, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w->edtName);
    QTest::keyClick(w->edtName, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), w->cbSex);
    QTest::keyClick(w->cbSex, Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), w->edtName);
    // Insert (Home) goes back to the code from anywhere.
    QTest::keyClick(w->edtName, Qt::Key_Insert);
    QCOMPARE(QApplication::focusWidget(), w->edtGuestCode);
}

void TestRegistration::closingOnlyHidesAndKeepsThePendingRow()
{
    TF01_NewGuest* w = open();
    typeInto(w->edtName, "陳小華");
    QTest::keyClick(w->edtName, Qt::Key_F12);
    runDeferredDeletes();
    QCOMPARE(F01_NewGuest, w);
    QVERIFY(!w->isVisible());

    // Opened again for a new customer: the row typed before is still there, without a message.
    QCOMPARE(open(), w);
    QVERIFY(shop->prompts.shown().isEmpty());
    QCOMPARE(w->Table1->state(), Dataset::State::Insert);
    QCOMPARE(w->edtName->text(), QString("陳小華"));

    // Asked to edit a customer instead, a row that has no code (and can never be saved) gives way.
    w->OpenForEdit("G001");
    QVERIFY(shop->prompts.shown().isEmpty());
    QCOMPARE(w->Table1->state(), Dataset::State::Edit);
    QCOMPARE(w->edtName->text(), QString("王小明"));
    QCOMPARE(shop->count("Guest"), 2);
}

void TestRegistration::f3SavesThenOpensTheSettings()
{
    TF01_NewGuest* w = open();
    QTest::keyClick(w->edtName, Qt::Key_F3); // no code yet: refused, nothing opens
    QCOMPARE(shop->prompts.texts(), QStringList({"請輸入客戶編號！"}));
    QVERIFY(!F01_1GuestSet2);

    shop->prompts.clear();
    typeInto(w->edtGuestCode, "G200");
    typeInto(w->edtName, "周杰");
    QTest::keyClick(w->edtName, Qt::Key_F3);
    QVERIFY(shop->prompts.shown().isEmpty());
    QCOMPARE(guestText(*shop, "G200", "Name"), QString("周杰"));
    QVERIFY(F01_1GuestSet2);
    QCOMPARE(F01_1GuestSet2->parentWidget(), w);
    QCOMPARE(F01_1GuestSet2->windowTitle(), QString("進階設定"));
    QCOMPARE(F01_1GuestSet2->labTitle->text(), QString("周杰"));
    QCOMPARE(F01_1GuestSet2->findChild<QLineEdit*>("GuestCode")->text(), QString("G200"));
}

void TestRegistration::deskShowsTheSavedChange()
{
    auto* desk = new TF00_Main;
    desk->show();
    desk->edtName->setText("G001");
    desk->btnOK->click();
    QVERIFY(desk->session().customerOpen());

    TF01_NewGuest* w = TF01_NewGuest::OpenForEdit(desk, "G001");
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->parentWidget(), desk);
    typeInto(w->edtName, "王大明");
    QTest::keyClick(w->edtName, Qt::Key_F2);
    QCOMPARE(desk->session().guest().Name, QString("王大明"));
    QVERIFY(desk->LMDLabelFill1->text().contains("王大明"));

    // A save through the settings window refreshes it too.
    QTest::keyClick(w->edtName, Qt::Key_F3);
    QVERIFY(F01_1GuestSet2);
    QVERIFY(QTest::qWaitForWindowActive(F01_1GuestSet2));
    auto* limit = F01_1GuestSet2->findChild<QLineEdit*>("Lim_Comic");
    typeInto(limit, "9");
    F01_1GuestSet2->Action12_Close->trigger();
    runDeferredDeletes();
    QVERIFY(!F01_1GuestSet2);
    QCOMPARE(desk->session().guest().Lim_Comic, qint16(9));
}

QTEST_MAIN(TestRegistration)
#include "test_registration.moc"
