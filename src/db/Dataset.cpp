#include "db/Dataset.h"

#include <algorithm>

namespace {

constexpr int kCacheLimit = 20000;
// Rows of a table dataset are read in aligned blocks: a grid asks for neighbouring rows.
constexpr int kFetchBlock = 64;

QString quoted(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

FieldKind kindOf(const QString& declType)
{
    const QString t = declType.toUpper();
    if (t.isEmpty())
        return FieldKind::Other;
    if (t.startsWith(QLatin1String("DATETEXT")))
        return FieldKind::Date;
    if (t.startsWith(QLatin1String("LONGTEXT")))
        return FieldKind::Memo;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")))
        return FieldKind::Text;
    if (t.startsWith(QLatin1String("YESNO")) || t.startsWith(QLatin1String("BOOL")))
        return FieldKind::Boolean;
    if (t.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (t.startsWith(QLatin1String("NUM")) || t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("DOUB")))
        return FieldKind::Number;
    return FieldKind::Other;
}

// The stored form of a value written through a dataset.
QVariant storedForm(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return toDbText(v.toDate());
    case QMetaType::QDateTime:
        return toDbText(v.toDateTime());
    case QMetaType::Bool:
        return qlonglong(v.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
        return v.toLongLong();
    default:
        return v;
    }
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    if (okA && okB)
        return x == y;
    return a == b;
}

} // namespace

Dataset::Dataset(Database& db, QObject* parent) : QObject(parent), m_db(db) {}

void Dataset::setSql(const QString& sql)
{
    if (isOpen())
        close();
    m_sql = sql;
    m_table.clear();
    m_sortField.clear();
}

void Dataset::setTable(const QString& table, const QString& where, const QString& orderBy)
{
    if (isOpen())
        close();
    m_table = table;
    m_where = where;
    m_orderBy = orderBy;
    m_sortField.clear();
    QString s = QStringLiteral("SELECT * FROM ") + quoted(table);
    if (!where.isEmpty())
        s += QStringLiteral(" WHERE ") + where;
    s += QStringLiteral(" ORDER BY ") + (orderBy.isEmpty() ? QStringLiteral("rowid") : orderBy);
    m_sql = s;
}

void Dataset::addCalcField(const QString& name)
{
    if (!m_calcFields.contains(name, Qt::CaseInsensitive))
        m_calcFields << name;
}

void Dataset::readColumns(Statement& st)
{
    m_fields.clear();
    m_kinds.clear();
    m_index.clear();
    for (int i = 0; i < st.columnCount(); ++i) {
        const QString name = st.columnName(i);
        m_fields << name;
        m_kinds << kindOf(st.columnDeclType(i));
        if (!m_index.contains(name.toLower()))
            m_index.insert(name.toLower(), i);
    }
    m_baseFieldCount = int(m_fields.size());
    for (const QString& c : std::as_const(m_calcFields)) {
        m_index.insert(c.toLower(), int(m_fields.size()));
        m_fields << c;
        m_kinds << FieldKind::Other;
    }
}

void Dataset::load()
{
    m_rows.clear();
    m_rowIds.clear();
    m_cache.clear();
    if (isTableMode()) {
        {
            Statement cols(m_db, QStringLiteral("SELECT * FROM ") + quoted(m_table) + QStringLiteral(" WHERE 0"));
            readColumns(cols);
        }
        QString s = QStringLiteral("SELECT rowid FROM ") + quoted(m_table);
        if (!m_where.isEmpty())
            s += QStringLiteral(" WHERE ") + m_where;
        s += QStringLiteral(" ORDER BY ") + orderClause();
        Statement st(m_db, s);
        st.bind(m_params);
        while (st.step())
            m_rowIds.push_back(st.value(0).toLongLong());
    } else {
        Statement st(m_db, m_sql);
        st.bind(m_params);
        readColumns(st);
        const int n = m_baseFieldCount;
        while (st.step()) {
            Row r(n);
            for (int i = 0; i < n; ++i)
                r[i] = st.value(i);
            m_rows.push_back(std::move(r));
        }
        sortRows();
    }
}

QString Dataset::orderClause() const
{
    if (!m_sortField.isEmpty())
        return quoted(m_sortField) + (m_sortOrder == Qt::DescendingOrder ? QStringLiteral(" DESC") : QString())
               + QStringLiteral(", rowid");
    return m_orderBy.isEmpty() ? QStringLiteral("rowid") : m_orderBy;
}

namespace {

// Nulls first, numbers by value, texts without regard to case.
int compareValues(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    const bool textA = a.typeId() == QMetaType::QString, textB = b.typeId() == QMetaType::QString;
    if (!textA && !textB) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (textA != textB) // numbers before texts, as the engine orders them
        return textA ? 1 : -1;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

} // namespace

void Dataset::sortRows()
{
    if (m_sortField.isEmpty() || isTableMode() || m_rows.empty())
        return;
    const int f = fieldIndex(m_sortField);
    if (f < 0)
        return;
    // Keys first: a calculated field is computed by row number, which the sort changes.
    std::vector<std::pair<QVariant, size_t>> keys;
    keys.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        QVariant k;
        if (isCalcField(f))
            k = onCalcField ? onCalcField(*this, int(i) + 1, m_fields[f]) : QVariant();
        else
            k = m_rows[i].value(f);
        keys.emplace_back(std::move(k), i);
    }
    const bool desc = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(keys.begin(), keys.end(), [desc](const auto& x, const auto& y) {
        const int c = compareValues(x.first, y.first);
        return desc ? c > 0 : c < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const auto& k : keys)
        sorted.push_back(std::move(m_rows[k.second]));
    m_rows = std::move(sorted);
}

bool Dataset::sortBy(const QString& field, Qt::SortOrder order)
{
    if (field.isEmpty()) {
        if (m_sortField.isEmpty())
            return true;
        m_sortField.clear();
    } else {
        const int f = fieldIndex(field);
        if (f < 0 || (isTableMode() && isCalcField(f)))
            return false;
        m_sortField = m_fields[f];
        m_sortOrder = order;
    }
    if (!isOpen())
        return true;
    checkBrowseMode();
    if (isTableMode()) {
        refresh(); // stays on the same row id
        return true;
    }
    // Statement rows carry no id: remember the current row by its position before the sort.
    if (m_current >= 1)
        m_rows[size_t(m_current - 1)].append(QVariant(true));
    if (m_sortField.isEmpty()) {
        load(); // back to the statement's own order
    } else {
        sortRows();
    }
    int pos = std::min(m_current, recordCount());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].size() > m_baseFieldCount) {
            m_rows[i].resize(m_baseFieldCount);
            pos = int(i) + 1;
        }
    }
    m_current = pos;
    m_bof = m_current <= 1;
    m_eof = recordCount() == 0;
    emit rowsReset();
    emit currentChanged();
    fire(afterScroll);
    return true;
}

