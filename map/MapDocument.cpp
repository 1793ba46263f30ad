#include "MapDocument.h"

#include "map/core/MapPage.h"
#include "map/core/MapScene.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace kx::mapview {

MapDocument::MapDocument(map::MapScene &scene, map::RenderOptions options, std::optional<map::MapView> view)
    : m_scene(scene)
    , m_options(std::move(options))
    , m_view(view)
{
}

QPageLayout MapDocument::pageLayout() const
{
    return map::mapPageLayout();
}

QString MapDocument::title() const
{
    return map::mapTitle(m_scene.route());
}

QString MapDocument::fileName() const
{
    return routeFileName(m_scene.route().name, QStringLiteral(" - карта.pdf"));
}

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
    map::paintMapPage(painter, device, m_scene, m_options, m_view);
    return true;
}

bool MapDocument::writePdf(const QString &path, const QPageLayout &page, QString *why) const
{
    return map::writeMapPdf(path, m_scene, m_options, m_view, why, page);
}

QString routeFileName(const QString &routeName, const QString &suffix)
{
    QString name = routeName.trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name)
        if (forbidden.contains(c) || c.unicode() < 32)
            c = u'_';
    if (name.isEmpty())
        name = QStringLiteral("route");
    return name + suffix;
}

} // namespace kx::mapview
