// The query launcher: each item opens its window through the registry with the
// launcher as owner, the same window again while it lives, and closing the launcher
// takes the windows it opened with it.
#include "framework/UF00_FindChose.h"
#include "framework/Ufm_BaseIS.h"
#include "framework/WindowRegistry.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

int built = 0;

class FakeSearch : public Tfm_BaseIS {
public:
    explicit FakeSearch(QWidget* owner, const QString& title) : Tfm_BaseIS(owner)
    {
        setWindowTitle(title);
        ++built;
    }
};

FakeSearch* F11_FindBook = nullptr;
FakeSearch* F11_FindGuest = nullptr;
FakeSearch* F22_FindRBook = nullptr;
FakeSearch* TimeRank = nullptr;

void registerFakes()
{
    registerWindows();
    registerWindow("TF11_FindBook", [](QWidget* o) { return openSingle(F11_FindBook, o, QString("尋找書本")); });
    registerWindow("TF11_FindGuest", [](QWidget* o) { return openSingle(F11_FindGuest, o, QString("尋找客戶")); });
    registerWindow("TF22_FindRBook", [](QWidget* o) { return openSingle(F22_FindRBook, o, QString("未還書查詢")); });
    registerWindow("TTimeRank", [](QWidget* o) { return openSingle(TimeRank, o, QString("期間排行榜")); });
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the launcher from the desk as the desk does; it takes the focus with item 1 selected.
TF00_FindChose* openLauncher(QWidget* desk)
{
    auto* w = qobject_cast<TF00_FindChose*>(openWindow("TF00_FindChose", desk));
    if (w && !QTest::qWaitForWindowActive(w))
        qWarning("launcher not active");
    return w;
}

void choose(TF00_FindChose* launcher, int row)
{
    launcher->lstBox->setCurrentRow(row);
    QTest::keyClick(launcher->lstBox, Qt::Key_Return);
}

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        registerFakes();
        desk = new Tfm_BaseIS;
        desk->show();
        built = 0;
    }
    void cleanup()
    {
        delete desk;
        runDeferredDeletes();
        QVERIFY(!F00_FindChose && !F11_FindGuest && !F22_FindRBook);
    }
    void itemsAndFirstSelectionOnEveryShow();
    void choosingAgainShowsTheSameWindow();
    void nothingSelectedOrNotYetBuiltOnlyHides();
    void exitTakesTheOpenedWindowsAlong();

private:
    Tfm_BaseIS* desk = nullptr;
};

void TestLauncher::itemsAndFirstSelectionOnEveryShow()
{
    TF00_FindChose* launcher = openLauncher(desk);
    QVERIFY(launcher);
    QCOMPARE(launcher->windowTitle(), QString("查詢功能"));
    QCOMPARE(launcher->parentWidget(), desk);
    QStringList items;
    for (int i = 0; i < launcher->lstBox->count(); ++i)
        items << launcher->lstBox->item(i)->text();
    QCOMPARE(items, QStringList({"1.書本查詢(B)", "2.客戶查詢(G)", "3.未還書查詢(N)", "4.期間排行榜"}));
    QCOMPARE(QApplication::focusWidget(), launcher->lstBox);
    QCOMPARE(launcher->lstBox->currentRow(), 0);

    launcher->lstBox->setCurrentRow(3);
    launcher->hide();
    QCOMPARE(openLauncher(desk), launcher);
    QCOMPARE(launcher->lstBox->currentRow(), 0);
    QVERIFY(launcher->lstBox->item(0)->isSelected());
}

void TestLauncher::choosingAgainShowsTheSameWindow()
{
    TF00_FindChose* launcher = openLauncher(desk);
    choose(launcher, 2);
    QVERIFY(F22_FindRBook);
    FakeSearch* first = F22_FindRBook;
    QCOMPARE(first->windowTitle(), QString("未還書查詢"));
    QCOMPARE(first->parentWidget(), launcher);
    QVERIFY(first->isVisible());
    QVERIFY(!launcher->isVisible());
    QCOMPARE(F00_FindChose, launcher); // hidden, alive

    openLauncher(desk);
    choose(launcher, 2);
    QCOMPARE(F22_FindRBook, first);
    QCOMPARE(built, 1);

    // Closed in between: a new one is built.
    first->Action12_Close->trigger();
    runDeferredDeletes();
    QVERIFY(!F22_FindRBook);
    openLauncher(desk);
    const QPoint third = launcher->lstBox->visualItemRect(launcher->lstBox->item(2)).center();
    QTest::mouseClick(launcher->lstBox->viewport(), Qt::LeftButton, {}, third); // a double click begins as a click
    QTest::mouseDClick(launcher->lstBox->viewport(), Qt::LeftButton, {}, third);
    QVERIFY(F22_FindRBook);
    QCOMPARE(built, 2);
}

void TestLauncher::nothingSelectedOrNotYetBuiltOnlyHides()
{
    TF00_FindChose* launcher = openLauncher(desk);
    launcher->lstBox->clearSelection();
    launcher->OpenChosen();
    QVERIFY(!launcher->isVisible());
    QCOMPARE(built, 0);

    unregisterWindow("TTimeRank");
    openLauncher(desk);
    choose(launcher, 3);
    QVERIFY(!launcher->isVisible());
    QCOMPARE(built, 0);
}

void TestLauncher::exitTakesTheOpenedWindowsAlong()
{
    TF00_FindChose* launcher = openLauncher(desk);
    choose(launcher, 1);
    QPointer<FakeSearch> guests = F11_FindGuest;
    QVERIFY(guests && guests->isVisible());

    openLauncher(desk);
    QTest::mouseClick(launcher->btnExit, Qt::LeftButton);
    runDeferredDeletes();
    QVERIFY(!F00_FindChose);
    QVERIFY(guests.isNull());
    QVERIFY(!F11_FindGuest);

    // The next opening builds a fresh launcher.
    TF00_FindChose* again = openLauncher(desk);
    QVERIFY(again);
    QCOMPARE(F00_FindChose, again);
}

QTEST_MAIN(TestLauncher)
#include "test_launcher.moc"
