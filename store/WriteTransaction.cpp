#include "store/WriteTransaction.h"
#include "store/Database.h"

WriteTransaction::WriteTransaction(Database &db) : m_db(db)
{
    m_db.execute(m_db.dialect().beginWrite());
}

WriteTransaction::~WriteTransaction()
{
    if (m_open)
        m_db.rollback();
}

void WriteTransaction::commit()
{
    m_db.commit();
    m_open = false;
}
