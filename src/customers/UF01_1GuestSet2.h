// The advanced settings "進階設定" of the customer on the registration window's row:
// password with its confirmation, counters, totals and the six borrowing limits.
#pragma once

#include "framework/Ufm_BaseIS.h"

class Dataset;
class DBCheckBox;
class DBEdit;
class QLabel;

class TF01_1GuestSet2 : public Tfm_BaseIS {
    Q_OBJECT
public:
    // `source` is the registration window's Table1: both windows show and edit the same row.
    TF01_1GuestSet2(QWidget* owner, Dataset* source);

    // The title label shows the customer's name.
    void SetGuestName(const QString& name);

    QLabel* labTitle = nullptr;
    DBEdit* edtPassword = nullptr;
    DBCheckBox* chkPwdUse = nullptr;

protected:
    // The row is put into edit and saved, so the settings take effect without a further key.
    void FormClose(CloseAction& action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void passwordLeft();

    Dataset* m_source;
    QString m_oldPassword;
    bool m_checking = false;   // the confirmation is being asked
    bool m_inPassword = false; // the field took the focus and has not been left since
};

extern TF01_1GuestSet2* F01_1GuestSet2;
