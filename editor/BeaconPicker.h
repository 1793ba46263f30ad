#pragma once

#include <QVariant>
#include <QtGlobal>

namespace kx::editor {

// How the route editor lets the user choose among the candidates of the last
// beacon search (RSBNSelect): the beacon picker window in the program, a
// script in tests.
class BeaconPicker
{
public:
    virtual ~BeaconPicker() = default;
    // The chosen beacon's RSBN.Code, or 0 when the user cancelled.
    // currentBeacon: the point's present beacon (Null: none), offered first
    // when it is among the candidates.
    virtual qint64 pickBeacon(const QVariant &currentBeacon) = 0;
};

} // namespace kx::editor
