// The record navigator: a row of buttons that move through a Dataset and insert,
// delete, edit, post, cancel and refresh its rows, each enabled by the dataset's
// state and position.
#pragma once

#include "db/Dataset.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QToolButton;

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return m_dataset; }

    // Default: First, Prior, Next, Last, Post, Cancel, Refresh.
    void setVisibleButtons(const QList<Button>& buttons);
    static QList<Button> allButtons();
    // Delete asks "刪除此筆資料？" first unless switched off.
    void setConfirmDelete(bool on) { m_confirmDelete = on; }

    QToolButton* button(Button b) const { return m_buttons.value(int(b)); }
    // What a click on the button does; a refused step (a hook that aborts, an engine error)
    // is reported and leaves the dataset as the hook left it.
    void click(Button b);
    void updateButtons();

signals:
    // After a button did its step.
    void clicked(DBNavigator::Button button);

private:
    QPointer<Dataset> m_dataset;
    QHash<int, QToolButton*> m_buttons;
    QList<QMetaObject::Connection> m_links;
    bool m_confirmDelete = true;
};
