// Columns and rows of a Dataset as a table model, and the number display formats.
#include "framework/DatasetModel.h"

#include "framework/DataGuard.h"

#include <QLocale>

#include <cmath>

// --- display formats ------------------------------------------------------

namespace {

QStringList splitSections(const QString& format)
{
    QStringList parts;
    QString cur;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            parts << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    parts << cur;
    return parts;
}

QString formatSection(double magnitude, const QString& section)
{
    QString prefix, suffix;
    int minInt = 0, minDec = 0, maxDec = 0;
    bool thousands = false, seenDigit = false, seenPoint = false;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (seenDigit ? suffix : prefix) += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!suffix.isEmpty()) // text between placeholders goes after the number
                continue;
            seenDigit = true;
            if (seenPoint) {
                ++maxDec;
                if (c == QLatin1Char('0'))
                    minDec = maxDec;
            } else if (c == QLatin1Char('0')) {
                ++minInt;
            }
        } else if (c == QLatin1Char(',') && !seenPoint) {
            thousands = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else {
            (seenDigit ? suffix : prefix) += c;
        }
    }
    if (!seenDigit)
        return prefix + suffix;

    const double scale = std::pow(10.0, maxDec);
    const double rounded = std::round(magnitude * scale) / scale;
    QString digits = QString::number(rounded, 'f', maxDec);
    QString intPart = digits, decPart;
    const int point = int(digits.indexOf(QLatin1Char('.')));
    if (point >= 0) {
        intPart = digits.left(point);
        decPart = digits.mid(point + 1);
    }
    while (decPart.size() > minDec && decPart.endsWith(QLatin1Char('0')))
        decPart.chop(1);
    if (intPart == QLatin1String("0") && minInt == 0)
        intPart.clear();
    while (intPart.size() < minInt)
        intPart.prepend(QLatin1Char('0'));
    if (thousands) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, QLatin1Char(','));
    }
    QString out = prefix + intPart;
    if (!decPart.isEmpty())
        out += QLatin1Char('.') + decPart;
    return out + suffix;
}

int decimalsOf(const QString& section)
{
    const int point = int(section.indexOf(QLatin1Char('.')));
    if (point < 0)
        return 0;
    int n = 0;
    for (int i = point + 1; i < section.size(); ++i) {
        if (section[i] == QLatin1Char('0') || section[i] == QLatin1Char('#'))
            ++n;
    }
    return n;
}

QString plainNumber(double v)
{
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

} // namespace

