// The record navigator.
#include "framework/DBNavigator.h"

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {}
void DBNavigator::setDataset(Dataset* d) { m_dataset = d; }
void DBNavigator::setVisibleButtons(const QList<Button>&) {}
