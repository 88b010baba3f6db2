// The refund dialog: the field check of the points, their cash, and the confirmation.
#include "customers/UF03_ReturnMoney.h"

#include "customers/UF03_PayKeyIn.h"
#include "framework/OkCancelButtons.h"
#include "framework/RoundedCorners.h"
#include "framework/ShopApplication.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

TF03_ReturnMoney* F03_ReturnMoney = nullptr;

TF03_ReturnMoney::TF03_ReturnMoney(QWidget* owner) : Tfm_Base(owner)
{
    setObjectName(QStringLiteral("F03_ReturnMoney"));
    setWindowTitle(QStringLiteral("  退款"));
    setWindowFlag(Qt::Tool, true);

    auto* grid = new QGridLayout(surface());
    grid->setContentsMargins(24, 20, 24, 16);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    dxEdit1 = newWholeNumberBox(QStringLiteral("dxEdit1"), surface());
    dxEdit1->setText(QStringLiteral("0"));
    Label3 = new QLabel(QStringLiteral("0"), surface());
    Label3->setObjectName(QStringLiteral("Label3"));
    Label5 = new QLabel(QStringLiteral("0"), surface());
    Label5->setObjectName(QStringLiteral("Label5"));
    for (QLabel* l : {Label3, Label5})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(new QLabel(QStringLiteral("退款點數："), surface()), 0, 0, Qt::AlignRight);
    grid->addWidget(dxEdit1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("實際金頠："), surface()), 1, 0, Qt::AlignRight);
    grid->addWidget(Label3, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("目前金額："), surface()), 2, 0, Qt::AlignRight);
    grid->addWidget(Label5, 2, 1);

    QHBoxLayout* buttons = makeOkCancelRow(surface(), btnOK, btnCancel);
    btnOK->setAutoDefault(true);
    btnCancel->setAutoDefault(true);
    grid->addLayout(buttons, 3, 0, 1, 2);

    setTabOrder(dxEdit1, btnOK);
    setTabOrder(btnOK, btnCancel);
    setKeyNavigation(KeyNav::Both);
    dxEdit1->installEventFilter(this);

    connect(btnOK, &QPushButton::clicked, this, [this] { guarded([this] { confirm(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TF03_ReturnMoney::exitWindow);
    resize(300, 190);

    if (const auto basis = Payments::refundBasis(Payments::GetPayCustomer())) {
        m_basis = *basis;
        Label5->setText(QString::number(m_basis.balance, 'f', QLocale::FloatingPointShortest));
    } else {
        Prompts::msgBox(QStringLiteral("參數傳遞錯誤！\n\r找不到該筆顧客代碼！"), QStringLiteral("程序錯誤！"),
                        QStringLiteral("Waning"));
    }
    keepRoundedCorners(this);
}

bool TF03_ReturnMoney::checkPoints()
{
    const qint64 points = wholeNumberOf(dxEdit1);
    if (double(points) > m_basis.balance) {
        Label3->setText(QStringLiteral("0"));
        dxEdit1->setText(QStringLiteral("0"));
        Prompts::msgBox(QStringLiteral("退款金額過多！"), QStringLiteral("超出！"), QStringLiteral("Err"));
        dxEdit1->setFocus(Qt::OtherFocusReason);
        dxEdit1->selectAll();
        return false;
    }
    Label3->setText(QString::number(Payments::refundCash(points, m_basis.lastDis)));
    return true;
}

void TF03_ReturnMoney::confirm()
{
    // Reached also by the button's key without leaving the box: the field check comes first.
    if (!checkPoints())
        return;
    const Payments::Result r = Payments::refund(wholeNumberOf(dxEdit1), Payments::dutyCode());
    if (r != Payments::Result::Refused)
        setModalResult(kHandled);
}

bool TF03_ReturnMoney::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == dxEdit1 && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Checked once the focus change is over, so the message and the focus given back to the
        // box do not run inside it; a press on a button that lost the focus so is not a click.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] { guarded([this] { checkPoints(); }); });
    }
    return Tfm_Base::eventFilter(watched, event);
}

void TF03_ReturnMoney::showEvent(QShowEvent* event)
{
    Tfm_Base::showEvent(event);
    dxEdit1->setFocus(Qt::OtherFocusReason);
    dxEdit1->selectAll();
}

