#pragma once

#include <QStringList>

class QPainter;

namespace kx::map {

class MapScene;
struct MapView;

// What the map's picture carries besides the map: the scale bar in the
// lower left corner, the north mark in the upper right, the notes in the
// upper left.
namespace renderer {

void renderScaleBar(QPainter &painter, const MapView &view);
void renderNorth(QPainter &painter, const MapScene &scene, const MapView &view);
void renderNotes(QPainter &painter, const QStringList &notes);

// A scale bar's length: 1, 2 or 5 times a power of ten km, about maxKm or less.
double scaleBarKm(double maxKm);

} // namespace renderer

} // namespace kx::map
