// The chooser: a resizable tool window with a list and an exit button; each time it
// is shown the list takes the focus with its first item selected.
#pragma once

#include "framework/Ufm_Base.h"

class QListWidget;
class QPushButton;

class TFfm_ChoseForm : public Tfm_Base {
    Q_OBJECT
public:
    explicit TFfm_ChoseForm(QWidget* owner = nullptr);

    QListWidget* lstBox = nullptr;
    QPushButton* btnExit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
