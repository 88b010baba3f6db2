// The manual-amount dialog ("   自行輸入金額"): money paid and the points it buys,
// proposed from the scheme whose range covers the amount.
#pragma once

#include "framework/Ufm_Base.h"

class QLineEdit;
class QPushButton;

// A box for whole numbers (digits only); an empty box counts as 0.
QLineEdit* newWholeNumberBox(const QString& objectName, QWidget* parent);
qint64 wholeNumberOf(const QLineEdit* box);

class TF03_PayKeyIn : public Tfm_Base {
    Q_OBJECT
public:
    explicit TF03_PayKeyIn(QWidget* owner = nullptr);

    QLineEdit* edtMoney = nullptr;
    QLineEdit* edtPiece = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // When the focus leaves a filled edtMoney: the covering scheme's points go into edtPiece;
    // without a covering scheme edtPiece keeps what it holds.
    void proposePoints();

signals:
    // "確定(&O)": the owner books it and, once booked, closes (and so destroys) this dialog.
    void confirmed(qint64 paid, qint64 credited);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

extern TF03_PayKeyIn* F03_PayKeyIn;
