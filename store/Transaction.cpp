#include "Transaction.h"

#include "Statement.h"

#include <tuple>

namespace kx::store {
namespace {

// Enough for the pages a world-size catalogue import changes; SQLite takes
// the memory only as pages come, up to this.
constexpr int kLargeCacheKib = 128 * 1024;

} // namespace

LargeTransaction::Cache::Cache(Database &db) : m_db(db)
{
    Statement size(db, QStringLiteral("PRAGMA cache_size"));
    if (!size.execFirst())
        return;
    m_size = size.value(0);
    size.finish();
    // Without the larger cache the writes still happen, only slower.
    std::ignore = db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(-kLargeCacheKib));
}

LargeTransaction::Cache::~Cache()
{
    if (m_size.isValid())
        std::ignore = m_db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_size.toLongLong()));
}

} // namespace kx::store
