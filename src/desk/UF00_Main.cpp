// The desk window: its controls, actions and menus, the keys of the input box and
// the grid, the status-bar clock and the date-and-time settings. Every rule lives
// in DeskSession; this file only forwards and shows.
#include "desk/UF00_Main.h"

#include "core/UCustomDB.h"
#include "core/Ufm_command.h"
#include "customers/Payments.h"
#include "db/Clock.h"
#include "desk/DeskRules.h"
#include "desk/UF00_EditPS.h"
#include "desk/UF00_SelGuest.h"
#include "desk/UF00_SetMoney.h"
#include "framework/DBControls.h"
#include "framework/DBGrid.h"
#include "framework/DBNavigator.h"
#include "framework/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

TF00_Main* F00_Main = nullptr;

namespace {

// The prompts and the history list break lines with "\n\r"; a label shows one line break.
QString shown(QString text) { return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n")); }

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(64);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    l->setFont(f);
    return l;
}

DBEdit* boundEdit(const QString& field, Dataset* dataset, QWidget* parent)
{
    auto* e = new DBEdit(parent);
    e->setObjectName(field);
    e->bind(dataset, field).setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus); // the clerk's keys stay with the input box and the grid
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(64);
    return e;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

TF00_Main::TF00_Main(QWidget* owner) : Tfm_BaseISNAV(owner)
{
    setObjectName(QStringLiteral("F00_Main"));
    setWindowTitle(QStringLiteral("租書系統"));
    F00_Main = this;
    m_session = new DeskSession(db(), this);
    m_session->setObjectName(QStringLiteral("DeskSession"));
    m_session->setChooseGuest([this](Dataset& guests) { return chooseGuest(guests); });
    // The pay windows journal with the on-duty code, and reopen the customer query after money moved.
    Payments::setDeskLink({[this] { return m_session->dutyCode(); },
                           [this] {
                               Dataset& guest = m_session->qryGuest();
                               if (guest.isOpen()) {
                                   guest.close();
                                   guest.open();
                               }
                           }});

    // The navigator of the base has nothing to do on the desk: the lines are moved by the grid's keys.
    BiDiDBNavigator1->hide();
    buildTop();
    buildGrid();
    buildBottom();
    buildActions();
    buildMenus();

    setPanelWidths({300, 100, 100, 50});
    StatusBar1->installEventFilter(this);
    for (int i = 0; i < panelCount(); ++i)
        panel(i)->installEventFilter(this);
    tmrClock = new QTimer(this);
    tmrClock->setObjectName(QStringLiteral("tmrClock"));
    tmrClock->setInterval(1000);
    connect(tmrClock, &QTimer::timeout, this, &TF00_Main::tick);
    tmrClock->start();
    tick();

    connect(m_session, &DeskSession::changed, this, &TF00_Main::render);
    connect(m_session, &DeskSession::inputSet, this, &TF00_Main::onInputSet);
    onInputSet(m_session->inputText(), m_session->inputSelected());
    render();
    resize(1024, 720);
}

TF00_Main::~TF00_Main()
{
    Payments::setDeskLink({});
    if (F00_Main == this)
        F00_Main = nullptr;
}

// --- building ---------------------------------------------------------------

void TF00_Main::buildTop()
{
    auto* bar = new QToolBar(QStringLiteral("輸入"), this);
    bar->setObjectName(QStringLiteral("TopBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);

    labH1 = new QLabel(bar);
    labH1->setObjectName(QStringLiteral("labH1"));
    labH1->setMinimumWidth(140);
    labH1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edtName = new QLineEdit(bar);
    edtName->setObjectName(QStringLiteral("edtName"));
    // Barcode scanners type into this box: no input method may compose their keys.
    edtName->setAttribute(Qt::WA_InputMethodEnabled, false);
    edtName->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    edtName->setMinimumWidth(260);
    QFont f = edtName->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    edtName->setFont(f);
    edtName->installEventFilter(this);
    btnOK = new QPushButton(QStringLiteral("確定(&K)"), bar);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnReset = new QPushButton(QStringLiteral("重設(&S)"), bar);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    bar->addWidget(labH1);
    bar->addWidget(edtName);
    bar->addWidget(btnOK);
    bar->addWidget(btnReset);

    connect(edtName, &QLineEdit::returnPressed, this, &TF00_Main::submit);
    connect(btnOK, &QPushButton::clicked, this, &TF00_Main::submit);
    connect(btnReset, &QPushButton::clicked, this, [this] { m_session->ResetDesk(); });
}

void TF00_Main::buildGrid()
{
    dxDBGrid1 = new DBGrid(Panel1);
    dxDBGrid1->setObjectName(QStringLiteral("dxDBGrid1"));
    dxDBGrid1->setEditable(false).setSortable(false).setIncrementalSearch(false).setRowSelect(true);
    dxDBGrid1->addColumn(QStringLiteral("State"), QStringLiteral("狀態"));
    dxDBGrid1->addColumn(QStringLiteral("Guest_CODE")).hide();
    dxDBGrid1->addColumn(QStringLiteral("Book_Code"), QStringLiteral("條碼號"));
    dxDBGrid1->addColumn(QStringLiteral("Name"), QStringLiteral("書名"));
    dxDBGrid1->addColumn(QStringLiteral("Vol"), QStringLiteral("集數"));
    dxDBGrid1->addColumn(QStringLiteral("piece"), QStringLiteral("價格")).number();
    dxDBGrid1->addColumn(QStringLiteral("RDate")).hide();
    dxDBGrid1->addColumn(QStringLiteral("RDate2"), QStringLiteral("租書日期")).date();
    dxDBGrid1->addColumn(QStringLiteral("IDate"), QStringLiteral("應還日")).date();
    dxDBGrid1->addColumn(QStringLiteral("PS"));
    dxDBGrid1->onCellBackground([this](int recNo, const QString&) -> QColor {
        if (recNo < 1)
            return {};
        const int colour = m_session->rowColour(recNo);
        if (colour == DeskRules::kColourDefault)
            return {};
        if (colour == DeskRules::kColourButtonShadow)
            return dxDBGrid1->palette().color(QPalette::Dark);
        return QColor::fromRgb(QRgb(colour));
    });
    dxDBGrid1->onCellText([this](int recNo, const QString& field) -> QColor {
        if (recNo >= 1 && field.compare(QLatin1String("PS"), Qt::CaseInsensitive) == 0
            && m_session->remarkIsRed(recNo))
            return QColor(Qt::red);
        return {};
    });
    dxDBGrid1->setDataset(&m_session->qryBook());
    dxDBGrid1->installEventFilter(this);
    setDataSource(&m_session->qryBook());
    panelLayout()->addWidget(dxDBGrid1, 1);
}

void TF00_Main::buildBottom()
{
    auto* bottom = new QFrame(Panel1);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(bottom);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    Dataset* guest = &m_session->qryGuest();

    lab1RentBook = valueLabel(QStringLiteral("lab1RentBook"), bottom);
    lab2BackBook = valueLabel(QStringLiteral("lab2BackBook"), bottom);
    lab3NotRent = valueLabel(QStringLiteral("lab3NotRent"), bottom);
    Leave_Mon = boundEdit(QStringLiteral("Leave_Mon"), guest, bottom);
    lab5RentMoney = valueLabel(QStringLiteral("lab5RentMoney"), bottom);
    lab6Over = valueLabel(QStringLiteral("lab6Over"), bottom);
    lab9BalMon = valueLabel(QStringLiteral("lab9BalMon"), bottom);
    Tot_Cost = boundEdit(QStringLiteral("Tot_Cost"), guest, bottom);
    Tot_OverDate = boundEdit(QStringLiteral("Tot_OverDate"), guest, bottom);
    Papers = boundEdit(QStringLiteral("Papers"), guest, bottom);
    Papers->setAlignment(Qt::AlignLeft);
    Pledge_Mon = boundEdit(QStringLiteral("Pledge_Mon"), guest, bottom);

    const std::pair<const char*, QWidget*> row0[] = {
        {"租書", lab1RentBook}, {"還書", lab2BackBook}, {"未還", lab3NotRent}, {"現存", Leave_Mon},
        {"租金", lab5RentMoney}, {"逾期", lab6Over},    {"餘額", lab9BalMon},
    };
    const std::pair<const char*, QWidget*> row1[] = {
        {"累計:", Tot_Cost}, {"逾期:", Tot_OverDate}, {"押証:", Papers}, {"押金", Pledge_Mon}};
    int col = 0;
    for (const auto& [text, w] : row0) {
        grid->addWidget(caption(QString::fromUtf8(text), bottom), 0, col);
        grid->addWidget(w, 0, col + 1);
        col += 2;
    }
    col = 0;
    for (const auto& [text, w] : row1) {
        grid->addWidget(caption(QString::fromUtf8(text), bottom), 1, col);
        grid->addWidget(w, 1, col + 1);
        col += 2;
    }

    LMDLabelFill1 = new QLabel(bottom);
    LMDLabelFill1->setObjectName(QStringLiteral("LMDLabelFill1"));
    LMDLabelFill1->setFrameShape(QFrame::Panel);
    LMDLabelFill1->setFrameShadow(QFrame::Sunken);
    LMDLabelFill1->setAutoFillBackground(true);
    QPalette pal = LMDLabelFill1->palette();
    pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE0));
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    LMDLabelFill1->setPalette(pal);
    QFont big = LMDLabelFill1->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    LMDLabelFill1->setFont(big);
    LMDLabelFill1->setMinimumHeight(QFontMetrics(big).height() + 12);
    grid->addWidget(caption(QStringLiteral("客戶"), bottom), 2, 0);
    grid->addWidget(LMDLabelFill1, 2, 1, 1, 13);

    PS = new DBMemo(bottom);
    PS->setObjectName(QStringLiteral("PS"));
    PS->bind(guest, QStringLiteral("PS")).setReadOnly(true);
    PS->setFocusPolicy(Qt::NoFocus);
    PS->setMaximumHeight(QFontMetrics(PS->font()).height() * 3 + 10);
    labHistGuest = new QLabel(bottom);
    labHistGuest->setObjectName(QStringLiteral("labHistGuest"));
    labHistGuest->setFrameShape(QFrame::Panel);
    labHistGuest->setFrameShadow(QFrame::Sunken);
    labHistGuest->setMinimumHeight(QFontMetrics(labHistGuest->font()).height() * 2 + 8);
    labHistGuest->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(caption(QStringLiteral("提示"), bottom), 3, 0);
    grid->addWidget(PS, 3, 1, 1, 5);
    grid->addWidget(caption(QStringLiteral("歷史"), bottom), 3, 6);
    grid->addWidget(labHistGuest, 3, 7, 1, 7);
    for (int c = 1; c < 14; c += 2)
        grid->setColumnStretch(c, 1);

    panelLayout()->addWidget(bottom, 0);
}

void TF00_Main::buildActions()
{
    setCaption(Action2, QStringLiteral("新增客戶(&C)"));
    setCaption(Action3, QStringLiteral("新增書本(&B)"));
    setCaption(Action4, QStringLiteral("內閱(&R)"));
    setCaption(Action5, QStringLiteral("調價(&M)"));

    // Most keys act only while the desk is in front: a key meant for another window never
    // touches the open customer.
    const auto inFront = [this](std::function<void()> handler) {
        return [this, handler = std::move(handler)] {
            if (IsDeskInFront())
                handler();
        };
    };
    Action6 = addBarAction(QStringLiteral("Action6"), QStringLiteral("續租(&P)"), Qt::Key_F6,
                           inFront([this] { m_session->Action6(currentRecNo()); }));
    Action7 = addBarAction(QStringLiteral("Action7"), QStringLiteral("繳退款(&M)"), Qt::Key_F7, [this] {
        if (!m_session->customerOpen())
            return;
        Payments::SetPayCustomer(m_session->guest().GuestCode);
        openWindow(QStringLiteral("TF03_PayRtMoney"), this);
    });
    Action8 = addBarAction(QStringLiteral("Action8"), QStringLiteral("預約(&L)"), Qt::Key_F8,
                           inFront([this] { openWindow(QStringLiteral("TSubbook_ListSB"), this); }));
    Action9 = addBarAction(QStringLiteral("Action9"), QStringLiteral("賠償(&N)"), Qt::Key_F9,
                           inFront([this] { m_session->Action9(currentRecNo()); }));
    Action10 = addBarAction(QStringLiteral("Action10"), QStringLiteral("書本查詢(&E)"), Qt::Key_F10,
                            inFront([this] { openWindow(QStringLiteral("TF11_FindBook"), this); }));
    Action11 = addBarAction(QStringLiteral("Action11"), QStringLiteral("查詢客戶(&S)"), Qt::Key_F11,
                            inFront([this] { openWindow(QStringLiteral("TF00_FindChose"), this); }));
    setButtonCaption(Action11, QStringLiteral("查詢功能(&S)"));
    Action15_EditPS = addBarAction(QStringLiteral("Action15_EditPS"), QStringLiteral("改提示(&P)"),
                                   QKeySequence(Qt::CTRL | Qt::Key_F1), [this] {
                                       if (m_session->customerOpen())
                                           openSingle(F00_EditPS, this, m_session);
                                   });
}

QAction* TF00_Main::addMenuWindow(QMenu* menu, const QString& caption, const QString& className, bool modal)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QStringLiteral("mnu_") + className);
    a->setProperty("windowClass", className);
    connect(a, &QAction::triggered, this, [this, className, modal] {
        QWidget* w = openWindow(className, this);
        if (auto* form = qobject_cast<Tfm_Base*>(w); form && modal)
            form->showModal();
    });
    return a;
}

