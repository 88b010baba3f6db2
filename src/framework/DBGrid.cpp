// The data grid: columns and widths, the fixed band drawn by a second view over
// the left edge, the current row kept in step with the dataset, sorting, and the
// grid's keys (Enter, Escape, Space and incremental search).
#include "framework/DBGrid.h"

#include "core/Prompts.h"
#include "framework/DataGuard.h"
#include "framework/GridParts.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Typing pauses longer than this start a new incremental search.
constexpr int kSearchPauseMs = 1500;

} // namespace

// --- the grid ---------------------------------------------------------------

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new DatasetModel(this)), m_header(new BandHeader(this))
{
    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(newGridDelegate(this));
    // Rows of one height: the view never measures rows, so a large table opens at once.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->hide();
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setSortingEnabled(false); // a header click sorts the dataset, not the view
    disconnect(m_header, &QHeaderView::sectionPressed, this, nullptr);
    connect(m_header, &QHeaderView::sectionClicked, this, &DBGrid::onHeaderClicked);
    connect(m_header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (m_fixed && isFixedColumn(logical)) {
            m_fixed->setColumnWidth(logical, size);
            updateFixedGeometry();
        }
    });
    connect(m_model, &DatasetModel::columnsChanged, this, &DBGrid::applyColumns);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        updateSortIndicator();
        followDataset();
    });
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataset(Dataset* dataset)
{
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    m_model->setDataset(dataset);
    if (dataset)
        connect(dataset, &Dataset::currentChanged, this, &DBGrid::followDataset);
    m_sortColumn = -1;
    updateSortIndicator();
    followDataset();
}

Dataset* DBGrid::dataset() const { return m_dataset; }

GridColumn& DBGrid::addColumn(const QString& field, const QString& caption)
{
    return m_model->addColumn(field, caption);
}

DBGrid& DBGrid::hideColumns(const QStringList& fields)
{
    for (const QString& f : fields) {
        if (GridColumn* c = m_model->column(f); c && m_model->columnCountDefined() > 0)
            c->hide();
        else
            addColumn(f).hide();
    }
    return *this;
}

QStringList DBGrid::bands() const
{
    QStringList out;
    for (int i = 0; i < m_model->columnCount(); ++i) {
        const QString b = m_model->column(i)->band();
        if (!b.isEmpty() && !out.contains(b))
            out << b;
    }
    return out;
}

DBGrid& DBGrid::setFixedFirstBand(bool fixed)
{
    m_fixedFirstBand = fixed;
    if (fixed)
        ensureFixedView();
    applyColumns();
    return *this;
}

DBGrid& DBGrid::setRowSelect(bool wholeRows)
{
    m_rowSelect = wholeRows;
    const auto b = wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems;
    setSelectionBehavior(b);
    if (m_fixed)
        m_fixed->setSelectionBehavior(b);
    if (currentIndex().isValid())
        selectionModel()->setCurrentIndex(currentIndex(), QItemSelectionModel::ClearAndSelect
                                                              | (wholeRows ? QItemSelectionModel::Rows
                                                                           : QItemSelectionModel::NoUpdate));
    return *this;
}

DBGrid& DBGrid::setEditable(bool on)
{
    m_model->setEditable(on);
    viewport()->update();
    return *this;
}

DBGrid& DBGrid::setSortable(bool on)
{
    m_sortable = on;
    return *this;
}

DBGrid& DBGrid::setIncrementalSearch(bool on)
{
    m_searchOn = on;
    m_search.clear();
    return *this;
}

DBGrid& DBGrid::setFitWidth(bool on)
{
    m_fit = on;
    fitWidths();
    return *this;
}

DBGrid& DBGrid::onCellBackground(DatasetModel::ColorHook hook)
{
    m_model->cellBackground = std::move(hook);
    viewport()->update();
    return *this;
}

DBGrid& DBGrid::onCellText(DatasetModel::ColorHook hook)
{
    m_model->cellText = std::move(hook);
    viewport()->update();
    return *this;
}

int DBGrid::currentRecNo() const
{
    return m_dataset ? m_dataset->recNo() : 0;
}

QString DBGrid::currentField() const
{
    const GridColumn* c = m_model->column(currentIndex().isValid() ? currentIndex().column() : m_lastColumn);
    return c ? c->field() : QString();
}

