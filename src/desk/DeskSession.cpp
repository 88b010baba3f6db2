// The desk's state: creation, the operation frame, modes and dispatch, the
// reset, the status texts and the labels. The customer lookup is in
// DeskCustomer.cpp, the lines in DeskLines.cpp, the keys and running totals in
// DeskMoney.cpp, the settlement in DeskSettlement.cpp and the in-store
// readings in DeskInStore.cpp.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "db/Schema.h"
#include "desk/DeskRules.h"
#include "desk/DeskSql.h"

using namespace DeskRules;

// Counts nested operations so that the window hears changed() once, when the
// outermost one ends.
class DeskSession::Op {
public:
    explicit Op(DeskSession& s) : m_s(s) { ++m_s.m_depth; }
    ~Op()
    {
        if (--m_s.m_depth == 0)
            m_s.flush();
    }
    Op(const Op&) = delete;
    Op& operator=(const Op&) = delete;

private:
    DeskSession& m_s;
};

DeskSession::DeskSession(Database& db, QObject* parent)
    : QObject(parent), m_db(db), m_qryBook(new Dataset(db, this)), m_qryGuest(new Dataset(db, this)),
      m_qrySelGuest(new Dataset(db, this)), m_tabBook(new Dataset(db, this))
{
    m_qryBook->setObjectName(QStringLiteral("qryBook"));
    m_qryGuest->setObjectName(QStringLiteral("qryGuest"));
    m_tabBook->setObjectName(QStringLiteral("tabBook"));
    m_qryBook->addCalcField(QStringLiteral("State"));
    m_qryBook->addCalcField(QStringLiteral("RDate2"));
    m_qryBook->addCalcField(QStringLiteral("PS"));
    m_qryBook->onCalcField = [this](const Dataset& d, int recNo, const QString& name) {
        return calcField(d, recNo, name);
    };
    // Whoever opens, refreshes or saves the customer query (a payment window
    // does), the desk copies the customer again; the visit's totals stay.
    const Dataset::Hook copy = [this](Dataset&) {
        Op op(*this);
        copyGuest();
    };
    m_qryGuest->afterScroll = copy; // also after open and refresh
    m_qryGuest->afterPost = copy;
    m_tabBook->setSql(DeskSql::findBook());
    m_lines.resize(1);
    m_dutyCode = Schema::kDefaultWorkerCode;
    m_dutyName = Schema::kDefaultWorkerName;
    m_dutyStart = Clock::now();

    run([&] {
        // "Ret" rows exist only while their visit is open: these are from a program that ended mid-visit.
        m_db.exec(QStringLiteral("DELETE FROM Rent_Back WHERE Bstate = 'Ret'"));
        const QDate today = Clock::today();
        const Params day{{QStringLiteral("Today"), today}, {QStringLiteral("Tomorrow"), today.addDays(1)}};
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM DayCost WHERE DayDate >= :Today AND DayDate < :Tomorrow"),
                        day)
                .toLongLong() == 0)
            m_db.exec(QStringLiteral("INSERT INTO DayCost (DayDate) VALUES (:Today)"),
                      {{QStringLiteral("Today"), today}});
    });
    ResetDesk();
    m_histText.clear();
}

DeskSession::~DeskSession()
{
    try {
        deletePending();
    } catch (...) {
        // Left for the next start, which removes them.
    }
}

// --- operation frame ------------------------------------------------------

