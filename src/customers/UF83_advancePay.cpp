// The scheme editor: a grid over PayMoney that edits in place once a row is in edit.
#include "customers/UF83_advancePay.h"

#include "core/UCustomDB.h"
#include "customers/Payments.h"
#include "db/Dataset.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"

TF83_advancePay* F83_advancePay = nullptr;

void setUpSchemeGrid(Dataset& schemes, DBGrid& grid)
{
    schemes.addCalcField(QStringLiteral("Rate"));
    schemes.onCalcField = [](const Dataset& d, int recNo, const QString&) {
        return QVariant(Payments::Rate(d.valueAt(recNo, d.fieldIndex(QStringLiteral("NO"))),
                                       d.valueAt(recNo, d.fieldIndex(QStringLiteral("IntoMoney"))),
                                       d.valueAt(recNo, d.fieldIndex(QStringLiteral("PayMoney")))));
    };
    // Widths are the narrowest that read well; the grid widens them to fill its width.
    grid.addColumn(QStringLiteral("NO"), QStringLiteral("編號")).readOnly().width(50);
    grid.addColumn(QStringLiteral("Type"), QStringLiteral("分類名稱")).width(160);
    grid.addColumn(QStringLiteral("PayMoney"), QStringLiteral("預繳金額")).number().width(80);
    grid.addColumn(QStringLiteral("IntoMoney"), QStringLiteral("產生點數")).number().width(80);
    grid.addColumn(QStringLiteral("PayStart"), QStringLiteral("金額範圍(起)")).number().width(100);
    grid.addColumn(QStringLiteral("PayEnd"), QStringLiteral("(迄)")).number().width(70);
    grid.addColumn(QStringLiteral("Rate"), QStringLiteral("比率(%)"))
        .align(Qt::AlignRight | Qt::AlignVCenter)
        .width(70);
}

TF83_advancePay::TF83_advancePay(QWidget* owner) : Tfm_BaseISNAVGrid(owner)
{
    setObjectName(QStringLiteral("F83_advancePay"));
    setWindowTitle(QStringLiteral("預繳金額設定"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(820, 380);

    setCaption(Action2, QStringLiteral("新增(&N)"));
    setCaption(Action3, QStringLiteral("修改(&F)"));
    setCaption(Action4, QStringLiteral("刪除(&D)"));

    tabPayMoney = new Dataset(db(), this);
    tabPayMoney->setObjectName(QStringLiteral("tabPayMoney"));
    tabPayMoney->setTable(QStringLiteral("PayMoney"), QString(), QStringLiteral("NO"));
    setUpSchemeGrid(*tabPayMoney, *dxDBGrid1);
    BiDiDBNavigator1->setVisibleButtons(DBNavigator::allButtons());
    // Rows are deleted at once, from the action and from the navigator alike.
    BiDiDBNavigator1->setConfirmDelete(false);

    const auto showStatus = [this](Dataset& d) { ShowRecordStatus(d, 1); };
    tabPayMoney->afterScroll = showStatus;
    tabPayMoney->afterInsert = showStatus;
    tabPayMoney->afterOpen = showStatus;
    tabPayMoney->afterDelete = showStatus;
    // Browsing rows cannot be typed over: a row is changed only after F2, F3 or the navigator put it in edit.
    connect(tabPayMoney, &Dataset::stateChanged, this, [this] { dxDBGrid1->setEditable(tabPayMoney->isEditing()); });
    dxDBGrid1->setEditable(false);

    tabPayMoney->open();
    setDataSource(tabPayMoney);
}

void TF83_advancePay::Action2Execute()
{
    tabPayMoney->append();
    dxDBGrid1->setCurrentField(QStringLiteral("Type"));
    dxDBGrid1->setFocus();
}

void TF83_advancePay::Action3Execute()
{
    tabPayMoney->edit();
    dxDBGrid1->setFocus();
}

void TF83_advancePay::Action4Execute()
{
    if (tabPayMoney->isEmpty() && tabPayMoney->state() != Dataset::State::Insert)
        return;
    tabPayMoney->remove();
}

void TF83_advancePay::FormClose(CloseAction&)
{
    if (tabPayMoney->state() == Dataset::State::Insert)
        tabPayMoney->cancel();
    else if (tabPayMoney->state() == Dataset::State::Edit)
        tabPayMoney->post();
}