void DBGrid::setCurrentField(const QString& field)
{
    const int col = m_model->columnOf(field);
    if (col < 0)
        return;
    m_lastColumn = col;
    const int row = m_model->currentRow();
    if (row >= 0) {
        m_syncing = true;
        setCurrentIndex(m_model->index(row, col));
        m_syncing = false;
    }
}

// --- columns and widths -------------------------------------------------

int DBGrid::defaultWidth(int column) const
{
    const GridColumn* c = m_model->column(column);
    if (!c)
        return 80;
    if (c->width() > 0)
        return c->width();
    const int caption = m_header->fontMetrics().horizontalAdvance(c->caption()) + 20;
    int content = 80;
    switch (m_model->kindOf(column)) {
    case ColumnKind::Check:
        content = 40;
        break;
    case ColumnKind::Date:
        content = fontMetrics().horizontalAdvance(QStringLiteral("2026/12/31")) + 16;
        break;
    default:
        break;
    }
    return std::max(caption, content);
}

void DBGrid::applyColumns()
{
    const int n = m_model->columnCount();
    const int fixed = fixedCount();
    for (int i = 0; i < n; ++i) {
        const GridColumn* c = m_model->column(i);
        setColumnHidden(i, !c->isVisible());
        if (m_fixed)
            m_fixed->setColumnHidden(i, !(i < fixed && c->isVisible()));
    }
    fitWidths();
    updateGeometries();
    m_header->viewport()->update();
    if (m_fixed)
        m_fixed->horizontalHeader()->viewport()->update();
}

void DBGrid::fitWidths()
{
    const int n = m_model->columnCount();
    if (n == 0)
        return;
    std::vector<int> widths(size_t(n), 0);
    int total = 0, lastVisible = -1;
    for (int i = 0; i < n; ++i) {
        if (isColumnHidden(i))
            continue;
        widths[size_t(i)] = defaultWidth(i);
        total += widths[size_t(i)];
        lastVisible = i;
    }
    const int avail = viewport()->width();
    // Fitting only widens: a grid with more columns than room keeps them readable and scrolls.
    if (m_fit && total > 0 && avail > total) {
        int used = 0;
        for (int i = 0; i < n; ++i) {
            if (isColumnHidden(i))
                continue;
            widths[size_t(i)] = i == lastVisible ? avail - used : int(qint64(widths[size_t(i)]) * avail / total);
            used += widths[size_t(i)];
        }
    }
    m_settingWidths = true;
    for (int i = 0; i < n; ++i) {
        if (widths[size_t(i)] > 0)
            setColumnWidth(i, widths[size_t(i)]);
    }
    m_settingWidths = false;
    updateFixedGeometry();
}

void DBGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitWidths();
}

// --- fixed band ---------------------------------------------------------

int DBGrid::fixedCount() const
{
    if (!m_fixedFirstBand || m_model->columnCount() == 0)
        return 0;
    const QString first = m_model->column(0)->band();
    if (first.isEmpty())
        return 0;
    int n = 0;
    while (n < m_model->columnCount() && m_model->column(n)->band() == first)
        ++n;
    return n;
}

bool DBGrid::isFixedColumn(int column) const { return column >= 0 && column < fixedCount(); }

int DBGrid::fixedWidth() const
{
    int w = 0;
    for (int i = 0; i < fixedCount(); ++i) {
        if (!isColumnHidden(i))
            w += columnWidth(i);
    }
    return w;
}

void DBGrid::ensureFixedView()
{
    if (m_fixed)
        return;
    m_fixed = new QTableView(this);
    m_fixed->setObjectName(QStringLiteral("fixedBand"));
    m_fixed->setHorizontalHeader(new BandHeader(m_fixed));
    m_fixed->setModel(m_model);
    m_fixed->setSelectionModel(selectionModel());
    m_fixed->setItemDelegate(itemDelegate());
    m_fixed->setFocusPolicy(Qt::NoFocus);
    m_fixed->verticalHeader()->hide();
    m_fixed->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fixed->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setVerticalScrollMode(verticalScrollMode());
    m_fixed->setSelectionMode(selectionMode());
    m_fixed->setSelectionBehavior(selectionBehavior());
    m_fixed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixed->setFrameShape(QFrame::NoFrame);
    m_fixed->setWordWrap(false);
    m_fixed->setStyleSheet(QStringLiteral("QTableView#fixedBand { border-right: 1px solid palette(mid); }"));
    viewport()->stackUnder(m_fixed);
    connect(m_fixed->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_fixed->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(m_fixed->horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::onHeaderClicked);
    connect(m_fixed->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (columnWidth(logical) != size)
            setColumnWidth(logical, size);
    });
    connect(m_fixed, &QAbstractItemView::doubleClicked, this, &DBGrid::activate);
    m_fixed->viewport()->installEventFilter(this);
    m_fixed->show();
}

