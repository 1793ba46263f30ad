#include "CalcMarker.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "store/Session.h"

namespace kx::editor {

CalcMarker::Result CalcMarker::mark(store::Session &session, QObject *owner)
{
    if (m_set)
        return Result::AlreadyMarked;
    store::Query &routes = session.QRoutes;
    if (routes.isEmpty() || !routes.edit()) {
        session.prompter().error(owner, texts::routesWriteFailed());
        return Result::Failed;
    }
    routes.setValue(u"DateTime", QVariant());
    if (!routes.post()) {
        session.prompter().error(owner, texts::routesWriteFailed());
        return Result::Failed;
    }
    m_set = true;
    return Result::Written;
}

} // namespace kx::editor
