// The rental desk without its window: the desk mode, the open customer with
// the lines of the visit and their running totals, settlement, in-store
// readings and cash amounts. The desk window forwards the input box, keys and
// clicks here and renders what this exposes; it holds no rule of its own.
//
// How the window uses it:
//  - Enter in edtName and btnOK call SubmitInput(text); btnReset and ActionMenu
//    call ResetDesk(); Action4 calls Action4(); Space, F6 and F9 in the grid call
//    ToggleLine, Action6 and Action9 with the grid's current record number of
//    qryBook(); the price adjustment calls SetLinePrice on OK (and nothing on
//    cancel: the running totals are kept here); the note editor calls SavePS.
//  - After every operation changed() is emitted; the window then reads the
//    texts (labH1(), bigLabel(), panelText(0..2), lab1RentBook(), ...), the
//    enabled actions (isEnabled()) and redraws the grid. inputSet() tells what
//    the input box must now hold and whether its text is selected (focused).
//  - The grid shows qryBook() with the calculated fields "State", "RDate2" and
//    "PS"; rowColour() gives a row's background and remarkIsRed() whether its
//    "PS" cell is drawn red. The bound labels show qryGuest(): Leave_Mon,
//    Tot_Cost, Tot_OverDate, Papers, Pledge_Mon, PS. Reopening qryGuest from
//    another window (a payment) copies the customer again and keeps the totals.
//  - Messages, the customer password and the beep go through Prompts. When a
//    scanned book is out with several customers, the chooser callback picks one.
//
// Nothing here throws to the caller: an engine error ends the operation and is
// shown through Prompts (kind "Err"); what belongs together is written in one
// transaction, so the database keeps all of it or none.
#pragma once

#include "core/Records.h"
#include "db/Dataset.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class DeskSession : public QObject {
    Q_OBJECT
public:
    enum Mode : int {
        ModeWaiting = 0,       // waiting for a customer
        ModeCustomer = 3,      // customer open: rent and return
        ModeWalkIn = 4,        // walk-in in-store reading
        ModeAmount = 5,        // cash amount
        ModeMemberReading = 6, // in-store reading by the open customer
    };
    enum class Lookup { Found, NotFound, Refused };
    enum class Action { Action5, Action6, Action7, Action9, Action15_EditPS };

    struct HistorySlot {
        QString name, code;
    };

    // Picks one of several customers who hold a scanned book: the dataset
    // holds them; the callback moves it to the chosen row and returns true, or
    // returns false when the clerk closed the list without choosing.
    using ChooseGuest = std::function<bool(Dataset& guests)>;

    // Creation of the desk: removes "Ret" rows a program ended mid-visit left
    // behind, sets the on-duty default, makes sure today's DayCost row exists
    // and resets the desk.
    explicit DeskSession(Database& db, QObject* parent = nullptr);
    // Removes this visit's pending rentals when the desk goes away mid-visit.
    ~DeskSession() override;

    // --- what the clerk does -------------------------------------------
    void SubmitInput(const QString& entry);
    void Action4(); // steps the mode: 0→4→5→0, 3↔6
    void ResetDesk();
    void ToggleLine(int recNo); // Space on the grid's current row
    void Action6(int recNo);    // F6: renew
    void Action9(int recNo);    // F9: compensate
    // The price adjustment's OK: writes the loan row's price (empty: 0) and due
    // date, and moves the line and the running totals with it. False (with a
    // message) when the price does not fit or the date is not valid.
    bool SetLinePrice(int recNo, const QVariant& price, const QDate& due);
    // The note editor's OK: saves the customer's PS; the desk shows it at once.
    bool SavePS(const QString& note);
    // After the registration saved the open customer: re-read the row.
    void RefreshCustomer();
    // The shift close hands the desk to another employee.
    void SetOnDuty(const QString& code, const QString& name, const QDateTime& start);
    void setChooseGuest(ChooseGuest choose) { m_choose = std::move(choose); }

    // --- the desk's routines (the window normally calls only the above) --
    void OpenCustomer(const QString& entry);
    Lookup FindCustomer(const QString& code);
    void AddHistory(const QString& name, const QString& code);
    void ShowHistory();
    // A null label (QString()) leaves the large label; a null panel2 shows the mode name.
    void ShowStatus(const QString& label, const QString& panel0, bool keepPanel1 = false,
                    const QString& panel2 = QString());
    void LoadCustomerLines(const QString& code);
    void AppendLine(const Dataset& row, int state);
    bool HasReservation(const QString& bookCode);
    void ScanBook(const QString& customer, const QString& entry);
    void RentBook(const QString& customer, const TBook& book, int index);
    void ToggleReturn(const QString& customer, const QString& entry, int index);
    // "Inc", "Dec", "IncOver", "DecOver" take a line index; "MInc", "MDec" an amount.
    void ApplyMoney(qint32 arg, const QString& op);
    bool Settle(const QString& customer);
    // The counters of one settled rental or renewal (inside the settlement).
    void CountRental(const QString& customer, const QString& bookCode, bool renewal);
    // Runs one statement; an engine error is reported as "語法錯誤" and the caller goes on.
    bool RunStatement(const QString& sql, const Params& params = {});
    void WalkInReading(const QString& entry);
    void MemberReading(const QString& customer, const QString& entry);
    void EnterAmount(const QString& entry);
    void ShowTodayReadings();
    qint64 TodayInStoreTotal();

    // --- what the window shows -----------------------------------------
    int mode() const { return m_mode; }
    static QString modeName(int mode);
    static QString modePrompt(int mode);
    bool customerOpen() const { return m_customerOpen; }
    QString labH1() const { return m_labH1; }
    QString bigLabel() const { return m_bigLabel; } // LMDLabelFill1
    QString panelText(int panel) const;             // status panels 0..2
    QString lab1RentBook() const;
    QString lab2BackBook() const;
    QString lab3NotRent() const;
    QString lab5RentMoney() const;
    QString lab6Over() const;
    QString lab9BalMon() const;
    QString labHistGuest() const { return m_histText; }
    bool isEnabled(Action action) const;
    QString inputText() const { return m_input; }
    bool inputSelected() const { return m_inputSelected; }

    Dataset& qryBook() { return *m_qryBook; }
    Dataset& qryGuest() { return *m_qryGuest; }
    const TBookAry& lines() const { return m_lines; }
    const TGuest& guest() const { return m_guest; }
    const CategoryCounts& counts() const { return m_counts; }
    const std::array<HistorySlot, 10>& history() const { return m_history; }
    QString dutyCode() const { return m_dutyCode; }
    QString dutyName() const { return m_dutyName; }
    QDateTime dutyStart() const { return m_dutyStart; }

    // The line shown in row recNo of qryBook, or 0 when the row has none.
    int lineOfRow(int recNo) const;
    // Background of a row: 0xRRGGBB or DeskRules::kColourDefault / kColourButtonShadow.
    int rowColour(int recNo) const;
    bool remarkIsRed(int recNo) const;

