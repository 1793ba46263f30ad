#include "AirportStore.h"

#include "CatalogueTexts.h"

#include "base/Prompter.h"
#include "store/Session.h"
#include "store/RowWrite.h"

#include <QHash>

namespace kx::catalogues {
namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    if (aNumber && bNumber && a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString)
        return x == y;
    return a.toString() == b.toString();
}

// False when the row could not be written; it then stays in editing with
// the values.
bool postRow(store::Session &session, store::Query &list, const QVariantHash &values)
{
    if (!list.edit())
        return false;
    return store::writeRow(session.ADOC, list, [&] {
               for (auto it = values.cbegin(); it != values.cend(); ++it)
                   list.setValue(it.key(), it.value());
           })
        == store::RowWrite::Committed;
}

} // namespace

QStringList airportColumns()
{
    return {QStringLiteral("H"), QStringLiteral("FL_PER"), QStringLiteral("H_PER"), QStringLiteral("ATIS"),
            QStringLiteral("RSBN")};
}

bool storeAirport(store::Session &session, store::Query &punkts, const QVariant &rsbn, QObject *owner)
{
    if (punkts.isEmpty())
        return false;
    const bool wasEditing = punkts.state() == store::Query::State::Edit;
    const QStringList own = airportColumns();

    // Take the row apart: the airport's values, and the other pending changes.
    QVariantHash airport;
    for (const QString &c : own)
        airport.insert(c, punkts.value(c));
    airport.insert(QStringLiteral("RSBN"), rsbn);
    QVariantHash pending;
    if (wasEditing) {
        QVariantHash edited;
        for (const QString &c : punkts.columnNames())
            if (!own.contains(c, Qt::CaseInsensitive))
                edited.insert(c, punkts.value(c));
        punkts.cancel();
        for (auto it = edited.cbegin(); it != edited.cend(); ++it)
            if (!sameValue(it.value(), punkts.value(it.key())))
                pending.insert(it.key(), it.value());
    }

    const bool stored = postRow(session, punkts, airport);
    if (!stored) {
        // Nothing typed is lost: the airport's values stay pending with the rest.
        if (punkts.state() != store::Query::State::Edit && punkts.edit()) {
            for (auto it = airport.cbegin(); it != airport.cend(); ++it)
                punkts.setValue(it.key(), it.value());
        }
    } else if ((!pending.isEmpty() || wasEditing) && !punkts.edit()) {
        // A row that can no longer be edited (gone under the list) has
        // nothing left to keep the other changes in.
        pending.clear();
    }
    for (auto it = pending.cbegin(); it != pending.cend(); ++it)
        punkts.setValue(it.key(), it.value());
    if (!stored)
        session.prompter().error(owner, texts::airportStoreFailed());
    return stored;
}

bool saveRunway(store::Session &session, store::Query &runways, qint64 airport, QObject *owner)
{
    if (postRow(session, runways, {{QStringLiteral("AP"), airport}}))
        return true;
    runways.cancel();
    session.prompter().error(owner, texts::runwayStoreFailed());
    return false;
}

bool storeRunways(store::Session &session, store::Query &runways, qint64 airport, QObject *owner)
{
    for (int row = 1; row <= runways.rowCount(); ++row) {
        runways.setRowNumber(row);
        if (!postRow(session, runways, {{QStringLiteral("AP"), airport}})) {
            runways.cancel();
            session.prompter().error(owner, texts::runwayStoreFailed());
            return false;
        }
    }
    return true;
}

} // namespace kx::catalogues
