// The customer registration window: its fields, the save-and-next key, the advanced
// settings, the age display and the address copy.
#include "customers/UF01_NewGuest.h"

#include "core/UCustomDB.h"
#include "customers/GuestRules.h"
#include "customers/UF01_1GuestSet2.h"
#include "db/Clock.h"
#include "db/Schema.h"
#include "desk/UF00_Main.h"
#include "framework/BoundForm.h"
#include "framework/DBControls.h"
#include "framework/DBNavigator.h"
#include "framework/ShopApplication.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TF01_NewGuest* F01_NewGuest = nullptr;

namespace {

const QString kNewCaption = QStringLiteral("新增(&I)");
const QString kNewButton = QStringLiteral("新增(&I)　　");
const QString kEditCaption = QStringLiteral("修改(&F)");

} // namespace

TF01_NewGuest::TF01_NewGuest(QWidget* owner) : Tfm_BaseISNAV(owner)
{
    setObjectName(QStringLiteral("F01_NewGuest"));
    setWindowTitle(QStringLiteral("新增客戶"));

    Table1 = new Dataset(db(), this);
    Table1->setObjectName(QStringLiteral("Table1"));
    Table1->setTable(QStringLiteral("Guest"), QStringLiteral("GuestCode IS NULL OR GuestCode <> :shopAccount"));
    Table1->setParam(QStringLiteral("shopAccount"), Schema::kShopAccount);
    Table1->afterInsert = [this](Dataset& d) {
        GuestRules::fillNewRow(d);
        ShowRecordStatus(d, 1);
    };
    Table1->beforePost = [](Dataset& d) { GuestRules::checkBeforePost(d); };
    Table1->afterPost = [this](Dataset&) { afterSave(); };
    Table1->afterScroll = [this](Dataset& d) { ShowRecordStatus(d, 1); };

    setCaption(Action2, kNewCaption);
    setButtonCaption(Action2, kNewButton);
    setCaption(Action3, QStringLiteral("進階設定(&S)"));
    setButtonVisible(Action4, false);
    setButtonVisible(Action5, false);
    setPanelText(0, QStringLiteral("自動編號："));

    BiDiDBNavigator1->setVisibleButtons(DBNavigator::allButtons());
    buildFields();
    setDataSource(Table1);
    Table1->open();
    setKeyNavigation(KeyNav::Both);
    resize(720, 520);
}

void TF01_NewGuest::buildFields()
{
    auto* body = new QWidget(Panel1);
    auto* columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);
    grpDetails = new QGroupBox(QStringLiteral("Details"), body);
    grpDetails->setObjectName(QStringLiteral("grpDetails"));
    grpSets = new QGroupBox(QStringLiteral("Sets"), body);
    grpSets->setObjectName(QStringLiteral("grpSets"));
    auto* left = new QFormLayout(grpDetails);
    auto* right = new QFormLayout(grpSets);
    columns->addWidget(grpDetails, 1);
    columns->addWidget(grpSets, 1);
    panelLayout()->addWidget(body, 1);

    BoundForm form(body, Table1);
    edtGuestCode = form.text(left, QStringLiteral("客戶編號："), QStringLiteral("GuestCode"));
    edtName = form.text(left, QStringLiteral("姓名："), QStringLiteral("Name"));
    cbSex = form.choice(left, QStringLiteral("姓別："), QStringLiteral("SEX"),
                        {{QStringLiteral("n"), QStringLiteral("Unknown (未知)")},
                         {QStringLiteral("男"), QStringLiteral("男")},
                         {QStringLiteral("女"), QStringLiteral("女")}});
    form.text(left, QStringLiteral("電話："), QStringLiteral("TEL"));
    form.text(left, QStringLiteral("手機："), QStringLiteral("TEL2"));
    form.text(left, QStringLiteral("身份證字號："), QStringLiteral("ID_number"));
    form.text(left, QStringLiteral("VIP卡號："), QStringLiteral("VIP_number"));
    edtAddr = form.text(left, QStringLiteral("地址："), QStringLiteral("ADDR"));
    edtAddr2 = form.text(left, QStringLiteral("戶藉地址："), QStringLiteral("ADDR2"));

    // The birthday with the age beside it.
    auto* birthRow = new QWidget(body);
    auto* birthLayout = new QHBoxLayout(birthRow);
    birthLayout->setContentsMargins(0, 0, 0, 0);
    edtBirthday = new DBDateEdit(birthRow);
    edtBirthday->setObjectName(QStringLiteral("Birthday"));
    labAge = new QLabel(birthRow);
    labAge->setObjectName(QStringLiteral("labAge"));
    labAge->setMinimumWidth(48);
    birthLayout->addWidget(edtBirthday, 1);
    birthLayout->addWidget(labAge);
    form.place(left, QStringLiteral("生日："), birthRow, edtBirthday);
    connect(edtBirthday, &QDateEdit::dateChanged, this, &TF01_NewGuest::showAge);
    edtBirthday->bind(Table1, QStringLiteral("Birthday"));
    form.text(left, QStringLiteral("E-mail："), QStringLiteral("Email"));

    form.money(right, QStringLiteral("現存："), QStringLiteral("Leave_Mon"));
    form.money(right, QStringLiteral("押金："), QStringLiteral("Pledge_Mon"));
    form.money(right, QStringLiteral("入會金："), QStringLiteral("Entrance_fee"));
    form.text(right, QStringLiteral("分類："), QStringLiteral("Class"));
    form.text(right, QStringLiteral("證件："), QStringLiteral("Papers"));
    form.text(right, QStringLiteral("證件儲位："), QStringLiteral("ID_Save"));
    form.check(right, QStringLiteral("關閉此帳號"), QStringLiteral("IsClose"));
    memPS = form.memo(right, QStringLiteral("備註："), QStringLiteral("PS"));
    form.applyTabOrder();
    edtAddr->installEventFilter(this);
    showAge();
}

