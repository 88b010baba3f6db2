// The pay-and-refund window: a read-only grid of the schemes; Enter or a double
// click pays a row, F3 a typed amount, F4 refunds.
#include "customers/UF03_PayRtMoney.h"

#include "core/UCustomDB.h"
#include "customers/Payments.h"
#include "customers/UF03_PayKeyIn.h"
#include "customers/UF03_ReturnMoney.h"
#include "customers/UF83_advancePay.h"
#include "db/Dataset.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/ShopApplication.h"

TF03_PayRtMoney* F03_PayRtMoney = nullptr;

TF03_PayRtMoney::TF03_PayRtMoney(QWidget* owner) : Tfm_BaseISNAVGrid(owner)
{
    setObjectName(QStringLiteral("F03_PayRtMoney"));
    setWindowTitle(QStringLiteral("繳退款"));
    setWindowFlag(Qt::Tool, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(800, 320);

    setCaption(Action2, QStringLiteral("新增(&N)"));
    setCaption(Action3, QStringLiteral("自行輸入金額(&K)"));
    setCaption(Action4, QStringLiteral("退款(&R)"));

    qryPayMoney = new Dataset(db(), this);
    qryPayMoney->setObjectName(QStringLiteral("qryPayMoney"));
    qryPayMoney->setTable(QStringLiteral("PayMoney"), QString(), QStringLiteral("NO"));
    qryPayMoney->setReadOnly(true);
    setUpSchemeGrid(*qryPayMoney, *dxDBGrid1);
    dxDBGrid1->setEditable(false);
    dxDBGrid1->setRowSelect(true);
    BiDiDBNavigator1->hide();
    qryPayMoney->afterScroll = [this](Dataset& d) { ShowRecordStatus(d, 1); };
    qryPayMoney->open();
    setDataSource(qryPayMoney);
    ShowRecordStatus(*qryPayMoney, 1);

    const QString code = Payments::GetPayCustomer();
    const QString name =
        db().scalar(QStringLiteral("SELECT Name FROM Guest WHERE GuestCode = :c"), {{"c", code}}).toString();
    setPanelText(0, QStringLiteral("繳款客戶：") + code + QStringLiteral("　") + name);

    connect(dxDBGrid1, &DBGrid::rowActivated, this, [this](int recNo) { guarded([&] { payRow(recNo); }); });
}

void TF03_PayRtMoney::SetPayCustomer(const QString& code)
{
    Payments::SetPayCustomer(code);
}

QString TF03_PayRtMoney::GetPayCustomer()
{
    return Payments::GetPayCustomer();
}

bool TF03_PayRtMoney::CommitPayment(qint64 paid, qint64 credited)
{
    if (Payments::CommitPayment(paid, credited, Payments::dutyCode()) != Payments::Result::Booked)
        return false;
    finishBooking();
    return true;
}

void TF03_PayRtMoney::payRow(int recNo)
{
    qryPayMoney->moveTo(recNo);
    // An empty amount pays as 0.
    CommitPayment(qryPayMoney->integer(QStringLiteral("PayMoney")), qryPayMoney->integer(QStringLiteral("IntoMoney")));
}

void TF03_PayRtMoney::finishBooking()
{
    Payments::reopenDeskCustomer();
    exitWindow();
}

void TF03_PayRtMoney::Action3Execute()
{
    const bool fresh = !F03_PayKeyIn;
    TF03_PayKeyIn* dlg = openSingle(F03_PayKeyIn, this);
    if (fresh)
        connect(dlg, &TF03_PayKeyIn::confirmed, this,
                [this](qint64 paid, qint64 credited) { guarded([&] { CommitPayment(paid, credited); }); });
}

void TF03_PayRtMoney::Action4Execute()
{
    TF03_ReturnMoney* dlg = ensureSingle(F03_ReturnMoney, this);
    if (dlg->showModal() == TF03_ReturnMoney::kHandled)
        finishBooking();
}
