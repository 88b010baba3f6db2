// The desk window's wiring: what the clerk types and presses reaches the desk,
// and what the desk knows shows in the labels, status panels, grid colours,
// actions, menus and the desk's dialogs; keys meant for another window do nothing.
#include "customers/Payments.h"
#include "desk/DeskRules.h"
#include "desk/UF00_EditPS.h"
#include "desk/UF00_Main.h"
#include "desk/UF00_SelGuest.h"
#include "desk/UF00_SetMoney.h"
#include "framework/DBControls.h"
#include "framework/DBGrid.h"
#include "framework/WindowRegistry.h"
#include "support/TestShop.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

namespace {

void showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// G1 has two books out: B1 due tomorrow, B2 two days overdue; B3 is on the shelf.
struct DeskWindow {
    TestShop shop;
    std::unique_ptr<TF00_Main> desk;

    DeskWindow()
    {
        shop.addGuest("G1", QStringLiteral("王小明"), 100);
        shop.addGuest("G2", QStringLiteral("李大同"), 50);
        shop.addBook("B1", QStringLiteral("海賊王"), 101);
        shop.addBook("B2", QStringLiteral("火影忍者"), 102);
        shop.addBook("B3", QStringLiteral("灌籃高手"), 103);
        shop.addLoan("G1", "B1", 3, 1);
        shop.addLoan("G1", "B2", 5, -2);
        desk = std::make_unique<TF00_Main>();
        showActive(desk.get());
    }
    ~DeskWindow()
    {
        desk.reset();
        runDeferredDeletes();
    }

    void type(const QString& text)
    {
        QTest::keyClicks(desk->edtName, text);
        QTest::keyClick(desk->edtName, Qt::Key_Return);
    }
    Dataset& lines() { return desk->session().qryBook(); }
    int row(const QString& code)
    {
        for (int r = 1; r <= lines().recordCount(); ++r)
            if (lines().valueAt(r, lines().fieldIndex("Book_Code")).toString() == code)
                return r;
        return 0;
    }
    void goTo(const QString& code) { lines().moveTo(row(code)); }
    QModelIndex cell(const QString& code, const QString& field)
    {
        DatasetModel* m = desk->dxDBGrid1->datasetModel();
        return m->index(m->rowOfRecNo(row(code)), m->columnOf(field));
    }
    QString shown(const QString& code, const QString& field)
    {
        const QModelIndex i = cell(code, field);
        return desk->dxDBGrid1->datasetModel()->displayText(i.row(), i.column());
    }
};

// A window opener that only records who asked for which window.
struct OpenedLog {
    QStringList classes;
    QList<QWidget*> owners;
    void record(const QString& className)
    {
        registerWindow(className, [this, className](QWidget* owner) -> QWidget* {
            classes << className;
            owners << owner;
            return nullptr;
        });
    }
};

QStringList entries(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace

class TestDeskWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        Tfm_Base::setModalDriver({});
        runDeferredDeletes();
    }

    void startState();
    void actionBar();
    void menuBar();
    void openAndRentThroughTheInputBox();
    void lineKeys_data();
    void lineKeys();
    void modeCycleAndReset();
    void shortcutsOnlyWithTheDeskInFront();
    void otherWindowsHandOverAndRefresh();
    void actionsOpenTheirWindows_data();
    void actionsOpenTheirWindows();
    void chooseCustomer_data();
    void chooseCustomer();
    void priceAdjustment();
    void priceAdjustmentFollowsItsLine();
    void noteEditor();
    void clock_data();
    void clock();
    void dateTimeSettingsOnDoubleClick();
    void closingTheDeskEndsIt();
};

