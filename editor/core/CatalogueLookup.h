#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <optional>

namespace kx::store {
class Session;
}

namespace kx::editor {

// A catalogue airport as a flight plan's import finds it: the first waypoint
// of that ident (letter case ignored) whose type is "Airport".
struct CatalogueAirport
{
    qint64 code = 0;
    QString id;
    QString name;
    QString lat;
    QString lon;
    QVariant h; // feet
};
// Nothing when the catalogue has no such airport; *failed is set when the
// look-up itself failed.
std::optional<CatalogueAirport> findAirport(store::Session &session, const QString &id, bool *failed = nullptr);

// A waypoint of the catalogue named by its ident for a route point.
struct CatalogueWaypoint
{
    qint64 code = 0;
    QString id;
    QString region;
    QVariant type; // Null for an intersection
    QString lat;
    QString lon;

    // "UU SB NDB N55*22.00 E037*58.70", for telling candidates apart.
    QString description() const;
};
// The waypoint of this Code; nothing when it is gone or the look-up failed.
std::optional<CatalogueWaypoint> waypointByCode(store::Session &session, qint64 code);

// The catalogue type a person names: "A" or "Airport", "N" or "NDB", "V" or
// "VOR", "I" or "Пересечение" (letter case ignored); nothing for any other text.
std::optional<QVariant> typeNamed(const QString &text);
// The waypoints of that ident, and of that type and region when they are
// given (letter case ignored), in ident order; *failed is set when the
// look-up itself failed.
QList<CatalogueWaypoint> findWaypoints(store::Session &session, const QString &id,
                                       const std::optional<QVariant> &type = std::nullopt,
                                       const std::optional<QString> &region = std::nullopt, bool *failed = nullptr);

} // namespace kx::editor
