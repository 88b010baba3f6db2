// The status line, the action bar and the standard actions.
#include "framework/Ufm_BaseIS.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

Tfm_BaseIS::Tfm_BaseIS(QWidget* owner) : Tfm_Base(owner)
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    setPanelWidths({300, 50});

    m_bar = new QToolBar(QStringLiteral("工具列"), this);
    m_bar->setObjectName(QStringLiteral("ActionBar"));
    m_bar->setOrientation(Qt::Vertical);
    m_bar->setMovable(true);
    m_bar->setFloatable(false); // a floating bar would take the shortcuts out of this window
    m_bar->setAllowedAreas(Qt::LeftToolBarArea | Qt::RightToolBarArea);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::RightToolBarArea, m_bar);

    Action1_HELP = createAction(QStringLiteral("Action1_HELP"), QStringLiteral("說明(&H)　"), Qt::Key_F1, [this] {
        Prompts::plain(QStringLiteral("程 小九偷懶，還沒做說明檔。"));
        Action1_HELPExecute();
    });
    Action2 =
        createAction(QStringLiteral("Action2"), QStringLiteral("Action2"), Qt::Key_F2, [this] { Action2Execute(); });
    Action3 =
        createAction(QStringLiteral("Action3"), QStringLiteral("Action3"), Qt::Key_F3, [this] { Action3Execute(); });
    Action4 =
        createAction(QStringLiteral("Action4"), QStringLiteral("Action4"), Qt::Key_F4, [this] { Action4Execute(); });
    Action5 =
        createAction(QStringLiteral("Action5"), QStringLiteral("尋找(&F)"), Qt::Key_F5, [this] { Action5Execute(); });
    ActionMenu = createAction(QStringLiteral("ActionMenu"), QStringLiteral("H&ome"), Qt::Key_Insert,
                              [this] { ActionMenuExecute(); });
    Action12_Close = createAction(QStringLiteral("Action12_Close"), QStringLiteral("關閉(F12)"), Qt::Key_F12,
                                  [this] { exitWindow(); });

    m_sepAfterHelp = new QAction(this);
    m_sepAfterHelp->setSeparator(true);
    m_sepBeforeClose = new QAction(this);
    m_sepBeforeClose->setSeparator(true);
    m_order = {Action1_HELP, m_sepAfterHelp, Action2,          Action3,       Action4,
               Action5,      ActionMenu,     m_sepBeforeClose, Action12_Close};
    m_hidden.insert(Action1_HELP);
    rebuildBar();
}

void Tfm_BaseIS::setPanelWidths(const QList<int>& widths)
{
    QStringList texts;
    for (QLabel* p : m_panels) {
        texts << p->text();
        StatusBar1->removeWidget(p);
        delete p;
    }
    m_panels.clear();
    for (int i = 0; i < widths.size(); ++i) {
        auto* p = new QLabel(texts.value(i), StatusBar1);
        p->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        p->setMinimumWidth(widths.at(i));
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(p, i == widths.size() - 1 ? 1 : 0);
        m_panels << p;
    }
}

void Tfm_BaseIS::setPanelText(int index, const QString& text)
{
    if (QLabel* p = panel(index))
        p->setText(text);
}

QString Tfm_BaseIS::panelText(int index) const
{
    QLabel* p = panel(index);
    return p ? p->text() : QString();
}

QAction* Tfm_BaseIS::addBarAction(const QString& objectName, const QString& caption, const QKeySequence& shortcut,
                                  std::function<void()> handler, QAction* before)
{
    QAction* a = createAction(objectName, caption, shortcut, std::move(handler));
    const qsizetype at = m_order.indexOf(before ? before : ActionMenu);
    m_order.insert(at < 0 ? m_order.indexOf(m_sepBeforeClose) : at, a);
    rebuildBar();
    return a;
}

void Tfm_BaseIS::setCaption(QAction* action, const QString& caption)
{
    action->setText(caption);
    action->setIconText(caption);
    rebuildBar();
}

void Tfm_BaseIS::setButtonCaption(QAction* action, const QString& caption)
{
    action->setIconText(caption);
    rebuildBar();
}

void Tfm_BaseIS::setButtonVisible(QAction* action, bool visible)
{
    if (visible == !m_hidden.contains(action))
        return;
    if (visible)
        m_hidden.remove(action);
    else
        m_hidden.insert(action);
    rebuildBar();
}

bool Tfm_BaseIS::isButtonVisible(QAction* action) const
{
    return m_order.contains(action) && !m_hidden.contains(action);
}

QList<QAction*> Tfm_BaseIS::barOrder() const
{
    QList<QAction*> out;
    for (QAction* a : m_order)
        out << (a->isSeparator() ? nullptr : a);
    return out;
}

// The bar is laid out again from the order list, so hiding a button never removes the
// action from the window (its key goes on working) and the order stays as declared.
void Tfm_BaseIS::rebuildBar()
{
    m_bar->clear();
    for (QAction* a : m_order)
        if (!m_hidden.contains(a))
            m_bar->addAction(a);
    int width = 0;
    QList<QToolButton*> buttons;
    for (QAction* a : m_order) {
        if (auto* b = qobject_cast<QToolButton*>(m_bar->widgetForAction(a))) {
            b->setMinimumWidth(0);
            width = qMax(width, b->sizeHint().width());
            buttons << b;
        }
    }
    for (QToolButton* b : buttons) {
        b->setObjectName(QStringLiteral("btn_") + b->defaultAction()->objectName());
        b->setMinimumWidth(qMax(width, 96));
    }
}
