// The customer search window: the search bar, the list with its bands and colours,
// the summary and loan history of the selected customer, and its actions.
#include "customers/UF11_FindGuest.h"

#include "core/UCustomDB.h"
#include "customers/CustomerTarget.h"
#include "customers/UF01_NewGuest.h"
#include "db/Schema.h"
#include "desk/UF00_Main.h"
#include "framework/DBControls.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/ShopApplication.h"
#include "framework/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TF11_FindGuest* F11_FindGuest = nullptr;

namespace {

const QColor kTint(0xFF, 0xFF, 0xE1);
const QColor kRed(0xE0, 0x00, 0x00);

const ValueItems kSex = {{QStringLiteral("n"), QStringLiteral("Unknown (未知)")},
                         {QStringLiteral("男"), QStringLiteral("男")},
                         {QStringLiteral("女"), QStringLiteral("女")}};

// Stored loan states and what the history shows for them (compared without regard to case).
const ValueItems kStates = {{QStringLiteral("Con1"), QStringLiteral("續租")},
                            {QStringLiteral("OVER"), QStringLiteral("逾期")},
                            {QStringLiteral("Ret"), QStringLiteral("租借中")},
                            {QStringLiteral("RetB"), QStringLiteral("未還")},
                            {QStringLiteral("BCK"), QStringLiteral("以還")},
                            {QStringLiteral("IN"), QStringLiteral("內閱")}};

QVariant fieldAt(const Dataset* d, int recNo, const QString& field)
{
    if (!d || !d->isOpen() || recNo < 1)
        return {};
    return d->valueAt(recNo, d->fieldIndex(field));
}

} // namespace

TF11_FindGuest::TF11_FindGuest(QWidget* owner) : Tfm_BaseISNAVGrid(owner)
{
    setObjectName(QStringLiteral("F11_FindGuest"));
    setWindowTitle(QStringLiteral("尋找客戶"));

    qryGuest = new Dataset(db(), this);
    qryGuest->setObjectName(QStringLiteral("qryGuest"));
    qryGuest->afterScroll = [this](Dataset&) { showHistory(); };
    qryGuest->beforeDelete = [](Dataset& d) {
        if (d.text(QStringLiteral("GuestCode")).compare(Schema::kShopAccount, Qt::CaseInsensitive) == 0) {
            d.cancel();
            MsgBox(QStringLiteral("店閱資料，不可刪除"), QStringLiteral("嚴重的錯誤"), QStringLiteral("Err"));
            throw Abort();
        }
    };
    qryRent = new Dataset(db(), this);
    qryRent->setObjectName(QStringLiteral("qryRent"));

    setCaption(Action2, QStringLiteral("新增()"));
    setButtonCaption(Action2, QStringLiteral("新增客戶(&C)"));
    setCaption(Action3, QStringLiteral("尋找欄位(&F)"));
    setCaption(Action4, QStringLiteral("修改(&E)"));
    setCaption(Action5, QStringLiteral("刪除(&D)"));
    ActionGuestGraph = addBarAction(QStringLiteral("ActionGuestGraph"), QStringLiteral("期間分析(R)"), QKeySequence(),
                                    [this] { openGraph(); });
    BiDiDBNavigator1->setVisibleButtons({DBNavigator::Button::First, DBNavigator::Button::Prior,
                                         DBNavigator::Button::Next, DBNavigator::Button::Last,
                                         DBNavigator::Button::Delete, DBNavigator::Button::Refresh});

    buildSearchBar();
    buildList();
    buildBottom();
    setDataSource(qryGuest);
    applyFilter(GuestSearch::search(GuestSearch::Field::Name, QString(), false));
    dxEdit1->setFocus();
    resize(1000, 640);
}