void DBGrid::updateFixedGeometry()
{
    if (!m_fixed)
        return;
    const int n = fixedCount();
    if (n == 0) {
        m_fixed->hide();
        return;
    }
    for (int i = 0; i < n; ++i)
        m_fixed->setColumnWidth(i, columnWidth(i));
    const int left = frameWidth() + (verticalHeader()->isVisible() ? verticalHeader()->width() : 0);
    m_fixed->setGeometry(left, frameWidth(), fixedWidth(), viewport()->height() + horizontalHeader()->height());
    m_fixed->show();
}

void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    updateFixedGeometry();
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // A scrolling column that moves left under the fixed band is scrolled back into sight.
    if (m_fixed && m_fixed->isVisible() && current.isValid() && !isFixedColumn(current.column())) {
        const int x = visualRect(current).left();
        if (x < fixedWidth())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - fixedWidth());
    }
    return current;
}

void DBGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!m_fixed || !m_fixed->isVisible() || !index.isValid()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    if (isFixedColumn(index.column())) {
        // Only the rows scroll for a fixed column.
        const int h = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(h);
        return;
    }
    QTableView::scrollTo(index, hint);
    const int x = visualRect(index).left();
    if (x < fixedWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - fixedWidth());
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (m_fixed && m_fixed->isVisible() && index.isValid() && isFixedColumn(index.column())
        && (trigger == AllEditTriggers || (editTriggers() & trigger)) && m_model->isCellEditable(index)
        && m_model->kindOf(index.column()) != ColumnKind::Check) {
        // The cell lies under the fixed band: its editor opens there.
        m_fixed->edit(index);
        return true;
    }
    return QTableView::edit(index, trigger, event);
}

bool DBGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (m_fixed && watched == m_fixed->viewport() && event->type() == QEvent::MouseButtonPress)
        setFocus(Qt::MouseFocusReason);
    return QTableView::eventFilter(watched, event);
}

// --- current row both ways ----------------------------------------------

void DBGrid::followDataset()
{
    if (!m_dataset)
        return;
    const int row = m_model->currentRow();
    if (row < 0)
        return;
    int col = currentIndex().isValid() ? currentIndex().column() : m_lastColumn;
    if (col < 0 || col >= m_model->columnCount() || isColumnHidden(col)) {
        col = 0;
        while (col < m_model->columnCount() - 1 && isColumnHidden(col))
            ++col;
    }
    const QModelIndex idx = m_model->index(row, col);
    if (!idx.isValid())
        return;
    if (idx != currentIndex()) {
        m_syncing = true;
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect
                                                   | (m_rowSelect ? QItemSelectionModel::Rows
                                                                  : QItemSelectionModel::NoUpdate));
        m_syncing = false;
    }
    if (isVisible())
        scrollTo(idx);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        m_lastColumn = current.column();
    if (m_syncing || !m_dataset || !current.isValid())
        return;
    const int recNo = m_model->recNoOfRow(current.row());
    if (recNo == 0 || recNo == m_dataset->recNo())
        return;
    Dataset* ds = m_dataset;
    runDataStep([&] {
        if (recNo > 0)
            ds->moveTo(recNo);
    });
    // A move that a hook refused leaves the dataset where it was; the grid goes back there.
    if (m_model->currentRow() != current.row())
        QMetaObject::invokeMethod(this, &DBGrid::followDataset, Qt::QueuedConnection);
}

// --- sorting --------------------------------------------------------------

