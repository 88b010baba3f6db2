// The editor of the open customer's note; OK saves it through the desk, which
// shows the saved note at once.
#pragma once

#include "framework/Ufm_Base.h"

class DeskSession;
class QPlainTextEdit;
class QPushButton;

class TF00_EditPS : public Tfm_Base {
    Q_OBJECT
public:
    TF00_EditPS(QWidget* owner, DeskSession* session);

    QPlainTextEdit* memPS = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void Ok();

private:
    void followDesk();

    DeskSession* m_session;
    QString m_guest; // the customer whose note this is
};

extern TF00_EditPS* F00_EditPS;
