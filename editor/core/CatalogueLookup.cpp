#include "CatalogueLookup.h"

#include "store/Collation.h"
#include "store/Session.h"
#include "store/Statement.h"

namespace kx::editor {
namespace {

QString noCase()
{
    return QStringLiteral(" COLLATE ") + QLatin1String(store::kCollation);
}

} // namespace

std::optional<CatalogueAirport> findAirport(store::Session &session, const QString &id, bool *failed)
{
    if (failed)
        *failed = false;
    QVariantList values;
    const QString sql = QStringLiteral("SELECT Code, ID, Name, LAT, LON, H FROM Punkts WHERE ")
        + store::noCaseIndexCondition(QStringLiteral("Punkts.ID"), id, &values) + QStringLiteral(" AND Punkts.ID = ?")
        + noCase() + QStringLiteral(" AND Punkts.Type = ?") + noCase() + QStringLiteral(" ORDER BY Code LIMIT 1");
    values << id << QStringLiteral("Airport");
    store::Statement find(session.ADOC, sql);
    if (!find.execFirst(values)) {
        if (failed)
            *failed = !find.lastError().isEmpty();
        return std::nullopt;
    }
    CatalogueAirport a;
    a.code = find.value(0).toLongLong();
    a.id = find.value(1).toString();
    a.name = find.value(2).toString();
    a.lat = find.value(3).toString();
    a.lon = find.value(4).toString();
    a.h = find.value(5);
    return a;
}

QString CatalogueWaypoint::description() const
{
    const QString typeText = type.isNull() ? QStringLiteral("Пересечение") : type.toString();
    return QStringList{region, id, typeText, lat, lon}.join(u' ').trimmed();
}

std::optional<CatalogueWaypoint> waypointByCode(store::Session &session, qint64 code)
{
    store::Statement find(session.ADOC, QStringLiteral("SELECT Code, ID, Region, Type, LAT, LON FROM Punkts WHERE Code = ?"));
    if (!find.execFirst({code}))
        return std::nullopt;
    return CatalogueWaypoint{find.value(0).toLongLong(), find.value(1).toString(), find.value(2).toString(),
                             find.value(3), find.value(4).toString(), find.value(5).toString()};
}

std::optional<QVariant> typeNamed(const QString &text)
{
    const QString t = text.trimmed();
    const auto is = [&t](const char16_t *a, const char16_t *b) {
        return t.compare(QStringView(a), Qt::CaseInsensitive) == 0 || t.compare(QStringView(b), Qt::CaseInsensitive) == 0;
    };
    if (is(u"A", u"Airport"))
        return QVariant(QStringLiteral("Airport"));
    if (is(u"N", u"NDB"))
        return QVariant(QStringLiteral("NDB"));
    if (is(u"V", u"VOR"))
        return QVariant(QStringLiteral("VOR"));
    if (is(u"I", u"Пересечение"))
        return QVariant();
    return std::nullopt;
}

QList<CatalogueWaypoint> findWaypoints(store::Session &session, const QString &id, const std::optional<QVariant> &type,
                                       const std::optional<QString> &region, bool *failed)
{
    if (failed)
        *failed = false;
    QVariantList values;
    QString sql = QStringLiteral("SELECT Code, ID, Region, Type, LAT, LON FROM Punkts WHERE ")
        + store::noCaseIndexCondition(QStringLiteral("Punkts.ID"), id, &values) + QStringLiteral(" AND Punkts.ID = ?")
        + noCase();
    values << id;
    if (type) {
        if (type->isNull()) {
            sql += QStringLiteral(" AND Punkts.Type IS NULL");
        } else {
            sql += QStringLiteral(" AND Punkts.Type = ?") + noCase();
            values << *type;
        }
    }
    if (region) {
        sql += QStringLiteral(" AND ifnull(Punkts.Region, '') = ?") + noCase();
        values << *region;
    }
    sql += QStringLiteral(" ORDER BY Region") + noCase() + QStringLiteral(", Code");
    store::Statement find(session.ADOC, sql);
    QList<CatalogueWaypoint> found;
    if (!find.exec(values)) {
        if (failed)
            *failed = true;
        return found;
    }
    while (find.next())
        found.append({find.value(0).toLongLong(), find.value(1).toString(), find.value(2).toString(), find.value(3),
                      find.value(4).toString(), find.value(5).toString()});
    return found;
}

} // namespace kx::editor
