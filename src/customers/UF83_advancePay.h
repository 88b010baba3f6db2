// The editor of the prepayment schemes ("預繳金額設定"), and the scheme grid that
// it shares with the pay window.
#pragma once

#include "db/Dataset.h" // Ufm_BaseISNAV.h needs the whole class
#include "framework/Ufm_BaseISNAVGrid.h"

// Number, name, money paid, points credited, the range for typed amounts and the rate.
// The dataset gets the calculated field "Rate"; call before it is opened.
void setUpSchemeGrid(Dataset& schemes, DBGrid& grid);

class TF83_advancePay : public Tfm_BaseISNAVGrid {
    Q_OBJECT
public:
    explicit TF83_advancePay(QWidget* owner = nullptr);

    Dataset* tabPayMoney = nullptr;

protected:
    void Action2Execute() override; // a new scheme row
    void Action3Execute() override; // the current row into edit
    void Action4Execute() override; // delete the current row, without asking
    // A pending edit of an existing row is saved; a new row not yet saved is dropped.
    void FormClose(CloseAction& action) override;
};

extern TF83_advancePay* F83_advancePay;
