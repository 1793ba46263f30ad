#include "CatalogueLayer.h"

#include <algorithm>

namespace kx::map {
namespace {

bool isIcaoIdent(const QString &id)
{
    if (id.size() != 4)
        return false;
    return std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

} // namespace

CatalogueKind catalogueKind(const QVariant &type)
{
    const QString t = type.toString();
    if (t.compare(QLatin1String("Airport"), Qt::CaseInsensitive) == 0)
        return CatalogueKind::Airport;
    if (t.compare(QLatin1String("VOR"), Qt::CaseInsensitive) == 0)
        return CatalogueKind::Vor;
    if (t.compare(QLatin1String("NDB"), Qt::CaseInsensitive) == 0)
        return CatalogueKind::Ndb;
    return CatalogueKind::Intersection;
}

int catalogueRank(const QVariant &type, const QString &id, const QVariant &atis)
{
    switch (catalogueKind(type)) {
    case CatalogueKind::Airport:
        if (!isIcaoIdent(id))
            return kRankMinorAirport;
        return !atis.isNull() && atis.toDouble() > 0 ? kRankMajorAirport : kRankAirport;
    case CatalogueKind::Vor:
        return kRankVor;
    case CatalogueKind::Ndb:
        return kRankNdb;
    case CatalogueKind::Intersection:
        break;
    }
    return kRankIntersection;
}

double rankMinScale(int rank)
{
    // Pixels per km: 0.1 puts Europe on a screen, 1.0 a country of 1,000 km;
    // where they would crowd, the thinning leaves the less important out.
    static const double scales[kRankCount] = {0, 0.1, 0.2, 0.35, 0.6, 1.0};
    return scales[std::clamp(rank, 0, kRankCount - 1)];
}

int maxRankAt(double scale)
{
    int rank = 0;
    while (rank + 1 < kRankCount && rankMinScale(rank + 1) <= scale)
        ++rank;
    return rank;
}

} // namespace kx::map
