#include "framework/OkCancelButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* makeOkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("確定(&O)"), parent);
    ok->setObjectName(QStringLiteral("btnOK"));
    cancel = new QPushButton(QStringLiteral("取消(&C)"), parent);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