void TF00_Main::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* add = bar->addMenu(QStringLiteral("新增(&I)"));
    add->addAction(Action2);
    add->addAction(Action3);
    addMenuWindow(add, QStringLiteral("新增員工(&W)"), QStringLiteral("TF00_Work"));

    QMenu* find = bar->addMenu(QStringLiteral("查詢(&S)"));
    addMenuWindow(find, QStringLiteral("書本查詢(&B)"), QStringLiteral("TF11_FindBook"));
    addMenuWindow(find, QStringLiteral("客戶查詢(&G)"), QStringLiteral("TF11_FindGuest"));
    addMenuWindow(find, QStringLiteral("未還書查詢(&N)"), QStringLiteral("TF22_FindRBook"));
    find->addSeparator();
    addMenuWindow(find, QStringLiteral("期間排行榜(&T)"), QStringLiteral("TTimeRank"));
    addMenuWindow(find, QStringLiteral("客戶花費排行榜(&O)"), QStringLiteral("TF36_GuestTop"));

    QMenu* reports = bar->addMenu(QStringLiteral("報表(&R)"));
    addMenuWindow(reports, QStringLiteral("每日收入明細(&D)"), QStringLiteral("TF31_DayCost"));
    addMenuWindow(reports, QStringLiteral("員工交班記錄(&R)"), QStringLiteral("TF73_ChgShiftRec"));
    addMenuWindow(reports, QStringLiteral("客戶交易明細(&E)"), QStringLiteral("TF61_GuestCostRec"));

    QMenu* charts = bar->addMenu(QStringLiteral("統計圖(&D)"));
    addMenuWindow(charts, QStringLiteral("員工業績統計(&W)"), QStringLiteral("TF35_WorkFeat"));
    addMenuWindow(charts, QStringLiteral("營業額統計(&D)"), QStringLiteral("TF42_DayCostGraph"));
    addMenuWindow(charts, QStringLiteral("客戶資料分析(&C)"), QStringLiteral("TF41_GuestGraph"));

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&E)"));
    addMenuWindow(settings, QStringLiteral("書本分類設定(&C)"), QStringLiteral("TF51_ClassBook"), true);
    addMenuWindow(settings, QStringLiteral("書本租金設定(&O)"), QStringLiteral("TF81_SetBookCost"));
    addMenuWindow(settings, QStringLiteral("可借天數設定(&D)"), QStringLiteral("TF82_BookRetDay"));
    addMenuWindow(settings, QStringLiteral("預繳金額設定(&M)"), QStringLiteral("TF83_advancePay"));

    QMenu* shop = bar->addMenu(QStringLiteral("書店作業(&P)"));
    addMenuWindow(shop, QStringLiteral("結帳交班(&G)"), QStringLiteral("TF61_ChgShifts1"));
}

