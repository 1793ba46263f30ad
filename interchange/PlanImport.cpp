#include "PlanImport.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"
#include "PlnText.h"

#include "base/Busy.h"
#include "base/CaseFold.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/MagVar.h"
#include "geo/Sphere.h"
#include "store/Collation.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QSet>

namespace kx::interchange {
namespace {

// Spellings per run of the look-up statement, which is prepared once: a
// 10,000-waypoint plan takes a few dozen runs, a short one one.
constexpr int kSpellingsPerLookup = 500;

// The key of a catalogue type among the rows: "airport", "vor", "ndb", or
// empty for none.
QString typeKey(const QVariant &type)
{
    return type.isNull() ? QString(QLatin1String("")) : caseFolded(type.toString());
}


} // namespace

QString catalogueLookupSql(int spellings)
{
    QString marks;
    marks.reserve(3 * spellings);
    for (int i = 0; i < spellings; ++i)
        marks += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    return QStringLiteral("SELECT Code, ID, Region, Type, LAT, LON FROM Punkts WHERE ID COLLATE NOCASE IN (") + marks
        + u')';
}

QString catalogueRangeLookupSql(const QString &ident, QVariantList *values)
{
    // Named, since SQLite's planner, knowing nothing of the rows, takes a
    // handful of ranges for more work than reading the whole table.
    return QStringLiteral("SELECT Code, ID, Region, Type, LAT, LON FROM Punkts INDEXED BY Punkts_ID_Region WHERE ")
        + store::noCaseIndexCondition(QStringLiteral("ID"), ident, values);
}

bool PlanCatalogue::load(store::Database &db, const QList<PlanPoint> &points, QString *error)
{
    m_rows.clear();
    QSet<QString> wanted;
    QVariantList spellings; // of the idents NOCASE finds in few spellings
    QStringList others;     // the idents narrowed by ranges of their leading letters
    for (const PlanPoint &p : points) {
        const QString folded = caseFolded(p.ident);
        if (wanted.contains(folded))
            continue;
        wanted.insert(folded);
        const QStringList spelled = store::noCaseSpellings(p.ident);
        if (spelled.isEmpty())
            others.append(p.ident);
        for (const QString &s : spelled)
            spellings.append(s);
    }
    QList<std::pair<QString, Row>> found;
    const auto read = [&](store::Statement &lookup, const QVariantList &values) {
        if (!lookup.exec(values)) {
            *error = lookup.lastError();
            return false;
        }
        while (lookup.next()) {
            // The index narrows by SQLite's NOCASE; the fold decides.
            const QString ident = lookup.value(1).toString();
            if (!wanted.contains(caseFolded(ident)))
                continue;
            const QString lat = lookup.value(4).toString();
            const QString lon = lookup.value(5).toString();
            Row row{lookup.value(0).toLongLong(), typeKey(lookup.value(3)), caseFolded(lookup.value(2).toString()),
                    caseFolded(lat), caseFolded(lon), geo::readCoordinate(lat), geo::readCoordinate(lon)};
            found.append({caseFolded(ident), row});
        }
        return true;
    };
    if (!spellings.isEmpty()) {
        const int size = static_cast<int>(std::min<qsizetype>(spellings.size(), kSpellingsPerLookup));
        store::Statement lookup(db, catalogueLookupSql(size));
        for (qsizetype from = 0; from < spellings.size(); from += size) {
            QVariantList values = spellings.mid(from, size);
            // The last run's free places repeat a spelling: one statement serves every run.
            while (values.size() < size)
                values.append(values.constLast());
            if (!read(lookup, values))
                return false;
        }
    }
    for (const QString &ident : std::as_const(others)) {
        QVariantList values;
        store::Statement lookup(db, catalogueRangeLookupSql(ident, &values));
        if (!read(lookup, values))
            return false;
    }
    // The oldest rows first, whatever order the look-ups gave them in.
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.second.code < b.second.code; });
    for (const auto &[key, row] : std::as_const(found))
        m_rows[key].append(row);
    return true;
}

