// Rows of one statement or one table, scrolled both ways and read by column name
// without regard to case; over a table they can also be inserted, edited and
// deleted, with the hooks that windows hang their rules on.
//
// A table dataset reads only the row ids at open and fetches rows as they are
// needed, so it opens and locates rows of a large table quickly. A statement
// dataset reads all its rows at open and is read-only.
#pragma once

#include "db/Database.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <functional>
#include <vector>

enum class FieldKind { Text, Memo, Integer, Number, Boolean, Date, Other };

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Hook = std::function<void(Dataset&)>;
    // Value of a calculated field for one row (recNo 1..count, or -1 for a new row).
    using CalcHook = std::function<QVariant(const Dataset&, int recNo, const QString& field)>;

    explicit Dataset(Database& db, QObject* parent = nullptr);
    Database& database() const { return m_db; }

    // --- source -----------------------------------------------------------
    void setSql(const QString& sql);
    void setTable(const QString& table, const QString& where = {}, const QString& orderBy = {});
    QString sql() const { return m_sql; }
    QString table() const { return m_table; }
    bool isTableMode() const { return !m_table.isEmpty(); }
    void setParam(const QString& name, const QVariant& value) { m_params.insert(name, value); }
    void clearParams() { m_params.clear(); }
    const Params& params() const { return m_params; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly || !isTableMode(); }

    void open();
    void close();
    // Reads the rows again, staying on the same row where it still exists.
    void refresh();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    // --- position ---------------------------------------------------------
    int recordCount() const;
    // 1-based number of the current row; 0 with no current row, -1 on a new unsaved row.
    int recNo() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int recNo);
    // Moves to the first row whose field equals the value (text without regard to case).
    bool locate(const QString& field, const QVariant& value);
    // The first row, from `fromRecNo` on and then from the top, whose field read as text begins
    // with `prefix` (without regard to case); 0 when none. Does not move.
    int findPrefix(const QString& field, const QString& prefix, int fromRecNo = 1) const;

    // --- order ------------------------------------------------------------
    // Sorts the rows by one field, staying on the same row. A table dataset asks the engine for
    // the new order (not for calculated fields); a statement dataset sorts its rows in memory.
    // The order holds through refresh() and open(); setSql(), setTable() and an empty field clear it.
    // Returns false when the field cannot be sorted on.
    bool sortBy(const QString& field, Qt::SortOrder order = Qt::AscendingOrder);
    QString sortField() const { return m_sortField; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Rows read from the engine one by one since open (table datasets; statement datasets read
    // all at open). Grids over large tables are checked with it.
    int rowsFetched() const { return m_fetched; }

    // --- fields -----------------------------------------------------------
    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int i) const { return m_fields.value(i); }
    int fieldIndex(const QString& name) const { return m_index.value(name.toLower(), -1); }
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    FieldKind fieldKind(int i) const { return m_kinds.value(i, FieldKind::Other); }
    FieldKind fieldKind(const QString& name) const { return fieldKind(fieldIndex(name)); }
    bool isCalcField(int i) const { return i >= m_baseFieldCount; }
    void addCalcField(const QString& name);
    CalcHook onCalcField;

    QVariant value(const QString& field) const;
    QVariant valueAt(int recNo, int field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    qint64 integer(const QString& field) const { return value(field).toLongLong(); }
    double number(const QString& field) const { return value(field).toDouble(); }
    bool boolean(const QString& field) const;
    QDate date(const QString& field) const { return dbDate(value(field)); }
    QDateTime dateTime(const QString& field) const { return dbDateTime(value(field)); }
    bool isNull(const QString& field) const { return value(field).isNull(); }
    // Row id of the current row (table datasets); 0 on a new row.
    qint64 rowId() const;

    // --- editing (table datasets) ----------------------------------------
    void edit();
    void append();
    void setValue(const QString& field, const QVariant& value);
    void post();
    void cancel();
    void remove();
    bool isModified() const { return !m_modified.isEmpty(); }
    // Posts a pending edit, as a move to another row does.
    void checkBrowseMode();

    Hook afterOpen, beforeInsert, afterInsert, beforeEdit, beforePost, afterPost, beforeCancel, beforeScroll,
        afterScroll, beforeDelete, afterDelete;

signals:
    void rowsReset();           // opened, closed, refreshed, a row added or removed
    void rowChanged(int recNo); // a row's values changed
    void currentChanged();      // another row became current
    void stateChanged();

private:
    using Row = QVector<QVariant>;
    void readColumns(Statement& st);
    void load();
    void sortRows();
    QString orderClause() const;
    const Row& rowAt(int recNo) const;
    void setCurrent(int recNo, bool notify = true);
    void fire(const Hook& hook) { if (hook) hook(*this); }
    void requireTable(const char* what) const;
    void setState(State s);

    Database& m_db;
    QString m_sql, m_table, m_where, m_orderBy;
    Params m_params;
    bool m_readOnly = false;

    QStringList m_fields;
    QVector<FieldKind> m_kinds;
    QHash<QString, int> m_index;
    int m_baseFieldCount = 0;
    QStringList m_calcFields;

    State m_state = State::Inactive;
    std::vector<Row> m_rows;        // statement mode
    std::vector<qint64> m_rowIds;   // table mode
    mutable QHash<qint64, Row> m_cache;
    mutable int m_fetched = 0;
    QString m_sortField;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_current = 0; // 1-based, 0 none
    bool m_bof = true, m_eof = true;

    Row m_buffer;
    QSet<int> m_modified;
    int m_beforeInsert = 0;
};
