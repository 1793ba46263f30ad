#pragma once

#include "MapRenderer.h"
#include "MapView.h"

#include "reports/core/PreviewDocument.h"

#include <optional>

namespace kx::map {

class MapScene;

// The route map as the print preview shows it: one A4 landscape page with
// the route's name and totals over the map of what the window shows.
class MapDocument : public reports::PreviewDocument
{
public:
    MapDocument(MapScene &scene, RenderOptions options, std::optional<MapView> view);

    QPageLayout pageLayout() const override;
    QString title() const override;
    QString fileName() const override;
    bool paint(QPagedPaintDevice &device, QString *why, QString *note) const override;
    bool writePdf(const QString &path, const QPageLayout &page, QString *why) const override;

private:
    MapScene &m_scene;
    RenderOptions m_options;
    std::optional<MapView> m_view;
};

} // namespace kx::map
