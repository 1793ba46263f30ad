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
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QHash>
#include <QSet>

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
    return a && b && geo::OrthoDistance(a->lat, a->lon, b->lat, b->lon) <= geo::kSamePlaceKm;
}

struct StoredAirport
{
    qint64 code = 0;
    QString id;
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

// The statements of an import, each prepared once and run for every row of
// its kind.
struct Statements
{
    explicit Statements(store::Database &db)
        : insertAirport(db, QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS, H, ATIS) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        , updateAirport(db, QStringLiteral("UPDATE Punkts SET ID = ?, Name = ?, LAT = ?, LON = ?, MS = ?, H = ?, "
                                           "ATIS = ? WHERE Code = ?"))
        , markRoutes(db, QStringLiteral("UPDATE Routes SET DateTime = NULL WHERE DateTime IS NOT NULL "
                                        "AND Code IN (SELECT Route FROM Points WHERE Punkt = ?)"))
        , insertRunway(db, QStringLiteral("INSERT INTO Runways (AP, Runway, IZPU_P) VALUES (?, ?, ?)"))
        , updateRunway(db, QStringLiteral("UPDATE Runways SET IZPU_P = ? WHERE Code = ?"))
        , insertNavaid(db, QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, Freq, LAT, LON, MS) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
        , updateNavaid(db, QStringLiteral("UPDATE Punkts SET Name = ?, Freq = ?, Region = ? WHERE Code = ?"))
    {
    }

    store::Statement insertAirport;
    store::Statement updateAirport;
    store::Statement markRoutes;
    store::Statement insertRunway;
    store::Statement updateRunway;
    store::Statement insertNavaid;
    store::Statement updateNavaid;
};

class Writer
{
public:
    Writer(store::Database &db, const QString &fsPath, ImportProgress *progress, OurAirportsSummary *summary,
           QString *error)
        : m_db(db), m_statements(db), m_variation(fsPath), m_progress(progress), m_summary(summary), m_error(error)
    {
    }

    ImportOutcome run(const OurAirportsData &data);

private:
    bool exec(store::Statement &statement, const QVariantList &values, const QString &table);
    bool readCatalogue();
    bool writeAirport(const OaAirport &airport);
    bool writeRunway(const OaRunway &runway);
    bool writeNavaid(const OaNavaid &navaid);
    // false when the person asked to stop
    bool step();

    store::Database &m_db;
    Statements m_statements;
    // Read once: the first import adds tens of thousands of rows.
    geo::VariationTable m_variation;
    ImportProgress *m_progress;
    OurAirportsSummary *m_summary;
    QString *m_error;
    bool m_cancelled = false;
    int m_done = 0;

