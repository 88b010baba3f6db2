// The pay-and-refund window ("繳退款"): pays a scheme row for the paying customer,
// and opens the manual-amount and refund dialogs.
#pragma once

#include "db/Dataset.h" // Ufm_BaseISNAV.h needs the whole class
#include "framework/Ufm_BaseISNAVGrid.h"

class TF03_PayRtMoney : public Tfm_BaseISNAVGrid {
    Q_OBJECT
public:
    explicit TF03_PayRtMoney(QWidget* owner = nullptr);

    // The desk stores its open customer here right before it shows the window.
    static void SetPayCustomer(const QString& code);
    static QString GetPayCustomer();

    // Books the payment for the paying customer; once it is booked, reopens the desk's
    // customer query and closes this window (and the dialogs it owns). False when refused:
    // a message said why and the window stays.
    bool CommitPayment(qint64 paid, qint64 credited);

    Dataset* qryPayMoney = nullptr;

protected:
    void Action3Execute() override; // the manual-amount dialog, modeless
    void Action4Execute() override; // the refund dialog, modal

private:
    void payRow(int recNo);
    void finishBooking();
};

extern TF03_PayRtMoney* F03_PayRtMoney;
