#include "OurAirportsImport.h"

#include "ImportProgress.h"
#include "OurAirportsTexts.h"

#include "base/CaseFold.h"
#include "base/Numbers.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/MagVar.h"
#include "geo/Sphere.h"
#include "store/Collation.h"
#include "store/Session.h"
#include "store/Transaction.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace kx::catalogues {
namespace {

QString nocase()
{
    return QStringLiteral(" COLLATE ") + QLatin1String(store::kCollation);
}

bool sameNumber(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toDouble() == b.toDouble();
}

// The file's value where it has one, else what the row holds.
QVariant fileOr(const QVariant &file, const QVariant &stored)
{
    return file.isNull() ? stored : file;
}

bool samePlace(const std::optional<geo::Position> &a, const std::optional<geo::Position> &b)
{
    return a && b && geo::OrthoDistance(a->lat, a->lon, b->lat, b->lon) <= kSamePlaceKm;
}

struct StoredAirport
{
    qint64 code = 0;
    QVariant name;
    QString lat;
    QString lon;
    QVariant ms;
    QVariant h;
    QVariant atis;
};

struct StoredNavaid
{
    qint64 code = 0;
    std::optional<geo::Position> at;
    QVariant name;
    QVariant freq;
    QVariant region;
};

struct StoredRunway
{
    qint64 code = 0;
    QVariant track;
};

class Writer
{
public:
    Writer(store::Database &db, QString fsPath, ImportProgress *progress, OurAirportsSummary *summary,
           QString *error)
        : m_db(db), m_fsPath(std::move(fsPath)), m_progress(progress), m_summary(summary), m_error(error)
    {
    }

    ImportOutcome run(const OurAirportsData &data);

private:
    bool prepare(QSqlQuery &q, const QString &sql, const QString &table);
    bool exec(QSqlQuery &q, const QVariantList &values, const QString &table);
    bool readCatalogue();
    bool writeAirport(const OaAirport &airport);
    bool writeRunway(const OaRunway &runway);
    bool writeNavaid(const OaNavaid &navaid);
    // false when the person asked to stop
    bool step();

    store::Database &m_db;
    QString m_fsPath;
    ImportProgress *m_progress;
    OurAirportsSummary *m_summary;
    QString *m_error;
    bool m_cancelled = false;
    int m_done = 0;

    QSqlQuery m_insertAirport{m_db.sql()};
    QSqlQuery m_updateAirport{m_db.sql()};
    QSqlQuery m_markRoutes{m_db.sql()};
    QSqlQuery m_insertRunway{m_db.sql()};
    QSqlQuery m_updateRunway{m_db.sql()};
    QSqlQuery m_insertNavaid{m_db.sql()};
    QSqlQuery m_updateNavaid{m_db.sql()};