int Dataset::findPrefix(const QString& field, const QString& prefix, int fromRecNo) const
{
    const int f = fieldIndex(field);
    const int count = recordCount();
    if (f < 0 || count == 0)
        return 0;
    fromRecNo = std::clamp(fromRecNo, 1, count);
    if (isTableMode() && !isCalcField(f)) {
        QString escaped = prefix;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('%'), QLatin1String("\\%"))
            .replace(QLatin1Char('_'), QLatin1String("\\_"));
        QString s = QStringLiteral("SELECT rowid FROM ") + quoted(m_table) + QStringLiteral(" WHERE ");
        if (!m_where.isEmpty())
            s += QLatin1Char('(') + m_where + QStringLiteral(") AND ");
        s += quoted(m_fields[f]) + QStringLiteral(" LIKE :prefix__value ESCAPE '\\'");
        Params p = m_params;
        p.insert(QStringLiteral("prefix__value"), escaped + QLatin1Char('%'));
        QSet<qint64> hits;
        Statement st(m_db, s);
        st.bind(p);
        while (st.step())
            hits.insert(st.value(0).toLongLong());
        if (hits.isEmpty())
            return 0;
        for (int k = 0; k < count; ++k) {
            const int r = (fromRecNo - 1 + k) % count + 1;
            if (hits.contains(m_rowIds[size_t(r - 1)]))
                return r;
        }
        return 0;
    }
    for (int k = 0; k < count; ++k) {
        const int r = (fromRecNo - 1 + k) % count + 1;
        if (valueAt(r, f).toString().startsWith(prefix, Qt::CaseInsensitive))
            return r;
    }
    return 0;
}

