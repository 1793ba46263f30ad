#pragma once

#include "Session.h"
#include "Transaction.h"

#include "base/Prompter.h"

#include <utility>

namespace kx::store {

// How the write of one row in a transaction of its own ended.
enum class [[nodiscard]] RowWrite{
    Committed,
    NotBegun,    // the transaction could not be begun
    NotPosted,   // the row was refused
    NotCommitted // posted, but the commit failed: the list shows a row the database lacks
};

// The one way a single row is written (through a list or the table object,
// already in editing or appended): in a transaction of its own, fill() sets
// the row's values, the row is posted, the transaction committed. Whatever
// fails rolls the transaction back; the row's pending changes stay for the
// caller, who cancels them or keeps them for another try.
template<typename Row, typename Fill>
RowWrite writeRow(Database &db, Row &row, Fill &&fill)
{
    Transaction transaction(db);
    if (!transaction.isActive())
        return RowWrite::NotBegun;
    std::forward<Fill>(fill)();
    if (!row.post())
        return RowWrite::NotPosted;
    return transaction.commit() ? RowWrite::Committed : RowWrite::NotCommitted;
}

// The same for a write whose every failure is told by one message: the row's
// pending changes are cancelled and the message shown, owned by owner. True
// when the row was committed.
template<typename Row, typename Fill>
[[nodiscard]] bool writeRowOrTell(Session &session, Row &row, const QString &failure, QObject *owner, Fill &&fill)
{
    if (writeRow(session.ADOC, row, std::forward<Fill>(fill)) == RowWrite::Committed)
        return true;
    row.cancel();
    session.prompter().error(owner, failure);
    return false;
}

} // namespace kx::store
