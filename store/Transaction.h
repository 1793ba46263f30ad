#pragma once

#include "Database.h"

#include <QVariant>

namespace kx::store {

// One transaction on the connection: begun on construction, rolled back on
// destruction unless committed, so every path out of a write leaves no
// transaction open.
class Transaction
{
public:
    explicit Transaction(Database &db) : m_db(db), m_active(db.begin()) {}
    ~Transaction()
    {
        if (m_active)
            m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    [[nodiscard]] bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        if (m_db.commit())
            return true;
        m_db.rollback();
        return false;
    }
    void rollback()
    {
        if (m_active) {
            m_active = false;
            m_db.rollback();
        }
    }

private:
    Database &m_db;
    bool m_active;
};

// A transaction that writes many thousands of rows. Its changed pages stay in
// memory until it ends: with SQLite's default cache of 2 MB, they would be
// written out to the journal half-way and again at the commit. The cache goes
// back to its size afterwards, and gives its memory back.
class LargeTransaction
{
public:
    explicit LargeTransaction(Database &db) : m_cache(db), m_transaction(db) {}

    bool isActive() const { return m_transaction.isActive(); }
    [[nodiscard]] bool commit() { return m_transaction.commit(); }
    void rollback() { m_transaction.rollback(); }

private:
    class Cache
    {
    public:
        explicit Cache(Database &db);
        ~Cache();
        Cache(const Cache &) = delete;
        Cache &operator=(const Cache &) = delete;

    private:
        Database &m_db;
        QVariant m_size;
    };

    Cache m_cache; // made before the transaction begins, undone after it ends
    Transaction m_transaction;
};

} // namespace kx::store
