#pragma once

namespace kx::bench {

class Bench;

using BenchGroup = void (*)(Bench &);

// The groups of figures, one file each, run in this order by main.cpp.
void benchShell(Bench &bench); // startup_ms (with its floor), route_search_ms
void benchCalc(Bench &bench); // calc_99_ms, calc_99_formulas_ms
void benchInterchange(Bench &bench); // import_99_in_250k_ms, import_10000_ms, export_nvu_ms, export_i21_ms, export_pln_ms
void benchEditor(Bench &bench); // beacon_search_2000_ms, editor_open_99_ms
void benchCatalogues(Bench &bench); // catalogue_open_250k_ms, catalogue_search_ms, catalogue_search_name_ms,
                                     // picker_open_250k_ms, catalogue_peak_rss_mb (each with its floor)
void benchOurAirports(Bench &bench); // ourairports_import_ms, ourairports_reimport_ms
void benchMap(Bench &bench); // map_render_ms, map_open_ms
void benchMapCatalogue(Bench &bench); // map_catalogue_layer_ms (_cpu_ms), map_catalogue_pan_ms, map_catalogue_index_world_ms

} // namespace kx::bench
