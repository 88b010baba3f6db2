// The settlement of a visit: every line's statements, the journal rows of its
// charges, the counters of books and customer and the customer's balance, all
// in one short transaction, then the reset of the desk.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "desk/DeskRules.h"

using namespace DeskRules;

namespace {

// Statement A, by the line's own row; statement C is the same with Bstate 'BCK'.
const QString kCloseLoan = QStringLiteral("UPDATE Rent_Back SET flgRet = 1,InStudy = 0,BDate = :BDate,"
                                          "OverMoney = :OverMoney WHERE idno = :idno");
const QString kReturnLoan = QStringLiteral("UPDATE Rent_Back SET flgRet = 1,InStudy = 0,BDate = :BDate,"
                                           "OverMoney = :OverMoney,BState = 'BCK' WHERE idno = :idno");
// Statement B: the loan of a renewal.
const QString kRenewalLoan = QStringLiteral("INSERT INTO Rent_Back (Guest_Code,Book_Code,RDate,IDate,New,piece,BDate,"
                                            "flgRet,InStudy,Bstate) VALUES (:Guest,:BookCode,:RDate,:IDate,'否',"
                                            ":piece,:BDate,0,0,'con1')");

} // namespace

void DeskSession::journal(const QString& customer, const QString& mode, qint64 idno, qint32 piece)
{
    if (!DMMain)
        throw DbError(QStringLiteral("TDMMain 尚未建立"));
    DMMain->appendGuestCost(customer, mode, QString::number(idno), m_dutyCode, 0, piece, Clock::now());
}

void DeskSession::CountRental(const QString& customer, const QString& bookCode, bool renewal)
{
    run([&] {
        // A renewal closes one loan of the copy as it opens the other: the copies on loan stay.
        m_db.exec(renewal ? QStringLiteral("UPDATE BookDetail SET Brrow_Total = Brrow_Total + 1 WHERE Code = :BookCode")
                          : QStringLiteral("UPDATE BookDetail SET RetNum = RetNum + 1,Brrow_Total = Brrow_Total + 1 "
                                           "WHERE Code = :BookCode"),
                  {{QStringLiteral("BookCode"), bookCode}});
        m_db.exec(
            QStringLiteral("UPDATE Guest SET RentNo = RentNo + 1,Last_Rent = :Today WHERE GuestCode = :GuestCode"),
            {{QStringLiteral("Today"), Clock::today()}, {QStringLiteral("GuestCode"), customer}});
    });
}

bool DeskSession::RunStatement(const QString& sql, const Params& params)
{
    bool ok = false;
    run([&] {
        const bool inTransaction = m_db.inTransaction();
        try {
            m_db.exec(sql, params);
            ok = true;
        } catch (const DbError&) {
            Prompts::msgBox(sql + QStringLiteral("語法錯誤"), QStringLiteral("SQL語法錯誤"), QStringLiteral("Waning"));
            // When the engine gave up the whole transaction, going on would write outside it.
            if (inTransaction && m_db.transactionLost())
                throw;
        }
        if (!inTransaction && m_customerOpen)
            reopenLines();
    });
    return ok;
}

void DeskSession::settleLines(const QString& customer, qint64& rent, qint64& fine, std::vector<qint64>& done)
{
    const QDateTime now = Clock::now();
    const QDate today = Clock::today();
    for (size_t i = 1; i < m_lines.size(); ++i) {
        const TBook& l = m_lines[i];
        const qint32 q = Fine(l, m_day);
        const Params loan{
            {QStringLiteral("BDate"), now}, {QStringLiteral("OverMoney"), q}, {QStringLiteral("idno"), l.idno}};
        const Params book{{QStringLiteral("BookCode"), l.Code}};
        switch (l.State) {
        case Compensated:
            // The copy is written off and its loan ends.
            m_db.exec(
                QStringLiteral("UPDATE BookDetail SET Number = Number - 1,RetNum = RetNum - 1 WHERE Code = :BookCode"),
                book);
            m_db.exec(kCloseLoan, loan);
            journal(customer, QStringLiteral("PN"), l.idno, -l.piece);
            rent += l.piece;
            break;
        case Renewed:
            m_db.exec(kCloseLoan, loan);
            m_db.exec(kRenewalLoan, {{QStringLiteral("Guest"), customer},
                                     {QStringLiteral("BookCode"), l.Code},
                                     {QStringLiteral("RDate"), now},
                                     {QStringLiteral("IDate"), today.addDays(2)},
                                     {QStringLiteral("piece"), l.Fee},
                                     {QStringLiteral("BDate"), now}});
            CountRental(customer, l.Code, true);
            journal(customer, QStringLiteral("CO"), l.idno, -l.Fee);
            rent += l.Fee;
            break;
        case NewRental:
            CountRental(customer, l.Code, false);
            journal(customer, QStringLiteral("DR"), l.idno, -l.Fee);
            rent += l.Fee;
            m_db.exec(QStringLiteral("UPDATE Rent_Back SET BState = 'RetB' WHERE idno = :idno AND BState = 'Ret'"),
                      {{QStringLiteral("idno"), l.idno}});
            done.push_back(l.idno);
            break;
        case Withdrawn:
            if (RunStatement(QStringLiteral("DELETE FROM Rent_Back WHERE idno = :idno"),
                             {{QStringLiteral("idno"), l.idno}}))
                done.push_back(l.idno);
            break;
        case Returned:
            m_db.exec(kReturnLoan, loan);
            m_db.exec(QStringLiteral("UPDATE BookDetail SET RetNum = RetNum - 1 WHERE Code = :BookCode"), book);
            break;
        default:
            continue;
        }
        if (q > 0 && (l.State == Compensated || l.State == Renewed || l.State == Returned)) {
            journal(customer, QStringLiteral("OV"), l.idno, -q);
            fine += q;
        }
    }
}

bool DeskSession::Settle(const QString& customer)
{
    bool settled = false;
    run([&] {
        if (!m_customerOpen)
            return;
        std::vector<qint64> done;
        try {
            Transaction tx(m_db);
            qint64 rent = 0, fine = 0;
            settleLines(customer, rent, fine, done);
            // The balance drops by exactly what the journal charged.
            if (rent != 0 || fine != 0)
                m_db.exec(QStringLiteral("UPDATE Guest SET Leave_Mon = Leave_Mon - :Total,"
                                         "Tot_OverDate = Tot_OverDate + :OverMoney,Tot_Cost = Tot_Cost + :Cost "
                                         "WHERE GuestCode = :GuestCode"),
                          {{QStringLiteral("Total"), rent + fine},
                           {QStringLiteral("OverMoney"), fine},
                           {QStringLiteral("Cost"), rent + fine},
                           {QStringLiteral("GuestCode"), customer}});
            tx.commit();
        } catch (const DbError& e) {
            // Nothing of the settlement remains; the desk stays on the customer.
            reportError(e.text());
            return;
        }
        for (qint64 id : done)
            std::erase(m_pending, id);
        settled = true;
        ResetDesk();
    });
    return settled;
}