TF01_NewGuest* TF01_NewGuest::OpenForNew(QWidget* owner)
{
    TF01_NewGuest* w = ensureSingle(F01_NewGuest, owner);
    guarded([w] { w->StartNew(); });
    bringToFront(w);
    w->edtGuestCode->setFocus();
    return w;
}

TF01_NewGuest* TF01_NewGuest::OpenForEdit(QWidget* owner, const QString& code)
{
    TF01_NewGuest* w = ensureSingle(F01_NewGuest, owner);
    guarded([w, code] { w->OpenForEdit(code); });
    bringToFront(w);
    w->edtGuestCode->setFocus();
    return w;
}

void TF01_NewGuest::setMode(Mode mode)
{
    m_mode = mode;
    setButtonCaption(Action2, mode == Mode::New ? kNewButton : kEditCaption);
}

void TF01_NewGuest::StartNew()
{
    setMode(Mode::New);
    // A new row already waiting (the window was closed before it was saved) is the new row:
    // appending again would only try to save it first.
    if (Table1->state() != Dataset::State::Insert)
        Table1->append();
}

void TF01_NewGuest::dropCodelessNewRow()
{
    // A new row without a code can never be saved; moving to the customer asked for must not stop on it.
    if (Table1->state() == Dataset::State::Insert && Table1->text(QStringLiteral("GuestCode")).trimmed().isEmpty())
        Table1->cancel();
}

void TF01_NewGuest::OpenForEdit(const QString& code)
{
    if (code.isEmpty()) {
        StartNew();
        return;
    }
    setMode(Mode::Edit);
    bool ok = false;
    try {
        dropCodelessNewRow();
        if (Table1->locate(QStringLiteral("GuestCode"), code)
            && Table1->text(QStringLiteral("GuestCode")).compare(code, Qt::CaseSensitive) == 0) {
            Table1->edit();
            ok = true;
        }
    } catch (const Abort&) {
    } catch (const DbError&) {
    }
    if (!ok) {
        setMode(Mode::New);
        MsgBox(QStringLiteral("資料錯誤，請刪除此筆資料，重新輸入"), QStringLiteral("錯誤"), QStringLiteral("Waning"));
    }
}

void TF01_NewGuest::Action2Execute()
{
    bool ok = false;
    try {
        if (m_mode == Mode::New) {
            Table1->append(); // saves the row being entered or edited first
        } else {
            if (Table1->state() == Dataset::State::Edit)
                Table1->post();
            MsgBox(QStringLiteral("資料修改完成！！"), QStringLiteral("完成"), QStringLiteral("Inf"));
        }
        ok = true;
    } catch (const Abort&) {
    } catch (const DbError&) {
    }
    if (!ok) {
        MsgBox(QStringLiteral("有欄位空白，請填資料！"), QStringLiteral("空白的錯誤！"), QStringLiteral("Waning"));
        return;
    }
    if (m_mode == Mode::New)
        edtGuestCode->setFocus();
}

void TF01_NewGuest::Action3Execute()
{
    if (!Table1->isEditing())
        Table1->edit();
    Table1->post();
    TF01_1GuestSet2* settings = ensureSingle(F01_1GuestSet2, this, Table1);
    bringToFront(settings);
    settings->SetGuestName(edtName->text().left(255));
}

void TF01_NewGuest::ActionMenuExecute() { edtGuestCode->setFocus(); }

void TF01_NewGuest::FormClose(CloseAction& action) { action = CloseAction::Hide; }

bool TF01_NewGuest::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtAddr && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded([this] { copyAddress(); });
    }
    return Tfm_BaseISNAV::eventFilter(watched, event);
}

void TF01_NewGuest::copyAddress()
{
    const QString addr = edtAddr->text();
    if (addr.isEmpty() || !edtAddr->link().canEdit())
        return;
    if (Table1->text(QStringLiteral("ADDR2")) != addr)
        Table1->setValue(QStringLiteral("ADDR2"), addr);
}

void TF01_NewGuest::showAge()
{
    labAge->setText(edtBirthday->isNull() ? QString() : GuestRules::ageText(edtBirthday->date(), Clock::today()));
}

void TF01_NewGuest::afterSave()
{
    ShowRecordStatus(*Table1, 1);
    if (F00_Main)
        F00_Main->RefreshCustomer();
}
