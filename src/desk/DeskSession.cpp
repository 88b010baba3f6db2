// The desk's state, its modes and dispatch, the customer lookup and history,
// and the lines of the open customer with their states and running totals.
// The settlement and the in-store readings live in DeskSettlement.cpp and
// DeskInStore.cpp.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "db/Schema.h"
#include "desk/DeskRules.h"
#include "desk/DeskSql.h"

#include <QRegularExpression>

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

namespace {

QVariant field(const Dataset& d, int recNo, const char* name)
{
    return d.valueAt(recNo, d.fieldIndex(QLatin1String(name)));
}

qint32 int32Of(const Dataset& d, int recNo, const char* name) { return qint32(field(d, recNo, name).toLongLong()); }
qint16 int16Of(const Dataset& d, int recNo, const char* name) { return qint16(field(d, recNo, name).toLongLong()); }
bool boolOf(const Dataset& d, int recNo, const char* name) { return field(d, recNo, name).toLongLong() != 0; }

} // namespace

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
                .toLongLong()
            == 0)
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

void DeskSession::reportError(const QString& text) { Prompts::msgBox(text, Prompts::kAppTitle, QStringLiteral("Err")); }

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

// --- customers ------------------------------------------------------------

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
                    Prompts::msgBox(entry + QStringLiteral("有被預約！"), QStringLiteral("被預約"), QStringLiteral("Inf"));
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
        m_qryGuest->setTable(QStringLiteral("Guest"), QStringLiteral("GuestCode = :CODE"));
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
                    Prompts::msgBox(QStringLiteral("密碼錯誤！"), QStringLiteral("Password Error!"), QStringLiteral("Err"));
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
        try {
            m_qryGuest->edit();
            m_qryGuest->setValue(QStringLiteral("PS"), note);
            m_qryGuest->post(); // copies the customer again
        } catch (...) {
            m_qryGuest->cancel();
            throw;
        }
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

// --- what the window shows ------------------------------------------------

QString DeskSession::panelText(int panel) const { return panel >= 0 && panel < 3 ? m_panel[panel] : QString(); }

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
QString DeskSession::lab1RentBook() const { return QString::number(countStates(m_lines, {NewRental})); }
QString DeskSession::lab2BackBook() const { return QString::number(countStates(m_lines, {Returned})); }
QString DeskSession::lab3NotRent() const { return QString::number(countStates(m_lines, {Due, Renewed, Compensated})); }

QString DeskSession::lab5RentMoney() const { return m_totalsShown ? QString::number(m_guest.RentTotal) : QString(); }
QString DeskSession::lab6Over() const { return m_totalsShown ? QString::number(m_guest.OverTotal) : QString(); }

QString DeskSession::lab9BalMon() const
{
    if (!m_customerOpen)
        return QString();
    return QString::number(m_guest.Leave_Mon - m_guest.RentTotal - m_guest.OverTotal, 'g', 15);
}

bool DeskSession::isEnabled(Action) const { return m_customerOpen; }

int DeskSession::lineOfRow(int recNo) const
{
    const Dataset& d = *m_qryBook;
    if (!d.isOpen() || recNo < 1 || recNo > d.recordCount())
        return 0;
    const qint64 id = field(d, recNo, "idno").toLongLong();
    if (recNo < int(m_lines.size()) && m_lines[size_t(recNo)].idno == id)
        return recNo;
    return lineOfId(id);
}

int DeskSession::lineOfId(qint64 id) const
{
    for (size_t i = 1; i < m_lines.size(); ++i)
        if (m_lines[i].idno == id)
            return int(i);
    return 0;
}

int DeskSession::rowColour(int recNo) const
{
    const int i = lineOfRow(recNo);
    return i ? StateColour(m_lines[size_t(i)].State) : kColourDefault;
}

bool DeskSession::remarkIsRed(int recNo) const
{
    const int i = lineOfRow(recNo);
    if (i && m_lines[size_t(i)].State == Withdrawn)
        return false;
    return recNo >= 1 && dbDate(field(*m_qryBook, recNo, "IDate")) < Clock::today();
}

