// The lines of the open customer: loading them from the loan rows, the
// calculated columns and colours of the grid, scanning a barcode, a new rental
// with its limit and due dates, and marking returns.
#include "desk/DeskSession.h"

#include "core/Prompts.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "desk/DeskRules.h"
#include "desk/DeskSql.h"

using namespace DeskRules;

namespace {

// The columns a line is read from, looked up once per layout of the lines query.
enum Col {
    cIdno,
    cPiece,
    cIDate,
    cRDate,
    cVol,
    cCode,
    cName,
    cAuthor,
    cPublish,
    cIndex,
    cClass,
    cMoney,
    cCostNew,
    cCostOld,
    cCostIn,
    cOverNew,
    cOverOld,
    cOver18,
    cEnd,
    cBrrow,
    cSpecDay,
    cNewDay,
    cSubDay,
    cNumber,
    cRetNum,
    cReserved,
    cInStudy,
    cColumns
};
const char* const kColumnNames[cColumns] = {
    "idno",  "piece",       "IDate",    "RDate",    "Vol",      "Code",    "Name",     "Author",   "Publish",
    "Index", "Class_Num",   "Money",    "Cost_New", "Cost_Old", "Cost_In", "Over_New", "Over_Old", "Over_18",
    "END",   "Brrow_Total", "Spec_Day", "New_Day",  "Sub_Day",  "Number",  "RetNum",   "Reserved", "InStudy"};

std::vector<int> columnsOf(const Dataset& d)
{
    std::vector<int> cols(cColumns);
    for (int c = 0; c < cColumns; ++c)
        cols[size_t(c)] = d.fieldIndex(QLatin1String(kColumnNames[c]));
    return cols;
}

QVariant field(const Dataset& d, const std::vector<int>& cols, int recNo, Col c)
{
    return d.valueAt(recNo, cols[size_t(c)]);
}
qint32 int32Of(const Dataset& d, const std::vector<int>& cols, int recNo, Col c)
{
    return qint32(field(d, cols, recNo, c).toLongLong());
}
qint16 int16Of(const Dataset& d, const std::vector<int>& cols, int recNo, Col c)
{
    return qint16(field(d, cols, recNo, c).toLongLong());
}
bool boolOf(const Dataset& d, const std::vector<int>& cols, int recNo, Col c)
{
    return field(d, cols, recNo, c).toLongLong() != 0;
}

} // namespace

const std::vector<int>& DeskSession::lineColumns(const Dataset& d) const
{
    // Both lines queries have one column list: the lookup of the first open serves every later one.
    if (&d == m_qryBook && d.fieldCount() > 0) {
        if (m_lineColumns.empty())
            m_lineColumns = columnsOf(d);
        return m_lineColumns;
    }
    m_otherColumns = columnsOf(d);
    return m_otherColumns;
}

int DeskSession::lineOfRow(int recNo) const
{
    const Dataset& d = *m_qryBook;
    if (!d.isOpen() || recNo < 1 || recNo > d.recordCount())
        return 0;
    const std::vector<int>& cols = lineColumns(d);
    const qint64 id = field(d, cols, recNo, cIdno).toLongLong();
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
    if (!m_qryBook->isOpen() || recNo < 1 || recNo > m_qryBook->recordCount())
        return false;
    const std::vector<int>& cols = lineColumns(*m_qryBook);
    const QDate due = dbDate(field(*m_qryBook, cols, recNo, cIDate));
    return due.isValid() && due < Clock::today();
}

QVariant DeskSession::calcField(const Dataset& d, int recNo, const QString& name) const
{
    const std::vector<int>& cols = lineColumns(d);
    const int i = lineOfRow(recNo);
    const TBook* line = i ? &m_lines[size_t(i)] : nullptr;
    if (name.compare(QLatin1String("RDate2"), Qt::CaseInsensitive) == 0)
        return dbDate(field(d, cols, recNo, cRDate));
    if (name.compare(QLatin1String("State"), Qt::CaseInsensitive) == 0) {
        if (field(d, cols, recNo, cInStudy).toLongLong() != 0)
            return QStringLiteral("內閱");
        return line ? StateText(line->State) : QString();
    }
    if (name.compare(QLatin1String("PS"), Qt::CaseInsensitive) == 0) {
        if (line && line->State == Withdrawn)
            return QStringLiteral("<<放棄>>");
        const QDate due = dbDate(field(d, cols, recNo, cIDate));
        const QDate today = Clock::today();
        if (due.isValid() && due < today)
            return QStringLiteral("逾期 ") + QString::number(line ? line->OverDays : OverDays(due, today)) +
                   QStringLiteral("天");
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
    const std::vector<int>& cols = lineColumns(d);
    TBook l;
    l.idno = int32Of(d, cols, r, cIdno);
    l.piece = int32Of(d, cols, r, cPiece);
    l.IDate = dbDate(field(d, cols, r, cIDate));
    l.RDate = dbDateTime(field(d, cols, r, cRDate));
    l.Vol = field(d, cols, r, cVol).toString();
    l.Code = field(d, cols, r, cCode).toString();
    l.Name = field(d, cols, r, cName).toString();
    l.Author = field(d, cols, r, cAuthor).toString();
    l.Publish = field(d, cols, r, cPublish).toString();
    l.Index = field(d, cols, r, cIndex).toString();
    l.Class_Num = int32Of(d, cols, r, cClass);
    l.Money = int32Of(d, cols, r, cMoney);
    l.Cost_New = int32Of(d, cols, r, cCostNew);
    l.Cost_Old = int32Of(d, cols, r, cCostOld);
    l.Cost_In = int32Of(d, cols, r, cCostIn);
    l.Over_New = int32Of(d, cols, r, cOverNew);
    l.Over_Old = int32Of(d, cols, r, cOverOld);
    l.Over_18 = boolOf(d, cols, r, cOver18);
    l.END = boolOf(d, cols, r, cEnd);
    l.Brrow_Total = int16Of(d, cols, r, cBrrow);
    l.Spec_Day = int16Of(d, cols, r, cSpecDay);
    l.New_Day = int16Of(d, cols, r, cNewDay);
    l.Sub_Day = int16Of(d, cols, r, cSubDay);
    l.Number = int16Of(d, cols, r, cNumber);
    l.RetNum = int16Of(d, cols, r, cRetNum);
    const int reserved = cols[cReserved];
    l.Reserved = (reserved >= 0 ? d.valueAt(r, reserved).toLongLong() != 0 : HasReservation(l.Code)) ? 2 : 0;
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
    const std::vector<int>& cols = lineColumns(d);
    TBookAry fresh(1);
    std::vector<bool> used(m_lines.size(), false);
    for (int r = 1; r <= d.recordCount(); ++r) {
        const int i = lineOfId(field(d, cols, r, cIdno).toLongLong());
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
