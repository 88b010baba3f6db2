// The base windows: standard actions and the action bar, shortcuts and the active
// window, closing, hiding, ownership and single instances, the bare-surface click,
// field navigation by keys, messages, modal showing and the version text.
#include "framework/Ufm_BaseIS.h"
#include "support/PromptRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

int destroyedWindows = 0;

// A window that records which of its handlers ran, with an edit, a label and free surface.
class Probe : public Tfm_BaseIS {
public:
    explicit Probe(QWidget* owner = nullptr, bool keepHidden = false) : Tfm_BaseIS(owner), m_keep(keepHidden)
    {
        edt = new QLineEdit(surface());
        edt->setObjectName("edt");
        lab = new QLabel("標籤", surface());
        auto* layout = new QVBoxLayout(surface());
        layout->addWidget(edt);
        layout->addWidget(lab);
        layout->addStretch();
        resize(500, 400);
    }
    QStringList calls;
    QLineEdit* edt;
    QLabel* lab;
    PromptRecorder* prompts = nullptr;

protected:
    void Action1_HELPExecute() override
    {
        calls << QString("help after %1 message").arg(prompts ? prompts->shown().size() : -1);
    }
    void Action2Execute() override { calls << "F2"; }
    void Action3Execute() override { calls << "F3"; }
    void Action4Execute() override { calls << "F4"; }
    void Action5Execute() override { calls << "F5"; }
    void ActionMenuExecute() override { calls << "Home"; }
    void Action4_ExitExecute() override { calls << QString("exit visible=%1").arg(isVisible()); }
    void FormClose(CloseAction& action) override
    {
        if (m_keep)
            action = CloseAction::Hide;
    }
    void FormDestroy() override { ++destroyedWindows; }

private:
    bool m_keep;
};

Probe* Probe1 = nullptr;
Probe* Probe2 = nullptr;

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

} // namespace

class TestBaseWindows : public QObject {
    Q_OBJECT
private slots:
    void standardActions_data();
    void standardActions();
    void actionBarOrderAndPlace();
    void keysWorkFromAnyControl();
    void shortcutDoesNotActOnInactiveWindow();
    void toolWindowKeysAreItsOwn();
    void closeDestroysUnlessKeptHidden();
    void ownerTakesItsWindowsAlong();
    void bareSurfaceClickCloses();
    void keyNavigation_data();
    void keyNavigation();
    void enterInGridMovesToNextCell();
    void msgBoxKinds_data();
    void msgBoxKinds();
    void showModalReturnsTheResult();
    void statusPanelsAndVersion();
};

void TestBaseWindows::standardActions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("help") << "Action1_HELP"
                          << "說明(&H)　" << QKeySequence(Qt::Key_F1);
    QTest::newRow("F2") << "Action2"
                        << "Action2" << QKeySequence(Qt::Key_F2);
    QTest::newRow("F3") << "Action3"
                        << "Action3" << QKeySequence(Qt::Key_F3);
    QTest::newRow("F4") << "Action4"
                        << "Action4" << QKeySequence(Qt::Key_F4);
    QTest::newRow("F5") << "Action5"
                        << "尋找(&F)" << QKeySequence(Qt::Key_F5);
    QTest::newRow("home") << "ActionMenu"
                          << "H&ome" << QKeySequence(Qt::Key_Insert);
    QTest::newRow("close") << "Action12_Close"
                           << "關閉(F12)" << QKeySequence(Qt::Key_F12);
}

void TestBaseWindows::standardActions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    Probe w;
    auto* a = w.findChild<QAction*>(name);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), shortcut);
    QCOMPARE(a->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    QVERIFY(w.ActionList1->actions().contains(a));
    QVERIFY(w.actions().contains(a));
}

