// The customer lookup of the desk: by code, by history number or by a book on
// loan, with the customer's password; the recent-customer list; the copy of
// the customer's row, its refresh and its note.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "desk/DeskSql.h"

#include <QRegularExpression>

void DeskSession::OpenCustomer(const QString& entry)
{
    run([&] {
        if (entry.isEmpty()) {
            ShowStatus(QStringLiteral("請輸入資料！！"), QStringLiteral("請輸入資料！！"));
            return;
        }
        QString code = entry;
        static const QRegularExpression historyNumber(QStringLiteral("^[1-9]$"));
        if (historyNumber.match(entry).hasMatch()) {
            const HistorySlot& slot = m_history[size_t(entry.toInt() - 1)];
            if (!slot.code.isEmpty())
                code = slot.code;
        }
        QString barcode;
        Lookup found = FindCustomer(code);
        if (found == Lookup::NotFound) {
            // Not a customer: perhaps the barcode of a book someone has out.
            Statement st(m_db, DeskSql::holdersOfBook());
            st.bind({{QStringLiteral("BookCode"), entry}});
            QStringList holders;
            while (st.step())
                holders << st.value(0).toString();
            if (!holders.isEmpty()) {
                QString holder = holders.first();
                if (holders.size() > 1) {
                    m_qrySelGuest->setSql(DeskSql::guestsHoldingBook());
                    m_qrySelGuest->setParam(QStringLiteral("BookCode"), entry);
                    m_qrySelGuest->open();
                    const bool chosen = m_qrySelGuest->isEmpty() ? false : (m_choose ? m_choose(*m_qrySelGuest) : true);
                    if (chosen && m_qrySelGuest->recNo() >= 1) {
                        holder = m_qrySelGuest->text(QStringLiteral("GuestCode"));
                    } else if (!m_qrySelGuest->isEmpty()) {
                        m_qrySelGuest->close();
                        selectInput();
                        return; // closed without choosing
                    }
                    m_qrySelGuest->close();
                }
                if (HasReservation(entry))
                    Prompts::msgBox(entry + QStringLiteral("有被預約！"), QStringLiteral("被預約"),
                                    QStringLiteral("Inf"));
                found = FindCustomer(holder);
                barcode = entry;
            }
        }
        if (found == Lookup::Refused) {
            closeCustomer();
            return;
        }
        if (found == Lookup::NotFound) {
            closeCustomer();
            selectInput();
            ShowStatus(QStringLiteral("無此筆資料！！"), QStringLiteral("無此筆資料！！"));
            Prompts::beep();
            return;
        }
        const QString guestCode = m_guest.GuestCode;
        AddHistory(m_guest.Name, guestCode);
        m_mode = ModeCustomer;
        m_day = Clock::today();
        m_guest.RentTotal = 0;
        m_guest.OverTotal = 0;
        m_labH1 = modePrompt(ModeCustomer);
        ShowStatus(guestCode + QStringLiteral("　") + m_guest.Name, QStringLiteral("請輸入書本條碼號"), true);
        LoadCustomerLines(guestCode);
        if (!barcode.isEmpty())
            ScanBook(guestCode, barcode);
        ShowHistory();
        clearInput();
    });
}

DeskSession::Lookup DeskSession::FindCustomer(const QString& code)
{
    Lookup result = Lookup::NotFound;
    run([&] {
        m_qryGuest->setSql(QStringLiteral("SELECT * FROM Guest WHERE GuestCode = :CODE"));
        m_qryGuest->clearParams();
        m_qryGuest->setParam(QStringLiteral("CODE"), code);
        m_qryGuest->open(); // copies the customer
        if (m_qryGuest->isEmpty())
            return;
        if (m_qryGuest->boolean(QStringLiteral("pwdUse"))) {
            const QString stored = m_qryGuest->text(QStringLiteral("Password"));
            bool admitted = false;
            for (int attempt = 0; attempt < 3 && !admitted; ++attempt) {
                const QString typed = Prompts::askPassword(QString());
                if (typed == Prompts::kCancel)
                    break;
                if (typed == stored)
                    admitted = true;
                else
                    Prompts::msgBox(QStringLiteral("密碼錯誤！"), QStringLiteral("Password Error!"),
                                    QStringLiteral("Err"));
            }
            if (!admitted) {
                result = Lookup::Refused;
                return;
            }
        }
        result = Lookup::Found;
    });
    return result;
}

