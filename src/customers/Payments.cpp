// Payments and refunds of prepaid points: each writes the customer's row and its
// journal row in one transaction, so the till and the balances always agree.
#include "customers/Payments.h"

#include "core/Prompts.h"
#include "core/UCustomDB.h"
#include "core/UDMMain.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <cmath>
#include <utility>

namespace Payments {

namespace {

QString& payCustomer()
{
    static QString code = QStringLiteral("unKnow");
    return code;
}

DeskLink& link()
{
    static DeskLink l;
    return l;
}

// Nearest whole number to num / den, halves to the even neighbour; den must not be 0.
// Whole-number arithmetic, so 1100 / 1000 × 100 is exactly 110 and never 109.99….
qint64 roundHalfEven(qint64 num, qint64 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    qint64 q = num / den;
    qint64 r = num % den;
    if (r < 0) { // floor division, so 0 <= r < den
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0)))
        ++q;
    return q;
}

std::optional<qint64> wholeValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return qint64(std::trunc(d));
}

bool fits(qint64 v)
{
    return v >= kMinAmount && v <= kMaxAmount;
}

void tellOutOfRange(const QString& what)
{
    Prompts::msgBox(QStringLiteral("%1超出範圍！\n每筆必須在 %2 至 %3 之間，這筆沒有記錄。")
                        .arg(what)
                        .arg(kMinAmount)
                        .arg(kMaxAmount),
                    QStringLiteral("超出！"), QStringLiteral("Err"));
}

void tellNoCustomer()
{
    Prompts::msgBox(QStringLiteral("參數傳遞錯誤！\n\r找不到該筆顧客代碼！"), QStringLiteral("程序錯誤！"),
                    QStringLiteral("Waning"));
}

void tellEngineError(const QString& what, const DbError& e)
{
    Prompts::msgBox(QStringLiteral("%1沒有完成，顧客資料與交易明細都未變更。\n%2").arg(what, e.text()),
                    QStringLiteral("程序錯誤！"), QStringLiteral("Err"));
}

bool customerExists(const QString& code)
{
    return db().scalar(QStringLiteral("SELECT COUNT(*) FROM Guest WHERE GuestCode = :code"), {{"code", code}})
               .toLongLong() > 0;
}

} // namespace

void SetPayCustomer(const QString& code)
{
    payCustomer() = code;
}

QString GetPayCustomer()
{
    return payCustomer();
}

void setDeskLink(DeskLink l)
{
    link() = std::move(l);
}

QString dutyCode()
{
    return link().dutyCode ? link().dutyCode() : Schema::kDefaultWorkerCode;
}

void reopenDeskCustomer()
{
    if (link().reopenCustomer)
        link().reopenCustomer();
}

QString Rate(const QVariant& no, const QVariant& intoMoney, const QVariant& payMoney)
{
    const auto n = wholeValue(no);
    const auto into = wholeValue(intoMoney);
    const auto pay = wholeValue(payMoney);
    if (!n || !into || !pay || *pay == 0)
        return {};
    return QString::number(roundHalfEven(*into * 100, *pay)) + QLatin1Char('%');
}

std::optional<qint64> coveringRate(qint64 amount)
{
    // IntoMoney * 100.0 / PayMoney is one correctly rounded division, so a true half
    // stays a half for roundeven().
    const QVariant r =
        db().scalar(QStringLiteral("SELECT roundeven(IntoMoney * 100.0 / PayMoney) AS Rent FROM PayMoney "
                                   "WHERE PayStart <= :a AND PayEnd >= :a AND PayMoney <> 0 AND IntoMoney IS NOT NULL "
                                   "ORDER BY NO LIMIT 1"),
                    {{"a", amount}});
    if (r.isNull())
        return std::nullopt;
    return r.toLongLong();
}

qint64 proposedPoints(qint64 amount, qint64 rate)
{
    return amount * rate / 100;
}

qint64 discountFigure(qint64 paid, qint64 credited)
{
    if (paid == 0 || credited == 0)
        return 100;
    return paid * 100 / credited; // whole numbers: 29 paid for 100 points is 29, not 28.99…
}

Result CommitPayment(qint64 paid, qint64 credited, const QString& worker)
{
    if (!fits(paid)) {
        tellOutOfRange(QStringLiteral("金額"));
        return Result::Refused;
    }
    if (!fits(credited)) {
        tellOutOfRange(QStringLiteral("產生點數"));
        return Result::Refused;
    }
    const QString code = GetPayCustomer();
    try {
        Transaction tx(db());
        if (!customerExists(code)) {
            tellNoCustomer();
            return Result::Refused;
        }
        if (paid != 0 || credited != 0) {
            db().exec(QStringLiteral("UPDATE Guest SET Leave_Mon = IFNULL(Leave_Mon, 0) + :credited, "
                                     "Total_Mon = IFNULL(Total_Mon, 0) + :paid, Last_Mon = :today, "
                                     "Last_Dis = :dis, Pay_Num = IFNULL(Pay_Num, 0) + 1 "
                                     "WHERE GuestCode = :code"),
                      {{"credited", credited},
                       {"paid", paid},
                       {"today", Clock::today()},
                       {"dis", discountFigure(paid, credited)},
                       {"code", code}});
        }
        DMMain->appendGuestCost(code, QStringLiteral("I"), QStringLiteral("0"), worker, qint32(paid), qint32(credited),
                                Clock::now());
        tx.commit();
    } catch (const DbError& e) {
        tellEngineError(QStringLiteral("繳款"), e);
        return Result::Refused;
    }
    return Result::Booked;
}

std::optional<RefundBasis> refundBasis(const QString& code)
{
    Statement st(db(), QStringLiteral("SELECT Last_Dis, Leave_Mon FROM Guest WHERE GuestCode = :code"));
    st.bind({{"code", code}});
    if (!st.step())
        return std::nullopt;
    RefundBasis b;
    b.lastDis = wholeValue(st.value(0)).value_or(0);
    b.balance = st.value(1).toDouble();
    return b;
}

qint64 refundCash(qint64 points, qint64 lastDis)
{
    return points * lastDis / 100;
}

Result refund(qint64 points, const QString& worker)
{
    if (points < 0 || !fits(-points)) {
        tellOutOfRange(QStringLiteral("退款點數"));
        return Result::Refused;
    }
    const QString code = GetPayCustomer();
    try {
        Transaction tx(db());
        const auto basis = refundBasis(code);
        if (!basis) {
            tellNoCustomer();
            return Result::Refused;
        }
        if (!(double(points) < basis->balance)) {
            Prompts::msgBox(QStringLiteral("退款金額過多！"), QStringLiteral("超出！"), QStringLiteral("Err"));
            return Result::TooMuch;
        }
        const qint64 cash = refundCash(points, basis->lastDis);
        if (!fits(-cash)) {
            tellOutOfRange(QStringLiteral("退款金額"));
            return Result::Refused;
        }
        db().exec(QStringLiteral("UPDATE Guest SET Leave_Mon = Leave_Mon - :points WHERE GuestCode = :code"),
                  {{"points", points}, {"code", code}});
        DMMain->appendGuestCost(code, QStringLiteral("RT"), QStringLiteral(""), worker, qint32(-cash), qint32(-points),
                                Clock::now());
        tx.commit();
    } catch (const DbError& e) {
        tellEngineError(QStringLiteral("退款"), e);
        return Result::Refused;
    }
    return Result::Booked;
}

} // namespace Payments
