#include "MapDocument.h"

#include "MapPage.h"
#include "MapScene.h"
#include "MapTexts.h"

#include "base/FileName.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace kx::map {

MapDocument::MapDocument(MapScene &scene, RenderOptions options, std::optional<MapView> view)
    : m_scene(scene)
    , m_options(std::move(options))
    , m_view(view)
{ }

QPageLayout MapDocument::pageLayout() const { return mapPageLayout(); }

QString MapDocument::title() const { return mapTitle(m_scene.route()); }

QString MapDocument::fileName() const { return routeFileName(m_scene.route().name, texts::pdfSuffix()); }

bool MapDocument::paint(QPagedPaintDevice &device, QString *why, QString *note) const
{
    if (note)
        note->clear(); // the map fits any paper as it is
    QPainter painter(&device);
    if (!painter.isActive()) {
        if (why)
            *why = QStringLiteral("the printer cannot be painted on");
        return false;
    }
    paintMapPage(painter, device, m_scene, m_options, m_view);
    return true;
}

bool MapDocument::writePdf(const QString &path, const QPageLayout &page, QString *why) const
{
    return writeMapPdf(path, m_scene, m_options, m_view, why, page);
}

} // namespace kx::map
