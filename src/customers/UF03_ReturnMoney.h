// The refund dialog ("  退款"): points of the paying customer's balance handed back
// as cash at the customer's last discount.
#pragma once

#include "customers/Payments.h"
#include "framework/Ufm_Base.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TF03_ReturnMoney : public Tfm_Base {
    Q_OBJECT
public:
    // The modal result once money was handled (refunded, or refused as too much):
    // the pay window then reopens the desk's customer query and closes too.
    static constexpr int kHandled = 1;

    explicit TF03_ReturnMoney(QWidget* owner = nullptr);

    QLineEdit* dxEdit1 = nullptr; // points to refund
    QLabel* Label3 = nullptr;     // cash to hand back
    QLabel* Label5 = nullptr;     // the customer's balance
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // The check when the focus leaves dxEdit1: more points than the balance are refused
    // (message, both fields back to "0", focus back); otherwise Label3 shows their cash.
    bool checkPoints();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void confirm();

    Payments::RefundBasis m_basis;
};

extern TF03_ReturnMoney* F03_ReturnMoney;