void TF11_FindGuest::buildSearchBar()
{
    auto* bar = new QWidget(Panel1);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    dxImageEdit1 = new QComboBox(bar);
    dxImageEdit1->setObjectName(QStringLiteral("dxImageEdit1"));
    dxImageEdit1->addItem(QStringLiteral("姓名"), int(GuestSearch::Field::Name));
    dxImageEdit1->addItem(QStringLiteral("代碼"), int(GuestSearch::Field::Code));
    dxImageEdit1->addItem(QStringLiteral("身分証字號"), int(GuestSearch::Field::IdNumber));
    dxImageEdit1->addItem(QStringLiteral("電話"), int(GuestSearch::Field::Phone));
    dxEdit1 = new QLineEdit(bar);
    dxEdit1->setObjectName(QStringLiteral("dxEdit1"));
    btnEntScan = new QPushButton(QStringLiteral("OK"), bar);
    btnEntScan->setObjectName(QStringLiteral("btnEntScan"));
    chkClose = new QCheckBox(QStringLiteral("尋找關閉的帳號"), bar);
    chkClose->setObjectName(QStringLiteral("chkClose"));
    row->addWidget(new QLabel(QStringLiteral("尋找欄位："), bar));
    row->addWidget(dxImageEdit1);
    row->addWidget(new QLabel(QStringLiteral("值："), bar));
    row->addWidget(dxEdit1, 1);
    row->addWidget(btnEntScan);
    row->addWidget(chkClose);
    panelLayout()->insertWidget(1, bar);

    dxImageEdit1->installEventFilter(this);
    dxEdit1->installEventFilter(this);
    connect(btnEntScan, &QPushButton::clicked, this, [this] { guarded([this] { Search(); }); });
}

void TF11_FindGuest::buildList()
{
    DBGrid* g = dxDBGrid1;
    g->setEditable(false);
    g->setRowSelect(true);
    g->setFixedFirstBand(true);
    const QString fixed = QStringLiteral(" "); // the fixed band has no title
    const QString basic = QStringLiteral("基本資料");
    const QString other = QStringLiteral("Other");
    g->addColumn(QStringLiteral("GuestCode"), QStringLiteral("代碼")).band(fixed);
    g->addColumn(QStringLiteral("Name"), QStringLiteral("姓名")).band(fixed).tint(kTint);
    g->addColumn(QStringLiteral("SEX"), QStringLiteral("性別")).band(basic).lookup(kSex);
    g->addColumn(QStringLiteral("TEL")).band(basic);
    g->addColumn(QStringLiteral("TEL2")).band(basic).tint(kTint);
    g->addColumn(QStringLiteral("ID_number"), QStringLiteral("身分証字號")).band(basic);
    g->addColumn(QStringLiteral("Leave_Mon"), QStringLiteral("現存")).band(basic).money().tint(kTint);
    g->addColumn(QStringLiteral("Pledge_Mon"), QStringLiteral("押金")).band(basic).money();
    g->addColumn(QStringLiteral("Email")).band(basic);
    g->addColumn(QStringLiteral("Birthday"), QStringLiteral("生日")).band(basic).date();
    g->addColumn(QStringLiteral("ADDR"), QStringLiteral("住址")).band(basic);
    g->addColumn(QStringLiteral("ADDR2"), QStringLiteral("戶藉住址")).band(basic);
    g->addColumn(QStringLiteral("VIP_number"), QStringLiteral("VIP卡號")).band(other);
    g->addColumn(QStringLiteral("Total_Mon"), QStringLiteral("繳款累計")).band(other).money();
    g->addColumn(QStringLiteral("Pay_Num"), QStringLiteral("繳款次數")).band(other);
    g->addColumn(QStringLiteral("Last_Mon"), QStringLiteral("最後繳款日")).band(other).date();
    g->addColumn(QStringLiteral("Last_Rent"), QStringLiteral("最近租借日")).band(other).date().tint(kTint);
    g->addColumn(QStringLiteral("Come_Date"), QStringLiteral("建檔日")).band(other).date();
    g->addColumn(QStringLiteral("Over_Date"), QStringLiteral("到期日")).band(other).date();
    g->addColumn(QStringLiteral("Papers"), QStringLiteral("證件")).band(other);
    g->addColumn(QStringLiteral("ID_Save"), QStringLiteral("證件儲位")).band(other);
    g->addColumn(QStringLiteral("IsClose"), QStringLiteral("關閉")).band(other).check();
    g->addColumn(QStringLiteral("PS")).band(other);
    g->setFitWidth(false); // 23 columns: the list scrolls rather than squeezing them
    g->onCellText([this](int recNo, const QString& field) {
        if (field.compare(QLatin1String("Leave_Mon"), Qt::CaseInsensitive) == 0
            && fieldAt(qryGuest, recNo, field).toDouble() < 0)
            return kRed;
        return QColor();
    });
    connect(g, &DBGrid::rowActivated, this, [this](int recNo) { guarded([this, recNo] { ChooseForDesk(recNo); }); });
}