void DeskSession::copyGuest()
{
    const Dataset& g = *m_qryGuest;
    if (!g.isOpen() || g.recNo() < 1)
        return;
    m_guest.GuestCode = g.text(QStringLiteral("GuestCode"));
    m_guest.Name = g.text(QStringLiteral("Name"));
    m_guest.Leave_Mon = g.number(QStringLiteral("Leave_Mon"));
    m_guest.Papers = g.text(QStringLiteral("Papers"));
    m_guest.Email = g.text(QStringLiteral("Email"));
    m_guest.ADDR = g.text(QStringLiteral("ADDR"));
    m_guest.PS = g.text(QStringLiteral("PS"));
    m_guest.Password = g.text(QStringLiteral("Password"));
    m_guest.Birthday = g.date(QStringLiteral("Birthday"));
    m_guest.Tot_Cost = qint32(g.integer(QStringLiteral("Tot_Cost")));
    m_guest.Tot_OverDate = qint32(g.integer(QStringLiteral("Tot_OverDate")));
    m_guest.Lim_Comic = qint16(g.integer(QStringLiteral("Lim_Comic")));
    m_guest.Lim_Fiction = qint16(g.integer(QStringLiteral("Lim_Fiction")));
    m_guest.Lim_Magazine = qint16(g.integer(QStringLiteral("Lim_Magazine")));
    m_guest.Lim_CD = qint16(g.integer(QStringLiteral("Lim_CD")));
    m_guest.Lim_OTH = qint16(g.integer(QStringLiteral("Lim_OTH")));
    m_guest.Lim_New = qint16(g.integer(QStringLiteral("Lim_New")));
}

void DeskSession::RefreshCustomer()
{
    run([&] {
        if (!m_customerOpen || !m_qryGuest->isOpen())
            return;
        m_qryGuest->refresh(); // copies the customer again
        ShowStatus(m_guest.GuestCode + QStringLiteral("　") + m_guest.Name, QStringLiteral("請輸入書本條碼號"), true);
    });
}

bool DeskSession::SavePS(const QString& note)
{
    bool saved = false;
    run([&] {
        if (!m_customerOpen || m_qryGuest->recNo() < 1)
            return;
        m_db.exec(QStringLiteral("UPDATE Guest SET PS = :PS WHERE GuestCode = :GuestCode"),
                  {{QStringLiteral("PS"), note}, {QStringLiteral("GuestCode"), m_guest.GuestCode}});
        m_qryGuest->refresh(); // copies the customer again
        saved = true;
    });
    return saved;
}

void DeskSession::AddHistory(const QString& name, const QString& code)
{
    run([&] {
        for (size_t i = 0; i < m_history.size(); ++i) {
            if (m_history[i].code == code) {
                for (size_t j = i; j + 1 < m_history.size(); ++j)
                    m_history[j] = m_history[j + 1];
                m_history.back() = HistorySlot{};
                break;
            }
        }
        for (size_t j = m_history.size() - 1; j > 0; --j)
            m_history[j] = m_history[j - 1];
        m_history[0] = HistorySlot{name, code};
    });
}

void DeskSession::ShowHistory()
{
    run([&] {
        QString text;
        for (size_t i = 0; i < m_history.size(); ++i) {
            if (m_history[i].name.isEmpty())
                continue;
            text += QString::number(i + 1) + QLatin1Char(':') + m_history[i].name + QStringLiteral("  ");
            if (i == 4)
                text += QStringLiteral("\n\r");
        }
        m_histText = text;
    });
}
