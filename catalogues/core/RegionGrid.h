#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace kx::catalogues {

// The airports with an ICAO code on a grid of whole degrees, to find the one
// nearest to a radio aid, whose ICAO prefix becomes the aid's region (the
// shipped catalogue's navaids got theirs the same way). Positions in radians,
// distances on the program's sphere (geo/Sphere.h).
class RegionGrid
{
public:
    void add(long double lat, long double lon, const QString &prefix);
    // The prefix of the nearest airport within some twenty degrees; empty
    // (not Null) when there is none.
    QString nearest(long double lat, long double lon) const;

private:
    struct Airport
    {
        long double lat;
        long double lon;
        QString prefix;
    };

    QHash<int, QList<Airport>> m_cells;
};

} // namespace kx::catalogues
