#pragma once

namespace kx {

// Shows the busy cursor while longer work runs. Calls nest: the normal cursor
// returns when every show has been matched by a restore.
class BusyIndicator
{
public:
    virtual ~BusyIndicator() = default;
    virtual void show() = 0;
    virtual void restore() = 0;
};

// Busy cursor for the lifetime of a scope, restored on every path out of it
// (exceptions included). restoreNow() ends it early, before work that goes on
// without it (a window opened for the person). A message box needs no such
// step: the prompter shows it with the normal cursor.
class BusyGuard
{
public:
    explicit BusyGuard(BusyIndicator *busy) : m_busy(busy)
    {
        if (m_busy)
            m_busy->show();
    }
    ~BusyGuard() { restoreNow(); }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    void restoreNow()
    {
        if (m_busy) {
            m_busy->restore();
            m_busy = nullptr;
        }
    }

private:
    BusyIndicator *m_busy;
};

} // namespace kx