void TF11_FindGuest::buildBottom()
{
    auto* bottom = new QWidget(Panel1);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);

    // The summary of the selected customer, read-only.
    auto* summary = new QGroupBox(bottom);
    summary->setObjectName(QStringLiteral("grpSummary"));
    auto* form = new QFormLayout(summary);
    auto bindShown = [&](auto* control, const QString& label, const QString& field) {
        control->bind(qryGuest, field);
        control->setReadOnly(true);
        control->setObjectName(QStringLiteral("sum") + field);
        form->addRow(label, control);
    };
    bindShown(new DBEdit(summary), QStringLiteral("手        機："), QStringLiteral("TEL2"));
    bindShown(new DBMoneyEdit(summary), QStringLiteral("現        存："), QStringLiteral("Leave_Mon"));
    bindShown(new DBMoneyEdit(summary), QStringLiteral("繳款累計："), QStringLiteral("Total_Mon"));
    bindShown(new DBIntEdit(summary), QStringLiteral("繳款次數："), QStringLiteral("Pay_Num"));
    auto* discount = new DBMoneyEdit(summary);
    discount->setDisplayFormat(QStringLiteral("0.##"));
    bindShown(discount, QStringLiteral("繳款折扣："), QStringLiteral("Last_Dis"));
    auto* memo = new DBMemo(summary);
    memo->setMaximumHeight(60);
    bindShown(memo, QStringLiteral("備        註："), QStringLiteral("PS"));
    auto* closed = new DBCheckBox(QStringLiteral("關閉"), summary);
    bindShown(closed, QString(), QStringLiteral("IsClose"));
    row->addWidget(summary, 0);

    // The loan history of the selected customer.
    auto* history = new QGroupBox(QStringLiteral("租過資訊"), bottom);
    history->setObjectName(QStringLiteral("grpHistory"));
    auto* col = new QVBoxLayout(history);
    CheckBox1 = new QCheckBox(QStringLiteral("只顯示末還書"), history);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    dxDBGrid2 = new DBGrid(history);
    dxDBGrid2->setObjectName(QStringLiteral("dxDBGrid2"));
    dxDBGrid2->setEditable(false);
    dxDBGrid2->setRowSelect(true);
    const QString band = QStringLiteral("租還明細");
    dxDBGrid2->addColumn(QStringLiteral("Book_Code"), QStringLiteral("書本條碼號")).band(band).width(80);
    dxDBGrid2->addColumn(QStringLiteral("Name"), QStringLiteral("書名")).band(band).tint(kTint).width(110);
    dxDBGrid2->addColumn(QStringLiteral("Book.Vol"), QStringLiteral("集數")).band(band).width(40);
    dxDBGrid2->addColumn(QStringLiteral("RDate"), QStringLiteral("借書日")).band(band).date().width(80);
    dxDBGrid2->addColumn(QStringLiteral("BDate"), QStringLiteral("還書日")).band(band).date().width(80);
    dxDBGrid2->addColumn(QStringLiteral("Bstate"), QStringLiteral("狀態")).band(band).lookup(kStates).width(56);
    dxDBGrid2->addColumn(QStringLiteral("OverMoney"), QStringLiteral("逾期金")).band(band).number().width(56);
    dxDBGrid2->onCellText([this](int recNo, const QString& field) {
        if (field.compare(QLatin1String("Bstate"), Qt::CaseInsensitive) == 0
            && fieldAt(qryRent, recNo, field).toString().compare(QLatin1String("RetB"), Qt::CaseInsensitive) == 0)
            return kRed;
        return QColor();
    });
    dxDBGrid2->setDataset(qryRent);
    col->addWidget(CheckBox1);
    col->addWidget(dxDBGrid2, 1);
    row->addWidget(history, 2);
    panelLayout()->addWidget(bottom, 1);

    connect(CheckBox1, &QCheckBox::toggled, this, [this] { guarded([this] { showHistory(); }); });
}

