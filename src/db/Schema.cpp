#include "db/Schema.h"

#include "db/Clock.h"
#include "db/Database.h"

#include <QFileInfo>

namespace Schema {

namespace {

Column text(const QString& n, int size = 255, bool unique = false) { return {n, Type::Text, size, unique}; }
Column memo(const QString& n) { return {n, Type::Memo}; }
Column i16(const QString& n) { return {n, Type::Int16}; }
Column i32(const QString& n, bool unique = false) { return {n, Type::Int32, 0, unique}; }
Column num(const QString& n) { return {n, Type::Number}; }
Column date(const QString& n, bool unique = false) { return {n, Type::Date, 0, unique}; }
Column yesno(const QString& n) { return {n, Type::YesNo}; }
Column autonum(const QString& n) { return {n, Type::AutoNumber}; }

std::vector<Table> build()
{
    return {
        {QStringLiteral("Guest"),
         {autonum("NO"), text("GuestCode", 20, true), text("Name", 20), text("TEL", 20), text("TEL2"), text("SEX"),
          text("ID_number"), text("VIP_number"), text("ADDR"), text("ADDR2"), text("Email"), date("Birthday"),
          text("Papers"), text("ID_Save"), text("Class"), text("Index"), memo("PS"), yesno("IsClose"),
          num("Leave_Mon"), num("Pledge_Mon"), num("Entrance_fee"), num("Total_Mon"), i16("Pay_Num"),
          date("Last_Mon"), num("Last_Dis"), date("Come_Date"), date("Over_Date"), date("Last_Rent"), i16("RentNo"),
          i16("RentInNo"), i16("BuyNo"), num("Ratio_Rent"), num("Ratio_RentIn"), num("Ratio_Buy"), i32("Tot_Cost"),
          i32("Tot_OverDate"), i16("Lim_Comic"), i16("Lim_Fiction"), i16("Lim_Magazine"), i16("Lim_CD"),
          i16("Lim_OTH"), i16("Lim_New"), yesno("pwdUse"), text("Password")}},
        {QStringLiteral("BookDetail"),
         {text("Code", 30, true), text("Name", 40), text("Vol", 5), text("Author", 30), text("Publish", 30),
          i32("Class_Num"), i16("Money"), date("InBookData"), i16("Number"), text("Num_Num", 20), i16("Cost_New"),
          i16("Cost_Old"), i16("Cost_In"), i16("Over_New"), i16("Over_Old"), yesno("Over_18"), yesno("END"),
          yesno("nullify"), i16("Brrow_Total"), i16("RetNum"), i16("Spec_Day"), i16("New_Day"), i16("Sub_Day"),
          text("Index", 255)}},
        {QStringLiteral("Rent_Back"),
         {autonum("idno"), text("Guest_CODE", 10), text("Book_Code", 30), text("Vol", 5), date("RDate"),
          date("IDate"), date("BDate"), text("New", 2), i16("piece"), yesno("flgRet"), yesno("InStudy"),
          text("Bstate", 5), text("WorkManCode", 20), i32("OverMoney")}},
        {QStringLiteral("GuestCost"),
         {autonum("NO"), text("Guest_CODE", 20), text("Mode", 2), i16("Cost"), i16("piece"), text("Tran_CODE", 20),
          text("worker", 20), date("CostDate")}},
        {QStringLiteral("DayCost"),
         {autonum("NO"), date("DayDate", true), num("RetBook"), num("BackBook"), num("InBook"), num("GuestNum"),
          num("ComMon"), num("FicMon"), num("MegMon"), num("OthMon"), num("money"), num("CostIn"), num("CostOut"),
          num("money2"), num("OverMoney"), num("realMoney")}},
        {QStringLiteral("WorkClass"),
         {autonum("NO"), text("WorkOver"), text("WorkTake"), date("ClassTime"), i32("SellMoney"), i32("GrossMoney"),
          i32("GetMoney"), i32("RetMoney"), i32("RetInMoney"), i32("chaMoney"), i32("fineMoney"), i32("indemnify"),
          i32("GetDeposit"), i32("BakDeposit"), i32("PeopNum"), i16("RetBook"), i16("BacBook"), i16("RetInBook"),
          i16("ChaBook"), i16("TwoThousand"), i16("Thousand"), i16("FiveHundred"), i16("Hundred"), i16("FiveTen"),
          i16("Ten"), i16("One")}},
        {QStringLiteral("Worker"),
         {text("CODE", 255, true), text("PSWD"), text("Name"), text("SEX"), date("Birthday"), text("Tel"),
          text("Tel2"), text("email"), text("Add"), text("School"), text("Class"), text("IDNO"), num("LV"),
          yesno("flgLV"), date("SDate"), date("LDate"), memo("PS")}},
        {QStringLiteral("ClassBook"), {i32("ClassNum", true), text("ClassName")}},
        {QStringLiteral("BookCost"),
         {autonum("NO"), num("ClassCode"), text("ClassName"), num("ChaStatr"), num("ChaEnd"), num("RetCostNew"),
          num("RetCostOld"), num("RetinCost"), num("OverCostNew"), num("OverCostOld")}},
        {QStringLiteral("CustBookDay"),
         {autonum("NO"), num("ClassNum"), text("ClassName"), num("RetBookStart"), num("RetBookEnd"), num("BookDay"),
          num("newBookDay"), num("renewNum")}},
        {QStringLiteral("PayMoney"),
         {autonum("NO"), text("Type", 40), i16("PayMoney"), i16("IntoMoney"), i16("PayStart"), i16("PayEnd")}},
        {QStringLiteral("SubBook"),
         {autonum("NO"), text("BookCode", 30), text("GuestCode", 10), date("SubDate"), date("SubDate2"),
          yesno("SubEnd")}},
        {QStringLiteral("GuestClassNum"), {text("Class"), text("ClassName"), text("Guest_Code")}},
    };
}

// The lookups of the desk and the reports.
const char* const kIndexes[] = {
    "CREATE INDEX ix_Rent_Back_guest_open ON Rent_Back (Guest_CODE, flgRet)",
    "CREATE INDEX ix_Rent_Back_book_open ON Rent_Back (Book_Code, flgRet)",
    "CREATE INDEX ix_Rent_Back_RDate ON Rent_Back (RDate)",
    "CREATE INDEX ix_Rent_Back_BDate ON Rent_Back (BDate)",
    "CREATE INDEX ix_Rent_Back_pending ON Rent_Back (Guest_CODE) WHERE Bstate = 'Ret'",
    "CREATE INDEX ix_GuestCost_CostDate ON GuestCost (CostDate)",
    "CREATE INDEX ix_GuestCost_guest ON GuestCost (Guest_CODE, CostDate)",
    "CREATE INDEX ix_SubBook_BookCode ON SubBook (BookCode)",
    "CREATE INDEX ix_BookDetail_Class_Num ON BookDetail (Class_Num)",
    "CREATE INDEX ix_Guest_Name ON Guest (Name)",
};

QString q(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

QString columnDdl(const Table& t, const Column& c)
{
    const QString n = q(c.name);
    const QString label = t.name + QLatin1Char('.') + c.name;
    auto check = [&](const QString& what, const QString& cond) {
        return QStringLiteral(" CONSTRAINT \"%1 %2\" CHECK (%3)").arg(label, what, cond);
    };
    QString s = n + QLatin1Char(' ');
    switch (c.type) {
    case Type::AutoNumber:
        return s + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case Type::Text:
        s += QStringLiteral("TEXT COLLATE NOCASE")
             + check(QStringLiteral("不可超過 %1 個字").arg(c.size), QStringLiteral("length(%1) <= %2").arg(n).arg(c.size));
        break;
    case Type::Memo:
        s += QStringLiteral("LONGTEXT COLLATE NOCASE");
        break;
    case Type::Int16:
        s += QStringLiteral("SMALLINT DEFAULT 0")
             + check(QStringLiteral("必須是 -32768 至 32767 的整數"),
                     QStringLiteral("%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN -32768 AND 32767)").arg(n));
        break;
    case Type::Int32:
        s += QStringLiteral("INTEGER") + (c.unique ? QString() : QStringLiteral(" DEFAULT 0"))
             + check(QStringLiteral("必須是 -2147483648 至 2147483647 的整數"),
                     QStringLiteral("%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN -2147483648 AND 2147483647)")
                         .arg(n));
        break;
    case Type::Number:
        s += QStringLiteral("NUMBER DEFAULT 0")
             + check(QStringLiteral("必須是數字"), QStringLiteral("%1 IS NULL OR typeof(%1) IN ('integer', 'real')").arg(n));
        break;
    case Type::Date:
        s += QStringLiteral("DATETEXT")
             + check(QStringLiteral("必須是 YYYY-MM-DD HH:MM:SS 的日期時間"),
                     QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND %1 GLOB "
                                    "'[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]')")
                         .arg(n));
        break;
    case Type::YesNo:
        s += QStringLiteral("YESNO NOT NULL DEFAULT 0")
             + check(QStringLiteral("必須是 0 或 1"), QStringLiteral("%1 IN (0, 1)").arg(n));
        break;
    }
    if (c.unique)
        s += QStringLiteral(" UNIQUE");
    return s;
}

void addClass(Database& db, int num, const QString& name)
{
    db.exec(QStringLiteral("INSERT INTO ClassBook (ClassNum, ClassName) VALUES (:n, :name)"),
            {{"n", num}, {"name", name}});
}

} // namespace

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = build();
    return all;
}