void TestDeskWindow::startState()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    QCOMPARE(F00_Main, &d);
    QCOMPARE(d.windowTitle(), QStringLiteral("租書系統:") + Tfm_Base::GetVersionText());
    QCOMPARE(d.labH1->text(), QStringLiteral("客戶名稱：\n條 碼 號："));
    QCOMPARE(d.LMDLabelFill1->text(), QStringLiteral("等待輸入..."));
    QCOMPARE(d.btnOK->text(), QStringLiteral("確定(&K)"));
    QCOMPARE(d.btnReset->text(), QStringLiteral("重設(&S)"));
    QVERIFY(!d.edtName->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(d.edtName->inputMethodHints() & Qt::ImhLatinOnly);
    QVERIFY(d.edtName->hasFocus());
    QCOMPARE(d.lab1RentBook->text(), QStringLiteral("0"));
    QCOMPARE(d.lab3NotRent->text(), QStringLiteral("0"));
    QCOMPARE(d.lab5RentMoney->text(), QString());
    QCOMPARE(d.lab9BalMon->text(), QString());
    QCOMPARE(d.labHistGuest->text(), QString());

    QCOMPARE(d.panelCount(), 4);
    const int widths[] = {300, 100, 100, 50};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(d.panel(i)->minimumWidth(), widths[i]);
    QCOMPARE(d.panelText(0), QStringLiteral("請輸入客戶代碼或姓名、電話...."));
    QCOMPARE(d.panelText(1), QStringLiteral("值班：程 小九"));
    QCOMPARE(d.panelText(2), QStringLiteral("『一般』"));
    QCOMPARE(d.panelText(3), TF00_Main::clockText(Clock::now()));
    QVERIFY(d.tmrClock->isActive());
    QCOMPARE(d.tmrClock->interval(), 1000);

    QStringList captions;
    for (int c = 0; c < d.dxDBGrid1->datasetModel()->columnCount(); ++c)
        if (d.dxDBGrid1->datasetModel()->column(c)->isVisible())
            captions << d.dxDBGrid1->datasetModel()->column(c)->caption();
    QCOMPARE(captions, (QStringList{"狀態", "條碼號", "書名", "集數", "價格", "租書日期", "應還日", "PS"}));
    QVERIFY(!d.dxDBGrid1->datasetModel()->column("Guest_CODE")->isVisible());
    QVERIFY(!d.dxDBGrid1->datasetModel()->column("RDate")->isVisible());
    QCOMPARE(f.shop.count("DayCost"), 1); // today's row exists once the desk is up
}

void TestDeskWindow::actionBar()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    struct Expected {
        const char* name;
        const char* caption;
        QKeySequence key;
        bool enabledAtStart;
    };
    const Expected expected[] = {
        {"Action2", "新增客戶(&C)", Qt::Key_F2, true},
        {"Action3", "新增書本(&B)", Qt::Key_F3, true},
        {"Action4", "內閱(&R)", Qt::Key_F4, true},
        {"Action5", "調價(&M)", Qt::Key_F5, false},
        {"Action6", "續租(&P)", Qt::Key_F6, false},
        {"Action7", "繳退款(&M)", Qt::Key_F7, false},
        {"Action8", "預約(&L)", Qt::Key_F8, true},
        {"Action9", "賠償(&N)", Qt::Key_F9, false},
        {"Action10", "書本查詢(&E)", Qt::Key_F10, true},
        {"Action11", "查詢客戶(&S)", Qt::Key_F11, true},
        {"Action15_EditPS", "改提示(&P)", QKeySequence(Qt::CTRL | Qt::Key_F1), false},
        {"ActionMenu", "H&ome", Qt::Key_Insert, true},
        {"Action12_Close", "關閉(F12)", Qt::Key_F12, true},
    };
    QList<QAction*> bar;
    for (QAction* a : d.barOrder())
        if (a && d.isButtonVisible(a))
            bar << a;
    QCOMPARE(bar.size(), int(std::size(expected)));
    for (int i = 0; i < bar.size(); ++i) {
        const Expected& e = expected[i];
        QCOMPARE(bar[i]->objectName(), QString::fromLatin1(e.name));
        QCOMPARE(bar[i]->text(), QString::fromUtf8(e.caption));
        QCOMPARE(bar[i]->shortcut(), e.key);
        QCOMPARE(bar[i]->isEnabled(), e.enabledAtStart);
    }
    QCOMPARE(d.Action11->iconText(), QStringLiteral("查詢功能(&S)"));
    QVERIFY(!d.isButtonVisible(d.Action1_HELP));

    // The five actions of an open customer follow it.
    f.type("G1");
    for (QAction* a : {d.Action5, d.Action6, d.Action7, d.Action9, d.Action15_EditPS})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    QTest::keyClick(d.edtName, Qt::Key_Insert);
    for (QAction* a : {d.Action5, d.Action6, d.Action7, d.Action9, d.Action15_EditPS})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
}