    QHash<QString, StoredAirport> m_airports;        // folded ID
    QHash<QString, QList<StoredNavaid>> m_navaids;   // type + " " + folded ID
    QHash<QString, StoredRunway> m_runways;          // AP + " " + folded designator
    QSet<QString> m_identities;                      // folded identities of the file's airports
};

bool Writer::exec(store::Statement &statement, const QVariantList &values, const QString &table)
{
    if (statement.exec(values))
        return true;
    *m_error = texts::importWriteFailed(table, statement.lastError());
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
    store::Statement punkts(m_db, QStringLiteral("SELECT Code, ID, Type, Name, LAT, LON, MS, H, ATIS, Freq, Region "
                                                 "FROM Punkts WHERE Type = ?%1 OR Type = ?%1 OR Type = ?%1 "
                                                 "ORDER BY Code")
                                      .arg(nocase()));
    if (!exec(punkts, {QStringLiteral("Airport"), QStringLiteral("VOR"), QStringLiteral("NDB")},
              QStringLiteral("Punkts")))
        return false;
    while (punkts.next()) {
        const QString id = punkts.value(1).toString();
        const QString key = caseFolded(id);
        const QString type = punkts.value(2).toString().toUpper();
        if (type == u"AIRPORT") {
            if (!m_airports.contains(key))
                m_airports.insert(key, {punkts.value(0).toLongLong(), id, punkts.value(3), punkts.value(4).toString(),
                                        punkts.value(5).toString(), punkts.value(6), punkts.value(7),
                                        punkts.value(8)});
        } else {
            m_navaids[type + u' ' + key].append({punkts.value(0).toLongLong(),
                                                 geo::readPosition(punkts.value(4), punkts.value(5)),
                                                 punkts.value(3), punkts.value(9), punkts.value(10)});
        }
    }
    store::Statement runways(m_db, QStringLiteral("SELECT Code, AP, Runway, IZPU_P FROM Runways ORDER BY Code"));
    if (!exec(runways, {}, QStringLiteral("Runways")))
        return false;
    while (runways.next()) {
        const QString key =
            QString::number(runways.value(1).toLongLong()) + u' ' + caseFolded(runways.value(2).toString());
        if (!m_runways.contains(key))
            m_runways.insert(key, {runways.value(0).toLongLong(), runways.value(3)});
    }
    return true;
}

bool Writer::writeAirport(const OaAirport &a)
{
    const QString punkts = QStringLiteral("Punkts");
    const QString key = caseFolded(a.ident);
    auto stored = m_airports.find(key);
    // An earlier import stored the airport under OurAirports' own ident; it
    // is that row, to be corrected in place, unless the file has another
    // airport of that identity.
    bool renamed = false;
    if (stored == m_airports.end()) {
        const QString oldKey = caseFolded(a.fileIdent);
        const auto old = oldKey != key && !m_identities.contains(oldKey) ? m_airports.find(oldKey) : m_airports.end();
        if (old != m_airports.end()) {
            StoredAirport row = old.value();
            m_airports.erase(old);
            row.id = a.ident;
            stored = m_airports.insert(key, row);
            renamed = true;
        }
    }
    if (stored == m_airports.end()) {
        const double ms = m_variation.at(a.lat, a.lon);
        if (!exec(m_statements.insertAirport,
                  {a.ident, QString(QLatin1String("")), a.name, QStringLiteral("Airport"), a.lat, a.lon, ms,
                   a.elevation, a.atis},
                  punkts))
            return false;
        m_airports.insert(key, {m_statements.insertAirport.lastInsertId().toLongLong(), a.ident, a.name, a.lat,
                                a.lon, ms, a.elevation, a.atis});
        ++m_summary->airports.added;
        return true;
    }
    StoredAirport &row = stored.value();
    const bool moved = !samePlace(geo::readPosition(row.lat, row.lon), geo::readPosition(a.lat, a.lon));
    const QVariant name = a.name.isEmpty() ? row.name : QVariant(a.name);
    const QVariant h = fileOr(a.elevation, row.h);
    const QVariant atis = fileOr(a.atis, row.atis);
    if (!renamed && !moved && name == row.name && sameNumber(h, row.h) && sameNumber(atis, row.atis)) {
        ++m_summary->airports.unchanged;
        return true;
    }
    if (moved) {
        row.lat = a.lat;
        row.lon = a.lon;
        row.ms = m_variation.at(a.lat, a.lon);
    }
    row.name = name;
    row.h = h;
    row.atis = atis;
    if (!exec(m_statements.updateAirport, {row.id, row.name, row.lat, row.lon, row.ms, row.h, row.atis, row.code},
              punkts))
        return false;
    if (moved) {
        if (!exec(m_statements.markRoutes, {row.code}, QStringLiteral("Routes")))
            return false;
        m_summary->routesMarked += m_statements.markRoutes.rowsAffected();
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
        if (!exec(m_statements.insertRunway, {airport, runway.designator, runway.heading}, runways))
            return false;
        m_runways.insert(key, {m_statements.insertRunway.lastInsertId().toLongLong(), runway.heading});
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
    if (!exec(m_statements.updateRunway, {row.track, row.code}, runways))
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
        if (!exec(m_statements.insertNavaid,
                  {n.ident, n.region, n.name, n.type, n.freq, n.lat, n.lon, m_variation.at(n.lat, n.lon)}, punkts))
            return false;
        rows.append({m_statements.insertNavaid.lastInsertId().toLongLong(), at, n.name, n.freq, n.region});
        ++m_summary->navaids.added;
        return true;
    }
    StoredNavaid &row = *stored;
    const QVariant name = n.name.isEmpty() ? row.name : QVariant(n.name);
    const QVariant freq = fileOr(n.freq, row.freq);
    // A region a person (or a flight plan) gave stays; the file's fills an empty one.
    const QVariant region = row.region.toString().isEmpty() && !n.region.isEmpty() ? QVariant(n.region) : row.region;
    if (name == row.name && sameNumber(freq, row.freq) && region == row.region) {
        ++m_summary->navaids.unchanged;
        return true;
    }
    row.name = name;
    row.freq = freq;
    row.region = region;
    if (!exec(m_statements.updateNavaid, {row.name, row.freq, row.region, row.code}, punkts))
        return false;
    ++m_summary->navaids.updated;
    return true;
}

ImportOutcome Writer::run(const OurAirportsData &data)
{
    store::LargeTransaction transaction(m_db);
    if (!transaction.isActive()) {
        *m_error = texts::importWriteFailed(QStringLiteral("Punkts"), m_db.lastError());
        return ImportOutcome::Failed;
    }
    if (!readCatalogue())
        return ImportOutcome::Failed;
    for (const OaAirport &a : data.airports)
        m_identities.insert(caseFolded(a.ident));

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
        *m_error = texts::importWriteFailed(QStringLiteral("Punkts"), m_db.lastError());
        return ImportOutcome::Failed;
    }
    return ImportOutcome::Done;
}

} // namespace

ImportOutcome writeOurAirports(store::Database &db, const QString &fsPath, const OurAirportsData &data,
                               ImportProgress *progress, OurAirportsSummary *summary, QString *error)
{
    *summary = {};
    summary->report = data.report;
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
    if (!s.report.isEmpty()) {
        text += QStringLiteral("\r\n\r\n") + texts::leftOutHead();
        for (const OaFileReport &file : s.report.files)
            if (file.skippedRows > 0 || file.droppedValues > 0)
                text += QStringLiteral("\r\n") + texts::leftOutLine(file.file, file.skippedRows, file.droppedValues);
    }
    return text;
}

QString summaryDetails(const OurAirportsSummary &s)
{
    if (s.report.isEmpty())
        return {};
    int total = 0;
    for (const OaFileReport &file : s.report.files)
        total += file.skippedRows + file.droppedValues;
    return texts::firstIssuesHead(static_cast<int>(s.report.firstIssues.size()), total) + QStringLiteral("\r\n")
        + s.report.firstIssues.join(QStringLiteral("\r\n"));
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
        prompter.infoWithDetails(owner, summaryText(summary), summaryDetails(summary));
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
