// The query launcher: four searches, each opened through the window registry with
// the launcher as owner; the launcher hides after each choice and lives on until it
// is closed, taking the windows it opened with it.
#pragma once

#include "framework/UFfm_ChoseForm.h"

class TF00_FindChose : public TFfm_ChoseForm {
    Q_OBJECT
public:
    explicit TF00_FindChose(QWidget* owner = nullptr);

    // Opens (or shows again) the window of the selected item, then hides the launcher;
    // with no item selected it only hides. Enter or a double click on the list.
    void OpenChosen();

    // The window class behind each item, in the order of the list.
    static QStringList windowClasses();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TF00_FindChose* F00_FindChose;