// --- what the clerk does --------------------------------------------------------

void TF00_Main::Action2Execute()
{
    if (IsDeskInFront())
        openWindow(QStringLiteral("TF01_NewGuest"), this);
}

void TF00_Main::Action3Execute()
{
    if (IsDeskInFront())
        openWindow(QStringLiteral("TF02_AddBook"), this);
}

void TF00_Main::Action4Execute()
{
    if (!IsDeskInFront())
        return;
    m_session->Action4();
    focusInput(false);
}

void TF00_Main::Action5Execute()
{
    if (!IsDeskInFront() || !m_session->customerOpen())
        return;
    const int recNo = currentRecNo();
    if (m_session->lineOfRow(recNo) == 0)
        return;
    if (F00_SetMoney) // one price at a time: the open adjustment is dropped for the new line
        F00_SetMoney->close();
    openSingle(F00_SetMoney, this, m_session, recNo);
}

void TF00_Main::ActionMenuExecute()
{
    if (IsDeskInFront())
        m_session->ResetDesk();
}

void TF00_Main::submit()
{
    m_session->SubmitInput(edtName->text());
    if (!edtName->hasFocus() && isActiveWindow())
        focusInput(m_session->inputSelected());
}

void TF00_Main::RefreshCustomer() { m_session->RefreshCustomer(); }