const Table* table(const QString& name)
{
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString ddl()
{
    QString s;
    for (const Table& t : tables()) {
        QStringList cols;
        for (const Column& c : t.columns)
            cols << QStringLiteral("  ") + columnDdl(t, c);
        s += QStringLiteral("CREATE TABLE %1 (\n%2\n);\n").arg(q(t.name), cols.join(QStringLiteral(",\n")));
    }
    for (const char* ix : kIndexes)
        s += QString::fromLatin1(ix) + QStringLiteral(";\n");
    return s;
}

void create(Database& db)
{
    Transaction tx(db);
    db.execScript(ddl());
    insertStarterRows(db);
    db.execScript(QStringLiteral("PRAGMA application_id = 1112232513;")); // "BKRA"
    tx.commit();
}

void insertStarterRows(Database& db)
{
    const QString today = toDbText(Clock::today());
    db.exec(QStringLiteral("INSERT INTO Guest (GuestCode, Name, SEX, Class, Come_Date, Birthday, Lim_Comic, "
                           "Lim_Fiction, Lim_Magazine, Lim_CD, Lim_OTH, Lim_New) "
                           "VALUES (:code, '店閱', 'n', '1', :today, :today, 5, 5, 5, 5, 5, 5)"),
            {{"code", kShopAccount}, {"today", today}});
    db.exec(QStringLiteral("INSERT INTO Worker (CODE, PSWD, Name, SEX, LV, SDate) VALUES (:code, '', :name, 'n', 10, "
                           ":today)"),
            {{"code", kDefaultWorkerCode}, {"name", kDefaultWorkerName}, {"today", today}});
    addClass(db, 1, QStringLiteral("漫畫"));
    addClass(db, 2, QStringLiteral("小說"));
    addClass(db, 3, QStringLiteral("雜誌"));
    addClass(db, 4, QStringLiteral("CD"));
    addClass(db, 5, QStringLiteral("其它"));
    const QString rule = QStringLiteral("INSERT INTO CustBookDay (ClassNum, ClassName, RetBookStart, RetBookEnd, "
                                        "BookDay, newBookDay, renewNum) VALUES (:c, :n, :s, :e, :d, 0, 0)");
    db.exec(rule, {{"c", 1}, {"n", QStringLiteral("漫畫")}, {"s", 1}, {"e", 10}, {"d", 2}});
    db.exec(rule, {{"c", 1}, {"n", QStringLiteral("漫畫")}, {"s", 11}, {"e", 99}, {"d", 3}});
    db.exec(rule, {{"c", 2}, {"n", QStringLiteral("小說")}, {"s", 1}, {"e", 99}, {"d", 5}});
    const QString scheme = QStringLiteral("INSERT INTO PayMoney (Type, PayMoney, IntoMoney, PayStart, PayEnd) "
                                          "VALUES (:t, :p, :i, :s, :e)");
    db.exec(scheme, {{"t", QStringLiteral("預繳 500")}, {"p", 500}, {"i", 500}, {"s", 1}, {"e", 999}});
    db.exec(scheme, {{"t", QStringLiteral("預繳 1000 送 100")}, {"p", 1000}, {"i", 1100}, {"s", 1000}, {"e", 1999}});
    db.exec(scheme, {{"t", QStringLiteral("預繳 2000 送 300")}, {"p", 2000}, {"i", 2300}, {"s", 2000}, {"e", 32767}});
}

QStringList missing(Database& db)
{
    QStringList out;
    for (const Table& t : tables()) {
        Statement st(db, QStringLiteral("SELECT name FROM pragma_table_info(:t)"));
        st.bind({{"t", t.name}});
        QStringList have;
        while (st.step())
            have << st.value(0).toString().toLower();
        if (have.isEmpty()) {
            out << t.name;
            continue;
        }
        for (const Column& c : t.columns)
            if (!have.contains(c.name.toLower()))
                out << t.name + QLatin1Char('.') + c.name;
    }
    return out;
}

std::unique_ptr<Database> openShop(const QString& path, Opened* how)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    const bool exists = QFileInfo::exists(path);
    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(path, exists ? Database::Open::Existing : Database::Open::CreateIfMissing);
        if (!exists) {
            db->execScript(QStringLiteral("PRAGMA journal_mode = WAL;"));
            create(*db);
            // The new file holds everything at once, not only its write-ahead log.
            db->execScript(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);"));
        } else {
            const QStringList gone = missing(*db); // reads only: a foreign file stays untouched
            if (!gone.isEmpty())
                throw DbError(QStringLiteral("不是本系統的資料庫檔案（缺少 %1）").arg(gone.mid(0, 5).join(QStringLiteral("、"))));
            db->execScript(QStringLiteral("PRAGMA journal_mode = WAL;"));
        }
    } catch (const DbError& e) {
        db.reset();
        if (!exists)
            QFile::remove(path);
        throw DbError(QStringLiteral("無法使用資料庫檔案 %1：\n%2").arg(shown, e.text()), e.code());
    }
    if (how)
        *how = exists ? Opened::Existing : Opened::Created;
    return db;
}

} // namespace Schema