void Dataset::open()
{
    if (isOpen())
        close();
    m_fetched = 0;
    load();
    m_buffer.clear();
    m_modified.clear();
    setState(State::Browse);
    m_current = recordCount() > 0 ? 1 : 0;
    m_bof = true;
    m_eof = recordCount() == 0;
    emit rowsReset();
    fire(afterOpen);
    emit currentChanged();
    fire(afterScroll);
}

void Dataset::close()
{
    if (m_state == State::Inactive)
        return;
    m_rows.clear();
    m_rowIds.clear();
    m_cache.clear();
    m_buffer.clear();
    m_modified.clear();
    m_current = 0;
    m_bof = m_eof = true;
    setState(State::Inactive);
    emit rowsReset();
}

void Dataset::refresh()
{
    if (!isOpen()) {
        open();
        return;
    }
    if (isEditing())
        cancel();
    const qint64 keep = isTableMode() ? rowId() : 0;
    const int keepNo = m_current;
    load();
    int pos = 0;
    if (isTableMode() && keep) {
        auto it = std::find(m_rowIds.begin(), m_rowIds.end(), keep);
        if (it != m_rowIds.end())
            pos = int(it - m_rowIds.begin()) + 1;
    }
    if (pos == 0)
        pos = std::min(keepNo, recordCount());
    if (pos == 0 && recordCount() > 0)
        pos = 1;
    m_current = pos;
    m_bof = m_current <= 1;
    m_eof = recordCount() == 0;
    emit rowsReset();
    emit currentChanged();
    fire(afterScroll);
}

int Dataset::recordCount() const
{
    if (m_state == State::Inactive)
        return 0;
    return isTableMode() ? int(m_rowIds.size()) : int(m_rows.size());
}

int Dataset::recNo() const
{
    if (m_state == State::Insert)
        return -1;
    return m_current;
}

qint64 Dataset::rowId() const
{
    if (!isTableMode() || m_state == State::Insert || m_current < 1 || m_current > int(m_rowIds.size()))
        return 0;
    return m_rowIds[size_t(m_current - 1)];
}

void Dataset::checkBrowseMode()
{
    if (isEditing())
        post();
}

void Dataset::setCurrent(int recNo, bool notify)
{
    checkBrowseMode();
    const int count = recordCount();
    recNo = std::clamp(recNo, count > 0 ? 1 : 0, count);
    if (notify)
        fire(beforeScroll);
    const bool moved = recNo != m_current;
    m_current = recNo;
    if (notify) {
        if (moved)
            emit currentChanged();
        fire(afterScroll);
    }
}

void Dataset::first()
{
    setCurrent(1);
    m_bof = true;
    m_eof = recordCount() == 0;
}

void Dataset::last()
{
    setCurrent(recordCount());
    m_eof = true;
    m_bof = recordCount() == 0;
}

void Dataset::next()
{
    if (m_current >= recordCount()) {
        checkBrowseMode();
        m_eof = true;
        return;
    }
    setCurrent(m_current + 1);
    m_bof = false;
    m_eof = false;
}

void Dataset::prior()
{
    if (m_current <= 1) {
        checkBrowseMode();
        m_bof = true;
        return;
    }
    setCurrent(m_current - 1);
    m_bof = false;
    m_eof = false;
}

void Dataset::moveTo(int recNo)
{
    setCurrent(recNo);
    m_bof = m_current <= 1;
    m_eof = recordCount() == 0;
}

