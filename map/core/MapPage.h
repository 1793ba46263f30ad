#pragma once

#include "MapRenderer.h"
#include "MapView.h"

#include <QPageLayout>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QPainter;
class QPagedPaintDevice;

namespace kx::map {

class MapScene;
struct RouteMap;

// The printed map's title line: the route's name and its totals.
QString mapTitle(const RouteMap &route);
// What a picture of the scene should tell besides the map: no base layers,
// no points, points without a position.
QStringList mapNotes(const MapScene &scene);

// The view that shows the whole route in a picture of this size (a world
// view for a route without positions).
MapView fitRoute(const MapScene &scene, const QSizeF &size);

// The printed page: A4 landscape, 10 mm margins.
QPageLayout mapPageLayout();
// Paints the page on a printer or PDF writer: the title line, then the map in
// a frame below it. With a window's view the page shows the same country as
// the window; without one, the whole route.
void paintMapPage(QPainter &painter, QPagedPaintDevice &device, MapScene &scene, const RenderOptions &options,
                  const std::optional<MapView> &windowView);

// The whole route as a PNG picture, or on an A4 page as PDF. The file appears
// only complete (written under a temporary name, then renamed); *error says
// why not (texts::fileWriteFailed is the message for the person).
[[nodiscard]] bool writeMapPng(const QString &path, const QSize &size, MapScene &scene, const RenderOptions &options,
                               QString *error = nullptr);
[[nodiscard]] bool writeMapPdf(const QString &path, MapScene &scene, const RenderOptions &options,
                               const std::optional<MapView> &windowView = std::nullopt, QString *error = nullptr,
                               const QPageLayout &page = mapPageLayout());
// The window's own view as a PNG picture of the view's size.
[[nodiscard]] bool writeViewPng(const QString &path, MapScene &scene, const MapView &view, const RenderOptions &options,
                                QString *error = nullptr);

} // namespace kx::map
