// The query launcher.
#include "framework/UF00_FindChose.h"

#include "framework/WindowRegistry.h"

#include <QKeyEvent>
#include <QListWidget>

TF00_FindChose* F00_FindChose = nullptr;

TF00_FindChose::TF00_FindChose(QWidget* owner) : TFfm_ChoseForm(owner)
{
    setObjectName(QStringLiteral("F00_FindChose"));
    setWindowTitle(QStringLiteral("查詢功能"));
    lstBox->addItems({QStringLiteral("1.書本查詢(B)"), QStringLiteral("2.客戶查詢(G)"),
                      QStringLiteral("3.未還書查詢(N)"), QStringLiteral("4.期間排行榜")});
    lstBox->installEventFilter(this);
    connect(lstBox, &QListWidget::itemDoubleClicked, this, &TF00_FindChose::OpenChosen);
}

QStringList TF00_FindChose::windowClasses()
{
    return {QStringLiteral("TF11_FindBook"), QStringLiteral("TF11_FindGuest"), QStringLiteral("TF22_FindRBook"),
            QStringLiteral("TTimeRank")};
}

void TF00_FindChose::OpenChosen()
{
    const QList<QListWidgetItem*> chosen = lstBox->selectedItems();
    const int row = chosen.isEmpty() ? -1 : lstBox->row(chosen.first());
    if (row >= 0 && row < windowClasses().size())
        openWindow(windowClasses().at(row), this);
    hide();
}

bool TF00_FindChose::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenChosen();
            return true;
        }
    }
    return TFfm_ChoseForm::eventFilter(watched, event);
}
