// The price adjustment of one desk line: its price and due date, with a month
// calendar; OK hands both to the desk's rules, cancel changes nothing.
#pragma once

#include "framework/Ufm_Base.h"

class DeskSession;
class QCalendarWidget;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class TF00_SetMoney : public Tfm_Base {
    Q_OBJECT
public:
    // Adjusts the line shown in row `recNo` of the desk's lines.
    TF00_SetMoney(QWidget* owner, DeskSession* session, int recNo);

    QLabel* labCode = nullptr;
    QLabel* labName = nullptr;
    QLabel* labVol = nullptr;
    QLineEdit* edtPiece = nullptr;
    QDateEdit* edtIDate = nullptr;
    QCalendarWidget* MonthCalendar1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // The loan row being adjusted.
    qint64 loanId() const { return m_idno; }
    void Ok();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int rowOfLoan() const;
    void followDesk();

    DeskSession* m_session;
    qint64 m_idno = 0;
};

extern TF00_SetMoney* F00_SetMoney;
