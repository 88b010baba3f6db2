// The data grid.
#include "framework/DBGrid.h"

#include <QHeaderView>

class BandHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new DatasetModel(this)), m_header(nullptr)
{
    setModel(m_model);
}
DBGrid::~DBGrid() = default;
void DBGrid::setDataset(Dataset* d) { m_model->setDataset(d); }
Dataset* DBGrid::dataset() const { return m_model->dataset(); }
GridColumn& DBGrid::addColumn(const QString& f, const QString& c) { return m_model->addColumn(f, c); }
void DBGrid::keyPressEvent(QKeyEvent* e) { QTableView::keyPressEvent(e); }
void DBGrid::mouseDoubleClickEvent(QMouseEvent* e) { QTableView::mouseDoubleClickEvent(e); }
void DBGrid::resizeEvent(QResizeEvent* e) { QTableView::resizeEvent(e); }
void DBGrid::currentChanged(const QModelIndex& c, const QModelIndex& p) { QTableView::currentChanged(c, p); }
QModelIndex DBGrid::moveCursor(CursorAction a, Qt::KeyboardModifiers m) { return QTableView::moveCursor(a, m); }
void DBGrid::scrollTo(const QModelIndex& i, ScrollHint h) { QTableView::scrollTo(i, h); }
void DBGrid::updateGeometries() { QTableView::updateGeometries(); }
