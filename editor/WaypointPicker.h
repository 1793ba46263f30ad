#pragma once

#include <QString>
#include <QtGlobal>

namespace kx::editor {

// How the route editor chooses a waypoint for a new or a replaced point: the
// waypoint picker window in the program, a script in tests.
class WaypointPicker
{
public:
    enum class Mode {
        Add,     // the first waypoint is offered first
        Replace, // the point's present waypoint is offered first
    };

    virtual ~WaypointPicker() = default;
    // The chosen waypoint's Punkts.Code, or 0 when none was chosen.
    // currentPunkt: the current point's waypoint, used in Replace mode.
    virtual qint64 pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt) = 0;
};

} // namespace kx::editor