void TestDeskWindow::menuBar()
{
    DeskWindow f;
    QList<QMenu*> menus;
    for (QAction* a : f.desk->menuBar()->actions())
        menus << a->menu();
    QCOMPARE(menus.size(), 6);
    const QStringList titles = {"新增(&I)", "查詢(&S)", "報表(&R)", "統計圖(&D)", "設定(&E)", "書店作業(&P)"};
    const QList<QStringList> expected = {
        {"新增客戶(&C)", "新增書本(&B)", "新增員工(&W)"},
        {"書本查詢(&B)", "客戶查詢(&G)", "未還書查詢(&N)", "-", "期間排行榜(&T)", "客戶花費排行榜(&O)"},
        {"每日收入明細(&D)", "員工交班記錄(&R)", "客戶交易明細(&E)"},
        {"員工業績統計(&W)", "營業額統計(&D)", "客戶資料分析(&C)"},
        {"書本分類設定(&C)", "書本租金設定(&O)", "可借天數設定(&D)", "預繳金額設定(&M)"},
        {"結帳交班(&G)"},
    };
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(menus[i]->title(), titles[i]);
        QCOMPARE(entries(menus[i]), expected[i]);
    }
    QCOMPARE(menus[0]->actions().at(0), f.desk->Action2);
    QCOMPARE(menus[0]->actions().at(1), f.desk->Action3);

    // Every entry opens its window by class name, owned by the desk; none registered: nothing happens.
    const QStringList classes = {"TF00_Work",         "TF11_FindBook",    "TF11_FindGuest",    "TF22_FindRBook",
                                 "TTimeRank",         "TF36_GuestTop",    "TF31_DayCost",      "TF73_ChgShiftRec",
                                 "TF61_GuestCostRec", "TF35_WorkFeat",    "TF42_DayCostGraph", "TF41_GuestGraph",
                                 "TF51_ClassBook",    "TF81_SetBookCost", "TF82_BookRetDay",   "TF83_advancePay",
                                 "TF61_ChgShifts1"};
    QList<QAction*> windowEntries;
    for (QMenu* m : menus)
        for (QAction* a : m->actions())
            if (a->property("windowClass").isValid())
                windowEntries << a;
    QCOMPARE(windowEntries.size(), classes.size());
    for (QAction* a : windowEntries)
        a->trigger();
    QVERIFY(f.shop.prompts.shown().isEmpty());

    OpenedLog log;
    for (const QString& c : classes)
        log.record(c);
    for (QAction* a : windowEntries)
        a->trigger();
    QCOMPARE(log.classes, classes);
    QVERIFY(std::all_of(log.owners.begin(), log.owners.end(), [&](QWidget* o) { return o == f.desk.get(); }));

    // The classification window is shown modally.
    bool modal = false;
    Tfm_Base* classBook = new Tfm_Base(f.desk.get());
    registerWindow("TF51_ClassBook", [&](QWidget*) -> QWidget* { return classBook; });
    Tfm_Base::setModalDriver([&](Tfm_Base* w) { modal = w == classBook && w->isShownModally(); });
    windowEntries.at(classes.indexOf("TF51_ClassBook"))->trigger();
    QVERIFY(modal);
    for (const QString& c : classes)
        unregisterWindow(c);
}

