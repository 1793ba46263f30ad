#include "MapPage.h"

#include "MapScene.h"
#include "MapTexts.h"

#include <QFileInfo>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace kx::map {
namespace {

// The page is laid out in pixels of 1/96 inch, the unit the map's lines and
// letters are drawn in on screen.
constexpr double kPixelsPerInch = 96;
constexpr double kTitleHeight = 30;
constexpr double kFitMarginPx = 40;

QString decimal(const QVariant &value)
{
    return QString::number(value.toDouble(), 'f', 1).replace(u'.', u',');
}

} // namespace

QString mapTitle(const RouteMap &route)
{
    QString title = QStringLiteral("Маршрут: ") + route.name;
    if (route.calculated && !route.distance.isNull()) {
        title += QStringLiteral("    S общ = ") + decimal(route.distance) + QStringLiteral(" км");
        if (!route.fork.isNull())
            title += QStringLiteral("    Вилка = ") + decimal(route.fork) + u'°';
    } else {
        title += QStringLiteral("    (") + texts::notCalculated() + u')';
    }
    title += QStringLiteral("    ППМ: ") + QString::number(route.points.size());
    return title;
}

QStringList mapNotes(const MapScene &scene)
{
    QStringList notes;
    if (!scene.hasBase())
        notes.append(texts::noBaseNote());
    if (scene.route().points.isEmpty())
        notes.append(texts::noPointsNote());
    const QStringList unlocated = scene.route().unlocated();
    if (!unlocated.isEmpty())
        notes.append(texts::unlocatedNote(unlocated));
    return notes;
}

MapView fitRoute(const MapScene &scene, const QSizeF &size)
{
    const QRectF bounds = scene.routeBoundsKm();
    if (!bounds.isValid()) {
        const double rim = Projection::rimKm();
        return MapView::fitting(QRectF(-rim, -rim, 2 * rim, 2 * rim), size, 10);
    }
    return MapView::fitting(bounds, size, kFitMarginPx);
}

QPageLayout mapPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

void paintMapPage(QPainter &painter, QPagedPaintDevice &device, MapScene &scene, const RenderOptions &options,
                  const std::optional<MapView> &windowView)
{
    const QRectF paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double unit = device.logicalDpiX() / kPixelsPerInch;
    const QSizeF page(paintRect.width() / unit, paintRect.height() / unit);

    painter.save();
    painter.scale(unit, unit);
    QFont titleFont(QStringLiteral("Liberation Sans"));
    titleFont.setStyleHint(QFont::SansSerif);
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, page.width(), kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     mapTitle(scene.route()));

    const QRectF frame(0, kTitleHeight, page.width(), page.height() - kTitleHeight);
    MapView view;
    if (windowView) {
        // The country the window shows, as large as the page allows.
        const QRectF km = windowView->visibleKm();
        view.size = frame.size();
        view.centre = windowView->centre;
        view.setScale(std::min(frame.width() / km.width(), frame.height() / km.height()));
    } else {
        view = fitRoute(scene, frame.size());
    }
    painter.translate(frame.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), frame.size()));
    renderer::render(painter, scene, view, options);
    painter.setClipping(false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(QPointF(0, 0), frame.size()));
    painter.restore();
}

bool writeMapPng(const QString &path, const QSize &size, MapScene &scene, const RenderOptions &options, QString *error)
{
    return writeViewPng(path, scene, fitRoute(scene, QSizeF(size)), options, error);
}

bool writeViewPng(const QString &path, MapScene &scene, const MapView &view, const RenderOptions &options,
                  QString *error)
{
    QImage image(view.size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderer::render(painter, scene, view, options);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeMapPdf(const QString &path, MapScene &scene, const RenderOptions &options,
                 const std::optional<MapView> &windowView, QString *error, const QPageLayout &page)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(page);
        writer.setTitle(mapTitle(scene.route()));
        writer.setCreator(QStringLiteral("Kalyx"));
        QPainter painter(&writer);
        if (!painter.isActive()) {
            file.cancelWriting();
            if (error)
                *error = QStringLiteral("cannot paint on the PDF writer");
            return false;
        }
        paintMapPage(painter, writer, scene, options, windowView);
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kx::map
