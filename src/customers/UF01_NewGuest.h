// The customer registration window "新增客戶": registers new customers and edits one,
// over the Guest table without the shop's own account; only hidden when closed.
#pragma once

#include "framework/Ufm_BaseISNAV.h"

class DBCheckBox;
class DBDateEdit;
class DBEdit;
class DBMemo;
class DBMoneyEdit;
class DBValueChoice;
class QLabel;
class QGroupBox;

class TF01_NewGuest : public Tfm_BaseISNAV {
    Q_OBJECT
public:
    enum class Mode { New, Edit };

    explicit TF01_NewGuest(QWidget* owner = nullptr);

    // Creates the window when there is none (owned by `owner`), puts it in new mode on a fresh
    // row and shows it. A new row still pending from an earlier opening is kept as it is.
    static TF01_NewGuest* OpenForNew(QWidget* owner);
    // Creates the window when needed and shows it editing the customer with that code; an empty
    // code opens it for a new customer.
    static TF01_NewGuest* OpenForEdit(QWidget* owner, const QString& code);
    // Edit mode on the customer with that code (empty: new mode on a fresh row).
    void OpenForEdit(const QString& code);
    // New mode on a fresh row.
    void StartNew();

    Mode mode() const { return m_mode; }

    // The whole Guest table but the shop's own account.
    Dataset* Table1 = nullptr;

    DBEdit* edtGuestCode = nullptr;
    DBEdit* edtName = nullptr;
    DBValueChoice* cbSex = nullptr;
    DBEdit* edtAddr = nullptr;
    DBEdit* edtAddr2 = nullptr;
    DBDateEdit* edtBirthday = nullptr;
    QLabel* labAge = nullptr;
    DBMemo* memPS = nullptr;
    QGroupBox* grpDetails = nullptr;
    QGroupBox* grpSets = nullptr;

protected:
    void Action2Execute() override;
    void Action3Execute() override;
    void ActionMenuExecute() override;
    void FormClose(CloseAction& action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void setMode(Mode mode);
    void dropCodelessNewRow();
    void showAge();
    void copyAddress();
    void afterSave();

    Mode m_mode = Mode::New;
};

extern TF01_NewGuest* F01_NewGuest;
