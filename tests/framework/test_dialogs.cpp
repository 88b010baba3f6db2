// The small shared dialogs: the progress dialog's ticks and closing, the two password
// dialogs with their answers, and the real prompt handler's message boxes.
#include "framework/QtPrompts.h"
#include "framework/UFDlg_ProcBar.h"
#include "framework/Ufm_Base.h"
#include "framework/Ufm_pwdInput.h"
#include "framework/Ufm_pwnEzInput.h"
#include "support/PromptRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The dialog with its own timer stopped, so the test gives the ticks.
TFDlg_ProcBar* stoppedProgress(quint8 percent)
{
    Tfm_Base::ShowProgress(percent);
    if (FDlg_ProcBar)
        FDlg_ProcBar->tmrProc()->stop();
    return FDlg_ProcBar;
}

void finishProgress()
{
    if (FDlg_ProcBar)
        FDlg_ProcBar->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Ends a password dialog the way a user does.
void finish(QDialog& dlg, const QString& how, QLineEdit* lastEdit, QPushButton* ok, QPushButton* cancel)
{
    if (how == "ok")
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (how == "enter")
        QTest::keyClick(lastEdit, Qt::Key_Return);
    else if (how == "cancel")
        QTest::mouseClick(cancel, Qt::LeftButton);
    else if (how == "escape")
        QTest::keyClick(lastEdit, Qt::Key_Escape);
    else if (how == "close")
        dlg.close();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { finishProgress(); }
    void progressTicks_data();
    void progressTicks();
    void progressAt100HoldsThenCloses();
    void progressRunsOnItsOwnTimer();
    void passwordEntry_data();
    void passwordEntry();
    void passwordChange_data();
    void passwordChange();
    void realPromptsReuseThePasswordDialogs();
    void realMessageBoxes_data();
    void realMessageBoxes();
};

void TestDialogs::progressTicks_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("ticksToClose");
    QTest::newRow("shown at 0 starts at 50") << 0 << 18;
    QTest::newRow("left at 97") << 97 << 2;
    QTest::newRow("above 100 is held at 100") << 150 << 1;
}

void TestDialogs::progressTicks()
{
    QFETCH(int, percent);
    QFETCH(int, ticksToClose);
    TFDlg_ProcBar* dlg = stoppedProgress(quint8(percent));
    QVERIFY(dlg && dlg->isVisible());
    QCOMPARE(dlg->position(), percent == 0 ? 50 : qMin(percent, 100));
    QCOMPARE(dlg->windowTitle(), QString("更新資料庫中...."));
    QVERIFY(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);

    QPointer<TFDlg_ProcBar> guard(dlg);
    for (int i = 1; i < ticksToClose; ++i) {
        dlg->tick();
        QCOMPARE(FDlg_ProcBar, dlg);
    }
    QCOMPARE(dlg->position(), 100);
    dlg->tick();
    QVERIFY(!FDlg_ProcBar);
    QVERIFY(!dlg->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
}

void TestDialogs::progressAt100HoldsThenCloses()
{
    stoppedProgress(30);
    QElapsedTimer clock;
    clock.start();
    Tfm_Base::ShowProgress(100);
    QVERIFY(clock.elapsed() >= 195);
    QVERIFY(!FDlg_ProcBar);
    QVERIFY(!QApplication::overrideCursor());

    // The next call builds a new dialog, which starts again at 50 before the value is applied.
    TFDlg_ProcBar* again = stoppedProgress(0);
    QVERIFY(again);
    QCOMPARE(again->position(), 50);
    stoppedProgress(10);
    QCOMPARE(FDlg_ProcBar, again);
    QCOMPARE(again->position(), 10);
}

void TestDialogs::progressRunsOnItsOwnTimer()
{
    Tfm_Base::ShowProgress(94);
    QVERIFY(FDlg_ProcBar);
    QCOMPARE(FDlg_ProcBar->tmrProc()->interval(), 100);
    QTRY_VERIFY_WITH_TIMEOUT(!FDlg_ProcBar, 2000);
}

void TestDialogs::passwordEntry_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("answer");
    QTest::newRow("OK returns the text") << ""
                                         << "abc"
                                         << "ok"
                                         << "abc";
    QTest::newRow("Enter is OK") << ""
                                 << "pw1"
                                 << "enter"
                                 << "pw1";
    QTest::newRow("the initial text") << "12"
                                      << "3"
                                      << "enter"
                                      << "123";
    QTest::newRow("empty text") << ""
                                << ""
                                << "ok"
                                << "";
    QTest::newRow("Cancel") << ""
                            << "abc"
                            << "cancel"
                            << "Cancel";
    QTest::newRow("Escape") << ""
                            << "abc"
                            << "escape"
                            << "Cancel";
    QTest::newRow("close box") << ""
                               << "abc"
                               << "close"
                               << "Cancel";
    QTest::newRow("typed Cancel reads as a cancel") << ""
                                                    << "Cancel"
                                                    << "ok"
                                                    << "Cancel";
}