void TestBaseWindows::actionBarOrderAndPlace()
{
    Probe w;
    QAction* a6 = w.addBarAction("Action6", "續租(&P)", Qt::Key_F6, {});
    QAction* a7 = w.addBarAction("Action7", "繳退款(&M)", Qt::Key_F7, {});
    const QList<QAction*> expected = {w.Action1_HELP, nullptr, w.Action2,       w.Action3, w.Action4, w.Action5, a6, a7,
                                      w.ActionMenu,   nullptr, w.Action12_Close};
    QCOMPARE(w.barOrder(), expected);

    // On the bar itself the help button is missing; the separators stand where they belong.
    QStringList onBar;
    for (QAction* a : w.actionBar()->actions())
        onBar << (a->isSeparator() ? QString("|") : a->objectName());
    QCOMPARE(onBar.join(' '), QString("| Action2 Action3 Action4 Action5 Action6 Action7 ActionMenu | Action12_Close"));

    w.setCaption(w.Action2, "新增客戶(&C)");
    w.setButtonCaption(a7, "查詢功能(&S)");
    auto* b2 = qobject_cast<QToolButton*>(w.actionBar()->widgetForAction(w.Action2));
    auto* b7 = qobject_cast<QToolButton*>(w.actionBar()->widgetForAction(a7));
    QCOMPARE(b2->text(), QString("新增客戶(&C)"));
    QCOMPARE(b7->text(), QString("查詢功能(&S)"));
    QCOMPARE(a7->text(), QString("繳退款(&M)"));

    w.setButtonVisible(w.Action3, false);
    QVERIFY(!w.actionBar()->actions().contains(w.Action3));
    QVERIFY(w.actions().contains(w.Action3));
    w.setButtonVisible(w.Action3, true);
    QCOMPARE(w.actionBar()->actions().indexOf(w.Action3), 2);

    QCOMPARE(w.toolBarArea(w.actionBar()), Qt::RightToolBarArea);
    QCOMPARE(w.actionBar()->orientation(), Qt::Vertical);
    QVERIFY(w.actionBar()->isMovable());
    QVERIFY(w.actionBar()->isAreaAllowed(Qt::LeftToolBarArea));
    QVERIFY(!w.actionBar()->isAreaAllowed(Qt::TopToolBarArea));
}

void TestBaseWindows::keysWorkFromAnyControl()
{
    PromptRecorder prompts;
    Probe w;
    w.prompts = &prompts;
    QAction* a6 = w.addBarAction("Action6", "續租(&P)", Qt::Key_F6, [&w] { w.calls << "F6"; });
    showActive(&w);
    w.edt->setFocus();

    QTest::keyClick(w.edt, Qt::Key_F2);
    QTest::keyClick(w.edt, Qt::Key_F6);
    QTest::keyClick(w.edt, Qt::Key_Insert);
    // Help: the base's plain message first, then the window's own part; the key works without a button.
    QTest::keyClick(w.edt, Qt::Key_F1);
    QCOMPARE(prompts.shown().size(), 1);
    QCOMPARE(prompts.last().kind, QString());
    QCOMPARE(prompts.last().caption, Prompts::kAppTitle);
    QCOMPARE(prompts.last().text, QString("程 小九偷懶，還沒做說明檔。"));
    // A hidden button keeps its key; a disabled action does nothing.
    w.setButtonVisible(w.Action4, false);
    QTest::keyClick(w.edt, Qt::Key_F4);
    w.Action3->setEnabled(false);
    a6->setEnabled(false);
    QTest::keyClick(w.edt, Qt::Key_F3);
    QTest::keyClick(w.edt, Qt::Key_F6);
    QCOMPARE(w.calls, QStringList({"F2", "F6", "Home", "help after 1 message", "F4"}));

    // The focus on a bar button instead of the edit changes nothing.
    QWidget* b5 = w.actionBar()->widgetForAction(w.Action5);
    b5->setFocus();
    QTest::keyClick(b5, Qt::Key_F5);
    QCOMPARE(w.calls.last(), QString("F5"));
}

void TestBaseWindows::shortcutDoesNotActOnInactiveWindow()
{
    Probe front, behind;
    behind.show();
    showActive(&front);
    QTest::keyClick(behind.edt, Qt::Key_F2);
    QCOMPARE(behind.calls, QStringList());

    showActive(&behind);
    QTest::keyClick(behind.edt, Qt::Key_F2);
    QCOMPARE(behind.calls, QStringList({"F2"}));
}

