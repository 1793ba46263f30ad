#pragma once

#include "MapLayers.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QStringList>

class QPainter;

namespace kx::map {

class MapScene;
struct MapView;

// What a picture of the map shows besides the view itself.
struct RenderOptions
{
    Layers layers = defaultLayers();
    int currentPoint = -1; // index into the route's points to highlight, -1 none
    QStringList notes;     // told in the picture's corner (missing data and the like)
    // How far from the projection's centre the base layers must be exact;
    // 0: as far as the picture reaches. A window that draws its base beyond
    // its edges (for dragging) wants exactness only where it shows.
    double exactReachKm = 0;
};

// Draws the map on any paint device: the window, an image, a printer or a
// PDF writer. The painter's coordinates are the view's pixels (a printer is
// scaled to them by its caller), so lines and letters keep their look.
// The base (sea, land, lakes, coasts, borders, graticule) is apart from the
// overlay (the route, the beacons, scale, north and notes), so that a window
// can keep a picture of the base and draw only the overlay while the person
// works. The labels are placed by LabelPlacer, the scale, north and notes
// drawn by MapDecorations.
namespace renderer {

void renderBase(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options);
void renderOverlay(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options);
void render(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options);

// The catalogue's waypoints a picture shows: those of the layers wanted,
// readable at the view's zoom, not the route's own, and none crowding a more
// important one. Index into the scene's catalogueMarks(), pixel position.
struct ShownCatalogue
{
    int index = 0;
    QPointF px;
};
QList<ShownCatalogue> shownCatalogue(const MapScene &scene, const MapView &view, const RenderOptions &options);
// The shown catalogue waypoint nearest to px within radiusPx: its index into
// catalogueMarks(), or -1.
int catalogueAt(const QList<ShownCatalogue> &shown, QPointF px, double radiusPx);

// The graticule's spacing in degrees for a view: 10, 5 or 1.
double graticuleStep(const MapView &view);

// The colours the map draws in, for the tests that look at its pictures.
namespace colours {
QColor sea();
QColor land();
QColor coast();
QColor border();
QColor grid();
QColor leg();
QColor airport();
QColor correction();
QColor otherRsbn();
QColor vor();
QColor ndb();
QColor catalogueAirport();
QColor intersection();
} // namespace colours

} // namespace renderer

} // namespace kx::map
