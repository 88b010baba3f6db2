// Columns and rows of a Dataset as a table model.
#include "framework/DatasetModel.h"

GridColumn::GridColumn(DatasetModel* model, const QString& field, const QString& caption)
    : m_model(model), m_field(field), m_caption(caption) {}
GridColumn& GridColumn::changed() { return *this; }
GridColumn& GridColumn::caption(const QString& t) { m_caption = t; return changed(); }
GridColumn& GridColumn::visible(bool on) { m_visible = on; return changed(); }
GridColumn& GridColumn::width(int w) { m_width = w; return changed(); }
GridColumn& GridColumn::readOnly(bool on) { m_readOnly = on; return changed(); }
GridColumn& GridColumn::text() { m_kind = ColumnKind::Text; return changed(); }
GridColumn& GridColumn::number(const QString& f) { m_kind = ColumnKind::Number; m_format = f; return changed(); }
GridColumn& GridColumn::money(const QString& f) { m_kind = ColumnKind::Money; m_format = f; return changed(); }
GridColumn& GridColumn::date(const QString& f) { m_kind = ColumnKind::Date; m_format = f; return changed(); }
GridColumn& GridColumn::check() { m_kind = ColumnKind::Check; return changed(); }
GridColumn& GridColumn::lookup(const ValueItems& items) { m_kind = ColumnKind::Lookup; m_items = items; return changed(); }
GridColumn& GridColumn::band(const QString& name) { m_band = name; return changed(); }
GridColumn& GridColumn::tint(const QColor& c) { m_tint = c; return changed(); }
Qt::Alignment GridColumn::alignment() const { return m_align; }
GridColumn& GridColumn::align(Qt::Alignment a) { m_align = a; return changed(); }

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}
void DatasetModel::setDataset(Dataset* d) { beginResetModel(); m_dataset = d; endResetModel(); }
GridColumn& DatasetModel::addColumn(const QString& field, const QString& caption)
{
    m_columns.push_back(GridColumn(this, field, caption));
    return m_columns.back();
}
GridColumn* DatasetModel::column(int) const { return nullptr; }
GridColumn* DatasetModel::column(const QString&) const { return nullptr; }
int DatasetModel::rowCount(const QModelIndex&) const { return 0; }
int DatasetModel::columnCount(const QModelIndex&) const { return 0; }
QVariant DatasetModel::data(const QModelIndex&, int) const { return {}; }
bool DatasetModel::setData(const QModelIndex&, const QVariant&, int) { return false; }
Qt::ItemFlags DatasetModel::flags(const QModelIndex& i) const { return QAbstractTableModel::flags(i); }
QVariant DatasetModel::headerData(int, Qt::Orientation, int) const { return {}; }
