// Customer defaults, checks, age, password confirmation and search statements.
#include "customers/GuestRules.h"

#include "core/Prompts.h"
#include "db/Clock.h"
#include "db/Schema.h"

namespace GuestRules {

void fillNewRow(Dataset& guest)
{
    const QDate today = Clock::today();
    guest.setValue(QStringLiteral("Birthday"), today.addDays(-5000));
    guest.setValue(QStringLiteral("Leave_Mon"), 0);
    guest.setValue(QStringLiteral("Pledge_Mon"), 0);
    guest.setValue(QStringLiteral("Class"), QStringLiteral("1"));
    guest.setValue(QStringLiteral("Entrance_fee"), 0);
    guest.setValue(QStringLiteral("Come_Date"), today);
    guest.setValue(QStringLiteral("Total_Mon"), 0);
    for (const char* limit : {"Lim_Comic", "Lim_Fiction", "Lim_Magazine", "Lim_CD", "Lim_OTH", "Lim_New"})
        guest.setValue(QString::fromLatin1(limit), 5);
}

void checkBeforePost(Dataset& guest)
{
    const QString code = guest.text(QStringLiteral("GuestCode"));
    const QString blank = QStringLiteral("空白的錯誤！");
    if (code.trimmed().isEmpty()) {
        Prompts::msgBox(QStringLiteral("請輸入客戶編號！"), blank, QStringLiteral("Waning"));
        throw Abort();
    }
    if (code.size() > kMaxCodeLength) {
        Prompts::msgBox(QStringLiteral("客戶編號不可超過 %1 個字！").arg(kMaxCodeLength), QStringLiteral("長度的錯誤！"),
                        QStringLiteral("Waning"));
        throw Abort();
    }
    // The table keeps codes unique (without regard to case); say so plainly instead of the engine's text.
    const qint64 taken = guest.database()
                             .scalar(QStringLiteral("SELECT COUNT(*) FROM Guest WHERE GuestCode = :code AND rowid <> :rid"),
                                     {{QStringLiteral("code"), code}, {QStringLiteral("rid"), guest.rowId()}})
                             .toLongLong();
    if (taken > 0) {
        Prompts::msgBox(QStringLiteral("客戶編號「%1」已經有人使用，請換一個編號！").arg(code), QStringLiteral("重複的錯誤！"),
                        QStringLiteral("Waning"));
        throw Abort();
    }
}

QString ageText(const QDate& birthday, const QDate& today)
{
    if (!birthday.isValid())
        return {};
    const int years = int(double(birthday.daysTo(today)) / 365.25); // truncated toward zero
    return QString::number(years) + QStringLiteral("歲");
}

PasswordVerdict leavePassword(const QString& typed, const QString& old)
{
    const QString wrong = QStringLiteral("不正確！");
    if (typed == Prompts::kCancel) {
        // "Cancel" is what a cancelled password dialog answers: it can never be a password.
        Prompts::msgBox(QStringLiteral("不正確的密碼！\n\r請輸入新的密碼！"), wrong, QStringLiteral("Waning"));
        return {true, true};
    }
    const PasswordChange change =
        Prompts::askPasswordChange(QStringLiteral("密碼確認！"), QStringLiteral("請在輸入一次新的密碼！"), QString(), old);
    if (change.outcome == PasswordChange::Outcome::Cancelled || typed == old)
        return {};
    if (change.outcome == PasswordChange::Outcome::WrongOldPassword || change.password != typed) {
        Prompts::msgBox(QStringLiteral("密碼不正確！"), wrong, QStringLiteral("Waning"));
        return {true, false};
    }
    return {};
}

} // namespace GuestRules

namespace GuestSearch {

namespace {

const QString kNotShop = QStringLiteral("GuestCode <> :shopAccount");
const QString kOpen = QStringLiteral(" AND IsClose = 0");

} // namespace

QString likePrefix(const QString& value)
{
    QString p = value;
    p.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('%'), QLatin1String("\\%"))
        .replace(QLatin1Char('_'), QLatin1String("\\_"));
    return p + QLatin1Char('%');
}

Filter search(Field field, const QString& value, bool includeClosed)
{
    Filter f;
    f.params.insert(QStringLiteral("shopAccount"), Schema::kShopAccount);
    if (value.isEmpty()) {
        f.where = QStringLiteral("IsClose = 0 AND ") + kNotShop;
        f.orderBy = QStringLiteral("GuestCode");
        return f;
    }
    f.params.insert(QStringLiteral("prefix"), likePrefix(value));
    const QString like = QStringLiteral(" LIKE :prefix ESCAPE '\\'");
    switch (field) {
    case Field::Phone:
        f.where = QStringLiteral("(TEL") + like + QStringLiteral(" OR TEL2") + like + QStringLiteral(")");
        break;
    case Field::Name:
        f.where = QStringLiteral("Name") + like;
        break;
    case Field::Code:
        f.where = QStringLiteral("GuestCode") + like;
        break;
    case Field::IdNumber:
        f.where = QStringLiteral("ID_number") + like;
        break;
    }
    f.where += QStringLiteral(" AND ") + kNotShop;
    if (!includeClosed)
        f.where += kOpen;
    return f;
}

Filter allOpen() { return {QStringLiteral("IsClose = 0"), QStringLiteral("GuestCode"), {}}; }

QString historySql(bool onlyOut)
{
    QString s = QStringLiteral("SELECT R.*, Book.*, Book.Vol AS \"Book.Vol\" FROM Rent_Back AS R, BookDetail AS Book\n"
                               "WHERE R.Book_Code = Book.Code AND R.Guest_CODE = :code");
    if (onlyOut)
        s += QStringLiteral("\n AND R.Bstate = 'RetB'");
    return s + QStringLiteral("\n ORDER BY R.RDate DESC, R.idno DESC");
}

} // namespace GuestSearch