QVariant DeskSession::calcField(const Dataset& d, int recNo, const QString& name) const
{
    const int i = lineOfRow(recNo);
    const TBook* line = i ? &m_lines[size_t(i)] : nullptr;
    if (name.compare(QLatin1String("RDate2"), Qt::CaseInsensitive) == 0)
        return dbDate(field(d, recNo, "RDate"));
    if (name.compare(QLatin1String("State"), Qt::CaseInsensitive) == 0) {
        if (field(d, recNo, "InStudy").toLongLong() != 0)
            return QStringLiteral("內閱");
        return line ? StateText(line->State) : QString();
    }
    if (name.compare(QLatin1String("PS"), Qt::CaseInsensitive) == 0) {
        if (line && line->State == Withdrawn)
            return QStringLiteral("<<放棄>>");
        const QDate due = dbDate(field(d, recNo, "IDate"));
        const QDate today = Clock::today();
        if (due.isValid() && due < today)
            return QStringLiteral("逾期 ") + QString::number(line ? line->OverDays : OverDays(due, today))
                   + QStringLiteral("天");
        if (line && line->Reserved)
            return QStringLiteral("被預約");
        return QString();
    }
    return QVariant();
}

// --- lines ----------------------------------------------------------------

bool DeskSession::HasReservation(const QString& bookCode)
{
    bool reserved = false;
    run([&] {
        reserved = m_db.scalar(QStringLiteral("SELECT 1 FROM SubBook WHERE BookCode = :ABookCode LIMIT 1"),
                               {{QStringLiteral("ABookCode"), bookCode}})
                       .isValid();
    });
    return reserved;
}

TBook DeskSession::lineFromRow(const Dataset& d, int r, int state)
{
    TBook l;
    l.idno = int32Of(d, r, "idno");
    l.piece = int32Of(d, r, "piece");
    l.IDate = dbDate(field(d, r, "IDate"));
    l.RDate = dbDateTime(field(d, r, "RDate"));
    l.Vol = field(d, r, "Vol").toString();
    l.Code = field(d, r, "Code").toString();
    l.Name = field(d, r, "Name").toString();
    l.Author = field(d, r, "Author").toString();
    l.Publish = field(d, r, "Publish").toString();
    l.Index = field(d, r, "Index").toString();
    l.Class_Num = int32Of(d, r, "Class_Num");
    l.Money = int32Of(d, r, "Money");
    l.Cost_New = int32Of(d, r, "Cost_New");
    l.Cost_Old = int32Of(d, r, "Cost_Old");
    l.Cost_In = int32Of(d, r, "Cost_In");
    l.Over_New = int32Of(d, r, "Over_New");
    l.Over_Old = int32Of(d, r, "Over_Old");
    l.Over_18 = boolOf(d, r, "Over_18");
    l.END = boolOf(d, r, "END");
    l.Brrow_Total = int16Of(d, r, "Brrow_Total");
    l.Spec_Day = int16Of(d, r, "Spec_Day");
    l.New_Day = int16Of(d, r, "New_Day");
    l.Sub_Day = int16Of(d, r, "Sub_Day");
    l.Number = int16Of(d, r, "Number");
    l.RetNum = int16Of(d, r, "RetNum");
    l.Reserved = HasReservation(l.Code) ? 2 : 0;
    l.Fee = Fee(l);
    l.FineRate = FineRate(l);
    l.OverDays = OverDays(l.IDate, m_day);
    l.State = std::uint8_t(state ? state : Due);
    return l;
}

void DeskSession::AppendLine(const Dataset& row, int state)
{
    run([&] { m_lines.push_back(lineFromRow(row, row.recNo(), state)); });
}

void DeskSession::LoadCustomerLines(const QString& code)
{
    run([&] {
        m_qryBook->setSql(DeskSql::customerLines());
        m_qryBook->clearParams();
        m_qryBook->setParam(QStringLiteral("Guest_CODE"), code);
        m_qryBook->open();
        m_lines.resize(1);
        for (int r = 1; r <= m_qryBook->recordCount(); ++r)
            m_lines.push_back(lineFromRow(*m_qryBook, r, Due));
        m_customerOpen = true;
        emit m_qryBook->rowsReset(); // the calculated columns now see the lines
    });
}

void DeskSession::reopenLines()
{
    m_qryBook->setSql(DeskSql::customerLines());
    m_qryBook->clearParams();
    m_qryBook->setParam(QStringLiteral("Guest_CODE"), m_guest.GuestCode);
    m_qryBook->open();
    syncLines();
}