void DBGrid::updateSortIndicator()
{
    const bool sorted = m_dataset && !m_dataset->sortField().isEmpty();
    if (!sorted)
        m_sortColumn = -1;
    else
        m_sortColumn = m_model->columnOf(m_dataset->sortField());
    for (QHeaderView* h : {static_cast<QHeaderView*>(m_header), m_fixed ? m_fixed->horizontalHeader() : nullptr}) {
        if (!h)
            continue;
        h->setSortIndicatorShown(m_sortColumn >= 0);
        if (m_sortColumn >= 0)
            h->setSortIndicator(m_sortColumn, m_sortOrder);
    }
}

void DBGrid::onHeaderClicked(int section)
{
    if (!m_sortable || !m_dataset || !m_dataset->isOpen())
        return;
    const Qt::SortOrder order = section == m_sortColumn && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                           : Qt::AscendingOrder;
    sortByColumn(section, order);
}

void DBGrid::sortByColumn(int column, Qt::SortOrder order)
{
    const GridColumn* c = m_model->column(column);
    if (!c || !m_dataset)
        return;
    bool sorted = false;
    Dataset* ds = m_dataset;
    const QString field = c->field();
    m_sortOrder = order;
    runDataStep([&] { sorted = ds->sortBy(field, order); });
    if (!sorted)
        Prompts::beep();
    updateSortIndicator();
}

// --- keys -------------------------------------------------------------------

void DBGrid::activate(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const int recNo = m_model->recNoOfRow(index.row());
    if (recNo != 0)
        emit rowActivated(recNo);
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex idx = indexAt(event->position().toPoint());
    const bool editsHere = idx.isValid() && m_model->isCellEditable(idx);
    QTableView::mouseDoubleClickEvent(event);
    if (!editsHere)
        activate(idx);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if (state() == EditingState) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QModelIndex cur = currentIndex();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::NoModifier)
            break;
        if (cur.isValid() && m_model->isCellEditable(cur) && m_model->kindOf(cur.column()) != ColumnKind::Check)
            edit(cur);
        else
            activate(cur);
        event->accept();
        return;
    case Qt::Key_Escape:
        if (m_dataset && m_dataset->isEditing()) {
            Dataset* ds = m_dataset;
            runDataStep([ds] { ds->cancel(); });
            event->accept();
            return;
        }
        break;
    case Qt::Key_Backspace:
        if (!m_search.isEmpty()) {
            m_search.chop(1);
            m_searchClock.restart();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Space:
        if (cur.isValid() && m_model->kindOf(cur.column()) == ColumnKind::Check && m_model->isCellEditable(cur)) {
            const bool on = cur.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            m_model->setData(cur, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (m_searchOn && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !text.isEmpty()
        && text.at(0).isPrint()) {
        incrementalSearch(text);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool DBGrid::incrementalSearch(const QString& typed)
{
    const QModelIndex cur = currentIndex();
    const GridColumn* c = m_model->column(cur.isValid() ? cur.column() : m_lastColumn);
    if (!m_dataset || !c || m_dataset->recordCount() == 0)
        return false;
    const int col = m_model->columnOf(c->field());
    if (col != m_searchColumn || !m_searchClock.isValid() || m_searchClock.elapsed() > kSearchPauseMs)
        m_search.clear();
    m_searchColumn = col;
    m_searchClock.restart();
    const QString wanted = m_search + typed;
    const int from = std::max(1, m_dataset->recNo());
    const ColumnKind kind = m_model->kindOf(col);
    const int f = m_dataset->fieldIndex(c->field());
    const bool byStoredText = f >= 0 && !m_dataset->isCalcField(f)
                              && (kind == ColumnKind::Text || (kind == ColumnKind::Number && c->format().isEmpty()));
    int found = 0;
    Dataset* ds = m_dataset;
    const bool ran = runDataStep([&] {
        if (byStoredText) {
            found = ds->findPrefix(c->field(), wanted, from);
            return;
        }
        // Formatted, looked-up or calculated text: compare what the grid shows.
        const int count = ds->recordCount();
        for (int k = 0; k < count && !found; ++k) {
            const int r = (from - 1 + k) % count + 1;
            if (m_model->displayText(r - 1, col).startsWith(wanted, Qt::CaseInsensitive))
                found = r;
        }
    });
    if (!ran)
        return false;
    if (!found) {
        Prompts::beep();
        return false;
    }
    m_search = wanted;
    if (found != ds->recNo())
        runDataStep([&] { ds->moveTo(found); });
    return true;
}
