// The rental desk, the program's main window: a thin view over DeskSession. It
// forwards the input box, the keys and the clicks to the session and shows what
// the session exposes; it also launches every other window of the shop.
#pragma once

#include "desk/DeskSession.h"
#include "framework/Ufm_BaseISNAV.h"

#include <QStringList>

class DBEdit;
class DBGrid;
class DBMemo;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

class TF00_Main : public Tfm_BaseISNAV {
    Q_OBJECT
public:
    explicit TF00_Main(QWidget* owner = nullptr);
    ~TF00_Main() override;

    DeskSession& session() { return *m_session; }

    // The registration saved a customer: show the open one's new values.
    void RefreshCustomer();
    // The shift close hands the desk to another employee.
    void SetOnDuty(const QString& code, const QString& name, const QDateTime& start);
    // The desk is the window in front (the guard of most of its shortcuts).
    bool IsDeskInFront() const;

    // Panel 3: the date and time, then a bar that grows and shrinks once every two minutes.
    static QString clockText(const QDateTime& now);
    // The program (and its arguments) that opens this system's date-and-time settings; empty when
    // none is installed.
    static QStringList dateTimeSettingsCommand();

    // --- controls (named as the widgets' objectNames) -------------------------
    QLabel* labH1 = nullptr;
    QLineEdit* edtName = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnReset = nullptr;
    DBGrid* dxDBGrid1 = nullptr;

    QLabel* lab1RentBook = nullptr;
    QLabel* lab2BackBook = nullptr;
    QLabel* lab3NotRent = nullptr;
    QLabel* lab5RentMoney = nullptr;
    QLabel* lab6Over = nullptr;
    QLabel* lab9BalMon = nullptr;
    QLabel* LMDLabelFill1 = nullptr;
    QLabel* labHistGuest = nullptr;
    DBEdit* Leave_Mon = nullptr;
    DBEdit* Tot_Cost = nullptr;
    DBEdit* Tot_OverDate = nullptr;
    DBEdit* Papers = nullptr;
    DBEdit* Pledge_Mon = nullptr;
    DBMemo* PS = nullptr;

    QAction* Action6 = nullptr;
    QAction* Action7 = nullptr;
    QAction* Action8 = nullptr;
    QAction* Action9 = nullptr;
    QAction* Action10 = nullptr;
    QAction* Action11 = nullptr;
    QAction* Action15_EditPS = nullptr;

    QTimer* tmrClock = nullptr;

protected:
    void Action2Execute() override;
    void Action3Execute() override;
    void Action4Execute() override;
    void Action5Execute() override;
    void ActionMenuExecute() override;

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTop();
    void buildGrid();
    void buildBottom();
    void buildActions();
    void buildMenus();
    QAction* addMenuWindow(QMenu* menu, const QString& caption, const QString& className, bool modal = false);

    void submit();
    void render();
    void onInputSet(const QString& text, bool selected);
    void focusInput(bool select);
    int currentRecNo() const;
    void tick();
    void openDateTimeSettings();
    bool chooseGuest(Dataset& guests);

    DeskSession* m_session = nullptr;
    bool m_shownOnce = false;
};

// The desk, while it exists.
extern TF00_Main* F00_Main;
