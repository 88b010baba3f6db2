// The advanced settings of a customer: the password confirmation each time the focus
// leaves the password field, and the save when the window closes.
#include "customers/UF01_1GuestSet2.h"
#include "customers/UF01_NewGuest.h"
#include "framework/DBControls.h"
#include "support/TestShop.h"

#include <QLabel>
#include <QTest>

namespace {

void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

const QString kNull; // no text typed: the clerk only tabs through

} // namespace

Q_DECLARE_METATYPE(PasswordChange::Outcome)

class TestGuestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void passwordConfirmation_data();
    void passwordConfirmation();
    void closingSavesAndConfirmsATypedPassword();

private:
    QString stored(const QString& column)
    {
        return shop->scalar(QStringLiteral("SELECT \"%1\" FROM Guest WHERE GuestCode = 'G001'").arg(column)).toString();
    }

    std::unique_ptr<TestShop> shop;
    TF01_1GuestSet2* settings = nullptr;
};

void TestGuestSettings::init()
{
    shop = std::make_unique<TestShop>();
    shop->addGuest("G001", "王小明");
    shop->db().exec("UPDATE Guest SET Password = 'abc' WHERE GuestCode = 'G001'");
    TF01_NewGuest* w = TF01_NewGuest::OpenForEdit(nullptr, "G001");
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->edtName, Qt::Key_F3);
    settings = F01_1GuestSet2;
    QVERIFY(settings);
    QVERIFY(QTest::qWaitForWindowActive(settings));
    QCOMPARE(settings->labTitle->text(), QString("王小明"));
    QCOMPARE(settings->edtPassword->echoMode(), QLineEdit::Password);
}

void TestGuestSettings::cleanup()
{
    delete F01_NewGuest; // takes the settings window with it
    runDeferredDeletes();
    QVERIFY(!F01_NewGuest && !F01_1GuestSet2);
    shop.reset();
}

void TestGuestSettings::passwordConfirmation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<PasswordChange::Outcome>("outcome");
    QTest::addColumn<QString>("repeated");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QStringList>("messages");

    using O = PasswordChange::Outcome;
    const QStringList none;
    const QStringList mismatch = {"密碼不正確！"};
    const QStringList wrongOld = {"原本的密碼設定錯誤！", "密碼不正確！"};
    QTest::newRow("tabbed through, confirmation cancelled") << kNull << true << O::Cancelled << "" << "abc" << none;
    QTest::newRow("tabbed through, confirmed") << kNull << true << O::Confirmed << "" << "abc" << none;
    QTest::newRow("changed, right old and same repetition") << "xyz" << true << O::Confirmed << "xyz" << "xyz" << none;
    QTest::newRow("changed, confirmation cancelled") << "xyz" << true << O::Cancelled << "" << "xyz" << none;
    QTest::newRow("changed, different repetition") << "xyz" << true << O::Confirmed << "xy" << "abc" << mismatch;
    QTest::newRow("changed, old typed wrong") << "xyz" << true << O::WrongOldPassword << "" << "abc" << wrongOld;
    QTest::newRow("emptied, old typed wrong") << "" << true << O::WrongOldPassword << "" << "abc" << wrongOld;
    QTest::newRow("Cancel typed") << "Cancel" << false << O::Cancelled << "" << "abc"
                                  << QStringList({"不正確的密碼！\n\r請輸入新的密碼！"});
}

void TestGuestSettings::passwordConfirmation()
{
    QFETCH(QString, typed);
    QFETCH(bool, asked);
    QFETCH(PasswordChange::Outcome, outcome);
    QFETCH(QString, repeated);
    QFETCH(QString, kept);
    QFETCH(QStringList, messages);

    DBEdit* pwd = settings->edtPassword;
    pwd->setFocus();
    QTRY_VERIFY(pwd->hasFocus());
    if (!typed.isNull()) {
        pwd->selectAll();
        QTest::keyClick(pwd, Qt::Key_Delete);
        QTest::keyClicks(pwd, typed);
    }
    if (asked)
        shop->prompts.setNextPasswordChange({outcome, repeated});
    QTest::keyClick(pwd, Qt::Key_Tab);

    QCOMPARE(shop->prompts.texts(), messages);
    QVERIFY(shop->prompts.drained());
    QCOMPARE(shop->prompts.changesAsked().size(), asked ? 1 : 0);
    if (asked) {
        const PasswordChangeRequest r = shop->prompts.changesAsked().first();
        QCOMPARE(r.caption, QString("密碼確認！"));
        QCOMPARE(r.prompt, QString("請在輸入一次新的密碼！"));
        QCOMPARE(r.initialNew, QString());
        QCOMPARE(r.oldPassword, QString("abc"));
    } else {
        QCOMPARE(shop->prompts.last().caption, QString("不正確！"));
        QTRY_COMPARE(QApplication::focusWidget(), pwd); // the field keeps the focus
    }
    QCOMPARE(pwd->text(), kept);
    QCOMPARE(F01_NewGuest->Table1->text("Password"), kept);
    F01_NewGuest->Table1->post();
    QCOMPARE(stored("Password"), kept);
}

void TestGuestSettings::closingSavesAndConfirmsATypedPassword()
{
    settings->chkPwdUse->setFocus();
    QTest::keyClick(settings->chkPwdUse, Qt::Key_Space);
    auto* limit = settings->findChild<QLineEdit*>("Lim_New");
    limit->setFocus();
    limit->selectAll();
    QTest::keyClicks(limit, "2");

    // Closed with the focus still in the password field: the new password is confirmed all the same.
    DBEdit* pwd = settings->edtPassword;
    pwd->setFocus();
    QTRY_VERIFY(pwd->hasFocus());
    pwd->selectAll();
    QTest::keyClicks(pwd, "new1");
    shop->prompts.setNextPasswordChange({PasswordChange::Outcome::Confirmed, "new2"});
    QTest::keyClick(pwd, Qt::Key_F12);
    runDeferredDeletes();
    QVERIFY(!F01_1GuestSet2);
    QCOMPARE(shop->prompts.texts(), QStringList({"密碼不正確！"}));
    QCOMPARE(stored("Password"), QString("abc"));
    QCOMPARE(stored("pwdUse"), QString("1"));
    QCOMPARE(stored("Lim_New"), QString("2"));
    QCOMPARE(F01_NewGuest->Table1->state(), Dataset::State::Browse);
}

QTEST_MAIN(TestGuestSettings)
#include "test_guest_settings.moc"