void TestDeskWindow::openAndRentThroughTheInputBox()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("g1");
    QCOMPARE(d.labH1->text(), QStringLiteral("書本條碼號："));
    QCOMPARE(d.LMDLabelFill1->text(), QStringLiteral("G1　王小明"));
    QCOMPARE(d.panelText(0), QStringLiteral("請輸入書本條碼號"));
    QCOMPARE(d.panelText(2), QStringLiteral("『租還書』"));
    QCOMPARE(d.lab3NotRent->text(), QStringLiteral("2"));
    QCOMPARE(d.lab9BalMon->text(), QStringLiteral("100"));
    QCOMPARE(d.Leave_Mon->text(), QStringLiteral("100"));
    QCOMPARE(d.labHistGuest->text(), QStringLiteral("1:王小明  "));
    QCOMPARE(d.edtName->text(), QString());
    QVERIFY(d.edtName->hasFocus());
    QCOMPARE(d.dxDBGrid1->datasetModel()->rowCount(), 2);
    QCOMPARE(f.shown("B1", "State"), QStringLiteral("應還"));
    QVERIFY(d.PS->isReadOnly());

    // A rental by btnOK and a return of the overdue book by Enter: fee 10, fine 2 days × 5.
    d.edtName->setText("B3");
    QTest::mouseClick(d.btnOK, Qt::LeftButton);
    QVERIFY(d.edtName->hasFocus());
    f.type("B2");
    QCOMPARE(d.lab1RentBook->text(), QStringLiteral("1"));
    QCOMPARE(d.lab2BackBook->text(), QStringLiteral("1"));
    QCOMPARE(d.lab3NotRent->text(), QStringLiteral("1"));
    QCOMPARE(d.lab5RentMoney->text(), QStringLiteral("10"));
    QCOMPARE(d.lab6Over->text(), QStringLiteral("10"));
    QCOMPARE(d.lab9BalMon->text(), QStringLiteral("80"));
    QCOMPARE(d.dxDBGrid1->datasetModel()->rowCount(), 3);

    // An unknown barcode says so in panel 0 and changes nothing.
    f.type("NOSUCH'; DROP TABLE Guest; --");
    QCOMPARE(d.panelText(0), QStringLiteral("查無此書！"));
    QCOMPARE(d.lab5RentMoney->text(), QStringLiteral("10"));
    QVERIFY(f.shop.prompts.shown().isEmpty());

    // The empty entry settles and the desk is ready for the next customer.
    f.type(QString());
    QCOMPARE(d.labH1->text(), QStringLiteral("客戶名稱：\n條 碼 號："));
    QCOMPARE(d.lab5RentMoney->text(), QString());
    QCOMPARE(d.dxDBGrid1->datasetModel()->rowCount(), 0);
    QCOMPARE(f.shop.scalar("SELECT Leave_Mon FROM Guest WHERE GuestCode = 'G1'").toDouble(), 80.0);
}

void TestDeskWindow::lineKeys_data()
{
    // steps: "type:X" enters X in the input box, "row:X" makes X's row current, "key:F6" or
    // "key:Space" presses the key in the grid. Colour: 0xRRGGBB, -1 default, -2 button shadow.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("redRemark");
    QTest::newRow("untouched, overdue") << QStringList{} << "B2"
                                        << "應還"
                                        << "逾期 2天" << -1 << true;
    QTest::newRow("scanned back") << QStringList{"type:B1"} << "B1"
                                  << "還書"
                                  << "" << 0xC0DCC0 << false;
    QTest::newRow("F6 renews") << QStringList{"row:B1", "key:F6"} << "B1"
                               << "續租"
                               << "" << 0x0080FF << false;
    QTest::newRow("F9 compensates") << QStringList{"row:B1", "key:F9"} << "B1"
                                    << "賠書"
                                    << "" << 0x0080FF << false;
    QTest::newRow("new rental") << QStringList{"type:B3"} << "B3"
                                << ""
                                << "" << 0xA6CAF0 << false;
    QTest::newRow("Space withdraws it") << QStringList{"type:B3", "row:B3", "key:Space"} << "B3"
                                        << ""
                                        << "<<放棄>>" << -2 << false;
    QTest::newRow("Space undoes a return") << QStringList{"type:B1", "row:B1", "key:Space"} << "B1"
                                           << "應還"
                                           << "" << -1 << false;
}

