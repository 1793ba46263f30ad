#include "BaseGeometry.h"

#include "geo/GreatCircle.h"
#include "geo/Sphere.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

namespace kx::map {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

double dot(const std::array<double, 3> &a, const std::array<double, 3> &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Even-odd test on the sphere: the crossings of the ring with the meridian
// from p to the North Pole (no land contains that pole). Edges are short and
// follow their longitude difference the short way, so rings that cross the
// 180th meridian (Chukotka, Fiji) and rings around the South Pole
// (Antarctica) count right.
// No bounding box may rule a ring out first: Antarctica's encloses the pole
// beyond its southernmost point. Once per polygon and centre, the whole test
// is cheap.
bool ringContains(const MapData &data, const MapData::Span &span, geo::GeoPoint p)
{
    bool inside = false;
    const geo::GeoPoint *pts = data.points.data() + span.first;
    for (quint32 i = 0, j = span.count - 1; i < span.count; j = i++) {
        const geo::GeoPoint a = pts[j], b = pts[i];
        const double ra = geo::wrapLongitude(a.lon - p.lon);
        const double rb = ra + geo::wrapLongitude(b.lon - a.lon);
        if ((ra <= 0) == (rb <= 0))
            continue;
        const double lat = a.lat + (b.lat - a.lat) * (0 - ra) / (rb - ra);
        if (lat > p.lat)
            inside = !inside;
    }
    return inside;
}

} // namespace

BaseGeometry::BaseGeometry(std::shared_ptr<const MapData> data, const Projection &projection)
    : m_data(std::move(data))
    , m_projection(projection)
{
    const geo::GeoPoint c = projection.centre();
    m_centre = {std::cos(c.lat * kDeg) * std::cos(c.lon * kDeg), std::cos(c.lat * kDeg) * std::sin(c.lon * kDeg),
                std::sin(c.lat * kDeg)};
    if (m_data) {
        m_cache.resize(m_data->points.size());
        m_cached.resize(m_data->points.size(), 0);
    }
}

void BaseGeometry::ensureDetail(double radiusKm)
{
    if (!m_data || radiusKm <= m_radius)
        return;
    m_radius = std::min(std::max(radiusKm * 1.2, 1200.0), Projection::rimKm());
    rebuild();
}

QPointF BaseGeometry::projected(quint32 index)
{
    if (!m_cached[index]) {
        m_cache[index] = m_projection.forward(m_data->points[index]);
        m_cached[index] = true;
    }
    return m_cache[index];
}

bool BaseGeometry::containsAntipode(const MapData::Part &part) const
{
    const geo::GeoPoint a = m_projection.antipode();
    bool inside = false;
    for (const MapData::Span &span : part.spans)
        inside ^= ringContains(*m_data, span, a);
    return inside;
}

BaseGeometry::Shape BaseGeometry::shape(const MapData::Part &part, bool polygon, double cosDetail)
{
    // Arc length is taken as the chord of the unit vectors, which is close
    // enough for spacing the coarse points.
    const double coarseStep = kCoarseStepKm / static_cast<double>(geo::kSphereRadiusKm);
    Shape out;
    for (const MapData::Span &span : part.spans) {
        QPolygonF ring;
        const auto &unit = m_data->unit;
        const quint32 end = span.first + span.count;
        quint32 last = span.first;
        ring.append(projected(last));
        double travelled = 0;
        for (quint32 i = span.first + 1; i < end; ++i) {
            const auto &u = unit[i];
            const auto &p = unit[i - 1];
            travelled += std::sqrt((u[0] - p[0]) * (u[0] - p[0]) + (u[1] - p[1]) * (u[1] - p[1])
                                   + (u[2] - p[2]) * (u[2] - p[2]));
            const bool near = dot(u, m_centre) >= cosDetail || dot(p, m_centre) >= cosDetail
                || (i + 1 < end && dot(unit[i + 1], m_centre) >= cosDetail);
            if (!near && travelled < coarseStep && i + 1 < end)
                continue;
            m_projection.appendArc(ring, m_data->points[last], ring.last(), m_data->points[i], projected(i));
            last = i;
            travelled = 0;
        }
        out.bounds = out.rings.empty() ? ring.boundingRect() : out.bounds.united(ring.boundingRect());
        out.rings.push_back(std::move(ring));
    }
    if (polygon && containsAntipode(part)) {
        out.inverted = true;
        const double rim = Projection::rimKm();
        out.bounds = QRectF(-rim, -rim, 2 * rim, 2 * rim);
    }
    return out;
}

// Most of the work of a first picture is projecting the positions near the
// route; they are independent of each other, so both cores share them.
void BaseGeometry::projectWithin(double cosDetail)
{
    std::vector<quint32> wanted;
    const auto &unit = m_data->unit;
    for (quint32 i = 0; i < unit.size(); ++i)
        if (!m_cached[i] && dot(unit[i], m_centre) >= cosDetail)
            wanted.push_back(i);
    const auto work = [this, &wanted](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k) {
            const quint32 i = wanted[k];
            m_cache[i] = m_projection.forward(m_data->points[i]);
            m_cached[i] = 1;
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    if (threads < 2 || wanted.size() < 4096) {
        work(0, wanted.size());
        return;
    }
    std::vector<std::thread> helpers;
    const size_t share = (wanted.size() + threads - 1) / threads;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(work, std::min(wanted.size(), t * share), std::min(wanted.size(), (t + 1) * share));
    work(0, std::min(wanted.size(), share));
    for (std::thread &h : helpers)
        h.join();
}

void BaseGeometry::rebuild()
{
    const double cosDetail = std::cos(m_radius / static_cast<double>(geo::kSphereRadiusKm));
    projectWithin(cosDetail);
    for (int l = 0; l < MapData::LayerCount; ++l) {
        const auto layer = static_cast<MapData::Layer>(l);
        std::vector<Shape> shapes;
        shapes.reserve(m_data->layers[l].size());
        for (const MapData::Part &part : m_data->layers[l])
            shapes.push_back(shape(part, MapData::isPolygonLayer(layer), cosDetail));
        m_layers[l] = std::move(shapes);
    }
}

} // namespace kx::map
