// In-store readings (walk-in and by the open customer) and cash amounts: closed
// Rent_Back rows marked InStudy, so that the day's in-store takings are one sum.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "db/Clock.h"
#include "db/Schema.h"
#include "desk/DeskSql.h"

#include <QRegularExpression>

namespace {

const QString kInsertReading = QStringLiteral(
    "INSERT INTO Rent_Back (Guest_CODE,Book_Code,Vol,RDate,IDate,New,piece,BDate,flgRet,InStudy,BState,WorkManCode) "
    "VALUES (:Guest,:BookCode,:Vol,:Now,:Today,'否',:piece,:Now2,1,1,'IN',:WorkCode)");

Params todayBounds()
{
    const QDate today = Clock::today();
    return {{QStringLiteral("Today"), today}, {QStringLiteral("Tomorrow"), today.addDays(1)}};
}

void bookNotFound()
{
    Prompts::msgBox(QStringLiteral("查無此書！"), QStringLiteral("查詢錯誤！"), QStringLiteral("Waning"));
}

} // namespace

qint64 DeskSession::insertReading(const QString& customer, const TBook& book)
{
    const QDateTime now = Clock::now();
    m_db.exec(kInsertReading, {{QStringLiteral("Guest"), customer},
                               {QStringLiteral("BookCode"), book.Code},
                               {QStringLiteral("Vol"), book.Vol},
                               {QStringLiteral("Now"), now},
                               {QStringLiteral("Today"), now.date()},
                               {QStringLiteral("piece"), book.Cost_Old},
                               {QStringLiteral("Now2"), now},
                               {QStringLiteral("WorkCode"), m_dutyCode}});
    const qint64 id = m_db.lastInsertId();
    m_db.exec(QStringLiteral("UPDATE BookDetail SET Brrow_Total = Brrow_Total + 1 WHERE Code = :BookCode"),
              {{QStringLiteral("BookCode"), book.Code}});
    return id;
}

qint64 DeskSession::TodayInStoreTotal()
{
    qint64 total = 0;
    run([&] { total = m_db.scalar(DeskSql::todayInStoreTotal(), todayBounds()).toLongLong(); });
    return total;
}

void DeskSession::ShowTodayReadings()
{
    run([&] {
        m_qryBook->setSql(DeskSql::todayReadings());
        m_qryBook->clearParams();
        const Params bounds = todayBounds();
        for (auto it = bounds.cbegin(); it != bounds.cend(); ++it)
            m_qryBook->setParam(it.key(), it.value());
        m_qryBook->open();
        m_qryBook->last();
    });
}

void DeskSession::WalkInReading(const QString& entry)
{
    run([&] {
        TBook book;
        if (!findBook(entry, book)) {
            bookNotFound();
            selectInput();
            return;
        }
        {
            Transaction tx(m_db);
            const qint64 id = insertReading(Schema::kShopAccount, book);
            journal(Schema::kShopAccount, QStringLiteral("IN"), id, -book.Cost_Old);
            tx.commit();
        }
        const qint64 total = TodayInStoreTotal();
        ShowTodayReadings();
        ShowStatus(book.Name, QStringLiteral("內閱書本:") + entry);
        flush(); // the window shows the readings behind the message
        Prompts::msgBox(QStringLiteral("內閱總金額：") + QString::number(total), QStringLiteral("內閱"),
                        QStringLiteral("Inf"));
        m_qryBook->close();
        ResetDesk();
    });
}

void DeskSession::MemberReading(const QString& customer, const QString& entry)
{
    run([&] {
        if (entry.isEmpty()) {
            Settle(customer);
            return;
        }
        // The whole barcode, as in a walk-in reading: a prefix would become a row that points at no book.
        TBook book;
        if (!findBook(entry, book)) {
            bookNotFound();
            selectInput();
            return;
        }
        {
            Transaction tx(m_db);
            const qint64 id = insertReading(customer, book);
            m_db.exec(
                QStringLiteral("UPDATE Guest SET RentNo = RentNo + 1,Last_Rent = :Today,"
                               "Leave_Mon = Leave_Mon - :Cost,RentInNo = RentInNo + 1,Tot_Cost = Tot_Cost + :Cost "
                               "WHERE GuestCode = :GuestCode"),
                {{QStringLiteral("Today"), Clock::today()},
                 {QStringLiteral("Cost"), book.Cost_Old},
                 {QStringLiteral("GuestCode"), customer}});
            journal(customer, QStringLiteral("IN"), id, -book.Cost_Old);
            tx.commit();
        }
        ShowStatus(QString(), QStringLiteral("內閱書本:") + entry);
        clearInput();
        // The reading is charged at once: show the balance as it now stands.
        if (m_qryGuest->isOpen())
            m_qryGuest->refresh();
    });
}

void DeskSession::EnterAmount(const QString& entry)
{
    run([&] {
        const auto refuse = [&](const QString& text) {
            Prompts::msgBox(text, QStringLiteral("金額錯誤！"), QStringLiteral("Waning"));
            selectInput();
        };
        const QString text = entry.trimmed();
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        if (!whole.match(text).hasMatch()) {
            refuse(QStringLiteral("內閱金額輸入錯誤！"));
            return;
        }
        bool ok = false;
        const qint64 amount = text.toLongLong(&ok);
        if (!ok || amount < -32768 || amount > 32767) {
            refuse(QStringLiteral("內閱金額輸入錯誤！\n金額必須在 -32768 至 32767 之間。"));
            return;
        }
        try {
            const QDateTime now = Clock::now();
            m_db.exec(QStringLiteral("INSERT INTO Rent_Back (Book_Code,Vol,RDate,IDate,New,piece,BDate,flgRet,InStudy) "
                                     "VALUES ('金額','0',:RDate,:IDate,'否',:piece,:BDate,1,1)"),
                      {{QStringLiteral("RDate"), now},
                       {QStringLiteral("IDate"), now.date()},
                       {QStringLiteral("piece"), amount},
                       {QStringLiteral("BDate"), now}});
        } catch (const DbError&) {
            refuse(QStringLiteral("內閱金額輸入錯誤！"));
            return;
        }
        const qint64 total = TodayInStoreTotal();
        ShowStatus(entry, QStringLiteral("內閱總金額:") + entry);
        ShowTodayReadings();
        flush();
        Prompts::msgBox(QStringLiteral("內閱金額：") + QString::number(total), QStringLiteral("內閱"),
                        QStringLiteral("Inf"));
        ResetDesk();
    });
}
