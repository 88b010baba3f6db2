// The root of every window of the shop: closing and destruction, the action list,
// field navigation by keys, modal showing, the shared message, progress, password
// and version routines, and the single-instance helpers that open windows.
#pragma once

#include "core/Prompts.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <type_traits>
#include <utility>

class QAction;

// Handlers and the call-super convention
// --------------------------------------
// The virtual handlers of the base windows (Action4_ExitExecute, FormClose, Action2Execute, ...)
// are called by the base AFTER it has done its own part, so an override never needs to call
// the base version and cannot forget it: the base part has already run. Each handler runs as
// one guarded command: an Abort ends it silently, any other error ends it with the error box.
class Tfm_Base : public QMainWindow {
    Q_OBJECT
public:
    // Field navigation by keys: off, Enter only, Up/Down only, or both.
    enum class KeyNav { Off, Enter, Arrows, Both };
    // What closing the window does: nothing (the window stays open), hide it, or destroy it.
    enum class CloseAction { None, Hide, Free };

    // The owner (Qt parent) destroys the window with itself; the window is a top-level one.
    explicit Tfm_Base(QWidget* owner = nullptr);
    ~Tfm_Base() override;

    // --- shared routines -----------------------------------------------------
    // A modal box: kind "Waning", "Inf" or "Err" picks the icon; any other kind shows nothing.
    static void MsgBox(const QString& text, const QString& caption, const QString& kind);
    // Shows or advances the shared progress dialog; 100 holds it 200 ms and closes it.
    static void ShowProgress(quint8 percent);
    // The change confirmation: the repeated new password, a cancel, or a wrongly typed old one.
    static PasswordChange AskPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                            const QString& oldPassword);
    // What was typed, or "Cancel" (Prompts::kCancel).
    static QString AskPassword(const QString& initialText);
    // The program's version: four numbers joined by dots.
    static QString GetVersionText();

    // --- actions -----------------------------------------------------------------
    // Every action of the window belongs to ActionList1.
    QActionGroup* ActionList1 = nullptr;
    // Creates an action of this window: its shortcut works whichever control of the window has the
    // focus, and only while this window is the active one. The handler runs guarded.
    QAction* createAction(const QString& objectName, const QString& caption, const QKeySequence& shortcut,
                          std::function<void()> handler);

    // --- closing -------------------------------------------------------------------
    // Closes the window (destroying it unless FormClose says otherwise), then runs
    // Action4_ExitExecute. F12, the exit button and a click on the bare surface come here.
    void exitWindow();

    // --- field navigation ---------------------------------------------------------
    // Enter (like Tab) and Up/Down move between the edit fields, combo boxes and grid cells of the
    // window; the window sees these keys before the field does. A field that needs Enter or the
    // arrows for itself is left out with exemptFromKeyNavigation.
    void setKeyNavigation(KeyNav mode);
    static void exemptFromKeyNavigation(QWidget* field, bool exempt = true);
    KeyNav keyNavigation() const { return m_keyNav; }

    // --- modal showing ---------------------------------------------------------------
    // Shows the window modal to the application and returns once it is hidden or destroyed,
    // with the result a handler gave through setModalResult (0 when none).
    int showModal();
    // Stores the result and closes the window.
    void setModalResult(int result);
    int modalResult() const { return m_modalResult; }
    bool isShownModally() const { return m_inModal; }
    // Tests: instead of waiting in an event loop, showModal shows the window and calls the driver,
    // which plays the user's part; showModal returns as soon as the driver returns.
    static void setModalDriver(std::function<void(Tfm_Base*)> driver);

    // The plain container that the base puts in the middle of the window; windows place their
    // controls on it (or replace it with setCentralWidget). A click on it outside every control closes.
    QWidget* surface() const { return m_surface; }

signals:
    // The window is going away (closed for good, or destroyed) and must not be opened again.
    // It may come from the base destructor: receivers must not touch the window.
    void released();
    // The window was hidden (also when closed).
    void hidden();

protected:
    // After the base closed the window.
    virtual void Action4_ExitExecute() {}
    // After the base chose CloseAction::Free; a window that keeps itself sets Hide, None keeps it open.
    virtual void FormClose(CloseAction& action) { Q_UNUSED(action); }
    // Once, just before the window is destroyed by its closing or with its owner (not by a plain
    // delete: clean-up that must always run belongs in the destructor).
    virtual void FormDestroy() {}

    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runFormDestroy();
    bool navigateByKey(QWidget* focus, int key);

    QWidget* m_surface = nullptr;
    KeyNav m_keyNav = KeyNav::Off;
    int m_modalResult = 0;
    bool m_inModal = false;
    bool m_destroyRan = false;
    bool m_released = false;
};

// Single instances
// ----------------
// Each window class has one process-wide instance variable (a global `W* F11_FindBook = nullptr;`
// next to the class). ensureSingle creates the window when the variable is empty, with the opener
// as its owner (Qt parent; the window is a top-level window destroyed together with its owner),
// centred on the screen, and stores it; the variable is emptied again, automatically, as soon as
// the window is closed for good or destroyed. openSingle also shows it modeless and brings it to
// the front. Extra arguments go to the window's constructor after the owner.
//
//   TF11_FindBook* F11_FindBook = nullptr;
//   openSingle(F11_FindBook, this);
void centreOnScreen(QWidget* window, QWidget* owner);
void bringToFront(QWidget* window);

template <class W, class... Args> W* ensureSingle(W*& instance, QWidget* owner, Args&&... args)
{
    if (!instance) {
        W* w = new W(owner, std::forward<Args>(args)...);
        if (!w->isWindow())
            w->setWindowFlag(Qt::Window, true);
        instance = w;
        W** slot = &instance;
        QObject::connect(w, &QObject::destroyed, [slot, w] {
            if (*slot == w)
                *slot = nullptr;
        });
        if constexpr (std::is_base_of_v<Tfm_Base, W>) {
            QObject::connect(w, &Tfm_Base::released, [slot, w] {
                if (*slot == w)
                    *slot = nullptr;
            });
        }
        centreOnScreen(w, owner);
    }
    return instance;
}

template <class W, class... Args> W* openSingle(W*& instance, QWidget* owner, Args&&... args)
{
    W* w = ensureSingle(instance, owner, std::forward<Args>(args)...);
    bringToFront(w);
    return w;
}
