// Fees, fines, due dates and line states of the desk.
#include "desk/DeskRules.h"

#include "db/Database.h"

#include <algorithm>

namespace DeskRules {

qint32 Fee(const TBook& book)
{
    return book.Cost_Old;
}

qint32 FineRate(const TBook& book)
{
    return book.Over_Old;
}

qint16 OverDays(const QDate& due, const QDate& today)
{
    if (!due.isValid() || !today.isValid())
        return 0;
    return qint16(std::clamp<qint64>(due.daysTo(today), -32768, 32767));
}

bool IsOverdue(const TBook& line, const QDate& today)
{
    return line.IDate.isValid() && today > line.IDate;
}

qint32 Fine(const TBook& line, const QDate& today)
{
    return IsOverdue(line, today) ? line.FineRate * qint32(line.OverDays) : 0;
}

Charge ChargeOf(const TBook& line, const QDate& today)
{
    switch (line.State) {
    case NewRental:
        return {line.Fee, 0};
    case Renewed:
        return {line.Fee, Fine(line, today)};
    case Compensated:
        return {line.piece, Fine(line, today)};
    case Returned:
        return {0, Fine(line, today)};
    default:
        return {};
    }
}

bool RentedToday(const TBook& line, const QDate& today)
{
    return line.RDate.date() == today;
}

std::optional<int> LoanDays(Database& db, int digit, int count)
{
    // The table holds a handful of rules: read the band's rows and pick in order.
    Statement st(db, QStringLiteral("SELECT ClassNum, BookDay FROM CustBookDay "
                                    "WHERE RetBookStart <= :n AND RetBookEnd >= :n ORDER BY NO"));
    st.bind({{QStringLiteral("n"), count}});
    std::optional<int> own, comics, fiction;
    while (st.step()) {
        const qint64 cls = st.value(0).toLongLong();
        const int days = int(std::clamp<qint64>(st.value(1).toLongLong(), 0, 3650));
        if (cls == digit && !own)
            own = days;
        if (cls == 1 && !comics)
            comics = days;
        if (cls == 2 && !fiction)
            fiction = days;
    }
    if (own)
        return own;
    if (comics)
        return comics;
    return fiction;
}

QString StateText(int state)
{
    switch (state) {
    case Due:
        return QStringLiteral("應還");
    case Returned:
        return QStringLiteral("還書");
    case Renewed:
        return QStringLiteral("續租");
    case Compensated:
        return QStringLiteral("賠書");
    default:
        return QString();
    }
}

int StateColour(int state)
{
    // The colours were chosen as $BBGGRR values; these are the same colours as 0xRRGGBB.
    switch (state) {
    case Returned:
        return 0xC0DCC0; // pale green
    case Renewed:
    case Compensated:
        return 0x0080FF; // azure ($FF8000)
    case NewRental:
        return 0xA6CAF0; // sky blue ($F0CAA6)
    case Withdrawn:
        return kColourButtonShadow;
    default:
        return kColourDefault;
    }
}

} // namespace DeskRules
