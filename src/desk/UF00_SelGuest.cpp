// The choose-customer list: its bands and columns over the holders' query.
#include "desk/UF00_SelGuest.h"

#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/RoundedCorners.h"

TF00_SelGuest* F00_SelGuest = nullptr;

TF00_SelGuest::TF00_SelGuest(QWidget* owner, Dataset* guests) : Tfm_BaseISNAVGrid(owner)
{
    setObjectName(QStringLiteral("F00_SelGuest"));
    setWindowTitle(QStringLiteral("選擇客戶"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    BiDiDBNavigator1->hide(); // the list is only looked at and picked from

    DBGrid* g = dxDBGrid1;
    g->setRowSelect(true).setEditable(false).setFitWidth(false).setFixedFirstBand(true);
    const QString fixed = QStringLiteral("客戶");
    const QString basic = QStringLiteral("基本資料");
    const QString other = QStringLiteral("Other");
    g->addColumn(QStringLiteral("GuestCode"), QStringLiteral("代碼")).band(fixed);
    g->addColumn(QStringLiteral("Name"), QStringLiteral("姓名")).band(fixed);
    g->addColumn(QStringLiteral("SEX"), QStringLiteral("性別"))
        .lookup({{QStringLiteral("男"), QStringLiteral("男")},
                 {QStringLiteral("女"), QStringLiteral("女")},
                 {QStringLiteral("n"), QStringLiteral("Unknown (未知)")}})
        .band(basic);
    g->addColumn(QStringLiteral("TEL")).band(basic);
    g->addColumn(QStringLiteral("TEL2")).band(basic);
    g->addColumn(QStringLiteral("ID_number"), QStringLiteral("身分証字號")).band(basic);
    g->addColumn(QStringLiteral("Leave_Mon"), QStringLiteral("現存")).number().band(basic);
    g->addColumn(QStringLiteral("Pledge_Mon"), QStringLiteral("押金")).number().band(basic);
    g->addColumn(QStringLiteral("Email")).band(basic);
    g->addColumn(QStringLiteral("Birthday"), QStringLiteral("生日")).date().band(basic);
    g->addColumn(QStringLiteral("ADDR"), QStringLiteral("住址")).band(basic);
    g->addColumn(QStringLiteral("ADDR2"), QStringLiteral("戶藉住址")).band(basic);
    g->addColumn(QStringLiteral("Total_Mon"), QStringLiteral("繳款累計")).number().band(basic);
    g->addColumn(QStringLiteral("Pay_Num"), QStringLiteral("繳款次數")).number().band(basic);
    g->addColumn(QStringLiteral("Last_Mon"), QStringLiteral("最後繳款日")).date().band(basic);
    g->addColumn(QStringLiteral("Last_Rent"), QStringLiteral("最近租借日")).date().band(basic);
    g->addColumn(QStringLiteral("Come_Date"), QStringLiteral("建檔日")).date().band(basic);
    g->addColumn(QStringLiteral("Over_Date"), QStringLiteral("到期日")).date().band(basic);
    g->addColumn(QStringLiteral("Papers"), QStringLiteral("證件")).band(basic);
    g->addColumn(QStringLiteral("ID_Save"), QStringLiteral("證件儲位")).band(basic);
    g->addColumn(QStringLiteral("IsClose"), QStringLiteral("關閉")).check().band(basic);
    g->addColumn(QStringLiteral("PS")).band(basic);
    g->addColumn(QStringLiteral("VIP_number"), QStringLiteral("VIP卡號")).band(other);
    setDataSource(guests);

    connect(g, &DBGrid::rowActivated, this, [this](int recNo) {
        if (recNo >= 1)
            setModalResult(kChosen);
    });
    resize(760, 300);
    keepRoundedCorners(this);
}