void TestBaseWindows::toolWindowKeysAreItsOwn()
{
    // A tool window owned by another window (the pay window over the desk) has the same keys:
    // only the window in front acts on them.
    Probe owner;
    showActive(&owner);
    auto* tool = new Probe(&owner);
    tool->setWindowFlag(Qt::Tool, true);
    tool->show();
    QApplication::setActiveWindow(tool); // the offscreen platform leaves a tool window's owner active
    tool->edt->setFocus();
    QCOMPARE(QApplication::focusWidget(), tool->edt);
    QTest::keyClick(tool->edt, Qt::Key_F4);
    QCOMPARE(tool->calls, QStringList({"F4"}));
    QCOMPARE(owner.calls, QStringList());

    QApplication::setActiveWindow(&owner);
    owner.edt->setFocus();
    QTest::keyClick(owner.edt, Qt::Key_F4);
    QCOMPARE(owner.calls, QStringList({"F4"}));
    QCOMPARE(tool->calls, QStringList({"F4"}));
}

void TestBaseWindows::closeDestroysUnlessKeptHidden()
{
    // A window destroyed on close: its instance is emptied and the next opening builds a new one.
    Probe* first = openSingle(Probe1, nullptr);
    QPointer<Probe> guard(first);
    QCOMPARE(openSingle(Probe1, nullptr), first);
    destroyedWindows = 0;
    QVERIFY(QTest::qWaitForWindowExposed(first));
    first->Action12_Close->trigger();
    QCOMPARE(first->calls, QStringList({"exit visible=0"}));
    QVERIFY(!Probe1); // emptied at once, so an opening in the same command cannot get the dying window
    runDeferredDeletes();
    QVERIFY(guard.isNull());
    QCOMPARE(destroyedWindows, 1);

    // A window that keeps itself: hidden on close, its state kept for the next opening.
    Probe* kept = openSingle(Probe2, nullptr, true);
    kept->edt->setText("A001");
    kept->close();
    runDeferredDeletes();
    QCOMPARE(Probe2, kept);
    QVERIFY(!kept->isVisible());
    QCOMPARE(openSingle(Probe2, nullptr, true), kept);
    QVERIFY(kept->isVisible());
    QCOMPARE(kept->edt->text(), QString("A001"));
    delete kept;
    QVERIFY(!Probe2);
}

void TestBaseWindows::ownerTakesItsWindowsAlong()
{
    auto* owner = new Probe;
    owner->show();
    Probe* owned = openSingle(Probe1, owner);
    QVERIFY(owned->isWindow());
    QCOMPARE(owned->parentWidget(), owner);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((owned->geometry().center() - screenCentre).manhattanLength() <= 2);

    destroyedWindows = 0;
    delete owner;
    QVERIFY(!Probe1);
    QCOMPARE(destroyedWindows, 1); // the owned window's FormDestroy ran before it went
}

void TestBaseWindows::bareSurfaceClickCloses()
{
    QPointer<Probe> w = new Probe;
    showActive(w);
    QTest::mouseClick(w->lab, Qt::LeftButton);
    QTest::mouseClick(w->edt, Qt::LeftButton);
    QVERIFY(w->isVisible());
    QTest::mouseClick(w->surface(), Qt::LeftButton, {}, QPoint(5, w->surface()->height() - 5));
    QVERIFY(!w->isVisible());
    QCOMPARE(w->calls, QStringList({"exit visible=0"}));
    runDeferredDeletes();
    QVERIFY(w.isNull());
}

void TestBaseWindows::keyNavigation_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    const int off = int(Tfm_Base::KeyNav::Off), enter = int(Tfm_Base::KeyNav::Enter),
              arrows = int(Tfm_Base::KeyNav::Arrows), both = int(Tfm_Base::KeyNav::Both);
    QTest::newRow("off: Enter stays") << off << "e1" << int(Qt::Key_Return) << "e1";
    QTest::newRow("off: Down stays") << off << "e1" << int(Qt::Key_Down) << "e1";
    QTest::newRow("enter: Enter moves on") << enter << "e1" << int(Qt::Key_Return) << "e2";
    QTest::newRow("enter: keypad Enter") << enter << "e1" << int(Qt::Key_Enter) << "e2";
    QTest::newRow("enter: Down stays") << enter << "e1" << int(Qt::Key_Down) << "e1";
    QTest::newRow("arrows: Down moves on") << arrows << "e1" << int(Qt::Key_Down) << "e2";
    QTest::newRow("arrows: Up moves back") << arrows << "e2" << int(Qt::Key_Up) << "e1";
    QTest::newRow("arrows: Enter stays") << arrows << "e1" << int(Qt::Key_Return) << "e1";
    QTest::newRow("both: Enter in a list") << both << "c3" << int(Qt::Key_Return) << "e4";
    QTest::newRow("both: Down in a list") << both << "c3" << int(Qt::Key_Down) << "e4";
    QTest::newRow("both: Up in a list") << both << "c3" << int(Qt::Key_Up) << "e2";
    QTest::newRow("both: a field left out keeps Enter") << both << "e4" << int(Qt::Key_Return) << "e4";
}