bool Dataset::locate(const QString& field, const QVariant& value)
{
    const int f = fieldIndex(field);
    if (f < 0)
        throw DbError(QStringLiteral("找不到欄位 %1").arg(field));
    checkBrowseMode();
    int found = 0;
    if (isTableMode() && !isCalcField(f)) {
        // Ask the engine which rows match (an index serves it), then find the first in our order.
        QString s = QStringLiteral("SELECT rowid FROM ") + quoted(m_table) + QStringLiteral(" WHERE ");
        if (!m_where.isEmpty())
            s += QLatin1Char('(') + m_where + QStringLiteral(") AND ");
        s += quoted(m_fields[f]) + QStringLiteral(" = :locate__value");
        Params p = m_params;
        p.insert(QStringLiteral("locate__value"), storedForm(value));
        QSet<qint64> hits;
        Statement st(m_db, s);
        st.bind(p);
        while (st.step())
            hits.insert(st.value(0).toLongLong());
        if (!hits.isEmpty()) {
            for (size_t i = 0; i < m_rowIds.size(); ++i) {
                if (hits.contains(m_rowIds[i])) {
                    found = int(i) + 1;
                    break;
                }
            }
        }
    } else {
        for (int r = 1; r <= recordCount(); ++r) {
            if (sameValue(valueAt(r, f), value)) {
                found = r;
                break;
            }
        }
    }
    if (found)
        moveTo(found);
    return found > 0;
}