void TestDialogs::passwordEntry()
{
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, answer);
    Tfm_pwnEzInput dlg;
    dlg.prepare(initial);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.windowTitle(), QString("請輸入密碼！"));
    QCOMPARE(QApplication::focusWidget(), dlg.edtPassword);
    QCOMPARE(dlg.edtPassword->echoMode(), QLineEdit::Password);
    dlg.edtPassword->end(false);
    QTest::keyClicks(dlg.edtPassword, typed);
    finish(dlg, how, dlg.edtPassword, dlg.btnOK, dlg.btnCancel);
    QCOMPARE(dlg.answer(), answer);
    QVERIFY(!dlg.isVisible());
}

void TestDialogs::passwordChange_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typedOld");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("password");
    const int ok = int(PasswordChange::Outcome::Confirmed), wrong = int(PasswordChange::Outcome::WrongOldPassword),
              cancelled = int(PasswordChange::Outcome::Cancelled);
    QTest::newRow("right old password") << "old1"
                                        << "old1"
                                        << "ok" << ok << "new9";
    QTest::newRow("Enter, Enter") << "old1"
                                  << "old1"
                                  << "enter" << ok << "new9";
    QTest::newRow("no old password, empty edit") << ""
                                                 << ""
                                                 << "ok" << ok << "new9";
    QTest::newRow("wrong old password") << "old1"
                                        << "old2"
                                        << "ok" << wrong << "";
    QTest::newRow("old password left out") << "old1"
                                           << ""
                                           << "enter" << wrong << "";
    QTest::newRow("exact comparison") << "Old1"
                                      << "old1"
                                      << "ok" << wrong << "";
    QTest::newRow("Cancel") << "old1"
                            << "old1"
                            << "cancel" << cancelled << "";
    QTest::newRow("closed") << "old1"
                            << "old1"
                            << "close" << cancelled << "";
}

void TestDialogs::passwordChange()
{
    QFETCH(QString, stored);
    QFETCH(QString, typedOld);
    QFETCH(QString, how);
    QFETCH(int, outcome);
    QFETCH(QString, password);
    PromptRecorder prompts;
    Tfm_pwdInput dlg;
    dlg.prepare("密碼確認！", "請在輸入一次新的密碼！", "new", stored);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dlg.windowTitle(), QString("密碼確認！"));
    QCOMPARE(dlg.labNew->text(), QString("請在輸入一次新的密碼！"));
    QCOMPARE(dlg.edtNew->text(), QString("new"));
    QCOMPARE(QApplication::focusWidget(), dlg.edtOld);

    QTest::keyClicks(dlg.edtOld, typedOld);
    if (how == "enter") {
        QTest::keyClick(dlg.edtOld, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg.edtNew);
        QVERIFY(dlg.isVisible());
    }
    dlg.edtNew->end(false);
    QTest::keyClicks(dlg.edtNew, "9");
    finish(dlg, how, dlg.edtNew, dlg.btnOK, dlg.btnCancel);

    QVERIFY(!dlg.isVisible());
    QCOMPARE(int(dlg.outcome().outcome), outcome);
    QCOMPARE(dlg.outcome().password, password);
    if (outcome == int(PasswordChange::Outcome::WrongOldPassword)) {
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.last().kind, QString());
        QCOMPARE(prompts.last().text, QString("原本的密碼設定錯誤！"));
    } else {
        QCOMPARE(prompts.shown().size(), 0);
    }
}

