// The customer search "尋找客戶": the customer list found by one field, the summary of
// the selected customer and its loan history; hands a customer to the desk, opens the
// registration on it, deletes it, or opens its analysis chart.
#pragma once

#include "customers/GuestRules.h"
#include "framework/Ufm_BaseISNAVGrid.h"

class DBGrid;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TF11_FindGuest : public Tfm_BaseISNAVGrid {
    Q_OBJECT
public:
    explicit TF11_FindGuest(QWidget* owner = nullptr);

    // The search of the value box over the chosen field (button "OK", Enter in the value box).
    void Search();
    // Hands the customer of the list's row to the desk and closes (Enter or a double click on the list).
    void ChooseForDesk(int recNo);
    // The field the choice stands on.
    GuestSearch::Field chosenField() const;

    Dataset* qryGuest = nullptr;
    Dataset* qryRent = nullptr;
    DBGrid* dxDBGrid2 = nullptr;
    QComboBox* dxImageEdit1 = nullptr;
    QLineEdit* dxEdit1 = nullptr;
    QPushButton* btnEntScan = nullptr;
    QCheckBox* chkClose = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QAction* ActionGuestGraph = nullptr;

protected:
    void Action2Execute() override;
    void Action3Execute() override;
    void Action4Execute() override;
    void Action5Execute() override;
    void ActionMenuExecute() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSearchBar();
    void buildList();
    void buildBottom();
    void applyFilter(const GuestSearch::Filter& filter);
    void showHistory();
    void openGraph();
    QString currentCode() const;
};

extern TF11_FindGuest* F11_FindGuest;
