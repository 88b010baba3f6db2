// The general error report: an error that no handler caught ends the command, shows
// its text in the error box, undoes nothing, and the program goes on.
#include "framework/ShopApplication.h"
#include "framework/Ufm_BaseIS.h"
#include "support/TestShop.h"

#include <QLineEdit>
#include <QTest>

#include <stdexcept>

namespace {

class Failing : public Tfm_BaseIS {
public:
    using Tfm_BaseIS::Tfm_BaseIS;
    QStringList calls;

protected:
    void Action2Execute() override
    {
        db().exec("INSERT INTO Worker (CODE, Name) VALUES ('W1', '甲')");
        db().exec("INSERT INTO NoSuchTable VALUES (1)");
        calls << "after the error";
    }
    void Action3Execute() override { calls << "F3"; }
};

// An object whose event handler fails outside any guarded command.
class Thrower : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        if (++handled == 1)
            throw std::runtime_error("轉換失敗");
        return true;
    }
};

} // namespace

class TestErrors : public QObject {
    Q_OBJECT
private slots:
    void guardedCommand_data();
    void guardedCommand();
    void errorInActionHandlerEndsOnlyThatCommand();
    void errorEscapingAnEventHandlerIsReported();
};

void TestErrors::guardedCommand_data()
{
    QTest::addColumn<int>("throws");
    QTest::addColumn<bool>("completed");
    QTest::addColumn<QString>("message");
    QTest::newRow("no error") << 0 << true << "";
    QTest::newRow("abandoned after a check: silent") << 1 << false << "";
    QTest::newRow("engine error") << 2 << false << "no such column: x";
    QTest::newRow("other error") << 3 << false << "bad number";
    QTest::newRow("unknown") << 4 << false << "未知的錯誤";
}

void TestErrors::guardedCommand()
{
    QFETCH(int, throws);
    QFETCH(bool, completed);
    QFETCH(QString, message);
    PromptRecorder prompts;
    const bool done = guarded([throws] {
        switch (throws) {
        case 1:
            throw Abort();
        case 2:
            throw DbError("no such column: x");
        case 3:
            throw std::invalid_argument("bad number");
        case 4:
            throw 42;
        }
    });
    QCOMPARE(done, completed);
    if (message.isEmpty()) {
        QCOMPARE(prompts.shown().size(), 0);
    } else {
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.last().kind, QString("Err"));
        QCOMPARE(prompts.last().text, message);
    }
}

void TestErrors::errorInActionHandlerEndsOnlyThatCommand()
{
    TestShop shop;
    Failing w;
    auto* edt = new QLineEdit(w.surface());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    edt->setFocus();

    QTest::keyClick(edt, Qt::Key_F2);
    QCOMPARE(shop.prompts.shown().size(), 1);
    QCOMPARE(shop.prompts.last().kind, QString("Err"));
    QVERIFY2(shop.prompts.last().text.contains("NoSuchTable"), qPrintable(shop.prompts.last().text));
    QVERIFY(!w.calls.contains("after the error"));
    QCOMPARE(shop.count("Worker", "CODE = 'W1'"), 1); // written before the error: stays

    QTest::keyClick(edt, Qt::Key_F3);
    QCOMPARE(w.calls, QStringList({"F3"}));
    QVERIFY(w.isVisible());
}

void TestErrors::errorEscapingAnEventHandlerIsReported()
{
    PromptRecorder prompts;
    Thrower t;
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&t, QEvent::User);
    QCOMPARE(t.handled, 2);
    QCOMPARE(prompts.shown().size(), 1);
    QCOMPARE(prompts.last().text, QString("轉換失敗"));
    QCOMPARE(prompts.last().caption, kErrorCaption);
}

// The program's own application object, so the event report is the one under test.
int main(int argc, char** argv)
{
    ShopApplication app(argc, argv);
    TestErrors tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "test_errors.moc"
