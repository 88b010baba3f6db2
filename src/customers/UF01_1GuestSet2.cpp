// The advanced settings window: its fields over the registration window's row, the
// password confirmation as the focus leaves the password field, and the save on close.
#include "customers/UF01_1GuestSet2.h"

#include "customers/GuestRules.h"
#include "framework/BoundForm.h"
#include "framework/DBControls.h"
#include "framework/ShopApplication.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

TF01_1GuestSet2* F01_1GuestSet2 = nullptr;

TF01_1GuestSet2::TF01_1GuestSet2(QWidget* owner, Dataset* source) : Tfm_BaseIS(owner), m_source(source)
{
    setObjectName(QStringLiteral("F01_1GuestSet2"));
    setWindowTitle(QStringLiteral("進階設定"));
    for (QAction* a : {Action2, Action3, Action4, Action5, ActionMenu})
        setButtonVisible(a, false);
    buildFields();
    setKeyNavigation(KeyNav::Both);
}

void TF01_1GuestSet2::buildFields()
{
    auto* body = new QWidget(this);
    auto* outer = new QVBoxLayout(body);
    labTitle = new QLabel(body);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    QFont big = labTitle->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    labTitle->setFont(big);
    outer->addWidget(labTitle);

    auto* columns = new QHBoxLayout;
    outer->addLayout(columns, 1);
    auto group = [&](const QString& title) {
        auto* g = new QGroupBox(title, body);
        columns->addWidget(g, 1);
        return new QFormLayout(g);
    };
    QFormLayout* account = group(QStringLiteral("帳號"));
    QFormLayout* counts = group(QStringLiteral("累計"));
    QFormLayout* limits = group(QStringLiteral("限本"));

    BoundForm form(body, m_source);
    form.text(account, QStringLiteral("客戶編號："), QStringLiteral("GuestCode"));
    edtPassword = form.text(account, QStringLiteral("密碼："), QStringLiteral("Password"));
    edtPassword->setMasked(true);
    edtPassword->installEventFilter(this);
    chkPwdUse = form.check(account, QStringLiteral("使用密碼認証(&U)"), QStringLiteral("pwdUse"));
    form.money(account, QStringLiteral("繳款累計："), QStringLiteral("Total_Mon"), QStringLiteral("#,0"));
    form.date(account, QStringLiteral("最後繳款日："), QStringLiteral("Last_Mon"));
    form.date(account, QStringLiteral("建檔日："), QStringLiteral("Come_Date"));
    form.date(account, QStringLiteral("帳號到期日："), QStringLiteral("Over_Date"));
    form.date(account, QStringLiteral("最近租借日："), QStringLiteral("Last_Rent"));
    form.text(account, QStringLiteral("索引："), QStringLiteral("Index"));

    form.whole(counts, QStringLiteral("外借次數："), QStringLiteral("RentNo"));
    form.whole(counts, QStringLiteral("內閱次數："), QStringLiteral("RentInNo"));
    form.whole(counts, QStringLiteral("購書次數："), QStringLiteral("BuyNo"));
    form.whole(counts, QStringLiteral("繳款次數："), QStringLiteral("Pay_Num"));
    form.money(counts, QStringLiteral("最後繳款折扣："), QStringLiteral("Last_Dis"), QStringLiteral("0.##"));
    form.money(counts, QStringLiteral("花費累計："), QStringLiteral("Tot_Cost"));
    form.money(counts, QStringLiteral("逾期累計："), QStringLiteral("Tot_OverDate"));

    form.whole(limits, QStringLiteral("新書限本："), QStringLiteral("Lim_New"));
    form.whole(limits, QStringLiteral("漫畫限本："), QStringLiteral("Lim_Comic"));
    form.whole(limits, QStringLiteral("小說限本："), QStringLiteral("Lim_Fiction"));
    form.whole(limits, QStringLiteral("雜誌限本："), QStringLiteral("Lim_Magazine"));
    form.whole(limits, QStringLiteral("CD限本："), QStringLiteral("Lim_CD"));
    form.whole(limits, QStringLiteral("其它限本："), QStringLiteral("Lim_OTH"));
    form.applyTabOrder();
    setCentralWidget(body);
    resize(760, 420);
}

void TF01_1GuestSet2::SetGuestName(const QString& name)
{
    if (labTitle->text() != name)
        labTitle->setText(name);
}

bool TF01_1GuestSet2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtPassword && !m_checking) {
        if (event->type() == QEvent::FocusIn && !m_inPassword) {
            m_inPassword = true;
            m_oldPassword = edtPassword->text().left(255);
        } else if (event->type() == QEvent::FocusOut) {
            // Another window coming to the front does not leave the field: the clerk comes back to it.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (m_inPassword && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                guarded([this] { passwordLeft(); });
        }
    }
    return Tfm_BaseIS::eventFilter(watched, event);
}

void TF01_1GuestSet2::passwordLeft()
{
    m_inPassword = false;
    m_checking = true;
    const GuestRules::PasswordVerdict verdict = [this] {
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{m_checking};
        return GuestRules::leavePassword(edtPassword->text(), m_oldPassword);
    }();
    if (verdict.restore && edtPassword->text() != m_oldPassword)
        m_source->setValue(QStringLiteral("Password"), m_oldPassword.isEmpty() ? QVariant() : QVariant(m_oldPassword));
    // Once the focus has settled where the clerk sent it: a focus change inside another one is lost.
    if (verdict.refocus)
        QTimer::singleShot(0, edtPassword, [this] { edtPassword->setFocus(Qt::OtherFocusReason); });
}

void TF01_1GuestSet2::FormClose(CloseAction& action)
{
    Q_UNUSED(action);
    // A password typed just before closing is confirmed like one the clerk tabbed out of.
    if (m_inPassword)
        passwordLeft();
    if (!m_source->isEditing())
        m_source->edit();
    m_source->post();
}
