// The base of windows with a status line and an action bar: the standard actions
// F1 to F5, Home (Insert) and F12 on a vertical toolbar in the right-hand dock, which
// the user may drag to the left-hand one.
#pragma once

#include "framework/Ufm_Base.h"

#include <QList>
#include <QSet>

class QLabel;
class QStatusBar;
class QToolBar;

class Tfm_BaseIS : public Tfm_Base {
    Q_OBJECT
public:
    explicit Tfm_BaseIS(QWidget* owner = nullptr);

    // --- status line -----------------------------------------------------------------
    QStatusBar* StatusBar1 = nullptr;
    // Panels from left to right with their widths (the last one also takes what is left);
    // the base has two: 300 for the window's own text, 50 for the record status.
    void setPanelWidths(const QList<int>& widths);
    int panelCount() const { return int(m_panels.size()); }
    QLabel* panel(int index) const { return m_panels.value(index); }
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;

    // --- action bar --------------------------------------------------------------------
    // The standard actions (objectNames as named here).
    QAction* Action1_HELP = nullptr;
    QAction* Action2 = nullptr;
    QAction* Action3 = nullptr;
    QAction* Action4 = nullptr;
    QAction* Action5 = nullptr;
    QAction* ActionMenu = nullptr;
    QAction* Action12_Close = nullptr;

    QToolBar* actionBar() const { return m_bar; }
    // Adds an action of the window (F6 and up) to the bar, before `before` or, when none is
    // given, after the actions already there and before ActionMenu.
    QAction* addBarAction(const QString& objectName, const QString& caption, const QKeySequence& shortcut,
                          std::function<void()> handler, QAction* before = nullptr);
    // The caption of the action and of its button.
    void setCaption(QAction* action, const QString& caption);
    // A button caption that differs from the action's caption.
    void setButtonCaption(QAction* action, const QString& caption);
    // Hides or shows the action's button; its key keeps working (disable the action to stop it).
    void setButtonVisible(QAction* action, bool visible);
    bool isButtonVisible(QAction* action) const;
    // The actions and separators (nullptr) of the bar in their order, hidden buttons included.
    QList<QAction*> barOrder() const;

protected:
    // Each runs after the base's part of the action (only F1 has one: the help message).
    virtual void Action1_HELPExecute() {}
    virtual void Action2Execute() {}
    virtual void Action3Execute() {}
    virtual void Action4Execute() {}
    virtual void Action5Execute() {}
    virtual void ActionMenuExecute() {}

private:
    void rebuildBar();

    QToolBar* m_bar = nullptr;
    QList<QLabel*> m_panels;
    QList<QAction*> m_order; // separators are actions with isSeparator()
    QAction* m_sepAfterHelp = nullptr;
    QAction* m_sepBeforeClose = nullptr;
    QSet<QAction*> m_hidden;
};
