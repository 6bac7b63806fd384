#pragma once

class Database;

// A transaction that holds the write lock from its start and is rolled back
// unless committed, whatever ends its scope.
class WriteTransaction
{
public:
    explicit WriteTransaction(Database &db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    void commit();

private:
    Database &m_db;
    bool m_open = true;
};