void TF00_Main::SetOnDuty(const QString& code, const QString& name, const QDateTime& start)
{
    m_session->SetOnDuty(code, name, start);
}

bool TF00_Main::IsDeskInFront() const { return QApplication::activeWindow() == this; }

int TF00_Main::currentRecNo() const
{
    const Dataset& lines = m_session->qryBook();
    return lines.isOpen() ? lines.recNo() : 0;
}

bool TF00_Main::chooseGuest(Dataset& guests)
{
    TF00_SelGuest* list = ensureSingle(F00_SelGuest, this, &guests);
    return list->showModal() == TF00_SelGuest::kChosen;
}

// --- what the desk shows -------------------------------------------------------

void TF00_Main::render()
{
    const DeskSession& s = *m_session;
    labH1->setText(shown(s.labH1()));
    LMDLabelFill1->setText(s.bigLabel());
    for (int i = 0; i < 3; ++i)
        setPanelText(i, s.panelText(i));
    lab1RentBook->setText(s.lab1RentBook());
    lab2BackBook->setText(s.lab2BackBook());
    lab3NotRent->setText(s.lab3NotRent());
    lab5RentMoney->setText(s.lab5RentMoney());
    lab6Over->setText(s.lab6Over());
    lab9BalMon->setText(s.lab9BalMon());
    labHistGuest->setText(shown(s.labHistGuest()));
    Action5->setEnabled(s.isEnabled(DeskSession::Action::Action5));
    Action6->setEnabled(s.isEnabled(DeskSession::Action::Action6));
    Action7->setEnabled(s.isEnabled(DeskSession::Action::Action7));
    Action9->setEnabled(s.isEnabled(DeskSession::Action::Action9));
    Action15_EditPS->setEnabled(s.isEnabled(DeskSession::Action::Action15_EditPS));
    dxDBGrid1->viewport()->update();
}

