// Prepaid money: the paying customer, the rate of a scheme, the points a typed
// amount buys, and the booking of payments and refunds (customer row and journal
// row together, or neither).
#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace Payments {

// The journal's Cost and piece are 16-bit: no booking may go past these.
inline constexpr qint64 kMinAmount = -32768;
inline constexpr qint64 kMaxAmount = 32767;

// The customer whose money the pay window handles; "unKnow" until the desk stores one.
void SetPayCustomer(const QString& code);
QString GetPayCustomer();

// What the pay windows need from the desk without knowing it: the on-duty employee's code
// (read when a journal row is written) and the reopening of the desk's customer query after
// money moved, so the desk shows the new balance. The desk installs it once; unset, the code is
// the desk's default employee and nothing is reopened.
struct DeskLink {
    std::function<QString()> dutyCode;
    std::function<void()> reopenCustomer;
};
void setDeskLink(DeskLink link);
QString dutyCode();
void reopenDeskCustomer();

// "110%" for 1100 points credited on 1000 paid (nearest whole per cent, halves to
// the even neighbour); empty when a value is missing or nothing is paid.
QString Rate(const QVariant& no, const QVariant& intoMoney, const QVariant& payMoney);

// Per cent of the first scheme (in scheme order) whose range covers the amount;
// schemes without a rate are passed over. None when no scheme covers it.
std::optional<qint64> coveringRate(qint64 amount);
// The points a covering rate proposes for an amount: amount × rate / 100, cut toward zero.
qint64 proposedPoints(qint64 amount, qint64 rate);

// The discount figure kept as the customer's Last_Dis: paid / credited × 100 cut toward
// zero, 100 when either is 0 (100 means no bonus).
qint64 discountFigure(qint64 paid, qint64 credited);

enum class Result {
    Booked,  // the customer row and the journal row are written
    TooMuch, // a refund of at least the whole balance: "退款金額過多！" shown, nothing written
    Refused, // a message said why (amount out of range, no such customer, engine error); nothing written
};

// Books a payment for the paying customer: balance + credited, total paid + paid, last
// payment today, Last_Dis, one more payment; and the journal row "I" (also when both are 0,
// which changes no customer figure). `worker` is the on-duty employee's code.
Result CommitPayment(qint64 paid, qint64 credited, const QString& worker);

// What the refund dialog starts from: the customer's last discount figure and balance.
struct RefundBasis {
    qint64 lastDis = 0;
    double balance = 0;
};
std::optional<RefundBasis> refundBasis(const QString& code);
// The cash that `points` are worth at a discount figure: points × lastDis / 100, cut toward zero.
qint64 refundCash(qint64 points, qint64 lastDis);

// Refunds `points` of the paying customer's balance at the last discount: balance − points
// and the journal row "RT" (Cost −cash, piece −points). Only less than the whole balance
// can be refunded.
Result refund(qint64 points, const QString& worker);

} // namespace Payments
