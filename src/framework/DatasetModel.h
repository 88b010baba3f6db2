// The table model that every grid shows a Dataset through: a list of columns
// (field, caption, kind, display format, band, colours) over the dataset's rows,
// read as the view asks for them, with a new unsaved row shown as an extra last row.
#pragma once

#include "db/Dataset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QPointer>

#include <deque>
#include <functional>

class DatasetModel;

// How a column shows and edits its field.
enum class ColumnKind {
    Text,   // the stored value as text
    Number, // a number, optionally with a display format
    Money,  // a number with a money display format such as "NT$,0;-NT$,0"
    Date,   // the date part of a stored moment
    Check,  // a check mark for a yes/no field
    Lookup, // a stored value shown as a text (and optionally a picture)
};

// How the windows show a date.
inline const QString kShownDateFormat = QStringLiteral("yyyy/MM/dd");

// One stored value of a lookup column or a value choice, and what is shown for it.
struct ValueItem {
    QVariant value;
    QString text;
    QIcon icon = {};
};
using ValueItems = QList<ValueItem>;

// One column of a grid. Setters return the column, so a window declares it in one statement:
//   grid->addColumn("Leave_Mon", "現存").money().band("基本資料").tint(QColor(0xF0, 0xFF, 0xF0));
class GridColumn {
public:
    QString field() const { return m_field; }

    QString caption() const { return m_caption.isEmpty() ? m_field : m_caption; }
    GridColumn& caption(const QString& text);

    bool isVisible() const { return m_visible; }
    GridColumn& visible(bool on);
    GridColumn& hide() { return visible(false); }

    int width() const { return m_width; } // 0: the grid chooses
    GridColumn& width(int pixels);

    // Calculated fields are always read-only.
    bool isReadOnly() const { return m_readOnly; }
    GridColumn& readOnly(bool on = true);

    ColumnKind kind() const { return m_kind; }
    QString format() const { return m_format; }
    GridColumn& text();
    GridColumn& number(const QString& displayFormat = {});
    GridColumn& money(const QString& displayFormat = QStringLiteral("NT$,0;-NT$,0"));
    GridColumn& date(const QString& displayFormat = kShownDateFormat);
    GridColumn& check();
    GridColumn& lookup(const ValueItems& items);
    const ValueItems& items() const { return m_items; }

    QString band() const { return m_band; }
    GridColumn& band(const QString& name);

    // A fixed background for the whole column ("tinted" columns); callbacks may still override it.
    QColor tintColor() const { return m_tint; }
    GridColumn& tint(const QColor& background);

    Qt::Alignment alignment() const;
    GridColumn& align(Qt::Alignment a);

private:
    friend class DatasetModel;
    GridColumn(DatasetModel* model, const QString& field, const QString& caption);
    GridColumn& changed();

    DatasetModel* m_model;
    QString m_field, m_caption, m_format, m_band;
    bool m_visible = true, m_readOnly = false;
    int m_width = 0;
    ColumnKind m_kind = ColumnKind::Text;
    bool m_kindSet = false; // otherwise the field's type decides
    ValueItems m_items;
    QColor m_tint;
    Qt::Alignment m_align = {};
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // A colour for one cell at paint time; an invalid QColor keeps the default.
    // recNo is 1..count, or -1 for the new unsaved row; field is the column's field.
    using ColorHook = std::function<QColor(int recNo, const QString& field)>;

    explicit DatasetModel(QObject* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return m_dataset; }

    // Without any column added, the model shows every field of the dataset under its own name,
    // with the kind its type suggests.
    GridColumn& addColumn(const QString& field, const QString& caption = {});
    int columnCountDefined() const { return int(m_columns.size()); }
    GridColumn* column(int index) const;
    GridColumn* column(const QString& field) const;
    int columnOf(const QString& field) const;
    void clearColumns();

    ColorHook cellBackground, cellText;

    // Whether cells may be edited at all (each column and the dataset may still refuse).
    void setEditable(bool on) { m_editable = on; }
    bool isEditable() const { return m_editable; }

    // recNo of a model row (1-based; -1 for the extra new row) and back.
    int recNoOfRow(int row) const;
    int rowOfRecNo(int recNo) const;
    int currentRow() const;

    // What the cell shows, as text (formats, lookups and check marks applied).
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The value a cell's editor starts with, in the column's terms (a number, a date, a stored value).
    QVariant editValue(int row, int column) const;
    // The kind the column shows with: as declared, or what the field's type suggests.
    ColumnKind kindOf(int column) const;
    // Whether the user may change the cell (grid, dataset, column and field all allow it).
    bool isCellEditable(const QModelIndex& index) const;

signals:
    // A column's look changed (visibility, width, band, caption): views re-apply it.
    void columnsChanged();

private:
    friend class GridColumn;
    void columnChanged();
    void rebuildAutoColumns();
    void onRowsReset();
    void onRowChanged(int recNo);
    void onStateChanged();
    void resolveFields();
    int fieldOf(int column) const;
    QVariant rawValue(int row, int column) const;
    QVariant toStored(int column, const QVariant& value, bool* ok) const;
    const std::deque<GridColumn>& shown() const { return m_columns.empty() ? m_autoColumns : m_columns; }
    std::deque<GridColumn>& shown() { return m_columns.empty() ? m_autoColumns : m_columns; }

    QPointer<Dataset> m_dataset;
    std::deque<GridColumn> m_columns;     // declared by the window
    std::deque<GridColumn> m_autoColumns; // one per field when none were declared
    bool m_editable = true;
    int m_rowCount = 0;
    QStringList m_lastFields;
    std::vector<int> m_fieldIdx; // dataset field index per shown column, -1 when missing
};

// Formats a number with a display format of ';'-separated sections (positive;negative;zero):
// '0' a digit always shown, '#' a digit shown when significant, ',' thousands separators, '.' the
// decimal point, text in quotes or other characters taken over as they are. A negative number
// with its own section is shown by that section without a sign; with a single section it gets a
// leading '-'. An empty format gives the plain number.
QString formatNumber(double value, const QString& displayFormat);