void TestDeskWindow::lineKeys()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, code);
    QFETCH(QString, state);
    QFETCH(QString, remark);
    QFETCH(int, colour);
    QFETCH(bool, redRemark);

    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("G1");
    for (const QString& step : steps) {
        const QString arg = step.section(':', 1);
        if (step.startsWith("type:")) {
            f.type(arg);
        } else if (step.startsWith("row:")) {
            QTest::keyClick(d.edtName, Qt::Key_Down);
            QVERIFY(d.dxDBGrid1->hasFocus());
            f.goTo(arg);
        } else {
            QTest::keyClick(d.dxDBGrid1, arg == "Space" ? Qt::Key_Space : arg == "F6" ? Qt::Key_F6 : Qt::Key_F9);
        }
    }
    QCOMPARE(f.shown(code, "State"), state);
    QCOMPARE(f.shown(code, "PS"), remark);
    const QColor background = f.cell(code, "Book_Code").data(Qt::BackgroundRole).value<QColor>();
    if (colour == -1)
        QVERIFY(!background.isValid());
    else if (colour == -2)
        QCOMPARE(background, d.dxDBGrid1->palette().color(QPalette::Dark));
    else
        QCOMPARE(background.rgb() & 0xFFFFFF, QRgb(colour));
    QCOMPARE(f.cell(code, "PS").data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red), redRemark);

    // Enter in the grid hands the keys back to the input box.
    d.dxDBGrid1->setFocus();
    QTest::keyClick(d.dxDBGrid1, Qt::Key_Return);
    QVERIFY(d.edtName->hasFocus());
}

void TestDeskWindow::modeCycleAndReset()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    const std::pair<const char*, const char*> cycle[] = {
        {"內閱：", "『內閱』"}, {"金額：", "『金額』"}, {"客戶名稱：\n條 碼 號：", "『一般』"},
        {"內閱：", "『內閱』"}, {"金額：", "『金額』"},
    };
    for (const auto& [prompt, name] : cycle) {
        d.dxDBGrid1->setFocus();
        QTest::keyClick(d.dxDBGrid1, Qt::Key_F4);
        QCOMPARE(d.labH1->text(), QString::fromUtf8(prompt));
        QCOMPARE(d.panelText(2), QString::fromUtf8(name));
        QVERIFY(d.edtName->hasFocus());
    }
    QTest::keyClick(d.edtName, Qt::Key_F4); // back to 0

    // Insert and btnReset drop the visit: the entered rental's row goes, the desk waits again.
    for (QObject* how : {static_cast<QObject*>(d.ActionMenu), static_cast<QObject*>(d.btnReset)}) {
        f.type("G1");
        f.type("B3");
        QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'B3'"), 1);
        if (how == d.btnReset)
            QTest::mouseClick(d.btnReset, Qt::LeftButton);
        else
            QTest::keyClick(d.edtName, Qt::Key_Insert);
        QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'B3'"), 0);
        QCOMPARE(d.panelText(2), QStringLiteral("『一般』"));
        QCOMPARE(d.LMDLabelFill1->text(), QStringLiteral("等待輸入..."));
        QCOMPARE(d.lab1RentBook->text(), QStringLiteral("0"));
        QCOMPARE(d.Leave_Mon->text(), QString());
        QCOMPARE(d.dxDBGrid1->datasetModel()->rowCount(), 0);
    }
}

void TestDeskWindow::shortcutsOnlyWithTheDeskInFront()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("G1");
    f.goTo("B1");
    QWidget other;
    other.resize(200, 100);
    showActive(&other);
    QVERIFY(!d.IsDeskInFront());

    QTest::keyClick(d.edtName, Qt::Key_F4);
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F6);
    QTest::keyClick(&other, Qt::Key_Insert);
    d.Action9->trigger(); // a trigger that does not come from the desk's own keys is guarded too
    d.ActionMenu->trigger();
    d.Action5->trigger();
    QCOMPARE(d.session().mode(), int(DeskSession::ModeCustomer));
    QCOMPARE(f.shown("B1", "State"), QStringLiteral("應還"));
    QVERIFY(!F00_SetMoney);

    showActive(&d);
    QTest::keyClick(d.edtName, Qt::Key_F4);
    QCOMPARE(d.session().mode(), int(DeskSession::ModeMemberReading));
}