GuestSearch::Field TF11_FindGuest::chosenField() const
{
    return GuestSearch::Field(dxImageEdit1->currentData().toInt());
}

void TF11_FindGuest::applyFilter(const GuestSearch::Filter& filter)
{
    qryGuest->setTable(QStringLiteral("Guest"), filter.where, filter.orderBy);
    qryGuest->clearParams();
    for (auto it = filter.params.cbegin(); it != filter.params.cend(); ++it)
        qryGuest->setParam(it.key(), it.value());
    try {
        qryGuest->open();
    } catch (...) {
        // A refused statement leaves the list closed and empty; the error box says why.
        qryRent->close();
        ShowRecordStatus(*qryGuest, 1);
        throw;
    }
}

void TF11_FindGuest::Search()
{
    applyFilter(GuestSearch::search(chosenField(), dxEdit1->text(), chkClose->isChecked()));
    dxEdit1->selectAll();
}

QString TF11_FindGuest::currentCode() const
{
    return fieldAt(qryGuest, qryGuest->recNo(), QStringLiteral("GuestCode")).toString();
}

void TF11_FindGuest::showHistory()
{
    const QString code = currentCode();
    if (code.isEmpty()) {
        qryRent->close(); // no customer: no history of the one shown before
    } else {
        qryRent->setSql(GuestSearch::historySql(CheckBox1->isChecked()));
        qryRent->clearParams();
        qryRent->setParam(QStringLiteral("code"), code);
        qryRent->open();
    }
    ShowRecordStatus(*qryGuest, 1);
}

void TF11_FindGuest::ChooseForDesk(int recNo)
{
    if (!F00_Main || recNo < 1)
        return;
    qryGuest->moveTo(recNo);
    const QString code = currentCode();
    if (code.isEmpty())
        return;
    F00_Main->edtName->setText(code);
    F00_Main->btnOK->click();
    exitWindow();
    if (F00_Main)
        bringToFront(F00_Main);
}

void TF11_FindGuest::Action2Execute() { TF01_NewGuest::OpenForNew(this); }

void TF11_FindGuest::Action3Execute() { dxImageEdit1->setFocus(); }

void TF11_FindGuest::Action4Execute() { TF01_NewGuest::OpenForEdit(this, currentCode()); }

void TF11_FindGuest::Action5Execute()
{
    if (!qryGuest->isOpen() || qryGuest->recNo() < 1)
        return;
    if (Prompts::confirm(QStringLiteral("確定要刪除此筆資料！"), QStringLiteral("刪除"), Buttons::OkCancel,
                         QStringLiteral("Waning"))
        != Answer::Ok)
        return;
    qryGuest->remove();
}

void TF11_FindGuest::ActionMenuExecute()
{
    dxEdit1->setFocus();
    applyFilter(GuestSearch::allOpen());
}

void TF11_FindGuest::openGraph()
{
    const QString code = currentCode();
    const QString name = fieldAt(qryGuest, qryGuest->recNo(), QStringLiteral("Name")).toString();
    QWidget* chart = openWindow(QStringLiteral("TF41_GuestGraph"), this);
    if (auto* target = dynamic_cast<CustomerTarget*>(chart))
        target->SetCustomer(code, name);
}

bool TF11_FindGuest::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == dxImageEdit1 || watched == dxEdit1)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && watched == dxImageEdit1 && enter) {
            dxEdit1->setFocus();
            return true;
        }
        if (plain && watched == dxEdit1 && enter) {
            guarded([this] { Search(); });
            return true;
        }
        if (plain && watched == dxEdit1 && key->key() == Qt::Key_Down) {
            dxDBGrid1->setFocus();
            return true;
        }
    }
    return Tfm_BaseISNAVGrid::eventFilter(watched, event);
}
