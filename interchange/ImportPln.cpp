#include "ImportPln.h"

#include "PlanImport.h"
#include "PlanReaders.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"

namespace kx::interchange {

qint64 ImportPLN(store::Session &session, const QString &fileName, QObject *owner)
{
    BusyGuard busy(session.busy());
    Plan plan;
    QString error;
    if (!readPlanFile(fileName, &plan, &error)) {
        busy.restoreNow();
        session.prompter().error(owner, error);
        return 0;
    }
    return importPlan(session, plan, owner);
}

} // namespace kx::interchange