void TestDeskWindow::otherWindowsHandOverAndRefresh()
{
    DeskWindow f;
    // The searches write a code into the input box and press OK.
    F00_Main->edtName->setText("G1");
    F00_Main->btnOK->click();
    QCOMPARE(F00_Main->LMDLabelFill1->text(), QStringLiteral("G1　王小明"));

    // The registration saved the customer: the desk shows the new row at once.
    f.shop.db().exec("UPDATE Guest SET Leave_Mon = 300, Name = '王大明' WHERE GuestCode = 'G1'");
    F00_Main->RefreshCustomer();
    QCOMPARE(F00_Main->Leave_Mon->text(), QStringLiteral("300"));
    QCOMPARE(F00_Main->lab9BalMon->text(), QStringLiteral("300"));
    QCOMPARE(F00_Main->LMDLabelFill1->text(), QStringLiteral("G1　王大明"));

    F00_Main->SetOnDuty("7001", QStringLiteral("陳阿明"), Clock::now());
    QCOMPARE(F00_Main->panelText(1), QStringLiteral("值班：陳阿明"));
    QCOMPARE(F00_Main->session().dutyCode(), QStringLiteral("7001"));
}

void TestDeskWindow::actionsOpenTheirWindows_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("needsCustomer");
    QTest::newRow("F2") << int(Qt::Key_F2) << "TF01_NewGuest" << false;
    QTest::newRow("F3") << int(Qt::Key_F3) << "TF02_AddBook" << false;
    QTest::newRow("F7") << int(Qt::Key_F7) << "TF03_PayRtMoney" << true;
    QTest::newRow("F8") << int(Qt::Key_F8) << "TSubbook_ListSB" << false;
    QTest::newRow("F10") << int(Qt::Key_F10) << "TF11_FindBook" << false;
    QTest::newRow("F11") << int(Qt::Key_F11) << "TF00_FindChose" << false;
}

void TestDeskWindow::actionsOpenTheirWindows()
{
    QFETCH(int, key);
    QFETCH(QString, className);
    QFETCH(bool, needsCustomer);
    DeskWindow f;
    OpenedLog log;
    log.record(className);
    QTest::keyClick(f.desk->edtName, Qt::Key(key));
    QCOMPARE(log.classes.size(), needsCustomer ? 0 : 1);
    if (needsCustomer) {
        f.type("G2");
        QTest::keyClick(f.desk->edtName, Qt::Key(key));
        QCOMPARE(Payments::GetPayCustomer(), QStringLiteral("G2"));
    }
    QCOMPARE(log.classes, QStringList{className});
    QCOMPARE(log.owners.value(0), f.desk.get());
    unregisterWindow(className);
}

void TestDeskWindow::chooseCustomer_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("opened");
    QTest::newRow("Enter on the second") << "enter"
                                         << "G2";
    QTest::newRow("double click on the first") << "double click"
                                               << "G1";
    QTest::newRow("closed") << "close"
                            << "";
}

void TestDeskWindow::chooseCustomer()
{
    QFETCH(QString, how);
    QFETCH(QString, opened);
    DeskWindow f;
    f.shop.addLoan("G2", "B1", 1, 5);
    QString caption;
    QStringList bands;
    int rows = 0;
    bool rounded = false;
    Tfm_Base::setModalDriver([&](Tfm_Base* w) {
        auto* list = qobject_cast<TF00_SelGuest*>(w);
        QVERIFY(list);
        caption = list->windowTitle();
        bands = list->dxDBGrid1->bands();
        rows = list->dxDBGrid1->datasetModel()->rowCount();
        rounded = !list->mask().isEmpty() && !list->mask().contains(QPoint(4, 4));
        QVERIFY(list->dxDBGrid1->rowSelect());
        DBGrid* grid = list->dxDBGrid1;
        if (how == "enter") {
            grid->setFocus();
            grid->dataset()->moveTo(2);
            QTest::keyClick(grid, Qt::Key_Return);
        } else if (how == "double click") {
            const QModelIndex cell = grid->datasetModel()->index(0, 3);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
        } else {
            list->close();
        }
    });
    f.type("B1");
    QCOMPARE(caption, QStringLiteral("選擇客戶"));
    QCOMPARE(bands, (QStringList{"客戶", "基本資料", "Other"}));
    QCOMPARE(rows, 2);
    QVERIFY(rounded);
    QCOMPARE(f.desk->session().guest().GuestCode, opened);
    if (!opened.isEmpty()) // the scanned book is marked returned for the chosen customer
        QCOMPARE(f.shown("B1", "State"), QStringLiteral("還書"));
    else
        QCOMPARE(f.desk->session().mode(), int(DeskSession::ModeWaiting));
}