// Puts the lines in the order of the grid's rows, so a record number is a line index.
void DeskSession::syncLines()
{
    const Dataset& d = *m_qryBook;
    TBookAry fresh(1);
    std::vector<bool> used(m_lines.size(), false);
    for (int r = 1; r <= d.recordCount(); ++r) {
        const int i = lineOfId(field(d, r, "idno").toLongLong());
        if (i && !used[size_t(i)]) {
            used[size_t(i)] = true;
            fresh.push_back(m_lines[size_t(i)]);
        } else {
            fresh.push_back(lineFromRow(d, r, Due));
        }
    }
    // A line whose row went away (closed elsewhere) leaves with its charge.
    for (size_t i = 1; i < m_lines.size(); ++i) {
        if (used[i])
            continue;
        removeCharge(int(i));
        std::erase(m_pending, qint64(m_lines[i].idno));
    }
    m_lines = std::move(fresh);
    emit m_qryBook->rowsReset();
}

void DeskSession::moveToLine(int index)
{
    if (m_qryBook->isOpen() && index >= 1 && index <= m_qryBook->recordCount())
        m_qryBook->moveTo(index);
}

void DeskSession::redrawLine(int index)
{
    if (m_qryBook->isOpen() && index >= 1 && index <= m_qryBook->recordCount())
        emit m_qryBook->rowChanged(index);
}

bool DeskSession::findBook(const QString& code, TBook& out)
{
    m_tabBook->setParam(QStringLiteral("CODE"), code);
    m_tabBook->open();
    if (m_tabBook->isEmpty())
        return false;
    out = TDMMain::LoadBook(*m_tabBook);
    return true;
}

void DeskSession::ScanBook(const QString& customer, const QString& entry)
{
    run([&] {
        if (!customer.isEmpty() && !entry.isEmpty()) {
            const bool all = entry == QLatin1String("*");
            int found = 0;
            for (size_t i = 1; i < m_lines.size(); ++i) {
                if (m_lines[i].Code.compare(entry, Qt::CaseInsensitive) == 0) {
                    found = int(i);
                    break;
                }
            }
            if (found && m_lines[size_t(found)].State == NewRental) {
                // already being rented
            } else if (!found && !all) {
                TBook book;
                if (findBook(entry, book))
                    RentBook(customer, book, int(m_lines.size()));
                else
                    m_panel[0] = QStringLiteral("查無此書！");
            } else {
                ToggleReturn(customer, entry, found);
            }
        } else if (!customer.isEmpty()) {
            Settle(customer);
        }
        clearInput();
    });
}

struct DeskSession::DuePlan {
    std::vector<std::pair<int, QDate>> dues; // line index, due date
    bool missingRule = false;                // no rule for the category just rented
};

// Each category's pending rentals get the period of their own category and count.
DeskSession::DuePlan DeskSession::planDueDates(const TBookAry& lines, int rentedDigit)
{
    DuePlan plan;
    CategoryCounts counts;
    TDMMain::RecountRentals(lines, counts);
    const QDate today = Clock::today();
    for (const CategorySlot& slot : counts) {
        if (slot.digit == 0)
            break;
        const std::optional<int> days = LoanDays(m_db, slot.digit, slot.count);
        if (!days) {
            if (slot.digit == std::uint8_t(rentedDigit))
                plan.missingRule = true;
            continue;
        }
        for (size_t i = 1; i < lines.size(); ++i)
            if (lines[i].State == NewRental && std::uint8_t(TDMMain::FirstDigit(lines[i].Class_Num)) == slot.digit)
                plan.dues.emplace_back(int(i), today.addDays(*days));
    }
    return plan;
}

void DeskSession::writeDueDates(const DuePlan& plan, const TBookAry& lines)
{
    for (const auto& [i, due] : plan.dues) {
        const TBook& l = lines[size_t(i)];
        if (l.idno == 0 || l.IDate == due)
            continue;
        m_db.exec(QStringLiteral("UPDATE Rent_Back SET IDate = :IDate WHERE idno = :idno AND Bstate = 'Ret'"),
                  {{QStringLiteral("IDate"), due}, {QStringLiteral("idno"), l.idno}});
    }
}

void DeskSession::applyDueDates(const DuePlan& plan)
{
    for (const auto& [i, due] : plan.dues) {
        if (i >= int(m_lines.size()))
            continue;
        TBook& l = m_lines[size_t(i)];
        l.IDate = due;
        l.OverDays = OverDays(due, m_day);
        redrawLine(i);
    }
}

void DeskSession::showMissingRule()
{
    Prompts::msgBox(QStringLiteral("找不到該類別可借天數\n\r請至[可借天數設定]"), QStringLiteral("錯誤！"),
                    QStringLiteral("Err"));
}