void DeskSession::run(const std::function<void()>& body)
{
    const bool outermost = m_depth == 0;
    Op op(*this);
    if (!outermost) {
        body();
        return;
    }
    try {
        body();
    } catch (const Abort&) {
    } catch (const DbError& e) {
        reportError(e.text());
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

void DeskSession::flush()
{
    TDMMain::RecountRentals(m_lines, m_counts); // what the window sees counts the lines as they are now
    if (m_inputTouched) {
        m_inputTouched = false;
        emit inputSet(m_input, m_inputSelected);
    }
    emit changed();
}

void DeskSession::setInput(const QString& text, bool selected)
{
    m_input = text;
    m_inputSelected = selected;
    m_inputTouched = true;
}

void DeskSession::reportError(const QString& text)
{
    Prompts::msgBox(text, Prompts::kAppTitle, QStringLiteral("Err"));
}

// --- modes and dispatch ---------------------------------------------------

QString DeskSession::modeName(int mode)
{
    switch (mode) {
    case ModeWaiting:
        return QStringLiteral("『一般』");
    case ModeCustomer:
        return QStringLiteral("『租還書』");
    case ModeWalkIn:
    case ModeMemberReading:
        return QStringLiteral("『內閱』");
    case ModeAmount:
        return QStringLiteral("『金額』");
    default:
        return QString();
    }
}

QString DeskSession::modePrompt(int mode)
{
    switch (mode) {
    case ModeWaiting:
        return QStringLiteral("客戶名稱：\n\r條 碼 號：");
    case ModeCustomer:
        return QStringLiteral("書本條碼號：");
    case ModeWalkIn:
        return QStringLiteral("內閱：");
    case ModeAmount:
        return QStringLiteral("金額：");
    case ModeMemberReading:
        return QStringLiteral("內閱的書本條碼號：");
    default:
        return QString();
    }
}

void DeskSession::SubmitInput(const QString& entry)
{
    run([&] {
        m_input = entry; // what the box holds now
        m_inputSelected = false;
        switch (m_mode) {
        case ModeWaiting:
            OpenCustomer(entry);
            break;
        case ModeCustomer:
            ScanBook(m_guest.GuestCode, entry);
            break;
        case ModeWalkIn:
            WalkInReading(entry);
            break;
        case ModeAmount:
            EnterAmount(entry);
            break;
        case ModeMemberReading:
            MemberReading(m_guest.GuestCode, entry);
            break;
        }
    });
}

void DeskSession::Action4()
{
    run([&] {
        switch (m_mode) {
        case ModeWaiting:
            m_mode = ModeWalkIn;
            break;
        case ModeCustomer:
            m_mode = ModeMemberReading;
            break;
        case ModeWalkIn:
            m_mode = ModeAmount;
            break;
        case ModeAmount:
            m_mode = ModeWaiting;
            break;
        case ModeMemberReading:
            m_mode = ModeCustomer;
            break;
        }
        m_labH1 = modePrompt(m_mode);
        m_panel[2] = modeName(m_mode);
    });
}

void DeskSession::ResetDesk()
{
    run([&] {
        try {
            deletePending();
        } catch (const DbError& e) {
            // The rows stay tracked: the next reset (or the next start) removes them.
            reportError(e.text());
        }
        m_mode = ModeWaiting;
        m_day = Clock::today();
        selectInput();
        closeCustomer();
        m_labH1 = modePrompt(ModeWaiting);
        ShowStatus(QStringLiteral("等待輸入..."), QStringLiteral("請輸入客戶代碼或姓名、電話...."));
    });
}

void DeskSession::closeCustomer()
{
    m_qryBook->close();
    m_qryGuest->close();
    m_lines.resize(1);
    m_guest = TGuest{};
    m_customerOpen = false;
    m_totalsShown = false;
    TDMMain::ClearCounts(m_counts);
}

void DeskSession::deletePending()
{
    if (m_pending.empty())
        return;
    Transaction tx(m_db);
    for (qint64 id : m_pending)
        m_db.exec(QStringLiteral("DELETE FROM Rent_Back WHERE idno = :idno AND Bstate = 'Ret'"),
                  {{QStringLiteral("idno"), id}});
    tx.commit();
    m_pending.clear();
}

void DeskSession::ShowStatus(const QString& label, const QString& panel0, bool keepPanel1, const QString& panel2)
{
    run([&] {
        if (!label.isNull())
            m_bigLabel = label;
        m_panel[0] = panel0;
        if (!keepPanel1)
            m_panel[1] = QStringLiteral("值班：") + m_dutyName;
        m_panel[2] = panel2.isNull() ? modeName(m_mode) : panel2;
    });
}

void DeskSession::SetOnDuty(const QString& code, const QString& name, const QDateTime& start)
{
    run([&] {
        m_dutyCode = code;
        m_dutyName = name;
        m_dutyStart = start;
        m_panel[1] = QStringLiteral("值班：") + name;
    });
}

// --- what the window shows ------------------------------------------------

QString DeskSession::panelText(int panel) const
{
    return panel >= 0 && panel < 3 ? m_panel[panel] : QString();
}

namespace {
int countStates(const TBookAry& lines, std::initializer_list<int> states)
{
    int n = 0;
    for (size_t i = 1; i < lines.size(); ++i)
        for (int s : states)
            if (lines[i].State == s)
                ++n;
    return n;
}
} // namespace

// The counters follow from the lines' states, so no sequence of keys can make them disagree.
QString DeskSession::lab1RentBook() const
{
    return QString::number(countStates(m_lines, {NewRental}));
}
QString DeskSession::lab2BackBook() const
{
    return QString::number(countStates(m_lines, {Returned}));
}
QString DeskSession::lab3NotRent() const
{
    return QString::number(countStates(m_lines, {Due, Renewed, Compensated}));
}

QString DeskSession::lab5RentMoney() const
{
    return m_totalsShown ? QString::number(m_guest.RentTotal) : QString();
}
QString DeskSession::lab6Over() const
{
    return m_totalsShown ? QString::number(m_guest.OverTotal) : QString();
}

QString DeskSession::lab9BalMon() const
{
    if (!m_customerOpen)
        return QString();
    return QString::number(m_guest.Leave_Mon - m_guest.RentTotal - m_guest.OverTotal, 'g', 15);
}

bool DeskSession::isEnabled(Action) const
{
    return m_customerOpen;
}
