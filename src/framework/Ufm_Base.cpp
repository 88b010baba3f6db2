// The root window: closing, destruction, actions, key navigation and modal showing.
#include "framework/Ufm_Base.h"

#include "framework/ShopApplication.h"
#include "framework/UFDlg_ProcBar.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>

namespace {

std::function<void(Tfm_Base*)>& modalDriver()
{
    static std::function<void(Tfm_Base*)> driver;
    return driver;
}

const char* const kExempt = "bookrental_noKeyNavigation";

bool insideItemView(QWidget* w, QWidget* window)
{
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<QAbstractItemView*>(p))
            return true;
    return false;
}

} // namespace

Tfm_Base::Tfm_Base(QWidget* owner) : QMainWindow(owner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    ActionList1 = new QActionGroup(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    ActionList1->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("surface"));
    setCentralWidget(m_surface);
}

Tfm_Base::~Tfm_Base()
{
    if (!m_released) {
        m_released = true;
        emit released();
    }
    // The owned windows go down with this one; they are still whole here, so their
    // FormDestroy can run before Qt deletes them.
    const auto owned = findChildren<Tfm_Base*>(Qt::FindDirectChildrenOnly);
    for (Tfm_Base* w : owned)
        w->runFormDestroy();
}

void Tfm_Base::MsgBox(const QString& text, const QString& caption, const QString& kind)
{
    Prompts::msgBox(text, caption, kind);
}

void Tfm_Base::ShowProgress(quint8 percent)
{
    TFDlg_ProcBar::showProgress(percent);
}

PasswordChange Tfm_Base::AskPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                           const QString& oldPassword)
{
    return Prompts::askPasswordChange(caption, prompt, initialNew, oldPassword);
}

QString Tfm_Base::AskPassword(const QString& initialText)
{
    return Prompts::askPassword(initialText);
}

QString Tfm_Base::GetVersionText()
{
    // Always four parts, even when the build gave fewer.
    QStringList parts = QStringLiteral(BOOKRENTAL_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QString();
    parts = parts.mid(0, 4);
    for (QString& p : parts)
        p = QString::number(p.toUShort());
    return parts.join(QLatin1Char('.'));
}

QAction* Tfm_Base::createAction(const QString& objectName, const QString& caption, const QKeySequence& shortcut,
                                std::function<void()> handler)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(objectName);
    a->setIconText(caption); // the button shows the caption with its mnemonic
    a->setShortcut(shortcut);
    // The key belongs to this window and its controls only: a window-wide context would also
    // let the keys of an owner act while one of its tool windows is in front, and two windows
    // with the same key (the pay window over the desk) would then both lose it.
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ActionList1->addAction(a);
    addAction(a);
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] {
        if (handler)
            guarded(handler);
    });
    return a;
}

void Tfm_Base::exitWindow()
{
    close();
    guarded([this] { Action4_ExitExecute(); });
}

void Tfm_Base::setKeyNavigation(KeyNav mode)
{
    if (mode == m_keyNav)
        return;
    if (m_keyNav == KeyNav::Off)
        qApp->installEventFilter(this);
    else if (mode == KeyNav::Off)
        qApp->removeEventFilter(this);
    m_keyNav = mode;
}

void Tfm_Base::exemptFromKeyNavigation(QWidget* field, bool exempt)
{
    field->setProperty(kExempt, exempt);
}

void Tfm_Base::setModalDriver(std::function<void(Tfm_Base*)> driver)
{
    modalDriver() = std::move(driver);
}

int Tfm_Base::showModal()
{
    QPointer<Tfm_Base> self(this);
    int result = 0;
    QObject guard;
    connect(this, &Tfm_Base::hidden, &guard, [this, &result] { result = m_modalResult; });
    if (isVisible())
        hide();
    m_modalResult = 0;
    m_inModal = true;
    setWindowModality(Qt::ApplicationModal);
    if (modalDriver()) {
        bringToFront(this);
        modalDriver()(this);
        if (self && isVisible())
            hide();
    } else {
        QEventLoop loop;
        connect(this, &Tfm_Base::hidden, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        bringToFront(this);
        loop.exec(QEventLoop::DialogExec);
    }
    if (self) {
        m_inModal = false;
        setWindowModality(Qt::NonModal);
    }
    return result;
}

void Tfm_Base::setModalResult(int result)
{
    m_modalResult = result;
    close();
}

void Tfm_Base::closeEvent(QCloseEvent* event)
{
    CloseAction action = CloseAction::Free;
    // A failure in the window's closing work ends the close: the window stays as it was.
    if (!guarded([&] { FormClose(action); }))
        action = CloseAction::None;
    if (action == CloseAction::None) {
        event->ignore();
        return;
    }
    setAttribute(Qt::WA_DeleteOnClose, action == CloseAction::Free);
    event->accept();
    if (action == CloseAction::Free && !m_released) {
        m_released = true;
        emit released();
    }
}

void Tfm_Base::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

void Tfm_Base::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        QWidget* under = childAt(event->position().toPoint());
        if (!under || (m_surface && under == m_surface)) {
            event->accept();
            exitWindow();
            return;
        }
    }
    QMainWindow::mouseReleaseEvent(event);
}

bool Tfm_Base::event(QEvent* event)
{
    if (event->type() == QEvent::DeferredDelete)
        runFormDestroy();
    return QMainWindow::event(event);
}

void Tfm_Base::runFormDestroy()
{
    if (m_destroyRan)
        return;
    m_destroyRan = true;
    if (!m_released) {
        m_released = true;
        emit released();
    }
    guarded([this] { FormDestroy(); });
}

bool Tfm_Base::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_keyNav != KeyNav::Off && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w == QApplication::focusWidget() && w->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && navigateByKey(w, key->key()))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Tfm_Base::navigateByKey(QWidget* focus, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool up = key == Qt::Key_Up;
    const bool down = key == Qt::Key_Down;
    const bool useEnter = m_keyNav == KeyNav::Enter || m_keyNav == KeyNav::Both;
    const bool useArrows = m_keyNav == KeyNav::Arrows || m_keyNav == KeyNav::Both;
    if (!(enter && useEnter) && !((up || down) && useArrows))
        return false;
    if (focus->property(kExempt).toBool())
        return false;
    // A cell editor of a grid keeps its own keys: Enter there finishes the edit.
    if (insideItemView(focus, this))
        return false;
    if (auto* view = qobject_cast<QAbstractItemView*>(focus)) {
        if (!enter)
            return false; // arrows move between rows as always
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &tab);
        return true;
    }
    // A combo box with its list open has the focus in the list, which belongs to another window.
    if (qobject_cast<QComboBox*>(focus) || qobject_cast<QLineEdit*>(focus)) {
        focusNextPrevChild(!up);
        return true;
    }
    if (qobject_cast<QAbstractSpinBox*>(focus) && enter) {
        focusNextPrevChild(true);
        return true;
    }
    return false;
}

void centreOnScreen(QWidget* window, QWidget* owner)
{
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

void bringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}
