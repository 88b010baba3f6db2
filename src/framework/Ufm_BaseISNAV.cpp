// The navigator window base and the record status.
#include "framework/Ufm_BaseISNAV.h"

#include "db/Dataset.h"
#include "framework/DBNavigator.h"

#include <QFrame>
#include <QVBoxLayout>

Tfm_BaseISNAV::Tfm_BaseISNAV(QWidget* owner) : Tfm_BaseIS(owner)
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    m_layout = new QVBoxLayout(Panel1);
    m_layout->setContentsMargins(2, 2, 2, 2);
    BiDiDBNavigator1 = new DBNavigator(Panel1);
    BiDiDBNavigator1->setObjectName(QStringLiteral("BiDiDBNavigator1"));
    BiDiDBNavigator1->setVisibleButtons(
        {DBNavigator::Button::First, DBNavigator::Button::Prior, DBNavigator::Button::Next, DBNavigator::Button::Last,
         DBNavigator::Button::Post, DBNavigator::Button::Cancel, DBNavigator::Button::Refresh});
    m_layout->addWidget(BiDiDBNavigator1, 0, Qt::AlignLeft);
    setCentralWidget(Panel1);
}

void Tfm_BaseISNAV::setDataSource(Dataset* dataset)
{
    m_dataset = dataset;
    BiDiDBNavigator1->setDataset(dataset);
}

QString Tfm_BaseISNAV::recordStatusText(const Dataset& dataSet, int mode)
{
    const QString count = QString::number(dataSet.recordCount());
    const QString tail = QStringLiteral("　　");
    if (mode == 1) {
        const int n = dataSet.recNo();
        const QString position = n == -1 || n == 0 ? QStringLiteral("新增...") : QString::number(n);
        return position + QStringLiteral("/總筆數：") + count + tail;
    }
    if (mode == 2)
        return QStringLiteral("總筆數：") + count + tail;
    return QString();
}

void Tfm_BaseISNAV::ShowRecordStatus(const Dataset& dataSet, int mode)
{
    if (mode == 1 || mode == 2)
        setPanelText(1, recordStatusText(dataSet, mode));
}

bool Tfm_BaseISNAV::IsEditing(const Dataset& dataSet)
{
    return dataSet.state() != Dataset::State::Browse;
}
