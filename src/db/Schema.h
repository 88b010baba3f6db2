// The shop's tables, columns, keys and indexes, shared by the program, the tools
// and the tests; and the making of a new shop file with its starter rows.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Database;

namespace Schema {

enum class Type {
    AutoNumber, // 32-bit key assigned on insert
    Text,       // text of at most `size` characters
    Memo,       // long text
    Int16,      // 16-bit signed whole number
    Int32,      // 32-bit signed whole number
    Number,     // money or counts, whole or real
    Date,       // "YYYY-MM-DD HH:MM:SS"
    YesNo,      // 0 or 1
};

struct Column {
    QString name;
    Type type;
    int size = 0; // for Text
    bool unique = false;
};

struct Table {
    QString name;
    std::vector<Column> columns;
};

const std::vector<Table>& tables();
const Table* table(const QString& name);

// The text of the CREATE statements for every table and index.
QString ddl();

// Creates every table and index, and the rows a new shop needs to start.
void create(Database& db);
void insertStarterRows(Database& db);

// Empty when the database holds every table and column of ours; otherwise what is missing.
QStringList missing(Database& db);

// The reserved in-store account and the default on-duty employee.
inline const QString kShopAccount = QStringLiteral("A001");
inline const QString kDefaultWorkerCode = QStringLiteral("6475");
inline const QString kDefaultWorkerName = QStringLiteral("程 小九");

// How a shop file was opened.
enum class Opened { Existing, Created };

// Opens the shop at `path`, creating it when missing. Throws DbError with a
// message for the user (naming the file) when the file is not a database of
// ours or cannot be used; such a file is left untouched.
std::unique_ptr<Database> openShop(const QString& path, Opened* how = nullptr);

} // namespace Schema