const Dataset::Row& Dataset::rowAt(int recNo) const
{
    static const Row empty;
    if (recNo < 1 || recNo > recordCount())
        return empty;
    if (!isTableMode())
        return m_rows[size_t(recNo - 1)];
    const qint64 id = m_rowIds[size_t(recNo - 1)];
    auto it = m_cache.constFind(id);
    if (it != m_cache.cend())
        return it.value();
    if (m_cache.size() >= kCacheLimit)
        m_cache.clear();
    // Read the whole block around the row with one statement of fixed text (kept prepared).
    static const QString blockSql = [] {
        QStringList marks;
        for (int i = 0; i < kFetchBlock; ++i)
            marks << QStringLiteral(":r%1").arg(i);
        return QStringLiteral(" WHERE rowid IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }();
    const int start = ((recNo - 1) / kFetchBlock) * kFetchBlock;
    Params p;
    for (int i = 0; i < kFetchBlock; ++i) {
        const size_t at = size_t(std::min(start + i, int(m_rowIds.size()) - 1));
        const qint64 rid = m_cache.contains(m_rowIds[at]) ? id : m_rowIds[at];
        p.insert(QStringLiteral("r%1").arg(i), rid);
    }
    m_cache.insert(id, Row(m_baseFieldCount)); // a row gone meanwhile reads as empty
    Statement st(m_db, QStringLiteral("SELECT rowid, * FROM ") + quoted(m_table) + blockSql);
    st.bind(p);
    while (st.step()) {
        Row r(m_baseFieldCount);
        for (int i = 0; i < m_baseFieldCount && i + 1 < st.columnCount(); ++i)
            r[i] = st.value(i + 1);
        m_cache.insert(st.value(0).toLongLong(), std::move(r));
        ++m_fetched;
    }
    return *m_cache.constFind(id);
}

QVariant Dataset::valueAt(int recNo, int field) const
{
    if (field < 0 || field >= fieldCount() || m_state == State::Inactive)
        return {};
    if (isCalcField(field))
        return onCalcField ? onCalcField(*this, recNo, m_fields[field]) : QVariant();
    if ((m_state == State::Insert && recNo == -1) || (m_state == State::Edit && recNo == m_current))
        return m_buffer.value(field);
    return rowAt(recNo).value(field);
}

QVariant Dataset::value(const QString& field) const
{
    const int f = fieldIndex(field);
    if (f < 0)
        throw DbError(QStringLiteral("找不到欄位 %1").arg(field));
    return valueAt(recNo(), f);
}

bool Dataset::boolean(const QString& field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString)
        return v.toString() == QLatin1String("1") || v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return v.toLongLong() != 0;
}

void Dataset::requireTable(const char* what) const
{
    if (!isOpen())
        throw DbError(QStringLiteral("資料集未開啟，無法%1").arg(QString::fromUtf8(what)));
    if (isReadOnly())
        throw DbError(QStringLiteral("唯讀的資料集，無法%1").arg(QString::fromUtf8(what)));
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged();
}

void Dataset::edit()
{
    requireTable("修改");
    if (isEditing())
        return;
    if (m_current < 1)
        throw DbError(QStringLiteral("沒有資料可以修改"));
    fire(beforeEdit);
    m_buffer = rowAt(m_current);
    m_buffer.resize(m_baseFieldCount);
    m_modified.clear();
    setState(State::Edit);
}

void Dataset::append()
{
    requireTable("新增");
    checkBrowseMode();
    fire(beforeInsert);
    m_beforeInsert = m_current;
    m_buffer = Row(m_baseFieldCount);
    m_modified.clear();
    setState(State::Insert);
    emit rowsReset();
    emit currentChanged();
    fire(afterInsert);
}

void Dataset::setValue(const QString& field, const QVariant& v)
{
    const int f = fieldIndex(field);
    if (f < 0)
        throw DbError(QStringLiteral("找不到欄位 %1").arg(field));
    if (isCalcField(f))
        throw DbError(QStringLiteral("計算欄位 %1 不能修改").arg(field));
    if (!isEditing())
        edit();
    const QVariant stored = storedForm(v);
    if (m_state == State::Insert || !sameValue(m_buffer[f], stored) || m_buffer[f].isNull() != stored.isNull()
        || (m_buffer[f].typeId() == QMetaType::QString && m_buffer[f].toString() != stored.toString()))
        m_modified.insert(f);
    m_buffer[f] = stored;
    emit rowChanged(recNo());
}

void Dataset::post()
{
    if (!isEditing())
        return;
    fire(beforePost);
    QList<int> cols(m_modified.begin(), m_modified.end());
    std::sort(cols.begin(), cols.end());
    Params p;
    if (m_state == State::Insert) {
        QString s;
        if (cols.isEmpty()) {
            s = QStringLiteral("INSERT INTO ") + quoted(m_table) + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList names, marks;
            for (int c : cols) {
                names << quoted(m_fields[c]);
                marks << QStringLiteral(":c%1").arg(c);
                p.insert(QStringLiteral("c%1").arg(c), m_buffer[c]);
            }
            s = QStringLiteral("INSERT INTO ") + quoted(m_table) + QStringLiteral(" (") + names.join(QLatin1Char(','))
                + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        m_db.exec(s, p);
        const qint64 id = m_db.lastInsertId();
        m_rowIds.push_back(id);
        m_current = int(m_rowIds.size());
        m_cache.remove(id);
        m_buffer.clear();
        m_modified.clear();
        setState(State::Browse);
        m_bof = false;
        m_eof = false;
        emit rowsReset();
        emit currentChanged();
    } else {
        const qint64 id = rowId();
        if (!cols.isEmpty()) {
            QStringList sets;
            for (int c : cols) {
                sets << quoted(m_fields[c]) + QStringLiteral(" = :c%1").arg(c);
                p.insert(QStringLiteral("c%1").arg(c), m_buffer[c]);
            }
            p.insert(QStringLiteral("rid"), id);
            m_db.exec(QStringLiteral("UPDATE ") + quoted(m_table) + QStringLiteral(" SET ") + sets.join(QLatin1Char(','))
                          + QStringLiteral(" WHERE rowid = :rid"),
                      p);
        }
        m_cache.remove(id);
        m_buffer.clear();
        m_modified.clear();
        setState(State::Browse);
        emit rowChanged(m_current);
    }
    fire(afterPost);
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    fire(beforeCancel);
    const bool wasInsert = m_state == State::Insert;
    m_buffer.clear();
    m_modified.clear();
    setState(State::Browse);
    if (wasInsert) {
        m_current = std::min(m_beforeInsert, recordCount());
        emit rowsReset();
        emit currentChanged();
        fire(afterScroll);
    } else {
        emit rowChanged(m_current);
    }
}

void Dataset::remove()
{
    requireTable("刪除");
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_current < 1)
        throw DbError(QStringLiteral("沒有資料可以刪除"));
    fire(beforeDelete);
    if (m_state == State::Edit)
        cancel();
    const qint64 id = rowId();
    m_db.exec(QStringLiteral("DELETE FROM ") + quoted(m_table) + QStringLiteral(" WHERE rowid = :rid"),
              {{QStringLiteral("rid"), id}});
    m_rowIds.erase(m_rowIds.begin() + (m_current - 1));
    m_cache.remove(id);
    m_current = std::min(m_current, recordCount());
    m_eof = recordCount() == 0;
    emit rowsReset();
    emit currentChanged();
    fire(afterDelete);
    fire(afterScroll);
}
