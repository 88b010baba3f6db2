// The connection holder: the one database connection of the process and the
// general-purpose statement object that several windows borrow.
#pragma once

#include "db/Database.h"
#include "db/Dataset.h"
#include "db/Schema.h"

#include <memory>

class TCustomerData {
public:
    // Opens (or creates) the shop file; throws DbError with a message for the user.
    explicit TCustomerData(const QString& path = QStringLiteral("BookDB.mdb"));
    ~TCustomerData();
    TCustomerData(const TCustomerData&) = delete;
    TCustomerData& operator=(const TCustomerData&) = delete;

    Database& dADOConnection1() { return *m_db; }
    Dataset& qryExec() { return *m_qryExec; }
    // True when this start made a new shop file.
    bool created() const { return m_how == Schema::Opened::Created; }

private:
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Dataset> m_qryExec;
    Schema::Opened m_how = Schema::Opened::Existing;
};

// The process-wide holder, set while one exists.
extern TCustomerData* CustomerData;

// The shared connection of the process.
Database& db();
