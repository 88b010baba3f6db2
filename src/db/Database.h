// The one connection to the shop's database file, on the SQLite C API:
// statements with :Name parameters, transactions, and the SQL functions that
// follow the program's clock.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// An error raised by the engine; what() carries the engine's own text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, int code = 0);
    QString text() const { return QString::fromUtf8(what()); }
    int code() const { return m_code; }

private:
    int m_code;
};

// Abandons the current command silently: a check already told the user why.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "abort"; }
};

// Stored forms of dates: "YYYY-MM-DD HH:MM:SS" in local time, a day alone at 00:00:00.
QString toDbText(const QDateTime& moment);
QString toDbText(const QDate& day);
QDateTime dbDateTime(const QVariant& stored);
QDate dbDate(const QVariant& stored);

using Params = QVariantMap;

class Database;

// One prepared statement, borrowed from the connection's cache for one run.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds every :Name of the text from params (names compared without regard to case).
    void bind(const Params& params);
    bool step(); // true while a row is there
    int columnCount() const;
    QString columnName(int i) const;
    QString columnDeclType(int i) const;
    QVariant value(int i) const;

private:
    Database& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
};

class Database {
public:
    enum class Open { Existing, CreateIfMissing };

    // Opens the file read-write; fails (DbError) when it is missing and Existing was asked.
    explicit Database(const QString& path, Open open = Open::Existing);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Runs a statement that returns no rows; returns the number of rows changed.
    int exec(const QString& sql, const Params& params = {});
    // Runs a statement and returns the first column of its first row (null when none).
    QVariant scalar(const QString& sql, const Params& params = {});
    // Runs several statements without parameters.
    void execScript(const QString& sql);
    qint64 lastInsertId() const;

    // One transaction at a time, as the desk and the windows need it; nested
    // begin() calls become savepoints, so a caller inside a transaction still
    // gets all-or-nothing for its own part.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    // True when a transaction was begun but the engine has already given it up (some errors,
    // such as a full disk, roll the whole transaction back): what follows would run outside it.
    bool transactionLost() const;

    // Tests make the engine fail on purpose: the next statement whose text
    // contains the fragment raises an engine error instead of running.
    void failNextStatementContaining(const QString& fragment) { m_failFragment = fragment; }

private:
    friend class Statement;
    sqlite3_stmt* acquire(const QString& sql);
    void release(const QString& sql, sqlite3_stmt* stmt);
    [[noreturn]] void raise(int rc) const;
    void registerFunctions();

    QString m_path;
    sqlite3* m_db = nullptr;
    int m_depth = 0;
    QMultiHash<QString, sqlite3_stmt*> m_cache;
    QString m_failFragment;
};

// Scope guard: rolls back unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database& db) : m_db(db) { m_db.begin(); }
    ~Transaction()
    {
        if (!m_done) {
            try {
                m_db.rollback();
            } catch (...) {
            }
        }
    }
    void commit()
    {
        m_db.commit();
        m_done = true;
    }

private:
    Database& m_db;
    bool m_done = false;
};
