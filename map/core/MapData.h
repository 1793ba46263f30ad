#pragma once

#include "geo/GeoPoint.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace kx::map {

// The base layers of the map (land, lakes, coastlines, country borders) as
// read from the map data file kalyxmap.dat. Every position is in one array;
// a ring or a line is a span of it.
struct MapData
{
    enum Layer { Land, Lakes, Coastlines, Borders, LayerCount };

    struct Span
    {
        quint32 first = 0;
        quint32 count = 0;
        QRectF bounds; // longitude as x, latitude as y
    };
    // A polygon (outer ring, then its holes) or a line (one span).
    struct Part
    {
        std::vector<Span> spans;
        QRectF bounds;
    };

    std::vector<geo::GeoPoint> points;
    std::vector<std::array<double, 3>> unit; // each point as a unit vector
    std::array<std::vector<Part>, LayerCount> layers;

    static bool isPolygonLayer(Layer layer) { return layer == Land || layer == Lakes; }
};

struct MapDataLoad
{
    std::shared_ptr<const MapData> data; // null when the file could not be used
    QString error;                       // the message for the person then
};

// Reads a map data file. A missing, unreadable, damaged or foreign file gives
// no data and a message naming the file; no content makes it crash or hang.
MapDataLoad loadMapData(const QString &path);
// The same from the file's bytes (the path only names it in a message).
MapDataLoad readMapData(const QByteArray &bytes, const QString &path);

// The name of the map data file beside the executables.
QString mapDataFileName();
// Where the map data is looked for: beside the executables, then in the
// program folder. The first of them when neither holds it.
QString locateMapData(const QString &programFolder);

} // namespace kx::map
