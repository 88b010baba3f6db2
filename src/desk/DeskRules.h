// What a desk line costs and when a loan is due: the fee and fine of a line,
// days overdue, the charge of each line state, the loan period by category and
// count, and the texts and colours of the line states.
#pragma once

#include "core/Records.h"

#include <QDate>
#include <QString>

#include <optional>

class Database;

namespace DeskRules {

// Line states of the desk.
enum LineState : int {
    Compensated = 2, // the customer pays for the book
    Renewed = 3,
    Due = 5, // out, nothing done to it
    NewRental = 6,
    Withdrawn = 7, // new rental given up again
    Returned = 8,
};

// The price a line loaded from its loan row charges, and its fine per day:
// only the prices for old books are charged.
qint32 Fee(const TBook& book);
qint32 FineRate(const TBook& book);

// Whole days past the due date (negative before it), held in 16 bits.
qint16 OverDays(const QDate& due, const QDate& today);
// A book due today is not overdue.
bool IsOverdue(const TBook& line, const QDate& today);
// FineRate × OverDays when overdue, else 0.
qint32 Fine(const TBook& line, const QDate& today);

// What the settlement charges for a line in its current state: the rent
// (fee of a rental or renewal, the loan's price for a compensation) and the
// fine (returns, renewals and compensations of overdue books).
struct Charge {
    qint32 rent = 0;
    qint32 fine = 0;
};
Charge ChargeOf(const TBook& line, const QDate& today);

// A loan made today cannot be renewed today.
bool RentedToday(const TBook& line, const QDate& today);

// Loan days for `count` books of category `digit` in one visit: the rule of
// the category for that band, else of category 1, else of category 2; none
// when no rule covers the count.
std::optional<int> LoanDays(Database& db, int digit, int count);

// Text of the state column ("應還", "還書", ...; empty for rentals).
QString StateText(int state);

// Row colours as 0xRRGGBB, or one of the two palette colours below.
inline constexpr int kColourDefault = -1;      // the grid's own background
inline constexpr int kColourButtonShadow = -2; // the system's button-shadow grey
int StateColour(int state);

} // namespace DeskRules