    QHash<QString, StoredAirport> m_airports;        // folded ID
    QHash<QString, QList<StoredNavaid>> m_navaids;   // type + " " + folded ID
    QHash<QString, StoredRunway> m_runways;          // AP + " " + folded designator
};

bool Writer::prepare(QSqlQuery &q, const QString &sql, const QString &table)
{
    if (q.prepare(sql))
        return true;
    *m_error = texts::importWriteFailed(table, q.lastError().text());
    return false;
}

bool Writer::exec(QSqlQuery &q, const QVariantList &values, const QString &table)
{
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (q.exec())
        return true;
    *m_error = texts::importWriteFailed(table, q.lastError().text());
    return false;
}

bool Writer::step()
{
    ++m_done;
    if (!m_progress)
        return true;
    m_progress->setPosition(m_done);
    if (m_progress->cancelRequested()) {
        m_cancelled = true;
        return false;
    }
    return true;
}

// What the catalogue holds already, by the identities the import matches.
bool Writer::readCatalogue()
{
    const QString punkts = QStringLiteral("Punkts");
    QSqlQuery q(m_db.sql());
    if (!prepare(q, QStringLiteral("SELECT Code, ID, Type, Name, LAT, LON, MS, H, ATIS, Freq, Region FROM Punkts "
                                   "WHERE Type = ?%1 OR Type = ?%1 OR Type = ?%1 ORDER BY Code")
                        .arg(nocase()),
                 punkts)
        || !exec(q, {QStringLiteral("Airport"), QStringLiteral("VOR"), QStringLiteral("NDB")}, punkts))
        return false;
    while (q.next()) {
        const QString id = caseFolded(q.value(1).toString());
        const QString type = q.value(2).toString().toUpper();
        if (type == u"AIRPORT") {
            if (!m_airports.contains(id))
                m_airports.insert(id, {q.value(0).toLongLong(), q.value(3), q.value(4).toString(),
                                       q.value(5).toString(), q.value(6), q.value(7), q.value(8)});
        } else {
            m_navaids[type + u' ' + id].append({q.value(0).toLongLong(), geo::readPosition(q.value(4), q.value(5)),
                                                q.value(3), q.value(9), q.value(10)});
        }
    }
    const QString runways = QStringLiteral("Runways");
    QSqlQuery r(m_db.sql());
    if (!prepare(r, QStringLiteral("SELECT Code, AP, Runway, IZPU_P FROM Runways ORDER BY Code"), runways)
        || !exec(r, {}, runways))
        return false;
    while (r.next()) {
        const QString key = QString::number(r.value(1).toLongLong()) + u' ' + caseFolded(r.value(2).toString());
        if (!m_runways.contains(key))
            m_runways.insert(key, {r.value(0).toLongLong(), r.value(3)});
    }
    return true;
}

bool Writer::writeAirport(const OaAirport &a)
{
    const QString punkts = QStringLiteral("Punkts");
    const QString key = caseFolded(a.ident);
    const auto stored = m_airports.find(key);
    if (stored == m_airports.end()) {
        const double ms = geo::MagVar(m_fsPath, a.lat, a.lon);
        if (!exec(m_insertAirport,
                  {a.ident, QString(QLatin1String("")), a.name, QStringLiteral("Airport"), a.lat, a.lon, ms,
                   a.elevation, a.atis},
                  punkts))
            return false;
        m_airports.insert(key, {m_insertAirport.lastInsertId().toLongLong(), a.name, a.lat, a.lon, ms, a.elevation,
                                a.atis});
        ++m_summary->airports.added;
        return true;
    }
    StoredAirport &row = stored.value();
    const bool moved = !samePlace(geo::readPosition(row.lat, row.lon), geo::readPosition(a.lat, a.lon));
    const QVariant name = a.name.isEmpty() ? row.name : QVariant(a.name);
    const QVariant h = fileOr(a.elevation, row.h);
    const QVariant atis = fileOr(a.atis, row.atis);
    if (!moved && name == row.name && sameNumber(h, row.h) && sameNumber(atis, row.atis)) {
        ++m_summary->airports.unchanged;
        return true;
    }
    if (moved) {
        row.lat = a.lat;
        row.lon = a.lon;
        row.ms = geo::MagVar(m_fsPath, a.lat, a.lon);
    }
    row.name = name;
    row.h = h;
    row.atis = atis;
    if (!exec(m_updateAirport, {row.name, row.lat, row.lon, row.ms, row.h, row.atis, row.code}, punkts))
        return false;
    if (moved) {
        if (!exec(m_markRoutes, {row.code}, QStringLiteral("Routes")))
            return false;
        m_summary->routesMarked += m_markRoutes.numRowsAffected();
    }
    ++m_summary->airports.updated;
    return true;
}

bool Writer::writeRunway(const OaRunway &runway)
{
    const QString runways = QStringLiteral("Runways");
    const qint64 airport = m_airports.value(caseFolded(runway.airport)).code;
    const QString key = QString::number(airport) + u' ' + caseFolded(runway.designator);
    const auto stored = m_runways.find(key);
    if (stored == m_runways.end()) {
        if (!exec(m_insertRunway, {airport, runway.designator, runway.heading}, runways))
            return false;
        m_runways.insert(key, {m_insertRunway.lastInsertId().toLongLong(), runway.heading});
        ++m_summary->runways.added;
        return true;
    }
    StoredRunway &row = stored.value();
    // Tracks are kept to a tenth of a degree: a stored 75.14 is 75.1.
    const auto tenths = [](const QVariant &v) { return v.isNull() ? QVariant() : QVariant(roundHalfEven(v.toDouble() * 10)); };
    if (runway.heading.isNull() || sameNumber(tenths(runway.heading), tenths(row.track))) {
        ++m_summary->runways.unchanged;
        return true;
    }
    row.track = runway.heading;
    if (!exec(m_updateRunway, {row.track, row.code}, runways))
        return false;
    ++m_summary->runways.updated;
    return true;
}

bool Writer::writeNavaid(const OaNavaid &n)
{
    const QString punkts = QStringLiteral("Punkts");
    QList<StoredNavaid> &rows = m_navaids[n.type + u' ' + caseFolded(n.ident)];
    const std::optional<geo::Position> at = geo::readPosition(n.lat, n.lon);
    const auto stored = std::find_if(rows.begin(), rows.end(), [&](const StoredNavaid &row) { return samePlace(row.at, at); });
    if (stored == rows.end()) {
        if (!exec(m_insertNavaid,
                  {n.ident, n.region, n.name, n.type, n.freq, n.lat, n.lon, geo::MagVar(m_fsPath, n.lat, n.lon)},
                  punkts))
            return false;
        rows.append({m_insertNavaid.lastInsertId().toLongLong(), at, n.name, n.freq, n.region});
        ++m_summary->navaids.added;
        return true;
    }
    StoredNavaid &row = *stored;
    const QVariant name = n.name.isEmpty() ? row.name : QVariant(n.name);
    const QVariant freq = fileOr(n.freq, row.freq);
    const QVariant region = row.region.toString().isEmpty() && !n.region.isEmpty() ? QVariant(n.region) : row.region;
    if (name == row.name && sameNumber(freq, row.freq) && region == row.region) {
        ++m_summary->navaids.unchanged;
        return true;
    }
    row.name = name;
    row.freq = freq;
    row.region = region;
    if (!exec(m_updateNavaid, {row.name, row.freq, row.region, row.code}, punkts))
        return false;
    ++m_summary->navaids.updated;
    return true;
}

ImportOutcome Writer::run(const OurAirportsData &data)
{
    store::Transaction transaction(m_db);
    if (!transaction.isActive()) {
        *m_error = texts::importWriteFailed(QStringLiteral("Punkts"), m_db.lastError());
        return ImportOutcome::Failed;
    }
    const QString punkts = QStringLiteral("Punkts");
    const QString runways = QStringLiteral("Runways");
    if (!prepare(m_insertAirport,
                 QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS, H, ATIS) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 punkts)
        || !prepare(m_updateAirport,
                    QStringLiteral("UPDATE Punkts SET Name = ?, LAT = ?, LON = ?, MS = ?, H = ?, ATIS = ? WHERE Code = ?"),
                    punkts)
        || !prepare(m_markRoutes,
                    QStringLiteral("UPDATE Routes SET DateTime = NULL WHERE DateTime IS NOT NULL "
                                   "AND Code IN (SELECT Route FROM Points WHERE Punkt = ?)"),
                    QStringLiteral("Routes"))
        || !prepare(m_insertRunway, QStringLiteral("INSERT INTO Runways (AP, Runway, IZPU_P) VALUES (?, ?, ?)"), runways)
        || !prepare(m_updateRunway, QStringLiteral("UPDATE Runways SET IZPU_P = ? WHERE Code = ?"), runways)
        || !prepare(m_insertNavaid,
                    QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, Freq, LAT, LON, MS) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                    punkts)
        || !prepare(m_updateNavaid, QStringLiteral("UPDATE Punkts SET Name = ?, Freq = ?, Region = ? WHERE Code = ?"),
                    punkts)
        || !readCatalogue())
        return ImportOutcome::Failed;

    if (m_progress) {
        m_progress->setStage(texts::writingStage());
        m_progress->setMaximum(static_cast<int>(data.airports.size() + data.runways.size() + data.navaids.size()));
        m_progress->setPosition(0);
        if (m_progress->cancelRequested())
            return ImportOutcome::Cancelled;
    }
    bool written = true;
    for (qsizetype i = 0; written && i < data.airports.size(); ++i)
        written = writeAirport(data.airports.at(i)) && step();
    for (qsizetype i = 0; written && i < data.runways.size(); ++i)
        written = writeRunway(data.runways.at(i)) && step();
    for (qsizetype i = 0; written && i < data.navaids.size(); ++i)
        written = writeNavaid(data.navaids.at(i)) && step();
    if (m_cancelled)
        return ImportOutcome::Cancelled; // the transaction rolls back as it goes
    if (!written)
        return ImportOutcome::Failed;
    if (!transaction.commit()) {
        *m_error = texts::importWriteFailed(punkts, m_db.lastError());
        return ImportOutcome::Failed;
    }
    return ImportOutcome::Done;
}

} // namespace