qint64 PlanCatalogue::find(const PlanPoint &point) const
{
    const auto it = m_rows.constFind(caseFolded(point.ident));
    if (it == m_rows.cend())
        return 0;
    const QString type = typeKey(catalogueType(point.type));
    const QString region = caseFolded(point.region);
    const auto typeMatches = [&](const Row &row) { return point.type == PlanPointType::Unknown || row.type == type; };
    const auto regionMatches = [&](const Row &row) { return !point.regionKnown || row.region == region; };
    const QList<Row> &rows = it.value();
    if (point.type == PlanPointType::Airport) {
        for (const Row &row : rows)
            if (typeMatches(row))
                return row.code;
        return 0;
    }
    if (!point.hasPosition()) {
        for (const Row &row : rows)
            if (typeMatches(row) && regionMatches(row))
                return row.code;
        return 0;
    }
    const QString lat = caseFolded(point.lat);
    const QString lon = caseFolded(point.lon);
    for (const Row &row : rows)
        if (typeMatches(row) && regionMatches(row) && row.lat == lat && row.lon == lon)
            return row.code;
    const std::optional<long double> latRad = geo::readCoordinate(point.lat);
    const std::optional<long double> lonRad = geo::readCoordinate(point.lon);
    if (!latRad || !lonRad)
        return 0;
    qint64 nearest = 0;
    long double nearestKm = geo::kSamePlaceKm;
    for (const Row &row : rows) {
        if (!typeMatches(row) || !row.latRad || !row.lonRad)
            continue;
        const long double km = geo::OrthoDistance(*latRad, *lonRad, *row.latRad, *row.lonRad);
        if (km < nearestKm || (km == nearestKm && nearest == 0)) {
            nearest = row.code;
            nearestKm = km;
        }
    }
    return nearest;
}

void PlanCatalogue::add(qint64 code, const PlanPoint &point)
{
    m_rows[caseFolded(point.ident)].append({code, typeKey(catalogueType(point.type)), caseFolded(point.region),
                                            caseFolded(point.lat), caseFolded(point.lon),
                                            geo::readCoordinate(point.lat), geo::readCoordinate(point.lon)});
}

qint64 storePlan(store::Database &db, const QString &fsPath, const Plan &plan, QString *error)
{
    PlanCatalogue catalogue;
    QString detail;
    if (!catalogue.load(db, plan.points, &detail)) {
        *error = texts::catalogueReadFailed(detail);
        return 0;
    }
    store::Transaction transaction(db);
    if (!transaction.isActive()) {
        *error = texts::routesWriteFailed();
        return 0;
    }
    const PlanHeader &h = plan.header;
    store::Statement insertRoute(db, QStringLiteral("INSERT INTO Routes (Name, FL, Type, RouteType, AP_V, AP_P, "
                                                    "Dep_ID, Dep_Name, Dep_Pos, Dest_ID, Dest_Name) "
                                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!insertRoute.exec({plan.routeName, cruisingLevelMetres(h.cruisingAltitude), h.type, h.routeType,
                           FieldBeforeComma(h.departureId), FieldBeforeComma(h.destinationId),
                           h.departureId, h.departureName, h.departurePosition, h.destinationId,
                           h.destinationName})) {
        *error = texts::routesWriteFailed();
        return 0;
    }
    const qint64 route = insertRoute.lastInsertId().toLongLong();

    store::Statement insertPunkt(
        db, QStringLiteral("INSERT INTO Punkts (Region, ID, Type, LAT, LON, MS, H) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    store::Statement insertPoint(db, QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?, ?, ?)"));
    // Read once: an import may add thousands of waypoints.
    const geo::VariationTable variation(fsPath);
    qint64 number = 0;
    for (const PlanPoint &p : plan.points) {
        qint64 punkt = catalogue.find(p);
        if (punkt == 0) {
            if (!p.hasPosition()) {
                *error = texts::waypointNotInCatalogue(p.where, plan.fileName);
                return 0;
            }
            if (!insertPunkt.exec({p.region, p.ident, catalogueType(p.type), p.lat, p.lon,
                                   variation.at(p.lat, p.lon), p.altitude})) {
                *error = texts::punktsWriteFailed();
                return 0;
            }
            punkt = insertPunkt.lastInsertId().toLongLong();
            catalogue.add(punkt, p);
        }
        if (!insertPoint.exec({route, ++number, punkt})) {
            *error = texts::pointsWriteFailed(insertPoint.lastError());
            return 0;
        }
    }
    if (!transaction.commit()) {
        *error = texts::routesWriteFailed();
        return 0;
    }
    return route;
}

qint64 importPlan(store::Session &session, const Plan &plan, QObject *owner)
{
    BusyGuard busy(session.busy());
    QString error;
    const qint64 route = storePlan(session.ADOC, session.settings.fsPath, plan, &error);
    if (route == 0) {
        session.prompter().error(owner, error);
        return 0;
    }
    // The route is stored; a list that cannot be read again is said, and the
    // editor is not opened on a route the list does not stand on.
    if (!session.reopenRoutesAt(route)) {
        session.prompter().error(owner, texts::routeListFailed(session.QRoutes.lastError()));
        return 0;
    }
    return route;
}

} // namespace kx::interchange
