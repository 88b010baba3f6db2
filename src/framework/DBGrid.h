// The data grid bound to a Dataset: declared columns with captions, kinds and
// bands (the first band optionally fixed on the left), colours chosen at paint time,
// in-place editing, sorting by a header click, incremental search by typing, and a
// current row that follows the dataset's current row both ways.
#pragma once

#include "framework/DatasetModel.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTableView>

class BandHeader;

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void setDataset(Dataset* dataset);
    Dataset* dataset() const;
    DatasetModel* datasetModel() const { return m_model; }

    // --- columns ----------------------------------------------------------
    // Columns show in the order they are added; without any, every field shows.
    GridColumn& addColumn(const QString& field, const QString& caption = {});
    GridColumn* column(const QString& field) const { return m_model->column(field); }
    // A field that is loaded but not shown: the same as addColumn(field).hide().
    DBGrid& hideColumns(const QStringList& fields);

    // --- bands ------------------------------------------------------------
    // Bands come from the columns' band names, in the order they first appear. With fixed on,
    // the columns of the first band stay on the left while the others scroll.
    DBGrid& setFixedFirstBand(bool fixed);
    bool hasFixedFirstBand() const { return m_fixedFirstBand; }
    QStringList bands() const;
    // The columns of the fixed band (empty without one) and their view; for tests and windows
    // that need to reach them.
    QTableView* fixedView() const { return m_fixed; }

    // --- behaviour --------------------------------------------------------
    DBGrid& setRowSelect(bool wholeRows);         // default: off (cell by cell)
    DBGrid& setEditable(bool on);                 // default: on (the dataset and columns may refuse)
    DBGrid& setSortable(bool on);                 // default: on
    DBGrid& setIncrementalSearch(bool on);        // default: on
    DBGrid& setFitWidth(bool on);                 // default: on: column widths fill the grid's width
    bool isEditable() const { return m_model->isEditable(); }
    bool rowSelect() const { return m_rowSelect; }

    // --- colours at paint time ------------------------------------------
    // Called for every painted cell with (recNo, field); an invalid colour keeps the default.
    // A per-row colour is a callback that ignores the field.
    DBGrid& onCellBackground(DatasetModel::ColorHook hook);
    DBGrid& onCellText(DatasetModel::ColorHook hook);

    // --- position ---------------------------------------------------------
    int currentRecNo() const;
    QString currentField() const;
    void setCurrentField(const QString& field);
    // An in-place editor is open.
    bool isEditingCell() const { return state() == EditingState; }
    // The text typed so far by incremental search (reset after a pause or on another column).
    QString searchText() const { return m_search; }

    // Sorts the dataset by a column as a header click does; the same column again reverses it.
    void sortByColumn(int column, Qt::SortOrder order);
    using QTableView::edit;

signals:
    // The user activated a row (Enter on a cell that is not being edited, or a double click on a row
    // that cannot be edited in place); windows that hand a row over listen to it.
    void rowActivated(int recNo);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumns();
    void fitWidths();
    void followDataset();
    void updateSortIndicator();
    void onHeaderClicked(int section);
    void activate(const QModelIndex& index);
    bool incrementalSearch(const QString& typed);
    void ensureFixedView();
    void updateFixedGeometry();
    int fixedCount() const;
    int fixedWidth() const;
    bool isFixedColumn(int column) const;
    int defaultWidth(int column) const;

    DatasetModel* m_model;
    BandHeader* m_header;
    QTableView* m_fixed = nullptr;
    QPointer<Dataset> m_dataset;
    bool m_fixedFirstBand = false;
    bool m_rowSelect = false;
    bool m_sortable = true;
    bool m_searchOn = true;
    bool m_fit = true;
    bool m_syncing = false;
    bool m_settingWidths = false;
    int m_lastColumn = 0;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_search;
    int m_searchColumn = -1;
    QElapsedTimer m_searchClock;
};