void TF00_Main::onInputSet(const QString& text, bool selected)
{
    edtName->setText(text);
    if (selected)
        focusInput(true);
}

void TF00_Main::focusInput(bool select)
{
    edtName->setFocus(Qt::OtherFocusReason);
    if (select)
        edtName->selectAll();
}

void TF00_Main::showEvent(QShowEvent* event)
{
    Tfm_BaseISNAV::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        setWindowTitle(QStringLiteral("租書系統:") + GetVersionText());
        focusInput(true);
    }
}

bool TF00_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == edtName && plain && key->key() == Qt::Key_Down) {
            dxDBGrid1->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == dxDBGrid1 && plain && key->key() == Qt::Key_Space) {
            m_session->ToggleLine(currentRecNo());
            return true;
        }
        if (watched == dxDBGrid1 && plain && enter) {
            focusInput(true);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == StatusBar1 || (watched->isWidgetType() && static_cast<QWidget*>(watched)->parentWidget() == StatusBar1)) {
            openDateTimeSettings();
            return true;
        }
    }
    return Tfm_BaseISNAV::eventFilter(watched, event);
}

// --- the status bar --------------------------------------------------------------

QString TF00_Main::clockText(const QDateTime& now)
{
    const int s = now.time().second();
    const int signs = now.time().minute() % 2 == 1 ? 1 + s / 4 : 16 - s / 4;
    return QLocale::c().toString(now, QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QStringLiteral("　δ")
           + QString(signs, QLatin1Char('='));
}

void TF00_Main::tick() { setPanelText(3, clockText(Clock::now())); }

QStringList TF00_Main::dateTimeSettingsCommand()
{
    // The settings of the common desktops, the most likely first.
    static const QList<QStringList> candidates = {
        {QStringLiteral("gnome-control-center"), QStringLiteral("datetime")},
        {QStringLiteral("cinnamon-settings"), QStringLiteral("calendar")},
        {QStringLiteral("kcmshell6"), QStringLiteral("kcm_clock")},
        {QStringLiteral("kcmshell5"), QStringLiteral("clock")},
        {QStringLiteral("systemsettings"), QStringLiteral("kcm_clock")},
        {QStringLiteral("xfce4-datetime-settings")},
        {QStringLiteral("time-admin")},
    };
    for (const QStringList& c : candidates) {
        const QString program = QStandardPaths::findExecutable(c.first());
        if (!program.isEmpty())
            return QStringList{program} + c.mid(1);
    }
    return {};
}

void TF00_Main::openDateTimeSettings()
{
    const QStringList command = dateTimeSettingsCommand();
    if (command.isEmpty())
        return;
    QProcess::startDetached(command.first(), command.mid(1), Tcommand::SystemDir());
}
