// The grid window base.
#include "framework/Ufm_BaseISNAVGrid.h"

#include "framework/DBGrid.h"

#include <QVBoxLayout>

Tfm_BaseISNAVGrid::Tfm_BaseISNAVGrid(QWidget* owner) : Tfm_BaseISNAV(owner)
{
    dxDBGrid1 = new DBGrid(Panel1);
    dxDBGrid1->setObjectName(QStringLiteral("dxDBGrid1"));
    panelLayout()->addWidget(dxDBGrid1, 1);
}

void Tfm_BaseISNAVGrid::setDataSource(Dataset* dataset)
{
    Tfm_BaseISNAV::setDataSource(dataset);
    dxDBGrid1->setDataset(dataset);
}
