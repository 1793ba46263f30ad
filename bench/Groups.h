#pragma once

namespace kx::bench {

class Bench;

using BenchGroup = void (*)(Bench &);

// The groups of figures, one file each, run in this order by main.cpp.
void benchShell(Bench &bench); // startup_ms, route_search_ms
void benchCalc(Bench &bench); // calc_99_ms, calc_99_formulas_ms

} // namespace kx::bench
