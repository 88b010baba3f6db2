#include "core/UCustomDB.h"

TCustomerData* CustomerData = nullptr;

TCustomerData::TCustomerData(const QString& path)
{
    m_db = Schema::openShop(path, &m_how);
    m_qryExec = std::make_unique<Dataset>(*m_db);
    CustomerData = this;
}

TCustomerData::~TCustomerData()
{
    if (CustomerData == this)
        CustomerData = nullptr;
    m_qryExec.reset();
    m_db.reset();
}

Database& db()
{
    if (!CustomerData)
        throw DbError(QStringLiteral("資料庫尚未開啟"));
    return CustomerData->dADOConnection1();
}
