#pragma once

#include "Database.h"

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

} // namespace kx::store
