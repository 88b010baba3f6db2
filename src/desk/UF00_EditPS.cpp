// The note editor. It belongs to the customer it was opened for: once the desk
// has moved on to another customer (or none) it closes without saving.
#include "desk/UF00_EditPS.h"

#include "desk/DeskSession.h"
#include "framework/OkCancelButtons.h"
#include "framework/RoundedCorners.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TF00_EditPS* F00_EditPS = nullptr;

TF00_EditPS::TF00_EditPS(QWidget* owner, DeskSession* session) : Tfm_Base(owner), m_session(session)
{
    setObjectName(QStringLiteral("F00_EditPS"));
    setWindowTitle(QStringLiteral("   修改提示"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    m_guest = session->guest().GuestCode;

    memPS = new QPlainTextEdit(surface());
    memPS->setObjectName(QStringLiteral("memPS"));
    const Dataset& g = session->qryGuest();
    memPS->setPlainText(g.isOpen() && g.recNo() >= 1 ? g.text(QStringLiteral("PS")) : session->guest().PS);
    QHBoxLayout* buttons = makeOkCancelRow(surface(), btnOK, btnCancel);

    auto* layout = new QVBoxLayout(surface());
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addWidget(memPS, 1);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TF00_EditPS::Ok);
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(session, &DeskSession::changed, this, &TF00_EditPS::followDesk);

    resize(420, 220);
    keepRoundedCorners(this);
    memPS->setFocus();
}

void TF00_EditPS::followDesk()
{
    if (isVisible() && (!m_session->customerOpen() || m_session->guest().GuestCode != m_guest))
        close();
}

void TF00_EditPS::Ok()
{
    if (!m_session->customerOpen() || m_session->guest().GuestCode != m_guest) {
        close();
        return;
    }
    if (m_session->SavePS(memPS->toPlainText()))
        close();
}
