#pragma once

#include <functional>

namespace kx::editor {

// Commands that other windows bring to the route editor. The editor runs a
// service command only for a route that has points and is calculated (it
// refuses the others itself); an unset command does nothing beyond those
// refusals. pointProperties runs whenever its menu item is chosen.
struct PointsHooks
{
    std::function<void()> print;           // "Печать"
    std::function<void()> exportPln;       // "Экспорт в *.PLN"
    std::function<void()> exportI21;       // "Экспорт в И-21"
    std::function<void()> exportCell;      // "Экспорт в ПШ"
    std::function<void()> exportOtherSim;  // the grid's context menu, "Экспорт для других симуляторов…"
    std::function<void()> pointProperties; // the grid's context menu, "Cвойства пункта"
    std::function<void()> showMap;         // the same menu's "Карта маршрута" and Ctrl+M
};

} // namespace kx::editor
