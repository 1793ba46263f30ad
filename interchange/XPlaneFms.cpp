#include "XPlaneFms.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"
#include "SimPlanParts.h"
#include "SimTexts.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>

namespace kx::interchange {
namespace {

const QDate kCycle2001(2020, 1, 2);
constexpr int kCycleDays = 28;

enum FmsType { kNone = 0, kAirport = 1, kNdb = 2, kVor = 3, kFix = 11, kPosition = 28 };

int fmsTypeOf(const QString &type)
{
    if (type == u"Airport")
        return kAirport;
    if (type == u"NDB")
        return kNdb;
    if (type == u"VOR")
        return kVor;
    return kFix;
}

PlanPointType typeOf(int type)
{
    switch (type) {
    case kAirport:
        return PlanPointType::Airport;
    case kNdb:
        return PlanPointType::Ndb;
    case kVor:
        return PlanPointType::Vor;
    case kFix:
    case kPosition:
        return PlanPointType::None;
    default:
        return PlanPointType::Unknown;
    }
}

QString feetText(double feet) { return QString::number(feet, 'f', 6); }

QStringList tokens(const QString &line)
{
    return line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

bool wholeNumber(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

struct Line
{
    int number; // 1-based, as an editor counts
    QString text;
};

// What the readers of both versions gather.
struct Reading
{
    QString fileName; // as messages name the file
    Plan plan;
    QList<double> altitudes; // of the points, as the file gives them
    QString error;

    bool fail(const QString &why)
    {
        error = texts::xmlPlanUnreadable(fileName, why);
        return false;
    }
    bool failAt(const Line &line, const QString &problem)
    {
        error = texts::planProblem(problem, QString::number(line.number), fileName);
        return false;
    }
};

// One waypoint line: type, ident, [via,] altitude, latitude, longitude.
bool readWaypoint(const Line &line, bool withVia, Reading *r)
{
    const QStringList t = tokens(line.text);
    const int columns = withVia ? 6 : 5;
    int type = 0;
    if (t.size() != columns || !wholeNumber(t.at(0), &type) || type < 0)
        return r->failAt(line, texts::fmsBadWaypoint(line.text.left(80)));
    if (type == kNone && !withVia)
        return true; // an empty entry of the old format
    if (r->plan.points.size() >= kMaxSimPlanPoints)
        return r->failAt(line, texts::tooManyPoints(kMaxSimPlanPoints));
    PlanPoint p;
    p.type = typeOf(type);
    p.regionKnown = false;
    QString problem;
    const int altitude = withVia ? 3 : 2;
    bool ok = false;
    const double feet = t.at(altitude).toDouble(&ok);
    if (!ok || !std::isfinite(feet) || std::abs(feet) > 1e6)
        problem = texts::badPlanAltitude(t.at(altitude).left(40));
    else if (readIdent(t.at(1), &p.ident, &problem))
        readDecimalPosition(t.at(altitude + 1), t.at(altitude + 2), &p, &problem);
    if (!problem.isEmpty())
        return r->failAt(line, problem);
    // An airport's altitude is its elevation; any other point's is the
    // altitude to fly there, not the waypoint's.
    p.altitude = p.type == PlanPointType::Airport ? feet : 0;
    p.where = texts::fmsWaypoint(line.number, p.ident);
    r->plan.points.append(p);
    r->altitudes.append(p.type == PlanPointType::Airport ? 0 : feet);
    return true;
}

bool readVersion1100(const QList<Line> &lines, Reading *r)
{
    int promised = -1;
    int index = 2;
    for (; index < lines.size() && promised < 0; ++index) {
        const QStringList t = tokens(lines.at(index).text);
        const QString key = t.value(0).toUpper();
        if (key == u"NUMENR") {
            if (t.size() != 2 || !wholeNumber(t.at(1), &promised) || promised < 0)
                return r->failAt(lines.at(index), texts::fmsNoCount());
        } else if ((key == u"ADEP" || key == u"ADES") && t.size() == 2) {
            QString ident;
            QString ignored;
            if (readIdent(t.at(1), &ident, &ignored))
                (key == u"ADEP" ? r->plan.header.departureId : r->plan.header.destinationId) = ident;
        } else if (!key.isEmpty() && key.front().isDigit()) {
            return r->failAt(lines.at(index), texts::fmsNoCount());
        }
        // CYCLE, DEP, DES and the procedures (DEPRWY, SID, STAR, APP and their
        // transitions) name nothing the route needs.
    }
    if (promised < 0)
        return r->fail(texts::fmsNoCount());
    for (; index < lines.size(); ++index)
        if (!readWaypoint(lines.at(index), true, r))
            return false;
    if (r->plan.points.size() != promised)
        return r->fail(texts::fmsCountMismatch(promised, static_cast<int>(r->plan.points.size())));
    return true;
}

bool readVersion3(const QList<Line> &lines, Reading *r)
{
    // Two numbers follow the version (the FMS's current and shown entries).
    for (int index = 2; index < 4; ++index) {
        int value = 0;
        if (index >= lines.size())
            return r->fail(texts::fmsNoEntryNumbers());
        if (!wholeNumber(lines.at(index).text, &value))
            return r->failAt(lines.at(index), texts::fmsNoEntryNumbers());
    }
    for (int index = 4; index < lines.size(); ++index)
        if (!readWaypoint(lines.at(index), false, r))
            return false;
    const QList<PlanPoint> &p = r->plan.points;
    if (!p.isEmpty() && p.first().type == PlanPointType::Airport)
        r->plan.header.departureId = p.first().ident;
    if (p.size() > 1 && p.last().type == PlanPointType::Airport)
        r->plan.header.destinationId = p.last().ident;
    return true;
}

} // namespace

int airacCycle(const QDate &date)
{
    const qint64 days = kCycle2001.daysTo(date);
    // Floor division, so that dates before 2020 fall into their own cycles.
    const qint64 cycles = days >= 0 ? days / kCycleDays : -((-days + kCycleDays - 1) / kCycleDays);
    const QDate effective = kCycle2001.addDays(cycles * kCycleDays);
    // The year's cycles began every 28 days before this one, back to January.
    const int number = (effective.dayOfYear() - 1) / kCycleDays + 1;
    return effective.year() % 100 * 100 + number;
}

QByteArray writeFms(const SimRoute &route, int cycle)
{
    const SimPoint &first = route.points.first();
    const SimPoint &last = route.points.last();
    const bool fromAirport = first.type == u"Airport" && first.hasFileIdent();
    const bool toAirport = last.type == u"Airport" && last.hasFileIdent();
    QString text = QStringLiteral("I\n1100 Version\nCYCLE %1\n").arg(cycle, 4, 10, QLatin1Char('0'));
    text += (fromAirport ? QStringLiteral("ADEP ") : QStringLiteral("DEP ")) + first.fileIdent() + u'\n';
    text += (toAirport ? QStringLiteral("ADES ") : QStringLiteral("DES ")) + last.fileIdent() + u'\n';
    text += QStringLiteral("NUMENR %1\n").arg(route.points.size());
    for (qsizetype i = 0; i < route.points.size(); ++i) {
        const SimPoint &p = route.points.at(i);
        const int type = p.hasFileIdent() ? fmsTypeOf(p.type) : kPosition;
        QString via = QStringLiteral("DRCT");
        if (i == 0 && fromAirport)
            via = QStringLiteral("ADEP");
        else if (i == route.points.size() - 1 && toAirport)
            via = QStringLiteral("ADES");
        const double feet = type == kAirport ? p.feet : 0;
        text += QStringLiteral("%1 %2 %3 %4 %5 %6\n").arg(type).arg(p.fileIdent(), via, feetText(feet), p.lat, p.lon);
    }
    return text.toUtf8();
}

bool readFms(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error)
{
    Reading r;
    r.fileName = planFileName(fileName);
    r.plan.fileName = r.fileName;
    r.plan.routeName = routeNameOf(fileName);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    QList<Line> lines;
    int number = 0;
    for (const QString &raw : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        ++number;
        const QString line = raw.trimmed();
        if (!line.isEmpty())
            lines.append({number, line});
    }
    const QStringList version = lines.size() > 1 ? tokens(lines.at(1).text) : QStringList();
    const QString marker = lines.isEmpty() ? QString() : lines.first().text.toUpper();
    bool ok = false;
    if ((marker != u"I" && marker != u"A") || version.size() != 2
        || version.at(1).compare(u"version", Qt::CaseInsensitive) != 0)
        ok = r.fail(texts::notFmsFile());
    else if (version.at(0) == u"1100")
        ok = readVersion1100(lines, &r);
    else if (version.at(0) == u"3")
        ok = readVersion3(lines, &r);
    else
        ok = r.fail(texts::unsupportedFmsVersion(version.at(0).left(20)));
    // Fewer than two points: as a flight plan of FS2004 without them.
    if (ok && r.plan.points.size() < 2) {
        r.error = r.plan.points.isEmpty() ? texts::fileReadFailed(r.fileName) : texts::wrongFileFormat(r.fileName);
        ok = false;
    }
    if (!ok) {
        *error = r.error;
        return false;
    }
    r.plan.header.cruisingAltitude = cruisingAltitudeOf(r.altitudes);
    *plan = r.plan;
    return true;
}

} // namespace kx::interchange
