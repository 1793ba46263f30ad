#pragma once

#include "MapData.h"
#include "Projection.h"

#include <QPolygonF>
#include <QRectF>

#include <memory>
#include <vector>

namespace kx::map {

// The base layers projected for one centre. Projecting every one of the
// file's positions takes longer than opening the map may, and the map only
// ever shows the country around the route, so positions are projected where
// they are needed: exactly within a detail radius of the centre, and beyond it
// only every kCoarseStepKm along each line (enough to keep shapes closed and
// fills right). Zooming out widens the radius; what was projected once is
// kept.
class BaseGeometry
{
public:
    struct Shape
    {
        std::vector<QPolygonF> rings; // km; a line is one ring that is not closed
        QRectF bounds;                // km
        // A polygon around the antipode: its image encloses the rest of the
        // plane, so the map's rim circle is added to it when it is filled.
        bool inverted = false;
    };

    static constexpr double kCoarseStepKm = 50;

    BaseGeometry(std::shared_ptr<const MapData> data, const Projection &projection);

    // Exact geometry within radiusKm of the centre (widened generously, so
    // that zooming out step by step does not project again at every step).
    void ensureDetail(double radiusKm);
    double detailRadiusKm() const { return m_radius; }
    const std::vector<Shape> &layer(MapData::Layer layer) const { return m_layers[layer]; }
    const Projection &projection() const { return m_projection; }

private:
    void rebuild();
    void projectWithin(double cosDetail);
    QPointF projected(quint32 index);
    Shape shape(const MapData::Part &part, bool polygon, double cosDetail);
    bool containsAntipode(const MapData::Part &part) const;

    std::shared_ptr<const MapData> m_data;
    Projection m_projection;
    std::array<double, 3> m_centre{};
    double m_radius = -1;
    std::vector<QPointF> m_cache;
    std::vector<char> m_cached; // char, not bool: written from two threads
    std::array<std::vector<Shape>, MapData::LayerCount> m_layers;
};

} // namespace kx::map