void DeskSession::RentBook(const QString& customer, const TBook& book, int index)
{
    Q_UNUSED(index); // the new line's index follows from the order of the grid
    run([&] {
        TDMMain::RecountRentals(m_lines, m_counts);
        if (TDMMain::ExceedsLimit(book, m_guest, m_counts)) {
            Prompts::msgBox(QStringLiteral("超出可借本數！"), QStringLiteral("超過！"), QStringLiteral("Err"));
            return;
        }
        const QDate today = Clock::today();
        TBook line = book;
        line.piece = book.Cost_Old;
        line.Fee = Fee(book);
        line.FineRate = FineRate(book);
        line.RDate = Clock::now();
        line.IDate = today.addDays(6);
        line.State = NewRental;
        TBookAry tentative = m_lines;
        tentative.push_back(line);
        const DuePlan plan = planDueDates(tentative, TDMMain::FirstDigit(book.Class_Num));
        for (const auto& [i, due] : plan.dues)
            if (i == int(tentative.size()) - 1)
                line.IDate = due;
        // The row is written at once, with the due dates of the visit's rentals, in one short transaction.
        try {
            Transaction tx(m_db);
            m_db.exec(DeskSql::insertRental(), {{QStringLiteral("Guest"), customer},
                                                {QStringLiteral("BookCode"), book.Code},
                                                {QStringLiteral("RDate"), line.RDate},
                                                {QStringLiteral("IDate"), line.IDate},
                                                {QStringLiteral("piece"), line.piece},
                                                {QStringLiteral("Worker"), m_dutyCode}});
            line.idno = qint32(m_db.lastInsertId());
            tentative.back() = line;
            writeDueDates(plan, tentative);
            tx.commit();
        } catch (const DbError&) {
            Prompts::msgBox(QStringLiteral("日期格式錯誤 #Date-001"), QStringLiteral("內部資料錯誤"),
                            QStringLiteral("Waning"));
            return;
        }
        m_pending.push_back(line.idno);
        applyDueDates(plan);
        // The new line comes from its own row, found by its key.
        m_qryBook->setSql(DeskSql::customerLines());
        m_qryBook->clearParams();
        m_qryBook->setParam(QStringLiteral("Guest_CODE"), customer);
        m_qryBook->open();
        if (m_qryBook->locate(QStringLiteral("idno"), line.idno))
            m_lines.push_back(lineFromRow(*m_qryBook, m_qryBook->recNo(), NewRental));
        else
            m_lines.push_back(line);
        const int n = int(m_lines.size()) - 1;
        addCharge(n);
        syncLines();
        moveToLine(lineOfId(line.idno));
        m_panel[0] = QStringLiteral("租書...") + line.Name;
        if (plan.missingRule)
            showMissingRule();
        clearInput();
    });
}

// A withdrawn rental taken up again counts against the limit like a new one.
bool DeskSession::reRent(int index)
{
    TBook& l = m_lines[size_t(index)];
    TDMMain::RecountRentals(m_lines, m_counts);
    if (TDMMain::ExceedsLimit(l, m_guest, m_counts)) {
        Prompts::msgBox(QStringLiteral("超出可借本數！"), QStringLiteral("超過！"), QStringLiteral("Err"));
        return false;
    }
    TBookAry tentative = m_lines;
    tentative[size_t(index)].State = NewRental;
    const DuePlan plan = planDueDates(tentative, TDMMain::FirstDigit(l.Class_Num));
    {
        Transaction tx(m_db);
        writeDueDates(plan, tentative);
        tx.commit();
    }
    setLineState(index, NewRental);
    applyDueDates(plan);
    if (plan.missingRule)
        showMissingRule();
    return true;
}

void DeskSession::ToggleReturn(const QString& customer, const QString& entry, int index)
{
    Q_UNUSED(customer);
    run([&] {
        if (index >= 1 && index < int(m_lines.size()) && m_lines[size_t(index)].Reserved)
            m_panel[0] = QStringLiteral("『此書有被預約!...』");
        if (entry != QLatin1String("*")) {
            if (index < 1 || index >= int(m_lines.size()))
                return;
            switch (m_lines[size_t(index)].State) {
            case Due:
                setLineState(index, Returned);
                break;
            case Returned:
            case Renewed:
            case Compensated:
                setLineState(index, Due);
                break;
            case Withdrawn:
                reRent(index);
                break;
            }
            moveToLine(index);
        } else {
            for (size_t i = 1; i < m_lines.size(); ++i)
                if (m_lines[i].State == Due)
                    setLineState(int(i), Returned);
        }
    });
}

int DeskSession::currentLine(int recNo) const { return m_customerOpen ? lineOfRow(recNo) : 0; }

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
