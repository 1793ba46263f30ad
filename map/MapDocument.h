#pragma once

#include "map/core/MapRenderer.h"
#include "map/core/MapView.h"
#include "ui/PreviewDocument.h"

#include <optional>

namespace kx::map {
class MapScene;
}

namespace kx::mapview {

// The route map as the print preview shows it: one A4 landscape page with
// the route's name and totals over the map of what the window shows.
class MapDocument : public ui::PreviewDocument
{
public:
    MapDocument(map::MapScene &scene, map::RenderOptions options, std::optional<map::MapView> view);

    QPageLayout pageLayout() const override;
    QString title() const override;
    QString fileName() const override;
    bool paint(QPagedPaintDevice &device, QString *why, QString *note) const override;
    bool writePdf(const QString &path, const QPageLayout &page, QString *why) const override;

private:
    map::MapScene &m_scene;
    map::RenderOptions m_options;
    std::optional<map::MapView> m_view;
};

// A file name made from a route's name, with characters no file system takes
// replaced.
QString routeFileName(const QString &routeName, const QString &suffix);

} // namespace kx::mapview
