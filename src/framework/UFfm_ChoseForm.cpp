// The chooser window.
#include "framework/UFfm_ChoseForm.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFfm_ChoseForm::TFfm_ChoseForm(QWidget* owner) : Tfm_Base(owner)
{
    setWindowFlags(Qt::Tool);
    lstBox = new QListWidget(surface());
    lstBox->setObjectName(QStringLiteral("lstBox"));
    btnExit = new QPushButton(QStringLiteral("離開(&X)"), surface());
    btnExit->setObjectName(QStringLiteral("btnExit"));
    auto* layout = new QVBoxLayout(surface());
    layout->addWidget(lstBox, 1);
    layout->addWidget(btnExit);
    resize(240, 200);
    connect(btnExit, &QPushButton::clicked, this, &Tfm_Base::exitWindow);
}

void TFfm_ChoseForm::showEvent(QShowEvent* event)
{
    Tfm_Base::showEvent(event);
    lstBox->setFocus();
    if (lstBox->count() > 0)
        lstBox->setCurrentRow(0);
}