void TestDialogs::realPromptsReuseThePasswordDialogs()
{
    QtPrompts real;
    Tfm_pwnEzInput* dlg = real.passwordDialog();
    QTimer::singleShot(0, dlg, [dlg] {
        QTest::keyClicks(dlg->edtPassword, "pw");
        QTest::keyClick(dlg->edtPassword, Qt::Key_Return);
    });
    QCOMPARE(real.askPassword(""), QString("pw"));
    QVERIFY(!dlg->isVisible());

    QCOMPARE(real.passwordDialog(), dlg);
    QTimer::singleShot(0, dlg, [dlg] { QTest::mouseClick(dlg->btnCancel, Qt::LeftButton); });
    QCOMPARE(real.askPassword("y"), Prompts::kCancel);

    // The change dialog forgets what the previous user typed as the old password.
    Tfm_pwdInput* change = real.passwordChangeDialog();
    QTimer::singleShot(0, change, [change] {
        QTest::keyClicks(change->edtOld, "secret");
        QTest::mouseClick(change->btnCancel, Qt::LeftButton);
    });
    real.askPasswordChange("c", "p", "", "secret");
    QTimer::singleShot(0, change, [change] { QTest::mouseClick(change->btnOK, Qt::LeftButton); });
    const PasswordChange r = real.askPasswordChange("c", "p", "n", "");
    QCOMPARE(int(r.outcome), int(PasswordChange::Outcome::Confirmed));
    QCOMPARE(r.password, QString("n"));
    QCOMPARE(real.passwordChangeDialog(), change);
}

void TestDialogs::realMessageBoxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("answer");
    QTest::newRow("Waning") << "Waning" << int(Buttons::Ok) << int(QMessageBox::Warning) << int(QMessageBox::Ok)
                            << int(Answer::Ok);
    QTest::newRow("Inf") << "Inf" << int(Buttons::Ok) << int(QMessageBox::Information) << int(QMessageBox::Ok)
                         << int(Answer::Ok);
    QTest::newRow("Err") << "Err" << int(Buttons::Ok) << int(QMessageBox::Critical) << int(QMessageBox::Ok)
                         << int(Answer::Ok);
    QTest::newRow("plain") << "" << int(Buttons::Ok) << int(QMessageBox::NoIcon) << int(QMessageBox::Ok)
                           << int(Answer::Ok);
    QTest::newRow("yes of yes/no") << "Waning" << int(Buttons::YesNo) << int(QMessageBox::Warning)
                                   << int(QMessageBox::Yes) << int(Answer::Yes);
    QTest::newRow("no of yes/no") << "Waning" << int(Buttons::YesNo) << int(QMessageBox::Warning)
                                  << int(QMessageBox::No) << int(Answer::No);
    QTest::newRow("cancel of ok/cancel") << "Inf" << int(Buttons::OkCancel) << int(QMessageBox::Information)
                                         << int(QMessageBox::Cancel) << int(Answer::Cancel);
}

void TestDialogs::realMessageBoxes()
{
    QFETCH(QString, kind);
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, click);
    QFETCH(int, answer);
    QtPrompts real;
    int seenIcon = -1;
    QString seenTitle, seenText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenIcon = box->icon();
        seenTitle = box->windowTitle();
        seenText = box->text();
        box->button(QMessageBox::StandardButton(click))->click();
    });
    const Answer got = real.show(kind, "刪除此筆資料？", "確認", Buttons(buttons));
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenTitle, QString("確認"));
    QCOMPARE(seenText, QString("刪除此筆資料？"));
    QCOMPARE(int(got), answer);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