signals:
    void changed();
    void inputSet(const QString& text, bool selected);

private:
    class Op;
    friend class Op;
    struct DuePlan;

    void run(const std::function<void()>& body);
    void flush();
    void setInput(const QString& text, bool selected);
    void clearInput() { setInput(QString(), false); }
    void selectInput() { setInput(m_input, true); }
    void reportError(const QString& text);

    bool findBook(const QString& code, TBook& out);
    void copyGuest();
    void closeCustomer();
    void deletePending();
    TBook lineFromRow(const Dataset& d, int recNo, int state);
    const std::vector<int>& lineColumns(const Dataset& d) const;
    int lineOfId(qint64 id) const;
    int currentLine(int recNo) const;
    void reopenLines();
    void syncLines();
    void moveToLine(int index);
    void redrawLine(int index);
    QVariant calcField(const Dataset& d, int recNo, const QString& name) const;
    void addCharge(int index);
    void removeCharge(int index);
    void setLineState(int index, int state);
    bool reRent(int index);
    DuePlan planDueDates(const TBookAry& lines, int rentedDigit);
    void writeDueDates(const DuePlan& plan, const TBookAry& lines);
    void applyDueDates(const DuePlan& plan);
    void showMissingRule();
    void journal(const QString& customer, const QString& mode, qint64 idno, qint32 piece);
    void settleLines(const QString& customer, qint64& rent, qint64& fine, std::vector<qint64>& done);
    qint64 insertReading(const QString& customer, const TBook& book);

    Database& m_db;
    Dataset* m_qryBook = nullptr;
    Dataset* m_qryGuest = nullptr;
    Dataset* m_qrySelGuest = nullptr;
    Dataset* m_tabBook = nullptr;

    int m_mode = ModeWaiting;
    bool m_customerOpen = false;
    bool m_totalsShown = false;
    TGuest m_guest;
    QDate m_day; // the visit's day: the fines of its lines are counted on it
    TBookAry m_lines;
    CategoryCounts m_counts{};
    std::vector<qint64> m_pending; // this visit's "Ret" rows, by idno
    mutable std::vector<int> m_lineColumns, m_otherColumns;
    std::array<HistorySlot, 10> m_history;
    QString m_dutyCode, m_dutyName;
    QDateTime m_dutyStart;

    QString m_labH1, m_bigLabel, m_histText;
    QString m_panel[3];
    QString m_input;
    bool m_inputSelected = false;
    bool m_inputTouched = false; // the input box must be set when the operation ends
    int m_depth = 0;
    ChooseGuest m_choose;
};