void TestBaseWindows::keyNavigation()
{
    QFETCH(int, mode);
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Tfm_Base w;
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(w.surface());
    for (const char* name : {"e1", "e2"}) {
        auto* e = new QLineEdit(w.surface());
        e->setObjectName(name);
        layout->addWidget(e);
    }
    auto* c3 = new QComboBox(w.surface());
    c3->setObjectName("c3");
    c3->addItems({"甲", "乙", "丙"});
    layout->addWidget(c3);
    auto* e4 = new QLineEdit(w.surface());
    e4->setObjectName("e4");
    layout->addWidget(e4);
    Tfm_Base::exemptFromKeyNavigation(e4);
    w.setKeyNavigation(Tfm_Base::KeyNav(mode));
    showActive(&w);

    auto* start = w.findChild<QWidget*>(from);
    start->setFocus();
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
    QCOMPARE(c3->currentIndex(), 0); // the list kept its choice
}

void TestBaseWindows::enterInGridMovesToNextCell()
{
    Tfm_Base w;
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* grid = new QTableWidget(2, 3, w.surface());
    (new QVBoxLayout(w.surface()))->addWidget(grid);
    w.setKeyNavigation(Tfm_Base::KeyNav::Enter);
    showActive(&w);
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->currentColumn(), 1);
    QVERIFY(!grid->isPersistentEditorOpen(grid->currentItem()));
    QCOMPARE(QApplication::focusWidget(), grid);
}

void TestBaseWindows::msgBoxKinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("shown");
    QTest::newRow("Waning") << "Waning" << true;
    QTest::newRow("Inf") << "Inf" << true;
    QTest::newRow("Err") << "Err" << true;
    QTest::newRow("correctly spelt Warning") << "Warning" << false;
    QTest::newRow("other case") << "err" << false;
    QTest::newRow("empty") << "" << false;
}

void TestBaseWindows::msgBoxKinds()
{
    QFETCH(QString, kind);
    QFETCH(bool, shown);
    PromptRecorder prompts;
    Tfm_Base::MsgBox("密碼錯誤！", "Password Error!", kind);
    QCOMPARE(prompts.shown().size(), shown ? 1 : 0);
    if (shown) {
        QCOMPARE(prompts.last().kind, kind);
        QCOMPARE(prompts.last().caption, QString("Password Error!"));
        QCOMPARE(prompts.last().text, QString("密碼錯誤！"));
    }
}

void TestBaseWindows::showModalReturnsTheResult()
{
    Tfm_Base::setModalDriver([](Tfm_Base* w) {
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        w->setModalResult(7);
    });
    QPointer<Probe> w = new Probe;
    QCOMPARE(w->showModal(), 7);
    Tfm_Base::setModalDriver({});
    runDeferredDeletes();
    QVERIFY(w.isNull()); // closed for good like any other close
}

void TestBaseWindows::statusPanelsAndVersion()
{
    Probe w;
    QCOMPARE(w.panelCount(), 2);
    QCOMPARE(w.panel(0)->minimumWidth(), 300);
    QCOMPARE(w.panel(1)->minimumWidth(), 50);
    QCOMPARE(w.statusBar(), w.StatusBar1);
    w.setPanelText(0, "等待輸入...");
    w.setPanelWidths({300, 100, 100, 50});
    QCOMPARE(w.panelCount(), 4);
    QCOMPARE(w.panelText(0), QString("等待輸入..."));

    QCOMPARE(Tfm_Base::GetVersionText(), QString(BOOKRENTAL_VERSION));
    QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(Tfm_Base::GetVersionText()).hasMatch());
}

QTEST_MAIN(TestBaseWindows)
#include "test_base_windows.moc"