ImportOutcome writeOurAirports(store::Database &db, const QString &fsPath, const OurAirportsData &data,
                               ImportProgress *progress, OurAirportsSummary *summary, QString *error)
{
    *summary = {};
    error->clear();
    return Writer(db, fsPath, progress, summary, error).run(data);
}

QString summaryText(const OurAirportsSummary &s)
{
    QString text = texts::importDoneHead() + QStringLiteral("\r\n\r\n")
        + texts::countsLine(texts::airportsWord(), s.airports.added, s.airports.updated, s.airports.unchanged)
        + QStringLiteral("\r\n")
        + texts::countsLine(texts::runwaysWord(), s.runways.added, s.runways.updated, s.runways.unchanged)
        + QStringLiteral("\r\n")
        + texts::countsLine(texts::navaidsWord(), s.navaids.added, s.navaids.updated, s.navaids.unchanged);
    if (s.routesMarked > 0)
        text += QStringLiteral("\r\n") + texts::routesMarked(s.routesMarked);
    return text;
}

ImportOutcome importOurAirports(store::Session &session, const QString &folder, const OurAirportsFilter &filter,
                                ImportProgress *progress, QObject *owner)
{
    Prompter &prompter = session.prompter();
    OurAirportsData data;
    QString error;
    ImportOutcome outcome = readOurAirports(folder, filter, progress, &data, &error);
    if (outcome == ImportOutcome::Failed)
        error = texts::importReadFailed(error);
    OurAirportsSummary summary;
    if (outcome == ImportOutcome::Done)
        outcome = writeOurAirports(session.ADOC, session.settings.fsPath, data, progress, &summary, &error);
    if (progress)
        progress->finished();
    switch (outcome) {
    case ImportOutcome::Done:
        prompter.info(owner, summaryText(summary));
        break;
    case ImportOutcome::Cancelled:
        prompter.info(owner, texts::importCancelled());
        break;
    case ImportOutcome::Failed:
        prompter.error(owner, error);
        break;
    }
    return outcome;
}

} // namespace kx::catalogues
