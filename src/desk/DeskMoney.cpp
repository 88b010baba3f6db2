// The keys on the grid's current line (Space, renew, compensate), the price
// adjustment, and the running totals that always equal what the settlement
// will charge.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "desk/DeskRules.h"
#include "desk/DeskSql.h"

using namespace DeskRules;

int DeskSession::currentLine(int recNo) const
{
    return m_customerOpen ? lineOfRow(recNo) : 0;
}

void DeskSession::ToggleLine(int recNo)
{
    run([&] {
        const int i = currentLine(recNo);
        if (!i)
            return;
        switch (m_lines[size_t(i)].State) {
        case Returned:
        case Renewed:
        case Compensated:
            setLineState(i, Due);
            break;
        case NewRental:
            setLineState(i, Withdrawn);
            break;
        case Withdrawn:
            reRent(i);
            break;
        }
    });
}

void DeskSession::Action6(int recNo)
{
    run([&] {
        const int i = currentLine(recNo);
        if (!i)
            return;
        const TBook& l = m_lines[size_t(i)];
        switch (l.State) {
        case Due:
        case Returned:
        case Compensated:
            if (!RentedToday(l, Clock::today()))
                setLineState(i, Renewed);
            break;
        case Renewed:
            setLineState(i, Due);
            break;
        }
    });
}

void DeskSession::Action9(int recNo)
{
    run([&] {
        const int i = currentLine(recNo);
        if (!i)
            return;
        switch (m_lines[size_t(i)].State) {
        case Due:
        case Renewed:
        case Returned:
            setLineState(i, Compensated);
            break;
        case Compensated:
            setLineState(i, Due);
            break;
        }
    });
}

bool DeskSession::SetLinePrice(int recNo, const QVariant& price, const QDate& due)
{
    bool done = false;
    run([&] {
        const int i = currentLine(recNo);
        if (!i)
            return;
        qint64 p = 0;
        const QString text = price.toString().trimmed();
        if (!price.isNull() && !text.isEmpty()) {
            bool ok = false;
            p = text.toLongLong(&ok);
            if (!ok || p < 0 || p > 32767) {
                Prompts::msgBox(QStringLiteral("價格必須是 0 至 32767 的整數！"), QStringLiteral("調價"),
                                QStringLiteral("Waning"));
                return;
            }
        }
        if (!due.isValid()) {
            Prompts::msgBox(QStringLiteral("還書日不是有效的日期！"), QStringLiteral("調價"), QStringLiteral("Waning"));
            return;
        }
        TBook& l = m_lines[size_t(i)];
        m_db.exec(QStringLiteral("UPDATE Rent_Back SET piece = :piece, IDate = :IDate WHERE idno = :idno"),
                  {{QStringLiteral("piece"), p}, {QStringLiteral("IDate"), due}, {QStringLiteral("idno"), l.idno}});
        const qint32 id = l.idno;
        removeCharge(i);
        l.Fee = qint32(p);
        l.piece = qint32(p);
        l.IDate = due;
        l.OverDays = OverDays(due, m_day);
        addCharge(i);
        reopenLines();
        moveToLine(lineOfId(id));
        done = true;
    });
    return done;
}

// --- money ----------------------------------------------------------------

void DeskSession::ApplyMoney(qint32 arg, const QString& op)
{
    run([&] {
        TGuest& g = m_guest;
        if (op == QLatin1String("MInc")) {
            g.RentTotal += arg;
        } else if (op == QLatin1String("MDec")) {
            g.RentTotal -= arg;
        } else {
            if (arg < 1 || arg >= int(m_lines.size()))
                return;
            const TBook& l = m_lines[size_t(arg)];
            const qint32 fine = Fine(l, m_day);
            if (op == QLatin1String("Inc")) {
                g.RentTotal += l.Fee;
                g.OverTotal += fine;
            } else if (op == QLatin1String("Dec")) {
                g.RentTotal -= l.Fee;
                g.OverTotal -= fine;
            } else if (op == QLatin1String("IncOver")) {
                g.OverTotal += fine;
            } else if (op == QLatin1String("DecOver")) {
                g.OverTotal -= fine;
            } else {
                return;
            }
        }
        m_totalsShown = true;
    });
}

// The running totals always equal what the settlement will charge: a state
// change takes off the line's old charge and puts on the new one.
void DeskSession::removeCharge(int i)
{
    const TBook& l = m_lines[size_t(i)];
    switch (l.State) {
    case NewRental:
        ApplyMoney(l.Fee, QStringLiteral("MDec"));
        break;
    case Renewed:
        ApplyMoney(i, QStringLiteral("Dec"));
        break;
    case Returned:
        ApplyMoney(i, QStringLiteral("DecOver"));
        break;
    case Compensated:
        ApplyMoney(l.piece, QStringLiteral("MDec"));
        ApplyMoney(i, QStringLiteral("DecOver"));
        break;
    }
}

void DeskSession::addCharge(int i)
{
    const TBook& l = m_lines[size_t(i)];
    switch (l.State) {
    case NewRental:
        ApplyMoney(l.Fee, QStringLiteral("MInc"));
        break;
    case Renewed:
        ApplyMoney(i, QStringLiteral("Inc"));
        break;
    case Returned:
        ApplyMoney(i, QStringLiteral("IncOver"));
        break;
    case Compensated:
        ApplyMoney(l.piece, QStringLiteral("MInc"));
        ApplyMoney(i, QStringLiteral("IncOver"));
        break;
    }
}

void DeskSession::setLineState(int i, int state)
{
    removeCharge(i);
    m_lines[size_t(i)].State = std::uint8_t(state);
    addCharge(i);
    m_totalsShown = true;
    redrawLine(i);
}
