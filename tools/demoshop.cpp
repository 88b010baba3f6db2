// demoshop [--large] [--seed N] PATH: makes a new shop file at PATH filled with a
// generated history, the small demo shop by default or the large one for the benchmark.
#include "core/DemoShop.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

QString n(qint64 v)
{
    return QLocale(QLocale::English).toString(v);
}

int usage()
{
    err << "用法：demoshop [--large] [--seed N] PATH\n"
           "  在 PATH 建立一個新的店家資料庫並填入示範資料（PATH 不可已存在）。\n"
           "  --large   大型店：200,000 本書、20,000 位顧客、2,000,000 筆租借紀錄（效能測試用）\n"
           "  --seed N  亂數種子（相同種子、相同日期產生相同的資料）\n";
    err.flush();
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool large = false, seeded = false;
    quint64 seed = 0;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--large")) {
            large = true;
        } else if (a == QLatin1String("--seed") && i + 1 < args.size()) {
            bool ok = false;
            seed = args[++i].toULongLong(&ok);
            if (!ok)
                return usage();
            seeded = true;
        } else if (a.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            return usage();
        } else {
            path = a;
        }
    }
    if (path.isEmpty())
        return usage();

    DemoShop::Options options = large ? DemoShop::large() : DemoShop::demo();
    if (seeded)
        options.seed = seed;
    out << (large ? "正在建立大型店（約需一至兩分鐘）……\n" : "正在建立示範店……\n");
    out.flush();
    DemoShop::Summary s;
    try {
        s = DemoShop::create(path, options);
    } catch (const DbError& e) {
        err << "無法建立店家資料庫：" << e.text() << "\n";
        return 1;
    }

    const QFileInfo file(path);
    out << "已建立" << (large ? "大型店" : "示範店") << "：" << file.absoluteFilePath() << "\n"
        << "  顧客 " << n(s.guests) << " 位、書 " << n(s.books) << " 本、租借紀錄 " << n(s.loans) << " 筆（未還 "
        << n(s.openLoans) << " 筆，其中逾期 " << n(s.overdueLoans) << " 筆）、帳目 " << n(s.journal) << " 筆\n"
        << "  每日收入 " << n(s.days) << " 天、交班記錄 " << n(s.shifts) << " 筆、預約 " << n(s.reservations)
        << " 筆、10 本以上未還的顧客 " << n(s.guestsWithTenOrMore) << " 位\n"
        << "用時 " << QString::number(s.msecs / 1000.0, 'f', 1) << " 秒，檔案 "
        << QString::number(file.size() / 1048576.0, 'f', 1) << " MB\n";
    if (!large) {
        out << "可以試試：\n";
        if (!s.benchGuests.isEmpty())
            out << "  顧客 " << s.benchGuests.first() << " 有 10 本未還，部分已逾期\n";
        if (!s.passwordGuests.isEmpty())
            out << "  需要密碼的顧客（代碼/密碼）：" << s.passwordGuests.join(QStringLiteral("、")) << "\n";
        if (!s.closedGuest.isEmpty())
            out << "  已關閉的帳號：" << s.closedGuest << "\n";
        for (const QString& h : s.hints)
            out << "  " << h << "\n";
    }
    out << "效能測試可用：\n"
        << "  10 本未還的顧客：" << s.benchGuests.join(QLatin1Char(' ')) << "\n"
        << "  " << s.benchGuests.value(0) << " 借出的書：" << s.benchLoans.join(QLatin1Char(' ')) << "\n"
        << "  在架可借、無人預約的書：" << s.shelfBooks.join(QLatin1Char(' ')) << "\n"
        << "  沒有借書的顧客：" << s.idleGuests.join(QLatin1Char(' ')) << "\n";
    return 0;
}