void TestDeskWindow::priceAdjustment()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("G1");
    f.type("B3"); // fee 10, now the current row
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F5);
    QVERIFY(F00_SetMoney);
    TF00_SetMoney* w = F00_SetMoney;
    QCOMPARE(w->windowTitle(), QStringLiteral("    調價"));
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(w->windowType(), Qt::Tool);
    QVERIFY(!w->mask().isEmpty() && !w->mask().contains(QPoint(4, 4)));
    QVERIFY(w->mask().contains(w->rect().center()));
    QCOMPARE(w->labCode->text(), QStringLiteral("B3"));
    QCOMPARE(w->labName->text(), QStringLiteral("灌籃高手"));
    QCOMPARE(w->edtPiece->text(), QStringLiteral("10"));

    // 10 → 8: the rent total drops by 2 and the loan row carries the price.
    w->edtPiece->setText("8");
    QTest::mouseClick(w->btnOK, Qt::LeftButton);
    QVERIFY(!F00_SetMoney);
    QCOMPARE(d.lab5RentMoney->text(), QStringLiteral("8"));
    QCOMPARE(f.shop.scalar("SELECT piece FROM Rent_Back WHERE Book_Code = 'B3'").toInt(), 8);
    QCOMPARE(f.shown("B3", "piece"), QStringLiteral("8"));

    // Cancel changes nothing.
    showActive(&d);
    f.goTo("B3");
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F5);
    F00_SetMoney->edtPiece->setText("5");
    QTest::mouseClick(F00_SetMoney->btnCancel, Qt::LeftButton);
    QVERIFY(!F00_SetMoney);
    QCOMPARE(d.lab5RentMoney->text(), QStringLiteral("8"));
    QCOMPARE(f.shop.scalar("SELECT piece FROM Rent_Back WHERE Book_Code = 'B3'").toInt(), 8);

    // A day three days back picked in the calendar, confirmed by Enter in the date: 3 days overdue.
    showActive(&d);
    f.goTo("B1");
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F5);
    w = F00_SetMoney;
    const QDate back = Clock::today().addDays(-3);
    emit w->MonthCalendar1->clicked(back);
    QCOMPARE(w->edtIDate->date(), back);
    QTest::keyClick(w->edtIDate, Qt::Key_Return);
    QVERIFY(!F00_SetMoney);
    QCOMPARE(f.shown("B1", "PS"), QStringLiteral("逾期 3天"));
    QCOMPARE(f.cell("B1", "PS").data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));

    // Leaving the price empty puts 0 into it.
    showActive(&d);
    f.goTo("B3");
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F5);
    w = F00_SetMoney;
    w->edtPiece->clear();
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w->edtPiece, &leave);
    QCOMPARE(w->edtPiece->text(), QStringLiteral("0"));
    w->Ok();
    QCOMPARE(d.lab5RentMoney->text(), QStringLiteral("0"));
}

void TestDeskWindow::priceAdjustmentFollowsItsLine()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("G1");
    f.goTo("B1");
    QTest::keyClick(d.dxDBGrid1, Qt::Key_F5);
    QPointer<TF00_SetMoney> w = F00_SetMoney;
    QVERIFY(w);
    w->edtPiece->setText("1");
    // The desk moves on to another customer while the window is open: it closes, and its OK can
    // never land on a line of the next customer.
    showActive(&d);
    QTest::keyClick(d.edtName, Qt::Key_Insert);
    f.type("G2");
    runDeferredDeletes();
    QVERIFY(!w);
    QVERIFY(!F00_SetMoney);
    QCOMPARE(f.shop.scalar("SELECT piece FROM Rent_Back WHERE Book_Code = 'B1'").toInt(), 10);
}