QString formatNumber(double value, const QString& displayFormat)
{
    if (displayFormat.isEmpty())
        return plainNumber(value);
    const QStringList sections = splitSections(displayFormat);
    const double scale = std::pow(10.0, decimalsOf(sections.value(0)));
    const bool zero = std::round(std::fabs(value) * scale) == 0;
    if (zero && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(0, sections[2]);
    if (!zero && value < 0) {
        if (sections.size() >= 2 && !sections[1].isEmpty())
            return formatSection(-value, sections[1]);
        return QLatin1Char('-') + formatSection(-value, sections[0]);
    }
    return formatSection(std::fabs(value), sections[0]);
}

// --- columns --------------------------------------------------------------

GridColumn::GridColumn(DatasetModel* model, const QString& field, const QString& caption)
    : m_model(model), m_field(field), m_caption(caption)
{
}

GridColumn& GridColumn::changed()
{
    if (m_model)
        m_model->columnChanged();
    return *this;
}

GridColumn& GridColumn::caption(const QString& t)
{
    m_caption = t;
    return changed();
}

GridColumn& GridColumn::visible(bool on)
{
    m_visible = on;
    return changed();
}

GridColumn& GridColumn::width(int w)
{
    m_width = w;
    return changed();
}

GridColumn& GridColumn::readOnly(bool on)
{
    m_readOnly = on;
    return changed();
}

GridColumn& GridColumn::text()
{
    m_kind = ColumnKind::Text;
    m_kindSet = true;
    return changed();
}

GridColumn& GridColumn::number(const QString& f)
{
    m_kind = ColumnKind::Number;
    m_kindSet = true;
    m_format = f;
    return changed();
}

GridColumn& GridColumn::money(const QString& f)
{
    m_kind = ColumnKind::Money;
    m_kindSet = true;
    m_format = f;
    return changed();
}

GridColumn& GridColumn::date(const QString& f)
{
    m_kind = ColumnKind::Date;
    m_kindSet = true;
    m_format = f;
    return changed();
}

GridColumn& GridColumn::check()
{
    m_kind = ColumnKind::Check;
    m_kindSet = true;
    return changed();
}

GridColumn& GridColumn::lookup(const ValueItems& items)
{
    m_kind = ColumnKind::Lookup;
    m_kindSet = true;
    m_items = items;
    return changed();
}

GridColumn& GridColumn::band(const QString& name)
{
    m_band = name;
    return changed();
}

GridColumn& GridColumn::tint(const QColor& c)
{
    m_tint = c;
    return changed();
}

Qt::Alignment GridColumn::alignment() const
{
    if (m_align)
        return m_align;
    switch (m_kind) {
    case ColumnKind::Number:
    case ColumnKind::Money:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnKind::Check:
        return Qt::AlignCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

GridColumn& GridColumn::align(Qt::Alignment a)
{
    m_align = a;
    return changed();
}

// --- model ----------------------------------------------------------------

namespace {

bool sameStored(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    if (okA && okB)
        return x == y;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
}

bool truthy(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString() == QLatin1String("1") || v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return v.toLongLong() != 0;
}

} // namespace

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetModel::setDataset(Dataset* dataset)
{
    if (dataset == m_dataset)
        return;
    beginResetModel();
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (dataset) {
        connect(dataset, &Dataset::rowsReset, this, &DatasetModel::onRowsReset);
        connect(dataset, &Dataset::rowChanged, this, &DatasetModel::onRowChanged);
        connect(dataset, &Dataset::stateChanged, this, &DatasetModel::onStateChanged);
        connect(dataset, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_rowCount = 0;
            m_fieldIdx.clear();
            endResetModel();
        });
    }
    rebuildAutoColumns();
    resolveFields();
    m_rowCount = dataset ? dataset->recordCount() + (dataset->state() == Dataset::State::Insert ? 1 : 0) : 0;
    endResetModel();
}

GridColumn& DatasetModel::addColumn(const QString& field, const QString& caption)
{
    if (m_columns.empty()) {
        beginResetModel();
        m_columns.push_back(GridColumn(this, field, caption));
        resolveFields();
        endResetModel();
    } else {
        const int at = int(m_columns.size());
        beginInsertColumns({}, at, at);
        m_columns.push_back(GridColumn(this, field, caption));
        resolveFields();
        endInsertColumns();
    }
    emit columnsChanged();
    return m_columns.back();
}

void DatasetModel::clearColumns()
{
    beginResetModel();
    m_columns.clear();
    rebuildAutoColumns();
    resolveFields();
    endResetModel();
    emit columnsChanged();
}

GridColumn* DatasetModel::column(int index) const
{
    auto& cols = const_cast<DatasetModel*>(this)->shown();
    if (index < 0 || index >= int(cols.size()))
        return nullptr;
    return &cols[size_t(index)];
}

GridColumn* DatasetModel::column(const QString& field) const
{
    return column(columnOf(field));
}

int DatasetModel::columnOf(const QString& field) const
{
    const auto& cols = shown();
    for (size_t i = 0; i < cols.size(); ++i) {
        if (cols[i].field().compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void DatasetModel::columnChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit columnsChanged();
}

void DatasetModel::rebuildAutoColumns()
{
    const QStringList fields = [this] {
        QStringList f;
        if (m_dataset)
            for (int i = 0; i < m_dataset->fieldCount(); ++i)
                f << m_dataset->fieldName(i);
        return f;
    }();
    if (fields == m_lastFields && !m_autoColumns.empty())
        return;
    m_lastFields = fields;
    m_autoColumns.clear();
    for (const QString& f : fields)
        m_autoColumns.push_back(GridColumn(nullptr, f, {}));
}

void DatasetModel::resolveFields()
{
    const auto& cols = shown();
    m_fieldIdx.assign(cols.size(), -1);
    if (!m_dataset)
        return;
    for (size_t i = 0; i < cols.size(); ++i)
        m_fieldIdx[i] = m_dataset->fieldIndex(cols[i].field());
}

void DatasetModel::onRowsReset()
{
    beginResetModel();
    const bool structural = m_columns.empty();
    if (structural)
        rebuildAutoColumns();
    resolveFields();
    m_rowCount = m_dataset ? m_dataset->recordCount() + (m_dataset->state() == Dataset::State::Insert ? 1 : 0) : 0;
    endResetModel();
    if (structural)
        emit columnsChanged();
}

void DatasetModel::onRowChanged(int recNo)
{
    const int row = rowOfRecNo(recNo);
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DatasetModel::onStateChanged()
{
    // The rows of a new record come and go with rowsReset; here only the editability of the
    // current row changes, and its colours may follow the state.
    onRowChanged(m_dataset ? m_dataset->recNo() : 0);
}

int DatasetModel::recNoOfRow(int row) const
{
    if (!m_dataset || row < 0)
        return 0;
    if (m_dataset->state() == Dataset::State::Insert && row == m_dataset->recordCount())
        return -1;
    return row < m_dataset->recordCount() ? row + 1 : 0;
}

int DatasetModel::rowOfRecNo(int recNo) const
{
    if (!m_dataset)
        return -1;
    if (recNo == -1)
        return m_dataset->state() == Dataset::State::Insert ? m_dataset->recordCount() : -1;
    return recNo >= 1 && recNo <= m_dataset->recordCount() ? recNo - 1 : -1;
}

int DatasetModel::currentRow() const
{
    return m_dataset ? rowOfRecNo(m_dataset->recNo()) : -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown().size());
}

int DatasetModel::fieldOf(int column) const
{
    return column >= 0 && column < int(m_fieldIdx.size()) ? m_fieldIdx[size_t(column)] : -1;
}

ColumnKind DatasetModel::kindOf(int column) const
{
    const GridColumn* c = this->column(column);
    if (!c)
        return ColumnKind::Text;
    if (c->m_kindSet)
        return c->m_kind;
    const int f = fieldOf(column);
    if (!m_dataset || f < 0)
        return ColumnKind::Text;
    switch (m_dataset->fieldKind(f)) {
    case FieldKind::Boolean:
        return ColumnKind::Check;
    case FieldKind::Date:
        return ColumnKind::Date;
    case FieldKind::Integer:
    case FieldKind::Number:
        return ColumnKind::Number;
    default:
        return ColumnKind::Text;
    }
}

QVariant DatasetModel::rawValue(int row, int column) const
{
    const int f = fieldOf(column);
    if (!m_dataset || f < 0 || row < 0 || row >= m_rowCount)
        return {};
    return m_dataset->valueAt(recNoOfRow(row), f);
}

QString DatasetModel::displayText(int row, int column) const
{
    const GridColumn* c = this->column(column);
    if (!c)
        return {};
    QVariant v;
    try {
        v = rawValue(row, column);
    } catch (...) {
        return {}; // a calculated field that fails shows nothing rather than stopping the paint
    }
    switch (kindOf(column)) {
    case ColumnKind::Check:
        return v.isNull() ? QString() : (truthy(v) ? QStringLiteral("✓") : QString());
    case ColumnKind::Date: {
        if (v.isNull())
            return {};
        const QString fmt = c->format().isEmpty() ? kShownDateFormat : c->format();
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(fmt);
        const QDateTime dt = dbDateTime(v);
        return dt.isValid() ? dt.toString(fmt) : v.toString();
    }
    case ColumnKind::Money:
    case ColumnKind::Number: {
        if (v.isNull())
            return {};
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? formatNumber(d, c->format()) : v.toString();
    }
    case ColumnKind::Lookup:
        for (const ValueItem& item : c->items()) {
            if (sameStored(item.value, v))
                return item.text;
        }
        return v.toString();
    case ColumnKind::Text:
        break;
    }
    return v.toString();
}

QVariant DatasetModel::editValue(int row, int column) const
{
    QVariant v;
    try {
        v = rawValue(row, column);
    } catch (...) {
        return {};
    }
    switch (kindOf(column)) {
    case ColumnKind::Check:
        return v.isNull() ? false : truthy(v);
    case ColumnKind::Date:
        return v.isNull() ? QVariant() : QVariant(dbDate(v));
    case ColumnKind::Money:
    case ColumnKind::Number:
        return v.isNull() ? QVariant() : QVariant(plainNumber(v.toDouble()));
    default:
        return v;
    }
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_dataset)
        return {};
    const int row = index.row(), col = index.column();
    const GridColumn* c = column(col);
    if (!c)
        return {};
    try {
        switch (role) {
        case Qt::DisplayRole:
            return kindOf(col) == ColumnKind::Check ? QVariant() : QVariant(displayText(row, col));
        case Qt::EditRole:
            return editValue(row, col);
        case Qt::CheckStateRole:
            if (kindOf(col) != ColumnKind::Check)
                return {};
            return editValue(row, col).toBool() ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole:
            if (kindOf(col) == ColumnKind::Lookup) {
                const QVariant v = rawValue(row, col);
                for (const ValueItem& item : c->items()) {
                    if (sameStored(item.value, v))
                        return item.icon.isNull() ? QVariant() : QVariant(item.icon);
                }
            }
            return {};
        case Qt::TextAlignmentRole: {
            if (c->m_align)
                return QVariant::fromValue(c->m_align);
            switch (kindOf(col)) {
            case ColumnKind::Number:
            case ColumnKind::Money:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            case ColumnKind::Check:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
            default:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
            }
        }
        case Qt::BackgroundRole: {
            if (cellBackground) {
                const QColor color = cellBackground(recNoOfRow(row), c->field());
                if (color.isValid())
                    return color;
            }
            return c->tintColor().isValid() ? QVariant(c->tintColor()) : QVariant();
        }
        case Qt::ForegroundRole:
            if (cellText) {
                const QColor color = cellText(recNoOfRow(row), c->field());
                if (color.isValid())
                    return color;
            }
            return {};
        case Qt::UserRole:
            return rawValue(row, col);
        default:
            return {};
        }
    } catch (...) {
        return {}; // painting goes on; the step that changes the data reports its own errors
    }
}

bool DatasetModel::isCellEditable(const QModelIndex& index) const
{
    if (!index.isValid() || !m_editable || !m_dataset || !m_dataset->isOpen() || m_dataset->isReadOnly())
        return false;
    const GridColumn* c = column(index.column());
    const int f = fieldOf(index.column());
    return c && !c->isReadOnly() && f >= 0 && !m_dataset->isCalcField(f) && recNoOfRow(index.row()) != 0;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (isCellEditable(index))
        f |= kindOf(index.column()) == ColumnKind::Check ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

QVariant DatasetModel::toStored(int column, const QVariant& value, bool* ok) const
{
    *ok = true;
    if (value.isNull())
        return {};
    switch (kindOf(column)) {
    case ColumnKind::Check:
        return value.toBool();
    case ColumnKind::Date:
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return value;
        if (value.toString().trimmed().isEmpty())
            return {};
        {
            const QDate d = QDate::fromString(value.toString().trimmed(), QStringLiteral("yyyy/M/d"));
            if (d.isValid())
                return d;
            const QDateTime dt = dbDateTime(value);
            *ok = dt.isValid();
            return dt;
        }
    case ColumnKind::Money:
    case ColumnKind::Number: {
        const QString t = value.toString().trimmed().remove(QLatin1Char(','));
        if (t.isEmpty())
            return {};
        const int f = fieldOf(column);
        if (m_dataset && f >= 0 && m_dataset->fieldKind(f) == FieldKind::Integer) {
            const qlonglong n = t.toLongLong(ok);
            return n;
        }
        const double d = t.toDouble(ok);
        if (*ok && d == std::trunc(d) && std::fabs(d) < 1e15)
            return qlonglong(d);
        return d;
    }
    default:
        if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
            return {}; // an emptied cell has no value, as the windows' checks expect
        return value;
    }
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole && role != Qt::CheckStateRole)
        return false;
    if (!isCellEditable(index))
        return false;
    bool ok = false;
    const QVariant stored = role == Qt::CheckStateRole ? QVariant(value.toInt() == Qt::Checked)
                                                       : toStored(index.column(), value, &ok);
    ok = ok || role == Qt::CheckStateRole;
    if (!ok)
        return false;
    const int recNo = recNoOfRow(index.row());
    const QString field = m_dataset->fieldName(fieldOf(index.column()));
    Dataset* ds = m_dataset;
    return runDataStep([&] {
        if (ds->recNo() != recNo)
            ds->moveTo(recNo);
        if (ds->recNo() != recNo)
            throw Abort();
        ds->setValue(field, stored);
    });
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        const GridColumn* c = column(section);
        if (!c)
            return {};
        if (role == Qt::DisplayRole)
            return c->caption();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    }
    if (role == Qt::DisplayRole)
        return recNoOfRow(section) == -1 ? QStringLiteral("*") : QString::number(section + 1);
    return {};
}
