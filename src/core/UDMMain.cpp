#include "core/UDMMain.h"

#include "core/Prompts.h"
#include "core/UCustomDB.h"
#include "db/Dataset.h"

TDMMain* DMMain = nullptr;

const QString TDMMain::kInsertGuestCost =
    QStringLiteral("INSERT INTO GuestCost (Guest_CODE,Mode,Cost,piece,Tran_CODE,worker,CostDate) VALUES "
                   "(:GuestCode,:Mode,:Cost,:Piece,:ATran_CODE,:Worker,:Date)");

TDMMain::TDMMain() { DMMain = this; }

TDMMain::~TDMMain()
{
    if (DMMain == this)
        DMMain = nullptr;
}

qint64 TDMMain::appendGuestCost(const QString& GuestCode, const QString& Mode, const QString& TranCode,
                                const QString& Worker, qint32 Cost, qint32 Piece, const QDateTime& CostDate)
{
    Database& d = db();
    d.exec(kInsertGuestCost, {{"GuestCode", GuestCode},
                              {"Mode", Mode},
                              {"Cost", Cost},
                              {"Piece", Piece},
                              {"ATran_CODE", TranCode},
                              {"Worker", Worker},
                              {"Date", CostDate}});
    return d.lastInsertId();
}

bool TDMMain::SetGuestCost(const QString& GuestCode, const QString& Mode, const QString& TranCode,
                           const QString& Worker, qint32 Cost, qint32 Piece, const QDateTime& CostDate)
{
    try {
        appendGuestCost(GuestCode, Mode, TranCode, Worker, Cost, Piece, CostDate);
        return true;
    } catch (const DbError& e) {
        Prompts::plain(QStringLiteral("The SetGuestCose Error\n\r") + kInsertGuestCost + QStringLiteral("\n")
                       + e.text());
        return false;
    }
}

TBook TDMMain::LoadBook(const Dataset& b)
{
    TBook r;
    r.Name = b.text("Name");
    r.Vol = b.text("Vol");
    r.Author = b.text("Author");
    r.Publish = b.text("Publish");
    r.Index = b.text("Index");
    r.Code = b.text("Code");
    r.Class_Num = qint32(b.integer("Class_Num"));
    r.Money = qint32(b.integer("Money"));
    r.Cost_New = qint32(b.integer("Cost_New"));
    r.Cost_Old = qint32(b.integer("Cost_Old"));
    r.Cost_In = qint32(b.integer("Cost_In"));
    r.Over_New = qint32(b.integer("Over_New"));
    r.Over_Old = qint32(b.integer("Over_Old"));
    r.Brrow_Total = qint16(b.integer("Brrow_Total"));
    r.Spec_Day = qint16(b.integer("Spec_Day"));
    r.New_Day = qint16(b.integer("New_Day"));
    r.Sub_Day = qint16(b.integer("Sub_Day"));
    r.RetNum = qint16(b.integer("RetNum"));
    r.Number = qint16(b.integer("Number"));
    r.Over_18 = b.boolean("Over_18");
    r.END = b.boolean("END");
    return r;
}

int TDMMain::FirstDigit(qint32 n)
{
    const QString s = QString::number(n);
    const QChar c = s.at(0);
    return c.isDigit() ? c.digitValue() : -1;
}

void TDMMain::ClearCounts(CategoryCounts& counts) { counts.fill(CategorySlot{}); }

void TDMMain::AddCount(CategoryCounts& counts, qint32 classNum)
{
    const int d = FirstDigit(classNum);
    for (CategorySlot& slot : counts) {
        if (slot.digit == 0) {
            slot.digit = std::uint8_t(d);
            slot.count = 1;
            return;
        }
        if (slot.digit == d) {
            ++slot.count;
            return;
        }
    }
}

int TDMMain::CountOf(const CategoryCounts& counts, int digit)
{
    for (const CategorySlot& slot : counts)
        if (slot.digit != 0 && slot.digit == digit)
            return slot.count;
    return 0;
}

void TDMMain::RecountRentals(const TBookAry& lines, CategoryCounts& counts)
{
    ClearCounts(counts);
    for (size_t i = 1; i < lines.size(); ++i)
        if (lines[i].State == 6)
            AddCount(counts, lines[i].Class_Num);
}

int TDMMain::LimitOf(const TGuest& g, int digit)
{
    switch (digit) {
    case 1:
        return g.Lim_Comic;
    case 2:
        return g.Lim_Fiction;
    case 3:
        return g.Lim_Magazine;
    case 4:
        return g.Lim_CD;
    default:
        return g.Lim_OTH;
    }
}

bool TDMMain::ExceedsLimit(const TBook& book, const TGuest& guest, const CategoryCounts& counts)
{
    const int d = FirstDigit(book.Class_Num);
    return CountOf(counts, d) + 1 > LimitOf(guest, d);
}