void TestDeskWindow::noteEditor()
{
    DeskWindow f;
    TF00_Main& d = *f.desk;
    f.type("G1");
    QTest::keyClick(d.edtName, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(F00_EditPS);
    QCOMPARE(F00_EditPS->windowTitle(), QStringLiteral("   修改提示"));
    QVERIFY(F00_EditPS->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!F00_EditPS->mask().isEmpty() && !F00_EditPS->mask().contains(QPoint(4, 4)));
    F00_EditPS->memPS->setPlainText(QStringLiteral("常遲還"));
    QTest::mouseClick(F00_EditPS->btnOK, Qt::LeftButton);
    QVERIFY(!F00_EditPS);
    QCOMPARE(d.PS->toPlainText(), QStringLiteral("常遲還")); // without reopening the customer
    QCOMPARE(f.shop.scalar("SELECT PS FROM Guest WHERE GuestCode = 'G1'").toString(), QStringLiteral("常遲還"));

    showActive(&d);
    QTest::keyClick(d.edtName, Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(F00_EditPS->memPS->toPlainText(), QStringLiteral("常遲還"));
    F00_EditPS->memPS->setPlainText(QStringLiteral("不要存"));
    QTest::mouseClick(F00_EditPS->btnCancel, Qt::LeftButton);
    QCOMPARE(d.PS->toPlainText(), QStringLiteral("常遲還"));
    QCOMPARE(f.shop.scalar("SELECT PS FROM Guest WHERE GuestCode = 'G1'").toString(), QStringLiteral("常遲還"));
}

void TestDeskWindow::clock_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("signs");
    QTest::newRow("odd minute, second 0") << QTime(10, 1, 0) << 1;
    QTest::newRow("odd minute, second 59") << QTime(10, 1, 59) << 15;
    QTest::newRow("even minute, second 0") << QTime(10, 2, 0) << 16;
    QTest::newRow("even minute, second 59") << QTime(10, 2, 59) << 2;
}

void TestDeskWindow::clock()
{
    QFETCH(QTime, time);
    QFETCH(int, signs);
    const QDateTime at(QDate(2026, 3, 10), time);
    QCOMPARE(TF00_Main::clockText(at),
             at.toString("yyyy/MM/dd HH:mm:ss") + QStringLiteral("　δ") + QString(signs, QLatin1Char('=')));
}

void TestDeskWindow::dateTimeSettingsOnDoubleClick()
{
    DeskWindow f;
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    QVERIFY(TF00_Main::dateTimeSettingsCommand().isEmpty());
    QTest::mouseDClick(f.desk->panel(0), Qt::LeftButton); // nothing installed: nothing happens

    QFile fake(bin.filePath("gnome-control-center"));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\necho \"$@\" > '" + bin.filePath("args").toLocal8Bit() + "'\n");
    fake.close();
    fake.setPermissions(fake.permissions() | QFile::ExeOwner);
    QTest::mouseDClick(f.desk->panel(2), Qt::LeftButton);
    qputenv("PATH", path);
    const auto argsGiven = [&] {
        QFile args(bin.filePath("args"));
        return args.open(QIODevice::ReadOnly) ? args.readAll().trimmed() : QByteArray();
    };
    QTRY_COMPARE(argsGiven(), QByteArray("datetime"));
}

void TestDeskWindow::closingTheDeskEndsIt()
{
    DeskWindow f;
    f.type("G1");
    f.type("B3");
    QPointer<TF00_Main> desk = f.desk.release();
    QTest::keyClick(desk->edtName, Qt::Key_F12);
    runDeferredDeletes();
    QVERIFY(!desk);
    QVERIFY(!F00_Main);
    QCOMPARE(f.shop.count("Rent_Back", "Book_Code = 'B3'"), 0); // the unsettled rental goes with it
}

QTEST_MAIN(TestDeskWindow)
#include "test_desk_window.moc"
